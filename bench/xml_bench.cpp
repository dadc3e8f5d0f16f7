// The law XML conversion of 会社法 (3.1 MB), and the import of 民法 from its XML next to the
// import of its text file, each into a fresh data root.
#include "bench/benchdata.h"
#include "exchange/lawxml.h"
#include "maint/lawdiff.h"
#include "maint/lawimport.h"
#include "store/lawdb.h"
#include "store/versions.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QTemporaryDir>

namespace {

QString xml(const char* code) {
    return bench::sample("../xml/") + QString::fromLatin1(code) + QStringLiteral(".xml");
}

void BM_ConvertXml_KS(benchmark::State& state) {
    QFile f(xml("KS"));
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(exchange::convertLawXml(bytes, QStringLiteral("KS")));
}
BENCHMARK(BM_ConvertXml_KS)->Unit(benchmark::kMillisecond);

// A fresh root with an empty law list, outside the timing.
void freshRoot(benchmark::State& state, const QString& root) {
    state.PauseTiming();
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    store::setFolders(root, root);
    store::MakeHCodeDB();
    state.ResumeTiming();
}

void BM_ImportText_MP(benchmark::State& state) {
    QTemporaryDir tmp;
    for (auto _ : state) {
        freshRoot(state, tmp.path() + QStringLiteral("/root"));
        maint::LawTextImporter importer;
        importer.run(maint::readLawTextFile(bench::sample("MP.txt")), {});
    }
}
BENCHMARK(BM_ImportText_MP)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportXml_MP(benchmark::State& state) {
    QTemporaryDir tmp;
    for (auto _ : state) {
        freshRoot(state, tmp.path() + QStringLiteral("/root"));
        maint::LawTextImporter importer;
        maint::importLawXml(exchange::convertLawXmlFile(xml("MP"), QStringLiteral("MP")), importer);
    }
}
BENCHMARK(BM_ImportXml_MP)->Unit(benchmark::kMillisecond)->Iterations(3);

// Two versions of 民法 compared: the bundled text, then its XML with 第415条 and 第709条
// amended imported over it (the first kept as a version); the timing reads both, compares
// them and sets out the amendment table (its rows and its text), as 改正比較 and
// lexctl diff --table do.
void BM_DiffVersions_MP(benchmark::State& state) {
    QTemporaryDir tmp;
    const QString root = tmp.path() + QStringLiteral("/root");
    QDir().mkpath(root);
    store::setFolders(root, root);
    store::MakeHCodeDB();
    maint::LawTextImporter importer;
    importer.run(maint::readLawTextFile(bench::sample("MP.txt")), {});
    QFile f(xml("MP"));
    f.open(QIODevice::ReadOnly);
    QString text = QString::fromUtf8(f.readAll());
    text.replace(QStringLiteral("履行をしないとき"), QStringLiteral("履行を怠ったとき"));
    text.replace(QStringLiteral("（不法行為による損害賠償）"),
                 QStringLiteral("（不法行為に基づく損害賠償）"));
    maint::importLawXml(exchange::convertLawXml(text.toUtf8(), QStringLiteral("MP")), importer);
    const QString version = store::listVersions(QStringLiteral("民法")).value(0).id;
    int changed = 0, rows = 0;
    for (auto _ : state) {
        store::Database older = store::openVersion(QStringLiteral("民法"), version);
        store::Database newer = store::openLawDb(QStringLiteral("民法"));
        const maint::LawText a = maint::readLawText(older), b = maint::readLawText(newer);
        const maint::LawDiff diff = maint::diffLaws(a, b);
        changed = diff.count(maint::ArticleChange::Changed);
        rows = int(maint::tableLines(maint::articleRows(a, b, diff)).size());
    }
    state.counters["changed"] = changed;
    state.counters["table_lines"] = rows;
}
BENCHMARK(BM_DiffVersions_MP)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    platform::ConsolePrompt console;
    platform::setPrompt(&console);
    bench::runBenchmarks(argc, argv);
    return 0;
}

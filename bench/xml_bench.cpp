// The law XML conversion of 会社法 (3.1 MB), and the import of 民法 from its XML next to the
// import of its text file, each into a fresh data root.
#include "bench/benchdata.h"
#include "exchange/lawxml.h"
#include "maint/lawimport.h"
#include "store/lawdb.h"

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

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    platform::ConsolePrompt console;
    platform::setPrompt(&console);
    bench::runBenchmarks(argc, argv);
    return 0;
}

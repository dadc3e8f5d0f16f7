// The law XML conversion of 会社法 (3.1 MB), and the import of 民法 from its XML next to the
// import of its text file, each into a fresh data root; two versions of 民法 compared as an
// amendment table, and its revision list matched against what is here.
#include "bench/benchdata.h"
#include "exchange/lawapi.h"
#include "exchange/lawxml.h"
#include "maint/lawdiff.h"
#include "maint/lawfetch.h"
#include "maint/lawimport.h"
#include "store/lawdb.h"
#include "store/versions.h"

#include <benchmark/benchmark.h>
#include <QDate>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
// A root whose 民法 came from its text and then from its XML with two words changed: one kept
// version before the current records.
struct TwoVersions {
    QTemporaryDir tmp;
    QString version;
    TwoVersions() {
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
        exchange::LawXml law = exchange::convertLawXml(text.toUtf8(), QStringLiteral("MP"));
        law.lawId = QStringLiteral("129AC0000000089");
        law.sourceDate = QStringLiteral("2027-01-01");  // one of the revisions listed
        maint::importLawXml(law, importer);
        version = store::listVersions(QStringLiteral("民法")).value(0).id;
    }
};

// The whole amendment table of two versions of 民法: both read, compared, every row (the
// articles, the 65 附則 the XML brought, the table of contents) set out.
void BM_DiffVersions_MP(benchmark::State& state) {
    TwoVersions root;
    int changed = 0, rows = 0;
    for (auto _ : state) {
        store::Database older = store::openVersion(QStringLiteral("民法"), root.version);
        store::Database newer = store::openLawDb(QStringLiteral("民法"));
        const maint::LawText a = maint::readLawText(older), b = maint::readLawText(newer);
        const maint::LawDiff diff = maint::diffLaws(a, b);
        changed = diff.count(maint::ArticleChange::Changed);
        rows = int(maint::tableLines(maint::amendmentRows(a, b, diff)).size());
    }
    state.counters["changed"] = changed;
    state.counters["table_lines"] = rows;
}
BENCHMARK(BM_DiffVersions_MP)->Unit(benchmark::kMillisecond);

// The revision list as 改正履歴 and lexctl revisions make it, the service's own time aside: an
// answer of 60 revisions in the documented shape read, and each matched against the current
// records and the kept versions.
void BM_RevisionList_MP(benchmark::State& state) {
    TwoVersions root;
    QJsonArray list;
    for (int i = 0; i < 60; ++i) {
        const QString date = QDate(2027, 4, 1).addMonths(-3 * i).toString(Qt::ISODate);
        list.append(QJsonObject{
            {QStringLiteral("law_revision_id"), QStringLiteral("129AC0000000089_%1_5%2AC00000000%3")
                                                    .arg(QString(date).remove(u'-'))
                                                    .arg(9 - i / 12, 2, 10, QChar(u'0'))
                                                    .arg(i + 10, 2, 10, QChar(u'0'))},
            {QStringLiteral("amendment_enforcement_date"), date},
            {QStringLiteral("amendment_promulgate_date"), date},
            {QStringLiteral("amendment_law_num"), QStringLiteral("令和五年法律第%1号").arg(i + 1)},
            {QStringLiteral("amendment_law_title"), QStringLiteral("民法の一部を改正する法律")},
            {QStringLiteral("current_revision_status"),
             i == 0 ? QStringLiteral("UnEnforced") : QStringLiteral("PreviousEnforced")}});
    }
    const QByteArray answer =
        QJsonDocument(QJsonObject{{QStringLiteral("revisions"), list}}).toJson();
    int kept = 0, listed = 0;
    for (auto _ : state) {
        exchange::ApiError error;
        const QList<exchange::ApiRevision> revisions =
            exchange::parseRevisionsAnswer(answer, &error);
        const QStringList here = maint::revisionsKept(QStringLiteral("民法"), revisions);
        listed = int(revisions.size());
        kept = int(here.size() - here.count(QString()));
    }
    state.counters["revisions"] = listed;
    state.counters["here"] = kept;
}
BENCHMARK(BM_RevisionList_MP)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    platform::ConsolePrompt console;
    platform::setPrompt(&console);
    bench::runBenchmarks(argc, argv);
    return 0;
}

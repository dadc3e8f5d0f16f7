// What a reader meets on a paragraph of 民法: its references, the defined terms in it and the
// provisions citing it (the index up to date); the reading of the seven laws' references into
// the 参照元 index next to their import, the index's share of an import; and on generated
// collections the word search's index against rg over the same text.
#include "bench/benchdata.h"
#include "exchange/lawsource.h"
#include "maint/bulkimport.h"
#include "store/lawdb.h"
#include "viewer/browser/citedby.h"
#include "viewer/browser/refs.h"
#include "viewer/browser/terms.h"
#include "viewer/shell/search.h"

#include <benchmark/benchmark.h>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <functional>
#include <limits>

namespace {

// 民法第七百九条's paragraph, as the browser shows it: references, terms, 参照元.
void BM_ParagraphReading_MP709(benchmark::State& state) {
    viewer::CitationIndex index;
    index.refresh();
    store::Database db = store::openLawDb(QStringLiteral("民法"));
    const viewer::LawTerms terms(db);
    viewer::RefLibrary library;
    const QString code = QStringLiteral("MP07090000010000");
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select 条文 from 条文 where 条項コード=?"),
                         store::RecordsetType::Snapshot, {code});
    const QString text = rs.text(QStringLiteral("条文"));
    int found = 0;
    for (auto _ : state) {
        found = int(library.references(code, text).size() + terms.uses(code, text).size() +
                    index.citing(code.left(10)).size());
    }
    state.counters["found"] = found;
}
BENCHMARK(BM_ParagraphReading_MP709)->Unit(benchmark::kMicrosecond);

// The seven laws imported from their texts: what the index's reading is measured against.
void BM_ImportSeven(benchmark::State& state) {
    for (auto _ : state) {
        for (const char* f :
             {"KP.txt", "MP.txt", "CP.txt", "KS.txt", "MS.txt", "CS.txt", "GT.txt"}) {
            maint::LawTextImporter importer;
            importer.run(maint::readLawTextFile(bench::sample(f)), {});
        }
    }
}
BENCHMARK(BM_ImportSeven)->Unit(benchmark::kMillisecond)->Iterations(2);

// Every reference of the seven laws read into the 参照元 index anew.
void BM_ReindexSeven(benchmark::State& state) {
    viewer::CitationIndex index;
    for (auto _ : state) index.rebuild();
    state.counters["references"] = index.size();
}
BENCHMARK(BM_ReindexSeven)->Unit(benchmark::kMillisecond)->Iterations(2);

// The all-law word search against rg over the same text (each law's records in a file, one
// line each, headings left out as the search leaves them): the best of five runs each, the
// ratio, and whether the hits agree with rg's count and the index's result with the scan's.
void compareWordSearch(benchmark::State& state, const QString& textDir) {
    const QString word = QStringLiteral("拷問");  // 900 hits in 2,100 laws: every law is read
    QStringList names;
    QDir().mkpath(textDir);
    for (const store::LawEntry& e : store::readLawList()) {
        names << e.name;
        QFile out(textDir + u'/' + e.code + QStringLiteral(".txt"));
        if (!out.open(QIODevice::WriteOnly)) continue;
        store::Database db = store::openLawDb(e.name);
        for (store::Recordset rs = db.openRecordset(
                 QStringLiteral("select 条項コード, 条文 from 条文 order by 条項コード"));
             !rs.eof(); rs.moveNext()) {
            if (rs.text(QStringLiteral("条項コード")).endsWith(QStringLiteral("0001"))) continue;
            QString line = rs.text(QStringLiteral("条文"));
            line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
            out.write(line.toUtf8() + '\n');
        }
    }
    auto best = [](const std::function<void()>& f, int runs) {
        qint64 least = std::numeric_limits<qint64>::max();
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer clock;
            clock.start();
            f();
            least = std::min(least, clock.nsecsElapsed());
        }
        return double(least) / 1e6;
    };
    viewer::SearchOptions indexed, scanned;
    indexed.announceLimit = scanned.announceLimit = false;
    scanned.useIndex = false;
    viewer::SearchResult byIndex, byScan;
    viewer::searchAllLaws(names, word, nullptr, indexed);  // the index read once, as at import
    const double indexMs =
        best([&] { byIndex = viewer::searchAllLaws(names, word, nullptr, indexed); }, 5);
    const double scanMs =
        best([&] { byScan = viewer::searchAllLaws(names, word, nullptr, scanned); }, 1);
    int rgHits = -1;
    const double rgMs = best(
        [&] {
            QProcess rg;
            rg.start(QStringLiteral("rg"), {QStringLiteral("-c"), QStringLiteral("--no-filename"),
                                            QStringLiteral("-F"), word, textDir});
            if (!rg.waitForFinished(600000)) return;
            rgHits = 0;
            for (const QByteArray& line : rg.readAllStandardOutput().split('\n'))
                rgHits += line.toInt();
        },
        5);
    state.counters["search_hits"] = byIndex.hits;
    state.counters["search_index_ms"] = indexMs;
    state.counters["search_scan_ms"] = scanMs;
    if (rgHits >= 0) {
        state.counters["rg_ms"] = rgMs;
        state.counters["index_vs_rg"] = indexMs / std::max(0.001, rgMs);
        state.counters["scan_vs_rg"] = scanMs / std::max(0.001, rgMs);
    }
    // rg counts every line; the search keeps the first thousand.
    state.counters["same_hits"] =
        byIndex.text == byScan.text &&
                (rgHits < 0 || std::min(rgHits, viewer::kHitLimit) == byIndex.hits)
            ? 1
            : 0;
}

// N laws made from the bundled ones under generated titles (bench/make-xml-corpus), imported
// in one go into a root of their own: the whole import, the share of it the 参照元 index takes
// (read once every law is in), the root's size, and the list of 民法第七百九条's citing
// provisions over that index as its window reads it (each with its text). 2,100 and 9,000
// pass the 936 two-letter codes: the rest get two kanji.
void BM_ImportGenerated(benchmark::State& state) {
    const int n = int(state.range(0));
    const store::Folders before = store::folders();
    QTemporaryDir tmp;
    const QString xml = tmp.path() + QStringLiteral("/xml"),
                  root = tmp.path() + QStringLiteral("/root");
    if (QProcess::execute(QStringLiteral("python3"),
                          {QStringLiteral(LEXORA_SAMPLE_DIR "/../../bench/make-xml-corpus"), xml,
                           QString::number(n)}) != 0) {
        state.SkipWithError("make-xml-corpus failed");
        return;
    }
    const exchange::LawXmlSource source(xml);
    double total = 0, indexing = 0, searchIndexing = 0;
    int laws = 0, skipped = 0;
    for (auto _ : state) {
        QDir(root).removeRecursively();
        QDir().mkpath(root);
        store::setFolders(root, root);
        QElapsedTimer clock;
        clock.start();
        qint64 indexFrom = -1, searchFrom = -1;
        maint::BulkObserver observer;
        observer.indexing = [&](int, int) {
            if (indexFrom < 0) indexFrom = clock.elapsed();
        };
        observer.searchIndexing = [&](int, int) {
            if (searchFrom < 0) searchFrom = clock.elapsed();
        };
        const maint::BulkResult r = maint::importLawXmlSource(source, {}, observer);
        laws = int(r.imported.size());
        skipped = int(r.skipped.size());
        total = double(clock.elapsed()) / 1000;
        const double searchStart = searchFrom < 0 ? total : double(searchFrom) / 1000;
        searchIndexing = total - searchStart;
        indexing = indexFrom < 0 ? 0 : searchStart - double(indexFrom) / 1000;
    }
    qint64 bytes = 0;
    for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        bytes += QFileInfo(it.next()).size();
    state.counters["laws"] = laws;
    state.counters["skipped"] = skipped;
    state.counters["import_s"] = total;
    state.counters["index_s"] = indexing;
    state.counters["search_index_s"] = searchIndexing;
    // The reference index against the import without either index.
    state.counters["with_index_ratio"] =
        (total - searchIndexing) / std::max(0.001, total - indexing - searchIndexing);
    state.counters["root_MB"] = double(bytes) / 1e6;
    // The first 民法 among them: its 第七百九条's citing provisions, each with its text.
    QString code;
    for (const store::LawEntry& e : store::readLawList())
        if (code.isEmpty() && e.name.startsWith(QStringLiteral("民法（"))) code = e.code;
    viewer::CitationIndex index;
    QElapsedTimer clock;
    clock.start();
    int rows = 0, rounds = 0;
    for (; rounds < 20; ++rounds) {
        const QList<viewer::Citation> shown =
            viewer::citingProvisions(index.citing(code + QStringLiteral("07090000")));
        for (const viewer::Citation& c : shown) rows += viewer::citationText(c).isEmpty() ? 0 : 1;
    }
    state.counters["citedby_ms"] = double(clock.nsecsElapsed()) / 1e6 / rounds;
    state.counters["citedby_rows"] = rows / rounds;
    compareWordSearch(state, tmp.path() + QStringLiteral("/text"));
    store::setFolders(before.program, before.root);
}
BENCHMARK(BM_ImportGenerated)
    ->Arg(900)
    ->Arg(2100)
    ->Arg(9000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    return bench::runOnSampleLaws(argc, argv);
}

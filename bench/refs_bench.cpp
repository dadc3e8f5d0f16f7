// What a reader meets on a paragraph of 民法: its references, the defined terms in it and the
// provisions citing it (the index up to date); and the reading of the seven laws' references
// into the 参照元 index next to their import, the index's share of an import.
#include "bench/benchdata.h"
#include "store/lawdb.h"
#include "viewer/browser/citedby.h"
#include "viewer/browser/refs.h"
#include "viewer/browser/terms.h"

#include <benchmark/benchmark.h>

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

}  // namespace

int main(int argc, char** argv) {
    return bench::runOnSampleLaws(argc, argv);
}

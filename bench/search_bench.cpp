// The word search's query over the seven sample laws, through our engine: one database open
// and one snapshot per law, as the search runs it. LEXORA_BENCH_ROOT names the data root to
// build (and keep, for the comparison with the sqlite3 shell).
#include "bench/benchdata.h"
#include "store/lawdb.h"

#include <benchmark/benchmark.h>

namespace {

void BM_SearchTwoWords(benchmark::State& state) {
    const QStringList names = [] {
        QStringList n;
        for (const auto& law : store::readLawList()) n << law.name;
        return n;
    }();
    int hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const QString& name : names) {
            QString words = QStringLiteral("契約 解除");
            store::Database db = store::openLawDb(name);
            store::Recordset rs = db.openRecordset(store::MakeSearchSQL(words));
            for (; !rs.eof(); rs.moveNext()) {
                if (!rs.text(QStringLiteral("条項コード")).endsWith(QStringLiteral("0001"))) ++hits;
                benchmark::DoNotOptimize(rs.text(QStringLiteral("条文")));
            }
        }
    }
    state.counters["hits"] = hits;
}
BENCHMARK(BM_SearchTwoWords)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::runOnSampleLaws(argc, argv);
}

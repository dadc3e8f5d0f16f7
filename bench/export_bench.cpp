// The administrator's exports over the seven sample laws: "make all" (seven text files),
// "make idx" and "make ht", each writing its files as the typed command does.
#include "bench/benchdata.h"
#include "exchange/export.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MakeAll(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(exchange::MakeHoutenText({}, QStringLiteral("make all")));
}
BENCHMARK(BM_MakeAll)->Unit(benchmark::kMillisecond);

void BM_MakeIdx(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(exchange::WriteIdxFile());
}
BENCHMARK(BM_MakeIdx)->Unit(benchmark::kMillisecond);

void BM_MakeHt(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(exchange::WriteHtFile());
}
BENCHMARK(BM_MakeHt)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::runOnSampleLaws(argc, argv);
}

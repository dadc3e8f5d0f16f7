// The administrator's exports over the seven sample laws: "make all" (seven text files),
// "make idx" and "make ht", each writing its files as the typed command does.
#include "bench/benchdata.h"
#include "exchange/export.h"
#include "platform/prompt.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QTemporaryDir>

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
    QCoreApplication app(argc, argv);
    platform::ConsolePrompt console;
    platform::setPrompt(&console);
    QTemporaryDir tmp;
    bench::importSampleLaws(tmp.path() + QStringLiteral("/root"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

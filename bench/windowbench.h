#pragma once
// The main of a benchmark of windows: the offscreen platform, the guarded application,
// messages swallowed, `prepare` given a folder for its data (LEXORA_BENCH_ROOT, kept for
// bench/compare, else a temporary one), then the benchmarks.
#include "bench/benchdata.h"
#include "platform/ui/guard.h"

namespace bench {

template <class F>
int runWindowBenchmarks(int argc, char** argv, F prepare) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::GuardedApplication app(argc, argv);
    platform::ScriptedPrompt quiet;
    QTemporaryDir tmp;
    QString base = qEnvironmentVariable("LEXORA_BENCH_ROOT");
    if (base.isEmpty()) base = tmp.path();
    prepare(base);
    runBenchmarks(argc, argv);
    return 0;
}

}  // namespace bench

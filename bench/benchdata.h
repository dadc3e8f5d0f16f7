#pragma once
// The data the benchmarks run on: the seven sample laws imported into a data root through
// the programs' own import.
#include "exchange/firststart.h"
#include "maint/lawimport.h"
#include "platform/prompt.h"
#include "store/folders.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace bench {

inline QString sample(const char* name) {
    return QStringLiteral(LEXORA_SAMPLE_DIR) + u'/' + QString::fromLatin1(name);
}

inline void importSampleLaws(const QString& root) {
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    store::setFolders(root, root);
    for (const char* f : {"ht.dat", "idx.dat"})
        QFile::copy(sample(f), root + u'/' + QString::fromLatin1(f));
    exchange::runFirstStart(nullptr);
    for (const char* f : {"KP.txt", "MP.txt", "CP.txt", "KS.txt", "MS.txt", "CS.txt", "GT.txt"}) {
        maint::LawTextImporter importer;
        importer.run(maint::readLawTextFile(sample(f)), {});
    }
}

// Runs the benchmarks of the program on the command line's options.
inline void runBenchmarks(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}

// The main of a windowless benchmark: the seven laws imported into LEXORA_BENCH_ROOT (kept,
// for a comparison with the sqlite3 shell) or a temporary root, then the benchmarks.
inline int runOnSampleLaws(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    platform::ConsolePrompt console;
    platform::setPrompt(&console);
    QTemporaryDir tmp;
    QString root = qEnvironmentVariable("LEXORA_BENCH_ROOT");
    if (root.isEmpty()) root = tmp.path() + QStringLiteral("/root");
    importSampleLaws(root);
    runBenchmarks(argc, argv);
    return 0;
}

}  // namespace bench

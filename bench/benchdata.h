#pragma once
// The data the benchmarks run on: the seven sample laws imported into a data root through
// the programs' own import.
#include "exchange/firststart.h"
#include "maint/lawimport.h"
#include "store/folders.h"

#include <QDir>
#include <QFile>

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

}  // namespace bench

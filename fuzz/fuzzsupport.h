#pragma once
// What every fuzz target shares: a data root of its own under the temporary folder, a prompt
// that swallows the messages, and a check that stops the run as a finding.
#include "exchange/htfile.h"
#include "platform/prompt.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

// A broken invariant is a finding: say which and abort, so the input is kept as a crash.
inline void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

struct Environment {
    QTemporaryDir dir;
    platform::ScriptedPrompt prompt;
    Environment() {
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
        platform::setPrompt(&prompt);
        store::setFolders(dir.path(), dir.path());
    }
    // An empty master list in a fresh DB folder.
    void freshRoot() {
        QDir(store::folders().db).removeRecursively();
        store::MakeHCodeDB();
        prompt.messages.clear();
    }
    // A fresh root with the seven sample laws listed, each with an empty database.
    void sevenLawRoot() {
        freshRoot();
        const QString ht = file("seven.dat");
        QFile::remove(ht);
        QFile::copy(QStringLiteral(LEXORA_SAMPLE_DIR "/ht.dat"), ht);
        exchange::loadHtFileFrom(ht);
        for (const store::LawEntry& law : store::readLawList())
            store::MakeHoutenDB(store::folders().db, law.name + QStringLiteral(".mdb"));
    }
    QString file(const char* name) const { return dir.path() + u'/' + QLatin1String(name); }
    void write(const QString& path, const uint8_t* data, size_t size) const {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
};

inline Environment& environment() {
    static Environment e;
    return e;
}

}  // namespace fuzz

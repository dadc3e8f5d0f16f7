#include "exchange/firststart.h"

#include "platform/prompt.h"
#include "platform/settings.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QDir>
#include <QFileInfo>

namespace exchange {

bool readViewerSettings(platform::Settings& settings, const QString& ownFolder) {
    store::Folders& f = store::folders();
    f.admin = platform::settingToBool(settings.get(QStringLiteral("ADMIN")), false);
    QString program = settings.get(QStringLiteral("PATH"));
    if (program.isEmpty()) {
        program = ownFolder;
        settings.save(QStringLiteral("PATH"), program);
    }
    store::setFolders(program, settings.get(QStringLiteral("ROOT")));
    if (!QFileInfo(f.db).isDir()) settings.save(QStringLiteral("INIT"), QString());
    return settings.get(QStringLiteral("INIT")).isEmpty();
}

QStringList MakeMissingHoutenDBs() {
    const QString dbFolder = store::folders().db;
    if (!QFileInfo(dbFolder).isDir()) QDir().mkpath(dbFolder);
    QStringList created, refused;
    for (const store::LawEntry& law : store::readLawList()) {
        QString why;
        if (!store::isValidLawName(law.name, &why)) {
            refused << QStringLiteral("%1 %2: %3").arg(law.code, law.name, why);
            continue;
        }
        if (QFileInfo::exists(store::lawDbPath(law.name))) continue;
        // One database that cannot be made stops neither the others nor the index import.
        try {
            store::MakeHoutenDB(dbFolder, law.name + QStringLiteral(".mdb"));
            created << law.name;
        } catch (const platform::Error& e) {
            refused << QStringLiteral("%1 %2: %3").arg(law.code, law.name, e.description());
        }
    }
    if (!refused.isEmpty())
        platform::msgBox(QStringLiteral("次の法典のデータベースは作成できませんでした。\r\n") +
                         refused.join(QStringLiteral("\r\n")));
    return created;
}

FirstStartResult prepareFirstStart() {
    FirstStartResult r;
    store::ensureMasterDb();
    r.ht = LoadHtFile();
    r.created = MakeMissingHoutenDBs();
    return r;
}

QString programIdxFile() {
    return store::joinPath(store::folders().program, QStringLiteral("idx.dat"));
}

FirstStartResult runFirstStart(IdxProgress* progress) {
    FirstStartResult r = prepareFirstStart();
    r.idx = ImportIdxFile(programIdxFile(), progress);
    return r;
}

}  // namespace exchange

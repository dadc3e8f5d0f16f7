#include "exchange/firststart.h"

#include "platform/error.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace exchange {

bool readViewerSettings(platform::Settings& settings, const QString& ownFolder) {
    store::Folders& f = store::folders();
    f.admin = platform::settingToBool(settings.get(QStringLiteral("ADMIN")), false);
    QString program = settings.get(QStringLiteral("PATH"));
    if (program.isEmpty()) {
        program = ownFolder;
        settings.save(QStringLiteral("PATH"), program);
    }
    QString root = settings.get(QStringLiteral("ROOT"));
    if (root.isEmpty()) {
        root = defaultDataRoot(program);
        if (!root.isEmpty()) settings.save(QStringLiteral("ROOT"), root);
    }
    store::setFolders(program, root);
    if (!QFileInfo(f.db).isDir()) settings.save(QStringLiteral("INIT"), QString());
    return settings.get(QStringLiteral("INIT")).isEmpty();
}

QString installedDataRoot() {
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/Lexora"));
}

QString defaultDataRoot(const QString& programFolder) {
    const bool installed = store::bundledFolder(programFolder) != programFolder;
    if (installed || !QFileInfo(programFolder).isWritable()) return installedDataRoot();
    return {};
}

QStringList bundledLawTexts() {
    const store::Folders& f = store::folders();
    if (f.share == f.program) return {};
    const QDir laws(store::joinPath(f.share, QStringLiteral("laws")));
    QStringList files;
    for (const store::LawEntry& law : store::readLawList()) {
        const QString file = laws.filePath(law.code + QStringLiteral(".txt"));
        if (!QFileInfo::exists(file)) continue;
        if (QFileInfo::exists(store::lawDbPath(law.name)) &&
            store::openLawDb(law.name)
                    .openRecordset(QStringLiteral("select 条項コード from 条文 limit 1"))
                    .recordCount() > 0)
            continue;
        files << file;
    }
    return files;
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

void ensureDataRoot() {
    const QString db = store::folders().db;
    QFile probe(store::joinPath(db, QStringLiteral(".lexora-probe")));
    const bool ok = QDir().mkpath(db) && probe.open(QIODevice::WriteOnly) &&
                    probe.write("probe", 5) == 5 && probe.flush();
    probe.close();
    probe.remove();
    if (!ok)
        throw platform::Error(
            QStringLiteral("データフォルダ %1 に書き込めません（ディスクが一杯か読み取り専用か、"
                           "フォルダを作れない場所です）。\r\n空きのある書き込める場所を、設定 "
                           "ROOT（~/.config/LXA/LXA.ini の [INST]）に指定してから起動し直して"
                           "ください。")
                .arg(db));
}

FirstStartResult prepareFirstStart() {
    FirstStartResult r;
    ensureDataRoot();
    store::ensureMasterDb();
    r.ht = LoadHtFile();
    r.created = MakeMissingHoutenDBs();
    return r;
}

QString programIdxFile() {
    return store::joinPath(store::folders().share, QStringLiteral("idx.dat"));
}

FirstStartResult runFirstStart(IdxProgress* progress) {
    FirstStartResult r = prepareFirstStart();
    r.idx = ImportIdxFile(programIdxFile(), progress);
    return r;
}

}  // namespace exchange

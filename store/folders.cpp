#include "store/folders.h"

#include <QDir>
#include <QFileInfo>

namespace store {

Folders& folders() {
    static Folders f;
    return f;
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return QDir::separator() + name;
    if (folder.endsWith(u'/') || folder.endsWith(QDir::separator())) return folder + name;
    return folder + QDir::separator() + name;
}

void setFolders(const QString& programFolder, const QString& dataRoot) {
    Folders& f = folders();
    f.program = programFolder;
    f.share = bundledFolder(programFolder);
    f.root = dataRoot.isEmpty() ? programFolder : dataRoot;
    f.db = joinPath(f.root, QStringLiteral("DB"));
    f.html = joinPath(f.root, QStringLiteral("HTML"));
    f.out = joinPath(f.root, QStringLiteral("OUT"));
}

QString bundledFolder(const QString& programFolder) {
    const QString ht = QStringLiteral("ht.dat");
    if (programFolder.isEmpty() || QFileInfo::exists(joinPath(programFolder, ht)))
        return programFolder;
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("/../share/lexora"));
    return QFileInfo::exists(joinPath(installed, ht)) ? installed : programFolder;
}

QString masterDbPath() {
    return joinPath(folders().db, QStringLiteral("法典コード.mdb"));  // kMasterDbName
}

QString lawDbPath(const QString& lawName) {
    return joinPath(folders().db, lawName + QStringLiteral(".mdb"));
}

QString figureFolder(const QString& lawName) {
    return joinPath(joinPath(folders().db, QStringLiteral("figures")), lawName);
}

QString freeDbPath(const QString& folder, const QString& stem) {
    const QString suffix = QStringLiteral(".mdb");
    QString path = joinPath(folder, stem + suffix);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = joinPath(folder, stem + u'-' + QString::number(n) + suffix);
    return path;
}

}  // namespace store

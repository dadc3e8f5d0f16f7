#pragma once
// The folders every operation reads, set once at start-up.
#include <QString>

namespace store {

struct Folders {
    QString program;  // exchange files, Lexbench, sound files
    QString root;     // data root
    QString db;       // root/DB
    QString html;     // root/HTML
    QString out;      // root/OUT
    bool admin = false;
};

Folders& folders();
// Derives DB, HTML and OUT from the data root (the program folder when root is empty).
void setFolders(const QString& programFolder, const QString& dataRoot);

QString joinPath(const QString& folder, const QString& name);
QString masterDbPath();
QString lawDbPath(const QString& lawName);

}  // namespace store

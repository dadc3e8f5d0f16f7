#pragma once
// The folders every operation reads, set once at start-up.
#include <QString>

namespace store {

struct Folders {
    QString program;  // the programs (Lexbench, Pagesmith); the exports write here
    QString share;    // the bundled files read: ht.dat, idx.dat, sounds, laws/
    QString root;     // data root
    QString db;       // root/DB
    QString html;     // root/HTML
    QString out;      // root/OUT
    bool admin = false;
};

Folders& folders();
// Derives DB, HTML and OUT from the data root (the program folder when root is empty); the
// bundled files are looked for with bundledFolder.
void setFolders(const QString& programFolder, const QString& dataRoot);
// Where the bundled files of a program folder are: the folder itself when it holds ht.dat
// (a build tree, make run), else share/lexora beside it when that holds ht.dat (an
// installation), else the folder itself.
QString bundledFolder(const QString& programFolder);

QString joinPath(const QString& folder, const QString& name);
QString masterDbPath();
QString lawDbPath(const QString& lawName);
// Where the pictures of a law's figures are kept (DB/figures/<name>), by their file names.
QString figureFolder(const QString& lawName);
// folder/stem.mdb, or folder/stem-2.mdb, -3 … when that is taken.
QString freeDbPath(const QString& folder, const QString& stem);

}  // namespace store

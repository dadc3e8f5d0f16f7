#pragma once
// Start-up of the viewer without its windows: the settings, the folders, and the first-start
// initialisation (law list from ht.dat, missing law databases, tables of contents from idx.dat).
#include "exchange/htfile.h"
#include "exchange/idximport.h"

#include <QString>
#include <QStringList>

namespace platform {
class Settings;
}

namespace exchange {

// Reads ADMIN, PATH (saved as `ownFolder` when empty) and ROOT into store::folders(), and
// clears INIT when the DB folder is missing. Without ROOT, an installed program (its bundled
// files in share/lexora) or a program folder that cannot be written keeps its data in the
// user's data folder (installedDataRoot), saved as ROOT. Returns true when the first-start
// initialisation must run (INIT empty).
bool readViewerSettings(platform::Settings& settings, const QString& ownFolder);

// The data root of an installed program: Lexora in the user's XDG data folder
// (~/.local/share/Lexora).
QString installedDataRoot();
// The data root for a program folder without ROOT: installedDataRoot() when the program is
// installed or its folder cannot be written, else empty (the program folder).
QString defaultDataRoot(const QString& programFolder);
// The law texts bundled with an installation (share/lexora/laws/*.txt) in the order of the
// law list of ht.dat, leaving out a law whose database already holds records (imported by the
// user before the viewer's first start); empty for a build tree.
QStringList bundledLawTexts();

// The DB folder exists and takes a file; otherwise an error naming the folder and the remedy
// (a full or read-only disk, a path that cannot be a folder).
void ensureDataRoot();

// Creates the DB folder when missing, and an empty database for every listed law that has
// none. Returns the names created; a law whose name cannot be a file name is reported.
QStringList MakeMissingHoutenDBs();

struct FirstStartResult {
    HtLoadResult ht;
    QStringList created;
    IdxImportResult idx;
};

// The first-start steps before the index import, which the caller runs (in a window or not).
FirstStartResult prepareFirstStart();
// The index file of the program folder.
QString programIdxFile();
// The whole initialisation without a window; `progress` may be null.
FirstStartResult runFirstStart(IdxProgress* progress);

}  // namespace exchange

#pragma once
// The index import: replaces the tables of contents of the laws named in line 1 of an
// idx.dat file with the file's rows. Each law's delete-and-re-add is one transaction.
#include "platform/textfile.h"

#include <QString>
#include <QStringList>

namespace exchange {

// What a run shows while it works; the windows show it in their label.
class IdxProgress {
  public:
    virtual ~IdxProgress() = default;
    virtual void label(const QString& text) = 0;
    // Lets pending window events run.
    virtual void pump() {}
    // Asked before each law: true ends the run there (each law is replaced whole or not).
    virtual bool stopRequested() const { return false; }
};

struct IdxImportResult {
    bool fileFound = false;
    QStringList codes;     // the laws replaced, as named in line 1
    int added = 0;         // rows added over all laws
    QStringList skipped;   // "N行目: reason" for every line not imported
    bool stopped = false;  // the progress asked to stop; later laws kept their rows
    QString refusal;       // why nothing was imported (not an index file); empty otherwise
};

// What an import of these lines would change, worked out before anything is written:
// "XX 名称" of the laws named in line 1 whose tables of contents are replaced, of the laws
// that only gain rows, or why the lines are no index file at all.
struct IdxTargets {
    QStringList replaced, added;
    QString refusal;
};
IdxTargets tocImportTargets(const platform::TextLines& text, const QString& path);

// The whole content of an index file: its lines joined with CR LF, no trailing break.
QString GetIdxFile(const QString& path);

// Runs the import. A missing file imports nothing (fileFound false). A line that cannot be
// imported is skipped; all of them are named in one message at the end.
IdxImportResult ImportIdxFile(const QString& path, IdxProgress* progress = nullptr);
// The same on lines already read; `path` names them in messages.
// `quiet`: no message; the caller reports what was skipped.
IdxImportResult importIdxLines(const platform::TextLines& text, const QString& path,
                               IdxProgress* progress = nullptr, bool quiet = false);
// One law's rows (idx.dat lines after line 1), replacing its table of contents under the same
// rules as a file naming that law alone.
IdxImportResult importTocRows(const QString& code, const QStringList& rows,
                              IdxProgress* progress = nullptr, bool quiet = false);

}  // namespace exchange

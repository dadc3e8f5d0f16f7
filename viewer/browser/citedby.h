#pragma once
// The provisions that cite a provision (参照元): an index of every linked reference of every
// listed law, kept in DB/index/refs.mdb by what each points to. It is brought up to date by
// whoever reads it: a law whose database changed since it was read (an import, a correction,
// any path that writes records), a law added, removed or renamed, and the laws whose text
// names a law added or renamed (their references to it resolve anew) are read again.
#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace store {
class Database;
}

namespace viewer {

// One reference as the index keeps it.
struct Citation {
    QString law;     // the citing law's code
    QString code;    // the citing paragraph's 条項コード, or its part entry's node key
    int start = 0;   // in code points of the paragraph's text (the record's, CR LF kept)
    int length = 0;  // in code points
    QString target;  // as lexctl refs prints it: MP709, MP415:2, MP10~MP12
};

class CitationIndex {
  public:
    // The index of the data root in force, created empty when missing; Error when it cannot
    // be opened.
    CitationIndex();
    ~CitationIndex();
    CitationIndex(const CitationIndex&) = delete;
    CitationIndex& operator=(const CitationIndex&) = delete;

    // Reads again what changed (see above), at most `most` laws when above 0; `progress` is
    // told each law before it is read and ends the work when it returns false. Returns the
    // number of laws read.
    using Progress = std::function<bool(int done, int total, const QString& lawName)>;
    int refresh(int most = 0, const Progress& progress = {});
    // How many listed laws are not up to date in the index.
    int staleCount();
    // Every listed law read again.
    int rebuild(const Progress& progress = {});
    // The references to the article `key` (its 10 characters) or the paragraph `code` (16):
    // naming it, a range over it, or a list's member; by the citing laws' order in the law
    // list, then by place. Heading records and parts are no targets; the article's own
    // references to itself (前項, この条) are left out.
    QList<Citation> citing(const QString& key);
    // How many references the index holds.
    int size();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The index file of the data root in force.
QString citationIndexPath();
// The citing provisions among citations: each paragraph (or part entry) once, in order.
QList<Citation> citingProvisions(const QList<Citation>& citations);
// The citing text of a citation: its paragraph's (or part entry's) text; empty when it cannot
// be read.
QString citationText(const Citation& c);

}  // namespace viewer

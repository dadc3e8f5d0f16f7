#pragma once
// The law text import without a window: a header block (法典コード=, 法典名称=) and one block
// per article (heading line, number line, text with optional (1), (2) … paragraph markers),
// blocks separated by an empty line. Whole articles are committed in groups of about 50 ms,
// the law's database opened once per import.
#include "exchange/idximport.h"
#include "exchange/lawxml.h"
#include "store/engine.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

namespace maint {

// A number line that does not start with 第 or has no 条.
class MalformedNumberLine : public std::runtime_error {
  public:
    MalformedNumberLine() : std::runtime_error("malformed number line") {}
};

struct ArticleCode {
    QString plain;    // NNNNBBCC
    QString dashed;   // NNNN-BB-CC
    QString problem;  // why the number does not fit the code; empty when it does
};

// Decodes 第１２条の２の３ (full- or half-width digits); kanji numerals read as 0. An article
// above 9999, a branch above 99 or a third branch does not fit: `problem` says which.
ArticleCode Decode(const QString& numberLine);
// Paragraph n and every later one, divided at the markers "(n)".
QStringList SetKoumoku(const QString& block, int n);
// Removes trailing line breaks (and the blanks before them).
QString RemoveCRLF(const QString& text);
// The value of a header line: the part after the first "=" (up to a second one).
QString headerValue(const QString& line);

struct ParagraphCodes {
    QString code;     // 条項コード of the paragraph
    QString display;  // law code + dashed article code + "-" + two-digit number
    QString heading;  // 条項コード of the article's heading record
};
// The codes of paragraph i (0-based) of an article with `count` paragraphs.
ParagraphCodes paragraphCodes(const QString& lawCode, const ArticleCode& article, int i, int count);

struct Article {
    int block = 0;       // number of the block in the text (1 = first article)
    QString numberLine;  // line 2 as written
    QString title;       // heading text, brackets removed
    ArticleCode code;
    QStringList paragraphs;  // paragraph texts as divided (trimmed of half-width blanks)
};

struct ImportOptions {
    bool headings = true;    // write heading records (条見出しを登録)
    bool paragraphs = true;  // write paragraph records (条文を登録)
    bool fromPane = false;   // text typed into the pane: no master entry, bracket filter
    bool quiet = false;      // no messages: the result names what was skipped (bulk imports)
    bool wholeLaw = false;   // the text is the whole law (law XML): at the end of a full run
                             // the records it no longer has are removed
};

struct ImportResult {
    QString lawCode, lawName;
    int articles = 0;      // articles written
    int records = 0;       // records written
    QStringList skipped;   // blocks not imported, with the reason
    bool stopped = false;  // a malformed number line ended the run
    QString stopMessage;
    bool cancelled = false;  // the observer asked to stop; the articles before are whole
    QString keptVersion;     // the version the replaced records were kept as, if any
    int removed = 0;  // records of an earlier text gone: paragraphs an article no longer has,
                      // and for a whole law the articles it no longer has
};

// What the import window shows while an import runs.
struct ImportObserver {
    std::function<void(const QString& code, const QString& name)> header;
    std::function<void(const QStringList& blocks)> blocks;  // article blocks, in order
    std::function<void(const Article&)> article;            // before the article is written
    std::function<void()> pump;                             // let pending window events run
    std::function<bool()> stop;  // asked after each article: true ends the run there
};

// One record an import writes.
struct ImportRow {
    QString code;  // 条項コード
    QString text;
};
// The records of one article, as the options ask for them.
QList<ImportRow> articleRows(const QString& lawCode, const Article& article,
                             const ImportOptions& options);

// A block of the text as the import will take it: skipped with the reason, or an article
// with its records.
struct PlannedBlock {
    int block = 0;
    QString skipped;
    Article article;
    QList<ImportRow> rows;
};

// A law text parsed into what its import writes, without reading or writing the data root:
// a bulk import parses the next laws on other threads while one is written.
struct ImportPlan {
    ImportOptions options;
    QString lawCode, lawName;
    QStringList blocks;  // the article blocks as the text has them
    QList<PlannedBlock> items;
    QString stopMessage;  // a malformed number line ended the text after the items
};

class LawTextImporter {
  public:
    // Heading brackets last found; kept from one import to the next like the window's state.
    QString openBracket, closeBracket;

    // Splits one article block; the bracket state moves on. Throws MalformedNumberLine.
    Article parseArticle(const QString& block);

    // Imports a whole text (lines joined with CR LF). A header that cannot name a law refuses
    // the whole import before anything is written (store::Error with the reason).
    ImportResult run(const QString& text, const ImportOptions& options,
                     const ImportObserver& observer = {});
    // The two halves of run: the parse (the header checked, store::Error when it cannot
    // name a law) and the writes.
    ImportPlan plan(const QString& text, const ImportOptions& options);
    static ImportResult run(const ImportPlan& plan, const ImportObserver& observer = {});
};

// Why a law text under this code and name must not be imported (the code is listed for
// another law, or the name under another code), or empty when it may.
QString checkImportTarget(const QString& code, const QString& name);
// Adds the law to the master list, or renames it when its code is listed; the imports call
// it only after checkImportTarget, so a listed law is never renamed by an import.
void WriteHCode(const QString& code, const QString& name);
// Writes one article's records into the law's database in one transaction; returns the
// number of records written.
int writeArticle(const QString& lawName, const QString& lawCode, const Article& article,
                 const ImportOptions& options);
// The same into a database already open, inside the caller's transaction.
int writeArticle(store::Database& db, const QString& lawCode, const Article& article,
                 const ImportOptions& options);
// A converted law XML: its text imported as its text file would be, then its table of
// contents replaced by the converted rows. The rows are left alone when the text import did
// not run to its end.
struct XmlImportResult {
    ImportResult text;
    exchange::IdxImportResult toc;
    int figures = 0;  // pictures of its figures kept
};
XmlImportResult importLawXml(const exchange::LawXml& law, LawTextImporter& importer,
                             const ImportObserver& observer = {},
                             const ImportOptions& options = {});
// The same with its text parsed already (xmlLawPlan, on another thread).
XmlImportResult importLawXml(const exchange::LawXml& law, const ImportPlan& plan,
                             const ImportObserver& observer = {});
ImportPlan xmlLawPlan(const exchange::LawXml& law, LawTextImporter& importer,
                      const ImportOptions& options = {});
// What a reader must know of a law XML import besides its counts, one sentence a line: the
// blocks and table-of-contents rows left out, and for a main provision without articles what
// the law holds instead and why its tree is empty. Empty when there is nothing to say.
QStringList xmlImportNotes(const exchange::LawXml& law, const XmlImportResult& r);
// The message a window gives after a law XML import: counts, then the notes.
QString xmlImportSummary(const exchange::LawXml& law, const XmlImportResult& r,
                         const QString& renamedFrom = {});
// The import text of a converted law as a file read gives it: lines joined with CR LF.
QString xmlImportText(const exchange::LawXml& law);

// Reads a law text file (CP932) and joins its lines with CR LF.
QString readLawTextFile(const QString& path);

}  // namespace maint

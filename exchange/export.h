#pragma once
// The administrator's exports: the exchange files idx.dat (every law's table of contents) and
// ht.dat (the law list) in the program folder, one text file per law in the OUT folder, and
// the "make number" listing. Files are CP932 with CR LF, built whole in memory and written in
// one block over a temporary file, so a failure leaves the previous file whole.
#include "platform/error.h"
#include "store/lawdb.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace exchange {

class ExportError : public platform::Error {
  public:
    using platform::Error::Error;
};

// Lets pending window events run between records; may be empty. The operations take their
// texts by value: the events may change the caller's variables (a window's law) meanwhile.
using Pump = std::function<void()>;

struct ExportResult {
    QStringList written;  // the files written, full paths
    QStringList skipped;  // "XX 名称: reason" for every law left out
};

// The law's database can be opened: a valid name whose file exists; otherwise `why` says
// what is missing.
bool lawDbAvailable(const store::LawEntry& law, QString* why);
// "XX 名称", as messages name a law.
QString lawLabel(const store::LawEntry& law);

// "00" + value for a value of exactly 6 characters; anything else unchanged.
QString WidenJouCode(const QString& value);
// A paragraph's digest for the number listing: the mark, "　" and the text, shortened to its
// first and last five characters (joined by "・・・") from 10 characters on; a text of several
// lines gives one such line per non-empty line, without the mark.
QString GetKouDigest(const QString& text, const QString& mark);

// idx.dat: "CODES" with every law's code, then one "&&"-separated line per 目次 row. A law
// whose database is missing is left out (code and rows) and named in one message at the end.
// A field holding "&&" or a line break refuses the whole file (ExportError naming the rows).
ExportResult WriteIdxFile(const Pump& pump = {});
// ht.dat: "番号 法典コード 法典名称" a line. A code or name holding a blank, a comma or a
// line break refuses the whole file (ExportError naming the rows).
ExportResult WriteHtFile(const Pump& pump = {});

// The caption mode of a typed command: 0 (empty brackets) when it holds a "/", else 1.
int houtenTextMode(const QString& command);
// One record of a law's text in code order, as the export writes it: a record of a new
// article opens it with an empty line, its text in 【】 (mode 1; mode 0 empty brackets) and
// the article's title; a paragraph record adds a line with its mark and text, its trailing
// line breaks trimmed when `trim` is set. `article` carries the current article.
// The caption mode of a reader's text: the caption as stored, no brackets where it is empty.
inline constexpr int kCaptionsShown = 2;
void appendLawRecord(QString& body, QString& article, const QString& code, const QString& text,
                     int mode, bool trim);
// The whole text of a law's export file for the records of its 条文 table (codes and texts
// in code order).
QString houtenText(const QString& code, const QString& name, const QStringList& codes,
                   const QStringList& texts, int mode, const Pump& pump = {});
// Writes OUT/<code>.txt for one law (the OUT folder is made when missing); returns the path.
// A law not in the list, or without its database, is an ExportError.
QString WriteHoutenText(QString code, int mode, const Pump& pump = {});
// "make each…" writes the law `code`; "make all…" every law of the list, one at a time, the
// laws that cannot be written named in one message at the end.
ExportResult MakeHoutenText(QString code, QString command, const Pump& pump = {});
// The law's name, an empty line, then per record the article title (heading record) or the
// paragraph's digest.
QString MakeNumberList(QString code, const Pump& pump = {});

}  // namespace exchange

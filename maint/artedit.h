#pragma once
// The article editor without a window: 条項コード from the typed short number, the texts the
// window shows for a code, and the reads and writes of one article's records.
#include <QString>
#include <QStringList>

namespace maint {

// The parts of a short article number (absent parts are 0).
struct ArticleNumber {
    int article = 0;
    int branch1 = 0;
    int branch2 = 0;
    int paragraph = 0;
};

// A typed entry such as "ab12-2:2": law code in upper case and the rest as typed.
struct CodeEntry {
    QString law;
    QString rest;
    ArticleNumber number;
};

// Splits the entry; a number part SplitJouNumber cannot read reports itself and its unread
// parts stay 0.
CodeEntry parseCodeEntry(const QString& typed);

// The 条項コード of the parts: paragraph P > 0 gives ...PPPP00, P = 0 the only paragraph
// (...010000). The law code is put in upper case.
QString makeRecordCode(const QString& law, const ArticleNumber& n);
// The heading record of the article `code` belongs to.
QString headingCode(const QString& code);
// The heading record's sub-record ends in 1.
bool isHeadingCode(const QString& code);
// The parts of a 16-character 条項コード (paragraph = the shown number, characters 13-14).
ArticleNumber numberOfCode(const QString& code);

// ① … ⑳ for 1-20, "(21)" and up above that, empty for 0 and less.
QString circledNumber(int n);
// 第12条の2 ② (branches and paragraph only when above 0).
QString articleNumberText(const ArticleNumber& n);
// The short entry of a code: AB12-2:2.
QString shortEntry(const QString& code);
// The record's line in the article's list: 【caption】, ①text, or the text as it is.
QString listLine(const QString& code, const QString& text);

// What the window shows for one 条項コード.
struct ArticleView {
    bool hasHeading = false;
    QString heading;  // 条文 of the heading record
    bool hasRecord = false;
    QString text;       // 条文 of the record itself
    QStringList codes;  // every record of the article, by code
    QStringList lines;  // their list lines, same order
};

// Reads the heading, the record and every record of the article; a missing law database is
// created empty first.
ArticleView FindJoubun(const QString& lawName, const QString& code);

// Why `code` cannot be written, or empty when it can: it must be a 16-character record code
// and not the heading record (that would overwrite the caption with the paragraph text).
QString checkWritableCode(const QString& code);
// Writes the heading record (a single blank for an empty or blank heading) and the record
// itself in one transaction; throws store::Error, and nothing is written then.
void WriteJoubun(const QString& lawName, const QString& code, const QString& heading,
                 const QString& text);
// Deletes the one record; the law database must exist. Returns whether a record went.
bool DeleteJoubun(const QString& lawName, const QString& code);

}  // namespace maint

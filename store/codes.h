#pragma once
// Article codes, record codes and table-of-contents codes, and their rendering as the
// Japanese numbering shown to the reader. Non-digit characters inside a numeric field throw
// platform::ConversionError.
#include <QChar>
#include <QString>

namespace store {

// 8 (article number), 10 (article code) or 16 (条項コード) characters: 第3条の2, or the
// paragraph mark ①..⑳ with a blank, or (21). With `articleNumbers` false (the maintenance
// program's form) an 8-character code gives the empty string.
QString GetJouKouText(const QString& code, bool articleNumbers = true);
// （1条～11条） from two 8-digit article numbers.
QString GetJouRangeText(const QString& first, const QString& last);
// Level label (第2章の3) of a 目次 code into `label`; returns the parent's code, or the empty
// string (label unchanged) when every level is zero.
QString GetMokujiName(const QString& code, QString& label);
// The path of the non-zero levels of a code being typed; `fullPath` gets every level.
QString GetMokujiPathText(const QString& code, QString& fullPath);
// Paragraph block header from characters 11-14 of a 条項コード; `label` gets " 第P項" or "".
QString GetKouHeader(const QString& part, QString& label);
int KanjiDigitValue(QChar c);
// The largest value a kanji numeral may have: four digits, as article numbers have.
constexpr int kMaxKanjiNumber = 9999;
// The value of a kanji numeral (三百五 → 305); above kMaxKanjiNumber a ConversionError.
int KanjiNumberValue(const QString& numeral);
// A number written as the statutes write it (415 → 四百十五, 1044 → 千四十四, 10 → 十): no 一
// before 十, 百 or 千; 0 and numbers past kMaxKanjiNumber in digits.
QString kanjiNumeral(int value);
// Every number of an article or heading (N編 … N目, N条) with its の branches, of a label,
// written in kanji numerals (第415条の2 → 第四百十五条の二, 第2章の3 → 第二章の三, （1条～11条）
// → （一条～十一条）); the rest of the text (paragraph numbers among it) unchanged.
QString kanjiArticleNumbers(const QString& label);
// The article number between the first 第 and the first 条 following it, when there is one.
bool kanjiArticleNumber(const QString& text, int* value);
// Shows that number in a message box; nothing without a 第…条 pair.
void ShowKanjiJouNumber(const QString& text);
// HTML folder / law code / code.html; the folders are created when missing.
QString GetHtmlPath(const QString& code);
// Removes trailing line breaks and the half-width blanks before each; a text that does not
// end with CR LF is returned unchanged.
QString TrimTrailingCRLF(const QString& text);
// The same in place: an export trims the end of a long text after many of its lines.
void trimTrailingCRLF(QString& text);

// The paragraph ordinal (characters 11-12) of a 条項コード; 0 for the heading row.
int paragraphOrdinal(const QString& code);

}  // namespace store

#pragma once
// The law list as a reader searches it: every listed law with its reading, abbreviations, law
// number and kind, a filter that matches what one types (part of the title, the reading in
// kana or romaji, an abbreviation, the law number, the code) and the list's orders.
#include <QList>
#include <QString>
#include <QStringList>

namespace exchange {

struct LawListEntry {
    int number = 0;  // 番号
    QString code;    // 法典コード
    QString name;    // 法典名称
    QString title;   // the full title (the name when the database keeps none)
    QString kana;    // the reading
    QString abbrev;  // the law XML's abbreviations, comma-separated
    QString lawNum;  // 昭和二十二年法律第百二十五号
    QString kind;    // lawKind's
    QString roman;   // the reading in Hepburn letters
};

// The listed laws in 番号 order, each with what its database keeps of it; a law's database is
// read again only when its file changed since (a list of 2,000 is read once per program).
QList<LawListEntry> readLawListEntries();

// The kind of law its number (or, without one, its title) says: 憲法, 法律, 政令, 府省令, 規則
// or その他.
QString lawKind(const QString& lawNum, const QString& title);
// The kinds the list offers as a filter, in order.
QStringList lawKinds();

// Abbreviations readers type that law XML does not give (民訴, 独禁法, 刑訴 …): the title's.
// A law without a reading of its own (one imported from text) takes the reading this list
// knows for its title.
QStringList commonAbbreviations(const QString& title);
// Every abbreviation of the list above, for codes to pass over.
QStringList knownAbbreviations();
// The listed law an abbreviation at the start of `typed` names (国賠法1, 民訴百三十三): the
// longest of the laws' XML abbreviations and the list above; its code and the abbreviation's
// length, or {"", 0}.
std::pair<QString, int> lawByAbbreviation(const QString& typed);

// Whether the law matches what was typed: each word (split at blanks) is part of the title,
// the reading (hiragana and katakana alike), the romaji (without regard to case), an
// abbreviation, the law number, or the code.
bool lawListMatches(const LawListEntry& law, const QString& typed);

enum class LawListOrder { Number, Reading, LawNumber, Kind };
// Sorted stably: by 番号, by reading (五十音), by law number (era, year, number), by kind.
void sortLawList(QList<LawListEntry>& laws, LawListOrder order);

}  // namespace exchange

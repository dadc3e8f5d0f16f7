#pragma once
// Law codes chosen for the reader: from a law's kana reading, never one the list holds.
//
// The rule: the reading in Hepburn romanisation, upper case, letters only (こっかばいしょうほう
// gives KOKKABAISHOUHOU). The candidates, in order: its first letter followed by each later
// letter of the romanisation in turn (KO, KK, KA, KB, KI, KS, KH, KU), then by every letter
// A-Z, then by every digit 0-9; then every other first letter A-Z in the same way with A-Z and
// 0-9. The first candidate the list does not hold is the code. A law listed under the same
// name keeps its code. A reading without a letter starts at A.
//
// Once all 936 are held, two code kanji (store::isCodeKanji): from the abbreviation, then the
// title, each of its kanji followed by each later one in turn (国賠法 gives 国賠 国法 賠法;
// 借地借家法 gives 借地 借借 借家 借法 …); then the title's first kanji followed by every kanji
// in CP932 order (JIS level 1 first), then its second kanji so, and so on, then 法 so, then
// every code kanji so. A code that is a listed law's name is passed over (typed, the name
// wins). Every code stays two characters and the first two of each record code.
#include "store/lawdb.h"

#include <QString>
#include <QStringList>

namespace exchange {

// Hiragana or katakana to Hepburn letters, upper case; other characters are left out.
QString romanize(const QString& kana);
// Every ASCII code the rule tries for this reading, in order (936 in all, each once).
QStringList codeCandidates(const QString& kana);
// The kanji codes the rule tries after them, in order, the first `most` (each once).
QStringList kanjiCodeCandidates(const QString& title, const QString& abbrev, int most);
// The code for the law: the listed code of a law with this name, else the first candidate
// no listed law has (compared without regard to case); empty when every code is taken.
QString proposeLawCode(const QString& name, const QString& kana,
                       const QList<store::LawEntry>& listed, const QString& abbrev = {});
// The same against the master list.
QString proposeLawCode(const QString& name, const QString& kana, const QString& abbrev = {});

}  // namespace exchange

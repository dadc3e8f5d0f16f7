#pragma once
// Variant folding for the word search (表記ゆれを同一視): one character for one, so a place in
// the folded text is the same place in the raw text. Old kanji forms go to the new ones only
// (國 → 国, never 国 → 國); full-width letters and digits to ASCII; ～/〜, －/−/‐ and the
// ideographic space to one form each. Loose folding also reads small kana as large (ャ → ヤ),
// as old texts printed them.
#include <QString>

struct sqlite3;

namespace store {

enum class Fold { None = 0, Variants = 1, Loose = 2 };

// One UTF-16 unit folded; a surrogate stays as it is.
char16_t foldChar(char16_t c, Fold level);
QString foldText(const QString& text, Fold level);
// Registers foldtext(text, level) on a connection (level 0, 1 or 2 as Fold).
void registerFoldFunction(sqlite3* db);

}  // namespace store

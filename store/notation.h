#pragma once
// The short article notation typed by users: KP3, KP3-2, KP3-2-1, each with an optional :P.
#include <QString>

namespace store {

// Splits the number part into article, branches and paragraph. On a failure shows the
// failure's description, an empty line and `s`; the outputs assigned before it keep their
// new values, the rest keep what the caller passed. Returns false on failure.
bool SplitJouNumber(const QString& s, int& article, int& branch1, int& branch2, int& paragraph);

// The 10-character article code, or the 16-character 条項コード when a paragraph is given;
// empty for an empty text. `normalized` (when given) gets the law code in upper case
// followed by the rest, for the lookup box to show.
QString ExtractCode(const QString& text, QString* normalized = nullptr);

}  // namespace store

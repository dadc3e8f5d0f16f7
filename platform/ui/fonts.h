#pragma once
// The specified font names come first; the IPA P-fonts stand in where they are missing.
#include <QFont>
#include <QString>
#include <QStringList>

namespace platform {

inline const QString kGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kMincho = QStringLiteral("ＭＳ Ｐ明朝");

// A font whose family list is `name` followed by the Japanese fallbacks.
QFont japaneseFont(const QString& name = kGothic, double pointSize = 10.0);
// Sets the family of `f` to `name` with the fallbacks, keeping size and weight.
void setJapaneseFamily(QFont& f, const QString& name);

}  // namespace platform

#include "platform/ui/fonts.h"

namespace platform {

void setJapaneseFamily(QFont& f, const QString& name) {
    const bool mincho = name.contains(QStringLiteral("明朝"));
    const QString gothic = QStringLiteral("IPAPGothic");
    const QString minchoFont = QStringLiteral("IPAPMincho");
    f.setFamilies({name, mincho ? minchoFont : gothic, mincho ? gothic : minchoFont});
}

QFont japaneseFont(const QString& name, double pointSize) {
    QFont f;
    setJapaneseFamily(f, name);
    f.setPointSizeF(pointSize);
    return f;
}

}  // namespace platform

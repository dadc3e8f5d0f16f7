#include "platform/ui/sound.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <QWidget>

namespace platform {

void playSound(const QString& path, QWidget* owner) {
    if (!owner || !QFileInfo(path).isFile()) return;
    auto* effect =
        owner->findChild<QSoundEffect*>(QStringLiteral("lexoraSound"), Qt::FindDirectChildrenOnly);
    if (!effect) {
        effect = new QSoundEffect(owner);
        effect->setObjectName(QStringLiteral("lexoraSound"));
    }
    effect->setSource(QUrl::fromLocalFile(path));
    effect->play();
}

void beep() {
    QApplication::beep();
}

}  // namespace platform

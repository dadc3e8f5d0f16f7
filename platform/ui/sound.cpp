#include "platform/ui/sound.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <QWidget>

namespace platform {

namespace {
std::function<void(const QString&)>& observer() {
    static std::function<void(const QString&)> o;
    return o;
}
}  // namespace

void setSoundObserver(std::function<void(const QString& path)> o) {
    observer() = std::move(o);
}

void playSound(const QString& path, QWidget* owner) {
    if (observer()) observer()(path);
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

#include "platform/ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace platform {

namespace {
double dpi() {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (QScreen* s = app->primaryScreen()) return s->logicalDotsPerInch();
    return 96.0;
}
}  // namespace

int twipsToPixels(double twips) {
    return int(std::lround(twips * dpi() / 1440.0));
}
int pixelsToTwips(int pixels) {
    return int(std::lround(pixels * 1440.0 / dpi()));
}

void setGeometryTwips(QWidget* w, int left, int top, int width, int height) {
    QWidget* target =
        w->parentWidget() && w->parentWidget()->inherits("QMdiSubWindow") ? w->parentWidget() : w;
    target->move(twipsToPixels(left), twipsToPixels(top));
    target->resize(std::max(0, twipsToPixels(width)), std::max(0, twipsToPixels(height)));
}

QRect geometryTwips(const QWidget* w) {
    const QWidget* target =
        w->parentWidget() && w->parentWidget()->inherits("QMdiSubWindow") ? w->parentWidget() : w;
    const QRect g = target->isWindow() ? target->frameGeometry() : target->geometry();
    return {pixelsToTwips(g.x()), pixelsToTwips(g.y()), pixelsToTwips(g.width()),
            pixelsToTwips(g.height())};
}

}  // namespace platform

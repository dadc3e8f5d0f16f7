#include "viewer/shell/ui/frmtest.h"

#include "platform/ui/guard.h"
#include "platform/ui/mdi.h"
#include "platform/ui/twips.h"
#include "viewer/shell/ui/mdimain.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace viewer {

FrmTest::FrmTest(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmTest"));
    setWindowTitle(QStringLiteral("メインメニュー表示中"));
}

void FrmTest::Form_Load() {
    MDIMain* main = MDIMain::instance();
    if (!main) return;
    platform::setGeometryTwips(this, 0, 20, platform::pixelsToTwips(main->width()) - 200, 0);
    // No height: the caption bar alone, which the window system keeps however small it is.
    if (QMdiSubWindow* sub = platform::subWindowOf(this))
        sub->resize(sub->width(), std::max(sub->height(), sub->minimumSizeHint().height()));
    // Another child activated, it unloads itself (later: the frame is still switching its
    // windows). The frame itself losing the focus activates no child and leaves it.
    platform::connectGuarded(main->area(), &QMdiArea::subWindowActivated, this,
                             [this](QMdiSubWindow* sub) {
                                 if (sub && sub != platform::subWindowOf(this)) {
                                     if (QMdiSubWindow* own = platform::subWindowOf(this))
                                         own->deleteLater();
                                     else
                                         deleteLater();
                                 }
                             });
}

}  // namespace viewer

#include "platform/ui/mdi.h"

#include <algorithm>

#include "platform/settings.h"
#include "platform/ui/guard.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTimer>

namespace platform {

MdiFrame::MdiFrame(QWidget* parent) : QMainWindow(parent), area_(new QMdiArea(this)) {
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) { refreshMenus(); });
}

MdiFrame::~MdiFrame() {
    // Tearing down the area activates no menus and closes nothing on a half-destroyed frame.
    disconnect(area_, nullptr, this, nullptr);
    // Closed windows still waiting for their deletion are no longer in the area's list.
    for (QMdiSubWindow* sub : area_->findChildren<QMdiSubWindow*>())
        disconnect(sub, nullptr, this, nullptr);
}

QMdiSubWindow* MdiFrame::showChild(QWidget* child) {
    child->setAttribute(Qt::WA_DeleteOnClose);
    // The size a window gave itself is its content's size; the frame adds its borders.
    const QSize wanted = child->testAttribute(Qt::WA_Resized) ? child->size() : QSize();
    QMdiSubWindow* sub = area_->addSubWindow(child);
    if (wanted.isValid()) {
        const int border =
            sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
        const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
        sub->resize(wanted.width() + 2 * border, wanted.height() + title + border);
    }
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(child->windowTitle());
    connect(child, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
    // A child's own close (unload) takes its frame with it.
    connect(child, &QObject::destroyed, sub, [sub] { sub->close(); });
    connect(sub, &QObject::destroyed, this, [this] {
        if (closePending_) QTimer::singleShot(0, this, [this] { close(); });
    });
    sub->show();
    // Where the area's own placement would put part of the window out of sight, move it in.
    const QRect room = area_->viewport()->rect();
    QPoint at = sub->pos();
    if (at.x() + sub->width() > room.width()) at.setX(std::max(0, room.width() - sub->width()));
    if (at.y() + sub->height() > room.height()) at.setY(std::max(0, room.height() - sub->height()));
    sub->move(at);
    return sub;
}

void MdiFrame::closeEvent(QCloseEvent* e) {
    area_->closeAllSubWindows();
    for (QMdiSubWindow* sub : area_->subWindowList())
        if (sub->isVisible()) {
            closePending_ = true;
            e->ignore();
            return;
        }
    closePending_ = false;
    QMainWindow::closeEvent(e);
}

void MdiFrame::setFrameMenus(const QList<QAction*>& entries) {
    frameMenus_ = entries;
    refreshMenus();
}

QList<QWidget*> MdiFrame::children() const {
    QList<QWidget*> out;
    for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder))
        if (sub->widget()) out.append(sub->widget());
    return out;
}

void MdiFrame::setLastingMenus(const QList<QAction*>& entries) {
    lastingMenus_ = entries;
    refreshMenus();
}

void MdiFrame::setLastingFileActions(const QList<QAction*>& actions) {
    lastingFile_ = actions;
    refreshMenus();
}

QMenu* MdiFrame::makeWindowMenu() {
    auto* menu = new QMenu(QStringLiteral("ウィンドウ(&W)"), this);
    menu->setObjectName(QStringLiteral("Mn_Window"));
    // Built as it opens: the windows open now, the active one checked.
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        menu->clear();
        QAction* cascade = menu->addAction(QStringLiteral("重ねて表示(&C)"));
        cascade->setObjectName(QStringLiteral("Mn_Window_Cascade"));
        connect(cascade, &QAction::triggered, area_, &QMdiArea::cascadeSubWindows);
        QAction* tile = menu->addAction(QStringLiteral("並べて表示(&T)"));
        tile->setObjectName(QStringLiteral("Mn_Window_Tile"));
        connect(tile, &QAction::triggered, area_, &QMdiArea::tileSubWindows);
        const QList<QMdiSubWindow*> subs = area_->subWindowList(QMdiArea::CreationOrder);
        if (!subs.isEmpty()) menu->addSeparator();
        int n = 0;
        for (QMdiSubWindow* sub : subs) {
            QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(sub->windowTitle()));
            a->setCheckable(true);
            a->setChecked(sub == area_->activeSubWindow());
            connect(a, &QAction::triggered, sub, [sub] {
                sub->showNormal();
                if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
            });
        }
    });
    return menu;
}

void MdiFrame::refreshMenus() {
    QMdiSubWindow* sub = area_->activeSubWindow();
    if (sub && sub->widget())
        if (auto* owner = dynamic_cast<MenuOwner*>(sub->widget())) {
            const QList<QAction*> menus = owner->childMenus();
            if (!menus.isEmpty()) {
                for (QAction* entry : menus) {
                    QMenu* m = entry->menu();
                    if (!m || m->objectName() != QStringLiteral("Mn_File") ||
                        lastingFile_.isEmpty() || m->actions().contains(lastingFile_.first()))
                        continue;
                    QAction* last = m->actions().isEmpty() ? nullptr : m->actions().last();
                    m->insertActions(last, lastingFile_);
                    if (last) m->insertSeparator(last);
                }
                showMenus(menus + lastingMenus_);
                return;
            }
        }
    showMenus(frameMenus_ + lastingMenus_);
}

void MdiFrame::showMenus(const QList<QAction*>& entries) {
    QMenuBar* bar = menuBar();
    if (bar->actions() == entries) return;  // already on show: no new layout of the bar
    for (QAction* a : bar->actions()) bar->removeAction(a);
    bar->addActions(entries);
}

QMdiSubWindow* subWindowOf(const QWidget* child) {
    return child ? qobject_cast<QMdiSubWindow*>(child->parentWidget()) : nullptr;
}

void bringToFront(QWidget* child) {
    if (!child) return;
    if (QMdiSubWindow* sub = subWindowOf(child)) {
        sub->show();
        sub->raise();
        if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
    } else {
        child->show();
        child->raise();
        child->activateWindow();
    }
}

void unload(QWidget* child) {
    if (!child) return;
    if (QMdiSubWindow* sub = subWindowOf(child)) {
        child->setAttribute(Qt::WA_DeleteOnClose);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->close();
    } else {
        child->setAttribute(Qt::WA_DeleteOnClose);
        child->close();
    }
}

void keepInside(QWidget* child) {
    QMdiSubWindow* sub = subWindowOf(child);
    QMdiArea* area = sub ? sub->mdiArea() : nullptr;
    if (!area) return;
    const QRect room = area->viewport()->rect();
    QRect g = sub->geometry();
    g.setWidth(std::min(g.width(), room.width()));
    g.setHeight(std::min(g.height(), room.height()));
    g.moveLeft(std::clamp(g.left(), 0, std::max(0, room.width() - g.width())));
    g.moveTop(std::clamp(g.top(), 0, std::max(0, room.height() - g.height())));
    sub->setGeometry(g);
}

QCheckBox* keptCheckBox(QWidget* parent, const QString& objectName, const QString& caption,
                        const QString& app, const QString& section, const QString& key) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(objectName);
    box->setChecked(settingToBool(Settings(app, section).get(key), false));
    connectGuarded(box, &QCheckBox::toggled, box, [app, section, key](bool on) {
        Settings(app, section).save(key, on ? QStringLiteral("True") : QStringLiteral("False"));
    });
    return box;
}

}  // namespace platform

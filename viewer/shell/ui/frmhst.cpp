#include "viewer/shell/ui/frmhst.h"

#include "platform/keys.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/sound.h"
#include "platform/ui/textpane.h"
#include "platform/ui/twips.h"
#include "platform/vb.h"
#include "store/folders.h"
#include "viewer/shell/state.h"
#include "viewer/shell/ui/mdimain.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiArea>

namespace viewer {

FrmHst::FrmHst(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmHst"));
    setWindowTitle(QStringLiteral("履歴"));
    ListHst = new QListWidget(this);
    ListHst->setObjectName(QStringLiteral("ListHst"));
    ListHst->setFont(platform::japaneseFont(platform::kGothic, 10));
    ListHst2 = new QListWidget(this);
    ListHst2->setObjectName(QStringLiteral("ListHst2"));
    ListHst2->hide();
    Rtxt1 = new platform::TextPane(this);
    Rtxt1->setObjectName(QStringLiteral("Rtxt1"));
    Rtxt1->setFontName(platform::kMincho);
    Rtxt1->setFontSize(12);
    // A line chosen by the mouse or the keys shows its copy, as the list's click did; a click
    // on the line already chosen shows it again, a click that chose it not twice.
    platform::connectGuarded(ListHst, &QListWidget::currentRowChanged, this, [this] {
        shownByPress_ = QGuiApplication::mouseButtons() != Qt::NoButton;
        ListHst_Click();
    });
    platform::connectGuarded(ListHst, &QListWidget::itemClicked, this, [this] {
        const bool shown = shownByPress_;
        shownByPress_ = false;
        if (!shown) ListHst_Click();
    });
    ListHst->installEventFilter(this);
    Rtxt1->installEventFilter(this);
    resize(640, 420);
}

void FrmHst::Form_Load() {
    const QWidget* space = MDIMain::instance() ? MDIMain::instance()->area()->viewport() : nullptr;
    const int spaceWidth = space ? platform::pixelsToTwips(space->width()) : 0;
    const QRect g = platform::geometryTwips(this);
    platform::setGeometryTwips(this, std::max(0, spaceWidth - g.width() - 300), 300, g.width(),
                               g.height());
}

void FrmHst::ListHst_Click() {
    if (NOWREMAKE) return;
    // Each step runs even when an earlier one fails.
    platform::BusyCursor busy;
    QString key;
    platform::guard([&] {
        const QListWidgetItem* header = ListHst2->item(ListHst->currentRow());
        key = platform::trimBlanks(header ? header->text() : QString());
    });
    platform::guard([&] {
        // Identical entries: the chosen one is the copy with as many identical entries after
        // it as the line has below it; with none, the last copy holding the header.
        int later = 0;
        for (int i = ListHst->currentRow() + 1; i < ListHst2->count(); ++i)
            later += platform::trimBlanks(ListHst2->item(i)->text()) == key;
        const QStringList pieces = state().CopyLog.split(QStringLiteral("SEPARATOR"));
        for (auto it = pieces.crbegin(); it != pieces.crend(); ++it)
            if (it->contains(key) && later-- == 0) {
                Rtxt1->setText(*it);
                break;
            }
    });
    platform::guard([&] {
        platform::playSound(store::joinPath(store::folders().share, QStringLiteral("s01.wav")),
                            this);
    });
}

bool FrmHst::Form_KeyDown(int KeyCode, int Shift) {
    switch (KeyCode) {
        case Qt::Key_Backspace:
            if (Shift == 0 && ListHst->currentRow() > 0) {
                ListHst->setCurrentRow(ListHst->currentRow() - 1);
                return true;
            }
            if (Shift == platform::kShiftMask && ListHst->currentRow() < ListHst->count() - 1) {
                ListHst->setCurrentRow(ListHst->currentRow() + 1);
                return true;
            }
            return Shift == 0 || Shift == platform::kShiftMask;
        case Qt::Key_F5:
            if (MDIMain* main = MDIMain::instance()) {
                platform::BusyCursor busy;
                main->HstForm_Remake();
            }
            return true;
        case Qt::Key_F11:
            if (listWidth > 1000) {
                listWidth -= 200;
                layout();
            }
            return true;
        case Qt::Key_F12:
            if (platform::geometryTwips(this).width() - 1000 > listWidth) {
                listWidth += 200;
                layout();
            }
            return true;
        default:
            return false;
    }
}

void FrmHst::layout() {
    // Each step is skipped on its own when it fails.
    if (listWidth == 0) listWidth = 2000;
    const QRect outer = platform::geometryTwips(this);
    const int listH = std::max(0, outer.height() - 450);
    const int listLeft = platform::pixelsToTwips(ListHst->x());
    ListHst->setGeometry(ListHst->x(), ListHst->y(), platform::twipsToPixels(listWidth),
                         platform::twipsToPixels(listH));
    Rtxt1->setGeometry(platform::twipsToPixels(listLeft + listWidth - 5), Rtxt1->y(),
                       platform::twipsToPixels(std::max(0, outer.width() - listWidth - 180)),
                       // The pane ends inside the window even where the frame is taller.
                       std::min(platform::twipsToPixels(listH), height() - Rtxt1->y()));
}

void FrmHst::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    platform::guard([this] { layout(); });
}

bool FrmHst::eventFilter(QObject* watched, QEvent* event) {
    // Key preview: the window's keys before the list's and the pane's.
    if ((watched == ListHst || watched == Rtxt1) && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        bool handled = false;
        platform::guard(
            [&] { handled = Form_KeyDown(k->key(), platform::shiftMask(k->modifiers())); });
        if (handled) return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace viewer

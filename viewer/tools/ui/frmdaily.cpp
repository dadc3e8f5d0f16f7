#include "viewer/tools/ui/frmdaily.h"

#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/sound.h"
#include "platform/ui/timer.h"
#include "platform/ui/twips.h"
#include "store/folders.h"
#include "viewer/shell/ui/mdimain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace viewer {

namespace {
const QColor kCalm(192, 255, 255);  // light cyan
const QColor kWarning(255, 255, 0);
}  // namespace

FrmDaily::FrmDaily(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmDaily"));
    setWindowTitle(QStringLiteral("タイマー"));
    setFont(platform::japaneseFont(platform::kGothic, 9));
    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    LabelGenre = new QLabel(Picture1);
    LabelGenre->setObjectName(QStringLiteral("LabelGenre"));
    LabelTime = new QLabel(QStringLiteral("start"), Picture1);
    LabelTime->setObjectName(QStringLiteral("LabelTime"));
    Check1 = new QCheckBox(QStringLiteral("Pause"), Picture1);
    Check1->setObjectName(QStringLiteral("Check1"));
    Txt1 = new QLineEdit(QStringLiteral("1000"), Picture1);
    Txt1->setObjectName(QStringLiteral("Txt1"));
    Txt1->setFixedWidth(48);
    Txt1->hide();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(10);
    top->addWidget(LabelGenre);
    top->addWidget(LabelTime, 1);
    top->addWidget(Txt1);
    top->addWidget(Check1);
    auto* bars = new QHBoxLayout;
    bars->setContentsMargins(0, 0, 0, 0);
    bars->setSpacing(2);
    for (int i = 0; i < BlockTimer::kBlocks; ++i) {
        auto* bar = new QProgressBar(Picture1);
        bar->setObjectName(QStringLiteral("Bar1_%1").arg(i));
        bar->setRange(0, BlockTimer::kBlockTicks);
        bar->setValue(0);
        bar->setTextVisible(false);
        bar->setFixedHeight(10);
        bars->addWidget(bar);
        Bar1 << bar;
    }
    auto* inner = new QVBoxLayout(Picture1);
    inner->setContentsMargins(4, 2, 4, 2);
    inner->setSpacing(2);
    inner->addLayout(top);
    inner->addLayout(bars);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Picture1);
    setBackground(kCalm);

    platform::connectGuarded(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    platform::connectGuarded(Txt1, &QLineEdit::textChanged, this, [this] { Txt1_Change(); });
    platform::connectGuarded(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Picture1->installEventFilter(this);
}

void FrmDaily::Form_Load() {
    const int mainWidth =
        MDIMain::instance() ? platform::pixelsToTwips(MDIMain::instance()->width()) : 0;
    platform::setGeometryTwips(this, std::max(0, mainWidth - 4005 - 200), 0, 4005, 1035);
    platform::applyTypedInterval(Timer1, Txt1->text());
}

void FrmDaily::Timer1_Timer() {
    const BlockTimer::Step s = counter.tick();
    Bar1[s.bar]->setValue(s.value);
    LabelGenre->setText(s.genre);
    LabelTime->setText(s.time);
    setWindowTitle(s.caption);
    setBackground(s.warning ? kWarning : kCalm);
    if (s.sound)
        platform::playSound(store::joinPath(store::folders().share, QStringLiteral("s03.wav")),
                            this);
    if (s.barsReset)
        for (QProgressBar* bar : Bar1) bar->setValue(0);
}

void FrmDaily::Check1_Click() {
    // The text's change sets the timer: "0" stops it.
    Txt1->setText(Check1->isChecked() ? QStringLiteral("0") : QStringLiteral("1000"));
}

void FrmDaily::Txt1_Change() {
    platform::applyTypedInterval(Timer1, Txt1->text());
}

void FrmDaily::Picture1_DblClick() {
    Txt1->setHidden(!Txt1->isHidden());
}

QColor FrmDaily::background() const {
    return Picture1->palette().color(QPalette::Window);
}

void FrmDaily::setBackground(const QColor& c) {
    QPalette p = Picture1->palette();
    p.setColor(QPalette::Window, c);
    Picture1->setPalette(p);
}

void FrmDaily::closeEvent(QCloseEvent* e) {
    platform::setTimerInterval(Timer1, 0);
    QWidget::closeEvent(e);
}

bool FrmDaily::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture1 && event->type() == QEvent::MouseButtonDblClick) {
        platform::guard([this] { Picture1_DblClick(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace viewer

#include "viewer/tools/ui/frmsr.h"

#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/timer.h"
#include "viewer/shell/state.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace viewer {

FrmSR::FrmSR(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmSR"));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    LabelJ = new QLabel(this);
    LabelJ->setObjectName(QStringLiteral("LabelJ"));
    LabelM = new QLabel(this);
    LabelM->setObjectName(QStringLiteral("LabelM"));
    for (QLabel* l : {LabelJ, LabelM}) {
        l->setFont(platform::japaneseFont(platform::kGothic, 24));
        l->setAutoFillBackground(true);
        l->setMinimumHeight(56);
        l->setAlignment(Qt::AlignCenter);
    }
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setUniformItemSizes(true);
    ListJ = new QListWidget(this);
    ListJ->setObjectName(QStringLiteral("ListJ"));
    ListJ->hide();
    ListM = new QListWidget(this);
    ListM->setObjectName(QStringLiteral("ListM"));
    ListM->hide();
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(QString::number(i + 1), this);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        group->addButton(option, i);
        Option1 << option;
    }
    Text1 = new QLineEdit(QStringLiteral("50"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFixedWidth(70);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    auto* bar = new QHBoxLayout;
    for (QRadioButton* o : Option1) bar->addWidget(o);
    bar->addStretch(1);
    bar->addWidget(Text1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabelJ);
    layout->addWidget(LabelM);
    layout->addLayout(bar);
    layout->addWidget(List1, 1);
    resize(560, 400);

    platform::connectGuarded(group, &QButtonGroup::idClicked, this,
                             [this](int id) { Option1_Click(id); });
    platform::connectGuarded(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    platform::connectGuarded(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

void FrmSR::Form_Load() {
    Option1[0]->setChecked(true);
    mode = 0;
    Load_DB();
    platform::applyTypedInterval(Timer1, Text1->text());
}

void FrmSR::Load_DB() {
    platform::BusyCursor busy;
    List1->clear();
    ListJ->clear();
    ListM->clear();
    list_ = loadDrill(state().CurHCode);
    setWindowTitle(list_.name);
    List1->addItems(list_.entries());
    ListJ->addItems(list_.titles);
    ListM->addItems(list_.headings);
}

void FrmSR::Option1_Click(int index) {
    mode = index;
}

void FrmSR::Text1_Change() {
    platform::applyTypedInterval(Timer1, Text1->text());
}

void FrmSR::colour(QLabel* label, bool even) {
    QPalette p = label->palette();
    p.setColor(QPalette::Window, even ? QColor(255, 255, 0) : QColor(255, 255, 255));
    label->setPalette(p);
}

void FrmSR::Timer1_Timer() {
    const std::optional<DrillLabels> l = drill.tick(mode, list_);
    if (!l) return;
    colour(LabelJ, l->even);
    colour(LabelM, l->even);
    if (l->title) LabelJ->setText(*l->title);
    if (l->heading) LabelM->setText(*l->heading);
}

void FrmSR::closeEvent(QCloseEvent* e) {
    platform::setTimerInterval(Timer1, 0);
    QWidget::closeEvent(e);
}

}  // namespace viewer

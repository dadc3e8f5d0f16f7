#include "maint/ui/frmlaws.h"

#include "maint/artedit.h"
#include "platform/error.h"
#include "platform/prompt.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/mdi.h"
#include "platform/ui/sound.h"
#include "platform/ui/textpane.h"
#include "store/lawdb.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>

namespace maint {

namespace {
const QString kUnlisted = QStringLiteral("未登録コードです。");

QLineEdit* box(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// A failed database step is reported and the window goes on; returns whether `f` finished.
template <class F>
bool reported(F&& f) {
    try {
        f();
        return true;
    } catch (const platform::Error& e) {
        platform::msgBox(e.description());
        return false;
    }
}
}  // namespace

FrmLaws::FrmLaws(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmLaws"));
    setWindowTitle(QStringLiteral("条文編集"));
    setFont(platform::japaneseFont(platform::kGothic, 10));

    TxtCodes2 = box(this, "TxtCodes2");
    TxtHouten = box(this, "TxtHouten");
    TxtJouNum = box(this, "TxtJouNum");
    TxtJouName = box(this, "TxtJouName");
    TxtCodes = box(this, "TxtCodes");
    Text2 = box(this, "Text2");
    Text2->setText(QStringLiteral("編　章　節　款　条　項"));
    Text2->setReadOnly(true);
    Text2->setFocusPolicy(Qt::NoFocus);
    RTxt = new platform::TextPane(this);
    RTxt->setObjectName(QStringLiteral("RTxt"));
    RTxt->setFontName(platform::kMincho);
    RTxt->setFontSize(12);
    ListMon = new QListWidget(this);
    ListMon->setObjectName(QStringLiteral("ListMon"));
    ListCodes = new QListWidget(this);
    ListCodes->setObjectName(QStringLiteral("ListCodes"));
    ListCodes->setMaximumWidth(170);
    CmdClear = button(this, "CmdClear", QStringLiteral("New"));
    CmdDel = button(this, "CmdDel", QStringLiteral("Delete"));
    CmdReg = button(this, "CmdReg", QStringLiteral("Regist"));

    auto* grid = new QGridLayout(this);
    int row = 0;
    auto labelled = [&](const QString& caption, QWidget* w, int span = 1) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(w, row, 1, 1, span);
        ++row;
    };
    labelled(QStringLiteral("コード入力"), TxtCodes2);
    grid->addWidget(new QLabel(QStringLiteral("○条の２は－で、項番は：で区切る"), this), row - 1,
                    2);
    labelled(QStringLiteral("法典名称"), TxtHouten);
    labelled(QStringLiteral("条：項"), TxtJouNum);
    labelled(QStringLiteral("条見出し"), TxtJouName, 2);
    grid->addWidget(Text2, row++, 1, 1, 2);
    grid->addWidget(TxtCodes, row++, 1, 1, 2);
    grid->setRowStretch(row, 2);
    grid->addWidget(RTxt, row++, 0, 1, 3);
    auto* lists = new QHBoxLayout;
    lists->addWidget(ListMon, 1);
    lists->addWidget(ListCodes);
    grid->setRowStretch(row, 1);
    grid->addLayout(lists, row++, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {CmdClear, CmdDel, CmdReg}) buttons->addWidget(b);
    grid->addLayout(buttons, row++, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    resize(720, 640);

    platform::connectGuarded(TxtCodes2, &QLineEdit::returnPressed, this,
                             [this] { TxtCodes2_Enter(); });
    platform::connectGuarded(ListMon, &QListWidget::itemDoubleClicked, this,
                             [this] { ListMon_DblClick(); });
    platform::connectGuarded(CmdClear, &QPushButton::clicked, this, [this] { CmdClear_Click(); });
    platform::connectGuarded(CmdDel, &QPushButton::clicked, this, [this] { CmdDel_Click(); });
    platform::connectGuarded(CmdReg, &QPushButton::clicked, this, [this] { CmdReg_Click(); });
}

void FrmLaws::showEvent(QShowEvent* e) {
    // On its first showing the window goes to the top left corner of the frame's client area.
    if (!placed_) {
        placed_ = true;
        if (QMdiSubWindow* sub = platform::subWindowOf(this)) sub->move(0, 0);
    }
    QWidget::showEvent(e);
}

void FrmLaws::ClearAll() {
    ListMon->clear();
    ListCodes->clear();
    TxtHouten->clear();
    TxtJouNum->clear();
    TxtJouName->clear();
    RTxt->setText(QString());
    TxtCodes->clear();
    TxtCodes2->clear();
    TxtCodes2->setFocus();
}

void FrmLaws::FindJoubun(const QString& lawName, const QString& code) {
    ArticleView v;
    if (!reported([&] { v = maint::FindJoubun(lawName, code); })) return;
    if (v.hasHeading) TxtJouName->setText(v.heading);
    if (v.hasRecord)
        RTxt->setText(v.text);
    else
        TxtJouName->setFocus();  // a new record: heading and text are typed next
    TxtCodes->setText(code);
    if (v.codes.isEmpty()) TxtJouName->setFocus();
    ListCodes->addItems(v.codes);
    ListMon->addItems(v.lines);
}

bool FrmLaws::WriteJoubun(const QString& lawName, const QString& code) {
    return reported([&] { maint::WriteJoubun(lawName, code, TxtJouName->text(), RTxt->text()); });
}

bool FrmLaws::DeleteJoubun(const QString& lawName, const QString& code) {
    if (!reported([&] { maint::DeleteJoubun(lawName, code); })) return false;
    ClearAll();
    return true;
}

void FrmLaws::TxtCodes2_Enter() {
    const QString typed = TxtCodes2->text();
    if (typed.isEmpty()) return;
    const QString law = typed.left(2).toUpper();
    QString name;
    if (!reported([&] { name = store::GetHoutenName(law); })) return;
    if (name.isEmpty()) {
        platform::msgBox(kUnlisted);
        return;
    }
    ClearAll();
    TxtCodes2->setText(law + typed.mid(2));
    const CodeEntry entry = parseCodeEntry(typed);
    TxtHouten->setText(name);
    TxtJouNum->setText(articleNumberText(entry.number));
    FindJoubun(name, makeRecordCode(law, entry.number));
}

void FrmLaws::ListMon_DblClick() {
    const int row = ListMon->currentRow();
    if (row < 0 || row >= ListCodes->count()) return;
    const QString code = ListCodes->item(row)->text();
    if (isHeadingCode(code)) return;
    QString name;
    if (!reported([&] { name = store::GetHoutenName(code.left(2)); })) return;
    if (name.isEmpty()) {
        platform::msgBox(kUnlisted);
        return;
    }
    ClearAll();
    FindJoubun(name, code);
    TxtCodes2->setText(shortEntry(code));
    TxtHouten->setText(name);
    TxtJouNum->setText(articleNumberText(numberOfCode(code)));
}

void FrmLaws::CmdClear_Click() {
    if (platform::msgBox(QStringLiteral("All Clear?"), platform::Buttons::OkCancel) ==
        platform::Answer::Ok)
        ClearAll();
}

void FrmLaws::CmdDel_Click() {
    if (TxtHouten->text().isEmpty() || TxtCodes->text().isEmpty()) return;
    if (platform::msgBox(QStringLiteral("削除しますか？"), platform::Buttons::OkCancel) !=
        platform::Answer::Ok)
        return;
    // On a failure the record stays in the window, so the message can be read against it.
    if (DeleteJoubun(TxtHouten->text(), TxtCodes->text())) ClearAll();
}

void FrmLaws::CmdReg_Click() {
    if (TxtHouten->text().isEmpty() || TxtCodes->text().isEmpty()) {
        platform::msgBox(QStringLiteral("法典名称または連続コードが空欄です。"));
        return;
    }
    CmdReg->setEnabled(false);
    WriteJoubun(TxtHouten->text(), TxtCodes->text());
    TxtCodes2->setFocus();
    platform::beep();
    CmdReg->setEnabled(true);
}

}  // namespace maint

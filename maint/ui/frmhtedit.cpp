#include "maint/ui/frmhtedit.h"

#include "maint/htedit.h"
#include "platform/error.h"
#include "platform/prompt.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/vb.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace maint {

namespace {
QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QLineEdit* box(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

// A failed database step is reported and the window goes on.
template <class F>
void reported(F&& f) {
    try {
        f();
    } catch (const platform::Error& e) {
        platform::msgBox(e.description());
    }
}
}  // namespace

FrmHtEdit::FrmHtEdit(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmHtEdit"));
    setWindowTitle(QStringLiteral("法典編集"));
    setFont(platform::japaneseFont(platform::kGothic, 10));

    ListDsp = new QListWidget(this);
    ListDsp->setObjectName(QStringLiteral("ListDsp"));
    CmdUp = button(this, "CmdUp", QStringLiteral("↑"));
    CmdDown = button(this, "CmdDown", QStringLiteral("↓"));
    CmdUpdate = button(this, "CmdUpdate", QStringLiteral("この序列に更新"));

    auto* frame = new QGroupBox(QStringLiteral("新規法典追加・削除"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    TxtHCode = box(frame, "TxtHCode");
    TxtHCode->setMaximumWidth(80);
    TxtHName = box(frame, "TxtHName");
    CmdAdd = button(frame, "CmdAdd", QStringLiteral("登録"));
    CmdDel = button(frame, "CmdDel", QStringLiteral("削除"));
    auto* note = new QLabel(
        QStringLiteral("削除の場合、既存の条文データベースファイルの削除は行いません。"), frame);
    note->setWordWrap(true);
    auto* hint = new QLabel(
        QStringLiteral("先頭文字はアルファベットにしてください。（大文字と小文字の区別なし）"),
        frame);
    hint->setWordWrap(true);

    auto* g = new QGridLayout(frame);
    g->addWidget(new QLabel(QStringLiteral("法典コード　２文字"), frame), 0, 0);
    g->addWidget(TxtHCode, 0, 1);
    g->addWidget(hint, 1, 0, 1, 3);
    g->addWidget(new QLabel(QStringLiteral("法典名称（データベースの名称になります）"), frame), 2,
                 0, 1, 3);
    g->addWidget(TxtHName, 3, 0, 1, 3);
    auto* addDel = new QHBoxLayout;
    addDel->addWidget(CmdAdd);
    addDel->addWidget(CmdDel);
    addDel->addStretch(1);
    g->addLayout(addDel, 4, 0, 1, 3);
    g->addWidget(note, 5, 0, 1, 3);
    g->setColumnStretch(2, 1);

    auto* moves = new QVBoxLayout;
    moves->addWidget(CmdUp);
    moves->addWidget(CmdDown);
    moves->addStretch(1);
    moves->addWidget(CmdUpdate);
    auto* right = new QVBoxLayout;
    right->addWidget(frame);
    right->addLayout(moves, 1);
    auto* top = new QHBoxLayout(this);
    top->addWidget(ListDsp, 1);
    top->addLayout(right);
    resize(640, 420);

    platform::connectGuarded(ListDsp, &QListWidget::itemDoubleClicked, this,
                             [this] { ListDsp_DblClick(); });
    platform::connectGuarded(CmdAdd, &QPushButton::clicked, this, [this] { CmdAdd_Click(); });
    platform::connectGuarded(CmdDel, &QPushButton::clicked, this, [this] { CmdDel_Click(); });
    platform::connectGuarded(CmdUp, &QPushButton::clicked, this, [this] { CmdUp_Click(); });
    platform::connectGuarded(CmdDown, &QPushButton::clicked, this, [this] { CmdDown_Click(); });
    platform::connectGuarded(CmdUpdate, &QPushButton::clicked, this, [this] { CmdUpdate_Click(); });

    LoadDb();
}

void FrmHtEdit::LoadDb() {
    reported([this] {
        const QStringList lines = readLawListLines();
        // Emptied even when the table has no rows, so a removed last law does not linger.
        ListDsp->clear();
        ListDsp->addItems(lines);
    });
}

void FrmHtEdit::ListDsp_DblClick() {
    const QListWidgetItem* item = ListDsp->currentItem();
    if (!item) return;
    TxtHCode->setText(lineCode(item->text()));
    TxtHName->setText(lineName(item->text()));
}

void FrmHtEdit::CmdAdd_Click() {
    if (TxtHName->text().isEmpty() || TxtHCode->text().isEmpty()) return;
    QString oldName;
    for (const store::LawEntry& law : store::readLawList())
        if (law.code == TxtHCode->text().toUpper()) oldName = law.name;
    const bool hadDb = !oldName.isEmpty() && QFileInfo::exists(store::lawDbPath(oldName));
    reported([&] {
        registerLaw(TxtHCode->text(), TxtHName->text(), ListDsp->count());
        const QString name = platform::trimBlanks(TxtHName->text());
        if (!oldName.isEmpty() && oldName != name)
            platform::msgBox(QStringLiteral("%1 の法典名称を「%2」から「%3」に変更しました。%4")
                                 .arg(TxtHCode->text().toUpper(), oldName, name,
                                      hadDb ? QStringLiteral("データベースの名前も %1.mdb から "
                                                             "%2.mdb に変えました。")
                                                  .arg(oldName, name)
                                            : QString()));
    });
    LoadDb();
}

void FrmHtEdit::CmdDel_Click() {
    if (TxtHName->text().isEmpty() || TxtHCode->text().isEmpty()) return;
    reported([this] { removeLaw(TxtHCode->text()); });
    LoadDb();
}

void FrmHtEdit::moveLine(int step) {
    const int row = ListDsp->currentRow();
    const int to = row + step;
    if (row < 0 || ListDsp->count() < 2 || to < 0 || to >= ListDsp->count()) return;
    QListWidgetItem* item = ListDsp->takeItem(row);
    ListDsp->insertItem(to, item);
    ListDsp->setCurrentRow(to);
}

void FrmHtEdit::CmdUp_Click() {
    moveLine(-1);
}

void FrmHtEdit::CmdDown_Click() {
    moveLine(1);
}

void FrmHtEdit::CmdUpdate_Click() {
    QStringList lines;
    for (int i = 0; i < ListDsp->count(); ++i) lines << ListDsp->item(i)->text();
    reported([&] { writeLawOrder(lines); });
    LoadDb();
}

}  // namespace maint

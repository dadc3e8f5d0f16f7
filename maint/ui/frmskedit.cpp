#include "maint/ui/frmskedit.h"

#include "maint/tocedit.h"
#include "platform/prompt.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/mdi.h"
#include "store/lawdb.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace maint {

namespace {

QLineEdit* lineEdit(QWidget* parent, const char* name, int width) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (width > 0) e->setFixedWidth(width);
    return e;
}

QLabel* caption(QWidget* parent, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

}  // namespace

FrmSKEdit::FrmSKEdit(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmSKEdit"));
    setWindowTitle(QStringLiteral("目次編集"));
    setFont(platform::japaneseFont(platform::kGothic, 10));

    TxtHouten = lineEdit(this, "TxtHouten", 48);
    TxtHen = lineEdit(this, "TxtHen", 48);
    TxtShou = lineEdit(this, "TxtShou", 48);
    TxtSetsu = lineEdit(this, "TxtSetsu", 48);
    TxtKan = lineEdit(this, "TxtKan", 48);
    TxtMok = lineEdit(this, "TxtMok", 48);
    TxtKey = lineEdit(this, "TxtKey", 170);
    LabelKeyName = new QLabel(this);
    LabelKeyName->setObjectName(QStringLiteral("LabelKeyName"));
    LabelKeyName2 = new QLabel(this);
    LabelKeyName2->setObjectName(QStringLiteral("LabelKeyName2"));
    TxtMidashi = lineEdit(this, "TxtMidashi", 0);
    TxtSOJ = lineEdit(this, "TxtSOJ", 80);
    TxtEOJ = lineEdit(this, "TxtEOJ", 80);
    TxtSOJ2 = lineEdit(this, "TxtSOJ2", 80);
    TxtEOJ2 = lineEdit(this, "TxtEOJ2", 80);
    CmdAdd = new QPushButton(QStringLiteral("登録"), this);
    CmdAdd->setObjectName(QStringLiteral("CmdAdd"));
    CmdDel = new QPushButton(QStringLiteral("削除"), this);
    CmdDel->setObjectName(QStringLiteral("CmdDel"));
    TView1 = new platform::KeyedTree(this);
    TView1->setObjectName(QStringLiteral("TView1"));
    TView1->setRootIsDecorated(true);

    // One row of boxes per line; the first caption of a row has a fixed width so that the
    // boxes below one another line up.
    auto* layout = new QVBoxLayout(this);
    auto row = [&](std::initializer_list<QWidget*> widgets, QWidget* tail = nullptr,
                   bool fill = false) {
        auto* h = new QHBoxLayout;
        for (QWidget* w : widgets) h->addWidget(w);
        if (!fill) h->addStretch(1);
        if (tail) h->addWidget(tail);
        layout->addLayout(h);
    };
    auto lead = [this](const QString& text) {
        QLabel* l = caption(this, text);
        l->setFixedWidth(100);
        return l;
    };
    row({lead(QStringLiteral("法典")), TxtHouten, caption(this, QStringLiteral("編")), TxtHen,
         caption(this, QStringLiteral("章")), TxtShou, caption(this, QStringLiteral("節")),
         TxtSetsu, caption(this, QStringLiteral("款")), TxtKan, caption(this, QStringLiteral("目")),
         TxtMok});
    row({lead(QString()), TxtKey, LabelKeyName}, nullptr, true);
    row({lead(QString()), LabelKeyName2}, nullptr, true);
    row({lead(QStringLiteral("見出し")), TxtMidashi}, nullptr, true);
    row({lead(QStringLiteral("含まれる条文")), TxtSOJ, new QLabel(QStringLiteral("～"), this),
         TxtEOJ});
    auto* buttons = new QWidget(this);
    auto* pair = new QHBoxLayout(buttons);
    pair->setContentsMargins(0, 0, 0, 0);
    pair->addWidget(CmdAdd);
    pair->addWidget(CmdDel);
    row({lead(QStringLiteral("表示用")), TxtSOJ2, new QLabel(QStringLiteral("～"), this), TxtEOJ2},
        buttons);
    layout->addWidget(TView1, 1);

    platform::connectGuarded(TxtHouten, &QLineEdit::textChanged, this,
                             [this] { TxtHouten_Change(); });
    for (QLineEdit* e : {TxtHen, TxtShou, TxtSetsu, TxtKan, TxtMok})
        platform::connectGuarded(e, &QLineEdit::textChanged, this, [this] { CheckCodes(); });
    platform::connectGuarded(TxtKey, &QLineEdit::textChanged, this, [this] { TxtKey_Change(); });
    // The display range follows the attach range until it is typed over.
    connect(TxtSOJ, &QLineEdit::textChanged, TxtSOJ2, &QLineEdit::setText);
    connect(TxtEOJ, &QLineEdit::textChanged, TxtEOJ2, &QLineEdit::setText);
    platform::connectGuarded(CmdAdd, &QPushButton::clicked, this, [this] { CmdAdd_Click(); });
    platform::connectGuarded(CmdDel, &QPushButton::clicked, this, [this] { CmdDel_Click(); });

    resize(720, 620);
}

void FrmSKEdit::showEvent(QShowEvent* e) {
    if (!placed_) {
        placed_ = true;
        if (QMdiSubWindow* sub = platform::subWindowOf(this)) sub->move(0, 0);
    }
    QWidget::showEvent(e);
}

void FrmSKEdit::TxtHouten_Change() {
    if (TxtHouten->text().size() == 2) {
        platform::BusyCursor busy;
        ClearTree();
        MakeTree(TxtHouten->text());
    } else {
        ClearTree();
    }
    CheckCodes();
}

void FrmSKEdit::CheckCodes() {
    if (TxtHouten->text().isEmpty()) return;
    TxtKey->setText(composeTocKey({TxtHouten->text(), TxtHen->text(), TxtShou->text(),
                                   TxtSetsu->text(), TxtKan->text(), TxtMok->text()}));
}

void FrmSKEdit::TxtKey_Change() {
    const QString key = TxtKey->text();
    if (key.isEmpty()) {
        LabelKeyName->clear();
        LabelKeyName2->clear();
        return;
    }
    if (key.size() < 4) return;
    const KeyNames names = keyNames(key);
    LabelKeyName->setText(names.name);
    LabelKeyName2->setText(names.name2);
    ReadSK();
}

void FrmSKEdit::ReadSK() {
    if (TxtHouten->text().size() != 2) return;
    const QString key = TxtKey->text();
    const QString name = existingLawName(key.left(2));
    if (name.isEmpty()) return;  // the database is not created just to read
    std::optional<TocRow> row;
    {
        store::Database db = store::openLawDb(name);
        row = readTocRow(db, key);
    }
    if (!row) {
        TxtSOJ->clear();
        TxtEOJ->clear();
        TxtSOJ2->clear();
        TxtEOJ2->clear();
        TxtMidashi->clear();
        return;
    }
    TxtMidashi->setText(row->heading);
    TxtSOJ->setText(GetCodeByHifun(row->soj));
    TxtEOJ->setText(GetCodeByHifun(row->eoj));
    // After the attach boxes, which copy themselves into these.
    TxtSOJ2->setText(GetCodeByHifun(row->soj2));
    TxtEOJ2->setText(GetCodeByHifun(row->eoj2));
    selectKeyNode();
}

void FrmSKEdit::selectKeyNode() {
    if (TView1->nodeCount() == 0) return;
    if (QTreeWidgetItem* item = TView1->node(TxtKey->text())) TView1->selectNode(item);
}

void FrmSKEdit::MakeTree(const QString& law) {
    QString unshown;
    {
        platform::BusyCursor busy;
        ClearTree();
        const TocTree tree = buildTocTree(law);
        if (!tree.lawFound) {
            unshown = QStringLiteral("コードが不正です。");
        } else {
            TView1->setUpdatesEnabled(false);
            for (const TocNode& n : tree.nodes) {
                try {
                    TView1->addNode(n.parentKey, n.key, n.text);
                } catch (const platform::TreeKeyError&) {
                }
            }
            if (!TView1->nodes().isEmpty()) TView1->nodes().first()->setExpanded(true);
            TView1->setUpdatesEnabled(true);
            unshown = unshownRowsMessage(tree);
        }
    }
    if (!unshown.isEmpty()) platform::msgBox(unshown);
    selectKeyNode();
}

void FrmSKEdit::SetJouKou(const QString& key, const QString& soj, const QString& eoj) {
    QList<TocNode> nodes;
    try {
        store::Database db = store::openOrCreateLawDb(store::GetHoutenName(key.left(2)));
        nodes = articleNodes(db, key, soj, eoj);
    } catch (const std::exception&) {
        return;
    }
    for (const TocNode& n : nodes) {
        try {
            TView1->addNode(n.parentKey, n.key, n.text);
        } catch (const platform::TreeKeyError&) {
            // Taken in by an earlier entry already.
        }
    }
}

void FrmSKEdit::ClearTree() {
    while (TView1->nodeCount() > 0) TView1->removeFirst();
}

void FrmSKEdit::CmdAdd_Click() {
    const QString key = TxtKey->text();
    if (key.isEmpty()) return;
    if (TxtMidashi->text().isEmpty()) {
        platform::msgBox(QStringLiteral("未入力項目があります。"));
        return;
    }
    const TocLevels levels{TxtHouten->text(), TxtHen->text(), TxtShou->text(),
                           TxtSetsu->text(),  TxtKan->text(), TxtMok->text()};
    QString refusal;
    // The boxes are named only when the key came from them, not when it was typed.
    if (composeTocKey(levels) == key) refusal = checkLevels(levels);
    if (refusal.isEmpty()) refusal = checkTocKey(key);
    const std::pair<QLineEdit*, QString> ranges[] = {
        {TxtSOJ, QStringLiteral("含まれる条文（開始）")},
        {TxtEOJ, QStringLiteral("含まれる条文（終了）")},
        {TxtSOJ2, QStringLiteral("表示用（開始）")},
        {TxtEOJ2, QStringLiteral("表示用（終了）")}};
    for (const auto& [box, what] : ranges)
        if (refusal.isEmpty()) refusal = checkRangeText(box->text(), what);
    if (!refusal.isEmpty()) {
        platform::msgBox(refusal);
        return;
    }
    const QString law = key.left(2);
    const QString name = existingLawName(law);
    if (name.isEmpty()) {
        platform::msgBox(QStringLiteral("法典 %1 のデータベースがありません。").arg(law));
        return;
    }
    if (platform::msgBox(QStringLiteral("登録しますか？"), platform::Buttons::OkCancel) !=
        platform::Answer::Ok)
        return;
    {
        store::Database db = store::openLawDb(name);
        writeTocRow(db, rowFromBoxes(key, TxtMidashi->text(), TxtSOJ->text(), TxtEOJ->text(),
                                     TxtSOJ2->text(), TxtEOJ2->text()));
    }
    ClearTree();
    MakeTree(law);
    TxtHen->setFocus();
}

void FrmSKEdit::CmdDel_Click() {
    const QString key = TxtKey->text();
    if (key.isEmpty()) return;
    const QString law = key.left(2);
    const QString name = existingLawName(law);
    if (name.isEmpty()) {
        platform::msgBox(QStringLiteral("法典 %1 のデータベースがありません。").arg(law));
        return;
    }
    std::optional<TocRow> row;
    {
        store::Database db = store::openLawDb(name);
        row = readTocRow(db, key);
    }
    if (!row) {
        platform::msgBox(QStringLiteral("目次 %1 はありません。").arg(key));
        return;
    }
    const KeyNames names = keyNames(key);
    if (platform::msgBox(
            QStringLiteral("目次 %1（%2 %3）を削除しますか？").arg(key, names.name, row->heading),
            platform::Buttons::OkCancel) != platform::Answer::Ok)
        return;
    {
        store::Database db = store::openLawDb(name);
        deleteTocRow(db, key);
    }
    ClearTree();
    MakeTree(law);
    ReadSK();  // the boxes empty: the row has gone
}

}  // namespace maint

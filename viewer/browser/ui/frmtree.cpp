#include "viewer/browser/ui/frmtree.h"

#include "platform/keys.h"
#include "platform/prompt.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/keyedtree.h"
#include "platform/ui/sound.h"
#include "platform/ui/textpane.h"
#include "platform/ui/twips.h"
#include "platform/vb.h"
#include "store/lawdb.h"
#include "viewer/browser/display.h"
#include "viewer/browser/lawtree.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/shell/state.h"
#include "viewer/shell/ui/mdimain.h"

#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QSignalBlocker>

namespace viewer {

namespace {
constexpr int kProblemLines = 20;  // rows listed in the message of a build
}

FrmTree::FrmTree(const QString& law, QWidget* parent) : QWidget(parent), curHCodeT(law) {
    setObjectName(QStringLiteral("FrmTree"));
    TView1 = new platform::KeyedTree(this);
    TView1->setObjectName(QStringLiteral("TView1"));
    TView1->setFont(platform::japaneseFont(platform::kGothic, 10));
    Rtxt1 = new platform::TextPane(this);
    Rtxt1->setObjectName(QStringLiteral("Rtxt1"));
    Rtxt1->setFontName(platform::kMincho);
    Rtxt1->setFontSize(12);
    Rtxt1->setReadOnly(false);
    // Moving to a node with the mouse or the keys shows it, as the tree control did; a click
    // on the node already current shows it again. A press that moved to the node is not
    // shown twice by its click.
    platform::connectGuarded(
        TView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
            if (!item) return;
            pressShown_ = QGuiApplication::mouseButtons() != Qt::NoButton ? item : nullptr;
            TView1_NodeClick(item);
        });
    platform::connectGuarded(TView1, &QTreeWidget::itemClicked, this,
                             [this](QTreeWidgetItem* item) {
                                 const bool shown = item == pressShown_;
                                 pressShown_ = nullptr;
                                 if (!shown) TView1_NodeClick(item);
                             });
    TView1->installEventFilter(this);
    Rtxt1->installEventFilter(this);
    resize(495, 333);
}

bool FrmTree::isParagraphKey(const QString& key) {
    return key.size() == 16 && platform::valInt(key.mid(10, 2)) > 0;
}

bool FrmTree::Form_KeyDown(int KeyCode, int shift) {
    (void)shift;  // F2 and F3 act with any modifiers
    if (KeyCode == Qt::Key_F2) {
        const QString words =
            platform::inputBox(QStringLiteral("検索キーワードを入力してください。"));
        if (!words.isEmpty() && FindWord(words) == 0)
            platform::msgBox(QStringLiteral("検索キーワードが見つかりません。"));
        return true;
    }
    if (KeyCode == Qt::Key_F3) {
        const QString key = TView1->selectedKey();
        if (isParagraphKey(key)) SetJou(key);
        return true;
    }
    return false;
}

bool FrmTree::eventFilter(QObject* watched, QEvent* event) {
    // Key preview: the window's keys before the tree's and the pane's.
    if ((watched == TView1 || watched == Rtxt1) && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        bool handled = false;
        platform::guard(
            [&] { handled = Form_KeyDown(k->key(), platform::shiftMask(k->modifiers())); });
        if (handled) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmTree::Form_Load() {
    platform::setGeometryTwips(this, 0, 0, 7425, 5000);
    Ratio = 0.4f;
    if (curHCodeT.isEmpty()) curHCodeT = QStringLiteral("KP");
    int open = 0;
    if (MDIMain* main = MDIMain::instance())
        for (QWidget* w : main->children())
            if (w->objectName() == objectName()) ++open;
    if (open > 1) {
        Tag = QString::number(open);
        Rtxt1->setBackground(QColor(0, 255, 255));
        const int mainWidth =
            MDIMain::instance() ? platform::pixelsToTwips(MDIMain::instance()->width()) : 0;
        platform::setGeometryTwips(this, std::max(0, mainWidth - 7000 - 200), 0, 7000, 5000);
    }
    setWindowTitle(store::GetHoutenName(curHCodeT));
    state().TreeBuildMode = 1;
    MakeTreeOne(curHCodeT, state().TreeBuildMode);
    layoutPanes();
}

void FrmTree::MakeTreeOne(const QString& strHD, int Mode) {
    const LawTree tree = buildLawTree(strHD, Mode);
    if (tree.name.isEmpty()) {
        platform::msgBox(QStringLiteral("未登録コードです。"));
        return;
    }
    QList<platform::KeyedTree::NodeSpec> specs;
    specs.reserve(tree.nodes.size());
    for (const TreeNode& n : tree.nodes) specs.append({n.parentKey, n.key, n.text});
    TView1->setUpdatesEnabled(false);
    try {
        TView1->addNodes(specs);
    } catch (...) {
        TView1->setUpdatesEnabled(true);
        throw;
    }
    if (TView1->nodeCount() > 0) {
        QTreeWidgetItem* root = TView1->nodes().first();
        root->setExpanded(true);
        // The root becomes current without being chosen, so the tree taking the focus shows
        // nothing until the reader picks a node.
        const QSignalBlocker quiet(TView1);
        TView1->setCurrentItem(root, 0, QItemSelectionModel::NoUpdate);
    }
    TView1->setUpdatesEnabled(true);
    if (const QString problems = treeProblemsMessage(tree, kProblemLines); !problems.isEmpty())
        platform::msgBox(problems);
}

void FrmTree::ClearTree() {
    TView1->setUpdatesEnabled(false);
    while (TView1->nodeCount() > 0) TView1->removeFirst();
    TView1->setUpdatesEnabled(true);
    Rtxt1->setText(QString());
    setWindowTitle(store::GetHoutenName(curHCodeT));
}

void FrmTree::TView1_NodeClick(QTreeWidgetItem* node) {
    if (!node) return;
    // Each step goes on when an earlier one fails.
    platform::guard([&] {
        QList<NodeRef> chain;
        for (QTreeWidgetItem* n = node; n; n = n->parent())
            chain.append({platform::KeyedTree::keyOf(n), platform::KeyedTree::textOf(n)});
        Rtxt1->setText(nodeContextText(chain));
    });
    platform::guard([&] {
        const QString name = store::GetHoutenName(curHCodeT);
        // The node shown is the node chosen; on a mouse press the selection follows it later.
        const QString key = platform::KeyedTree::keyOf(node);
        setWindowTitle(key.isEmpty() ? name : browserCaption(name, key));
    });
}

bool FrmTree::showNode(const QString& key) {
    bool found = false;
    // Every node with the key, first to last, as the lookup walks them.
    for (QTreeWidgetItem* n : TView1->nodes()) {
        if (platform::KeyedTree::keyOf(n) != key) continue;
        TView1->selectNode(n);
        TView1_NodeClick(n);
        found = true;
    }
    return found;
}

void FrmTree::SetJou(const QString& wKey) {
    platform::BusyCursor busy;
    const std::optional<CopyBlock> copy = copyBlockOf(store::GetHoutenName(curHCodeT), wKey);
    if (!copy) return;
    MDIMain* main = MDIMain::instance();
    if (!main) return;
    main->ComboHis->insertItem(0, copy->label);
    main->ComboHis->setCurrentIndex(0);  // the newest copy on show
    main->ComboHis2->insertItem(0, copy->header);
    FrmCopy* edit = main->copyWindow();
    QString text = edit->Rtxt1->text();
    if (!text.isEmpty()) text += QString(70, u'-') + QStringLiteral("\r\n");
    edit->Rtxt1->setText(text + copy->block);
    state().CopyLog += QStringLiteral("SEPARATOR") + copy->block;
    showBlock(edit->Rtxt1, copy->block);
}

int FrmTree::FindWord(const QString& strKW) {
    platform::BusyCursor busy;
    const LawSearch r = findWordInLaw(store::GetHoutenName(curHCodeT), strKW);
    if (r.refused || !r.anyRow) return 0;
    if (MDIMain* main = MDIMain::instance()) {
        FrmFound* found = main->foundWindow();
        found->Rtxt1->setText(r.text);
        platform::bringToFront(found);
    }
    return r.hits;
}

void FrmTree::layoutPanes() {
    // Measures of the window as a whole (its frame included), as the layout was written.
    const QRect outer = platform::geometryTwips(this);
    const int paneH = int(float(outer.height()) * Ratio);
    const int treeH = std::max(0, outer.height() - paneH - 450);
    const int w = std::max(0, outer.width() - 180);
    TView1->setGeometry(0, 0, platform::twipsToPixels(w), platform::twipsToPixels(treeH));
    const int top = platform::twipsToPixels(treeH - 5);
    // The pane ends inside the window even where the frame is taller than it was.
    Rtxt1->setGeometry(0, top, platform::twipsToPixels(w),
                       std::max(0, std::min(platform::twipsToPixels(paneH), height() - top)));
}

void FrmTree::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    platform::guard([this] { layoutPanes(); });
}

}  // namespace viewer

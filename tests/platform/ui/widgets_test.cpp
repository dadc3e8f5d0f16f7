#include "platform/prompt.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/keyedtree.h"
#include "platform/ui/mdi.h"
#include "platform/ui/sound.h"
#include "platform/ui/textpane.h"
#include "platform/ui/twips.h"
#include "platform/ui/windowprompt.h"
#include "tests/support/testsupport.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSoundEffect>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QTranslator>
#include <QUrl>
#include <cmath>

using namespace platform;

namespace {
void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList keys(const KeyedTree& t) {
    QStringList out;
    for (const QTreeWidgetItem* it : t.nodes()) out.append(KeyedTree::keyOf(it));
    return out;
}

// A child window with a menu of its own.
class MenuChild : public QWidget, public MenuOwner {
  public:
    MenuChild() : menu(QStringLiteral("編集"), this) {}
    QList<QAction*> childMenus() const override { return {menu.menuAction()}; }
    QMenu menu;
};
}  // namespace

TEST(KeyedTreeTest, AddFindAndRejectBadKeys) {
    KeyedTree t;
    QTreeWidgetItem* law = t.addNode({}, QStringLiteral("L1"), QStringLiteral("日本国憲法"));
    QTreeWidgetItem* art =
        t.addNode(QStringLiteral("L1"), QStringLiteral("A1"), QStringLiteral("第一条\r\n天皇は"));
    t.addNode({}, QStringLiteral("L2"), QStringLiteral("民法"));
    t.addNode(QStringLiteral("A1"), QStringLiteral("P1"), QStringLiteral("一"));

    EXPECT_EQ(t.node(QStringLiteral("A1")), art);
    EXPECT_EQ(art->parent(), law);
    EXPECT_EQ(t.node(QStringLiteral("nope")), nullptr);
    EXPECT_EQ(keys(t), QStringList({QStringLiteral("L1"), QStringLiteral("A1"),
                                    QStringLiteral("L2"), QStringLiteral("P1")}));

    // Line breaks are kept in the node's text but the row shows no break.
    EXPECT_EQ(KeyedTree::textOf(art), QStringLiteral("第一条\r\n天皇は"));
    EXPECT_FALSE(art->text(0).contains(u'\r') || art->text(0).contains(u'\n'));
    EXPECT_TRUE(art->text(0).startsWith(QStringLiteral("第一条 ")));
    EXPECT_TRUE(art->text(0).endsWith(QStringLiteral(" 天皇は")));

    // A duplicate key or a missing parent changes nothing.
    EXPECT_THROW(t.addNode({}, QStringLiteral("A1"), QStringLiteral("x")), TreeKeyError);
    EXPECT_THROW(t.addNode(QStringLiteral("L9"), QStringLiteral("N"), QStringLiteral("x")),
                 TreeKeyError);
    EXPECT_EQ(t.nodeCount(), 4);
    EXPECT_EQ(t.topLevelItemCount(), 2);
    EXPECT_EQ(law->childCount(), 1);
    EXPECT_EQ(KeyedTree::textOf(art), QStringLiteral("第一条\r\n天皇は"));
    EXPECT_FALSE(t.contains(QStringLiteral("N")));
}

TEST(KeyedTreeTest, ManyNodesAtOnceBelowExistingOnesAndUpToAFault) {
    KeyedTree t;
    t.show();
    t.addNode({}, QStringLiteral("R"), QStringLiteral("根"));
    t.addNodes({{QStringLiteral("R"), QStringLiteral("A"), QStringLiteral("甲")},
                {QStringLiteral("A"), QStringLiteral("A1"), QStringLiteral("甲一\r\n二行目")},
                {QString(), QStringLiteral("S"), QStringLiteral("別の根")},
                {QStringLiteral("R"), QStringLiteral("B"), QStringLiteral("乙")}});
    EXPECT_EQ(keys(t), QStringList({QStringLiteral("R"), QStringLiteral("A"), QStringLiteral("A1"),
                                    QStringLiteral("S"), QStringLiteral("B")}));
    EXPECT_EQ(t.node(QStringLiteral("A1"))->parent(), t.node(QStringLiteral("A")));
    EXPECT_EQ(t.node(QStringLiteral("B"))->parent(), t.node(QStringLiteral("R")));
    EXPECT_EQ(t.topLevelItemCount(), 2);
    EXPECT_EQ(t.node(QStringLiteral("A1"))->text(0), QStringLiteral("甲一 二行目"));
    // A fault stops there: the nodes before it are in the tree, the ones after it are not.
    EXPECT_THROW(t.addNodes({{QStringLiteral("B"), QStringLiteral("B1"), QStringLiteral("乙一")},
                             {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("親なし")},
                             {QStringLiteral("B"), QStringLiteral("B2"), QStringLiteral("乙二")}}),
                 TreeKeyError);
    EXPECT_TRUE(t.contains(QStringLiteral("B1")));
    EXPECT_EQ(t.node(QStringLiteral("B1"))->parent(), t.node(QStringLiteral("B")));
    EXPECT_FALSE(t.contains(QStringLiteral("Y")));
    EXPECT_FALSE(t.contains(QStringLiteral("B2")));
    EXPECT_THROW(t.addNodes({{QString(), QStringLiteral("A"), QStringLiteral("重複")}}),
                 TreeKeyError);
    EXPECT_EQ(t.nodeCount(), 6);
}

TEST(KeyedTreeTest, RemoveFirstAndClear) {
    KeyedTree t;
    t.addNode({}, QStringLiteral("L1"), QStringLiteral("a"));
    t.addNode(QStringLiteral("L1"), QStringLiteral("A1"), QStringLiteral("b"));
    t.addNode({}, QStringLiteral("L2"), QStringLiteral("c"));
    t.addNode(QStringLiteral("A1"), QStringLiteral("P1"), QStringLiteral("d"));

    // The first node goes with its whole subtree, keys included.
    t.removeFirst();
    EXPECT_EQ(keys(t), QStringList({QStringLiteral("L2")}));
    EXPECT_EQ(t.topLevelItemCount(), 1);
    for (const QString& k : {QStringLiteral("L1"), QStringLiteral("A1"), QStringLiteral("P1")})
        EXPECT_EQ(t.node(k), nullptr) << k.toStdString();
    EXPECT_NO_THROW(t.addNode({}, QStringLiteral("A1"), QStringLiteral("again")));

    t.clearNodes();
    EXPECT_EQ(t.nodeCount(), 0);
    EXPECT_EQ(t.topLevelItemCount(), 0);
    EXPECT_EQ(t.node(QStringLiteral("L2")), nullptr);
    EXPECT_NO_THROW(t.addNode({}, QStringLiteral("L2"), QStringLiteral("c")));
    t.removeFirst();
    t.removeFirst();  // on an empty tree: nothing happens
    EXPECT_EQ(t.nodeCount(), 0);
}

TEST(TextPaneTest, TextAndSelectionCountedInCrLf) {
    TextPane p;
    const QString text = QStringLiteral("ab\r\ncd\r\nef");
    p.setText(text);
    EXPECT_EQ(p.text(), text);

    p.setSelStart(4);
    p.setSelLength(2);
    EXPECT_EQ(p.selectedText(), QStringLiteral("cd"));
    EXPECT_EQ(p.selStart(), 4);
    EXPECT_EQ(p.selLength(), 2);

    // A selection over a line break counts it as two characters.
    p.setSelStart(2);
    p.setSelLength(4);
    EXPECT_EQ(p.selectedText(), QStringLiteral("\r\ncd"));
    EXPECT_EQ(p.selLength(), 4);

    p.setSelStart(8);
    EXPECT_EQ(p.selStart(), 8);
    EXPECT_EQ(p.selLength(), 0);
    p.setSelLength(100);  // past the end: up to the end
    EXPECT_EQ(p.selectedText(), QStringLiteral("ef"));

    p.setText(QStringLiteral("x\ny\r\n"));
    EXPECT_EQ(p.text(), QStringLiteral("x\r\ny\r\n"));
}

TEST(TextPaneTest, FontSetters) {
    TextPane p;
    p.setFontSize(12.5);
    p.setFontBold(true);
    p.setFontName(kMincho);
    EXPECT_EQ(p.fontName(), kMincho);
    EXPECT_EQ(p.font().families().value(0), kMincho);
    // Changing the name keeps size and weight.
    EXPECT_DOUBLE_EQ(p.fontSize(), 12.5);
    EXPECT_TRUE(p.fontBold());
    p.setFontBold(false);
    EXPECT_FALSE(p.fontBold());
    EXPECT_EQ(p.fontName(), kMincho);
}

// Taller lines: each line of every block, wrapped ones too, and through later texts and sizes;
// the text and its positions stay as they were.
TEST(TextPaneTest, LineSpacingMakesEveryLineTaller) {
    TextPane pane;
    pane.resize(300, 400);
    pane.show();
    const QString text =
        QStringLiteral("一行目\r\n") + QString(60, QChar(0x6CD5)) + QStringLiteral("\r\n末");
    pane.setText(text);
    auto heights = [&pane] {
        const auto* layout = pane.document()->documentLayout();
        QList<qreal> out;
        for (QTextBlock b = pane.document()->firstBlock(); b.isValid(); b = b.next())
            out << layout->blockBoundingRect(b).height();
        return out;
    };
    const QList<qreal> plain = heights();
    ASSERT_EQ(plain.size(), 3);
    ASSERT_GT(pane.document()->findBlockByNumber(1).layout()->lineCount(), 1);  // wrapped
    pane.setLineSpacing(200);
    QList<qreal> spaced = heights();
    // Each line twice its height; the document's margin below the last block stays one.
    const qreal margin = pane.document()->documentMargin();
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(spaced[i] - plain[i], plain[i] - (i == 2 ? margin : 0), 1.0) << i;
    // Kept for the next text, a wider pane, and undone at 100; bounds held.
    pane.setText(text);
    pane.resize(500, 400);
    QCoreApplication::processEvents();
    spaced = heights();
    EXPECT_NEAR(spaced[0], 2 * plain[0], 2.0);
    EXPECT_EQ(pane.text(), text);
    pane.setLineSpacing(100);
    EXPECT_NEAR(heights()[0], plain[0], 0.5);
    pane.setLineSpacing(1000);
    EXPECT_EQ(pane.lineSpacing(), 300);
    pane.setLineSpacing(0);
    EXPECT_EQ(pane.lineSpacing(), 100);
}

// A run marked as the one on show: across the width, in view, cleared by a new text; a run
// past the text marks nothing.
TEST(TextPaneTest, AFocusRunIsMarkedScrolledToAndClearedByANewText) {
    TextPane pane;
    pane.resize(300, 120);
    pane.show();
    QStringList lines;
    for (int i = 0; i < 60; ++i) lines << QStringLiteral("行%1").arg(i);
    const QString text = lines.join(QStringLiteral("\r\n"));
    pane.setText(text);
    const int at = int(text.indexOf(QStringLiteral("行50")));
    pane.setFocusRun(at, 4);
    EXPECT_EQ(pane.focusRun(), std::make_pair(at, 4));
    EXPECT_EQ(pane.selStart(), at);
    EXPECT_GT(pane.verticalScrollBar()->value(), 0);
    EXPECT_TRUE(pane.viewport()->rect().contains(pane.cursorRect().center()));
    ASSERT_EQ(pane.extraSelections().size(), 1);
    EXPECT_TRUE(pane.extraSelections()[0].format.boolProperty(QTextFormat::FullWidthSelection));
    pane.setFocusRun(int(text.size()) - 1, 5);  // past the end
    EXPECT_EQ(pane.focusRun().first, -1);
    EXPECT_TRUE(pane.extraSelections().isEmpty());
    pane.setFocusRun(at, 4);
    pane.setText(text);
    EXPECT_EQ(pane.focusRun().first, -1);
    EXPECT_TRUE(pane.extraSelections().isEmpty());
}

TEST(MdiFrameTest, ChildrenMenusAndUnload) {
    MdiFrame frame;
    QMenu fileMenu(QStringLiteral("ファイル"));
    frame.setFrameMenus({fileMenu.menuAction()});
    frame.show();
    const QList<QAction*> frameMenus{fileMenu.menuAction()};
    EXPECT_EQ(frame.menuBar()->actions(), frameMenus);

    auto* pane = new TextPane;
    pane->setWindowTitle(QStringLiteral("条文"));
    QMdiSubWindow* paneSub = frame.showChild(pane);
    ASSERT_NE(paneSub, nullptr);
    EXPECT_EQ(paneSub->widget(), pane);
    EXPECT_EQ(subWindowOf(pane), paneSub);
    EXPECT_EQ(paneSub->windowTitle(), QStringLiteral("条文"));
    pane->setWindowTitle(QStringLiteral("目次"));
    EXPECT_EQ(paneSub->windowTitle(), QStringLiteral("目次"));

    auto* owner = new MenuChild;
    QPointer<MenuChild> ownerAlive(owner);
    QPointer<QMdiSubWindow> ownerSub(frame.showChild(owner));
    EXPECT_EQ(frame.children(), QList<QWidget*>({pane, owner}));
    EXPECT_EQ(frame.findChildWindow<TextPane>(), pane);

    // The active child's menus replace the frame's, and give way again.
    frame.area()->setActiveSubWindow(ownerSub);
    EXPECT_EQ(frame.menuBar()->actions(), owner->childMenus());
    frame.area()->setActiveSubWindow(paneSub);
    EXPECT_EQ(frame.menuBar()->actions(), frameMenus);
    bringToFront(owner);
    EXPECT_EQ(frame.area()->activeSubWindow(), ownerSub.data());
    EXPECT_EQ(frame.menuBar()->actions(), owner->childMenus());

    // Unloading the active child deletes it and its sub-window; the frame's menus return.
    unload(owner);
    flushDeletes();
    EXPECT_TRUE(ownerAlive.isNull());
    EXPECT_TRUE(ownerSub.isNull());
    EXPECT_EQ(frame.children(), QList<QWidget*>({pane}));
    EXPECT_EQ(frame.menuBar()->actions(), frameMenus);

    // Deleting the child directly takes its sub-window with it.
    QPointer<QMdiSubWindow> paneSubAlive(paneSub);
    delete pane;
    flushDeletes();
    EXPECT_TRUE(paneSubAlive.isNull());
    EXPECT_TRUE(frame.children().isEmpty());

    // A top-level window is unloaded as well.
    QPointer<QWidget> top(new QWidget);
    top->show();
    unload(top);
    flushDeletes();
    EXPECT_TRUE(top.isNull());
}

TEST(MdiFrameTest, DestroyedWithOpenChild) {
    // Destroying a shown frame hides its area, which activates sub-windows during teardown.
    auto* frame = new MdiFrame;
    frame->show();
    QPointer<QWidget> child(new QWidget);
    frame->showChild(child);
    delete frame;
    EXPECT_TRUE(child.isNull());
}

TEST(TwipsTest, FollowScreenDpi) {
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    EXPECT_EQ(twipsToPixels(1440), int(std::lround(dpi)));
    EXPECT_EQ(twipsToPixels(720), int(std::lround(dpi / 2)));
    EXPECT_NEAR(pixelsToTwips(twipsToPixels(1440)), 1440, 1440 / dpi);

    // An MDI child is placed by its sub-window.
    MdiFrame frame;
    frame.resize(800, 600);
    frame.show();
    auto* w = new QWidget;
    QMdiSubWindow* sub = frame.showChild(w);
    setGeometryTwips(w, 1440, 720, 4320, 2880);
    EXPECT_EQ(sub->pos(), QPoint(twipsToPixels(1440), twipsToPixels(720)));
    EXPECT_EQ(sub->size(), QSize(twipsToPixels(4320), twipsToPixels(2880)));
    const QRect g = geometryTwips(w);
    const double tol = 1440 / dpi;
    EXPECT_NEAR(g.x(), 1440, tol);
    EXPECT_NEAR(g.y(), 720, tol);
    EXPECT_NEAR(g.width(), 4320, tol);
    EXPECT_NEAR(g.height(), 2880, tol);
    // Close the child first: destroying a visible frame with children crashes (see below).
    unload(w);
    flushDeletes();
}

TEST(GuardTest, ErrorsStopInsideTheHandlerAndTheWindowGoesOn) {
    ScriptedPrompt prompt;
    QWidget w;
    auto* b = new QPushButton(QStringLiteral("登録"), &w);
    int runs = 0;
    connectGuarded(b, &QPushButton::clicked, &w, [&runs] {
        ++runs;
        if (runs == 1) throw Error(QStringLiteral("法典コードが空です。"));
        if (runs == 2) throw std::runtime_error("disk full");
        if (runs == 3) throw 42;
    });
    w.show();
    // click() emits the signal directly, outside the application's event guard: an error
    // that left the handler would reach this test.
    for (int i = 0; i < 4; ++i) EXPECT_NO_THROW(b->click());
    EXPECT_EQ(runs, 4);
    EXPECT_EQ(prompt.messages,
              QStringList({QStringLiteral("法典コードが空です。"), QStringLiteral("disk full"),
                           QStringLiteral("予期しないエラーが発生しました。")}));
    // A handler taking the signal's arguments gets them.
    bool seen = false;
    b->setCheckable(true);
    connectGuarded(b, &QPushButton::toggled, &w, [&seen](bool on) { seen = on; });
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(BusyTest, BoxesShowTheArrowOverTheHourglass) {
    // Real boxes here, closed by the test itself.
    qunsetenv("LEXORA_NO_MODAL");
    BusyCursor busy;
    WindowPrompt boxes;
    Qt::CursorShape during = Qt::WaitCursor;
    QTimer::singleShot(0, [&during] {
        during = QGuiApplication::overrideCursor()->shape();
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    boxes.message(QStringLiteral("未登録コードです。"), Buttons::Ok);
    EXPECT_EQ(during, Qt::ArrowCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    during = Qt::WaitCursor;
    QTimer::singleShot(0, [&during] {
        during = QGuiApplication::overrideCursor()->shape();
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    boxes.input(QStringLiteral("検索キーワードを入力してください。"), {});
    EXPECT_EQ(during, Qt::ArrowCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    qputenv("LEXORA_NO_MODAL", "1");
}

TEST(BusyTest, CursorRestoredOnEveryWayOut) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        BusyCursor busy;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    try {
        BusyCursor busy;
        throw std::runtime_error("stop");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

namespace {

class SoundTest : public testsupport::TempRootTest {};

TEST_F(SoundTest, SilentWhenMissing) {
    // A missing sound file plays nothing and makes no player; a present one is loaded.
    QWidget owner;
    platform::playSound(path(QStringLiteral("s01.wav")), &owner);
    EXPECT_EQ(owner.findChild<QSoundEffect*>(), nullptr);
    QByteArray wav("RIFF", 4);
    auto le32 = [&wav](quint32 v) {
        for (int i = 0; i < 4; ++i) wav.append(char((v >> (8 * i)) & 0xFF));
    };
    auto le16 = [&wav](quint16 v) { wav.append(char(v & 0xFF)).append(char(v >> 8)); };
    le32(36 + 200);
    wav.append("WAVEfmt ", 8);
    le32(16);
    le16(1);
    le16(1);
    le32(8000);
    le32(16000);
    le16(2);
    le16(16);
    wav.append("data", 4);
    le32(200);
    wav.append(QByteArray(200, '\0'));
    testsupport::writeFile(path(QStringLiteral("s01.wav")), wav);
    platform::playSound(path(QStringLiteral("s01.wav")), &owner);
    auto* effect = owner.findChild<QSoundEffect*>();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->source(), QUrl::fromLocalFile(path(QStringLiteral("s01.wav"))));
    // The player loads on a thread of its own: the owner goes only once it is done (a player
    // torn down mid-load crashed the test once under load).
    QElapsedTimer loading;
    loading.start();
    while (effect->status() == QSoundEffect::Loading && loading.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Qt's own buttons and menus in Japanese, as the installed translation has them.
TEST(QtTextsTest, QtsOwnTextsAreJapanese) {
    QTranslator* t = platform::installQtJapanese(QCoreApplication::instance());
    ASSERT_NE(t, nullptr) << "qtbase_ja.qm not installed (qt6-translations-l10n)";
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().left(2), QStringLiteral("はい"));
    QCoreApplication::removeTranslator(t);
    delete t;
}

// Find in text: Ctrl+F opens the bar, every hit is marked and counted, Enter goes on round the
// end, Shift+Enter back, Esc closes it and takes the marks away.
TEST(FindBarTest, EveryHitMarkedCountedAndVisitedBothWays) {
    platform::TextPane pane;
    pane.resize(400, 200);
    pane.show();
    pane.setText(QStringLiteral("甲乙甲\r\n丙甲"));
    pane.setFocus();
    QTest::keyClick(&pane, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(pane.findEdit()->isVisible());
    pane.findEdit()->insert(QStringLiteral("甲"));
    EXPECT_EQ(pane.findCount(), QStringLiteral("3 件"));
    EXPECT_EQ(pane.highlights().size(), 3);
    QList<int> visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(pane.findEdit(), Qt::Key_Return);
        visited << pane.textCursor().selectionStart();
    }
    EXPECT_EQ(visited, QList<int>({0, 2, 5, 0}));  // round the end; a line break counts one
    QTest::keyClick(pane.findEdit(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(pane.textCursor().selectionStart(), 5);
    pane.findEdit()->setText(QStringLiteral("丁"));
    EXPECT_EQ(pane.findCount(), QStringLiteral("見つかりません"));
    EXPECT_FALSE(pane.findNext());
    QTest::keyClick(pane.findEdit(), Qt::Key_Escape);
    EXPECT_FALSE(pane.findEdit()->isVisible());
    EXPECT_TRUE(pane.highlights().isEmpty());
}

}  // namespace

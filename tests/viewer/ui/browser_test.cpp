// The law browser, the lookup, the copy into the edit window and the word search, as a reader
// uses them in the main window, on the seven real laws.
#include "exchange/lawparts.h"
#include "exchange/lawxml.h"
#include "exchange/ui/frmhcodelist.h"
#include "platform/keys.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "platform/ui/fonts.h"
#include "platform/ui/keyedtree.h"
#include "platform/ui/mdi.h"
#include "platform/ui/textpane.h"
#include "platform/ui/twips.h"
#include "platform/vb.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/versions.h"
#include "tests/viewer/ui/viewerfixture.h"
#include "viewer/browser/citedby.h"
#include "viewer/browser/lawtree.h"
#include "viewer/browser/ui/frmcitedby.h"
#include "viewer/browser/ui/frmterms.h"
#include "viewer/browser/ui/frmtree.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/marks/ui/frmmarks.h"
#include "viewer/marks/userdata.h"
#include "viewer/shell/reading.h"
#include "viewer/shell/state.h"
#include "viewer/shell/ui/frmnowsearch.h"
#include "viewer/shell/ui/mdimain.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTextTable>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

using namespace viewer;

namespace {

// While it lives, a search lets events in after every step, so that a key or a close sent
// from a timer arrives while the first law is searched.
struct EveryStepPumps {
    EveryStepPumps() { FrmNowSearch::setPumpInterval(0); }
    ~EveryStepPumps() { FrmNowSearch::setPumpInterval(16); }
};

TEST_F(BrowserTest, LawButtonsOpenEveryLawInTheOneBrowser) {
    platform::ScriptedPrompt prompt;
    for (const char* name : {"日本国憲法", "民法", "刑法", "会社法", "民事訴訟法", "刑事訴訟法"}) {
        QPushButton* b = button(QString::fromUtf8(name));
        ASSERT_TRUE(b) << name;
        QTest::mouseClick(b, Qt::LeftButton);
        ASSERT_FALSE(w().browser.isNull());
        const FrmTree* t = w().browser;
        const LawTree content = buildTocTree(b->property("tag").toString());
        EXPECT_EQ(t->TView1->nodeCount(), content.nodes.size()) << name;
        EXPECT_EQ(t->windowTitle(), QString::fromUtf8(name));
        EXPECT_TRUE(t->TView1->nodes().first()->isExpanded());
        EXPECT_EQ(state().CurHCode, b->property("tag").toString());
        EXPECT_EQ(t->Rtxt1->text(), QString());
    }
    // One browser for all of them, filling the frame's client area.
    int browsers = 0;
    for (QWidget* c : w().children()) browsers += c->objectName() == QStringLiteral("FrmTree");
    EXPECT_EQ(browsers, 1);
    EXPECT_EQ(platform::subWindowOf(w().browser)->geometry(), w().area()->viewport()->rect());
    EXPECT_EQ(w().browser->Ratio, 0.4f);
    EXPECT_TRUE(prompt.messages.isEmpty());
    // The panes: the text pane takes 0.4 of the window's height below the tree.
    const FrmTree* t = w().browser;
    const int outer = platform::geometryTwips(w().browser).height();
    EXPECT_NEAR(t->Rtxt1->height(), platform::twipsToPixels(int(outer * 0.4)), 2);
    EXPECT_EQ(t->TView1->geometry().top(), 0);
    EXPECT_LE(t->Rtxt1->geometry().bottom(), t->height());
    EXPECT_NEAR(t->Rtxt1->geometry().top(), t->TView1->geometry().bottom(), 2);
}

TEST_F(BrowserTest, LookupSelectsTheNodeAndShowsItsText) {
    platform::ScriptedPrompt prompt;
    lookup(QStringLiteral("kp9"));
    EXPECT_EQ(w().TxtJouFind->text(), QStringLiteral("KP9"));
    ASSERT_FALSE(w().browser.isNull());
    FrmTree* t = w().browser;
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("KP00090000"));
    // An article shows its place, then every paragraph with its mark, a blank line between.
    EXPECT_TRUE(t->Mn_View_Whole->isChecked());
    const QString place = QStringLiteral("日本国憲法\r\n第2章 戦争の放棄　（9条）\r\n第9条");
    EXPECT_TRUE(t->Rtxt1->text().startsWith(place + QStringLiteral("\r\n\r\n① 日本国民は、")));
    EXPECT_TRUE(t->Rtxt1->text().contains(QStringLiteral("これを放棄する。\r\n\r\n② 前項の目的")));
    // Off (kept in the settings): the Part's display exactly.
    t->Mn_View_Whole->trigger();
    EXPECT_EQ(t->Rtxt1->text(), place);
    EXPECT_EQ(platform::Settings(QStringLiteral("LXA"), QStringLiteral("VIEW"))
                  .get(viewer::kWholeArticleKey),
              QStringLiteral("False"));
    t->Mn_View_Whole->trigger();
    EXPECT_EQ(state().CurHCode, QStringLiteral("KP"));
    // 民法 第415条 from a click: both its paragraphs.
    lookup(QStringLiteral("MP415"));
    t->TView1_NodeClick(t->TView1->node(QStringLiteral("MP04150000")));
    EXPECT_TRUE(
        t->Rtxt1->text().contains(QStringLiteral("【債務不履行による損害賠償】\r\n\r\n① 債務者")));
    EXPECT_TRUE(t->Rtxt1->text().contains(QStringLiteral("この限りでない。\r\n\r\n② 前項の規定")));
    // A jump to a paragraph: the paragraph's node is chosen, the whole article shows with the
    // paragraph marked, from its mark to its last item, and the caret at its start.
    const QString second = QStringLiteral(
        "② 前項の規定により損害賠償の請求を"
        "することができる場合において、債権者は、次に掲げるときは、債務の履行に代"
        "わる損害賠償の請求をすることができる。\r\n一　債務の履行が不能であるとき。"
        "\r\n二　債務者がその債務の履行を拒絶する意思を明確に表示したとき。\r\n三　"
        "債務が契約によって生じたものである場合において、その契約が解除され、又は"
        "債務の不履行による契約の解除権が発生したとき。");
    lookup(QStringLiteral("MP415:2"));
    EXPECT_EQ(t->windowTitle(), QStringLiteral("民法"));
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("MP04150000020200"));
    EXPECT_TRUE(
        t->Rtxt1->text().contains(QStringLiteral("【債務不履行による損害賠償】\r\n\r\n① 債務者")));
    EXPECT_TRUE(t->Rtxt1->text().endsWith(QStringLiteral("\r\n\r\n") + second));
    const auto [focusAt, focusLength] = t->Rtxt1->focusRun();
    EXPECT_EQ(t->Rtxt1->text().mid(focusAt, focusLength), second);
    EXPECT_EQ(t->Rtxt1->selStart(), focusAt);
    // The first paragraph is marked as the first: the mark is the jump's, not the last one's.
    lookup(QStringLiteral("MP415:1"));
    EXPECT_TRUE(t->Rtxt1->text().mid(t->Rtxt1->focusRun().first).startsWith(u'①'));
    EXPECT_TRUE(t->Rtxt1->text()
                    .mid(t->Rtxt1->focusRun().first, t->Rtxt1->focusRun().second)
                    .endsWith(QStringLiteral("この限りでない。")));
    // A click on the paragraph's node shows it alone, as the tree always has, unmarked.
    t->TView1_NodeClick(t->TView1->node(QStringLiteral("MP04150000020200")));
    EXPECT_TRUE(t->Rtxt1->text().endsWith(
        QStringLiteral("第415条 【債務不履行による損害賠償】\r\n") + second));
    EXPECT_EQ(t->Rtxt1->focusRun().first, -1);
    // With whole articles off a jump shows the paragraph alone too.
    t->Mn_View_Whole->trigger();
    lookup(QStringLiteral("MP415:2"));
    EXPECT_TRUE(t->Rtxt1->text().endsWith(
        QStringLiteral("第415条 【債務不履行による損害賠償】\r\n") + second));
    EXPECT_EQ(t->Rtxt1->focusRun().first, -1);
    t->Mn_View_Whole->trigger();
    // The same law again: no rebuild, only the selection moves.
    QTreeWidgetItem* root = t->TView1->nodes().first();
    lookup(QStringLiteral("MP1"));
    EXPECT_EQ(t->TView1->nodes().first(), root);
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("MP00010000"));
    // Forms a reader types: each finds its node; paragraph 1 of a one-paragraph article too.
    const std::pair<const char*, const char*> forms[] = {
        {"ＭＰ４１５：２", "MP04150000020200"},
        {"MP四百十五", "MP04150000"},
        {"MP第415条", "MP04150000"},
        {"民法415", "MP04150000"},
        {"民法第415条第2項", "MP04150000020200"},
        {"MP300:1", "MP03000000010000"},
        {"会社法 2", "KS00020000"},
        {"cs1", "CS00010000"},
        {"MP第三百九十八条の二第三項", "MP03980200030300"}};
    for (const auto& [typed, key] : forms) {
        lookup(QString::fromUtf8(typed));
        EXPECT_EQ(w().browser->TView1->selectedKey(), QString::fromLatin1(key)) << typed;
    }
    EXPECT_EQ(w().TxtJouFind->text(), QStringLiteral("MP398-2:3"));
    // The picture button is Enter.
    w().TxtJouFind->setText(QStringLiteral("cs1"));
    QTest::mouseClick(w().CmdFindByCode, Qt::LeftButton);
    EXPECT_EQ(w().browser->TView1->selectedKey(), QStringLiteral("CS00010000"));

    // What finds nothing leaves the browser exactly as it was and says why in the status bar.
    lookup(QStringLiteral("MP415:2"));
    t->TView1->node(QStringLiteral("MP00010000"))->setExpanded(true);
    auto snapshot = [t] {
        QStringList expanded;
        for (QTreeWidgetItem* n : t->TView1->nodes())
            if (n->isExpanded()) expanded << platform::KeyedTree::keyOf(n);
        return QStringList{t->curHCodeT, t->TView1->selectedKey(), t->Rtxt1->text(),
                           QString::number(t->TView1->nodeCount()), expanded.join(u' ')};
    };
    const QStringList before = snapshot();
    const std::pair<const char*, const char*> misses[] = {
        {"ZZ1", "ZZ: 登録されていない法典コードです"},
        {"MP9999", "MP9999: 民法に第9999条はありません"},
        {"MP415:9", "MP415:9: 民法第415条に第9項はありません"},
        {"MP", "MP: 条番号がありません（例: MP415:2、民法415）"},
        {"民法", "民法: 条番号がありません（例: MP415:2、民法415）"},
        {"xyz", "XY: 登録されていない法典コードです"},
        {"MPx", "MPx: 条番号が読み取れません（例: MP415:2、民法415）"},
        {"ＭＰ１００００", "MP10000: 条番号が読み取れません（例: MP415:2、民法415）"}};
    for (const auto& [typed, said] : misses) {
        lookup(QString::fromUtf8(typed));
        EXPECT_EQ(snapshot(), before) << typed;
        EXPECT_EQ(w().statusBar()->currentMessage(), QString::fromUtf8(said)) << typed;
    }
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

TEST_F(BrowserTest, CopiedParagraphsCollectWithTheirHistory) {
    platform::ScriptedPrompt prompt;
    lookup(QStringLiteral("MP1:2"));
    FrmTree* t = w().browser;
    t->TView1->setFocus();
    QTest::keyClick(t->TView1, Qt::Key_F3);
    ASSERT_FALSE(w().copy.isNull());
    FrmCopy* edit = w().copy;
    const QString first = QStringLiteral(
        "民法　第1条　【基本原則】\r\n[第2項]\r\n権利の行使及び義務の履行は、"
        "信義に従い誠実に行わなければならない。\r\n\r\n");
    EXPECT_EQ(edit->Rtxt1->text(), first);
    // The same paragraph again: a hyphen line between, the caret at the first copy.
    QTest::keyClick(t->TView1, Qt::Key_F3);
    EXPECT_EQ(edit->Rtxt1->text(), first + QString(70, u'-') + QStringLiteral("\r\n") + first);
    EXPECT_EQ(edit->Rtxt1->selStart(), 0);
    EXPECT_EQ(edit->Rtxt1->selLength(), 0);
    // A node that is not a paragraph copies nothing.
    lookup(QStringLiteral("MP3"));
    QTest::keyClick(t->TView1, Qt::Key_F3);
    lookup(QStringLiteral("MP300"));
    t->TView1->selectNode(t->TView1->node(QStringLiteral("MP03000000010000")));
    QTest::keyClick(t->TView1, Qt::Key_F3);
    EXPECT_EQ(w().ComboHis->count(), 3);
    EXPECT_EQ(w().ComboHis->itemText(0), QStringLiteral("民法　第300条"));
    EXPECT_EQ(w().ComboHis->itemText(1), QStringLiteral("民法　第1条 第2項"));
    EXPECT_EQ(w().ComboHis2->itemText(0),
              QStringLiteral("民法　第300条　【留置権の行使と債権の消滅時効】\r\n"));
    EXPECT_EQ(state().CopyLog.count(QStringLiteral("SEPARATOR")), 3);
    EXPECT_TRUE(state().CopyLog.startsWith(QStringLiteral("SEPARATOR") + first));
    // The caret goes to the new block, the last one.
    EXPECT_EQ(edit->Rtxt1->selStart(),
              edit->Rtxt1->text().indexOf(QStringLiteral("民法　第300条")));

    // Emptying the pane asks about the history: No keeps it, Yes clears all three.
    prompt.answers = {platform::Answer::No};
    edit->Rtxt1->setText(QString());
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("履歴もクリアしますか？")});
    EXPECT_EQ(w().ComboHis->count(), 3);
    // A copy into the empty pane has no hyphen line.
    lookup(QStringLiteral("MP1:2"));
    QTest::keyClick(t->TView1, Qt::Key_F3);
    EXPECT_EQ(edit->Rtxt1->text(), first);
    prompt.answers = {platform::Answer::Yes};
    edit->Rtxt1->setText(QString());
    EXPECT_EQ(w().ComboHis->count(), 0);
    EXPECT_EQ(w().ComboHis2->count(), 0);
    EXPECT_EQ(state().CopyLog, QString());
    // With the history empty, emptying asks nothing.
    edit->Rtxt1->setText(QStringLiteral("x"));
    edit->Rtxt1->setText(QString());
    EXPECT_EQ(prompt.messages.size(), 2);
    // Closing with text kept nowhere else asks first: Cancel keeps the window.
    QTest::keyClick(t->TView1, Qt::Key_F3);
    ASSERT_EQ(w().ComboHis->count(), 1);
    prompt.answers = {platform::Answer::Cancel};
    platform::unload(edit);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(w().copy.isNull());
    EXPECT_EQ(prompt.messages.last(),
              QStringLiteral("編集画面のテキストは保存もコピーもされていません。保存しますか？"));
    EXPECT_EQ(prompt.buttons.last(), platform::Buttons::YesNoCancel);
    // Ctrl+S saves it as UTF-8 (CR LF kept); saved, it closes without a question, clears
    // the lists and keeps the log.
    const QString file = path(QStringLiteral("edit.txt"));
    prompt.saves.push_back({file, QStringLiteral("UTF-8 (*.txt)")});
    QTest::keyClick(edit->Rtxt1, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(testsupport::readFile(file), edit->Rtxt1->text().toUtf8());
    EXPECT_TRUE(edit->Rtxt1->text().contains(QStringLiteral("\r\n")));
    const qsizetype asked = prompt.messages.size();
    platform::unload(edit);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w().copy.isNull());
    EXPECT_EQ(w().ComboHis->count(), 0);
    EXPECT_FALSE(state().CopyLog.isEmpty());
    EXPECT_EQ(prompt.messages.size(), asked);
    // Text on the clipboard whole is kept too; No lets unsaved text go.
    QTest::keyClick(t->TView1, Qt::Key_F3);
    QGuiApplication::clipboard()->setText(platform::fromCrLf(w().copy->Rtxt1->text()));
    platform::unload(w().copy);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w().copy.isNull());
    EXPECT_EQ(prompt.messages.size(), asked);
    QTest::keyClick(t->TView1, Qt::Key_F3);
    QTest::keyClick(w().copy->Rtxt1, Qt::Key_X);
    prompt.answers = {platform::Answer::No};
    platform::unload(w().copy);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w().copy.isNull());
    EXPECT_EQ(prompt.messages.size(), asked + 1);
}

TEST_F(BrowserTest, TextWindowKeysAndMenus) {
    platform::ScriptedPrompt prompt;
    FrmCopy* edit = w().copyWindow();
    platform::TextPane* p = edit->Rtxt1;
    p->setText(QStringLiteral("前条第三百五条の規定"));
    const double start = p->fontSize();
    QTest::keyClick(p, Qt::Key_F12);
    EXPECT_EQ(p->fontSize(), start + 1);
    QTest::keyClick(p, Qt::Key_F11);
    QTest::keyClick(p, Qt::Key_F11);
    EXPECT_EQ(p->fontSize(), start - 1);
    QTest::keyClick(p, Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_EQ(p->fontSize(), 10);
    QTest::keyClick(p, Qt::Key_F12, Qt::ControlModifier);
    EXPECT_EQ(p->fontName(), platform::kMincho);
    QTest::keyClick(p, Qt::Key_F11, Qt::ControlModifier);
    EXPECT_EQ(p->fontName(), platform::kGothic);
    // Ctrl+Shift+F12 is no key of the table.
    QTest::keyClick(p, Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(p->fontSize(), 10);
    EXPECT_EQ(p->fontName(), platform::kGothic);
    const bool bold = p->fontBold();
    QTest::keyClick(p, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(p->fontBold(), !bold);
    EXPECT_EQ(edit->Mn_Font_Kind_Bold->isChecked(), !bold);
    edit->Mn_Font_Kind_Bold->trigger();
    EXPECT_EQ(p->fontBold(), bold);
    EXPECT_EQ(edit->Mn_Font_Kind_Bold->isChecked(), bold);
    edit->Mn_Font_Size_Up->trigger();
    EXPECT_EQ(p->fontSize(), 11);
    edit->Mn_Font_Size_Ten->trigger();
    EXPECT_EQ(p->fontSize(), 10);
    // F4 reads the kanji article number of the selection.
    p->setSelStart(2);
    p->setSelLength(6);
    QTest::keyClick(p, Qt::Key_F4);
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("305")});
    p->setSelStart(0);
    p->setSelLength(2);
    QTest::keyClick(p, Qt::Key_F4);
    EXPECT_EQ(prompt.messages.size(), 1);
    // Captions of the menu as specified; the result window has none.
    EXPECT_EQ(edit->windowTitle(), QStringLiteral("編集"));
    EXPECT_EQ(edit->Mn_Font_Size_Ten->text(),
              QStringLiteral("ポイントを１０Ｐにする(&T Crtl+F11/F12)"));
    EXPECT_EQ(w().foundWindow()->windowTitle(), QStringLiteral("検索結果"));
    // The pane leaves the window's margins.
    EXPECT_LE(p->width(), edit->width());
    EXPECT_LE(p->height(), edit->height());
}

TEST_F(BrowserTest, WordSearchListsHitsAndJumpsToThem) {
    platform::ScriptedPrompt prompt;
    w().TxtJouFindT->setText(QStringLiteral("契約 解除"));
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    ASSERT_FALSE(w().nowSearch.isNull());
    ASSERT_FALSE(w().found.isNull());
    FrmNowSearch* now = w().nowSearch;
    EXPECT_EQ(now->windowTitle(), QStringLiteral("検索終了"));
    EXPECT_EQ(now->LabelHouten->text(), QStringLiteral("KeyWord = 契約 解除　　検索結果 = 42件"));
    EXPECT_EQ(now->List1->count(), 42);
    EXPECT_EQ(now->List1->currentRow(), 41);
    const QString text = w().found->Rtxt1->text();
    EXPECT_TRUE(text.startsWith(
        QStringLiteral("KeyWord = 契約 解除　　検索結果 = 42件\r\n\r\n民法　第415条")));
    // Each line: the hit's article, then its paragraph's first characters.
    EXPECT_TRUE(now->List1->item(0)->text().startsWith(
        QStringLiteral("民法　第415条　【債務不履行による損害賠償】 [第2項]　前項の規定により")))
        << now->List1->item(0)->text().toStdString();
    // The words are marked in the result.
    const auto marks = w().found->Rtxt1->highlights();
    ASSERT_FALSE(marks.isEmpty());
    for (const auto& [from, length] : marks) {
        const QString word = text.mid(from, length);
        EXPECT_TRUE(word == QStringLiteral("契約") || word == QStringLiteral("解除"));
    }
    // Double-click: the result window selects the hit's block, and the law's browser opens
    // in front at its paragraph, the words marked; the result window stays open.
    now->List1->setCurrentRow(2);
    now->List1_DblClick();
    const int at = w().found->Rtxt1->selStart();
    EXPECT_EQ(at, text.indexOf(platform::trimBlanks(now->lineText(2))));
    EXPECT_GT(at, 0);
    ASSERT_FALSE(w().browser.isNull());
    FrmTree* t = w().browser;
    EXPECT_EQ(t->curHCodeT, QStringLiteral("MP"));
    const QString third = t->TView1->selectedKey();
    EXPECT_EQ(third.size(), 16);
    EXPECT_EQ(w().area()->activeSubWindow(), platform::subWindowOf(t));
    EXPECT_FALSE(w().found.isNull());
    EXPECT_FALSE(t->Rtxt1->highlights().isEmpty());
    // Enter on another line opens that one; identical lines open the one chosen.
    now->List1->setCurrentRow(0);
    QTest::keyClick(now->List1, Qt::Key_Return);
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("MP04150000020200"));
    // Choosing another node by hand drops the marks.
    t->TView1->selectNode(t->TView1->node(QStringLiteral("MP00010000")));
    EXPECT_TRUE(t->Rtxt1->highlights().isEmpty());
    // In the result window: Enter with the caret in a block opens its hit.
    w().found->Rtxt1->setSelStart(at + 3);
    QTest::keyClick(w().found->Rtxt1, Qt::Key_Return);
    EXPECT_EQ(t->TView1->selectedKey(), third);
    EXPECT_EQ(w().found->Rtxt1->text(), text);  // nothing typed into the result
    EXPECT_TRUE(prompt.messages.isEmpty());
    // A second search replaces the window and the result.
    QPointer<FrmNowSearch> old = now;
    w().TxtJouFindT->setText(QStringLiteral("存在しない語句"));
    QTest::mouseClick(w().CmdFindByWord, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(w().nowSearch->List1->count(), 0);
    EXPECT_EQ(w().found->Rtxt1->text(),
              QStringLiteral("KeyWord = 存在しない語句　　検索結果 = 0件\r\n\r\n"));
    // In a small frame the search's windows still lie wholly inside it.
    w().resize(640, 420);
    QCoreApplication::processEvents();
    platform::unload(w().found);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    w().TxtJouFindT->setText(QStringLiteral("契約 解除"));
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    const QRect room = w().area()->viewport()->rect();
    for (QWidget* child : {static_cast<QWidget*>(w().nowSearch), static_cast<QWidget*>(w().found)})
        EXPECT_TRUE(room.contains(platform::subWindowOf(child)->geometry()))
            << child->objectName().toStdString();
    // Blanks only: the message, and the progress window stays empty.
    w().TxtJouFindT->setText(QStringLiteral("  "));
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("検索文字列が不正です。")});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(BrowserTest, ASearchAsOneTypesAndVariantFormsTakenAsOne) {
    platform::ScriptedPrompt prompt;
    MDIMain::typingPauseMs = 20;
    {
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        db.execute(QStringLiteral("insert into 条文 values ('MP99000000010000', '舊國民ノ權利')"));
    }
    // Typed through the input method: a pause searches, the box keeps what was typed.
    auto type = [this](const QString& text) {
        w().TxtJouFindT->clear();
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(w().TxtJouFindT, &commit);
    };
    type(QStringLiteral("契約 解除"));
    QTRY_VERIFY(!w().nowSearch.isNull() &&
                w().nowSearch->windowTitle() == QStringLiteral("検索終了"));
    EXPECT_EQ(w().nowSearch->List1->count(), 42);
    EXPECT_EQ(w().TxtJouFindT->text(), QStringLiteral("契約 解除"));
    // Blanks alone search nothing and say nothing; the same text again does not search again.
    QPointer<FrmNowSearch> first = w().nowSearch;
    type(QStringLiteral("　 "));
    QTest::qWait(100);
    type(QStringLiteral("契約 解除"));
    QTest::qWait(100);
    EXPECT_EQ(w().nowSearch, first);
    // More than a thousand hits while typing: the first thousand, without the message.
    type(QStringLiteral("の"));
    QTRY_VERIFY(w().nowSearch != first &&
                w().nowSearch->windowTitle() == QStringLiteral("検索終了"));
    EXPECT_TRUE(
        w().found->Rtxt1->text().startsWith(QStringLiteral("KeyWord = の　　検索結果 = 1000件")));
    EXPECT_TRUE(prompt.messages.isEmpty());
    // Enter still says it.
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    EXPECT_EQ(prompt.messages.size(), 1);
    // 表記ゆれを同一視: 旧国民 and 権利 find 舊國民ノ權利, marked at the old forms.
    w().TxtJouFindT->setText(QStringLiteral("旧国民 権利"));
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    EXPECT_EQ(w().nowSearch->List1->count(), 0);
    w().ChkFold->setChecked(true);
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    ASSERT_EQ(w().nowSearch->List1->count(), 1);
    const QString text = w().found->Rtxt1->text();
    QStringList marked;
    for (const auto& [from, length] : w().found->Rtxt1->highlights())
        marked << text.mid(from, length);
    // The summary line's words, then the hit's, each word in turn.
    EXPECT_EQ(marked, QStringList({QStringLiteral("旧国民"), QStringLiteral("舊國民"),
                                   QStringLiteral("権利"), QStringLiteral("權利")}));
    // Kept in the settings, and 設定 shows it.
    EXPECT_TRUE(loadReadingSettings().searchFold);
    EXPECT_EQ(searchFold(), store::Fold::Variants);
    MDIMain::typingPauseMs = 600;
}

TEST_F(BrowserTest, LawsImportedOrRemovedWhileRunningAreSearchedAndOnTheButtons) {
    platform::ScriptedPrompt prompt;
    const testsupport::ProcessResult r =
        lexctl({QStringLiteral("import-xml"),
                QStringLiteral("KB=" LEXORA_FIXTURES_DIR "/kokka-baisho.xml")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    w().TxtJouFindT->setText(QStringLiteral("公共団体 求償権"));
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    ASSERT_EQ(w().nowSearch->List1->count(), 2);
    EXPECT_TRUE(
        w().nowSearch->List1->item(0)->text().startsWith(QStringLiteral("国家賠償法　第1条")));
    w().nowSearch->List1->setCurrentRow(0);
    w().nowSearch->List1_DblClick();
    EXPECT_EQ(w().browser->curHCodeT, QStringLiteral("KB"));
    EXPECT_EQ(w().browser->TView1->selectedKey(), QStringLiteral("KB00010000020200"));
    // Removed by another program: the buttons follow without a search.
    store::openMasterDb().execute(QStringLiteral("delete from 法典コード where 法典コード='KP'"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return button(QStringLiteral("日本国憲法")) == nullptr; }, 5000));
    EXPECT_EQ(w().CmdHouten[0]->text(), QStringLiteral("民法"));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

TEST_F(BrowserTest, EscOrClosingStopsTheSearchAfterTheLawInWork) {
    platform::ScriptedPrompt prompt;
    // Events in after every step, so that the key arrives while the first law is searched.
    const EveryStepPumps everyStep;
    // Esc during the search: what was found so far, and the summary says it stopped.
    w().TxtJouFindT->setText(QStringLiteral("契約 解除"));
    QTimer::singleShot(0, &w(), [this] { QTest::keyClick(w().nowSearch, Qt::Key_Escape); });
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    EXPECT_TRUE(
        w().nowSearch->LabelHouten->text().endsWith(QStringLiteral("（途中で中止しました）")));
    EXPECT_LT(w().nowSearch->List1->count(), 42);
    EXPECT_TRUE(w().found->Rtxt1->text().contains(QStringLiteral("途中で中止しました")));
    // Closing the progress window: the search stops, the window goes once it has, and the
    // result window shows what was found.
    QTimer::singleShot(0, &w(), [this] { platform::subWindowOf(w().nowSearch)->close(); });
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(w().nowSearch.isNull());
    EXPECT_TRUE(w().found->Rtxt1->text().contains(QStringLiteral("途中で中止しました")));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(BrowserTest, FurtherBrowsersLawListAndCurrentLaw) {
    platform::ScriptedPrompt prompt;
    QTest::mouseClick(button(QStringLiteral("民法")), Qt::LeftButton);
    FrmTree* second = w().openBrowser(QStringLiteral("GT"));
    FrmTree* third = w().openBrowser(QStringLiteral("KS"));
    EXPECT_EQ(w().browser->Tag, QString());
    EXPECT_EQ(second->Tag, QStringLiteral("2"));
    EXPECT_EQ(third->Tag, QStringLiteral("3"));
    EXPECT_EQ(second->Rtxt1->palette().color(QPalette::Base),
              w().browser->Rtxt1->palette().color(QPalette::Base));
    // Side by side over the client area, the default browser first.
    const QRect room = w().area()->viewport()->rect();
    const QRect a = platform::subWindowOf(w().browser)->geometry();
    const QRect b = platform::subWindowOf(second)->geometry();
    const QRect c = platform::subWindowOf(third)->geometry();
    EXPECT_EQ(a.topLeft(), room.topLeft());
    EXPECT_EQ(b.left(), a.right() + 1);
    EXPECT_EQ(c.left(), b.right() + 1);
    EXPECT_NEAR(c.right(), room.right(), 3);
    EXPECT_EQ(b.height(), room.height());
    EXPECT_EQ(second->windowTitle(), QStringLiteral("行政手続法"));
    // Activating a browser makes its law the current law.
    w().area()->setActiveSubWindow(platform::subWindowOf(second));
    EXPECT_EQ(state().CurHCode, QStringLiteral("GT"));
    w().area()->setActiveSubWindow(platform::subWindowOf(w().browser));
    EXPECT_EQ(state().CurHCode, QStringLiteral("MP"));
    // The law list opens the law double-clicked in the default browser; Esc closes the list.
    QTest::mouseClick(w().CmdHCodeList, Qt::LeftButton);
    ASSERT_FALSE(w().hCodeList.isNull());
    exchange::FrmHCodeList* list = w().hCodeList;
    Q_EMIT list->TView1->itemDoubleClicked(list->TView1->node(QStringLiteral("GT")), 0);
    EXPECT_EQ(state().CurHCode, QStringLiteral("GT"));
    EXPECT_EQ(w().browser->windowTitle(), QStringLiteral("行政手続法"));
    EXPECT_EQ(w().browser->TView1->nodeCount(), 1 + 11 + 48 + 105);
    QTest::keyClick(list, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w().hCodeList.isNull());
    // The laws opened last: the 最近 menu, and the list opens with them first.
    EXPECT_EQ(recentLaws().mid(0, 2), QStringList({QStringLiteral("GT"), QStringLiteral("MP")}));
    Q_EMIT w().Mn_Recent->aboutToShow();
    ASSERT_GE(w().Mn_Recent->actions().size(), 2);
    EXPECT_EQ(w().Mn_Recent->actions()[1]->text(), QStringLiteral("MP  民法"));
    w().Mn_Recent->actions()[1]->trigger();
    EXPECT_EQ(w().browser->windowTitle(), QStringLiteral("民法"));
    EXPECT_EQ(recentLaws().first(), QStringLiteral("MP"));
    QTest::mouseClick(w().CmdHCodeList, Qt::LeftButton);
    ASSERT_FALSE(w().hCodeList.isNull());
    EXPECT_EQ(w().hCodeList->CboOrder->currentText(), QStringLiteral("最近"));
    EXPECT_EQ(w().hCodeList->List1->item(0)->text(), QStringLiteral(" MP  民法"));
    EXPECT_EQ(w().hCodeList->List1->item(1)->text(), QStringLiteral(" GT  行政手続法"));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(BrowserTest, RearrangingPutsTheEditWindowBelowTheBrowserAtThePartsHeight) {
    platform::ScriptedPrompt prompt;
    lookup(QStringLiteral("MP1:2"));
    QTest::keyClick(w().browser->TView1, Qt::Key_F3);
    w().CmdR_Click();
    const QRect browser = platform::geometryTwips(w().browser);
    EXPECT_NEAR(browser.height(), 5000, 15);
    const QRect copy = platform::geometryTwips(w().copy);
    int bars = 0;
    for (const char* name : {"Bar1", "Bar2"})
        bars += platform::pixelsToTwips(w().findChild<QToolBar*>(QLatin1String(name))->height());
    const int mainH = platform::pixelsToTwips(w().frameGeometry().height());
    EXPECT_NEAR(copy.top(), browser.height(), 15);
    EXPECT_NEAR(copy.height(), mainH - browser.height() - bars - 500 - 300 - 300, 15);
    EXPECT_EQ(w().copy->Rtxt1->fontSize(), 19);
}

TEST_F(BrowserTest, ARestartRestoresTheBrowsersTheirNodesAndTheHistory) {
    platform::ScriptedPrompt prompt;
    lookup(QStringLiteral("MP415:2"));
    QTest::keyClick(w().browser->TView1, Qt::Key_F3);
    lookup(QStringLiteral("MP1:2"));
    QTest::keyClick(w().browser->TView1, Qt::Key_F3);
    QTest::keyClick(w().browser->TView1, Qt::Key_F12);  // the pane a step larger
    w().copy->fontSizeStep(2);
    const double copySize = w().copy->Rtxt1->fontSize();
    FrmTree* second = w().openBrowser(QStringLiteral("GT"));
    second->showNode(QStringLiteral("GT00020000"));
    // A browser on a kept version comes back on it; one on a version removed since does not.
    const QString kept = store::keepVersion(QStringLiteral("民法"));
    const QString gone = store::keepVersion(QStringLiteral("刑法"));
    w().openBrowser(QStringLiteral("MP"), kept)->showNode(QStringLiteral("MP04150000"));
    w().openBrowser(QStringLiteral("CP"), gone);
    const QStringList history{w().ComboHis->itemText(0), w().ComboHis->itemText(1)};
    const QString log = state().CopyLog;
    w().resize(1000, 700);
    w().move(40, 30);
    const QRect frame = w().geometry();
    prompt.answers = {platform::Answer::No};  // the edit window's copies need not be saved
    w().close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w().isVisible(); }, 5000));
    store::removeVersion(QStringLiteral("刑法"), gone);

    main_ = std::make_unique<MDIMain>();
    state() = ViewerState{};
    w().show();
    w().Form_Load();
    EXPECT_EQ(w().geometry().size(), frame.size());
    ASSERT_FALSE(w().browser.isNull());
    EXPECT_EQ(w().browser->curHCodeT, QStringLiteral("MP"));
    EXPECT_EQ(w().browser->TView1->selectedKey(), QStringLiteral("MP00010000020200"));
    EXPECT_FLOAT_EQ(w().browser->Ratio, 0.5f);
    QList<FrmTree*> trees;
    for (QWidget* c : w().children())
        if (auto* t = qobject_cast<FrmTree*>(c)) trees << t;
    ASSERT_EQ(trees.size(), 3);
    EXPECT_EQ(trees[1]->curHCodeT, QStringLiteral("GT"));
    EXPECT_EQ(trees[1]->TView1->selectedKey(), QStringLiteral("GT00020000"));
    EXPECT_TRUE(trees[1]->version().isEmpty());
    EXPECT_EQ(trees[2]->curHCodeT, QStringLiteral("MP"));
    EXPECT_EQ(trees[2]->version(), kept);
    EXPECT_EQ(trees[2]->TView1->selectedKey(), QStringLiteral("MP04150000"));
    EXPECT_EQ(w().ComboHis->count(), 2);
    EXPECT_EQ((QStringList{w().ComboHis->itemText(0), w().ComboHis->itemText(1)}), history);
    EXPECT_EQ(state().CopyLog, log);
    EXPECT_EQ(w().copyWindow()->Rtxt1->fontSize(), copySize);
    EXPECT_EQ(prompt.messages,
              QStringList{QStringLiteral(
                  "編集画面のテキストは保存もコピーもされていません。保存しますか？")});
}

TEST_F(BrowserTest, LookupWorksOnTheDefaultBrowserWhateverWindowIsActive) {
    platform::ScriptedPrompt prompt;
    QTest::mouseClick(button(QStringLiteral("民法")), Qt::LeftButton);
    FrmTree* further = w().openBrowser(QStringLiteral("GT"));
    w().area()->setActiveSubWindow(platform::subWindowOf(further));
    ASSERT_EQ(state().CurHCode, QStringLiteral("GT"));
    // The default browser shows 民法: GT1 builds 行政手続法 there and selects its article.
    lookup(QStringLiteral("GT1"));
    EXPECT_EQ(w().browser->windowTitle(), QStringLiteral("行政手続法"));
    EXPECT_EQ(w().browser->TView1->selectedKey(), QStringLiteral("GT00010000"));
    EXPECT_EQ(further->TView1->selectedKey(), QString());
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(BrowserTest, SearchInTheBrowserWithF2) {
    platform::ScriptedPrompt prompt;
    lookup(QStringLiteral("MP1"));
    FrmTree* t = w().browser;
    prompt.inputs = {QStringLiteral("契約 解除")};
    QTest::keyClick(t->TView1, Qt::Key_F2);
    EXPECT_EQ(prompt.inputPrompts,
              QStringList{QStringLiteral("検索キーワードを入力してください。")});
    ASSERT_FALSE(w().found.isNull());
    EXPECT_TRUE(w().found->Rtxt1->text().startsWith(
        QStringLiteral("KeyWord = 契約 解除　　検索結果 = 38件")));
    EXPECT_TRUE(prompt.messages.isEmpty());
    // F2 replaces the progress list too: its hits open from there.
    w().TxtJouFindT->setText(QStringLiteral("天皇"));
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    prompt.inputs = {QStringLiteral("契約 解除")};
    QTest::keyClick(t->TView1, Qt::Key_F2);
    ASSERT_EQ(w().nowSearch->List1->count(), 38);
    EXPECT_EQ(w().nowSearch->LabelHouten->text(),
              QStringLiteral("KeyWord = 契約 解除　　検索結果 = 38件"));
    w().nowSearch->List1->setCurrentRow(0);
    w().nowSearch->List1_DblClick();
    EXPECT_EQ(w().browser->TView1->selectedKey(), QStringLiteral("MP04150000020200"));
    // Found only in headings: a result of 0件, and the not-found message.
    prompt.inputs = {QStringLiteral("債務不履行による損害賠償")};
    QTest::keyClick(t->TView1, Qt::Key_F2, Qt::ShiftModifier);  // any modifiers
    EXPECT_EQ(w().found->Rtxt1->text(),
              QStringLiteral("KeyWord = 債務不履行による損害賠償　　検索結果 = 0件"));
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("検索キーワードが見つかりません。")});
    // Nothing at all: the result window keeps its text.
    prompt.inputs = {QStringLiteral("存在しない語句")};
    QTest::keyClick(t->TView1, Qt::Key_F2);
    EXPECT_EQ(w().found->Rtxt1->text(),
              QStringLiteral("KeyWord = 債務不履行による損害賠償　　検索結果 = 0件"));
    EXPECT_EQ(prompt.messages.size(), 2);
    // Blanks only: the search text is refused, one message.
    prompt.inputs = {QStringLiteral("  ")};
    QTest::keyClick(t->TView1, Qt::Key_F2);
    EXPECT_EQ(prompt.messages.mid(2), QStringList({QStringLiteral("検索文字列が不正です。")}));
    // A cancelled box searches nothing.
    QTest::keyClick(t->TView1, Qt::Key_F2);
    EXPECT_EQ(prompt.messages.size(), 3);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(BrowserTest, ClosingTheViewerDuringASearchClosesItOnceTheSearchHasStopped) {
    platform::ScriptedPrompt prompt;
    const EveryStepPumps everyStep;
    w().TxtJouFindT->setText(QStringLiteral("契約 解除"));
    bool refused = false;
    QTimer::singleShot(0, &w(), [this, &refused] { refused = !w().close(); });
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    EXPECT_TRUE(refused);  // the close waited for the search
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(w().nowSearch.isNull());
    EXPECT_TRUE(w().found.isNull());  // no result window comes back
    EXPECT_FALSE(w().isVisible());
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(BrowserTest, LowerCaseCodesAndRowsThatCannotBeShown) {
    platform::ScriptedPrompt prompt;
    store::openMasterDb().execute(
        QStringLiteral("insert into 法典コード values (0, 'ab', '小文字法')"));
    store::MakeHoutenDB(store::folders().db, QStringLiteral("小文字法.mdb"));
    store::openLawDb(QStringLiteral("小文字法"))
        .execute(QStringLiteral("insert into 条文 values ('ab00010000010000', '本文')"));
    w().LoadLawButtons();
    ASSERT_EQ(w().CmdHouten[0]->text(), QStringLiteral("小文字法"));
    QTest::mouseClick(w().CmdHouten[0], Qt::LeftButton);
    EXPECT_EQ(w().browser->windowTitle(), QStringLiteral("小文字法"));
    EXPECT_EQ(treeKeys(w().browser), QStringLiteral("AB AB00010000 AB00010000010000"));
    lookup(QStringLiteral("ab1"));
    EXPECT_EQ(w().browser->TView1->selectedKey(), QStringLiteral("AB00010000"));
    // Overlapping ranges: one message naming the rows, the tree built as far as it goes.
    store::openLawDb(QStringLiteral("行政手続法"))
        .execute(QStringLiteral("insert into 目次 values ('GT08000000000000', '重なる編', "
                                "'00010000', '00010000', '00010000', '00010000')"));
    lookup(QStringLiteral("GT46"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].contains(QStringLiteral("目次 GT08000000000000")));
    EXPECT_EQ(w().browser->TView1->selectedKey(), QStringLiteral("GT00460000"));
    EXPECT_TRUE(w().browser->TView1->contains(QStringLiteral("GT08000000000000")));
}

TEST_F(BrowserTest, AnAmendmentsSupplementaryArticleOpensFromTheTree) {
    platform::ScriptedPrompt prompt;
    const QByteArray xml =
        testsupport::readFile(QStringLiteral(LEXORA_SAMPLE_DIR "/../xml/MP.xml"));
    const exchange::LawXml law = exchange::convertLawXml(xml, QStringLiteral("MP"));
    {
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        store::writeLawParts(db, law.parts);
    }
    QTest::mouseClick(button(QStringLiteral("民法")), Qt::LeftButton);
    FrmTree* t = w().browser;
    ASSERT_NE(t, nullptr);
    QTreeWidgetItem* reform = t->TView1->node(QStringLiteral("MPP00051"));
    ASSERT_NE(reform, nullptr);
    EXPECT_EQ(platform::KeyedTree::textOf(reform),
              QStringLiteral("附則（平成二九年六月二日法律第四四号）"));
    // Its 第二条, typed by the law number, as the website shows it, below the law and the 附則.
    lookup(QStringLiteral("MP附則(平成29年法律第44号)2"));
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("MPP00051-002"));
    EXPECT_TRUE(
        t->Rtxt1->text().contains(QStringLiteral("附則（平成二九年六月二日法律第四四号）\r\n（意思"
                                                 "能力に関する経過措置）\r\n第二条　この法律")))
        << t->Rtxt1->text().left(200).toStdString();
    EXPECT_EQ(w().statusBar()->currentMessage(),
              QStringLiteral(
                  "MP附則(平成29年法律第44号)2: 民法 附則（平成二九年六月二日法律第四四号） 2"));
    // Its 附則第三条 is a link to that 附則's own 第三条; 新法第百十七条 is not this 附則's.
    lookup(QStringLiteral("MP附則(H29-44)7"));
    QStringList targets;
    for (const platform::TextPane::Link& l : t->Rtxt1->links()) targets << l.target;
    EXPECT_EQ(targets, QStringList{QStringLiteral("MP附則(H29-44)3")});
    ASSERT_TRUE(t->followReference(targets.value(0)));
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("MPP00051-003"));
    ASSERT_TRUE(t->goBack());
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("MPP00051-007"));
    // With 附則・別表も検索 (off at first, kept between starts) a hit in a 附則 opens there.
    EXPECT_FALSE(w().ChkParts->isChecked());
    w().TxtJouFindT->setText(QStringLiteral("意思能力 経過措置"));
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    ASSERT_FALSE(w().nowSearch.isNull());
    EXPECT_EQ(w().nowSearch->List1->count(), 0);
    w().ChkParts->setChecked(true);
    EXPECT_EQ(platform::Settings(QStringLiteral("LXA"), QStringLiteral("VIEW"))
                  .get(QStringLiteral("PARTSEARCH")),
              QStringLiteral("True"));
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    ASSERT_FALSE(w().nowSearch.isNull());
    ASSERT_EQ(w().nowSearch->List1->count(), 1);
    EXPECT_TRUE(w().nowSearch->List1->item(0)->text().startsWith(
        QStringLiteral("民法　附則（平成二九年六月二日法律第四四号）")))
        << w().nowSearch->List1->item(0)->text().toStdString();
    t->TView1->selectNode(t->TView1->node(QStringLiteral("MP00010000")));
    w().nowSearch->List1->setCurrentRow(0);
    w().nowSearch->List1_DblClick();
    EXPECT_EQ(w().browser->TView1->selectedKey(), QStringLiteral("MPP00051-002"));
    EXPECT_TRUE(w().statusBar()->currentMessage().startsWith(
        QStringLiteral("民法 附則（平成二九年六月二日法律第四四号） （意思能力")))
        << w().statusBar()->currentMessage().toStdString();
    // The 附則 itself shows whole.
    t->TView1->selectNode(reform);
    EXPECT_TRUE(
        t->Rtxt1->text().contains(QStringLiteral("\r\n\r\n附　則\r\n（施行期日）\r\n第一条")));
    EXPECT_TRUE(t->Rtxt1->text().contains(QStringLiteral("第二条　この法律による改正後の民法")));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

// A 別表 is drawn as a table (lines, spans) with its figure, in the text pane's place; an
// article node brings the text pane back.
TEST_F(BrowserTest, ATableIsDrawnAsATableWithItsFigure) {
    platform::ScriptedPrompt prompt;
    const QString xml = QStringLiteral(
        "<AppdxTable><AppdxTableTitle>別表第一</AppdxTableTitle><RelatedArticleNum>（第三条関係）"
        "</RelatedArticleNum><TableStruct><Table><TableRow><TableColumn rowspan=\"2\"><Sentence>"
        "登記の区分</Sentence></TableColumn><TableColumn colspan=\"2\"><Sentence>税率</Sentence>"
        "</TableColumn></TableRow><TableRow><TableColumn><Sentence>千分の四</Sentence>"
        "</TableColumn><TableColumn BorderRight=\"none\"><Sentence>千分の二十</Sentence>"
        "</TableColumn></TableRow></Table></TableStruct><FigStruct><Fig src=\"./pict/f1.png\"/>"
        "</FigStruct><FigStruct><Fig src=\"./pict/none.png\"/></FigStruct></AppdxTable>");
    {
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        store::writeLawParts(
            db, {exchange::readLawPart(QStringLiteral("AppdxTable"), xml.toUtf8(), 1)});
    }
    const QString figures = store::figureFolder(QStringLiteral("民法"));
    ASSERT_TRUE(QDir().mkpath(figures + QStringLiteral("/pict")));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    ASSERT_TRUE(picture.save(QDir(figures).filePath(QStringLiteral("pict/f1.png"))));
    QTest::mouseClick(button(QStringLiteral("民法")), Qt::LeftButton);
    FrmTree* t = w().browser;
    ASSERT_NE(t, nullptr);
    // A hit in it opens it with the words marked, in the table too.
    ASSERT_TRUE(t->showHit(QStringLiteral("MPP00001"), {QStringLiteral("千分の")}));
    EXPECT_EQ(t->PartPane->extraSelections().size(), 2);
    t->showNode(QStringLiteral("MPP00001"));  // the marks stay with the hit's node
    EXPECT_EQ(t->PartPane->extraSelections().size(), 2);
    EXPECT_TRUE(t->PartPane->isVisible());
    EXPECT_FALSE(t->Rtxt1->isVisible());
    EXPECT_EQ(t->PartPane->geometry(), t->Rtxt1->geometry());
    QList<QTextTable*> tables;
    QList<QString> images;
    QTextDocument* doc = t->PartPane->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (QTextTable* table = QTextCursor(b).currentTable(); table && !tables.contains(table))
            tables << table;
        for (auto f = b.begin(); !f.atEnd(); ++f)
            if (f.fragment().charFormat().isImageFormat())
                images << f.fragment().charFormat().toImageFormat().name();
    }
    ASSERT_EQ(tables.size(), 1);
    QTextTable* table = tables[0];
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 3);
    EXPECT_EQ(table->cellAt(1, 0).row(), 0);  // under 登記の区分, which spans two rows
    EXPECT_EQ(table->cellAt(0, 1).columnSpan(), 2);
    auto cellText = [&](int row, int column) {
        const QTextTableCell c = table->cellAt(row, column);
        QTextCursor cur = c.firstCursorPosition();
        cur.setPosition(c.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return cur.selectedText();
    };
    EXPECT_EQ(cellText(0, 0), QStringLiteral("登記の区分"));
    EXPECT_EQ(cellText(1, 2), QStringLiteral("千分の二十"));
    EXPECT_EQ(table->cellAt(1, 2).format().toTableCellFormat().rightBorderStyle(),
              QTextFrameFormat::BorderStyle_None);
    EXPECT_EQ(table->cellAt(1, 1).format().toTableCellFormat().rightBorderStyle(),
              QTextFrameFormat::BorderStyle_Solid);
    EXPECT_EQ(images, QList<QString>{QStringLiteral("figure:pict/f1.png")});
    const QString shown = doc->toPlainText();
    EXPECT_TRUE(
        shown.startsWith(QStringLiteral("民法\n別表第一（第三条関係）\n\n別表第一（第三条関係）")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("［図 ./pict/none.png］")));  // no picture at hand
    EXPECT_TRUE(shown.contains(QStringLiteral("登記の区分")));
    t->TView1->selectNode(t->TView1->node(QStringLiteral("MP00010000")));
    EXPECT_FALSE(t->PartPane->isVisible());
    EXPECT_TRUE(t->Rtxt1->isVisible());
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

// A marker made with a key on a selection: kept in the reader's own file, drawn where its
// paragraph is shown (alone or in its whole article), back after the tree is built again,
// removed with Delete; a selection across two paragraphs makes none.
TEST_F(BrowserTest, AMarkerMadeWithAKeyIsKeptAndDrawnWhereItsParagraphIsShown) {
    platform::ScriptedPrompt prompt;
    lookup(QStringLiteral("MP415:1"));
    FrmTree* t = w().browser;
    ASSERT_NE(t, nullptr);
    const QString shown = t->Rtxt1->toPlainText();
    const qsizetype at = shown.indexOf(QStringLiteral("債務者がその債務の本旨"));
    ASSERT_GE(at, 0);
    QTextCursor c = t->Rtxt1->textCursor();
    c.setPosition(int(at) + 9);
    c.setPosition(int(at) + 11, QTextCursor::KeepAnchor);  // 本旨
    t->Rtxt1->setTextCursor(c);
    QTest::keyClick(t->Rtxt1, Qt::Key_3);
    ASSERT_EQ(t->Rtxt1->tints().size(), 1);
    EXPECT_EQ(t->Rtxt1->tints()[0].start, int(at) + 9);
    EXPECT_EQ(t->Rtxt1->tints()[0].length, 2);
    EXPECT_FALSE(t->Rtxt1->tints()[0].underline);
    viewer::UserData data;
    ASSERT_EQ(data.markers().size(), 1);
    EXPECT_EQ(data.markers()[0].text, QStringLiteral("本旨"));
    EXPECT_EQ(data.markers()[0].colour, 3);
    EXPECT_EQ(data.markers()[0].place, QStringLiteral("MP04150000010100"));
    // With a note; the whole article shows it in its first paragraph, the note over it;
    // another law and back: still there.
    viewer::Marker noted = data.markers()[0];
    noted.note = QStringLiteral("要件");
    data.updateMarker(noted);
    lookup(QStringLiteral("KP9"));
    lookup(QStringLiteral("MP415"));
    const QString article = t->Rtxt1->toPlainText();
    ASSERT_EQ(t->Rtxt1->tints().size(), 1);
    EXPECT_EQ(article.mid(t->Rtxt1->tints()[0].start, 2), QStringLiteral("本旨"));
    QTextCursor over(t->Rtxt1->document());
    over.setPosition(t->Rtxt1->tints()[0].start + 1);
    t->Rtxt1->setTextCursor(over);
    t->Rtxt1->ensureCursorVisible();
    EXPECT_EQ(t->Rtxt1->tintTipAt(t->Rtxt1->cursorRect(over).center() - QPoint(2, 0)),
              QStringLiteral("要件"));
    // A click on it opens the note, its text proposed; what is typed is kept and shown.
    prompt.inputs.push_back(QStringLiteral("要件事実"));
    QTest::mouseClick(t->Rtxt1->viewport(), Qt::LeftButton, {},
                      t->Rtxt1->cursorRect(over).center() - QPoint(2, 0));
    EXPECT_EQ(prompt.inputPrompts.value(0), QStringLiteral("「本旨」のメモ"));
    EXPECT_EQ(prompt.inputFallbacks.value(0), QStringLiteral("要件"));
    EXPECT_EQ(viewer::UserData().markers()[0].note, QStringLiteral("要件事実"));
    EXPECT_EQ(t->Rtxt1->tints()[0].tip, QStringLiteral("要件事実"));
    // A click beside it opens nothing.
    QTest::mouseClick(t->Rtxt1->viewport(), Qt::LeftButton, {},
                      t->Rtxt1->cursorRect(over).center() + QPoint(60, 0));
    EXPECT_EQ(prompt.inputPrompts.size(), 1);
    // A note on the second paragraph: held by its first words, an underline with the note.
    over.setPosition(int(article.indexOf(QStringLiteral("前項の規定により"))) + 5);
    t->Rtxt1->setTextCursor(over);
    prompt.inputs.push_back(QStringLiteral("填補賠償"));
    ASSERT_TRUE(t->noteParagraphAtCaret());
    const viewer::Marker paragraphNote = viewer::UserData().markers().last();
    EXPECT_EQ(paragraphNote.place, QStringLiteral("MP04150000020200"));
    EXPECT_EQ(paragraphNote.start, 0);
    EXPECT_EQ(paragraphNote.text, QStringLiteral("前項の規定により損害"));
    EXPECT_EQ(paragraphNote.colour, 0);
    ASSERT_EQ(t->Rtxt1->tints().size(), 2);
    EXPECT_EQ(t->Rtxt1->tints()[1].tip, QStringLiteral("填補賠償"));
    EXPECT_TRUE(t->Rtxt1->tints()[1].underline);
    // Cancelled: nothing; on the article's heading line: no paragraph, a beep.
    prompt.inputs.push_back(QString());
    EXPECT_FALSE(t->noteParagraphAtCaret());
    over.setPosition(0);
    t->Rtxt1->setTextCursor(over);
    EXPECT_FALSE(t->noteParagraphAtCaret());
    EXPECT_EQ(viewer::UserData().markers().size(), 2);
    viewer::UserData().removeMarker(paragraphNote.id);
    lookup(QStringLiteral("KP9"));
    lookup(QStringLiteral("MP415"));
    // Across two paragraphs: no marker, a beep and a word.
    c.setPosition(int(article.indexOf(QStringLiteral("この限りでない"))));
    c.setPosition(int(article.indexOf(QStringLiteral("前項の規定により"))) + 3,
                  QTextCursor::KeepAnchor);
    t->Rtxt1->setTextCursor(c);
    EXPECT_FALSE(t->markSelection(1));
    EXPECT_EQ(viewer::UserData().markers().size(), 1);
    // The search's result shows it over the hit's paragraph.
    w().TxtJouFindT->setText(QStringLiteral("本旨 取引上の社会通念"));
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    ASSERT_FALSE(w().found.isNull());
    ASSERT_EQ(w().found->Rtxt1->tints().size(), 1);
    EXPECT_EQ(w().found->Rtxt1->toPlainText().mid(w().found->Rtxt1->tints()[0].start, 2),
              QStringLiteral("本旨"));
    // ファイル → PDF に保存… writes what the pane shows, with the law's title.
    const QString pdf = t->savePdf(path(QStringLiteral("415.pdf")));
    QProcess read;
    read.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    read.waitForFinished(30000);
    const QString pdfText = QString::fromUtf8(read.readAllStandardOutput()).remove(u'\n');
    EXPECT_TRUE(pdfText.startsWith(QStringLiteral("民法"))) << pdfText.left(30).toStdString();
    EXPECT_TRUE(pdfText.contains(QStringLiteral("第415条 【債務不履行による損害賠償】")))
        << pdfText.left(200).toStdString();
    // Delete on it removes it.
    c.setPosition(t->Rtxt1->tints()[0].start + 1);
    t->Rtxt1->setTextCursor(c);
    QTest::keyClick(t->Rtxt1, Qt::Key_Delete);
    EXPECT_TRUE(t->Rtxt1->tints().isEmpty());
    EXPECT_TRUE(viewer::UserData().markers().isEmpty());
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

// マーカー・しおり一覧 (Ctrl+L in a browser): lost markers first, narrowed by state and words;
// a double-click opens the place; 削除 removes what is chosen.
TEST_F(BrowserTest, TheListOfMarkersPutsTheLostFirstAndOpensThePlace) {
    platform::ScriptedPrompt prompt;
    {
        viewer::UserData data;
        viewer::Marker ok;
        ok.law = QStringLiteral("MP");
        ok.place = QStringLiteral("MP04150000010100");
        ok.start = 0;
        ok.length = 3;
        ok.text = QStringLiteral("債務者");
        ok.note = QStringLiteral("要件");
        data.addMarker(ok);
        viewer::Marker gone = ok;
        gone.place = QStringLiteral("MP04160000010100");
        gone.text = QStringLiteral("削られた語");
        gone.note.clear();
        data.addMarker(gone);
        data.addBookmark({0,
                          {},
                          QStringLiteral("MP"),
                          QStringLiteral("MP07090000"),
                          QStringLiteral("不法行為"),
                          {}});
    }
    lookup(QStringLiteral("MP1"));
    FrmTree* t = w().browser;
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(t->Form_KeyDown(Qt::Key_L, platform::kCtrlMask));
    viewer::FrmMarks* list = w().marks;
    ASSERT_NE(list, nullptr);
    auto column = [&](int c) {
        QStringList out;
        for (int i = 0; i < list->List1->topLevelItemCount(); ++i)
            out << list->List1->topLevelItem(i)->text(c);
        return out;
    };
    EXPECT_EQ(column(1), QStringList({QStringLiteral("MP416:1"), QStringLiteral("MP415:1"),
                                      QStringLiteral("MP709")}));
    EXPECT_EQ(column(3), QStringList({QStringLiteral("lost"), QStringLiteral("ok"), QString()}));
    list->CboState->setCurrentIndex(list->CboState->findData(QStringLiteral("ok")));
    EXPECT_EQ(column(5), QStringList{QStringLiteral("要件")});
    list->CboState->setCurrentIndex(0);
    list->TxtWords->setText(QStringLiteral("不法"));
    EXPECT_EQ(column(0), QStringList{QStringLiteral("しおり")});
    list->TxtWords->clear();
    ASSERT_TRUE(list->openRow(1));
    EXPECT_EQ(w().browser->TView1->selectedKey(), QStringLiteral("MP04150000010100"));
    EXPECT_FALSE(list->openRow(9));
    list->List1->topLevelItem(0)->setSelected(true);
    list->CmdRemove->click();
    EXPECT_EQ(column(1), QStringList({QStringLiteral("MP415:1"), QStringLiteral("MP709")}));
    EXPECT_EQ(viewer::UserData().markers().size(), 1);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

}  // namespace

namespace viewer {
namespace {

// 参照元: the count at the status bar's right for the provision shown, the list grouped by law
// with the citing text on hover, a click opening the citing paragraph.
TEST_F(BrowserTest, TheProvisionsCitingOneAreCountedListedAndOpened) {
    {
        // Where the index cannot be kept (a file in its folder's place), no count and no
        // message at each look.
        platform::ScriptedPrompt prompt;
        const QString folder = QFileInfo(citationIndexPath()).absolutePath();
        testsupport::writeFile(folder, "not a folder");
        lookup(QStringLiteral("MP709"));
        EXPECT_EQ(w().LblCitedBy->text(), QString());
        EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u' ').toStdString();
        QFile::remove(folder);
    }
    // A look reads a few laws into the index: with more to read, the count is a floor.
    lookup(QStringLiteral("MP709"));
    ASSERT_FALSE(w().browser.isNull());
    EXPECT_EQ(w().LblCitedBy->text(), QStringLiteral("<a href=\"citedby\">参照元 1 以上</a>"));
    w().browser->showNode(tocRootKey(QStringLiteral("MP")));
    EXPECT_EQ(w().LblCitedBy->text(), QString());  // the root is no provision
    lookup(QStringLiteral("MP709"));
    FrmCitedBy* list = w().browser->openCitedBy();  // reads the rest
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->LblTarget->text(), QStringLiteral("民法 第709条 を参照している条項: 1 件"));
    ASSERT_EQ(list->LstCiting->topLevelItemCount(), 1);
    QTreeWidgetItem* law = list->LstCiting->topLevelItem(0);
    EXPECT_EQ(law->text(0), QStringLiteral("民法（1）"));
    ASSERT_EQ(law->childCount(), 1);
    QTreeWidgetItem* citing = law->child(0);
    EXPECT_EQ(citing->text(0), QStringLiteral("MP710"));
    EXPECT_TRUE(citing->text(1).startsWith(QStringLiteral("他人の身体、自由若しくは名誉")));
    EXPECT_TRUE(citing->toolTip(1).contains(QStringLiteral("問わず、<u><b>前条</b></u>の規定")))
        << citing->toolTip(1).toStdString();
    EXPECT_FALSE(list->open(law));  // a law's own node opens nothing
    EXPECT_TRUE(list->open(citing));
    EXPECT_EQ(w().browser->TView1->selectedKey().left(10), QStringLiteral("MP07100000"));
    lookup(QStringLiteral("MP709"));
    EXPECT_EQ(w().LblCitedBy->text(), QStringLiteral("<a href=\"citedby\">参照元 1</a>"));
    lookup(QStringLiteral("MP710"));
    EXPECT_EQ(w().LblCitedBy->text(), QStringLiteral("<a href=\"citedby\">参照元 なし</a>"));
    // Nothing chosen that cites: said.
    platform::ScriptedPrompt prompt;
    w().browser->showNode(tocRootKey(QStringLiteral("MP")));
    EXPECT_EQ(w().browser->openCitedBy(), nullptr);
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("参照元を見る条か項を選んでください。")});
}

}  // namespace
}  // namespace viewer

namespace viewer {
namespace {

// Defined terms in the pane: a use drawn dotted, its tip the definition and where it stands,
// a click opening it; a term of この条 holds in its article only, and its own definition is
// no use of it.
TEST_F(BrowserTest, ADefinedTermIsDrawnExplainedAndOpened) {
    lookup(QStringLiteral("KS135"));  // the whole article, three paragraphs
    ASSERT_FALSE(w().browser.isNull());
    FrmTree* t = w().browser;
    const QString shown = t->Rtxt1->toPlainText();
    QStringList terms;
    QString subsidiary;
    for (const platform::TextPane::Link& l : t->Rtxt1->links()) {
        if (!l.dotted) continue;
        terms << shown.mid(l.start, l.length);
        if (shown.mid(l.start, l.length) == QStringLiteral("子会社") && subsidiary.isEmpty())
            subsidiary = l.target;
    }
    // 子会社 (第2条, the whole law) twice; 親会社株式 (この条) in the items and the third
    // paragraph, not where the first defines it nor in the caption; 会社 four times as 他の
    // 会社 and once after 消滅する, never within 株式会社.
    EXPECT_EQ(terms.count(QStringLiteral("子会社")), 2) << terms.join(u' ').toStdString();
    EXPECT_EQ(terms.count(QStringLiteral("親会社株式")), 5) << terms.join(u' ').toStdString();
    EXPECT_EQ(terms.count(QStringLiteral("会社")), 5) << terms.join(u' ').toStdString();
    ASSERT_FALSE(subsidiary.isEmpty());
    const QString tip = t->termTip(subsidiary);
    EXPECT_TRUE(tip.contains(QStringLiteral("定義語「子会社」</b> 第2条"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("この法律において、次の各号に掲げる用語の意義は")));
    EXPECT_TRUE(t->followReference(subsidiary));
    EXPECT_EQ(t->TView1->selectedKey().left(10), QStringLiteral("KS00020000"));
    EXPECT_TRUE(t->goBack());
    EXPECT_EQ(t->TView1->selectedKey().left(10), QStringLiteral("KS01350000"));
    EXPECT_EQ(t->termTip(QStringLiteral("term:KS\tKS00020000010000\tない語")), QString());
    // Another article: 親会社株式 of 第百三十五条 does not hold there.
    lookup(QStringLiteral("KS136"));
    const QString other = t->Rtxt1->toPlainText();
    for (const platform::TextPane::Link& l : t->Rtxt1->links())
        if (l.dotted) {
            EXPECT_NE(other.mid(l.start, l.length), QStringLiteral("親会社株式"));
        }
}

}  // namespace
}  // namespace viewer

namespace viewer {
namespace {

// 用語一覧: the law's terms, filtered as one types, one opening its definition.
TEST_F(BrowserTest, TheTermsListFiltersAndOpensADefinition) {
    lookup(QStringLiteral("GT1"));
    ASSERT_FALSE(w().browser.isNull());
    FrmTerms* list = w().browser->openTerms();
    ASSERT_NE(list, nullptr);
    const int all = list->LstTerms->topLevelItemCount();
    EXPECT_GE(all, 20);
    EXPECT_EQ(list->LblCount->text(), QStringLiteral("%1 / %1 語").arg(all));
    EXPECT_EQ(list->LstTerms->topLevelItem(0)->text(0), QStringLiteral("法令"));
    EXPECT_EQ(list->LstTerms->topLevelItem(0)->text(1), QStringLiteral("GT2"));
    EXPECT_EQ(list->LstTerms->topLevelItem(0)->text(2), QStringLiteral("この法律"));
    list->TxtFilter->setText(QStringLiteral("当事者"));  // as typed: each change filters
    QStringList shown;
    QTreeWidgetItem* party = nullptr;
    for (int i = 0; i < list->LstTerms->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->LstTerms->topLevelItem(i);
        if (item->isHidden()) continue;
        shown << item->text(0) + u' ' + item->text(1);
        if (item->text(0) == QStringLiteral("当事者等")) party = item;
    }
    EXPECT_EQ(shown,
              QStringList({QStringLiteral("当事者 GT16:1"), QStringLiteral("当事者等 GT18:1")}));
    EXPECT_EQ(list->LblCount->text(), QStringLiteral("2 / %1 語").arg(all));
    // A scope's words find its terms too.
    list->filter(QStringLiteral("この項"));
    EXPECT_FALSE(list->LblCount->text().startsWith(QStringLiteral("0 /")));
    ASSERT_NE(party, nullptr);
    EXPECT_TRUE(list->open(party));
    EXPECT_EQ(w().browser->TView1->selectedKey(), QStringLiteral("GT00180000010100"));
    EXPECT_FALSE(list->open(nullptr));
}

}  // namespace
}  // namespace viewer

namespace viewer {
namespace {

// A term of another law brought in by name (甲法第二条に規定する特定事業者): drawn as a term,
// explained with its law, opening the definition in that law's browser.
TEST_F(BrowserTest, AnotherLawsTermNamedByItsProvisionIsLinked) {
    testsupport::addLaw(100, QStringLiteral("ZA"), QStringLiteral("甲法"));
    testsupport::addRecord(
        QStringLiteral("甲法"), QStringLiteral("ZA00020000010000"),
        QStringLiteral("この法律において「特定事業者」とは、事業を行う者をいう。"));
    testsupport::addLaw(101, QStringLiteral("ZB"), QStringLiteral("乙法"));
    testsupport::addRecord(
        QStringLiteral("乙法"), QStringLiteral("ZB00010000010000"),
        QStringLiteral("甲法第二条に規定する特定事業者は、特定事業者でない者と区別する。"));
    lookup(QStringLiteral("ZB1"));
    ASSERT_FALSE(w().browser.isNull());
    FrmTree* t = w().browser;
    const QString shown = t->Rtxt1->toPlainText();
    QStringList dotted;
    QString target;
    for (const platform::TextPane::Link& l : t->Rtxt1->links())
        if (l.dotted) {
            dotted << QStringLiteral("%1 %2").arg(l.start).arg(shown.mid(l.start, l.length));
            target = l.target;
        }
    // Only where the provision names it: 乙法 does not define it for its own use.
    const int at = int(shown.indexOf(QStringLiteral("に規定する"))) + 5;
    EXPECT_EQ(dotted, QStringList{QStringLiteral("%1 特定事業者").arg(at)});
    EXPECT_TRUE(t->termTip(target).contains(QStringLiteral("定義語「特定事業者」</b> 甲法 第2条")))
        << t->termTip(target).toStdString();
    EXPECT_TRUE(t->followReference(target));
    EXPECT_EQ(w().browser->curHCodeT, QStringLiteral("ZA"));
    EXPECT_EQ(w().browser->TView1->selectedKey(), QStringLiteral("ZA00020000010000"));
}

}  // namespace
}  // namespace viewer

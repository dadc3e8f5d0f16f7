// The law browser's keys, menus, pages and typed administrator commands, on the seven laws.
#include "platform/prompt.h"
#include "platform/textfile.h"
#include "platform/ui/mdi.h"
#include "platform/ui/textpane.h"
#include "store/codes.h"
#include "store/folders.h"
#include "tests/viewer/ui/viewerfixture.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/shell/ui/frmtest.h"
#include "viewer/tools/ui/frmcheckdata.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextCursor>
#include <QTimer>
#include <QUrl>

using namespace viewer;
using testsupport::readFile;

namespace {

class CommandsTest : public BrowserTest {
  protected:
    FrmTree* openKP() {
        button(QStringLiteral("日本国憲法"))->click();
        return w().browser;
    }
    int browsers() {
        int n = 0;
        for (QWidget* c : w().children()) n += qobject_cast<FrmTree*>(c) ? 1 : 0;
        return n;
    }
    static void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(target, key, m);
    }
    static QString lines(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // A program that writes its arguments, one call a line, into `log`, then runs `then`.
    void fakeProgram(const QString& path, const QString& log, const QString& then = {}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QStringLiteral("#!/bin/sh\necho \"$@\" >> '%1'\n%2\n").arg(log, then).toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    // The desktop's opener and the editor record what they are given in open.log and
    // edit.log of the data root.
    void fakeDesktop() {
        const QString bin = rootDir() + QStringLiteral("/bin");
        QDir().mkpath(bin);
        fakeProgram(bin + QStringLiteral("/xdg-open"), rootDir() + QStringLiteral("/open.log"));
        fakeProgram(bin + QStringLiteral("/editor"), rootDir() + QStringLiteral("/edit.log"));
        oldPath_ = qgetenv("PATH");
        oldVisual_ = qgetenv("VISUAL");
        qputenv("PATH", bin.toUtf8() + ':' + oldPath_);
        qputenv("VISUAL", (bin + QStringLiteral("/editor")).toUtf8());
        faked_ = true;
    }
    void TearDown() override {
        if (faked_) {
            qputenv("PATH", oldPath_);
            oldVisual_.isEmpty() ? qunsetenv("VISUAL") : qputenv("VISUAL", oldVisual_);
        }
        BrowserTest::TearDown();
    }
    QByteArray oldPath_, oldVisual_;
    bool faked_ = false;
    static bool waitFor(const std::function<bool()>& done, int ms = 5000) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms) QTest::qWait(10);
        return done();
    }
};

TEST_F(CommandsTest, KeyTableModifiersAndRatioSteps) {
    platform::ScriptedPrompt prompt;
    FrmTree* t = openKP();
    // Single precision: five F11 from 0.4 stop at 0.1; six F12 stop at 0.8.
    QList<float> seen;
    for (int i = 0; i < 5; ++i) {
        press(t->TView1, Qt::Key_F11);
        seen << t->Ratio;
    }
    EXPECT_NEAR(seen[0], 0.3f, 1e-6);
    EXPECT_NEAR(seen[2], 0.1f, 1e-6);
    EXPECT_EQ(seen[3], seen[2]);
    EXPECT_EQ(seen[4], seen[2]);
    const int lowPane = t->Rtxt1->height();
    t->Ratio = 0.4f;
    for (int i = 0; i < 6; ++i) press(t->Rtxt1, Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_NEAR(t->Ratio, 0.8f, 1e-6);
    EXPECT_GT(t->Rtxt1->height(), lowPane);
    t->Mn_Ratio_Down->trigger();
    EXPECT_NEAR(t->Ratio, 0.7f, 1e-6);

    // F4 duplicates with Shift only; Ctrl+N with Ctrl only.
    ASSERT_EQ(browsers(), 1);
    press(t->TView1, Qt::Key_F4);
    press(t->TView1, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(browsers(), 1);
    press(t->TView1, Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(browsers(), 2);
    platform::bringToFront(t);
    press(t->TView1, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(browsers(), 3);
    t->Mn_File_Duplicate->trigger();
    EXPECT_EQ(browsers(), 4);
    for (QWidget* c : w().children())
        if (auto* other = qobject_cast<FrmTree*>(c); other && other != t) {
            EXPECT_EQ(other->curHCodeT, QStringLiteral("KP"));
            EXPECT_EQ(other->TView1->nodeCount(), t->TView1->nodeCount());
        }

    // Ctrl+F3 is F3: the selected paragraph goes into the edit window.
    t->showNode(QStringLiteral("KP00040000010100"));
    press(t->TView1, Qt::Key_F3, Qt::ControlModifier);
    ASSERT_FALSE(w().copy.isNull());
    EXPECT_EQ(w().ComboHis->count(), 1);
    t->Mn_Joubun_Copy->trigger();
    EXPECT_EQ(w().ComboHis->count(), 2);

    // F8: Cancel expands nothing; OK expands every node and selects the first one quietly.
    const QString shown = t->Rtxt1->text();
    press(t->TView1, Qt::Key_F8, Qt::ControlModifier);  // no row for Ctrl+F8
    EXPECT_TRUE(prompt.messages.isEmpty());
    auto expanded = [t] {
        int n = 0;
        for (QTreeWidgetItem* node : t->TView1->nodes())
            n += node->childCount() == 0 || node->isExpanded();
        return n;
    };
    const int before = expanded();
    prompt.answers = {platform::Answer::Cancel};
    press(t->TView1, Qt::Key_F8);
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("全てのノードを展開します。")});
    EXPECT_EQ(expanded(), before);
    EXPECT_LT(before, t->TView1->nodeCount());
    press(t->TView1, Qt::Key_F8);
    EXPECT_EQ(expanded(), t->TView1->nodeCount());
    EXPECT_EQ(t->TView1->selectedNode(), t->TView1->nodes().first());
    EXPECT_EQ(t->Rtxt1->text(), shown);
    press(t->TView1, Qt::Key_F9, Qt::AltModifier);  // any modifiers
    for (QTreeWidgetItem* n : t->TView1->nodes()) EXPECT_FALSE(n->isExpanded());
    EXPECT_EQ(t->TView1->selectedNode(), t->TView1->nodes().first());
    EXPECT_EQ(t->Rtxt1->text(), shown);
}

TEST_F(CommandsTest, MenusCaptionsAndTheMainMenuStrip) {
    platform::ScriptedPrompt prompt;
    FrmTree* t = openKP();
    QStringList captions;
    for (QAction* a : t->childMenus()) {
        captions << a->text();
        if (a->menu())
            for (QAction* sub : a->menu()->actions()) captions << u'-' + sub->text();
    }
    EXPECT_EQ(
        captions.join(u'|'),
        QStringLiteral(
            "<メニュー：ツリー画面>|ファイル(&F)|-法典テキスト作成(&M Ctrl+M)|"
            "-複製(&N "
            "Ctrl+N)|-HTML作成(&H)|-PDF "
            "に保存(&P)…|-印刷(&I)…|-法令を追加(&A)…|-データチェック|-設定(&S)…|-|-閉じる(&C)|"
            "条文(&J)|"
            "-編集画面へコピー(&C F3)|-修正(&E "
            "F7)|-改正比較(&D)…|-改正履歴(&H)…|-沿革(&K)…|-参照元(&B)…|-用語一覧(&T)…|-"
            "目次の中を検索(&M)…|-版を読む(&R)"
            "|表示(&V)|-"
            "条文全体を表示(&"
            "W)|ツール(&T)|-"
            "タイマー(&"
            "T "
            "Ctrl+T)|-マーカー・しおり一覧(&L Ctrl+L)|"
            "画面比率(&R)|-参照部の比率を下げる(&D F11)|-参照部の比率を上げる(&U F12)"));
    EXPECT_FALSE(t->Mn_File_HTML->isVisible());  // no page generator in the program folder
    EXPECT_EQ(w().menuBar()->actions().first()->text(), QStringLiteral("<メニュー：ツリー画面>"));
    // ウィンドウ and ヘルプ close the bar whatever window is active.
    auto lastTwo = [this] {
        const QList<QAction*> bar = w().menuBar()->actions();
        return bar.mid(bar.size() - 2, 2);
    };
    EXPECT_EQ(lastTwo(), (QList<QAction*>{w().Mn_Window->menuAction(), w().Mn_Help->menuAction()}));
    // The window list: cascade, tile, then the open windows, the active one checked.
    w().copyWindow();
    platform::bringToFront(t);
    Q_EMIT w().Mn_Window->aboutToShow();
    QStringList entries;
    for (QAction* a : w().Mn_Window->actions())
        entries << (a->isSeparator()
                        ? QStringLiteral("-")
                        : a->text() + (a->isChecked() ? QStringLiteral("*") : QString()));
    EXPECT_EQ(entries, QStringList({QStringLiteral("重ねて表示(&C)"),
                                    QStringLiteral("並べて表示(&T)"), QStringLiteral("-"),
                                    QStringLiteral("&1 日本国憲法*"), QStringLiteral("&2 編集")}));
    w().Mn_Window->actions().last()->trigger();
    EXPECT_EQ(w().area()->activeSubWindow(), platform::subWindowOf(w().copy));
    EXPECT_EQ(lastTwo(), (QList<QAction*>{w().Mn_Window->menuAction(), w().Mn_Help->menuAction()}));
    w().Mn_Window->actions().value(1)->trigger();  // tiled: side by side, nothing overlaps
    EXPECT_FALSE(platform::subWindowOf(t)->geometry().intersects(
        platform::subWindowOf(w().copy)->geometry()));
    // ヘルプ → 使い方: the notation with examples, the keys, where the data lives.
    w().Mn_Help_Usage->trigger();
    ASSERT_TRUE(w().help);
    EXPECT_TRUE(w().help->Rtxt1->text().contains(QStringLiteral("MP398-2:3")));
    EXPECT_TRUE(w().help->Rtxt1->text().contains(QStringLiteral("F2 この法典を検索")));
    EXPECT_TRUE(w().help->Rtxt1->text().contains(store::folders().root));
    platform::unload(w().help);
    platform::unload(w().copy);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform::bringToFront(t);

    // The title item: a fresh strip window; the frame shows its own menus while it is active.
    t->Mn_Title->trigger();
    QPointer<FrmTest> strip = w().menuStrip;
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->windowTitle(), QStringLiteral("メインメニュー表示中"));
    EXPECT_EQ(w().menuBar()->actions().first()->text(), QStringLiteral("<メニュー：メイン画面>"));
    EXPECT_EQ(platform::subWindowOf(strip)->x(), 0);
    EXPECT_GT(platform::subWindowOf(strip)->height(), 0);  // its caption bar shows
    w().copyWindow()->Mn_Title->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(strip.isNull());  // the old one was discarded
    strip = w().menuStrip;
    ASSERT_TRUE(strip);
    // Another window active: the strip goes.
    platform::bringToFront(t);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(strip.isNull());
    EXPECT_EQ(w().menuBar()->actions().first()->text(), QStringLiteral("<メニュー：ツリー画面>"));

    t->Mn_File_Close->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w().browser.isNull());
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(CommandsTest, LookupByNumberAndTreeModesKeepTheSelection) {
    platform::ScriptedPrompt prompt;
    FrmTree* t = openKP();
    prompt.inputs = {QStringLiteral("12")};
    press(t->Rtxt1, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("KP00120000"));
    EXPECT_TRUE(t->Rtxt1->text().contains(QStringLiteral("第12条")));
    EXPECT_EQ(w().focusWidget(), t->TView1);

    // Not in the law: selection and pane stay, the status bar says so, the tree gets the focus.
    const QString pane = t->Rtxt1->text();
    t->Rtxt1->setFocus();
    prompt.inputs = {QStringLiteral("999")};
    press(t->Rtxt1, Qt::Key_F1);
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("KP00120000"));
    EXPECT_EQ(t->Rtxt1->text(), pane);
    EXPECT_EQ(w().focusWidget(), t->TView1);
    EXPECT_EQ(w().statusBar()->currentMessage(),
              QStringLiteral("KP999: 日本国憲法に第999条はありません"));
    // A law code without a number: the law stays.
    prompt.inputs = {QStringLiteral("MP")};
    press(t->TView1, Qt::Key_F1);
    EXPECT_EQ(t->curHCodeT, QStringLiteral("KP"));
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("KP00120000"));

    // Another law's code switches the window to that law.
    prompt.inputs = {QStringLiteral("MP3:2")};
    press(t->TView1, Qt::Key_F1);
    EXPECT_EQ(t->curHCodeT, QStringLiteral("MP"));
    EXPECT_EQ(state().CurHCode, QStringLiteral("MP"));
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("MP00030000020200"));

    // F6 then F5: the paragraph stays selected and shown in both trees.
    press(t->TView1, Qt::Key_F6);
    EXPECT_EQ(state().TreeBuildMode, 0);
    EXPECT_FALSE(t->TView1->contains(QStringLiteral("MP01000000000000")));
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("MP00030000020200"));
    const QString flatPane = t->Rtxt1->text();
    EXPECT_TRUE(flatPane.contains(QStringLiteral("第3条")));
    press(t->TView1, Qt::Key_F5, Qt::ControlModifier);
    EXPECT_EQ(state().TreeBuildMode, 1);
    EXPECT_TRUE(t->TView1->contains(QStringLiteral("MP01000000000000")));
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("MP00030000020200"));
    // A table-of-contents node has no match in the flat tree: nothing selected after F6.
    t->showNode(QStringLiteral("MP01000000000000"));
    press(t->TView1, Qt::Key_F6);
    EXPECT_NE(t->TView1->selectedKey(), QStringLiteral("MP01000000000000"));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

TEST_F(CommandsTest, PagesAreOpenedEditedAndMadeByTheGenerator) {
    platform::ScriptedPrompt prompt;
    const QString logs = rootDir();
    fakeDesktop();

    FrmTree* t = openKP();
    const QString paragraph = QStringLiteral("KP00040000010100");
    const QString page = store::GetHtmlPath(paragraph);
    const QString pagesmith = programDir() + QStringLiteral("/Pagesmith");
    const QString started = logs + QStringLiteral("/pagesmith.log");
    // Without the generator in the program folder the page keys do nothing.
    t->showNode(paragraph);
    press(t->TView1, Qt::Key_E, Qt::ControlModifier);
    EXPECT_FALSE(QFileInfo::exists(page));

    // A generator that writes the page it is given.
    fakeProgram(pagesmith, started,
                QStringLiteral("[ \"${#1}\" = 16 ] && echo page > '%1/'\"$1\".html")
                    .arg(QFileInfo(page).path()));
    FrmTree* second = t->duplicate();
    EXPECT_TRUE(second->Mn_File_HTML->isVisible());
    second->Mn_File_HTML->trigger();
    ASSERT_TRUE(waitFor([&] { return lines(started) == QStringLiteral("KP\n"); }));
    platform::unload(second);
    platform::bringToFront(t);

    // An article node without a page: nothing.
    t->showNode(QStringLiteral("KP00040000"));
    press(t->TView1, Qt::Key_E, Qt::ControlModifier);
    press(t->TView1, Qt::Key_D, Qt::ControlModifier);
    QTest::qWait(100);
    EXPECT_EQ(lines(started), QStringLiteral("KP\n"));
    // A paragraph: made with its 16-character code, then opened for editing; the caption
    // shows the page's date.
    t->showNode(paragraph);
    press(t->TView1, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(lines(started), QStringLiteral("KP\n") + paragraph + u'\n');
    ASSERT_TRUE(QFileInfo::exists(page));
    EXPECT_TRUE(waitFor([&] { return lines(logs + QStringLiteral("/edit.log")) == page + u'\n'; }));
    EXPECT_TRUE(t->windowTitle().endsWith(QStringLiteral(" HTML更新 ]")))
        << t->windowTitle().toStdString();
    // Ctrl+D opens it.
    press(t->TView1, Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(waitFor([&] { return lines(logs + QStringLiteral("/open.log")).contains(page); }));
    // Ctrl+R on an existing page asks; Cancel keeps it, OK makes it anew.
    prompt.answers = {platform::Answer::Cancel};
    press(t->TView1, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(prompt.messages.last(),
              QStringLiteral("該当ファイルが既に存在します。作り直しますか？"));
    EXPECT_EQ(lines(started).count(u'\n'), 2);
    press(t->TView1, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(lines(started).count(u'\n'), 3);
    EXPECT_TRUE(QFileInfo::exists(page));

    // A generator that writes nothing: the wait ends after its time with a message.
    fakeProgram(pagesmith, started);
    QFile::remove(page);
    t->pageWaitMs = 300;
    prompt.messages.clear();
    press(t->TView1, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages.value(0).contains(QStringLiteral("作られませんでした")));
    EXPECT_FALSE(t->running());
    // Esc ends a long wait; a second Ctrl+R during it starts nothing.
    t->pageWaitMs = 60000;
    const int before = int(lines(started).count(u'\n'));
    QTimer::singleShot(50, t, [t] { press(t->TView1, Qt::Key_R, Qt::ControlModifier); });
    QTimer::singleShot(150, t, [t] { press(t->TView1, Qt::Key_Escape); });
    QElapsedTimer took;
    took.start();
    press(t->TView1, Qt::Key_R, Qt::ControlModifier);
    EXPECT_LT(took.elapsed(), 5000);
    EXPECT_EQ(lines(started).count(u'\n'), before + 1);
    EXPECT_EQ(prompt.messages.size(), 2);
    // Closing the window during the wait ends it; the window goes once the wait has returned.
    QTimer::singleShot(50, t, [t] { t->Mn_File_Close->trigger(); });
    press(t->TView1, Qt::Key_R, Qt::ControlModifier);
    EXPECT_LT(took.elapsed(), 10000);
    ASSERT_TRUE(waitFor([&] { return w().browser.isNull(); }));
    EXPECT_EQ(prompt.messages.size(), 3);
}

TEST_F(CommandsTest, AdministratorCommandsOnTheLastLine) {
    platform::ScriptedPrompt prompt;
    FrmTree* t = openKP();
    const QString idx = programDir() + QStringLiteral("/idx.dat");
    const QString ht = programDir() + QStringLiteral("/ht.dat");
    QFile::remove(idx);
    QFile::remove(ht);
    auto type = [&](const QString& text) {
        t->Rtxt1->setText(text);
        t->Rtxt1->moveCursor(QTextCursor::End);
        press(t->Rtxt1, Qt::Key_Return);
    };
    // Flag off: the pane is for reading; nothing is typed and nothing runs.
    type(QStringLiteral("make idx"));
    QTest::keyClicks(t->Rtxt1, QStringLiteral("x"));
    EXPECT_EQ(t->Rtxt1->text(), QStringLiteral("make idx"));
    EXPECT_FALSE(QFileInfo::exists(idx));

    store::folders().admin = true;
    // An administrator types on the last line only: the text above stays as shown.
    t->Rtxt1->setText(QStringLiteral("本文\r\n"));
    t->Rtxt1->moveCursor(QTextCursor::Start);
    QTest::keyClicks(t->Rtxt1, QStringLiteral("ab"));
    QTest::keyClick(t->Rtxt1, Qt::Key_Backspace);
    QTest::keyClick(t->Rtxt1, Qt::Key_Backspace);
    QTest::keyClick(t->Rtxt1, Qt::Key_Backspace);  // at the start of the last line: nothing
    EXPECT_EQ(t->Rtxt1->text(), QStringLiteral("本文\r\n"));
    t->Rtxt1->moveCursor(QTextCursor::Start);
    QTest::keyClicks(t->Rtxt1, QStringLiteral("?"));
    EXPECT_EQ(t->Rtxt1->text(), QStringLiteral("本文\r\n?"));
    type(QStringLiteral("?"));
    EXPECT_EQ(t->Rtxt1->text(),
              QStringLiteral("make idx\r\nmake number\r\nmake ht\r\nmake each\r\nmake each/m0\r\n"
                             "make all\r\nmake all/m0\r\ndir out\r\ndir db\r\ndir app\r\n"));
    // The command is the last line only.
    type(QStringLiteral("make ht\r\n? "));
    EXPECT_FALSE(QFileInfo::exists(ht));
    // Each export names what it wrote below the command; the next command goes after it.
    const QString kp = store::folders().out + QStringLiteral("/KP.txt");
    type(QStringLiteral("notes\r\nmake idx"));
    EXPECT_EQ(readFile(idx), readFile(testsupport::sampleDir() + QStringLiteral("/idx.dat")));
    EXPECT_EQ(t->Rtxt1->text(), QStringLiteral("notes\r\nmake idx\r\nidx.dat を書き出しました: ") +
                                    idx + QStringLiteral("\r\n"));
    QTest::keyClicks(t->Rtxt1, QStringLiteral("make ht"));
    press(t->Rtxt1, Qt::Key_Return);
    EXPECT_EQ(readFile(ht), readFile(testsupport::sampleDir() + QStringLiteral("/ht.dat")));
    EXPECT_TRUE(t->Rtxt1->text().endsWith(
        QStringLiteral("\r\nmake ht\r\nht.dat を書き出しました: ") + ht + QStringLiteral("\r\n")));
    type(QStringLiteral("make each/m0"));
    EXPECT_EQ(t->Rtxt1->text(), QStringLiteral("make each/m0\r\nKP.txt を書き出しました: ") + kp +
                                    QStringLiteral("\r\n"));
    QString text;
    ASSERT_TRUE(platform::decodeCp932(readFile(kp), &text));
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("CODE=KP\r\nNAME=日本国憲法\r\n\r\n【　】\r\n第1条\r\n")));
    type(QStringLiteral("make all"));
    EXPECT_EQ(t->Rtxt1->text().count(QStringLiteral(" を書き出しました: ")), 7);
    for (const char* code : {"MP", "CP", "KS", "MS", "CS", "GT"})
        EXPECT_TRUE(QFileInfo::exists(store::folders().out + u'/' + QLatin1String(code) +
                                      QStringLiteral(".txt")));
    ASSERT_TRUE(platform::decodeCp932(readFile(kp), &text));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n\r\n【 】\r\n第1条\r\n")));
    // Enter again while an export lets events in: nothing more runs, nothing is typed.
    bool ranInside = false;
    QTimer::singleShot(0, t, [&] {
        ranInside = t->running();
        press(t->Rtxt1, Qt::Key_Return);
    });
    type(QStringLiteral("make all"));
    EXPECT_TRUE(ranInside);
    EXPECT_TRUE(t->Rtxt1->text().startsWith(QStringLiteral("make all\r\nKP.txt を書き出しました")));
    EXPECT_FALSE(t->Rtxt1->text().contains(QStringLiteral("\r\n\r\n")));
    fakeDesktop();
    type(QStringLiteral("dir out"));
    type(QStringLiteral("dir db"));
    type(QStringLiteral("dir app"));
    EXPECT_TRUE(
        waitFor([&] { return lines(rootDir() + QStringLiteral("/open.log")).count(u'\n') == 3; }));
    // Three programs started at once: their lines come in any order.
    QStringList opened =
        lines(rootDir() + QStringLiteral("/open.log")).split(u'\n', Qt::SkipEmptyParts);
    opened.sort();
    QStringList folders{QUrl::fromLocalFile(store::folders().out).toString(),
                        QUrl::fromLocalFile(store::folders().db).toString(),
                        QUrl::fromLocalFile(store::folders().program).toString()};
    folders.sort();
    EXPECT_EQ(opened, folders);
    type(QStringLiteral("make number"));
    EXPECT_TRUE(t->Rtxt1->text().startsWith(
        QStringLiteral("日本国憲法\r\n\r\n第1条\r\n　天皇は、日・・・意に基く。\r\n第2条")));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

TEST_F(CommandsTest, TheStatusBarFollowsTheNodeAndF3CopiesAOneParagraphArticle) {
    platform::ScriptedPrompt prompt;
    lookup(QStringLiteral("MP709"));
    FrmTree* t = w().browser;
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(w().statusBar()->currentMessage(), QStringLiteral("MP709: 民法 第709条"));
    // The arrows: the next node is 第709条's paragraph, then 第710条.
    const std::pair<Qt::Key, const char*> steps[] = {{Qt::Key_Down, "MP710: 民法 第710条"},
                                                     {Qt::Key_Down, "MP711: 民法 第711条"},
                                                     {Qt::Key_Up, "MP710: 民法 第710条"}};
    for (const auto& [key, said] : steps) {
        press(t->TView1, key);
        EXPECT_EQ(w().statusBar()->currentMessage(), QString::fromUtf8(said));
    }
    lookup(QStringLiteral("MP415:2"));
    EXPECT_EQ(w().statusBar()->currentMessage(), QStringLiteral("MP415:2: 民法 第415条 ②"));
    press(t->TView1, Qt::Key_Up);
    EXPECT_EQ(w().statusBar()->currentMessage(), QStringLiteral("MP415:1: 民法 第415条 ①"));
    press(t->TView1, Qt::Key_Up);
    EXPECT_EQ(w().statusBar()->currentMessage(), QStringLiteral("MP415: 民法 第415条"));
    // A heading names the law and itself.
    t->TView1->setCurrentItem(t->TView1->topLevelItem(0));
    EXPECT_TRUE(w().statusBar()->currentMessage().startsWith(QStringLiteral("民法 ")));

    // F3 on the node of an article of one paragraph copies that paragraph; on an article of
    // several it copies nothing.
    lookup(QStringLiteral("MP415"));
    press(t->TView1, Qt::Key_F3);
    EXPECT_TRUE(w().copy.isNull());
    EXPECT_EQ(w().ComboHis->count(), 0);
    lookup(QStringLiteral("MP709"));
    ASSERT_EQ(t->TView1->selectedKey(), QStringLiteral("MP07090000"));
    press(t->TView1, Qt::Key_F3);
    ASSERT_FALSE(w().copy.isNull());
    EXPECT_EQ(w().ComboHis->count(), 1);
    EXPECT_TRUE(w().copy->Rtxt1->text().contains(
        QStringLiteral("故意又は過失によって他人の権利又は法律上保護される利益を侵害した者は")));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

TEST_F(CommandsTest, AddLawAndTheDataCheckAreOnTheMenuBarWhateverWindowIsActive) {
    platform::ScriptedPrompt prompt;
    auto fileMenu = [this]() -> QMenu* {
        for (QAction* a : w().menuBar()->actions())
            if (a->menu() && a->text() == QStringLiteral("ファイル(&F)")) return a->menu();
        return nullptr;
    };
    auto items = [](QMenu* m) {
        QStringList out;
        for (QAction* a : m->actions()) out << a->text();
        return out;
    };
    FrmTree* t = openKP();
    ASSERT_NE(t, nullptr);
    platform::bringToFront(t);
    ASSERT_NE(fileMenu(), nullptr);
    EXPECT_EQ(fileMenu(), t->Mn_File);
    EXPECT_EQ(items(fileMenu()),
              QStringList({QStringLiteral("法典テキスト作成(&M Ctrl+M)"),
                           QStringLiteral("複製(&N Ctrl+N)"), QStringLiteral("HTML作成(&H)"),
                           QStringLiteral("PDF に保存(&P)…"), QStringLiteral("印刷(&I)…"),
                           QStringLiteral("法令を追加(&A)…"), QStringLiteral("データチェック"),
                           QStringLiteral("設定(&S)…"), QString(), QStringLiteral("閉じる(&C)")}));
    // The browser's item is the frame's own: it opens the data check.
    fileMenu()->actions()[6]->trigger();
    EXPECT_NE(w().findChildWindow<FrmCheckData>(), nullptr);
    // The edit window's ファイル menu has them too, once however often it is activated.
    t->showNode(QStringLiteral("KP00040000010100"));
    press(t->TView1, Qt::Key_F3);
    ASSERT_FALSE(w().copy.isNull());
    platform::bringToFront(w().copy);
    platform::bringToFront(t);
    platform::bringToFront(w().copy);
    ASSERT_NE(fileMenu(), nullptr);
    const QStringList copyItems = items(fileMenu());
    EXPECT_EQ(copyItems.count(QStringLiteral("法令を追加(&A)…")), 1)
        << copyItems.join(u'|').toStdString();
    EXPECT_EQ(copyItems.count(QStringLiteral("データチェック")), 1);
    EXPECT_EQ(copyItems.last(), QStringLiteral("閉じる(&C)"));
}

}  // namespace

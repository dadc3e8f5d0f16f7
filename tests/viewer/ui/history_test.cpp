// The copy history: the main window's list, the history window and its keys.
#include "platform/prompt.h"
#include "platform/ui/mdi.h"
#include "platform/ui/textpane.h"
#include "platform/ui/twips.h"
#include "tests/viewer/ui/viewerfixture.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/shell/ui/frmhst.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QSoundEffect>
#include <QToolButton>

using namespace viewer;

namespace {

class HistoryTest : public BrowserTest {
  protected:
    // Copies the paragraphs typed, in order, from the default browser.
    void copy(const QStringList& typed) {
        for (const QString& code : typed) {
            lookup(code);
            QTest::keyClick(w().browser->TView1, Qt::Key_F3);
        }
    }
    static QStringList rows(const QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
};

TEST_F(HistoryTest, MainListJumpsToTheCopyChosenAmongIdenticalOnes) {
    platform::ScriptedPrompt prompt;
    copy({QStringLiteral("MP1:1"), QStringLiteral("MP1:2"), QStringLiteral("MP1:1")});
    ASSERT_EQ(w().ComboHis->count(), 3);
    platform::TextPane* pane = w().copy->Rtxt1;
    const QString text = pane->text();
    const QString header2 = w().ComboHis2->itemText(1).trimmed();
    const QString header1 = w().ComboHis2->itemText(0).trimmed();
    const qsizetype first = text.indexOf(header1);
    const qsizetype last = text.lastIndexOf(header1);
    ASSERT_GE(first, 0);
    ASSERT_GT(last, first);
    // Each copy of 1:1 jumps to its own block: the newest entry to the last one.
    for (const auto& [entry, at] : {std::pair{0, last}, std::pair{2, first}}) {
        pane->setSelStart(int(text.size()));
        w().ComboHis->setCurrentIndex(entry);
        Q_EMIT w().ComboHis->activated(entry);
        EXPECT_EQ(pane->selStart(), at) << entry;
    }
    w().ComboHis->setCurrentIndex(1);
    Q_EMIT w().ComboHis->activated(1);
    EXPECT_EQ(pane->selStart(), text.indexOf(header2));
    EXPECT_GT(pane->selStart(), first);
    // Edited away: nothing moves.
    pane->setText(QStringLiteral("書き換えた"));
    pane->setSelStart(3);
    Q_EMIT w().ComboHis->activated(1);
    EXPECT_EQ(pane->selStart(), 3);
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(HistoryTest, HistoryWindowListsCopiesOldestFirstAndShowsEachBlock) {
    platform::ScriptedPrompt prompt;
    QFile::copy(testsupport::sampleDir() + QStringLiteral("/../sounds/s01.wav"),
                programDir() + QStringLiteral("/s01.wav"));
    copy({QStringLiteral("MP1:1"), QStringLiteral("MP1:2"), QStringLiteral("MP3:1")});
    w().CmdHst->click();
    FrmHst* h = w().history;
    ASSERT_TRUE(h);
    EXPECT_EQ(h->windowTitle(), QStringLiteral("履歴"));
    QStringList newestFirst;
    for (int i = 0; i < w().ComboHis->count(); ++i) newestFirst.prepend(w().ComboHis->itemText(i));
    EXPECT_EQ(rows(h->ListHst), newestFirst);
    EXPECT_EQ(h->ListHst->currentRow(), 2);
    EXPECT_EQ(w().focusWidget(), h->ListHst);
    const QStringList pieces = state().CopyLog.split(QStringLiteral("SEPARATOR"));
    ASSERT_EQ(pieces.size(), 4);
    EXPECT_EQ(h->Rtxt1->text(), pieces[3]);
    auto* sound = h->findChild<QSoundEffect*>();
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->source().toLocalFile(), programDir() + QStringLiteral("/s01.wav"));

    // Backspace goes up, Shift+Backspace down, each showing its copy; the ends stop them.
    QTest::keyClick(h->ListHst, Qt::Key_Backspace);
    EXPECT_EQ(h->ListHst->currentRow(), 1);
    EXPECT_EQ(h->Rtxt1->text(), pieces[2]);
    QTest::keyClick(h->ListHst, Qt::Key_Backspace);
    QTest::keyClick(h->ListHst, Qt::Key_Backspace);
    EXPECT_EQ(h->ListHst->currentRow(), 0);
    EXPECT_EQ(h->Rtxt1->text(), pieces[1]);
    QTest::keyClick(h->Rtxt1, Qt::Key_Backspace, Qt::ShiftModifier);
    EXPECT_EQ(h->ListHst->currentRow(), 1);
    QTest::keyClick(h->ListHst, Qt::Key_Backspace, Qt::ControlModifier);  // no row for Ctrl
    EXPECT_EQ(h->ListHst->currentRow(), 1);
    // A click on the line already chosen shows its copy again.
    h->Rtxt1->setText(QStringLiteral("書き込み"));
    const QRect line = h->ListHst->visualItemRect(h->ListHst->item(1));
    QTest::mouseClick(h->ListHst->viewport(), Qt::LeftButton, {}, line.center());
    EXPECT_EQ(h->Rtxt1->text(), pieces[2]);

    // A refill keeps the chosen line and takes in the copies made since.
    copy({QStringLiteral("MP1:1")});
    QTest::keyClick(w().browser->TView1, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(h->ListHst->count(), 4);
    EXPECT_EQ(h->ListHst->currentRow(), 1);
    // Equal headers: each line shows its own copy (the later one marked to tell them apart).
    state().CopyLog += QStringLiteral("（二回目）");
    const QStringList again = state().CopyLog.split(QStringLiteral("SEPARATOR"));
    ASSERT_NE(again[1], again[4]);
    h->ListHst->setCurrentRow(0);
    EXPECT_EQ(h->Rtxt1->text(), again[1]);
    h->ListHst->setCurrentRow(3);
    EXPECT_EQ(h->Rtxt1->text(), again[4]);
    h->ListHst->setCurrentRow(0);
    QTest::keyClick(h->ListHst, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(h->ListHst->currentRow(), 0);

    // F11 narrows the list down to 1000 twips; F12 widens it while 1000 remain for the pane.
    EXPECT_EQ(h->listWidth, 2000);
    for (int i = 0; i < 6; ++i) QTest::keyClick(h->ListHst, Qt::Key_F11);
    EXPECT_EQ(h->listWidth, 1000);
    EXPECT_NEAR(platform::pixelsToTwips(h->ListHst->width()), 1000, 15);
    for (int i = 0; i < 100; ++i) QTest::keyClick(h->ListHst, Qt::Key_F12);
    const int outer = platform::geometryTwips(h).width();
    EXPECT_GE(h->listWidth, outer - 1000);
    EXPECT_LT(h->listWidth - 200, outer - 1000);
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(HistoryTest, AnEmptyHistoryOpensOnlyByCtrlHAndEmptyingClosesTheWindow) {
    platform::ScriptedPrompt prompt;
    copy({QStringLiteral("MP1:1")});
    QTest::keyClick(w().browser->TView1, Qt::Key_H, Qt::ControlModifier);
    ASSERT_TRUE(w().history);
    // Emptying the edit window and answering Yes clears the history and closes the window.
    prompt.answers = {platform::Answer::Yes};
    w().copy->Rtxt1->setText(QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w().history.isNull());

    // Closed edit window: the main window's list is empty and its button does nothing.
    copy({QStringLiteral("MP1:2")});
    prompt.answers = {platform::Answer::No};  // the copy need not be saved
    platform::unload(w().copy);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    w().CmdHst->click();
    EXPECT_TRUE(w().history.isNull());
    QTest::keyClick(w().browser->TView1, Qt::Key_H, Qt::ControlModifier);
    ASSERT_TRUE(w().history);
    EXPECT_EQ(w().history->ListHst->count(), 0);
    // No line chosen: the pane shows the last copy logged.
    EXPECT_EQ(w().history->Rtxt1->text(),
              state().CopyLog.split(QStringLiteral("SEPARATOR")).last());
}

}  // namespace

// The tool windows on the seven laws: reached from the browser's keys and the main window,
// and driven as a reader drives them (ticks called directly, no waiting on real time).
#include "exchange/lawparts.h"
#include "platform/keys.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "platform/ui/mdi.h"
#include "platform/ui/sound.h"
#include "platform/ui/textpane.h"
#include "platform/ui/twips.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/viewer/ui/viewerfixture.h"
#include "viewer/marks/anchor.h"
#include "viewer/marks/userdata.h"
#include "viewer/tools/expand.h"
#include "viewer/tools/ui/frmcheckdata.h"
#include "viewer/tools/ui/frmdaily.h"
#include "viewer/tools/ui/frmexpand.h"
#include "viewer/tools/ui/frmrcl.h"
#include "viewer/tools/ui/frmsr.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

using namespace viewer;
using testsupport::readFile;

namespace {

class ToolWindowsTest : public BrowserTest {
  protected:
    FrmTree* open(const QString& name) {
        button(name)->click();
        return w().browser;
    }
    template <class T>
    int count() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int n = 0;
        for (QWidget* c : w().children()) n += qobject_cast<T*>(c) ? 1 : 0;
        return n;
    }
    static QString stored(const QString& law, const QString& code) {
        store::Database db = store::openLawDb(law);
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 条文 where 条項コード=?"),
                             store::RecordsetType::Snapshot, {code});
        return rs.text(QStringLiteral("条文"));
    }
    static void store(const QString& law, const QString& code, const QString& text) {
        store::Database db = store::openLawDb(law);
        db.execute(QStringLiteral("update 条文 set 条文=? where 条項コード=?"), {text, code});
    }
};

TEST_F(ToolWindowsTest, ExpandedTextOpensFreshFromTheBrowserAndBuilds) {
    FrmTree* t = open(QStringLiteral("民法"));
    ASSERT_TRUE(t->Form_KeyDown(Qt::Key_F8, platform::kShiftMask));
    QPointer<FrmExpand> first = w().expand;
    ASSERT_TRUE(first);
    EXPECT_EQ(first->curHCodeE, QStringLiteral("MP"));
    EXPECT_EQ(first->windowTitle(), QStringLiteral("法典作成"));
    EXPECT_TRUE(first->Option1[0]->isChecked());
    EXPECT_FALSE(first->Check1->isChecked());
    // Ctrl+M and the menu item replace it.
    t->Form_KeyDown(Qt::Key_M, platform::kCtrlMask);
    t->Mn_File_MakeHt->trigger();
    EXPECT_EQ(count<FrmExpand>(), 1);
    EXPECT_FALSE(first);
    FrmExpand* e = w().expand;
    EXPECT_EQ(platform::subWindowOf(e), w().area()->activeSubWindow());

    e->Option1[2]->setChecked(true);
    e->Check1->setChecked(true);
    e->CmdMake->click();
    EXPECT_EQ(e->Rtxt1->text(),
              GetExpandedTextALL(QStringLiteral("MP"), ExpandMode::TocHeadings, true));
    // 附則・別表も (off at first, kept between starts) adds the law's parts.
    {
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        store::writeLawParts(db, {exchange::readLawPart(QStringLiteral("AppdxTable"),
                                                        "<AppdxTable><AppdxTableTitle>別表第一"
                                                        "</AppdxTableTitle></AppdxTable>",
                                                        1)});
    }
    EXPECT_FALSE(e->ChkParts->isChecked());
    e->ChkParts->setChecked(true);
    e->CmdMake->click();
    EXPECT_TRUE(e->Rtxt1->text().endsWith(QStringLiteral("\r\n別表第一")));
    EXPECT_EQ(platform::Settings(QStringLiteral("LXA"), QStringLiteral("VIEW"))
                  .get(QStringLiteral("EXPANDPARTS")),
              QStringLiteral("True"));
    e->ChkParts->setChecked(false);
    // Other commands than "make idx" build the text like any other.
    e->Option1[1]->setChecked(true);
    e->Check1->setChecked(false);
    e->Rtxt1->setText(QStringLiteral("make number"));
    e->CmdMake->click();
    EXPECT_TRUE(
        e->Rtxt1->text().startsWith(QStringLiteral("民法\r\n第1編　総則\r\n　第1章　通則\r\n"
                                                   "　　　　　第1条　【基本原則】")));

    // Exactly "make idx" writes idx.dat and leaves the text.
    const QString idx = store::joinPath(programDir(), QStringLiteral("idx.dat"));
    QFile::remove(idx);
    e->Rtxt1->setText(QStringLiteral("make idx"));
    e->CmdMake->click();
    EXPECT_EQ(readFile(idx), readFile(testsupport::sampleDir() + QStringLiteral("/idx.dat")));
    EXPECT_EQ(e->Rtxt1->text(), QStringLiteral("make idx"));

    // 保存 writes the pane's text in the encoding chosen in the save box, CR LF kept; a
    // character Shift_JIS lacks refuses that file whole and says so.
    {
        platform::ScriptedPrompt ask;
        // The reader's marker drawn over the whole text too.
        {
            viewer::UserData data;
            data.addMarker(
                viewer::markRun(QStringLiteral("MP"),
                                {QStringLiteral("MP04150000010100"),
                                 QStringLiteral("債務者がその債務の本旨に従った履行をしないとき")},
                                0, 3));
        }
        e->Option1[0]->setChecked(true);
        e->Rtxt1->setText(QString());
        e->CmdMake->click();
        const QString text = e->Rtxt1->text();
        ASSERT_EQ(e->Rtxt1->tints().size(), 1);
        EXPECT_EQ(e->Rtxt1->toPlainText().mid(e->Rtxt1->tints()[0].start, 3),
                  QStringLiteral("債務者"));
        const QString utf8 = path(QStringLiteral("minpo-utf8.txt"));
        const QString sjis = path(QStringLiteral("minpo-sjis"));
        ask.saves.push_back({utf8, QStringLiteral("UTF-8 (*.txt)")});
        ask.saves.push_back({sjis, QStringLiteral("Shift_JIS (*.txt)")});
        e->CmdSave->click();
        e->CmdSave->click();
        EXPECT_EQ(ask.saveSuggestions.value(0), store::folders().out + QStringLiteral("/民法.txt"));
        EXPECT_EQ(readFile(utf8), text.toUtf8());
        EXPECT_TRUE(text.contains(QStringLiteral("【基本原則】\r\n第1条\r\n")));
        EXPECT_EQ(readFile(sjis + QStringLiteral(".txt")), testsupport::cp932(text));
        EXPECT_EQ(ask.messages,
                  QStringList({utf8 + QStringLiteral(" (UTF-8) に保存しました。"),
                               sjis + QStringLiteral(".txt (Shift_JIS) に保存しました。")}));
        ask.messages.clear();
        e->Rtxt1->setText(QStringLiteral("鷗外\r\n"));
        ask.saves.push_back({sjis + QStringLiteral(".txt"), QStringLiteral("Shift_JIS (*.txt)")});
        e->CmdSave->click();
        EXPECT_EQ(readFile(sjis + QStringLiteral(".txt")), testsupport::cp932(text));
        ASSERT_EQ(ask.messages.size(), 1);
        EXPECT_TRUE(ask.messages[0].endsWith(QStringLiteral("保存しませんでした。")));
        // Cancelled box: nothing written, nothing said.
        ask.messages.clear();
        e->CmdSave->click();
        EXPECT_TRUE(ask.messages.isEmpty());
    }

    // A law that cannot be built leaves the text empty, without a message.
    platform::ScriptedPrompt prompt;
    e->curHCodeE = QStringLiteral("ZZ");
    e->Rtxt1->setText(QStringLiteral("前の本文"));
    e->CmdMake->click();
    EXPECT_EQ(e->Rtxt1->text(), QString());
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ToolWindowsTest, CorrectionFromF7SavesTrimmedAfterConfirmation) {
    FrmTree* t = open(QStringLiteral("日本国憲法"));
    const QString key = QStringLiteral("KP00040000020200");
    ASSERT_TRUE(t->showNode(key));
    t->Form_KeyDown(Qt::Key_F7, platform::kShiftMask);  // any modifier
    QPointer<FrmRCL> r = w().correction;
    ASSERT_TRUE(r);
    EXPECT_EQ(r->windowTitle(), QStringLiteral("条文修正"));
    EXPECT_EQ(r->curHCodeR, QStringLiteral("KP"));
    EXPECT_EQ(r->TxtCode->text(), key);
    EXPECT_EQ(r->TxtJK->text(), QStringLiteral("日本国憲法　第4条\r\n[第2項]\r\n"));
    const QString original = stored(QStringLiteral("日本国憲法"), key);
    EXPECT_EQ(r->TxtJoubun->text(), original);
    EXPECT_EQ(r->Rtxt1->text(), original);

    platform::ScriptedPrompt prompt;
    r->Rtxt1->setText(QStringLiteral("  直した本文 "));
    prompt.answers.push_back(platform::Answer::Cancel);
    r->CmdReg->click();
    EXPECT_EQ(prompt.messages.value(0),
              QStringLiteral("条文を修正登録します。\r\n\r\n--直した本文--"));
    EXPECT_EQ(prompt.buttons.value(0), platform::Buttons::OkCancel);
    EXPECT_EQ(stored(QStringLiteral("日本国憲法"), key), original);
    EXPECT_EQ(r->Rtxt1->text(), QStringLiteral("  直した本文 "));
    r->CmdReg->click();  // OK
    EXPECT_EQ(stored(QStringLiteral("日本国憲法"), key), QStringLiteral("直した本文"));
    EXPECT_TRUE(r->CmdReg->isEnabled());

    // Blanks only: nothing asked, nothing saved. A code no record has: said so.
    r->Rtxt1->setText(QStringLiteral("   "));
    r->CmdReg->click();
    EXPECT_EQ(prompt.messages.size(), 2);
    r->Rtxt1->setText(QStringLiteral("別"));
    r->TxtCode->setText(QStringLiteral("KP09990000010000"));
    r->CmdReg->click();
    EXPECT_EQ(prompt.messages.last(),
              QStringLiteral("条項コード KP09990000010000 の条文がないため、保存しませんでした。"));
    // Another existing code takes the text.
    r->TxtCode->setText(QStringLiteral("KP00010000010000"));
    r->CmdReg->click();
    EXPECT_EQ(stored(QStringLiteral("日本国憲法"), QStringLiteral("KP00010000010000")),
              QStringLiteral("別"));

    // F7 makes a new window; on a node that is no paragraph it only closes the old one.
    t->Form_KeyDown(Qt::Key_F7, 0);
    EXPECT_EQ(count<FrmRCL>(), 1);
    EXPECT_FALSE(r);
    ASSERT_TRUE(t->showNode(QStringLiteral("KP00010000000000")));
    t->Form_KeyDown(Qt::Key_F7, 0);
    EXPECT_EQ(count<FrmRCL>(), 0);

    t->Form_KeyDown(Qt::Key_F7, 0);
    ASSERT_TRUE(t->showNode(key));
    t->Mn_Joubun_Edit->trigger();
    QPointer<FrmRCL> again = w().correction;
    ASSERT_TRUE(again);
    QTest::keyClick(again->Rtxt1, Qt::Key_Escape);
    EXPECT_EQ(count<FrmRCL>(), 0);
}

TEST_F(ToolWindowsTest, DataCheckListsRepairsAndOpensTheCorrection) {
    w().Mn_File_CheckData->trigger();
    QPointer<FrmCheckData> c = w().checkData;
    ASSERT_TRUE(c);
    EXPECT_EQ(platform::geometryTwips(c).topLeft(),
              QPoint(platform::pixelsToTwips(platform::twipsToPixels(200)),
                     platform::pixelsToTwips(platform::twipsToPixels(200))));
    EXPECT_TRUE(c->Option1[2]->isChecked());
    EXPECT_EQ(c->TxtStr->text(), QStringLiteral("\r\n("));
    EXPECT_EQ(c->TxtChars->text(), QStringLiteral("1000"));

    // The sample laws have no line starting with "(": nothing listed, nothing changed.
    const QString db = store::lawDbPath(QStringLiteral("民法"));
    const QByteArray before = readFile(db);
    c->CmdListUp->click();
    EXPECT_EQ(c->ListCode->count(), 0);
    EXPECT_EQ(c->windowTitle(), QStringLiteral("データチェック 0 - 153"));  // 行政手続法 last
    EXPECT_EQ(readFile(db), before);

    const QString code = QStringLiteral("MP00010000010100");
    const QString text = stored(QStringLiteral("民法"), code);
    store(QStringLiteral("民法"), code, text + QStringLiteral("\r\n(平成一六法一四七 改正 )"));
    store(QStringLiteral("刑法"), QStringLiteral("CP00010000010100"),
          QStringLiteral("本文\r\n(注)"));
    c->CmdListUp->click();
    ASSERT_EQ(c->ListCode->count(), 2);
    EXPECT_EQ(c->ListJoubun->count(), 2);
    // Each hit names its law and article beside its code; the options say what they check.
    EXPECT_EQ(c->ListCode->item(0)->text(), code + QStringLiteral("　民法 第1条 第1項"));
    EXPECT_EQ(c->ListCode->item(1)->text(), QStringLiteral("CP00010000010100　刑法 第1条 第1項"));
    EXPECT_EQ(c->Option1[0]->text(), QStringLiteral("条文の長さ"));
    EXPECT_EQ(c->Option1[2]->text(), QStringLiteral("文字列"));
    EXPECT_EQ(c->ListCode->currentRow(), 1);
    EXPECT_EQ(c->ListJoubun->currentRow(), 1);
    EXPECT_EQ(c->Rtxt1->text(), QStringLiteral("7 本文\r\n(注)"));
    // A line chosen in either list chooses the same line in the other.
    c->ListJoubun->setCurrentRow(0);
    EXPECT_EQ(c->ListCode->currentRow(), 0);
    EXPECT_TRUE(c->Rtxt1->text().endsWith(QStringLiteral("\r\n(平成一六法一四七 改正 )")));
    c->ListCode->setCurrentRow(1);
    EXPECT_EQ(c->ListJoubun->currentRow(), 1);

    // Enter on a hit opens the correction window on it; it is reused for the next.
    QTest::keyClick(c->ListCode, Qt::Key_Return);
    QPointer<FrmRCL> r = w().correction;
    ASSERT_TRUE(r);
    EXPECT_EQ(r->TxtCode->text(), QStringLiteral("CP00010000010100"));
    EXPECT_EQ(r->curHCodeR, QStringLiteral("CP"));
    c->ListJoubun->setCurrentRow(0);
    c->ListJoubun_DblClick();
    EXPECT_EQ(w().correction, r);
    EXPECT_EQ(r->TxtCode->text(), code);

    // "CORRECT" first asks, naming what it would rewrite: No changes nothing.
    const QByteArray unrepaired = readFile(db);
    {
        platform::ScriptedPrompt ask;
        ask.answers.push_back(platform::Answer::No);
        c->TxtStr->setText(QStringLiteral("CORRECT"));
        c->CmdListUp->click();
        ASSERT_EQ(ask.messages.size(), 1);
        EXPECT_EQ(ask.buttons[0], platform::Buttons::YesNo);
        EXPECT_TRUE(ask.messages[0].startsWith(QStringLiteral("1 法典の条文 1 件を書き換えます。")))
            << ask.messages[0].toStdString();
        EXPECT_TRUE(ask.messages[0].contains(store::backupFolder()));
        EXPECT_EQ(readFile(db), unrepaired);
        EXPECT_FALSE(QFileInfo::exists(store::backupFolder()));
    }
    // Yes: the law is copied first, the note that ends in "改正 )" repaired and the text
    // listed; the last message names the copies' folder.
    {
        platform::ScriptedPrompt ask;
        c->CmdListUp->click();
        EXPECT_EQ(c->ListCode->count(), 1);
        EXPECT_EQ(stored(QStringLiteral("民法"), code), text);
        EXPECT_EQ(c->windowTitle(), QStringLiteral("データチェック 2 - 153"));
        const QStringList copies =
            QDir(store::backupFolder()).entryList({QStringLiteral("*.mdb")}, QDir::Files);
        ASSERT_EQ(copies.size(), 1);
        EXPECT_TRUE(copies[0].startsWith(QStringLiteral("民法-")));
        store::Database copy = store::Database::open(store::backupFolder() + u'/' + copies[0]);
        EXPECT_TRUE(copy.openRecordset(QStringLiteral("select 条文 from 条文 where 条項コード=?"),
                                       store::RecordsetType::Snapshot, {code})
                        .text(QStringLiteral("条文"))
                        .endsWith(QStringLiteral("改正 )")));
        ASSERT_EQ(ask.messages.size(), 2);
        EXPECT_EQ(ask.messages[1],
                  QStringLiteral("1 件の条文を修復しました。修復前のデータベースを ") +
                      store::backupFolder() + QStringLiteral(" に保存しました。"));
        // The same window comes to the front again with its lists.
        w().Mn_File_CheckData_Click();
        EXPECT_EQ(w().checkData, c);
        EXPECT_EQ(c->ListCode->count(), 1);
        // Nothing left to repair: no question, no copy, and it says so.
        ask.messages.clear();
        c->CmdListUp->click();
        EXPECT_EQ(ask.messages, QStringList{QStringLiteral("修復する条文はありませんでした。")});
        EXPECT_EQ(QDir(store::backupFolder()).entryList({QStringLiteral("*.mdb")}).size(), 1);
    }

    // A law whose database is missing is skipped and named at the end.
    platform::ScriptedPrompt prompt;
    QFile::remove(store::lawDbPath(QStringLiteral("刑法")));
    c->TxtStr->setText(QStringLiteral("天皇"));
    c->CmdListUp->click();
    EXPECT_GT(c->ListCode->count(), 0);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].startsWith(
        QStringLiteral("次の法典はデータベースがないため調べませんでした。\r\nCP 刑法: ")));
}

TEST_F(ToolWindowsTest, HeadingDrillOpensFreshOnTheCurrentLawAndTicks) {
    w().CmdSR->click();  // no law opened yet
    EXPECT_EQ(count<FrmSR>(), 0);
    open(QStringLiteral("民法"));
    w().CmdSR->click();
    QPointer<FrmSR> first = w().drill;
    w().CmdSR->click();
    EXPECT_EQ(count<FrmSR>(), 1);
    EXPECT_FALSE(first);
    FrmSR* d = w().drill;
    EXPECT_EQ(d->windowTitle(), QStringLiteral("民法"));
    EXPECT_EQ(d->List1->count(), 1224);
    EXPECT_EQ(d->ListJ->item(0)->text(), QStringLiteral("第1条"));
    EXPECT_EQ(d->List1->item(0)->text(), QStringLiteral("第1条 基本原則"));
    EXPECT_TRUE(d->Option1[0]->isChecked());
    EXPECT_TRUE(d->Timer1->isActive());
    EXPECT_EQ(d->Timer1->interval(), 50);

    d->Timer1->stop();  // the test drives the ticks
    d->Timer1_Timer();
    d->Timer1_Timer();
    d->Timer1_Timer();
    EXPECT_EQ(d->LabelJ->text(), QStringLiteral("第1条"));
    EXPECT_EQ(d->LabelM->text(), QStringLiteral("基本原則"));
    EXPECT_EQ(d->LabelJ->palette().color(QPalette::Window), QColor(255, 255, 0));
    d->Option1[2]->click();  // pause
    d->Timer1_Timer();
    EXPECT_EQ(d->LabelJ->text(), QStringLiteral("第1条"));
    EXPECT_EQ(d->drill.p, 3);
    d->Option1[1]->click();
    EXPECT_EQ(d->mode, 1);

    // Typed intervals: a valid one applies, 0 stops, anything else is ignored.
    d->Text1->setText(QStringLiteral("120"));
    EXPECT_EQ(d->Timer1->interval(), 120);
    EXPECT_TRUE(d->Timer1->isActive());
    for (const char* bad : {"abc", "-5", "2147483648", ""}) {
        d->Text1->setText(QString::fromLatin1(bad));
        EXPECT_EQ(d->Timer1->interval(), 120) << bad;
        EXPECT_TRUE(d->Timer1->isActive()) << bad;
    }
    d->Text1->setText(QStringLiteral("0"));
    EXPECT_FALSE(d->Timer1->isActive());
    d->Text1->setText(QStringLiteral("50"));
    QTimer* timer = d->Timer1;
    platform::unload(d);
    EXPECT_FALSE(timer->isActive());
}

TEST_F(ToolWindowsTest, StudyTimerWarnsPausesAndShowsItsInterval) {
    QStringList sounds;
    platform::setSoundObserver([&](const QString& path) { sounds << path; });
    FrmTree* t = open(QStringLiteral("日本国憲法"));
    t->Form_KeyDown(Qt::Key_T, platform::kCtrlMask);
    QPointer<FrmDaily> d = w().daily;
    ASSERT_TRUE(d);
    t->Mn_Tool_Timer->trigger();
    EXPECT_EQ(count<FrmDaily>(), 1);
    EXPECT_EQ(w().daily, d);
    const QRect g = platform::geometryTwips(d);
    EXPECT_EQ(g.top(), 0);
    EXPECT_NEAR(g.width(), 4005, 15);
    EXPECT_NEAR(g.height(), 1035, 15);
    EXPECT_NEAR(g.left(), platform::pixelsToTwips(w().width()) - 4005 - 200, 15);
    EXPECT_EQ(d->LabelTime->text(), QStringLiteral("start"));
    EXPECT_TRUE(d->Timer1->isActive());
    EXPECT_EQ(d->Timer1->interval(), 1000);
    for (QProgressBar* bar : d->Bar1) EXPECT_EQ(bar->maximum(), 3600);

    d->Timer1->stop();  // the test drives the ticks
    d->counter.ticks = 2998;
    d->Timer1_Timer();
    EXPECT_EQ(d->background(), QColor(192, 255, 255));
    EXPECT_TRUE(sounds.isEmpty());
    d->Timer1_Timer();
    EXPECT_EQ(d->background(), QColor(255, 255, 0));
    EXPECT_EQ(d->LabelTime->text(), QStringLiteral("50:00"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral(" 50:00 -ブロック1"));
    EXPECT_EQ(d->Bar1[0]->value(), 3000);
    ASSERT_EQ(sounds.size(), 1);
    EXPECT_EQ(sounds[0], store::joinPath(programDir(), QStringLiteral("s03.wav")));
    d->counter.block = 6;
    d->counter.ticks = 3599;
    d->Bar1[6]->setValue(3599);
    d->Timer1_Timer();
    EXPECT_EQ(sounds.size(), 2);
    for (QProgressBar* bar : d->Bar1) EXPECT_EQ(bar->value(), 0);
    d->Timer1_Timer();
    EXPECT_EQ(d->LabelGenre->text(), QStringLiteral("ブロック1"));
    EXPECT_EQ(d->background(), QColor(192, 255, 255));

    // Pause stops the timer; resuming comes back at 1000 ms whatever was typed.
    d->Txt1->setText(QStringLiteral("250"));
    EXPECT_EQ(d->Timer1->interval(), 250);
    d->Check1->click();
    EXPECT_EQ(d->Txt1->text(), QStringLiteral("0"));
    EXPECT_FALSE(d->Timer1->isActive());
    d->Check1->click();
    EXPECT_EQ(d->Timer1->interval(), 1000);
    EXPECT_TRUE(d->Timer1->isActive());

    EXPECT_TRUE(d->Txt1->isHidden());
    QTest::mouseDClick(d->Picture1, Qt::LeftButton);
    EXPECT_FALSE(d->Txt1->isHidden());
    QTest::mouseDClick(d->Picture1, Qt::LeftButton);
    EXPECT_TRUE(d->Txt1->isHidden());
    platform::setSoundObserver({});
}

}  // namespace

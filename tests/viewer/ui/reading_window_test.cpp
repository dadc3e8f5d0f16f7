// 設定 taken by the open windows, and 印刷 / PDF of the range a reader chooses, markers and all.
#include "platform/prompt.h"
#include "platform/ui/textpane.h"
#include "tests/viewer/ui/viewerfixture.h"
#include "viewer/browser/ui/frmprint.h"
#include "viewer/marks/userdata.h"
#include "viewer/shell/reading.h"
#include "viewer/shell/ui/frmsettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>

namespace viewer {
namespace {

QString pdfText(const QString& pdf) {
    QProcess read;
    read.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    read.waitForFinished(30000);
    return QString::fromUtf8(read.readAllStandardOutput()).remove(u'\n');
}

TEST_F(BrowserTest, SettingsChosenInTheWindowAreKeptAndTakenByTheOpenWindows) {
    platform::ScriptedPrompt prompt;
    lookup(QStringLiteral("MP415"));
    FrmTree* t = w().browser;
    ASSERT_NE(t, nullptr);
    const QString firstButton = w().CmdHouten[0]->text();
    w().Mn_File_Settings->trigger();
    ASSERT_FALSE(w().settings.isNull());
    FrmSettings* s = w().settings;
    EXPECT_TRUE(s->isVisible());
    // What is kept now: the first values, the buttons as they stand.
    EXPECT_EQ(s->TxtApi->text(), QStringLiteral("https://laws.e-gov.go.jp/api/2"));
    EXPECT_TRUE(s->ChkWhole->isChecked());
    EXPECT_TRUE(s->OptDigits->isChecked());
    EXPECT_FALSE(s->ChkParts->isChecked());
    EXPECT_EQ(s->CboButtons[0]->currentText().section(u' ', 1), firstButton);
    EXPECT_EQ(s->SpnSpacing->value(), 100);

    // A choice that cannot be kept: said, the window stays, nothing kept.
    s->TxtApi->setText(QStringLiteral("ftp://example"));
    QTest::mouseClick(s->CmdOK, Qt::LeftButton);
    EXPECT_EQ(prompt.messages.value(0),
              QStringLiteral("API のアドレスは http:// か https:// で始まるアドレスです: "
                             "ftp://example"));
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(loadReadingSettings().apiAddress, QStringLiteral("https://laws.e-gov.go.jp/api/2"));

    s->TxtApi->setText(QStringLiteral("http://127.0.0.1:9/api/2"));
    s->TxtRoot->setText(path(QStringLiteral("another-root")));
    s->SpnSize->setValue(15);
    s->SpnSpacing->setValue(150);
    s->OptKanji->setChecked(true);
    s->ChkParts->setChecked(true);
    s->ChkWhole->setChecked(false);
    const int mp = s->CboButtons[0]->findData(QStringLiteral("MP"));
    const int kp = s->CboButtons[1]->findData(QStringLiteral("KP"));
    ASSERT_GT(mp, 0);
    ASSERT_GT(kp, 0);
    s->CboButtons[0]->setCurrentIndex(mp);
    s->CboButtons[1]->setCurrentIndex(kp);
    for (int i = 2; i < s->CboButtons.size(); ++i) s->CboButtons[i]->setCurrentIndex(0);
    QTest::mouseClick(s->CmdOK, Qt::LeftButton);
    EXPECT_FALSE(s->isVisible());
    // The data root is the next start's: said so.
    EXPECT_EQ(prompt.messages.value(1),
              QStringLiteral("データの場所は次に起動したときから使われます: ") +
                  path(QStringLiteral("another-root")));
    const ReadingSettings kept = loadReadingSettings();
    EXPECT_EQ(kept.apiAddress, QStringLiteral("http://127.0.0.1:9/api/2"));
    EXPECT_EQ(platform::Settings().get(QStringLiteral("API")), kept.apiAddress);
    EXPECT_EQ(kept.lawButtons, QStringList({QStringLiteral("MP"), QStringLiteral("KP")}));

    // The buttons, the search's box, the browser's pane and tree follow at once.
    EXPECT_EQ(w().CmdHouten[0]->text(), QStringLiteral("民法"));
    EXPECT_EQ(w().CmdHouten[1]->text(), QStringLiteral("日本国憲法"));
    EXPECT_EQ(w().CmdHouten[2]->text(), QString());
    EXPECT_TRUE(w().ChkParts->isChecked());
    EXPECT_EQ(t->Rtxt1->fontSize(), 15);
    EXPECT_EQ(t->Rtxt1->lineSpacing(), 150);
    EXPECT_FALSE(t->Mn_View_Whole->isChecked());
    EXPECT_EQ(t->TView1->selectedKey(), QStringLiteral("MP04150000"));
    EXPECT_TRUE(t->TView1->node(QStringLiteral("MP04150000"))
                    ->text(0)
                    .startsWith(QStringLiteral("第四百十五条 【債務不履行による損害賠償】")));
    EXPECT_TRUE(
        t->Rtxt1->text().endsWith(QStringLiteral("第四百十五条 【債務不履行による損害賠償】")))
        << t->Rtxt1->text().toStdString();
    // A button opens its law; the spacing holds for every new text.
    QTest::mouseClick(w().CmdHouten[1], Qt::LeftButton);
    lookup(QStringLiteral("KP9"));
    EXPECT_EQ(t->Rtxt1->lineSpacing(), 150);
    EXPECT_TRUE(t->Rtxt1->text().contains(QStringLiteral("第九条")));

    // Opened again it shows what is kept; 番号順 restores the default, which is kept as none.
    w().Mn_File_Settings->trigger();
    s = w().settings;
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->OptKanji->isChecked());
    EXPECT_EQ(s->SpnSize->value(), 15);
    EXPECT_EQ(s->CboButtons[2]->currentIndex(), 0);
    QTest::mouseClick(s->CmdDefaultButtons, Qt::LeftButton);
    s->OptDigits->setChecked(true);
    s->TxtApi->clear();  // empty: the published address
    QTest::mouseClick(s->CmdOK, Qt::LeftButton);
    EXPECT_TRUE(loadReadingSettings().lawButtons.isEmpty());
    EXPECT_EQ(loadReadingSettings().apiAddress, QStringLiteral("https://laws.e-gov.go.jp/api/2"));
    EXPECT_EQ(w().CmdHouten[0]->text(), firstButton);
    EXPECT_TRUE(t->Rtxt1->text().contains(QStringLiteral("第9条")));
    // キャンセル keeps nothing.
    w().Mn_File_Settings->trigger();
    s = w().settings;
    ASSERT_NE(s, nullptr);
    s->SpnSize->setValue(30);
    QTest::mouseClick(s->CmdCancel, Qt::LeftButton);
    EXPECT_EQ(loadReadingSettings().fontSize, 15);
    EXPECT_EQ(prompt.messages.size(), 2) << prompt.messages.join(u'\n').toStdString();
}

// A frame of 800×600: the browser within it, its text pane at least half of it; a larger one
// keeps the pane's share.
TEST_F(BrowserTest, AtEightHundredBySixHundredTheTextKeepsHalfTheBrowser) {
    lookup(QStringLiteral("MP415"));
    FrmTree* t = w().browser;
    ASSERT_NE(t, nullptr);
    QMdiSubWindow* sub = platform::subWindowOf(t);
    ASSERT_NE(sub, nullptr);
    sub->setGeometry(0, 0, 1200, 800);
    w().resize(800, 600);
    QCoreApplication::processEvents();
    const QRect room = w().area()->viewport()->rect();
    EXPECT_TRUE(room.contains(sub->geometry()))
        << sub->geometry().width() << 'x' << sub->geometry().height();
    EXPECT_GE(t->Rtxt1->height() * 2, t->height()) << t->Rtxt1->height() << '/' << t->height();
    EXPECT_GT(t->TView1->height(), 0);
    w().resize(1300, 900);
    sub->setGeometry(0, 0, 1000, 760);
    QCoreApplication::processEvents();
    EXPECT_NEAR(double(t->Rtxt1->height()) / t->height(), 0.4, 0.08);
}

TEST_F(BrowserTest, APrintTakesTheShownTextTheSelectionAnEntryOrTheWholeLawWithItsMarkers) {
    platform::ScriptedPrompt prompt;
    lookup(QStringLiteral("MP415"));
    FrmTree* t = w().browser;
    ASSERT_NE(t, nullptr);
    // A marker with a note on 本旨 of the first paragraph.
    const QString shown = t->Rtxt1->toPlainText();
    const int at = int(shown.indexOf(QStringLiteral("本旨")));
    ASSERT_GT(at, 0);
    QTextCursor c(t->Rtxt1->document());
    c.setPosition(at);
    c.setPosition(at + 2, QTextCursor::KeepAnchor);
    t->Rtxt1->setTextCursor(c);
    ASSERT_TRUE(t->markSelection(2));
    {
        UserData data;
        data.updateNote(data.markers()[0].id, QStringLiteral("契約の趣旨"));
    }
    // Read again with its note when the law's tree is built again.
    lookup(QStringLiteral("KP1"));
    lookup(QStringLiteral("MP415"));

    // The text on show, its marker where it stands; without markers, none.
    FrmTree::PrintJob job = t->printJob(PrintRange::Shown, true);
    EXPECT_EQ(job.title, QStringLiteral("民法"));
    EXPECT_EQ(job.text, t->Rtxt1->text());
    ASSERT_EQ(job.marks.size(), 1);
    EXPECT_EQ(platform::fromCrLf(job.text).mid(job.marks[0].start, job.marks[0].length),
              QStringLiteral("本旨"));
    EXPECT_EQ(job.marks[0].note, QStringLiteral("契約の趣旨"));
    EXPECT_TRUE(t->printJob(PrintRange::Shown, false).marks.isEmpty());

    // The selection: its text, the marker counted from its start; one cut by it, its part.
    c.setPosition(at - 3);
    c.setPosition(at + 1, QTextCursor::KeepAnchor);
    t->Rtxt1->setTextCursor(c);
    job = t->printJob(PrintRange::Selection, true);
    EXPECT_EQ(job.text, shown.mid(at - 3, 4));
    ASSERT_EQ(job.marks.size(), 1);
    EXPECT_EQ(job.marks[0].start, 3);
    EXPECT_EQ(job.marks[0].length, 1);
    // The window offers the selection first, and a 目次 entry only on one.
    {
        FrmPrint* dialog = t->openPrint();
        EXPECT_TRUE(dialog->OptSelection->isEnabled());
        EXPECT_TRUE(dialog->OptSelection->isChecked());
        EXPECT_FALSE(dialog->OptEntry->isEnabled());
        QTest::mouseClick(dialog->CmdCancel, Qt::LeftButton);
    }

    // The 目次 entry of 第415条: every article below it whole, nothing after it.
    QTreeWidgetItem* entry = t->TView1->node(QStringLiteral("MP04150000"))->parent();
    ASSERT_NE(entry, nullptr);
    t->TView1->selectNode(entry);
    {
        FrmPrint* dialog = t->openPrint();
        EXPECT_FALSE(dialog->OptSelection->isEnabled());
        EXPECT_TRUE(dialog->OptShown->isChecked());
        EXPECT_TRUE(dialog->OptEntry->isEnabled());
        QTest::mouseClick(dialog->CmdCancel, Qt::LeftButton);
    }
    job = t->printJob(PrintRange::Entry, true);
    const QString firstArticle = platform::KeyedTree::textOf(entry->child(0));
    const QString lastArticle = platform::KeyedTree::textOf(entry->child(entry->childCount() - 1));
    EXPECT_TRUE(job.text.contains(firstArticle));
    EXPECT_TRUE(job.text.contains(lastArticle));
    EXPECT_TRUE(job.text.contains(QStringLiteral("② 前項の規定により損害賠償の請求")));
    EXPECT_FALSE(job.text.contains(QStringLiteral("第1条 【基本原則】")));
    ASSERT_EQ(job.marks.size(), 1);
    EXPECT_EQ(platform::fromCrLf(job.text).mid(job.marks[0].start, 2), QStringLiteral("本旨"));

    // The whole law on paper (a printer writing a PDF here): title, text, the note.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = path(QStringLiteral("printed.pdf"));
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(t->printPages(PrintRange::WholeLaw, true, &printer));
    const QString read = pdfText(pdf);
    EXPECT_TRUE(read.startsWith(QStringLiteral("民法"))) << read.left(40).toStdString();
    EXPECT_TRUE(read.contains(QStringLiteral("第1条 【基本原則】")));
    EXPECT_TRUE(read.contains(QStringLiteral("本旨〔メモ：契約の趣旨〕")));
    EXPECT_TRUE(read.contains(QStringLiteral("第1050条")));
    // PDF に保存 of the same without markers: no note.
    const QString saved =
        t->savePdf(path(QStringLiteral("saved.pdf")), PrintRange::WholeLaw, false);
    EXPECT_FALSE(pdfText(saved).contains(QStringLiteral("メモ")));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

}  // namespace
}  // namespace viewer

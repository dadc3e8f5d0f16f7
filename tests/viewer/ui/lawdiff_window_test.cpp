// 改正比較: 民法 imported again with an amended article, compared in the window as an
// amendment table, and a click on a row selecting that paragraph in the browser.
#include "exchange/lawxml.h"
#include "maint/lawimport.h"
#include "platform/prompt.h"
#include "platform/ui/keyedtree.h"
#include "platform/ui/textpane.h"
#include "store/versions.h"
#include "tests/viewer/ui/viewerfixture.h"
#include "viewer/tools/ui/frmhistory.h"
#include "viewer/tools/ui/frmlawdiff.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QTextBrowser>
#include <QTextTable>
#include <QTreeWidget>

namespace viewer {
namespace {

class LawDiffWindowTest : public BrowserTest {
  protected:
    // 民法 as it is bundled, with 第415条 amended (and `also`), imported over the sample's
    // records.
    static void amendMinpo(const QList<std::pair<QString, QString>>& also = {}) {
        QString xml = QString::fromUtf8(
            testsupport::readFile(QStringLiteral(LEXORA_SAMPLE_DIR "/../xml/MP.xml")));
        xml.replace(QStringLiteral("債務者がその債務の本旨に従った履行をしないとき"),
                    QStringLiteral("債務者がその債務の本旨に従った履行を怠ったとき"));
        xml.replace(QStringLiteral("<PartTitle>第二編　物権</PartTitle>"),
                    QStringLiteral("<PartTitle>第二編　物権法</PartTitle>"));
        for (const auto& [from, to] : also) xml.replace(from, to);
        maint::LawTextImporter importer;
        maint::importLawXml(exchange::convertLawXml(xml.toUtf8(), QStringLiteral("MP")), importer);
    }
};

TEST_F(LawDiffWindowTest, TheAmendmentTableShowsTheChangeAndARowOpensItsParagraph) {
    platform::ScriptedPrompt prompt;
    QTest::mouseClick(button(QStringLiteral("民法")), Qt::LeftButton);
    ASSERT_FALSE(w().browser.isNull());
    // Nothing kept yet: said, no window.
    w().browser->Mn_Joubun_Diff->trigger();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].startsWith(QStringLiteral("民法 に残っている版はありません")));
    EXPECT_EQ(w().findChildWindow<FrmLawDiff>(), nullptr);

    amendMinpo();
    w().browser->Mn_Joubun_Diff->trigger();
    FrmLawDiff* diff = w().findChildWindow<FrmLawDiff>();
    ASSERT_NE(diff, nullptr);
    EXPECT_EQ(diff->CboFrom->count(), 1);
    EXPECT_EQ(diff->CboTo->itemText(0), QStringLiteral("現在の条文"));
    // The sample was imported from its text: the XML brings 民法's 65 附則.
    EXPECT_EQ(diff->LblCount->text(),
              QStringLiteral("1 条改正、0 条新設、0 条削除、附則・別表など 65 件"));
    // The paragraph, then the heading of the table of contents (no paragraph to open).
    // The 65 附則 the XML brought follow, each opening its node; the table of contents last.
    const QStringList rows = diff->rowCodes();
    ASSERT_EQ(rows.size(), 67);
    EXPECT_EQ(rows.first(), QStringLiteral("MP04150000010100"));
    EXPECT_EQ(rows.value(51), QStringLiteral("MPP00051"));
    EXPECT_EQ(rows.last(), QString());
    // Each added 附則 whole against （新設）; the heading renamed in the table of contents,
    // its articles after it, the word underlined.
    const QString whole = diff->TxtTable->toPlainText();
    EXPECT_EQ(whole.count(QStringLiteral("（新設）")), 65);
    EXPECT_TRUE(
        whole.contains(QStringLiteral("附則（平成二九年六月二日法律第四四号）\n附　則\n"
                                      "（施行期日）\n第一条　この法律は、")))
        << whole.mid(whole.indexOf(QStringLiteral("平成二九年六月二日法律第四四号")) - 10, 200)
               .toStdString();
    EXPECT_TRUE(
        whole.endsWith(QStringLiteral("目次\n第2編　物権法（第175条～第398条の22）\n"
                                      "目次\n第2編　物権（第175条～第398条の22）\n")))
        << whole.right(400).toStdString();
    const QString html = diff->TxtTable->toHtml();
    // One row for the article: its label and caption, then every paragraph with its mark on
    // each side, the unchanged second one too.
    const QString plain = diff->TxtTable->toPlainText();
    EXPECT_TRUE(
        plain.contains(QStringLiteral("第415条（債務不履行による損害賠償）\n① 債務者がその"
                                      "債務の本旨に従った履行を怠ったとき")))
        << plain.left(300).toStdString();
    EXPECT_TRUE(
        plain.contains(QStringLiteral("第415条（債務不履行による損害賠償）\n① 債務者がその"
                                      "債務の本旨に従った履行をしないとき")));
    EXPECT_EQ(plain.count(QStringLiteral("② 前項の規定により損害賠償の請求")), 2);
    // Each item on its own line, the ideographic space after its number kept.
    EXPECT_EQ(plain.count(QStringLiteral("\n一　債務の履行が不能であるとき。\n")), 2);
    // Whole words underlined: the run of kana that changed, the heading's whole word.
    EXPECT_TRUE(
        html.contains(QStringLiteral("履行<span style=\" text-decoration: underline; "
                                     "color:#0040c0;\">を怠ったとき</span>又は")));
    EXPECT_TRUE(html.contains(QStringLiteral(">をしないとき</span>又は")));
    EXPECT_TRUE(html.contains(QStringLiteral("目次</span><br />第2編　<span")));
    EXPECT_TRUE(html.contains(QStringLiteral(">物権法</span>（第175条～第398条の22）")));
    EXPECT_TRUE(html.contains(QStringLiteral(">物権</span>（第175条～第398条の22）")));

    // Find in the table: every hit marked and counted, Enter selects the next, Esc closes.
    diff->TxtTable->setFocus();
    QTest::keyClick(diff->TxtTable, Qt::Key_F, Qt::ControlModifier);
    auto* findEdit = diff->TxtTable->findChild<QLineEdit*>(QStringLiteral("FindEdit"));
    ASSERT_NE(findEdit, nullptr);
    ASSERT_TRUE(findEdit->isVisible());
    findEdit->insert(QStringLiteral("法律第"));
    const qsizetype hits = diff->TxtTable->toPlainText().count(QStringLiteral("法律第"));
    ASSERT_GT(hits, 1);
    EXPECT_EQ(diff->TxtTable->extraSelections().size(), hits);
    QTest::keyClick(findEdit, Qt::Key_Return);
    EXPECT_EQ(diff->TxtTable->textCursor().selectedText(), QStringLiteral("法律第"));
    const int first = diff->TxtTable->textCursor().selectionStart();
    QTest::keyClick(findEdit, Qt::Key_Return);
    EXPECT_GT(diff->TxtTable->textCursor().selectionStart(), first);
    QTest::keyClick(findEdit, Qt::Key_Escape);
    EXPECT_FALSE(findEdit->isVisible());
    EXPECT_TRUE(diff->TxtTable->extraSelections().isEmpty());

    // A click on the row's newer cell.
    QTextTable* table = nullptr;
    for (QTextFrame* f : diff->TxtTable->document()->rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f)) table = t;
    ASSERT_NE(table, nullptr);
    const QRect cell = diff->TxtTable->cursorRect(table->cellAt(1, 0).firstCursorPosition());
    QTest::mouseClick(diff->TxtTable->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_NE(w().browser->TView1->selectedNode(), nullptr);
    EXPECT_EQ(platform::KeyedTree::keyOf(w().browser->TView1->selectedNode()).right(16),
              QStringLiteral("MP04150000010100"));

    // The same version on both sides: nothing changed.
    diff->CboTo->setCurrentIndex(1);
    EXPECT_EQ(diff->LblCount->text(), QStringLiteral("0 条改正、0 条新設、0 条削除"));
    EXPECT_TRUE(diff->rowCodes().isEmpty());
}

TEST_F(LawDiffWindowTest, VersionsAreNewestFirstAndTheNewestIsComparedWithTheCurrentText) {
    platform::ScriptedPrompt prompt;
    amendMinpo();  // keeps the bundled text
    // Again with 第709条's caption changed too: keeps the amended text.
    amendMinpo({{QStringLiteral("（不法行為による損害賠償）"),
                 QStringLiteral("（不法行為に基づく損害賠償）")}});
    const QList<store::LawVersion> versions = store::listVersions(QStringLiteral("民法"));
    ASSERT_EQ(versions.size(), 2);

    FrmLawDiff diff(QStringLiteral("MP"));
    ASSERT_EQ(diff.CboFrom->count(), 2);
    ASSERT_EQ(diff.CboTo->count(), 3);
    EXPECT_EQ(diff.CboFrom->itemData(0).toString(), versions[1].id);
    EXPECT_EQ(diff.CboFrom->itemData(1).toString(), versions[0].id);
    EXPECT_EQ(diff.CboTo->itemData(0).toString(), QString());  // 現在の条文
    EXPECT_EQ(diff.CboTo->itemData(1).toString(), versions[1].id);
    EXPECT_EQ(diff.CboTo->itemData(2).toString(), versions[0].id);
    EXPECT_EQ(diff.CboFrom->currentIndex(), 0);
    EXPECT_EQ(diff.CboTo->currentIndex(), 0);
    // The last import's change alone: 第709条's caption.
    EXPECT_EQ(diff.LblCount->text(), QStringLiteral("1 条改正、0 条新設、0 条削除"));
    EXPECT_EQ(diff.rowCodes(), QStringList({QStringLiteral("MP07090000000001")}));
    // The oldest against the current text: both imports' changes.
    diff.CboFrom->setCurrentIndex(1);
    EXPECT_EQ(diff.LblCount->text(),
              QStringLiteral("2 条改正、0 条新設、0 条削除、附則・別表など 65 件"));
}

}  // namespace
}  // namespace viewer

namespace viewer {
namespace {

// 民法 as of 2023 (第七百七十四条 in one paragraph, before 令和4年法律第102号) kept as a version
// when the 2025 text is imported over it: the table sets out the article's five paragraphs in
// 改正後 against its one in 改正前.
TEST_F(LawDiffWindowTest, TheCivilCodesArticle774In2025AgainstItsOneParagraphOf2023) {
    platform::ScriptedPrompt prompt;
    QString xml2025 = QString::fromUtf8(
        testsupport::readFile(QStringLiteral(LEXORA_SAMPLE_DIR "/../xml/MP.xml")));
    const qsizetype from = xml2025.indexOf(QStringLiteral("<Article Num=\"774\""));
    const qsizetype to = xml2025.indexOf(QStringLiteral("</Article>"), from) + 10;
    ASSERT_GT(from, 0);
    QString xml2023 = xml2025;
    xml2023.replace(
        from, to - from,
        QStringLiteral("<Article Num=\"774\"><ArticleCaption>（嫡出の否認）</ArticleCaption>"
                       "<ArticleTitle>第七百七十四条</ArticleTitle><Paragraph Num=\"1\">"
                       "<ParagraphNum/><ParagraphSentence><Sentence Num=\"1\">"
                       "第七百七十二条の場合において、夫は、子が嫡出であることを否認する"
                       "ことができる。</Sentence></ParagraphSentence></Paragraph></Article>"));
    for (const QString& xml : {xml2023, xml2025}) {
        maint::LawTextImporter importer;
        maint::importLawXml(exchange::convertLawXml(xml.toUtf8(), QStringLiteral("MP")), importer);
    }
    QTest::mouseClick(button(QStringLiteral("民法")), Qt::LeftButton);
    w().browser->Mn_Joubun_Diff->trigger();
    FrmLawDiff* diff = w().findChildWindow<FrmLawDiff>();
    ASSERT_NE(diff, nullptr);
    EXPECT_TRUE(diff->LblCount->text().startsWith(QStringLiteral("1 条改正、0 条新設、0 条削除")))
        << diff->LblCount->text().toStdString();
    const QString plain = diff->TxtTable->toPlainText();
    const qsizetype newer = plain.indexOf(QStringLiteral("第774条（嫡出の否認）"));
    const qsizetype older = plain.indexOf(QStringLiteral("第774条（嫡出の否認）"), newer + 1);
    ASSERT_GT(newer, 0);
    ASSERT_GT(older, newer);
    const QString newerCell = plain.mid(newer, older - newer);
    const QString olderCell = plain.mid(older);
    for (const char* mark : {"\n① ", "\n② ", "\n③ ", "\n④ ", "\n⑤ "})
        EXPECT_TRUE(newerCell.contains(QString::fromUtf8(mark))) << mark;
    EXPECT_FALSE(newerCell.contains(QStringLiteral("⑥")));
    EXPECT_TRUE(olderCell.startsWith(QStringLiteral(
        "第774条（嫡出の否認）\n第七百七十二条の場合において、夫は、子が嫡出であることを否認"
        "することができる。")))
        << olderCell.left(80).toStdString();
    EXPECT_FALSE(olderCell.contains(QStringLiteral("②")));
    EXPECT_EQ(diff->rowCodes().value(0).left(10), QStringLiteral("MP07740000"));
    // The table as a PDF: its title, both columns' text, read back by pdftotext.
    const QString pdf = diff->savePdf(path(QStringLiteral("table.pdf")));
    QProcess read;
    read.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    read.waitForFinished(30000);
    const QString text = QString::fromUtf8(read.readAllStandardOutput()).remove(u'\n');
    EXPECT_TRUE(text.startsWith(QStringLiteral("民法 新旧対照表"))) << text.left(60).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("改正後"))) << text.left(300).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("夫は、子が嫡出であることを否認")));
    // On paper the same (a printer writing a PDF here).
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path(QStringLiteral("printed-table.pdf")));
    EXPECT_TRUE(diff->printTable(&printer));
    EXPECT_GT(QFileInfo(path(QStringLiteral("printed-table.pdf"))).size(), 1000);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();

    // 沿革 of 第774条: changed from the sample's text to 2023, then to 2025; the newest first,
    // its change the row above.
    lookup(QStringLiteral("MP774:2"));
    FrmHistory* history = w().browser->openHistory();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->windowTitle(), QStringLiteral("沿革 - 民法 第774条"));
    ASSERT_EQ(history->steps().size(), 2);
    EXPECT_EQ(history->steps()[0].version, QStringLiteral("current"));
    EXPECT_EQ(history->LstSteps->topLevelItem(0)->text(2), QStringLiteral("現在の条文"));
    EXPECT_EQ(history->LstSteps->topLevelItem(0)->text(3), QStringLiteral("改正"));
    const QString change = history->TxtChange->toPlainText();
    EXPECT_TRUE(change.contains(QStringLiteral("\n⑤ "))) << change.left(200).toStdString();
    EXPECT_EQ(change.count(QStringLiteral("第774条（嫡出の否認）")), 2);
    // 第1条 never changed between the versions: said, no row.
    lookup(QStringLiteral("MP1"));
    FrmHistory* none = w().browser->openHistory();
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->steps().isEmpty());
    EXPECT_TRUE(none->LblArticle->text().contains(QStringLiteral("変わっていません")));
}

}  // namespace
}  // namespace viewer

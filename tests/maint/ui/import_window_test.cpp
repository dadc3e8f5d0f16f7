// The law text import window on a dropped sample law and on its pane.
#include "maint/ui/frmaddlaw.h"
#include "maint/ui/frmtr.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "platform/ui/textpane.h"
#include "store/engine.h"
#include "store/lawdb.h"
#include "tests/support/apiserver.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

using namespace maint;

namespace {

class ImportWindowTest : public testsupport::TempRootTest {
  protected:
    static QString record(const QString& law, const QString& code) {
        store::Database db = store::openLawDb(law);
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 条文 where 条項コード=?"),
                             store::RecordsetType::Snapshot, {code});
        return rs.recordCount() > 0 ? rs.text(QStringLiteral("条文")) : QStringLiteral("<none>");
    }
};

TEST_F(ImportWindowTest, WindowImportsADroppedFileAndShowsEachStep) {
    platform::ScriptedPrompt prompt;
    FrmTR w;
    w.show();
    QTest::mouseClick(w.CmdRead, Qt::LeftButton);
    EXPECT_EQ(prompt.messages,
              QStringList{QStringLiteral("ファイルをドラッグアンドドロップしてください。")});

    const QString file = path(QStringLiteral("GT.txt"));
    QFile::copy(testsupport::sampleDir() + QStringLiteral("/GT.txt"), file);
    w.TxtDrop->setText(file);
    QTest::mouseClick(w.CmdRead, Qt::LeftButton);
    EXPECT_EQ(w.lastResult().articles, 48);
    EXPECT_EQ(w.TxtFName->text(), QStringLiteral("GT"));
    EXPECT_EQ(w.TxtHouten->text(), QStringLiteral("行政手続法"));
    EXPECT_EQ(w.ListFSep->count(), 48);
    EXPECT_EQ(w.ListFSep->currentRow(), 47);
    EXPECT_TRUE(w.RT1->text().startsWith(QStringLiteral("法典コード=GT\r\n")));
    EXPECT_TRUE(w.CmdRead->isEnabled());
    // The last article stays on show; clicking a paragraph shows its codes.
    ASSERT_GT(w.ListMon->count(), 0);
    w.SetLstToRt(0);
    EXPECT_TRUE(w.TxtCode->text().startsWith(QStringLiteral("GT0046")));
    EXPECT_TRUE(w.TxtCodeT->text().endsWith(QStringLiteral("000001")));
    // The pane: a malformed block stops the run, and the buttons come back.
    prompt.messages.clear();
    w.CheckM->setChecked(false);
    w.RT1->setText(QStringLiteral(
        "法典コード=GT\r\n法典名称="
        "行政手続法\r\n\r\n（変えた見出し）\r\n第１条\r\n変えた\r\n\r\n（x）\r\nx\r\ny"));
    QTest::mouseClick(w.CmdFromClip, Qt::LeftButton);
    EXPECT_TRUE(w.lastResult().stopped);
    EXPECT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(w.CmdFromClip->isEnabled());
    EXPECT_EQ(record(QStringLiteral("行政手続法"), QStringLiteral("GT00010000010000")),
              QStringLiteral("変えた"));
    EXPECT_NE(record(QStringLiteral("行政手続法"), QStringLiteral("GT00010000000001")),
              QStringLiteral("変えた見出し"));

    // The arrow keys show the paragraph they move to, as a click does.
    w.RT1->setText(
        QStringLiteral("法典コード=GT\r\n法典名称=行政手続法\r\n\r\n（目的等）\r\n第１条\r\n"
                       "(1)一の文。\r\n(2)二の文。\r\n(3)三の文。"));
    QTest::mouseClick(w.CmdFromClip, Qt::LeftButton);
    ASSERT_EQ(w.ListMon->count(), 3);
    w.ListMon->setCurrentRow(0);
    const QString first = w.TxtCode->text();
    w.ListMon->setFocus();
    QTest::keyClick(w.ListMon, Qt::Key_Down);
    EXPECT_EQ(w.ListMon->currentRow(), 1);
    EXPECT_EQ(w.TxtCode->text(), first.left(10) + QStringLiteral("020200"));
    EXPECT_EQ(w.TxtCodeMon->text().right(3), QStringLiteral("-02"));
    const QString second = w.RTMon->text();
    QTest::keyClick(w.ListMon, Qt::Key_Up);
    EXPECT_EQ(w.TxtCode->text(), first);
    EXPECT_NE(w.RTMon->text(), second);
}

TEST_F(ImportWindowTest, DroppedLawXmlIsConvertedAndImportedWithItsTableOfContents) {
    store::MakeHCodeDB();
    // The law imported from its text file first: the XML must give the very same records.
    LawTextImporter importer;
    importer.run(readLawTextFile(testsupport::sampleDir() + QStringLiteral("/GT.txt")), {});
    auto rows = [](const QString& sql) {
        store::Database db = store::openLawDb(QStringLiteral("行政手続法"));
        QStringList out;
        for (store::Recordset rs = db.openRecordset(sql); !rs.eof(); rs.moveNext()) {
            QStringList fields;
            for (const QString& c : rs.columns()) fields << rs.text(c);
            out << fields.join(u'|');
        }
        return out;
    };
    const QStringList records = rows(QStringLiteral("select * from 条文 order by 条項コード"));

    platform::ScriptedPrompt prompt;
    FrmTR w;
    w.show();
    w.TxtDrop->setText(testsupport::sampleDir() + QStringLiteral("/../xml/GT.xml"));
    // No code typed: nothing happens.
    QTest::mouseClick(w.CmdRead, Qt::LeftButton);
    EXPECT_EQ(prompt.inputPrompts.value(0),
              QStringLiteral("行政手続法 の法典コード（英字で始まる2文字）を入力してください。"));
    EXPECT_EQ(prompt.inputFallbacks.value(0), QStringLiteral("GT"));  // listed under that name
    EXPECT_TRUE(rows(QStringLiteral("select * from 目次")).isEmpty());

    prompt.inputs.push_back(QStringLiteral("gt"));
    QTest::mouseClick(w.CmdRead, Qt::LeftButton);
    EXPECT_EQ(w.lastResult().articles, 48);
    EXPECT_TRUE(
        w.RT1->text().startsWith(QStringLiteral("法典コード=GT\r\n法典名称=行政手続法\r\n")));
    EXPECT_EQ(prompt.messages.value(0),
              QStringLiteral("GT 行政手続法: 条 48、目次 11 行を登録しました。"));
    EXPECT_EQ(rows(QStringLiteral("select * from 条文 order by 条項コード")), records);
    const QStringList toc =
        rows(QStringLiteral("select コード, SOJ, EOJ, SOJ2, EOJ2, 見出し from 目次 "
                            "order by コード"));
    ASSERT_EQ(toc.size(), 11);
    EXPECT_EQ(toc[0], QStringLiteral("GT00010000000000|00010000|00040000|00010000|00040000|総則"));

    // A code listed for another law is refused before anything is written and asked again;
    // an empty answer then ends it.
    prompt.messages.clear();
    prompt.inputFallbacks.clear();
    w.TxtDrop->setText(QStringLiteral(LEXORA_FIXTURES_DIR "/kokka-baisho.xml"));
    prompt.inputs.push_back(QStringLiteral("gt"));
    QTest::mouseClick(w.CmdRead, Qt::LeftButton);
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral(
                                   "GT は 行政手続法 の法典コードです。別のコードを指定するか、"
                                   "先に 行政手続法 を削除してください。")});
    // Proposed: the code from its reading (こっかばいしょうほう), which no law has.
    EXPECT_EQ(prompt.inputFallbacks, QStringList({QStringLiteral("KO"), QStringLiteral("KO")}));
    ASSERT_EQ(store::readLawList().size(), 1);
    EXPECT_EQ(rows(QStringLiteral("select * from 条文 order by 条項コード")), records);
    prompt.inputs.push_back(QStringLiteral("GT"));
    prompt.inputs.push_back(QStringLiteral("KB"));
    QTest::mouseClick(w.CmdRead, Qt::LeftButton);
    EXPECT_EQ(prompt.messages.last(),
              QStringLiteral("KB 国家賠償法: 条 6、目次 0 行を登録しました。"));
    EXPECT_EQ(store::readLawList().size(), 2);

    // A file that is no law XML is refused with its reason, and nothing more is asked.
    const QString bad = path(QStringLiteral("bad.xml"));
    testsupport::writeFile(bad, "<Html/>");
    w.TxtDrop->setText(bad);
    prompt.inputs.push_back(QStringLiteral("ZZ"));
    QTest::mouseClick(w.CmdRead, Qt::LeftButton);
    EXPECT_EQ(prompt.messages.last(),
              QStringLiteral("法令XMLではありません。(ルート要素が Html です)"));
}

// The window's XML import is lexctl's: the whole law, its facts and its full title.
TEST_F(ImportWindowTest, ALawXmlFileIsTheWholeLawAsLexctlImportsIt) {
    store::MakeHCodeDB();
    QString xml = QString::fromUtf8(
        testsupport::readFile(testsupport::sampleDir() + QStringLiteral("/../xml/MP.xml")));
    const QString original = path(QStringLiteral("MP.xml"));
    testsupport::writeFile(original, xml.toUtf8());
    // 第三百九十八条の二十二 renumbered, and the second paragraph of 第四百十五条 taken out.
    xml.replace(QStringLiteral("<Article Num=\"398_22\">"),
                QStringLiteral("<Article Num=\"398_23\">"));
    xml.replace(QStringLiteral("<ArticleTitle>第三百九十八条の二十二</ArticleTitle>"),
                QStringLiteral("<ArticleTitle>第三百九十八条の二十三</ArticleTitle>"));
    const qsizetype at415 = xml.indexOf(QStringLiteral("<Article Num=\"415\""));
    const qsizetype second = xml.indexOf(QStringLiteral("<Paragraph Num=\"2\""), at415);
    const qsizetype end = xml.indexOf(QStringLiteral("</Paragraph>"), second) + 12;
    ASSERT_GT(at415, 0);
    xml.remove(second, end - second);
    const QString amended = path(QStringLiteral("MP-amended.xml"));
    testsupport::writeFile(amended, xml.toUtf8());

    platform::ScriptedPrompt prompt;
    FrmTR w;
    for (const QString& file : {original, amended}) {
        w.TxtDrop->setText(file);
        prompt.inputs.push_back(QStringLiteral("MP"));
        QTest::mouseClick(w.CmdRead, Qt::LeftButton);
    }
    store::Database db = store::openLawDb(QStringLiteral("民法"));
    EXPECT_EQ(db.openRecordset(QStringLiteral("select * from 条文")).recordCount(), 3225);
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("MP03982200000001")),
              QStringLiteral("<none>"));
    EXPECT_NE(record(QStringLiteral("民法"), QStringLiteral("MP03982300000001")),
              QStringLiteral("<none>"));
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("MP04150000010100")),
              QStringLiteral("<none>"));
    EXPECT_NE(record(QStringLiteral("民法"), QStringLiteral("MP04150000010000")),
              QStringLiteral("<none>"));
    const store::LawInfo info = store::readLawInfo(db);
    EXPECT_EQ(info.promulgated, QStringLiteral("1896-04-27"));
    EXPECT_FALSE(info.amendedBy.isEmpty());
    EXPECT_EQ(info.lawNum, QStringLiteral("明治二十九年法律第八十九号"));
    EXPECT_EQ(prompt.messages.last(),
              QStringLiteral("MP 民法: 条 1224、目次 191 行を登録しました。"))
        << prompt.messages.last().toStdString();

    // A title too long for a file name: the short name, the full title kept.
    QString kb = QString::fromUtf8(
        testsupport::readFile(QStringLiteral(LEXORA_FIXTURES_DIR "/kokka-baisho.xml")));
    const QString title = QString(90, QChar(0x6CD5)) + QStringLiteral("に関する法律");
    kb.replace(QStringLiteral(">国家賠償法</LawTitle>"),
               u'>' + title + QStringLiteral("</LawTitle>"));
    const QString longFile = path(QStringLiteral("322AC0000000125_20230401_000000000000000.xml"));
    testsupport::writeFile(longFile, kb.toUtf8());
    w.TxtDrop->setText(longFile);
    prompt.inputs.push_back(QStringLiteral("KB"));
    QTest::mouseClick(w.CmdRead, Qt::LeftButton);
    EXPECT_EQ(store::GetHoutenName(QStringLiteral("KB")), QStringLiteral("国賠法"));
    store::Database kbDb = store::openLawDb(QStringLiteral("国賠法"));
    const store::LawInfo kbInfo = store::readLawInfo(kbDb);
    EXPECT_EQ(kbInfo.title, title);
    EXPECT_EQ(kbInfo.lawId, QStringLiteral("322AC0000000125"));
    EXPECT_EQ(kbInfo.sourceDate, QStringLiteral("2023-04-01"));
}

TEST_F(ImportWindowTest, AFolderOfLawXmlImportsAfterAQuestionWithALinePerLaw) {
    store::MakeHCodeDB();
    const QString folder = path(QStringLiteral("xml"));
    QDir().mkpath(folder);
    QFile::copy(testsupport::sampleDir() + QStringLiteral("/../xml/GT.xml"),
                folder + QStringLiteral("/gt.xml"));
    QFile::copy(QStringLiteral(LEXORA_FIXTURES_DIR "/kokka-baisho.xml"),
                folder + QStringLiteral("/kb.xml"));
    testsupport::writeFile(folder + QStringLiteral("/notes.xml"), "<html/>");
    platform::ScriptedPrompt prompt;
    FrmTR w;
    w.TxtDrop->setText(folder);
    prompt.answers.push_back(platform::Answer::Cancel);
    QTest::mouseClick(w.CmdRead, Qt::LeftButton);
    EXPECT_EQ(prompt.messages,
              QStringList{QStringLiteral(
                  "xml の法令XML 3 件を取り込みます。法典コードは"
                  "読みから決めます（登録済みの法令はそのコードのまま）。よろしいですか？")});
    EXPECT_TRUE(store::readLawList().isEmpty());
    prompt.messages.clear();
    QTest::mouseClick(w.CmdRead, Qt::LeftButton);
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_TRUE(prompt.messages[1].startsWith(
        QStringLiteral("2 件を取り込み（うち 0 件は一部を取り込めず）、1 件を取り込みませんでした。"
                       "\r\nnotes.xml: ")))
        << prompt.messages[1].toStdString();
    QStringList lines;
    for (int i = 0; i < w.ListFSep->count(); ++i) lines << w.ListFSep->item(i)->text();
    EXPECT_EQ(lines.mid(0, 2), QStringList({QStringLiteral("GY 行政手続法: 48 articles"),
                                            QStringLiteral("KO 国家賠償法: 6 articles")}));
    EXPECT_TRUE(lines.value(2).startsWith(QStringLiteral("× notes.xml: ")));
    EXPECT_EQ(store::readLawList().size(), 2);
    EXPECT_TRUE(w.CmdRead->isEnabled());
}

}  // namespace

namespace {

TEST_F(ImportWindowTest, TheLawApiSearchOpensFromTheImportWindowAndNamesAFailedAnswer) {
    testsupport::ApiServer server([](const QString&, const QUrlQuery&) {
        testsupport::ApiAnswer a;
        a.status = 503;
        a.body = R"({"code":"503000","message":"メンテナンス中です。"})";
        return a;
    });
    platform::Settings().save(QStringLiteral("API"), server.base());
    FrmTR w;
    w.show();
    QTest::mouseClick(w.CmdFetch, Qt::LeftButton);
    FrmAddLaw* add = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* a = qobject_cast<FrmAddLaw*>(top)) add = a;
    ASSERT_NE(add, nullptr);
    QSignalSpy answered(add, &FrmAddLaw::answered);
    add->TxtTitle->setText(QStringLiteral("民法"));
    QTest::keyClick(add->TxtTitle, Qt::Key_Return);
    ASSERT_TRUE(answered.wait(3000));
    EXPECT_EQ(
        add->LblStatus->text(),
        QStringLiteral("法令APIがエラーを返しました（HTTP 503 503000: メンテナンス中です。）"));
    EXPECT_EQ(add->LstLaws->topLevelItemCount(), 0);
    EXPECT_FALSE(add->CmdAdd->isEnabled());
    // A law id needs no search; a code that is not one is refused before any download.
    add->TxtTitle->setText(QStringLiteral("322AC0000000125"));
    add->searchNow();
    EXPECT_TRUE(add->CmdAdd->isEnabled());
    add->TxtCode->setText(QStringLiteral("1A"));
    QTest::mouseClick(add->CmdAdd, Qt::LeftButton);
    EXPECT_FALSE(add->busy());
    EXPECT_TRUE(add->LblStatus->text().startsWith(QStringLiteral("法典コードは半角英数字２文字")));
    EXPECT_EQ(server.requests().size(), 1);
    delete add;
}

}  // namespace

// The article editor: codes and texts of the short number, lookup, list, register, delete.
#include "maint/artedit.h"
#include "maint/ui/frmlaws.h"
#include "platform/prompt.h"
#include "platform/ui/textpane.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/testsupport.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QTest>

using namespace maint;

namespace {

const QString kLaw = QStringLiteral("民法");

class LawsTest : public testsupport::TempRootTest {
  protected:
    void SetUp() override {
        TempRootTest::SetUp();
        store::openMasterDb().execute(QStringLiteral("insert into 法典コード values (?, ?, ?)"),
                                      {1, QStringLiteral("AB"), kLaw});
    }
    void put(const QString& code, const QString& text) {
        store::openOrCreateLawDb(kLaw).execute(QStringLiteral("insert into 条文 values (?, ?)"),
                                               {code, text});
    }
    QMap<QString, QString> records() {
        QMap<QString, QString> out;
        store::Database db = store::openLawDb(kLaw);
        store::Recordset rs = db.openRecordset(QStringLiteral("select * from 条文"));
        for (; !rs.eof(); rs.moveNext())
            out.insert(rs.text(QStringLiteral("条項コード")), rs.text(QStringLiteral("条文")));
        return out;
    }
    // Article 12: a caption and two paragraphs; article 12-2: one paragraph.
    void putArticle12() {
        put(QStringLiteral("AB00120000020200"), QStringLiteral("第二項"));
        put(QStringLiteral("AB00120000000001"), QStringLiteral("（目的）"));
        put(QStringLiteral("AB00120000010100"), QStringLiteral("第一項"));
        put(QStringLiteral("AB00120200010000"), QStringLiteral("枝の条"));
    }
    static void enter(FrmLaws& w, const QString& typed) {
        w.TxtCodes2->clear();
        QTest::keyClicks(w.TxtCodes2, typed);
        QTest::keyClick(w.TxtCodes2, Qt::Key_Return);
    }
    static QStringList items(const QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
};
TEST_F(LawsTest, EnterLooksUpTheRecordAndListsTheArticle) {
    putArticle12();
    platform::ScriptedPrompt prompt;
    FrmLaws w;
    w.show();
    enter(w, QStringLiteral("ab12"));
    EXPECT_EQ(w.TxtCodes2->text(), QStringLiteral("AB12"));
    EXPECT_EQ(w.TxtCodes->text(), QStringLiteral("AB00120000010000"));
    EXPECT_EQ(w.TxtJouNum->text(), QStringLiteral("第12条"));
    EXPECT_EQ(w.TxtHouten->text(), kLaw);
    EXPECT_EQ(w.TxtJouName->text(), QStringLiteral("（目的）"));
    EXPECT_EQ(w.RTxt->text(), QString());  // no single-paragraph record: a new one is typed
    EXPECT_EQ(w.focusWidget(), w.TxtJouName);
    EXPECT_EQ(items(w.ListMon),
              QStringList({QStringLiteral("【（目的）】"), QStringLiteral("①第一項"),
                           QStringLiteral("②第二項")}));
    EXPECT_EQ(items(w.ListCodes),
              QStringList({QStringLiteral("AB00120000000001"), QStringLiteral("AB00120000010100"),
                           QStringLiteral("AB00120000020200")}));

    enter(w, QStringLiteral("AB12:2"));
    EXPECT_EQ(w.RTxt->text(), QStringLiteral("第二項"));
    EXPECT_EQ(w.TxtJouNum->text(), QStringLiteral("第12条 ②"));

    enter(w, QStringLiteral("AB12-2-3:4"));
    EXPECT_EQ(w.TxtCodes->text(), QStringLiteral("AB00120203040400"));
    EXPECT_EQ(w.TxtJouNum->text(), QStringLiteral("第12条の2の3 ④"));
    EXPECT_EQ(w.ListMon->count(), 0);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();

    // An unlisted law: a message and the window as it was.
    enter(w, QStringLiteral("zz1"));
    EXPECT_EQ(prompt.messages, QStringList({QStringLiteral("未登録コードです。")}));
    EXPECT_EQ(w.TxtCodes2->text(), QStringLiteral("zz1"));
    EXPECT_EQ(w.TxtCodes->text(), QStringLiteral("AB00120203040400"));
    EXPECT_EQ(w.TxtHouten->text(), kLaw);
}

TEST_F(LawsTest, DoubleClickLoadsParagraphsButNotTheCaption) {
    putArticle12();
    platform::ScriptedPrompt prompt;
    FrmLaws w;
    w.show();
    enter(w, QStringLiteral("ab12:1"));
    ASSERT_EQ(w.ListMon->count(), 3);

    w.ListMon->setCurrentRow(0);
    w.ListMon_DblClick();
    EXPECT_EQ(w.TxtCodes->text(), QStringLiteral("AB00120000010100"));
    EXPECT_EQ(w.TxtCodes2->text(), QStringLiteral("AB12:1"));
    EXPECT_EQ(w.RTxt->text(), QStringLiteral("第一項"));

    // Through the list itself, as the user does it.
    const QRect r = w.ListMon->visualItemRect(w.ListMon->item(2));
    QTest::mouseClick(w.ListMon->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(w.ListMon->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(w.TxtCodes->text(), QStringLiteral("AB00120000020200"));
    EXPECT_EQ(w.TxtCodes2->text(), QStringLiteral("AB12:2"));
    EXPECT_EQ(w.TxtJouNum->text(), QStringLiteral("第12条 ②"));
    EXPECT_EQ(w.TxtHouten->text(), kLaw);
    EXPECT_EQ(w.TxtJouName->text(), QStringLiteral("（目的）"));
    EXPECT_EQ(w.RTxt->text(), QStringLiteral("第二項"));
    EXPECT_EQ(w.ListMon->count(), 3);

    // The single paragraph of a branch article goes back to the entry without a colon.
    enter(w, QStringLiteral("ab12-2"));
    ASSERT_EQ(w.ListMon->count(), 1);
    w.ListMon->setCurrentRow(0);
    w.ListMon_DblClick();
    EXPECT_EQ(w.TxtCodes2->text(), QStringLiteral("AB12-2"));
    EXPECT_EQ(w.TxtJouNum->text(), QStringLiteral("第12条の2"));
    EXPECT_EQ(w.RTxt->text(), QStringLiteral("枝の条"));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

TEST_F(LawsTest, DoubleClickOnTheCaptionChangesNothing) {
    putArticle12();
    FrmLaws w;
    enter(w, QStringLiteral("ab12:2"));
    w.ListMon->setCurrentRow(0);
    w.ListMon_DblClick();
    EXPECT_EQ(w.TxtCodes->text(), QStringLiteral("AB00120000020200"));
    EXPECT_EQ(w.TxtCodes2->text(), QStringLiteral("AB12:2"));
    EXPECT_EQ(w.RTxt->text(), QStringLiteral("第二項"));
    EXPECT_EQ(w.ListMon->count(), 3);
}

TEST_F(LawsTest, MissingLawDatabaseIsCreatedOnLookup) {
    platform::ScriptedPrompt prompt;
    ASSERT_FALSE(QFileInfo::exists(store::lawDbPath(kLaw)));
    FrmLaws w;
    w.show();
    enter(w, QStringLiteral("ab1"));
    EXPECT_TRUE(QFileInfo::exists(store::lawDbPath(kLaw)));
    EXPECT_TRUE(records().isEmpty());
    EXPECT_EQ(w.ListMon->count(), 0);
    EXPECT_EQ(w.TxtCodes->text(), QStringLiteral("AB00010000010000"));
    EXPECT_EQ(w.focusWidget(), w.TxtJouName);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

TEST_F(LawsTest, RegistWritesCaptionAndRecord) {
    platform::ScriptedPrompt prompt;
    FrmLaws w;
    enter(w, QStringLiteral("ab13"));
    w.RTxt->setText(QStringLiteral("本文\r\n二行目 "));
    w.CmdReg->click();
    QMap<QString, QString> r = records();
    EXPECT_EQ(r.value(QStringLiteral("AB00130000000001")), QStringLiteral(" "));  // empty caption
    EXPECT_EQ(r.value(QStringLiteral("AB00130000010000")), QStringLiteral("本文\r\n二行目 "));
    EXPECT_EQ(r.size(), 2);
    EXPECT_TRUE(w.CmdReg->isEnabled());

    // Registering again edits both records rather than adding.
    w.TxtJouName->setText(QStringLiteral("（定義）"));
    w.RTxt->setText(QStringLiteral("改め"));
    w.CmdReg->click();
    r = records();
    EXPECT_EQ(r.size(), 2);
    EXPECT_EQ(r.value(QStringLiteral("AB00130000000001")), QStringLiteral("（定義）"));
    EXPECT_EQ(r.value(QStringLiteral("AB00130000010000")), QStringLiteral("改め"));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();

    // A heading code would overwrite the caption with the text: refused, nothing written.
    w.TxtCodes->setText(QStringLiteral("AB00130000000001"));
    w.TxtJouName->setText(QStringLiteral("（別）"));
    w.CmdReg->click();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].contains(QStringLiteral("000001")));
    EXPECT_EQ(records(), r);

    // Empty law name or code.
    w.TxtHouten->clear();
    w.CmdReg->click();
    EXPECT_EQ(prompt.messages.last(), QStringLiteral("法典名称または連続コードが空欄です。"));
    EXPECT_EQ(records(), r);
}

TEST_F(LawsTest, WriteFailureLeavesNeitherRecordAndIsReported) {
    put(QStringLiteral("AB00140000000001"), QStringLiteral("（旧）"));
    store::openLawDb(kLaw).execute(QStringLiteral(
        "create trigger refuse before insert on 条文 when new.条項コード = 'AB00140000010000' "
        "begin select raise(abort, 'refused by test'); end"));
    platform::ScriptedPrompt prompt;
    FrmLaws w;
    enter(w, QStringLiteral("ab14"));
    w.TxtJouName->setText(QStringLiteral("（新）"));
    w.RTxt->setText(QStringLiteral("本文"));
    w.CmdReg->click();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_FALSE(prompt.messages[0].isEmpty());  // the error's description
    // The caption was edited before the failure; the transaction undid it.
    EXPECT_EQ(
        records(),
        (QMap<QString, QString>{{QStringLiteral("AB00140000000001"), QStringLiteral("（旧）")}}));
    EXPECT_TRUE(w.CmdReg->isEnabled());
}

TEST_F(LawsTest, DeleteRemovesOnlyTheRecordAfterTheQuestion) {
    putArticle12();
    platform::ScriptedPrompt prompt;
    FrmLaws w;
    enter(w, QStringLiteral("ab12:2"));

    prompt.answers.push_back(platform::Answer::Cancel);
    w.CmdDel->click();
    EXPECT_EQ(prompt.messages, QStringList({QStringLiteral("削除しますか？")}));
    EXPECT_EQ(prompt.buttons.last(), platform::Buttons::OkCancel);
    EXPECT_TRUE(records().contains(QStringLiteral("AB00120000020200")));
    EXPECT_EQ(w.TxtCodes->text(), QStringLiteral("AB00120000020200"));

    w.CmdDel->click();  // OK
    const QMap<QString, QString> r = records();
    EXPECT_FALSE(r.contains(QStringLiteral("AB00120000020200")));
    EXPECT_EQ(r.value(QStringLiteral("AB00120000000001")), QStringLiteral("（目的）"));
    EXPECT_TRUE(r.contains(QStringLiteral("AB00120000010100")));
    EXPECT_EQ(w.TxtCodes->text(), QString());
    EXPECT_EQ(w.TxtCodes2->text(), QString());
    EXPECT_EQ(w.ListMon->count(), 0);

    // With the window empty nothing is asked.
    w.CmdDel->click();
    EXPECT_EQ(prompt.messages.size(), 2);

    // "New" asks first; Cancel keeps the window.
    enter(w, QStringLiteral("ab12:1"));
    prompt.answers.push_back(platform::Answer::Cancel);
    w.CmdClear->click();
    EXPECT_EQ(prompt.messages.last(), QStringLiteral("All Clear?"));
    EXPECT_EQ(w.RTxt->text(), QStringLiteral("第一項"));
    w.CmdClear->click();
    EXPECT_EQ(w.RTxt->text(), QString());
    EXPECT_EQ(w.TxtHouten->text(), QString());
    EXPECT_EQ(w.ListCodes->count(), 0);
}

}  // namespace

// The law list editor: adding, renaming, removing laws and writing the list order.
#include "maint/htedit.h"
#include <QDir>
#include "maint/ui/frmhtedit.h"
#include "platform/prompt.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/versions.h"
#include "tests/support/testsupport.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace maint;

namespace {

class HtEditTest : public testsupport::TempRootTest {
  protected:
    void SetUp() override {
        TempRootTest::SetUp();
        addLaw(1, QStringLiteral("KP"), QStringLiteral("日本国憲法"));
        addLaw(2, QStringLiteral("MP"), QStringLiteral("民事"));
        addLaw(3, QStringLiteral("CP"), QStringLiteral("刑法"));
    }
    static void addLaw(int n, const QString& code, const QString& name) {
        store::openMasterDb().execute(QStringLiteral("insert into 法典コード values (?, ?, ?)"),
                                      {n, code, name});
    }
    // "番号 法典コード 法典名称" per row, in 番号 order.
    static QStringList rows() {
        QStringList out;
        for (const store::LawEntry& e : store::readLawList())
            out << QStringLiteral("%1 %2 %3").arg(e.number).arg(e.code, e.name);
        return out;
    }
    static QStringList lines(const FrmHtEdit& w) {
        QStringList out;
        for (int i = 0; i < w.ListDsp->count(); ++i) out << w.ListDsp->item(i)->text();
        return out;
    }
    static bool dbExists(const QString& name) { return QFileInfo::exists(store::lawDbPath(name)); }
};

TEST_F(HtEditTest, AddAndReRegisterMoveTheLawToTheEnd) {
    platform::ScriptedPrompt prompt;
    FrmHtEdit w;
    EXPECT_EQ(lines(w), QStringList({QStringLiteral("KP　日本国憲法"), QStringLiteral("MP　民事"),
                                     QStringLiteral("CP　刑法")}));

    w.TxtHCode->setText(QStringLiteral("ab"));
    w.TxtHName->setText(QStringLiteral("民法"));
    w.CmdAdd->click();
    EXPECT_EQ(rows().last(), QStringLiteral("4 AB 民法"));
    EXPECT_TRUE(dbExists(QStringLiteral("民法")));
    store::Database db = store::openLawDb(QStringLiteral("民法"));
    EXPECT_EQ(db.fieldNames(QStringLiteral("条文")).size(), 2);
    db.close();
    EXPECT_EQ(lines(w).last(), QStringLiteral("AB　民法"));

    // Double click fills both boxes; registering under a new name keeps one row, moves it to
    // the end and, as the law had no database, makes one for the new name.
    w.ListDsp->setCurrentRow(0);
    w.ListDsp_DblClick();
    EXPECT_EQ(w.TxtHCode->text(), QStringLiteral("KP"));
    EXPECT_EQ(w.TxtHName->text(), QStringLiteral("日本国憲法"));
    w.TxtHName->setText(QStringLiteral("憲法"));
    w.CmdAdd->click();
    EXPECT_EQ(rows(), QStringList({QStringLiteral("2 MP 民事"), QStringLiteral("3 CP 刑法"),
                                   QStringLiteral("4 AB 民法"), QStringLiteral("5 KP 憲法")}));
    EXPECT_TRUE(dbExists(QStringLiteral("憲法")));
    EXPECT_EQ(lines(w).first(), QStringLiteral("MP　民事"));
    EXPECT_EQ(
        prompt.messages,
        QStringList{QStringLiteral("KP の法典名称を「日本国憲法」から「憲法」に変更しました。")});
    prompt.messages.clear();

    // Empty boxes: nothing, silently.
    w.TxtHName->clear();
    w.CmdAdd->click();
    w.CmdDel->click();
    EXPECT_EQ(rows().size(), 4);
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(HtEditTest, RenameTakesTheDatabaseWithItOrChangesNothing) {
    store::openOrCreateLawDb(QStringLiteral("民事")).close();
    testsupport::addRecord(QStringLiteral("民事"), QStringLiteral("MP00010000010000"),
                           QStringLiteral("本文"));
    testsupport::addToc(
        QStringLiteral("民事"),
        {QStringLiteral("MP01000000000000"), QStringLiteral("00010000"), QStringLiteral("00010000"),
         QStringLiteral("00010000"), QStringLiteral("00010000"), QStringLiteral("第一編　総則")});
    const QByteArray bytes = testsupport::readFile(store::lawDbPath(QStringLiteral("民事")));
    platform::ScriptedPrompt prompt;
    FrmHtEdit w;
    const auto add = [&](const QString& code, const QString& name) {
        w.TxtHCode->setText(code);
        w.TxtHName->setText(name);
        w.CmdAdd->click();
    };
    add(QStringLiteral("mp"), QStringLiteral("民法"));
    EXPECT_EQ(rows().last(), QStringLiteral("4 MP 民法"));
    EXPECT_FALSE(dbExists(QStringLiteral("民事")));
    EXPECT_EQ(testsupport::readFile(store::lawDbPath(QStringLiteral("民法"))), bytes);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0],
              QStringLiteral("MP の法典名称を「民事」から「民法」に変更しました。データベースの"
                             "名前も 民事.mdb から 民法.mdb に変えました。"));

    // Refused whole: a file under the new name (it would be taken over), a name listed under
    // another code (two codes on one file).
    store::openOrCreateLawDb(QStringLiteral("旧民法")).close();
    const QStringList before = rows();
    for (const QString& name : {QStringLiteral("旧民法"), QStringLiteral("刑法")}) {
        prompt.messages.clear();
        add(QStringLiteral("MP"), name);
        EXPECT_EQ(rows(), before) << name.toStdString();
        EXPECT_EQ(testsupport::readFile(store::lawDbPath(QStringLiteral("民法"))), bytes)
            << name.toStdString();
        ASSERT_EQ(prompt.messages.size(), 1) << name.toStdString();
    }
    EXPECT_TRUE(prompt.messages[0].contains(QStringLiteral("刑法」は法典コード CP で登録")));
    prompt.messages.clear();
    add(QStringLiteral("MP"), QStringLiteral("旧民法"));
    EXPECT_TRUE(prompt.messages[0].startsWith(QStringLiteral("データベース ")));
    EXPECT_TRUE(prompt.messages[0].endsWith(QStringLiteral(
        "旧民法.mdb がすでにあるため、民法 の名称を「旧民法」に変更しませんでした。")));
}

TEST_F(HtEditTest, EntryRefusesCodesAndNamesTheListCannotHold) {
    platform::ScriptedPrompt prompt;
    FrmHtEdit w;
    const QStringList before = rows();
    const auto add = [&](const QString& code, const QString& name) {
        w.TxtHCode->setText(code);
        w.TxtHName->setText(name);
        w.CmdAdd->click();
    };
    add(QStringLiteral("abc"), QStringLiteral("民法"));
    add(QStringLiteral("a"), QStringLiteral("民法"));
    add(QStringLiteral("1a"), QStringLiteral("民法"));
    ASSERT_EQ(prompt.messages.size(), 3);
    for (const QString& m : prompt.messages) EXPECT_TRUE(m.contains(QStringLiteral("２文字")));
    add(QStringLiteral("ab"), QStringLiteral("民/法"));
    ASSERT_EQ(prompt.messages.size(), 4);
    EXPECT_TRUE(prompt.messages[3].contains(QStringLiteral("「/」")))
        << prompt.messages[3].toStdString();
    add(QStringLiteral("ab"), QStringLiteral(".."));
    EXPECT_EQ(prompt.messages.size(), 5);
    EXPECT_EQ(rows(), before);
    EXPECT_FALSE(dbExists(QStringLiteral("民法")));
    EXPECT_EQ(lines(w).size(), 3);

    // Blanks around a name would be lost by the order rewrite: they are not stored.
    add(QStringLiteral("ab"), QStringLiteral(" 民法 "));
    EXPECT_EQ(rows().last(), QStringLiteral("4 AB 民法"));
    EXPECT_TRUE(dbExists(QStringLiteral("民法")));
}

TEST_F(HtEditTest, MovedLinesAreWrittenAsTheNewOrder) {
    platform::ScriptedPrompt prompt;
    FrmHtEdit w;
    w.ListDsp->setCurrentRow(1);
    w.CmdUp->click();
    EXPECT_EQ(w.ListDsp->currentRow(), 0);
    w.CmdUp->click();  // already first
    EXPECT_EQ(lines(w), QStringList({QStringLiteral("MP　民事"), QStringLiteral("KP　日本国憲法"),
                                     QStringLiteral("CP　刑法")}));
    EXPECT_EQ(rows().first(), QStringLiteral("1 KP 日本国憲法"));  // table untouched so far

    w.ListDsp->setCurrentRow(2);
    w.CmdDown->click();  // already last
    w.ListDsp->setCurrentRow(1);
    w.CmdDown->click();
    EXPECT_EQ(w.ListDsp->currentRow(), 2);
    w.CmdUpdate->click();
    EXPECT_EQ(rows(), QStringList({QStringLiteral("0 MP 民事"), QStringLiteral("1 CP 刑法"),
                                   QStringLiteral("2 KP 日本国憲法")}));

    // Added after the rewrite: count + 1 leaves a gap and keeps the law last.
    w.TxtHCode->setText(QStringLiteral("ab"));
    w.TxtHName->setText(QStringLiteral("民法"));
    w.CmdAdd->click();
    EXPECT_EQ(rows().last(), QStringLiteral("4 AB 民法"));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

TEST_F(HtEditTest, OrderWriteFailureKeepsTheOldTable) {
    store::openMasterDb().execute(QStringLiteral(
        "create trigger refuse before insert on 法典コード when new.法典コード = 'CP' "
        "begin select raise(abort, 'refused by test'); end"));
    platform::ScriptedPrompt prompt;
    FrmHtEdit w;
    w.ListDsp->setCurrentRow(2);
    w.CmdUp->click();
    w.CmdUpdate->click();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_FALSE(prompt.messages[0].isEmpty());  // the error's description
    EXPECT_EQ(rows(), QStringList({QStringLiteral("1 KP 日本国憲法"), QStringLiteral("2 MP 民事"),
                                   QStringLiteral("3 CP 刑法")}));
    EXPECT_EQ(lines(w).size(), 3);
}

TEST_F(HtEditTest, RemoveKeepsTheDatabaseAndLeavesAGap) {
    store::openOrCreateLawDb(QStringLiteral("民事")).close();
    platform::ScriptedPrompt prompt;
    FrmHtEdit w;
    w.TxtHCode->setText(QStringLiteral("mp"));
    w.TxtHName->setText(QStringLiteral("x"));  // the name only has to be there
    w.CmdDel->click();
    EXPECT_EQ(rows(),
              QStringList({QStringLiteral("1 KP 日本国憲法"), QStringLiteral("3 CP 刑法")}));
    EXPECT_TRUE(dbExists(QStringLiteral("民事")));
    EXPECT_EQ(lines(w),
              QStringList({QStringLiteral("KP　日本国憲法"), QStringLiteral("CP　刑法")}));

    // count + 1 = 3 is taken by CP (番号 is the unique key): the new law goes past it.
    w.TxtHCode->setText(QStringLiteral("ab"));
    w.TxtHName->setText(QStringLiteral("民法"));
    w.CmdAdd->click();
    EXPECT_EQ(rows().last(), QStringLiteral("4 AB 民法"));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();

    // Removing every law empties the list rather than leaving the last line behind.
    for (const char* code : {"KP", "CP", "ab", "zz"}) {
        w.TxtHCode->setText(QString::fromLatin1(code));
        w.CmdDel->click();
    }
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(w.ListDsp->count(), 0);
}

TEST_F(HtEditTest, ARenameTheListCannotTakeLeavesTheLawUnderItsOldName) {
    const QString old = QStringLiteral("民事");
    store::openOrCreateLawDb(old).close();
    testsupport::addRecord(old, QStringLiteral("MP00010000010000"), QStringLiteral("本文"));
    const QByteArray bytes = testsupport::readFile(store::lawDbPath(old));
    const QString version = store::versionsFolder(old) + QStringLiteral("/20260101-000000.mdb");
    QDir().mkpath(store::versionsFolder(old));
    testsupport::writeFile(version, "x");
    store::openMasterDb().execute(
        QStringLiteral("create trigger refuse before update on 法典コード "
                       "begin select raise(abort, 'refused by test'); end"));
    const QStringList before = rows();
    platform::ScriptedPrompt prompt;
    FrmHtEdit w;
    w.TxtHCode->setText(QStringLiteral("MP"));
    w.TxtHName->setText(QStringLiteral("民法"));
    w.CmdAdd->click();
    ASSERT_EQ(prompt.messages.size(), 1);  // the error, no "renamed" message
    EXPECT_FALSE(prompt.messages[0].contains(QStringLiteral("変更しました")));
    EXPECT_EQ(rows(), before);
    EXPECT_FALSE(dbExists(QStringLiteral("民法")));
    EXPECT_EQ(testsupport::readFile(store::lawDbPath(old)), bytes);
    // Still readable through its code.
    EXPECT_EQ(store::GetHoutenName(QStringLiteral("MP")), old);
    store::Database db = store::openLawDb(old);
    EXPECT_EQ(db.openRecordset(QStringLiteral("select * from 条文")).recordCount(), 1);
    EXPECT_TRUE(QFileInfo::exists(version));
    EXPECT_FALSE(QFileInfo::exists(store::versionsFolder(QStringLiteral("民法"))));
}

}  // namespace

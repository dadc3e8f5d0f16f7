// The table-of-contents editor: key composition, article number forms, registration and the
// law tree.
#include "maint/tocedit.h"
#include "maint/ui/frmskedit.h"
#include "platform/prompt.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/testsupport.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace maint;

namespace {

const QString kLaw = QStringLiteral("民法");

class SKEditTest : public testsupport::TempRootTest {
  protected:
    void SetUp() override {
        TempRootTest::SetUp();
        store::openMasterDb().execute(QStringLiteral("insert into 法典コード values (?, ?, ?)"),
                                      {1, QStringLiteral("AB"), kLaw});
        store::MakeHoutenDB(store::folders().db, kLaw + QStringLiteral(".mdb"));
    }
    static void toc(const QString& code, const QString& heading, const QString& soj,
                    const QString& eoj, const QString& soj2 = {}, const QString& eoj2 = {}) {
        store::openLawDb(kLaw).execute(
            QStringLiteral("insert into 目次 values (?, ?, ?, ?, ?, ?)"),
            {code, heading, soj, eoj, soj2.isEmpty() ? soj : soj2, eoj2.isEmpty() ? eoj : eoj2});
    }
    // A heading row and `paragraphs` paragraph rows of article AB + number.
    static void article(const QString& number, int paragraphs) {
        store::Database db = store::openLawDb(kLaw);
        const QString code = QStringLiteral("AB") + number;
        const auto insert = QStringLiteral("insert into 条文 values (?, ?)");
        db.execute(insert,
                   {code + QStringLiteral("000001"), QStringLiteral("（見出し") + number + u'）'});
        for (int p = 1; p <= paragraphs; ++p) {
            const QString pp = QString::number(p).rightJustified(2, u'0');
            db.execute(insert, {code + pp + (paragraphs > 1 ? pp : QStringLiteral("00")) +
                                    QStringLiteral("00"),
                                QStringLiteral("本文") + QString::number(p)});
        }
    }
    static std::optional<TocRow> row(const QString& code) {
        store::Database db = store::openLawDb(kLaw);
        return readTocRow(db, code);
    }
    static int rowCount() {
        return store::openLawDb(kLaw)
            .openRecordset(QStringLiteral("select * from 目次 order by コード"))
            .recordCount();
    }
    static QStringList childKeys(const FrmSKEdit& f, const QString& key) {
        QStringList out;
        if (QTreeWidgetItem* n = f.TView1->node(key))
            for (int i = 0; i < n->childCount(); ++i)
                out << platform::KeyedTree::keyOf(n->child(i));
        return out;
    }
    static QString parentKey(const FrmSKEdit& f, const QString& key) {
        QTreeWidgetItem* n = f.TView1->node(key);
        return n ? platform::KeyedTree::keyOf(n->parent()) : QStringLiteral("<none>");
    }
};
TEST_F(SKEditTest, TypedLevelsComposeTheKeyAndLoadTheRowAsStored) {
    toc(QStringLiteral("AB01000000000000"), QStringLiteral("総則"), QStringLiteral("00000000"),
        QStringLiteral("00000000"));
    toc(QStringLiteral("AB01030200000000"), QStringLiteral("物"), QStringLiteral("00120203"),
        QStringLiteral("00150000"), QStringLiteral("00100000"), QStringLiteral("00200000"));
    platform::ScriptedPrompt prompt;
    FrmSKEdit f;
    EXPECT_EQ(f.objectName(), QStringLiteral("FrmSKEdit"));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("目次編集"));
    QTest::keyClicks(f.TxtHouten, QStringLiteral("ab"));
    EXPECT_TRUE(f.TView1->contains(QStringLiteral("AB01030200000000")));
    QTest::keyClicks(f.TxtHen, QStringLiteral("1"));
    QTest::keyClicks(f.TxtShou, QStringLiteral("3-2"));
    EXPECT_EQ(f.TxtKey->text(), QStringLiteral("AB01030200000000"));
    EXPECT_EQ(f.LabelKeyName->text(), QStringLiteral("民法 第1編 第3章の2"));
    EXPECT_EQ(f.LabelKeyName2->text(), QStringLiteral("民法 第1編 第3章の2 第0節 第0款 第0目"));
    EXPECT_EQ(f.TxtMidashi->text(), QStringLiteral("物"));
    EXPECT_EQ(f.TxtSOJ->text(), QStringLiteral("12-2-3"));
    EXPECT_EQ(f.TxtEOJ->text(), QStringLiteral("15"));
    EXPECT_EQ(f.TxtSOJ2->text(), QStringLiteral("10"));  // not overwritten by the SOJ copy
    EXPECT_EQ(f.TxtEOJ2->text(), QStringLiteral("20"));
    EXPECT_EQ(f.TView1->selectedKey(), QStringLiteral("AB01030200000000"));

    // Registering unchanged stores the same forms, in the one row.
    f.CmdAdd_Click();
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("登録しますか？")});
    std::optional<TocRow> r = row(QStringLiteral("AB01030200000000"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->soj, QStringLiteral("00120203"));
    EXPECT_EQ(r->soj2, QStringLiteral("00100000"));
    EXPECT_EQ(rowCount(), 2);

    // Typing into the attach boxes overwrites the display boxes.
    f.TxtSOJ->selectAll();
    QTest::keyClicks(f.TxtSOJ, QStringLiteral("7"));
    EXPECT_EQ(f.TxtSOJ2->text(), QStringLiteral("7"));
    QTest::keyClicks(f.TxtEOJ, QStringLiteral("-1"));
    EXPECT_EQ(f.TxtEOJ2->text(), QStringLiteral("15-1"));

    // A key with no row empties the boxes; an emptied key empties the labels.
    f.TxtShou->setText(QStringLiteral("4"));
    EXPECT_EQ(f.TxtMidashi->text(), QString());
    EXPECT_EQ(f.TxtSOJ2->text(), QString());
    f.TxtKey->clear();
    EXPECT_EQ(f.LabelKeyName->text(), QString());
    EXPECT_EQ(f.LabelKeyName2->text(), QString());

    // A shorter law code clears the tree.
    f.TxtHouten->setText(QStringLiteral("A"));
    EXPECT_EQ(f.TView1->nodeCount(), 0);
    EXPECT_EQ(prompt.messages.size(), 1);
}

TEST_F(SKEditTest, RegisteringWritesOneRowAndHangsTheRangeUnderIt) {
    for (const char* a : {"00120000", "00120200", "00140900", "00150000", "00150200", "00160000"})
        article(QString::fromLatin1(a), 2);
    toc(QStringLiteral("AB01000000000000"), QStringLiteral("総則"), QStringLiteral("00000000"),
        QStringLiteral("00000000"));
    platform::ScriptedPrompt prompt;
    FrmSKEdit f;
    f.TxtHouten->setText(QStringLiteral("ab"));
    f.TxtHen->setText(QStringLiteral("1"));
    f.TxtShou->setText(QStringLiteral("3"));
    f.TxtMidashi->setText(QStringLiteral("人"));
    f.TxtSOJ->setText(QStringLiteral("12"));
    f.TxtEOJ->setText(QStringLiteral("15"));

    // Cancel writes nothing.
    prompt.answers.push_back(platform::Answer::Cancel);
    f.CmdAdd_Click();
    EXPECT_EQ(rowCount(), 1);

    f.CmdAdd_Click();
    const QString key = QStringLiteral("AB01030000000000");
    ASSERT_TRUE(row(key));
    EXPECT_EQ(row(key)->eoj2, QStringLiteral("00150000"));
    EXPECT_EQ(parentKey(f, key), QStringLiteral("AB01000000000000"));
    EXPECT_EQ(platform::KeyedTree::textOf(f.TView1->node(key)),
              QStringLiteral("第3章 人　（12条～15条）"));
    EXPECT_EQ(childKeys(f, key),
              QStringList({QStringLiteral("AB00120000"), QStringLiteral("AB00120200"),
                           QStringLiteral("AB00140900"), QStringLiteral("AB00150000")}));
    EXPECT_EQ(platform::KeyedTree::textOf(f.TView1->node(QStringLiteral("AB00120200"))),
              QStringLiteral("第12条の2 【（見出し00120200）】"));
    EXPECT_EQ(
        childKeys(f, QStringLiteral("AB00150000")),
        QStringList({QStringLiteral("AB00150000010100"), QStringLiteral("AB00150000020200")}));
    EXPECT_EQ(platform::KeyedTree::textOf(f.TView1->node(QStringLiteral("AB00150000020200"))),
              QStringLiteral("② 本文2"));
    EXPECT_EQ(f.TView1->selectedKey(), key);

    // The same key again changes the row; 15-2 now takes in 第15条の2.
    f.TxtEOJ->setText(QStringLiteral("15-2"));
    f.CmdAdd_Click();
    EXPECT_EQ(rowCount(), 2);
    EXPECT_EQ(row(key)->eoj, QStringLiteral("00150200"));
    EXPECT_EQ(parentKey(f, QStringLiteral("AB00150200")), key);
    EXPECT_FALSE(f.TView1->contains(QStringLiteral("AB00160000")));

    // A 章 without 編 hangs under the law; empty ranges store zeros and take nothing in.
    f.TxtHen->clear();
    f.TxtShou->setText(QStringLiteral("9"));
    f.TxtMidashi->setText(QStringLiteral("附則"));
    f.TxtSOJ->clear();
    f.TxtEOJ->clear();
    f.CmdAdd_Click();
    const QString loose = QStringLiteral("AB00090000000000");
    EXPECT_EQ(row(loose)->soj, QStringLiteral("00000000"));
    EXPECT_EQ(row(loose)->eoj2, QStringLiteral("00000000"));
    EXPECT_EQ(parentKey(f, loose), QStringLiteral("AB00000000000000"));
    EXPECT_EQ(childKeys(f, loose), QStringList());

    // A range with too many "-" is stored empty and takes nothing in.
    f.TxtShou->setText(QStringLiteral("10"));
    f.TxtMidashi->setText(QStringLiteral("雑則"));
    f.TxtSOJ->setText(QStringLiteral("1-2-3-4"));
    f.TxtEOJ->setText(QStringLiteral("1-2-3-4"));
    f.CmdAdd_Click();
    EXPECT_EQ(row(QStringLiteral("AB00100000000000"))->soj2, QString());
    EXPECT_EQ(childKeys(f, QStringLiteral("AB00100000000000")), QStringList());
    EXPECT_EQ(prompt.messages.size(), 5);  // only the questions
    EXPECT_EQ(rowCount(), 4);
}

TEST_F(SKEditTest, DeleteRemovesTheChosenRowAfterAQuestion) {
    article(QStringLiteral("00010000"), 1);
    toc(QStringLiteral("AB01000000000000"), QStringLiteral("総則"), QStringLiteral("00010000"),
        QStringLiteral("00010000"));
    toc(QStringLiteral("AB01030000000000"), QStringLiteral("人"), QStringLiteral("00010000"),
        QStringLiteral("00010000"));
    platform::ScriptedPrompt prompt;
    FrmSKEdit f;
    f.TxtHouten->setText(QStringLiteral("AB"));
    f.TxtHen->setText(QStringLiteral("1"));
    f.TxtShou->setText(QStringLiteral("3"));
    ASSERT_EQ(f.TxtMidashi->text(), QStringLiteral("人"));
    const QString key = QStringLiteral("AB01030000000000");
    prompt.answers.push_back(platform::Answer::Cancel);
    f.CmdDel->click();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0],
              QStringLiteral("目次 AB01030000000000（民法 第1編 第3章 人）を削除しますか？"));
    EXPECT_EQ(prompt.buttons[0], platform::Buttons::OkCancel);
    EXPECT_TRUE(row(key));

    f.CmdDel->click();
    EXPECT_FALSE(row(key));
    EXPECT_TRUE(row(QStringLiteral("AB01000000000000")));
    EXPECT_FALSE(f.TView1->contains(key));
    EXPECT_TRUE(f.TView1->contains(QStringLiteral("AB01000000000000")));
    EXPECT_EQ(f.TxtMidashi->text(), QString());
    // Nothing left under the key: said, not asked.
    f.CmdDel->click();
    EXPECT_EQ(prompt.messages.last(), QStringLiteral("目次 AB01030000000000 はありません。"));
    EXPECT_EQ(prompt.messages.size(), 3);
}

TEST_F(SKEditTest, RefusalsAndRowsThatCannotBeShown) {
    article(QStringLiteral("00120000"), 1);
    article(QStringLiteral("00130000"), 1);
    platform::ScriptedPrompt prompt;
    FrmSKEdit f;
    f.TxtHouten->setText(QStringLiteral("AB"));
    f.TxtHen->setText(QStringLiteral("1"));
    f.CmdAdd_Click();
    EXPECT_EQ(prompt.messages.takeLast(), QStringLiteral("未入力項目があります。"));
    f.TxtShou->setText(QStringLiteral("100"));
    f.TxtMidashi->setText(QStringLiteral("総則"));  // after the key change that empties it
    f.CmdAdd_Click();
    EXPECT_EQ(prompt.messages.takeLast(), QStringLiteral("章の番号が不正です。"));
    f.TxtShou->clear();
    f.TxtMidashi->setText(QStringLiteral("総則"));
    f.TxtEOJ->setText(QStringLiteral("12345"));
    f.CmdAdd_Click();
    EXPECT_EQ(prompt.messages.takeLast(), QStringLiteral("含まれる条文（終了）の番号が不正です。"));
    f.TxtEOJ->clear();
    f.TxtKey->setText(QStringLiteral("AB01"));  // typed directly, too short
    f.TxtMidashi->setText(QStringLiteral("総則"));
    f.CmdAdd_Click();
    EXPECT_EQ(prompt.messages.takeLast(), QStringLiteral("目次コードが不正です。"));
    EXPECT_EQ(rowCount(), 0);
    EXPECT_TRUE(prompt.messages.isEmpty());

    // A listed law without its database: nothing written, nothing created.
    store::openMasterDb().execute(QStringLiteral("insert into 法典コード values (?, ?, ?)"),
                                  {2, QStringLiteral("CD"), QStringLiteral("刑法")});
    f.TxtHouten->setText(QStringLiteral("CD"));
    EXPECT_EQ(prompt.messages.takeLast(), QStringLiteral("コードが不正です。"));
    f.TxtMidashi->setText(QStringLiteral("総則"));
    f.CmdAdd_Click();
    EXPECT_EQ(prompt.messages.takeLast(), QStringLiteral("法典 CD のデータベースがありません。"));
    EXPECT_FALSE(QFileInfo::exists(store::lawDbPath(QStringLiteral("刑法"))));

    // Rows whose parent row is missing are reported once; the rest of the tree stands.
    // Overlapping ranges keep an article under the first entry without a message.
    toc(QStringLiteral("AB01000000000000"), QStringLiteral("総則"), QStringLiteral("00120000"),
        QStringLiteral("00120000"));
    toc(QStringLiteral("AB01010000000000"), QStringLiteral("通則"), QStringLiteral("00120000"),
        QStringLiteral("00130000"));
    toc(QStringLiteral("AB02010000000000"), QStringLiteral("孤児"), QStringLiteral("00140000"),
        QStringLiteral("00140000"));
    toc(QStringLiteral("AB02010001000000"), QStringLiteral("孫"), QStringLiteral("00140000"),
        QStringLiteral("00140000"));
    article(QStringLiteral("00140000"), 1);
    // An end stored empty names no range: no article under it, not the whole law.
    toc(QStringLiteral("AB03000000000000"), QStringLiteral("空"), QStringLiteral("00120000"),
        QString(), QStringLiteral("00120000"), QStringLiteral(" "));
    f.TxtHouten->setText(QStringLiteral("AB"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0], QStringLiteral("次の目次は親の目次がないため表示できません。\r\n"
                                                 "AB02010000000000\r\nAB02010001000000"));
    EXPECT_EQ(childKeys(f, QStringLiteral("AB01000000000000")),
              QStringList({QStringLiteral("AB00120000"), QStringLiteral("AB01010000000000")}));
    EXPECT_EQ(childKeys(f, QStringLiteral("AB01010000000000")),
              QStringList{QStringLiteral("AB00130000")});
    EXPECT_FALSE(f.TView1->contains(QStringLiteral("AB02010000000000")));
    EXPECT_FALSE(f.TView1->contains(QStringLiteral("AB00140000")));
    EXPECT_EQ(childKeys(f, QStringLiteral("AB03000000000000")), QStringList());
    // Law, three entries, two articles, two paragraphs.
    EXPECT_EQ(f.TView1->nodeCount(), 8);
    // The tree's content holds the article once, not a second time the tree then refuses.
    EXPECT_EQ(buildTocTree(QStringLiteral("AB")).nodes.size(), 8);
}

}  // namespace

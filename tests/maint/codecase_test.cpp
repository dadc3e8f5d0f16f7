// A law whose code was written in lower case is the same law as its upper-case code in every
// operation: opening, editing, listing, reordering, tables of contents.
#include "exchange/idximport.h"
#include "maint/artedit.h"
#include "maint/htedit.h"
#include "maint/lawimport.h"
#include "maint/tocedit.h"
#include "platform/prompt.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/testsupport.h"

using namespace maint;

namespace {

const QString kName = QStringLiteral("小文字法");

class CodeCaseTest : public testsupport::TempRootTest {
  protected:
    void SetUp() override {
        TempRootTest::SetUp();
        LawTextImporter importer;
        const ImportResult r = importer.run(
            QStringLiteral("法典コード=ab\r\n法典名称=小文字法\r\n\r\n（目的）\r\n第１条\r\n"
                           "目的の文。\r\n\r\n（定義）\r\n第２条\r\n(1)一項。\r\n(2)二項。"),
            {});
        ASSERT_EQ(r.articles, 2);
    }
    static int rows(const QString& sql) {
        return store::openLawDb(kName).openRecordset(sql).recordCount();
    }
};

TEST_F(CodeCaseTest, OpenedAndEditedByEitherCase) {
    platform::ScriptedPrompt prompt;
    // The import stores the code in upper case; either spelling finds it.
    EXPECT_EQ(store::readLawList().value(0).code, QStringLiteral("AB"));
    EXPECT_EQ(store::GetHoutenName(QStringLiteral("AB")), kName);
    EXPECT_EQ(store::GetHoutenName(QStringLiteral("ab")), kName);
    EXPECT_EQ(store::GetJouMidashi(kName, QStringLiteral("AB00010000010000")),
              QStringLiteral("目的"));

    for (const char* typed : {"AB2:2", "ab2:2"}) {
        const CodeEntry e = parseCodeEntry(QString::fromLatin1(typed));
        const QString code = makeRecordCode(e.law, e.number);
        const ArticleView v = FindJoubun(store::GetHoutenName(e.law), code);
        EXPECT_TRUE(v.hasHeading) << typed;
        ASSERT_TRUE(v.hasRecord) << typed;
        EXPECT_EQ(v.text, QStringLiteral("二項。"));
        EXPECT_EQ(v.codes.size(), 3) << typed;
    }
    // Writing by the upper-case code changes the stored rows instead of adding new ones.
    WriteJoubun(kName, QStringLiteral("AB00020000020200"), QStringLiteral("定義"),
                QStringLiteral("改めた二項。"));
    EXPECT_EQ(rows(QStringLiteral("select * from 条文")), 5);
    EXPECT_EQ(FindJoubun(kName, QStringLiteral("ab00020000020200")).text,
              QStringLiteral("改めた二項。"));
    EXPECT_TRUE(DeleteJoubun(kName, QStringLiteral("AB00020000020200")));
    EXPECT_FALSE(DeleteJoubun(kName, QStringLiteral("AB00020000020200")));  // gone already
    EXPECT_EQ(rows(QStringLiteral("select * from 条文")), 4);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'|').toStdString();
}

TEST_F(CodeCaseTest, ListedReorderedAndRemovedByEitherCase) {
    // The list editor registers by the upper-case code: the one row is renamed, not doubled.
    EXPECT_FALSE(registerLaw(QStringLiteral("AB"), kName, 1));
    QStringList lines = readLawListLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], QStringLiteral("AB　小文字法"));
    registerLaw(QStringLiteral("ZZ"), QStringLiteral("別法"), 1);
    // Reordering keeps the law reachable.
    lines = readLawListLines();
    lines.swapItemsAt(0, 1);
    writeLawOrder(lines);
    EXPECT_EQ(store::readLawList().value(1).code, QStringLiteral("AB"));
    EXPECT_EQ(store::GetHoutenName(QStringLiteral("ab")), kName);
    // Removing by the lower-case code removes the row stored in upper case.
    removeLaw(QStringLiteral("ab"));
    EXPECT_EQ(readLawListLines(), QStringList{QStringLiteral("ZZ　別法")});
}

TEST_F(CodeCaseTest, TablesOfContentsByEitherCase) {
    platform::ScriptedPrompt prompt;
    // An index file written in lower case is imported, not refused.
    const QString idx = path(QStringLiteral("idx.dat"));
    testsupport::writeFile(
        idx, testsupport::cp932(QStringLiteral("CODES ab\r\nab01000000000000&&00010000&&00010000&&"
                                               "00010000&&00010000&&総則\r\n")));
    const exchange::IdxImportResult r = exchange::ImportIdxFile(idx);
    EXPECT_EQ(r.added, 1);
    EXPECT_TRUE(r.skipped.isEmpty()) << r.skipped.join(u'|').toStdString();
    // The editor writes its keys in upper case; both rows hang under the law.
    {
        store::Database db = store::openLawDb(kName);
        writeTocRow(
            db,
            rowFromBoxes(composeTocKey({QStringLiteral("ab"), QStringLiteral("2"), {}, {}, {}, {}}),
                         QStringLiteral("定義の編"), QStringLiteral("2"), QStringLiteral("2"),
                         QStringLiteral("2"), QStringLiteral("2")));
    }
    for (const char* law : {"ab", "AB"}) {
        const TocTree tree = buildTocTree(QString::fromLatin1(law));
        ASSERT_TRUE(tree.lawFound) << law;
        EXPECT_TRUE(tree.orphans.isEmpty()) << law;
        EXPECT_TRUE(tree.badCodes.isEmpty()) << law;
        QStringList keys, parents;
        for (const TocNode& n : tree.nodes) keys << n.key, parents << n.parentKey;
        EXPECT_EQ(
            keys,
            QStringList({QStringLiteral("AB00000000000000"), QStringLiteral("AB01000000000000"),
                         QStringLiteral("AB00010000"), QStringLiteral("AB00010000010000"),
                         QStringLiteral("AB02000000000000"), QStringLiteral("AB00020000"),
                         QStringLiteral("AB00020000010100"), QStringLiteral("AB00020000020200")}))
            << law;
        EXPECT_EQ(parents[2], QStringLiteral("AB01000000000000"));
        EXPECT_EQ(parents[6], QStringLiteral("AB00020000"));
    }
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'|').toStdString();
}

}  // namespace

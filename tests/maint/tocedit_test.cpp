// The table-of-contents editor's keys, article numbers and checks.
#include "maint/tocedit.h"
#include "tests/support/testsupport.h"

using namespace maint;

namespace {

TEST(TocEditForms, KeysAndArticleNumbers) {
    EXPECT_EQ(composeTocKey(
                  {QStringLiteral("ab"), QStringLiteral("1"), QStringLiteral("3-2"), {}, {}, {}}),
              QStringLiteral("AB01030200000000"));
    EXPECT_EQ(composeTocKey({QStringLiteral("AB"),
                             QStringLiteral("1"),
                             QStringLiteral("3"),
                             QStringLiteral("4"),
                             {},
                             {}}),
              QStringLiteral("AB01030004000000"));
    EXPECT_EQ(composeTocKey({QStringLiteral("AB"),
                             {},
                             QStringLiteral("12"),
                             QStringLiteral("2-1"),
                             QStringLiteral("5"),
                             QStringLiteral("６")}),
              QStringLiteral("AB00120002010506"));
    EXPECT_EQ(levelPair(QStringLiteral("3-")),
              QStringLiteral("0300"));  // trailing dash is no branch

    const QStringList shortForms{QStringLiteral("12"),         QStringLiteral("12-3"),
                                 QStringLiteral("12-2-3"),     QStringLiteral("1"),
                                 QStringLiteral("9999-99-99"), QStringLiteral("3-0-2")};
    const QStringList stored{QStringLiteral("00120000"), QStringLiteral("00120300"),
                             QStringLiteral("00120203"), QStringLiteral("00010000"),
                             QStringLiteral("99999999"), QStringLiteral("00030002")};
    for (int i = 0; i < shortForms.size(); ++i) {
        EXPECT_EQ(GetSEOJ(shortForms[i]), stored[i]);
        EXPECT_EQ(GetCodeByHifun(stored[i]), shortForms[i]);
    }
    EXPECT_EQ(GetSEOJ(QString()), QStringLiteral("00000000"));
    EXPECT_EQ(GetSEOJ(QStringLiteral("1-2-3-4")), QString());
    EXPECT_EQ(GetSEOJ(QStringLiteral("１２-３")), QStringLiteral("00120300"));
    EXPECT_EQ(GetSEOJ(QStringLiteral("12-x")), QStringLiteral("0012x00"));  // kept as typed
    EXPECT_EQ(GetCodeByHifun(QString()), QString());
    // A value of another width is read field by field, so saving it unchanged keeps the article.
    EXPECT_EQ(GetCodeByHifun(QStringLiteral("001200")), QStringLiteral("12"));
    EXPECT_EQ(GetSEOJ(GetCodeByHifun(QStringLiteral("001200"))), QStringLiteral("00120000"));

    // Checks before a row is written.
    const TocLevels ok{
        QStringLiteral("AB"), QStringLiteral("99"), QStringLiteral("3-2"), {}, {}, {}};
    EXPECT_EQ(checkLevels(ok), QString());
    TocLevels bad = ok;
    bad.chapter = QStringLiteral("100");
    EXPECT_EQ(checkLevels(bad), QStringLiteral("章の番号が不正です。"));
    bad.chapter = QStringLiteral("3-100");
    EXPECT_EQ(checkLevels(bad), QStringLiteral("章の番号が不正です。"));
    bad = ok;
    bad.division = QStringLiteral("x");
    EXPECT_EQ(checkLevels(bad), QStringLiteral("目の番号が不正です。"));
    bad = ok;
    bad.section = QStringLiteral("-1");
    EXPECT_EQ(checkLevels(bad), QStringLiteral("節の番号が不正です。"));
    const QString box = QStringLiteral("含まれる条文（開始）");
    EXPECT_EQ(checkRangeText(QStringLiteral("12345"), box),
              box + QStringLiteral("の番号が不正です。"));
    EXPECT_EQ(checkRangeText(QStringLiteral("12-100"), box),
              box + QStringLiteral("の番号が不正です。"));
    EXPECT_EQ(checkRangeText(QStringLiteral("12-"), box),
              box + QStringLiteral("の番号が不正です。"));
    EXPECT_EQ(checkRangeText(QStringLiteral("9999-99-99"), box), QString());
    EXPECT_EQ(checkRangeText(QStringLiteral("1-2-3-4"), box), QString());
    EXPECT_EQ(checkRangeText(QString(), box), QString());
    EXPECT_EQ(checkTocKey(QStringLiteral("AB01")), QStringLiteral("目次コードが不正です。"));
    EXPECT_EQ(checkTocKey(QStringLiteral("AB00000000000000")),
              QStringLiteral("目次コードが不正です。"));
    EXPECT_EQ(checkTocKey(QStringLiteral("ab01000000000000")),
              QStringLiteral("目次コードが不正です。"));
    EXPECT_EQ(checkTocKey(QStringLiteral("AB01030200000000")), QString());
}

}  // namespace

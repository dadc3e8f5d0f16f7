// Codes rendered as the numbering the reader sees, and the typed article notation.
#include "store/codes.h"
#include "platform/prompt.h"
#include "platform/vb.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/notation.h"
#include "tests/support/testsupport.h"

#include <QFileInfo>

using namespace store;

namespace {

TEST(Codes, ArticleAndParagraphText) {
    EXPECT_EQ(GetJouKouText(QStringLiteral("00030000")), QStringLiteral("第3条"));
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00030000")), QStringLiteral("第3条"));
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00030203")), QStringLiteral("第3条の2の3"));
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00030202")), QStringLiteral("第3条の2の2"));
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00030100")),
              QStringLiteral("第3条"));  // branch 01 never shown
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00030001")), QStringLiteral("第3条"));
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00030000010000")), QString());
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00030000050500")), QStringLiteral("⑤ "));
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00030000010100")), QStringLiteral("① "));
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00030000202000")), QStringLiteral("⑳ "));
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00030000212100")), QStringLiteral("(21)"));
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP0003000001")), QString());
    // The maintenance program's form has no article-number input.
    EXPECT_EQ(GetJouKouText(QStringLiteral("00030000"), false), QString());
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00100200"), false), QStringLiteral("第10条の2"));
    // Letters in a numeric field are not a number.
    EXPECT_THROW(GetJouKouText(QStringLiteral("KP00x30000")), platform::ConversionError);
}

TEST(Codes, NegativeNumberFieldsAreRefused) {
    // A paragraph mark field reading as -1 gave U+245E, a character without a meaning.
    EXPECT_THROW(GetJouKouText(QStringLiteral("KP00040000-1-100")), platform::ConversionError);
    EXPECT_THROW(GetJouKouText(QStringLiteral("KP0004000001-100")), platform::ConversionError);
    EXPECT_THROW(GetJouKouText(QStringLiteral("KP-0040000")), platform::ConversionError);
    EXPECT_THROW(paragraphOrdinal(QStringLiteral("KP00040000-10100")), platform::ConversionError);
    EXPECT_THROW(GetJouKouText(QStringLiteral("KP00040000010X00")), platform::ConversionError);
    // Zero is the lowest value a field may have.
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00040000010000")), QString());
    EXPECT_EQ(GetJouKouText(QStringLiteral("KP00040000020200")), QStringLiteral("② "));
}

TEST(Codes, RangesHeadersAndLevels) {
    EXPECT_EQ(GetJouRangeText(QStringLiteral("00010000"), QStringLiteral("00110000")),
              QStringLiteral("（1条～11条）"));
    EXPECT_EQ(GetJouRangeText(QStringLiteral("00030200"), QStringLiteral("00030200")),
              QStringLiteral("（3条の2）"));
    EXPECT_EQ(GetJouRangeText(QStringLiteral("00030203"), QStringLiteral("00100000")),
              QStringLiteral("（3条の2の3～10条）"));

    QString label = QStringLiteral("unchanged");
    EXPECT_EQ(GetKouHeader(QStringLiteral("0303"), label), QStringLiteral("\r\n[第3項]\r\n"));
    EXPECT_EQ(label, QStringLiteral(" 第3項"));
    EXPECT_EQ(GetKouHeader(QStringLiteral("0100"), label), QStringLiteral("\r\n"));
    EXPECT_EQ(label, QString());

    label = QStringLiteral("unchanged");
    EXPECT_EQ(GetMokujiName(QStringLiteral("KP01000000000000"), label),
              QStringLiteral("KP00000000000000"));
    EXPECT_EQ(label, QStringLiteral("第1編"));
    EXPECT_EQ(GetMokujiName(QStringLiteral("KP01020300000000"), label),
              QStringLiteral("KP01000000000000"));
    EXPECT_EQ(label, QStringLiteral("第2章の3"));
    EXPECT_EQ(GetMokujiName(QStringLiteral("KP01020100000000"), label),
              QStringLiteral("KP01000000000000"));
    EXPECT_EQ(label, QStringLiteral("第2章の1"));  // a chapter branch of 1 is shown
    EXPECT_EQ(GetMokujiName(QStringLiteral("KP01020004020000"), label),
              QStringLiteral("KP01020000000000"));
    EXPECT_EQ(label, QStringLiteral("第4節の2"));
    EXPECT_EQ(GetMokujiName(QStringLiteral("KP01020004000500"), label),
              QStringLiteral("KP01020004000000"));
    EXPECT_EQ(label, QStringLiteral("第5款"));
    EXPECT_EQ(GetMokujiName(QStringLiteral("KP01020004000506"), label),
              QStringLiteral("KP01020004000500"));
    EXPECT_EQ(label, QStringLiteral("第6目"));
    label = QStringLiteral("unchanged");
    EXPECT_EQ(GetMokujiName(QStringLiteral("KP00000000000000"), label), QString());
    EXPECT_EQ(label, QStringLiteral("unchanged"));
}

TEST(Codes, KanjiNumeralsAndTrimming) {
    const QList<QPair<QString, int>> cases{{QStringLiteral("三"), 3},
                                           {QStringLiteral("十"), 10},
                                           {QStringLiteral("十三"), 13},
                                           {QStringLiteral("三十"), 30},
                                           {QStringLiteral("二十三"), 23},
                                           {QStringLiteral("百二十"), 120},
                                           {QStringLiteral("三百五"), 305},
                                           {QStringLiteral("千二百"), 1200},
                                           {QStringLiteral("千九百九十九"), 1999}};
    for (const auto& c : cases)
        EXPECT_EQ(KanjiNumberValue(c.first), c.second) << c.first.toStdString();
    EXPECT_EQ(KanjiDigitValue(QChar(u'〇')), 0);
    const QString digits = QStringLiteral("一二三四五六七八九");
    for (int i = 0; i < digits.size(); ++i) EXPECT_EQ(KanjiDigitValue(digits[i]), i + 1);

    platform::ScriptedPrompt prompt;
    ShowKanjiJouNumber(QStringLiteral("民法第五百四十一条の規定により"));
    ShowKanjiJouNumber(QStringLiteral("第三項"));      // no 条
    ShowKanjiJouNumber(QStringLiteral("前条第二項"));  // 条 before 第
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("541")});

    EXPECT_EQ(TrimTrailingCRLF(QStringLiteral("文。 \r\n\r\n")), QStringLiteral("文。"));
    EXPECT_EQ(TrimTrailingCRLF(QStringLiteral("\r\n\r\n\r\n")), QString());
    EXPECT_EQ(TrimTrailingCRLF(QStringLiteral("　一　号\r\n")), QStringLiteral("　一　号"));
    // A text without a line break at its end is left alone.
    EXPECT_EQ(TrimTrailingCRLF(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(TrimTrailingCRLF(QStringLiteral("abc  ")), QStringLiteral("abc  "));
    EXPECT_EQ(TrimTrailingCRLF(QStringLiteral("a\r")), QStringLiteral("a\r"));

    // Four digits at most: beyond any article number the reader fails instead of wrapping.
    EXPECT_EQ(KanjiNumberValue(QStringLiteral("九千九百九十九")), 9999);
    EXPECT_THROW(KanjiNumberValue(QStringLiteral("九千九百九十九一")), platform::ConversionError);
    EXPECT_THROW(KanjiNumberValue(QStringLiteral("千千千千千千千千千千")),
                 platform::ConversionError);
    int v = 0;
    EXPECT_THROW(kanjiArticleNumber(u'第' + QStringLiteral("九千").repeated(300000) + u'条', &v),
                 platform::ConversionError);
}

TEST(Codes, NumbersWrittenInKanjiAsStatutesDo) {
    // Each written form read back gives the number: the writer and the reader agree.
    const QList<QPair<int, const char*>> numbers{
        {1, "一"},         {9, "九"},    {10, "十"},         {11, "十一"},
        {20, "二十"},      {100, "百"},  {101, "百一"},      {110, "百十"},
        {415, "四百十五"}, {1000, "千"}, {1044, "千四十四"}, {9999, "九千九百九十九"}};
    for (const auto& [n, kanji] : numbers) {
        EXPECT_EQ(kanjiNumeral(n), QString::fromUtf8(kanji)) << n;
        EXPECT_EQ(KanjiNumberValue(kanjiNumeral(n)), n) << n;
    }
    // Past the limits: digits, never a wrong numeral.
    EXPECT_EQ(kanjiNumeral(0), QStringLiteral("0"));
    EXPECT_EQ(kanjiNumeral(10000), QStringLiteral("10000"));
    const QList<QPair<const char*, const char*>> labels{
        {"第415条 【債務不履行による損害賠償】", "第四百十五条 【債務不履行による損害賠償】"},
        {"第398条の2の3", "第三百九十八条の二の三"},
        {"第1章 総則　（1条～11条）", "第一章 総則　（一条～十一条）"},
        {"第2章の3 第12節", "第二章の三 第十二節"},
        {"② 第3項の規定", "② 第3項の規定"},  // only article numbers
        {"", ""}};
    for (const auto& [digits, kanji] : labels)
        EXPECT_EQ(kanjiArticleNumbers(QString::fromUtf8(digits)), QString::fromUtf8(kanji));
}

class NotationTest : public testsupport::TempRootTest {};

TEST_F(NotationTest, TypedNumbersBecomeCodes) {
    platform::ScriptedPrompt prompt;
    QString shown;
    EXPECT_EQ(ExtractCode(QStringLiteral("kp9"), &shown), QStringLiteral("KP00090000"));
    EXPECT_EQ(shown, QStringLiteral("KP9"));
    EXPECT_EQ(ExtractCode(QStringLiteral("KP3-2:1")), QStringLiteral("KP00030200010100"));
    EXPECT_EQ(ExtractCode(QStringLiteral("KP12-3-4")), QStringLiteral("KP00120304"));
    EXPECT_EQ(ExtractCode(QStringLiteral("mp541-2-3:4")), QStringLiteral("MP05410203040400"));
    EXPECT_EQ(ExtractCode(QStringLiteral("123")), QStringLiteral("1200030000"));
    EXPECT_EQ(ExtractCode(QString()), QString());
    EXPECT_TRUE(prompt.messages.isEmpty());

    EXPECT_EQ(ExtractCode(QStringLiteral("KPx")), QStringLiteral("KP00000000"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0], QStringLiteral("型が一致しません。\r\n\r\nx"));

    // A colon before a hyphen fails; the numbers read before the failure are kept.
    int a = 0, b1 = 0, b2 = 0, p = 0;
    EXPECT_FALSE(SplitJouNumber(QStringLiteral("3:2-1"), a, b1, b2, p));
    EXPECT_EQ(prompt.messages.size(), 2);
    a = b1 = b2 = p = 0;
    EXPECT_FALSE(SplitJouNumber(QStringLiteral("7-x"), a, b1, b2, p));
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b1, 0);
    EXPECT_TRUE(SplitJouNumber(QStringLiteral(" 5 - 2 "), a, b1, b2, p));
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b1, 2);
    // Numbers wider than the code fields are refused, not wrapped.
    EXPECT_FALSE(SplitJouNumber(QStringLiteral("99999"), a, b1, b2, p));
}

TEST_F(NotationTest, HtmlPathCreatesItsFolders) {
    const QString page = GetHtmlPath(QStringLiteral("KP00030200010100"));
    EXPECT_EQ(page, folders().html + QStringLiteral("/KP/KP00030200010100.html"));
    EXPECT_TRUE(QFileInfo(folders().html + QStringLiteral("/KP")).isDir());
    EXPECT_FALSE(QFileInfo::exists(page));
}

TEST_F(NotationTest, MokujiPathWhileTyping) {
    QDir().mkpath(folders().db);
    {
        Database db = openMasterDb();
        db.execute(QStringLiteral("insert into 法典コード values (1, 'KP', '日本国憲法')"));
    }
    QString full;
    EXPECT_EQ(GetMokujiPathText(QStringLiteral("KP01020000000000"), full),
              QStringLiteral("日本国憲法 第1編 第2章"));
    EXPECT_EQ(full, QStringLiteral("日本国憲法 第1編 第2章 第0節 第0款 第0目"));
    EXPECT_EQ(GetMokujiPathText(QStringLiteral("KP0102030405"), full),
              QStringLiteral("日本国憲法 第1編 第2章の3 第4節の5"));
    full = QStringLiteral("unchanged");
    EXPECT_EQ(GetMokujiPathText(QStringLiteral("KP01a"), full), QString());
    EXPECT_EQ(full, QStringLiteral("unchanged"));
}

}  // namespace

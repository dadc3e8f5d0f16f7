// The reader's 設定 kept and checked, the six buttons' laws, what a print takes of a law, and
// the tree's numbers in kanji.
#include "viewer/shell/reading.h"
#include "platform/settings.h"
#include "tests/support/testsupport.h"
#include "viewer/browser/display.h"
#include "viewer/browser/lawtree.h"

#include <QDir>
#include <QFile>

using namespace viewer;

namespace {

class ReadingTest : public testsupport::TempRootTest {};

QList<store::LawEntry> listOf(int count) {
    QList<store::LawEntry> laws;
    for (int i = 1; i <= count; ++i)
        laws << store::LawEntry{i, QStringLiteral("L%1").arg(i), QStringLiteral("法%1").arg(i)};
    return laws;
}

TEST_F(ReadingTest, KeptBetweenStartsAndTheFirstValuesWithoutAChoice) {
    const ReadingSettings first = loadReadingSettings();
    EXPECT_EQ(first.apiAddress, QStringLiteral("https://laws.e-gov.go.jp/api/2"));
    EXPECT_EQ(first.fontSize, kReadingSize);
    EXPECT_EQ(first.lineSpacing, 100);
    EXPECT_TRUE(first.wholeArticles);
    EXPECT_FALSE(first.kanjiNumbers);
    EXPECT_FALSE(first.searchParts);
    EXPECT_TRUE(first.lawButtons.isEmpty());
    ReadingSettings s = first;
    s.apiAddress = QStringLiteral("http://127.0.0.1:8080/api/2");
    s.dataRoot = path(QStringLiteral("elsewhere"));
    s.fontFamily = QStringLiteral("IPAMincho");
    s.fontSize = 14.5;
    s.lineSpacing = 150;
    s.wholeArticles = false;
    s.kanjiNumbers = true;
    s.searchParts = true;
    s.lawButtons = {QStringLiteral("MP"), QStringLiteral("KP")};
    saveReadingSettings(s);
    EXPECT_EQ(loadReadingSettings(), s);
    // Values no window writes (edited by hand) give way to the first ones.
    platform::Settings view(QStringLiteral("LXA"), QStringLiteral("VIEW"));
    view.save(QStringLiteral("ReadingFontSize"), QStringLiteral("500"));
    view.save(QStringLiteral("LineSpacing"), QStringLiteral("abc"));
    EXPECT_EQ(loadReadingSettings().fontSize, kReadingSize);
    EXPECT_EQ(loadReadingSettings().lineSpacing, 100);
}

TEST_F(ReadingTest, AChoiceThatCannotBeKeptIsNamed) {
    QFile file(path(QStringLiteral("a-file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QList<store::LawEntry> laws = listOf(8);
    ReadingSettings good = loadReadingSettings();
    good.fontFamily = QStringLiteral("IPAMincho");
    EXPECT_EQ(readingSettingsProblem(good, laws), QString());
    struct Case {
        const char* what;
        std::function<void(ReadingSettings&)> change;
        const char* problem;  // empty: kept
    };
    const QString root = path(QStringLiteral("not-yet"));
    const Case cases[] = {
        {"http", [](auto& s) { s.apiAddress = QStringLiteral("http://localhost:9/api/2"); }, ""},
        {"ftp", [](auto& s) { s.apiAddress = QStringLiteral("ftp://host/api"); },
         "API のアドレスは http:// か https:// で始まるアドレスです: ftp://host/api"},
        {"no host", [](auto& s) { s.apiAddress = QStringLiteral("https://"); },
         "API のアドレスは http:// か https:// で始まるアドレスです: https://"},
        {"a folder not there yet", [&](auto& s) { s.dataRoot = root; }, ""},
        {"relative", [](auto& s) { s.dataRoot = QStringLiteral("laws"); },
         "データの場所はフォルダの完全なパスです: laws"},
        {"a file", [&](auto& s) { s.dataRoot = file.fileName(); }, "file"},
        {"no font", [](auto& s) { s.fontFamily = QStringLiteral(" "); },
         "フォントを選んでください"},
        {"smallest", [](auto& s) { s.fontSize = 6; }, ""},
        {"below", [](auto& s) { s.fontSize = 5.9; }, "文字の大きさは 6 から 72 ポイントです"},
        {"largest", [](auto& s) { s.fontSize = 72; }, ""},
        {"above", [](auto& s) { s.fontSize = 72.5; }, "文字の大きさは 6 から 72 ポイントです"},
        {"spacing 300", [](auto& s) { s.lineSpacing = 300; }, ""},
        {"spacing 301", [](auto& s) { s.lineSpacing = 301; }, "行間は 100 から 300 % です"},
        {"spacing 99", [](auto& s) { s.lineSpacing = 99; }, "行間は 100 から 300 % です"},
        {"six buttons",
         [](auto& s) {
             s.lawButtons = {QStringLiteral("L6"), QStringLiteral("L5"), QStringLiteral("L4"),
                             QStringLiteral("L3"), QStringLiteral("L2"), QStringLiteral("l1")};
         },
         ""},
        {"seven buttons",
         [](auto& s) {
             for (int i = 1; i <= 7; ++i) s.lawButtons << QStringLiteral("L%1").arg(i);
         },
         "法典ボタンは 6 個までです"},
        {"unlisted", [](auto& s) { s.lawButtons = {QStringLiteral("ZZ")}; },
         "法典コード ZZ は一覧にありません"},
        {"twice",
         [](auto& s) {
             s.lawButtons = {QStringLiteral("L2"), QStringLiteral("l2")};
         },
         "法典コード l2 が二つのボタンにあります"}};
    for (const Case& c : cases) {
        ReadingSettings s = good;
        c.change(s);
        const QString expected = QString::fromUtf8(c.problem);
        const QString problem = readingSettingsProblem(s, laws);
        if (expected == QStringLiteral("file"))
            EXPECT_EQ(problem,
                      QStringLiteral("データの場所はフォルダではありません: ") + file.fileName());
        else
            EXPECT_EQ(problem, expected) << c.what;
    }
}

TEST(ReadingButtonsTest, TheChosenLawsInTheirOrderElseTheFirstSixByNumber) {
    const QList<store::LawEntry> laws = listOf(8);
    auto codes = [](const QList<store::LawEntry>& chosen) {
        QStringList out;
        for (const store::LawEntry& e : chosen) out << e.code;
        return out.join(u' ');
    };
    struct Case {
        QStringList chosen;
        int listed;
        const char* buttons;
    };
    const Case cases[] = {
        {{}, 8, "L1 L2 L3 L4 L5 L6"},
        {{}, 3, "L1 L2 L3"},
        {{QStringLiteral("L8"), QStringLiteral("l2")}, 8, "L8 L2"},
        // A chosen law removed from the list leaves its button; none left: the default.
        {{QStringLiteral("L8"), QStringLiteral("ZZ"), QStringLiteral("L1")}, 8, "L8 L1"},
        {{QStringLiteral("ZZ")}, 8, "L1 L2 L3 L4 L5 L6"},
        {{QStringLiteral("L7"), QStringLiteral("L6"), QStringLiteral("L5"), QStringLiteral("L4"),
          QStringLiteral("L3"), QStringLiteral("L2"), QStringLiteral("L1")},
         8,
         "L7 L6 L5 L4 L3 L2"},
        {{}, 0, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(codes(buttonLaws(c.chosen, laws.mid(0, c.listed))), QString::fromUtf8(c.buttons))
            << c.chosen.join(u' ').toStdString();
}

// A law of two chapters, an article of two paragraphs, and a 附則 of two articles.
LawTree smallLaw() {
    LawTree t;
    t.law = QStringLiteral("ZZ");
    t.name = QStringLiteral("試験法");
    t.toc = true;
    const QString root = tocRootKey(t.law);
    auto add = [&](const QString& parent, const char* key, const char* text) {
        t.nodes << TreeNode{parent, QString::fromLatin1(key), QString::fromUtf8(text)};
    };
    add({}, "ZZ00000000000000", "試験法");
    add(root, "ZZ01000000000000", "第1章 総則　（1条～2条）");
    add(QStringLiteral("ZZ01000000000000"), "ZZ00010000", "第1条 【目的】");
    add(QStringLiteral("ZZ00010000"), "ZZ00010000010000", "この法律は、試験を定める。");
    add(QStringLiteral("ZZ01000000000000"), "ZZ00020000", "第2条");
    add(QStringLiteral("ZZ00020000"), "ZZ00020000010100", "① 第1条の試験は、年に一回とする。");
    add(QStringLiteral("ZZ00020000"), "ZZ00020000020200", "② 前項の規定は、第10条に従う。");
    add(root, "ZZ02000000000000", "第2章 雑則　（3条）");
    add(QStringLiteral("ZZ02000000000000"), "ZZ00030000", "第3条");
    add(QStringLiteral("ZZ00030000"), "ZZ00030000010000", "削除");
    const QString suppl = partKey(t.law, 1);
    t.nodes << TreeNode{root, suppl, QStringLiteral("附則")};
    t.nodes << TreeNode{suppl, suppl + QStringLiteral("-001"),
                        QStringLiteral("第一条　施行する。")};
    t.nodes << TreeNode{suppl + QStringLiteral("-001"), suppl + QStringLiteral("-001-1"),
                        QStringLiteral("項")};
    store::LawPart part;
    part.kind = QStringLiteral("附則");
    part.label = QStringLiteral("附則");
    part.text = QStringLiteral("第一条　施行する。\r\n第二条　経過する。");
    t.parts.insert(suppl, part);
    return t;
}

TEST(PrintedTextTest, ANodeAsShownOrEverythingBelowItOnce) {
    const LawTree t = smallLaw();
    // The node alone is what the pane shows, an article whole.
    EXPECT_EQ(printedText(t, QStringLiteral("ZZ00020000"), PrintScope::Node),
              nodeShownText(t, QStringLiteral("ZZ00020000"), true));
    // A chapter: its place, then each article whole, and nothing of the next chapter.
    EXPECT_EQ(*printedText(t, QStringLiteral("ZZ01000000000000"), PrintScope::Below),
              QStringLiteral("試験法\r\n第1章 総則　（1条～2条）\r\n\r\n第1条 【目的】\r\n\r\n"
                             "この法律は、試験を定める。\r\n\r\n第2条\r\n\r\n① 第1条の試験は、"
                             "年に一回とする。\r\n\r\n② 前項の規定は、第10条に従う。"));
    // The whole law: no second title, the last chapter, the 附則 whole once.
    const QString whole = *printedText(t, QStringLiteral("ZZ00000000000000"), PrintScope::Below);
    EXPECT_TRUE(whole.startsWith(QStringLiteral("第1章 総則"))) << whole.toStdString();
    EXPECT_TRUE(
        whole.endsWith(QStringLiteral("第3条\r\n\r\n削除\r\n\r\n附則\r\n\r\n"
                                      "第一条　施行する。\r\n第二条　経過する。")))
        << whole.toStdString();
    EXPECT_EQ(whole.count(QStringLiteral("施行する")), 1);
    EXPECT_FALSE(printedText(t, QStringLiteral("ZZ09990000"), PrintScope::Below).has_value());
}

TEST(PrintedTextTest, NumbersInKanjiForArticlesAndHeadingsOnly) {
    LawTree t = smallLaw();
    writeNumbersInKanji(t);
    auto text = [&](const char* key) {
        for (const TreeNode& n : t.nodes)
            if (n.key == QString::fromLatin1(key)) return n.text;
        return QString();
    };
    EXPECT_EQ(text("ZZ01000000000000"), QStringLiteral("第一章 総則　（一条～二条）"));
    EXPECT_EQ(text("ZZ00010000"), QStringLiteral("第一条 【目的】"));
    // The law's own words stay as they are, digits and all.
    EXPECT_EQ(text("ZZ00020000010100"), QStringLiteral("① 第1条の試験は、年に一回とする。"));
    EXPECT_EQ(text("ZZ00000000000000"), QStringLiteral("試験法"));
}

}  // namespace

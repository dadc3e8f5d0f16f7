// The forgiving reading of what a reader types to jump: numbers at their limits and one past,
// statute and input-method forms, and the resolution against a law's records.
#include "viewer/shell/lookup.h"
#include "exchange/htfile.h"
#include "exchange/lawparts.h"
#include "exchange/lawxml.h"
#include "platform/textfile.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/samplelaws.h"
#include "tests/support/testsupport.h"
#include "viewer/browser/display.h"
#include "viewer/browser/lawtree.h"
#include "viewer/shell/session.h"

using namespace viewer;

namespace {

TEST(ShortNumberTest, FormsAndLimits) {
    struct Case {
        const char* text;
        bool ok;
        int article = 0, branch1 = 0, branch2 = 0, paragraph = 0;
    };
    const Case cases[] = {
        {"415", true, 415},
        {"415-2-3:4", true, 415, 2, 3, 4},
        {"第415条の2の3第4項", true, 415, 2, 3, 4},
        {"第七条ノ二", true, 7, 2},
        {"四百十五", true, 415},
        {"千二百二十四条", true, 1224},
        {"415条2項", true, 415, 0, 0, 2},
        {" 415 : 2 ", true, 415, 0, 0, 2},
        {"9999-99-99:99", true, 9999, 99, 99, 99},
        {"10000", false},
        {"1-100", false},
        {"1:100", false},
        {"0", false},
        {"", false},
        {"第", false},
        {"415条の", false},
        {"415:", false},
        {"415-2-3-4", false},
        {"415第2", false},
        {"415x", false},
        {"万", false},
    };
    for (const Case& c : cases) {
        ShortNumber n;
        const bool ok = parseShortNumber(QString::fromUtf8(c.text), &n);
        EXPECT_EQ(ok, c.ok) << c.text;
        if (!ok || !c.ok) continue;
        EXPECT_EQ(n.article, c.article) << c.text;
        EXPECT_EQ(n.branch1, c.branch1) << c.text;
        EXPECT_EQ(n.branch2, c.branch2) << c.text;
        EXPECT_EQ(n.paragraph, c.paragraph) << c.text;
    }
    EXPECT_EQ(halfWidthAscii(QStringLiteral("ＭＰ４１５：２　－ー")), QStringLiteral("MP415:2 --"));
}

class LookupTest : public testsupport::SampleLawsTest {};

TEST_F(LookupTest, NamesCodesAndCurrentLawResolveToNodesOrSayWhy) {
    struct Case {
        const char* typed;
        const char* current;
        const char* code;
        const char* shownOrError;
    };
    const Case cases[] = {
        {"mp415:2", "", "MP04150000020200", "MP415:2"},
        {"民法415", "", "MP04150000", "MP415"},
        {"民事訴訟法1", "", "MS00010000", "MS1"},  // the longest name wins over 民法
        {"12", "KP", "KP00120000", "KP12"},
        {"第九条", "KP", "KP00090000", "KP9"},
        {"KP1:1", "", "KP00010000010000", "KP1:1"},
        {"KP1:2", "", "", "KP1:2: 日本国憲法第1条に第2項はありません"},
        {"12", "", "", "12: 法典コードか法典名で始めてください（例: MP415:2、民法415）"},
        {"　", "", "", "条番号を入力してください（例: MP415:2、民法415）"},
        {"ZZ1", "", "", "ZZ: 登録されていない法典コードです"},
        {"MP9999", "", "", "MP9999: 民法に第9999条はありません"},
    };
    for (const Case& c : cases) {
        const LookupTarget t =
            resolveLookup(QString::fromUtf8(c.typed), QString::fromLatin1(c.current));
        EXPECT_EQ(t.code, QString::fromLatin1(c.code)) << c.typed;
        EXPECT_EQ(t.code.isEmpty() ? t.error : t.shown, QString::fromUtf8(c.shownOrError))
            << c.typed;
    }
}

// A law under a kanji code (past the 936 ASCII ones): imported by lexctl under it, typed with
// a number as any code is, written to ht.dat in CP932 and read back.
TEST_F(LookupTest, AKanjiCodeIsTypedAndWrittenToTheExchangeFiles) {
    const testsupport::ProcessResult imported =
        lexctl({QStringLiteral("import-xml"),
                QStringLiteral("国賠=" LEXORA_FIXTURES_DIR "/kokka-baisho.xml")});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const std::pair<const char*, const char*> cases[] = {
        {"国賠1", "国賠00010000"},
        {"国賠第二条第一項", "国賠00020000010100"},
        {"国賠1:1", "国賠00010000010100"},
        {"国1", ""},
        {"一二1", ""},
        // the law XML's abbreviation, and a reader's (a listed code of two kanji wins over
        // one of two characters)
        {"国賠法3", "国賠00030000"},
        {"民訴百三十三", "MS01330000"},
        {"刑訴法1", "CS00010000"},
    };
    for (const auto& [typed, code] : cases)
        EXPECT_EQ(resolveLookup(QString::fromUtf8(typed)).code, QString::fromUtf8(code)) << typed;
    EXPECT_EQ(resolveLookup(QStringLiteral("国1")).error,
              QStringLiteral("国1: 法典コードか法典名で始めてください（例: MP415:2、民法415）"));
    ASSERT_EQ(lexctl({QStringLiteral("make-ht")}).exitCode, 0);
    const QString ht = store::folders().program + QStringLiteral("/ht.dat");
    QString text;
    ASSERT_TRUE(platform::decodeCp932(testsupport::readFile(ht), &text));
    EXPECT_TRUE(text.contains(QStringLiteral("\n8 国賠 国家賠償法"))) << text.toStdString();
    store::Database master = store::openMasterDb();
    master.execute(QStringLiteral("delete from 法典コード"));
    const exchange::HtLoadResult read = exchange::loadHtFileFrom(ht);
    EXPECT_TRUE(read.skipped.isEmpty()) << read.skipped.join(u'\n').toStdString();
    EXPECT_EQ(store::GetHoutenName(QStringLiteral("国賠")), QStringLiteral("国家賠償法"));
}

// A part by its kind, an amendment's 附則 by its law number in any of the forms a reader
// types, an article of a 附則 by its number; what is not there, or not readable, said.
TEST_F(LookupTest, PartsResolveByKindLawNumberAndArticle) {
    {
        exchange::LawXml law = exchange::convertLawXml(
            testsupport::readFile(QStringLiteral(LEXORA_SAMPLE_DIR "/../xml/MP.xml")),
            QStringLiteral("MP"));
        law.parts << exchange::readLawPart(
            QStringLiteral("AppdxTable"),
            "<AppdxTable><AppdxTableTitle>別表第一</AppdxTableTitle></AppdxTable>", 1);
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        store::writeLawParts(db, law.parts);
    }
    const struct {
        const char *typed, *code, *error;
    } cases[] = {
        {"MP附則(H29-44)", "MPP00051", ""},
        {"ｍｐ附則（平成２９年法律第４４号）", "MPP00051", ""},
        {"民法附則(平成二九年六月二日法律第四四号)第三条", "MPP00051-003", ""},
        {"MP附則 (H29-44) 2", "MPP00051-002", ""},
        {"MP附則(R元-2)", "MPP00054", ""},
        {"MP附則(H29-45)", "", "MP附則(H29-45): 民法にH29-45の附則はありません"},
        {"MP附則", "", "MP附則: 民法に制定時の附則はありません"},
        {"MP附則(H29)", "", "MP附則(H29): 法令番号が読み取れません"},
        {"MP附則(X29-44)", "", "MP附則(X29-44): 法令番号が読み取れません"},
        {"MP附則(H29-44", "", "MP附則(H29-44: （ に対応する ） がありません"},
        {"MP附則(H29-44)99", "",
         "MP附則(H29-44)99: 民法の附則（平成二九年六月二日法律第四四号）に99はありません"},
        {"MP附則(H29-44)x", "", "MP附則(H29-44)x: 条番号が読み取れません"},
        {"MP別表", "MPP00066", ""},
        {"MP別表第一", "MPP00066", ""},
        {"MP別表2", "", "MP別表2: 民法に別表2はありません"},
        {"MP別表一の", "", "MP別表一の: 別表の番号が読み取れません"},
        {"MP別表(H1-1)", "", "MP別表(H1-1): 法令番号で選べるのは附則だけです"},
        {"KP前文", "KP000000000000002", ""},
        // numbers counted (十, 百), eras by letter, a kind other than 法律 told apart
        {"MP附則(平成十六年法律第百四十七号)", "MPP00038", ""},
        {"MP附則(平成一五年七月一六日法律第一〇九号)", "MPP00033", ""},
        {"MP附則(S22-222)", "MPP00004", ""},
        {"MP附則(S13-18)第一項", "MPP00002-001", ""},  // a paragraph of one without articles
        {"MP附則(T15-69)", "MPP00001", ""},
        {"MP附則(M29-89)", "", "MP附則(M29-89): 民法にM29-89の附則はありません"},
        {"MP附則(平成29年政令第44号)", "", "MP附則(平成29年政令第44号): 民法に平成29年政令"},
    };
    for (const auto& c : cases) {
        const LookupTarget t = resolveLookup(QString::fromUtf8(c.typed));
        EXPECT_EQ(t.code, QString::fromLatin1(c.code)) << c.typed;
        const QString error = QString::fromUtf8(c.error);
        EXPECT_EQ(t.error.left(error.size()), error) << c.typed;
        EXPECT_EQ(t.error.isEmpty(), error.isEmpty()) << c.typed;
    }
    // F1 in a law's tree: the part of the current law.
    EXPECT_EQ(resolveLookup(QStringLiteral("附則(H29-44)2"), QStringLiteral("MP")).code,
              QStringLiteral("MPP00051-002"));
    EXPECT_EQ(resolveLookup(QStringLiteral("MP附則(H29-44)2")).place,
              QStringLiteral("附則（平成二九年六月二日法律第四四号） 2"));
}

}  // namespace

namespace {

class OneArticleTest : public testsupport::TempRootTest {};

TEST_F(OneArticleTest, ALawOfOneArticleOfOneSentence) {
    testsupport::addLaw(1, QStringLiteral("AA"), QStringLiteral("一条法"));
    testsupport::addRecord(QStringLiteral("一条法"), QStringLiteral("AA00010000000001"),
                           QStringLiteral(" "));
    testsupport::addRecord(QStringLiteral("一条法"), QStringLiteral("AA00010000010000"),
                           QStringLiteral("この法律は、公布の日から施行する。"));
    EXPECT_EQ(viewer::resolveLookup(QStringLiteral("一条法1")).code, QStringLiteral("AA00010000"));
    EXPECT_EQ(viewer::resolveLookup(QStringLiteral("aa1:1")).code,
              QStringLiteral("AA00010000010000"));
    EXPECT_EQ(viewer::resolveLookup(QStringLiteral("AA1:2")).error,
              QStringLiteral("AA1:2: 一条法第1条に第2項はありません"));
    EXPECT_EQ(viewer::resolveLookup(QStringLiteral("AA2")).error,
              QStringLiteral("AA2: 一条法に第2条はありません"));
    // A full title kept with the law is its tree's root.
    {
        store::Database db = store::openLawDb(QStringLiteral("一条法"));
        store::LawInfo info;
        info.title = QStringLiteral("一の条のみからなる法律");
        store::writeLawInfo(db, info);
    }
    EXPECT_EQ(viewer::buildLawTree(QStringLiteral("AA"), 0).nodes.value(0).text,
              QStringLiteral("一の条のみからなる法律"));
    // Its whole article: the place, a blank line, the one paragraph without a mark.
    EXPECT_EQ(viewer::wholeArticleText(QStringLiteral("一条法\r\n第1条"),
                                       {QStringLiteral("この法律は、公布の日から施行する。")}),
              QStringLiteral("一条法\r\n第1条\r\n\r\nこの法律は、公布の日から施行する。"));
}

TEST(SessionTest, HistoryKeepsTheNewestCopiesUpToTheLimit) {
    viewer::ViewSession v;
    for (int i = 0; i < 502; ++i) {
        v.history.prepend(QStringLiteral("copy %1").arg(i));  // newest first
        v.historyHeaders.prepend(QStringLiteral("head %1").arg(i));
        v.copyLog += QStringLiteral("SEPARATOR") + QStringLiteral("text %1\r\n").arg(i);
    }
    viewer::trimHistory(v, 500);
    EXPECT_EQ(v.history.size(), 500);
    EXPECT_EQ(v.history.first(), QStringLiteral("copy 501"));
    EXPECT_EQ(v.history.last(), QStringLiteral("copy 2"));
    EXPECT_EQ(v.historyHeaders.last(), QStringLiteral("head 2"));
    EXPECT_TRUE(v.copyLog.startsWith(QStringLiteral("SEPARATORtext 2\r\n")));
    EXPECT_EQ(v.copyLog.count(QStringLiteral("SEPARATOR")), 500);
    // At the limit nothing goes.
    const viewer::ViewSession before = v;
    viewer::trimHistory(v, 500);
    EXPECT_EQ(v.copyLog, before.copyLog);
    EXPECT_EQ(v.history, before.history);
}

TEST(ShortNumberTest, CodesReadAsShortNumbers) {
    const std::pair<const char*, const char*> cases[] = {
        {"MP07090000", "MP709"},
        {"MP00030200", "MP3-2"},
        {"MP03980203", "MP398-2-3"},
        {"MP04150000010000", "MP415"},  // a single paragraph is its article
        {"MP04150000010100", "MP415:1"},
        {"MP04150000020200", "MP415:2"},
        {"MP0415000", ""},
        {"MP041500000200", ""},
    };
    for (const auto& [code, shown] : cases)
        EXPECT_EQ(shortNumberOf(QString::fromLatin1(code)), QString::fromLatin1(shown)) << code;
}

}  // namespace

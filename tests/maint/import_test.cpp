// The law text import on the real sample laws and on the edge cases of the text format.
#include "maint/lawimport.h"
#include "platform/prompt.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QThread>

using namespace maint;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

class ImportTest : public testsupport::TempRootTest {
  protected:
    ImportResult importText(const QString& text, ImportOptions options = {}) {
        LawTextImporter importer;
        return importer.run(text, options);
    }
    ImportResult importSample(const char* file) {
        return importText(
            readLawTextFile(testsupport::sampleDir() + u'/' + QString::fromLatin1(file)));
    }
    QMap<QString, QString> records(const QString& law) {
        QMap<QString, QString> out;
        store::Database db = store::openLawDb(law);
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
        for (; !rs.eof(); rs.moveNext())
            out.insert(rs.text(QStringLiteral("条項コード")), rs.text(QStringLiteral("条文")));
        return out;
    }
    QString record(const QString& law, const QString& code) {
        return records(law).value(code, QStringLiteral("<none>"));
    }
};
TEST_F(ImportTest, EverySampleLawImportsWithItsCounts) {
    platform::ScriptedPrompt prompt;
    struct Law {
        const char* file;
        QString name;
        int articles, paragraphs;
    };
    const QList<Law> laws{{"KP.txt", QStringLiteral("日本国憲法"), 103, 160},
                          {"MP.txt", QStringLiteral("民法"), 1224, 2002},
                          {"CP.txt", QStringLiteral("刑法"), 308, 456},
                          {"KS.txt", QStringLiteral("会社法"), 1080, 3041},
                          {"MS.txt", QStringLiteral("民事訴訟法"), 453, 914},
                          {"CS.txt", QStringLiteral("刑事訴訟法"), 718, 1400},
                          {"GT.txt", QStringLiteral("行政手続法"), 48, 105}};
    for (const Law& law : laws) {
        const ImportResult r = importSample(law.file);
        EXPECT_EQ(r.articles, law.articles) << law.file;
        EXPECT_FALSE(r.stopped) << law.file;
        EXPECT_TRUE(r.skipped.isEmpty()) << law.file;
        const QMap<QString, QString> recs = records(law.name);
        int headings = 0;
        for (auto it = recs.begin(); it != recs.end(); ++it)
            headings += it.key().endsWith(QStringLiteral("000001"));
        EXPECT_EQ(headings, law.articles) << law.file;
        EXPECT_EQ(recs.size() - headings, law.paragraphs) << law.file;
    }
    EXPECT_TRUE(prompt.messages.isEmpty());
    const QList<store::LawEntry> list = store::readLawList();
    ASSERT_EQ(list.size(), 7);
    EXPECT_EQ(list[3].number, 4);
    EXPECT_EQ(list[3].code, QStringLiteral("KS"));
    EXPECT_EQ(list[3].name, QStringLiteral("会社法"));
}

TEST_F(ImportTest, ChosenRecordsAreStoredExactly) {
    importSample("MP.txt");
    importSample("KS.txt");
    importSample("CS.txt");
    importSample("KP.txt");
    const auto mp = records(QStringLiteral("民法"));
    // A paragraph with 号 lines: the items stay in the paragraph, full-width indents kept.
    const QString p13 = mp.value(QStringLiteral("MP00130000010100"));
    EXPECT_TRUE(p13.startsWith(
        QStringLiteral("被保佐人が次に掲げる行為をするには、その保佐人の同意を得なければならない。"
                       "ただし、第九条ただし書に規定する行為については、この限りでない。\r\n一　元"
                       "本を領収し、又は利用すること。\r\n二　借財又は保証をすること。")));
    EXPECT_TRUE(p13.endsWith(QStringLiteral(
        "\r\n十　前各号に掲げる行為を制限行為能力者（未成年者、成年被後見人、被保佐人及び第十七条第"
        "一項の審判を受けた被補助人をいう。以下同じ。）の法定代理人としてすること。")));
    EXPECT_EQ(p13.count(kCrLf), 10);
    EXPECT_EQ(mp.value(QStringLiteral("MP00130000000001")),
              QStringLiteral("保佐人の同意を要する行為等"));
    EXPECT_TRUE(mp.value(QStringLiteral("MP00130000020200"))
                    .startsWith(QStringLiteral("家庭裁判所は、第十一条本文に規定する者")));
    // 第3条の2, an article with an empty caption (stored as one blank), one paragraph.
    EXPECT_EQ(mp.value(QStringLiteral("MP00030200000001")), QStringLiteral(" "));
    EXPECT_EQ(mp.value(QStringLiteral("MP00030200010000")),
              QStringLiteral("法律行為の当事者が意思表示をした時に意思能力を有しなかったときは、そ"
                             "の法律行為は、無効とする。"));
    // A 削除 article, and the last article's last paragraph.
    EXPECT_EQ(mp.value(QStringLiteral("MP00380000010000")), QStringLiteral("削除"));
    EXPECT_EQ(
        mp.value(QStringLiteral("MP10500000050500")),
        QStringLiteral("相続人が数人ある場合には、各相続人は、特別寄与料の額に第九百条から第九百二"
                       "条までの規定により算定した当該相続人の相続分を乗じた額を負担する。"));
    EXPECT_FALSE(mp.contains(QStringLiteral("MP10500000060600")));

    EXPECT_EQ(record(QStringLiteral("会社法"), QStringLiteral("KS09300000010000")),
              QStringLiteral("削除"));
    EXPECT_EQ(record(QStringLiteral("会社法"), QStringLiteral("KS09790000000001")),
              QStringLiteral("過料に処すべき行為"));
    EXPECT_EQ(record(QStringLiteral("会社法"), QStringLiteral("KS09790000020200")),
              QStringLiteral("第八百十八条第一項又は第八百二十一条第一項の規定に違反して取引をした"
                             "者も、前項と同様とする。"));
    EXPECT_EQ(
        record(QStringLiteral("刑事訴訟法"), QStringLiteral("CS05160000010000")),
        QStringLiteral("検察官は、検察事務官に第五百八条第一項本文の調査又は同条第二項、第五百九条"
                       "、第五百十二条若しくは第五百十四条の処分をさせることができる。"));
    EXPECT_EQ(record(QStringLiteral("日本国憲法"), QStringLiteral("KP00010000010000")),
              QStringLiteral("天皇は、日本国の象徴であり日本国民統合の象徴であつて、この地位は、主"
                             "権の存する日本国民の総意に基く。"));
}

TEST(ImportParsing, NumberLinesMarkersAndCodes) {
    EXPECT_EQ(Decode(QStringLiteral("第１２条")).plain, QStringLiteral("00120000"));
    EXPECT_EQ(Decode(QStringLiteral("第12条")).plain, QStringLiteral("00120000"));
    EXPECT_EQ(Decode(QStringLiteral("第十二条")).plain, QStringLiteral("00000000"));
    EXPECT_EQ(Decode(QStringLiteral("第１２条の２")).dashed, QStringLiteral("0012-02-00"));
    EXPECT_EQ(Decode(QStringLiteral("第１２条の２の３ ")).plain, QStringLiteral("00120203"));
    EXPECT_EQ(Decode(QStringLiteral("第１２条の２の３の４")).plain, QStringLiteral("00120000"));
    EXPECT_THROW(Decode(QStringLiteral("１２条")), MalformedNumberLine);
    EXPECT_THROW(Decode(QStringLiteral("第１２")), MalformedNumberLine);
    EXPECT_THROW(Decode(QStringLiteral(" 第１２条")), MalformedNumberLine);

    // (1), (2), (4): division stops at the missing (3); paragraph 2 runs to the end.
    EXPECT_EQ(SetKoumoku(QStringLiteral("h\r\n第1条\r\n(1)一\r\n(2)二\r\n(4)四"), 1),
              QStringList({QStringLiteral("一\r\n"), QStringLiteral("二\r\n(4)四")}));
    EXPECT_EQ(SetKoumoku(QStringLiteral("(1)a(2)b(3)c(10)j"), 1),
              QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c(10)j")}));
    EXPECT_EQ(RemoveCRLF(QStringLiteral("文。 \r\n\r\n")), QStringLiteral("文。"));
    EXPECT_EQ(RemoveCRLF(QStringLiteral("文。 ")), QStringLiteral("文。 "));
    EXPECT_EQ(headerValue(QStringLiteral("法典コード=AB=x")), QStringLiteral("AB"));

    const ArticleCode a = Decode(QStringLiteral("第１２条"));
    const ParagraphCodes only = paragraphCodes(QStringLiteral("AB"), a, 0, 1);
    EXPECT_EQ(only.code, QStringLiteral("AB00120000010000"));
    EXPECT_EQ(only.display, QStringLiteral("AB0012-00-00-00"));
    EXPECT_EQ(only.heading, QStringLiteral("AB00120000000001"));
    EXPECT_EQ(paragraphCodes(QStringLiteral("AB"), a, 0, 3).code,
              QStringLiteral("AB00120000010100"));
    EXPECT_EQ(paragraphCodes(QStringLiteral("AB"), a, 2, 3).code,
              QStringLiteral("AB00120000030300"));
    EXPECT_EQ(paragraphCodes(QStringLiteral("AB"), a, 2, 3).display,
              QStringLiteral("AB0012-00-00-03"));
}

TEST_F(ImportTest, ExampleTextOptionsAndReimport) {
    platform::ScriptedPrompt prompt;
    const QString text = QStringLiteral(
        "法典コード=ab\r\n法典名称=民法\r\n\r\n（目的）\r\n第１条\r\n　この法律は、目的とする。 "
        "\r\n\r\n"
        "【定義】\r\n第２条の２\r\n(1)この法律において、いう。\r\n(2)"
        "前項の、とする。\r\n\r\n\r\n第３条\r\n本文\r\n");
    const ImportResult r = importText(text);
    EXPECT_EQ(r.articles, 3);
    const auto recs = records(QStringLiteral("民法"));
    EXPECT_EQ(recs.value(QStringLiteral("AB00010000000001")),
              QStringLiteral("目的"));  // code in upper case
    EXPECT_EQ(recs.value(QStringLiteral("AB00010000010000")),
              QStringLiteral("　この法律は、目的とする。"));
    EXPECT_EQ(recs.value(QStringLiteral("AB00020200000001")), QStringLiteral("定義"));
    EXPECT_EQ(recs.value(QStringLiteral("AB00020200010100")),
              QStringLiteral("この法律において、いう。"));
    EXPECT_EQ(recs.value(QStringLiteral("AB00020200020200")), QStringLiteral("前項の、とする。"));
    EXPECT_EQ(recs.value(QStringLiteral("AB00030000000001")), QStringLiteral(" "));  // no caption
    EXPECT_EQ(recs.value(QStringLiteral("AB00030000010000")), QStringLiteral("本文"));
    EXPECT_EQ(recs.size(), 7);
    EXPECT_TRUE(prompt.messages.isEmpty());

    // Re-import of one article with fewer paragraphs: the article is replaced whole, the
    // articles the text does not hold stay as they are.
    {
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        db.execute(
            QStringLiteral("update 条文 set 条文='古い' where 条項コード='AB00010000000001'"));
    }
    const ImportResult again = importText(
        QStringLiteral("法典コード=ab\r\n法典名称=民法\r\n\r\n（目的）\r\n第２条の２\r\n新しい"));
    EXPECT_EQ(again.removed, 2);
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00020200010000")),
              QStringLiteral("新しい"));
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00020200010100")),
              QStringLiteral("<none>"));
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00020200020200")),
              QStringLiteral("<none>"));
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00010000000001")),
              QStringLiteral("古い"));
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00030000010000")),
              QStringLiteral("本文"));
    EXPECT_EQ(records(QStringLiteral("民法")).size(), 6);

    // Headings only, then paragraphs only.
    ImportOptions headings;
    headings.paragraphs = false;
    importText(QStringLiteral("法典コード=ab\r\n法典名称=民法\r\n\r\n（新）\r\n第１条\r\n変えない"),
               headings);
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00010000000001")),
              QStringLiteral("新"));
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00010000010000")),
              QStringLiteral("　この法律は、目的とする。"));
    ImportOptions paragraphs;
    paragraphs.headings = false;
    importText(QStringLiteral("法典コード=ab\r\n法典名称=民法\r\n\r\n（旧）\r\n第１条\r\n変えた"),
               paragraphs);
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00010000000001")),
              QStringLiteral("新"));
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00010000010000")),
              QStringLiteral("変えた"));
    EXPECT_EQ(store::readLawList().size(), 1);  // the law was listed once
}

TEST_F(ImportTest, BadInputIsRefusedSkippedOrStopsWithAMessage) {
    platform::ScriptedPrompt prompt;
    // Header that cannot name a law: nothing written at all.
    for (const QString& head : {QStringLiteral("法典コード=AB"), QStringLiteral("AB\r\n民法"),
                                QStringLiteral("法典コード=AB\r\n法典名称=../民法"),
                                QStringLiteral("法典コード=AB\r\n法典名称=")}) {
        EXPECT_THROW(importText(head + QStringLiteral("\r\n\r\n（目的）\r\n第１条\r\n本文")),
                     store::Error);
    }
    EXPECT_TRUE(store::readLawList().isEmpty());
    EXPECT_TRUE(QDir(store::folders().db).entryList({QStringLiteral("*.mdb")}).size() <= 1);

    // Short blocks are skipped and reported; an article of 100 paragraphs is refused, one of
    // 99 written.
    QString many = QStringLiteral("（多い）\r\n第９条\r\n");
    QString most = QStringLiteral("（最多）\r\n第８条\r\n");
    for (int i = 1; i <= 100; ++i) {
        many += u'(' + QString::number(i) + QStringLiteral(")項") + kCrLf;
        if (i < 100) most += u'(' + QString::number(i) + QStringLiteral(")項") + kCrLf;
    }
    const ImportResult r = importText(
        QStringLiteral("法典コード=AB\r\n法典名称=民法\r\n\r\n（目的）\r\n第１条\r\n本文\r\n\r\n"
                       "（短い）\r\n第２条\r\n\r\n\r\n\r\n") +
        many + kCrLf + most + QStringLiteral("\r\n（後）\r\n第１０条\r\n後の文"));
    EXPECT_EQ(r.articles, 3);
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00080000999900")),
              QStringLiteral("項"));
    EXPECT_EQ(r.skipped.size(), 3);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].contains(QStringLiteral("第2ブロック")));
    EXPECT_TRUE(prompt.messages[0].contains(QStringLiteral("第９条")));
    EXPECT_FALSE(records(QStringLiteral("民法")).contains(QStringLiteral("AB00090000000001")));
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00100000010000")),
              QStringLiteral("後の文"));

    // A malformed number line stops there; what came before stays written.
    prompt.messages.clear();
    const ImportResult s = importText(
        QStringLiteral("法典コード=CD\r\n法典名称=刑法\r\n\r\n（一）\r\n第１条\r\n前\r\n\r\n"
                       "（二）\r\n２条\r\n中\r\n\r\n（三）\r\n第３条\r\n後"));
    EXPECT_TRUE(s.stopped);
    EXPECT_EQ(s.articles, 1);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(
        prompt.messages[0],
        QStringLiteral(
            "第2ブロックの条番号の行が不正です。ここで取り込みを中止しました。\r\n（二）\r\n２条"));
    EXPECT_EQ(record(QStringLiteral("刑法"), QStringLiteral("CD00010000010000")),
              QStringLiteral("前"));
    EXPECT_FALSE(records(QStringLiteral("刑法")).contains(QStringLiteral("CD00030000010000")));
}

TEST_F(ImportTest, EachLineOfAParagraphWithoutMarksIsTrimmedOnItsOwn) {
    importText(
        QStringLiteral("法典コード=AB\r\n法典名称=民法\r\n\r\n（一）\r\n第１条\r\n"
                       "本文 \r\n 一　号 \r\n  二　号"));
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00010000010000")),
              QStringLiteral("本文\r\n一　号\r\n二　号"));
}

TEST_F(ImportTest, NumbersBeyondTheirFieldsAndRepeatedArticlesAreSkippedAndNamed) {
    platform::ScriptedPrompt prompt;
    // Before, these four gave codes of the wrong length or one code twice (000110100) and
    // the run said "4 articles, 8 records written".
    const ImportResult r = importText(QStringLiteral(
        "法典コード=AB\r\n法典名称=民法\r\n\r\n"
        "（大）\r\n第10000条\r\n本文\r\n\r\n（枝）\r\n第1条の100\r\n本文\r\n\r\n"
        "（孫）\r\n第1条の10の100\r\n本文\r\n\r\n（枝二）\r\n第1条の101\r\n本文\r\n\r\n"
        "（上限）\r\n第９９９９条\r\n限\r\n\r\n（上限枝）\r\n第１条の９９の９９\r\n枝限\r\n\r\n"
        "（三段）\r\n第２条の２の３の４\r\n深い\r\n\r\n（再）\r\n第９９９９条\r\n二度目"));
    EXPECT_EQ(r.articles, 2);
    EXPECT_EQ(r.records, 4);
    ASSERT_EQ(r.skipped.size(), 6);
    EXPECT_TRUE(r.skipped[0].startsWith(QStringLiteral("第1ブロック: 第10000条 は条の番号が9999")));
    EXPECT_TRUE(r.skipped[1].contains(QStringLiteral("第1条の100 は枝番号が99を超え")));
    EXPECT_TRUE(r.skipped[2].contains(QStringLiteral("第1条の10の100 は枝番号が99を超え")));
    EXPECT_TRUE(r.skipped[3].contains(QStringLiteral("第1条の101 は枝番号が99を超え")));
    EXPECT_TRUE(r.skipped[4].contains(QStringLiteral("第２条の２の３の４ は枝番号が３段以上")));
    EXPECT_EQ(r.skipped[5], QStringLiteral("第8ブロック: 第９９９９条 は第5ブロックと同じ条です"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].contains(r.skipped[5]));
    const QMap<QString, QString> recs = records(QStringLiteral("民法"));
    EXPECT_EQ(
        recs.keys(),
        QStringList({QStringLiteral("AB00019999000001"), QStringLiteral("AB00019999010000"),
                     QStringLiteral("AB99990000000001"), QStringLiteral("AB99990000010000")}));
    EXPECT_EQ(recs.value(QStringLiteral("AB99990000010000")), QStringLiteral("限"));
    // The first block repeated; a first text line with a blank before its (1) still marks
    // the paragraphs.
    const ImportResult again = importText(QStringLiteral(
        "法典コード=AB\r\n法典名称=民法\r\n\r\n（一）\r\n第１条\r\n (1)前\r\n(2)後\r\n\r\n"
        "（再）\r\n第１条\r\n別"));
    EXPECT_EQ(again.skipped,
              QStringList{QStringLiteral("第2ブロック: 第１条 は第1ブロックと同じ条です")});
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00010000010100")),
              QStringLiteral("前"));
    EXPECT_EQ(record(QStringLiteral("民法"), QStringLiteral("AB00010000020200")),
              QStringLiteral("後"));
    // Numbers that are not digits would read as 0 or as another number: skipped and named.
    const ImportResult words = importText(QStringLiteral(
        "法典コード=AB\r\n法典名称=民法\r\n\r\n（漢）\r\n第一条\r\n本文\r\n\r\n"
        "（枝漢）\r\n第3条の二\r\n本文\r\n\r\n（範囲）\r\n第5条の2から第5条の4まで\r\n削除"
        "\r\n\r\n（零）\r\n第０条\r\n本文"));
    EXPECT_EQ(words.articles, 0);
    ASSERT_EQ(words.skipped.size(), 4);
    EXPECT_TRUE(words.skipped[0].contains(QStringLiteral("「一」が数字ではなく")));
    EXPECT_TRUE(words.skipped[1].contains(QStringLiteral("「二」が数字ではなく")));
    EXPECT_TRUE(words.skipped[2].contains(QStringLiteral("「2から第5条」が数字ではなく")));
    EXPECT_TRUE(words.skipped[3].contains(QStringLiteral("条の番号が0")));
    // Nothing written at all: the law is listed with its (empty) database, never without.
    importText(QStringLiteral("法典コード=CD\r\n法典名称=刑法\r\n\r\n（大）\r\n第10000条\r\n本文"));
    EXPECT_EQ(store::readLawList().size(), 2);
    EXPECT_TRUE(records(QStringLiteral("刑法")).isEmpty());
}

TEST_F(ImportTest, HeaderCodeIsCheckedAndALowerCaseCodeUpdatesTheSameLaw) {
    platform::ScriptedPrompt prompt;
    // "ß" and "ſa" would pass as "SS" and "SA" once upper-cased.
    for (const char* code : {"ABCDEFG", "1A", "A", "あい", "ß", "ſa"})
        EXPECT_THROW(
            importText(QStringLiteral("法典コード=") + QString::fromUtf8(code) +
                       QStringLiteral("\r\n法典名称=民法\r\n\r\n（目的）\r\n第１条\r\n本文")),
            store::Error)
            << code;
    EXPECT_TRUE(store::readLawList().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(store::lawDbPath(QStringLiteral("民法"))));

    importText(QStringLiteral("法典コード=KP\r\n法典名称=日本国憲法\r\n\r\n（）\r\n第１条\r\n旧"));
    importText(QStringLiteral("法典コード=kp\r\n法典名称=日本国憲法\r\n\r\n（）\r\n第１条\r\n新"));
    EXPECT_EQ(
        records(QStringLiteral("日本国憲法")).keys(),
        QStringList({QStringLiteral("KP00010000000001"), QStringLiteral("KP00010000010000")}));
    EXPECT_EQ(record(QStringLiteral("日本国憲法"), QStringLiteral("KP00010000010000")),
              QStringLiteral("新"));
    ASSERT_EQ(store::readLawList().size(), 1);
    EXPECT_EQ(store::readLawList()[0].code, QStringLiteral("KP"));
    EXPECT_TRUE(prompt.messages.isEmpty());

    // A listed law's database never takes records under another code, nor (in a pane read)
    // another law's records under its code.
    EXPECT_THROW(importText(QStringLiteral(
                     "法典コード=XY\r\n法典名称=日本国憲法\r\n\r\n（）\r\n第９条\r\n別")),
                 store::Error);
    ImportOptions pane;
    pane.fromPane = true;
    EXPECT_THROW(
        importText(QStringLiteral("法典コード=KP\r\n法典名称=刑法\r\n\r\n（）\r\n第９条\r\n別"),
                   pane),
        store::Error);
    EXPECT_EQ(store::readLawList().size(), 1);
    EXPECT_EQ(records(QStringLiteral("日本国憲法")).size(), 2);
    EXPECT_FALSE(QFileInfo::exists(store::lawDbPath(QStringLiteral("刑法"))));
}

TEST_F(ImportTest, MasterEntryNumberingAndPaneReads) {
    platform::ScriptedPrompt prompt;
    {
        store::Database db = store::openMasterDb();
        db.execute(QStringLiteral("insert into 法典コード values (1, 'KP', '日本国憲法')"));
        db.execute(QStringLiteral("insert into 法典コード values (2, 'MP', '旧名')"));
        db.execute(QStringLiteral("insert into 法典コード values (3, 'CP', '刑法')"));
        db.execute(QStringLiteral(
            "delete from 法典コード where 番号=1"));  // a gap: count + 1 = 3 is taken
    }
    WriteHCode(QStringLiteral("GT"), QStringLiteral("行政手続法"));
    WriteHCode(QStringLiteral("mp"), QStringLiteral("民法"));  // the listed MP, in another case
    QStringList list;
    for (const auto& l : store::readLawList()) list << QString::number(l.number) + l.code + l.name;
    EXPECT_EQ(list, QStringList({QStringLiteral("2MP民法"), QStringLiteral("3CP刑法"),
                                 QStringLiteral("4GT行政手続法")}));

    // A pane read never touches the list and, once a bracket is known, skips blocks without it.
    LawTextImporter importer;
    ImportOptions pane;
    pane.fromPane = true;
    const QString text = QStringLiteral(
        "法典コード=ZZ\r\n法典名称="
        "新法\r\n\r\n第一章　総則\r\n\r\n（目的）\r\n第１条\r\n本文\r\n\r\n"
        "第二章　雑則\r\n\r\n（雑）\r\n第２条\r\n雑文");
    // Before any bracket is known the chapter line is taken as a (too short) article.
    const ImportResult r = importer.run(text, pane);
    EXPECT_EQ(r.articles, 2);
    EXPECT_EQ(r.skipped.size(), 1);
    EXPECT_EQ(store::readLawList().size(), 3);
    // The importer keeps the bracket: now both chapter lines are passed over silently.
    prompt.messages.clear();
    const ImportResult again = importer.run(text, pane);
    EXPECT_FALSE(again.stopped);
    EXPECT_EQ(again.articles, 2);
    EXPECT_TRUE(again.skipped.isEmpty());
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(record(QStringLiteral("新法"), QStringLiteral("ZZ00020000010000")),
              QStringLiteral("雑文"));
}

TEST_F(ImportTest, KilledImportLeavesWholeArticlesAndASoundFile) {
    // A full import as the reference, then imports killed at different moments.
    importSample("KS.txt");
    const QMap<QString, QString> full = records(QStringLiteral("会社法"));
    QMap<QString, QStringList> byArticle;
    for (auto it = full.begin(); it != full.end(); ++it) byArticle[it.key().left(10)] << it.key();

    // Imports commit whole articles in groups of about 50 ms: kills within the first tenth
    // of a second land inside the import.
    for (int delayMs : {20, 40, 60, 80, 110}) {
        const QString root = path(QStringLiteral("killed%1").arg(delayMs));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("cfg")));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(LEXORA_LEXCTL),
                {QStringLiteral("import"), testsupport::sampleDir() + QStringLiteral("/KS.txt"),
                 QStringLiteral("--root"), root});
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(delayMs);
        p.kill();
        p.waitForFinished();

        const QString file = root + QStringLiteral("/DB/会社法.mdb");
        if (!QFileInfo::exists(file)) continue;  // killed before the database was made
        store::Database db = store::Database::open(file);
        store::Recordset check = db.openRecordset(QStringLiteral("pragma integrity_check"));
        EXPECT_EQ(check.field(check.columns().first()).toString(), QStringLiteral("ok"));
        QMap<QString, QStringList> got;
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
        for (; !rs.eof(); rs.moveNext()) {
            const QString code = rs.text(QStringLiteral("条項コード"));
            got[code.left(10)] << code;
            EXPECT_EQ(rs.text(QStringLiteral("条文")), full.value(code));
        }
        for (auto it = got.begin(); it != got.end(); ++it)
            EXPECT_EQ(it.value(), byArticle.value(it.key()))
                << "article " << it.key().toStdString() << " is incomplete";
    }
}

TEST(ImportRows, AnArticleGivesOneHeadingRecordAndEachParagraphOnce) {
    Article a;
    a.title = QStringLiteral("目的");
    a.code = Decode(QStringLiteral("第１２条"));
    a.paragraphs = {QStringLiteral("一。"), QStringLiteral("二。"), QStringLiteral("三。")};
    const QString heading = QStringLiteral("AB00120000000001");
    const QStringList paragraphs{QStringLiteral("AB00120000010100"),
                                 QStringLiteral("AB00120000020200"),
                                 QStringLiteral("AB00120000030300")};
    const struct {
        bool headings, paragraphs;
        QStringList codes;
    } cases[] = {
        {true, true, QStringList{heading} + paragraphs},
        {true, false, {heading}},
        {false, true, paragraphs},
    };
    for (const auto& c : cases) {
        ImportOptions options;
        options.headings = c.headings;
        options.paragraphs = c.paragraphs;
        QStringList codes;
        for (const ImportRow& row : articleRows(QStringLiteral("AB"), a, options))
            codes << row.code;
        EXPECT_EQ(codes, c.codes) << c.headings << c.paragraphs;
    }
}

}  // namespace

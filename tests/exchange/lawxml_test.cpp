// The law XML conversion: the seven bundled laws byte for byte, the rules on small laws, and
// input that must be refused.
#include "exchange/lawxml.h"
#include "exchange/lawparts.h"
#include "platform/textfile.h"
#include "tests/support/testsupport.h"

#include <QElapsedTimer>
#include <QFile>

using namespace exchange;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString dataDir() {
    return testsupport::sampleDir() + QStringLiteral("/../xml");
}

TEST(LawXmlTest, SevenLawsGiveTheBundledFilesByteForByte) {
    QList<LawXml> laws;
    for (const char* code : {"KP", "MP", "CP", "KS", "MS", "CS", "GT"}) {
        const QString c = QString::fromLatin1(code);
        laws << convertLawXmlFile(dataDir() + u'/' + c + QStringLiteral(".xml"), c);
        EXPECT_EQ(
            platform::encodeCp932(laws.last().text),
            testsupport::readFile(testsupport::sampleDir() + u'/' + c + QStringLiteral(".txt")))
            << code;
    }
    EXPECT_EQ(platform::encodeCp932(idxText(laws)),
              testsupport::readFile(testsupport::sampleDir() + QStringLiteral("/idx.dat")));
    EXPECT_EQ(platform::encodeCp932(htText(laws)),
              testsupport::readFile(testsupport::sampleDir() + QStringLiteral("/ht.dat")));
    EXPECT_EQ(laws[1].summary(),
              QStringLiteral("MP 民法: articles=1224 (削除 78) paragraphs=2002 toc_rows=191"));
    // 会社法 holds 塡, which CP932 has not, twice in its main provision and once in a 附則.
    ASSERT_FALSE(laws[3].report.isEmpty());
    const XmlRepair& last = laws[3].report.last();
    EXPECT_EQ(last.kind, QStringLiteral("シフトJISにない文字を置き換えた"));
    EXPECT_EQ(last.count, 3);
    EXPECT_EQ(last.examples.value(0), QStringLiteral("塡→填"));
}

class LawXmlLexctlTest : public testsupport::TempRootTest {};

TEST_F(LawXmlLexctlTest, Xml2TextWritesTheBundledFilesAndImportXmlImports) {
    QStringList args{QStringLiteral("xml2text"), QStringLiteral("-o"), path(QStringLiteral("out"))};
    for (const char* code : {"KP", "MP", "CP", "KS", "MS", "CS", "GT"})
        args << QString::fromLatin1(code) + u'=' + dataDir() + u'/' + QString::fromLatin1(code) +
                    QStringLiteral(".xml");
    const testsupport::ProcessResult r = lexctl(args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(
        QStringLiteral("GT 行政手続法: articles=48 (削除 0) paragraphs=105 toc_rows=11")));
    EXPECT_TRUE(r.err.contains(
        QStringLiteral("KS シフトJISにない文字を置き換えた: 3件 (塡→填、塡→填、塡→填)")));
    for (const char* file : {"KP.txt", "MP.txt", "CP.txt", "KS.txt", "MS.txt", "CS.txt", "GT.txt",
                             "idx.dat", "ht.dat"})
        EXPECT_EQ(
            testsupport::readFile(path(QStringLiteral("out/")) + QString::fromLatin1(file)),
            testsupport::readFile(testsupport::sampleDir() + u'/' + QString::fromLatin1(file)))
            << file;

    const testsupport::ProcessResult i =
        lexctl({QStringLiteral("import-xml"),
                QStringLiteral("GT=") + dataDir() + QStringLiteral("/GT.xml")});
    EXPECT_EQ(i.exitCode, 0) << i.err.toStdString();
    EXPECT_TRUE(
        i.out.contains(QStringLiteral("GT 行政手続法: 48 articles, 153 records written, 0 "
                                      "blocks skipped; 11 table-of-contents rows, 0 lines "
                                      "skipped")))
        << i.out.toStdString();
    EXPECT_EQ(lexctl({QStringLiteral("xml2text"), QStringLiteral("GT")}).exitCode, 2);
}

QByteArray lawXml(const QString& main, const QString& title = QStringLiteral("試験法")) {
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Law><LawNum>番号</LawNum>"
                           "<LawBody><LawTitle>") +
            title + QStringLiteral("</LawTitle><MainProvision>") + main +
            QStringLiteral("</MainProvision><SupplProvision/></LawBody></Law>"))
        .toUtf8();
}

QString para(const QString& body) {
    return QStringLiteral("<Paragraph><ParagraphNum/><ParagraphSentence>") + body +
           QStringLiteral("</ParagraphSentence></Paragraph>");
}

QString sentence(const QString& t) {
    return QStringLiteral("<Sentence>") + t + QStringLiteral("</Sentence>");
}

QString article(const QString& num, const QString& caption, const QString& inner,
                const QString& title = QStringLiteral("第一条")) {
    return QStringLiteral("<Article Num=\"%1\">").arg(num) +
           (caption.isNull() ? QString()
                             : QStringLiteral("<ArticleCaption>") + caption +
                                   QStringLiteral("</ArticleCaption>")) +
           QStringLiteral("<ArticleTitle>") + title + QStringLiteral("</ArticleTitle>") + inner +
           QStringLiteral("</Article>");
}

// The blocks after the header, each a list of its lines.
QString body(const LawXml& law) {
    const QString head = QStringLiteral("法典コード=TS\r\n法典名称=試験法\r\n\r\n");
    EXPECT_TRUE(law.text.startsWith(head));
    return law.text.mid(head.size());
}

int kinds(const LawXml& law, const QString& kind) {
    for (const XmlRepair& r : law.report)
        if (r.kind == kind) return r.count;
    return 0;
}

TEST(LawXmlRulesTest, TextsParagraphsAndItems) {
    const QString items = QStringLiteral(
        "<Item Num=\"1\"><ItemTitle>一</ItemTitle><ItemSentence>"
        "<Column><Sentence>甲</Sentence></Column><Column><Sentence>乙</Sentence>"
        "</Column></ItemSentence><Subitem1 Num=\"1\"><Subitem1Title>イ</Subitem1Title>"
        "<Subitem1Sentence><Sentence>細目</Sentence></Subitem1Sentence></Subitem1>"
        "</Item><Item><ItemTitle></ItemTitle><ItemSentence><Sentence>題なし"
        "</Sentence></ItemSentence></Item>");
    const LawXml law = convertLawXml(
        lawXml(article(QStringLiteral("1"), QStringLiteral("目的"),
                       para(sentence(QStringLiteral("失<Ruby>踪<Rt>そう</Rt></Ruby>の\n   "
                                                    "宣告\t(2)を参照 (x)"))) +
                           QStringLiteral("<Paragraph><ParagraphNum/><ParagraphSentence>") +
                           sentence(QStringLiteral("次に掲げる")) +
                           QStringLiteral("</ParagraphSentence>") + items +
                           QStringLiteral("</Paragraph><Paragraph><ParagraphNum/>"
                                          "<ParagraphSentence/></Paragraph>")) +
               article(QStringLiteral("2_3"), QString(),
                       para(sentence(QStringLiteral("枝番号の条"))) +
                           QStringLiteral("<SupplNote>（平一〇法一〇）</SupplNote>"))),
        QStringLiteral("ts"));
    EXPECT_EQ(law.code, QStringLiteral("TS"));
    EXPECT_EQ(body(law),
              QStringLiteral("（目的）\r\n第１条\r\n(1)失踪の宣告（２）を参照 (x)\r\n"
                             "(2)次に掲げる\r\n一　甲　乙\r\nイ　細目\r\n題なし\r\n(3)\r\n\r\n"
                             "（）\r\n第２条の３\r\n枝番号の条\r\n（平一〇法一〇）\r\n"));
    EXPECT_EQ(law.articles, 2);
    EXPECT_EQ(law.paragraphs, 4);
    // The empty 附則 after the main provision is a part, not a loss.
    EXPECT_EQ(kinds(law, QStringLiteral("本則以外を除いた")), 0);
    ASSERT_EQ(law.parts.size(), 1);
    EXPECT_EQ(law.parts[0].label, QStringLiteral("附則"));
}

TEST(LawXmlRulesTest, BlocksTablesListsAndFigures) {
    const QString table = QStringLiteral(
        "<TableStruct><TableStructTitle>表題</TableStructTitle><Table><TableRow><TableColumn>"
        "<Sentence>左</Sentence></TableColumn><TableColumn>右の<Sentence>文</Sentence>"
        "</TableColumn></TableRow><TableRow><TableColumn>文のない欄</TableColumn>"
        "<TableColumn/></TableRow></Table><Remarks><RemarksLabel>備考</RemarksLabel>"
        "<Sentence>注意</Sentence><Item><ItemTitle>一</ItemTitle><ItemSentence><Sentence>細"
        "</Sentence></ItemSentence></Item><Item><ItemSentence><Sentence>無題</Sentence>"
        "</ItemSentence></Item></Remarks></TableStruct><Item><ItemTitle>二</ItemTitle>"
        "<ItemSentence><Table><TableRow><TableColumn><Sentence>甲</Sentence></TableColumn>"
        "<TableColumn><Sentence>乙</Sentence></TableColumn></TableRow><TableRow><TableColumn>丙"
        "</TableColumn></TableRow></Table></ItemSentence></Item>");
    const QString rest = QStringLiteral(
        "<List><ListSentence><Sentence>一覧</Sentence></ListSentence><Sublist1><Sublist1Sentence>"
        "<Sentence>下位</Sentence></Sublist1Sentence></Sublist1></List>"
        "<FigStruct><FigStructTitle>図題</FigStructTitle></FigStruct>"
        "<StyleStruct><StyleStructTitle>様式題</StyleStructTitle></StyleStruct>"
        "<Other><OtherLabel>ラベル</OtherLabel><OtherSentence><Sentence>その他</Sentence>"
        "</OtherSentence></Other><Plain>ただの<Rt>るび</Rt>文字</Plain>");
    const LawXml law = convertLawXml(
        lawXml(article(QStringLiteral("1"), QStringLiteral("（表）"),
                       QStringLiteral("<Paragraph><ParagraphNum/><ParagraphSentence>") +
                           sentence(QStringLiteral("本文")) +
                           QStringLiteral("</ParagraphSentence>") + table + rest +
                           QStringLiteral("</Paragraph>"))),
        QStringLiteral("TS"));
    EXPECT_EQ(body(law),
              QStringLiteral("（表）\r\n第１条\r\n本文\r\n表題\r\n左　文\r\n文のない欄　\r\n"
                             "備考　注意\r\n一　細\r\n　無題\r\n二\r\n甲　乙\r\n丙\r\n一覧\r\n下位"
                             "\r\n［図］図題\r\n［様式］様式題\r\n"
                             "ラベル\r\nその他\r\nただのるび文字\r\n"));
}

TEST(LawXmlRulesTest, NumbersRangesAndCaptions) {
    // Four of five articles that are not 削除 have captions: the law uses captions, so an
    // article without one shares the last caption of its parent.
    const QString p = para(sentence(QStringLiteral("文")));
    const QString deleted = para(sentence(QStringLiteral("削除")));
    const LawXml law = convertLawXml(
        lawXml(QStringLiteral("<Chapter Num=\"1\"><ChapterTitle>第一章　甲</ChapterTitle>") +
               article(QStringLiteral("1"), QStringLiteral("（共通）"), p) +
               article(QStringLiteral("2"), QString(), p) +
               article(QStringLiteral("3:5"), QString(), deleted) +
               article(QStringLiteral("6_2:6_3"), QString(), deleted) +
               article(QStringLiteral("7_2:9"), QString(), deleted) +
               article(QStringLiteral("x"), QStringLiteral("題"), p, QStringLiteral("第十条の二")) +
               article(QStringLiteral("y"), QStringLiteral("題"), p, QStringLiteral("附則")) +
               article(QStringLiteral("9:8"), QString(), p) +
               article(QStringLiteral("1:99999"), QString(), p) +
               article(QStringLiteral("11"), QStringLiteral("(半角)"), p) +
               article(QStringLiteral("12"), QStringLiteral("（半"), p) +
               article(QStringLiteral("13"), QStringLiteral("x"), QString()) +
               QStringLiteral("</Chapter>") + article(QStringLiteral("14"), QString(), p)),
        QStringLiteral("TS"));
    QStringList labels, captions;
    for (const QString& block : body(law).split(QStringLiteral("\r\n\r\n"))) {
        captions << block.section(kCrLf, 0, 0);
        labels << block.section(kCrLf, 1, 1);
    }
    EXPECT_EQ(labels.join(u' '),
              QStringLiteral("第１条 第２条 第３条 第４条 第５条 第６条の２ 第６条の３ 第７条の２ "
                             "第８条 第９条 第１０条の２ 第１１条 第１２条 第１４条"));
    EXPECT_EQ(captions.join(u' '),
              QStringLiteral("（共通） （共通） （） （） （） （） （） （） （） （） （題） "
                             "（半角） （半） （）"));
    EXPECT_EQ(law.deleted, 8);
    EXPECT_EQ(kinds(law, QStringLiteral("条番号を見出しから読んだ")), 1);
    EXPECT_EQ(kinds(law, QStringLiteral("番号のない条を除いた")), 1);            // 附則
    EXPECT_EQ(kinds(law, QStringLiteral("番号の範囲が読めない条を除いた")), 2);  // 9:8, 1:99999
    EXPECT_EQ(kinds(law, QStringLiteral("本文のない条を除いた")), 1);

    // Under 60 % no caption is shared.
    const LawXml few = convertLawXml(lawXml(article(QStringLiteral("1"), QStringLiteral("甲"), p) +
                                            article(QStringLiteral("2"), QString(), p)),
                                     QStringLiteral("TS"));
    EXPECT_TRUE(body(few).contains(QStringLiteral("\r\n\r\n（）\r\n第２条")));
}

TEST(LawXmlRulesTest, TableOfContentsRows) {
    const QString p = para(sentence(QStringLiteral("文")));
    const LawXml law = convertLawXml(
        lawXml(
            QStringLiteral(
                "<Part Num=\"1_2\"><PartTitle>第一編の二　総則&amp;&amp;通則</PartTitle>") +
            article(QStringLiteral("1"), QStringLiteral("甲"), p) +
            QStringLiteral("<Chapter Num=\"3_2\"><ChapterTitle>第三章の二　人</ChapterTitle>"
                           "<Section Num=\"x\"><SectionTitle>第二節の三 能力</SectionTitle>") +
            article(QStringLiteral("2_2"), QStringLiteral("甲"), p) +
            QStringLiteral("</Section><Section Num=\"4\"><SectionTitle>第四節　住所</SectionTitle>"
                           "</Section></Chapter>") +
            article(QStringLiteral("5"), QStringLiteral("甲"), p) +
            QStringLiteral("<Chapter Num=\"150\"><ChapterTitle>章</ChapterTitle>") +
            article(QStringLiteral("12345_2"), QStringLiteral("甲"), p) +
            QStringLiteral("</Chapter><Chapter Num=\"150\"><ChapterTitle>重複</ChapterTitle>"
                           "</Chapter></Part>")),
        QStringLiteral("TS"));
    EXPECT_EQ(law.toc.join(u'\n'),
              QStringLiteral(
                  // Articles before and after the chapters: not one run.
                  "TS01000000000000&&00000000&&00000000&&00010000&&99990200&&総則＆＆通則\n"
                  "TS01030200000000&&00000000&&00000000&&00020200&&00020200&&人\n"
                  // The section's number read from its title.
                  "TS01030202030000&&00020200&&00020200&&00020200&&00020200&&能力\n"
                  "TS01030204000000&&00000000&&00000000&&00000000&&00000000&&住所\n"
                  // Two chapters of one code: one row, both titles, both ranges.
                  "TS01990000000000&&99990200&&99990200&&99990200&&99990200&&章／重複"));
    EXPECT_EQ(kinds(law, QStringLiteral("編・款・目の枝番号を除いた")), 1);
    EXPECT_EQ(kinds(law, QStringLiteral("目次コードが重なった見出しを前の見出しにまとめた")), 1);
    // A heading whose number cannot be read is reported for its own row only.
    const LawXml unnumbered = convertLawXml(
        lawXml(QStringLiteral("<Chapter><ChapterTitle>無番号</ChapterTitle><Section Num=\"1\">"
                              "<SectionTitle>節</SectionTitle></Section></Chapter>")),
        QStringLiteral("TS"));
    EXPECT_EQ(unnumbered.toc.value(1).left(16), QStringLiteral("TS00000001000000"));
    EXPECT_EQ(kinds(unnumbered, QStringLiteral("番号の読めない見出しを0とした")), 1);
    EXPECT_EQ(idxText({law}).section(kCrLf, 0, 0), QStringLiteral("CODES TS"));
    EXPECT_EQ(htText({law}), QStringLiteral("1 TS 試験法"));
}

TEST(LawXmlRulesTest, LawsWithoutArticlesAndCharactersOutsideCp932) {
    // Paragraphs straight under the main provision become article 1.
    LawXml law = convertLawXml(lawXml(para(sentence(QStringLiteral("一項"))) +
                                      para(sentence(QStringLiteral("二項𠮟る〜ℵ")))),
                               QStringLiteral("TS"));
    EXPECT_EQ(body(law), QStringLiteral("（）\r\n第１条\r\n(1)一項\r\n(2)二項叱る～〓\r\n"));
    EXPECT_EQ(kinds(law, QStringLiteral("シフトJISにない文字を置き換えた")), 3);
    // Beside articles they are dropped; with nothing at all only the header remains.
    law = convertLawXml(
        lawXml(para(sentence(QStringLiteral("前"))) +
               article(QStringLiteral("1"), QString(), para(sentence(QStringLiteral("文"))))),
        QStringLiteral("TS"));
    EXPECT_EQ(body(law), QStringLiteral("（）\r\n第１条\r\n文\r\n"));
    EXPECT_EQ(kinds(law, QStringLiteral("本則直下の項を除いた")), 1);
    // An article that is left out still makes the paragraphs beside it dropped.
    law = convertLawXml(lawXml(para(sentence(QStringLiteral("前"))) +
                               article(QStringLiteral("x"), QString(), QString(), QString())),
                        QStringLiteral("TS"));
    EXPECT_EQ(body(law), QString());
    EXPECT_EQ(convertLawXml(lawXml(QString()), QStringLiteral("TS")).text,
              QStringLiteral("法典コード=TS\r\n法典名称=試験法\r\n\r\n"));
}

QString refusal(const QByteArray& xml, const QString& code = QStringLiteral("TS")) {
    try {
        convertLawXml(xml, code);
    } catch (const LawXmlError& e) {
        return e.description();
    }
    return QStringLiteral("<converted>");
}

TEST(LawXmlInputTest, BadInputIsRefusedWithOneMessage) {
    EXPECT_EQ(refusal("<?xml version=\"1.0\"?><Html/>"),
              QStringLiteral("法令XMLではありません。(ルート要素が Html です)"));
    EXPECT_TRUE(refusal("<Law><LawBody><LawTitle>t</LawTitle></LawBody></Law>")
                    .contains(QStringLiteral("MainProvision がありません")));
    EXPECT_EQ(refusal("<Law><LawBody><MainProvision></LawBody></Law>"),
              QStringLiteral("XMLとして読めません。1 行 32 桁: mismatched tag"));
    // A declared entity could only blow the text up: a document type is no law's.
    EXPECT_EQ(refusal("<?xml version=\"1.0\"?><!DOCTYPE Law [<!ENTITY a \"aaaa\">]><Law/>"),
              QStringLiteral("法令XMLではありません。(DOCTYPE 宣言があります。1 行 36 桁)"));
    EXPECT_TRUE(refusal(QByteArray("<Law>\x82\xa0</Law>")).startsWith(QStringLiteral("UTF-8")));
    EXPECT_TRUE(refusal(QByteArray()).startsWith(QStringLiteral("XMLとして読めません。")));
    EXPECT_TRUE(refusal(lawXml(QString()), QStringLiteral("1A"))
                    .startsWith(QStringLiteral("法典コード「1A」")));
    EXPECT_TRUE(refusal(lawXml(QString(), QStringLiteral("a/b")))
                    .startsWith(QStringLiteral("法典名称「a/b」")));
    EXPECT_TRUE(refusal(lawXml(QString(), QString())).startsWith(QStringLiteral("法典名称「」")));

    // Nesting far past the limit is refused, not followed.
    QByteArray deep = lawXml(QStringLiteral("@"));
    QByteArray open, close;
    for (int i = 0; i < 10000; ++i) {
        open += "<Division>";
        close += "</Division>";
    }
    deep.replace("@", open + close);
    EXPECT_TRUE(refusal(deep).contains(QStringLiteral("入れ子")));
    // Nesting just inside the limit converts.
    QString parts;
    for (int i = 0; i < kMaxXmlDepth - 5; ++i) parts += QStringLiteral("<Part>");
    for (int i = 0; i < kMaxXmlDepth - 5; ++i) parts += QStringLiteral("</Part>");
    EXPECT_EQ(refusal(lawXml(parts)), QStringLiteral("<converted>"));
}

TEST(LawXmlInputTest, TextInPiecesAndPrefixedNamesReadAsOne) {
    // Lines, references and a CDATA section are one text; a prefixed name is its local name.
    const QString pieces = QStringLiteral("甲&amp;乙\n  <![CDATA[<丙>]]>&#x4E01;");
    EXPECT_EQ(
        body(convertLawXml(lawXml(article(QStringLiteral("1"), QString(), para(sentence(pieces)))),
                           QStringLiteral("TS"))),
        QStringLiteral("（）\r\n第１条\r\n甲&乙<丙>丁\r\n"));
    QByteArray prefixed = lawXml(article(QStringLiteral("2"), QString(), para(sentence(u"戊"_qs))));
    prefixed.replace("<Law>", "<l:Law xmlns:l=\"urn:law\">").replace("</Law>", "</l:Law>");
    EXPECT_EQ(body(convertLawXml(prefixed, QStringLiteral("TS"))),
              QStringLiteral("（）\r\n第２条\r\n戊\r\n"));
}

TEST(LawXmlInputTest, RangesAndTagsCannotRunAway) {
    // Six ranges of 9,999 articles pass the law's limit: refused, not written out.
    QString many;
    for (int i = 0; i < 6; ++i)
        many +=
            article(QStringLiteral("1:9999"), QString(), para(sentence(QStringLiteral("削除"))));
    EXPECT_TRUE(refusal(lawXml(many)).startsWith(QStringLiteral("条が 50000 を超えています")));
    // Distinct tags by the hundred thousand are looked up in a hash.
    QString tags;
    for (int i = 0; i < 100000; ++i) tags += QStringLiteral("<t%1/>").arg(i);
    EXPECT_EQ(refusal(lawXml(para(tags))), QStringLiteral("<converted>"));
}

TEST(LawXmlInputTest, FiftyMegabytesConvert) {
    // Copies of 会社法's main provisions under one law: about 50 MB.
    QFile f(dataDir() + QStringLiteral("/KS.xml"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray ks = f.readAll();
    const qsizetype from = ks.indexOf("<MainProvision>") + 15;
    const QByteArray main = ks.mid(from, ks.indexOf("</MainProvision>") - from);
    QByteArray big = "<Law><LawBody><LawTitle>大</LawTitle><MainProvision>";
    while (big.size() < 50'000'000) big += main;
    big += "</MainProvision></LawBody></Law>";
    QElapsedTimer clock;
    clock.start();
    const LawXml law = convertLawXml(big, QStringLiteral("BG"));
    EXPECT_GT(law.articles, 17000);
    EXPECT_GT(kinds(law, QStringLiteral("目次コードが重なった見出しを前の見出しにまとめた")), 0);
}

}  // namespace

namespace {

TEST(LawXmlInputTest, TitlesTooLongForAFileNameBecomeShorterNames) {
    const QString body = para(sentence(QStringLiteral("本文")));
    // 84 characters of three bytes: 252 bytes with ".mdb", five past the limit.
    const QString longTitle = QString(84, QChar(0x6CD5));
    const QString fits = QString(81, QChar(0x6CD5));  // 243 + 4 bytes: exactly at the limit
    EXPECT_EQ(convertLawXml(lawXml(body, fits), QStringLiteral("AB")).name, fits);
    // Without an abbreviation: the law number, as much of the title as fits, "…".
    const LawXml cut = convertLawXml(lawXml(body, longTitle), QStringLiteral("AB"));
    EXPECT_TRUE(cut.name.startsWith(QStringLiteral("番号法法")));
    EXPECT_TRUE(cut.name.endsWith(QStringLiteral("…")));
    EXPECT_LE((cut.name + QStringLiteral(".mdb")).toUtf8().size(), 247);
    EXPECT_GT((cut.name + QStringLiteral("法.mdb")).toUtf8().size(), 247);
    EXPECT_EQ(cut.fullTitle, longTitle);
    EXPECT_TRUE(cut.text.startsWith(QStringLiteral("法典コード=AB\r\n法典名称=") + cut.name +
                                    QStringLiteral("\r\n")));
    // With one: the first abbreviation.
    QByteArray withAbbrev = lawXml(body, longTitle);
    withAbbrev.replace("<LawTitle>", "<LawTitle Abbrev=\"長法,長い法\" Kana=\"ながいほう\">");
    EXPECT_EQ(convertLawXml(withAbbrev, QStringLiteral("AB")).name, QStringLiteral("長法"));
    EXPECT_EQ(exchange::shortLawName(longTitle, QString(), QString()),
              QString(80, QChar(0x6CD5)) + QStringLiteral("…"));
}

TEST(LawXmlInputTest, AFirstAbbreviationThatCannotNameAFileGivesTheLawNumberName) {
    const QString body = para(sentence(QStringLiteral("本文")));
    const QString longTitle = QString(84, QChar(0x6CD5));                   // 252 bytes with ".mdb"
    const QString lawNum = QStringLiteral("昭和二十二年法律第百二十五号");  // 42 bytes
    // 247 - 4 (".mdb") - 42 - 3 ("…") bytes leave 66 characters of the title.
    const QString numberName = lawNum + QString(66, QChar(0x6CD5)) + QStringLiteral("…");
    const QString fitting = QString(81, QChar(0x7565));  // 243 + 4 bytes: at the limit
    const struct {
        QString abbrev, name;
    } cases[] = {
        {QStringLiteral("甲/乙"), numberName},
        {QString(82, QChar(0x7565)), numberName},    // 246 + 4 bytes
        {QStringLiteral("法典コード"), numberName},  // the law list's own database
        {QStringLiteral("甲..乙"), numberName},
        {QStringLiteral("甲/乙,長法"), numberName},  // only the first is the usual one
        {QStringLiteral(" 長法 ,甲/乙"), QStringLiteral("長法")},
        {fitting, fitting},
    };
    for (const auto& c : cases) {
        const std::string at = c.abbrev.toStdString();
        EXPECT_EQ(shortLawName(longTitle, c.abbrev, lawNum), c.name) << at;
        LawXmlHead head;
        head.title = longTitle;
        head.abbrev = c.abbrev;
        head.lawNum = lawNum;
        EXPECT_EQ(lawNameFor(head), c.name) << at;
        // Converted under that name, not refused; the title kept whole.
        QByteArray xml = lawXml(body, longTitle);
        xml.replace("<LawNum>番号</LawNum>",
                    (QStringLiteral("<LawNum>") + lawNum + QStringLiteral("</LawNum>")).toUtf8());
        xml.replace(
            "<LawTitle>",
            (QStringLiteral("<LawTitle Abbrev=\"") + c.abbrev + QStringLiteral("\">")).toUtf8());
        EXPECT_EQ(refusal(xml), QStringLiteral("<converted>")) << at;
        const LawXml law = convertLawXml(xml, QStringLiteral("AB"));
        EXPECT_EQ(law.name, c.name) << at;
        EXPECT_EQ(law.fullTitle, longTitle) << at;
    }
    // A title that fits keeps its name whatever the abbreviation.
    LawXmlHead shortOne;
    shortOne.title = QStringLiteral("試験法");
    shortOne.abbrev = QStringLiteral("甲/乙");
    shortOne.lawNum = lawNum;
    EXPECT_EQ(lawNameFor(shortOne), QStringLiteral("試験法"));
}

// Every part of the law body besides the main provision is kept whole: its kind, its number
// within the kind, the label the tree shows and the text the browser shows.
TEST(LawXmlPartsTest, EachKindOfPartIsKeptWithItsLabelTextAndElement) {
    const QString suppl =
        QStringLiteral("<SupplProvision><SupplProvisionLabel>附　則</SupplProvisionLabel>") +
        article(
            QStringLiteral("1"), QStringLiteral("（施行期日）"),
            para(sentence(QStringLiteral("この法律は、公布の日から施行する。"))) +
                QStringLiteral("<Paragraph Num=\"2\"><ParagraphNum>２</ParagraphNum>"
                               "<ParagraphSentence><Sentence>前項の規定は、適用しない。"
                               "</Sentence></ParagraphSentence><Item Num=\"1\"><ItemTitle>一"
                               "</ItemTitle><ItemSentence><Column><Sentence>甲</Sentence>"
                               "</Column><Column><Sentence>乙</Sentence></Column></ItemSentence>"
                               "</Item></Paragraph>")) +
        QStringLiteral("</SupplProvision>");
    const QString amending = QStringLiteral(
        "<SupplProvision AmendLawNum=\"平成二九年六月二日法律第四四号\" Extract=\"true\">"
        "<SupplProvisionLabel>附　則</SupplProvisionLabel><Paragraph Num=\"1\"><ParagraphNum/>"
        "<ParagraphSentence><Sentence>この法律は、<Ruby>施行<Rt>しこう</Rt></Ruby>する。</Sentence>"
        "</ParagraphSentence></Paragraph><Paragraph Num=\"2\"><ParagraphNum>２</ParagraphNum>"
        "<ParagraphSentence><Sentence>経過措置は、政令で定める。</Sentence></ParagraphSentence>"
        "</Paragraph></SupplProvision>");
    const QString table = QStringLiteral(
        "<AppdxTable Num=\"1\"><AppdxTableTitle>別表第一</AppdxTableTitle><RelatedArticleNum>"
        "（第三条関係）</RelatedArticleNum><TableStruct><Table><TableRow><TableColumn "
        "rowspan=\"2\">"
        "<Sentence>区分</Sentence></TableColumn><TableColumn "
        "colspan=\"2\"><Sentence>税率</Sentence>"
        "</TableColumn></TableRow><TableRow><TableColumn><Sentence>千分の四</Sentence></"
        "TableColumn>"
        "<TableColumn><Sentence>塡補</Sentence></TableColumn></TableRow></Table></TableStruct>"
        "</AppdxTable>");
    const QString fig = QStringLiteral(
        "<AppdxFig><AppdxFigTitle>別図</AppdxFigTitle><FigStruct><Fig src=\"./pict/001.jpg\"/>"
        "</FigStruct></AppdxFig>");
    const QString xml = QStringLiteral(
                            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Law><LawNum>番号</LawNum>"
                            "<LawBody><LawTitle>試験法</LawTitle><Preamble>") +
                        para(sentence(QStringLiteral("前文の一。"))) +
                        para(sentence(QStringLiteral("前文の二。"))) +
                        QStringLiteral("</Preamble><MainProvision>") +
                        article(QStringLiteral("1"), QStringLiteral("（目的）"),
                                para(sentence(QStringLiteral("本文。")))) +
                        QStringLiteral("</MainProvision>") + suppl + amending + table +
                        QStringLiteral("<AppdxTable/>") + fig +
                        QStringLiteral(
                            "<AppdxStyle><AppdxStyleTitle>様式第一</AppdxStyleTitle></AppdxStyle>"
                            "<EnactStatement>制定文</EnactStatement></LawBody></Law>");
    const LawXml law = convertLawXml(xml.toUtf8(), QStringLiteral("TS"));
    struct Want {
        const char *kind, *label;
        int number;
        const char* text;
    };
    const Want want[] = {
        {"前文", "前文", 1, "前文の一。\r\n前文の二。"},
        {"附則", "附則", 1,
         "附　則\r\n（施行期日）\r\n第一条　この法律は、公布の日から施行する。\r\n"
         "２　前項の規定は、適用しない。\r\n一　甲　乙"},
        {"附則", "附則（平成二九年六月二日法律第四四号）抄", 2,
         "附　則\r\nこの法律は、施行する。\r\n２　経過措置は、政令で定める。"},
        {"別表", "別表第一（第三条関係）", 1,
         "別表第一（第三条関係）\r\n区分\t税率\r\n千分の四\t填補"},
        {"別表", "別表2", 2, ""},
        {"別図", "別図", 1, "別図\r\n［図 ./pict/001.jpg］"},
        {"様式", "様式第一", 1, "様式第一"},
    };
    ASSERT_EQ(law.parts.size(), std::size(want));
    for (int i = 0; i < law.parts.size(); ++i) {
        const store::LawPart& p = law.parts[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(p.kind, QString::fromUtf8(want[i].kind));
        EXPECT_EQ(p.label, QString::fromUtf8(want[i].label));
        EXPECT_EQ(p.number, want[i].number);
        EXPECT_EQ(p.text, QString::fromUtf8(want[i].text));
    }
    // Each element whole, as written: spans, ruby and attributes kept for the windows.
    EXPECT_EQ(law.parts[2].xml, amending);
    EXPECT_EQ(law.parts[3].xml, table);
    EXPECT_EQ(law.parts[4].xml, QStringLiteral("<AppdxTable/>"));
    EXPECT_TRUE(law.parts[2].extract);
    EXPECT_EQ(law.parts[2].amendLawNum, QStringLiteral("平成二九年六月二日法律第四四号"));
    EXPECT_FALSE(law.parts[1].extract);
    // The main provision converts as before; what is not kept is still reported.
    EXPECT_EQ(law.articles, 1);
    EXPECT_EQ(kinds(law, QStringLiteral("本則以外を除いた")), 1);
}

// Subitems of any depth begin a line and their titles lead it; names that only look like
// them do neither.
TEST(LawXmlPartsTest, SubitemsOfAnyDepthAreDrawnAsEntries) {
    auto subitem = [](const QString& tag, const QString& title, const QString& text) {
        return QStringLiteral(
                   "<%1><%1Title>%2</%1Title><%1Sentence><Sentence>%3</Sentence>"
                   "</%1Sentence></%1>")
            .arg(tag, title, text);
    };
    const QString xml =
        QStringLiteral(
            "<SupplProvision><SupplProvisionLabel>附　則</SupplProvisionLabel>"
            "<Paragraph Num=\"1\"><ParagraphNum/><ParagraphSentence><Sentence>本文。"
            "</Sentence></ParagraphSentence><Item Num=\"1\"><ItemTitle>一</ItemTitle>"
            "<ItemSentence><Sentence>号</Sentence></ItemSentence>") +
        subitem(QStringLiteral("Subitem1"), QStringLiteral("イ"), QStringLiteral("細目")) +
        subitem(QStringLiteral("Subitem10"), QStringLiteral("ａ"), QStringLiteral("深い")) +
        QStringLiteral(
            "<SubitemX>続き</SubitemX><SubitemTitle>見出し</SubitemTitle>"
            "<Subitem2Titles>添え</Subitem2Titles></Item></Paragraph></SupplProvision>");
    const store::LawPart part = readLawPart(QStringLiteral("SupplProvision"), xml.toUtf8(), 1);
    EXPECT_EQ(part.text, QStringLiteral("附　則\r\n本文。\r\n一　号\r\nイ　細目\r\nａ　深い続き\r\n"
                                        "見出し添え"));
}

// A part as the browser draws it: its tables on a grid as HTML places cells (a cell takes the
// first free column, below a cell spanning rows), its figures apart, the rest as lines.
TEST(LawXmlPartsTest, TablesArePlacedOnTheirGridAndFiguresStandApart) {
    auto cell = [](const char* attrs, const char* text) {
        return QStringLiteral("<TableColumn %1><Sentence>%2</Sentence></TableColumn>")
            .arg(QString::fromUtf8(attrs), QString::fromUtf8(text));
    };
    auto row = [](const QString& cells, const char* tag = "TableRow") {
        return QStringLiteral("<%1>%2</%1>").arg(QString::fromLatin1(tag), cells);
    };
    const QString xml =
        QStringLiteral(
            "<AppdxTable><AppdxTableTitle>別表第二</AppdxTableTitle><TableStruct><Table>") +
        row(QStringLiteral("<TableHeaderColumn>区分</TableHeaderColumn>"
                           "<TableHeaderColumn colspan=\"2\">税率</TableHeaderColumn>"),
            "TableHeaderRow") +
        row(cell("rowspan=\"2\" BorderLeft=\"none\"", "登記") + cell("", "甲") +
            cell("rowspan=\"9\"", "千分の四")) +
        row(cell("", "乙")) + row(cell("colspan=\"99\"", "計")) +
        QStringLiteral(
            "</Table></TableStruct><Remarks><RemarksLabel>備考</RemarksLabel>"
            "<Sentence>一の区分による。</Sentence></Remarks><FigStruct>"
            "<Fig src=\"./pict/H01.png\"/></FigStruct><TableStruct><Table/>"
            "</TableStruct></AppdxTable>");
    const store::LawPart part = readLawPart(QStringLiteral("AppdxTable"), xml.toUtf8(), 2);
    EXPECT_EQ(part.text, QStringLiteral("別表第二\r\n区分\t税率\r\n登記\t甲\t千分の四\r\n乙\r\n計"
                                        "\r\n備考\r\n一の区分による。\r\n［図 ./pict/H01.png］"));
    const QList<PartBlock> blocks = partLayout(part);
    ASSERT_EQ(blocks.size(), 4);
    EXPECT_EQ(blocks[0].lines, QStringList{QStringLiteral("別表第二")});
    EXPECT_EQ(blocks[2].lines,
              QStringList({QStringLiteral("備考"), QStringLiteral("一の区分による。")}));
    EXPECT_EQ(blocks[3].figure, QStringLiteral("./pict/H01.png"));
    EXPECT_EQ(blocks[3].rows, 0);
    const PartBlock& t = blocks[1];
    EXPECT_EQ(t.rows, 4);
    EXPECT_EQ(t.columns, 64);  // the widest span a table may have
    struct Want {
        const char* text;
        int row, column, rowSpan, columnSpan;
        bool left;
    };
    const Want want[] = {{"区分", 0, 0, 1, 1, true},     {"税率", 0, 1, 1, 2, true},
                         {"登記", 1, 0, 2, 1, false},    {"甲", 1, 1, 1, 1, true},
                         {"千分の四", 1, 2, 3, 1, true}, {"乙", 2, 1, 1, 1, true},
                         {"計", 3, 0, 1, 64, true}};
    ASSERT_EQ(t.cells.size(), std::size(want));
    for (int i = 0; i < t.cells.size(); ++i) {
        SCOPED_TRACE(i);
        const PartCell& c = t.cells[i];
        EXPECT_EQ(c.text, QString::fromUtf8(want[i].text));
        EXPECT_EQ(c.row, want[i].row);
        EXPECT_EQ(c.column, want[i].column);
        EXPECT_EQ(c.rowSpan, want[i].rowSpan);
        EXPECT_EQ(c.columnSpan, want[i].columnSpan);
        EXPECT_EQ(c.left, want[i].left);
        EXPECT_TRUE(c.top && c.right && c.bottom);
    }
}

// What no law's table needs is read as lines (a grid past 256 columns, at once); a figure
// stands apart from its title; a table without cells does not hide the table after it.
TEST(LawXmlPartsTest, OddTablesAndFiguresStayReadable) {
    QString wide = QStringLiteral("<AppdxTable><TableStruct><Table><TableRow>");
    for (int i = 0; i < 2000; ++i)
        wide += QStringLiteral("<TableColumn rowspan=\"64\" colspan=\"64\">c</TableColumn>");
    wide += QStringLiteral("</TableRow></Table></TableStruct></AppdxTable>");
    QElapsedTimer clock;
    clock.start();
    const QList<PartBlock> flat =
        partLayout(readLawPart(QStringLiteral("AppdxTable"), wide.toUtf8(), 1));
    EXPECT_LT(clock.elapsed(), 2000);
    ASSERT_EQ(flat.size(), 1);
    EXPECT_EQ(flat[0].rows, 0);
    EXPECT_EQ(flat[0].lines.value(0).count(u'\t'), 1999);
    const QByteArray odd =
        "<AppdxFig><FigStruct><FigStructTitle>図一</FigStructTitle><Fig src=\"a.jpg\"/>"
        "<Fig src=\"b.jpg\"/></FigStruct><TableStruct><Table><TableRow><TableColumn/>"
        "</TableRow></Table></TableStruct><TableStruct><Table><TableRow><TableColumn>甲"
        "</TableColumn></TableRow></Table></TableStruct></AppdxFig>";
    const QList<PartBlock> blocks = partLayout(readLawPart(QStringLiteral("AppdxFig"), odd, 1));
    QStringList shape;
    for (const PartBlock& b : blocks)
        shape << (b.rows               ? QStringLiteral("table %1").arg(b.cells.value(0).text)
                  : b.figure.isEmpty() ? b.lines.join(u'|')
                                       : QStringLiteral("figure ") + b.figure);
    EXPECT_EQ(shape, QStringList({QStringLiteral("図一"), QStringLiteral("figure a.jpg"),
                                  QStringLiteral("figure b.jpg"), QStringLiteral("table 甲")}));
}

}  // namespace

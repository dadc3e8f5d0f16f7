// Law XML imports: a listed law's code is never taken (refused before anything is written,
// in the library and through lexctl), codes from readings, long titles, whole collections.
#include <functional>
#include "exchange/lawcode.h"
#include "exchange/lawlist.h"
#include "exchange/lawparts.h"
#include "exchange/lawsource.h"
#include "exchange/lawxml.h"
#include "maint/bulkimport.h"
#include "maint/lawfetch.h"
#include "maint/lawimport.h"
#include "platform/prompt.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/versions.h"
#include "tests/support/samplelaws.h"
#include "viewer/browser/citedby.h"
#include "viewer/shell/searchindex.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QThread>

using namespace maint;

namespace {

const QString kKokkaBaisho = QStringLiteral(LEXORA_FIXTURES_DIR "/kokka-baisho.xml");

class RefusalTest : public testsupport::TempRootTest {};

TEST(LawCodeTest, ReadingsRomanisedAndCodesChosenByTheRule) {
    const std::pair<const char*, const char*> readings[] = {
        {"こっかばいしょうほう", "KOKKABAISHOUHOU"},
        {"ぎょうせいてつづきほう", "GYOUSEITETSUZUKIHOU"},
        {"かいしゃほう", "KAISHAHOU"},
        {"ミンポウ", "MINPOU"},
        {"まっちゃ", "MATCHA"},
        {"じゅうみんきほんだいちょうほう", "JUUMINKIHONDAICHOUHOU"},
        {"", ""},
        {"民法", ""}};
    for (const auto& [kana, roman] : readings)
        EXPECT_EQ(exchange::romanize(QString::fromUtf8(kana)), QString::fromLatin1(roman)) << kana;
    const QStringList all = exchange::codeCandidates(QStringLiteral("こっかばいしょうほう"));
    EXPECT_EQ(all.size(), 936);
    EXPECT_EQ(QSet<QString>(all.begin(), all.end()).size(), 936);
    EXPECT_EQ(all.mid(0, 8),
              QStringList({QStringLiteral("KO"), QStringLiteral("KK"), QStringLiteral("KA"),
                           QStringLiteral("KB"), QStringLiteral("KI"), QStringLiteral("KS"),
                           QStringLiteral("KH"), QStringLiteral("KU")}));
    EXPECT_EQ(exchange::codeCandidates(QString()).first(), QStringLiteral("AA"));
    // A listed name keeps its code; a taken code passes to the next; none left: empty.
    QList<store::LawEntry> listed{{1, QStringLiteral("ko"), QStringLiteral("国会法")}};
    const QString kana = QStringLiteral("こっかばいしょうほう");
    EXPECT_EQ(exchange::proposeLawCode(QStringLiteral("国家賠償法"), kana, listed),
              QStringLiteral("KK"));
    EXPECT_EQ(exchange::proposeLawCode(QStringLiteral("国会法"), kana, listed),
              QStringLiteral("ko"));
    for (int i = 0; i < 935; ++i) listed.append({i + 2, all[i + 1], QString::number(i)});
    listed.removeLast();
    EXPECT_EQ(exchange::proposeLawCode(QStringLiteral("国家賠償法"), kana, listed), all.last());
    // All 936 held: two kanji, from the abbreviation, then the title, then every code kanji
    // after the title's first; never a listed law's name nor a code held.
    listed.append({937, all.last(), QStringLiteral("民法")});
    const QString abbrev = QStringLiteral("国賠法");
    const std::pair<const char*, const char*> past[] = {
        {"", "国賠"}, {"国賠", "国法"}, {"国法", "賠法"}, {"賠法", "国家"}};
    for (const auto& [held, expected] : past) {
        if (*held) listed.append({int(listed.size()) + 1, QString::fromUtf8(held), QString()});
        EXPECT_EQ(exchange::proposeLawCode(QStringLiteral("国家賠償法"), kana, listed, abbrev),
                  QString::fromUtf8(expected))
            << held;
    }
    EXPECT_EQ(exchange::proposeLawCode(QStringLiteral("民法施行法"), QString(), listed),
              QStringLiteral("民施"));
    // A reader's abbreviation (民訴) is no code: typed, it names 民事訴訟法.
    listed.append({int(listed.size()) + 1, QStringLiteral("民事"), QString()});
    EXPECT_EQ(
        exchange::proposeLawCode(QStringLiteral("民事訴訟費用等に関する法律"), QString(), listed),
        QStringLiteral("民訟"));
    const QStringList kanji = exchange::kanjiCodeCandidates(QStringLiteral("第一法"), {}, 3);
    EXPECT_EQ(kanji, QStringList({QStringLiteral("法亜"), QStringLiteral("法唖"),
                                  QStringLiteral("法娃")}));  // 第 and 一 are no code kanji
    EXPECT_EQ(exchange::kanjiCodeCandidates(QStringLiteral("民法"), {}, 20000).size(), 20000);

    // What a law code may be: ASCII letter and letter or digit, or two code kanji.
    const std::pair<const char*, bool> codes[] = {
        {"MP", true},    {"m1", true},    {"1M", false},   {"M", false},
        {"MPX", false},  {"国賠", true},  {"国1", false},  {"1国", false},
        {"一二", false}, {"第一", false}, {"国条", false}, {"附則", false},
        {"ＭＰ", false}, {"丂丂", false}, {"国あ", false}, {"M国", false}};
    for (const auto& [code, valid] : codes)
        EXPECT_EQ(store::isValidLawCode(QString::fromUtf8(code)), valid) << code;
    EXPECT_GT(store::codeKanji().size(), 6000);
    EXPECT_EQ(store::codeKanji().first(), QChar(u'亜'));
}

TEST_F(RefusalTest, ACodeListedForAnotherLawIsRefusedBeforeAnythingIsWritten) {
    platform::ScriptedPrompt prompt;
    LawTextImporter importer;
    importer.run(QStringLiteral("法典コード=MP\r\n法典名称=民法\r\n\r\n（基本原則）\r\n第１条\r\n"
                                "私権は、公共の福祉に適合しなければならない。"),
                 {});
    const QByteArray civil = testsupport::readFile(store::lawDbPath(QStringLiteral("民法")));
    const QString refusal = QStringLiteral(
        "MP は 民法 の法典コードです。別のコードを指定するか、先に 民法 を削除してください。");
    ImportOptions pane;
    pane.fromPane = true;
    const QString text = QStringLiteral(
        "法典コード=mp\r\n法典名称=国家賠償法\r\n\r\n（）\r\n第１条\r\n国又は公共団体の…");
    const exchange::LawXml xml = exchange::convertLawXmlFile(kKokkaBaisho, QStringLiteral("MP"));
    const std::function<void()> imports[] = {
        [&] { importer.run(text, {}); },
        [&] { importer.run(text, pane); },
        [&] { importLawXml(xml, importer); },
    };
    for (const auto& run : imports) {
        try {
            run();
            ADD_FAILURE() << "not refused";
        } catch (const store::Error& e) {
            EXPECT_EQ(e.description(), refusal);
        }
        ASSERT_EQ(store::readLawList().size(), 1);
        EXPECT_EQ(store::readLawList()[0].name, QStringLiteral("民法"));
        EXPECT_FALSE(QFileInfo::exists(store::lawDbPath(QStringLiteral("国家賠償法"))));
        EXPECT_EQ(testsupport::readFile(store::lawDbPath(QStringLiteral("民法"))), civil);
    }
    EXPECT_EQ(checkImportTarget(QStringLiteral("mp"), QStringLiteral("民法")), QString());
    EXPECT_EQ(checkImportTarget(QStringLiteral("KB"), QStringLiteral("国家賠償法")), QString());
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

TEST_F(RefusalTest, AnXmlImportKeepsTheFullTitleNumberAndReading) {
    platform::ScriptedPrompt prompt;
    QByteArray xml = testsupport::readFile(kKokkaBaisho);
    const QString longTitle = QStringLiteral("国家賠償") + QString(80, QChar(0x6CD5));
    xml.replace("国家賠償法</LawTitle>", (longTitle + QStringLiteral("</LawTitle>")).toUtf8());
    const exchange::LawXml law = exchange::convertLawXml(xml, QStringLiteral("KB"));
    EXPECT_EQ(law.name, QStringLiteral("国賠法"));  // its abbreviation
    LawTextImporter importer;
    importLawXml(law, importer);
    store::Database db = store::openLawDb(QStringLiteral("国賠法"));
    const store::LawInfo info = store::readLawInfo(db);
    EXPECT_EQ(info.title, longTitle);
    EXPECT_EQ(info.lawNum, QStringLiteral("昭和二十二年法律第百二十五号"));
    EXPECT_EQ(info.kana, QStringLiteral("こっかばいしょうほう"));
    EXPECT_EQ(store::lawTitle(QStringLiteral("国賠法")), longTitle);
    EXPECT_EQ(store::lawTitle(QStringLiteral("未登録")), QStringLiteral("未登録"));
}

// A figure's picture beside the XML (a file's folder, the zip's entry) is kept with the law;
// a name in the XML that leads out of the folder is never followed.
TEST_F(RefusalTest, FigurePicturesBesideTheXmlAreKept) {
    const std::pair<const char*, const char*> paths[] = {{"./pict/a.png", "/d/pict/a.png"},
                                                         {"pict/../a.png", "/d/a.png"},
                                                         {"../a.png", ""},
                                                         {"pict/../../a.png", ""},
                                                         {"/etc/passwd", ""},
                                                         {"", ""},
                                                         {".", ""}};
    for (const auto& [relative, want] : paths)
        EXPECT_EQ(exchange::besidePath(QStringLiteral("/d/law.xml"), QString::fromUtf8(relative)),
                  QString::fromUtf8(want))
            << relative;
    EXPECT_EQ(exchange::besidePath(QStringLiteral("law.xml"), QStringLiteral("../a.png")),
              QString());
    EXPECT_EQ(exchange::besidePath(QStringLiteral("law.xml"), QStringLiteral("..")), QString());
    EXPECT_EQ(exchange::besidePath(QStringLiteral("/law.xml"), QStringLiteral("pict/a.png")),
              QStringLiteral("/pict/a.png"));
    // Kept by the name the XML gives, cleaned: two pictures of one file name stay two.
    const std::pair<const char*, const char*> kept[] = {{"./pict/a.png", "pict/a.png"},
                                                        {"pict/2/a.png", "pict/2/a.png"},
                                                        {"../a.png", ""},
                                                        {"/a.png", ""},
                                                        {"c:\\a.png", ""},
                                                        {"", ""}};
    for (const auto& [src, want] : kept)
        EXPECT_EQ(exchange::figureKeptAs(QString::fromUtf8(src)), QString::fromUtf8(want)) << src;
    const QString folder = path(QStringLiteral("xml"));
    QDir().mkpath(folder + QStringLiteral("/pict"));
    QByteArray xml = testsupport::readFile(kKokkaBaisho);
    xml.replace(
        "</LawBody>",
        "<AppdxFig><AppdxFigTitle>別図</AppdxFigTitle><FigStruct><Fig src=\"./pict/f1.png\"/>"
        "</FigStruct><FigStruct><Fig src=\"../outside.png\"/></FigStruct><FigStruct>"
        "<Fig src=\"./pict/none.png\"/></FigStruct></AppdxFig></LawBody>");
    const QString file = folder + QStringLiteral("/322AC0000000125_kb.xml");
    testsupport::writeFile(file, xml);
    testsupport::writeFile(folder + QStringLiteral("/pict/f1.png"), "PNG1");
    testsupport::writeFile(path(QStringLiteral("outside.png")), "SECRET");
    QProcess zip;
    zip.setWorkingDirectory(folder);
    zip.start(QStringLiteral("zip"),
              {QStringLiteral("-qr"), path(QStringLiteral("laws.zip")), QStringLiteral(".")});
    ASSERT_TRUE(zip.waitForFinished() && zip.exitCode() == 0);
    const QString keptIn = store::figureFolder(QStringLiteral("国家賠償法"));
    auto keptFiles = [&] {
        QStringList out;
        for (QDirIterator it(keptIn, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            out << QDir(keptIn).relativeFilePath(it.next());
        return out;
    };
    for (const QString& from : {folder, path(QStringLiteral("laws.zip"))}) {
        QDir(keptIn).removeRecursively();
        const maint::BulkResult r = maint::importLawXmlSource(exchange::LawXmlSource(from), {});
        EXPECT_EQ(r.imported.size(), 1) << from.toStdString();
        EXPECT_EQ(keptFiles(), QStringList{QStringLiteral("pict/f1.png")}) << from.toStdString();
        EXPECT_EQ(testsupport::readFile(keptIn + QStringLiteral("/pict/f1.png")), "PNG1");
    }
    // One file, as lexctl and Lexbench import it: the one path keeps them too.
    QDir(keptIn).removeRecursively();
    const testsupport::ProcessResult one = lexctl({QStringLiteral("import-xml"), file});
    EXPECT_TRUE(one.out.contains(QStringLiteral("; 1 figure pictures kept")))
        << one.out.toStdString();
    EXPECT_EQ(keptFiles(), QStringList{QStringLiteral("pict/f1.png")});
}

TEST_F(RefusalTest, ACollectionImportsFromAFolderOrAZipEachUnderItsReadingsCode) {
    // Two laws in a folder tree, and a file that is no law XML.
    const QString folder = path(QStringLiteral("xml"));
    QDir().mkpath(folder + QStringLiteral("/sub"));
    QFile::copy(QStringLiteral(LEXORA_SAMPLE_DIR "/../xml/GT.xml"),
                folder + QStringLiteral("/405AC0000000088_gt.xml"));
    QFile::copy(kKokkaBaisho, folder + QStringLiteral("/sub/322AC0000000125_20230401_kb.xml"));
    testsupport::writeFile(folder + QStringLiteral("/notes.xml"), "<html/>");
    QProcess zip;
    zip.setWorkingDirectory(folder);
    zip.start(QStringLiteral("zip"),
              {QStringLiteral("-qr"), path(QStringLiteral("laws.zip")), QStringLiteral(".")});
    ASSERT_TRUE(zip.waitForFinished() && zip.exitCode() == 0);

    struct Case {
        QString from;
        maint::BulkFilter filter;
        QStringList imported;
        int skipped;
    };
    const QList<Case> cases{
        {folder,
         {},
         {QStringLiteral("GY 行政手続法: 48 articles"),
          QStringLiteral("KO 国家賠償法: 6 articles")},
         1},
        {path(QStringLiteral("laws.zip")),
         {{QStringLiteral("賠償")}, {}},
         {QStringLiteral("KO 国家賠償法: 6 articles")},
         0},
        {path(QStringLiteral("laws.zip")),
         {{}, {QStringLiteral("405AC0000000088")}},
         {QStringLiteral("GY 行政手続法: 48 articles")},
         0},
    };
    for (const Case& c : cases) {
        QDir(store::folders().db).removeRecursively();
        store::MakeHCodeDB();
        const exchange::LawXmlSource source(c.from);
        EXPECT_EQ(source.names().size(), 3) << c.from.toStdString();
        const maint::BulkResult r = maint::importLawXmlSource(source, c.filter);
        EXPECT_EQ(r.imported, c.imported) << c.from.toStdString();
        EXPECT_EQ(r.skipped.size(), c.skipped) << r.skipped.join(u'\n').toStdString();
        EXPECT_EQ(store::readLawList().size(), c.imported.size());
        // The 参照元 index is written with them: nothing left for a first look to read.
        EXPECT_EQ(r.indexed, c.imported.size());
        EXPECT_EQ(viewer::CitationIndex().staleCount(), 0);
        // So is the search's: the first search reads no law into it.
        EXPECT_EQ(r.searchIndexed, c.imported.size());
        EXPECT_TRUE(r.searchIndexError.isEmpty());
        EXPECT_EQ(viewer::SearchIndex().staleCount(), 0);
    }
    // Imported again: each keeps its code.
    const maint::BulkResult again =
        maint::importLawXmlSource(exchange::LawXmlSource(path(QStringLiteral("laws.zip"))), {});
    EXPECT_TRUE(again.imported.contains(QStringLiteral("GY 行政手続法: 48 articles")));
    EXPECT_EQ(store::readLawList().size(), 2);
    store::Database gt = store::openLawDb(QStringLiteral("行政手続法"));
    EXPECT_EQ(store::readLawInfo(gt).lawId, QStringLiteral("405AC0000000088"));
    EXPECT_EQ(store::readLawInfo(gt).lawNum, QStringLiteral("平成五年法律第八十八号"));
    // The version's date from the bulk file's name, when it has one; the promulgation always.
    EXPECT_EQ(store::readLawInfo(gt).sourceDate, QString());
    EXPECT_EQ(store::readLawInfo(gt).promulgated, QStringLiteral("1993-11-12"));
    store::Database ko = store::openLawDb(QStringLiteral("国家賠償法"));
    EXPECT_EQ(store::readLawInfo(ko).sourceDate, QStringLiteral("2023-04-01"));
    EXPECT_EQ(store::readLawInfo(ko).promulgated, QStringLiteral("1947-10-27"));
    // Stopped after the first file: the laws converted ahead are dropped, not imported.
    QDir(store::folders().db).removeRecursively();
    store::MakeHCodeDB();
    maint::BulkObserver stopAtOnce;
    stopAtOnce.stop = [] { return true; };
    const maint::BulkResult stopped =
        maint::importLawXmlSource(exchange::LawXmlSource(folder), {}, stopAtOnce);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.imported.size() + stopped.skipped.size(), 1);
    EXPECT_EQ(store::readLawList().size(), stopped.imported.size());
    EXPECT_THROW(exchange::LawXmlSource(path(QStringLiteral("missing.zip"))),
                 exchange::LawSourceError);
    EXPECT_EQ(exchange::LawXmlSource::lawIdOf(QStringLiteral("a/322AC0000000125_20230401_kb.xml")),
              QStringLiteral("322AC0000000125"));
}

class RefusalCliTest : public testsupport::SampleLawsTest {};

TEST_F(RefusalCliTest, LexctlExitsNonZeroUnlessEverythingAskedWasDone) {
    // Under 民法's code: refused, 民法 still listed and readable.
    testsupport::ProcessResult r =
        lexctl({QStringLiteral("import-xml"), QStringLiteral("MP=") + kKokkaBaisho});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("MP は 民法 の法典コードです。")))
        << r.err.toStdString();
    r = lexctl({QStringLiteral("laws")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("2 MP 民法\n")));
    EXPECT_FALSE(r.out.contains(QStringLiteral("国家賠償法")));
    r = lexctl({QStringLiteral("show"), QStringLiteral("MP415")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("債務不履行による損害賠償"))) << r.out.toStdString();

    // Without a code, one comes from the reading; a free code imports, exit 0; the same law
    // again keeps its code.
    r = lexctl({QStringLiteral("import-xml"), kKokkaBaisho});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.startsWith(QStringLiteral("code KO for 国家賠償法 (こっかばいしょうほう)\n")));
    EXPECT_TRUE(lexctl({QStringLiteral("laws")}).out.contains(QStringLiteral("8 KO 国家賠償法\n")));
    r = lexctl({QStringLiteral("import-xml"), kKokkaBaisho});
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("code KO for")));
    EXPECT_EQ(lexctl({QStringLiteral("laws")}).out.count(u'\n'), 8);

    // A file that is not an index file, a missing file: non-zero with the reason.
    const QString notIdx = path(QStringLiteral("notidx.dat"));
    testsupport::writeFile(notIdx, testsupport::cp932(QStringLiteral("目次\r\n")));
    for (const QString& file : {notIdx, path(QStringLiteral("missing.dat"))}) {
        r = lexctl({QStringLiteral("import-idx"), file});
        EXPECT_EQ(r.exitCode, 1) << file.toStdString();
        EXPECT_TRUE(r.err.contains(file)) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("replaced"))) << r.out.toStdString();
    }

    // A search that had to leave a law out still prints its hits, names the law and exits 1.
    QFile::remove(store::lawDbPath(QStringLiteral("刑法")));
    r = lexctl({QStringLiteral("search"), QStringLiteral("損害賠償")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("民法"))) << r.out.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("skipped: 刑法: no database\n"));
}

TEST(LawCodeTest, TheReadingsLastLetterComesBeforeTheAlphabet) {
    // みんぽう: MINPOU (MI MN MP MO MU); ほうてん: HOUTEN (HO HU HT HE HN).
    struct Case {
        const char* kana;
        const char* taken;
        const char* code;
    };
    const Case cases[] = {
        {"みんぽう", "", "MI"},
        {"みんぽう", "MI MN MP MO", "MU"},     // the last letter
        {"みんぽう", "mi mn mp mo mu", "MA"},  // one past it; taken in any case
        {"ほうてん", "HO HU HT HE", "HN"},     // ん as the last letter
        {"ほうてん", "HO HU HT HE HN HA", "HB"},
    };
    for (const Case& c : cases) {
        QList<store::LawEntry> listed;
        for (const QString& code : QString::fromLatin1(c.taken).split(u' ', Qt::SkipEmptyParts))
            listed.append({int(listed.size()) + 1, code, code});
        const QString kana = QString::fromUtf8(c.kana);
        EXPECT_EQ(exchange::proposeLawCode(QStringLiteral("新法"), kana, listed),
                  QString::fromLatin1(c.code))
            << c.kana << " with " << c.taken;
    }
}

TEST_F(RefusalTest, TwoLawsOfOneCollectionWithOneReadingGetTwoCodes) {
    const QString folder = path(QStringLiteral("same"));
    QDir().mkpath(folder);
    QFile::copy(kKokkaBaisho, folder + QStringLiteral("/322AC0000000125_kb.xml"));
    QByteArray other = testsupport::readFile(kKokkaBaisho);
    other.replace("国家賠償法</LawTitle>", "国家賠償特例法</LawTitle>");  // Kana unchanged
    testsupport::writeFile(folder + QStringLiteral("/322AC0000000126_kb.xml"), other);

    const maint::BulkResult r = maint::importLawXmlSource(exchange::LawXmlSource(folder), {});
    EXPECT_EQ(r.imported, QStringList({QStringLiteral("KO 国家賠償法: 6 articles"),
                                       QStringLiteral("KK 国家賠償特例法: 6 articles")}));
    EXPECT_TRUE(r.skipped.isEmpty()) << r.skipped.join(u'\n').toStdString();
    ASSERT_EQ(store::readLawList().size(), 2);
    EXPECT_EQ(store::GetHoutenName(QStringLiteral("KO")), QStringLiteral("国家賠償法"));
    EXPECT_EQ(store::GetHoutenName(QStringLiteral("KK")), QStringLiteral("国家賠償特例法"));
    for (const QString& name : {QStringLiteral("国家賠償法"), QStringLiteral("国家賠償特例法")}) {
        store::Database db = store::openLawDb(name);
        EXPECT_GT(db.openRecordset(QStringLiteral("select * from 条文")).recordCount(), 0)
            << name.toStdString();
    }
}

// A small law XML: its title, reading and main provision as given, and what follows it.
QByteArray smallLaw(const QString& title, const QString& kana, const QString& main,
                    const QString& after = {}) {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Law Era=\"Reiwa\" Lang=\"ja\" "
               "LawType=\"Act\" Num=\"1\" Year=\"5\" PromulgateMonth=\"1\" PromulgateDay=\"1\">"
               "<LawNum>令和五年法律第一号</LawNum><LawBody><LawTitle Kana=\"%2\">%1</LawTitle>"
               "<MainProvision>%3</MainProvision>%4</LawBody></Law>")
        .arg(title, kana, main, after)
        .toUtf8();
}

QString smallArticle(int number, const QString& text) {
    return QStringLiteral(
               "<Article Num=\"%1\"><ArticleTitle>第%1条</ArticleTitle><Paragraph "
               "Num=\"1\"><ParagraphNum/><ParagraphSentence><Sentence>%2</Sentence>"
               "</ParagraphSentence></Paragraph></Article>")
        .arg(number)
        .arg(text);
}

// 政令 and 府省令 law XML import as a 法律's does: listed, read, and their kind told by the
// law number on the law list.
TEST_F(RefusalTest, CabinetAndMinisterialOrdersImportAsLawsDo) {
    const QString folder = path(QStringLiteral("orders"));
    QDir().mkpath(folder);
    auto order = [](const char* type, const char* num, const char* title, const char* kana) {
        QByteArray xml =
            smallLaw(QString::fromUtf8(title), QString::fromUtf8(kana),
                     smallArticle(1, QStringLiteral("この政令は、公布の日から施行する。")));
        xml.replace("LawType=\"Act\"", QByteArray("LawType=\"") + type + '"');
        xml.replace("令和五年法律第一号", num);
        return xml;
    };
    testsupport::writeFile(
        folder + QStringLiteral("/405CO0000000001_a.xml"),
        order("CabinetOrder", "令和五年政令第一号", "試験法施行令", "しけんほうしこうれい"));
    testsupport::writeFile(folder + QStringLiteral("/405M60000008001_b.xml"),
                           order("MinisterialOrdinance", "令和五年法務省令第一号", "試験法施行規則",
                                 "しけんほうしこうきそく"));
    const maint::BulkResult r = maint::importLawXmlSource(exchange::LawXmlSource(folder), {});
    EXPECT_EQ(r.imported.size(), 2) << r.skipped.join(u'\n').toStdString();
    QStringList kinds;
    for (const exchange::LawListEntry& l : exchange::readLawListEntries()) kinds << l.kind;
    EXPECT_EQ(kinds, QStringList({QStringLiteral("政令"), QStringLiteral("府省令")}));
    const QString code = store::readLawList().value(0).code;
    store::Database db = store::openLawDb(QStringLiteral("試験法施行令"));
    EXPECT_EQ(store::readLawInfo(db).lawNum, QStringLiteral("令和五年政令第一号"));
    EXPECT_EQ(db.openRecordset(QStringLiteral("select * from 条文")).recordCount(), 2)
        << code.toStdString();
}

TEST_F(RefusalTest, ACollectionReportsEveryLawRowAndIdLeftOutAndExitsOne) {
    ASSERT_EQ(lexctl({QStringLiteral("init")}).exitCode, 0);
    const QString folder = path(QStringLiteral("laws"));
    QDir().mkpath(folder);
    // 第一款 and 第一款の二 share a table-of-contents code: one row keeps both headings and
    // the articles of both.
    const QString colliding =
        QStringLiteral(
            "<Chapter Num=\"1\"><ChapterTitle>第一章　総則</ChapterTitle><Section Num=\"1\">"
            "<SectionTitle>第一節　通則</SectionTitle><Subsection Num=\"1\"><SubsectionTitle>"
            "第一款　甲</SubsectionTitle>%1</Subsection><Subsection Num=\"1_2\"><SubsectionTitle>"
            "第一款の二　乙</SubsectionTitle>%2</Subsection></Section></Chapter>")
            .arg(smallArticle(1, QStringLiteral("甲。")) + smallArticle(2, QStringLiteral("甲。")),
                 smallArticle(3, QStringLiteral("乙。")));
    testsupport::writeFile(
        folder + QStringLiteral("/405AC0000000001_x.xml"),
        smallLaw(QStringLiteral("試験法"), QStringLiteral("しけんほう"), colliding));
    // An article number past the code's four digits: that block is left out.
    testsupport::writeFile(folder + QStringLiteral("/405AC0000000003_x.xml"),
                           smallLaw(QStringLiteral("大番号法"), QStringLiteral("だいばんごうほう"),
                                    smallArticle(1, QStringLiteral("一。")) +
                                        smallArticle(10000, QStringLiteral("万。"))));
    // A law of supplementary provisions only.
    testsupport::writeFile(
        folder + QStringLiteral("/405AC0000000002_x.xml"),
        smallLaw(QStringLiteral("附則法"), QStringLiteral("ふそくほう"), {},
                 QStringLiteral("<SupplProvision><SupplProvisionLabel>附　則</SupplProvisionLabel>"
                                "<Paragraph Num=\"1\"><ParagraphNum/><ParagraphSentence><Sentence>"
                                "この法律は、公布の日から施行する。</Sentence></ParagraphSentence>"
                                "</Paragraph></SupplProvision>")));
    const QString list = path(QStringLiteral("ids.txt"));
    testsupport::writeFile(list,
                           "405AC0000000001\n405AC0000000002\n405AC0000000003\n405AC0000000099\n");

    testsupport::ProcessResult r = lexctl({QStringLiteral("import-xml"), QStringLiteral("--from"),
                                           folder, QStringLiteral("--list"), list});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral(
        "3 laws imported (1 incomplete), 0 skipped, 1 law ids not found, of 3 files")))
        << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("not found: 405AC0000000099")))
        << r.err.toStdString();
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("incomplete: DA 大番号法: 1 articles, 1 blocks "
                                      "skipped")))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("  SH 試験法: 3 articles\n"))) << r.out.toStdString();
    {
        store::Database db = store::openLawDb(QStringLiteral("試験法"));
        QStringList toc;
        for (store::Recordset rs =
                 db.openRecordset(QStringLiteral("select * from 目次 order by コード"));
             !rs.eof(); rs.moveNext())
            toc << QStringList{rs.text(QStringLiteral("コード")), rs.text(QStringLiteral("SOJ")),
                               rs.text(QStringLiteral("EOJ")), rs.text(QStringLiteral("見出し"))}
                       .join(u'|');
        EXPECT_EQ(toc, QStringList({QStringLiteral("SH00010000000000|00000000|00000000|総則"),
                                    QStringLiteral("SH00010001000000|00000000|00000000|通則"),
                                    QStringLiteral("SH00010001000100|00010000|00030000|"
                                                   "甲／第一款の二　乙")}));
    }
    EXPECT_TRUE(
        r.out.contains(QStringLiteral("FU 附則法: 0 articles, 本則に条がありません。"
                                      "この法令XMLが持つのは 附則 1 だけで")))
        << r.out.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("附則法")));
    // Every id found and every block in: exit 0.
    QFile::remove(folder + QStringLiteral("/405AC0000000003_x.xml"));
    testsupport::writeFile(list, "405AC0000000001\n405AC0000000002\n");
    r = lexctl({QStringLiteral("import-xml"), QStringLiteral("--from"), folder,
                QStringLiteral("--list"), list});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // An empty folder, an empty zip: nothing to import is a failure with a message.
    const QString empty = path(QStringLiteral("empty"));
    QDir().mkpath(empty);
    r = lexctl({QStringLiteral("import-xml"), QStringLiteral("--from"), empty});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("法令XMLがありません"))) << r.err.toStdString();
    // A single file of only 附則 says what it holds and why its tree is empty.
    r = lexctl({QStringLiteral("import-xml"), folder + QStringLiteral("/405AC0000000002_x.xml")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("ツリーには本則の条は出ず、それらだけが出ます")))
        << r.out.toStdString();
}

// Spoils one entry of a zip: `spoil` gets the archive and where the entry's data begins
// (after the local header's 30 bytes, its name and its extra field).
void spoilEntry(const QString& zipPath, const QByteArray& name, int method,
                const std::function<void(QByteArray&, qsizetype)>& spoil) {
    QByteArray zip = testsupport::readFile(zipPath);
    const qsizetype header = zip.indexOf(name) - 30;
    ASSERT_TRUE(header >= 0 && zip.mid(header, 4) == QByteArray("PK\x03\x04", 4));
    auto u16 = [&zip](qsizetype at) { return int(uchar(zip[at])) | int(uchar(zip[at + 1])) << 8; };
    ASSERT_EQ(u16(header + 8), method) << name.constData();
    spoil(zip, header + 30 + u16(header + 26) + u16(header + 28));
    testsupport::writeFile(zipPath, zip);
}

TEST_F(RefusalTest, AnUnreadableZipEntryIsSkippedOnceAndTheOthersImported) {
    const QString folder = path(QStringLiteral("xml"));
    QDir().mkpath(folder);
    QFile::copy(kKokkaBaisho, folder + QStringLiteral("/322AC0000000125_kb.xml"));
    QFile::copy(QStringLiteral(LEXORA_SAMPLE_DIR "/../xml/GT.xml"),
                folder + QStringLiteral("/405AC0000000088_gt.xml"));
    // Between them, a law that would import if it were read whole.
    QByteArray bad = testsupport::readFile(kKokkaBaisho);
    bad.replace("国家賠償法</LawTitle>", "壊れた法XYZ</LawTitle>");
    testsupport::writeFile(folder + QStringLiteral("/400AC0000000001_bad.xml"), bad);

    const struct {
        const char* how;
        const char* store;  // zip's option: -0 stores, -6 deflates
        int method;
        std::function<void(QByteArray&, qsizetype)> spoil;
    } cases[] = {
        // A deflate block of the reserved type: inflating fails at once.
        {"deflated", "-6", 8, [](QByteArray& z, qsizetype data) { z[data] = '\x07'; }},
        // One byte changed: the size still right, only the checksum tells.
        {"stored", "-0", 0,
         [](QByteArray& z, qsizetype data) { z[z.indexOf("XYZ", data) + 2] = 'Q'; }},
    };
    for (const auto& c : cases) {
        const QString zipPath = path(QStringLiteral("%1.zip").arg(QString::fromLatin1(c.how)));
        QProcess zip;
        zip.setWorkingDirectory(folder);
        zip.start(QStringLiteral("zip"), {QStringLiteral("-qr"), QString::fromLatin1(c.store),
                                          zipPath, QStringLiteral(".")});
        ASSERT_TRUE(zip.waitForFinished() && zip.exitCode() == 0);
        spoilEntry(zipPath, "400AC0000000001_bad.xml", c.method, c.spoil);

        QDir(store::folders().db).removeRecursively();
        store::MakeHCodeDB();
        int lines = 0;
        maint::BulkObserver observer;
        observer.done = [&lines](const QString&, bool) { ++lines; };
        // Reading the same entry again and again would never end: stopped instead.
        observer.stop = [&lines] { return lines > 3; };
        const maint::BulkResult r =
            maint::importLawXmlSource(exchange::LawXmlSource(zipPath), {}, observer);
        EXPECT_FALSE(r.stopped) << c.how;
        EXPECT_EQ(lines, 3) << c.how;
        ASSERT_EQ(r.skipped.size(), 1) << c.how << ": " << r.imported.join(u'\n').toStdString();
        EXPECT_TRUE(r.skipped[0].startsWith(QStringLiteral("400AC0000000001_bad.xml: ")))
            << r.skipped[0].toStdString();
        EXPECT_TRUE(r.skipped[0].contains(QStringLiteral("読めません")))
            << r.skipped[0].toStdString();
        EXPECT_EQ(r.imported, QStringList({QStringLiteral("KO 国家賠償法: 6 articles"),
                                           QStringLiteral("GY 行政手続法: 48 articles")}))
            << c.how;
        EXPECT_EQ(store::readLawList().size(), 2) << c.how;
    }
}

TEST_F(RefusalTest, AWholeLawReimportRemovesOnlyTheKindsItWritesAndCountsEveryRemoval) {
    platform::ScriptedPrompt prompt;
    const exchange::LawXml law = exchange::convertLawXmlFile(kKokkaBaisho, QStringLiteral("KB"));
    const QString name = law.name;
    const QString extraParagraph = QStringLiteral("KB00010000030300");  // 第1条 has two
    const QString goneHeading = QStringLiteral("KB00990000000001");
    const QString goneParagraph = QStringLiteral("KB00990000010000");
    const struct {
        bool headings;
        int removed;
        bool goneHeadingStays;
    } cases[] = {
        {true, 3, false},  // a paragraph of 第1条, then 第99条's heading and paragraph
        {false, 2, true},  // headings are not this import's to remove
    };
    for (const auto& c : cases) {
        {
            LawTextImporter importer;
            importLawXml(law, importer);
        }
        testsupport::addRecord(name, extraParagraph, QStringLiteral("古い第三項"));
        testsupport::addRecord(name, goneHeading, QStringLiteral("古い条"));
        testsupport::addRecord(name, goneParagraph, QStringLiteral("古い本文"));
        LawTextImporter importer;
        ImportOptions options;
        options.headings = c.headings;
        const XmlImportResult r = importLawXml(law, importer, {}, options);
        EXPECT_EQ(r.text.removed, c.removed) << c.headings;
        store::Database db = store::openLawDb(name);
        auto has = [&db](const QString& code) {
            return !db.openRecordset(QStringLiteral("select 1 from 条文 where 条項コード=?"),
                                     store::RecordsetType::Snapshot, {code})
                        .eof();
        };
        EXPECT_FALSE(has(extraParagraph)) << c.headings;
        EXPECT_FALSE(has(goneParagraph)) << c.headings;
        EXPECT_EQ(has(goneHeading), c.goneHeadingStays) << c.headings;
        EXPECT_TRUE(has(QStringLiteral("KB00010000000001"))) << c.headings;
        EXPECT_TRUE(has(QStringLiteral("KB00010000020200"))) << c.headings;
        db.execute(QStringLiteral("delete from 条文 where 条項コード=?"), {goneHeading});
    }
}

TEST_F(RefusalTest, ACollectionNamesALawWithRowsLeftOutAndEachMissingIdOnce) {
    const QString folder = path(QStringLiteral("laws"));
    QDir().mkpath(folder);
    testsupport::writeFile(
        folder + QStringLiteral("/405AC0000000001_x.xml"),
        smallLaw(QStringLiteral("試験法"), QStringLiteral("しけんほう"),
                 QStringLiteral("<Chapter Num=\"1\"><ChapterTitle>第一章　総則</ChapterTitle>%1"
                                "</Chapter>")
                     .arg(smallArticle(1, QStringLiteral("一。")))));
    const exchange::LawXmlSource source(folder);
    ASSERT_TRUE(importLawXmlSource(source, {}).whole());
    // Every table-of-contents row now fails to be written; the text still goes in whole.
    {
        store::Database db = store::openLawDb(QStringLiteral("試験法"));
        db.execute(
            QStringLiteral("create trigger refuse before insert on 目次 "
                           "begin select raise(abort, '拒否'); end"));
    }
    BulkFilter filter;
    filter.lawIds = {QStringLiteral("405AC0000000001"), QStringLiteral("405AC0000000099"),
                     QStringLiteral("405AC0000000099")};
    const BulkResult r = importLawXmlSource(source, filter);
    EXPECT_TRUE(r.skipped.isEmpty()) << r.skipped.join(u'\n').toStdString();
    ASSERT_EQ(r.imported.size(), 1);
    EXPECT_EQ(r.incomplete, r.imported);
    EXPECT_EQ(r.notFound, QStringList{QStringLiteral("405AC0000000099")});
    EXPECT_FALSE(r.whole());
}

TEST(XmlFileFactsTest, OnlyANameBeginningWithALawIdGivesItsDate) {
    const struct {
        const char* file;
        const char* lawId;
        const char* date;
        const char* revision;  // the name when it is a law_revision_id
    } cases[] = {
        {"/x/322AC0000000125_20230401_505AC0000000028.xml", "322AC0000000125", "2023-04-01",
         "322AC0000000125_20230401_505AC0000000028"},
        {"322AC0000000125.xml", "322AC0000000125", "", ""},
        {"322AC0000000125_20231301_x.xml", "322AC0000000125", "", ""},  // no 13th month
        {"322AC0000000125_2023040_x.xml", "322AC0000000125", "", ""},
        {"322AC0000000125_20230401_x y.xml", "322AC0000000125", "2023-04-01", ""},
        {"322AC0000000125_20230401.xml", "322AC0000000125", "2023-04-01", ""},
        {"kb_20230401.xml", "", "", ""},  // a date after no law id is no version's date
        {"kb.xml", "", "", ""},
    };
    for (const auto& c : cases) {
        const XmlFileFacts f = xmlFileFacts(QString::fromLatin1(c.file));
        EXPECT_EQ(f.lawId, QString::fromLatin1(c.lawId)) << c.file;
        EXPECT_EQ(f.sourceDate, QString::fromLatin1(c.date)) << c.file;
        EXPECT_EQ(f.revisionId, QString::fromLatin1(c.revision)) << c.file;
    }
    EXPECT_EQ(xmlFileFacts(QString::fromLatin1(cases[0].file)).amendedBy,
              QStringLiteral("令和五年法律第二十八号"));
    // The amending law of a revision's id: each era and kind, 元年, and what is no such id.
    const struct {
        const char *id, *num;
    } ids[] = {{"505AC0000000028", "令和五年法律第二十八号"},
               {"501AC0000000001", "令和元年法律第一号"},
               {"431CO0000000155", "平成三十一年政令第百五十五号"},
               {"322AC0000000125", "昭和二十二年法律第百二十五号"},
               {"215IO0000000012", "大正十五年勅令第十二号"},
               {"129AC0000000089", "明治二十九年法律第八十九号"},
               {"505AC0000009999", "令和五年法律第九千九百九十九号"},
               {"505AC0000010000", ""},
               {"505AC0000000000", ""},
               {"500AC0000000001", ""},
               {"605AC0000000001", ""},
               {"505M60000008001", ""},
               {"505AC000000002", ""},
               {"", ""}};
    for (const auto& c : ids)
        EXPECT_EQ(exchange::lawNumOfId(QString::fromLatin1(c.id)), QString::fromUtf8(c.num))
            << c.id;
}

TEST_F(RefusalTest, AnXmlImportKeepsTheLawsPartsAndLexctlListsThem) {
    ASSERT_EQ(lexctl({QStringLiteral("init")}).exitCode, 0);
    const QString minpo = QStringLiteral(LEXORA_SAMPLE_DIR "/../xml/MP.xml");
    ASSERT_EQ(lexctl({QStringLiteral("import-xml"), QStringLiteral("MP=") + minpo}).exitCode, 0);
    testsupport::ProcessResult r = lexctl({QStringLiteral("parts"), QStringLiteral("MP")});
    EXPECT_EQ(r.exitCode, 0);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 65);  // one 附則 per amending law
    EXPECT_EQ(lines.value(50), QStringLiteral("附則\t51\t附則（平成二九年六月二日法律第四四号）"));
    EXPECT_EQ(lines.value(1),
              QStringLiteral("附則\t2\t附則（昭和一三年三月二二日法律第一八号）抄"));
    r = lexctl({QStringLiteral("part"), QStringLiteral("MP"), QStringLiteral("附則"),
                QStringLiteral("51")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(
        r.out.contains(QStringLiteral("\n（意思能力に関する経過措置）\n第二条　この法律による改正後"
                                      "の民法（以下「新法」という。）")))
        << r.out.left(300).toStdString();
    // The word search takes the parts when asked to: each article of a 附則 is a hit.
    r = lexctl({QStringLiteral("search"), QStringLiteral("--all-parts"), QStringLiteral("意思能力"),
                QStringLiteral("経過措置")});
    EXPECT_TRUE(
        r.out.startsWith(QStringLiteral("KeyWord = 意思能力 経過措置　　検索結果 = 1件\n\n"
                                        "民法　附則（平成二九年六月二日法律第四四号）\n"
                                        "（意思能力に関する経過措置）\n第二条")))
        << r.out.left(300).toStdString();
    r = lexctl({QStringLiteral("search"), QStringLiteral("意思能力"), QStringLiteral("経過措置")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("検索結果 = 0件"))) << r.out.toStdString();
    // A part the law does not have, a law not listed: said, exit 1.
    for (const QStringList& args :
         {QStringList{QStringLiteral("MP"), QStringLiteral("附則"), QStringLiteral("66")},
          QStringList{QStringLiteral("MP"), QStringLiteral("別表"), QStringLiteral("1")},
          QStringList{QStringLiteral("ZZ"), QStringLiteral("附則"), QStringLiteral("1")}}) {
        r = lexctl(QStringList{QStringLiteral("part")} << args);
        EXPECT_EQ(r.exitCode, 1) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }

    // The same XML again keeps no version; a changed 附則 alone is a change and keeps one.
    ASSERT_EQ(lexctl({QStringLiteral("import-xml"), QStringLiteral("MP=") + minpo}).exitCode, 0);
    EXPECT_TRUE(store::listVersions(QStringLiteral("民法")).isEmpty());
    QByteArray xml = testsupport::readFile(minpo);
    const QByteArray from = QStringLiteral("（意思能力に関する経過措置）").toUtf8();
    ASSERT_TRUE(xml.contains(from));
    xml.replace(from, QStringLiteral("（意思能力の経過措置）").toUtf8());
    testsupport::writeFile(path(QStringLiteral("MP.xml")), xml);
    ASSERT_EQ(lexctl({QStringLiteral("import-xml"),
                      QStringLiteral("MP=") + path(QStringLiteral("MP.xml"))})
                  .exitCode,
              0);
    const QList<store::LawVersion> versions = store::listVersions(QStringLiteral("民法"));
    ASSERT_EQ(versions.size(), 1);
    r = lexctl({QStringLiteral("diff"), QStringLiteral("MP")});
    EXPECT_EQ(r.out, QStringLiteral("~\t附則（平成二九年六月二日法律第四四号）\n"
                                    "\t附則（平成二九年六月二日法律第四四号）:7\t（意思能力【-に関"
                                    "する-】【+の+】経過措置）\n"));
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("0 条改正、0 条新設、0 条削除、附則・別表など 1 件"));
    store::Database kept = store::openVersion(QStringLiteral("民法"), versions[0].id);
    EXPECT_TRUE(store::readLawParts(kept).value(50).text.contains(
        QStringLiteral("（意思能力に関する経過措置）")));
    store::Database now = store::openLawDb(QStringLiteral("民法"));
    EXPECT_TRUE(
        store::readLawParts(now).value(50).text.contains(QStringLiteral("（意思能力の経過措置）")));
    // A text import leaves them as they are.
    ASSERT_EQ(
        lexctl({QStringLiteral("import"), QStringLiteral(LEXORA_SAMPLE_DIR "/MP.txt")}).exitCode,
        0);
    EXPECT_EQ(store::readLawParts(now).size(), 65);
    // 日本国憲法: its 前文 kept as a part.
    ASSERT_EQ(lexctl({QStringLiteral("import-xml"),
                      QStringLiteral("KP=" LEXORA_SAMPLE_DIR "/../xml/KP.xml")})
                  .exitCode,
              0);
    EXPECT_EQ(lexctl({QStringLiteral("parts"), QStringLiteral("KP")}).out,
              QStringLiteral("前文\t1\t前文\n"));
}

TEST_F(RefusalTest, AWholeLawLeavesNothingOldEvenWhenItsLastArticleClosedAGroup) {
    store::MakeHCodeDB();
    auto import = [](const QString& main, bool slow) {
        const exchange::LawXml law = exchange::convertLawXml(
            smallLaw(QStringLiteral("試験法"), QStringLiteral("しけんほう"), main),
            QStringLiteral("SH"));
        maint::LawTextImporter importer;
        maint::ImportObserver observer;
        // Slower than a group may take: every article closes its group, the last one too.
        if (slow) observer.pump = [] { QThread::msleep(60); };
        return maint::importLawXml(law, importer, observer);
    };
    import(smallArticle(1, QStringLiteral("一。")) + smallArticle(2, QStringLiteral("二。")),
           false);
    const maint::XmlImportResult r = import(
        smallArticle(1, QStringLiteral("一。")) + smallArticle(3, QStringLiteral("二。")), true);
    EXPECT_EQ(r.text.removed, 2);  // 第2条's heading and paragraph
    store::Database db = store::openLawDb(QStringLiteral("試験法"));
    QStringList codes;
    for (store::Recordset rs =
             db.openRecordset(QStringLiteral("select 条項コード from 条文 order by 1"));
         !rs.eof(); rs.moveNext())
        codes << rs.text(QStringLiteral("条項コード"));
    EXPECT_EQ(codes, QStringList(
                         {QStringLiteral("SH00010000000001"), QStringLiteral("SH00010000010000"),
                          QStringLiteral("SH00030000000001"), QStringLiteral("SH00030000010000")}));
}

}  // namespace

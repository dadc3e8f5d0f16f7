// lexctl fetch against a local stand-in for the law API: a law found by its title, kept as
// XML and imported under the code its law id keeps, across title changes and offline repeats.
#include "maint/lawfetch.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/versions.h"
#include "tests/support/apiserver.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>

using testsupport::ApiLawFixture;
using testsupport::ApiServer;

namespace {

class FetchTest : public testsupport::TempRootTest {
  protected:
    void SetUp() override {
        TempRootTest::SetUp();
        ASSERT_EQ(lexctl({QStringLiteral("init")}).exitCode, 0);
    }
    testsupport::ProcessResult fetch(const ApiServer& server, QStringList args) {
        return lexctl(QStringList{QStringLiteral("--api"), server.base(), QStringLiteral("fetch")}
                      << args);
    }
    // The same law under an amended title.
    static ApiLawFixture renamed(const ApiLawFixture& law, const QString& title) {
        ApiLawFixture r = law;
        r.title = title;
        r.xml.replace(law.title.toUtf8() + "</LawTitle>", title.toUtf8() + "</LawTitle>");
        return r;
    }
    static ApiLawFixture other(const char* id, const char* title) {
        ApiLawFixture r = renamed(ApiServer::kokkaBaisho(), QString::fromUtf8(title));
        r.lawId = QString::fromLatin1(id);
        return r;
    }
};

TEST_F(FetchTest, ALawFetchedByTitleIsKeptAndImportedUnderTheCodeOfItsReading) {
    const ApiLawFixture kokka = ApiServer::kokkaBaisho();
    ApiServer server({kokka, other("100AC0000000001", "国家賠償法施行規則")});
    const testsupport::ProcessResult r = fetch(server, {QStringLiteral("国家賠償法")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // Both candidates listed; the title equal to the words is taken.
    EXPECT_TRUE(r.out.contains(
        QStringLiteral("国家賠償法\t昭和二十二年法律第百二十五号\t322AC0000000125\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("国家賠償法施行規則\t")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("KO 国家賠償法: 6 articles"))) << r.out.toStdString();
    const QString kept = QDir(rootDir()).filePath(QStringLiteral("XML/322AC0000000125.xml"));
    EXPECT_EQ(testsupport::readFile(kept), kokka.xml);
    store::Database db = store::openLawDb(QStringLiteral("国家賠償法"));
    EXPECT_EQ(store::readLawInfo(db).lawId, QStringLiteral("322AC0000000125"));
    // The version's date as the service names it, the promulgation as the XML has it.
    EXPECT_EQ(store::readLawInfo(db).sourceDate, QStringLiteral("2020-04-01"));
    EXPECT_EQ(store::readLawInfo(db).promulgated, QStringLiteral("1947-10-27"));
    const testsupport::ProcessResult shown =
        lexctl({QStringLiteral("show"), QStringLiteral("KO1"), QStringLiteral("--article")});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_TRUE(shown.out.contains(QStringLiteral("国又は公共団体の公権力の行使に当る公務員")));

    // Fetched again after its title was amended: the same code, the listed name follows.
    ApiServer amended({renamed(kokka, QStringLiteral("国家賠償責任法"))});
    const testsupport::ProcessResult again = fetch(amended, {QStringLiteral("322AC0000000125")});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    // A law id is fetched without a search: its revisions say which version the file is.
    ASSERT_EQ(amended.requests().size(), 2);
    EXPECT_TRUE(amended.requests()[0].startsWith(QStringLiteral("/api/2/law_revisions/")));
    {
        store::Database db = store::openLawDb(QStringLiteral("国家賠償責任法"));
        EXPECT_EQ(store::readLawInfo(db).sourceDate, QStringLiteral("2020-04-01"));
        EXPECT_EQ(store::readLawInfo(db).revisionId,
                  QStringLiteral("322AC0000000125_19471027_000000000000000"));
    }
    EXPECT_TRUE(again.out.contains(QStringLiteral("renamed KO from 国家賠償法")));
    EXPECT_TRUE(again.out.contains(QStringLiteral("KO 国家賠償責任法: 6 articles")));
    const testsupport::ProcessResult laws = lexctl({QStringLiteral("laws")});
    EXPECT_TRUE(laws.out.contains(QStringLiteral("KO 国家賠償責任法")));
    EXPECT_FALSE(laws.out.contains(QStringLiteral("国家賠償法\n")));
    EXPECT_FALSE(QFile::exists(store::lawDbPath(QStringLiteral("国家賠償法"))));

    // The kept file imports offline under the same code.
    const testsupport::ProcessResult offline = lexctl({QStringLiteral("import-xml"), kept});
    EXPECT_EQ(offline.exitCode, 0) << offline.err.toStdString();
    EXPECT_TRUE(offline.out.contains(QStringLiteral("code KO for 国家賠償責任法")));

    // Renamed again, but no version can be kept: refused, and the law keeps its name.
    const QString versions = QDir(store::folders().db).filePath(QStringLiteral("versions"));
    QDir(versions).removeRecursively();
    testsupport::writeFile(versions, "not a folder");
    ApiServer refused({renamed(kokka, QStringLiteral("国家賠償改正法"))});
    const testsupport::ProcessResult blocked = fetch(refused, {QStringLiteral("322AC0000000125")});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_TRUE(blocked.err.contains(QStringLiteral("版として残せない")))
        << blocked.err.toStdString();
    EXPECT_TRUE(
        lexctl({QStringLiteral("laws")}).out.contains(QStringLiteral("KO 国家賠償責任法\n")));
    EXPECT_TRUE(QFile::exists(store::lawDbPath(QStringLiteral("国家賠償責任法"))));
    EXPECT_FALSE(QFile::exists(store::lawDbPath(QStringLiteral("国家賠償改正法"))));
}

// A figure's picture is fetched from the version's attachments and kept with the law; one
// the service lacks is named in the text instead, and the law is imported all the same.
// lexctl revisions: the service's revisions newest first, the one fetched marked kept; a law
// that did not come from the service has no id to ask with.
TEST_F(FetchTest, RevisionsAreListedNewestFirstWithTheKeptOneMarked) {
    const ApiLawFixture kokka = ApiServer::kokkaBaishoRevised();
    ApiServer server({kokka});
    ASSERT_EQ(fetch(server, {QStringLiteral("国家賠償法")}).exitCode, 0);
    store::Database db = store::openLawDb(QStringLiteral("国家賠償法"));
    EXPECT_EQ(store::readLawInfo(db).revisionId, kokka.revisions[0].revisionId);
    const testsupport::ProcessResult r =
        lexctl({QStringLiteral("--api"), server.base(), QStringLiteral("revisions"),
                QStringLiteral("KO")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, kokka.revisions[1].revisionId +
                         QStringLiteral("\t2027-04-01\t令和八年法律第一号\t未施行\t\n") +
                         kokka.revisions[0].revisionId +
                         QStringLiteral("\t2020-04-01\t\t施行中\tkept\n"));
    // A law imported from text: no law id to ask with; a code not listed: said so.
    ASSERT_EQ(
        lexctl({QStringLiteral("import"), QStringLiteral(LEXORA_SAMPLE_DIR "/GT.txt")}).exitCode,
        0);
    const testsupport::ProcessResult none =
        lexctl({QStringLiteral("--api"), server.base(), QStringLiteral("revisions"),
                QStringLiteral("GT")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains(QStringLiteral("GT: 法令IDがありません")))
        << none.err.toStdString();
    const testsupport::ProcessResult unlisted =
        lexctl({QStringLiteral("--api"), server.base(), QStringLiteral("revisions"),
                QStringLiteral("ZZ")});
    EXPECT_EQ(unlisted.exitCode, 1);
    EXPECT_TRUE(unlisted.err.contains(QStringLiteral("登録されていない法典コード")));
}

// lexctl fetch CODE --revision / --asof: that revision kept as a version with its facts and
// XML, the current records untouched; a date or id the list has not: said, nothing kept.
TEST_F(FetchTest, ARevisionIsKeptAsAVersionAndTheCurrentRecordsStay) {
    const ApiLawFixture kokka = ApiServer::kokkaBaishoRevised();
    const QString later = kokka.revisions[1].revisionId;
    ApiServer server({kokka});
    ASSERT_EQ(fetch(server, {QStringLiteral("国家賠償法")}).exitCode, 0);
    const QString before = lexctl({QStringLiteral("show"), QStringLiteral("KO1")}).out;
    testsupport::ProcessResult r =
        fetch(server, {QStringLiteral("KO"), QStringLiteral("--revision"), later});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("kept as version "))) << r.out.toStdString();
    EXPECT_TRUE(QFile::exists(
        QDir(rootDir()).filePath(QStringLiteral("XML/") + later + QStringLiteral(".xml"))));
    EXPECT_EQ(lexctl({QStringLiteral("show"), QStringLiteral("KO1")}).out, before);
    QList<store::LawVersion> versions = store::listVersions(QStringLiteral("国家賠償法"));
    ASSERT_EQ(versions.size(), 1);
    EXPECT_EQ(versions[0].info.revisionId, later);
    EXPECT_EQ(versions[0].info.sourceDate, QStringLiteral("2027-04-01"));
    EXPECT_EQ(versions[0].info.lawId, kokka.lawId);
    {
        store::Database v = store::openVersion(QStringLiteral("国家賠償法"), versions[0].id);
        store::Recordset rs = v.openRecordset(
            QStringLiteral("select 条文 from 条文 where 条項コード='KO00010000010100'"));
        ASSERT_FALSE(rs.eof());
        EXPECT_TRUE(rs.text(QStringLiteral("条文")).contains(QStringLiteral("過失によって")));
    }
    // Named by the amending law as the service lists it, and read as the browser reads it.
    EXPECT_EQ(versions[0].info.amendedBy,
              QStringLiteral("令和八年法律第一号（国家賠償法の一部を改正する法律）"));
    const QString shown = lexctl({QStringLiteral("show"), QStringLiteral("KO1:1"),
                                  QStringLiteral("--version"), versions[0].id})
                              .out;
    EXPECT_TRUE(shown.contains(QStringLiteral("過失によって"))) << shown.toStdString();
    EXPECT_TRUE(lexctl({QStringLiteral("tree"), QStringLiteral("KO"), QStringLiteral("--version"),
                        versions[0].id})
                    .out.contains(QStringLiteral("過失によって")));
    for (const char* missing : {"20000101-000000", "../国家賠償法"}) {
        r = lexctl({QStringLiteral("show"), QStringLiteral("KO1"), QStringLiteral("--version"),
                    QString::fromUtf8(missing)});
        EXPECT_EQ(r.exitCode, 1) << missing;
        EXPECT_TRUE(r.err.contains(QStringLiteral("版"))) << r.err.toStdString();
    }
    EXPECT_TRUE(lexctl({QStringLiteral("--api"), server.base(), QStringLiteral("revisions"),
                        QStringLiteral("KO")})
                    .out.startsWith(
                        later + QStringLiteral("\t2027-04-01\t令和八年法律第一号\t未施行\tkept")));
    // As of a date: the revision in force then.
    r = fetch(server,
              {QStringLiteral("KO"), QStringLiteral("--asof"), QStringLiteral("2026-12-09")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    versions = store::listVersions(QStringLiteral("国家賠償法"));
    ASSERT_EQ(versions.size(), 2);
    EXPECT_EQ(versions[1].info.revisionId, kokka.revisions[0].revisionId);
    // Refused, nothing kept: a date before every revision, no date, an unknown revision.
    const std::pair<const char*, int> refused[] = {
        {"--asof=2019-12-31", 1}, {"--asof=2026-13-01", 2}, {"--revision=X_20200101_Y", 1}};
    for (const auto& [option, status] : refused) {
        const QString o = QString::fromLatin1(option);
        r = fetch(server, {QStringLiteral("KO"), o.section(u'=', 0, 0), o.section(u'=', 1)});
        EXPECT_EQ(r.exitCode, status) << option << r.err.toStdString();
    }
    EXPECT_EQ(store::listVersions(QStringLiteral("国家賠償法")).size(), 2);
    // The article's history: in the order of the versions' dates, the coming revision
    // changed 第1条; 第2条 never changed; not an article: said.
    r = lexctl({QStringLiteral("history"), QStringLiteral("KO1")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << r.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(versions[0].id + QStringLiteral("\t2027-04-01\t")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("\t~")));
    r = lexctl({QStringLiteral("history"), QStringLiteral("KO2")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(lexctl({QStringLiteral("history"), QStringLiteral("KO9999")}).exitCode, 1);
}

// 民法 from the stand-in: its three revisions listed, the two past ones kept as versions under
// their amending laws; 第774条's history is the 2024 amendment, 第1条's a change of notation
// alone; the table of 2023 → 2024 sets 第774条 out with five paragraphs against one.
TEST_F(FetchTest, MinpoRevisionsGiveEachArticlesHistoryAndItsTable) {
    const ApiLawFixture minpo = ApiServer::minpoRevised();
    ApiServer server({minpo});
    testsupport::ProcessResult r =
        fetch(server, {minpo.lawId, QStringLiteral("--code"), QStringLiteral("MP")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = lexctl({QStringLiteral("--api"), server.base(), QStringLiteral("revisions"),
                QStringLiteral("MP")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    EXPECT_TRUE(
        lines[0].startsWith(minpo.revisions[0].revisionId +
                            QStringLiteral("\t2025-04-01\t令和五年法律第五十三号\t施行中")));
    EXPECT_EQ(lines[2], minpo.revisions[2].revisionId +
                            QStringLiteral("\t2023-04-01\t令和三年法律第三十七号\t過去\t"));
    for (int i : {1, 2}) {
        r = fetch(server, {QStringLiteral("MP"), QStringLiteral("--revision"),
                           minpo.revisions[i].revisionId});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }
    const QList<store::LawVersion> versions = store::listVersions(QStringLiteral("民法"));
    ASSERT_EQ(versions.size(), 2);
    EXPECT_EQ(store::versionName(versions[0]),
              QStringLiteral("2024-04-01 施行・令和四年法律第百二号（民法等の一部を改正する法律）"
                             "（取込 ") +
                  versions[0].id + u'）');
    EXPECT_EQ(versions[1].info.amendedBy, QStringLiteral("令和三年法律第三十七号"));
    r = lexctl({QStringLiteral("--api"), server.base(), QStringLiteral("revisions"),
                QStringLiteral("MP")});
    EXPECT_EQ(r.out.count(QStringLiteral("\tkept\n")), 3) << r.out.toStdString();

    r = lexctl({QStringLiteral("history"), QStringLiteral("MP774")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, versions[0].id +
                         QStringLiteral("\t2024-04-01\t令和四年法律第百二号（民法等の一部を改正する"
                                        "法律）\t~\n"));
    r = lexctl({QStringLiteral("history"), QStringLiteral("MP1")});
    lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << r.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("current\t")));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("\t~\t表記のみ")));

    r = lexctl({QStringLiteral("diff"), QStringLiteral("MP"), QStringLiteral("--from"),
                versions[1].id, QStringLiteral("--to"), versions[0].id, QStringLiteral("--table")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString row =
        r.out.section(QStringLiteral("第774条\n改正後\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    const QString newer = row.section(QStringLiteral("\n改正前\n"), 0, 0);
    const QString older = row.section(QStringLiteral("\n改正前\n"), 1);
    EXPECT_EQ(newer.split(u'\n').size(), 6) << row.toStdString();  // the label, ①～⑤
    EXPECT_TRUE(newer.split(u'\n').value(5).startsWith(QStringLiteral("⑤"))) << row.toStdString();
    EXPECT_EQ(older.split(u'\n').size(), 2) << row.toStdString();  // the label, the paragraph
    EXPECT_TRUE(older.startsWith(QStringLiteral("第774条（嫡出の否認）\n"))) << row.toStdString();
}

TEST_F(FetchTest, AFetchedLawsFiguresComeFromTheServicesAttachments) {
    ApiLawFixture kokka = ApiServer::kokkaBaisho();
    kokka.xml.replace("</LawBody>",
                      "<AppdxFig><AppdxFigTitle>別図</AppdxFigTitle><FigStruct><Fig "
                      "src=\"./pict/f1.jpg\"/></FigStruct><FigStruct><Fig src=\"./pict/gone.jpg\"/>"
                      "</FigStruct></AppdxFig></LawBody>");
    kokka.attachments.insert(QStringLiteral("./pict/f1.jpg"), "JPEG1");
    ApiServer server({kokka});
    const testsupport::ProcessResult r = fetch(server, {QStringLiteral("国家賠償法")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("; 1 figure pictures kept"))) << r.out.toStdString();
    const QString figures = store::figureFolder(QStringLiteral("国家賠償法"));
    EXPECT_EQ(testsupport::readFile(figures + QStringLiteral("/pict/f1.jpg")), "JPEG1");
    EXPECT_FALSE(QFile::exists(figures + QStringLiteral("/pict/gone.jpg")));
    EXPECT_TRUE(server.requests().contains(QStringLiteral(
        "/api/2/attachment/322AC0000000125_19471027_000000000000000?src=./pict/f1.jpg")))
        << server.requests().join(u'\n').toStdString();
}

TEST_F(FetchTest, SeveralMatchesAreListedAndOnlyAllOrACodeChoose) {
    ApiServer server({other("100AC0000000001", "国家賠償法施行規則"),
                      other("100AC0000000002", "国家賠償法施行令")});
    const testsupport::ProcessResult several = fetch(server, {QStringLiteral("国家賠償")});
    EXPECT_EQ(several.exitCode, 1);
    EXPECT_TRUE(several.err.contains(QStringLiteral("2 laws match")));
    EXPECT_FALSE(QDir(rootDir()).exists(QStringLiteral("XML")));

    const testsupport::ProcessResult none = fetch(server, {QStringLiteral("刑法")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains(QStringLiteral("題名に「刑法」を含む法令は見つかりません")));

    EXPECT_EQ(fetch(server, {QStringLiteral("国家賠償"), QStringLiteral("--all"),
                             QStringLiteral("--code"), QStringLiteral("XB")})
                  .exitCode,
              2);
    const testsupport::ProcessResult all =
        fetch(server, {QStringLiteral("国家賠償"), QStringLiteral("--all")});
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    EXPECT_TRUE(all.out.contains(QStringLiteral("KO 国家賠償法施行規則")));
    EXPECT_TRUE(all.out.contains(QStringLiteral("KK 国家賠償法施行令")));

    // A code given is used; one listed for another law is refused and nothing changes.
    ApiServer kokka({ApiServer::kokkaBaisho()});
    const testsupport::ProcessResult taken = fetch(
        kokka, {QStringLiteral("国家賠償法"), QStringLiteral("--code"), QStringLiteral("KO")});
    EXPECT_EQ(taken.exitCode, 1);
    EXPECT_TRUE(taken.err.contains(QStringLiteral("KO は 国家賠償法施行規則 の法典コードです")));
    EXPECT_FALSE(lexctl({QStringLiteral("laws")}).out.contains(QStringLiteral("国家賠償法\n")));
    const testsupport::ProcessResult given = fetch(
        kokka, {QStringLiteral("国家賠償法"), QStringLiteral("--code"), QStringLiteral("XB")});
    EXPECT_EQ(given.exitCode, 0) << given.err.toStdString();
    EXPECT_TRUE(given.out.contains(QStringLiteral("XB 国家賠償法: 6 articles")));
}

TEST_F(FetchTest, AFailedAnswerImportsNothing) {
    ApiServer broken([](const QString& path, const QUrlQuery&) {
        testsupport::ApiAnswer a;
        if (path.endsWith(QStringLiteral("/laws"))) {
            a.body = ApiServer::lawsJson({ApiServer::kokkaBaisho()});
        } else {
            a.contentType = "text/html";
            a.body = "<html>maintenance</html>";
        }
        return a;
    });
    const testsupport::ProcessResult r = fetch(broken, {QStringLiteral("国家賠償法")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("法令APIの応答が法令XMLではありません")))
        << r.err.toStdString();
    EXPECT_FALSE(lexctl({QStringLiteral("laws")}).out.contains(QStringLiteral("国家賠償法")));
    EXPECT_FALSE(QFile::exists(maint::keptLawXmlPath(QStringLiteral("322AC0000000125"))));
}

}  // namespace

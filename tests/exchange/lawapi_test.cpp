// The law API client against a local stand-in answering in the service's documented shapes:
// searches, downloads, and each way an answer can fail.
#include "exchange/lawapi.h"
#include "tests/support/apiserver.h"
#include "tests/support/testsupport.h"

#include <QTcpServer>

using exchange::ApiFailure;
using testsupport::ApiAnswer;
using testsupport::ApiServer;

namespace {

exchange::ApiLaw law(const char* title, const char* id = "322AC0000000125") {
    exchange::ApiLaw l;
    l.title = QString::fromUtf8(title);
    l.lawId = QString::fromLatin1(id);
    return l;
}

TEST(LawApiAnswerTest, TheDocumentedListIsReadAndAnythingElseIsABadAnswer) {
    exchange::ApiError error;
    const exchange::ApiSearch found =
        exchange::parseLawsAnswer(ApiServer::lawsJson({ApiServer::kokkaBaisho()}, 7), &error);
    ASSERT_FALSE(error);
    ASSERT_EQ(found.laws.size(), 1);
    EXPECT_EQ(found.total, 7);
    const exchange::ApiLaw& k = found.laws.first();
    EXPECT_EQ(k.lawId, QStringLiteral("322AC0000000125"));
    EXPECT_EQ(k.lawNum, QStringLiteral("昭和二十二年法律第百二十五号"));
    EXPECT_EQ(k.title, QStringLiteral("国家賠償法"));
    EXPECT_EQ(k.kana, QStringLiteral("こっかばいしょうほう"));
    EXPECT_EQ(k.abbrev, QStringLiteral("国賠法"));
    EXPECT_EQ(k.repealed, QString());
    EXPECT_EQ(k.enforced, QStringLiteral("2020-04-01"));

    // Without a current version the found one is read; a repealed law says so; an entry
    // without a law id cannot be fetched and is left out.
    const QByteArray partial = R"({"total_count":2,"count":2,"laws":[
        {"law_info":{"law_id":"129AC0000000089","law_num":"明治二十九年法律第八十九号"},
         "revision_info":{"law_title":"民法","repeal_status":"Repeal"},
         "current_revision_info":null},
        {"law_info":{"law_num":"x"},"revision_info":{"law_title":"名無し"}}]})";
    const exchange::ApiSearch two = exchange::parseLawsAnswer(partial, &error);
    ASSERT_FALSE(error);
    ASSERT_EQ(two.laws.size(), 1);
    EXPECT_EQ(two.laws[0].title, QStringLiteral("民法"));
    EXPECT_EQ(two.laws[0].repealed, QStringLiteral("廃止"));

    for (const char* bad : {"", "<html>busy</html>", "[]", R"({"laws":{}})", R"({"code":"1"})"}) {
        exchange::parseLawsAnswer(QByteArray(bad), &error);
        EXPECT_EQ(error.kind, ApiFailure::BadAnswer) << bad;
    }
}

TEST(LawApiAnswerTest, TheWordsChooseOneLawOnlyWhenOneMatchesOrOneTitleIsEqual) {
    const QList<exchange::ApiLaw> laws{law("民法施行法"), law("民法"), law("国家賠償法"),
                                       law("行政事件訴訟法")};
    struct Case {
        const char* words;
        QStringList matched;
        const char* chosen;  // nullptr: none
    };
    const Case cases[] = {
        {"民法", {QStringLiteral("民法"), QStringLiteral("民法施行法")}, "民法"},
        {" 民法 ", {QStringLiteral("民法"), QStringLiteral("民法施行法")}, "民法"},
        {"施行", {QStringLiteral("民法施行法")}, "民法施行法"},
        {"法",
         {QStringLiteral("民法施行法"), QStringLiteral("民法"), QStringLiteral("国家賠償法"),
          QStringLiteral("行政事件訴訟法")},
         nullptr},
        {"行政 訴訟", {QStringLiteral("行政事件訴訟法")}, "行政事件訴訟法"},
        {"行政 賠償", {}, nullptr},
    };
    for (const Case& c : cases) {
        const QList<exchange::ApiLaw> m = exchange::matchingLaws(laws, QString::fromUtf8(c.words));
        QStringList titles;
        for (const exchange::ApiLaw& l : m) titles << l.title;
        EXPECT_EQ(titles, c.matched) << c.words;
        const exchange::ApiLaw* one = exchange::chosenLaw(m, QString::fromUtf8(c.words));
        EXPECT_EQ(one ? one->title : QString(), QString::fromUtf8(c.chosen ? c.chosen : ""))
            << c.words;
    }
    // Two laws of one title: the reader chooses by law id.
    const QList<exchange::ApiLaw> twins{law("同名法", "100AC0000000001"),
                                        law("同名法", "200AC0000000002")};
    EXPECT_EQ(exchange::chosenLaw(twins, QStringLiteral("同名法")), nullptr);

    for (const char* id :
         {"322AC0000000125", "129AC0000000089", "321CONSTITUTION", "410M50000400001"})
        EXPECT_TRUE(exchange::isLawId(QString::fromLatin1(id))) << id;
    for (const char* text : {"民法", "322ac0000000125", "32AC0000000125", "322000000000125",
                             "322AC", "322AC0000000125 民法", ""})
        EXPECT_FALSE(exchange::isLawId(QString::fromUtf8(text))) << text;
}

class LawApiClientTest : public ::testing::Test {
  protected:
    ApiServer server{QList<testsupport::ApiLawFixture>{ApiServer::kokkaBaisho()}};
};

TEST_F(LawApiClientTest, ASearchAsksForTheLongestWordAndADownloadGivesTheLawXml) {
    exchange::LawApi api(server.base() + QStringLiteral("/"));
    const exchange::ApiSearch found = api.searchNow(QStringLiteral("賠償 国家賠償"));
    ASSERT_EQ(found.laws.size(), 1);
    EXPECT_EQ(found.laws[0].lawId, QStringLiteral("322AC0000000125"));
    ASSERT_EQ(server.requests().size(), 1);
    const QString asked = server.requests().first();
    EXPECT_TRUE(asked.startsWith(QStringLiteral("/api/2/laws?"))) << asked.toStdString();
    EXPECT_TRUE(asked.contains(QStringLiteral("law_title=国家賠償"))) << asked.toStdString();
    EXPECT_TRUE(asked.contains(QStringLiteral("response_format=json"))) << asked.toStdString();

    EXPECT_EQ(api.lawXmlNow(QStringLiteral("322AC0000000125")), ApiServer::kokkaBaisho().xml);
    EXPECT_TRUE(api.searchNow(QStringLiteral("刑法")).laws.isEmpty());
}

// A law's revisions as the documented answer gives them: newest first whatever the answer's
// order, each status in words, the revision of a date chosen at its edges.
TEST(LawApiAnswerTest, RevisionsAreReadNewestFirstAndADateChoosesOne) {
    const QByteArray answer = R"({"law_info": {"law_id": "129AC0000000089"}, "revisions": [
        {"law_revision_id": "A_20200401_X", "amendment_enforcement_date": "2020-04-01",
         "amendment_law_num": "平成二十九年法律第四十四号", "current_revision_status": "PreviousEnforced"},
        {"law_revision_id": "A_20240401_Y", "amendment_enforcement_date": "2024-04-01",
         "amendment_law_num": "令和四年法律第百二号", "amendment_law_title": "民法等の一部を改正する法律",
         "current_revision_status": "CurrentEnforced"},
        {"law_revision_id": "", "amendment_enforcement_date": "2021-01-01"},
        {"law_revision_id": "A_20990101_Z", "amendment_enforcement_date": null,
         "amendment_enforcement_comment": "政令で定める日", "current_revision_status": "UnEnforced"},
        {"law_revision_id": "A_20260501_W", "amendment_enforcement_date": "2026-05-01",
         "current_revision_status": "Repeal"}]})";
    exchange::ApiError error;
    const QList<exchange::ApiRevision> r = exchange::parseRevisionsAnswer(answer, &error);
    ASSERT_FALSE(error);
    QStringList ids, statuses;
    for (const exchange::ApiRevision& v : r) {
        ids << v.revisionId;
        statuses << exchange::revisionStatusText(v.status);
    }
    EXPECT_EQ(ids.join(u' '),
              QStringLiteral("A_20990101_Z A_20260501_W A_20240401_Y A_20200401_X"));
    EXPECT_EQ(statuses.join(u' '), QStringLiteral("未施行 廃止 施行中 過去"));
    EXPECT_EQ(r[0].comment, QStringLiteral("政令で定める日"));
    EXPECT_TRUE(r[0].enforced.isEmpty());
    EXPECT_EQ(r[2].amendLawNum, QStringLiteral("令和四年法律第百二号"));
    EXPECT_EQ(r[2].amendTitle, QStringLiteral("民法等の一部を改正する法律"));
    EXPECT_EQ(exchange::revisionStatusText(QStringLiteral("Other")), QStringLiteral("Other"));
    // The revision in force on a date: its first day, the day before, before all, a later one.
    const std::pair<const char*, const char*> dates[] = {{"2024-04-01", "A_20240401_Y"},
                                                         {"2024-03-31", "A_20200401_X"},
                                                         {"2020-03-31", ""},
                                                         {"2030-01-01", "A_20260501_W"}};
    for (const auto& [date, id] : dates) {
        const exchange::ApiRevision* at = exchange::revisionAsOf(r, QString::fromLatin1(date));
        EXPECT_EQ(at ? at->revisionId : QString(), QString::fromLatin1(id)) << date;
    }
    // Not the documented answer: said, nothing read.
    for (const char* bad : {"", "[]", "{\"revisions\": {}}", "{\"laws\": []}", "not json"}) {
        EXPECT_TRUE(exchange::parseRevisionsAnswer(bad, &error).isEmpty()) << bad;
        EXPECT_EQ(error.kind, exchange::ApiFailure::BadAnswer) << bad;
    }
}

TEST_F(LawApiClientTest, RevisionsAndARevisionsXmlComeFromTheirPaths) {
    testsupport::ApiLawFixture law = ApiServer::kokkaBaisho();
    law.revisions = {
        {law.lawId + QStringLiteral("_20200401_000000000000000"),
         QStringLiteral("2020-04-01"),
         {},
         {},
         QStringLiteral("PreviousEnforced"),
         law.xml},
        {law.lawId + QStringLiteral("_20250601_504AC0000000068"),
         QStringLiteral("2025-06-01"),
         QStringLiteral("令和四年法律第六十八号"),
         {},
         QStringLiteral("CurrentEnforced"),
         QByteArray(law.xml).replace("国家賠償法</LawTitle>", "国家賠償法</LawTitle>")}};
    ApiServer withRevisions({law});
    exchange::LawApi api(withRevisions.base());
    const QList<exchange::ApiRevision> r = api.revisionsNow(law.lawId);
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[0].revisionId, law.revisions[1].revisionId);
    EXPECT_TRUE(withRevisions.requests().first().startsWith(
        QStringLiteral("/api/2/law_revisions/322AC0000000125?")));
    EXPECT_EQ(api.lawXmlNow(r[1].revisionId), law.xml);
    try {
        api.revisionsNow(QStringLiteral("999AC0000000999"));
        ADD_FAILURE() << "an unknown law has no revisions";
    } catch (const exchange::LawApiError& e) {
        EXPECT_EQ(e.error.kind, exchange::ApiFailure::Http);
        EXPECT_EQ(e.error.status, 404);
    }
}

TEST(LawApiFailureTest, EachFailureIsNamed) {
    const QByteArray xml = ApiServer::kokkaBaisho().xml;
    ApiServer server([xml](const QString& path, const QUrlQuery&) {
        ApiAnswer a;
        if (path.endsWith(QStringLiteral("/missing"))) {
            a.status = 404;
            a.body = R"({"code":"404001","message":"指定された法令が見つかりません。"})";
        } else if (path.endsWith(QStringLiteral("/html"))) {
            a.contentType = "text/html";
            a.body = "<html><body>メンテナンス中</body></html>";
        } else if (path.endsWith(QStringLiteral("/slow"))) {
            a.delayMs = 1500;
            a.body = xml;
        } else if (path.endsWith(QStringLiteral("/moved"))) {
            a.status = 301;
            a.location = "/api/2/law_file/xml/here";
        } else if (path.endsWith(QStringLiteral("/here"))) {
            a.body = xml;
        } else if (path.endsWith(QStringLiteral("/laws"))) {
            a.status = 500;
            a.body = "Internal Server Error";
        }
        return a;
    });
    exchange::LawApi api(server.base());
    api.setTimeout(400);
    auto failureOf = [&](const QString& id) {
        try {
            api.lawXmlNow(id);
        } catch (const exchange::LawApiError& e) {
            return e.error;
        }
        return exchange::ApiError{};
    };
    const exchange::ApiError missing = failureOf(QStringLiteral("missing"));
    EXPECT_EQ(missing.kind, ApiFailure::Http);
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.text, QStringLiteral("法令APIがエラーを返しました（HTTP 404 404001: "
                                           "指定された法令が見つかりません。）"));
    EXPECT_EQ(failureOf(QStringLiteral("html")).kind, ApiFailure::NotXml);
    const exchange::ApiError slow = failureOf(QStringLiteral("slow"));
    EXPECT_EQ(slow.kind, ApiFailure::Timeout);
    EXPECT_EQ(slow.text, QStringLiteral("法令APIが 0.4 秒以内に応答しませんでした"));
    EXPECT_EQ(failureOf(QStringLiteral("moved")).kind, ApiFailure::None);  // followed

    try {
        api.searchNow(QStringLiteral("民法"));
        ADD_FAILURE() << "a 500 answer passed";
    } catch (const exchange::LawApiError& e) {
        EXPECT_EQ(e.error.kind, ApiFailure::Http);
        EXPECT_EQ(e.error.status, 500);
    }

    // Nothing listening: a port just freed.
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    exchange::LawApi nowhere(QStringLiteral("http://127.0.0.1:%1/api/2").arg(port));
    try {
        nowhere.searchNow(QStringLiteral("民法"));
        ADD_FAILURE() << "a refused connection passed";
    } catch (const exchange::LawApiError& e) {
        EXPECT_EQ(e.error.kind, ApiFailure::Network);
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("法令APIに接続できません")));
    }
    exchange::LawApi noAddress(QStringLiteral("not an address"));
    EXPECT_THROW(noAddress.lawXmlNow(QStringLiteral("322AC0000000125")), exchange::LawApiError);
}

TEST(LawApiFailureTest, TheServicesCodeAndMessageAreReportedFlatOrUnderError) {
    const struct {
        const char* id;
        int status;
        QByteArray body;
        const char* said;  // what the text adds after the status
    } cases[] = {
        // The documented error_info.
        {"flat", 400, R"({"code":"400004","message":"日付（asof等）が誤っています。"})",
         " 400004: 日付（asof等）が誤っています。"},
        {"nested", 400, R"({"error":{"code":"400004","message":"日付（asof等）が誤っています。"}})",
         " 400004: 日付（asof等）が誤っています。"},
        {"number", 404, R"({"error":{"code":404001,"message":"指定された法令が見つかりません。"}})",
         " 404001: 指定された法令が見つかりません。"},
        {"codeonly", 500, R"({"error":{"code":"500001"}})", " 500001"},
        {"messageonly", 503, R"({"error":{"message":"メンテナンス中"}})", " メンテナンス中"},
        {"xml", 404,
         "<?xml version=\"1.0\"?><error_info><code>404001</code><message>指定された法令が見つかりま"
         "せん。</message></error_info>",
         " 404001: 指定された法令が見つかりません。"},
        {"html", 502, "<html><code>x</code>Bad Gateway</html>", ""},
        {"choices", 300, "", ""},  // a 3xx that names no place to go
    };
    QHash<QString, ApiAnswer> answers;
    for (const auto& c : cases) {
        ApiAnswer a;
        a.status = c.status;
        a.body = c.body;
        answers.insert(QStringLiteral("/api/2/law_file/xml/") + QString::fromLatin1(c.id), a);
    }
    answers.insert(QStringLiteral("/api/2/laws"),
                   answers.value(QStringLiteral("/api/2/law_file/xml/nested")));
    ApiServer server(
        [answers](const QString& path, const QUrlQuery&) { return answers.value(path); });
    exchange::LawApi api(server.base());
    auto expected = [](int status, const char* said) {
        return QStringLiteral("法令APIがエラーを返しました（HTTP %1%2）")
            .arg(status)
            .arg(QString::fromUtf8(said));
    };
    for (const auto& c : cases) {
        try {
            api.lawXmlNow(QString::fromLatin1(c.id));
            ADD_FAILURE() << c.id << " passed";
        } catch (const exchange::LawApiError& e) {
            EXPECT_EQ(e.error.kind, ApiFailure::Http) << c.id;
            EXPECT_EQ(e.error.status, c.status) << c.id;
            EXPECT_EQ(e.error.text, expected(c.status, c.said)) << c.id;
        }
    }
    // A search's error reads the same.
    try {
        api.searchNow(QStringLiteral("民法"));
        ADD_FAILURE() << "a 400 answer passed";
    } catch (const exchange::LawApiError& e) {
        EXPECT_EQ(e.error.text, expected(400, " 400004: 日付（asof等）が誤っています。"));
    }
}

}  // namespace

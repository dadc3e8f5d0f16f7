#pragma once
// A local HTTP server standing in for the government's law API, on a thread of its own so
// that a blocking client in the test or a lexctl child process can reach it. It answers in
// the service's documented shapes: /laws as JSON, /law_file/xml/{law_id} as law XML,
// /attachment/{law_revision_id}?src=… as the file, errors as {"code", "message"}.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QUrlQuery>
#include <functional>
#include <memory>

namespace testsupport {

struct ApiAnswer {
    int status = 200;
    QByteArray contentType = "application/json";
    QByteArray body;
    int delayMs = 0;      // before the answer is written
    QByteArray location;  // a Location header (redirects)
};

// A revision of a law the stand-in knows (/law_revisions) and its XML (/law_file/xml/{id}).
struct ApiRevisionFixture {
    QString revisionId, enforced, amendLawNum, amendTitle;
    QString status;  // CurrentEnforced, UnEnforced, PreviousEnforced
    QByteArray xml;
};

// A law the stand-in knows: its list entry and its XML.
struct ApiLawFixture {
    QString lawId, lawNum, title, kana, abbrev;
    QByteArray xml;
    QHash<QString, QByteArray> attachments;  // by src (./pict/a.jpg)
    // Its revisions in the order the answer lists them; none: the one the list names.
    QList<ApiRevisionFixture> revisions;
};

class ApiServer {
  public:
    using Handler = std::function<ApiAnswer(const QString& path, const QUrlQuery& query)>;
    explicit ApiServer(Handler handler);
    // Serves the laws as the service does (title search by substring).
    explicit ApiServer(const QList<ApiLawFixture>& laws);
    ~ApiServer();
    // http://127.0.0.1:PORT/api/2
    QString base() const;
    // Every request line's target received so far ("/api/2/laws?law_title=…").
    QStringList requests() const;

    // The documented /laws answer for these laws.
    static QByteArray lawsJson(const QList<ApiLawFixture>& laws, int total = -1);
    // The documented /law_revisions answer for a law.
    static QByteArray revisionsJson(const ApiLawFixture& law);
    // The service's own answer for a path, as the second constructor serves it.
    static ApiAnswer serve(const QList<ApiLawFixture>& laws, const QString& path,
                           const QUrlQuery& query);
    // 国家賠償法 of the test fixtures.
    static ApiLawFixture kokkaBaisho();
    // The same with two revisions: the one in force (2020-04-01, the list's) and a coming one
    // (2027-04-01, 令和八年法律第一号) whose 第1条 writes 過失によって.
    static ApiLawFixture kokkaBaishoRevised();
    // 民法 of the sample's law XML with three revisions, newest first: 2025-04-01 in force
    // (the XML as it is, 、 in 第1条), 2024-04-01 (令和四年法律第百二号: 第1条 written with ，),
    // 2023-04-01 (令和三年法律第三十七号: 第774条 of one paragraph, as before 2024).
    static ApiLawFixture minpoRevised();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace testsupport

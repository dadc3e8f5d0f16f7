#pragma once
// The government's law API (version 2): laws found by title, and a law's XML by law id.
// Answers arrive on the calling thread's event loop; the blocking forms run one of their own.
// The address is the setting API (a mirror or a test server can stand in).
#include "exchange/lawsource.h"
#include "platform/error.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace exchange {

inline constexpr const char* kDefaultLawApi = "https://laws.e-gov.go.jp/api/2";

// One law of a search answer: what a reader needs to choose it and a code for it.
struct ApiLaw {
    QString lawId;       // 322AC0000000125
    QString lawNum;      // 昭和二十二年法律第百二十五号
    QString title;       // 国家賠償法
    QString kana;        // こっかばいしょうほう
    QString abbrev;      // 国賠法
    QString repealed;    // empty while in force, else 廃止, 失効 …
    QString enforced;    // the version's date: its amendment's enforcement (2023-04-01)
    QString revisionId;  // that version's law_revision_id: where its attachments are
};

enum class ApiFailure {
    None,
    Network,    // no connection, name not resolved, refused
    Timeout,    // no complete answer in time
    Http,       // a status other than 2xx
    NotXml,     // a law file that is not law XML
    BadAnswer,  // a search answer that is not the documented JSON
};

struct ApiError {
    ApiFailure kind = ApiFailure::None;
    int status = 0;  // HTTP status, when there was one
    QString text;    // for the reader, in Japanese
    explicit operator bool() const { return kind != ApiFailure::None; }
};

class LawApiError : public platform::Error {
  public:
    explicit LawApiError(const ApiError& e) : platform::Error(e.text), error(e) {}
    ApiError error;
};

// One revision of a law (/law_revisions): the version an amendment made.
struct ApiRevision {
    QString revisionId;   // law_revision_id: 129AC0000000089_20250401_504AC0000000102
    QString enforced;     // amendment_enforcement_date (2025-04-01); empty when not yet fixed
    QString promulgated;  // amendment_promulgate_date
    QString amendLawNum;  // amendment_law_num: 令和四年法律第百二号
    QString amendTitle;   // amendment_law_title
    QString amendLawId;   // amendment_law_id
    QString comment;      // amendment_enforcement_comment (政令で定める日 …)
    QString status;       // current_revision_status as the service writes it (CurrentEnforced …)
    QString title;        // law_title of that version, when the answer has it
};
// 施行中, 未施行, 過去, 廃止 … for a current_revision_status; an unknown one as it is.
QString revisionStatusText(const QString& status);

struct ApiSearch {
    QList<ApiLaw> laws;
    int total = 0;  // the service's count before its limit
};

// The documented /laws answer read into laws; BadAnswer for anything else.
ApiSearch parseLawsAnswer(const QByteArray& json, ApiError* error);
// The documented /law_revisions answer read into revisions, newest first (by enforcement
// date; a revision without a date, not yet fixed, first); BadAnswer for anything else.
QList<ApiRevision> parseRevisionsAnswer(const QByteArray& json, ApiError* error);
// The revision in force on `date` (yyyy-MM-dd): the newest enforced on or before it; none
// when every one is later.
const ApiRevision* revisionAsOf(const QList<ApiRevision>& revisions, const QString& date);

// The laws whose title holds every word, a title equal to the words first, then in order.
QList<ApiLaw> matchingLaws(const QList<ApiLaw>& laws, const QString& words);
// The one law the words choose: the only match, or the one whose title equals the words;
// nothing when none or several.
const ApiLaw* chosenLaw(const QList<ApiLaw>& matches, const QString& words);
// The address in the settings (API), else the service's own.
QString lawApiAddress();

class LawApi : public QObject {
    Q_OBJECT
  public:
    explicit LawApi(const QString& base = lawApiAddress(), QObject* parent = nullptr);
    ~LawApi() override;

    void setTimeout(int milliseconds) { timeout_ = milliseconds; }
    const QString& base() const { return base_; }

    // The laws whose title holds the words (the longest word is asked for, every word is
    // checked here), up to `limit` of them.
    void search(const QString& words, std::function<void(ApiSearch, ApiError)> done,
                int limit = 100);
    // The law's XML as the service has it now (or a revision's, given its law_revision_id).
    void lawXml(const QString& lawId, std::function<void(QByteArray, ApiError)> done);
    // Every revision of the law (since 2017, as the service keeps them), newest first.
    void revisions(const QString& lawId, std::function<void(QList<ApiRevision>, ApiError)> done);
    // An attachment of a version (a figure's picture: src ./pict/….jpg), as the service has it.
    void attachment(const QString& revisionId, const QString& src,
                    std::function<void(QByteArray, ApiError)> done);
    // Ends every request still running; their callbacks are not called.
    void cancel();

    // The same, waiting for the answer; LawApiError on failure.
    ApiSearch searchNow(const QString& words, int limit = 100);
    // `lawId` may be a law_revision_id: that version's XML.
    QByteArray lawXmlNow(const QString& lawId);
    QList<ApiRevision> revisionsNow(const QString& lawId);
    QByteArray attachmentNow(const QString& revisionId, const QString& src);

  private:
    void get(const QString& path, const QList<QPair<QString, QString>>& query,
             std::function<void(QByteArray, ApiError)> done);
    QString base_;
    int timeout_ = 30000;
    QNetworkAccessManager* net_;
    QList<QPointer<QNetworkReply>> running_;
};

// Reads a version's attachments from the service one by one, for a law's figures; one that
// cannot be had reads as empty (the figure is named instead). Empty without a version.
std::function<QByteArray(const QString& src)> attachmentReader(LawApi& api,
                                                               const QString& revisionId);

}  // namespace exchange

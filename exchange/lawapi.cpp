#include "exchange/lawapi.h"

#include "exchange/lawxml.h"
#include "platform/settings.h"

#include <QDate>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QUrlQuery>
#include <QXmlStreamReader>

#include <algorithm>

namespace exchange {

namespace {

QString repealText(const QString& status) {
    if (status.isEmpty() || status == QStringLiteral("None")) return {};
    if (status == QStringLiteral("Repeal")) return QStringLiteral("廃止");
    if (status == QStringLiteral("Expire")) return QStringLiteral("失効");
    if (status == QStringLiteral("Suspend")) return QStringLiteral("停止");
    if (status == QStringLiteral("LossOfEffectiveness")) return QStringLiteral("実効性喪失");
    return status;
}

ApiError failure(ApiFailure kind, const QString& text, int status = 0) {
    return ApiError{kind, status, text};
}

// The service's error body: {"code": "404001", "message": "…"}, possibly under "error", or
// the same as XML (<error_info><code>…</code><message>…</message></error_info>) where the
// answer asked for was XML.
QString serviceMessage(const QByteArray& body) {
    QString code, message;
    if (body.trimmed().startsWith('<')) {
        QXmlStreamReader r(body);
        bool inError = false;
        while (!r.atEnd() && r.readNext() != QXmlStreamReader::Invalid) {
            if (!r.isStartElement()) continue;
            if (r.name() == QStringLiteral("error_info"))
                inError = true;
            else if (inError && r.name() == QStringLiteral("code"))
                code = r.readElementText().trimmed();
            else if (inError && r.name() == QStringLiteral("message"))
                message = r.readElementText().trimmed();
        }
    } else {
        QJsonObject o = QJsonDocument::fromJson(body).object();
        if (o.value(QStringLiteral("error")).isObject())
            o = o.value(QStringLiteral("error")).toObject();
        code = o.value(QStringLiteral("code")).toVariant().toString();
        message = o.value(QStringLiteral("message")).toString();
    }
    if (message.isEmpty()) return code;
    return code.isEmpty() ? message : code + QStringLiteral(": ") + message;
}

}  // namespace

ApiSearch parseLawsAnswer(const QByteArray& json, ApiError* error) {
    ApiSearch result;
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    const QJsonValue laws = doc.object().value(QStringLiteral("laws"));
    if (parse.error != QJsonParseError::NoError || !doc.isObject() || !laws.isArray()) {
        *error = failure(ApiFailure::BadAnswer,
                         QStringLiteral("法令APIの応答を読めません（法令一覧ではありません）"));
        return result;
    }
    for (const QJsonValue& v : laws.toArray()) {
        const QJsonObject item = v.toObject();
        const QJsonObject info = item.value(QStringLiteral("law_info")).toObject();
        // The version in force now where the answer names one, else the one it found.
        QJsonObject revision = item.value(QStringLiteral("current_revision_info")).toObject();
        if (revision.value(QStringLiteral("law_title")).toString().isEmpty())
            revision = item.value(QStringLiteral("revision_info")).toObject();
        ApiLaw law;
        law.lawId = info.value(QStringLiteral("law_id")).toString();
        law.lawNum = info.value(QStringLiteral("law_num")).toString();
        law.title = revision.value(QStringLiteral("law_title")).toString();
        law.kana = revision.value(QStringLiteral("law_title_kana")).toString();
        law.abbrev = revision.value(QStringLiteral("abbrev")).toString();
        law.repealed = repealText(revision.value(QStringLiteral("repeal_status")).toString());
        law.enforced = revision.value(QStringLiteral("amendment_enforcement_date")).toString();
        law.revisionId = revision.value(QStringLiteral("law_revision_id")).toString();
        if (law.lawId.isEmpty() || law.title.isEmpty()) continue;  // nothing to fetch or show
        result.laws << law;
    }
    result.total = doc.object().value(QStringLiteral("total_count")).toInt(int(result.laws.size()));
    *error = {};
    return result;
}

QString revisionStatusText(const QString& status) {
    if (status == QStringLiteral("CurrentEnforced")) return QStringLiteral("施行中");
    if (status == QStringLiteral("UnEnforced")) return QStringLiteral("未施行");
    if (status == QStringLiteral("PreviousEnforced")) return QStringLiteral("過去");
    const QString repeal = repealText(status);
    return repeal.isEmpty() ? status : repeal;
}

QList<ApiRevision> parseRevisionsAnswer(const QByteArray& json, ApiError* error) {
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    const QJsonValue list = doc.object().value(QStringLiteral("revisions"));
    if (parse.error != QJsonParseError::NoError || !doc.isObject() || !list.isArray()) {
        *error = failure(ApiFailure::BadAnswer,
                         QStringLiteral("法令APIの応答を読めません（改正履歴ではありません）"));
        return {};
    }
    auto text = [](const QJsonObject& o, const char* key) {
        const QJsonValue v = o.value(QString::fromLatin1(key));
        return v.isString() ? v.toString() : QString();  // null and numbers: nothing
    };
    QList<ApiRevision> revisions;
    for (const QJsonValue& v : list.toArray()) {
        const QJsonObject o = v.toObject();
        ApiRevision r;
        r.revisionId = text(o, "law_revision_id");
        r.enforced = text(o, "amendment_enforcement_date");
        r.promulgated = text(o, "amendment_promulgate_date");
        r.amendLawNum = text(o, "amendment_law_num");
        r.amendTitle = text(o, "amendment_law_title");
        r.amendLawId = text(o, "amendment_law_id");
        r.comment = text(o, "amendment_enforcement_comment");
        r.status = text(o, "current_revision_status");
        r.title = text(o, "law_title");
        // Nothing to fetch without the id; a date that is not one is no date.
        if (r.revisionId.isEmpty()) continue;
        if (!QDate::fromString(r.enforced, Qt::ISODate).isValid()) r.enforced.clear();
        revisions << r;
    }
    // Newest first: the service's order is not promised. A revision whose date is not yet
    // fixed will come last of all, so it stands first.
    std::stable_sort(revisions.begin(), revisions.end(),
                     [](const ApiRevision& a, const ApiRevision& b) {
                         if (a.enforced.isEmpty() != b.enforced.isEmpty())
                             return a.enforced.isEmpty();
                         return a.enforced > b.enforced;
                     });
    *error = {};
    return revisions;
}

const ApiRevision* revisionAsOf(const QList<ApiRevision>& revisions, const QString& date) {
    const ApiRevision* found = nullptr;
    for (const ApiRevision& r : revisions)
        if (!r.enforced.isEmpty() && r.enforced <= date && (!found || r.enforced > found->enforced))
            found = &r;
    return found;
}

QList<ApiLaw> matchingLaws(const QList<ApiLaw>& laws, const QString& words) {
    const QStringList parts = words.simplified().split(u' ', Qt::SkipEmptyParts);
    QList<ApiLaw> found;
    for (const ApiLaw& law : laws) {
        bool all = true;
        for (const QString& w : parts) all = all && law.title.contains(w);
        if (all) found << law;
    }
    const QString whole = words.simplified();
    std::stable_sort(found.begin(), found.end(), [&](const ApiLaw& a, const ApiLaw& b) {
        return (a.title == whole) > (b.title == whole);
    });
    return found;
}

const ApiLaw* chosenLaw(const QList<ApiLaw>& matches, const QString& words) {
    if (matches.size() == 1) return &matches.first();
    const QString whole = words.simplified();
    const ApiLaw* equal = nullptr;
    for (const ApiLaw& law : matches) {
        if (law.title != whole) continue;
        if (equal) return nullptr;  // two laws of one title: the reader chooses by id
        equal = &law;
    }
    return equal;
}

QString lawApiAddress() {
    return platform::Settings().get(QStringLiteral("API"), QString::fromLatin1(kDefaultLawApi));
}

LawApi::LawApi(const QString& base, QObject* parent)
    : QObject(parent), base_(base), net_(new QNetworkAccessManager(this)) {
    while (base_.endsWith(u'/')) base_.chop(1);
    QNetworkProxyFactory::setUseSystemConfiguration(true);  // http_proxy and the like
    net_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

LawApi::~LawApi() {
    cancel();
}

void LawApi::get(const QString& path, const QList<QPair<QString, QString>>& query,
                 std::function<void(QByteArray, ApiError)> done) {
    QUrl url(base_ + path);
    if (!query.isEmpty()) {
        QUrlQuery q;
        q.setQueryItems(query);
        url.setQuery(q);
    }
    if (!url.isValid() || url.scheme().isEmpty()) {
        done({}, failure(ApiFailure::Network,
                         QStringLiteral("法令APIのアドレスが正しくありません: %1").arg(base_)));
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(timeout_);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Lexora/" LEXORA_VERSION));
    QNetworkReply* reply = net_->get(request);
    running_ << reply;
    const int timeout = timeout_;
    connect(reply, &QNetworkReply::finished, this, [this, reply, done, timeout] {
        reply->deleteLater();
        if (!running_.removeOne(reply)) return;  // cancelled
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray body = reply->readAll();
        const QNetworkReply::NetworkError e = reply->error();
        // A stalled body counts as no answer, even after a status line.
        if (e == QNetworkReply::OperationCanceledError || e == QNetworkReply::TimeoutError) {
            done({}, failure(ApiFailure::Timeout,
                             QStringLiteral("法令APIが %1 秒以内に応答しませんでした")
                                 .arg(timeout / 1000.0)));
            return;
        }
        if (status >= 300) {
            const QString said = serviceMessage(body);
            done({}, failure(ApiFailure::Http,
                             QStringLiteral("法令APIがエラーを返しました（HTTP %1%2）")
                                 .arg(QString::number(status),
                                      said.isEmpty() ? QString() : QStringLiteral(" ") + said),
                             status));
            return;
        }
        if (e != QNetworkReply::NoError) {  // no connection, or cut off mid-answer
            done({},
                 failure(ApiFailure::Network, QStringLiteral("法令APIに接続できません（%1）: %2")
                                                  .arg(base_, reply->errorString())));
            return;
        }
        done(body, {});
    });
}

void LawApi::search(const QString& words, std::function<void(ApiSearch, ApiError)> done,
                    int limit) {
    const QStringList parts = words.simplified().split(u' ', Qt::SkipEmptyParts);
    if (parts.isEmpty()) {
        done({}, {});
        return;
    }
    // The service takes one title fragment; the longest narrows most.
    const QString longest =
        *std::max_element(parts.begin(), parts.end(),
                          [](const QString& a, const QString& b) { return a.size() < b.size(); });
    get(QStringLiteral("/laws"),
        {{QStringLiteral("law_title"), longest},
         {QStringLiteral("limit"), QString::number(limit)},
         {QStringLiteral("response_format"), QStringLiteral("json")}},
        [done, words](const QByteArray& body, ApiError error) {
            if (error) return done({}, error);
            ApiSearch found = parseLawsAnswer(body, &error);
            found.laws = matchingLaws(found.laws, words);
            done(found, error);
        });
}

void LawApi::lawXml(const QString& lawId, std::function<void(QByteArray, ApiError)> done) {
    get(QStringLiteral("/law_file/xml/") + QString::fromLatin1(QUrl::toPercentEncoding(lawId)), {},
        [done, lawId](const QByteArray& body, const ApiError& error) {
            if (error) return done({}, error);
            if (lawXmlHead(body).title.isEmpty())
                return done(
                    {},
                    failure(
                        ApiFailure::NotXml,
                        QStringLiteral("法令APIの応答が法令XMLではありません（%1）").arg(lawId)));
            done(body, {});
        });
}

void LawApi::revisions(const QString& lawId,
                       std::function<void(QList<ApiRevision>, ApiError)> done) {
    get(QStringLiteral("/law_revisions/") + QString::fromLatin1(QUrl::toPercentEncoding(lawId)),
        {{QStringLiteral("response_format"), QStringLiteral("json")}},
        [done](const QByteArray& body, ApiError error) {
            if (error) return done({}, error);
            const QList<ApiRevision> found = parseRevisionsAnswer(body, &error);
            done(found, error);
        });
}

void LawApi::attachment(const QString& revisionId, const QString& src,
                        std::function<void(QByteArray, ApiError)> done) {
    get(QStringLiteral("/attachment/") + QString::fromLatin1(QUrl::toPercentEncoding(revisionId)),
        {{QStringLiteral("src"), src}}, std::move(done));
}

void LawApi::cancel() {
    const QList<QPointer<QNetworkReply>> running = running_;
    running_.clear();
    for (const QPointer<QNetworkReply>& r : running)
        if (r) r->abort();
}

namespace {
// Waits for one answer; LawApiError on failure.
template <typename T>
T answerNow(const std::function<void(std::function<void(T, ApiError)>)>& ask) {
    QEventLoop loop;
    T result;
    ApiError error;
    bool finished = false;
    ask([&](T answer, ApiError e) {
        result = std::move(answer);
        error = e;
        finished = true;
        loop.quit();
    });
    if (!finished) loop.exec();
    if (error) throw LawApiError(error);
    return result;
}
}  // namespace

ApiSearch LawApi::searchNow(const QString& words, int limit) {
    return answerNow<ApiSearch>([&](auto done) { search(words, std::move(done), limit); });
}

QByteArray LawApi::lawXmlNow(const QString& lawId) {
    return answerNow<QByteArray>([&](auto done) { lawXml(lawId, std::move(done)); });
}

QList<ApiRevision> LawApi::revisionsNow(const QString& lawId) {
    return answerNow<QList<ApiRevision>>([&](auto done) { revisions(lawId, std::move(done)); });
}

QByteArray LawApi::attachmentNow(const QString& revisionId, const QString& src) {
    return answerNow<QByteArray>([&](auto done) { attachment(revisionId, src, std::move(done)); });
}

std::function<QByteArray(const QString& src)> attachmentReader(LawApi& api,
                                                               const QString& revisionId) {
    if (revisionId.isEmpty()) return {};
    return [&api, revisionId](const QString& src) {
        try {
            return api.attachmentNow(revisionId, src);
        } catch (const LawApiError&) {
            return QByteArray();
        }
    };
}

}  // namespace exchange

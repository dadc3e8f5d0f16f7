#include "tests/support/apiserver.h"

#include "tests/support/testsupport.h"

#include <QAbstractEventDispatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace testsupport {

struct ApiServer::Impl {
    Handler handler;
    QThread thread;
    QObject* context = nullptr;  // lives on `thread`, as does the server
    QTcpServer* server = nullptr;
    quint16 port = 0;
    mutable QMutex mutex;
    QStringList requests;

    void answer(QTcpSocket* socket, const QByteArray& target) {
        const QUrl url(QString::fromUtf8(target));
        {
            QMutexLocker lock(&mutex);
            requests << url.toString(QUrl::PrettyDecoded);
        }
        const ApiAnswer a = handler(url.path(), QUrlQuery(url));
        auto write = [socket, a] {
            QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " Answer\r\n";
            head += "Content-Type: " + a.contentType + "\r\n";
            head += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
            if (!a.location.isEmpty()) head += "Location: " + a.location + "\r\n";
            head += "Connection: close\r\n\r\n";
            socket->write(head + a.body);
            socket->disconnectFromHost();
        };
        if (a.delayMs > 0)
            QTimer::singleShot(a.delayMs, socket, write);
        else
            write();
    }

    void accept() {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                *buffer += socket->readAll();
                const qsizetype end = buffer->indexOf("\r\n\r\n");
                if (end < 0 || buffer->isEmpty()) return;
                const QList<QByteArray> line = buffer->left(buffer->indexOf("\r\n")).split(' ');
                buffer->clear();
                answer(socket, line.value(1));
            });
        }
    }
};

ApiServer::ApiServer(Handler handler) : impl_(std::make_unique<Impl>()) {
    impl_->handler = std::move(handler);
    impl_->context = new QObject;
    impl_->context->moveToThread(&impl_->thread);
    impl_->thread.start();
    QMetaObject::invokeMethod(
        impl_->context,
        [this] {
            impl_->server = new QTcpServer(impl_->context);
            impl_->server->listen(QHostAddress::LocalHost, 0);
            impl_->port = impl_->server->serverPort();
            QObject::connect(impl_->server, &QTcpServer::newConnection, impl_->server,
                             [this] { impl_->accept(); });
        },
        Qt::BlockingQueuedConnection);
}

ApiServer::ApiServer(const QList<ApiLawFixture>& laws)
    : ApiServer([laws](const QString& path, const QUrlQuery& query) {
          return serve(laws, path, query);
      }) {}

ApiServer::~ApiServer() {
    QMetaObject::invokeMethod(
        impl_->context, [this] { delete impl_->context; }, Qt::BlockingQueuedConnection);
    impl_->thread.quit();
    impl_->thread.wait();
}

QString ApiServer::base() const {
    return QStringLiteral("http://127.0.0.1:%1/api/2").arg(impl_->port);
}

QStringList ApiServer::requests() const {
    QMutexLocker lock(&impl_->mutex);
    return impl_->requests;
}

QByteArray ApiServer::lawsJson(const QList<ApiLawFixture>& laws, int total) {
    QJsonArray list;
    for (const ApiLawFixture& l : laws) {
        const QJsonObject info{{QStringLiteral("law_type"), QStringLiteral("Act")},
                               {QStringLiteral("law_id"), l.lawId},
                               {QStringLiteral("law_num"), l.lawNum},
                               {QStringLiteral("law_num_era"), QStringLiteral("Showa")},
                               {QStringLiteral("promulgation_date"), QStringLiteral("1947-10-27")}};
        // The version in force: the listed revision so marked, else the one every law has.
        QString revisionId = l.lawId + QStringLiteral("_19471027_000000000000000");
        QString enforced = QStringLiteral("2020-04-01");
        for (const ApiRevisionFixture& r : l.revisions)
            if (r.status == QStringLiteral("CurrentEnforced")) {
                revisionId = r.revisionId;
                enforced = r.enforced;
            }
        const QJsonObject revision{
            {QStringLiteral("law_revision_id"), revisionId},
            {QStringLiteral("law_type"), QStringLiteral("Act")},
            {QStringLiteral("law_title"), l.title},
            {QStringLiteral("law_title_kana"), l.kana},
            {QStringLiteral("abbrev"), l.abbrev},
            {QStringLiteral("category"), QStringLiteral("行政手続")},
            {QStringLiteral("repeal_status"), QStringLiteral("None")},
            {QStringLiteral("amendment_enforcement_date"), enforced},
            {QStringLiteral("current_revision_status"), QStringLiteral("CurrentEnforced")}};
        list.append(QJsonObject{{QStringLiteral("law_info"), info},
                                {QStringLiteral("revision_info"), revision},
                                {QStringLiteral("current_revision_info"), revision}});
    }
    const QJsonObject root{{QStringLiteral("total_count"), total < 0 ? int(laws.size()) : total},
                           {QStringLiteral("count"), int(laws.size())},
                           {QStringLiteral("next_offset"), QJsonValue()},
                           {QStringLiteral("laws"), list}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

QByteArray ApiServer::revisionsJson(const ApiLawFixture& law) {
    QList<ApiRevisionFixture> revisions = law.revisions;
    if (revisions.isEmpty())
        revisions << ApiRevisionFixture{law.lawId + QStringLiteral("_19471027_000000000000000"),
                                        QStringLiteral("2020-04-01"),
                                        {},
                                        {},
                                        QStringLiteral("CurrentEnforced"),
                                        law.xml};
    QJsonArray list;
    for (const ApiRevisionFixture& r : revisions)
        list.append(QJsonObject{
            {QStringLiteral("law_revision_id"), r.revisionId},
            {QStringLiteral("law_type"), QStringLiteral("Act")},
            {QStringLiteral("law_title"), law.title},
            {QStringLiteral("law_title_kana"), law.kana},
            {QStringLiteral("abbrev"), law.abbrev},
            {QStringLiteral("amendment_promulgate_date"), r.enforced},
            {QStringLiteral("amendment_enforcement_date"), r.enforced},
            {QStringLiteral("amendment_enforcement_comment"), QJsonValue()},
            {QStringLiteral("amendment_law_id"), QString(r.revisionId).section(u'_', 2)},
            {QStringLiteral("amendment_law_title"), r.amendTitle},
            {QStringLiteral("amendment_law_num"), r.amendLawNum},
            {QStringLiteral("repeal_status"), QStringLiteral("None")},
            {QStringLiteral("current_revision_status"), r.status}});
    const QJsonObject info{{QStringLiteral("law_type"), QStringLiteral("Act")},
                           {QStringLiteral("law_id"), law.lawId},
                           {QStringLiteral("law_num"), law.lawNum},
                           {QStringLiteral("promulgation_date"), QStringLiteral("1947-10-27")}};
    return QJsonDocument(
               QJsonObject{{QStringLiteral("law_info"), info}, {QStringLiteral("revisions"), list}})
        .toJson(QJsonDocument::Compact);
}

ApiAnswer ApiServer::serve(const QList<ApiLawFixture>& laws, const QString& path,
                           const QUrlQuery& query) {
    auto error = [](int status, const char* code, const QString& message) {
        ApiAnswer a;
        a.status = status;
        a.body = QJsonDocument(QJsonObject{{QStringLiteral("code"), QString::fromLatin1(code)},
                                           {QStringLiteral("message"), message}})
                     .toJson(QJsonDocument::Compact);
        return a;
    };
    if (path == QStringLiteral("/api/2/laws")) {
        const QString title = query.queryItemValue(QStringLiteral("law_title"), QUrl::FullyDecoded);
        QList<ApiLawFixture> found;
        for (const ApiLawFixture& l : laws)
            if (l.title.contains(title)) found << l;
        ApiAnswer a;
        a.body = lawsJson(found);
        return a;
    }
    const QString attached = QStringLiteral("/api/2/attachment/");
    if (path.startsWith(attached)) {
        const QString src = query.queryItemValue(QStringLiteral("src"), QUrl::FullyDecoded);
        for (const ApiLawFixture& l : laws) {
            if (l.lawId + QStringLiteral("_19471027_000000000000000") !=
                    path.mid(attached.size()) ||
                !l.attachments.contains(src))
                continue;
            ApiAnswer a;
            a.contentType = "image/jpeg";
            a.body = l.attachments.value(src);
            return a;
        }
        return error(404, "404001", QStringLiteral("指定された添付ファイルが見つかりません。"));
    }
    const QString revisionsPath = QStringLiteral("/api/2/law_revisions/");
    if (path.startsWith(revisionsPath)) {
        for (const ApiLawFixture& l : laws) {
            if (l.lawId != path.mid(revisionsPath.size())) continue;
            ApiAnswer a;
            a.body = revisionsJson(l);
            return a;
        }
        return error(404, "404001", QStringLiteral("指定された法令が見つかりません。"));
    }
    const QString prefix = QStringLiteral("/api/2/law_file/xml/");
    if (path.startsWith(prefix)) {
        const QString id = path.mid(prefix.size());
        for (const ApiLawFixture& l : laws) {
            QByteArray xml = l.lawId == id ? l.xml : QByteArray();
            for (const ApiRevisionFixture& r : l.revisions)
                if (r.revisionId == id) xml = r.xml;  // a version by its revision id
            if (xml.isEmpty()) continue;
            ApiAnswer a;
            a.contentType = "application/xml";
            a.body = xml;
            return a;
        }
        return error(404, "404001", QStringLiteral("指定された法令が見つかりません。"));
    }
    return error(404, "404000", QStringLiteral("Not Found"));
}

ApiLawFixture ApiServer::kokkaBaisho() {
    return {QStringLiteral("322AC0000000125"),
            QStringLiteral("昭和二十二年法律第百二十五号"),
            QStringLiteral("国家賠償法"),
            QStringLiteral("こっかばいしょうほう"),
            QStringLiteral("国賠法"),
            readFile(QStringLiteral(LEXORA_FIXTURES_DIR "/kokka-baisho.xml")),
            {},
            {}};
}

ApiLawFixture ApiServer::kokkaBaishoRevised() {
    ApiLawFixture law = kokkaBaisho();
    law.revisions = {
        {law.lawId + QStringLiteral("_19471027_000000000000000"),
         QStringLiteral("2020-04-01"),
         {},
         {},
         QStringLiteral("CurrentEnforced"),
         law.xml},
        {law.lawId + QStringLiteral("_20270401_508AC0000000001"), QStringLiteral("2027-04-01"),
         QStringLiteral("令和八年法律第一号"), QStringLiteral("国家賠償法の一部を改正する法律"),
         QStringLiteral("UnEnforced"),
         QByteArray(law.xml).replace("故意又は過失によつて", "故意又は過失によって")}};
    return law;
}

ApiLawFixture ApiServer::minpoRevised() {
    const QByteArray now = readFile(QStringLiteral(LEXORA_SAMPLE_DIR "/../xml/MP.xml"));
    const QString id = QStringLiteral("129AC0000000089");
    QByteArray y2024 = now;
    y2024.replace("私権は、公共の福祉に適合しなければならない。",
                  "私権は，公共の福祉に適合しなければならない。");
    // 第774条 as it stood before 令和四年法律第百二号 took effect.
    QByteArray y2023 = y2024;
    const qsizetype from = y2023.indexOf("<Article Num=\"774\">");
    const qsizetype to = y2023.indexOf("</Article>", from) + qsizetype(strlen("</Article>"));
    y2023.replace(from, to - from,
                  "<Article Num=\"774\"><ArticleCaption>（嫡出の否認）</ArticleCaption>"
                  "<ArticleTitle>第七百七十四条</ArticleTitle><Paragraph Num=\"1\"><ParagraphNum/>"
                  "<ParagraphSentence><Sentence Num=\"1\">第七百七十二条の場合において、夫は、"
                  "子が嫡出であることを否認することができる。</Sentence></ParagraphSentence>"
                  "</Paragraph></Article>");
    ApiLawFixture law{id,
                      QStringLiteral("明治二十九年法律第八十九号"),
                      QStringLiteral("民法"),
                      QStringLiteral("みんぽう"),
                      {},
                      now,
                      {},
                      {}};
    law.revisions = {
        {id + QStringLiteral("_20250401_505AC0000000053"),
         QStringLiteral("2025-04-01"),
         QStringLiteral("令和五年法律第五十三号"),
         {},
         QStringLiteral("CurrentEnforced"),
         now},
        {id + QStringLiteral("_20240401_504AC0000000102"), QStringLiteral("2024-04-01"),
         QStringLiteral("令和四年法律第百二号"), QStringLiteral("民法等の一部を改正する法律"),
         QStringLiteral("PreviousEnforced"), y2024},
        {id + QStringLiteral("_20230401_503AC0000000037"),
         QStringLiteral("2023-04-01"),
         QStringLiteral("令和三年法律第三十七号"),
         {},
         QStringLiteral("PreviousEnforced"),
         y2023}};
    return law;
}

}  // namespace testsupport

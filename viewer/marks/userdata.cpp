#include "viewer/marks/userdata.h"

#include "platform/error.h"
#include "store/engine.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QUuid>

namespace viewer {

namespace {

const QStringList kMarkerFields{
    QStringLiteral("uuid"),   QStringLiteral("law"),    QStringLiteral("place"),
    QStringLiteral("start"),  QStringLiteral("length"), QStringLiteral("text"),
    QStringLiteral("before"), QStringLiteral("after"),  QStringLiteral("colour"),
    QStringLiteral("note"),   QStringLiteral("state"),  QStringLiteral("created")};
const QStringList kBookmarkFields{QStringLiteral("uuid"), QStringLiteral("law"),
                                  QStringLiteral("place"), QStringLiteral("title"),
                                  QStringLiteral("created")};

QString now() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
}

QString newUuid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString contentUuid(const QStringList& fields) {
    static const QUuid space = QUuid::fromString(u"6f1d2c4e-3a5b-4c7d-9e8f-0a1b2c3d4e5f");
    return QUuid::createUuidV5(space, fields.join(u'\n')).toString(QUuid::WithoutBraces);
}

Marker markerOf(const store::Recordset& rs) {
    Marker m;
    m.id = rs.field(QStringLiteral("id")).toLongLong();
    m.uuid = rs.text(QStringLiteral("uuid"));
    m.law = rs.text(QStringLiteral("law"));
    m.place = rs.text(QStringLiteral("place"));
    m.start = rs.field(QStringLiteral("start")).toInt();
    m.length = rs.field(QStringLiteral("length")).toInt();
    m.text = rs.text(QStringLiteral("text"));
    m.before = rs.text(QStringLiteral("before"));
    m.after = rs.text(QStringLiteral("after"));
    m.colour = rs.field(QStringLiteral("colour")).toInt();
    m.note = rs.text(QStringLiteral("note"));
    m.state = rs.text(QStringLiteral("state"));
    m.created = rs.text(QStringLiteral("created"));
    return m;
}

QVariantList markerValues(const Marker& m) {
    return {m.uuid,   m.law,   m.place,  m.start, m.length, m.text,
            m.before, m.after, m.colour, m.note,  m.state,  m.created};
}

QJsonObject markerJson(const Marker& m) {
    return {{QStringLiteral("uuid"), m.uuid},     {QStringLiteral("law"), m.law},
            {QStringLiteral("place"), m.place},   {QStringLiteral("start"), m.start},
            {QStringLiteral("length"), m.length}, {QStringLiteral("text"), m.text},
            {QStringLiteral("before"), m.before}, {QStringLiteral("after"), m.after},
            {QStringLiteral("colour"), m.colour}, {QStringLiteral("note"), m.note},
            {QStringLiteral("state"), m.state},   {QStringLiteral("created"), m.created}};
}

}  // namespace

QString userDataPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/lexora/reader.sqlite");
}

UserData::UserData(const QString& path) {
    if (!QFileInfo::exists(path)) {
        if (!QDir().mkpath(QFileInfo(path).path()))
            throw platform::Error(QStringLiteral("%1 を作れません。").arg(QFileInfo(path).path()));
        db_ = std::make_unique<store::Database>(store::Database::create(path));
    } else {
        db_ = std::make_unique<store::Database>(store::Database::open(path));
    }
    db_->execute(QStringLiteral(
        "create table if not exists markers (id integer primary key, uuid text unique, "
        "law text, place text, start integer, length integer, text text, before text, "
        "after text, colour integer, note text, state text, created text)"));
    db_->execute(QStringLiteral(
        "create table if not exists bookmarks (id integer primary key, uuid text unique, "
        "law text, place text, title text, created text)"));
}

UserData::~UserData() = default;
UserData::UserData(UserData&&) noexcept = default;

qint64 UserData::addMarker(Marker m) {
    if (m.uuid.isEmpty()) m.uuid = newUuid();
    if (m.created.isEmpty()) m.created = now();
    db_->execute(QStringLiteral("insert into markers (%1) values (?,?,?,?,?,?,?,?,?,?,?,?)")
                     .arg(kMarkerFields.join(u',')),
                 markerValues(m));
    return db_->lastInsertId();
}

// The rows of a table, of one law or all, in the order they were made.
static store::Recordset rowsOf(store::Database& db, const QString& table, const QString& law) {
    return law.isEmpty()
               ? db.openRecordset(QStringLiteral("select * from %1 order by id").arg(table))
               : db.openRecordset(
                     QStringLiteral("select * from %1 where upper(law)=upper(?) order by id")
                         .arg(table),
                     store::RecordsetType::Snapshot, {law});
}

QList<Marker> UserData::markers(const QString& law) {
    QList<Marker> out;
    for (store::Recordset rs = rowsOf(*db_, QStringLiteral("markers"), law); !rs.eof();
         rs.moveNext())
        out << markerOf(rs);
    return out;
}

void UserData::updateMarker(const Marker& m) {
    db_->execute(QStringLiteral("update markers set place=?, start=?, length=?, before=?, "
                                "after=?, colour=?, note=?, state=? where id=?"),
                 {m.place, m.start, m.length, m.before, m.after, m.colour, m.note, m.state, m.id});
}

void UserData::updateNote(qint64 id, const QString& note) {
    db_->execute(QStringLiteral("update markers set note=? where id=?"), {note, id});
}

bool UserData::removeMarker(qint64 id) {
    return db_->execute(QStringLiteral("delete from markers where id=?"), {id}) > 0;
}

qint64 UserData::addBookmark(Bookmark b) {
    if (b.uuid.isEmpty()) b.uuid = newUuid();
    if (b.created.isEmpty()) b.created = now();
    db_->execute(QStringLiteral("insert into bookmarks (%1) values (?,?,?,?,?)")
                     .arg(kBookmarkFields.join(u',')),
                 {b.uuid, b.law, b.place, b.title, b.created});
    return db_->lastInsertId();
}

QList<Bookmark> UserData::bookmarks(const QString& law) {
    QList<Bookmark> out;
    for (store::Recordset rs = rowsOf(*db_, QStringLiteral("bookmarks"), law); !rs.eof();
         rs.moveNext())
        out << Bookmark{rs.field(QStringLiteral("id")).toLongLong(),
                        rs.text(QStringLiteral("uuid")),
                        rs.text(QStringLiteral("law")),
                        rs.text(QStringLiteral("place")),
                        rs.text(QStringLiteral("title")),
                        rs.text(QStringLiteral("created"))};
    return out;
}

bool UserData::removeBookmark(qint64 id) {
    return db_->execute(QStringLiteral("delete from bookmarks where id=?"), {id}) > 0;
}

QByteArray UserData::exportJson() {
    QJsonArray marks, books;
    for (const Marker& m : markers()) marks.append(markerJson(m));
    for (const Bookmark& b : bookmarks())
        books.append(QJsonObject{{QStringLiteral("uuid"), b.uuid},
                                 {QStringLiteral("law"), b.law},
                                 {QStringLiteral("place"), b.place},
                                 {QStringLiteral("title"), b.title},
                                 {QStringLiteral("created"), b.created}});
    return QJsonDocument(QJsonObject{{QStringLiteral("lexora"), QStringLiteral("reader")},
                                     {QStringLiteral("version"), 1},
                                     {QStringLiteral("markers"), marks},
                                     {QStringLiteral("bookmarks"), books}})
        .toJson(QJsonDocument::Indented);
}

ImportCount UserData::importJson(const QByteArray& json) {
    QJsonParseError parse;
    const QJsonObject root = QJsonDocument::fromJson(json, &parse).object();
    if (parse.error != QJsonParseError::NoError ||
        root.value(QStringLiteral("lexora")) != QStringLiteral("reader") ||
        !root.value(QStringLiteral("markers")).isArray() ||
        !root.value(QStringLiteral("bookmarks")).isArray())
        throw platform::Error(QStringLiteral("マーカーとしおりの書き出しファイルではありません。"));
    auto has = [&](const char* table, const QString& uuid) {
        return !db_->openRecordset(QStringLiteral("select id from %1 where uuid=?")
                                       .arg(QString::fromLatin1(table)),
                                   store::RecordsetType::Snapshot, {uuid})
                    .eof();
    };
    ImportCount count;
    store::Transaction t(*db_);
    for (const QJsonValue& v : root.value(QStringLiteral("markers")).toArray()) {
        const QJsonObject o = v.toObject();
        Marker m;
        m.uuid = o.value(QStringLiteral("uuid")).toString();
        m.law = o.value(QStringLiteral("law")).toString().toUpper();
        m.place = o.value(QStringLiteral("place")).toString();
        m.start = o.value(QStringLiteral("start")).toInt();
        m.length = o.value(QStringLiteral("length")).toInt();
        m.text = o.value(QStringLiteral("text")).toString();
        // Its length is its text's, whatever the file says.
        if (!m.text.isEmpty()) m.length = int(m.text.toUcs4().size());
        m.before = o.value(QStringLiteral("before")).toString();
        m.after = o.value(QStringLiteral("after")).toString();
        m.colour = std::clamp(o.value(QStringLiteral("colour")).toInt(1), 0, 6);
        m.note = o.value(QStringLiteral("note")).toString();
        m.state = o.value(QStringLiteral("state")).toString(QStringLiteral("ok"));
        m.created = o.value(QStringLiteral("created")).toString();
        if (m.law.isEmpty() || m.place.isEmpty() || m.text.isEmpty() || m.start < 0 ||
            m.length <= 0)
            continue;
        // One written by hand has no uuid: its content names it, so it comes in once.
        if (m.uuid.isEmpty())
            m.uuid = contentUuid(
                {m.law, m.place, QString::number(m.start), QString::number(m.length), m.text});
        if (!m.uuid.isEmpty() && has("markers", m.uuid)) {
            ++count.present;
            continue;
        }
        addMarker(m);
        ++count.markers;
    }
    for (const QJsonValue& v : root.value(QStringLiteral("bookmarks")).toArray()) {
        const QJsonObject o = v.toObject();
        Bookmark b{0,
                   o.value(QStringLiteral("uuid")).toString(),
                   o.value(QStringLiteral("law")).toString().toUpper(),
                   o.value(QStringLiteral("place")).toString(),
                   o.value(QStringLiteral("title")).toString(),
                   o.value(QStringLiteral("created")).toString()};
        if (b.law.isEmpty() || b.place.isEmpty()) continue;
        if (b.uuid.isEmpty()) b.uuid = contentUuid({b.law, b.place, b.title});
        if (!b.uuid.isEmpty() && has("bookmarks", b.uuid)) {
            ++count.present;
            continue;
        }
        addBookmark(b);
        ++count.bookmarks;
    }
    t.commit();
    return count;
}

}  // namespace viewer

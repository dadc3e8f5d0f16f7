#include "store/lawdb.h"

#include "platform/prompt.h"
#include "store/folders.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <functional>

namespace store {

bool isValidLawName(const QString& name, QString* why) {
    auto refuse = [why](const QString& reason) {
        if (why) *why = reason;
        return false;
    };
    if (name.trimmed().isEmpty()) return refuse(QStringLiteral("法典名称が空です。"));
    if (name.contains(QStringLiteral("..")))
        return refuse(QStringLiteral("法典名称に「..」は使えません。"));
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return refuse(QStringLiteral("法典名称に制御文字は使えません。"));
        if (QStringLiteral("\\/:*?\"<>|").contains(c))
            return refuse(QStringLiteral("法典名称に「%1」は使えません。").arg(c));
    }
    // The master list is a database in the same folder: a law of that name would be it.
    if (name.compare(kMasterDbName, Qt::CaseInsensitive) == 0)
        return refuse(QStringLiteral("法典名称「%1」は法典の一覧のデータベースと同じ名前になるため"
                                     "使えません。")
                          .arg(name));
    // The database file is the name and ".mdb"; a law whose file (or the engine's journal
    // beside it) cannot be made could be listed but never opened.
    const qsizetype bytes = (name + kLawDbSuffix).toUtf8().size();
    if (bytes > kMaxFileNameBytes)
        return refuse(
            QStringLiteral("法典名称が長すぎます。ファイル名「%1%2」は %3 バイトで、上限の "
                           "%4 バイトを %5 バイト超えています。法典名称を短くしてください"
                           "（取り込むファイルでは見出しの「法典名称=」の行）。")
                .arg(name, kLawDbSuffix)
                .arg(bytes)
                .arg(kMaxFileNameBytes)
                .arg(bytes - kMaxFileNameBytes));
    return true;
}

bool isValidLawCode(const QString& code) {
    if (code.size() != 2) return false;
    if (code[0].unicode() < 0x80)
        return code[0].isLetter() && code[1].unicode() < 0x80 && code[1].isLetterOrNumber();
    return isCodeKanji(code[0]) && isCodeKanji(code[1]);
}

namespace {

// The ideographs CP932 writes, in the order of their bytes (JIS level 1, then level 2 and the
// extensions), read in one pass: each two-byte pair is followed by a separator, so that a pair
// without a character stays a piece of its own.
const QList<QChar>& cp932Ideographs() {
    static const QList<QChar> out = [] {
        QByteArray bytes;
        // From 0x88: the symbols' rows before it hold 仝 々 〆, no kanji of a name.
        for (int lead = 0x88; lead <= 0xFC; ++lead) {
            if (lead > 0x9F && lead < 0xE0) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail)
                if (trail != 0x7F) bytes.append(char(lead)).append(char(trail)).append('|');
        }
        QStringDecoder decoder("windows-31j");
        const QString text = decoder.decode(bytes);
        QList<QChar> k;
        QSet<char16_t> seen;
        for (const QString& piece : text.split(u'|'))
            if (piece.size() == 1 && piece[0].unicode() >= 0x4E00 && piece[0].unicode() <= 0x9FFF &&
                !seen.contains(piece[0].unicode())) {
                seen.insert(piece[0].unicode());
                k << piece[0];
            }
        return k;
    }();
    return out;
}

}  // namespace

bool isCodeKanji(QChar c) {
    static const QSet<char16_t> kanji = [] {
        static const QString notation =
            QStringLiteral("〇一二三四五六七八九十百千万零壱弐参拾第条項号之附別前");
        QSet<char16_t> k;
        for (const QChar c : cp932Ideographs())
            if (!notation.contains(c)) k.insert(c.unicode());
        return k;
    }();
    return kanji.contains(c.unicode());
}

QList<QChar> codeKanji() {
    QList<QChar> out;
    for (const QChar c : cp932Ideographs())
        if (isCodeKanji(c)) out << c;
    return out;
}

namespace {

// Makes a database whole under a short temporary name and then renames it, so that a program
// killed half-way leaves no file without its tables (which nothing could later write into).
// The temporary name is short (a law's name may take a file name's whole length) and the same
// for the same file, so that one left by a run killed before is replaced.
void makeWhole(const QString& path, const std::function<void(Database&)>& make) {
    if (QFileInfo::exists(path))
        throw Error(QStringLiteral("データベース %1 はすでに存在します。").arg(path));
    const QFileInfo target(path);
    const QString making =
        joinPath(target.absolutePath(),
                 QStringLiteral(".making-") +
                     QString::fromLatin1(QCryptographicHash::hash(target.fileName().toUtf8(),
                                                                  QCryptographicHash::Sha1)
                                             .toHex()
                                             .left(16)) +
                     QStringLiteral(".mdb"));
    QFile::remove(making);
    // A file whose disk waits are deferred is made without them too: it is written out
    // under its own name at the end.
    const bool deferred = syncDeferred(path);
    if (deferred) deferSync(making);
    try {
        {
            Database db = Database::create(making);
            Transaction t(db);
            make(db);
            t.commit();
        }
        if (!QFile::rename(making, path))
            throw Error(QStringLiteral("データベース %1 を作れません。").arg(path));
    } catch (const Error&) {
        QFile::remove(making);  // only the file this call made
        if (deferred) dropDeferredSync(making);
        throw;
    }
    if (deferred) dropDeferredSync(making);
}

}  // namespace

void MakeHoutenDB(const QString& folder, const QString& fileName) {
    QString why;
    const QString base = fileName.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive)
                             ? fileName.chopped(4)
                             : fileName;
    if (!isValidLawName(base, &why)) throw Error(why + QStringLiteral(" (") + fileName + u')');
    makeWhole(joinPath(folder, fileName), [](Database& db) {
        db.createTable(QStringLiteral("条文"),
                       {{QStringLiteral("条項コード"), FieldType::Text},
                        {QStringLiteral("条文"), FieldType::Memo}},
                       QStringLiteral("条項コード"));
        db.createTable(QStringLiteral("目次"),
                       {{QStringLiteral("コード"), FieldType::Text},
                        {QStringLiteral("見出し"), FieldType::Text},
                        {QStringLiteral("SOJ"), FieldType::Text},
                        {QStringLiteral("EOJ"), FieldType::Text},
                        {QStringLiteral("SOJ2"), FieldType::Text},
                        {QStringLiteral("EOJ2"), FieldType::Text}},
                       QStringLiteral("コード"));
    });
}

void MakeHCodeDB() {
    const QString dbFolder = folders().db;
    if (!QFileInfo(dbFolder).isDir() && !QDir().mkpath(dbFolder))
        throw Error(QStringLiteral("フォルダ %1 を作成できません。").arg(dbFolder));
    makeWhole(masterDbPath(), [](Database& db) {
        db.createTable(QStringLiteral("法典コード"),
                       {{QStringLiteral("番号"), FieldType::Long},
                        {QStringLiteral("法典コード"), FieldType::Text},
                        {QStringLiteral("法典名称"), FieldType::Text}},
                       QStringLiteral("番号"));
    });
}

void ensureMasterDb() {
    if (!QFileInfo::exists(masterDbPath())) MakeHCodeDB();
}

Database openMasterDb() {
    ensureMasterDb();
    return Database::open(masterDbPath());
}

Database openLawDb(const QString& lawName) {
    QString why;
    if (!isValidLawName(lawName, &why)) throw Error(why);
    return Database::open(lawDbPath(lawName));
}

Database openOrCreateLawDb(const QString& lawName) {
    if (!QFileInfo::exists(lawDbPath(lawName)))
        MakeHoutenDB(folders().db, lawName + QStringLiteral(".mdb"));
    return openLawDb(lawName);
}

namespace {
const QString kInfoTable = QStringLiteral("法令情報");
const std::pair<const char*, QString LawInfo::*> kInfoFields[] = {
    {"題名", &LawInfo::title},          {"法令番号", &LawInfo::lawNum},
    {"法令ID", &LawInfo::lawId},        {"読み", &LawInfo::kana},
    {"公布日", &LawInfo::promulgated},  {"最終改正", &LawInfo::amendedBy},
    {"版の日付", &LawInfo::sourceDate}, {"取込日時", &LawInfo::importedAt},
    {"版ID", &LawInfo::revisionId},     {"略称", &LawInfo::abbrev}};
}  // namespace

LawInfo readLawInfo(Database& db) {
    LawInfo info;
    if (db.fieldNames(kInfoTable).isEmpty()) return info;
    for (Recordset rs = db.openRecordset(QStringLiteral("select * from 法令情報")); !rs.eof();
         rs.moveNext())
        for (const auto& [key, field] : kInfoFields)
            if (rs.text(QStringLiteral("項目")) == QString::fromUtf8(key))
                info.*field = rs.text(QStringLiteral("値"));
    return info;
}

void writeLawInfo(Database& db, const LawInfo& info) {
    Transaction t(db);  // one write to the disk, not one per fact
    if (db.fieldNames(kInfoTable).isEmpty())
        db.createTable(
            kInfoTable,
            {{QStringLiteral("項目"), FieldType::Text}, {QStringLiteral("値"), FieldType::Memo}},
            QStringLiteral("項目"));
    for (const auto& [key, field] : kInfoFields)
        db.execute(QStringLiteral("insert into 法令情報 (項目, 値) values (?, ?) "
                                  "on conflict (項目) do update set 値 = excluded.値"),
                   {QString::fromUtf8(key), info.*field});
    t.commit();
}

QString lawTitle(const QString& lawName) {
    if (!isValidLawName(lawName) || !QFileInfo(lawDbPath(lawName)).isFile()) return lawName;
    Database db = openLawDb(lawName);
    const QString title = readLawInfo(db).title;
    return title.isEmpty() ? lawName : title;
}

QString backupFolder() {
    return joinPath(folders().db, QStringLiteral("backup"));
}

QString backupLawDb(const QString& lawName) {
    Database db = openLawDb(lawName);
    const QString folder = backupFolder();
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("フォルダ %1 を作れません。").arg(folder));
    // A name may fill a file name by itself: cut it so the time, a "-N" and the journal fit.
    const QString stamp = QStringLiteral("-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString room = stamp + QStringLiteral("-99") + kLawDbSuffix;
    QString head = lawName;
    while ((head + room).toUtf8().size() > kMaxFileNameBytes)
        head.chop(head.size() > 1 && head.back().isLowSurrogate() ? 2 : 1);
    const QString stem = head + stamp;
    const QString path = freeDbPath(folder, stem);
    db.backupTo(path);
    return path;
}

QList<LawEntry> readLawList() {
    QList<LawEntry> out;
    Database db = openMasterDb();
    Recordset rs = db.openRecordset(QStringLiteral("select * from 法典コード order by 番号"));
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.field(QStringLiteral("番号")).toInt(), rs.text(QStringLiteral("法典コード")),
                    rs.text(QStringLiteral("法典名称"))});
    return out;
}

QString GetHoutenName(const QString& code) {
    Database db = openMasterDb();
    Recordset rs = db.openRecordset(QStringLiteral("select * from 法典コード where 法典コード=?"),
                                    RecordsetType::Snapshot, {code.toUpper()});
    return rs.recordCount() > 0 ? rs.text(QStringLiteral("法典名称")) : QString();
}

QString GetJouMidashi(const QString& lawName, const QString& code) {
    Database db = openLawDb(lawName);
    return GetJouMidashi(db, code);
}

QString GetJouMidashi(Database& db, const QString& code) {
    Recordset rs =
        db.openRecordset(QStringLiteral("select * from 条文 where 条項コード =?"),
                         RecordsetType::Snapshot, {code.left(10) + QStringLiteral("000001")});
    return rs.recordCount() > 0 ? rs.text(QStringLiteral("条文")) : QString();
}

QStringList splitSearchWords(const QString& text) {
    QStringList words{QString()};
    for (const QChar c : text) {
        if (c == u' ' || c == QChar(0x3000))
            words.append(QString());
        else
            words.last().append(c);
    }
    return words;
}

namespace {
// Quotes doubled and wildcard characters bracketed, so a word matches itself only.
QString likeLiteral(const QString& word) {
    QString out;
    for (const QChar c : word) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            out += u'[' + QString(c) + u']';
        else if (c == u'\'')
            out += QStringLiteral("''");
        else
            out += c;
    }
    return out;
}
}  // namespace

QString MakeSearchSQL(QString& text) {
    int b = 0, e = int(text.size());
    while (b < e && text[b] == u' ') ++b;
    while (e > b && text[e - 1] == u' ') --e;
    text = text.mid(b, e - b);
    if (text.isEmpty()) {
        platform::msgBox(QStringLiteral("検索文字列が不正です。"));
        return {};
    }
    return searchSqlFor(splitSearchWords(text));
}

QString searchSqlFor(const QStringList& words, Fold fold) {
    QString sql = QStringLiteral("select * from 条文 where");
    const QString column = fold == Fold::None ? QStringLiteral("条文")
                                              : QStringLiteral("foldtext(条文, %1)").arg(int(fold));
    for (int i = 0; i < words.size(); ++i) {
        if (i > 0) sql += QStringLiteral(" and");
        sql += u' ' + column + QStringLiteral(" like '*") + likeLiteral(foldText(words[i], fold)) +
               QStringLiteral("*'");
    }
    sql += QStringLiteral(" order by 条項コード");
    return sql;
}

namespace {
const QString kPartsTable = QStringLiteral("附則別表等");
}  // namespace

QList<LawPart> readLawParts(Database& db, bool whole) {
    QList<LawPart> parts;
    if (db.fieldNames(kPartsTable).isEmpty()) return parts;
    const QString fields =
        whole ? QStringLiteral("種類, 種類番号, 見出し, 改正法令番号, 抄, 本文, XML")
              : QStringLiteral(
                    "種類, 種類番号, 見出し, 改正法令番号, 抄, "
                    "'' as 本文, '' as XML");
    for (Rows rs = db.rows(QStringLiteral("select %1 from 附則別表等 order by 番号").arg(fields));
         rs.next();) {
        LawPart p;
        p.kind = rs.text(0);
        p.number = rs.text(1).toInt();
        p.label = rs.text(2);
        p.amendLawNum = rs.text(3);
        p.extract = rs.text(4) == QStringLiteral("True");
        p.text = rs.text(5);
        p.xml = rs.text(6);
        parts << p;
    }
    return parts;
}

QString readLawPartXml(Database& db, int order) {
    if (db.fieldNames(kPartsTable).isEmpty()) return {};
    Recordset rs = db.openRecordset(
        QStringLiteral("select XML from 附則別表等 order by 番号 limit 1 offset ?"),
        RecordsetType::Snapshot, {order - 1});
    return rs.eof() ? QString() : rs.text(QStringLiteral("XML"));
}

void writeLawParts(Database& db, const QList<LawPart>& parts) {
    Transaction t(db);
    if (db.fieldNames(kPartsTable).isEmpty()) {
        if (parts.isEmpty()) return;  // a law without parts gets no table
        db.createTable(kPartsTable,
                       {{QStringLiteral("番号"), FieldType::Text},
                        {QStringLiteral("種類"), FieldType::Text},
                        {QStringLiteral("種類番号"), FieldType::Text},
                        {QStringLiteral("見出し"), FieldType::Text},
                        {QStringLiteral("改正法令番号"), FieldType::Text},
                        {QStringLiteral("抄"), FieldType::Text},
                        {QStringLiteral("本文"), FieldType::Memo},
                        {QStringLiteral("XML"), FieldType::Memo}},
                       QStringLiteral("番号"));
    }
    db.execute(QStringLiteral("delete from 附則別表等"));
    int order = 0;
    for (const LawPart& p : parts)
        db.execute(
            QStringLiteral("insert into 附則別表等 (番号, 種類, 種類番号, 見出し, 改正法令番号, "
                           "抄, 本文, XML) values (?, ?, ?, ?, ?, ?, ?, ?)"),
            {QStringLiteral("%1").arg(++order, 5, 10, QChar(u'0')), p.kind,
             QString::number(p.number), p.label, p.amendLawNum,
             p.extract ? QStringLiteral("True") : QStringLiteral("False"), p.text, p.xml});
    t.commit();
}

}  // namespace store

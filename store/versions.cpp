#include "store/versions.h"

#include "store/codes.h"
#include "store/folders.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace store {

namespace {

QString versionPath(const QString& lawName, const QString& id) {
    return joinPath(versionsFolder(lawName), id + kLawDbSuffix);
}

// A law without versions leaves no folder behind (nor DB/versions when it was the last).
void dropEmptyFolders(const QString& lawName) {
    const QString folder = versionsFolder(lawName);
    if (QDir().rmdir(folder)) QDir().rmdir(QFileInfo(folder).absolutePath());
}

// An id names a file in the law's folder: no separator, no way up.
bool isVersionId(const QString& id) {
    return !id.isEmpty() && !id.contains(u'/') && !id.contains(u'\\') &&
           !id.contains(QStringLiteral(".."));
}

}  // namespace

LawVersion keptVersion(const QString& lawName, const QString& id) {
    if (!isVersionId(id) || !QFileInfo::exists(versionPath(lawName, id)))
        throw Error(QStringLiteral("%1 に版 %2 はありません。").arg(lawName, id));
    LawVersion v;
    v.id = id;
    v.path = versionPath(lawName, id);
    v.size = QFileInfo(v.path).size();
    Database db = Database::open(v.path);
    v.info = readLawInfo(db);
    Recordset rs = db.openRecordset(QStringLiteral("select count(*) as n from 条文"));
    v.records = rs.field(QStringLiteral("n")).toInt();
    return v;
}

QString versionsFolder(const QString& lawName) {
    return joinPath(joinPath(folders().db, QStringLiteral("versions")), lawName);
}

QByteArray contentDigest(Database& db) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    auto add = [&](const QString& sql) {
        for (Recordset rs = db.openRecordset(sql); !rs.eof(); rs.moveNext()) {
            for (const QString& column : rs.columns()) {
                hash.addData(rs.text(column).toUtf8());
                hash.addData("\x1f");
            }
            hash.addData("\x1e");
        }
        hash.addData("\x1d");
    };
    add(QStringLiteral("select 条項コード, 条文 from 条文 order by 条項コード"));
    if (!db.fieldNames(QStringLiteral("目次")).isEmpty())
        add(QStringLiteral(
            "select コード, 見出し, SOJ, EOJ, SOJ2, EOJ2 from 目次 order by コード"));
    if (!db.fieldNames(QStringLiteral("附則別表等")).isEmpty())
        add(QStringLiteral("select 番号, 見出し, XML from 附則別表等 order by 番号"));
    return hash.result();
}

QString versionName(const LawVersion& v) {
    QStringList source;
    if (!v.info.sourceDate.isEmpty()) source << v.info.sourceDate + QStringLiteral(" 施行");
    if (!v.info.amendedBy.isEmpty()) source << v.info.amendedBy;
    if (source.isEmpty()) return v.id;
    return source.join(u'・') + QStringLiteral("（取込 %1）").arg(v.id);
}

QString keepVersion(const QString& lawName) {
    if (!QFileInfo::exists(lawDbPath(lawName))) return {};
    return keepVersionOf(lawName, lawDbPath(lawName));
}

QString keepVersionOf(const QString& lawName, const QString& file) {
    QString why;
    if (!isValidLawName(lawName, &why)) throw Error(why);
    Database db = Database::open(file);
    {
        Recordset rs = db.openRecordset(QStringLiteral("select count(*) as n from 条文"));
        if (rs.field(QStringLiteral("n")).toInt() == 0) return {};
    }
    const QString folder = versionsFolder(lawName);
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("フォルダ %1 を作れません。").arg(folder));
    const QString path = freeDbPath(
        folder, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    try {
        db.backupTo(path);
    } catch (const Error&) {
        dropEmptyFolders(lawName);
        throw;
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    return QFileInfo(path).completeBaseName();
}

QList<LawVersion> listVersions(const QString& lawName) {
    QList<LawVersion> out;
    const QDir dir(versionsFolder(lawName));
    QStringList files = dir.entryList({u'*' + kLawDbSuffix}, QDir::Files);
    // By time, then by the number a second version in the same second got (-2 after none).
    auto order = [](const QString& file) {
        const QString id = file.chopped(kLawDbSuffix.size());
        return std::make_pair(id.left(15), id.size() > 16 ? id.mid(16).toInt() : 1);
    };
    std::sort(files.begin(), files.end(),
              [&](const QString& a, const QString& b) { return order(a) < order(b); });
    for (const QString& file : files) {
        try {
            out << keptVersion(lawName, file.chopped(kLawDbSuffix.size()));
        } catch (const Error&) {
            // A file that is not a readable database is no version.
        }
    }
    return out;
}

bool dropIfUnchanged(const QString& lawName, const QString& id) {
    if (id.isEmpty() || !QFileInfo::exists(lawDbPath(lawName))) return false;
    QByteArray kept, now;
    {
        Database version = openVersion(lawName, id);
        kept = contentDigest(version);
        Database db = openLawDb(lawName);
        now = contentDigest(db);
    }
    if (kept != now) return false;
    removeVersion(lawName, id);
    return true;
}

void removeVersion(const QString& lawName, const QString& id) {
    const QString path = versionPath(lawName, id);
    if (!isVersionId(id) || !QFileInfo::exists(path))
        throw Error(QStringLiteral("%1 に版 %2 はありません。").arg(lawName, id));
    QFile file(path);
    if (!file.remove())
        throw Error(QStringLiteral("版 %1 を削除できません。(%2)").arg(path, file.errorString()));
    dropEmptyFolders(lawName);
}

Database openVersion(const QString& lawName, const QString& id) {
    const QString path = versionPath(lawName, id);
    if (!isVersionId(id) || !QFileInfo::exists(path))
        throw Error(QStringLiteral("%1 に版 %2 はありません。").arg(lawName, id));
    return Database::open(path);
}

QString versionFile(const QString& lawName, const QString& id) {
    return isVersionId(id) ? versionPath(lawName, id) : QString();
}

Database openLawAt(const QString& lawName, const QString& id) {
    return id.isEmpty() ? openOrCreateLawDb(lawName) : openVersion(lawName, id);
}

QString eraDate(const QString& isoDate) {
    const QDate date = QDate::fromString(isoDate, Qt::ISODate);
    if (!date.isValid() || isoDate.size() != 10) return {};
    // The first day of each era (明治 by the Gregorian date of its proclamation).
    static const struct {
        QDate start;
        const char16_t* name;
    } eras[] = {{QDate(2019, 5, 1), u"令和"},
                {QDate(1989, 1, 8), u"平成"},
                {QDate(1926, 12, 25), u"昭和"},
                {QDate(1912, 7, 30), u"大正"},
                {QDate(1868, 10, 23), u"明治"}};
    for (const auto& era : eras) {
        if (date < era.start) continue;
        const int year = date.year() - era.start.year() + 1;
        return QString::fromUtf16(era.name) +
               (year == 1 ? QStringLiteral("元") : kanjiNumeral(year)) + u'年' +
               kanjiNumeral(date.month()) + u'月' + kanjiNumeral(date.day()) + u'日';
    }
    return {};
}

QString asOfText(const LawVersion& v) {
    const QString era = eraDate(v.info.sourceDate);
    return era.isEmpty() ? QStringLiteral("取込 %1 時点").arg(v.id) : era + QStringLiteral("時点");
}

void renameVersions(const QString& oldName, const QString& newName) {
    const QString from = versionsFolder(oldName);
    if (!QFileInfo::exists(from) || QFileInfo::exists(versionsFolder(newName))) return;
    QDir().rename(from, versionsFolder(newName));
}

}  // namespace store

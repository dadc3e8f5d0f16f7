#pragma once
// Earlier versions of a law: before an import replaces a law's records, the records and table
// of contents are copied, read-only, to DB/versions/<name>/<yyyyMMdd-HHmmss>.mdb, a database
// of the same layout (its 法令情報 tells where and when those records came from).
#include "store/engine.h"
#include "store/lawdb.h"

#include <QList>
#include <QString>

namespace store {

struct LawVersion {
    QString id;  // 20261208-173324: the file's name
    QString path;
    LawInfo info;  // of the records it keeps
    qint64 size = 0;
    int records = 0;  // 条文 rows
};

QString versionsFolder(const QString& lawName);
// A version as the reader knows it: by its source — its date (施行), the latest amendment it
// held — with the import time as a detail: "2027-04-01 施行・令和八年法律第一号（取込 20261209-
// 074639）"; a version whose source says nothing is named by its import time alone.
QString versionName(const LawVersion& v);
// Keeps the law's current records as a version and returns its id; empty when the law has
// no database or no records. Error when the copy cannot be made.
QString keepVersion(const QString& lawName);
// The same of another database of the law's layout (a past revision imported apart).
QString keepVersionOf(const QString& lawName, const QString& file);
// Removes the version when the law's records and table of contents are still what it holds
// (an import that changed nothing); true when it did.
bool dropIfUnchanged(const QString& lawName, const QString& id);
// One version; Error when there is no such version or it cannot be read.
LawVersion keptVersion(const QString& lawName, const QString& id);
// Oldest first.
QList<LawVersion> listVersions(const QString& lawName);
// Error when there is no such version or it cannot be removed.
void removeVersion(const QString& lawName, const QString& id);
// Opens a version for reading; Error when there is no such version.
Database openVersion(const QString& lawName, const QString& id);
// The file of a version (whether or not it exists); empty for an id that names no file there.
QString versionFile(const QString& lawName, const QString& id);
// What a reader reads: the version `id` of the law, or its current records (created empty
// when missing, as the browser has always done) when `id` is empty.
Database openLawAt(const QString& lawName, const QString& id);
// A version's date as the statutes write it: 2025-04-01 → 令和七年四月一日 (元年 for the first
// year of an era); empty for a date that is not YYYY-MM-DD or before 明治.
QString eraDate(const QString& isoDate);
// How a version is read: "令和七年四月一日時点" from its date, else "取込 20261209-074639 時点".
QString asOfText(const LawVersion& v);
// A digest of a law database's records and table of contents (equal digests, equal texts).
QByteArray contentDigest(Database& db);
// Moves a law's versions along with a rename (nothing when it has none).
void renameVersions(const QString& oldName, const QString& newName);

}  // namespace store

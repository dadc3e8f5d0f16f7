#pragma once
// The law databases: the master list 法典コード.mdb and one database per law, named after it.
#include "store/engine.h"
#include "store/textfold.h"

#include <QList>
#include <QString>

namespace store {

struct LawEntry {
    int number = 0;  // 番号
    QString code;    // 法典コード
    QString name;    // 法典名称
};

// The master list's database is named like a law's: this name and ".mdb".
inline const QString kMasterDbName = QStringLiteral("法典コード");
// The file name of a law's database is its name and this.
inline const QString kLawDbSuffix = QStringLiteral(".mdb");
// The longest database file name, in bytes of UTF-8: the file systems the data lives on hold
// 255, and the engine writes a journal beside the file named after it with "-journal".
constexpr qsizetype kMaxFileNameBytes = 255 - 8;

// A law name becomes a file name: it must not be empty, the master list's name, contain a
// path separator, "..", a control character or one of \ / : * ? " < > |, and with ".mdb" it
// must fit in kMaxFileNameBytes. `why` gets the reason in Japanese.
bool isValidLawName(const QString& name, QString* why = nullptr);
// A law code is two characters, the first a letter: an ASCII letter and an ASCII letter or
// digit (MP, K1), or, once those 936 are used up, two code kanji (国賠, 借地).
bool isValidLawCode(const QString& code);
// A kanji a law code may hold: a CJK ideograph with a CP932 code (the exchange files are
// CP932) that a short number does not read as something else (numerals, 第 条 項 号, the
// parts' 附 別 前).
bool isCodeKanji(QChar c);
// Every code kanji in the order of its CP932 bytes (JIS level 1 first).
QList<QChar> codeKanji();

// An empty law database (条文 and 目次, each with IdxPrimary) at folder/fileName.
// Refuses a name that could leave the folder; a half-made file is removed on failure.
void MakeHoutenDB(const QString& folder, const QString& fileName);
// The DB folder (created when missing) and an empty master database in it.
void MakeHCodeDB();
// Creates the master database when it is missing, so a fresh installation has an empty list.
void ensureMasterDb();
Database openMasterDb();
// The law's database; a missing file is an error.
Database openLawDb(const QString& lawName);
// The law's database, created empty first when missing.
Database openOrCreateLawDb(const QString& lawName);

// The folder under the DB folder where copies of law databases are kept before repairs.
QString backupFolder();
// Copies the law's database to backupFolder()/<name>-<yyyyMMdd-HHmmss>.mdb (a number added
// when that file exists, a name too long for that cut short) and returns the copy's path;
// store::Error when it cannot.
QString backupLawDb(const QString& lawName);

// What is known of a law beyond its name, kept in its database (table 法令情報, made when
// first written; a database without it reads as empty).
struct LawInfo {
    QString title;        // the full title (longer than the name when the name was shortened)
    QString lawNum;       // 昭和二十二年法律第百二十五号
    QString lawId;        // the government's law id
    QString kana;         // the title's reading
    QString abbrev;       // its abbreviations as the law XML gives them (国賠法)
    QString promulgated;  // 1947-10-27
    QString amendedBy;    // the law number of the latest amendment the source held
    QString sourceDate;   // the date of the version the source was (2023-04-01), when known
    QString revisionId;   // the service's law_revision_id of that version, when known
    QString importedAt;   // when the records were imported (2026-12-08T17:33:24)
};
LawInfo readLawInfo(Database& db);
// In a transaction of its own (not inside the caller's).
void writeLawInfo(Database& db, const LawInfo& info);
// The law's full title when its database keeps one, else its name.
QString lawTitle(const QString& lawName);

// "select * from 法典コード order by 番号".
QList<LawEntry> readLawList();
// 法典名称 of the law whose code is `code` in upper case; empty when there is none.
QString GetHoutenName(const QString& code);
// 条文 of the heading row of the article that `code` belongs to; empty when there is none.
QString GetJouMidashi(const QString& lawName, const QString& code);
// The same on a law database already open (a search reads the heading of every hit).
QString GetJouMidashi(Database& db, const QString& code);

// The word-search query. Trims half-width blanks off `text` (the caller's variable changes);
// for a text left empty shows "検索文字列が不正です。" and returns the empty string.
QString MakeSearchSQL(QString& text);
// The search's query for words already split: each word folded as `fold` says and matched
// against the text folded the same way (Fold::None: MakeSearchSQL's own query).
QString searchSqlFor(const QStringList& words, Fold fold = Fold::None);
// The words of a search text: single half-width or full-width blanks separate them.
QStringList splitSearchWords(const QString& text);

// A part of a law besides its main provision: 前文, each 附則, 別表, 別記, 様式, 書式, 別図, 付録.
// Kept in the law's database (table 附則別表等, made when first written), so that the tables
// 条文 and 目次 stay as they are.
struct LawPart {
    QString kind;    // 前文, 附則, 別表, 別記, 様式, 書式, 別図, 付録
    int number = 0;  // within its kind, from 1, in the document's order
    QString label;  // as the tree shows it: 附則（平成二九年六月二日法律第四四号）抄
    QString amendLawNum;   // of an amendment's 附則, as the XML writes it
    bool extract = false;  // 抄: only an extract of the provisions
    QString text;          // as the browser shows it (a table one line per row, cells by TAB)
    QString xml;           // the element as the law XML has it: its whole structure
    bool operator==(const LawPart&) const = default;
};
// In the document's order; empty when the law keeps none.
// `whole` false leaves text and xml empty: the list of parts, quickly.
QList<LawPart> readLawParts(Database& db, bool whole = true);
// The element of the part `order` (from 1, in the document's order); empty when none.
QString readLawPartXml(Database& db, int order);
// Replaces the law's parts, in a transaction of its own.
void writeLawParts(Database& db, const QList<LawPart>& parts);

}  // namespace store

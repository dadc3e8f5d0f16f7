#pragma once
// The government's law XML (法令標準XML) turned into what the law text import and the index
// import read: the import text of the main provisions, the law's table-of-contents rows, and
// a report of every repair made on the way. Read with QXmlStreamReader; only the law's title
// and its main provisions are kept in memory.
#include "platform/error.h"
#include "store/lawdb.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace exchange {

class LawXmlError : public platform::Error {
  public:
    using platform::Error::Error;
};

// One kind of repair or omission: how often, and up to five examples.
struct XmlRepair {
    QString kind;
    int count = 0;
    QStringList examples;
};

struct LawXml {
    QString code;         // 法典コード, upper case
    QString name;         // 法典名称
    QString fullTitle;    // the title; longer than `name` when that had to be shortened
    QString kana;         // the title's reading
    QString abbrev;       // its abbreviations (Abbrev, comma-separated), when it has them
    QString lawNum;       // 昭和二十二年法律第百二十五号
    QString lawId;        // the government's law id, when the caller knows it
    QString promulgated;  // 1947-10-27
    QString amendedBy;    // the law number of the latest amendment the XML holds
    QString sourceDate;   // the version's date, when the caller knows it (2023-04-01)
    QString revisionId;   // the version's law_revision_id, when the caller knows it
    QString sourceFile;   // the file it was read from, when there is one (its figures beside)
    QString text;         // the import text: header, then one block per article, CR LF
    QStringList toc;      // "コード&&SOJ&&EOJ&&SOJ2&&EOJ2&&見出し", in document order
    int articles = 0;     // blocks written
    int deleted = 0;      // of them 削除
    int paragraphs = 0;
    QList<XmlRepair> report;
    // The elements of the law body besides its title and main provision (SupplProvision,
    // AppdxTable, …) with how many of each, in document order: not converted.
    QList<QPair<QString, int>> otherParts;
    // The kept parts (前文, 附則, 別表, …) in document order.
    QList<store::LawPart> parts;
    // "articles=…" as summary.txt has it.
    QString summary() const;
};

// The deepest nesting read; deeper input is refused rather than followed.
constexpr int kMaxXmlDepth = 256;

// Converts the bytes of a law XML under the law code `code`. Not UTF-8, malformed XML (with
// the parser's line and column), not a law XML, a bad code or a 法典名称 that cannot name a
// database file: LawXmlError, before anything else happens.
LawXml convertLawXml(const QByteArray& xml, const QString& code);
// The same for a file.
LawXml convertLawXmlFile(const QString& path, const QString& code);

// The 法典名称 (LawTitle) of a law XML, read without converting; empty when there is none.
QString lawXmlName(const QByteArray& xml);
// What the head of a law XML says of the law, read without converting.
struct LawXmlHead {
    QString title;        // LawTitle, ruby left out
    QString kana;         // its reading (LawTitle Kana="…")
    QString abbrev;       // its abbreviation (Abbrev="…"), when it has one
    QString lawNum;       // LawNum: 昭和二十二年法律第百二十五号
    QString promulgated;  // 1947-10-27, from the Law element's era, year, month and day
    QString amendedBy;    // the last supplementary provision's AmendLawNum, when amended
};
LawXmlHead lawXmlHead(const QByteArray& xml);
// A 法典名称 for a title too long to name a database file: the first abbreviation when it
// has one, else the law number and as much of the title as fits, then "…".
QString shortLawName(const QString& title, const QString& abbrev, const QString& lawNum);
// The 法典名称 a conversion gives the law of this head: its title, or the short name.
QString lawNameFor(const LawXmlHead& head);

// ht.dat lines ("N CODE 法典名称", N from 1) and idx.dat ("CODES …" and every law's rows) of
// several converted laws, CR LF between lines.
QString htText(const QList<LawXml>& laws);
QString idxText(const QList<LawXml>& laws);

// The report as lines "kind: count (examples…)".
QStringList reportLines(const LawXml& law);

}  // namespace exchange

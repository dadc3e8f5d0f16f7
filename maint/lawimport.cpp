#include "maint/lawimport.h"

#include "exchange/lawparts.h"

#include "maint/log.h"
#include "platform/prompt.h"
#include "platform/textfile.h"
#include "platform/vb.h"
#include "store/engine.h"
#include "store/lawdb.h"
#include "store/versions.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <optional>

namespace maint {

namespace {
const QString kCrLf = QStringLiteral("\r\n");

// Val on a number written in full- or half-width digits: blanks are skipped, reading stops
// at the first character that cannot continue the number, no digits give 0.
int readNumber(const QString& s) {
    long long v = 0;
    for (const QChar c0 : platform::toHalfWidthDigits(s)) {
        if (c0 == u' ' || c0 == u'\t' || c0 == QChar(0x3000)) continue;
        if (c0 < u'0' || c0 > u'9') break;
        v = v * 10 + (c0.unicode() - u'0');
        if (v > 99999999) break;
    }
    return int(v);
}

constexpr int kMaxParagraphs = 99;
constexpr int kGroupMs = 50;  // the time a group of articles may take before it is committed

// Full- or half-width digits, blanks around them allowed, at least one digit.
bool isDigitsOnly(const QString& s) {
    const QString t = platform::toHalfWidthDigits(s).trimmed().remove(QChar(0x3000));
    if (t.isEmpty()) return false;
    for (const QChar c : t)
        if (c < u'0' || c > u'9') return false;
    return true;
}
}  // namespace

ArticleCode Decode(const QString& numberLine) {
    if (!numberLine.startsWith(u'第') || !numberLine.contains(u'条')) throw MalformedNumberLine();
    const QString line = platform::trimBlanks(numberLine);
    int article = 0, branch1 = 0, branch2 = 0;
    ArticleCode c;
    auto between = [](const QString& part) { return part.mid(1, part.size() - 2); };
    // Each number must be digits only: a kanji numeral or words after a number ("の2から
    // 第5条の4まで") would read as 0 or as another number and file the block elsewhere.
    auto number = [&c](const QString& part, int* value) {
        if (c.problem.isEmpty() && !isDigitsOnly(part))
            c.problem = QStringLiteral("条番号の行の「%1」が数字ではなく、条のコードにできません")
                            .arg(platform::trimBlanks(part));
        *value = readNumber(part);
    };
    if (!line.contains(u'の')) {
        number(between(line), &article);
    } else {
        const QStringList parts = line.split(u'の');
        number(between(parts[0]), &article);
        if (parts.size() == 2) {
            number(parts[1], &branch1);
        } else if (parts.size() == 3) {
            number(parts[1], &branch1);
            number(parts[2], &branch2);
        } else {
            c.problem = QStringLiteral("枝番号が３段以上あり、条のコードに入りません");
        }
    }
    // Wider numbers would make codes of another length, or the code of another article.
    if (c.problem.isEmpty()) {
        if (article == 0)
            c.problem = QStringLiteral("条の番号が0で、条のコードにできません");
        else if (article > 9999)
            c.problem = QStringLiteral("条の番号が9999を超え、条のコードに入りません");
        else if (branch1 > 99 || branch2 > 99)
            c.problem = QStringLiteral("枝番号が99を超え、条のコードに入りません");
    }
    using platform::padNumber;
    c.plain = padNumber(article, 4) + padNumber(branch1, 2) + padNumber(branch2, 2);
    c.dashed = padNumber(article, 4) + u'-' + padNumber(branch1, 2) + u'-' + padNumber(branch2, 2);
    return c;
}

QStringList SetKoumoku(const QString& block, int n) {
    QStringList out;
    for (;; ++n) {
        const QString m = u'(' + QString::number(n) + u')';
        const QString next = u'(' + QString::number(n + 1) + u')';
        const qsizetype at = block.indexOf(m);
        if (at < 0) break;
        const qsizetype start = at + m.size();
        const bool more = block.contains(next);
        qsizetype end = block.size();
        if (more) {
            for (qsizetype e : {block.indexOf(m, start), block.indexOf(next, start)})
                if (e >= 0 && e < end) end = e;
        }
        out << platform::trimBlanks(block.mid(start, end - start));
        if (!more) break;
    }
    return out;
}

QString RemoveCRLF(const QString& text) {
    QString s = text;
    while (s.endsWith(kCrLf)) {
        s.chop(2);
        while (s.endsWith(u' ')) s.chop(1);
    }
    return s;
}

QString headerValue(const QString& line) {
    return line.section(u'=', 1, 1);
}

ParagraphCodes paragraphCodes(const QString& lawCode, const ArticleCode& article, int i,
                              int count) {
    QString d, p;
    if (i > 0) {
        d = platform::padNumber(i + 1, 2);
        p = d + d + QStringLiteral("00");
    } else if (count == 1) {
        d = QStringLiteral("00");
        p = QStringLiteral("010000");
    } else {
        d = QStringLiteral("01");
        p = QStringLiteral("010100");
    }
    return {lawCode + article.plain + p, lawCode + article.dashed + u'-' + d,
            lawCode + article.plain + QStringLiteral("000001")};
}

Article LawTextImporter::parseArticle(const QString& block) {
    const QStringList lines = block.split(kCrLf);
    Article a;
    const QString first = lines.value(0);
    if (first.contains(u'【')) {
        openBracket = QStringLiteral("【");
        closeBracket = QStringLiteral("】");
    } else if (first.contains(u'（')) {
        openBracket = QStringLiteral("（");
        closeBracket = QStringLiteral("）");
    }
    QString title = first;
    if (!openBracket.isEmpty()) {
        if (const qsizetype o = title.indexOf(openBracket); o >= 0)
            title.replace(o, openBracket.size(), u' ');
        if (const qsizetype c = title.indexOf(closeBracket); c >= 0)
            title.replace(c, closeBracket.size(), u' ');
    }
    a.title = platform::trimBlanks(title);
    a.numberLine = lines.value(1);
    a.code = Decode(a.numberLine);
    if (!lines.value(2).contains(QStringLiteral("(1)"))) {
        QStringList text;
        for (int i = 2; i < lines.size(); ++i) text << platform::trimBlanks(lines[i]);
        a.paragraphs << text.join(kCrLf);
    } else {
        a.paragraphs = SetKoumoku(block, 1);
    }
    return a;
}

int writeArticle(const QString& lawName, const QString& lawCode, const Article& article,
                 const ImportOptions& options) {
    store::Database db = store::openOrCreateLawDb(lawName);
    store::Transaction t(db);
    const int written = writeArticle(db, lawCode, article, options);
    t.commit();
    return written;
}

QList<ImportRow> articleRows(const QString& lawCode, const Article& article,
                             const ImportOptions& options) {
    QList<ImportRow> rows;
    const int count = int(article.paragraphs.size());
    for (int i = 0; i < count; ++i) {
        const ParagraphCodes c = paragraphCodes(lawCode, article.code, i, count);
        if (i == 0 && options.headings)
            rows.append({c.heading,
                         article.title.trimmed().isEmpty() ? QStringLiteral(" ") : article.title});
        if (options.paragraphs && !c.code.endsWith(QStringLiteral("000001")))
            rows.append({c.code, platform::trimBlanks(
                                     RemoveCRLF(platform::trimBlanks(article.paragraphs[i])))});
    }
    return rows;
}

namespace {
bool isHeadingCode(const QString& code) {
    return code.endsWith(QStringLiteral("000001"));
}

// The records of an earlier text of this article that the new one does not write: an article
// the text holds is replaced whole, never left with paragraphs of another version. Only the
// kinds of record the options write are touched.
int clearArticle(store::Database& db, const QString& lawCode, const Article& article,
                 const QList<ImportRow>& rows, const ImportOptions& options) {
    if (!options.paragraphs) return 0;  // the heading is one key: rewritten, never left over
    const QString prefix = lawCode + article.code.plain;
    QSet<QString> written;
    for (const ImportRow& row : rows) written.insert(row.code);
    QStringList stale;
    // Codes are digits after the prefix, so "~" bounds the article's range on the key.
    for (store::Recordset rs = db.openRecordset(
             QStringLiteral("select 条項コード from 条文 where 条項コード > ? and 条項コード < ?"),
             store::RecordsetType::Snapshot, {prefix, prefix + u'~'});
         !rs.eof(); rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("条項コード"));
        if (!isHeadingCode(code) && !written.contains(code)) stale << code;
    }
    for (const QString& code : stale)
        db.execute(QStringLiteral("delete from 条文 where 条項コード=?"), {code});
    return int(stale.size());
}

int writeRows(store::Database& db, const QList<ImportRow>& rows) {
    const QString upsert = QStringLiteral(
        "insert into 条文 (条項コード, 条文) values (?, ?) "
        "on conflict (条項コード) do update set 条文 = excluded.条文");
    for (const ImportRow& row : rows) db.execute(upsert, {row.code, row.text});
    return int(rows.size());
}
}  // namespace

int writeArticle(store::Database& db, const QString& lawCode, const Article& article,
                 const ImportOptions& options) {
    return writeRows(db, articleRows(lawCode, article, options));
}

QString checkImportTarget(const QString& code, const QString& name) {
    // One database, one law: an import never renames a listed law (its records would be left
    // in a file nothing reaches) nor writes into another law's file under a second code.
    for (const store::LawEntry& law : store::readLawList()) {
        const bool sameCode = law.code.compare(code, Qt::CaseInsensitive) == 0;
        if (sameCode && law.name != name)
            return QStringLiteral(
                       "%1 は %2 の法典コードです。別のコードを指定するか、先に %2 "
                       "を削除してください。")
                .arg(law.code, law.name);
        if (!sameCode && law.name == name)
            return QStringLiteral(
                       "法典名称「%1」は法典コード %2 で登録されています。"
                       "何も取り込みませんでした。")
                .arg(name, law.code);
    }
    return {};
}

void WriteHCode(const QString& code, const QString& name) {
    store::Database db = store::openMasterDb();
    const int count =
        db.openRecordset(QStringLiteral("法典コード"), store::RecordsetType::Dynaset).recordCount();
    // Codes compare without regard to case, as the list's lookups always did.
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select * from 法典コード where upper(法典コード)=?"),
                         store::RecordsetType::Dynaset, {code.toUpper()});
    if (rs.recordCount() > 0) {
        rs.edit();
        rs.setField(QStringLiteral("法典名称"), name);
        rs.update();
        return;
    }
    // Count + 1, as the list numbers new laws; past a gap that number may be taken already.
    qlonglong number = count + 1;
    if (db.openRecordset(QStringLiteral("select * from 法典コード where 番号=?"),
                         store::RecordsetType::Snapshot, {number})
            .recordCount() > 0) {
        store::Recordset last =
            db.openRecordset(QStringLiteral("select max(番号) as m from 法典コード"));
        number = last.field(QStringLiteral("m")).toLongLong() + 1;
    }
    rs.addNew();
    rs.setField(QStringLiteral("番号"), number);
    rs.setField(QStringLiteral("法典コード"), code);
    rs.setField(QStringLiteral("法典名称"), name);
    rs.update();
}

ImportPlan LawTextImporter::plan(const QString& text, const ImportOptions& options) {
    ImportPlan p;
    p.options = options;
    const QStringList blocks = text.split(kCrLf + kCrLf);
    const QStringList header = blocks.value(0).split(kCrLf);
    if (header.size() < 2 || !header[0].contains(u'=') || !header[1].contains(u'='))
        throw store::Error(
            QStringLiteral("最初のブロックが「法典コード=」「法典名称="
                           "」の２行ではありません。何も取り込みませんでした。"));
    // Checked as typed (upper-casing turns "ß" into "SS"), then stored in upper case: "kp"
    // writes the records of "KP".
    const QString typedCode = headerValue(header[0]);
    p.lawName = headerValue(header[1]);
    QString why;
    if (typedCode.isEmpty())
        throw store::Error(QStringLiteral("法典コードが空です。何も取り込みませんでした。"));
    if (!store::isValidLawCode(typedCode))
        throw store::Error(QStringLiteral("法典コード「%1」は先頭が英字の２文字ではありません。"
                                          "何も取り込みませんでした。")
                               .arg(typedCode));
    p.lawCode = typedCode.toUpper();
    if (!store::isValidLawName(p.lawName, &why))
        throw store::Error(why + QStringLiteral(" 何も取り込みませんでした。"));
    p.blocks = blocks.mid(1);

    QHash<QString, int> firstBlock;  // article code → the block that wrote it
    auto skip = [&p](int b, const QString& why) { p.items.append({b, why, {}, {}}); };
    for (int b = 1; b < blocks.size(); ++b) {
        const QString& block = blocks[b];
        if (options.fromPane &&
            (block.isEmpty() || (!openBracket.isEmpty() && !block.contains(openBracket))))
            continue;  // chapter headings and the like between the articles
        const QStringList lines = block.split(kCrLf);
        if (block.trimmed().isEmpty() || lines.size() < 3) {
            skip(b, QStringLiteral("第%1ブロック: %2")
                        .arg(b)
                        .arg(block.trimmed().isEmpty()
                                 ? QStringLiteral("空のブロック")
                                 : QStringLiteral("３行未満 (%1)").arg(lines.join(u' ').left(40))));
            continue;
        }
        Article a;
        try {
            a = parseArticle(block);
        } catch (const MalformedNumberLine&) {
            p.stopMessage =
                QStringLiteral(
                    "第%1ブロックの条番号の行が不正です。ここで取り込みを中止しました。\r\n%2\r\n%"
                    "3")
                    .arg(b)
                    .arg(lines.value(0), lines.value(1));
            break;
        }
        a.block = b;
        if (!a.code.problem.isEmpty()) {
            skip(b,
                 QStringLiteral("第%1ブロック: %2 は%3").arg(b).arg(a.numberLine, a.code.problem));
            continue;
        }
        // One block per article and run: a second block with the same code would overwrite
        // the first one's records.
        if (const int earlier = firstBlock.value(a.code.plain); earlier > 0) {
            skip(b, QStringLiteral("第%1ブロック: %2 は第%3ブロックと同じ条です")
                        .arg(b)
                        .arg(a.numberLine)
                        .arg(earlier));
            continue;
        }
        if (a.paragraphs.size() > kMaxParagraphs) {
            skip(b, QStringLiteral("第%1ブロック: %2 は項が%3あり、99を超えます")
                        .arg(b)
                        .arg(a.numberLine)
                        .arg(a.paragraphs.size()));
            continue;
        }
        firstBlock.insert(a.code.plain, b);
        QList<ImportRow> rows = articleRows(p.lawCode, a, options);
        p.items.append({b, QString(), std::move(a), std::move(rows)});
    }
    return p;
}

ImportResult LawTextImporter::run(const QString& text, const ImportOptions& options,
                                  const ImportObserver& observer) {
    return run(plan(text, options), observer);
}

ImportResult LawTextImporter::run(const ImportPlan& plan, const ImportObserver& observer) {
    const ImportOptions& options = plan.options;
    ImportResult r;
    QElapsedTimer clock;
    clock.start();
    r.lawCode = plan.lawCode;
    r.lawName = plan.lawName;
    if (const QString why = checkImportTarget(r.lawCode, r.lawName); !why.isEmpty())
        throw store::Error(why);
    if (observer.header) observer.header(r.lawCode, r.lawName);
    // The records an import replaces stay readable as a version.
    try {
        r.keptVersion = store::keepVersion(r.lawName);
    } catch (const platform::Error& e) {
        throw store::Error(
            e.description() +
            QStringLiteral(" 今の条文を版として残せないため、何も取り込みませんでした。"));
    }
    if (!options.fromPane) {
        WriteHCode(r.lawCode, r.lawName);
        // A listed law has its database, even when no block of the text can be written.
        store::openOrCreateLawDb(r.lawName);
    }
    if (observer.blocks) observer.blocks(plan.blocks);

    // Whole articles are committed in groups of about kGroupMs: one journal sync per group,
    // not per article, and a kill leaves only whole articles behind.
    std::optional<store::Database> db;
    std::optional<store::Transaction> group;
    bool hadRecords = false;  // only then can an import leave records of an earlier text
    QElapsedTimer sinceCommit;
    auto commit = [&] {
        if (group) group->commit();
        group.reset();
    };
    for (const PlannedBlock& item : plan.items) {
        if (!item.skipped.isEmpty()) {
            r.skipped << item.skipped;
            continue;
        }
        if (observer.article) observer.article(item.article);
        if (!db) {
            db.emplace(store::openOrCreateLawDb(r.lawName));
            hadRecords = !db->openRecordset(QStringLiteral("select 1 from 条文 limit 1")).eof();
        }
        if (!group) {
            group.emplace(*db);
            sinceCommit.start();
        }
        if (hadRecords) r.removed += clearArticle(*db, r.lawCode, item.article, item.rows, options);
        r.records += writeRows(*db, item.rows);
        ++r.articles;
        if (sinceCommit.elapsed() >= kGroupMs) commit();
        if (observer.pump) observer.pump();
        if (observer.stop && observer.stop()) {
            r.cancelled = true;
            break;
        }
    }
    if (!r.cancelled && !plan.stopMessage.isEmpty()) {
        r.stopped = true;
        r.stopMessage = plan.stopMessage;
    }
    // A whole law run to its end: what it no longer has goes, in the last group's commit.
    if (options.wholeLaw && hadRecords && db && !r.cancelled && !r.stopped && r.articles > 0) {
        // The last article may have just closed its group: the removal is a group of its own
        // then, never left out.
        if (!group) group.emplace(*db);
        QSet<QString> written;
        for (const PlannedBlock& item : plan.items)
            for (const ImportRow& row : item.rows) written.insert(row.code);
        QStringList stale;
        for (store::Recordset rs = db->openRecordset(QStringLiteral("select 条項コード from 条文"));
             !rs.eof(); rs.moveNext()) {
            const QString code = rs.text(QStringLiteral("条項コード"));
            // A kind of record the options do not write is not the import's to remove.
            const bool kindWritten = isHeadingCode(code) ? options.headings : options.paragraphs;
            if (kindWritten && !written.contains(code)) stale << code;
        }
        for (const QString& code : stale)
            db->execute(QStringLiteral("delete from 条文 where 条項コード=?"), {code});
        r.removed += int(stale.size());
    }
    commit();
    if (db && !options.wholeLaw && !r.cancelled) {
        // A text file says nothing of where it came from: the facts of an earlier source go.
        store::LawInfo info = store::readLawInfo(*db);
        info.importedAt = QDateTime::currentDateTime().toString(Qt::ISODate);
        info.sourceDate.clear();
        info.revisionId.clear();
        info.amendedBy.clear();
        info.promulgated.clear();
        store::writeLawInfo(*db, info);
    }
    db.reset();
    // An import that changed nothing leaves no version behind (a whole law: after its table
    // of contents).
    if (!options.wholeLaw && store::dropIfUnchanged(r.lawName, r.keptVersion))
        r.keptVersion.clear();
    qCDebug(lcMaint).noquote() << "import of" << r.lawCode << r.lawName << "took" << clock.elapsed()
                               << "ms:" << r.articles << "articles," << r.records << "records";
    if (r.cancelled || options.quiet) return r;  // closed, or the caller reports it
    if (r.stopped) platform::msgBox(r.stopMessage);
    if (!r.skipped.isEmpty())
        platform::msgBox(QStringLiteral("次のブロックは取り込みませんでした。\r\n") +
                         r.skipped.join(kCrLf));
    return r;
}

QString readLawTextFile(const QString& path) {
    return platform::readLines(path).join(kCrLf);
}

namespace {
QString partName(const QString& tag) {
    if (tag == QStringLiteral("EnactStatement")) return QStringLiteral("制定文");
    const QString kind = exchange::partKind(tag);
    return kind.isEmpty() ? tag : kind;
}
}  // namespace

QStringList xmlImportNotes(const exchange::LawXml& law, const XmlImportResult& r) {
    QStringList notes;
    if (!r.text.skipped.isEmpty())
        notes << QStringLiteral("%1 ブロックを取り込めませんでした。").arg(r.text.skipped.size());
    if (!r.toc.skipped.isEmpty())
        notes << QStringLiteral("目次 %1 行を登録できませんでした（%2）。")
                     .arg(r.toc.skipped.size())
                     .arg(r.toc.skipped.first());
    if (law.articles == 0) {
        QStringList parts;
        for (const auto& [tag, count] : law.otherParts)
            parts << QStringLiteral("%1 %2").arg(partName(tag)).arg(count);
        notes << (parts.isEmpty()
                      ? QStringLiteral("本則に条がありません（法令XMLの本則が空です）。"
                                       "ツリーには条が出ません。")
                      : QStringLiteral("本則に条がありません。この法令XMLが持つのは %1 だけで、"
                                       "ツリーには本則の条は出ず、それらだけが出ます。")
                            .arg(parts.join(QStringLiteral("、"))));
    }
    return notes;
}

QString xmlImportSummary(const exchange::LawXml& law, const XmlImportResult& r,
                         const QString& renamedFrom) {
    QString s = QStringLiteral("%1 %2: 条 %3、目次 %4 行を登録しました。")
                    .arg(law.code, law.name)
                    .arg(r.text.articles)
                    .arg(r.toc.added);
    if (!renamedFrom.isEmpty()) s += QStringLiteral("（%1 から改名）").arg(renamedFrom);
    for (const QString& note : xmlImportNotes(law, r)) s += QStringLiteral("\r\n") + note;
    return s;
}

QString xmlImportText(const exchange::LawXml& law) {
    QString text = law.text;
    if (text.endsWith(QStringLiteral("\r\n"))) text.chop(2);  // no empty line after the last
    return text;
}

XmlImportResult importLawXml(const exchange::LawXml& law, LawTextImporter& importer,
                             const ImportObserver& observer, const ImportOptions& options) {
    return importLawXml(law, xmlLawPlan(law, importer, options), observer);
}

ImportPlan xmlLawPlan(const exchange::LawXml& law, LawTextImporter& importer,
                      const ImportOptions& options) {
    ImportOptions whole = options;
    whole.wholeLaw = true;
    return importer.plan(xmlImportText(law), whole);
}

XmlImportResult importLawXml(const exchange::LawXml& law, const ImportPlan& plan,
                             const ImportObserver& observer) {
    XmlImportResult r;
    r.text = LawTextImporter::run(plan, observer);
    if (r.text.stopped || r.text.cancelled) return r;
    r.toc = exchange::importTocRows(law.code, law.toc, nullptr, plan.options.quiet);
    {
        // Before the comparison with the version kept: a changed 附則 is a change.
        store::Database db = store::openLawDb(law.name);
        store::writeLawParts(db, law.parts);
    }
    if (store::dropIfUnchanged(law.name, r.text.keptVersion)) r.text.keptVersion.clear();
    // The full title, number and reading go with the law: a shortened name shows its title.
    store::Database db = store::openLawDb(law.name);
    store::LawInfo info = store::readLawInfo(db);
    info.title = law.fullTitle;
    info.lawNum = law.lawNum;
    info.kana = law.kana;
    info.abbrev = law.abbrev;
    if (!law.lawId.isEmpty()) info.lawId = law.lawId;
    info.promulgated = law.promulgated;
    info.amendedBy = law.amendedBy;
    info.sourceDate = law.sourceDate;
    info.revisionId = law.revisionId;
    info.importedAt = QDateTime::currentDateTime().toString(Qt::ISODate);
    store::writeLawInfo(db, info);
    return r;
}

}  // namespace maint

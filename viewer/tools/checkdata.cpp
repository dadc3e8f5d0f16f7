#include "viewer/tools/checkdata.h"

#include "exchange/export.h"
#include "platform/vb.h"
#include "store/engine.h"
#include "store/lawdb.h"

#include <QHash>

namespace viewer {

namespace {

const QString kEmptyLine = QStringLiteral("\r\n\r\n");
const QString kNoteStart = QStringLiteral("\r\n(");
constexpr int kSummaryTail = 50;

bool stopping(CheckRun& run) {
    if (run.stop && run.stop()) run.stopped = true;
    return run.stopped;
}

void recordDone(CheckRun& run) {
    if (run.onRecord) run.onRecord(run.hits, run.record);
}

void listHit(CheckRun& run, const QString& code, const QString& text) {
    if (run.onHit) run.onHit(code, checkSummary(text));
}

// Walks the law's records as they were when the law's turn came; `each` handles one.
template <class F>
void walk(const QString& name, CheckRun& run, F each) {
    store::Database db = store::openLawDb(name);
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
    run.record = 0;
    for (; !rs.eof() && !stopping(run); rs.moveNext()) {
        ++run.record;
        each(db, rs);
        recordDone(run);
    }
}

// Replaces the record's text by `kept` in a transaction of its own and lists it. The scan
// lets events in, and the reader may have saved this record since it was read: only the
// text the repair was worked out from is replaced.
void repair(store::Database& db, const QString& code, const QString& seen, const QString& kept,
            CheckRun& run) {
    store::Transaction t(db);
    const int changed = db.execute(
        QStringLiteral("update 条文 set 条文=? where 条項コード=? and 条文=?"), {kept, code, seen});
    t.commit();
    if (changed != 1) return;
    ++run.repaired;
    listHit(run, code, kept);
}

}  // namespace

QString checkSummary(const QString& text) {
    qsizetype from = std::max<qsizetype>(0, text.size() - kSummaryTail);
    // A character outside the basic plane is not cut in half.
    if (from > 0 && text[from].isLowSurrogate()) --from;
    return QString::number(text.size()) + u' ' + text.mid(from);
}

void CheckData(const QString& name, CheckMode mode, const QString& chars, const QString& str,
               CheckRun& run) {
    const long long limit = platform::valInt(chars);
    walk(name, run, [&](store::Database&, store::Recordset& rs) {
        const QString text = rs.text(QStringLiteral("条文"));
        bool hit = false;
        switch (mode) {
            case CheckMode::Length:
                hit = text.size() > limit;
                break;
            case CheckMode::EmptyLine:
                hit = text.contains(kEmptyLine);
                break;
            case CheckMode::String:
                hit = text.contains(str, Qt::CaseSensitive);
                break;
        }
        if (!hit) return;
        ++run.hits;
        listHit(run, rs.text(QStringLiteral("条項コード")), text);
    });
}

QString repairedText(CheckMode mode, const QString& text, bool* holdsMark) {
    const QString& mark = mode == CheckMode::String ? kNoteStart : kEmptyLine;
    const bool hit =
        (mode == CheckMode::String || mode == CheckMode::EmptyLine) && text.contains(mark);
    if (holdsMark) *holdsMark = hit;
    if (!hit) return {};
    const QStringList parts = text.split(mark);
    if (parts.size() != 2) return {};
    if (mode == CheckMode::String) {
        const QString end = parts[1].right(4);
        if (end != QStringLiteral("改正 )") && end != QStringLiteral("追加 )")) return {};
    }
    return parts[0].isNull() ? QStringLiteral("") : parts[0];
}

namespace {
void correct(const QString& name, CheckMode mode, CheckRun& run, bool write) {
    walk(name, run, [&](store::Database& db, store::Recordset& rs) {
        const QString text = rs.text(QStringLiteral("条文"));
        bool hit = false;
        const QString kept = repairedText(mode, text, &hit);
        if (!hit) return;
        ++run.hits;
        if (write && !kept.isNull())
            repair(db, rs.text(QStringLiteral("条項コード")), text, kept, run);
    });
}
}  // namespace

void CorrectData1(const QString& name, CheckRun& run, bool write) {
    correct(name, CheckMode::String, run, write);
}

void CorrectData2(const QString& name, CheckRun& run, bool write) {
    correct(name, CheckMode::EmptyLine, run, write);
}

int countRepairs(const QString& name, CheckMode mode, CheckRun& run) {
    store::Database db = store::openLawDb(name);
    store::Recordset rs = db.openRecordset(QStringLiteral("select 条文 from 条文"));
    int count = 0;
    for (; !rs.eof() && !stopping(run); rs.moveNext())
        if (!repairedText(mode, rs.text(QStringLiteral("条文"))).isNull()) ++count;
    return count;
}

bool runDataCheck(CheckMode mode, const QString& chars, const QString& str, CheckRun& run) {
    run.hits = 0;
    const QList<store::LawEntry> laws = store::readLawList();
    if (laws.isEmpty()) return false;
    const bool correct = str == kCorrectWord && mode != CheckMode::Length;
    QList<store::LawEntry> available;
    for (const store::LawEntry& law : laws) {
        QString why;
        if (exchange::lawDbAvailable(law, &why))
            available << law;
        else
            run.skipped << exchange::lawLabel(law) + QStringLiteral(": ") + why;
    }
    // A repair cannot be undone: it says what it would rewrite and asks first.
    QHash<QString, int> planned;
    if (correct) {
        int records = 0;
        for (const store::LawEntry& law : available) {
            if (stopping(run)) return true;
            if (const int n = countRepairs(law.name, mode, run); n > 0) {
                planned.insert(law.name, n);
                records += n;
            }
        }
        if (records > 0 && run.confirmRepair && !run.confirmRepair(records, int(planned.size()))) {
            run.declined = true;
            return true;
        }
    }
    if (run.onStart) run.onStart();
    for (const store::LawEntry& law : available) {
        if (stopping(run)) break;
        if (!correct) {
            CheckData(law.name, mode, chars, str, run);
            continue;
        }
        // No repair without a copy of the law as it was.
        bool write = planned.contains(law.name);
        if (write) {
            try {
                run.backups << store::backupLawDb(law.name);
            } catch (const store::Error& e) {
                run.notBackedUp << exchange::lawLabel(law) + QStringLiteral(": ") + e.description();
                write = false;
            }
        }
        if (mode == CheckMode::String)
            CorrectData1(law.name, run, write);
        else
            CorrectData2(law.name, run, write);
    }
    return true;
}

}  // namespace viewer

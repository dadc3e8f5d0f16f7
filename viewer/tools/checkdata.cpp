#include "viewer/tools/checkdata.h"

#include "exchange/export.h"
#include "platform/vb.h"
#include "store/engine.h"
#include "store/lawdb.h"

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
    if (changed == 1) listHit(run, code, kept);
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

namespace {
// A text holding `mark` keeps the part before it when it holds the mark exactly once and
// `keep` accepts the part after it; every text holding the mark is counted.
template <class F>
void cutAtOnlyMark(const QString& name, const QString& mark, CheckRun& run, F keep) {
    walk(name, run, [&](store::Database& db, store::Recordset& rs) {
        const QString text = rs.text(QStringLiteral("条文"));
        if (!text.contains(mark)) return;
        ++run.hits;
        const QStringList parts = text.split(mark);
        if (parts.size() == 2 && keep(parts[1]))
            repair(db, rs.text(QStringLiteral("条項コード")), text, parts[0], run);
    });
}
}  // namespace

void CorrectData1(const QString& name, CheckRun& run) {
    cutAtOnlyMark(name, kNoteStart, run, [](const QString& note) {
        const QString end = note.right(4);
        return end == QStringLiteral("改正 )") || end == QStringLiteral("追加 )");
    });
}

void CorrectData2(const QString& name, CheckRun& run) {
    cutAtOnlyMark(name, kEmptyLine, run, [](const QString&) { return true; });
}

bool runDataCheck(CheckMode mode, const QString& chars, const QString& str, CheckRun& run) {
    run.hits = 0;
    const QList<store::LawEntry> laws = store::readLawList();
    if (laws.isEmpty()) return false;
    if (run.onStart) run.onStart();
    const bool correct = str == kCorrectWord;
    for (const store::LawEntry& law : laws) {
        if (stopping(run)) break;
        QString why;
        if (!exchange::lawDbAvailable(law, &why)) {
            run.skipped << exchange::lawLabel(law) + QStringLiteral(": ") + why;
            continue;
        }
        if (correct && mode == CheckMode::String)
            CorrectData1(law.name, run);
        else if (correct && mode == CheckMode::EmptyLine)
            CorrectData2(law.name, run);
        else
            CheckData(law.name, mode, chars, str, run);
    }
    return true;
}

}  // namespace viewer

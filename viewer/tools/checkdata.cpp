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

// Walks the law's records; `each` handles one and may repair it through the recordset.
template <class F>
void walk(const QString& name, store::RecordsetType type, CheckRun& run, F each) {
    store::Database db = store::openLawDb(name);
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"), type);
    run.record = 0;
    for (; !rs.eof() && !stopping(run); rs.moveNext()) {
        ++run.record;
        each(db, rs);
        recordDone(run);
    }
}

// Replaces the record's text by `kept` in a transaction of its own and lists it.
void repair(store::Database& db, store::Recordset& rs, const QString& kept, CheckRun& run) {
    const QString code = rs.text(QStringLiteral("条項コード"));
    store::Transaction t(db);
    rs.edit();
    rs.setField(QStringLiteral("条文"), kept);
    rs.update();
    t.commit();
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
    walk(name, store::RecordsetType::Snapshot, run, [&](store::Database&, store::Recordset& rs) {
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
    walk(name, store::RecordsetType::Dynaset, run, [&](store::Database& db, store::Recordset& rs) {
        const QString text = rs.text(QStringLiteral("条文"));
        if (!text.contains(mark)) return;
        ++run.hits;
        const QStringList parts = text.split(mark);
        if (parts.size() == 2 && keep(parts[1])) repair(db, rs, parts[0], run);
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

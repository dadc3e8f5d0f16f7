#include "viewer/shell/search.h"

#include "platform/prompt.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "viewer/browser/display.h"
#include "viewer/log.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <optional>

namespace viewer {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}  // namespace

QString searchSummaryLine(const SearchResult& r) {
    QString s = searchSummary(r.words, r.hits);
    if (!r.missing.isEmpty())
        s += QStringLiteral("　（データベースがないため検索しなかった法典: %1）")
                 .arg(r.missing.join(QStringLiteral("、")));
    if (!r.failed.isEmpty())
        s += QStringLiteral("　（検索できなかった法典: %1）")
                 .arg(r.failed.join(QStringLiteral("、")));
    if (r.stopped) s += QStringLiteral("　（途中で中止しました）");
    return s;
}

SearchResult searchAllLaws(const QStringList& lawNames, const QString& typed,
                           SearchProgress* progress, bool parts) {
    QElapsedTimer clock;
    clock.start();
    SearchResult r;
    r.words = typed;
    const QString sql = store::MakeSearchSQL(r.words);
    if (sql.isEmpty()) {
        r.refused = true;
        return r;
    }
    QString blocks;
    bool full = false;
    QHash<QString, QString> codes;  // 法典名称 → 法典コード, for the parts' keys
    const QStringList words = store::splitSearchWords(r.words);
    if (parts)
        for (const store::LawEntry& law : store::readLawList()) codes.insert(law.name, law.code);
    for (const QString& name : lawNames) {
        if (full) break;
        if (progress && progress->stopRequested()) {
            r.stopped = true;
            break;
        }
        if (!store::isValidLawName(name) || !QFileInfo(store::lawDbPath(name)).isFile()) {
            r.missing << name;
            continue;
        }
        if (progress) {
            progress->law(name);
            progress->pump();
        }
        // A damaged file is named and passed over; the other laws are still searched.
        std::optional<store::Database> db;
        std::optional<store::Recordset> found;
        try {
            db.emplace(store::openLawDb(name));
            found.emplace(db->openRecordset(sql));
        } catch (const store::Error& e) {
            r.failed << name;
            qCDebug(lcViewer).noquote() << "search skipped" << name << e.description();
            continue;
        }
        auto onHit = [&](const QString& head, const SearchHit& hit) {
            r.lines << head;
            r.found << hit;
            if (progress) {
                progress->hit(r.hits, name, head, hit);
                progress->pump();
            }
        };
        full = !collectHits(*db, *found, name, r.hits, blocks, onHit);
        if (!full && parts && codes.contains(name))
            full = !collectPartHits(*db, codes.value(name).toUpper(), name, words, r.hits, blocks,
                                    onHit);
        r.limited = full;
    }
    r.text = searchSummaryLine(r) + blocks + kCrLf + kCrLf;
    const int shift = int(r.text.size() - blocks.size() - 4);
    for (SearchHit& h : r.found) h.offset += shift;
    qCDebug(lcViewer).noquote() << "search" << r.words << "over" << lawNames.size() << "laws took"
                                << clock.elapsed() << "ms:" << r.hits << "hits";
    return r;
}

}  // namespace viewer

#include "viewer/shell/search.h"

#include "platform/error.h"
#include "platform/prompt.h"
#include "platform/vb.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "viewer/browser/display.h"
#include "viewer/log.h"
#include "viewer/shell/searchindex.h"

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
    SearchOptions options;
    options.parts = parts;
    return searchAllLaws(lawNames, typed, progress, options);
}

namespace {

// The index's candidates, after it has read what changed; nullopt when every record must be
// read (no word narrows anything, or the index cannot be used: the scan still answers).
std::optional<SearchCandidates> indexCandidates(const QStringList& words,
                                                SearchProgress* progress) {
    try {
        SearchIndex index;
        index.refresh([progress](int done, int total, const QString& name) {
            if (!progress) return true;
            progress->indexing(done, total, name);
            progress->pump();
            return !progress->stopRequested();
        });
        return index.candidates(words);
    } catch (const platform::Error& e) {
        qCDebug(lcViewer).noquote() << "search index not used:" << e.description();
        return std::nullopt;
    }
}

}  // namespace

SearchResult searchAllLaws(const QStringList& lawNames, const QString& typed,
                           SearchProgress* progress, const SearchOptions& options) {
    QElapsedTimer clock;
    clock.start();
    SearchResult r;
    r.words = typed;
    if (store::MakeSearchSQL(r.words).isEmpty()) {
        r.refused = true;
        return r;
    }
    const QStringList words = store::splitSearchWords(r.words);
    const QString sql = store::searchSqlFor(words, options.fold);
    const std::optional<SearchCandidates> candidates =
        options.useIndex ? indexCandidates(words, progress) : std::nullopt;
    QString blocks;
    bool full = false;
    QHash<QString, QString> codes;  // 法典名称 → 法典コード, for the parts' keys
    if (options.parts)
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
        // A law the index holds as it stands now is read only where the words may be.
        const bool indexed = candidates && candidates->current.contains(name);
        const bool mainRows = !indexed || candidates->codes.contains(name);
        const bool partRows = options.parts && (!indexed || candidates->parts.contains(name));
        if (!mainRows && !partRows) continue;
        if (progress) {
            progress->law(name);
            progress->pump();
        }
        // A damaged file is named and passed over; the other laws are still searched.
        std::optional<store::Database> db;
        std::optional<store::Recordset> found;
        try {
            db.emplace(store::openLawDb(name));
            if (mainRows) {
                const QStringList codes =
                    candidates ? candidates->codes.value(name) : QStringList();
                QVariantList params;
                found.emplace(indexed && codes.size() <= kMostNamedCodes
                                  ? db->openRecordset(searchSqlWithin(sql, codes, params),
                                                      store::RecordsetType::Snapshot, params)
                                  : db->openRecordset(sql));
            }
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
        if (found)
            full = !collectHits(*db, *found, name, r.hits, blocks, onHit, options.announceLimit);
        if (!full && partRows && codes.contains(name))
            full = !collectPartHits(*db, codes.value(name).toUpper(), name, words, r.hits, blocks,
                                    onHit, options.fold, options.announceLimit);
        r.limited = full;
    }
    r.text = searchSummaryLine(r) + blocks + kCrLf + kCrLf;
    const int shift = int(r.text.size() - blocks.size() - 4);
    for (SearchHit& h : r.found) h.offset += shift;
    qCDebug(lcViewer).noquote() << "search" << r.words << "over" << lawNames.size() << "laws took"
                                << clock.elapsed() << "ms:" << r.hits << "hits"
                                << (candidates ? "(index)" : "(scan)");
    return r;
}

std::optional<QStringList> lawSearchCandidates(const QString& name, const QString& typed) {
    QString words = platform::trimBlanks(typed);
    if (words.isEmpty()) return std::nullopt;
    try {
        SearchIndex index;
        index.refreshLaw(name);
        const std::optional<SearchCandidates> c = index.candidates(store::splitSearchWords(words));
        if (!c || !c->current.contains(name)) return std::nullopt;
        QStringList codes = c->codes.value(name);
        if (codes.size() > kMostNamedCodes) return std::nullopt;
        return codes;
    } catch (const platform::Error& e) {
        qCDebug(lcViewer).noquote() << "search index not used:" << e.description();
        return std::nullopt;
    }
}

}  // namespace viewer

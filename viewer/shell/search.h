#pragma once
// The word search over every law (the main window's search box), without a window: one query
// per law in list order, every hit reported as it is found, at most kHitLimit hits.
#include "store/textfold.h"
#include "viewer/browser/display.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace viewer {

// What a running search shows; the progress window implements it, lexctl ignores it.
class SearchProgress {
  public:
    virtual ~SearchProgress() = default;
    // Before each law is searched.
    virtual void law(const QString& name) { (void)name; }
    // Each hit as it is found: the count so far, its head (hitHead, CR LF included) and
    // what it is.
    virtual void hit(int hits, const QString& name, const QString& line, const SearchHit& hit) {
        (void)hits, (void)name, (void)line, (void)hit;
    }
    // Lets pending window events run.
    virtual void pump() {}
    // Asked after each law: true ends the search there.
    virtual bool stopRequested() const { return false; }
    // While the search's index reads the laws that changed: `done` of `total`, the law read.
    virtual void indexing(int done, int total, const QString& name) {
        (void)done, (void)total, (void)name;
    }
};

struct SearchOptions {
    bool parts = false;  // 附則, 別表 … too, after each law's main provision
    store::Fold fold = store::Fold::None;  // 表記ゆれを同一視, loose or not
    bool useIndex = true;                  // false: every law scanned, as before the index
    bool announceLimit = true;             // false: no message at the thousandth hit
};

struct SearchResult {
    bool refused = false;  // no word: MakeSearchSQL has said so, nothing was searched
    QString words;         // the search text, trimmed
    int hits = 0;
    bool limited = false;    // more than kHitLimit hits; the first kHitLimit are kept
    bool stopped = false;    // stopped by the reader before every law was searched
    QStringList missing;     // laws whose database file is missing: skipped
    QStringList failed;      // laws whose database could not be searched: skipped, with why
    QStringList lines;       // the head of each hit's block, one per hit
    QString text;            // the result window's text, summary line first
    QList<SearchHit> found;  // every hit, offsets into `text`
};

// The summary line: "KeyWord = …　　検索結果 = n件", and what was left out.
QString searchSummaryLine(const SearchResult& r);

// Searches the laws named, in this order; with `parts` their 附則, 別表 … too, after each
// law's main provision.
SearchResult searchAllLaws(const QStringList& lawNames, const QString& typed,
                           SearchProgress* progress = nullptr, bool parts = false);
// The same with every option. The index only chooses which records are read: the hits, their
// order and the texts are a scan's.
SearchResult searchAllLaws(const QStringList& lawNames, const QString& typed,
                           SearchProgress* progress, const SearchOptions& options);

// The records of one law that may hold every word typed, from the search index; nullopt when
// the index cannot tell (the law changed since it was read, the words are too common, no
// index): the law is then read whole.
std::optional<QStringList> lawSearchCandidates(const QString& name, const QString& typed);

}  // namespace viewer

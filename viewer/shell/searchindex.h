#pragma once
// The word search's index (DB/index/search.mdb): every record's text and every part entry's
// text of every listed law, as the characters and pairs of characters it holds, folded the
// loosest way (small kana, old kanji, widths, letter case). It only narrows where to look: the
// search still runs its own match on each candidate, so what it finds is what a scan finds.
// Like the 参照元 index it is brought up to date by whoever reads it: a law whose database
// changed since it was read, a law added, removed or renamed.
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace viewer {

// Where a search's words may stand.
struct SearchCandidates {
    // The laws (by 法典名称) whose index is current: a law not among them is scanned.
    QSet<QString> current;
    // Of those, the 条項コード of the records that may hold every word (headings included).
    QHash<QString, QStringList> codes;
    // Of those, the laws whose parts (附則, 別表 …) may hold every word.
    QSet<QString> parts;
};

class SearchIndex {
  public:
    // The index of the data root in force, created empty when missing or unreadable; Error
    // when its folder cannot be made.
    SearchIndex();
    ~SearchIndex();
    SearchIndex(const SearchIndex&) = delete;
    SearchIndex& operator=(const SearchIndex&) = delete;

    // Reads again the laws that changed; `progress` is told each law before it is read and
    // ends the work when it returns false. Returns the number of laws read.
    using Progress = std::function<bool(int done, int total, const QString& lawName)>;
    int refresh(const Progress& progress = {});
    // Every listed law read again into a new file.
    int rebuild(const Progress& progress = {});
    int staleCount();
    // Reads one law again when it changed (a search of that law alone); true when it did.
    bool refreshLaw(const QString& lawName);
    // The candidates for records holding every word (as the search splits them; empty words
    // restrict nothing). nullopt when no word narrows anything, or the words are so common
    // that reading the laws in order is quicker: every record is a candidate.
    std::optional<SearchCandidates> candidates(const QStringList& words);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The index is kept in this many files (search.mdb, search-1.mdb …), each written on a thread
// of its own; a law's records are all in one of them.
inline constexpr int kSearchShards = 4;
QString searchIndexPath(int shard = 0);
// The index's query for the words: each word's characters (one) or pairs of characters (more),
// folded, joined with AND; empty when no word narrows anything.
QString searchIndexQuery(const QStringList& words);
// The terms the index keeps for a text (UTF-8, as SQLite hands it over), in order.
QStringList searchIndexTerms(const QByteArray& utf8Text);

}  // namespace viewer

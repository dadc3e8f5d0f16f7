#pragma once
// The texts the law browser puts in front of the reader, computed without a window: a node's
// text with its context, the caption with the page date, the block a copied paragraph
// becomes, and the result of a word search in one law.
#include "store/textfold.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace store {
class Database;
class Recordset;
}  // namespace store

namespace viewer {

// A node of the tree as the display walks it: its key and its text.
struct NodeRef {
    QString key;
    QString text;
};

// The text pane's text for a node: `chain` is the node, then its parent, its parent's parent
// and so on up to the root. At most five ancestors are shown, outermost first; the walk stops
// at a parent whose text equals its child's, and skips parents of another law.
QString nodeContextText(const QList<NodeRef>& chain);

// An article node's key is its 10-character article code.
inline bool isArticleKey(const QString& key) {
    return key.size() == 10;
}
// The short number of an article code (MP07090000 → MP709, MP00030200 → MP3-2) or of a
// paragraph's 条項コード (MP04150000020200 → MP415:2; a single paragraph is its article).
QString shortNumberOf(const QString& code);
// What the status bar says of an article or paragraph on show: "MP415:2: 民法 第415条 ②".
QString placeNotice(const QString& shown, const QString& lawName, const QString& code);

// An article node's display followed by the whole article: each paragraph as its node shows
// it (mark and text, items included), a blank line before each.
QString wholeArticleText(const QString& display, const QStringList& paragraphs);

struct LawTree;
// What the browser's pane shows for the node `key` of a built tree: its context, and with
// `wholeArticle` every paragraph of an article; nothing when the tree has no such node.
std::optional<QString> nodeShownText(const LawTree& tree, const QString& key, bool wholeArticle);

// What a print takes of a law: the node as the pane shows it (an article whole), or the node
// with everything below it (a 目次 entry; the root is the whole law).
enum class PrintScope { Node, Below };
// The text printed for node `key` of a built tree: for Below its context, then each heading,
// article (every paragraph) and part below it in the tree's order, a blank line between;
// nothing when the tree has no such node.
std::optional<QString> printedText(const LawTree& tree, const QString& key, PrintScope scope);

// The tree's article and heading numbers written in kanji, as the statute writes them
// (第415条 → 第四百十五条, 第1章 → 第一章, （1条～11条） → （一条～十一条）); paragraphs and parts,
// which are the law's own words, are left as they are.
void writeNumbersInKanji(LawTree& tree);

// "2004年3月5日 9時7分": no leading zeros.
QString pageDateText(const QDateTime& time);
// The browser's caption for the node `key` of law `name`: the name, and the date of the
// node's HTML page when there is one. Creates the page folders as GetHtmlPath does.
QString browserCaption(const QString& name, const QString& key);

// The pieces of a record shown in copies and search results.
struct RecordTexts {
    QString article;         // 第3条の2
    QString header;          // CR LF "[第2項]" CR LF, or CR LF
    QString paragraphLabel;  // " 第2項" or ""
    QString heading;         // the article's heading record, or ""
};
RecordTexts recordTexts(store::Database& db, const QString& code);

// name　article　【heading】header: a search hit's line in the progress list, and the head
// of its block in the result; also the copy header of the history. A law without captions
// (an empty or blank heading) shows no empty brackets.
QString hitHead(const QString& name, const RecordTexts& t);

// A hit of a word search: where its block starts in the result text, and what it is.
struct SearchHit {
    QString law;      // 法典名称
    QString code;     // 条項コード of the paragraph
    int offset = 0;   // the block's head in the result text
    QString excerpt;  // the paragraph's first characters, on one line
    QString version;  // the kept version searched, or empty for the current records
};
// How many characters of a hit's paragraph its line in the progress list shows.
inline constexpr int kExcerptLength = 40;
// A hit's line in the progress list: its head on one line, then the paragraph's first
// characters.
QString hitLine(const QString& head, const SearchHit& hit);

// A paragraph copied into the edit window (SetJou).
struct CopyBlock {
    QString label;   // 法典名称　第3条 第2項: the history's entry
    QString header;  // the history's header (hitHead)
    QString block;   // header, text, CR LF CR LF
};
// The copy of the record `code` of law `name`; nothing when there is no such record. Of a
// kept version, from its records, the label and header saying as of when (`asOf`).
std::optional<CopyBlock> copyBlockOf(const QString& name, const QString& code,
                                     const QString& version = {}, const QString& asOf = {});

inline constexpr int kHitLimit = 1000;
// The message when the hits go past the limit.
QString hitLimitMessage();
// "KeyWord = words　　検索結果 = n件".
QString searchSummary(const QString& words, int hits);

// Walks the rows of a search query on law `name`: heading rows are passed over; every other
// row is a hit, counted in `hits`, appended to `blocks` (an empty line, its head, its text)
// and handed to `onHit` with its head and what it is (offset within `blocks`). At the hit
// past kHitLimit shows the limit message and returns false.
// The same over the law's parts (附則, 別表 …): each article or paragraph of a part (a part
// without them whole) holding every one of `words` is a hit whose code is its tree node's key
// (MPP00051-002) and whose head names the part.
bool collectPartHits(store::Database& db, const QString& lawCode, const QString& name,
                     const QStringList& words, int& hits, QString& blocks,
                     const std::function<void(const QString& head, const SearchHit& hit)>& onHit,
                     store::Fold fold = store::Fold::None, bool announceLimit = true);
// `announceLimit` false: the thousandth hit ends the walk without the message (the search as
// one types; the summary still says 1000件).
bool collectHits(store::Database& db, store::Recordset& rows, const QString& name, int& hits,
                 QString& blocks,
                 const std::function<void(const QString& head, const SearchHit& hit)>& onHit = {},
                 bool announceLimit = true);

// FindWord: the search of one law for every word.
struct LawSearch {
    bool refused = false;  // no word (MakeSearchSQL has said so)
    bool anyRow = false;   // the query returned rows (headings included); else nothing shows
    int hits = 0;
    QString text;            // the result window's text
    QList<SearchHit> found;  // every hit, offsets into `text`
    QStringList lines;       // the head of each hit's block, one per hit
};
// With `version`, in that kept version's records; its hits carry the version.
LawSearch findWordInLaw(const QString& name, const QString& words, const QString& version = {});
// Where a search of one law looks and how it matches.
struct LawSearchScope {
    QString from, to;  // 条項コード bounds, both included (a 目次 entry's articles); empty: all
    store::Fold fold = store::Fold::None;
    // The records that may hold the words (the search index's candidates), or nullopt: all.
    std::optional<QStringList> candidates;
};
LawSearch findWordInLaw(const QString& name, const QString& words, const QString& version,
                        const LawSearchScope& scope);
// How many codes a search's query names at most: past it the law is read whole.
inline constexpr int kMostNamedCodes = 2000;
// A search query ("… order by 条項コード") kept to the codes given, as bound values.
QString searchSqlWithin(const QString& sql, const QStringList& codes, QVariantList& params);

}  // namespace viewer

#pragma once
// Two versions of a law compared article by article, as amendment tables show a change:
// articles added, removed, become 削除, moved to a new number, or changed, and within a
// changed paragraph the characters that changed.
#include "store/engine.h"
#include "store/lawdb.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace maint {

// One version's records.
struct LawText {
    struct Article {
        QString key;                    // law code + NNNNBBCC
        QString caption;                // the heading record's text
        QStringList codes, paragraphs;  // the paragraph records, in code order
    };
    QList<Article> articles;         // in code order
    QMap<QString, QStringList> toc;  // コード → 見出し, SOJ, EOJ, SOJ2, EOJ2
    QList<store::LawPart> parts;     // 前文, 附則, 別表 …, in the document's order
};
LawText readLawText(store::Database& db);
// The records of a kept version of the law, or its current records when `version` is empty or
// "current"; Error when there is no such version.
LawText readVersionText(const QString& lawName, const QString& version);

// A run of characters: the same in both, only in the newer, or only in the older.
struct TextRun {
    enum Kind { Same, Added, Removed } kind = Same;
    QString text;
};
// The newer text as runs against the older (code points compared, Unicode-exact).
QList<TextRun> textRuns(const QString& older, const QString& newer);
// The same in runs of whole words, as an amendment table underlines them (傍線): the texts are
// compared as tokens (a run of kanji, of hiragana, of katakana, of digits, of Latin letters;
// any other character alone), so a change of 約束 to 契約 marks the word; and changed runs
// with at most two unchanged characters between them become one change. In each change the
// older text comes first.
QList<TextRun> wordRuns(const QString& older, const QString& newer);
// The newer text with added runs in 【+…+】 and removed ones in 【-…-】.
QString markedText(const QList<TextRun>& runs);

struct ParagraphChange {
    QString shortNumber;           // of the newer paragraph (of the older one when removed)
    QString code;                  // its 条項コード, on the same side
    QString olderText, newerText;  // empty when added / removed
    QList<TextRun> runs;
};

struct ArticleChange {
    enum Kind { Added, Removed, Changed, Deleted, Moved } kind = Changed;
    QString olderKey, newerKey;  // empty on the side it is missing
    QString olderCaption, newerCaption;
    QList<ParagraphChange> paragraphs;  // changed paragraphs (Changed), or every one
    // Changed in notation alone (、 → ，, ０ → 0, a space): shown, never counted as amended.
    bool notationOnly = false;
    // The short number of the article on either side: MP398-2.
    QString olderNumber() const;
    QString newerNumber() const;
};

// The texts differ in notation alone: equal once full-width letters and digits are read as
// half-width (NFKC), ，． as 、。, and every blank (the ideographic space too) is left out.
bool sameButNotation(const QString& a, const QString& b);

struct TocChange {
    char mark = '~';  // + added, - removed, ~ changed
    QString key;
    QString olderHeading, newerHeading;
    QString olderRange, newerRange;  // 第398条の2～第398条の22
};

// A part (附則, 別表, …) added, removed or changed; parts are the same part when their labels
// are (an amendment's 附則 by its law number), counted in order where a label recurs.
struct PartChange {
    char mark = '~';  // + added, - removed, ~ changed
    QString label;
    QList<ParagraphChange> lines;  // the changed lines of its text ("附則（…）:3"): every line
                                   // of one added or removed
    int newerOrder = 0;  // its place among the newer parts, from 1; 0 when removed
};

struct LawDiff {
    QList<ArticleChange> articles;  // by the newer number (a removed one by its own)
    QList<PartChange> parts;        // in the newer document's order, removed ones after
    QList<TocChange> toc;
    int count(ArticleChange::Kind kind) const;
    // "N 条改正、M 条新設、K 条削除" (and moves, and changes of notation alone, when there are
    // any); an article changed in notation alone is not among the amended.
    QString summary() const;
};
LawDiff diffLaws(const LawText& older, const LawText& newer);

// The lines lexctl diff prints: a mark, TAB, the article's short number (a move: older, TAB,
// newer); under a change, TAB, the paragraph's short number, TAB, the marked newer text.
// The parts' changes follow (a mark, TAB, the part's label; under a change, TAB, label:line,
// TAB, the marked line), then the table of contents' (a mark, TAB, 目次, TAB, the heading).
QStringList diffLines(const LawDiff& diff);

// One side of a row of the amendment table (新旧対照表): the article as that version writes
// it — label, caption, every paragraph with its mark, items on their lines (CR LF) — as word
// runs against the other side (Same and this side's own changes); absent: （新設）/（削る）.
struct TableSide {
    bool present = false;
    QString label;           // 第774条
    QList<TextRun> caption;  // empty when the article has none
    QString note;            // 第7条から移動, 表記のみ
    struct Paragraph {
        QString mark;  // ① … ; empty for an article of one paragraph
        QList<TextRun> runs;
    };
    QList<Paragraph> paragraphs;
};
struct TableRow {
    TableSide newer, older;
    QString code;       // what a click opens: the first changed paragraph of the newer side
    int partOrder = 0;  // a part's row: the part's place among the newer parts (0: none)
};
// One row per changed article, in the order of the diff.
QList<TableRow> articleRows(const LawText& older, const LawText& newer, const LawDiff& diff);
// The whole table: the articles' rows, then a row per part (附則, 別表 …) added, removed or
// changed — an added or removed one whole, a changed one its changed lines, each after its
// line number — then a row per heading of the table of contents (目次), its article range
// after it.
QList<TableRow> amendmentRows(const LawText& older, const LawText& newer, const LawDiff& diff);
// The rows as text (lexctl diff --table): the article's label; 改正後 and its lines; 改正前 and
// its lines; changed runs in 【+…+】 and 【-…-】; an empty line after each row.
QStringList tableLines(const QList<TableRow>& rows);

// One step of an article's history (沿革): a version in which the article differs from the
// version before it.
struct HistoryStep {
    QString version;    // the kept version's id, or "current" for the current records
    QString before;     // the version it is compared with (the one before it)
    QString date;       // the source's date (its enforcement), when known
    QString amendedBy;  // the latest amendment its source held
    char mark = '~';    // + added, - removed, ~ changed, x became 削除, > moved
    bool notationOnly = false;
};
// The article's history over the kept versions and the current records, taken in the order
// of their sources' dates (a version without one by its import time), newest first. The
// first of them has nothing before it and is no step.
QList<HistoryStep> articleHistory(const QString& lawName, const QString& articleKey);

// The label of an article key as the law writes it: 第三百九十八条の二 → 第398条の2.
QString articleLabel(const QString& key);

}  // namespace maint

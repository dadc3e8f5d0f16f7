#pragma once
// References in statute text: 第九十条, 前条第二項, 同項第三号, 第十条から第十二条まで,
// 民法（明治二十九年法律第八十九号）第七百九条 … found with their span and resolved to the
// paragraph (or article, or range) they name.
//
// A target is a short number: MP709 (an article, or the paragraph of a one-paragraph
// article), MP415:2, MP398-2:3; a range MP10~MP12; "?" for a reference into a law that is not
// listed; "!" for an article or paragraph the law lacks. A part's target is typed as the
// lookup types it: MP別表1, MP附則3, MP附則(H29-44)2.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace store {
class Database;
struct LawPart;
}  // namespace store

namespace viewer {

// What a law has: its articles in order (NNNNBBCC) and each one's paragraph count.
struct LawIndex {
    QString code;  // of a part's own index, how the part is typed (MP附則(H29-44))
    QStringList articles;
    QHash<QString, int> paragraphs;
    QStringList tables;  // its 別表 by number (1, 1-2), as MP別表1-2 types them
    // Its original 附則's own index (code MP附則), for 附則第三条; none when it keeps none.
    std::shared_ptr<const LawIndex> suppl;
    // Each article's place in `articles`, when the index was read (else it is looked for).
    QHash<QString, int> places;
    int indexOf(const QString& article) const {
        return places.isEmpty() ? int(articles.indexOf(article)) : places.value(article, -1);
    }
};
LawIndex readLawIndex(const QString& code, store::Database& db);
// The same from what a reader of the whole law has read: its record codes in code order and
// its parts (the original 附則's element with them).
LawIndex lawIndexOf(const QString& code, const QStringList& recordCodes,
                    const QList<store::LawPart>& parts);
// The index of a part of law `lawCode` (code MP附則(H29-44)): its articles, and its bare
// paragraphs as the paragraphs of one article.
LawIndex partIndex(const QString& lawCode, const store::LawPart& part);

struct Reference {
    int start = 0;  // in UTF-16 units of the text
    int length = 0;
    QString target;
    bool linked() const { return target != QStringLiteral("!") && target != QStringLiteral("?"); }
};

// The listed laws' names read backwards from where a reference starts, so that the longest
// ending there is found in the name's length, not once per listed law.
class LawNames {
  public:
    explicit LawNames(const QHash<QString, QString>& names);  // 法典名称 → code
    // The longest name ending right before `end` in `text`: its length and code; {0, ""}
    // when none does.
    std::pair<int, QString> endingAt(QStringView text, qsizetype end) const;

  private:
    struct Node {
        QList<std::pair<char16_t, int>> next;
        int code = -1;
    };
    std::vector<Node> nodes_;
    QStringList codes_;
};

// Where the text is: its law, article and paragraph (1 for a one-paragraph article), and how
// to reach the law's index and the listed laws.
struct RefContext {
    const LawIndex* law = nullptr;
    QString article;  // NNNNBBCC
    int paragraph = 1;
    QHash<QString, QString> listedNames;    // 法典名称 → code
    std::shared_ptr<const LawNames> names;  // listedNames' (read from them when unset)
    // The index of another listed law (nullptr when it cannot be read).
    std::function<const LawIndex*(const QString& code)> otherLaw;
    // In a part (a 附則): the law's own index, for its 別表; `law` is then the part's, and
    // an article named alone is `bareArticles`' (the law's, or "?" in an amendment's 附則).
    const LawIndex* main = nullptr;
    QString bareArticles;
};

QList<Reference> findReferences(const QString& text, const RefContext& context);

// UTF-16 position → code points before it (what lexctl refs counts).
int codePointOffset(const QString& text, int utf16);

// What tells a law database's change: its size, modification time and SQLite's change
// counter, as text; empty when the file cannot be read.
QString lawFileSignature(const QString& file);

// The short number of a target's single end: law code, article (-branches), :paragraph when
// the article has more than one.
QString shortTarget(const LawIndex& law, const QString& article, int paragraph);

// The 16-character 条項コード of a single target's paragraph (or of the article's first
// paragraph for an article target); empty for a range, "?" or "!".
QString targetRecordCode(const QString& target, const LawIndex* law);

// The listed laws' indexes, read once each: references found in any law's paragraph.
class RefLibrary {
  public:
    RefLibrary();
    // nullptr when the law is not listed or cannot be read.
    const LawIndex* index(const QString& code);
    // Law `code`'s index as a reader of the whole law made it (lawIndexOf), in place of
    // reading it again.
    const LawIndex* useIndex(const QString& code, LawIndex index);
    // The references of a paragraph record's text.
    QList<Reference> references(const QString& recordCode, const QString& text);
    // The references of entry `entry` (an article or bare paragraph, as partEntries gives
    // it, line breaks as \n) of a part of law `lawCode`: 前条 and 第三条 there are the part's
    // own, 別表第一 the law's; positions in `text`.
    QList<Reference> partReferences(const QString& lawCode, const store::LawPart& part, int entry,
                                    const QString& text);
    // Every entry of a part, in order: its text (partEntries', line breaks as \n) and its
    // references. The part is read once, not once per entry.
    QList<std::pair<QString, QList<Reference>>> partReferences(const QString& lawCode,
                                                               const store::LawPart& part);
    // The start of a single target's text (its first lines), for a preview; empty for a
    // range, "?", "!" or a paragraph that cannot be read.
    QString preview(const QString& target, int maxChars = 200);
    // The law name of a code, for a jump.
    QString lawName(const QString& code) const { return names_.value(code.toUpper()); }
    // Law `code` read as its kept version `version` (a browser on a past version): its index,
    // previews and paragraphs come from there; other laws stay current.
    void readVersion(const QString& code, const QString& version);
    QString versionOf(const QString& code) const { return versions_.value(code.toUpper()); }
    // The database a law is read from: its version's when one is set, else its own.
    store::Database openLaw(const QString& code) const;

  private:
    RefContext partContext(const LawIndex* main, const store::LawPart& part, const LawIndex* own);

    QHash<QString, QString> versions_;  // code → kept version read
    QHash<QString, QString> codes_;     // 法典名称 → code
    std::shared_ptr<const LawNames> lawNames_;
    QHash<QString, QString> names_;  // code → 法典名称
    QHash<QString, std::shared_ptr<const LawIndex>> indexes_;
    QString lastCode_;  // as asked for; empty when none is held
    const LawIndex* last_ = nullptr;
};

// A part's target (MP別表1, MP附則(H29-44)2) resolved as the lookup resolves what is typed;
// no law code for any other target.
struct LookupTarget;
LookupTarget partTarget(const QString& target);
// The text of the part or part entry found; empty when it cannot be read.
QString partText(const LookupTarget& found);

// Where a link opens: its law and the node (an article, a paragraph, a part, a part's
// article); no key, and why, when it cannot be opened.
struct TargetPlace {
    QString law, lawName, key, error;
};
TargetPlace targetPlace(RefLibrary& library, const QString& target);

// The tooltip of a link: the law, the target and the start of its text, as rich text (so
// that a long paragraph wraps).
QString referenceTip(RefLibrary& library, const QString& target);

// The references of a law's paragraphs where a window shows them: each paragraph record of
// `codes` (every paragraph of the law when empty), in code order, is looked for in `shown`
// (line breaks as \n) after the one before it, the first from `from`; positions are in
// `shown`. Linked ones only.
QList<Reference> referencesShown(RefLibrary& library, const QString& lawCode,
                                 const QStringList& codes, const QString& shown,
                                 qsizetype from = 0);

}  // namespace viewer

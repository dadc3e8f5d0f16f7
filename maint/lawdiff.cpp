#include "maint/lawdiff.h"

#include "maint/artedit.h"
#include "store/codes.h"
#include "store/versions.h"

#include <QHash>
#include <QSet>

#include <functional>

#include <algorithm>
#include <dtl/dtl.hpp>
#include <string>
#include <vector>

namespace maint {

namespace {

const QString kDeleted = QStringLiteral("削除");

bool isDeletedArticle(const LawText::Article& a) {
    return a.paragraphs.size() == 1 && a.paragraphs.first().trimmed() == kDeleted;
}

bool sameContent(const LawText::Article& a, const LawText::Article& b) {
    return a.caption == b.caption && a.paragraphs == b.paragraphs;
}

// Runs of the edit script, each kind of edit joined up.
template <class Ses>
QList<TextRun> runsOf(const Ses& ses) {
    QList<TextRun> runs;
    for (const auto& [ch, info] : ses.getSequence()) {
        const TextRun::Kind kind = info.type == dtl::SES_ADD      ? TextRun::Added
                                   : info.type == dtl::SES_DELETE ? TextRun::Removed
                                                                  : TextRun::Same;
        if (runs.isEmpty() || runs.last().kind != kind) runs.append({kind, QString()});
        const char32_t c = ch;
        runs.last().text += QString::fromUcs4(&c, 1);
    }
    // A replacement reads older first: 【-よる-】【+基づく+】.
    for (qsizetype i = 0; i + 1 < runs.size(); ++i)
        if (runs[i].kind == TextRun::Added && runs[i + 1].kind == TextRun::Removed)
            runs.swapItemsAt(i, i + 1);
    return runs;
}

// Paragraphs paired by their texts: equal ones left alone, the rest paired in order within
// each stretch of edits (a changed paragraph), the surplus added or removed.
void compareParagraphs(const LawText::Article& older, const LawText::Article& newer,
                       QList<ParagraphChange>& out,
                       const std::function<QString(const QString&)>& name = shortEntry) {
    const std::vector<QString> a(older.paragraphs.begin(), older.paragraphs.end());
    const std::vector<QString> b(newer.paragraphs.begin(), newer.paragraphs.end());
    dtl::Diff<QString, std::vector<QString>> d(a, b);
    d.compose();
    QList<int> removed, added;  // indexes in the current stretch
    auto flush = [&] {
        for (qsizetype i = 0; i < std::max(removed.size(), added.size()); ++i) {
            ParagraphChange p;
            if (i < added.size()) {
                const int n = added[i];
                p.code = newer.codes[n];
                p.shortNumber = name(p.code);
                p.newerText = newer.paragraphs[n];
            } else {
                p.code = older.codes[removed[i]];
                p.shortNumber = name(p.code);
            }
            if (i < removed.size()) p.olderText = older.paragraphs[removed[i]];
            p.runs = textRuns(p.olderText, p.newerText);
            out << p;
        }
        removed.clear();
        added.clear();
    };
    for (const auto& [text, info] : d.getSes().getSequence()) {
        if (info.type == dtl::SES_COMMON) {
            flush();
        } else if (info.type == dtl::SES_DELETE) {
            removed << int(info.beforeIdx - 1);
        } else {
            added << int(info.afterIdx - 1);
        }
    }
    flush();
}

// The articles a table-of-contents row spans, as the law writes them: its own articles, or
// a heading above others the span of those below it (SOJ2, EOJ2).
QString tocRange(const QString& key, const QStringList& row) {
    const QString none = QStringLiteral("00000000");
    const bool own = row.value(1).size() == 8 && row.value(1) != none;
    const QString first = own ? row.value(1) : row.value(3);
    const QString last = own ? row.value(2) : row.value(4);
    if (first.size() != 8 || first == none) return {};
    const QString law = key.left(2);
    QString range = articleLabel(law + first);
    if (last.size() == 8 && last != none && last != first)
        range += u'～' + articleLabel(law + last);
    return range;
}

QString sortKey(const ArticleChange& c) {
    return c.newerKey.isEmpty() ? c.olderKey : c.newerKey;
}

}  // namespace

LawText readLawText(store::Database& db) {
    LawText law;
    QHash<QString, int> index;  // key → article
    auto article = [&](const QString& key) -> LawText::Article& {
        auto it = index.find(key);
        if (it == index.end()) {
            it = index.insert(key, int(law.articles.size()));
            law.articles.append({key, {}, {}, {}});
        }
        return law.articles[*it];
    };
    for (store::Recordset rs = db.openRecordset(
             QStringLiteral("select 条項コード, 条文 from 条文 order by 条項コード"));
         !rs.eof(); rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("条項コード")).toUpper();
        if (code.size() != 16) continue;
        LawText::Article& a = article(code.left(10));
        if (isHeadingCode(code)) {
            a.caption = rs.text(QStringLiteral("条文"));
        } else {
            a.codes << code;
            a.paragraphs << rs.text(QStringLiteral("条文"));
        }
    }
    law.parts = store::readLawParts(db);
    if (!db.fieldNames(QStringLiteral("目次")).isEmpty())
        for (store::Recordset rs = db.openRecordset(QStringLiteral(
                 "select コード, 見出し, SOJ, EOJ, SOJ2, EOJ2 from 目次 order by コード"));
             !rs.eof(); rs.moveNext())
            law.toc.insert(rs.text(QStringLiteral("コード")).toUpper(),
                           {rs.text(QStringLiteral("見出し")), rs.text(QStringLiteral("SOJ")),
                            rs.text(QStringLiteral("EOJ")), rs.text(QStringLiteral("SOJ2")),
                            rs.text(QStringLiteral("EOJ2"))});
    return law;
}

LawText readVersionText(const QString& lawName, const QString& version) {
    store::Database db = version.isEmpty() || version == QStringLiteral("current")
                             ? store::openLawDb(lawName)
                             : store::openVersion(lawName, version);
    return readLawText(db);
}

QList<TextRun> textRuns(const QString& older, const QString& newer) {
    if (older == newer)
        return newer.isEmpty() ? QList<TextRun>{} : QList<TextRun>{{TextRun::Same, newer}};
    if (older.isEmpty()) return {{TextRun::Added, newer}};
    if (newer.isEmpty()) return {{TextRun::Removed, older}};
    const std::u32string a = older.toStdU32String(), b = newer.toStdU32String();
    dtl::Diff<char32_t, std::u32string> d(a, b);
    d.onHuge();
    d.compose();
    return runsOf(d.getSes());
}

namespace {

enum class TokenClass { Kanji, Hiragana, Katakana, Digit, Latin, Other };

TokenClass tokenClass(char32_t c) {
    if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
        (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x2FFFF) || c == U'々' ||
        c == U'〆' || c == U'〇' || c == U'ヶ')
        return TokenClass::Kanji;
    if (c >= 0x3041 && c <= 0x309F) return TokenClass::Hiragana;
    if ((c >= 0x30A0 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F)) return TokenClass::Katakana;
    if ((c >= U'0' && c <= U'9') || (c >= 0xFF10 && c <= 0xFF19)) return TokenClass::Digit;
    if ((c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= 0xFF21 && c <= 0xFF3A) ||
        (c >= 0xFF41 && c <= 0xFF5A))
        return TokenClass::Latin;
    return TokenClass::Other;
}

std::vector<std::u32string> tokensOf(const std::u32string& text) {
    std::vector<std::u32string> tokens;
    TokenClass last = TokenClass::Other;
    for (const char32_t c : text) {
        const TokenClass k = tokenClass(c);
        if (tokens.empty() || k == TokenClass::Other || k != last) tokens.emplace_back();
        tokens.back() += c;
        last = k;
    }
    return tokens;
}

// Runs of at most this many unchanged characters between two changes join them.
constexpr qsizetype kJoinedGap = 2;

}  // namespace

QList<TextRun> wordRuns(const QString& older, const QString& newer) {
    if (older == newer || older.isEmpty() || newer.isEmpty()) return textRuns(older, newer);
    const std::vector<std::u32string> a = tokensOf(older.toStdU32String());
    const std::vector<std::u32string> b = tokensOf(newer.toStdU32String());
    dtl::Diff<std::u32string, std::vector<std::u32string>> d(a, b);
    d.onHuge();
    d.compose();
    // Token runs, then every change with the short unchanged runs between changes joined:
    // a cluster's older text and newer text, the older first.
    struct Piece {
        TextRun::Kind kind;
        QString text;
    };
    QList<Piece> pieces;
    for (const auto& [token, info] : d.getSes().getSequence()) {
        const TextRun::Kind kind = info.type == dtl::SES_ADD      ? TextRun::Added
                                   : info.type == dtl::SES_DELETE ? TextRun::Removed
                                                                  : TextRun::Same;
        const QString text = QString::fromStdU32String(token);
        if (!pieces.isEmpty() && pieces.last().kind == kind)
            pieces.last().text += text;
        else
            pieces.append({kind, text});
    }
    QList<TextRun> runs;
    QString removed, added;
    auto flush = [&] {
        if (!removed.isEmpty()) runs.append({TextRun::Removed, removed});
        if (!added.isEmpty()) runs.append({TextRun::Added, added});
        removed.clear();
        added.clear();
    };
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (p.kind == TextRun::Removed) {
            removed += p.text;
        } else if (p.kind == TextRun::Added) {
            added += p.text;
        } else {
            const bool between = (!removed.isEmpty() || !added.isEmpty()) && i + 1 < pieces.size();
            if (between && p.text.toStdU32String().size() <= size_t(kJoinedGap)) {
                removed += p.text;  // the gap is part of the change on both sides
                added += p.text;
                continue;
            }
            flush();
            runs.append({TextRun::Same, p.text});
        }
    }
    flush();
    return runs;
}

QString markedText(const QList<TextRun>& runs) {
    QString out;
    for (const TextRun& r : runs) {
        if (r.kind == TextRun::Added)
            out += QStringLiteral("【+") + r.text + QStringLiteral("+】");
        else if (r.kind == TextRun::Removed)
            out += QStringLiteral("【-") + r.text + QStringLiteral("-】");
        else
            out += r.text;
    }
    return out;
}

QString ArticleChange::olderNumber() const {
    return olderKey.isEmpty() ? QString() : shortEntry(olderKey + QStringLiteral("000001"));
}

QString ArticleChange::newerNumber() const {
    return newerKey.isEmpty() ? QString() : shortEntry(newerKey + QStringLiteral("000001"));
}

QString articleLabel(const QString& key) {
    return articleNumberText(numberOfCode(key + QStringLiteral("000001")));
}

int LawDiff::count(ArticleChange::Kind kind) const {
    return int(std::count_if(articles.begin(), articles.end(),
                             [kind](const ArticleChange& c) { return c.kind == kind; }));
}

bool sameButNotation(const QString& a, const QString& b) {
    auto plain = [](const QString& text) {
        // The full-width comma and stop first: NFKC would make them ASCII.
        QString s = QString(text).replace(u'，', u'、').replace(u'．', u'。');
        s = s.normalized(QString::NormalizationForm_KC).replace(u',', u'、');
        s.removeIf([](QChar c) { return c.isSpace(); });
        return s;
    };
    return plain(a) == plain(b);
}

QString LawDiff::summary() const {
    const auto notation = std::count_if(articles.begin(), articles.end(),
                                        [](const ArticleChange& c) { return c.notationOnly; });
    QString s = QStringLiteral("%1 条改正、%2 条新設、%3 条削除")
                    .arg(count(ArticleChange::Changed) - int(notation))
                    .arg(count(ArticleChange::Added))
                    .arg(count(ArticleChange::Deleted) + count(ArticleChange::Removed));
    if (const int moved = count(ArticleChange::Moved))
        s += QStringLiteral("、%1 条移動").arg(moved);
    if (notation > 0) s += QStringLiteral("、表記のみ %1 条").arg(notation);
    if (!parts.isEmpty()) s += QStringLiteral("、附則・別表など %1 件").arg(parts.size());
    return s;
}

namespace {
// A part's identity: its label, and which of the parts with that label it is.
QList<QString> partKeys(const QList<store::LawPart>& parts) {
    QHash<QString, int> seen;
    QList<QString> keys;
    for (const store::LawPart& p : parts)
        keys << p.label + u'\x1f' + QString::number(seen[p.label]++);
    return keys;
}

// A part's text as lines to pair like an article's paragraphs, each named label:line.
LawText::Article partLines(const store::LawPart& p) {
    LawText::Article a;
    a.paragraphs = p.text.split(QStringLiteral("\r\n"));
    for (int i = 0; i < a.paragraphs.size(); ++i) a.codes << QString::number(i + 1);
    return a;
}

QList<PartChange> diffParts(const QList<store::LawPart>& older,
                            const QList<store::LawPart>& newer) {
    QList<PartChange> out;
    const QList<QString> olderKeys = partKeys(older), newerKeys = partKeys(newer);
    for (int i = 0; i < newer.size(); ++i) {
        const store::LawPart& b = newer[i];
        const qsizetype at = olderKeys.indexOf(newerKeys[i]);
        if (at >= 0 && older[at].text == b.text) continue;
        PartChange c;
        c.mark = at < 0 ? '+' : '~';
        c.label = b.label;
        c.newerOrder = i + 1;
        auto name = [&b](const QString& line) { return b.label + u':' + line; };
        compareParagraphs(at < 0 ? LawText::Article{} : partLines(older[at]), partLines(b), c.lines,
                          name);
        out << c;
    }
    for (int i = 0; i < older.size(); ++i) {
        if (newerKeys.contains(olderKeys[i])) continue;
        PartChange c{'-', older[i].label, {}, 0};
        auto name = [&c](const QString& line) { return c.label + u':' + line; };
        compareParagraphs(partLines(older[i]), LawText::Article{}, c.lines, name);
        out << c;
    }
    return out;
}
}  // namespace

LawDiff diffLaws(const LawText& older, const LawText& newer) {
    QHash<QString, const LawText::Article*> olderByKey, newerByKey;
    for (const auto& a : older.articles) olderByKey.insert(a.key, &a);
    for (const auto& a : newer.articles) newerByKey.insert(a.key, &a);
    auto unchanged = [&](const LawText::Article& a,
                         const QHash<QString, const LawText::Article*>& other) {
        const auto* o = other.value(a.key);
        return o && sameContent(a, *o);
    };
    // A moved article: the same text under a new number, its old number gone or rewritten.
    // 削除 alone is no text to follow.
    QHash<QString, QString> movedTo;  // older key → newer key
    QSet<QString> movedFrom;
    {
        QMultiHash<QString, const LawText::Article*> leaving;  // by caption and text
        for (const auto& a : older.articles)
            if (!unchanged(a, newerByKey) && !isDeletedArticle(a))
                leaving.insert(a.caption + u'\x1f' + a.paragraphs.join(u'\x1e'), &a);
        for (const auto& b : newer.articles) {
            if (unchanged(b, olderByKey) || isDeletedArticle(b)) continue;
            const QString content = b.caption + u'\x1f' + b.paragraphs.join(u'\x1e');
            for (auto it = leaving.find(content); it != leaving.end() && it.key() == content;
                 ++it) {
                if ((*it)->key == b.key || movedFrom.contains((*it)->key)) continue;
                movedTo.insert((*it)->key, b.key);
                movedFrom.insert((*it)->key);
                break;
            }
        }
    }
    QSet<QString> movedInto;
    for (const QString& to : movedTo) movedInto.insert(to);

    LawDiff diff;
    for (const auto& a : older.articles) {
        if (movedTo.contains(a.key)) {
            ArticleChange c;
            c.kind = ArticleChange::Moved;
            c.olderKey = a.key;
            c.newerKey = movedTo.value(a.key);
            c.olderCaption = c.newerCaption = a.caption;
            diff.articles << c;
        } else if (!newerByKey.contains(a.key) || movedInto.contains(a.key)) {
            // Gone, or its number taken by an article moved there.
            ArticleChange c;
            c.kind = ArticleChange::Removed;
            c.olderKey = a.key;
            c.olderCaption = a.caption;
            compareParagraphs(a, LawText::Article{}, c.paragraphs);
            diff.articles << c;
        }
    }
    for (const auto& b : newer.articles) {
        if (movedInto.contains(b.key)) continue;
        const LawText::Article* a = olderByKey.value(b.key);
        // An old number whose article moved away holds a new article.
        if (a && movedFrom.contains(b.key)) a = nullptr;
        if (a && sameContent(*a, b)) continue;
        ArticleChange c;
        c.newerKey = b.key;
        c.newerCaption = b.caption;
        if (!a) {
            c.kind = ArticleChange::Added;
            compareParagraphs(LawText::Article{}, b, c.paragraphs);
        } else {
            c.olderKey = a->key;
            c.olderCaption = a->caption;
            c.kind = isDeletedArticle(b) && !isDeletedArticle(*a) ? ArticleChange::Deleted
                                                                  : ArticleChange::Changed;
            compareParagraphs(*a, b, c.paragraphs);
            // Every change a pair whose texts differ in notation alone.
            c.notationOnly =
                c.kind == ArticleChange::Changed &&
                sameButNotation(c.olderCaption, c.newerCaption) &&
                std::all_of(c.paragraphs.begin(), c.paragraphs.end(), [](const ParagraphChange& p) {
                    return !p.olderText.isEmpty() && !p.newerText.isEmpty() &&
                           sameButNotation(p.olderText, p.newerText);
                });
        }
        diff.articles << c;
    }
    std::stable_sort(
        diff.articles.begin(), diff.articles.end(),
        [](const ArticleChange& x, const ArticleChange& y) { return sortKey(x) < sortKey(y); });

    for (auto it = newer.toc.begin(); it != newer.toc.end(); ++it) {
        const auto was = older.toc.find(it.key());
        if (was == older.toc.end())
            diff.toc << TocChange{
                '+', it.key(), {}, it.value().value(0), {}, tocRange(it.key(), it.value())};
        else if (*was != it.value())
            diff.toc << TocChange{'~',
                                  it.key(),
                                  was->value(0),
                                  it.value().value(0),
                                  tocRange(it.key(), *was),
                                  tocRange(it.key(), it.value())};
    }
    for (auto it = older.toc.begin(); it != older.toc.end(); ++it)
        if (!newer.toc.contains(it.key()))
            diff.toc << TocChange{
                '-', it.key(), it.value().value(0), {}, tocRange(it.key(), it.value()), {}};
    std::stable_sort(diff.toc.begin(), diff.toc.end(),
                     [](const TocChange& x, const TocChange& y) { return x.key < y.key; });
    diff.parts = diffParts(older.parts, newer.parts);
    return diff;
}

QList<HistoryStep> articleHistory(const QString& lawName, const QString& articleKey) {
    struct Source {
        QString version, order;
        store::LawInfo info;
    };
    QList<Source> sources;
    for (const store::LawVersion& v : store::listVersions(lawName))
        sources << Source{v.id, v.info.sourceDate.isEmpty() ? v.info.importedAt : v.info.sourceDate,
                          v.info};
    {
        store::Database db = store::openLawDb(lawName);
        const store::LawInfo info = store::readLawInfo(db);
        sources << Source{QStringLiteral("current"),
                          info.sourceDate.isEmpty() ? info.importedAt : info.sourceDate, info};
    }
    std::stable_sort(sources.begin(), sources.end(),
                     [](const Source& a, const Source& b) { return a.order < b.order; });
    const QString key = articleKey.left(10).toUpper();
    QList<HistoryStep> steps;
    LawText before;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        LawText now = readVersionText(lawName, sources[i].version);
        if (i > 0) {
            for (const ArticleChange& c : diffLaws(before, now).articles) {
                if (c.newerKey != key && c.olderKey != key) continue;
                static const char marks[] = {'+', '-', '~', 'x', '>'};
                steps.prepend({sources[i].version, sources[i - 1].version,
                               sources[i].info.sourceDate, sources[i].info.amendedBy, marks[c.kind],
                               c.notationOnly});
                break;
            }
        }
        before = std::move(now);
    }
    return steps;
}

QList<TableRow> articleRows(const LawText& older, const LawText& newer, const LawDiff& diff) {
    QHash<QString, const LawText::Article*> olderByKey, newerByKey;
    for (const LawText::Article& a : older.articles) olderByKey.insert(a.key, &a);
    for (const LawText::Article& a : newer.articles) newerByKey.insert(a.key, &a);
    QList<TableRow> rows;
    for (const ArticleChange& c : diff.articles) {
        const LawText::Article* was = olderByKey.value(c.olderKey);
        const LawText::Article* now = newerByKey.value(c.newerKey);
        auto side = [&](const LawText::Article* a, bool isNewer) {
            TableSide s;
            if (!a) return s;
            s.present = true;
            s.label = articleLabel(a->key);
            const QString olderCaption = was ? was->caption : QString();
            const QString newerCaption = now ? now->caption : QString();
            if (!a->caption.trimmed().isEmpty()) s.caption = wordRuns(olderCaption, newerCaption);
            if (isNewer && c.kind == ArticleChange::Moved)
                s.note = articleLabel(c.olderKey) + QStringLiteral("から移動");
            if (isNewer && c.notationOnly) s.note = QStringLiteral("表記のみ");
            for (qsizetype i = 0; i < a->paragraphs.size(); ++i) {
                const QString& text = a->paragraphs[i];
                TableSide::Paragraph p;
                p.mark = a->paragraphs.size() > 1 ? store::GetJouKouText(a->codes[i]) : QString();
                p.runs = {{TextRun::Same, text}};
                // A changed paragraph is found by its text on this side.
                for (const ParagraphChange& change : c.paragraphs)
                    if ((isNewer ? change.newerText : change.olderText) == text) {
                        p.runs = wordRuns(change.olderText, change.newerText);
                        break;
                    }
                s.paragraphs << p;
            }
            return s;
        };
        TableRow row{side(now, true), side(was, false), {}};
        if (now) row.code = c.newerKey + QStringLiteral("000001");
        for (const ParagraphChange& p : c.paragraphs)
            if (now && !p.newerText.isEmpty()) {
                row.code = p.code;
                break;
            }
        rows << row;
    }
    return rows;
}

QList<TableRow> amendmentRows(const LawText& older, const LawText& newer, const LawDiff& diff) {
    QList<TableRow> rows = articleRows(older, newer, diff);
    for (const PartChange& c : diff.parts) {
        TableRow row;
        row.partOrder = c.newerOrder;
        for (TableSide* s : {&row.newer, &row.older}) {
            s->present = s == &row.newer ? c.mark != '-' : c.mark != '+';
            s->label = c.label;
        }
        for (const ParagraphChange& p : c.lines) {
            // A changed part names the line; one added or removed is its whole text.
            const QString line = c.mark == '~'
                                     ? QStringLiteral("%1行　").arg(p.shortNumber.section(u':', -1))
                                     : QString();
            const QList<TextRun> runs = wordRuns(p.olderText, p.newerText);
            if (!p.newerText.isEmpty()) row.newer.paragraphs << TableSide::Paragraph{line, runs};
            if (!p.olderText.isEmpty()) row.older.paragraphs << TableSide::Paragraph{line, runs};
        }
        rows << row;
    }
    for (const TocChange& t : diff.toc) {
        // The heading as the 目次 sets it: 第2編　物権（第175条～第398条の22）.
        QString number;
        try {
            store::GetMokujiName(t.key, number);
        } catch (const platform::Error&) {
        }
        auto text = [&number](const QString& heading, const QString& range) {
            if (heading.isEmpty()) return heading;
            const QString head = number.isEmpty() ? heading : number + QChar(0x3000) + heading;
            return range.isEmpty() ? head : head + u'（' + range + u'）';
        };
        const QList<TextRun> runs =
            wordRuns(text(t.olderHeading, t.olderRange), text(t.newerHeading, t.newerRange));
        TableRow row;
        for (TableSide* s : {&row.newer, &row.older}) {
            s->present = (s == &row.newer ? t.newerHeading : t.olderHeading).size() > 0;
            s->label = QStringLiteral("目次");
            if (s->present) s->paragraphs << TableSide::Paragraph{{}, runs};
        }
        rows << row;
    }
    return rows;
}

QStringList tableLines(const QList<TableRow>& rows) {
    // A side's text: its own changes marked, the other side's left out.
    auto sideText = [](const QList<TextRun>& runs, TextRun::Kind own) {
        QList<TextRun> mine;
        for (const TextRun& r : runs)
            if (r.kind == TextRun::Same || r.kind == own) mine << r;
        return markedText(mine);
    };
    auto sideLines = [&](const TableSide& s, TextRun::Kind own, const QString& absent) {
        if (!s.present) return QStringList{absent};
        QString head = s.label;
        if (!s.caption.isEmpty()) head += u'（' + sideText(s.caption, own) + u'）';
        if (!s.note.isEmpty()) head += u'（' + s.note + u'）';
        QStringList lines{head};
        for (const TableSide::Paragraph& p : s.paragraphs)
            lines << (p.mark + sideText(p.runs, own)).split(QStringLiteral("\r\n"));
        return lines;
    };
    QStringList out;
    for (const TableRow& r : rows) {
        out << (r.newer.present ? r.newer.label : r.older.label);
        out << QStringLiteral("改正後");
        out << sideLines(r.newer, TextRun::Added, QStringLiteral("（削る）"));
        out << QStringLiteral("改正前");
        out << sideLines(r.older, TextRun::Removed, QStringLiteral("（新設）"));
        out << QString();
    }
    return out;
}

QStringList diffLines(const LawDiff& diff) {
    QStringList lines;
    for (const ArticleChange& c : diff.articles) {
        switch (c.kind) {
            case ArticleChange::Added:
                lines << QStringLiteral("+\t") + c.newerNumber();
                break;
            case ArticleChange::Removed:
                lines << QStringLiteral("-\t") + c.olderNumber();
                break;
            case ArticleChange::Deleted:
                lines << QStringLiteral("x\t") + c.newerNumber();
                break;
            case ArticleChange::Moved:
                lines << QStringLiteral(">\t") + c.olderNumber() + u'\t' + c.newerNumber();
                break;
            case ArticleChange::Changed:
                lines << QStringLiteral("~\t") + c.newerNumber() +
                             (c.notationOnly ? QStringLiteral("\t表記のみ") : QString());
                if (c.olderCaption != c.newerCaption)
                    lines << QStringLiteral("\t見出し\t") +
                                 markedText(textRuns(c.olderCaption, c.newerCaption));
                for (const ParagraphChange& p : c.paragraphs)
                    lines << u'\t' + p.shortNumber + u'\t' + markedText(p.runs);
                break;
        }
    }
    for (const PartChange& c : diff.parts) {
        lines << QString(QChar::fromLatin1(c.mark)) + u'\t' + c.label;
        if (c.mark == '~')
            for (const ParagraphChange& p : c.lines)
                lines << u'\t' + p.shortNumber + u'\t' + markedText(p.runs);
    }
    for (const TocChange& t : diff.toc) {
        QString line = QString(QChar::fromLatin1(t.mark)) + QStringLiteral("\t目次\t");
        if (t.mark == '+')
            line += t.newerHeading;
        else if (t.mark == '-')
            line += t.olderHeading;
        else
            line += markedText(textRuns(t.olderHeading, t.newerHeading));
        // A heading whose articles changed says from which to which.
        if (t.mark == '~' && t.olderRange != t.newerRange)
            line += u'\t' + t.olderRange + QStringLiteral(" → ") + t.newerRange;
        lines << line;
    }
    return lines;
}

}  // namespace maint

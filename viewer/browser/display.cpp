#include "viewer/browser/display.h"

#include "exchange/lawparts.h"
#include "viewer/browser/lawtree.h"

#include "platform/prompt.h"
#include "platform/vb.h"
#include "store/codes.h"
#include "store/engine.h"
#include "store/lawdb.h"
#include "store/versions.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>

namespace viewer {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
constexpr int kContextLevels = 5;
}  // namespace

QString nodeContextText(const QList<NodeRef>& chain) {
    if (chain.isEmpty()) return {};
    QString text = chain[0].text;
    const QString law = chain[0].key.left(2);
    for (int level = 1; level <= kContextLevels && level < chain.size(); ++level) {
        const NodeRef& parent = chain[level];
        if (parent.text == chain[level - 1].text) break;
        if (parent.key.startsWith(law)) text = parent.text + kCrLf + text;
    }
    return text;
}

QString wholeArticleText(const QString& display, const QStringList& paragraphs) {
    QString text = display;
    for (const QString& p : paragraphs) text += kCrLf + kCrLf + p;
    return text;
}

QString pageDateText(const QDateTime& time) {
    const QDate d = time.date();
    const QTime t = time.time();
    return QStringLiteral("%1年%2月%3日 %4時%5分")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute());
}

QString browserCaption(const QString& name, const QString& key) {
    const QFileInfo page(store::GetHtmlPath(key));
    if (!page.isFile()) return name;
    return name + QStringLiteral("　[ ") + pageDateText(page.lastModified()) +
           QStringLiteral(" HTML更新 ]");
}

RecordTexts recordTexts(store::Database& db, const QString& code) {
    RecordTexts t;
    t.article = store::GetJouKouText(code.left(10));
    t.header = store::GetKouHeader(code.mid(10, 4), t.paragraphLabel);
    t.heading = store::GetJouMidashi(db, code);
    return t;
}

QString hitHead(const QString& name, const RecordTexts& t) {
    const QString heading = platform::trimBlanks(t.heading).remove(QChar(0x3000)).isEmpty()
                                ? QString()
                                : QStringLiteral("　【") + t.heading + u'】';
    return name + QChar(0x3000) + t.article + heading + t.header;
}

std::optional<CopyBlock> copyBlockOf(const QString& name, const QString& code,
                                     const QString& version, const QString& asOf) {
    store::Database db =
        version.isEmpty() ? store::openLawDb(name) : store::openVersion(name, version);
    store::Recordset rs = db.openRecordset(QStringLiteral("select * from 条文 where 条項コード=?"),
                                           store::RecordsetType::Snapshot, {code});
    if (rs.recordCount() == 0) return std::nullopt;
    const RecordTexts t = recordTexts(db, code);
    CopyBlock c;
    // Old text copied says so, in the history and in the block.
    const QString shownName = asOf.isEmpty() ? name : name + u'（' + asOf + u'）';
    c.label = shownName + QChar(0x3000) + t.article + t.paragraphLabel;
    c.header = hitHead(shownName, t);
    c.block = c.header + rs.text(QStringLiteral("条文")) + kCrLf + kCrLf;
    return c;
}

QString hitLine(const QString& head, const SearchHit& hit) {
    return platform::oneLine(head).trimmed() + QStringLiteral("　") + hit.excerpt;
}

QString hitLimitMessage() {
    return QStringLiteral("検索結果が１０００件を超えました。\r\n最初の１０００件を表示します。");
}

QString searchSummary(const QString& words, int hits) {
    return QStringLiteral("KeyWord = ") + words + QStringLiteral("　　検索結果 = ") +
           QString::number(hits) + QStringLiteral("件");
}

namespace {
// A hit's block in the result text (an empty line, its head, its text) and its report.
void appendHit(const QString& name, const QString& code, const QString& head, const QString& text,
               QString& blocks,
               const std::function<void(const QString& head, const SearchHit& hit)>& onHit) {
    blocks += kCrLf + kCrLf;
    SearchHit hit{name, code, int(blocks.size()), {}, {}};
    if (onHit) {
        const QString line = platform::oneLine(text);
        hit.excerpt = line.left(kExcerptLength) +
                      (line.size() > kExcerptLength ? QStringLiteral("…") : QString());
    }
    blocks += head + text;
    if (onHit) onHit(head, hit);
}
}  // namespace

bool collectHits(store::Database& db, store::Recordset& rows, const QString& name, int& hits,
                 QString& blocks,
                 const std::function<void(const QString& head, const SearchHit& hit)>& onHit,
                 bool announceLimit) {
    for (; !rows.eof(); rows.moveNext()) {
        const QString code = rows.text(QStringLiteral("条項コード"));
        if (code.endsWith(QStringLiteral("0001"))) continue;
        if (hits == kHitLimit) {
            if (announceLimit) platform::msgBox(hitLimitMessage());
            return false;
        }
        ++hits;
        appendHit(name, code, hitHead(name, recordTexts(db, code)),
                  rows.text(QStringLiteral("条文")), blocks, onHit);
    }
    return true;
}

bool collectPartHits(store::Database& db, const QString& lawCode, const QString& name,
                     const QStringList& words, int& hits, QString& blocks,
                     const std::function<void(const QString& head, const SearchHit& hit)>& onHit,
                     store::Fold fold, bool announceLimit) {
    if (words.isEmpty()) return true;
    QStringList folded;
    for (const QString& w : words) folded << store::foldText(w, fold);
    int order = 0;
    for (const store::LawPart& part : store::readLawParts(db)) {
        const QString key = partKey(lawCode, ++order);
        QStringList units = exchange::partEntries(part);
        QStringList keys;
        for (int i = 0; i < units.size(); ++i)
            keys << key + QStringLiteral("-%1").arg(i + 1, 3, 10, QChar(u'0'));
        if (units.isEmpty()) {
            units << part.text;
            keys << key;
        }
        for (int i = 0; i < units.size(); ++i) {
            const QString text = store::foldText(units[i], fold);
            if (!std::all_of(folded.begin(), folded.end(),
                             [&text](const QString& w) { return text.contains(w); }))
                continue;
            if (hits == kHitLimit) {
                if (announceLimit) platform::msgBox(hitLimitMessage());
                return false;
            }
            ++hits;
            appendHit(name, keys[i], name + QChar(0x3000) + part.label + kCrLf, units[i], blocks,
                      onHit);
        }
    }
    return true;
}

QString searchSqlWithin(const QString& sql, const QStringList& codes, QVariantList& params) {
    const QString order = QStringLiteral(" order by 条項コード");
    QStringList marks;
    for (const QString& code : codes) {
        marks << QStringLiteral("?");
        params << code;
    }
    return sql.chopped(order.size()) + QStringLiteral(" and 条項コード in (") + marks.join(u',') +
           u')' + order;
}

LawSearch findWordInLaw(const QString& name, const QString& typed, const QString& version) {
    return findWordInLaw(name, typed, version, LawSearchScope{});
}

LawSearch findWordInLaw(const QString& name, const QString& typed, const QString& version,
                        const LawSearchScope& scope) {
    LawSearch r;
    QString words = typed;
    if (store::MakeSearchSQL(words).isEmpty()) {
        r.refused = true;
        return r;
    }
    QString sql = store::searchSqlFor(store::splitSearchWords(words), scope.fold);
    const QString order = QStringLiteral(" order by 条項コード");
    sql.chop(order.size());
    QVariantList params;
    if (!scope.from.isEmpty()) {
        sql += QStringLiteral(" and 条項コード between ? and ?");
        params << scope.from << scope.to;
    }
    sql += order;
    if (scope.candidates) {
        if (scope.candidates->isEmpty()) return r;  // not a record holds every word
        sql = searchSqlWithin(sql, *scope.candidates, params);
    }
    store::Database db = store::openLawAt(name, version);
    store::Recordset rs = db.openRecordset(sql, store::RecordsetType::Snapshot, params);
    if (rs.recordCount() == 0) return r;
    r.anyRow = true;
    QString list;
    collectHits(db, rs, name, r.hits, list, [&r](const QString& head, const SearchHit& hit) {
        r.found << hit;
        r.lines << head;
    });
    r.text = searchSummary(words, r.hits) + list;
    const int shift = int(r.text.size() - list.size());
    for (SearchHit& h : r.found) {
        h.offset += shift;
        h.version = version;
    }
    return r;
}

QString shortNumberOf(const QString& code) {
    if (code.size() != 10 && code.size() != 16) return {};
    QString s = code.left(2) + QString::number(code.mid(2, 4).toInt());
    for (const int branch : {code.mid(6, 2).toInt(), code.mid(8, 2).toInt()})
        if (branch > 0) s += u'-' + QString::number(branch);
    if (code.size() == 16 && code.mid(10, 6) != QStringLiteral("010000"))
        s += u':' + QString::number(code.mid(10, 2).toInt());
    return s;
}

QString placeNotice(const QString& shown, const QString& lawName, const QString& code) {
    QString place = store::GetJouKouText(code.left(10));
    if (code.size() > 10) place += u' ' + store::GetJouKouText(code);
    return QStringLiteral("%1: %2 %3").arg(shown, lawName, place).trimmed();
}

std::optional<QString> nodeShownText(const LawTree& tree, const QString& key, bool wholeArticle) {
    QHash<QString, int> index;
    for (int i = 0; i < tree.nodes.size(); ++i) index.insert(tree.nodes[i].key, i);
    if (!index.contains(key)) return std::nullopt;
    QList<NodeRef> chain;
    for (int i = index.value(key); i >= 0;) {
        chain.append({tree.nodes[i].key, tree.nodes[i].text});
        i = index.value(tree.nodes[i].parentKey, -1);
    }
    QString text = nodeContextText(chain);
    if (wholeArticle && isArticleKey(key)) {
        QStringList paragraphs;
        for (const TreeNode& n : tree.nodes)
            if (n.parentKey == key) paragraphs << n.text;
        text = wholeArticleText(text, paragraphs);
    }
    if (const auto part = tree.parts.constFind(key); part != tree.parts.cend())
        text += QStringLiteral("\r\n\r\n") + part->text;  // a part is shown whole
    return text;
}

std::optional<QString> printedText(const LawTree& tree, const QString& key, PrintScope scope) {
    std::optional<QString> text = nodeShownText(tree, key, true);
    if (!text || scope == PrintScope::Node) return text;
    QHash<QString, QStringList> paragraphs;  // an article's, by its key
    for (const TreeNode& n : tree.nodes)
        if (isArticleKey(n.parentKey)) paragraphs[n.parentKey] << n.text;
    // The whole law has the title above it already.
    QStringList pieces;
    bool root = false;
    for (const TreeNode& n : tree.nodes)
        if (n.key == key) root = n.parentKey.isEmpty();
    if (!root) pieces << *text;
    // The nodes below `key` come after it in the tree's order, each after its parent.
    QSet<QString> below{key}, within;  // within: printed with the node above them
    bool started = false;
    for (const TreeNode& n : tree.nodes) {
        if (!started) {
            started = n.key == key;
            continue;
        }
        if (!below.contains(n.parentKey)) continue;
        below << n.key;
        // A paragraph came with its article; a part's articles with the part's whole text.
        if (isArticleKey(n.parentKey) || tree.parts.contains(n.parentKey) ||
            within.contains(n.parentKey)) {
            within << n.key;
            continue;
        }
        if (const auto part = tree.parts.constFind(n.key); part != tree.parts.cend())
            pieces << n.text + QStringLiteral("\r\n\r\n") + part->text;
        else if (isArticleKey(n.key))
            pieces << wholeArticleText(n.text, paragraphs.value(n.key));
        else
            pieces << n.text;
    }
    return pieces.join(QStringLiteral("\r\n\r\n"));
}

void writeNumbersInKanji(LawTree& tree) {
    for (TreeNode& n : tree.nodes) {
        // A paragraph hangs below its article; a part's nodes hold the law's text.
        if (isArticleKey(n.parentKey) || isPartKey(n.key) || n.parentKey.isEmpty()) continue;
        n.text = store::kanjiArticleNumbers(n.text);
    }
}

}  // namespace viewer

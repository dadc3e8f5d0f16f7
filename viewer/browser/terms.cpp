#include "viewer/browser/terms.h"

#include "store/engine.h"

#include <QRegularExpression>

namespace viewer {

namespace {

// The scope a clause sets before a definition: "この章において" → この章, "前項に規定する"
// → 前項, "以下この号において単に" → この号; the whole law (この法律) and a clause that sets
// none are empty.
QString scopeOf(QString clause) {
    clause = clause.trimmed();
    // What follows において (単に, それぞれ, 当該通知を …) sets no scope.
    const QString in = QStringLiteral("において");
    if (const qsizetype at = clause.lastIndexOf(in); at >= 0) clause.truncate(at);
    // An earlier において ended an earlier clause: the scope is what follows it.
    if (const qsizetype at = clause.lastIndexOf(in); at >= 0) clause.remove(0, at + in.size());
    for (const char16_t* tail : {u"に規定する", u"に定める"})
        if (clause.endsWith(QString::fromUtf16(tail))) {
            clause.chop(qsizetype(std::char_traits<char16_t>::length(tail)));
            break;
        }
    for (const char16_t* head : {u"以下", u"、", u"単に", u"それぞれ"})
        while (clause.startsWith(QString::fromUtf16(head)))
            clause.remove(0, qsizetype(std::char_traits<char16_t>::length(head)));
    for (const char16_t* tail : {u"、", u"単に", u"それぞれ"})
        while (clause.endsWith(QString::fromUtf16(tail)))
            clause.chop(qsizetype(std::char_traits<char16_t>::length(tail)));
    if (clause == QStringLiteral("この法律")) return {};
    return clause;
}

// The clause just before position `at`: back to an opening parenthesis, a comma, a full stop
// or a line's start. It sets a scope only when it ends with において (or に規定する).
QString clauseBefore(const QString& text, qsizetype at) {
    qsizetype from = at;
    while (from > 0) {
        const QChar c = text[from - 1];
        if (c == u'（' || c == u'、' || c == u'。' || c == u'\n' || c == u'\r' || c == u'「' ||
            c == u'」')
            break;
        --from;
    }
    QString clause = text.mid(from, at - from);
    for (const char16_t* word : {u"単に", u"それぞれ"})
        if (clause.endsWith(QString::fromUtf16(word)))
            clause.chop(qsizetype(std::char_traits<char16_t>::length(word)));
    if (!clause.endsWith(QStringLiteral("において")) &&
        !clause.endsWith(QStringLiteral("に規定する")) &&
        !clause.endsWith(QStringLiteral("に定める")))
        return {};
    return clause;
}

// The 「…」 of a run of text, with their places.
QList<std::pair<qsizetype, QString>> quoted(const QString& text, qsizetype from, qsizetype to) {
    static const QRegularExpression quote(QStringLiteral("「([^「」]+)」"));
    QList<std::pair<qsizetype, QString>> out;
    for (auto it = quote.globalMatch(text.mid(from, to - from)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out.append({from + m.capturedStart(1), m.captured(1)});
    }
    return out;
}

}  // namespace

QList<DefinedTerm> findDefinitions(const QString& code, const QString& recordText) {
    // Places are the record's own: its line breaks (CR LF, or LF alone) stay as they are.
    const QString& text = recordText;
    QList<DefinedTerm> out;
    QList<std::pair<qsizetype, qsizetype>> taken;  // spans a definition already holds
    auto add = [&](qsizetype at, const QString& term, const QString& scope, int form) {
        out << DefinedTerm{term, code, scope, int(at), form};
    };

    // （以下この章において「X」という。）, （以下「X」及び「Y」と総称する。）
    static const QRegularExpression after(QStringLiteral(
        "以下([^「」（）。]*?)(「[^「」]+」(?:(?:及び|又は|若しくは|並びに|、|と)「[^「」]+」)*)"
        "と(?:いう|総称する|略称する)"));
    for (auto it = after.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString scope = scopeOf(m.captured(1));
        for (const auto& [at, term] : quoted(text, m.capturedStart(2), m.capturedEnd(2)))
            add(at, term, scope, 2);
        taken.append({m.capturedStart(), m.capturedEnd()});
    }
    // 「X」とは、…をいう
    static const QRegularExpression is(QStringLiteral("「([^「」]+)」とは"));
    for (auto it = is.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        add(m.capturedStart(1), m.captured(1), scopeOf(clauseBefore(text, m.capturedStart())), 1);
    }
    // …を「X」という (no 以下: that was the first form)
    static const QRegularExpression called(QStringLiteral("「([^「」]+)」という"));
    for (auto it = called.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const qsizetype at = m.capturedStart();
        bool inTaken = false;
        for (const auto& [a, b] : taken) inTaken = inTaken || (at >= a && at < b);
        if (inTaken) continue;
        add(m.capturedStart(1), m.captured(1), scopeOf(clauseBefore(text, at)), 3);
    }
    // A 定義 article's list: 次の各号に掲げる用語の意義は、… then 一　X　…
    const qsizetype head = text.indexOf(QStringLiteral("次の各号に掲げる用語の意義"));
    if (head >= 0) {
        const qsizetype lineEnd = text.indexOf(u'\n', head);
        const QString scope = scopeOf(clauseBefore(
            text, text.lastIndexOf(u'、', head) < 0 ? head : text.lastIndexOf(u'、', head)));
        static const QRegularExpression item(
            QStringLiteral(
                "^[一二三四五六七八九十百]+(?:の[一二三四五六七八九十]+)*　([^　\\r\\n]+)　"),
            QRegularExpression::MultilineOption);
        if (lineEnd > 0)
            for (auto it = item.globalMatch(text, lineEnd + 1); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                add(m.capturedStart(1), m.captured(1), scope, 4);
            }
    }
    std::sort(out.begin(), out.end(),
              [](const DefinedTerm& a, const DefinedTerm& b) { return a.start < b.start; });
    return out;
}

LawTerms::LawTerms(store::Database& db) : terms_(lawDefinitions(db)) {
    if (db.fieldNames(QStringLiteral("目次")).isEmpty()) return;
    for (store::Recordset rs = db.openRecordset(QStringLiteral("select * from 目次")); !rs.eof();
         rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("コード"));
        if (code.size() != 16) continue;
        // The level is the last of its pairs (編 章 節 款 目) that is not 00.
        int level = -1;
        for (int i = 0; i < 5; ++i)
            if (code.mid(2 + 2 * i, 2) != QStringLiteral("00")) level = i;
        const QString first = rs.text(QStringLiteral("SOJ2")),
                      last = rs.text(QStringLiteral("EOJ2"));
        if (level >= 0 && first.size() == 8 && last.size() == 8)
            headings_ << Heading{level, first, last};
    }
}

bool LawTerms::holds(const DefinedTerm& t, const QString& code) const {
    if (t.scope.isEmpty()) return true;
    const QString article = code.mid(2, 8), own = t.code.mid(2, 8);
    if (t.scope == QStringLiteral("この項")) return code == t.code;
    static const QString levels = QStringLiteral("編章節款目");
    if (t.scope.size() == 3 && t.scope.startsWith(QStringLiteral("この")) &&
        levels.contains(t.scope[2])) {
        const int level = int(levels.indexOf(t.scope[2]));
        for (const Heading& h : headings_)
            if (h.level == level && own >= h.first && own <= h.last)
                return article >= h.first && article <= h.last;
    }
    return article == own;  // この条, and what is not read yet: the article itself
}

QList<LawTerms::Use> LawTerms::uses(const QString& code, const QString& text) const {
    QList<Use> out;
    QList<std::pair<int, int>> taken;
    QList<int> order;
    for (int i = 0; i < terms_.size(); ++i)
        if (holds(terms_[i], code)) order << i;
    // Longer terms first: 子会社等 before 子会社.
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return terms_[a].term.size() > terms_[b].term.size();
    });
    for (const int i : order) {
        const DefinedTerm& t = terms_[i];
        for (qsizetype at = text.indexOf(t.term); at >= 0; at = text.indexOf(t.term, at + 1)) {
            const int from = int(at), to = int(at + t.term.size());
            // The term's own definition is no use of it; nor is a part of a longer word
            // (会社 in 株式会社, in 会社法): kanji on either side.
            if (t.code == code && at == t.start) continue;
            auto han = [&](qsizetype i) {
                return i >= 0 && i < text.size() &&
                       (text[i].script() == QChar::Script_Han || text[i] == u'々');
            };
            if (han(at - 1) || han(to)) continue;
            bool overlaps = false;
            for (const auto& [a, b] : taken) overlaps = overlaps || (from < b && a < to);
            if (overlaps) continue;
            taken.append({from, to});
            out << Use{from, to - from, i};
        }
    }
    std::sort(out.begin(), out.end(), [](const Use& a, const Use& b) { return a.start < b.start; });
    return out;
}

QList<DefinedTerm> lawDefinitions(store::Database& db) {
    QList<DefinedTerm> out;
    for (store::Recordset rs = db.openRecordset(
             QStringLiteral("select 条項コード, 条文 from 条文 order by 条項コード"));
         !rs.eof(); rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("条項コード"));
        if (code.size() != 16 || code.endsWith(u'1')) continue;  // a heading record
        out << findDefinitions(code, rs.text(QStringLiteral("条文")));
    }
    return out;
}

}  // namespace viewer

#include "viewer/marks/anchor.h"

#include "exchange/lawparts.h"
#include "platform/error.h"
#include "store/codes.h"
#include "store/engine.h"
#include "store/lawdb.h"
#include "viewer/browser/lawtree.h"
#include "viewer/shell/lookup.h"

#include <functional>
#include <optional>

namespace viewer {

namespace {

// UTF-16 index of code point `cp` of the text (its end when past it).
qsizetype indexOfCodePoint(const QString& text, int cp) {
    qsizetype i = 0;
    for (int n = 0; n < cp && i < text.size(); ++n) i += text[i].isHighSurrogate() ? 2 : 1;
    return i;
}

int codePoints(QStringView text) {
    int n = 0;
    for (const QChar c : text) n += c.isLowSurrogate() ? 0 : 1;
    return n;
}

// Up to kMarkContext code points before index `i` and after `end`.
QString contextBefore(const QString& text, qsizetype i) {
    qsizetype from = i;
    for (int n = 0; n < kMarkContext && from > 0; ++n)
        from -= text[from - 1].isLowSurrogate() ? 2 : 1;
    return text.mid(std::max<qsizetype>(0, from), i - std::max<qsizetype>(0, from));
}
QString contextAfter(const QString& text, qsizetype end) {
    return text.mid(end, indexOfCodePoint(text.mid(end), kMarkContext));
}

// How well the surroundings of a run at `i` match the kept context: characters alike next
// to it, on both sides.
int contextScore(const QString& text, qsizetype i, qsizetype end, const Marker& m) {
    int score = 0;
    for (qsizetype a = i - 1, b = m.before.size() - 1; a >= 0 && b >= 0 && text[a] == m.before[b];
         --a, --b)
        ++score;
    for (qsizetype a = end, b = 0; a < text.size() && b < m.after.size() && text[a] == m.after[b];
         ++a, ++b)
        ++score;
    return score;
}

struct Candidate {
    int paragraph = -1;  // in the law's list
    qsizetype at = 0;    // UTF-16
    int score = 0;
};

// The best place of the marked text among the paragraphs `which` selects; none when it is not
// there, or when several are alike and none has its surroundings.
std::optional<Candidate> bestIn(const Marker& m, const QList<MarkedParagraph>& law,
                                const std::function<bool(int)>& which, qsizetype near,
                                int leastScore, bool tiesRefused) {
    QList<Candidate> found;
    for (int p = 0; p < law.size(); ++p) {
        if (!which(p)) continue;
        const QString& text = law[p].text;
        for (qsizetype at = text.indexOf(m.text); at >= 0; at = text.indexOf(m.text, at + 1))
            found << Candidate{p, at, contextScore(text, at, at + m.text.size(), m)};
    }
    if (found.isEmpty()) return std::nullopt;
    const Candidate* best = &found[0];
    for (const Candidate& c : found)
        if (c.score > best->score ||
            (c.score == best->score && std::abs(c.at - near) < std::abs(best->at - near)))
            best = &c;
    if ((found.size() > 1 && best->score == 0) || best->score < leastScore) return std::nullopt;
    // Away from its paragraph, two places alike in their surroundings: neither is taken.
    if (tiesRefused)
        for (const Candidate& c : found)
            if (&c != best && c.score == best->score) return std::nullopt;
    return *best;
}

}  // namespace

QList<MarkedParagraph> markableParagraphs(const QString& lawCode) {
    QList<MarkedParagraph> out;
    const QString law = lawCode.toUpper();
    store::Database db = store::openLawDb(store::GetHoutenName(law));
    for (store::Recordset rs = db.openRecordset(
             QStringLiteral("select 条項コード, 条文 from 条文 order by 条項コード"));
         !rs.eof(); rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("条項コード")).toUpper();
        if (code.size() == 16 && !code.endsWith(u'1'))
            out << MarkedParagraph{code, rs.text(QStringLiteral("条文"))};
    }
    for (const store::LawPart& part : store::readLawParts(db)) {
        const QString notation = partNotation(law, part);
        const QStringList entries = exchange::partEntries(part);
        const QList<exchange::PartEntry> info = exchange::partEntryInfo(part);
        for (int i = 0; i < entries.size() && i < info.size(); ++i)
            out << MarkedParagraph{notation + QString(info[i].num).replace(u'_', u'-'), entries[i]};
    }
    return out;
}

QString stablePlace(const QString& lawCode, const QString& key) {
    if (!isPartKey(key)) return key;
    store::Database db = store::openLawDb(store::GetHoutenName(lawCode.toUpper()));
    const QList<store::LawPart> parts = store::readLawParts(db);
    const int order = key.mid(3, 5).toInt();
    if (order < 1 || order > parts.size()) return key;
    const store::LawPart& part = parts[order - 1];
    const QString notation = partNotation(lawCode, part);
    if (key.size() == 8) return notation;
    const QList<exchange::PartEntry> info = exchange::partEntryInfo(part);
    const int entry = key.mid(9).toInt() - 1;
    if (entry < 0 || entry >= info.size()) return key;
    return notation + QString(info[entry].num).replace(u'_', u'-');
}

Marker markRun(const QString& law, const MarkedParagraph& paragraph, int start, int length) {
    const QString& text = paragraph.text;
    const qsizetype i = indexOfCodePoint(text, start);
    const qsizetype end = indexOfCodePoint(text, start + length);
    if (start < 0 || length <= 0 || start + length > codePoints(text))
        throw platform::Error(
            QStringLiteral("%1 の %2 文字目から %3 文字は本文の外です（%4 文字）。")
                .arg(paragraph.place)
                .arg(start)
                .arg(length)
                .arg(codePoints(text)));
    Marker m;
    m.law = law.toUpper();
    m.place = paragraph.place;
    m.start = start;
    m.length = length;
    m.text = text.mid(i, end - i);
    m.before = contextBefore(text, i);
    m.after = contextAfter(text, end);
    return m;
}

Marker relocate(const Marker& marker, const QList<MarkedParagraph>& law) {
    Marker m = marker;
    int here = -1;
    for (int p = 0; p < law.size() && here < 0; ++p)
        if (law[p].place == m.place) here = p;
    qsizetype old = 0;
    if (here >= 0) {
        const QString& text = law[here].text;
        old = indexOfCodePoint(text, m.start);
        if (QStringView(text).mid(old, m.text.size()) == m.text) {
            if (m.state == QStringLiteral("lost")) m.state = QStringLiteral("ok");  // back
            return m;
        }
    }
    // Its paragraph, then its article (the 条項コード's first ten characters), then the law.
    // Away from its paragraph the same words are taken only with half their surroundings.
    const QString article = m.place.size() == 16 ? m.place.left(10) : m.place;
    const int half = std::max(1, int(m.before.size() + m.after.size() + 1) / 2);
    const std::pair<std::function<bool(int)>, int> stages[] = {
        {[&](int p) { return p == here; }, 0},
        {[&](int p) { return p != here && law[p].place.startsWith(article); }, half},
        {[&](int p) { return p != here && !law[p].place.startsWith(article); }, half}};
    for (const auto& [which, least] : stages) {
        const std::optional<Candidate> c = bestIn(m, law, which, old, least, least > 0);
        if (!c) continue;
        const QString& text = law[c->paragraph].text;
        m.place = law[c->paragraph].place;
        m.start = codePoints(QStringView(text).left(c->at));
        m.before = contextBefore(text, c->at);
        m.after = contextAfter(text, c->at + m.text.size());
        m.state = QStringLiteral("moved");
        return m;
    }
    m.state = QStringLiteral("lost");
    return m;
}

QList<Marker> refreshMarkers(UserData& data, const QString& law) {
    QList<Marker> markers = data.markers(law);
    if (markers.isEmpty()) return markers;
    QList<MarkedParagraph> paragraphs;
    try {
        paragraphs = markableParagraphs(law);
    } catch (const platform::Error&) {
        paragraphs.clear();
    }
    // A law removed, unreadable or empty: its markers wait, as they are, for it to come back.
    if (paragraphs.isEmpty()) return markers;
    for (Marker& m : markers) {
        const Marker now = relocate(m, paragraphs);
        if (now.place != m.place || now.start != m.start || now.state != m.state ||
            now.before != m.before || now.after != m.after)
            data.updateMarker(now);
        m = now;
    }
    return markers;
}

namespace {

// Walks the stored text and its shown form (CR LF shown as one break) together until
// `stop(code points, shown position)` says so; both counts where it stopped.
std::pair<int, qsizetype> walkShown(const QString& stored,
                                    const std::function<bool(int, qsizetype)>& stop) {
    int cp = 0;
    qsizetype shown = 0;
    for (qsizetype s = 0; s < stored.size() && !stop(cp, shown);) {
        const bool crlf = stored[s] == u'\r' && s + 1 < stored.size() && stored[s + 1] == u'\n';
        const qsizetype units = crlf ? 2 : (stored[s].isHighSurrogate() ? 2 : 1);
        cp += crlf ? 2 : 1;
        shown += crlf ? 1 : units;
        s += units;
    }
    return {cp, shown};
}

// The stored text's code point at a position of its shown form.
int codePointOfShown(const QString& stored, qsizetype shown) {
    return walkShown(stored, [&](int, qsizetype d) { return d >= shown; }).first;
}

// The shown position of a code point of the stored text.
qsizetype shownOfCodePoint(const QString& stored, int cp) {
    return walkShown(stored, [&](int n, qsizetype) { return n >= cp; }).second;
}

QString shownForm(const QString& stored) {
    return QString(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

bool stillShown(const ShownParagraph& p, const QString& pane) {
    const QString text = shownForm(p.text);
    return p.at >= 0 && QStringView(pane).mid(p.at, text.size()) == text;
}

QList<ShownParagraph> locateShown(const QList<MarkedParagraph>& paragraphs, const QString& shown) {
    QList<ShownParagraph> out;
    qsizetype from = 0;
    for (const MarkedParagraph& p : paragraphs) {
        const QString text = shownForm(p.text);
        const qsizetype at = text.isEmpty() ? -1 : shown.indexOf(text, from);
        if (at < 0) continue;
        out << ShownParagraph{p.place, p.text, at};
        from = at + text.size();
    }
    return out;
}

QList<MarkSpan> markerSpans(const QList<Marker>& markers, const QList<ShownParagraph>& shown) {
    QList<MarkSpan> out;
    for (const Marker& m : markers) {
        if (m.state == QStringLiteral("lost")) continue;
        for (const ShownParagraph& p : shown) {
            if (p.place != m.place) continue;
            const qsizetype a = shownOfCodePoint(p.text, m.start);
            const qsizetype b = shownOfCodePoint(p.text, m.start + m.length);
            // Drawn only on its own words: a text changed since it was found is left alone.
            if (b <= a || shownForm(p.text).mid(a, b - a) != shownForm(m.text)) continue;
            out << MarkSpan{m.id, int(p.at + a), int(b - a), m.colour, m.note};
        }
    }
    return out;
}

std::optional<Marker> markSelection(const QString& law, const QList<ShownParagraph>& shown,
                                    const QString& pane, int selStart, int selEnd) {
    for (const ShownParagraph& p : shown) {
        if (!stillShown(p, pane)) continue;  // the pane shows another text now
        const qsizetype end = p.at + shownForm(p.text).size();
        if (selStart < p.at || selEnd > end || selEnd <= selStart) continue;
        const int a = codePointOfShown(p.text, selStart - p.at);
        const int b = codePointOfShown(p.text, selEnd - p.at);
        return markRun(law, {p.place, p.text}, a, b - a);
    }
    return std::nullopt;
}

QList<MarkSpan> marksInText(UserData& data, const QString& law, const QString& shown) {
    if (data.markers(law).isEmpty()) return {};
    return markerSpans(refreshMarkers(data, law), locateShown(markableParagraphs(law), shown));
}

}  // namespace viewer

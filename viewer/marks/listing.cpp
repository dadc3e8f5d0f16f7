#include "viewer/marks/listing.h"

#include "store/codes.h"
#include "viewer/browser/display.h"
#include "viewer/marks/anchor.h"
#include "viewer/shell/lookup.h"

#include <QSet>
#include <algorithm>

namespace viewer {

namespace {

bool hasWords(const QString& words, const QStringList& texts) {
    for (const QString& w : words.simplified().split(u' ', Qt::SkipEmptyParts)) {
        bool found = false;
        for (const QString& t : texts) found = found || t.contains(w, Qt::CaseInsensitive);
        if (!found) return false;
    }
    return true;
}

}  // namespace

QString shownPlace(const QString& place) {
    return place.size() == 16 || place.size() == 10 ? shortNumberOf(place) : place;
}

QList<MarkRow> markRows(UserData& data, const MarkFilter& filter) {
    QList<MarkRow> rows;
    QSet<QString> laws;
    for (const Marker& m : data.markers(filter.law)) laws.insert(m.law.toUpper());
    QList<Marker> markers;
    for (const QString& law : laws) markers += refreshMarkers(data, law);
    std::stable_sort(markers.begin(), markers.end(), [](const Marker& a, const Marker& b) {
        const bool lostA = a.state == QStringLiteral("lost"),
                   lostB = b.state == QStringLiteral("lost");
        return lostA != lostB ? lostA : a.id < b.id;
    });
    for (const Marker& m : markers) {
        if (filter.colour >= 0 && m.colour != filter.colour) continue;
        if (!filter.state.isEmpty() && m.state != filter.state) continue;
        if (!hasWords(filter.words, {m.text, m.note})) continue;
        rows << MarkRow{m.id,     false,   m.law,  m.place, shownPlace(m.place),
                        m.colour, m.state, m.text, m.note};
    }
    if (filter.colour >= 0 || !filter.state.isEmpty()) return rows;
    for (const Bookmark& b : data.bookmarks(filter.law)) {
        if (!hasWords(filter.words, {b.title})) continue;
        rows << MarkRow{b.id, true, b.law, b.place, shownPlace(b.place), -1, {}, b.title, {}};
    }
    return rows;
}

std::pair<QString, QString> rowNode(const MarkRow& row) {
    const QString law = row.law.toUpper();
    if (row.place.size() == 16 || row.place.size() == 10) return {law, row.place};
    const LookupTarget t = resolveLookup(row.place);  // a part, as typed
    return {law, t.error.isEmpty() ? t.code : QString()};
}

}  // namespace viewer

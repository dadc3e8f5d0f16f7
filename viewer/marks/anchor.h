#pragma once
// Markers found again after an amendment: a marker keeps its paragraph's place, its offsets,
// the marked text and a little of the text on each side. When the text at its place is no
// longer the marked text, the same text is looked for in its paragraph, then its article,
// then the whole law, and taken where its surroundings match best (moved); text changed or
// removed leaves the marker where it was, kept with its text (lost). It is never put on other
// words: only the same text is taken; of several alike, none whose surroundings say nothing;
// outside its paragraph, only where at least half its surroundings are the same.
#include "viewer/marks/userdata.h"

#include <QList>
#include <QString>

namespace viewer {

// Characters of context kept on each side of a marked run.
inline constexpr int kMarkContext = 12;

// A paragraph as markers know it: its place (条項コード, or a part's article as typed:
// MP附則(H29-44)2) and its text as stored (CR LF kept).
struct MarkedParagraph {
    QString place, text;
};

// The paragraphs of a law's main provision in code order (no heading records), then the
// articles and paragraphs of its parts.
QList<MarkedParagraph> markableParagraphs(const QString& lawCode);

// The place a tree node's key stands for, as markers and bookmarks keep it: a 本則 key as it
// is (an article's or a paragraph's code), a part's article as typed (MPP00051-002 →
// MP附則(H29-44)2, a part MPP00003 → MP別表1), so that it outlives the next import's order.
QString stablePlace(const QString& lawCode, const QString& key);

// A marker of the run `start`, `length` (code points) of a paragraph's text, its text and
// context filled in; Error for a run that is empty or outside the text.
Marker markRun(const QString& law, const MarkedParagraph& paragraph, int start, int length);

// The marker where it is in the law now: unchanged where its text still stands, moved (place,
// start and context updated) or lost (place and start kept).
Marker relocate(const Marker& marker, const QList<MarkedParagraph>& law);

// Every marker of the law found again in its current text; what changed is saved.
QList<Marker> refreshMarkers(UserData& data, const QString& law);

}  // namespace viewer

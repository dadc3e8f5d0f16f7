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

#include <optional>

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

// A paragraph as a pane shows it: where its text (line breaks as \n) starts in the pane's.
struct ShownParagraph {
    QString place, text;  // text as stored (CR LF)
    qsizetype at = -1;
};
// Each paragraph looked for in the pane's text after the one before it; one not there is left
// out.
QList<ShownParagraph> locateShown(const QList<MarkedParagraph>& paragraphs, const QString& shown);

// A marker's run in a pane's text (UTF-16 positions, a line break counting one).
struct MarkSpan {
    qint64 id = 0;
    int start = 0, length = 0;
    int colour = 1;
    QString note;
};
// The runs of the markers that stand in the paragraphs shown (lost ones are not drawn).
QList<MarkSpan> markerSpans(const QList<Marker>& markers, const QList<ShownParagraph>& shown);

// The runs of the law's markers (found again in its text, what changed saved) in a text that
// shows some of its paragraphs (line breaks as \n): a print's, the whole law's.
QList<MarkSpan> marksInText(UserData& data, const QString& law, const QString& shown);

// The marker a selection of the pane's text `pane` makes: none unless it lies within one
// paragraph still shown there.
std::optional<Marker> markSelection(const QString& law, const QList<ShownParagraph>& shown,
                                    const QString& pane, int selStart, int selEnd);

}  // namespace viewer

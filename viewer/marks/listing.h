#pragma once
// The 一覧 of the reader's own: every marker and bookmark, found again in the laws as they are
// now, narrowed by law, colour, state and words of the text or note.
#include "viewer/marks/userdata.h"

#include <QList>
#include <QString>

namespace viewer {

struct MarkFilter {
    QString law;      // a code; empty for every law
    int colour = -1;  // 0-6; -1 every colour (and the bookmarks)
    QString state;    // ok, moved, lost; empty for every state
    QString words;    // in the marked text, the note or the bookmark's title
};

// One line of the 一覧: a marker (colour 0-6) or a bookmark (colour -1).
struct MarkRow {
    qint64 id = 0;
    bool bookmark = false;
    QString law, place, shownPlace;  // shownPlace: MP415:1, MP附則(H29-44)7
    int colour = -1;
    QString state, text, note;
};

// How a reader reads a place: a main-provision code as its short number (MP415:1), a part's
// article as it is typed (MP附則(H29-44)7).
QString shownPlace(const QString& place);

// The rows the filter lets through: markers first (lost ones first of them, to be looked at),
// then bookmarks; each marker found again in its law's text first.
QList<MarkRow> markRows(UserData& data, const MarkFilter& filter);

// The law a row's place is in and the node that shows it (a paragraph's code, an article's,
// a part's key); empty when the law no longer has it.
std::pair<QString, QString> rowNode(const MarkRow& row);

}  // namespace viewer

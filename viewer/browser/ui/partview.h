#pragma once
// A part of a law (a 別表, a 附則 with its tables) drawn as the website draws it: its text,
// its tables with their lines and spans, its figures where their pictures are at hand.
#include "exchange/lawparts.h"

#include <QFont>
#include <QString>

class QTextDocument;

namespace viewer {

// Replaces the document with `head` (the node's context, CR LF lines) and the part's blocks.
// A figure is looked for in `figureFolder` by its file name; one not there is named.
void drawPart(QTextDocument& doc, const QString& head, const QList<exchange::PartBlock>& blocks,
              const QString& figureFolder);

// Whether a part needs more than plain text (a table or a figure).
bool needsDrawing(const QList<exchange::PartBlock>& blocks);

}  // namespace viewer

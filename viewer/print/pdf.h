#pragma once
// A law's text on paper or in a PDF: its title at the top of the first page, its headings in
// bold, the page numbers at the foot, in the reading font. Qt Gui only (no widgets), so that
// lexctl writes the same PDF the browser does.
#include "viewer/marks/anchor.h"

#include <QColor>
#include <QList>
#include <QString>

#include <functional>

class QPagedPaintDevice;

namespace viewer {

// The six marker colours (1-6), light enough to read through; 0 underlines in red. The panes
// and the printed page draw the same.
QColor markerColour(int colour);

// Lays `text` (CR LF lines as the pane shows them) out under `title` onto the pages of
// `device` (a printer, a PDF writer). `marks` are the reader's markers in that text (positions
// with a line break counting one): drawn in their colours, a note in brackets after its run.
void printLawText(QPagedPaintDevice& device, const QString& title, const QString& text,
                  const QList<MarkSpan>& marks = {});

// A PDF file of A4 pages (landscape when `wide`) drawn by `draw`, replacing an earlier file;
// Error when the file cannot be written.
void writePdf(const QString& path, const QString& title, bool wide,
              const std::function<void(QPagedPaintDevice&)>& draw);

// The same into a PDF file; Error when the file cannot be written.
void writeLawPdf(const QString& path, const QString& title, const QString& text,
                 const QList<MarkSpan>& marks = {});

}  // namespace viewer

#pragma once
// A law's text on paper or in a PDF: its title at the top of the first page, its headings in
// bold, the page numbers at the foot, in the reading font. Qt Gui only (no widgets), so that
// lexctl writes the same PDF the browser does.
#include <QString>

class QPagedPaintDevice;

namespace viewer {

// Lays `text` (CR LF lines as the pane shows them) out under `title` onto the pages of
// `device` (a printer, a PDF writer).
void printLawText(QPagedPaintDevice& device, const QString& title, const QString& text);

// The same into a PDF file; Error when the file cannot be written.
void writeLawPdf(const QString& path, const QString& title, const QString& text);

}  // namespace viewer

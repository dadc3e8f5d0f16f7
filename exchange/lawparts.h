#pragma once
// The parts of a law XML's body besides its main provision (前文, 附則, 別表 and the rest):
// each element kept whole, with the label the tree shows and the text the browser shows.
#include "store/lawdb.h"

#include <QByteArray>
#include <QString>

namespace exchange {

// The kind of part an element of the law body is (前文 for Preamble, 附則 for
// SupplProvision, …), or empty for an element that is no kept part.
QString partKind(const QString& tag);

// A part read from its element's bytes: its kind, label (附則（平成二九年六月二日法律第四四号）抄,
// 別表第一（第三条関係）), text and the element itself. `number` counts it within its kind.
// A fragment that is no well-formed element gives the text that could be read.
store::LawPart readLawPart(const QString& tag, const QByteArray& element, int number);

// The part's articles or paragraphs (those directly in it), each as the browser shows it:
// what a 附則's node holds. Empty for a part without them (a table, a figure).
QStringList partEntries(const store::LawPart& part);
// What each of partEntries is, in its order: an article or a bare paragraph, its Num as the
// XML writes it ("3_2", "2"), and the line (of the entry's text) each of its paragraphs
// begins on.
struct PartEntry {
    bool article = false;
    QString num;
    QList<int> paragraphLines;
};
QList<PartEntry> partEntryInfo(const store::LawPart& part);
// Both at once, the part read once: what each entry is, with its text.
QList<std::pair<PartEntry, QString>> partEntriesWithInfo(const store::LawPart& part);

// The number its title gives a part, as a short number writes it: "1" for 別表第一, "1-2" for
// 別表第一の二; empty for a title without one (別表, 附則).
QString partTitleNumber(const store::LawPart& part);

// The file names of the figures in the parts (Fig src, as the XML writes them), once each.
QStringList partFigures(const QList<store::LawPart>& parts);
// Where a figure's picture is kept in the law's figure folder: its name cleaned
// (./pict/a.png → pict/a.png); empty for a name that would lead out of the folder.
QString figureKeptAs(const QString& src);

// A cell of a part's table, placed on the table's grid (spans kept), with which of its
// sides are drawn (the XML's Border… "none" leaves one out).
struct PartCell {
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
    QString text;  // lines of the cell joined by LF
    bool top = true, bottom = true, left = true, right = true;
    bool operator==(const PartCell&) const = default;
};

// A piece of a part as the browser draws it: lines of text, a table (rows > 0) or a
// figure (its file name as the XML gives it).
struct PartBlock {
    QStringList lines;
    int rows = 0, columns = 0;
    QList<PartCell> cells;
    QString figure;
};

// The part as text, tables and figures in the document's order. The text of its lines is
// the part's text but for the rows of the tables and the figures' lines.
QList<PartBlock> partLayout(const store::LawPart& part);

}  // namespace exchange

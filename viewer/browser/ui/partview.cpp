#include "viewer/browser/ui/partview.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

namespace viewer {

namespace {

constexpr int kWidestFigure = 640;  // pixels; a larger picture is scaled down to it

void drawTable(QTextCursor& c, const exchange::PartBlock& b) {
    QTextTableFormat f;
    f.setBorder(1);
    f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    f.setBorderCollapse(true);
    f.setCellSpacing(0);
    f.setCellPadding(4);
    f.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QTextTable* table = c.insertTable(b.rows, std::max(1, b.columns), f);
    for (const exchange::PartCell& cell : b.cells) {
        if (cell.rowSpan > 1 || cell.columnSpan > 1)
            table->mergeCells(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
        QTextTableCell at = table->cellAt(cell.row, cell.column);
        QTextTableCellFormat cf = at.format().toTableCellFormat();
        auto side = [](bool drawn) {
            return drawn ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None;
        };
        cf.setTopBorderStyle(side(cell.top));
        cf.setBottomBorderStyle(side(cell.bottom));
        cf.setLeftBorderStyle(side(cell.left));
        cf.setRightBorderStyle(side(cell.right));
        at.setFormat(cf);
        QTextCursor in = at.firstCursorPosition();
        in.insertText(cell.text);
    }
    c.movePosition(QTextCursor::End);
}

void drawFigure(QTextCursor& c, QTextDocument& doc, const QString& src, const QString& folder) {
    const QString kept = exchange::figureKeptAs(src);
    const QString path = kept.isEmpty() ? QString() : QDir(folder).filePath(kept);
    QImage image;
    if (!folder.isEmpty() && !path.isEmpty() && QFileInfo(path).isFile() && image.load(path)) {
        if (image.width() > kWidestFigure) image = image.scaledToWidth(kWidestFigure);
        const QUrl name(QStringLiteral("figure:") + kept);
        doc.addResource(QTextDocument::ImageResource, name, image);
        QTextImageFormat f;
        f.setName(name.toString());
        f.setWidth(image.width());
        f.setHeight(image.height());
        c.insertImage(f);
    } else {
        c.insertText(QStringLiteral("［図 %1］").arg(src));
    }
}

}  // namespace

bool needsDrawing(const QList<exchange::PartBlock>& blocks) {
    for (const exchange::PartBlock& b : blocks)
        if (b.rows > 0 || !b.figure.isEmpty()) return true;
    return false;
}

void drawPart(QTextDocument& doc, const QString& head, const QList<exchange::PartBlock>& blocks,
              const QString& figureFolder) {
    doc.clear();
    QTextCursor c(&doc);
    QStringList lines =
        QString(head).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(u'\n');
    bool first = true;
    auto newBlock = [&] {
        if (!first) c.insertBlock();
        first = false;
    };
    for (const QString& line : lines) {
        newBlock();
        c.insertText(line);
    }
    newBlock();  // a blank line between the context and the part
    for (const exchange::PartBlock& b : blocks) {
        if (b.rows > 0) {
            newBlock();
            drawTable(c, b);
        } else if (!b.figure.isEmpty()) {
            newBlock();
            drawFigure(c, doc, b.figure, figureFolder);
        } else {
            for (const QString& line : b.lines) {
                newBlock();
                c.insertText(line);
            }
        }
    }
}

}  // namespace viewer

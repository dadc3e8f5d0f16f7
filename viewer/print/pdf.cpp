#include "viewer/print/pdf.h"

#include "platform/error.h"

#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace viewer {

namespace {

// A heading line of the law's text: 第N編 … 目, an article's number or its caption.
bool isHeading(const QString& line) {
    static const QRegularExpression heading(QStringLiteral(
        "^(第[0-9０-９〇一二三四五六七八九十百千]+(編|章|節|款|目|条)|【.*】$|（.*）$)"));
    return heading.match(line).hasMatch();
}

}  // namespace

QColor markerColour(int colour) {
    static const QColor colours[] = {
        QColor(220, 30, 30),   QColor(255, 236, 110), QColor(255, 190, 215), QColor(185, 235, 165),
        QColor(175, 210, 255), QColor(255, 205, 140), QColor(215, 195, 255)};
    return colours[std::clamp(colour, 0, 6)];
}

void printLawText(QPagedPaintDevice& device, const QString& title, const QString& text,
                  const QList<MarkSpan>& marks) {
    QTextDocument doc;
    QFont font(QStringLiteral("IPAMincho"));
    font.setPointSizeF(10.5);
    doc.setDefaultFont(font);
    QTextCursor c(&doc);
    QTextCharFormat titleFormat;
    titleFormat.setFontPointSize(14);
    titleFormat.setFontWeight(QFont::Bold);
    QTextBlockFormat spaced;
    spaced.setBottomMargin(8);
    c.setBlockFormat(spaced);
    c.insertText(title, titleFormat);
    QTextCharFormat plain, bold;
    bold.setFontWeight(QFont::Bold);
    for (const QString& line :
         QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(u'\n')) {
        c.insertBlock(QTextBlockFormat());
        c.insertText(line, isHeading(line) ? bold : plain);
    }
    // The markers after the text is in: the text starts after the title's block. From the
    // last to the first, so that a note put in leaves the runs before it where they are.
    const int offset = int(title.size()) + 1;
    const int end = doc.characterCount() - 1;
    QList<MarkSpan> sorted = marks;
    std::sort(sorted.begin(), sorted.end(),
              [](const MarkSpan& a, const MarkSpan& b) { return a.start > b.start; });
    QTextCharFormat noteFormat;
    noteFormat.setForeground(QColor(90, 90, 90));
    noteFormat.setFontPointSize(8.5);
    for (const MarkSpan& m : sorted) {
        const int from = offset + m.start, to = from + m.length;
        if (m.start < 0 || m.length <= 0 || to > end) continue;
        QTextCursor run(&doc);
        run.setPosition(from);
        run.setPosition(to, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        if (m.colour == 0) {
            f.setFontUnderline(true);
            f.setUnderlineColor(markerColour(0));
        } else {
            f.setBackground(markerColour(m.colour));
        }
        run.mergeCharFormat(f);
        if (!m.note.isEmpty()) {
            QTextCursor after(&doc);
            after.setPosition(to);
            after.insertText(QStringLiteral("〔メモ：%1〕").arg(m.note), noteFormat);
        }
    }
    // Laid out on the device's pages, numbered at their foot.
    doc.print(&device);
}

void writePdf(const QString& path, const QString& title, bool wide,
              const std::function<void(QPagedPaintDevice&)>& draw) {
    // An earlier file goes first, so that what is there afterwards is this one.
    if (QFile::exists(path) && !QFile::remove(path))
        throw platform::Error(QStringLiteral("%1 を置き換えられません。").arg(path));
    {
        QPdfWriter pdf(path);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Lexora"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        if (wide) pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        draw(pdf);
    }
    if (!QFile::exists(path) || QFile(path).size() == 0)
        throw platform::Error(QStringLiteral("%1 に PDF を書けません。").arg(path));
}

void writeLawPdf(const QString& path, const QString& title, const QString& text,
                 const QList<MarkSpan>& marks) {
    writePdf(path, title, false,
             [&](QPagedPaintDevice& pdf) { printLawText(pdf, title, text, marks); });
}

}  // namespace viewer

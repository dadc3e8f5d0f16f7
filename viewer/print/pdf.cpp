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

namespace viewer {

namespace {

// A heading line of the law's text: 第N編 … 目, an article's number or its caption.
bool isHeading(const QString& line) {
    static const QRegularExpression heading(QStringLiteral(
        "^(第[0-9０-９〇一二三四五六七八九十百千]+(編|章|節|款|目|条)|【.*】$|（.*）$)"));
    return heading.match(line).hasMatch();
}

}  // namespace

void printLawText(QPagedPaintDevice& device, const QString& title, const QString& text) {
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
    // Laid out on the device's pages, numbered at their foot.
    doc.print(&device);
}

void writeLawPdf(const QString& path, const QString& title, const QString& text) {
    // An earlier file goes first, so that what is there afterwards is this one.
    if (QFile::exists(path) && !QFile::remove(path))
        throw platform::Error(QStringLiteral("%1 を置き換えられません。").arg(path));
    QPdfWriter pdf(path);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Lexora"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    printLawText(pdf, title, text);
    if (!QFile::exists(path) || QFile(path).size() == 0)
        throw platform::Error(QStringLiteral("%1 に PDF を書けません。").arg(path));
}

}  // namespace viewer

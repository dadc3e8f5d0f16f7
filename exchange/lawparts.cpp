#include "exchange/lawparts.h"

#include "platform/error.h"
#include "store/codes.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>
#include <optional>

namespace exchange {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

const QHash<QString, QString>& kinds() {
    static const QHash<QString, QString> k{
        {QStringLiteral("Preamble"), QStringLiteral("前文")},
        {QStringLiteral("SupplProvision"), QStringLiteral("附則")},
        {QStringLiteral("AppdxTable"), QStringLiteral("別表")},
        {QStringLiteral("AppdxNote"), QStringLiteral("別記")},
        {QStringLiteral("AppdxStyle"), QStringLiteral("様式")},
        {QStringLiteral("AppdxFormat"), QStringLiteral("書式")},
        {QStringLiteral("AppdxFig"), QStringLiteral("別図")},
        {QStringLiteral("Appdx"), QStringLiteral("付録")}};
    return k;
}

// Subitem1, Subitem2Title …: "Subitem", digits, then `rest` (asked of every element).
bool isSubitem(QStringView name, QStringView rest) {
    if (name.size() <= 7 + rest.size() || !name.startsWith(u"Subitem") || !name.endsWith(rest))
        return false;
    const QStringView digits = name.sliced(7, name.size() - 7 - rest.size());
    if (digits.isEmpty()) return false;
    for (const QChar c : digits)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// Labels of a list entry: the text after them goes on their line, after a blank.
bool isEntryLabel(QStringView name) {
    return name == u"ArticleTitle" || name == u"ItemTitle" || name == u"ParagraphNum" ||
           isSubitem(name, u"Title");
}

// Elements that begin a line of their own. The labels of list entries (but an article's
// title) and the related-article note go on the line they are on.
bool startsLine(QStringView name) {
    if (isSubitem(name, {})) return true;
    if (name == u"RelatedArticleNum" || (isEntryLabel(name) && name != u"ArticleTitle"))
        return false;
    return name == u"Article" || name == u"Item" || name == u"TableRow" ||
           name == u"TableHeaderRow" || name == u"ArticleCaption" ||
           name == u"SupplProvisionLabel" || name == u"RemarksLabel" || name == u"Remarks" ||
           name == u"ArithFormulaNum" || name == u"FigStruct" || name.endsWith(u"Title");
}

// The title elements that name a part (別表第一, 様式第一, …).
bool isPartTitle(QStringView name) {
    return name == u"ArithFormulaNum" || (name.startsWith(u"Appdx") && name.endsWith(u"Title")) ||
           (name.startsWith(u"SupplProvisionAppdx") && name.endsWith(u"Title"));
}

}  // namespace

QString partKind(const QString& tag) {
    return kinds().value(tag);
}

namespace {

bool isRow(QStringView name) {
    return name == u"TableRow" || name == u"TableHeaderRow";
}
bool isCell(QStringView name) {
    return name == u"TableColumn" || name == u"TableHeaderColumn";
}

// A span attribute as a count from 1; a table of the XML never spans more than this.
int span(const QXmlStreamAttributes& a, const QString& name) {
    constexpr int kMostSpan = 64;
    return std::clamp(a.value(name).toInt(), 1, kMostSpan);
}

// A table being read: its cells placed on a grid as HTML places them (a cell takes the
// first column its row has free, below the cells spanning rows above).
struct TableDraft {
    int firstLine = 0, lastLine = 0;  // the lines its rows took in the part's text
    int depth = 0;                    // of its Table element
    int rows = 0, columns = 0;
    int cellDepth = 0;  // of the cell being read, or 0
    QList<PartCell> cells;
    QSet<std::pair<int, int>> taken;
    QHash<int, int> nextColumn;  // of each row: where its next cell is looked for
    // No law's table comes near these; one past them is read as lines of text.
    static constexpr int kMostColumns = 256;
    static constexpr qsizetype kMostPlaces = 65536;
    bool tooBig = false;

    void addRow() { ++rows; }
    void addCell(const QXmlStreamAttributes& a, int depth) {
        if (rows == 0) addRow();
        PartCell c;
        c.row = rows - 1;
        c.rowSpan = span(a, QStringLiteral("rowspan"));
        c.columnSpan = span(a, QStringLiteral("colspan"));
        c.top = a.value(QStringLiteral("BorderTop")) != u"none";
        c.bottom = a.value(QStringLiteral("BorderBottom")) != u"none";
        c.left = a.value(QStringLiteral("BorderLeft")) != u"none";
        c.right = a.value(QStringLiteral("BorderRight")) != u"none";
        if (!tooBig) {
            int& next = nextColumn[c.row];
            c.column = next;
            while (taken.contains({c.row, c.column})) ++c.column;
            next = c.column + c.columnSpan;
            tooBig = next > kMostColumns ||
                     taken.size() + qsizetype(c.rowSpan) * c.columnSpan > kMostPlaces;
        }
        if (!tooBig) {
            for (int r = c.row; r < c.row + c.rowSpan; ++r)
                for (int k = c.column; k < c.column + c.columnSpan; ++k) taken.insert({r, k});
            columns = std::max(columns, c.column + c.columnSpan);
        }
        cells << c;  // its text is read either way
        cellDepth = depth;
    }
    // A span past the last row ends at it.
    void finish() {
        for (PartCell& c : cells) c.rowSpan = std::min(c.rowSpan, rows - c.row);
    }
};

// A part's element drawn as lines, with where each of its articles or bare paragraphs begins.
struct Drawn {
    QStringList lines;
    QList<int> entries;          // the first line of each article or paragraph directly in the part
    QList<PartEntry> entryInfo;  // what each is
    QList<TableDraft> tables;    // the outermost tables, in order
    QString title, related, amendLawNum;
    bool extract = false;
};

Drawn draw(const QByteArray& element) {
    Drawn d;
    QXmlStreamReader r(element);
    QStringList lines;
    QString line;
    auto flush = [&] {
        if (!line.trimmed().isEmpty()) lines << line;
        line.clear();
    };
    int depth = 0, rt = 0;
    int paragraphsInArticle = -1;  // -1 outside an article
    QList<qsizetype> labelStarts;  // where the text of each open entry label began
    int column = 0;                // cells of the table row so far
    QString title, related;        // the part's own title and its note (（第三条関係）)
    int titleDepth = 0;            // > 0 while inside the part's own title
    int relatedDepth = 0;
    std::optional<TableDraft> table;  // the outermost table being read
    auto cellText = [&]() -> QString* {
        return table && table->cellDepth ? &table->cells.last().text : nullptr;
    };
    while (!r.atEnd()) {
        const QXmlStreamReader::TokenType t = r.readNext();
        if (t == QXmlStreamReader::StartElement) {
            ++depth;
            const QStringView name = r.name();
            if (depth == 1) {
                d.amendLawNum = r.attributes().value(QStringLiteral("AmendLawNum")).toString();
                d.extract =
                    r.attributes().value(QStringLiteral("Extract")) == QStringLiteral("true");
            }
            if (depth == 2 && title.isEmpty() && isPartTitle(name)) titleDepth = depth;
            if (depth == 2 && name == u"RelatedArticleNum") relatedDepth = depth;
            if (name == u"Rt") ++rt;
            if (depth == 2 && (name == u"Article" || name == u"Paragraph")) {
                flush();
                d.entries << int(lines.size());
                d.entryInfo.append({name == u"Article",
                                    r.attributes().value(QStringLiteral("Num")).toString(),
                                    {}});
            }
            if (name == u"Article") paragraphsInArticle = 0;
            if (name == u"Paragraph") {
                // The first paragraph of an article follows its title on one line.
                if (paragraphsInArticle < 0 || paragraphsInArticle++ > 0) flush();
                if (depth <= 3 && !d.entryInfo.isEmpty())
                    d.entryInfo.last().paragraphLines << int(lines.size()) - d.entries.last();
            } else if (startsLine(name)) {
                flush();
            }
            if (isEntryLabel(name)) labelStarts << line.size();
            if (name == u"Table" && !table) {
                flush();
                table.emplace();
                table->firstLine = int(lines.size());
                table->depth = depth;
            }
            if (QString* cell = cellText(); cell && !cell->isEmpty() && startsLine(name))
                *cell += u'\n';
            if (isRow(name)) column = 0;
            if (isCell(name) && column++ > 0) line += u'\t';
            if (table && !table->cellDepth) {
                if (isRow(name)) table->addRow();
                if (isCell(name)) table->addCell(r.attributes(), depth);
            }
            if (name == u"Column" && !line.isEmpty() && !line.endsWith(u'\t') &&
                !line.endsWith(QChar(0x3000))) {
                line += QChar(0x3000);
                if (QString* cell = cellText(); cell && !cell->isEmpty()) *cell += QChar(0x3000);
            }
            if (name == u"Fig") {
                const QString fig =
                    QStringLiteral("［図 %1］")
                        .arg(r.attributes().value(QStringLiteral("src")).toString());
                QString* cell = cellText();
                if (!cell) flush();  // a figure stands on a line of its own
                line += fig;
                if (cell) *cell += fig;
            }
        } else if (t == QXmlStreamReader::EndElement) {
            const QStringView name = r.name();
            if (name == u"Rt") --rt;
            if (name == u"Article") {
                flush();
                paragraphsInArticle = -1;
            }
            if (name == u"RemarksLabel") flush();  // 備考 stands on a line of its own
            if (name == u"Fig" && !cellText()) flush();
            if (isEntryLabel(name) && !labelStarts.isEmpty() &&
                line.size() > labelStarts.takeLast())
                line += QChar(0x3000);
            if (depth == titleDepth) titleDepth = 0;
            if (depth == relatedDepth) relatedDepth = 0;
            if (table && depth == table->cellDepth) table->cellDepth = 0;
            if (table && depth == table->depth) {
                flush();
                table->lastLine = int(lines.size());
                table->finish();
                d.tables << *table;
                table.reset();
            }
            --depth;
        } else if (t == QXmlStreamReader::Characters && rt == 0 && !r.isWhitespace()) {
            const QString text = r.text().toString().trimmed();
            line += text;
            if (QString* cell = cellText()) *cell += text;
            if (titleDepth) title += text;
            if (relatedDepth) related += text;
        }
    }
    flush();
    d.lines = lines;
    d.title = title;
    d.related = related;
    return d;
}

}  // namespace

store::LawPart readLawPart(const QString& tag, const QByteArray& element, int number) {
    store::LawPart part;
    part.kind = partKind(tag);
    part.number = number;
    part.xml = QString::fromUtf8(element);
    Drawn d = draw(element);
    part.text = d.lines.join(kCrLf);
    part.amendLawNum = d.amendLawNum;
    part.extract = d.extract;
    QString& title = d.title;
    const QString& related = d.related;
    if (part.kind == QStringLiteral("附則")) {
        part.label = part.amendLawNum.isEmpty()
                         ? QStringLiteral("附則")
                         : QStringLiteral("附則（%1）").arg(part.amendLawNum.trimmed());
        if (part.extract) part.label += QStringLiteral("抄");
    } else if (!title.isEmpty()) {
        part.label = title.remove(QChar(0x3000)).remove(u' ') + related;
    } else {
        part.label = part.kind + (number > 1 ? QString::number(number) : QString()) + related;
    }
    return part;
}

QStringList partEntries(const store::LawPart& part) {
    const Drawn d = draw(part.xml.toUtf8());
    QStringList out;
    for (int i = 0; i < d.entries.size(); ++i) {
        const int end = i + 1 < d.entries.size() ? d.entries[i + 1] : int(d.lines.size());
        const QStringList lines = d.lines.mid(d.entries[i], end - d.entries[i]);
        if (!lines.isEmpty()) out << lines.join(kCrLf);
    }
    return out;
}

QList<PartEntry> partEntryInfo(const store::LawPart& part) {
    const Drawn d = draw(part.xml.toUtf8());
    QList<PartEntry> out;
    for (int i = 0; i < d.entries.size(); ++i) {
        const int end = i + 1 < d.entries.size() ? d.entries[i + 1] : int(d.lines.size());
        if (end > d.entries[i]) out << d.entryInfo[i];  // as partEntries keeps them
    }
    return out;
}

QList<std::pair<PartEntry, QString>> partEntriesWithInfo(const store::LawPart& part) {
    const Drawn d = draw(part.xml.toUtf8());
    QList<std::pair<PartEntry, QString>> out;
    for (int i = 0; i < d.entries.size(); ++i) {
        const int end = i + 1 < d.entries.size() ? d.entries[i + 1] : int(d.lines.size());
        if (end > d.entries[i])
            out.append({d.entryInfo[i], d.lines.mid(d.entries[i], end - d.entries[i]).join(kCrLf)});
    }
    return out;
}

QString partTitleNumber(const store::LawPart& part) {
    static const QRegularExpression number(
        QStringLiteral("^第([〇一二三四五六七八九十百千0-9０-９]+)((?:の["
                       "〇一二三四五六七八九十百千0-9０-９]+)*)"));
    const auto m = number.match(QStringView(part.label).mid(part.kind.size()));
    if (!part.label.startsWith(part.kind) || !m.hasMatch()) return {};
    auto value = [](const QString& n) {
        bool ok = false;
        const int v = n.toInt(&ok);
        if (ok) return v;
        try {
            return store::KanjiNumberValue(n);
        } catch (const platform::Error&) {
            return 0;
        }
    };
    QString out = QString::number(value(m.captured(1)));
    for (const QString& b : m.captured(2).split(u'の', Qt::SkipEmptyParts))
        out += u'-' + QString::number(value(b));
    return out;
}

QString figureKeptAs(const QString& src) {
    const QString path = QDir::cleanPath(src);
    if (src.isEmpty() || QDir::isAbsolutePath(path) || path == QStringLiteral(".") ||
        path == QStringLiteral("..") || path.startsWith(QStringLiteral("../")) ||
        path.contains(u'\\') || path.contains(u':'))
        return {};
    return path;
}

QStringList partFigures(const QList<store::LawPart>& parts) {
    QStringList out;
    for (const store::LawPart& part : parts) {
        QXmlStreamReader r(part.xml);
        while (!r.atEnd())
            if (r.readNext() == QXmlStreamReader::StartElement && r.name() == u"Fig")
                if (const QString src = r.attributes().value(QStringLiteral("src")).toString();
                    !src.isEmpty() && !out.contains(src))
                    out << src;
    }
    return out;
}

QList<PartBlock> partLayout(const store::LawPart& part) {
    const Drawn d = draw(part.xml.toUtf8());
    static const QRegularExpression figure(QStringLiteral("^［図 ([^］]*)］$"));
    QList<PartBlock> out;
    auto text = [&](const QString& line) {
        if (out.isEmpty() || out.last().rows > 0 || !out.last().figure.isEmpty())
            out.append(PartBlock{});
        out.last().lines << line;
    };
    int next = 0;  // the next table
    for (int i = 0; i < d.lines.size();) {
        // Past the tables behind, and those that are no grid (no line, no cell, too big):
        // what lines they have stay text.
        auto noGrid = [](const TableDraft& t) {
            return t.lastLine <= t.firstLine || t.cells.isEmpty() || t.tooBig;
        };
        while (next < d.tables.size() && (d.tables[next].firstLine < i || noGrid(d.tables[next])))
            ++next;
        if (next < d.tables.size() && d.tables[next].firstLine == i) {
            const TableDraft& t = d.tables[next++];
            PartBlock b;
            b.rows = t.rows;
            b.columns = t.columns;
            b.cells = t.cells;
            out << b;
            i = t.lastLine;
            continue;
        }
        if (const auto m = figure.match(d.lines[i]); m.hasMatch()) {
            PartBlock b;
            b.figure = m.captured(1);
            out << b;
        } else {
            text(d.lines[i]);
        }
        ++i;
    }
    return out;
}

}  // namespace exchange

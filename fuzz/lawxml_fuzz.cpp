// The law XML conversion on any bytes: it either refuses with one message or gives a text
// that starts with its header, ends with a line break, and encodes in CP932; every
// table-of-contents row has its six fields and a 16-character code of the law; every part's
// tables lay out on their grid.
#include "exchange/lawparts.h"
#include "exchange/lawxml.h"
#include "fuzz/fuzzsupport.h"
#include "platform/textfile.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::environment();
    exchange::LawXml law;
    try {
        law = exchange::convertLawXml(
            QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), QStringLiteral("FZ"));
    } catch (const exchange::LawXmlError&) {
        return 0;
    }
    fuzz::check(law.text.startsWith(QStringLiteral("法典コード=FZ\r\n法典名称=")), "header first");
    fuzz::check(law.text.endsWith(QStringLiteral("\r\n")), "ends with a line break");
    try {
        (void)platform::encodeCp932(law.text + exchange::idxText({law}) + exchange::htText({law}));
    } catch (const platform::Error&) {
        fuzz::check(false, "everything written encodes in CP932");
    }
    // Each part lays out on its grid: every cell inside the table, no two on one place.
    for (const store::LawPart& part : law.parts) {
        for (const exchange::PartBlock& b : exchange::partLayout(part)) {
            QSet<std::pair<int, int>> taken;
            for (const exchange::PartCell& c : b.cells) {
                fuzz::check(c.row >= 0 && c.column >= 0 && c.rowSpan >= 1 && c.columnSpan >= 1 &&
                                c.row + c.rowSpan <= b.rows && c.column + c.columnSpan <= b.columns,
                            "a cell inside its table");
                for (int r = c.row; r < c.row + c.rowSpan; ++r)
                    for (int k = c.column; k < c.column + c.columnSpan; ++k)
                        fuzz::check(!taken.contains({r, k}), "one cell a place");
                for (int r = c.row; r < c.row + c.rowSpan; ++r)
                    for (int k = c.column; k < c.column + c.columnSpan; ++k) taken.insert({r, k});
            }
        }
        fuzz::check(exchange::partEntryInfo(part).size() == exchange::partEntries(part).size(),
                    "what each entry is, for each entry");
    }
    (void)exchange::partFigures(law.parts);
    for (const QString& row : law.toc) {
        const QStringList f = row.split(QStringLiteral("&&"));
        fuzz::check(f.size() == 6, "six fields a row");
        fuzz::check(f[0].size() == 16 && f[0].startsWith(QStringLiteral("FZ")), "a law's code");
        for (int i = 1; i <= 4; ++i) fuzz::check(f[i].size() == 8, "8-digit article numbers");
    }
    return 0;
}

#include "viewer/tools/drill.h"

#include "store/codes.h"
#include "store/engine.h"
#include "store/lawdb.h"

namespace viewer {

namespace {
const QString kSameAsBefore = QStringLiteral("同前");
}

QStringList DrillList::entries() const {
    QStringList out;
    out.reserve(titles.size());
    for (qsizetype i = 0; i < titles.size(); ++i) out << titles[i] + u' ' + headings[i];
    return out;
}

DrillList loadDrill(const QString& law) {
    DrillList list;
    list.name = store::GetHoutenName(law);
    if (list.name.isEmpty()) return list;
    store::Database db = store::openOrCreateLawDb(list.name);
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
    QString previous;
    for (; !rs.eof(); rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("条項コード"));
        if (!code.endsWith(QStringLiteral("0001"))) continue;
        QString heading = rs.text(QStringLiteral("条文"));
        if (heading == kSameAsBefore) heading = previous;
        previous = heading;
        list.titles << store::GetJouKouText(code.left(10));
        list.headings << heading;
    }
    return list;
}

std::optional<DrillLabels> HeadingDrill::tick(int mode, const DrillList& list) {
    if (mode == 0) return OpTimer1(list);
    if (mode == 1) return OpTimer2(list);
    return std::nullopt;
}

DrillLabels HeadingDrill::OpTimer1(const DrillList& list) {
    DrillLabels l;
    l.even = n % 2 == 0;
    // An index past the lists reads as an empty text, as an empty list does.
    const QString title = list.titles.value(n), heading = list.headings.value(n);
    switch (p) {
        case 0:
            l.title = title;
            break;
        case 2:
        case 6:
            l.title = title;
            l.heading = heading;
            break;
        case 4:
            l.title = title;
            l.heading = QString();
            break;
        case 7:
            break;
        case 9:
            l.title = l.heading = QString();
            ++n;
            p = 0;
            break;
        default:  // 1, 3, 5, 8
            l.title = l.heading = QString();
            break;
    }
    advance(9, list);
    return l;
}

DrillLabels HeadingDrill::OpTimer2(const DrillList& list) {
    DrillLabels l;
    l.even = n % 2 == 0;
    switch (p) {
        case 0:
        case 1:
        case 2:
            l.title = l.heading = QString();
            break;
        case 3:
            l.title = list.titles.value(n);
            l.heading = list.headings.value(n);
            break;
        case 4:
            ++n;
            p = 0;
            break;
        default:  // a phase of the other mode: nothing until it wraps
            break;
    }
    advance(4, list);
    return l;
}

void HeadingDrill::advance(int last, const DrillList& list) {
    if (++p > last) p = 0;
    if (n >= list.titles.size()) n = 0;
}

}  // namespace viewer

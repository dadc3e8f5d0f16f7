#include "viewer/tools/expand.h"

#include "exchange/export.h"
#include "platform/vb.h"
#include "store/codes.h"
#include "store/engine.h"
#include "store/lawdb.h"
#include "viewer/browser/lawtree.h"

namespace viewer {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QChar kIdeographicSpace(0x3000);

void run(const ExpandPump& pump) {
    if (pump) pump();
}

// The records of the articles SOJ to EOJ; each ends in "000000" to "999999" of its code.
store::Recordset articleSpan(store::Database& db, const QString& law, const QString& SOJ,
                             const QString& EOJ) {
    return db.openRecordset(
        QStringLiteral("select * from 条文 where 条項コード>=? and 条項コード<=? "
                       "order by 条項コード"),
        store::RecordsetType::Snapshot,
        {law + SOJ + QStringLiteral("000000"), law + EOJ + QStringLiteral("999999")});
}

bool isHeadingRecord(const QString& code) {
    return code.endsWith(u'1');
}

QString lawName(const QString& law) {
    const QString name = store::GetHoutenName(law);
    if (name.isEmpty())
        throw ExpandError(QStringLiteral("法典コード %1 は法典の一覧にありません。").arg(law));
    return name;
}

// The promulgation statement and the preamble of law KP, under their headings.
QString constitutionBlock() {
    return kCrLf + kCrLf + QStringLiteral("（上諭）") + kCrLf + promulgationText() + kCrLf + kCrLf +
           QStringLiteral("（前文）") + kCrLf + preambleText();
}

// The parts of the law as the whole-law text has them: what goes after the title (a 前文)
// and after the main provision (the rest).
struct PartsText {
    QString before, after;
};
PartsText partsText(store::Database& db, const QString& law, ExpandMode mode) {
    PartsText out;
    for (const store::LawPart& part : store::readLawParts(db, mode == ExpandMode::Full)) {
        const bool preamble = part.kind == QStringLiteral("前文");
        if (preamble && law == QStringLiteral("KP")) continue;  // the fixed block has it
        QString& to = preamble ? out.before : out.after;
        if (mode != ExpandMode::Full) {
            to += kCrLf + part.label;
            continue;
        }
        QStringList lines = part.text.split(kCrLf);
        // 附　則 (the element's own label) gives way to the label that says which one; a
        // title that is the label is not said twice.
        if (!lines.isEmpty()) {
            const QString first = QString(lines[0]).remove(QChar(0x3000));
            if (first == part.kind || first == part.label) lines.removeFirst();
        }
        to += kCrLf + kCrLf + (preamble ? QStringLiteral("（前文）") : part.label);
        if (!lines.isEmpty()) to += kCrLf + lines.join(kCrLf);
    }
    return out;
}

}  // namespace

QString GetSpaces(const QString& label) {
    int level = 0;
    if (label.contains(u'編'))
        level = 0;
    else if (label.contains(u'章'))
        level = 1;
    else if (label.contains(u'節'))
        level = 2;
    else if (label.contains(u'款'))
        level = 3;
    else if (label.contains(u'目'))
        level = 4;
    return QString(level, kIdeographicSpace);
}

QString GetJ_FromTo(const QString& law, const QString& SOJ2, const QString& EOJ2) {
    const QString a = store::GetJouKouText(law + SOJ2);
    if (EOJ2 == SOJ2) return u'(' + a + u')';
    return u'(' + a + u'～' + store::GetJouKouText(law + EOJ2) + u')';
}

namespace {
// Walks the records of a span; `piece` appends what a record contributes.
template <class F>
QString eachInSpan(store::Database& db, const QString& law, const QString& SOJ, const QString& EOJ,
                   const ExpandPump& pump, F piece) {
    store::Recordset rs = articleSpan(db, law, SOJ, EOJ);
    QString text;
    for (; !rs.eof(); rs.moveNext()) {
        piece(text, rs.text(QStringLiteral("条項コード")), rs.text(QStringLiteral("条文")));
        run(pump);
    }
    return text;
}
}  // namespace

namespace {
// A caption in brackets between `before` and `after`; nothing for a law without captions.
QString bracketed(const QString& caption, const QString& before, const QString& after) {
    if (platform::trimBlanks(caption).remove(kIdeographicSpace).isEmpty()) return {};
    return before + u'【' + caption + u'】' + after;
}
}  // namespace

QString getExpandTextEach(store::Database& db, const QString& law, const QString& SOJ,
                          const QString& EOJ, const ExpandPump& pump) {
    return eachInSpan(db, law, SOJ, EOJ, pump,
                      [](QString& text, const QString& code, const QString& body) {
                          if (isHeadingRecord(code))
                              text += kCrLf + kCrLf + bracketed(body, QString(), kCrLf) +
                                      store::GetJouKouText(code.left(10));
                          else
                              text += kCrLf + store::GetJouKouText(code) + body;
                      });
}

QString getExpandMidEach(store::Database& db, const QString& law, const QString& SOJ,
                         const QString& EOJ, const ExpandPump& pump) {
    return eachInSpan(
        db, law, SOJ, EOJ, pump, [](QString& text, const QString& code, const QString& body) {
            if (!isHeadingRecord(code)) return;
            text += kCrLf + QString(5, kIdeographicSpace) + store::GetJouKouText(code.left(10)) +
                    bracketed(body, QStringLiteral("　"), QString());
        });
}

QString GetExpandedText(const QString& law, ExpandMode mode, const ExpandPump& pump, bool parts) {
    const QString name = lawName(law);
    store::Database db = store::openOrCreateLawDb(name);
    const PartsText more = parts ? partsText(db, law, mode) : PartsText{};
    QString text = name + more.before;
    if (mode != ExpandMode::Full) text += kCrLf;
    if (mode == ExpandMode::Full && law == QStringLiteral("KP")) text += constitutionBlock();
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
    QString article;
    for (; !rs.eof(); rs.moveNext()) {
        exchange::appendLawRecord(text, article, rs.text(QStringLiteral("条項コード")),
                                  rs.text(QStringLiteral("条文")), exchange::kCaptionsShown, false);
        run(pump);
    }
    return text + more.after;
}

QString GetExpandedTextALL(const QString& law, ExpandMode mode, bool showRange,
                           const ExpandPump& pump, bool parts) {
    const QString name = lawName(law);
    store::Database db = store::openLawDb(name);
    store::Recordset toc = db.openRecordset(QStringLiteral("select * from 目次 order by コード"));
    if (toc.recordCount() == 0) {
        db.close();
        return GetExpandedText(law, mode, pump, parts);
    }
    const PartsText more = parts ? partsText(db, law, mode) : PartsText{};
    QString text = name + more.before;
    if (law == QStringLiteral("KP")) text += constitutionBlock();
    for (; !toc.eof(); toc.moveNext()) {
        text += mode == ExpandMode::Full ? kCrLf + kCrLf : kCrLf;
        QString label;  // stays empty for a code without a level
        store::GetMokujiName(toc.text(QStringLiteral("コード")), label);
        if (mode != ExpandMode::Full) text += GetSpaces(label);
        text += label + kIdeographicSpace + toc.text(QStringLiteral("見出し"));
        if (showRange)
            text += kIdeographicSpace + GetJ_FromTo(law, toc.text(QStringLiteral("SOJ2")),
                                                    toc.text(QStringLiteral("EOJ2")));
        if (mode == ExpandMode::TocHeadings) continue;
        const QString SOJ = toc.text(QStringLiteral("SOJ"));
        const QString EOJ = toc.text(QStringLiteral("EOJ"));
        // Their product above 0, without multiplying numbers that may be large.
        const long long first = platform::valInt(SOJ), last = platform::valInt(EOJ);
        if (first == 0 || last == 0 || (first < 0) != (last < 0)) continue;
        text += mode == ExpandMode::Full ? getExpandTextEach(db, law, SOJ, EOJ, pump)
                                         : getExpandMidEach(db, law, SOJ, EOJ, pump);
    }
    return text + more.after;
}

}  // namespace viewer

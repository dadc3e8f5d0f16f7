#include "maint/artedit.h"

#include "platform/vb.h"
#include "store/engine.h"
#include "store/lawdb.h"
#include "store/notation.h"

namespace maint {

namespace {
const QString kHeadingPart = QStringLiteral("000001");

// A numeric field of a code; codes come from the database, so a stray character reads as 0
// rather than stopping the window.
int field(const QString& code, int from, int len) {
    return int(platform::valInt(code.mid(from, len)));
}

store::Recordset selectCode(store::Database& db, const QString& code, store::RecordsetType type) {
    return db.openRecordset(QStringLiteral("select * from 条文 where 条項コード=?"), type, {code});
}

// Edits the record found or adds one, and stores code and text.
void putRecord(store::Database& db, const QString& code, const QString& text) {
    store::Recordset rs = selectCode(db, code, store::RecordsetType::Dynaset);
    if (rs.recordCount() > 0)
        rs.edit();
    else
        rs.addNew();
    rs.setField(QStringLiteral("条項コード"), code);
    rs.setField(QStringLiteral("条文"), text);
    rs.update();
}
}  // namespace

CodeEntry parseCodeEntry(const QString& typed) {
    CodeEntry e;
    e.law = typed.left(2).toUpper();
    e.rest = typed.mid(2);
    ArticleNumber& n = e.number;
    store::SplitJouNumber(e.rest, n.article, n.branch1, n.branch2, n.paragraph);
    return e;
}

QString makeRecordCode(const QString& law, const ArticleNumber& n) {
    using platform::padNumber;
    const QString article =
        law.toUpper() + padNumber(n.article, 4) + padNumber(n.branch1, 2) + padNumber(n.branch2, 2);
    if (n.paragraph > 0)
        return article + padNumber(n.paragraph, 2) + padNumber(n.paragraph, 2) +
               QStringLiteral("00");
    return article + QStringLiteral("010000");
}

QString headingCode(const QString& code) {
    return code.left(10) + kHeadingPart;
}

bool isHeadingCode(const QString& code) {
    return code.endsWith(u'1');
}

ArticleNumber numberOfCode(const QString& code) {
    ArticleNumber n;
    n.article = field(code, 2, 4);
    n.branch1 = field(code, 6, 2);
    n.branch2 = field(code, 8, 2);
    n.paragraph = field(code, 12, 2);
    return n;
}

QString circledNumber(int n) {
    if (n <= 0) return {};
    if (n <= 20) return QString(QChar(0x2460 + n - 1));
    return u'(' + QString::number(n) + u')';
}

QString articleNumberText(const ArticleNumber& n) {
    QString s = u'第' + QString::number(n.article) + u'条';
    if (n.branch1 > 0) s += u'の' + QString::number(n.branch1);
    if (n.branch2 > 0) s += u'の' + QString::number(n.branch2);
    if (n.paragraph > 0) s += u' ' + circledNumber(n.paragraph);
    return s;
}

QString shortEntry(const QString& code) {
    const ArticleNumber n = numberOfCode(code);
    QString s = code.left(2) + QString::number(n.article);
    if (n.branch1 > 0) s += u'-' + QString::number(n.branch1);
    if (n.branch2 > 0) s += u'-' + QString::number(n.branch2);
    if (n.paragraph > 0) s += u':' + QString::number(n.paragraph);
    return s;
}

QString listLine(const QString& code, const QString& text) {
    if (isHeadingCode(code))
        return platform::trimBlanks(text).isEmpty() ? text : u'【' + text + u'】';
    const int ordinal = field(code, 10, 2);
    const int shown = field(code, 12, 2);
    if (shown > 0 && ordinal == shown) return circledNumber(shown) + text;
    return text;
}

ArticleView FindJoubun(const QString& lawName, const QString& code) {
    ArticleView v;
    store::Database db = store::openOrCreateLawDb(lawName);
    {
        store::Recordset rs = selectCode(db, headingCode(code), store::RecordsetType::Snapshot);
        if (rs.recordCount() > 0) {
            v.hasHeading = true;
            v.heading = rs.text(QStringLiteral("条文"));
        }
    }
    {
        store::Recordset rs = selectCode(db, code, store::RecordsetType::Snapshot);
        if (rs.recordCount() > 0) {
            v.hasRecord = true;
            v.text = rs.text(QStringLiteral("条文"));
        }
    }
    store::Recordset rs = db.openRecordset(
        QStringLiteral("select * from 条文 where 条項コード like ? order by 条項コード"),
        store::RecordsetType::Snapshot, {code.left(10) + u'*'});
    for (; !rs.eof(); rs.moveNext()) {
        const QString c = rs.text(QStringLiteral("条項コード"));
        v.codes << c;
        v.lines << listLine(c, rs.text(QStringLiteral("条文")));
    }
    return v;
}

QString checkWritableCode(const QString& code) {
    if (code.size() != 16)
        return QStringLiteral("条項コードは16文字でなければなりません。\r\n\r\n") + code;
    // A negative number typed pads to a code of the right length with a "-" in it.
    for (int i = 2; i < 16; ++i)
        if (code[i] < u'0' || code[i] > u'9')
            return QStringLiteral("条項コードの3文字目からは数字でなければなりません。\r\n\r\n") +
                   code;
    if (code.endsWith(kHeadingPart))
        return QStringLiteral(
                   "条見出しのレコード（末尾 000001）には登録できません。条見出しは「条見出し」"
                   "欄で登録してください。\r\n\r\n") +
               code;
    return {};
}

void WriteJoubun(const QString& lawName, const QString& code, const QString& heading,
                 const QString& text) {
    if (const QString why = checkWritableCode(code); !why.isEmpty()) throw store::Error(why);
    store::Database db = store::openOrCreateLawDb(lawName);
    store::Transaction t(db);
    putRecord(db, headingCode(code),
              platform::trimBlanks(heading).isEmpty() ? QStringLiteral(" ") : heading);
    putRecord(db, code, text);
    t.commit();
}

bool DeleteJoubun(const QString& lawName, const QString& code) {
    store::Database db = store::openLawDb(lawName);
    store::Recordset rs = selectCode(db, code, store::RecordsetType::Dynaset);
    if (rs.recordCount() == 0) return false;
    rs.deleteRecord();
    return true;
}

}  // namespace maint

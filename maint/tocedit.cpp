#include "maint/tocedit.h"

#include "platform/vb.h"
#include "store/codes.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QFileInfo>
#include <QSet>

namespace maint {

namespace {

// A dash that divides "3-2"; a leading or trailing one does not.
bool hasInnerDash(const QString& x) {
    for (int i = 1; i + 1 < x.size(); ++i)
        if (x[i] == u'-') return true;
    return false;
}

// A part of an N-M(-K) form: numbers are padded, anything else is kept as typed.
QString formatPart(const QString& part, int width) {
    try {
        return platform::padNumber(platform::strictInt(part), width);
    } catch (const platform::ConversionError&) {
        return part;
    }
}

bool isDigits(const QString& s) {
    if (s.isEmpty()) return false;
    for (const QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// Half-width digits only, at most `maximum`.
bool fitsNumber(const QString& part, long long maximum) {
    const QString t = platform::trimBlanks(platform::toHalfWidthDigits(part));
    if (!isDigits(t)) return false;
    try {
        return platform::strictInt(t, 0, maximum) >= 0;
    } catch (const platform::ConversionError&) {
        return false;
    }
}

// A level box: empty, a number up to 99, or (章, 節) a number with a branch, both up to 99.
bool levelFits(const QString& text, bool branch) {
    const QString t = platform::trimBlanks(text);
    if (t.isEmpty()) return true;
    if (branch && hasInnerDash(t)) {
        const QStringList parts = t.split(u'-');
        return parts.size() == 2 && fitsNumber(parts[0], 99) && fitsNumber(parts[1], 99);
    }
    return fitsNumber(t, 99);
}

}  // namespace

QString levelField(const QString& x) {
    return platform::padNumber(platform::valInt(platform::toHalfWidthDigits(x)), 2);
}

QString levelPair(const QString& x) {
    if (hasInnerDash(x)) {
        const QStringList parts = x.split(u'-');
        return levelField(parts[0]) + levelField(parts[1]);
    }
    return levelField(x) + QStringLiteral("00");
}

QString composeTocKey(const TocLevels& l) {
    return l.law.toUpper() + levelField(l.part) + levelPair(l.chapter) + levelPair(l.section) +
           levelField(l.subsection) + levelField(l.division);
}

QString GetSEOJ(const QString& text) {
    const QString t = platform::toHalfWidthDigits(text);
    const QStringList parts = t.split(u'-');
    switch (parts.size()) {
        case 1:
            return platform::padNumber(platform::valInt(t), 4) + QStringLiteral("0000");
        case 2:
            return formatPart(parts[0], 4) + formatPart(parts[1], 2) + QStringLiteral("00");
        case 3:
            return formatPart(parts[0], 4) + formatPart(parts[1], 2) + formatPart(parts[2], 2);
        default:
            return {};
    }
}

QString GetCodeByHifun(const QString& stored) {
    // Each field read the way Val reads it, so an older or damaged value still shows as the
    // article it names rather than as raw digits that would be stored back wrongly.
    if (stored.isEmpty()) return stored;
    const int n = int(platform::valInt(stored.left(4)));
    const int m = int(platform::valInt(stored.mid(4, 2)));
    const int k = int(platform::valInt(stored.mid(6, 2)));
    QString s = QString::number(n);
    if (m > 0 || k > 0) s += u'-' + QString::number(m);
    if (k > 0) s += u'-' + QString::number(k);
    return s;
}

KeyNames keyNames(const QString& key) {
    KeyNames k;
    k.name = store::GetMokujiPathText(key, k.name2);
    return k;
}

QString checkLevels(const TocLevels& l) {
    const struct {
        const QString& text;
        const char16_t* box;
        bool branch;
    } boxes[] = {{l.part, u"編", false},
                 {l.chapter, u"章", true},
                 {l.section, u"節", true},
                 {l.subsection, u"款", false},
                 {l.division, u"目", false}};
    for (const auto& b : boxes)
        if (!levelFits(b.text, b.branch))
            return QString::fromUtf16(b.box) + QStringLiteral("の番号が不正です。");
    return {};
}

QString checkTocKey(const QString& key) {
    const QString bad = QStringLiteral("目次コードが不正です。");
    if (key.size() != 16 || !store::isValidLawCode(key.left(2)) ||
        key.left(2) != key.left(2).toUpper())
        return bad;
    const QString levels = key.mid(2);
    if (!isDigits(levels) || levels == QString(14, u'0')) return bad;
    return {};
}

QString checkRangeText(const QString& text, const QString& box) {
    const QString t = platform::trimBlanks(text);
    if (t.isEmpty()) return {};
    const QStringList parts = t.split(u'-');
    if (parts.size() > 3) return {};  // stored as an empty string
    static const long long maximum[] = {9999, 99, 99};
    for (int i = 0; i < parts.size(); ++i)
        if (!fitsNumber(parts[i], maximum[i])) return box + QStringLiteral("の番号が不正です。");
    return {};
}

TocRow rowFromBoxes(const QString& key, const QString& heading, const QString& soj,
                    const QString& eoj, const QString& soj2, const QString& eoj2) {
    return {key, heading, GetSEOJ(soj), GetSEOJ(eoj), GetSEOJ(soj2), GetSEOJ(eoj2)};
}

QString existingLawName(const QString& code) {
    const QString name = store::GetHoutenName(code);
    if (name.isEmpty() || !store::isValidLawName(name)) return {};
    return QFileInfo::exists(store::lawDbPath(name)) ? name : QString();
}

std::optional<TocRow> readTocRow(store::Database& db, const QString& key) {
    store::Recordset rs = db.openRecordset(QStringLiteral("select * from 目次 where コード=?"),
                                           store::RecordsetType::Snapshot, {key});
    if (rs.recordCount() == 0) return std::nullopt;
    return TocRow{rs.text(QStringLiteral("コード")), rs.text(QStringLiteral("見出し")),
                  rs.text(QStringLiteral("SOJ")),    rs.text(QStringLiteral("EOJ")),
                  rs.text(QStringLiteral("SOJ2")),   rs.text(QStringLiteral("EOJ2"))};
}

void writeTocRow(store::Database& db, const TocRow& row) {
    store::Recordset rs = db.openRecordset(QStringLiteral("select * from 目次 where コード=?"),
                                           store::RecordsetType::Dynaset, {row.code});
    if (rs.recordCount() > 0)
        rs.edit();
    else
        rs.addNew();
    rs.setField(QStringLiteral("コード"), row.code);
    rs.setField(QStringLiteral("見出し"), row.heading);
    rs.setField(QStringLiteral("SOJ"), row.soj);
    rs.setField(QStringLiteral("EOJ"), row.eoj);
    rs.setField(QStringLiteral("SOJ2"), row.soj2);
    rs.setField(QStringLiteral("EOJ2"), row.eoj2);
    rs.update();
}

bool deleteTocRow(store::Database& db, const QString& key) {
    return db.execute(QStringLiteral("delete from 目次 where コード=?"), {key}) > 0;
}

QList<TocNode> articleNodes(store::Database& db, const QString& entryKey, const QString& soj,
                            const QString& eoj) {
    // An end stored empty (a range with too many "-") would otherwise widen the range to the
    // whole law.
    if (soj.size() != 8 || eoj.size() != 8) return {};
    // Every record of the articles soj..eoj, and no branch article beyond eoj.
    const QString lo = entryKey.left(2) + soj + QStringLiteral("0000000000");
    const QString hi = entryKey.left(2) + eoj + QStringLiteral("9999999999");
    store::Recordset rs = db.openRecordset(
        QStringLiteral(
            "select * from 条文 where 条項コード>=? and 条項コード<=? order by 条項コード"),
        store::RecordsetType::Snapshot, {lo, hi});
    QList<TocNode> out;
    QString previous;
    bool articleShown = false;
    for (; !rs.eof(); rs.moveNext()) {
        // Keys in upper case: a law imported as "ab" has its records found as "AB".
        const QString code = rs.text(QStringLiteral("条項コード")).toUpper();
        const QString text = rs.text(QStringLiteral("条文"));
        const QString article = code.left(10);
        if (article != previous) {
            previous = article;
            articleShown = false;
            try {
                out.append({entryKey, article,
                            store::GetJouKouText(article, false) + QStringLiteral(" 【") + text +
                                QStringLiteral("】")});
                articleShown = true;
            } catch (const platform::Error&) {
            }
        }
        if (!articleShown) continue;
        try {
            if (store::paragraphOrdinal(code) > 0)
                out.append({article, code, store::GetJouKouText(code, false) + text});
        } catch (const platform::Error&) {
        }
    }
    return out;
}

TocTree buildTocTree(const QString& lawCode) {
    TocTree tree;
    const QString law = lawCode.toUpper();
    const QString name = existingLawName(law);
    if (name.isEmpty()) return tree;
    tree.lawFound = true;
    store::Database db = store::openLawDb(name);
    QSet<QString> keys;
    auto add = [&](const TocNode& n) {
        tree.nodes.append(n);
        keys.insert(n.key);
    };
    add({QString(), law + QString(14, u'0'), name});

    store::Recordset rs = db.openRecordset(QStringLiteral("select * from 目次 order by コード"));
    for (; !rs.eof(); rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("コード")).toUpper();
        QString label, parent;
        try {
            parent = store::GetMokujiName(code, label);
        } catch (const platform::Error&) {
        }
        if (parent.isEmpty() || code.size() != 16 || keys.contains(code)) {
            tree.badCodes << code;
            continue;
        }
        // Rows come in コード order, so a missing parent here is a missing row.
        if (!keys.contains(parent)) {
            tree.orphans << code;
            continue;
        }
        QString range;
        try {
            range = store::GetJouRangeText(rs.text(QStringLiteral("SOJ2")),
                                           rs.text(QStringLiteral("EOJ2")));
        } catch (const platform::Error&) {
        }
        add({parent, code,
             label + u' ' + rs.text(QStringLiteral("見出し")) + QChar(0x3000) + range});
        try {
            const QList<TocNode> articles = articleNodes(db, code, rs.text(QStringLiteral("SOJ")),
                                                         rs.text(QStringLiteral("EOJ")));
            // An article already under an earlier entry stays there.
            for (const TocNode& n : articles)
                if (keys.contains(n.parentKey) && !keys.contains(n.key)) add(n);
        } catch (const std::exception&) {
        }
    }
    return tree;
}

QString unshownRowsMessage(const TocTree& tree) {
    QStringList parts;
    if (!tree.orphans.isEmpty())
        parts << QStringLiteral("次の目次は親の目次がないため表示できません。\r\n") +
                     tree.orphans.join(QStringLiteral("\r\n"));
    if (!tree.badCodes.isEmpty())
        parts << QStringLiteral("次の目次はコードが不正なため表示できません。\r\n") +
                     tree.badCodes.join(QStringLiteral("\r\n"));
    return parts.join(QStringLiteral("\r\n\r\n"));
}

}  // namespace maint

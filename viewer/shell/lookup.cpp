#include "viewer/shell/lookup.h"

#include "platform/vb.h"
#include "store/codes.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QFileInfo>

namespace viewer {

namespace {

bool isKanjiNumeral(QChar c) {
    return store::KanjiDigitValue(c) > 0 || c == u'〇';
}

// Reads one number at `at` (digits or a kanji numeral), moving past it; -1 when none.
int readNumber(const QString& s, qsizetype& at) {
    const qsizetype start = at;
    if (at < s.size() && s[at].isDigit() && s[at].unicode() < 128) {
        long long v = 0;
        while (at < s.size() && s[at].unicode() < 128 && s[at].isDigit()) {
            v = v * 10 + (s[at].unicode() - u'0');
            if (v > 99999) return -1;
            ++at;
        }
        return int(v);
    }
    while (at < s.size() && isKanjiNumeral(s[at])) ++at;
    if (at == start) return -1;
    try {
        return store::KanjiNumberValue(s.mid(start, at - start));
    } catch (const platform::Error&) {
        return -1;
    }
}

bool take(const QString& s, qsizetype& at, QChar c) {
    if (at < s.size() && s[at] == c) {
        ++at;
        return true;
    }
    return false;
}

QString noticeFor(const QString& shown, const QString& what) {
    return shown + QStringLiteral(": ") + what;
}

}  // namespace

QString halfWidthAscii(const QString& text) {
    QString s = text;
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(u - 0xFEE0);
        else if (u == 0x3000)
            c = u' ';
        else if (u == 0x2010 || u == 0x2212 || u == 0x30FC)  // hyphen, minus, long vowel mark
            c = u'-';
    }
    return s;
}

bool parseShortNumber(const QString& typed, ShortNumber* out) {
    QString s = typed;
    s.remove(u' ');
    ShortNumber n;
    qsizetype at = 0;
    take(s, at, u'第');
    n.article = readNumber(s, at);
    if (n.article <= 0) return false;
    take(s, at, u'条');
    int* branches[] = {&n.branch1, &n.branch2};
    for (int* b : branches) {
        const qsizetype before = at;
        if (!take(s, at, u'の') && !take(s, at, u'ノ') && !take(s, at, u'-')) break;
        *b = readNumber(s, at);
        if (*b <= 0) {
            at = before;
            return false;
        }
    }
    if (take(s, at, u':')) {
        n.paragraph = readNumber(s, at);
        if (n.paragraph <= 0) return false;
    } else if (at < s.size()) {
        take(s, at, u'第');
        n.paragraph = readNumber(s, at);
        if (n.paragraph <= 0 || !take(s, at, u'項')) return false;
    }
    if (at != s.size()) return false;
    if (n.article > 9999 || n.branch1 > 99 || n.branch2 > 99 || n.paragraph > 99) return false;
    *out = n;
    return true;
}

LookupTarget resolveLookup(const QString& typed, const QString& currentLaw) {
    LookupTarget t;
    const QString s = platform::trimBlanks(halfWidthAscii(typed));
    const QString example = QStringLiteral("（例: MP415:2、民法415）");
    if (s.isEmpty()) {
        t.error = QStringLiteral("条番号を入力してください") + example;
        return t;
    }
    // The law: its name (the longest listed name the text starts with), its code, or the
    // current law for a bare number.
    const QList<store::LawEntry> laws = store::readLawList();
    QString rest;
    for (const store::LawEntry& law : laws) {
        if (!law.name.isEmpty() && s.startsWith(law.name) && law.name.size() > t.lawName.size()) {
            t.lawCode = law.code;
            t.lawName = law.name;
            rest = s.mid(law.name.size());
        }
    }
    if (t.lawName.isEmpty()) {
        const bool numberFirst = s[0].isDigit() || s[0] == u'第' || isKanjiNumeral(s[0]);
        QString code;
        if (numberFirst && !currentLaw.isEmpty()) {
            code = currentLaw;
            rest = s;
        } else if (s.size() >= 2 && s[0].unicode() < 128 && s[0].isLetter() &&
                   s[1].unicode() < 128 && s[1].isLetterOrNumber()) {
            code = s.left(2);
            rest = s.mid(2);
        } else {
            t.error = noticeFor(s, QStringLiteral("法典コードか法典名で始めてください") + example);
            return t;
        }
        for (const store::LawEntry& law : laws)
            if (law.code.compare(code, Qt::CaseInsensitive) == 0) {
                t.lawCode = law.code;
                t.lawName = law.name;
            }
        if (t.lawName.isEmpty()) {
            t.error = noticeFor(code.toUpper(), QStringLiteral("登録されていない法典コードです"));
            return t;
        }
    }
    ShortNumber n;
    if (!parseShortNumber(rest, &n)) {
        t.error = noticeFor(s, platform::trimBlanks(rest).isEmpty()
                                   ? QStringLiteral("条番号がありません") + example
                                   : QStringLiteral("条番号が読み取れません") + example);
        return t;
    }
    using platform::padNumber;
    const QString article = t.lawCode.toUpper() + padNumber(n.article, 4) +
                            padNumber(n.branch1, 2) + padNumber(n.branch2, 2);
    t.shown = t.lawCode.toUpper() + QString::number(n.article);
    if (n.branch1 > 0 || n.branch2 > 0) t.shown += u'-' + QString::number(n.branch1);
    if (n.branch2 > 0) t.shown += u'-' + QString::number(n.branch2);
    if (n.paragraph > 0) t.shown += u':' + QString::number(n.paragraph);

    QString why;
    if (!store::isValidLawName(t.lawName, &why) ||
        !QFileInfo(store::lawDbPath(t.lawName)).isFile()) {
        t.error = noticeFor(t.shown, QStringLiteral("%1のデータベースがありません").arg(t.lawName));
        return t;
    }
    store::Database db = store::openLawDb(t.lawName);
    // An article's records share its first ten characters: one range of the primary key.
    store::Recordset rows = db.openRecordset(
        QStringLiteral("select 条項コード from 条文 where 条項コード between ? and ?"),
        store::RecordsetType::Snapshot, {article, article + QStringLiteral("999999")});
    const QString label = store::GetJouKouText(article);
    if (rows.recordCount() == 0) {
        t.error = noticeFor(t.shown, QStringLiteral("%1に%2はありません").arg(t.lawName, label));
        return t;
    }
    if (n.paragraph == 0) {
        t.code = article;
        return t;
    }
    const QString mark = padNumber(n.paragraph, 2);
    QStringList codes;
    for (; !rows.eof(); rows.moveNext()) codes << rows.text(QStringLiteral("条項コード"));
    const QString paragraph = article + mark + mark + QStringLiteral("00");
    // The only paragraph of an article is stored as 010000; its paragraph 1 is that one.
    const QString only = article + QStringLiteral("010000");
    if (codes.contains(paragraph))
        t.code = paragraph;
    else if (n.paragraph == 1 && codes.contains(only))
        t.code = only;
    else
        t.error = noticeFor(
            t.shown,
            QStringLiteral("%1%2に第%3項はありません").arg(t.lawName, label).arg(n.paragraph));
    return t;
}

}  // namespace viewer

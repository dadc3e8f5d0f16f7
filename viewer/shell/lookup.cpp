#include "viewer/shell/lookup.h"

#include "exchange/lawlist.h"
#include "exchange/lawparts.h"
#include "platform/vb.h"
#include "store/codes.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include "viewer/browser/lawtree.h"

#include <QFileInfo>

#include <optional>

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

// A number of a law number: digits, kanji written digit by digit (二九) or counted
// (四十四), or 元 for the first year of an era; -1 when none is at `at`.
int readLawNumberPart(const QString& s, qsizetype& at) {
    if (take(s, at, u'元')) return 1;
    if (at < s.size() && s[at].unicode() < 128) return readNumber(s, at);
    const qsizetype start = at;
    while (at < s.size() && isKanjiNumeral(s[at])) ++at;
    const QString k = s.mid(start, at - start);
    if (k.isEmpty() || k.size() > 6) return -1;
    if (k.contains(u'十') || k.contains(u'百') || k.contains(u'千'))
        return readNumber(s, at = start);
    int v = 0;
    for (const QChar c : k) v = v * 10 + (c == u'〇' ? 0 : store::KanjiDigitValue(c));
    return v;
}

// A law number reduced to what tells it apart: era, year, kind and number. Reads the XML's
// "平成二九年六月二日法律第四四号", a typed "平成29年法律第44号" and the short "H29-44" (a 法律).
struct LawNumber {
    int era = 0, year = 0, number = 0;
    QString kind = QStringLiteral("法律");  // 政令, 厚生労働省令 …
    bool operator==(const LawNumber&) const = default;
};
std::optional<LawNumber> readLawNumber(const QString& typed) {
    QString s = typed;
    s.remove(u' ');
    static const std::pair<const char16_t*, const char16_t*> eras[] = {
        {u"明治", u"M"}, {u"大正", u"T"}, {u"昭和", u"S"}, {u"平成", u"H"}, {u"令和", u"R"}};
    LawNumber n;
    qsizetype at = 0;
    for (int i = 0; i < int(std::size(eras)) && !n.era; ++i) {
        for (const QString& name :
             {QString::fromUtf16(eras[i].first), QString::fromUtf16(eras[i].second)})
            if (s.startsWith(name, Qt::CaseInsensitive)) {
                n.era = i + 1;
                at = name.size();
                break;
            }
    }
    if (!n.era) return std::nullopt;
    n.year = readLawNumberPart(s, at);
    if (n.year <= 0) return std::nullopt;
    if (take(s, at, u'-')) {
        n.number = readLawNumberPart(s, at);
    } else {
        at = s.lastIndexOf(u'第');
        if (at < 0 || !s.endsWith(u'号')) return std::nullopt;
        // The kind stands between the date (…年, …月…日) and the number.
        const qsizetype dated = std::max(
            {s.lastIndexOf(u'年', at), s.lastIndexOf(u'月', at), s.lastIndexOf(u'日', at)});
        if (dated >= 0 && at > dated + 1) n.kind = s.mid(dated + 1, at - dated - 1);
        ++at;
        n.number = readLawNumberPart(s, at);
        take(s, at, u'号');
    }
    if (n.number <= 0 || at != s.size()) return std::nullopt;
    return n;
}

const char16_t* const kEraLetters = u"MTSHR";

// The kind of part the text begins with (附則, 別表 …), or empty.
QString partKindAt(const QString& s) {
    static const QStringList kinds{QStringLiteral("前文"), QStringLiteral("附則"),
                                   QStringLiteral("別表"), QStringLiteral("別記"),
                                   QStringLiteral("様式"), QStringLiteral("書式"),
                                   QStringLiteral("別図"), QStringLiteral("付録")};
    for (const QString& k : kinds)
        if (s.startsWith(k)) return k;
    return {};
}

// The part named by `rest` (附則, 附則(H29-44)2, 別表第二 …) of the found law.
void resolvePart(LookupTarget& t, const QString& rest, store::Database& db) {
    QString s = rest;
    s.remove(u' ');
    const QString kind = partKindAt(s);
    t.shown = t.lawCode.toUpper() + s;
    qsizetype at = kind.size();
    QString lawNum;
    if (take(s, at, u'(') || take(s, at, u'（')) {
        qsizetype close = s.indexOf(u')', at);
        if (close < 0) close = s.indexOf(u'）', at);
        if (close < 0) {
            t.error = noticeFor(t.shown, QStringLiteral("（ に対応する ） がありません"));
            return;
        }
        lawNum = s.mid(at, close - at);
        at = close + 1;
    }
    const QString tail = s.mid(at);
    if (t.lawCode.toUpper() == QStringLiteral("KP") && kind == QStringLiteral("前文") &&
        lawNum.isEmpty() && tail.isEmpty()) {
        t.code = kPreambleKey;  // the Constitution's fixed node
        t.place = kind;
        return;
    }
    const QList<store::LawPart> parts = store::readLawParts(db);
    int order = 0;  // of the part found, from 1
    if (kind == QStringLiteral("附則")) {
        std::optional<LawNumber> wanted;
        if (!lawNum.isEmpty() && !(wanted = readLawNumber(lawNum))) {
            t.error = noticeFor(
                t.shown,
                QStringLiteral(
                    "法令番号が読み取れません（例: 附則(平成29年法律第44号)、附則(H29-44)）"));
            return;
        }
        for (int i = 0; i < parts.size() && !order; ++i) {
            if (parts[i].kind != kind) continue;
            if (wanted ? readLawNumber(parts[i].amendLawNum) == wanted
                       : parts[i].amendLawNum.isEmpty())
                order = i + 1;
        }
        if (!order) {
            t.error = noticeFor(
                t.shown, lawNum.isEmpty()
                             ? QStringLiteral("%1に制定時の附則はありません").arg(t.lawName)
                             : QStringLiteral("%1に%2の附則はありません").arg(t.lawName, lawNum));
            return;
        }
    } else {
        if (!lawNum.isEmpty()) {
            t.error = noticeFor(t.shown, QStringLiteral("法令番号で選べるのは附則だけです"));
            return;
        }
        // By the number its title gives it (別表第一の二: 1-2); a kind whose titles give
        // none goes by the order: 別表2 is the second.
        ShortNumber n;
        if (!tail.isEmpty() && (!parseShortNumber(tail, &n) || n.paragraph > 0)) {
            t.error = noticeFor(t.shown, QStringLiteral("%1の番号が読み取れません").arg(kind));
            return;
        }
        QString wanted = QString::number(std::max(1, n.article));
        if (n.branch1 > 0 || n.branch2 > 0) wanted += u'-' + QString::number(n.branch1);
        if (n.branch2 > 0) wanted += u'-' + QString::number(n.branch2);
        bool titled = false;
        for (const store::LawPart& p : parts)
            titled = titled || (p.kind == kind && !exchange::partTitleNumber(p).isEmpty());
        for (int i = 0; i < parts.size() && !order; ++i)
            if (parts[i].kind == kind && (titled ? exchange::partTitleNumber(parts[i]) == wanted
                                                 : QString::number(parts[i].number) == wanted))
                order = i + 1;
        if (!order) {
            t.error = noticeFor(t.shown, QStringLiteral("%1に%2はありません").arg(t.lawName, s));
            return;
        }
        t.code = partKey(t.lawCode.toUpper(), order);
        t.place = parts[order - 1].label;
        return;
    }
    const store::LawPart& part = parts[order - 1];
    t.code = partKey(t.lawCode.toUpper(), order);
    t.place = part.label;
    if (tail.isEmpty()) return;
    // An article of the 附則 by its number (its paragraph opens the article), or a paragraph
    // of one without articles (附則(H29-44)2, 附則第二項).
    ShortNumber n;
    const bool paragraphAlone = tail.endsWith(u'項') && parseShortNumber(u'1' + tail, &n);
    if (!paragraphAlone && !parseShortNumber(tail, &n)) {
        t.code.clear();
        t.error = noticeFor(t.shown, QStringLiteral("条番号が読み取れません"));
        return;
    }
    QString num = QString::number(paragraphAlone ? n.paragraph : n.article);
    if (n.branch1 > 0 || n.branch2 > 0) num += u'_' + QString::number(n.branch1);
    if (n.branch2 > 0) num += u'_' + QString::number(n.branch2);
    qsizetype entry = -1;
    const QList<exchange::PartEntry> entries = exchange::partEntryInfo(part);
    for (qsizetype i = 0; i < entries.size() && entry < 0; ++i)
        if (entries[i].num == num && (!paragraphAlone || !entries[i].article)) entry = i;
    if (entry < 0) {
        t.code.clear();
        t.error = noticeFor(
            t.shown, QStringLiteral("%1の%2に%3はありません").arg(t.lawName, part.label, tail));
        return;
    }
    t.code += QStringLiteral("-%1").arg(entry + 1, 3, 10, QChar(u'0'));
    t.place += u' ' + tail;
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

QString partNotation(const QString& lawCode, const store::LawPart& part) {
    const QString s = lawCode.toUpper() + part.kind;
    if (part.kind != QStringLiteral("附則")) {
        const QString titled = exchange::partTitleNumber(part);
        return s + (titled.isEmpty() ? QString::number(part.number) : titled);
    }
    if (part.amendLawNum.isEmpty()) return s;
    if (const std::optional<LawNumber> n = readLawNumber(part.amendLawNum);
        n && n->kind == QStringLiteral("法律"))
        return s + QStringLiteral("(%1%2-%3)")
                       .arg(QChar(kEraLetters[n->era - 1]))
                       .arg(n->year)
                       .arg(n->number);
    return s + u'(' + part.amendLawNum + u')';
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
    // An abbreviation (国賠法1, 民訴百三十三): one of three characters or more before a code, a
    // code before one of two (a law may hold 民訴 as its code).
    // (Not for a bare number: 第九条, 九, 附則 are the current law's.)
    const bool bare = s[0] == u'第' || isKanjiNumeral(s[0]) || !partKindAt(s).isEmpty();
    const auto [abbreviated, length] = t.lawName.isEmpty() && s[0].unicode() >= 0x80 && !bare
                                           ? exchange::lawByAbbreviation(s)
                                           : std::pair<QString, int>{QString(), 0};
    const bool codeFirst = s.size() >= 2 && store::isValidLawCode(s.left(2)) &&
                           !store::GetHoutenName(s.left(2).toUpper()).isEmpty();
    if (!abbreviated.isEmpty() && (length >= 3 || !codeFirst)) {
        for (const store::LawEntry& law : laws)
            if (law.code == abbreviated) {
                t.lawCode = law.code;
                t.lawName = law.name;
                rest = s.mid(length);
            }
    }
    if (t.lawName.isEmpty()) {
        const bool numberFirst =
            s[0].isDigit() || s[0] == u'第' || isKanjiNumeral(s[0]) || !partKindAt(s).isEmpty();
        QString code;
        if (numberFirst && !currentLaw.isEmpty()) {
            code = currentLaw;
            rest = s;
        } else if (s.size() >= 2 && store::isValidLawCode(s.left(2))) {
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
    QString why;
    auto noDatabase = [&](const QString& shown) {
        if (store::isValidLawName(t.lawName, &why) &&
            QFileInfo(store::lawDbPath(t.lawName)).isFile())
            return false;
        t.error = noticeFor(shown, QStringLiteral("%1のデータベースがありません").arg(t.lawName));
        return true;
    };
    if (!partKindAt(platform::trimBlanks(rest)).isEmpty()) {
        if (noDatabase(t.lawCode.toUpper() + rest)) return t;
        store::Database db = store::openLawDb(t.lawName);
        resolvePart(t, platform::trimBlanks(rest), db);
        return t;
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

    if (noDatabase(t.shown)) return t;
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

#include "exchange/lawlist.h"

#include "exchange/lawcode.h"
#include "platform/error.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <algorithm>
#include <tuple>

namespace exchange {

namespace {

// What a law's database keeps of it, kept while its file is unchanged.
struct KeptFacts {
    qint64 size = -1;
    qint64 modified = -1;
    store::LawInfo info;
};
QMutex keptMutex;
QHash<QString, KeptFacts> kept;  // file → facts

store::LawInfo infoOf(const QString& name) {
    const QString file = store::lawDbPath(name);
    const QFileInfo fi(file);
    if (!fi.isFile()) return {};
    const qint64 size = fi.size(), modified = fi.lastModified().toMSecsSinceEpoch();
    {
        QMutexLocker lock(&keptMutex);
        const auto it = kept.constFind(file);
        if (it != kept.cend() && it->size == size && it->modified == modified) return it->info;
    }
    store::LawInfo info;
    try {
        store::Database db = store::Database::open(file);
        info = store::readLawInfo(db);
    } catch (const platform::Error&) {
        return {};  // listed by name only
    }
    QMutexLocker lock(&keptMutex);
    kept.insert(file, {size, modified, info});
    return info;
}

QString hiragana(const QString& s) {
    QString out = s;
    for (QChar& c : out)
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6) c = QChar(char16_t(c.unicode() - 0x60));
    return out;
}

// 百二十五, 25, 元: the number a law number writes; -1 when none.
int numberAt(const QString& s, qsizetype& at) {
    if (at < s.size() && s[at] == u'元') {
        ++at;
        return 1;
    }
    static const QString digits = QStringLiteral("〇一二三四五六七八九");
    int total = 0, current = 0;
    bool any = false;
    for (; at < s.size(); ++at) {
        const QChar c = s[at];
        if (c.isDigit()) {
            current = current * 10 + c.digitValue();
        } else if (const qsizetype d = digits.indexOf(c); d >= 0) {
            current = current * 10 + int(d);
        } else if (c == u'十' || c == u'百' || c == u'千') {
            const int unit = c == u'十' ? 10 : c == u'百' ? 100 : 1000;
            total += (current == 0 ? 1 : current) * unit;
            current = 0;
        } else {
            break;
        }
        any = true;
    }
    return any ? total + current : -1;
}

// Era, year and number of a law number, for its order; (9, 0, 0) when it has none.
std::tuple<int, int, int> lawNumberKey(const QString& lawNum) {
    static const QStringList eras{QStringLiteral("明治"), QStringLiteral("大正"),
                                  QStringLiteral("昭和"), QStringLiteral("平成"),
                                  QStringLiteral("令和")};
    for (int e = 0; e < eras.size(); ++e) {
        if (!lawNum.startsWith(eras[e])) continue;
        qsizetype at = eras[e].size();
        const int year = numberAt(lawNum, at);
        const qsizetype no = lawNum.indexOf(u'第', at);
        qsizetype n = no + 1;
        const int number = no < 0 ? 0 : numberAt(lawNum, n);
        return {e + 1, year, number};
    }
    return {9, 0, 0};
}

}  // namespace

QString lawKind(const QString& lawNum, const QString& title) {
    const QString s = lawNum.isEmpty() ? title : lawNum;
    if (s.contains(QStringLiteral("憲法"))) return QStringLiteral("憲法");
    if (s.contains(QStringLiteral("法律"))) return QStringLiteral("法律");
    if (s.contains(QStringLiteral("政令"))) return QStringLiteral("政令");
    if (s.contains(QStringLiteral("府令")) || s.contains(QStringLiteral("省令")))
        return QStringLiteral("府省令");
    if (s.contains(QStringLiteral("規則"))) return QStringLiteral("規則");
    if (lawNum.isEmpty() && title.endsWith(u'法')) return QStringLiteral("法律");
    return QStringLiteral("その他");
}

QStringList lawKinds() {
    return {QStringLiteral("憲法"),   QStringLiteral("法律"), QStringLiteral("政令"),
            QStringLiteral("府省令"), QStringLiteral("規則"), QStringLiteral("その他")};
}

namespace {

struct KnownLaw {
    QString reading;
    QStringList abbreviations;
};

// Readings and short names readers and textbooks use, for laws whose source gave none (a law
// imported from text carries no reading) and abbreviations law XML does not give.
const QHash<QString, KnownLaw>& knownLaws() {
    static const QHash<QString, KnownLaw> laws{
        {QStringLiteral("日本国憲法"),
         {QStringLiteral("にほんこくけんぽう"), {QStringLiteral("憲法")}}},
        {QStringLiteral("民法"), {QStringLiteral("みんぽう"), {}}},
        {QStringLiteral("刑法"), {QStringLiteral("けいほう"), {}}},
        {QStringLiteral("会社法"), {QStringLiteral("かいしゃほう"), {}}},
        {QStringLiteral("民事訴訟法"),
         {QStringLiteral("みんじそしょうほう"),
          {QStringLiteral("民訴"), QStringLiteral("民訴法")}}},
        {QStringLiteral("刑事訴訟法"),
         {QStringLiteral("けいじそしょうほう"),
          {QStringLiteral("刑訴"), QStringLiteral("刑訴法")}}},
        {QStringLiteral("行政手続法"),
         {QStringLiteral("ぎょうせいてつづきほう"), {QStringLiteral("行手法")}}},
        {QStringLiteral("国家賠償法"),
         {QStringLiteral("こっかばいしょうほう"),
          {QStringLiteral("国賠"), QStringLiteral("国賠法")}}},
        {QStringLiteral("行政事件訴訟法"),
         {QStringLiteral("ぎょうせいじけんそしょうほう"),
          {QStringLiteral("行訴"), QStringLiteral("行訴法")}}},
        {QStringLiteral("民事執行法"),
         {QStringLiteral("みんじしっこうほう"),
          {QStringLiteral("民執"), QStringLiteral("民執法")}}},
        {QStringLiteral("民事保全法"),
         {QStringLiteral("みんじほぜんほう"), {QStringLiteral("民保"), QStringLiteral("民保法")}}},
        {QStringLiteral("借地借家法"), {QStringLiteral("しゃくちしゃっかほう"), {}}},
        {QStringLiteral("私的独占の禁止及び公正取引の確保に関する法律"),
         {{}, {QStringLiteral("独禁法"), QStringLiteral("独占禁止法")}}},
        {QStringLiteral("個人情報の保護に関する法律"),
         {{}, {QStringLiteral("個人情報保護法"), QStringLiteral("個情法")}}},
        {QStringLiteral("行政機関の保有する情報の公開に関する法律"),
         {{}, {QStringLiteral("情報公開法")}}},
        {QStringLiteral("労働基準法"),
         {QStringLiteral("ろうどうきじゅんほう"), {QStringLiteral("労基法")}}},
        {QStringLiteral("労働契約法"),
         {QStringLiteral("ろうどうけいやくほう"), {QStringLiteral("労契法")}}},
        {QStringLiteral("金融商品取引法"),
         {QStringLiteral("きんゆうしょうひんとりひきほう"), {QStringLiteral("金商法")}}},
        {QStringLiteral("不正競争防止法"),
         {QStringLiteral("ふせいきょうそうぼうしほう"), {QStringLiteral("不競法")}}},
    };
    return laws;
}

}  // namespace

QStringList commonAbbreviations(const QString& title) {
    return knownLaws().value(title).abbreviations;
}

QStringList knownAbbreviations() {
    QStringList out;
    for (const KnownLaw& law : knownLaws()) out << law.abbreviations;
    return out;
}

std::pair<QString, int> lawByAbbreviation(const QString& typed) {
    std::pair<QString, int> best{QString(), 0};
    for (const LawListEntry& law : readLawListEntries()) {
        QStringList abbrevs = law.abbrev.split(u',', Qt::SkipEmptyParts);
        abbrevs << commonAbbreviations(law.title);
        for (const QString& a : abbrevs)
            if (a.size() > best.second && typed.startsWith(a)) best = {law.code, int(a.size())};
    }
    return best;
}

QList<LawListEntry> readLawListEntries() {
    QList<LawListEntry> out;
    for (const store::LawEntry& e : store::readLawList()) {
        const store::LawInfo info = infoOf(e.name);
        LawListEntry l;
        l.number = e.number;
        l.code = e.code;
        l.name = e.name;
        l.title = info.title.isEmpty() ? e.name : info.title;
        l.kana = info.kana.isEmpty() ? knownLaws().value(l.title).reading : info.kana;
        l.abbrev = info.abbrev;
        l.lawNum = info.lawNum;
        l.kind = lawKind(info.lawNum, l.title);
        l.roman = romanize(l.kana);
        out << l;
    }
    return out;
}

bool lawListMatches(const LawListEntry& law, const QString& typed) {
    const QStringList words = typed.simplified().split(u' ', Qt::SkipEmptyParts);
    QStringList abbrevs = law.abbrev.split(u',', Qt::SkipEmptyParts);
    abbrevs << commonAbbreviations(law.title);
    for (const QString& w : words) {
        const QString kana = hiragana(w);
        bool found = law.title.contains(w) || law.name.contains(w) ||
                     (!law.kana.isEmpty() && hiragana(law.kana).contains(kana)) ||
                     (!law.roman.isEmpty() && law.roman.contains(w, Qt::CaseInsensitive)) ||
                     law.lawNum.contains(w) || law.code.compare(w, Qt::CaseInsensitive) == 0;
        for (const QString& a : abbrevs) found = found || a.contains(w);
        if (!found) return false;
    }
    return true;
}

void sortLawList(QList<LawListEntry>& laws, LawListOrder order) {
    auto by = [&](auto key) {
        std::stable_sort(
            laws.begin(), laws.end(),
            [&](const LawListEntry& a, const LawListEntry& b) { return key(a) < key(b); });
    };
    switch (order) {
        case LawListOrder::Number:
            by([](const LawListEntry& l) { return l.number; });
            break;
        case LawListOrder::Reading:
            // A law without a reading goes last, by its title.
            by([](const LawListEntry& l) {
                return std::pair(l.kana.isEmpty(), hiragana(l.kana.isEmpty() ? l.title : l.kana));
            });
            break;
        case LawListOrder::LawNumber:
            by([](const LawListEntry& l) { return lawNumberKey(l.lawNum); });
            break;
        case LawListOrder::Kind:
            by([kinds = lawKinds()](const LawListEntry& l) { return kinds.indexOf(l.kind); });
            break;
    }
}

}  // namespace exchange

#include "exchange/lawcode.h"

#include "exchange/lawlist.h"

#include <QHash>
#include <QSet>

#include <functional>

namespace exchange {

namespace {

// Hiragana syllables and their Hepburn spelling; katakana is folded onto hiragana first.
const QHash<QChar, QString>& syllables() {
    static const QHash<QChar, QString> table = [] {
        QHash<QChar, QString> t;
        const char16_t* kana =
            u"あいうえおかきくけこがぎぐげごさしすせそざじずぜぞたちつてとだぢづでどなにぬねの"
            u"はひふへほばびぶべぼぱぴぷぺぽまみむめもやゆよらりるれろわゐゑをんぁぃぅぇぉゔ";
        const char* roman[] = {
            "A",  "I",  "U",   "E",  "O",  "KA", "KI", "KU", "KE", "KO", "GA", "GI", "GU",  "GE",
            "GO", "SA", "SHI", "SU", "SE", "SO", "ZA", "JI", "ZU", "ZE", "ZO", "TA", "CHI", "TSU",
            "TE", "TO", "DA",  "JI", "ZU", "DE", "DO", "NA", "NI", "NU", "NE", "NO", "HA",  "HI",
            "FU", "HE", "HO",  "BA", "BI", "BU", "BE", "BO", "PA", "PI", "PU", "PE", "PO",  "MA",
            "MI", "MU", "ME",  "MO", "YA", "YU", "YO", "RA", "RI", "RU", "RE", "RO", "WA",  "I",
            "E",  "O",  "N",   "A",  "I",  "U",  "E",  "O",  "VU"};
        for (int i = 0; kana[i]; ++i) t.insert(QChar(kana[i]), QString::fromLatin1(roman[i]));
        return t;
    }();
    return table;
}

QChar toHiragana(QChar c) {
    const char16_t u = c.unicode();
    return u >= 0x30A1 && u <= 0x30F6 ? QChar(char16_t(u - 0x60)) : c;
}

}  // namespace

QString romanize(const QString& kana) {
    QString out;
    bool doubleNext = false;  // っ: the next consonant twice
    for (qsizetype i = 0; i < kana.size(); ++i) {
        const QChar c = toHiragana(kana[i]);
        if (c == u'っ') {
            doubleNext = true;
            continue;
        }
        QString s = syllables().value(c);
        if (s.isEmpty()) continue;  // ー, blanks and anything else
        // きゃ kya, しゃ sha, ちゃ cha, じゃ ja: the small ゃゅょ after an i-syllable.
        const QChar next = i + 1 < kana.size() ? toHiragana(kana[i + 1]) : QChar();
        if (next == u'ゃ' || next == u'ゅ' || next == u'ょ') {
            const QString vowel = next == u'ゃ'   ? QStringLiteral("A")
                                  : next == u'ゅ' ? QStringLiteral("U")
                                                  : QStringLiteral("O");
            if (s.endsWith(u'I') && s.size() > 1) {
                s.chop(1);
                if (s != QStringLiteral("SH") && s != QStringLiteral("CH") &&
                    s != QStringLiteral("J"))
                    s += u'Y';
                s += vowel;
                ++i;
            }
        }
        if (doubleNext && !s.isEmpty()) s.prepend(s.startsWith(QStringLiteral("CH")) ? u'T' : s[0]);
        doubleNext = false;
        out += s;
    }
    return out;
}

QStringList codeCandidates(const QString& kana) {
    const QString roman = romanize(kana);
    const QString alnum = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    QStringList out;
    QSet<QString> seen;
    auto add = [&](const QString& code) {
        if (!seen.contains(code)) {
            seen.insert(code);
            out << code;
        }
    };
    const QChar first = roman.isEmpty() ? QChar(u'A') : roman[0];
    for (qsizetype i = 1; i < roman.size(); ++i) add(QString(first) + roman[i]);
    for (const QChar c : alnum) add(QString(first) + c);
    for (const QChar f : alnum.left(26))
        if (f != first)
            for (const QChar c : alnum) add(QString(f) + c);
    return out;
}

namespace {

// Each kanji candidate in turn, until `take` takes one.
void eachKanjiCandidate(const QString& title, const QString& abbrev,
                        const std::function<bool(const QString&)>& take) {
    QSet<QString> seen;
    auto offer = [&](QChar a, QChar b) {
        const QString code = QString(a) + b;
        if (seen.contains(code)) return false;
        seen.insert(code);
        return take(code);
    };
    auto kanjiOf = [](const QString& text) {
        QList<QChar> k;
        for (const QChar c : text)
            if (store::isCodeKanji(c)) k << c;
        return k;
    };
    for (const QString& words : {abbrev, title}) {
        const QList<QChar> k = kanjiOf(words);
        for (qsizetype i = 0; i < k.size(); ++i)
            for (qsizetype j = i + 1; j < k.size(); ++j)
                if (offer(k[i], k[j])) return;
    }
    static const QList<QChar> every = store::codeKanji();
    QList<QChar> firsts = kanjiOf(title);
    firsts << QChar(u'法') << every;  // then any first kanji: never short of codes
    for (const QChar f : firsts)
        for (const QChar c : every)
            if (offer(f, c)) return;
}

}  // namespace

QStringList kanjiCodeCandidates(const QString& title, const QString& abbrev, int most) {
    QStringList out;
    if (most > 0)
        eachKanjiCandidate(title, abbrev, [&](const QString& code) {
            out << code;
            return out.size() >= most;
        });
    return out;
}

QString proposeLawCode(const QString& name, const QString& kana,
                       const QList<store::LawEntry>& listed, const QString& abbrev) {
    QSet<QString> taken, names;
    for (const store::LawEntry& law : listed) {
        if (!name.isEmpty() && law.name == name) return law.code;
        taken.insert(law.code.toUpper());
        names.insert(law.name);
    }
    for (const QString& code : codeCandidates(kana))
        if (!taken.contains(code)) return code;
    // Past the ASCII codes: enough kanji candidates that one is free. A code that is a listed
    // law's name (民法 for 民法施行法) is passed over: typed, the name would win.
    QString free;
    eachKanjiCandidate(name, abbrev, [&](const QString& code) {
        // Another law's abbreviation (民訴) is no code for this one: typed, it names that law.
        static const QStringList abbreviations = knownAbbreviations();
        if (taken.contains(code) || names.contains(code) ||
            (abbreviations.contains(code) && !commonAbbreviations(name).contains(code)))
            return false;
        free = code;
        return true;
    });
    return free;
}

QString proposeLawCode(const QString& name, const QString& kana, const QString& abbrev) {
    return proposeLawCode(name, kana, store::readLawList(), abbrev);
}

}  // namespace exchange

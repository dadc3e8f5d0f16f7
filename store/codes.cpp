#include "store/codes.h"

#include "platform/prompt.h"
#include "platform/vb.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace store {

namespace {
// A numeric field of a code; a non-digit or a negative number is a conversion failure (a
// negative paragraph number would make a character that is no mark).
int num(const QString& code, int from, int len) {
    return int(platform::strictInt(code.mid(from, len), 0));
}

QString articleText(const QString& code10) {
    QString s = QString::number(num(code10, 2, 4)) + QStringLiteral("条");
    const int b1 = num(code10, 6, 2);
    const int b2 = num(code10, 8, 2);
    if (b1 >= 2) s += u'の' + QString::number(b1);
    if (b2 >= 2) s += u'の' + QString::number(b2);
    return s;
}
}  // namespace

int paragraphOrdinal(const QString& code) {
    return num(code, 10, 2);
}

QString GetJouKouText(const QString& code, bool articleNumbers) {
    QString c = code;
    if (c.size() == 8) {
        if (!articleNumbers) return {};
        c = QStringLiteral("00") + c;
    }
    if (c.size() == 10) return u'第' + articleText(c);
    if (c.size() == 16) {
        const int n = num(c, 12, 2);
        if (n == 0) return {};
        if (n <= 20) return QString(QChar(0x2460 + n - 1)) + u' ';
        return u'(' + QString::number(n) + u')';
    }
    return {};
}

QString GetJouRangeText(const QString& first, const QString& last) {
    QString s = u'（' + articleText(QStringLiteral("00") + first);
    if (last != first) s += u'～' + articleText(QStringLiteral("00") + last);
    return s + u'）';
}

QString GetMokujiName(const QString& code, QString& label) {
    const int hen = num(code, 2, 2), shou = num(code, 4, 2), shouBranch = num(code, 6, 2);
    const int setsu = num(code, 8, 2), setsuBranch = num(code, 10, 2);
    const int kan = num(code, 12, 2), moku = num(code, 14, 2);
    if (moku > 0) {
        label = u'第' + QString::number(moku) + u'目';
        return code.left(14) + QStringLiteral("00");
    }
    if (kan > 0) {
        label = u'第' + QString::number(kan) + u'款';
        return code.left(12) + QStringLiteral("0000");
    }
    if (setsu > 0) {
        label = u'第' + QString::number(setsu) + u'節';
        if (setsuBranch > 0) label += u'の' + QString::number(setsuBranch);
        return code.left(8) + QStringLiteral("00000000");
    }
    if (shou > 0) {
        label = u'第' + QString::number(shou) + u'章';
        if (shouBranch > 0) label += u'の' + QString::number(shouBranch);
        return code.left(4) + QStringLiteral("000000000000");
    }
    if (hen > 0) {
        label = u'第' + QString::number(hen) + u'編';
        return code.left(2) + QStringLiteral("00000000000000");
    }
    return {};
}

QString GetMokujiPathText(const QString& code, QString& fullPath) {
    const QString rest = code.mid(2);
    if (rest.isEmpty()) return {};
    for (const QChar c : rest)
        if (c < u'0' || c > u'9') return {};
    const QString name = GetHoutenName(code.left(2));
    const int len = int(code.size());
    QString full, shortPath;
    auto piece = [&](int minLen, int from, const QChar kind, int branchFrom) {
        if (len <= minLen) return;
        const int n = int(platform::valInt(code.mid(from, 2)));
        QString p = QStringLiteral(" 第") + QString::number(n) + kind;
        if (branchFrom > 0) {
            const int b = int(platform::valInt(code.mid(branchFrom, 2)));
            if (b > 0) p += u'の' + QString::number(b);
        }
        full += p;
        if (n > 0) shortPath += p;
    };
    piece(3, 2, u'編', 0);
    piece(7, 4, u'章', 6);
    piece(9, 8, u'節', 10);
    piece(13, 12, u'款', 0);
    piece(15, 14, u'目', 0);
    fullPath = name + full;
    return name + shortPath;
}

QString GetKouHeader(const QString& part, QString& label) {
    if (num(part, 2, 2) > 0) {
        const QString p = QString::number(num(part, 0, 2));
        label = QStringLiteral(" 第") + p + u'項';
        return QStringLiteral("\r\n[第") + p + QStringLiteral("項]\r\n");
    }
    label.clear();
    return QStringLiteral("\r\n");
}

int KanjiDigitValue(QChar c) {
    switch (c.unicode()) {
        case 0x5343:
            return 1000;  // 千
        case 0x767E:
            return 100;  // 百
        case 0x5341:
            return 10;  // 十
        case 0x4E5D:
            return 9;  // 九
        case 0x516B:
            return 8;  // 八
        case 0x4E03:
            return 7;  // 七
        case 0x516D:
            return 6;  // 六
        case 0x4E94:
            return 5;  // 五
        case 0x56DB:
            return 4;  // 四
        case 0x4E09:
            return 3;  // 三
        case 0x4E8C:
            return 2;  // 二
        case 0x4E00:
            return 1;  // 一
        default:
            return 0;
    }
}

int KanjiNumberValue(const QString& numeral) {
    long long total = 0, digit = 0;
    for (const QChar c : numeral) {
        const int v = KanjiDigitValue(c);
        if (v >= 10) {
            total += (digit > 0 ? digit : 1) * v;
            digit = 0;
        } else if (v > 0) {
            total += digit;
            digit = v;
        }
        // No article number is that large: a reading error, not a number to wrap around.
        if (total + digit > kMaxKanjiNumber)
            throw platform::ConversionError(QStringLiteral("オーバーフローしました。"));
    }
    return int(total + digit);
}

QString kanjiNumeral(int value) {
    if (value <= 0 || value > kMaxKanjiNumber) return QString::number(value);
    static const QString digits = QStringLiteral("〇一二三四五六七八九");
    static const QString units = QStringLiteral("千百十");
    QString s;
    int rest = value;
    for (int unit = 1000, u = 0; unit >= 10; unit /= 10, ++u) {
        const int d = rest / unit;
        rest %= unit;
        if (d == 0) continue;
        if (d > 1) s += digits[d];
        s += units[u];
    }
    if (rest > 0) s += digits[rest];
    return s;
}

QString kanjiArticleNumbers(const QString& label) {
    // A number before 編 … 条 and every の-number after it: the branches of that heading.
    static const QRegularExpression article(
        QStringLiteral("([0-9]+)(編|章|節|款|目|条)((?:の[0-9]+)*)"));
    static const QRegularExpression branch(QStringLiteral("の([0-9]+)"));
    QString out;
    qsizetype from = 0;
    for (auto it = article.globalMatch(label); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += label.mid(from, m.capturedStart() - from);
        out += kanjiNumeral(m.captured(1).toInt()) + m.captured(2);
        for (auto b = branch.globalMatch(m.captured(3)); b.hasNext();)
            out += u'の' + kanjiNumeral(b.next().captured(1).toInt());
        from = m.capturedEnd();
    }
    return out + label.mid(from);
}

bool kanjiArticleNumber(const QString& text, int* value) {
    const qsizetype dai = text.indexOf(u'第');
    const qsizetype jou = text.indexOf(u'条');
    if (dai < 0 || jou < 0 || jou <= dai) return false;
    *value = KanjiNumberValue(text.mid(dai + 1, jou - dai - 1));
    return true;
}

void ShowKanjiJouNumber(const QString& text) {
    int v = 0;
    if (kanjiArticleNumber(text, &v)) platform::msgBox(QString::number(v));
}

QString GetHtmlPath(const QString& code) {
    const QString html = folders().html;
    if (!QFileInfo(html).isDir()) QDir().mkpath(html);
    const QString folder = joinPath(html, code.left(2));
    if (!QFileInfo(folder).isDir()) QDir().mkpath(folder);
    return joinPath(folder, code + QStringLiteral(".html"));
}

QString TrimTrailingCRLF(const QString& text) {
    QString s = text;
    trimTrailingCRLF(s);
    return s;
}

void trimTrailingCRLF(QString& s) {
    // Each line break at the end goes with the blanks before it; a text that does not end
    // with one is left alone.
    while (s.endsWith(QStringLiteral("\r\n"))) {
        s.chop(2);
        while (s.endsWith(u' ')) s.chop(1);
    }
}

}  // namespace store

#include "platform/vb.h"

namespace platform {

long long valInt(const QString& s) {
    int i = 0;
    const int n = int(s.size());
    while (i < n && (s[i] == u' ' || s[i] == u'\t')) ++i;
    bool negative = false;
    if (i < n && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
    long long v = 0;
    while (i < n && s[i] >= u'0' && s[i] <= u'9') {
        if (v < 1000000000000000000LL) v = v * 10 + (s[i].unicode() - u'0');
        ++i;
    }
    return negative ? -v : v;
}

long long strictInt(const QString& s, long long minimum, long long maximum) {
    const QString t = toHalfWidthDigits(s).trimmed();
    int i = 0;
    const int n = int(t.size());
    bool negative = false;
    if (i < n && (t[i] == u'-' || t[i] == u'+')) negative = t[i++] == u'-';
    if (i == n) throw ConversionError(QStringLiteral("型が一致しません。"));
    long long v = 0;
    for (; i < n; ++i) {
        if (t[i] < u'0' || t[i] > u'9') throw ConversionError(QStringLiteral("型が一致しません。"));
        if (v > 100000000000LL) throw ConversionError(QStringLiteral("オーバーフローしました。"));
        v = v * 10 + (t[i].unicode() - u'0');
    }
    if (negative) v = -v;
    if (v < minimum || v > maximum)
        throw ConversionError(QStringLiteral("オーバーフローしました。"));
    return v;
}

std::optional<int> timerInterval(const QString& s) {
    try {
        return int(strictInt(s, 0, 2147483647LL));
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

QString toHalfWidthDigits(const QString& s) {
    QString r = s;
    for (QChar& c : r)
        if (c >= QChar(0xFF10) && c <= QChar(0xFF19)) c = QChar(u'0' + (c.unicode() - 0xFF10));
    return r;
}

QString padNumber(long long n, int width) {
    if (n < 0) return u'-' + QString::number(-n).rightJustified(width, u'0');
    return QString::number(n).rightJustified(width, u'0');
}

QString trimBlanks(const QString& s) {
    int b = 0, e = int(s.size());
    while (b < e && s[b] == u' ') ++b;
    while (e > b && s[e - 1] == u' ') --e;
    return s.mid(b, e - b);
}

QString oneLine(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    s.replace(u'\n', u' ');
    s.replace(u'\r', u' ');
    return s;
}

}  // namespace platform

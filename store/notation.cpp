#include "store/notation.h"

#include "platform/prompt.h"
#include "platform/vb.h"

namespace store {

namespace {
// The 16-bit integer conversion of the runtime, leading and trailing blanks allowed.
int toInteger(const QString& piece) {
    return int(platform::strictInt(piece, -32768, 32767));
}

// Mid with a length that must not be negative, as the runtime checks it.
QString piece(const QString& s, qsizetype from, qsizetype length) {
    if (length < 0)
        throw platform::ConversionError(
            QStringLiteral("プロシージャの呼び出し、または引数が不正です。"));
    return s.mid(from, length);
}
}  // namespace

bool SplitJouNumber(const QString& s, int& article, int& branch1, int& branch2, int& paragraph) {
    // Positions are 1-based as the notation's rules count them; 0 means absent.
    const qsizetype h1 = s.indexOf(u'-') + 1;
    const qsizetype c = s.indexOf(u':') + 1;
    const qsizetype h2 = h1 > 0 ? s.indexOf(u'-', h1) + 1 : 0;
    try {
        if (h1 == 0 && c == 0) {
            article = toInteger(s);
        } else if (h1 == 0) {
            article = toInteger(piece(s, 0, c - 1));
            paragraph = toInteger(s.mid(c));
        } else if (h2 == 0 && c == 0) {
            article = toInteger(piece(s, 0, h1 - 1));
            branch1 = toInteger(s.mid(h1));
        } else if (h2 == 0) {
            article = toInteger(piece(s, 0, h1 - 1));
            branch1 = toInteger(piece(s, h1, c - h1 - 1));
            paragraph = toInteger(s.mid(c));
        } else if (c == 0) {
            article = toInteger(piece(s, 0, h1 - 1));
            branch1 = toInteger(piece(s, h1, h2 - h1 - 1));
            branch2 = toInteger(s.mid(h2));
        } else {
            article = toInteger(piece(s, 0, h1 - 1));
            branch1 = toInteger(piece(s, h1, h2 - h1 - 1));
            branch2 = toInteger(piece(s, h2, c - h2 - 1));
            paragraph = toInteger(s.mid(c));
        }
    } catch (const platform::ConversionError& e) {
        platform::msgBox(e.description() + QStringLiteral("\r\n\r\n") + s);
        return false;
    }
    return true;
}

QString ExtractCode(const QString& text, QString* normalized) {
    if (text.isEmpty()) return {};
    const QString law = text.left(2).toUpper();
    const QString rest = text.mid(2);
    if (normalized) *normalized = law + rest;
    int article = 0, branch1 = 0, branch2 = 0, paragraph = 0;
    SplitJouNumber(rest, article, branch1, branch2, paragraph);
    using platform::padNumber;
    QString code = law + padNumber(article, 4) + padNumber(branch1, 2) + padNumber(branch2, 2);
    if (paragraph != 0)
        code += padNumber(paragraph, 2) + padNumber(paragraph, 2) + QStringLiteral("00");
    return code;
}

}  // namespace store

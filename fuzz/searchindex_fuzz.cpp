// The word search's index may only narrow where to look, never lose a hit: whenever a text
// holds every word (folded the index's way), each term of the words' query is a term the index
// keeps for the text (a one-character term as a prefix). Input: the words as typed, a zero
// byte, the text (without a zero byte the input is both).
#include "fuzz/fuzzsupport.h"
#include "store/lawdb.h"
#include "store/textfold.h"
#include "viewer/shell/searchindex.h"

#include <QSet>
#include <QString>

namespace {

QString indexFold(const QString& s) {
    QString out = store::foldText(s, store::Fold::Loose);
    for (QChar& c : out)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 0x20);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 2000) return 0;
    const QByteArray all(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype zero = all.indexOf('\0');
    const QByteArray typed = zero < 0 ? all : all.left(zero);
    const QByteArray text = zero < 0 ? all : all.mid(zero + 1);
    const QStringList words = store::splitSearchWords(QString::fromUtf8(typed));
    const QString query = viewer::searchIndexQuery(words);
    const QStringList terms = viewer::searchIndexTerms(text);
    // Well-formed UTF-8 only: the search's texts come from SQLite as such.
    const QString t = QString::fromUtf8(text);
    if (t.toUtf8() != text || QString::fromUtf8(typed).toUtf8() != typed) return 0;
    const QString folded = indexFold(t);
    for (const QString& w : words)
        if (!folded.contains(indexFold(w))) return 0;
    const QSet<QString> kept(terms.begin(), terms.end());
    for (QString part : query.split(QStringLiteral(" AND "), Qt::SkipEmptyParts)) {
        const bool prefix = part.endsWith(u'*');
        if (prefix) part.chop(1);
        fuzz::check(part.size() >= 2 && part.startsWith(u'"') && part.endsWith(u'"'),
                    "each term is quoted");
        const QString term = indexFold(
            part.mid(1, part.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\"")));
        bool found = kept.contains(term);
        if (prefix)
            for (const QString& k : terms) found = found || k.startsWith(term);
        fuzz::check(found, "every term of the query is kept for a text holding the words");
    }
    return 0;
}

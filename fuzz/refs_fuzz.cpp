// Statute text through the reference finder, in a constructed law: every reference lies
// inside the text, in order without overlap, starts where a reference can start, and has a
// target of the documented shapes, whose record code gives it back.
#include "fuzz/fuzzsupport.h"
#include "viewer/browser/refs.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static viewer::LawIndex law = [] {
        viewer::LawIndex l;
        l.code = QStringLiteral("ZZ");
        for (const char* a : {"00010000", "00020000", "00020200", "00100000", "00110000"}) {
            l.articles << QString::fromLatin1(a);
            l.paragraphs.insert(QString::fromLatin1(a), 3);
        }
        return l;
    }();
    static const QRegularExpression target(
        QStringLiteral("^(\\?|!|(ZZ|XX)\\d{1,4}(-\\d{1,2}){0,2}(:\\d{1,2})?(~(ZZ|XX)\\d{1,4}(-\\d{"
                       "1,2}){0,2}(:\\d{1,2})?)?)$"));
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    viewer::RefContext c;
    c.law = &law;
    c.article = QStringLiteral("00110000");
    c.paragraph = 2;
    c.listedNames.insert(QStringLiteral("外国法"), QStringLiteral("XX"));
    c.otherLaw = [](const QString&) -> const viewer::LawIndex* { return nullptr; };
    int end = 0;
    for (const viewer::Reference& r : viewer::findReferences(text, c)) {
        fuzz::check(r.start >= end && r.length > 0 && r.start + r.length <= text.size(),
                    "references lie inside the text, in order, without overlap");
        const QChar first = text[r.start];
        fuzz::check(QStringLiteral("第前次同本こ").contains(first),
                    "a reference starts at 第 or a relative word");
        fuzz::check(target.match(r.target).hasMatch(), "a target of the documented shapes");
        // A single place of the law: its record code, and back to the same short number.
        if (r.target.startsWith(QStringLiteral("ZZ")) && !r.target.contains(u'~')) {
            const QString code = viewer::targetRecordCode(r.target, &law);
            fuzz::check(code.size() == 16, "a place of the law has its record code");
            const int paragraph = r.target.contains(u':') ? code.mid(10, 2).toInt() : 0;
            fuzz::check(viewer::shortTarget(law, code.mid(2, 8), paragraph) == r.target,
                        "the record code gives the short number back");
        }
        end = r.start + r.length;
    }
    return 0;
}

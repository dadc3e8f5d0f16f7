// Statute text through the defined-term finder: every term found is written in the text at
// its place, not empty, of one of the four forms, and its scope says no において.
#include "fuzz/fuzzsupport.h"
#include "viewer/browser/terms.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const viewer::DefinedTerm& t :
         viewer::findDefinitions(QStringLiteral("ZZ00020000010000"), text)) {
        fuzz::check(!t.term.isEmpty(), "a term has words");
        fuzz::check(t.start >= 0 && t.start + t.term.size() <= text.size() &&
                        text.mid(t.start, t.term.size()) == t.term,
                    "a term stands at its place");
        fuzz::check(t.form >= 1 && t.form <= 4, "one of the four forms");
        fuzz::check(!t.scope.contains(QStringLiteral("において")), "a scope without において");
    }
    return 0;
}

// The short number typed into the lookup boxes: any text, through SplitJouNumber and
// ExtractCode. Failures are messages, never crashes or undefined behaviour.
#include "fuzz/fuzzsupport.h"
#include "store/notation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Environment& env = fuzz::environment();
    env.prompt.messages.clear();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString shown;
    const QString code = store::ExtractCode(text, &shown);
    fuzz::check(text.isEmpty() == code.isEmpty(), "a code for every text typed");
    fuzz::check(text.isEmpty() || code.startsWith(text.left(2).toUpper()),
                "the code begins with the law code typed, in upper case");
    int a = 0, b1 = 0, b2 = 0, p = 0;
    store::SplitJouNumber(text, a, b1, b2, p);
    return 0;
}

// The kanji numeral reader: any text. A value is between 0 and the largest article number;
// anything larger is a conversion error, never a wrapped number.
#include "fuzz/fuzzsupport.h"
#include "platform/vb.h"
#include "store/codes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::environment();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const int v = store::KanjiNumberValue(text);
        fuzz::check(v >= 0 && v <= store::kMaxKanjiNumber, "a kanji numeral within its bound");
        int article = -1;
        if (store::kanjiArticleNumber(text, &article))
            fuzz::check(article >= 0 && article <= store::kMaxKanjiNumber,
                        "an article number within its bound");
    } catch (const platform::ConversionError&) {
    }
    return 0;
}

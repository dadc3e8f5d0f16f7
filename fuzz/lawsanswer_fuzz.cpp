// Any answer to a law API search: read as the documented list or refused as a bad answer,
// never both; every law read has an id and a title.
#include "exchange/lawapi.h"
#include "fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray answer(reinterpret_cast<const char*>(data), qsizetype(size));
    exchange::ApiError error;
    const exchange::ApiSearch found = exchange::parseLawsAnswer(answer, &error);
    fuzz::check(!error || found.laws.isEmpty(), "a bad answer reads no laws");
    fuzz::check(!error || error.kind == exchange::ApiFailure::BadAnswer, "a bad answer says so");
    for (const exchange::ApiLaw& law : found.laws)
        fuzz::check(!law.lawId.isEmpty() && !law.title.isEmpty(),
                    "every law has an id and a title");
    exchange::matchingLaws(found.laws, QString::fromUtf8(answer.left(40)));
    return 0;
}

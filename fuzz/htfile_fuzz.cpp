// The law-list file ht.dat: any bytes. What is listed afterwards has a valid code, a name
// that can be a file, and no code twice in any case.
#include "exchange/htfile.h"
#include "fuzz/fuzzsupport.h"
#include "platform/error.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Environment& env = fuzz::environment();
    env.freshRoot();
    const QString path = env.file("ht.dat");
    env.write(path, data, size);
    try {
        exchange::loadHtFileFrom(path);
    } catch (const platform::Error&) {
        return 0;
    }
    QSet<QString> codes;
    for (const store::LawEntry& law : store::readLawList()) {
        fuzz::check(store::isValidLawCode(law.code), "listed codes are valid");
        fuzz::check(store::isValidLawName(law.name), "listed names can be files");
        fuzz::check(!codes.contains(law.code.toUpper()), "no code is listed twice");
        codes.insert(law.code.toUpper());
    }
    return 0;
}

// A bulk download zip: any bytes as a .zip, its law XML listed and each read and its head
// taken. A damaged archive or entry is refused with a LawSourceError, never a crash, and
// every name listed is a .xml.
#include "exchange/lawsource.h"
#include "exchange/lawxml.h"
#include "fuzz/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Environment& env = fuzz::environment();
    const QString path = env.file("laws.zip");
    env.write(path, data, size);
    try {
        const exchange::LawXmlSource source(path);
        for (int i = 0; i < source.names().size(); ++i) {
            fuzz::check(source.names()[i].endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive),
                        "only law XML is listed");
            try {
                exchange::lawXmlHead(source.read(i));
            } catch (const exchange::LawSourceError&) {
            }
        }
    } catch (const exchange::LawSourceError&) {
    }
    return 0;
}

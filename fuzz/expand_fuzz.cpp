// The expanded text over a table of contents from any idx.dat bytes: the imported rows'
// spans, ranges and codes are read as they came. The law is the Constitution, imported once;
// its table of contents is replaced by each input. A build either fails with a message-level
// error or gives the name and, in the headings mode of a table of contents, one line per row.
#include "exchange/idximport.h"
#include "fuzz/fuzzsupport.h"
#include "maint/lawimport.h"
#include "platform/error.h"
#include "viewer/browser/lawtree.h"
#include "viewer/tools/expand.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Environment& env = fuzz::environment();
    static const bool ready = [&env] {
        env.freshRoot();
        maint::LawTextImporter importer;
        importer.run(maint::readLawTextFile(QStringLiteral(LEXORA_SAMPLE_DIR "/KP.txt")), {});
        return true;
    }();
    (void)ready;
    const QString law = QStringLiteral("KP");
    static const QString kCrLf = QStringLiteral("\r\n");
    static const qsizetype fixedBreaks =
        6 + viewer::promulgationText().count(kCrLf) + viewer::preambleText().count(kCrLf);
    store::openLawDb(QStringLiteral("日本国憲法")).execute(QStringLiteral("delete from 目次"));
    const QString path = env.file("idx.dat");
    env.write(path, data, size);
    try {
        exchange::ImportIdxFile(path);
    } catch (const platform::Error&) {
        return 0;
    }
    const int rows = store::openLawDb(QStringLiteral("日本国憲法"))
                         .openRecordset(QStringLiteral("select * from 目次"))
                         .recordCount();
    for (int mode = 0; mode < 3; ++mode)
        for (bool ranges : {false, true}) {
            QString text;
            try {
                text = viewer::GetExpandedTextALL(law, viewer::ExpandMode(mode), ranges);
            } catch (const platform::Error&) {
                continue;
            }
            fuzz::check(text.startsWith(QStringLiteral("日本国憲法")),
                        "the text starts with the name");
            // Headings alone: the fixed texts' line breaks and one more per row.
            if (mode == 2 && rows > 0)
                fuzz::check(text.count(kCrLf) == fixedBreaks + rows, "one line per row");
        }
    return 0;
}

// The index file idx.dat: any bytes, imported into a root with the seven sample laws listed
// and their tables of contents emptied before each input (so a finding replays alone).
// Failures are messages; every row afterwards is in the database of the law it names, and
// only the laws the question beforehand named (replaced or added to) gained rows.
#include "exchange/htfile.h"
#include "exchange/idximport.h"
#include "fuzz/fuzzsupport.h"
#include "platform/error.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Environment& env = fuzz::environment();
    static const QList<store::LawEntry> laws = [&env] {
        env.sevenLawRoot();
        return store::readLawList();
    }();
    for (const store::LawEntry& law : laws)
        store::openLawDb(law.name).execute(QStringLiteral("delete from 目次"));
    const QString path = env.file("idx.dat");
    env.write(path, data, size);
    env.prompt.messages.clear();
    exchange::IdxTargets targets;
    exchange::IdxImportResult result;
    try {
        const platform::TextLines lines = platform::readLinesLenient(path);
        targets = exchange::tocImportTargets(lines, path);
        result = exchange::importIdxLines(lines, path);
    } catch (const platform::Error&) {
        return 0;
    }
    fuzz::check(targets.refusal == result.refusal, "the question and the import agree on refusal");
    for (const store::LawEntry& law : laws) {
        store::Database db = store::openLawDb(law.name);
        store::Recordset rs = db.openRecordset(QStringLiteral("select * from 目次"));
        const QString label = law.code + u' ' + law.name;
        if (rs.recordCount() > 0)
            fuzz::check(targets.replaced.contains(label) || targets.added.contains(label),
                        "a law that gained rows was named in the question");
        for (; !rs.eof(); rs.moveNext()) {
            const QString code = rs.text(QStringLiteral("コード"));
            fuzz::check(code.left(2).compare(law.code, Qt::CaseInsensitive) == 0,
                        "a table-of-contents row belongs to its law");
        }
    }
    return 0;
}

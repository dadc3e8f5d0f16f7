// The law text import: a file of any bytes, read and written into a fresh data root. Whatever
// was written must be whole: every block written or named, every record of the law keyed by
// the upper-case law code and 14 digits (no article 0), and the law listed once.
#include "fuzz/fuzzsupport.h"
#include "maint/lawimport.h"
#include "platform/error.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Environment& env = fuzz::environment();
    env.freshRoot();
    const QString path = env.file("law.txt");
    env.write(path, data, size);
    maint::ImportResult r;
    try {
        maint::LawTextImporter importer;
        r = importer.run(maint::readLawTextFile(path), {});
    } catch (const platform::Error&) {
        return 0;  // refused with a message: nothing to check
    }
    // Every article block is written or named: none goes missing without a word.
    const qsizetype blocks =
        maint::readLawTextFile(path).split(QStringLiteral("\r\n\r\n")).size() - 1;
    fuzz::check(r.stopped || r.articles + r.skipped.size() == blocks,
                "every block is written or named in the report");
    const QList<store::LawEntry> laws = store::readLawList();
    fuzz::check(laws.size() == 1, "one law listed after an import");
    fuzz::check(store::isValidLawCode(r.lawCode) && r.lawCode == r.lawCode.toUpper(),
                "the law code is two characters in upper case");
    fuzz::check(QFileInfo::exists(store::lawDbPath(r.lawName)), "a listed law has its database");
    store::Database db = store::openLawDb(r.lawName);
    store::Recordset rs = db.openRecordset(QStringLiteral("select * from 条文"));
    fuzz::check(rs.recordCount() == r.records, "the records counted are the records stored");
    for (; !rs.eof(); rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("条項コード"));
        fuzz::check(code.size() == 16, "every record code has 16 characters");
        fuzz::check(code.startsWith(r.lawCode), "every record code starts with the law code");
        for (int i = 2; i < 16; ++i) fuzz::check(code[i].isDigit(), "record codes are digits");
        fuzz::check(code.mid(2, 4) != QStringLiteral("0000"), "no article 0");
    }
    return 0;
}

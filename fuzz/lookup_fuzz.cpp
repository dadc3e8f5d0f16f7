// What a reader types to jump: any text, through the forgiving reading of short numbers and
// its resolution against a root with the seven sample laws listed (民法 with a few records).
// A number read is within its fields and reads back the same from its plain form; a
// resolution either names its node or says why not, never both.
#include "exchange/lawlist.h"
#include "exchange/lawparts.h"
#include "fuzz/fuzzsupport.h"
#include "store/engine.h"
#include "store/lawdb.h"
#include "viewer/browser/lawtree.h"
#include "viewer/shell/lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Environment& env = fuzz::environment();
    static const bool ready = [&env] {
        env.sevenLawRoot();
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        for (const char* code : {"MP04150000000001", "MP04150000010100", "MP04150000020200",
                                 "MP03000000010000", "MP03980200030300"})
            db.execute(QStringLiteral("insert into 条文 values (?, ?)"),
                       {QString::fromLatin1(code), QStringLiteral("本文")});
        // Parts to reach by kind, law number and article.
        auto part = [](const char* tag, const char* xml, int n) {
            return exchange::readLawPart(QString::fromLatin1(tag), QByteArray(xml), n);
        };
        store::writeLawParts(
            db, {part("SupplProvision",
                      "<SupplProvision><Article Num=\"1\"><Paragraph Num=\"1\"><Sentence>甲"
                      "</Sentence></Paragraph></Article></SupplProvision>",
                      1),
                 part("SupplProvision",
                      "<SupplProvision AmendLawNum=\"平成二九年六月二日法律第四四号\">"
                      "<Paragraph Num=\"1\"><Sentence>乙</Sentence></Paragraph><Paragraph "
                      "Num=\"2\"><Sentence>丙</Sentence></Paragraph></SupplProvision>",
                      2),
                 part("AppdxTable",
                      "<AppdxTable><AppdxTableTitle>別表第一</AppdxTableTitle>"
                      "</AppdxTable>",
                      1)});
        return true;
    }();
    (void)ready;
    env.prompt.messages.clear();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    // The law list's filter takes the same typing: a blank filter keeps every law.
    for (const exchange::LawListEntry& law : exchange::readLawListEntries()) {
        const bool kept = exchange::lawListMatches(law, text);
        fuzz::check(kept || !text.simplified().isEmpty(), "a blank filter keeps every law");
    }
    viewer::ShortNumber n;
    if (viewer::parseShortNumber(viewer::halfWidthAscii(text), &n)) {
        fuzz::check(n.article >= 1 && n.article <= 9999 && n.branch1 >= 0 && n.branch1 <= 99 &&
                        n.branch2 >= 0 && n.branch2 <= 99 && n.paragraph >= 0 && n.paragraph <= 99,
                    "every number read fits its field");
        QString plain = QString::number(n.article);
        if (n.branch1 > 0 || n.branch2 > 0) plain += u'-' + QString::number(n.branch1);
        if (n.branch2 > 0) plain += u'-' + QString::number(n.branch2);
        if (n.paragraph > 0) plain += u':' + QString::number(n.paragraph);
        viewer::ShortNumber again;
        fuzz::check(viewer::parseShortNumber(plain, &again) && again.article == n.article &&
                        again.branch1 == n.branch1 && again.branch2 == n.branch2 &&
                        again.paragraph == n.paragraph,
                    "the plain form reads back the same numbers");
    }
    const viewer::LookupTarget t = viewer::resolveLookup(text, QStringLiteral("MP"));
    fuzz::check(t.error.isEmpty() != t.code.isEmpty(), "a node or a reason, never both");
    // An article's or a paragraph's code, a part's key (MPP00003, MPP00002-001), the fixed 前文.
    fuzz::check(
        t.code.isEmpty() || ((t.code.size() == 10 || t.code.size() == 16 ||
                              viewer::isPartKey(t.code) || t.code == viewer::kPreambleKey) &&
                             t.code.startsWith(t.lawCode.toUpper())),
        "a node key of the law found");
    fuzz::check(env.prompt.messages.isEmpty(), "a lookup asks and shows nothing");
    return 0;
}

// References in statute text: the hand-checked set from the bundled laws and 国家賠償法 held
// at its precision and recall, each form on constructed text, and lexctl refs.
#include "viewer/browser/refs.h"
#include "exchange/lawparts.h"
#include "exchange/lawxml.h"
#include "store/engine.h"
#include "store/lawdb.h"
#include "tests/support/samplelaws.h"
#include "tests/support/testsupport.h"
#include "viewer/shell/lookup.h"

#include <QSet>

#include <algorithm>
#include <tuple>

namespace viewer {
namespace {

class LabelledRefsTest : public testsupport::SampleLawsTest {
  protected:
    void SetUp() override {
        SampleLawsTest::SetUp();
        ASSERT_EQ(lexctl({QStringLiteral("import-xml"),
                          QStringLiteral("KO=" LEXORA_FIXTURES_DIR "/kokka-baisho.xml")})
                      .exitCode,
                  0);
    }
};

TEST_F(LabelledRefsTest, TheHandCheckedSetHoldsPrecisionAndRecall) {
    const QStringList lines =
        QString::fromUtf8(
            testsupport::readFile(QStringLiteral(LEXORA_FIXTURES_DIR "/refs-labelled.tsv")))
            .split(u'\n', Qt::SkipEmptyParts);
    QSet<QString> labelled, found;
    QHash<QString, QList<std::pair<int, int>>> lookAlikes;
    QStringList paragraphs;
    for (const QString& line : lines) {
        if (line.startsWith(u'#')) continue;
        const QStringList f = line.split(u'\t');
        if (f[0] == QStringLiteral("P"))
            paragraphs << f[1];
        else if (f.value(3) == QStringLiteral("L"))
            lookAlikes[f[0]] << std::pair(f[1].toInt(), f[1].toInt() + f[2].toInt());
        else
            labelled << line;
    }
    int lookAlikeCount = 0;
    for (const auto& spans : lookAlikes) lookAlikeCount += int(spans.size());
    ASSERT_GE(labelled.size(), 300);
    ASSERT_GE(lookAlikeCount, 40);

    RefLibrary library;
    int onLookAlike = 0;
    for (const QString& p : paragraphs) {
        const LookupTarget t = resolveLookup(p);
        ASSERT_TRUE(t.error.isEmpty()) << p.toStdString() << ": " << t.error.toStdString();
        store::Database db = store::openLawDb(t.lawName);
        store::Recordset rs = db.openRecordset(
            QStringLiteral("select 条項コード, 条文 from 条文 where 条項コード between ? and ? "
                           "order by 条項コード"),
            store::RecordsetType::Snapshot, {t.code, t.code + QStringLiteral("999999")});
        for (; !rs.eof(); rs.moveNext()) {
            const QString code = rs.text(QStringLiteral("条項コード"));
            if (code.endsWith(u'1')) continue;
            const QString text = rs.text(QStringLiteral("条文"));
            for (const Reference& r : library.references(code, text)) {
                const int start = codePointOffset(text, r.start);
                const int end = codePointOffset(text, r.start + r.length);
                found << QStringLiteral("%1\t%2\t%3\t%4")
                             .arg(p)
                             .arg(start)
                             .arg(end - start)
                             .arg(r.target);
                for (const auto& [from, to] : lookAlikes.value(p))
                    if (start < to && from < end) ++onLookAlike;
            }
        }
    }
    const qsizetype right = (found & labelled).size();
    const double precision = found.isEmpty() ? 0 : double(right) / double(found.size());
    const double recall = double(right) / double(labelled.size());
    std::printf("references: %lld labelled, %lld found, %lld right; precision %.3f, recall %.3f\n",
                static_cast<long long>(labelled.size()), static_cast<long long>(found.size()),
                static_cast<long long>(right), precision, recall);
    for (const QString& miss : labelled - found) ADD_FAILURE() << "missed: " << miss.toStdString();
    EXPECT_GE(precision, 0.99);
    EXPECT_GE(recall, 0.95);
    EXPECT_EQ(onLookAlike, 0);
}

// A second set, the other way round: ten laws not bundled (three in the old katakana style,
// two full of 読み替え), their references and look-alikes written by hand from the text of
// 60 paragraphs before the finder ran on them (tests/fixtures/unseen: the laws' XML, built
// from their published text, with the articles the labels name that the text did not give
// added as stubs). A reference is found right when the finder gives its target on an
// overlapping span; every other find in a paragraph labelled whole is wrong.
TEST_F(LabelledRefsTest, TheUnseenLawsSetIsMeasured) {
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(lexctl({QStringLiteral("import-xml"),
                          QStringLiteral("Q%1=" LEXORA_FIXTURES_DIR "/unseen/Q%1.xml").arg(i)})
                      .exitCode,
                  0)
            << i;
    struct Label {
        QString surface, target;
        int occurrence = 1;
        bool uncertain = false;
    };
    QStringList whole;
    QHash<QString, QList<Label>> labels;
    for (const QString& line :
         QString::fromUtf8(
             testsupport::readFile(QStringLiteral(LEXORA_FIXTURES_DIR "/unseen/refs-unseen.tsv")))
             .split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#')) continue;
        const QStringList f = line.split(u'\t');
        if (f[0] == QStringLiteral("P"))
            whole << f[1];
        else if (f.size() >= 4)
            labels[f[0]] << Label{f[1], f[3], f[2].toInt(),
                                  f.value(4).startsWith(QStringLiteral("?uncertain"))};
    }
    ASSERT_GE(whole.size(), 57);
    RefLibrary library;
    int labelled = 0, foundCount = 0, right = 0, onLookAlike = 0;
    QStringList missed, wrong;
    for (const QString& p : whole) {
        const LookupTarget t = resolveLookup(p);
        ASSERT_TRUE(t.error.isEmpty()) << p.toStdString() << ": " << t.error.toStdString();
        const QString code = t.code.size() == 10 ? t.code + QStringLiteral("010000") : t.code;
        const std::optional<QString> record = testsupport::recordText(t.lawName, code);
        ASSERT_TRUE(record) << p.toStdString();
        const QString& text = *record;
        // Each label's span: its surface's nth place in the text.
        struct Span {
            int from, to;
            QString target;
            bool matched = false;
        };
        QList<Span> spans;
        for (const Label& l : labels.value(p)) {
            qsizetype at = -1;
            for (int n = 0; n < l.occurrence; ++n) at = text.indexOf(l.surface, at + 1);
            ASSERT_GE(at, 0) << p.toStdString() << " " << l.surface.toStdString();
            spans << Span{int(at), int(at + l.surface.size()), l.target};
            if (l.target != QStringLiteral("L")) ++labelled;
        }
        for (const Reference& r : library.references(code, text)) {
            ++foundCount;
            bool ok = false;
            for (Span& s : spans) {
                if (s.from >= r.start + r.length || r.start >= s.to) continue;
                if (s.target == QStringLiteral("L")) ++onLookAlike;
                if (!s.matched && s.target == r.target) {
                    s.matched = ok = true;
                    break;
                }
            }
            if (ok)
                ++right;
            else
                wrong << QStringLiteral("%1 %2 %3").arg(p, text.mid(r.start, r.length), r.target);
        }
        for (const Span& s : spans)
            if (!s.matched && s.target != QStringLiteral("L"))
                missed
                    << QStringLiteral("%1 %2 %3").arg(p, text.mid(s.from, s.to - s.from), s.target);
    }
    const double precision = foundCount == 0 ? 0 : double(right) / foundCount;
    const double recall = labelled == 0 ? 0 : double(right) / labelled;
    std::printf("unseen laws: %d labelled, %d found, %d right; precision %.3f, recall %.3f\n",
                labelled, foundCount, right, precision, recall);
    for (const QString& m : missed) std::printf("missed: %s\n", qPrintable(m));
    for (const QString& w : wrong) std::printf("wrong: %s\n", qPrintable(w));
    EXPECT_GE(labelled, 180);
    // Where the finder stands on text it has not seen: 0.991 and 0.920 when the first 44
    // paragraphs were made, 0.994 and 0.912 with 16 more (0.857 recall on those alone: the
    // quotes of a 読み替え); 0.994 and 0.978 once those quotes are read in the provision they
    // replace words of. The goal is 0.99 and 0.95.
    EXPECT_GE(precision, 0.99);
    EXPECT_GE(recall, 0.97);
    EXPECT_EQ(onLookAlike, 0);
}

// The hand-checked references of 民法's 附則 of 平成二九年法律第四四号 (its 37 articles, labelled
// from their text before the finder ran on them): where each starts and where it points.
TEST_F(LabelledRefsTest, AnAmendmentsSupplementaryProvisionHoldsItsLabelledSet) {
    {
        const exchange::LawXml law = exchange::convertLawXml(
            testsupport::readFile(QStringLiteral(LEXORA_SAMPLE_DIR "/../xml/MP.xml")),
            QStringLiteral("MP"));
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        store::writeLawParts(db, law.parts);
    }
    const LookupTarget reform = resolveLookup(QStringLiteral("MP附則(H29-44)"));
    ASSERT_TRUE(reform.error.isEmpty()) << reform.error.toStdString();
    store::Database db = store::openLawDb(QStringLiteral("民法"));
    const store::LawPart part = store::readLawParts(db).value(reform.code.mid(3).toInt() - 1);
    const QStringList entries = exchange::partEntries(part);
    const QList<exchange::PartEntry> info = exchange::partEntryInfo(part);
    ASSERT_EQ(entries.size(), 37);
    auto textOf = [&](int article) {
        for (int i = 0; i < info.size(); ++i)
            if (info[i].num == QString::number(article))
                return std::pair(
                    i, QString(entries[i]).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        return std::pair(-1, QString());
    };
    QSet<QString> labelled, found;
    for (const QString& line : QString::fromUtf8(testsupport::readFile(QStringLiteral(
                                                     LEXORA_FIXTURES_DIR "/suppl-labelled.tsv")))
                                   .split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#')) continue;
        const QStringList f = line.split(u'\t');  // entry, span, its occurrence, target
        const QString text = textOf(f[0].toInt()).second;
        qsizetype at = -1;
        for (int n = 0; n < f[2].toInt(); ++n) at = text.indexOf(f[1], at + 1);
        ASSERT_GE(at, 0) << line.toStdString();
        labelled << QStringLiteral("%1\t%2\t%3").arg(f[0]).arg(at).arg(f[3]);
    }
    ASSERT_GE(labelled.size(), 100);
    RefLibrary library;
    for (int article = 1; article <= 37; ++article) {
        const auto [entry, text] = textOf(article);
        ASSERT_GE(entry, 0) << article;
        for (const Reference& r : library.partReferences(QStringLiteral("MP"), part, entry, text))
            found << QStringLiteral("%1\t%2\t%3").arg(article).arg(r.start).arg(r.target);
    }
    const qsizetype right = (found & labelled).size();
    const double precision = found.isEmpty() ? 0 : double(right) / double(found.size());
    const double recall = double(right) / double(labelled.size());
    std::printf(
        "附則 references: %lld labelled, %lld found, %lld right; precision %.3f, "
        "recall %.3f\n",
        static_cast<long long>(labelled.size()), static_cast<long long>(found.size()),
        static_cast<long long>(right), precision, recall);
    for (const QString& miss : labelled - found) std::printf("missed: %s\n", qPrintable(miss));
    for (const QString& extra : found - labelled) std::printf("extra: %s\n", qPrintable(extra));
    EXPECT_GE(precision, 0.95);
    EXPECT_GE(recall, 0.95);
}

// A law ZZ of articles 1, 2, 7, 7-2 (ノ二), 10, 11, 12 with their paragraph counts, and a
// listed law XX with article 5 of two paragraphs.
class ConstructedRefsTest : public ::testing::Test {
  protected:
    ConstructedRefsTest() {
        zz.code = QStringLiteral("ZZ");
        for (const auto& [article, count] :
             std::initializer_list<std::pair<const char*, int>>{{"00010000", 1},
                                                                {"00020000", 3},
                                                                {"00070000", 2},
                                                                {"00070200", 1},
                                                                {"00100000", 1},
                                                                {"00110000", 5},
                                                                {"00120000", 1}}) {
            zz.articles << QString::fromLatin1(article);
            zz.paragraphs.insert(QString::fromLatin1(article), count);
        }
        zz.tables = {QStringLiteral("1")};  // one 別表: 別表 alone names it
        xx.code = QStringLiteral("XX");
        xx.articles << QStringLiteral("00050000");
        xx.paragraphs.insert(QStringLiteral("00050000"), 2);
    }
    // "start:length target" of each reference in paragraph `paragraph` of article `article`.
    QStringList refs(const char* text, const char* article = "00110000", int paragraph = 3) {
        RefContext c;
        c.law = &zz;
        c.article = QString::fromLatin1(article);
        c.paragraph = paragraph;
        c.listedNames.insert(QStringLiteral("外国法"), QStringLiteral("XX"));
        c.otherLaw = [this](const QString& code) {
            return code == QStringLiteral("XX") ? &xx : nullptr;
        };
        QStringList out;
        for (const Reference& r : findReferences(QString::fromUtf8(text), c))
            out << QStringLiteral("%1:%2 %3").arg(r.start).arg(r.length).arg(r.target);
        return out;
    }
    LawIndex zz, xx;
};

TEST_F(ConstructedRefsTest, EachFormIsFoundWithItsSpanAndTarget) {
    const std::pair<const char*, const char*> cases[] = {
        // numbered, with katakana and hiragana branches, digits, a paragraph, an item's branch
        {"第七条ノ二及び第２条第三項第六号の五", "0:5 ZZ7-2|7:11 ZZ2:3"},
        // the law's one 別表, named without its number
        {"別表に掲げる", "0:2 ZZ別表1"},
        // a bare paragraph: this article; an item listed with it: that paragraph
        {"第一項及び第二号", "0:3 ZZ11:1|5:3 ZZ11:1"},
        {"第二号", "0:3 ZZ11:3"},
        // relative: before and after, this article, items of this paragraph
        {"前条、次条、本条、この条、この項、前項、次項、前号、次号、前各号",
         "0:2 ZZ10|3:2 ZZ12|6:2 ZZ11|9:3 ZZ11|13:3 ZZ11:3|17:2 ZZ11:2|20:2 ZZ11:4|23:2 ZZ11:3|26:2 "
         "ZZ11:3|29:3 ZZ11:3"},
        // counted back: articles in the law's order (branch articles count), paragraphs
        {"前三条及び前各項並びに前二項", "0:3 ZZ7~ZZ10|5:3 ZZ11:1~ZZ11:2|11:3 ZZ11:1~ZZ11:2"},
        // the old style's 次ノ数項: the paragraphs after this one, to the article's last
        {"次ノ数項ノ規定", "0:4 ZZ11:4~ZZ11:5"},
        // 同条 / 同項 / 同号 look back to the level named last
        {"第二条第二項第一号並びに同条第三項、同項及び同号",
         "0:9 ZZ2:2|12:5 ZZ2:3|18:2 ZZ2:3|22:2 ZZ2:2"},
        // ranges: the end takes the levels it leaves out; items of one paragraph, that paragraph
        {"第一条から第七条まで、第十一条第一項乃至第四項、第二号から第五号まで",
         "0:8 ZZ1~ZZ7|11:12 ZZ11:1~ZZ11:4|24:8 ZZ11:1"},
        // another law: a listed one (its number between), 同法, one not listed
        {"外国法（令和元年法律第一号）第五条第二項及び同法第五条、旧法第三条",
         "14:6 XX5:2|24:3 XX5|30:3 ?"},
        // what the law lacks: no article, no paragraph, a range with a missing end, nothing before
        {"第九十九条、第十条第二項、第十一条から第九十条まで", "0:5 !|6:6 !|13:10 !"},
        // look-alikes: terms, chapters, law numbers, quoted wording
        {"第三者、第一審、第二章、この章、前款、平成八年法律第百九号、第一種", ""},
        // a replacement's quotes: their words read in the provision named before 中, the
        // replacement's too; 同項 with nothing before it there, and a quote of another kind,
        // stay words
        {"第二条中「第一条」とあるのは「第七条」と読み替える", "0:3 ZZ2|5:3 ZZ1|15:3 ZZ7"},
        {"外国法第五条第二項中「前項」とあるのは「同項」と", "3:6 XX5:2|11:2 XX5:1"},
        {"第二条中「第一条」を「第七条」に改める", "0:3 ZZ2"},
        {"「第一条」とあるのは「第七条」と", ""},
        // a quote within a quote stays words
        {"第二条中「第一条中「第三条」とあるのは」とあるのは「第七条」と",
         "0:3 ZZ2|5:3 ZZ1|26:3 ZZ7"},
        // 第九十条 of the constitution style: numerals from 十 up
        {"第十二条の規定", "0:4 ZZ12"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(refs(text).join(u'|'), QString::fromUtf8(expected)) << text;
    EXPECT_EQ(refs("前条", "00010000", 1), QStringList{QStringLiteral("0:2 !")});
    EXPECT_EQ(refs("前項", "00020000", 1), QStringList{QStringLiteral("0:2 !")});
    EXPECT_EQ(refs("次項", "00020000", 3), QStringList{QStringLiteral("0:2 !")});
    // After the last paragraph there are none; one before it, the last alone.
    EXPECT_EQ(refs("次の数項", "00110000", 5), QStringList{QStringLiteral("0:4 !")});
    EXPECT_EQ(refs("次の数項", "00110000", 4), QStringList{QStringLiteral("0:4 ZZ11:5")});

    EXPECT_EQ(targetRecordCode(QStringLiteral("ZZ11:2"), &zz), QStringLiteral("ZZ00110000020200"));
    EXPECT_EQ(targetRecordCode(QStringLiteral("ZZ7-2"), &zz), QStringLiteral("ZZ00070200010000"));
    EXPECT_EQ(targetRecordCode(QStringLiteral("ZZ2"), &zz), QStringLiteral("ZZ00020000010100"));
    EXPECT_EQ(targetRecordCode(QStringLiteral("ZZ1~ZZ7"), &zz), QString());
    EXPECT_EQ(codePointOffset(QStringLiteral("𠮷第一条"), 2), 1);
}

// A target's record code and its short number, both ways, at their edges; and a law's index
// made from its record codes looks up what the constructed one holds.
TEST_F(ConstructedRefsTest, TargetsAndRecordCodesAgreeAtTheirEdges) {
    const std::pair<const char*, const char*> codes[] = {
        {"ZZ11", "ZZ00110000010100"},        // an article of several: its first paragraph
        {"ZZ11:0", "ZZ00110000010100"},      // paragraph 0 is the first
        {"ZZ11:", "ZZ00110000010100"},       // read the old way: the same
        {"ZZ11:5", "ZZ00110000050500"},      // the last
        {"ZZ0007", "ZZ00070000010100"},      // leading zeros
        {"ZZ7-2-0", "ZZ00070200010000"},     // an empty second branch
        {"zz1", "ZZ00010000010000"},         // the law as the index names it
        {"ZZ11:150", "ZZ0011000015015000"},  // past two digits, as written before
        {"ZZ99", ""},                        // no such article
        {"ZZ1234567", ""},                   // past any article number
        {"ZZ-7", ""},
        {"ZZ別表1", ""},
        {"ZZ", ""},
    };
    for (const auto& [target, code] : codes)
        EXPECT_EQ(targetRecordCode(QString::fromUtf8(target), &zz), QString::fromUtf8(code))
            << target;
    const std::tuple<const char*, int, const char*> shorts[] = {
        {"00070200", 0, "ZZ7-2"},     {"00110000", 2, "ZZ11:2"}, {"00010000", 1, "ZZ1"},
        {"01230405", 0, "ZZ123-4-5"}, {"00100000", 0, "ZZ10"},   {"00000000", 3, "ZZ3"},
        {"0010000X", 0, "ZZ10"},
    };
    for (const auto& [article, paragraph, expected] : shorts)
        EXPECT_EQ(shortTarget(zz, QString::fromLatin1(article), paragraph),
                  QString::fromLatin1(expected))
            << article;
    // Every paragraph of the law, there and back; the index read from the same codes agrees.
    QStringList records;
    for (const QString& article : zz.articles) {
        const int count = zz.paragraphs.value(article);
        for (int p = 1; p <= count; ++p) {
            const QString code = targetRecordCode(shortTarget(zz, article, p), &zz);
            EXPECT_EQ(code.mid(2, 8), article);
            EXPECT_EQ(code.mid(10, 2).toInt(), p);
            records << QStringLiteral("ZZ") + article + QStringLiteral("00000001") << code;
        }
    }
    std::sort(records.begin(), records.end());
    const LawIndex read = lawIndexOf(QStringLiteral("zz"), records, {});
    EXPECT_EQ(read.code, QStringLiteral("ZZ"));
    EXPECT_EQ(read.articles, zz.articles);
    EXPECT_EQ(read.paragraphs, zz.paragraphs);
    for (const QString& article : zz.articles + QStringList{QStringLiteral("00080000")})
        EXPECT_EQ(read.indexOf(article), zz.indexOf(article)) << article.toStdString();
}

// An item named under an article as a whole (no paragraph between) is a reference to the
// article, not to its first paragraph; a paragraph named between still counts.
TEST_F(ConstructedRefsTest, AnItemOfAnArticleNamedWholeTargetsTheArticle) {
    const struct {
        const char* text;
        const char* article;
        int paragraph;
        const char* expected;
    } cases[] = {
        // ZZ2 has three paragraphs
        {"第二条第一号", "00110000", 3, "0:6 ZZ2"},
        {"第二条第一号及び第三号", "00110000", 3, "0:6 ZZ2|8:3 ZZ2"},
        {"第二条第一号から第三号まで", "00110000", 3, "0:11 ZZ2"},
        {"第二条及び同条第一号", "00110000", 3, "0:3 ZZ2|5:5 ZZ2"},
        {"本条第一号", "00110000", 3, "0:5 ZZ11"},
        {"前条第一号", "00070200", 1, "0:5 ZZ7"},  // ZZ7 has two
        {"前条第一号から第三号まで", "00070200", 1, "0:10 ZZ7"},
        // a paragraph named between, a one-paragraph article, an item alone: unchanged
        {"第二条第二項第一号", "00110000", 3, "0:9 ZZ2:2"},
        {"前条第二項第一号", "00070200", 1, "0:8 ZZ7:2"},
        {"第十一条第一項第二号及び第三号", "00110000", 3, "0:10 ZZ11:1|12:3 ZZ11:1"},
        {"第一条第二号", "00110000", 3, "0:6 ZZ1"},
        {"第二号", "00110000", 3, "0:3 ZZ11:3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(refs(c.text, c.article, c.paragraph).join(u'|'), QString::fromUtf8(c.expected))
            << c.text;
}

class RefsCliTest : public testsupport::SampleLawsTest {};

TEST_F(RefsCliTest, LexctlPrintsEachParagraphsReferences) {
    const testsupport::ProcessResult r = lexctl({QStringLiteral("refs"), QStringLiteral("MP31")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              QStringLiteral("MP31\t0\t5\tMP30:1\nMP31\t22\t2\tMP30:1\nMP31\t35\t5\tMP30:2\n"));
    const testsupport::ProcessResult other =
        lexctl({QStringLiteral("refs"), QStringLiteral("KS51:1")});
    EXPECT_EQ(other.out, QStringLiteral("KS51:1\t17\t8\tMP93:1\nKS51:1\t31\t8\tMP94:1\n"));
    const testsupport::ProcessResult bad =
        lexctl({QStringLiteral("refs"), QStringLiteral("MP9999")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("民法に第9999条はありません")));
}

// Indexes are kept between windows while a law's file is unchanged: a written article is
// there for the next window.
TEST_F(RefsCliTest, AKeptIndexFollowsItsLawsFile) {
    const QString added = QStringLiteral("99990000");
    {
        RefLibrary before;
        ASSERT_NE(before.index(QStringLiteral("MP")), nullptr);
        EXPECT_FALSE(before.index(QStringLiteral("MP"))->articles.contains(added));
    }
    store::Database db = store::openLawDb(QStringLiteral("民法"));
    db.execute(QStringLiteral("insert into 条文 (条項コード, 条文) values (?, ?)"),
               {QStringLiteral("MP99990000010000"), QStringLiteral("試験")});
    RefLibrary after;
    EXPECT_TRUE(after.index(QStringLiteral("mp"))->articles.contains(added));
}

// Text written in 会社法 第1条 that names the bundled laws: by name, with the law number in
// brackets, by 同法, and by a longer title that only ends with a bundled law's name
// (旧刑法 is another law than 刑法).
class ListedLawRefsTest : public testsupport::SampleLawsTest {
  protected:
    static QString refs(RefLibrary& library, const char* text) {
        QStringList out;
        for (const Reference& r :
             library.references(QStringLiteral("KS00010000010000"), QString::fromUtf8(text)))
            out << QStringLiteral("%1:%2 %3").arg(r.start).arg(r.length).arg(r.target);
        return out.join(u'|');
    }
};

TEST_F(ListedLawRefsTest, ALawIsNamedByItsWholeTitle) {
    const std::pair<const char*, const char*> cases[] = {
        // a longer title: another law, and 同法 or a listed article after it stays there
        {"旧刑法第三十一条", "3:5 ?"},
        {"旧民法第五条", "3:3 ?"},
        {"新刑法第十条", "3:3 ?"},
        {"旧刑法第三十一条及び同法第五条", "3:5 ?|12:3 ?"},
        {"旧民法第五条及び第六条", "3:3 ?|8:3 ?"},
        {"旧刑法（明治十三年太政官布告第三十六号）第三十一条", "20:5 ?"},
        {"旧刑法第三十一条、刑法第三十一条", "3:5 ?|11:5 CP31"},
        // the listed name itself: alone, with its number, after a particle, with 同法
        {"刑法（明治四十年法律第四十五号）第百九十九条", "16:6 CP199"},
        {"民法第七百九条", "2:5 MP709"},
        {"改正前の民法第七百九条", "6:5 MP709"},
        {"民法第七百九条及び同法第五条", "2:5 MP709|11:3 MP5"},
        {"刑事訴訟法第一条及び日本国憲法第九条第二項", "5:3 CS1|15:6 KP9:2"},
        // 民法 第5条 has three paragraphs: its item names the article
        {"民法第五条第一号", "2:6 MP5"},
    };
    RefLibrary library;
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(refs(library, text), QString::fromUtf8(expected)) << text;
}

// A law's parts: 別表第二 and 附則第二条 of the main provision are links to them; in an
// amendment's 附則, 前項 and 附則第三条 are that 附則's own, 新法第… is not the 附則's.
TEST_F(ListedLawRefsTest, PartsAreLinkedFromTheLawAndWithinThemselves) {
    auto part = [](const char* tag, const char* xml, int number) {
        return exchange::readLawPart(QString::fromLatin1(tag), QByteArray(xml), number);
    };
    const char* para =
        "<Paragraph Num=\"%1\"><ParagraphNum>%2</ParagraphNum><ParagraphSentence>"
        "<Sentence>%3</Sentence></ParagraphSentence></Paragraph>";
    auto p = [&](int num, const char* label, const char* text) {
        return QString::fromLatin1(para).arg(num).arg(QString::fromUtf8(label),
                                                      QString::fromUtf8(text));
    };
    const QString original =
        QStringLiteral("<SupplProvision><Article Num=\"1\"><ArticleTitle>第一条</ArticleTitle>") +
        p(1, "", "施行する。") +
        QStringLiteral(
            "</Article><Article Num=\"2\"><ArticleCaption>"
            "（経過措置）</ArticleCaption><ArticleTitle>第二条"
            "</ArticleTitle>") +
        p(1, "", "前条の規定による。") + p(2, "２", "前項及び第一条の規定は、別表第一による。") +
        QStringLiteral("</Article></SupplProvision>");
    const QString amending =
        QStringLiteral("<SupplProvision AmendLawNum=\"令和元年五月一七日法律第二号\">") +
        p(1, "", "附則第二項の規定は、新法第五条による。") +
        p(2, "２",
          "前項の規定は、この法律による改正後の民法（以下「新法」という。）第三条に"
          "よる。第二条の規定による。") +
        QStringLiteral("</SupplProvision>");
    {
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        store::writeLawParts(db, {part("SupplProvision", original.toUtf8().constData(), 1),
                                  part("SupplProvision", amending.toUtf8().constData(), 2),
                                  part("AppdxTable",
                                       "<AppdxTable><AppdxTableTitle>別表第一</AppdxTableTitle>"
                                       "</AppdxTable>",
                                       1),
                                  part("AppdxTable",
                                       "<AppdxTable><AppdxTableTitle>別表第一の二"
                                       "</AppdxTableTitle></AppdxTable>",
                                       2),
                                  part("AppdxTable",
                                       "<AppdxTable><AppdxTableTitle>別表第二</AppdxTableTitle>"
                                       "</AppdxTable>",
                                       3)});
    }
    RefLibrary library;
    auto mainRefs = [&](const char* text) {
        QStringList out;
        for (const Reference& r :
             library.references(QStringLiteral("MP00010000010000"), QString::fromUtf8(text)))
            out << QStringLiteral("%1:%2 %3").arg(r.start).arg(r.length).arg(r.target);
        return out.join(u'|');
    };
    const std::pair<const char*, const char*> main[] = {
        {"別表第二に掲げる", "0:4 MP別表2"},
        {"別表第三に掲げる", "0:4 !"},
        {"別表第一の二及び別表第二の二", "0:6 MP別表1-2|8:6 !"},  // by their titles' numbers
        {"附則第二条第二項", "0:8 MP附則2:2"},
        {"附則第九条", "0:5 !"},
        {"附則第一項", "0:5 !"},  // its 附則 has articles
        // a list or range after 附則第…: the 附則's; 同法 after it: the law named before
        {"附則第一条及び第二条並びに同条第一項", "0:5 MP附則1|7:3 MP附則2|13:5 MP附則2:1"},
        {"附則第一条から第二条まで", "0:10 MP附則1~MP附則2"},
        {"刑法第一条及び附則第二条並びに同法第二条", "2:3 CP1|7:5 MP附則2|17:3 CP2"},
        {"改正法附則第二条及び改正法別表第一", "3:5 ?|13:4 ?"},
        {"別表に掲げる", ""},  // two 別表: which one is unsaid
    };
    for (const auto& [text, expected] : main)
        EXPECT_EQ(mainRefs(text), QString::fromUtf8(expected)) << text;
    store::Database db = store::openLawDb(QStringLiteral("民法"));
    const QList<store::LawPart> parts = store::readLawParts(db);
    auto partRefs = [&](int order, int entry) {
        const QString text = exchange::partEntries(parts[order])
                                 .value(entry)
                                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QStringList out;
        for (const Reference& r :
             library.partReferences(QStringLiteral("MP"), parts[order], entry, text))
            out << text.mid(r.start, r.length) + u' ' + r.target;
        return out.join(u'|');
    };
    // Paragraph 2 of 第二条: its 前項 is paragraph 1, 別表第一 the law's, and an article named
    // alone is the main provision's (a 附則 names its own 附則第…).
    EXPECT_EQ(partRefs(0, 1), QStringLiteral("前条 MP附則1|前項 MP附則2:1|第一条 MP1|"
                                             "別表第一 MP別表1"));
    // In an amendment's 附則 that is the amending law's, which is not kept.
    EXPECT_EQ(partRefs(1, 0), QStringLiteral("附則第二項 MP附則(R1-2)2|第五条 ?"));
    EXPECT_EQ(partRefs(1, 1), QStringLiteral("前項 MP附則(R1-2)1|第三条 ?|第二条 ?"));
    EXPECT_EQ(partText(partTarget(QStringLiteral("MP附則(R1-2)2"))).left(6),
              QStringLiteral("２　前項の規"));
    EXPECT_TRUE(partTarget(QStringLiteral("MP415")).lawCode.isEmpty());
    // Where each link opens, in the browser and from the other windows alike.
    const std::pair<const char*, const char*> places[] = {{"MP附則(R1-2)2", "MPP00002-002"},
                                                          {"MP別表2~MP別表3", "MPP00005"},
                                                          {"MP別表1-2", "MPP00004"},
                                                          {"MP附則2:2", "MPP00001-002"},
                                                          {"MP415:2", "MP04150000020200"},
                                                          {"MP415", "MP04150000"},
                                                          {"MP附則(H1-1)", ""},
                                                          {"MP9999", ""}};
    for (const auto& [target, key] : places) {
        const TargetPlace p = targetPlace(library, QString::fromUtf8(target));
        EXPECT_EQ(p.key, QString::fromLatin1(key)) << target;
        EXPECT_EQ(p.error.isEmpty(), *key != 0) << target;
    }
}

}  // namespace
}  // namespace viewer

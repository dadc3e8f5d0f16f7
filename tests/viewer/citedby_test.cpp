// 参照元: the index of references by what they point to, on constructed laws — directly, by a
// range over the target, as a list's member, from another law — kept current when a law
// changes, is added (its name cited before it was listed) or removed; and lexctl cited-by on
// the bundled laws. Spans are the finder's, as lexctl refs gives them (a law's name before
// the article is not in the span).
#include "viewer/browser/citedby.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/samplelaws.h"
#include "tests/support/testsupport.h"

#include <QFile>

namespace viewer {
namespace {

class CitedByTest : public testsupport::TempRootTest {
  protected:
    void SetUp() override {
        TempRootTest::SetUp();
        store::MakeHCodeDB();
        testsupport::addLaw(1, QStringLiteral("AA"), QStringLiteral("甲法"));
        testsupport::addLaw(2, QStringLiteral("BB"), QStringLiteral("乙法"));
        testsupport::addRecord(QStringLiteral("甲法"), QStringLiteral("AA00010000010000"),
                               QStringLiteral("この法律は、目的を定める。"));
        testsupport::addRecord(QStringLiteral("甲法"), QStringLiteral("AA00020000010000"),
                               QStringLiteral("前条の規定は、乙法第三条第二項の場合に準用する。"));
        testsupport::addRecord(
            QStringLiteral("甲法"), QStringLiteral("AA00030000010000"),
            QStringLiteral("第一条から第二条までの規定は、丙法第一条に準用する。"));
        testsupport::addRecord(QStringLiteral("乙法"), QStringLiteral("BB00030000010100"),
                               QStringLiteral("乙の一。"));
        testsupport::addRecord(QStringLiteral("乙法"), QStringLiteral("BB00030000020200"),
                               QStringLiteral("乙の二。"));
        testsupport::addRecord(QStringLiteral("乙法"), QStringLiteral("BB00040000010000"),
                               QStringLiteral("第三条及び甲法第一条の規定は、この条に準用する。"));
    }
    // "citing code start length target" of each citation of `key`.
    static QStringList citing(CitationIndex& index, const char* key) {
        QStringList out;
        for (const Citation& c : index.citing(QString::fromUtf8(key)))
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(c.code)
                       .arg(c.start)
                       .arg(c.length)
                       .arg(c.target);
        return out;
    }
};

TEST_F(CitedByTest, EachWayOfCitingIsFoundAndKeptCurrent) {
    CitationIndex index;
    EXPECT_EQ(index.staleCount(), 2);
    EXPECT_EQ(index.refresh(), 2);
    EXPECT_EQ(index.staleCount(), 0);
    EXPECT_EQ(index.refresh(), 0);  // nothing changed: nothing read
    // 甲法第一条: 前条, the first of a range, another law's list member; by the law list's order.
    EXPECT_EQ(citing(index, "AA00010000"),
              QStringList({QStringLiteral("AA00020000010000 0 2 AA1"),
                           QStringLiteral("AA00030000010000 0 8 AA1~AA2"),
                           QStringLiteral("BB00040000010000 7 3 AA1")}));
    // The last of a range covers it too; a paragraph is cited by its article's references.
    EXPECT_EQ(citing(index, "AA00020000010000"),
              QStringList{QStringLiteral("AA00030000010000 0 8 AA1~AA2")});
    EXPECT_EQ(citing(index, "BB00030000020200"),
              QStringList({QStringLiteral("AA00020000010000 9 6 BB3:2"),
                           QStringLiteral("BB00040000010000 0 3 BB3")}));
    // The first paragraph is not what 第三条第二項 names.
    EXPECT_EQ(citing(index, "BB00030000010100"),
              QStringList{QStringLiteral("BB00040000010000 0 3 BB3")});
    EXPECT_TRUE(citing(index, "AA00030000").isEmpty());  // cited by none
    EXPECT_TRUE(citing(index, "ZZ00010000").isEmpty());

    // A changed record: its law read again, the old reference gone.
    {
        store::Database db = store::openLawDb(QStringLiteral("甲法"));
        db.execute(QStringLiteral("update 条文 set 条文=? where 条項コード=?"),
                   {QStringLiteral("第一条の規定は、この条に準用しない。"),
                    QStringLiteral("AA00020000010000")});
    }
    EXPECT_EQ(index.staleCount(), 1);
    EXPECT_EQ(index.refresh(), 1);
    EXPECT_EQ(citing(index, "BB00030000020200"),
              QStringList{QStringLiteral("BB00040000010000 0 3 BB3")});
    EXPECT_EQ(citing(index, "AA00010000").value(0), QStringLiteral("AA00020000010000 0 3 AA1"));

    // 丙法 listed after 甲法 named it: 甲法 is read again and cites it now.
    testsupport::addLaw(3, QStringLiteral("CC"), QStringLiteral("丙法"));
    testsupport::addRecord(QStringLiteral("丙法"), QStringLiteral("CC00010000010000"),
                           QStringLiteral("丙の条。"));
    EXPECT_EQ(index.refresh(), 2);  // 丙法 itself and 甲法, not 乙法
    EXPECT_EQ(citing(index, "CC00010000"),
              QStringList{QStringLiteral("AA00030000010000 17 3 CC1")});

    // A law removed from the list cites nothing any more.
    {
        store::Database master = store::openMasterDb();
        master.execute(QStringLiteral("delete from 法典コード where 法典コード=?"),
                       {QStringLiteral("BB")});
    }
    index.refresh();
    EXPECT_EQ(citing(index, "AA00010000").size(), 2);
    const int before = index.size();
    EXPECT_EQ(index.rebuild(), 2);
    EXPECT_EQ(index.size(), before);
    Citation c{QStringLiteral("AA"), QStringLiteral("AA00030000010000"), 17, 3, {}};
    EXPECT_EQ(citationText(c),
              QStringLiteral("第一条から第二条までの規定は、丙法第一条に準用する。"));
    c.code = QStringLiteral("AA00090000010000");
    EXPECT_EQ(citationText(c), QString());
}

// The article's own 前項 is no citing provision; a provision citing twice is one provision.
TEST_F(CitedByTest, OwnReferencesAreLeftOutAndAProvisionCountsOnce) {
    {
        store::Database db = store::openLawDb(QStringLiteral("乙法"));
        db.execute(QStringLiteral("update 条文 set 条文=? where 条項コード=?"),
                   {QStringLiteral("前項の二。"), QStringLiteral("BB00030000020200")});
    }
    testsupport::addRecord(QStringLiteral("乙法"), QStringLiteral("BB00050000010000"),
                           QStringLiteral("第三条の規定は、第三条の場合に準用する。"));
    CitationIndex index;
    index.refresh();
    EXPECT_EQ(citing(index, "BB00030000010100"),
              QStringList({QStringLiteral("BB00040000010000 0 3 BB3"),
                           QStringLiteral("BB00050000010000 0 3 BB3"),
                           QStringLiteral("BB00050000010000 8 3 BB3")}));
    const QList<Citation> provisions = citingProvisions(index.citing(QStringLiteral("BB00030000")));
    ASSERT_EQ(provisions.size(), 3);  // 甲法第二条, 乙法第四条, 乙法第五条
    EXPECT_EQ(provisions[2].code, QStringLiteral("BB00050000010000"));
    EXPECT_EQ(provisions[2].start, 0);
}

// Places count code points, also after a skipped own reference; a law coded in kanji cites
// and is cited with its code as it is.
TEST_F(CitedByTest, PlacesCountCodePointsAndKanjiCodesAreKept) {
    testsupport::addLaw(3, QStringLiteral("丙丙"), QStringLiteral("丙法"));
    testsupport::addRecord(QStringLiteral("丙法"), QStringLiteral("丙丙00010000010000"),
                           QString::fromUtf8("𠮷田は、甲法第一条及び第二条に準ずる。"));
    testsupport::addRecord(QStringLiteral("丙法"), QStringLiteral("丙丙00020000010000"),
                           QString::fromUtf8("この条の規定は𠮷に甲法第一条を準用する。"));
    testsupport::addRecord(QStringLiteral("甲法"), QStringLiteral("AA00040000010000"),
                           QStringLiteral("丙法第一条を準用する。"));
    CitationIndex index;
    EXPECT_EQ(index.refresh(), 3);
    const std::pair<const char*, QStringList> cases[] = {
        {"AA00010000",
         {QStringLiteral("AA00020000010000 0 2 AA1"),
          QStringLiteral("AA00030000010000 0 8 AA1~AA2"),
          QStringLiteral("BB00040000010000 7 3 AA1"), QStringLiteral("丙丙00010000010000 6 3 AA1"),
          QStringLiteral("丙丙00020000010000 11 3 AA1")}},
        {"AA00020000",
         {QStringLiteral("AA00030000010000 0 8 AA1~AA2"),
          QStringLiteral("丙丙00010000010000 11 3 AA2")}},
        // 甲法第三条's 丙法第一条 is linked now that 丙法 is listed
        {"丙丙00010000",
         {QStringLiteral("AA00030000010000 17 3 丙丙1"),
          QStringLiteral("AA00040000010000 2 3 丙丙1")}},
        {"丙丙00020000", {}},  // its own この条 only
    };
    for (const auto& [key, want] : cases) EXPECT_EQ(citing(index, key), want) << key;
    // The kanji-coded law read again alone replaces its own rows only.
    testsupport::addRecord(QStringLiteral("丙法"), QStringLiteral("丙丙00030000010000"),
                           QStringLiteral("乙法第三条を準用する。"));
    const int rows = index.size();
    EXPECT_EQ(index.refresh(), 1);
    EXPECT_EQ(index.size(), rows + 1);
    EXPECT_EQ(citing(index, "AA00010000").size(), 5);
}

// Many laws are read on threads and written in their planned order: each law's 第一条 cited by
// the law before it, the article's own 前項 kept out; a stop between laws keeps what was
// written; an index file that cannot be read is made again.
TEST_F(CitedByTest, ManyLawsAreReadOnThreadsAndAnUnreadableIndexIsMadeAgain) {
    constexpr int kLaws = 12;
    auto name = [](int i) { return QStringLiteral("第%1法").arg(QChar(u'甲' + i)); };
    for (int i = 0; i < kLaws; ++i) {
        const QString code = QStringLiteral("N%1").arg(QChar(u'A' + i));
        testsupport::addLaw(10 + i, code, name(i));
        testsupport::addRecord(name(i), code + QStringLiteral("00010000010100"),
                               QStringLiteral("一。"));
        testsupport::addRecord(
            name(i), code + QStringLiteral("00010000020200"),
            QStringLiteral("前項の規定は、%1第一条に準用する。").arg(name((i + 1) % kLaws)));
    }
    {
        CitationIndex index;
        QStringList told;
        EXPECT_EQ(index.refresh(0,
                                [&](int done, int, const QString& law) {
                                    told << law;
                                    return done < 5;
                                }),
                  5);
        EXPECT_EQ(told.size(), 6);
        // The ones left, and the last one read, which names one of them.
        EXPECT_EQ(index.staleCount(), 2 + kLaws - 5 + 1);
        EXPECT_EQ(index.refresh(), 2 + kLaws - 5 + 1);
        for (int i = 0; i < kLaws; ++i) {
            const QString cited = QStringLiteral("N%1").arg(QChar(u'A' + (i + 1) % kLaws));
            EXPECT_EQ(
                citing(index, (cited + QStringLiteral("00010000")).toLatin1().constData()),
                QStringList{QStringLiteral("N") + QChar(u'A' + i) +
                            QStringLiteral("00010000020200 10 3 ") + cited + QStringLiteral("1")})
                << i;
        }
        // 甲法 and 乙法's five (乙法第四条's この条 is its own), one for each numbered law.
        EXPECT_EQ(index.size(), 5 + kLaws);
    }
    testsupport::writeFile(citationIndexPath(), "no database");
    {
        CitationIndex again;
        EXPECT_EQ(again.staleCount(), 2 + kLaws);
        EXPECT_EQ(again.refresh(), 2 + kLaws);
        EXPECT_EQ(again.size(), 5 + kLaws);
    }
    // A file of the layout before, whose 法令 keeps no row places: made again, not misread.
    QFile::remove(citationIndexPath());
    {
        store::Database old = store::Database::create(citationIndexPath());
        old.execute(
            QStringLiteral("create table 引用 (law text, code text, start integer, "
                           "length integer, target text, tlaw text, lo text, hi text, "
                           "isrange integer)"));
        old.execute(
            QStringLiteral("create table 法令 (law text primary key, name text, "
                           "signature text)"));
        old.execute(QStringLiteral("insert into 法令 values ('AA', '甲法', 'x')"));
    }
    CitationIndex remade;
    EXPECT_EQ(remade.staleCount(), 2 + kLaws);
    EXPECT_EQ(remade.refresh(), 2 + kLaws);
    EXPECT_EQ(remade.size(), 5 + kLaws);
}

TEST_F(CitedByTest, ManyLawsReadAgainKeepOneRowEachAndTheLookups) {
    // Past the bulk threshold: each law's old rows go first, and the lookups come back.
    constexpr int kLaws = 70;
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    auto code = [&](int i) { return QString(QChar(u'N' + i / 36)) + alphabet[i % 36]; };
    auto name = [](int i) { return QStringLiteral("試験法%1号").arg(i); };
    for (int i = 0; i < kLaws; ++i) {
        testsupport::addLaw(10 + i, code(i), name(i));
        testsupport::addRecord(name(i), code(i) + QStringLiteral("00010000010100"),
                               QStringLiteral("甲法第一条に準用する。"));
    }
    auto lookups = [] {
        store::Database db = store::Database::open(citationIndexPath());
        store::Recordset rs = db.openRecordset(
            QStringLiteral("select count(*) as n from sqlite_master where type='index' and name in "
                           "('引用先', '引用元')"));
        return rs.field(QStringLiteral("n")).toInt();
    };  // the 参照元 lookup; the citing law's rows are found by their place
    CitationIndex index;
    EXPECT_EQ(index.refresh(), 2 + kLaws);
    const int rows = index.size();
    const qsizetype cited = citing(index, "AA00010000").size();  // 乙法's and each law's
    EXPECT_EQ(cited, kLaws + 3);
    for (int i = 0; i < kLaws; ++i)
        testsupport::addRecord(name(i), code(i) + QStringLiteral("00020000010100"),
                               QStringLiteral("二。"));
    EXPECT_EQ(index.staleCount(), kLaws);
    // Stopped after ten laws: the other sixty lost their old rows and are read again later,
    // not taken as current.
    EXPECT_EQ(index.refresh(0, [](int done, int, const QString&) { return done < 10; }), 10);
    EXPECT_EQ(index.staleCount(), kLaws - 10);
    EXPECT_EQ(index.size(), rows - (kLaws - 10));
    EXPECT_EQ(index.refresh(), kLaws - 10);
    EXPECT_EQ(index.size(), rows);
    EXPECT_EQ(citing(index, "AA00010000").size(), cited);
    EXPECT_EQ(lookups(), 1);
    // One law read again alone, the first and the last written: its rows only are replaced.
    const qsizetype citedB = citing(index, "BB00030000").size();
    for (const int i : {0, kLaws - 1}) {
        testsupport::addRecord(name(i), code(i) + QStringLiteral("00030000010000"),
                               QStringLiteral("甲法第一条及び乙法第三条に準用する。"));
        EXPECT_EQ(index.refresh(), 1);
        EXPECT_EQ(index.size(), rows + (i == 0 ? 2 : 4));
    }
    EXPECT_EQ(citing(index, "AA00010000").size(), cited + 2);
    EXPECT_EQ(citing(index, "BB00030000").size(), citedB + 2);
}

// The bundled laws: 民法第七百九条 is cited by 第七百十条's 前条; lexctl cited-by says so, by the
// citing paragraph's short number and the place in its text.
class CitedBySampleTest : public testsupport::SampleLawsTest {};

TEST_F(CitedBySampleTest, LexctlListsTheCitingReferences) {
    testsupport::ProcessResult r = lexctl({QStringLiteral("cited-by"), QStringLiteral("MP709")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("MP710\t49\t2\tMP709\n"));
    r = lexctl({QStringLiteral("cited-by"), QStringLiteral("MP415:2")});
    EXPECT_EQ(r.exitCode, 0);
    r = lexctl({QStringLiteral("cited-by"), QStringLiteral("MP")});
    EXPECT_EQ(r.exitCode, 1);
    r = lexctl({QStringLiteral("cited-by"), QStringLiteral("XX1")});
    EXPECT_EQ(r.exitCode, 1);
    r = lexctl({QStringLiteral("reindex")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("7 laws read, "))) << r.out.toStdString();
}

}  // namespace
}  // namespace viewer

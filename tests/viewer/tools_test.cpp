// The study and checking tools without windows: expanded text, data check and repairs,
// correction entry, heading drill, block timer.
#include <QDir>
#include "exchange/lawparts.h"
#include "platform/vb.h"
#include "store/codes.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/samplelaws.h"
#include "viewer/browser/lawtree.h"
#include "viewer/tools/blocktimer.h"
#include "viewer/tools/checkdata.h"
#include "viewer/tools/correction.h"
#include "viewer/tools/drill.h"
#include "viewer/tools/expand.h"

#include <QFileInfo>
#include <QSet>
#include <memory>
#include <stdexcept>

using namespace viewer;
using testsupport::addLaw;
using testsupport::addRecord;
using testsupport::addToc;
using testsupport::readFile;

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QChar kSpace(0x3000);

QStringList lines(const QString& text) {
    return text.split(kCrLf);
}

class ToolsSampleTest : public testsupport::SampleLawsTest {};

TEST_F(ToolsSampleTest, FullTextOfTheConstitutionHoldsEveryRecordInOrder) {
    const QString text = GetExpandedTextALL(QStringLiteral("KP"), ExpandMode::Full, false);
    EXPECT_TRUE(text.startsWith(QStringLiteral("日本国憲法\r\n\r\n（上諭）\r\n") +
                                promulgationText() + QStringLiteral("\r\n\r\n（前文）\r\n") +
                                preambleText() + QStringLiteral("\r\n\r\n第1章　天皇\r\n\r\n")));
    store::Database db = store::openLawDb(QStringLiteral("日本国憲法"));
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
    qsizetype at = 0;
    int articles = 0;
    for (; !rs.eof(); rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("条項コード"));
        // The Constitution has no captions: an article opens with its number alone.
        ASSERT_TRUE(!code.endsWith(u'1') || rs.text(QStringLiteral("条文")).trimmed().isEmpty());
        const QString piece =
            code.endsWith(u'1')
                ? kCrLf + kCrLf + store::GetJouKouText(code.left(10))
                : kCrLf + store::GetJouKouText(code) + rs.text(QStringLiteral("条文"));
        articles += code.endsWith(u'1');
        const qsizetype found = text.indexOf(piece, at);
        ASSERT_GE(found, at) << code.toStdString();
        at = found + piece.size();
    }
    EXPECT_EQ(articles, 103);
    EXPECT_FALSE(text.contains(u'【'));
    // Article 4 has two paragraphs, so both carry a mark.
    EXPECT_TRUE(text.contains(QStringLiteral("第4条\r\n① 天皇は、")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n② 天皇は、法律の定める")));
    EXPECT_EQ(at, text.size());
}

TEST_F(ToolsSampleTest, HeadingsOfTheCivilCodeOneLinePerRowIndentedByLevel) {
    const QStringList out =
        lines(GetExpandedTextALL(QStringLiteral("MP"), ExpandMode::TocHeadings, false));
    ASSERT_EQ(out.size(), 1 + 191);
    EXPECT_EQ(out[0], QStringLiteral("民法"));
    store::Database db = store::openLawDb(QStringLiteral("民法"));
    store::Recordset toc = db.openRecordset(QStringLiteral("select * from 目次 order by コード"));
    QSet<int> levels;
    for (int i = 1; !toc.eof(); toc.moveNext(), ++i) {
        QString label;
        store::GetMokujiName(toc.text(QStringLiteral("コード")), label);
        EXPECT_EQ(out[i], GetSpaces(label) + label + kSpace + toc.text(QStringLiteral("見出し")));
        levels << int(GetSpaces(label).size());
    }
    EXPECT_EQ(levels, (QSet<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(out[1], QStringLiteral("第1編　総則"));
    EXPECT_EQ(out[2], QStringLiteral("　第1章　通則"));

    // The headings form puts each article under its heading; the range form its span.
    const QString headings =
        GetExpandedTextALL(QStringLiteral("MP"), ExpandMode::AllHeadings, false);
    EXPECT_TRUE(headings.contains(
        QStringLiteral("\r\n　第1章　通則\r\n　　　　　第1条　【基本原則】\r\n　　　　　第2条")));
    EXPECT_EQ(headings.count(QStringLiteral("\r\n　　　　　第")), 1224);
    const QString ranges = GetExpandedTextALL(QStringLiteral("MP"), ExpandMode::TocHeadings, true);
    EXPECT_TRUE(ranges.contains(QStringLiteral("\r\n第1編　総則　(第1条～第174条)\r\n")));
    EXPECT_TRUE(ranges.contains(QStringLiteral("\r\n　　第1節　権利能力　(第3条)\r\n")));
}

TEST(ExpandIndentTest, IndentationTestsTheLevelsInOrder) {
    EXPECT_EQ(GetSpaces(QStringLiteral("第1編")), QString());
    EXPECT_EQ(GetSpaces(QStringLiteral("第2章の3")), QString(1, kSpace));
    EXPECT_EQ(GetSpaces(QStringLiteral("第1節の2")), QString(2, kSpace));
    EXPECT_EQ(GetSpaces(QStringLiteral("第4款")), QString(3, kSpace));
    EXPECT_EQ(GetSpaces(QStringLiteral("第5目")), QString(4, kSpace));
    EXPECT_EQ(GetSpaces(QStringLiteral("編章")), QString());  // 編 is tested first
    EXPECT_EQ(GetSpaces(QStringLiteral("章節")), QString(1, kSpace));
    EXPECT_EQ(GetSpaces(QString()), QString());
}

// A small law written straight into a fresh data root.
class ToolsTest : public testsupport::TempRootTest {
  protected:
    void SetUp() override {
        TempRootTest::SetUp();
        store::MakeHCodeDB();
    }
    static QString textOf(const QString& law, const QString& code) {
        store::Database db = store::openLawDb(law);
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 条文 where 条項コード=?"),
                             store::RecordsetType::Snapshot, {code});
        return rs.recordCount() ? rs.text(QStringLiteral("条文")) : QStringLiteral("<none>");
    }
};

TEST_F(ToolsTest, TableOfContentsFormSpansRangesAndEmptySpans) {
    addLaw(1, QStringLiteral("TS"), QStringLiteral("試験法"));
    const QString law = QStringLiteral("試験法");
    addToc(law, {QStringLiteral("TS00010000000000"), QStringLiteral("00010000"),
                 QStringLiteral("00020000"), QStringLiteral("00010000"), QStringLiteral("00020000"),
                 QStringLiteral("総則")});
    // An empty or zero span shows the heading alone, in every mode.
    addToc(law, {QStringLiteral("TS00020000000000"), QString(), QStringLiteral("00030000"),
                 QStringLiteral("00030000"), QStringLiteral("00030000"), QStringLiteral("空")});
    addToc(law,
           {QStringLiteral("TS00030000000000"), QStringLiteral("00030000"), QStringLiteral("0"),
            QStringLiteral("00030000"), QStringLiteral("00030000"), QStringLiteral("零")});
    addRecord(law, QStringLiteral("TS00010000000001"), QStringLiteral("目的"));
    addRecord(law, QStringLiteral("TS00010000010000"), QStringLiteral("第一条の本文"));
    // Article 2 has no heading record: its paragraphs come without a title.
    addRecord(law, QStringLiteral("TS00020000010100"), QStringLiteral("一項"));
    addRecord(law, QStringLiteral("TS00020000020200"), QStringLiteral("二項"));
    addRecord(law, QStringLiteral("TS00030000000001"), QStringLiteral("外"));
    addRecord(law, QStringLiteral("TS00030000010000"), QStringLiteral("三条"));

    const QString ts = QStringLiteral("TS");
    EXPECT_EQ(GetExpandedTextALL(ts, ExpandMode::Full, false),
              QStringLiteral("試験法\r\n\r\n第1章　総則\r\n\r\n【目的】\r\n第1条\r\n第一条の本文"
                             "\r\n① 一項\r\n② 二項\r\n\r\n第2章　空\r\n\r\n第3章　零"));
    EXPECT_EQ(GetExpandedTextALL(ts, ExpandMode::AllHeadings, true),
              QStringLiteral("試験法\r\n　第1章　総則　(第1条～第2条)\r\n　　　　　第1条　【目的】"
                             "\r\n　第2章　空　(第3条)\r\n　第3章　零　(第3条)"));
    EXPECT_EQ(GetExpandedTextALL(ts, ExpandMode::TocHeadings, false),
              QStringLiteral("試験法\r\n　第1章　総則\r\n　第2章　空\r\n　第3章　零"));
    EXPECT_EQ(GetJ_FromTo(ts, QStringLiteral("00010200"), QStringLiteral("00010200")),
              QStringLiteral("(第1条の2)"));
    // With the parts: the 前文 after the title, the rest after the main provision, each under
    // its label (附　則 gives way to the label; a title that is the label is not said twice).
    {
        store::Database db = store::openLawDb(law);
        auto part = [](const char* tag, const char* xml, int n) {
            return exchange::readLawPart(QString::fromLatin1(tag), QByteArray(xml), n);
        };
        store::writeLawParts(db,
                             {part("Preamble",
                                   "<Preamble><Paragraph><Sentence>前文。</Sentence></Paragraph>"
                                   "</Preamble>",
                                   1),
                              part("SupplProvision",
                                   "<SupplProvision AmendLawNum=\"令和元年法律第一号\">"
                                   "<SupplProvisionLabel>附　則</SupplProvisionLabel>"
                                   "<Paragraph><Sentence>施行する。</Sentence></Paragraph>"
                                   "</SupplProvision>",
                                   1),
                              part("AppdxTable",
                                   "<AppdxTable><AppdxTableTitle>別表</AppdxTableTitle>"
                                   "<TableStruct><Table><TableRow><TableColumn>甲</TableColumn>"
                                   "<TableColumn>乙</TableColumn></TableRow></Table>"
                                   "</TableStruct></AppdxTable>",
                                   1)});
    }
    EXPECT_EQ(GetExpandedTextALL(ts, ExpandMode::Full, false, {}, true),
              QStringLiteral("試験法\r\n\r\n（前文）\r\n前文。\r\n\r\n第1章　総則\r\n\r\n【目的】"
                             "\r\n第1条\r\n第一条の本文\r\n① 一項\r\n② 二項\r\n\r\n第2章　空\r\n"
                             "\r\n第3章　零\r\n\r\n附則（令和元年法律第一号）\r\n施行する。\r\n\r\n"
                             "別表\r\n甲\t乙"));
    EXPECT_EQ(GetExpandedTextALL(ts, ExpandMode::TocHeadings, false, {}, true),
              QStringLiteral("試験法\r\n前文\r\n　第1章　総則\r\n　第2章　空\r\n　第3章　零\r\n"
                             "附則（令和元年法律第一号）\r\n別表"));
}

TEST_F(ToolsTest, FlatFormForALawWithoutTableOfContents) {
    addLaw(1, QStringLiteral("KP"), QStringLiteral("憲法"));
    addRecord(QStringLiteral("憲法"), QStringLiteral("KP00010000000001"), QStringLiteral("見"));
    addRecord(QStringLiteral("憲法"), QStringLiteral("KP00010000010000"),
              QStringLiteral("本文\r\n"));
    // Without a heading record the first paragraph stands in the brackets too.
    addRecord(QStringLiteral("憲法"), QStringLiteral("KP00020000010000"), QStringLiteral("二"));
    const QString body =
        QStringLiteral("\r\n\r\n【見】\r\n第1条\r\n本文\r\n\r\n\r\n【二】\r\n第2条\r\n二");
    const QString kp = QStringLiteral("KP");
    // The fixed texts only in full mode; the heading modes add a line break after the name.
    EXPECT_EQ(GetExpandedTextALL(kp, ExpandMode::Full, true),
              QStringLiteral("憲法\r\n\r\n（上諭）\r\n") + promulgationText() +
                  QStringLiteral("\r\n\r\n（前文）\r\n") + preambleText() + body);
    EXPECT_EQ(GetExpandedTextALL(kp, ExpandMode::AllHeadings, false),
              QStringLiteral("憲法\r\n") + body);
    EXPECT_EQ(GetExpandedTextALL(kp, ExpandMode::TocHeadings, false),
              QStringLiteral("憲法\r\n") + body);

    // A law not listed, or listed without its database, gives no text.
    EXPECT_THROW(GetExpandedTextALL(QStringLiteral("ZZ"), ExpandMode::Full, false), ExpandError);
    addLaw(2, QStringLiteral("NB"), QStringLiteral("無"), false);
    EXPECT_THROW(GetExpandedTextALL(QStringLiteral("NB"), ExpandMode::Full, false), store::Error);
    // The flat form on its own makes the missing database.
    EXPECT_EQ(GetExpandedText(QStringLiteral("NB"), ExpandMode::TocHeadings),
              QStringLiteral("無\r\n"));
    EXPECT_TRUE(QFileInfo::exists(store::lawDbPath(QStringLiteral("無"))));
}

// Two laws and a third whose database is missing.
class CheckTest : public ToolsTest {
  protected:
    void SetUp() override {
        ToolsTest::SetUp();
        addLaw(2, QStringLiteral("BB"), QStringLiteral("乙法"));
        addLaw(1, QStringLiteral("AA"), QStringLiteral("甲法"));
        addLaw(3, QStringLiteral("CC"), QStringLiteral("丙法"), false);
    }
    struct Found {
        QStringList codes, summaries;
        CheckRun run;
    };
    static Found scan(CheckMode mode, const QString& str, const QString& chars = {}) {
        Found f;
        f.run.onHit = [&f](const QString& code, const QString& summary) {
            f.codes << code;
            f.summaries << summary;
        };
        EXPECT_TRUE(runDataCheck(mode, chars, str, f.run));
        return f;
    }
};

TEST_F(CheckTest, ChecksListHitsOverEveryLawAndChangeNothing) {
    const QString a = QStringLiteral("甲法"), b = QStringLiteral("乙法");
    addRecord(a, QStringLiteral("AA00010000010000"), QStringLiteral("本文\r\n(注)"));
    addRecord(a, QStringLiteral("AA00020000010000"), QStringLiteral("前\r\n\r\n後"));
    addRecord(b, QStringLiteral("BB00010000010000"), QStringLiteral("一二三"));
    addRecord(b, QStringLiteral("BB00020000010000"), QStringLiteral("一二三四"));
    addRecord(b, QStringLiteral("BB00030000010000"), QString());
    const QByteArray before = readFile(store::lawDbPath(a)) + readFile(store::lawDbPath(b));

    Found f = scan(CheckMode::String, QStringLiteral("\r\n("));
    EXPECT_EQ(f.codes, QStringList{QStringLiteral("AA00010000010000")});
    EXPECT_EQ(f.summaries, QStringList{QStringLiteral("7 本文\r\n(注)")});
    EXPECT_EQ(f.run.skipped, QStringList{QStringLiteral("CC 丙法: データベース ") +
                                         store::lawDbPath(QStringLiteral("丙法")) +
                                         QStringLiteral(" がありません")});
    // The last law scanned had three records; the hits count over all laws.
    EXPECT_EQ(f.run.record, 3);
    // A text of exactly N characters is no hit; N + 1 is.
    f = scan(CheckMode::Length, QString(), QStringLiteral("3"));
    EXPECT_EQ(f.codes,
              (QStringList{QStringLiteral("AA00010000010000"), QStringLiteral("AA00020000010000"),
                           QStringLiteral("BB00020000010000")}));
    // A count that is no number is 0: every text that is not empty.
    EXPECT_EQ(scan(CheckMode::Length, QString(), QStringLiteral("abc")).run.hits, 4);
    // "CORRECT" only repairs in the string and empty-line modes.
    EXPECT_EQ(scan(CheckMode::Length, QStringLiteral("CORRECT"), QStringLiteral("3")).run.hits, 3);
    EXPECT_EQ(scan(CheckMode::EmptyLine, QString()).codes,
              QStringList{QStringLiteral("AA00020000010000")});
    EXPECT_EQ(scan(CheckMode::String, QStringLiteral("correct")).run.hits, 0);
    EXPECT_EQ(readFile(store::lawDbPath(a)) + readFile(store::lawDbPath(b)), before);
}

TEST_F(CheckTest, RepairsCutOneNoteOrOneEmptyLineOnly) {
    const QString a = QStringLiteral("甲法");
    addRecord(a, QStringLiteral("AA00010000010000"),
              QStringLiteral("本文です。\r\n(平成一六法一四七 改正 )"));
    addRecord(a, QStringLiteral("AA00020000010000"), QStringLiteral("本文\r\n(同 追加 )"));
    addRecord(a, QStringLiteral("AA00030000010000"),
              QStringLiteral("本文\r\n(一 改正 )\r\n(二 改正 )"));
    addRecord(a, QStringLiteral("AA00040000010000"), QStringLiteral("本文\r\n(同 削除 )"));
    addRecord(a, QStringLiteral("AA00050000010000"), QStringLiteral("本文\r\n(同 改正)"));
    Found f = scan(CheckMode::String, QStringLiteral("CORRECT"));
    EXPECT_EQ(f.run.hits, 5);  // found, repaired or not
    EXPECT_EQ(f.codes, (QStringList{QStringLiteral("AA00010000010000"),
                                    QStringLiteral("AA00020000010000")}));
    EXPECT_EQ(f.summaries, (QStringList{QStringLiteral("5 本文です。"), QStringLiteral("2 本文")}));
    EXPECT_EQ(textOf(a, QStringLiteral("AA00010000010000")), QStringLiteral("本文です。"));
    EXPECT_EQ(textOf(a, QStringLiteral("AA00030000010000")),
              QStringLiteral("本文\r\n(一 改正 )\r\n(二 改正 )"));
    EXPECT_EQ(textOf(a, QStringLiteral("AA00040000010000")), QStringLiteral("本文\r\n(同 削除 )"));
    EXPECT_EQ(textOf(a, QStringLiteral("AA00050000010000")), QStringLiteral("本文\r\n(同 改正)"));

    const QString b = QStringLiteral("乙法");
    addRecord(b, QStringLiteral("BB00010000010000"), QStringLiteral("前\r\n\r\n後"));
    addRecord(b, QStringLiteral("BB00020000010000"), QStringLiteral("一\r\n\r\n二\r\n\r\n三"));
    f = scan(CheckMode::EmptyLine, QStringLiteral("CORRECT"));
    EXPECT_EQ(f.run.hits, 2);
    EXPECT_EQ(f.codes, QStringList{QStringLiteral("BB00010000010000")});
    EXPECT_EQ(textOf(b, QStringLiteral("BB00010000010000")), QStringLiteral("前"));
    EXPECT_EQ(textOf(b, QStringLiteral("BB00020000010000")),
              QStringLiteral("一\r\n\r\n二\r\n\r\n三"));
}

TEST_F(CheckTest, RepairsAskFirstAndCopyEveryLawTheyRewrite) {
    const QString a = QStringLiteral("甲法"), b = QStringLiteral("乙法");
    const QString note = QStringLiteral("\r\n(同 改正 )");
    addRecord(a, QStringLiteral("AA00010000010000"), QStringLiteral("一") + note);
    addRecord(a, QStringLiteral("AA00020000010000"), QStringLiteral("二") + note);
    addRecord(b, QStringLiteral("BB00010000010000"), QStringLiteral("三") + note);
    addRecord(b, QStringLiteral("BB00020000010000"), QStringLiteral("本文\r\n(注)"));
    const QByteArray before = readFile(store::lawDbPath(a)) + readFile(store::lawDbPath(b));
    EXPECT_EQ(countRepairs(a, CheckMode::String, *std::make_unique<CheckRun>()), 2);
    EXPECT_EQ(countRepairs(b, CheckMode::EmptyLine, *std::make_unique<CheckRun>()), 0);

    // Declined: asked once with the counts, nothing written, nothing copied.
    CheckRun no;
    QList<std::pair<int, int>> asked;
    no.confirmRepair = [&](int records, int laws) {
        asked.append({records, laws});
        return false;
    };
    runDataCheck(CheckMode::String, {}, kCorrectWord, no);
    EXPECT_EQ(asked, (QList<std::pair<int, int>>{{3, 2}}));
    EXPECT_TRUE(no.declined);
    EXPECT_EQ(no.repaired, 0);
    EXPECT_EQ(readFile(store::lawDbPath(a)) + readFile(store::lawDbPath(b)), before);
    EXPECT_FALSE(QFileInfo::exists(store::backupFolder()));

    // Accepted: each law is copied as it was, then repaired.
    CheckRun yes;
    yes.confirmRepair = [](int, int) { return true; };
    runDataCheck(CheckMode::String, {}, kCorrectWord, yes);
    EXPECT_EQ(yes.repaired, 3);
    EXPECT_EQ(yes.hits, 4);
    ASSERT_EQ(yes.backups.size(), 2);
    auto textsIn = [](const QString& file) {
        QStringList out;
        store::Database db = store::Database::open(file);
        for (store::Recordset rs =
                 db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
             !rs.eof(); rs.moveNext())
            out << rs.text(QStringLiteral("条文"));
        return out;
    };
    EXPECT_EQ(textsIn(yes.backups[0]),
              (QStringList{QStringLiteral("一") + note, QStringLiteral("二") + note}));
    EXPECT_EQ(textsIn(yes.backups[1]),
              (QStringList{QStringLiteral("三") + note, QStringLiteral("本文\r\n(注)")}));
    EXPECT_TRUE(QFileInfo(yes.backups[0]).fileName().startsWith(a + u'-'));
    EXPECT_EQ(QFileInfo(yes.backups[0]).absolutePath(), store::backupFolder());
    EXPECT_EQ(textOf(b, QStringLiteral("BB00010000010000")), QStringLiteral("三"));
    // Two copies in one second keep both.
    const QString first = store::backupLawDb(a), second = store::backupLawDb(a);
    EXPECT_NE(first, second);
    EXPECT_EQ(textsIn(first), textsIn(second));

    // Nothing left to repair: not asked, nothing copied.
    CheckRun again;
    again.confirmRepair = [](int, int) -> bool { throw std::logic_error("asked"); };
    runDataCheck(CheckMode::String, {}, kCorrectWord, again);
    EXPECT_TRUE(again.backups.isEmpty());
    EXPECT_EQ(again.hits, 1);
}

TEST_F(CheckTest, RepairsLeaveTextsSavedDuringTheScan) {
    // The scan lets events in: the reader may save a record read before but repaired after.
    const QString a = QStringLiteral("甲法");
    const QString note = QStringLiteral("\r\n(同 改正 )");
    for (const char* code : {"AA00010000010000", "AA00020000010000", "AA00030000010000"})
        addRecord(a, QString::fromLatin1(code), QStringLiteral("本文") + note);
    CheckRun run;
    QStringList listed;
    run.onHit = [&](const QString& code, const QString&) {
        listed << code;
        if (listed.size() > 1) return;
        store::Database other = store::openLawDb(a);
        other.execute(QStringLiteral("update 条文 set 条文=? where 条項コード=?"),
                      {QStringLiteral("利用者の修正"), QStringLiteral("AA00020000010000")});
        other.execute(QStringLiteral("update 条文 set 条文=? where 条項コード=?"),
                      {QStringLiteral("新しい本文") + note, QStringLiteral("AA00030000010000")});
    };
    runDataCheck(CheckMode::String, {}, kCorrectWord, run);
    EXPECT_EQ(listed, QStringList{QStringLiteral("AA00010000010000")});
    EXPECT_EQ(textOf(a, QStringLiteral("AA00010000010000")), QStringLiteral("本文"));
    EXPECT_EQ(textOf(a, QStringLiteral("AA00020000010000")), QStringLiteral("利用者の修正"));
    EXPECT_EQ(textOf(a, QStringLiteral("AA00030000010000")), QStringLiteral("新しい本文") + note);
}

TEST_F(CheckTest, ScanStopsWhenAskedAndAnEmptyListScansNothing) {
    addRecord(QStringLiteral("甲法"), QStringLiteral("AA00010000010000"), QStringLiteral("x"));
    addRecord(QStringLiteral("甲法"), QStringLiteral("AA00020000010000"), QStringLiteral("x"));
    CheckRun run;
    int records = 0;
    run.onRecord = [&](int, int) { ++records; };
    run.stop = [&] { return records == 1; };
    runDataCheck(CheckMode::String, {}, QStringLiteral("x"), run);
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.hits, 1);

    store::Database db = store::openMasterDb();
    db.execute(QStringLiteral("delete from 法典コード"));
    CheckRun none;
    bool started = false;
    none.onStart = [&] { started = true; };
    EXPECT_FALSE(runDataCheck(CheckMode::String, {}, QStringLiteral("x"), none));
    EXPECT_FALSE(started);
}

TEST(CheckSummaryTest, LengthAndTheLastFiftyCharacters) {
    const QString fifty(50, QChar(u'あ'));
    EXPECT_EQ(checkSummary(fifty), QStringLiteral("50 ") + fifty);
    EXPECT_EQ(checkSummary(u'い' + fifty), QStringLiteral("51 ") + fifty);
    EXPECT_EQ(checkSummary(QString()), QStringLiteral("0 "));
    // A character outside the basic plane at the cut is kept whole.
    const QString wide = QString::fromUcs4(U"𠮷");
    const QString t = wide + QString(49, QChar(u'a'));
    EXPECT_EQ(checkSummary(u'x' + t), QStringLiteral("52 ") + t);
}

TEST_F(ToolsSampleTest, CorrectionHeadingsAndSaves) {
    const QString kp = QStringLiteral("KP");
    // The only paragraph of an article, and paragraph 2 of several.
    std::optional<CorrectionRecord> r = loadCorrection(kp, QStringLiteral("KP00010000010000"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->head, QStringLiteral("日本国憲法　第1条\r\n"));
    r = loadCorrection(kp, QStringLiteral("KP00040000020200"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->head, QStringLiteral("日本国憲法　第4条\r\n[第2項]\r\n"));
    EXPECT_TRUE(r->text.startsWith(QStringLiteral("天皇は、法律の定めるところにより")));
    EXPECT_FALSE(loadCorrection(kp, QStringLiteral("KP09990000010000")));

    EXPECT_EQ(correctionText(QStringLiteral("  新しい本文\r\n ")),
              QStringLiteral("新しい本文\r\n"));
    EXPECT_EQ(correctionText(QStringLiteral("　全角は残る　")), QStringLiteral("　全角は残る　"));
    EXPECT_EQ(saveCorrection(kp, QStringLiteral("KP00040000020200"), QStringLiteral("改")),
              CorrectionSave::Saved);
    EXPECT_EQ(loadCorrection(kp, QStringLiteral("KP00040000020200"))->text, QStringLiteral("改"));
    EXPECT_EQ(saveCorrection(kp, QStringLiteral("KP00040000020200"), QString()),
              CorrectionSave::Empty);
    EXPECT_EQ(saveCorrection(kp, QStringLiteral("KP09990000010000"), QStringLiteral("x")),
              CorrectionSave::NoRecord);
    EXPECT_EQ(loadCorrection(kp, QStringLiteral("KP00040000020200"))->text, QStringLiteral("改"));
    EXPECT_THROW(saveCorrection(QStringLiteral("ZZ"), QStringLiteral("ZZ00010000010000"),
                                QStringLiteral("x")),
                 store::Error);
}

TEST_F(ToolsSampleTest, DrillListsEveryHeadingRecordOfTheCivilCode) {
    const DrillList list = loadDrill(QStringLiteral("MP"));
    EXPECT_EQ(list.name, QStringLiteral("民法"));
    EXPECT_EQ(list.titles.size(), 1224);
    EXPECT_EQ(list.entries().first(), QStringLiteral("第1条 基本原則"));
    EXPECT_TRUE(loadDrill(QStringLiteral("ZZ")).titles.isEmpty());
}

TEST_F(ToolsTest, DrillHeadingSameAsBeforeTakesThePreviousOne) {
    addLaw(1, QStringLiteral("DR"), QStringLiteral("練習法"));
    const QString law = QStringLiteral("練習法");
    addRecord(law, QStringLiteral("DR00010000000001"), QStringLiteral("同前"));  // first: empty
    addRecord(law, QStringLiteral("DR00020000000001"), QStringLiteral("目的"));
    addRecord(law, QStringLiteral("DR00020000010000"), QStringLiteral("本文"));
    addRecord(law, QStringLiteral("DR00030000000001"), QStringLiteral("同前"));
    addRecord(law, QStringLiteral("DR00040000000001"), QStringLiteral("同前"));
    const DrillList list = loadDrill(QStringLiteral("DR"));
    EXPECT_EQ(list.headings, (QStringList{QString(), QStringLiteral("目的"), QStringLiteral("目的"),
                                          QStringLiteral("目的")}));
    EXPECT_EQ(list.titles.last(), QStringLiteral("第4条"));
}

// The labels after each tick as "title|heading" ("~" for a label left as it was).
QStringList ticks(HeadingDrill& d, int mode, const DrillList& list, int count) {
    QStringList out;
    for (int i = 0; i < count; ++i) {
        const std::optional<DrillLabels> l = d.tick(mode, list);
        out << (l ? l->title.value_or(QStringLiteral("~")) + u'|' +
                        l->heading.value_or(QStringLiteral("~")) + (l->even ? u'Y' : u'W')
                  : QStringLiteral("-"));
    }
    return out;
}

TEST(DrillTest, PhasesOfBothModesWrapAndPause) {
    DrillList list;
    list.titles = QStringList{QStringLiteral("第1条"), QStringLiteral("第2条")};
    list.headings = QStringList{QStringLiteral("甲"), QStringLiteral("乙")};
    HeadingDrill d;
    // Mode "1": the first article gets phase 0 too (10 ticks), the next 9.
    EXPECT_EQ(ticks(d, 0, list, 10).join(u','),
              QStringLiteral("第1条|~Y,|Y,第1条|甲Y,|Y,第1条|Y,|Y,第1条|甲Y,~|~Y,|Y,|Y"));
    EXPECT_EQ(d.n, 1);
    EXPECT_EQ(d.p, 1);
    EXPECT_EQ(ticks(d, 0, list, 9).join(u','),
              QStringLiteral("|W,第2条|乙W,|W,第2条|W,|W,第2条|乙W,~|~W,|W,|W"));
    // After the last article the drill starts over.
    EXPECT_EQ(d.n, 0);
    // Mode "3" freezes everything; mode "2" goes on with the same article, 4 ticks each.
    EXPECT_EQ(ticks(d, 2, list, 3).join(u','), QStringLiteral("-,-,-"));
    EXPECT_EQ(d.p, 1);
    EXPECT_EQ(ticks(d, 1, list, 4).join(u','), QStringLiteral("|Y,|Y,第1条|甲Y,~|~Y"));
    EXPECT_EQ(d.n, 1);

    // A phase beyond mode "2" does nothing and wraps.
    HeadingDrill late;
    late.p = 7;
    EXPECT_EQ(ticks(late, 1, list, 1).join(u','), QStringLiteral("~|~Y"));
    EXPECT_EQ(late.p, 0);
    // A law without headings: blank labels, the index stays at the start.
    HeadingDrill none;
    EXPECT_EQ(ticks(none, 1, DrillList{}, 5).join(u','), QStringLiteral("|Y,|Y,|Y,|Y,~|~Y"));
    EXPECT_EQ(none.n, 0);
}

TEST(BlockTimerTest, TimeTextWarningsSoundsAndTheSeventhBlock) {
    EXPECT_EQ(GetTime(0), QStringLiteral("-"));
    EXPECT_EQ(GetTime(59), QStringLiteral("59"));
    EXPECT_EQ(GetTime(60), QStringLiteral("1:00"));
    EXPECT_EQ(GetTime(3599), QStringLiteral("59:59"));
    EXPECT_EQ(GetTime(3600), QStringLiteral("1:00:00"));
    EXPECT_EQ(GetTime(3661), QStringLiteral("1:01:01"));

    BlockTimer t;
    BlockTimer::Step s = t.tick();
    EXPECT_EQ(s.caption, QStringLiteral(" 1 -ブロック1"));
    EXPECT_EQ(s.genre, QStringLiteral("ブロック1"));
    QList<int> sounds, warnings;
    for (int tick = 2; tick <= 3601; ++tick) {
        s = t.tick();
        if (s.sound) sounds << tick;
        if (s.warning) warnings << tick;
        if (tick == 3600) {
            EXPECT_EQ(s.time, QStringLiteral("1:00:00"));
            EXPECT_EQ(s.bar, 0);
            EXPECT_EQ(s.value, 3600);
        }
    }
    EXPECT_EQ(sounds, (QList<int>{3000, 3001, 3600}));
    EXPECT_EQ(warnings.first(), 3000);
    EXPECT_EQ(warnings.last(), 3600);
    EXPECT_EQ(warnings.size(), 601);
    EXPECT_EQ(s.caption, QStringLiteral(" 1 -ブロック2"));
    EXPECT_EQ(s.bar, 1);

    t.block = 6;
    t.ticks = 3599;
    s = t.tick();
    EXPECT_TRUE(s.barsReset);
    EXPECT_EQ(t.block, 0);
    EXPECT_EQ(t.tick().genre, QStringLiteral("ブロック1"));
}

TEST(TimerIntervalTest, OnlyWholeNumbersInRange) {
    EXPECT_EQ(platform::timerInterval(QStringLiteral("50")), 50);
    EXPECT_EQ(platform::timerInterval(QStringLiteral("0")), 0);
    EXPECT_EQ(platform::timerInterval(QStringLiteral("2147483647")), 2147483647);
    for (const char* bad : {"2147483648", "-1", "abc", "", "5x"})
        EXPECT_FALSE(platform::timerInterval(QString::fromLatin1(bad))) << bad;
}

TEST_F(CheckTest, ALawWhoseCopyCannotBeMadeIsLeftUnrepaired) {
    const QString a = QStringLiteral("甲法"), b = QStringLiteral("乙法");
    const QString note = QStringLiteral("\r\n(同 改正 )");
    addRecord(a, QStringLiteral("AA00010000010000"), QStringLiteral("一") + note);
    addRecord(b, QStringLiteral("BB00010000010000"), QStringLiteral("二") + note);
    const QByteArray bBefore = readFile(store::lawDbPath(b));
    // Once 甲法 is copied and repaired, a file takes the backup folder's place.
    const QString made = store::backupFolder() + QStringLiteral("-made");
    CheckRun run;
    run.confirmRepair = [](int, int) { return true; };
    run.onHit = [&](const QString&, const QString&) {
        if (!QFileInfo(store::backupFolder()).isDir()) return;
        QDir().rename(store::backupFolder(), made);
        testsupport::writeFile(store::backupFolder(), "x");
    };
    runDataCheck(CheckMode::String, {}, kCorrectWord, run);
    EXPECT_EQ(run.hits, 2);  // counted, repaired or not
    EXPECT_EQ(run.repaired, 1);
    ASSERT_EQ(run.backups.size(), 1);
    EXPECT_TRUE(QFileInfo(run.backups[0]).fileName().startsWith(a + u'-'));
    ASSERT_EQ(run.notBackedUp.size(), 1);
    EXPECT_TRUE(run.notBackedUp[0].startsWith(QStringLiteral("BB 乙法: ")))
        << run.notBackedUp[0].toStdString();
    EXPECT_EQ(textOf(a, QStringLiteral("AA00010000010000")), QStringLiteral("一"));
    EXPECT_EQ(readFile(store::lawDbPath(b)), bBefore);
}

TEST_F(CheckTest, ALawWithTheLongestNameIsCopiedAndRepaired) {
    const QString name(81, QChar(0x6CD5));  // 243 bytes: "<name>.mdb" is as long as allowed
    addLaw(4, QStringLiteral("DD"), name);
    addRecord(name, QStringLiteral("DD00010000010000"), QStringLiteral("一\r\n(同 改正 )"));
    CheckRun run;
    run.confirmRepair = [](int, int) { return true; };
    runDataCheck(CheckMode::String, {}, kCorrectWord, run);
    EXPECT_TRUE(run.notBackedUp.isEmpty()) << run.notBackedUp.join(u'\n').toStdString();
    ASSERT_EQ(run.backups.size(), 1);
    EXPECT_LE(QFileInfo(run.backups[0]).fileName().toUtf8().size(), store::kMaxFileNameBytes);
    EXPECT_EQ(textOf(name, QStringLiteral("DD00010000010000")), QStringLiteral("一"));
}

}  // namespace

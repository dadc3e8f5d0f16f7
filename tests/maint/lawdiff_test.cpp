// Versions and their comparison: each kind of change on constructed versions, and a real law
// imported in an older and a newer form through lexctl.
#include "maint/lawdiff.h"
#include <unistd.h>
#include <functional>
#include "maint/lawimport.h"
#include "platform/textfile.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/versions.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

using maint::ArticleChange;
using maint::LawText;

namespace {

// An article of law ZZ: number "5" or "398-2", a caption, its paragraphs.
LawText::Article article(const char* number, const char* caption, QStringList paragraphs) {
    const QStringList parts = QString::fromLatin1(number).split(u'-');
    QString key =
        QStringLiteral("ZZ") + QStringLiteral("%1").arg(parts[0].toInt(), 4, 10, QChar(u'0'));
    key += QStringLiteral("%1").arg(parts.value(1).toInt(), 2, 10, QChar(u'0'));
    key += QStringLiteral("00");
    LawText::Article a{key, QString::fromUtf8(caption), {}, paragraphs};
    for (int i = 0; i < paragraphs.size(); ++i)
        a.codes << key + (paragraphs.size() == 1
                              ? QStringLiteral("010000")
                              : QStringLiteral("%1%1").arg(i + 1, 2, 10, QChar(u'0')) +
                                    QStringLiteral("00"));
    return a;
}

TEST(LawDiffTest, EachKindOfChangeIsNamedAndMarked) {
    LawText older, newer;
    older.articles = {
        article("1", "目的", {QStringLiteral("この法律は、契約について定める。")}),
        article("2", "定義", {QStringLiteral("第一項。"), QStringLiteral("第二項。")}),
        article("3", "申込み", {QStringLiteral("申込みは撤回できない。")}),
        article("4", "承諾", {QStringLiteral("承諾の期間を定める。")}),
        article("5", "廃止される条", {QStringLiteral("この条はなくなる。")}),
        article("6", "見出し旧", {QStringLiteral("本文は同じ。")}),
        article("7", "移る条", {QStringLiteral("この条は第七条の二に移る。")})};
    older.toc = {
        {QStringLiteral("ZZ01000000000000"), {QStringLiteral("第一章　総則"), {}, {}, {}, {}}},
        {QStringLiteral("ZZ02000000000000"), {QStringLiteral("第二章　契約"), {}, {}, {}, {}}}};
    newer.articles = {
        article("1", "目的", {QStringLiteral("この法律は、売買契約について定める。")}),
        article("2", "定義",
                {QStringLiteral("第一項。"), QStringLiteral("新しい第二項。"),
                 QStringLiteral("第二項。")}),
        article("3", "申込み", {QStringLiteral("申込みは撤回できない。")}),
        article("4", "", {QStringLiteral("削除")}),
        article("6", "見出し新", {QStringLiteral("本文は同じ。")}),
        article("7-2", "移る条", {QStringLiteral("この条は第七条の二に移る。")}),
        article("8", "新設", {QStringLiteral("新しい条。")})};
    newer.toc = {
        {QStringLiteral("ZZ01000000000000"), {QStringLiteral("第一章　通則"), {}, {}, {}, {}}},
        {QStringLiteral("ZZ03000000000000"), {QStringLiteral("第三章　雑則"), {}, {}, {}, {}}}};

    const maint::LawDiff diff = maint::diffLaws(older, newer);
    EXPECT_EQ(
        maint::diffLines(diff),
        QStringList(
            {QStringLiteral("~\tZZ1"),
             QStringLiteral("\tZZ1\tこの法律は、【+売買+】契約について定める。"),
             QStringLiteral("~\tZZ2"), QStringLiteral("\tZZ2:2\t【+新しい第二項。+】"),
             QStringLiteral("x\tZZ4"), QStringLiteral("-\tZZ5"), QStringLiteral("~\tZZ6"),
             QStringLiteral("\t見出し\t見出し【-旧-】【+新+】"), QStringLiteral(">\tZZ7\tZZ7-2"),
             QStringLiteral("+\tZZ8"), QStringLiteral("~\t目次\t第一章　【-総-】【+通+】則"),
             QStringLiteral("-\t目次\t第二章　契約"), QStringLiteral("+\t目次\t第三章　雑則")}));
    EXPECT_EQ(diff.summary(), QStringLiteral("3 条改正、1 条新設、2 条削除、1 条移動"));
    EXPECT_TRUE(maint::diffLaws(newer, newer).articles.isEmpty());
}

TEST(LawDiffTest, ParagraphsPairUpByTextAndRunsAreExactToTheCodePoint) {
    LawText older, newer;
    older.articles = {
        article("9", "", {QStringLiteral("甲。"), QStringLiteral("乙。"), QStringLiteral("丙。")})};
    newer.articles = {article("9", "", {QStringLiteral("甲。"), QStringLiteral("丙。")})};
    // A paragraph taken out: the one removed, not the ones after it.
    EXPECT_EQ(maint::diffLines(maint::diffLaws(older, newer)),
              QStringList({QStringLiteral("~\tZZ9"), QStringLiteral("\tZZ9:2\t【-乙。-】")}));
    // Outside the basic plane (𠮷) counts as one character.
    const QList<maint::TextRun> runs =
        maint::textRuns(QStringLiteral("𠮷野家の吉"), QStringLiteral("吉野家の𠮷"));
    EXPECT_EQ(maint::markedText(runs), QStringLiteral("【-𠮷-】【+吉+】野家の【-吉-】【+𠮷+】"));
    EXPECT_EQ(maint::markedText(maint::textRuns({}, QStringLiteral("新"))),
              QStringLiteral("【+新+】"));
    EXPECT_EQ(maint::markedText(maint::textRuns(QStringLiteral("旧"), {})),
              QStringLiteral("【-旧-】"));
    EXPECT_EQ(maint::articleLabel(QStringLiteral("MP03980200")), QStringLiteral("第398条の2"));
}

class VersionsTest : public testsupport::TempRootTest {
  protected:
    void SetUp() override {
        TempRootTest::SetUp();
        ASSERT_EQ(lexctl({QStringLiteral("init")}).exitCode, 0);
    }
    // 民法 from its XML with some articles edited.
    QString editedMinpo(const QList<std::pair<QString, QString>>& edits) {
        QString xml = QString::fromUtf8(
            testsupport::readFile(QStringLiteral(LEXORA_SAMPLE_DIR "/../xml/MP.xml")));
        for (const auto& [from, to] : edits) {
            EXPECT_TRUE(xml.contains(from)) << from.toStdString();
            xml.replace(from, to);
        }
        const QString file = path(QStringLiteral("MP-%1.xml").arg(++files_));
        testsupport::writeFile(file, xml.toUtf8());
        return file;
    }
    int files_ = 0;
};

TEST_F(VersionsTest, AReimportKeepsTheOlderRecordsAndTheDiffListsExactlyTheEditedArticles) {
    const QString original = editedMinpo({});
    ASSERT_EQ(lexctl({QStringLiteral("import-xml"), QStringLiteral("MP=") + original}).exitCode, 0);
    EXPECT_TRUE(store::listVersions(QStringLiteral("民法")).isEmpty());  // nothing replaced yet
    // The same text again keeps no version.
    ASSERT_EQ(lexctl({QStringLiteral("import-xml"), QStringLiteral("MP=") + original}).exitCode, 0);
    EXPECT_TRUE(store::listVersions(QStringLiteral("民法")).isEmpty());

    const QString amended = editedMinpo(
        {{QStringLiteral("債務者がその債務の本旨に従った履行をしないとき"),
          QStringLiteral("債務者がその債務の本旨に従った履行を怠ったとき")},
         {QStringLiteral("（不法行為による損害賠償）"),
          QStringLiteral("（不法行為に基づく損害賠償）")},
         // 第三百九十八条の二十二 becomes 第三百九十八条の二十三
         {QStringLiteral("<Article Num=\"398_22\">"), QStringLiteral("<Article Num=\"398_23\">")},
         {QStringLiteral("<ArticleTitle>第三百九十八条の二十二</ArticleTitle>"),
          QStringLiteral("<ArticleTitle>第三百九十八条の二十三</ArticleTitle>")}});
    const testsupport::ProcessResult again =
        lexctl({QStringLiteral("import-xml"), QStringLiteral("MP=") + amended});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    const QList<store::LawVersion> versions = store::listVersions(QStringLiteral("民法"));
    ASSERT_EQ(versions.size(), 1);
    EXPECT_EQ(versions[0].records, 3226);
    EXPECT_FALSE(versions[0].info.importedAt.isEmpty());
    EXPECT_FALSE(QFileInfo(versions[0].path).permissions() &
                 (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));

    const testsupport::ProcessResult diff = lexctl({QStringLiteral("diff"), QStringLiteral("MP")});
    ASSERT_EQ(diff.exitCode, 0) << diff.err.toStdString();
    QStringList marks;
    for (const QString& line : diff.out.split(u'\n', Qt::SkipEmptyParts))
        if (!line.startsWith(u'\t')) marks << line;
    EXPECT_EQ(
        marks,
        QStringList({QStringLiteral(">\tMP398-22\tMP398-23"), QStringLiteral("~\tMP415"),
                     QStringLiteral("~\tMP709"),
                     QStringLiteral("~\t目次\t物権\t第175条～第398条の22 → 第175条～第398条の23"),
                     QStringLiteral("~\t目次\t抵当権\t第369条～第398条の22 → 第369条～第398条の23"),
                     QStringLiteral("~\t目次\t根抵当\t第398条の2～第398条の22 → "
                                    "第398条の2～第398条の23")}));
    EXPECT_TRUE(diff.out.contains(QStringLiteral("履行を【-しない-】【+怠った+】とき")));
    EXPECT_EQ(diff.err.trimmed(), QStringLiteral("2 条改正、0 条新設、0 条削除、1 条移動"));
    // The renumbered article's old records are gone from the current law.
    const testsupport::ProcessResult gone =
        lexctl({QStringLiteral("show"), QStringLiteral("MP398-22")});
    EXPECT_EQ(gone.exitCode, 1);

    // Listed with sizes; removed on request; an unknown one is refused.
    const testsupport::ProcessResult listed =
        lexctl({QStringLiteral("versions"), QStringLiteral("MP")});
    EXPECT_TRUE(listed.out.startsWith(versions[0].id + u'\t')) << listed.out.toStdString();
    EXPECT_TRUE(listed.out.contains(QStringLiteral("1 versions, ")));
    EXPECT_EQ(lexctl({QStringLiteral("versions"), QStringLiteral("MP"), QStringLiteral("--remove"),
                      QStringLiteral("19990101-000000")})
                  .exitCode,
              1);
    EXPECT_EQ(lexctl({QStringLiteral("versions"), QStringLiteral("MP"), QStringLiteral("--remove"),
                      versions[0].id})
                  .exitCode,
              0);
    EXPECT_TRUE(store::listVersions(QStringLiteral("民法")).isEmpty());
    const testsupport::ProcessResult none = lexctl({QStringLiteral("diff"), QStringLiteral("MP")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains(QStringLiteral("残っている版はありません")));
}

TEST_F(VersionsTest, ATextImportKeepsAVersionToo) {
    const QString text = QStringLiteral(LEXORA_SAMPLE_DIR "/GT.txt");
    ASSERT_EQ(lexctl({QStringLiteral("import"), text}).exitCode, 0);
    QByteArray changed = testsupport::readFile(text);
    const QByteArray word = testsupport::cp932(QStringLiteral("行政運営"));
    ASSERT_TRUE(changed.contains(word));
    changed.replace(changed.indexOf(word), word.size(),
                    testsupport::cp932(QStringLiteral("行政事務")));
    testsupport::writeFile(path(QStringLiteral("GT.txt")), changed);
    ASSERT_EQ(lexctl({QStringLiteral("import"), path(QStringLiteral("GT.txt"))}).exitCode, 0);
    const testsupport::ProcessResult diff = lexctl({QStringLiteral("diff"), QStringLiteral("GT")});
    EXPECT_TRUE(diff.out.startsWith(QStringLiteral("~\tGT1\n"))) << diff.out.toStdString();
    EXPECT_TRUE(diff.out.contains(QStringLiteral("行政【-運営-】【+事務+】")));
}

TEST_F(VersionsTest, AnOlderTextThenTheNewerLeavesEachArticleExactlyItsRecords) {
    // 民法 before the 2022 reform of 嫡出否認: 第774条 and 第775条 each one paragraph.
    const QString newer = QStringLiteral(LEXORA_SAMPLE_DIR "/MP.txt");
    QString text = platform::readLines(newer).join(QStringLiteral("\r\n"));
    auto replaceArticle = [&text](const QString& number, const QString& older) {
        const qsizetype at = text.indexOf(QStringLiteral("\r\n") + number + QStringLiteral("\r\n"));
        ASSERT_GE(at, 0) << number.toStdString();
        const qsizetype from = at + number.size() + 4;
        const qsizetype end = text.indexOf(QStringLiteral("\r\n\r\n"), from);
        text.replace(from, end - from, older);
    };
    replaceArticle(QStringLiteral("第７７４条"),
                   QStringLiteral("第七百七十二条の場合において、夫は、子が嫡出であることを"
                                  "否認することができる。"));
    replaceArticle(QStringLiteral("第７７５条"),
                   QStringLiteral("前条の規定による否認権は、子又は親権を行う母に対する嫡出"
                                  "否認の訴えによって行う。"));
    const QString older = path(QStringLiteral("MP-2021.txt"));
    platform::writeBlock(older, text);

    auto records = [] {
        QMap<QString, QString> out;
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        for (store::Recordset rs = db.openRecordset(QStringLiteral("select * from 条文"));
             !rs.eof(); rs.moveNext())
            out.insert(rs.text(QStringLiteral("条項コード")), rs.text(QStringLiteral("条文")));
        return out;
    };
    ASSERT_EQ(lexctl({QStringLiteral("import"), newer}).exitCode, 0);
    const QMap<QString, QString> whole = records();
    const testsupport::ProcessResult back = lexctl({QStringLiteral("import"), older});
    ASSERT_EQ(back.exitCode, 0) << back.err.toStdString();
    EXPECT_TRUE(back.out.contains(QStringLiteral("7 records of the earlier text removed")))
        << back.out.toStdString();
    EXPECT_EQ(records().value(QStringLiteral("MP07740000010000")),
              QStringLiteral("第七百七十二条の場合において、夫は、子が嫡出であることを否認する"
                             "ことができる。"));
    EXPECT_FALSE(records().contains(QStringLiteral("MP07740000010100")));
    const testsupport::ProcessResult forth = lexctl({QStringLiteral("import"), newer});
    ASSERT_EQ(forth.exitCode, 0) << forth.err.toStdString();
    EXPECT_EQ(records(), whole);  // not one record of the older text left beside the newer

    // The version kept before the last import still has the older records.
    const QList<store::LawVersion> versions = store::listVersions(QStringLiteral("民法"));
    ASSERT_EQ(versions.size(), 2);
    {
        store::Database kept = store::openVersion(QStringLiteral("民法"), versions.last().id);
        store::Recordset rs = kept.openRecordset(
            QStringLiteral("select count(*) as n from 条文 where 条項コード like 'MP0774*'"));
        EXPECT_EQ(rs.field(QStringLiteral("n")).toInt(), 2);  // heading and one paragraph
    }
    // The comparison names both articles as changed, 第774条 with its five paragraphs.
    const testsupport::ProcessResult diff = lexctl({QStringLiteral("diff"), QStringLiteral("MP")});
    ASSERT_EQ(diff.exitCode, 0) << diff.err.toStdString();
    const QStringList lines = diff.out.split(u'\n', Qt::SkipEmptyParts);
    QStringList marks, under774;
    bool in774 = false;
    for (const QString& line : lines) {
        if (line.size() > 1 && QStringLiteral("+-~x>").contains(line[0]) && line[1] == u'\t') {
            marks << line;
            in774 = line == QStringLiteral("~\tMP774");
        } else if (in774 && line.startsWith(u'\t')) {
            under774 << line.section(u'\t', 1, 1);
        }
    }
    EXPECT_EQ(marks, QStringList({QStringLiteral("~\tMP774"), QStringLiteral("~\tMP775")}));
    EXPECT_EQ(under774, QStringList({QStringLiteral("MP774:1"), QStringLiteral("MP774:2"),
                                     QStringLiteral("MP774:3"), QStringLiteral("MP774:4"),
                                     QStringLiteral("MP774:5")}));
    EXPECT_EQ(diff.err.trimmed(), QStringLiteral("2 条改正、0 条新設、0 条削除"));
}

// Small laws imported in-process, their texts replaced by a second import.
class KeptVersionTest : public testsupport::TempRootTest {
  protected:
    static QString text(const QString& code, const QString& name, const QString& body) {
        return QStringLiteral("法典コード=%1\r\n法典名称=%2\r\n\r\n（目的）\r\n第１条\r\n%3")
            .arg(code, name, body);
    }
    static maint::ImportResult importLaw(const QString& body, const QString& code = kCode,
                                         const QString& name = kName) {
        maint::LawTextImporter importer;
        maint::ImportOptions quiet;
        quiet.quiet = true;
        return importer.run(text(code, name, body), quiet);
    }
    static QByteArray lawBytes() { return testsupport::readFile(store::lawDbPath(kName)); }
    static inline const QString kCode = QStringLiteral("TS");
    static inline const QString kName = QStringLiteral("試験法");
};

TEST_F(KeptVersionTest, AVersionThatCannotBeKeptRefusesTheImportAndChangesNothing) {
    importLaw(QStringLiteral("旧い本文。"));
    const QByteArray before = lawBytes();
    const QString folder = store::versionsFolder(kName);
    const QString versions = QFileInfo(folder).absolutePath();
    struct Obstacle {
        const char* what;
        std::function<void()> place;
        bool rootPassesIt;
    };
    const Obstacle obstacles[] = {
        {"a file as the law's folder",
         [&] {
             QDir().mkpath(versions);
             testsupport::writeFile(folder, "x");
         },
         false},
        {"a file as DB/versions", [&] { testsupport::writeFile(versions, "x"); }, false},
        {"a read-only folder",
         [&] {
             QDir().mkpath(folder);
             QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
         },
         true},
    };
    for (const Obstacle& o : obstacles) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(versions);
        QDir(versions).removeRecursively();
        if (o.rootPassesIt && ::geteuid() == 0) continue;  // permissions do not stop root
        o.place();
        try {
            importLaw(QStringLiteral("新しい本文。"));
            ADD_FAILURE() << o.what << ": not refused";
        } catch (const store::Error& e) {
            EXPECT_TRUE(e.description().contains(QStringLiteral("版として残せない")))
                << o.what << ": " << e.description().toStdString();
        }
        EXPECT_EQ(lawBytes(), before) << o.what;
        EXPECT_TRUE(store::listVersions(kName).isEmpty()) << o.what;
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // lexctl says so and exits non-zero.
    QFile::remove(versions);
    QDir(versions).removeRecursively();
    QDir().mkpath(versions);
    testsupport::writeFile(folder, "x");
    const QString file = path(QStringLiteral("ts.txt"));
    testsupport::writeFile(file, testsupport::cp932(text(kCode, kName, QStringLiteral("新。"))));
    const testsupport::ProcessResult r = lexctl({QStringLiteral("import"), file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("版として残せない"))) << r.err.toStdString();
    EXPECT_EQ(lawBytes(), before);
}

TEST_F(KeptVersionTest, ARemovalWhoseIdIsAPathIsRefusedAndDeletesNothing) {
    importLaw(QStringLiteral("旧い本文。"));
    const QString id = importLaw(QStringLiteral("新しい本文。")).keptVersion;
    ASSERT_FALSE(id.isEmpty());
    // Files each id would reach if it were taken as a path; only the refusal keeps them.
    const QString folder = store::versionsFolder(kName);
    QDir().mkpath(folder + QStringLiteral("/sub"));
    const QStringList decoys{folder + QStringLiteral("/...mdb"),  // ".." + ".mdb"
                             folder + QStringLiteral("/sub/") + id + QStringLiteral(".mdb"),
                             folder + QStringLiteral("/sub\\") + id + QStringLiteral(".mdb")};
    for (const QString& d : decoys) testsupport::writeFile(d, "x");
    const QStringList ids{QStringLiteral(".."), QStringLiteral("sub/") + id,
                          QStringLiteral("sub\\") + id, QStringLiteral("../../") + kName,
                          QStringLiteral("../") + kName + u'/' + id};
    for (const QString& bad : ids) {
        const testsupport::ProcessResult r =
            lexctl({QStringLiteral("versions"), kCode, QStringLiteral("--remove"), bad});
        EXPECT_NE(r.exitCode, 0) << bad.toStdString();
        EXPECT_TRUE(r.err.contains(bad)) << r.err.toStdString();
    }
    for (const QString& d : decoys) EXPECT_TRUE(QFileInfo::exists(d)) << d.toStdString();
    EXPECT_TRUE(QFileInfo::exists(store::lawDbPath(kName)));
    ASSERT_EQ(store::listVersions(kName).size(), 1);
    EXPECT_EQ(lexctl({QStringLiteral("versions"), kCode, QStringLiteral("--remove"), id}).exitCode,
              0);
    EXPECT_TRUE(store::listVersions(kName).isEmpty());
}

TEST_F(KeptVersionTest, AReimportThatKeepsNoVersionLeavesNoFolder) {
    const QString folder = store::versionsFolder(kName);
    const QString versions = QFileInfo(folder).absolutePath();
    importLaw(QStringLiteral("本文。"));
    EXPECT_TRUE(importLaw(QStringLiteral("本文。")).keptVersion.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_FALSE(QFileInfo::exists(versions));
    // Beside another law's versions: DB/versions stays, this law's folder does not.
    const QString other = QStringLiteral("別法");
    importLaw(QStringLiteral("旧。"), QStringLiteral("BT"), other);
    importLaw(QStringLiteral("新。"), QStringLiteral("BT"), other);
    EXPECT_TRUE(importLaw(QStringLiteral("本文。")).keptVersion.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(store::listVersions(other).size(), 1);
}

TEST(LawDiffTest, MovesTwinsAndDeletedArticlesAreNamedApart) {
    const QStringList a{QStringLiteral("甲の条。")}, b{QStringLiteral("乙の条。")},
        fresh{QStringLiteral("新しい条。")}, deleted{QStringLiteral("削除")};
    const QList<LawText::Article> kept{article("6", "前", {QStringLiteral("前の条。")})};
    const struct {
        const char* what;
        QList<LawText::Article> older, newer;
        QStringList lines;
        QString summary;
    } cases[] = {
        {"a new article at the old number",
         kept + QList{article("7", "甲", a)},
         kept + QList{article("7", "新", fresh), article("8", "甲", a)},
         {QStringLiteral("+\tZZ7"), QStringLiteral(">\tZZ7\tZZ8")},
         QStringLiteral("0 条改正、1 条新設、0 条削除、1 条移動")},
        {"a run pushed down by a new article",
         kept + QList{article("7", "甲", a), article("8", "乙", b)},
         kept + QList{article("7", "新", fresh), article("8", "甲", a), article("9", "乙", b)},
         {QStringLiteral("+\tZZ7"), QStringLiteral(">\tZZ7\tZZ8"), QStringLiteral(">\tZZ8\tZZ9")},
         QStringLiteral("0 条改正、1 条新設、0 条削除、2 条移動")},
        {"a move onto a number whose article went",
         kept + QList{article("7", "甲", a), article("8", "乙", b)},
         kept + QList{article("8", "甲", a)},
         {QStringLiteral(">\tZZ7\tZZ8"), QStringLiteral("-\tZZ8")},
         QStringLiteral("0 条改正、0 条新設、1 条削除、1 条移動")},
        {"one article, two new ones of its text",
         kept + QList{article("7", "甲", a)},
         kept + QList{article("7-2", "甲", a), article("7-3", "甲", a)},
         {QStringLiteral(">\tZZ7\tZZ7-2"), QStringLiteral("+\tZZ7-3")},
         QStringLiteral("0 条改正、1 条新設、0 条削除、1 条移動")},
        {"a deleted article losing its caption",
         kept + QList{article("7", "甲", deleted)},
         kept + QList{article("7", "", deleted)},
         {QStringLiteral("~\tZZ7"), QStringLiteral("\t見出し\t【-甲-】")},
         QStringLiteral("1 条改正、0 条新設、0 条削除")},
    };
    for (const auto& c : cases) {
        LawText older, newer;
        older.articles = c.older;
        newer.articles = c.newer;
        const maint::LawDiff diff = maint::diffLaws(older, newer);
        EXPECT_EQ(maint::diffLines(diff), c.lines) << c.what;
        EXPECT_EQ(diff.summary(), c.summary) << c.what;
    }
}

TEST(LawDiffTest, PartsAreAddedRemovedAndChangedLineByLine) {
    auto part = [](const char* kind, const char* label, const char* text) {
        store::LawPart p;
        p.kind = QString::fromUtf8(kind);
        p.label = QString::fromUtf8(label);
        p.text = QString::fromUtf8(text);
        return p;
    };
    LawText older, newer;
    older.parts = {part("附則", "附則", "附　則\r\nこの法律は、公布の日から施行する。"),
                   part("附則", "附則（平成元年法律第一号）", "附　則\r\n経過措置。"),
                   part("別表", "別表第一", "別表第一\r\n区分\t税率"),
                   part("別表", "別表第一", "別表第一\r\n二つ目")};
    newer.parts = {part("附則", "附則", "附　則\r\nこの法律は、公布の日から施行する。"),
                   part("附則", "附則（平成元年法律第一号）", "附　則\r\n新しい経過措置。"),
                   part("別表", "別表第一", "別表第一\r\n区分\t税率"),
                   part("附則", "附則（令和五年法律第一号）", "附　則\r\n施行する。")};
    const maint::LawDiff diff = maint::diffLaws(older, newer);
    EXPECT_EQ(maint::diffLines(diff),
              QStringList({QStringLiteral("~\t附則（平成元年法律第一号）"),
                           QStringLiteral("\t附則（平成元年法律第一号）:2\t【+新しい+】経過措置。"),
                           QStringLiteral("+\t附則（令和五年法律第一号）"),
                           QStringLiteral("-\t別表第一")}));
    EXPECT_EQ(diff.summary(), QStringLiteral("0 条改正、0 条新設、0 条削除、附則・別表など 3 件"));
    EXPECT_TRUE(maint::diffLaws(older, older).parts.isEmpty());
}

}  // namespace

namespace {

// The amendment table's runs: whole words (tokens of one script), short gaps joined.
TEST(WordRunsTest, WholeWordsAndShortGapsJoined) {
    const struct {
        const char *older, *newer, *marked;
    } cases[] = {
        {"損害賠償の請求", "損害補償の請求", "【-損害賠償-】【+損害補償+】の請求"},
        {"当事者の約束による。", "当事者の契約による。", "当事者の【-約束-】【+契約+】による。"},
        {"金百円とする", "金二百円とする", "【-金百円-】【+金二百円+】とする"},
        {"100円", "200円", "【-100-】【+200+】円"},
        {"第一項、第二項", "第三項、第四項", "【-第一項、第二項-】【+第三項、第四項+】"},
        {"甲の、乙", "丙の、丁", "【-甲の、乙-】【+丙の、丁+】"},  // a gap of two: joined
        {"甲のみ、乙", "丙のみ、丁", "【-甲-】【+丙+】のみ、【-乙-】【+丁+】"},  // three: not
        {"甲をもって乙", "甲をもって乙及び丙", "甲をもって【-乙-】【+乙及び丙+】"},
        {"同じ文。", "同じ文。", "同じ文。"},
        {"", "新設", "【+新設+】"},
        {"削る", "", "【-削る-】"},
        {"ＡＢＣ社", "ＡＢＤ社", "【-ＡＢＣ-】【+ＡＢＤ+】社"},
    };
    for (const auto& c : cases) {
        const QList<maint::TextRun> runs =
            maint::wordRuns(QString::fromUtf8(c.older), QString::fromUtf8(c.newer));
        EXPECT_EQ(maint::markedText(runs), QString::fromUtf8(c.marked))
            << c.older << " → " << c.newer;
        // Each side's text is whole: the runs rebuild both texts.
        QString older, newer;
        for (const maint::TextRun& r : runs) {
            if (r.kind != maint::TextRun::Added) older += r.text;
            if (r.kind != maint::TextRun::Removed) newer += r.text;
        }
        EXPECT_EQ(older, QString::fromUtf8(c.older));
        EXPECT_EQ(newer, QString::fromUtf8(c.newer));
    }
}

}  // namespace

namespace {

// Punctuation, width and blanks alone: shown, labelled, never counted as an amendment.
TEST(LawDiffTest, AChangeOfNotationAloneIsLabelledAndNotCounted) {
    const struct {
        const char *a, *b;
        bool same;
    } pairs[] = {{"甲、乙", "甲，乙", true},
                 {"第１項", "第1項", true},
                 {"甲　乙", "甲乙", true},
                 {"ＡＢ．", "AB。", true},
                 {"甲、乙", "甲、丙", false},
                 {"第一項", "第1項", false},
                 {"", "", true},
                 {"甲", "", false}};
    for (const auto& p : pairs)
        EXPECT_EQ(maint::sameButNotation(QString::fromUtf8(p.a), QString::fromUtf8(p.b)), p.same)
            << p.a << " / " << p.b;
    LawText older, newer;
    older.articles = {
        article("1", "目的", {QStringLiteral("この法律は、契約について定める。")}),
        article("2", "定義", {QStringLiteral("甲、乙及び丙")}),
        article("3", "効力", {QStringLiteral("第１項による。"), QStringLiteral("前項の場合。")})};
    newer.articles = {
        article("1", "目的", {QStringLiteral("この法律は、売買について定める。")}),
        article("2", "定義", {QStringLiteral("甲，乙及び丙")}),
        article("3", "効力",
                {QStringLiteral("第1項による。"), QStringLiteral("前項の例による。")})};
    const maint::LawDiff diff = maint::diffLaws(older, newer);
    ASSERT_EQ(diff.articles.size(), 3);
    EXPECT_FALSE(diff.articles[0].notationOnly);
    EXPECT_TRUE(diff.articles[1].notationOnly);
    EXPECT_FALSE(diff.articles[2].notationOnly);  // one paragraph amended: an amendment
    EXPECT_EQ(diff.summary(), QStringLiteral("2 条改正、0 条新設、0 条削除、表記のみ 1 条"));
    EXPECT_TRUE(maint::diffLines(diff).contains(QStringLiteral("~\tZZ2\t表記のみ")));
}

}  // namespace

namespace {

// A version is named by its source, its import time a detail; with no source, by the time.
TEST(VersionNameTest, BySourceWithTheImportTimeAsADetail) {
    const struct {
        const char *date, *amendedBy, *name;
    } cases[] = {{"2027-04-01", "令和八年法律第一号",
                  "2027-04-01 施行・令和八年法律第一号（取込 20261209-074639）"},
                 {"2027-04-01", "", "2027-04-01 施行（取込 20261209-074639）"},
                 {"", "令和八年法律第一号", "令和八年法律第一号（取込 20261209-074639）"},
                 {"", "", "20261209-074639"}};
    for (const auto& c : cases) {
        store::LawVersion v;
        v.id = QStringLiteral("20261209-074639");
        v.info.sourceDate = QString::fromUtf8(c.date);
        v.info.amendedBy = QString::fromUtf8(c.amendedBy);
        EXPECT_EQ(store::versionName(v), QString::fromUtf8(c.name));
    }
}

// The date a version is read as of: each era's first day (元年) and the day before it, and
// what is no date.
TEST(VersionNameTest, TheDateAsTheStatutesWriteIt) {
    const struct {
        const char *iso, *era;
    } cases[] = {{"2025-04-01", "令和七年四月一日"},
                 {"2019-05-01", "令和元年五月一日"},
                 {"2019-04-30", "平成三十一年四月三十日"},
                 {"1989-01-08", "平成元年一月八日"},
                 {"1989-01-07", "昭和六十四年一月七日"},
                 {"1926-12-25", "昭和元年十二月二十五日"},
                 {"1926-12-24", "大正十五年十二月二十四日"},
                 {"1912-07-30", "大正元年七月三十日"},
                 {"1896-04-27", "明治二十九年四月二十七日"},
                 {"1868-10-23", "明治元年十月二十三日"},
                 {"1868-10-22", ""},
                 {"2025-4-1", ""},
                 {"2025-02-30", ""},
                 {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(store::eraDate(QString::fromUtf8(c.iso)), QString::fromUtf8(c.era)) << c.iso;
    store::LawVersion v;
    v.id = QStringLiteral("20261209-074639");
    EXPECT_EQ(store::asOfText(v), QStringLiteral("取込 20261209-074639 時点"));
    v.info.sourceDate = QStringLiteral("2027-04-01");
    EXPECT_EQ(store::asOfText(v), QStringLiteral("令和九年四月一日時点"));
}

}  // namespace

namespace {

// The parts and the table of contents in the same table: a 附則 added whole against （新設）,
// one removed whole against （削る）, a changed one by its changed lines; a heading renamed,
// its range after it, and one added.
TEST(AmendmentTableTest, PartsAndTheTableOfContentsHaveTheirRows) {
    auto part = [](const char* label, const char* text) {
        store::LawPart p;
        p.kind = QStringLiteral("附則");
        p.label = QString::fromUtf8(label);
        p.text = QString::fromUtf8(text);
        return p;
    };
    LawText older, newer;
    older.parts = {
        part("附則", "附　則\r\nこの法律は、公布の日から施行する。"),
        part("附則（令和元年法律第一号）", "附　則\r\n第一条　旧い経過措置。\r\n第二条　残る。")};
    newer.parts = {
        part("附則", "附　則\r\nこの法律は、公布の日から施行する。"),
        part("附則（令和元年法律第一号）", "附　則\r\n第一条　新しい経過措置。\r\n第二条　残る。"),
        part("附則（令和二年法律第二号）", "附　則\r\nこの法律は、令和三年から施行する。")};
    older.parts << part("附則（平成元年法律第九号）", "附　則\r\n廃止される。");
    older.toc.insert(
        QStringLiteral("ZZ01000000000000"),
        {QStringLiteral("総則"), QStringLiteral("00010000"), QStringLiteral("00020000"), {}, {}});
    newer.toc.insert(
        QStringLiteral("ZZ01000000000000"),
        {QStringLiteral("通則"), QStringLiteral("00010000"), QStringLiteral("00030000"), {}, {}});
    newer.toc.insert(QStringLiteral("ZZ02000000000000"),
                     {QStringLiteral("雑則"), QStringLiteral("00040000"), {}, {}, {}});
    const maint::LawDiff diff = maint::diffLaws(older, newer);
    const QList<maint::TableRow> rows = maint::amendmentRows(older, newer, diff);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].partOrder, 2);
    EXPECT_EQ(rows[1].partOrder, 3);
    EXPECT_EQ(rows[2].partOrder, 0);  // removed: no node in the newer text
    EXPECT_EQ(maint::tableLines(rows),
              QStringList({QStringLiteral("附則（令和元年法律第一号）"),
                           QStringLiteral("改正後"),
                           QStringLiteral("附則（令和元年法律第一号）"),
                           QStringLiteral("2行　第一条　【+新しい+】経過措置。"),
                           QStringLiteral("改正前"),
                           QStringLiteral("附則（令和元年法律第一号）"),
                           QStringLiteral("2行　第一条　【-旧い-】経過措置。"),
                           QString(),
                           QStringLiteral("附則（令和二年法律第二号）"),
                           QStringLiteral("改正後"),
                           QStringLiteral("附則（令和二年法律第二号）"),
                           QStringLiteral("【+附　則+】"),
                           QStringLiteral("【+この法律は、令和三年から施行する。+】"),
                           QStringLiteral("改正前"),
                           QStringLiteral("（新設）"),
                           QString(),
                           QStringLiteral("附則（平成元年法律第九号）"),
                           QStringLiteral("改正後"),
                           QStringLiteral("（削る）"),
                           QStringLiteral("改正前"),
                           QStringLiteral("附則（平成元年法律第九号）"),
                           QStringLiteral("【-附　則-】"),
                           QStringLiteral("【-廃止される。-】"),
                           QString(),
                           QStringLiteral("目次"),
                           QStringLiteral("改正後"),
                           QStringLiteral("目次"),
                           QStringLiteral("第1編　【+通則+】（第1条～第【+3+】条）"),
                           QStringLiteral("改正前"),
                           QStringLiteral("目次"),
                           QStringLiteral("第1編　【-総則-】（第1条～第【-2-】条）"),
                           QString(),
                           QStringLiteral("目次"),
                           QStringLiteral("改正後"),
                           QStringLiteral("目次"),
                           QStringLiteral("【+第2編　雑則（第4条）+】"),
                           QStringLiteral("改正前"),
                           QStringLiteral("（新設）"),
                           QString()}));
}

// The amendment table as text: a row per changed article with every paragraph on each side,
// items on their lines, （新設）/（削る） where a side has none (the article on the other side
// wholly underlined, as the tables do), a change of notation alone noted.
TEST(AmendmentTableTest, EachKindOfRowAsLawyersReadIt) {
    LawText older, newer;
    older.articles = {article("1", "目的", {QStringLiteral("この法律は、約束について定める。")}),
                      article("2", "定義",
                              {QStringLiteral("甲は、次に掲げる者とする。\r\n一　乙\r\n二　丙"),
                               QStringLiteral("前項の規定は、適用しない。")}),
                      article("3", "廃止", {QStringLiteral("この条はなくなる。")}),
                      article("5", "表記", {QStringLiteral("甲、乙")}),
                      article("7", "移る条", {QStringLiteral("この条は移る。")})};
    newer.articles = {article("1", "目的", {QStringLiteral("この法律は、契約について定める。")}),
                      article("2", "定義",
                              {QStringLiteral("甲は、次に掲げる者とする。\r\n一　乙\r\n二　丁"),
                               QStringLiteral("前項の規定は、適用しない。")}),
                      article("4", "新設", {QStringLiteral("新しい条。")}),
                      article("5", "表記", {QStringLiteral("甲，乙")}),
                      article("7-2", "移る条", {QStringLiteral("この条は移る。")})};
    const maint::LawDiff diff = maint::diffLaws(older, newer);
    const QList<maint::TableRow> rows = maint::articleRows(older, newer, diff);
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(rows[1].code, QStringLiteral("ZZ00020000010100"));  // its changed paragraph
    EXPECT_EQ(maint::tableLines(rows),
              QStringList({QStringLiteral("第1条"),
                           QStringLiteral("改正後"),
                           QStringLiteral("第1条（目的）"),
                           QStringLiteral("この法律は、【+契約+】について定める。"),
                           QStringLiteral("改正前"),
                           QStringLiteral("第1条（目的）"),
                           QStringLiteral("この法律は、【-約束-】について定める。"),
                           QString(),
                           QStringLiteral("第2条"),
                           QStringLiteral("改正後"),
                           QStringLiteral("第2条（定義）"),
                           QStringLiteral("① 甲は、次に掲げる者とする。"),
                           QStringLiteral("一　乙"),
                           QStringLiteral("二　【+丁+】"),
                           QStringLiteral("② 前項の規定は、適用しない。"),
                           QStringLiteral("改正前"),
                           QStringLiteral("第2条（定義）"),
                           QStringLiteral("① 甲は、次に掲げる者とする。"),
                           QStringLiteral("一　乙"),
                           QStringLiteral("二　【-丙-】"),
                           QStringLiteral("② 前項の規定は、適用しない。"),
                           QString(),
                           QStringLiteral("第3条"),
                           QStringLiteral("改正後"),
                           QStringLiteral("（削る）"),
                           QStringLiteral("改正前"),
                           QStringLiteral("第3条（【-廃止-】）"),
                           QStringLiteral("【-この条はなくなる。-】"),
                           QString(),
                           QStringLiteral("第4条"),
                           QStringLiteral("改正後"),
                           QStringLiteral("第4条（【+新設+】）"),
                           QStringLiteral("【+新しい条。+】"),
                           QStringLiteral("改正前"),
                           QStringLiteral("（新設）"),
                           QString(),
                           QStringLiteral("第5条"),
                           QStringLiteral("改正後"),
                           QStringLiteral("第5条（表記）（表記のみ）"),
                           QStringLiteral("甲【+，+】乙"),
                           QStringLiteral("改正前"),
                           QStringLiteral("第5条（表記）"),
                           QStringLiteral("甲【-、-】乙"),
                           QString(),
                           QStringLiteral("第7条の2"),
                           QStringLiteral("改正後"),
                           QStringLiteral("第7条の2（移る条）（第7条から移動）"),
                           QStringLiteral("この条は移る。"),
                           QStringLiteral("改正前"),
                           QStringLiteral("第7条（移る条）"),
                           QStringLiteral("この条は移る。"),
                           QString()}));
}

}  // namespace

// The first start: law list from ht.dat, missing databases, tables of contents from idx.dat.
#include "exchange/firststart.h"
#include "exchange/htfile.h"
#include "exchange/idximport.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

using namespace exchange;
using testsupport::cp932;
using testsupport::writeFile;

namespace {

class FirstStartTest : public testsupport::TempRootTest {
  protected:
    int tocRows(const QString& law) {
        store::Database db = store::openLawDb(law);
        return db.openRecordset(QStringLiteral("select * from 目次 order by コード")).recordCount();
    }
    QStringList tocCodes(const QString& law) {
        store::Database db = store::openLawDb(law);
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 目次 order by コード"));
        QStringList out;
        for (; !rs.eof(); rs.moveNext())
            out << rs.text(QStringLiteral("コード")) + u'|' + rs.text(QStringLiteral("見出し"));
        return out;
    }
    void writeHt(const QString& text) {
        writeFile(programDir() + QStringLiteral("/ht.dat"), cp932(text));
    }
    void writeIdx(const QString& text) {
        writeFile(programDir() + QStringLiteral("/idx.dat"), cp932(text));
    }
};

TEST_F(FirstStartTest, SampleDataGivesSevenLawsAndTheirTablesOfContents) {
    copySampleExchangeFiles();
    platform::ScriptedPrompt prompt;
    const FirstStartResult r = runFirstStart(nullptr);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
    EXPECT_EQ(r.ht.added, 7);
    EXPECT_EQ(r.created.size(), 7);
    const QList<store::LawEntry> laws = store::readLawList();
    QStringList names;
    for (const auto& l : laws) names << l.name;
    EXPECT_EQ(names, QStringList({QStringLiteral("日本国憲法"), QStringLiteral("民法"),
                                  QStringLiteral("刑法"), QStringLiteral("会社法"),
                                  QStringLiteral("民事訴訟法"), QStringLiteral("刑事訴訟法"),
                                  QStringLiteral("行政手続法")}));
    const QList<int> expected{11, 191, 57, 296, 60, 53, 11};
    for (int i = 0; i < laws.size(); ++i)
        EXPECT_EQ(tocRows(laws[i].name), expected[i]) << laws[i].code.toStdString();
    // Chosen rows, stored as read.
    store::Database db = store::openLawDb(QStringLiteral("日本国憲法"));
    store::Recordset rs = db.openRecordset(QStringLiteral("select * from 目次 order by コード"));
    EXPECT_EQ(rs.text(QStringLiteral("コード")), QStringLiteral("KP00010000000000"));
    EXPECT_EQ(rs.text(QStringLiteral("見出し")), QStringLiteral("天皇"));
    EXPECT_EQ(rs.text(QStringLiteral("SOJ")), QStringLiteral("00010000"));
    EXPECT_EQ(rs.text(QStringLiteral("EOJ2")), QStringLiteral("00080000"));

    // Importing again replaces rather than adds.
    ImportIdxFile(programIdxFile());
    EXPECT_EQ(tocRows(QStringLiteral("民法")), 191);
}

TEST_F(FirstStartTest, SettingsDecideWhenTheInitialisationRuns) {
    platform::Settings s;
    // Fresh: PATH saved as the program's own folder, root = program folder, init needed.
    EXPECT_TRUE(readViewerSettings(s, programDir()));
    EXPECT_EQ(s.get(QStringLiteral("Path")), programDir());
    EXPECT_EQ(store::folders().db, programDir() + QStringLiteral("/DB"));
    EXPECT_EQ(store::folders().out, programDir() + QStringLiteral("/OUT"));
    EXPECT_FALSE(store::folders().admin);
    QDir().mkpath(store::folders().db);
    s.save(QStringLiteral("INIT"), QStringLiteral("TRUE"));
    EXPECT_FALSE(readViewerSettings(s, QStringLiteral("/elsewhere")));  // second start
    EXPECT_EQ(store::folders().program, programDir());                  // PATH kept

    // The DB folder removed between starts: the initialisation runs again.
    QDir(store::folders().db).removeRecursively();
    EXPECT_TRUE(readViewerSettings(s, programDir()));
    EXPECT_EQ(s.get(QStringLiteral("INIT")), QString());

    // ROOT elsewhere moves the data folders, not the program folder; key case does not matter.
    const QString other = path(QStringLiteral("other"));
    s.save(QStringLiteral("root"), other);
    s.save(QStringLiteral("admin"), QStringLiteral("True"));
    readViewerSettings(s, programDir());
    EXPECT_EQ(store::folders().program, programDir());
    EXPECT_EQ(store::folders().db, other + QStringLiteral("/DB"));
    EXPECT_EQ(store::folders().html, other + QStringLiteral("/HTML"));
    EXPECT_TRUE(store::folders().admin);
}

TEST_F(FirstStartTest, LawListFileSkipsAndReportsBadLines) {
    writeHt(
        QStringLiteral("1 KP 日本国憲法\r\n"
                       "x MP 民法\r\n"
                       "3 CP\r\n"
                       "1 KS 会社法\r\n"
                       "5 MS ../民事訴訟法\r\n"
                       "6 9S 刑事訴訟法\r\n"
                       "7 GT 行政,手続法\r\n"
                       "8 KT 刑事 特別法"));
    platform::ScriptedPrompt prompt;
    const HtLoadResult r = LoadHtFile();
    EXPECT_EQ(r.added, 3);  // 1 KP, 7 GT 行政 (cut at the comma), 8 KT 刑事 (first word)
    ASSERT_EQ(prompt.messages.size(), 1);
    const QString m = prompt.messages[0];
    for (const char* line : {"2行目", "3行目", "4行目", "5行目", "6行目", "7行目: 項目"})
        EXPECT_TRUE(m.contains(QString::fromUtf8(line))) << line << "\n" << m.toStdString();
    EXPECT_FALSE(m.contains(QStringLiteral("1行目")));
    QStringList names;
    for (const auto& l : store::readLawList()) names << l.name;
    EXPECT_EQ(names, QStringList({QStringLiteral("日本国憲法"), QStringLiteral("行政"),
                                  QStringLiteral("刑事")}));
    EXPECT_FALSE(QFileInfo::exists(store::folders().root + QStringLiteral("/民事訴訟法.mdb")));

    // No ht.dat: nothing happens, and no master database is made by the load itself.
    QDir(store::folders().db).removeRecursively();
    QFile::remove(programDir() + QStringLiteral("/ht.dat"));
    EXPECT_FALSE(LoadHtFile().fileFound);
    EXPECT_FALSE(QFileInfo::exists(store::masterDbPath()));

    // A non-CP932 line is reported, the rest imported.
    writeFile(programDir() + QStringLiteral("/ht.dat"),
              cp932(QStringLiteral("1 KP 日本国憲法\r\n")) + QByteArray("2 MP \x81\x20\r\n3 CP ") +
                  cp932(QStringLiteral("刑法")));
    prompt.messages.clear();
    store::ensureMasterDb();
    EXPECT_EQ(LoadHtFile().added, 2);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].contains(QStringLiteral("2行目")));
}

TEST_F(FirstStartTest, OneBadLineStopsNeitherTheOtherLawsNorTheIndex) {
    // A code again in another case, a name no file can have: both skipped and named in the one
    // message; the other laws get their databases and tables of contents.
    writeHt(QStringLiteral("1 KP 日本国憲法\r\n2 kp 憲法\r\n3 SF ") + QString(200, u'長') +
            QStringLiteral("\r\n4 MP 民法\r\n5 XY 民法"));
    writeIdx(
        QStringLiteral("CODES KP MP\r\nKP00010000000000&&00010000&&00080000&&00010000&&"
                       "00080000&&天皇\r\nMP01000000000000&&00010000&&01740000&&00010000&&"
                       "01740000&&総則"));
    // A database already there is kept as it is, not made again.
    store::MakeHCodeDB();
    store::MakeHoutenDB(store::folders().db, QStringLiteral("民法.mdb"));
    store::openLawDb(QStringLiteral("民法"))
        .execute(QStringLiteral("insert into 条文 values ('MP00010000010000', '残る')"));
    platform::ScriptedPrompt prompt;
    const FirstStartResult r = runFirstStart(nullptr);
    EXPECT_EQ(r.ht.added, 2);
    ASSERT_EQ(r.ht.skipped.size(), 3);
    EXPECT_TRUE(r.ht.skipped[0].startsWith(QStringLiteral("2行目: 法典コード kp はすでに登録")));
    EXPECT_TRUE(r.ht.skipped[1].startsWith(QStringLiteral("3行目: 法典名称が長すぎます")));
    EXPECT_TRUE(r.ht.skipped[2].startsWith(
        QStringLiteral("5行目: 法典名称 民法 はすでに法典コード MP で登録されています")));
    EXPECT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(r.created, QStringList{QStringLiteral("日本国憲法")});
    EXPECT_EQ(r.idx.added, 2);
    EXPECT_EQ(tocRows(QStringLiteral("民法")), 1);
    EXPECT_EQ(store::openLawDb(QStringLiteral("民法"))
                  .openRecordset(QStringLiteral("select * from 条文"))
                  .recordCount(),
              1);
}

TEST_F(FirstStartTest, IndexImportReplacesNamedLawsOnly) {
    writeHt(QStringLiteral("1 KP 日本国憲法\r\n2 MP 民法\r\n3 CP 刑法"));
    platform::ScriptedPrompt prompt;
    prepareFirstStart();
    {
        store::Database db = store::openLawDb(QStringLiteral("刑法"));
        db.execute(
            QStringLiteral("insert into 目次 values ('CP01000000000000', '旧', '', '', '', '')"));
        db.execute(
            QStringLiteral("insert into 目次 values ('CP02000000000000', '残る', '', '', '', '')"));
        store::Database kp = store::openLawDb(QStringLiteral("日本国憲法"));
        kp.execute(QStringLiteral(
            "insert into 目次 values ('KP09000000000000', '消える', '', '', '', '')"));
    }
    // Line 1 names KP and MP (after a doubled blank); only MP has rows; a CP row adds to what
    // CP has; bad lines (five fields, one short of six) skipped.
    writeIdx(
        QStringLiteral("CODES  KP MP ZZ\r\n"
                       "MP01000000000000&&00010000&&00320000&&00010000&&00320000&&総則\r\n"
                       "MP01010000000000&&000100&&00020000&&00010000&&00020000&&通則\r\n"
                       "CP01000000000000&&00010000&&00720000&&00010000&&00720000&&総則\r\n"
                       "MP02000000000000&&00010000&&1&&2&&3\r\n"
                       "ZZ01000000000000&&1&&2&&3&&4&&x\r\n"
                       "MP01000000000000&&1&&2&&3&&4&&重複\r\n"
                       "MP03000000000000&&1&&2&&3&&4&&A&&B\r\n"));
    const IdxImportResult r = ImportIdxFile(programIdxFile());
    EXPECT_EQ(r.codes, QStringList({QStringLiteral("KP"), QStringLiteral("MP")}));
    EXPECT_EQ(tocRows(QStringLiteral("日本国憲法")), 0);
    EXPECT_EQ(tocCodes(QStringLiteral("民法")),
              QStringList({QStringLiteral("MP01000000000000|総則"),
                           QStringLiteral("MP01010000000000|通則"),
                           QStringLiteral("MP03000000000000|A&&B")}));
    EXPECT_EQ(tocCodes(QStringLiteral("刑法")),
              QStringList(
                  {QStringLiteral("CP01000000000000|旧"), QStringLiteral("CP02000000000000|残る")}))
        << "a duplicate code in a law not named in line 1 is skipped";
    ASSERT_EQ(prompt.messages.size(), 1);
    for (const char* line : {"1行目", "4行目", "5行目", "6行目", "7行目"})
        EXPECT_TRUE(prompt.messages[0].contains(QString::fromUtf8(line))) << line;
    {
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 目次 where コード='MP01010000000000'"));
        EXPECT_EQ(rs.text(QStringLiteral("SOJ")), QStringLiteral("000100"));  // stored as read
    }

    // A file of line 1 only empties the named laws and adds nothing.
    writeIdx(QStringLiteral("CODES MP\r\n"));
    prompt.messages.clear();
    ImportIdxFile(programIdxFile());
    EXPECT_EQ(tocRows(QStringLiteral("民法")), 0);
    EXPECT_TRUE(prompt.messages.isEmpty());

    // Not an index file at all: refused before anything is deleted.
    writeIdx(QStringLiteral("CP01000000000000&&1&&2&&3&&4&&x\r\n"));
    ImportIdxFile(programIdxFile());
    EXPECT_EQ(tocRows(QStringLiteral("刑法")), 2);
    EXPECT_FALSE(ImportIdxFile(programDir() + QStringLiteral("/none.dat")).fileFound);
}

TEST_F(FirstStartTest, MissingLawDatabaseIsReportedNotCreatedByTheImport) {
    writeHt(QStringLiteral("1 KP 日本国憲法\r\n2 MP 民法"));
    platform::ScriptedPrompt prompt;
    prepareFirstStart();
    QFile::remove(store::lawDbPath(QStringLiteral("民法")));
    writeIdx(QStringLiteral(
        "CODES KP MP\r\nKP01000000000000&&1&&2&&3&&4&&天皇\r\nMP01000000000000&&1&&2&&3&&4&&総則"));
    const IdxImportResult r = ImportIdxFile(programIdxFile());
    EXPECT_EQ(r.added, 1);
    EXPECT_FALSE(QFileInfo::exists(store::lawDbPath(QStringLiteral("民法"))));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].contains(QStringLiteral("民法 のデータベースがありません")));
}

TEST_F(FirstStartTest, LexctlInitAndLawsOnANewFolder) {
    copySampleExchangeFiles();
    const QString root = path(QStringLiteral("data root"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("cli-config")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(LEXORA_LEXCTL), {QStringLiteral("init"), QStringLiteral("--root"), root,
                                            QStringLiteral("--program-dir"), programDir()});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString initOut = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(initOut.contains(QStringLiteral("7 laws added"))) << initOut.toStdString();
    EXPECT_TRUE(initOut.contains(QStringLiteral("679 rows added"))) << initOut.toStdString();

    p.start(QStringLiteral(LEXORA_LEXCTL),
            {QStringLiteral("laws"), QStringLiteral("--root"), root});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              QStringLiteral("1 KP 日本国憲法\n2 MP 民法\n3 CP 刑法\n4 KS 会社法\n5 MS "
                             "民事訴訟法\n6 CS 刑事訴訟法\n7 GT 行政手続法\n"));
    EXPECT_TRUE(p.readAllStandardError().isEmpty());  // the log is silent by default

    // --verbose logs the database opened and the SQL run, on standard error only.
    p.start(QStringLiteral(LEXORA_LEXCTL),
            {QStringLiteral("laws"), QStringLiteral("--verbose"), QStringLiteral("--root"), root});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().startsWith("1 KP "));
    const QString log = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(
        log.contains(QStringLiteral("open: ") + root + QStringLiteral("/DB/法典コード.mdb")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("sql: select * from 法典コード order by 番号")))
        << log.toStdString();

    p.start(QStringLiteral(LEXORA_LEXCTL), {QStringLiteral("frobnicate")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_FALSE(p.readAllStandardError().isEmpty());
}

TEST_F(FirstStartTest, InstalledProgramKeepsItsDataInTheUsersDataFolder) {
    // bin/ beside share/lexora with the bundled files, as an installation lays them out.
    const QString bin = path(QStringLiteral("usr/bin"));
    const QString share = path(QStringLiteral("usr/share/lexora"));
    QDir().mkpath(bin);
    QDir().mkpath(share + QStringLiteral("/laws"));
    for (const char* name : {"ht.dat", "idx.dat", "GT.txt"})
        QFile::copy(
            testsupport::sampleDir() + u'/' + QString::fromLatin1(name),
            share +
                (qstrcmp(name, "GT.txt") == 0 ? QStringLiteral("/laws/") : QStringLiteral("/")) +
                QString::fromLatin1(name));
    qputenv("XDG_DATA_HOME", path(QStringLiteral("xdg")).toUtf8());
    platform::Settings settings;
    EXPECT_TRUE(readViewerSettings(settings, bin));
    const QString root = path(QStringLiteral("xdg/Lexora"));
    EXPECT_EQ(settings.get(QStringLiteral("ROOT")), root);
    EXPECT_EQ(store::folders().root, root);
    EXPECT_EQ(store::folders().share, QDir::cleanPath(share));
    EXPECT_EQ(store::folders().program, bin);
    const FirstStartResult r = runFirstStart(nullptr);
    EXPECT_EQ(r.ht.added, 7);
    EXPECT_EQ(r.idx.codes.size(), 7);
    EXPECT_TRUE(QFileInfo::exists(root + QStringLiteral("/DB/行政手続法.mdb")));
    EXPECT_EQ(bundledLawTexts(),
              QStringList{QDir::cleanPath(share) + QStringLiteral("/laws/GT.txt")});

    // A saved ROOT stays; a program folder holding ht.dat (a build tree) keeps its data there.
    readViewerSettings(settings, bin);
    EXPECT_EQ(store::folders().root, root);
    platform::Settings fresh;
    fresh.save(QStringLiteral("ROOT"), QString());
    fresh.save(QStringLiteral("PATH"), QString());
    copySampleExchangeFiles();
    readViewerSettings(fresh, programDir());
    EXPECT_EQ(fresh.get(QStringLiteral("ROOT")), QString());
    EXPECT_EQ(store::folders().root, programDir());
    EXPECT_EQ(store::folders().share, programDir());
    EXPECT_TRUE(bundledLawTexts().isEmpty());
    qunsetenv("XDG_DATA_HOME");
}

TEST_F(FirstStartTest, DataRootThatCannotBeWrittenNamesTheFolderAndTheRemedy) {
    // A data root below a plain file can never become a folder (even for root).
    writeFile(path(QStringLiteral("file")), "x");
    store::setFolders(programDir(), path(QStringLiteral("file/data")));
    try {
        prepareFirstStart();
        FAIL() << "a data root below a file was accepted";
    } catch (const platform::Error& e) {
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("データフォルダ ") +
                                               path(QStringLiteral("file/data")) + u'/'));
        EXPECT_TRUE(e.description().contains(QStringLiteral("設定 ROOT")));
    }
}

}  // namespace

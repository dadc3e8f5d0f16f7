// The exports: idx.dat, ht.dat, the per-law text files and the number listing.
#include "exchange/export.h"
#include "exchange/firststart.h"
#include "platform/prompt.h"
#include "platform/textfile.h"
#include "store/codes.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/samplelaws.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace exchange;
using testsupport::addLaw;
using testsupport::addRecord;
using testsupport::addToc;
using testsupport::cp932;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

class ExportTest : public testsupport::TempRootTest {
  protected:
    void SetUp() override {
        TempRootTest::SetUp();
        store::MakeHCodeDB();
    }
    QString program(const QString& name) const { return programDir() + u'/' + name; }
    QString out(const QString& name) const { return store::folders().out + u'/' + name; }
    // The message of an export that must refuse; "<written>" when it wrote.
    template <class F>
    static QString refusal(F&& exportFile) {
        try {
            exportFile();
        } catch (const ExportError& e) {
            return e.description();
        }
        return QStringLiteral("<written>");
    }
    // The file's text; the bytes must be CP932.
    static QString textOf(const QString& path) {
        QString t;
        EXPECT_TRUE(platform::decodeCp932(readFile(path), &t)) << path.toStdString();
        return t;
    }
};

TEST(ExportDigestTest, DigestShortensFromTenCharactersAndWideningTakesSixOnly) {
    const QString mark = QStringLiteral("① ");
    EXPECT_EQ(GetKouDigest(QStringLiteral("一二三四五六七八九"), mark),
              QStringLiteral("① 　一二三四五六七八九"));
    EXPECT_EQ(GetKouDigest(QStringLiteral("一二三四五六七八九十"), mark),
              QStringLiteral("① 　一二三四五・・・六七八九十"));
    EXPECT_EQ(GetKouDigest(QStringLiteral("  一二三四五六七八九十壱 "), mark),
              QStringLiteral("① 　一二三四五・・・七八九十壱"));
    // Several lines: the mark goes, empty lines go, each line trimmed and shortened alone.
    EXPECT_EQ(GetKouDigest(QStringLiteral(" 本文です \r\n\r\n一　号の文がここまで長い\r\n"), mark),
              QStringLiteral("　本文です\r\n　一　号の文・・・こまで長い"));
    // Line 0 empty: the first kept line gets a line break before it.
    EXPECT_EQ(GetKouDigest(QStringLiteral("\r\n二"), mark), QStringLiteral("\r\n　二"));

    EXPECT_EQ(WidenJouCode(QStringLiteral("010000")), QStringLiteral("00010000"));
    EXPECT_EQ(WidenJouCode(QStringLiteral("10000")), QStringLiteral("10000"));
    EXPECT_EQ(WidenJouCode(QStringLiteral("0010000")), QStringLiteral("0010000"));
    EXPECT_EQ(WidenJouCode(QStringLiteral("00010000")), QStringLiteral("00010000"));
    EXPECT_EQ(WidenJouCode(QString()), QString());

    EXPECT_EQ(houtenTextMode(QStringLiteral("make each")), 1);
    EXPECT_EQ(houtenTextMode(QStringLiteral("make each/m0")), 0);
    EXPECT_EQ(houtenTextMode(QStringLiteral("make all/x")), 0);
}

TEST_F(ExportTest, HtFileLinesWithoutTrailingBreakReplacingALongerFile) {
    platform::ScriptedPrompt prompt;
    WriteHtFile();
    EXPECT_EQ(readFile(program(QStringLiteral("ht.dat"))), QByteArray());  // empty list, 0 bytes

    writeFile(program(QStringLiteral("ht.dat")), QByteArray(4000, 'x'));
    addLaw(10, QStringLiteral("KP"), QStringLiteral("日本国憲法"));
    addLaw(2, QStringLiteral("MP"), QStringLiteral("民法"));
    const ExportResult r = WriteHtFile();
    EXPECT_EQ(r.written, QStringList{program(QStringLiteral("ht.dat"))});
    EXPECT_EQ(textOf(program(QStringLiteral("ht.dat"))),
              (QStringLiteral("2 MP 民法\r\n10 KP 日本国憲法")));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ExportTest, HtFileRefusesNamesTheImportWouldMisreadAndKeepsTheOldFile) {
    writeFile(program(QStringLiteral("ht.dat")), "old");
    addLaw(1, QStringLiteral("KP"), QStringLiteral("日本国憲法"));
    addLaw(2, QStringLiteral("AB"), QStringLiteral("ある 法律"));
    addLaw(3, QStringLiteral("CD"), QStringLiteral("法律,規則"));
    const QString message = refusal([] { WriteHtFile(); });
    EXPECT_TRUE(message.contains(QStringLiteral("番号 2 AB ある 法律"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("番号 3 CD 法律,規則")));
    EXPECT_FALSE(message.contains(QStringLiteral("KP")));
    EXPECT_EQ(readFile(program(QStringLiteral("ht.dat"))), QByteArray("old"));
}

TEST_F(ExportTest, IdxFileNamesEveryLawAndHoldsOnlyTheRowsThereAre) {
    platform::ScriptedPrompt prompt;
    addLaw(1, QStringLiteral("AA"), QStringLiteral("甲法"));
    addLaw(2, QStringLiteral("BB"), QStringLiteral("乙法"));
    addLaw(3, QStringLiteral("CC"), QStringLiteral("丙法"));
    WriteIdxFile();
    // No 目次 line at all: line 1 and its line break.
    EXPECT_EQ(readFile(program(QStringLiteral("idx.dat"))), QByteArray("CODES AA BB CC\r\n"));

    addToc(QStringLiteral("乙法"), {QStringLiteral("BB00020000000000"), QStringLiteral("030000"),
                                    QStringLiteral("00040000"), QString(),
                                    QStringLiteral("0040000"), QStringLiteral("第二章")});
    addToc(QStringLiteral("乙法"),
           {QStringLiteral("BB00010000000000"), QStringLiteral("010000"), QStringLiteral("020000"),
            QStringLiteral("010000"), QStringLiteral("020000"), QStringLiteral("総則")});
    writeFile(program(QStringLiteral("idx.dat")), QByteArray(5000, 'x'));
    WriteIdxFile();
    EXPECT_EQ(textOf(program(QStringLiteral("idx.dat"))),
              (QStringLiteral("CODES AA BB CC\r\n"
                              "BB00010000000000&&00010000&&00020000&&00010000&&00020000&&総則\r\n"
                              "BB00020000000000&&00030000&&00040000&&&&0040000&&第二章")));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ExportTest, IdxFileSkipsALawWithoutDatabaseAndRefusesRowsTheImportWouldSplit) {
    platform::ScriptedPrompt prompt;
    addLaw(1, QStringLiteral("AA"), QStringLiteral("甲法"));
    addLaw(2, QStringLiteral("BB"), QStringLiteral("乙法"), false);
    addLaw(3, QStringLiteral("CC"), QStringLiteral("丙法"));
    addToc(QStringLiteral("丙法"), {QStringLiteral("CC00010000000000"), QStringLiteral("00010000"),
                                    QStringLiteral("00010000"), QStringLiteral("00010000"),
                                    QStringLiteral("00010000"), QStringLiteral("通則")});
    const ExportResult r = WriteIdxFile();
    EXPECT_EQ(textOf(program(QStringLiteral("idx.dat"))),
              (QStringLiteral("CODES AA CC\r\nCC00010000000000&&00010000&&00010000&&"
                              "00010000&&00010000&&通則")));
    ASSERT_EQ(r.skipped.size(), 1);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].contains(QStringLiteral("BB 乙法")));
    EXPECT_TRUE(prompt.messages[0].contains(QStringLiteral("乙法.mdb")));

    addToc(QStringLiteral("甲法"), {QStringLiteral("AA00010000000000"), QString(), QString(),
                                    QString(), QString(), QStringLiteral("甲&&乙")});
    addToc(QStringLiteral("丙法"), {QStringLiteral("CC00020000000000"), QString(), QString(),
                                    QString(), QString(), QStringLiteral("改\r\n行")});
    const QString message = refusal([] { WriteIdxFile(); });
    EXPECT_TRUE(message.contains(QStringLiteral("AA 甲法 AA00010000000000: 甲&&乙")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("CC 丙法 CC00020000000000")));
    EXPECT_TRUE(message.contains(QStringLiteral("BB 乙法")));  // and the one skipped
    EXPECT_TRUE(
        readFile(program(QStringLiteral("idx.dat"))).endsWith(cp932(QStringLiteral("通則"))));
}

TEST_F(ExportTest, LawTextBlocksCaptionsMarksAndTrimmedEnds) {
    platform::ScriptedPrompt prompt;
    const QString law = QStringLiteral("甲法");
    addLaw(1, QStringLiteral("AA"), law);
    // A law without records: the two header lines, no break after the second.
    EXPECT_EQ(MakeHoutenText(QStringLiteral("AA"), QStringLiteral("make each")).written,
              QStringList{out(QStringLiteral("AA.txt"))});
    EXPECT_EQ(textOf(out(QStringLiteral("AA.txt"))), (QStringLiteral("CODE=AA\r\nNAME=甲法")));

    addRecord(law, QStringLiteral("AA00010000000001"), QStringLiteral("通則"));
    addRecord(law, QStringLiteral("AA00010000010100"), QStringLiteral("第一項の文。  \r\n \r\n"));
    addRecord(law, QStringLiteral("AA00010000020200"), QStringLiteral("第二項\r\n一　号"));
    // No caption record: the first paragraph's text stands in the brackets too.
    addRecord(law, QStringLiteral("AA00020200010000"), QStringLiteral("ただ一つの項。\r\n"));
    addRecord(law, QStringLiteral("AA00030000000001"), QStringLiteral("削除"));
    writeFile(out(QStringLiteral("AA.txt")), QByteArray(9000, 'x'));
    MakeHoutenText(QStringLiteral("AA"), QStringLiteral("make each"));
    EXPECT_EQ(textOf(out(QStringLiteral("AA.txt"))),
              (QStringLiteral("CODE=AA\r\nNAME=甲法\r\n\r\n【通則】\r\n第1条\r\n① 第一項の文。"
                              "\r\n② 第二項\r\n一　号\r\n\r\n【ただ一つの項。\r\n】\r\n第2条の2"
                              "\r\nただ一つの項。\r\n\r\n【削除】\r\n第3条")));
    MakeHoutenText(QStringLiteral("AA"), QStringLiteral("make each/m0"));
    EXPECT_EQ(textOf(out(QStringLiteral("AA.txt"))),
              (QStringLiteral("CODE=AA\r\nNAME=甲法\r\n\r\n【　】\r\n第1条\r\n① 第一項の文。"
                              "\r\n② 第二項\r\n一　号\r\n\r\n【　】\r\n第2条の2"
                              "\r\nただ一つの項。\r\n\r\n【　】\r\n第3条")));
    EXPECT_TRUE(prompt.messages.isEmpty());

    // A law that is not listed is said, not written.
    EXPECT_THROW(MakeHoutenText(QStringLiteral("ZZ"), QStringLiteral("make each")), ExportError);
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("ZZ.txt"))));
}

TEST_F(ExportTest, MakeAllWritesEveryLawAndNamesTheOnesWithoutDatabase) {
    platform::ScriptedPrompt prompt;
    addLaw(1, QStringLiteral("AA"), QStringLiteral("甲法"));
    addLaw(2, QStringLiteral("BB"), QStringLiteral("乙法"), false);
    addLaw(3, QStringLiteral("CC"), QStringLiteral("丙法"));
    addRecord(QStringLiteral("丙法"), QStringLiteral("CC00010000000001"), QStringLiteral("目的"));
    QDir(store::folders().out).removeRecursively();
    // The events a run lets in may move the caller to another law: the file is the law's
    // the run was given.
    QString law = QStringLiteral("CC");
    MakeHoutenText(law, QStringLiteral("make each"), [&] { law = QStringLiteral("AA"); });
    EXPECT_EQ(textOf(out(QStringLiteral("CC.txt"))),
              QStringLiteral("CODE=CC\r\nNAME=丙法\r\n\r\n【目的】\r\n第1条"));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("AA.txt"))));
    int pumped = 0;
    const ExportResult r =
        MakeHoutenText(QStringLiteral("AA"), QStringLiteral("make all/m0"), [&] { ++pumped; });
    EXPECT_EQ(r.written,
              QStringList({out(QStringLiteral("AA.txt")), out(QStringLiteral("CC.txt"))}));
    EXPECT_EQ(textOf(out(QStringLiteral("CC.txt"))),
              (QStringLiteral("CODE=CC\r\nNAME=丙法\r\n\r\n【　】\r\n第1条")));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("BB.txt"))));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].contains(QStringLiteral("BB 乙法")));
    EXPECT_GE(pumped, 4);  // after the record and after each of the three laws
}

TEST_F(ExportTest, NumberListTitlesAndDigests) {
    const QString law = QStringLiteral("甲法");
    addLaw(1, QStringLiteral("AA"), law);
    addRecord(law, QStringLiteral("AA00010000000001"), QStringLiteral("通則"));
    addRecord(law, QStringLiteral("AA00010000010100"), QStringLiteral("この法律は目的を定める。"));
    addRecord(law, QStringLiteral("AA00010000020200"), QStringLiteral("短い項"));
    addRecord(law, QStringLiteral("AA00020000000001"), QStringLiteral("定義"));
    addRecord(law, QStringLiteral("AA00020000010000"), QStringLiteral("本文\r\n一　号"));
    EXPECT_EQ(MakeNumberList(QStringLiteral("AA")),
              QStringLiteral("甲法\r\n\r\n第1条\r\n① 　この法律は・・・を定める。\r\n② 　短い項"
                             "\r\n第2条\r\n　本文\r\n　一　号"));
    EXPECT_THROW(MakeNumberList(QStringLiteral("ZZ")), ExportError);
}

class ExportSampleTest : public testsupport::SampleLawsTest {};

TEST_F(ExportSampleTest, ExchangeFilesOfTheSevenLawsAreTheFilesTheyCameFrom) {
    platform::ScriptedPrompt prompt;
    const QString ht = programDir() + QStringLiteral("/ht.dat");
    const QString idx = programDir() + QStringLiteral("/idx.dat");
    QFile::remove(ht);
    QFile::remove(idx);
    WriteHtFile();
    WriteIdxFile();
    EXPECT_EQ(readFile(ht), readFile(testsupport::sampleDir() + QStringLiteral("/ht.dat")));
    EXPECT_EQ(readFile(idx), readFile(testsupport::sampleDir() + QStringLiteral("/idx.dat")));

    // A fresh installation reads them back: the same list and the same 目次 rows.
    const QList<store::LawEntry> laws = store::readLawList();
    auto tocOf = [](const QString& name) {
        store::Database db = store::openLawDb(name);
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 目次 order by コード"));
        QStringList rows;
        for (; !rs.eof(); rs.moveNext()) {
            QStringList f;
            for (const QString& c : rs.columns()) f << rs.text(c);
            rows << f.join(u'|');
        }
        return rows;
    };
    QList<QStringList> tocs;
    for (const store::LawEntry& l : laws) tocs << tocOf(l.name);
    store::setFolders(programDir(), rootDir() + QStringLiteral("/fresh"));
    const FirstStartResult r = runFirstStart(nullptr);
    EXPECT_EQ(r.idx.skipped, QStringList());
    const QList<store::LawEntry> again = store::readLawList();
    ASSERT_EQ(again.size(), laws.size());
    for (int i = 0; i < laws.size(); ++i) {
        EXPECT_EQ(again[i].number, laws[i].number);
        EXPECT_EQ(again[i].code, laws[i].code);
        EXPECT_EQ(again[i].name, laws[i].name);
        EXPECT_EQ(tocOf(again[i].name), tocs[i]) << laws[i].code.toStdString();
    }
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

// The block of article `title` (full-width number line) in an import file, as the export
// writes it: caption in brackets, title, each paragraph with its mark.
QString importBlockAsExport(const QString& file, const QString& title, const QString& exportTitle) {
    const QStringList lines = platform::readLines(file);
    const qsizetype at = lines.indexOf(title);
    EXPECT_GT(at, 1);
    QString caption = lines[at - 1].mid(1, lines[at - 1].size() - 2);
    if (caption.isEmpty()) caption = QStringLiteral(" ");  // an empty heading is kept as a blank
    QString block = QStringLiteral("\r\n\r\n【") + caption + QStringLiteral("】\r\n") + exportTitle;
    for (qsizetype i = at + 1; i < lines.size() && !lines[i].isEmpty(); ++i) {
        QString l = lines[i];
        if (l.startsWith(u'(')) {
            const int n = l.mid(1, l.indexOf(u')') - 1).toInt();
            l = QString(QChar(0x2460 + n - 1)) + u' ' + l.mid(l.indexOf(u')') + 1);
            block += kCrLf + l;
        } else {
            block += kCrLf + l;
        }
    }
    return block;
}

TEST_F(ExportSampleTest, LawTextsAgreeWithTheDatabaseRecordByRecord) {
    platform::ScriptedPrompt prompt;
    for (const QString& code : {QStringLiteral("KP"), QStringLiteral("MP")}) {
        const QString path = MakeHoutenText(code, QStringLiteral("make each")).written.value(0);
        const QByteArray bytes = readFile(path);
        QString text;
        ASSERT_TRUE(platform::decodeCp932(bytes, &text));
        const QString name = store::GetHoutenName(code);
        QString expectedHead = QStringLiteral("CODE=") + code + QStringLiteral("\r\nNAME=") + name;
        ASSERT_TRUE(text.startsWith(expectedHead));
        qsizetype pos = expectedHead.size();
        // Walk the records and find each one where the file has it.
        store::Database db = store::openLawDb(name);
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
        QString article;
        int articles = 0;
        for (; !rs.eof(); rs.moveNext()) {
            const QString c = rs.text(QStringLiteral("条項コード"));
            QString t = rs.text(QStringLiteral("条文"));
            QString piece;
            if (c.left(10) != article) {
                article = c.left(10);
                ++articles;
                piece = QStringLiteral("\r\n\r\n【") + t + QStringLiteral("】\r\n") +
                        store::GetJouKouText(article);
            }
            if (store::paragraphOrdinal(c) > 0) {
                while (t.endsWith(kCrLf) || t.endsWith(u' ')) t.chop(t.endsWith(u' ') ? 1 : 2);
                piece += kCrLf + store::GetJouKouText(c) + t;
            }
            ASSERT_EQ(text.mid(pos, piece.size()), piece) << c.toStdString();
            pos += piece.size();
        }
        EXPECT_EQ(pos, text.size());
        EXPECT_EQ(articles, code == QStringLiteral("KP") ? 103 : 1224);
    }
    // Byte for byte in CP932: a multi-paragraph article and one whose paragraph has 号 lines.
    const QByteArray kp = readFile(store::folders().out + QStringLiteral("/KP.txt"));
    const QString kpSource = testsupport::sampleDir() + QStringLiteral("/KP.txt");
    for (const auto& [title, shown] :
         {std::pair{QStringLiteral("第４条"), QStringLiteral("第4条")},
          std::pair{QStringLiteral("第７条"), QStringLiteral("第7条")}}) {
        const QByteArray block = cp932(importBlockAsExport(kpSource, title, shown));
        EXPECT_TRUE(kp.contains(block + "\r\n\r\n")) << title.toStdString();
    }
    EXPECT_TRUE(
        kp.contains(cp932(QStringLiteral("\r\n十　儀式を行ふこと。\r\n\r\n【 】\r\n第8条"))));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ExportSampleTest, LexctlWritesTheBytesOfTheTypedCommands) {
    platform::ScriptedPrompt prompt;
    const QString idx = programDir() + QStringLiteral("/idx.dat");
    const QString ht = programDir() + QStringLiteral("/ht.dat");
    QFile::remove(idx);
    QFile::remove(ht);
    EXPECT_EQ(lexctl({QStringLiteral("make-idx")}).exitCode, 0);
    EXPECT_EQ(lexctl({QStringLiteral("make-ht")}).exitCode, 0);
    EXPECT_EQ(readFile(idx), readFile(testsupport::sampleDir() + QStringLiteral("/idx.dat")));
    EXPECT_EQ(readFile(ht), readFile(testsupport::sampleDir() + QStringLiteral("/ht.dat")));

    const QString kp = store::folders().out + QStringLiteral("/KP.txt");
    const testsupport::ProcessResult each =
        lexctl({QStringLiteral("make-each"), QStringLiteral("KP"), QStringLiteral("--m0")});
    EXPECT_EQ(each.out, QStringLiteral("written: ") + kp + u'\n');
    const QByteArray fromLexctl = readFile(kp);
    MakeHoutenText(QStringLiteral("KP"), QStringLiteral("make each/m0"));
    EXPECT_EQ(fromLexctl, readFile(kp));
    EXPECT_EQ(lexctl({QStringLiteral("make-all")}).out.count(QStringLiteral("written: ")), 7);

    const testsupport::ProcessResult number =
        lexctl({QStringLiteral("make-number"), QStringLiteral("GT")});
    EXPECT_EQ(number.exitCode, 0);
    QString listing = MakeNumberList(QStringLiteral("GT"));
    listing.replace(kCrLf, QStringLiteral("\n"));
    EXPECT_EQ(number.out, listing + u'\n');

    const testsupport::ProcessResult unknown =
        lexctl({QStringLiteral("make-each"), QStringLiteral("ZZ")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("ZZ"))) << unknown.err.toStdString();
    EXPECT_TRUE(prompt.messages.isEmpty());
}

}  // namespace

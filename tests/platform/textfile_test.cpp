#include "platform/textfile.h"
#include "tests/support/testsupport.h"

#include <QFile>

using namespace platform;
using testsupport::readFile;
using testsupport::writeFile;

namespace {
class TextFileTest : public testsupport::TempRootTest {};

// The description of the TextFileError that `f` throws, or "(no error)".
template <class F>
QString textFileError(F f) {
    try {
        f();
    } catch (const TextFileError& e) {
        return e.description();
    }
    return QStringLiteral("(no error)");
}
}  // namespace

TEST_F(TextFileTest, WriteBlockWritesExactCp932BytesAndReadsThemBack) {
    const QString p = path(QStringLiteral("out.txt"));
    // Characters whose CP932 codes differ between Shift_JIS tables.
    writeBlock(p, QStringLiteral("①～－￢∥\r\nA"));
    EXPECT_EQ(readFile(p), QByteArray("\x87\x40\x81\x60\x81\x7C\x81\xCA\x81\x61\r\nA"));
    EXPECT_EQ(readLines(p), QStringList({QStringLiteral("①～－￢∥"), QStringLiteral("A")}));

    // Replacing a longer file leaves none of its old bytes behind.
    writeFile(p, QByteArray(200, 'x'));
    writeBlock(p, QStringLiteral("ab"));
    EXPECT_EQ(readFile(p), QByteArray("ab"));
}

TEST_F(TextFileTest, UnencodableCharacterFailsAndKeepsOldFile) {
    const QString p = path(QStringLiteral("keep.txt"));
    writeFile(p, QByteArray("old contents"));
    for (const QString& text : {QStringLiteral("一\r\n二塡"), QStringLiteral("一\r\n😀")}) {
        EXPECT_TRUE(textFileError([&] { writeBlock(p, text); }).contains(p));
        EXPECT_EQ(readFile(p), QByteArray("old contents"));
    }
    const QString fresh = path(QStringLiteral("fresh.txt"));
    EXPECT_THROW(writeBlock(fresh, QStringLiteral("塡")), TextFileError);
    EXPECT_FALSE(QFile::exists(fresh));
}

TEST_F(TextFileTest, UnencodableCharacterErrorNamesLine) {
    // The message says where the character is, so that the text can be mended.
    const QString p = path(QStringLiteral("keep.txt"));
    const QString err = textFileError([&] { writeBlock(p, QStringLiteral("一\r\n二塡")); });
    EXPECT_TRUE(err.contains(QStringLiteral("2行目"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("塡"))) << err.toStdString();
}

TEST_F(TextFileTest, LineBreaks) {
    const QString p = path(QStringLiteral("lines.txt"));
    writeFile(p, QByteArray("a\r\nb\nc\r\n"));
    EXPECT_EQ(readLines(p),
              QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    writeFile(p, QByteArray("a\n\n"));
    EXPECT_EQ(readLines(p), QStringList({QStringLiteral("a"), QString()}));
    writeFile(p, QByteArray("\r\n"));
    EXPECT_EQ(readLines(p), QStringList({QString()}));
    writeFile(p, QByteArray());
    EXPECT_TRUE(readLines(p).isEmpty());
    // A trail byte right before the break is still part of the character.
    writeFile(p, QByteArray("\x95\x5C\r\n\x83\x5C"));
    EXPECT_EQ(readLines(p), QStringList({QStringLiteral("表"), QStringLiteral("ソ")}));
}

TEST_F(TextFileTest, UndecodableLinesAreNamed) {
    const QString p = path(QStringLiteral("bad.txt"));
    // Line 3 is 日本 in CP932.
    writeFile(p, QByteArray("ok\r\nx\x81\x20y\r\n\x93\xFA\x96\x7B\r\n\xFF\r\nend"));
    const QString err = textFileError([&] { readLines(p); });
    EXPECT_TRUE(err.contains(p)) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("2行目"))) << err.toStdString();

    const TextLines t = readLinesLenient(p);
    EXPECT_EQ(t.badLines, QList<int>({2, 4}));
    ASSERT_EQ(t.lines.size(), 5);
    EXPECT_EQ(t.lines[0], QStringLiteral("ok"));
    EXPECT_EQ(t.lines[2], QStringLiteral("日本"));
    EXPECT_EQ(t.lines[4], QStringLiteral("end"));
}

TEST_F(TextFileTest, LeadByteCutOffAtLineEndIsUndecodable) {
    // An unfinished lead byte must not vanish silently.
    const QString p = path(QStringLiteral("cut.txt"));
    writeFile(p, QByteArray("a\x88\r\nb"));
    EXPECT_EQ(readLinesLenient(p).badLines, QList<int>({1}));
    EXPECT_THROW(readLines(p), TextFileError);
}

TEST_F(TextFileTest, MissingFileThrows) {
    const QString p = path(QStringLiteral("none.txt"));
    EXPECT_TRUE(textFileError([&] { readLines(p); }).contains(p));
    EXPECT_THROW(readLinesLenient(p), TextFileError);
}

TEST(InputRecordsTest, SplitsCommaDelimitedRecords) {
    const QList<InputRecord> r = inputRecords(
        {QStringLiteral("1 KP 日本,国憲法"), QStringLiteral("   \"a, b\"  ,  x  "), QString()});
    const QStringList texts = [&] {
        QStringList out;
        for (const InputRecord& rec : r) out.append(rec.text);
        return out;
    }();
    EXPECT_EQ(texts, QStringList({QStringLiteral("1 KP 日本"), QStringLiteral("国憲法"),
                                  QStringLiteral("a, b"), QStringLiteral("x"), QString()}));
    ASSERT_EQ(r.size(), 5);
    EXPECT_EQ(r[0].line, 1);
    EXPECT_EQ(r[1].line, 1);
    EXPECT_EQ(r[2].line, 2);
    EXPECT_EQ(r[3].line, 2);
    EXPECT_EQ(r[4].line, 3);
}

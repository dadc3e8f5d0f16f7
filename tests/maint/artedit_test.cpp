// The article editor's codes and list lines.
#include "maint/artedit.h"
#include "platform/prompt.h"
#include "tests/support/testsupport.h"

using namespace maint;

namespace {

TEST(LawsCodes, ShortNumberGivesCodeAndWords) {
    const auto code = [](const QString& typed) {
        const CodeEntry e = parseCodeEntry(typed);
        return makeRecordCode(e.law, e.number);
    };
    EXPECT_EQ(code(QStringLiteral("ab12")), QStringLiteral("AB00120000010000"));
    EXPECT_EQ(code(QStringLiteral("AB12-2-3:4")), QStringLiteral("AB00120203040400"));
    EXPECT_EQ(code(QStringLiteral("AB12-2:2")), QStringLiteral("AB00120200020200"));
    EXPECT_EQ(articleNumberText(parseCodeEntry(QStringLiteral("AB12-2-3:4")).number),
              QStringLiteral("第12条の2の3 ④"));
    EXPECT_EQ(articleNumberText({12, 1, 0, 0}),
              QStringLiteral("第12条の1"));  // only 0 is hidden here
    EXPECT_EQ(articleNumberText({5, 0, 0, 21}), QStringLiteral("第5条 (21)"));
    EXPECT_EQ(circledNumber(1), QStringLiteral("①"));
    EXPECT_EQ(circledNumber(20), QStringLiteral("⑳"));
    EXPECT_EQ(circledNumber(21), QStringLiteral("(21)"));
    EXPECT_EQ(circledNumber(0), QString());

    // The short entry rebuilt from a code reads back to the same code.
    for (const char* c :
         {"AB00120200020200", "AB00120000010000", "AB00120203040400", "AB00120000212100"}) {
        const QString stored = QString::fromLatin1(c);
        EXPECT_EQ(code(shortEntry(stored)), stored) << c;
    }
    EXPECT_EQ(shortEntry(QStringLiteral("AB00120200020200")), QStringLiteral("AB12-2:2"));

    // A part SplitJouNumber cannot read is reported and counts as 0.
    platform::ScriptedPrompt prompt;
    EXPECT_EQ(code(QStringLiteral("abx")), QStringLiteral("AB00000000010000"));
    EXPECT_EQ(prompt.messages.size(), 1);
}

TEST(LawsCodes, ListLinesMarkCaptionsAndNumberedParagraphs) {
    EXPECT_EQ(listLine(QStringLiteral("AB00120000010100"), QStringLiteral("本文")),
              QStringLiteral("①本文"));
    EXPECT_EQ(listLine(QStringLiteral("AB00120000212100"), QStringLiteral("本文")),
              QStringLiteral("(21)本文"));
    EXPECT_EQ(listLine(QStringLiteral("AB00120000010000"), QStringLiteral("本文")),
              QStringLiteral("本文"));
    // Only when ordinal and shown number agree.
    EXPECT_EQ(listLine(QStringLiteral("AB00120000020100"), QStringLiteral("本文")),
              QStringLiteral("本文"));
    EXPECT_EQ(listLine(QStringLiteral("AB00120000000001"), QStringLiteral("（目的）")),
              QStringLiteral("【（目的）】"));
    EXPECT_EQ(listLine(QStringLiteral("AB00120000000001"), QStringLiteral(" ")),
              QStringLiteral(" "));
    // A heading code is refused for writing; so is a code of the wrong length.
    EXPECT_FALSE(checkWritableCode(QStringLiteral("AB00120000000001")).isEmpty());
    EXPECT_FALSE(checkWritableCode(QStringLiteral("AB0012000001000")).isEmpty());
    EXPECT_TRUE(checkWritableCode(QStringLiteral("AB00120000010000")).isEmpty());
    EXPECT_FALSE(checkWritableCode(QStringLiteral("AB-0010000010000")).isEmpty());
    EXPECT_FALSE(checkWritableCode(QStringLiteral("AB0012000001000-")).isEmpty());  // the last
}

}  // namespace

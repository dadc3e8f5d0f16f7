// The prompt seam and program launch, without windows.
#include "platform/prompt.h"
#include "platform/launch.h"
#include "tests/support/testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

using namespace platform;

namespace {

TEST(PromptTest, ScriptedPromptRecordsAndAnswers) {
    {
        ScriptedPrompt sp;
        EXPECT_EQ(&prompt(), &sp);
        sp.answers = {Answer::No};
        sp.inputs = {QStringLiteral("第3条")};
        EXPECT_EQ(msgBox(QStringLiteral("削除しますか"), Buttons::YesNo), Answer::No);
        // Once the queue runs dry: Yes to questions, OK to notices.
        EXPECT_EQ(msgBox(QStringLiteral("続けますか"), Buttons::YesNoCancel), Answer::Yes);
        EXPECT_EQ(msgBox(QStringLiteral("終了")), Answer::Ok);
        EXPECT_EQ(inputBox(QStringLiteral("条番号"), QStringLiteral("1")), QStringLiteral("第3条"));
        EXPECT_EQ(inputBox(QStringLiteral("再入力")), QString());
        EXPECT_EQ(sp.messages, QStringList({QStringLiteral("削除しますか"),
                                            QStringLiteral("続けますか"), QStringLiteral("終了")}));
        EXPECT_EQ(sp.buttons, QList<Buttons>({Buttons::YesNo, Buttons::YesNoCancel, Buttons::Ok}));
        EXPECT_EQ(sp.inputPrompts,
                  QStringList({QStringLiteral("条番号"), QStringLiteral("再入力")}));
    }
    // Without a window program the default prompt is the console.
    EXPECT_NE(dynamic_cast<ConsolePrompt*>(&prompt()), nullptr);
}

class LaunchTest : public testsupport::TempRootTest {};

TEST_F(LaunchTest, EditVerbUsesTheUsersEditor) {
    // "edit" goes to $VISUAL/$EDITOR with the file as the last argument.
    const QString mark = path(QStringLiteral("edited"));
    const QString editor = path(QStringLiteral("editor.sh"));
    testsupport::writeFile(editor, "#!/bin/sh\necho \"$1\" > '" + mark.toUtf8() + "'\n");
    QFile::setPermissions(editor, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldVisual = qgetenv("VISUAL");
    qputenv("VISUAL", editor.toUtf8());
    const QString page = path(QStringLiteral("KP00010000010000.html"));
    EXPECT_TRUE(platform::shellEdit(page));
    for (int i = 0; i < 100 && !QFileInfo::exists(mark); ++i) QThread::msleep(50);
    EXPECT_EQ(testsupport::readFile(mark).trimmed(), page.toUtf8());
    qputenv("VISUAL", oldVisual);
}

}  // namespace

// 法令を追加 in Lexora against a local stand-in for the law API: typing lists the matches,
// the equal title is chosen with its code, 追加 imports it and the law is on the buttons.
#include "maint/ui/frmaddlaw.h"
#include "platform/prompt.h"
#include "platform/ui/textpane.h"
#include "tests/support/apiserver.h"
#include "tests/viewer/ui/viewerfixture.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTreeWidget>

namespace viewer {
namespace {

using testsupport::ApiServer;

class AddLawTest : public BrowserTest {};

TEST_F(AddLawTest, ALawTypedIsFoundAddedAndOpened) {
    testsupport::ApiLawFixture rules = ApiServer::kokkaBaisho();
    rules.lawId = QStringLiteral("100AC0000000001");
    rules.title = QStringLiteral("国家賠償法施行規則");
    ApiServer server({rules, ApiServer::kokkaBaisho()});
    platform::Settings().save(QStringLiteral("API"), server.base());

    w().Mn_File_AddLaw->trigger();
    auto* add = w().findChildWindow<maint::FrmAddLaw>();
    ASSERT_NE(add, nullptr);
    QSignalSpy answered(add, &maint::FrmAddLaw::answered);
    // Typed as an input method commits Japanese.
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("国家賠償法"));
    QCoreApplication::sendEvent(add->TxtTitle, &typed);
    ASSERT_TRUE(answered.wait(3000));
    EXPECT_EQ(server.requests().size(), 1);  // one search after the typing paused
    ASSERT_EQ(add->LstLaws->topLevelItemCount(), 2);
    EXPECT_EQ(add->LstLaws->currentItem()->text(0), QStringLiteral("国家賠償法"));
    EXPECT_EQ(add->LstLaws->currentItem()->text(2), QStringLiteral("322AC0000000125"));
    EXPECT_EQ(add->LblLaw->text(), QStringLiteral("国家賠償法　昭和二十二年法律第百二十五号"));
    EXPECT_EQ(add->TxtCode->text(), QStringLiteral("KO"));
    EXPECT_EQ(add->LblStatus->text(), QStringLiteral("2 件"));

    add->TxtCode->setText(QStringLiteral("kb"));  // edited, in lower case
    QTest::mouseClick(add->CmdAdd, Qt::LeftButton);
    ASSERT_TRUE(answered.wait(5000));
    EXPECT_EQ(add->LblStatus->text(), QStringLiteral("KB 国家賠償法 を追加しました（6 条）"));
    EXPECT_TRUE(state().HoutenNames.contains(QStringLiteral("国家賠償法")));
    EXPECT_EQ(state().CurHCode, QStringLiteral("KB"));
    lookup(QStringLiteral("KB2:2"));
    EXPECT_TRUE(w().browser->Rtxt1->toPlainText().contains(QStringLiteral("求償権")));

    // A failed answer is named and changes nothing.
    platform::ScriptedPrompt prompt;
    add->TxtTitle->setText(QStringLiteral("100AC0000000009"));
    add->searchNow();
    QTest::mouseClick(add->CmdAdd, Qt::LeftButton);
    ASSERT_TRUE(answered.wait(5000));
    EXPECT_EQ(prompt.messages,
              QStringList{QStringLiteral("法令APIがエラーを返しました（HTTP 404 404001: "
                                         "指定された法令が見つかりません。）")});
    EXPECT_EQ(add->LblStatus->text(), prompt.messages.first());
    EXPECT_TRUE(add->CmdAdd->isEnabled());
}

}  // namespace
}  // namespace viewer

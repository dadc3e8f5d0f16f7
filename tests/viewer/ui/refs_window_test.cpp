// References in the browser pane: links drawn on 民法 第415条, a click landing on the target
// paragraph, Alt+← coming back and Alt+→ going again, and a preview for the pointer.
#include "platform/prompt.h"
#include "platform/ui/keyedtree.h"
#include "platform/ui/textpane.h"
#include "tests/viewer/ui/viewerfixture.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/tools/ui/frmexpand.h"

namespace viewer {
namespace {

class RefsWindowTest : public BrowserTest {
  protected:
    static QString selectedKey(FrmTree* t) {
        const QTreeWidgetItem* n = t->TView1->selectedNode();
        return n ? platform::KeyedTree::keyOf(n) : QString();
    }
};

TEST_F(RefsWindowTest, ALinkInArticle415JumpsAndAltLeftComesBack) {
    lookup(QStringLiteral("MP415"));
    FrmTree* t = w().browser;
    ASSERT_NE(t, nullptr);
    const QString article = selectedKey(t);
    ASSERT_FALSE(article.isEmpty());
    // 第415条 shown whole: 前項 in its second paragraph is a link to its first.
    const QList<platform::TextPane::Link> links = t->Rtxt1->links();
    ASSERT_FALSE(links.isEmpty());
    const platform::TextPane::Link link = links.first();
    EXPECT_EQ(link.target, QStringLiteral("MP415:1"));
    EXPECT_EQ(t->Rtxt1->toPlainText().mid(link.start, link.length), QStringLiteral("前項"));

    // The pointer over it: the link under it is the one drawn.
    QTextCursor c(t->Rtxt1->document());
    c.setPosition(link.start + 1);
    t->Rtxt1->ensureCursorVisible();
    t->Rtxt1->setTextCursor(c);
    const QPoint at = t->Rtxt1->cursorRect(c).center() - QPoint(2, 0);
    EXPECT_EQ(t->Rtxt1->linkAt(at), 0);
    c.clearSelection();
    t->Rtxt1->setTextCursor(c);
    QTest::mouseClick(t->Rtxt1->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(selectedKey(t), QStringLiteral("MP04150000010100"));
    EXPECT_EQ(t->backCount(), 1);

    QTest::keyClick(t->TView1, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(selectedKey(t), article);
    QTest::keyClick(t->TView1, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(selectedKey(t), QStringLiteral("MP04150000010100"));

    // Into another law: 会社法 第51条 names 民法 第93条.
    EXPECT_TRUE(t->followReference(QStringLiteral("MP93:1")));
    EXPECT_TRUE(t->followReference(QStringLiteral("KS51:1")));
    EXPECT_EQ(w().browser->curHCodeT, QStringLiteral("KS"));
    EXPECT_FALSE(t->followReference(QStringLiteral("MP9999")));
}

TEST_F(RefsWindowTest, TheWholeLawTextLinksEveryReferenceIntoTheBrowser) {
    FrmExpand expand(QStringLiteral("MP"));
    expand.CmdMake_Click();
    const QList<platform::TextPane::Link> links = expand.Rtxt1->links();
    ASSERT_GT(links.size(), 1000);  // 民法 refers to itself on almost every page
    const QString text = expand.Rtxt1->toPlainText();
    int toArticle13 = -1;
    for (int i = 0; i < links.size(); ++i)
        if (links[i].target == QStringLiteral("MP13:1") && toArticle13 < 0) toArticle13 = i;
    ASSERT_GE(toArticle13, 0);
    // The first is 前各号 in its own item ten: the items of 第13条第1項.
    EXPECT_EQ(text.mid(links[toArticle13].start, links[toArticle13].length),
              QStringLiteral("前各号"));
    Q_EMIT expand.Rtxt1->linkClicked(links[toArticle13].target);
    ASSERT_NE(w().browser, nullptr);
    EXPECT_EQ(selectedKey(w().browser), QStringLiteral("MP00130000010100"));
}

TEST_F(RefsWindowTest, TheSearchResultLinksItsHitsReferences) {
    platform::ScriptedPrompt prompt;
    w().TxtJouFindT->setText(QStringLiteral("契約 解除"));
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    ASSERT_FALSE(w().found.isNull());
    const QList<platform::TextPane::Link> links = w().found->Rtxt1->links();
    ASSERT_FALSE(links.isEmpty());
    const QString text = w().found->Rtxt1->toPlainText();
    // The first hit is 民法 第415条第2項, whose 前項 is 第415条第1項.
    EXPECT_EQ(text.mid(links[0].start, links[0].length), QStringLiteral("前項"));
    EXPECT_EQ(links[0].target, QStringLiteral("MP415:1"));
    for (const platform::TextPane::Link& l : links)
        EXPECT_TRUE(QStringLiteral("第前次同本こ").contains(text[l.start]))
            << l.target.toStdString();
    Q_EMIT w().found->Rtxt1->linkClicked(links[0].target);
    ASSERT_NE(w().browser, nullptr);
    EXPECT_EQ(selectedKey(w().browser), QStringLiteral("MP04150000010100"));
}

}  // namespace
}  // namespace viewer

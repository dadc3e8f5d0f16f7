// References in the browser pane: links drawn on 民法 第415条, a click landing on the target
// paragraph, Alt+← coming back and Alt+→ going again, and a preview for the pointer.
#include "platform/prompt.h"
#include "platform/ui/keyedtree.h"
#include "platform/ui/textpane.h"
#include "tests/viewer/ui/viewerfixture.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/tools/ui/frmexpand.h"

#include <QSet>
#include <QTextCursor>

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

// Characters drawn as links (underlined) that are no reference, or references not drawn.
QStringList misdrawn(const platform::TextPane* pane) {
    QSet<int> linked;
    for (const platform::TextPane::Link& l : pane->links())
        for (int i = l.start; i < l.start + l.length; ++i) linked.insert(i);
    QStringList out;
    const QString text = pane->toPlainText();
    QTextCursor c(pane->document());
    for (int i = 0; i < text.size(); ++i) {
        c.setPosition(i + 1);  // the format of the character before the cursor
        if (c.charFormat().fontUnderline() != linked.contains(i))
            out << QStringLiteral("%1:%2").arg(i).arg(text[i]);
    }
    return out;
}

TEST_F(RefsWindowTest, AfterAClickOnALinkOnlyReferencesAreDrawnAsLinks) {
    for (const QString& from : {QStringLiteral("MP710"), QStringLiteral("MP774")}) {
        lookup(from);
        FrmTree* t = w().browser;
        ASSERT_NE(t, nullptr);
        const QList<platform::TextPane::Link> links = t->Rtxt1->links();
        ASSERT_FALSE(links.isEmpty()) << from.toStdString();
        QTextCursor c(t->Rtxt1->document());
        c.setPosition(links.first().start + 1);
        t->Rtxt1->setTextCursor(c);
        const QPoint at = t->Rtxt1->cursorRect(c).center() - QPoint(2, 0);
        const int back = t->backCount();
        QTest::mouseClick(t->Rtxt1->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(t->backCount(), back + 1) << from.toStdString();
        EXPECT_EQ(misdrawn(t->Rtxt1), QStringList()) << from.toStdString();
        // Every text shown afterwards: another article, a heading, the law's first article.
        for (const QString& next : {QStringLiteral("MP1"), QStringLiteral("MP709"),
                                    QStringLiteral("MP415"), QStringLiteral("MP3")}) {
            lookup(next);
            EXPECT_EQ(misdrawn(w().browser->Rtxt1), QStringList())
                << from.toStdString() << " then " << next.toStdString();
        }
        t->TView1->setCurrentItem(t->TView1->topLevelItem(0));
        EXPECT_EQ(misdrawn(t->Rtxt1), QStringList()) << "the law's root";
    }
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

// 試験法 (ZT), listed after the samples: its article 1 names a law not listed (旧法), an
// article it lacks (第九十九条), 前条 of its first article, 民法 第709条 and 次条第二項;
// article 2 has two paragraphs.
void addReferringLaw() {
    const QString law = QStringLiteral("試験法");
    testsupport::addLaw(90, QStringLiteral("ZT"), law);
    const std::pair<const char*, const char*> records[] = {
        {"ZT00010000000001", "目的"},
        {"ZT00010000010000",
         "試験語。旧法第三条による。第九十九条による。前条による。民法第七百九条による。"
         "次条第二項による。"},
        {"ZT00020000000001", "準用"},
        {"ZT00020000010100", "第一条による。"},
        {"ZT00020000020200", "前項による。"},
    };
    for (const auto& [code, text] : records)
        testsupport::addRecord(law, QString::fromLatin1(code), QString::fromUtf8(text));
}

// "text target" of each link of a pane, in order.
QString linksOf(const platform::TextPane* pane) {
    const QString text = pane->toPlainText();
    QStringList out;
    for (const platform::TextPane::Link& l : pane->links())
        out << text.mid(l.start, l.length) + u' ' + l.target;
    return out.join(u'|');
}

// Only a reference that resolves is a link: one into a law not listed (?) or to a place the
// law lacks (!) stays plain text, in the whole-law text and in a search result alike.
TEST_F(RefsWindowTest, OnlyResolvedReferencesAreLinks) {
    addReferringLaw();
    FrmExpand expand(QStringLiteral("ZT"));
    expand.CmdMake_Click();
    platform::ScriptedPrompt prompt;
    w().TxtJouFindT->setText(QStringLiteral("試験語"));
    QTest::keyClick(w().TxtJouFindT, Qt::Key_Return);
    ASSERT_FALSE(w().found.isNull());

    const struct {
        const char* window;
        const platform::TextPane* pane;
        const char* links;
    } panes[] = {
        {"法典作成", expand.Rtxt1, "第七百九条 MP709|次条第二項 ZT2:2|第一条 ZT1|前項 ZT2:1"},
        {"検索結果", w().found->Rtxt1, "第七百九条 MP709|次条第二項 ZT2:2"},
    };
    for (const auto& p : panes) {
        SCOPED_TRACE(p.window);
        const QString text = p.pane->toPlainText();
        for (const char* shown : {"旧法第三条による", "第九十九条による", "前条による"})
            ASSERT_TRUE(text.contains(QString::fromUtf8(shown))) << shown;
        // 旧法第三条 (?), 第九十九条 and 前条 (!) are neither in the list nor drawn.
        EXPECT_EQ(linksOf(p.pane), QString::fromUtf8(p.links));
        EXPECT_EQ(misdrawn(p.pane), QStringList());
    }
}

}  // namespace
}  // namespace viewer

// 改正履歴 in a browser: a fetched law's revisions from a local stand-in for the law API, one
// kept as a version from the window, and a failure said in its status line.
#include "maint/lawfetch.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "platform/ui/textpane.h"
#include "store/versions.h"
#include "tests/support/apiserver.h"
#include "tests/viewer/ui/viewerfixture.h"
#include "viewer/browser/refs.h"
#include "viewer/browser/ui/frmtree.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/tools/ui/frmhistory.h"
#include "viewer/tools/ui/frmrevisions.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTreeWidget>

namespace viewer {
namespace {

using testsupport::ApiLawFixture;
using testsupport::ApiServer;

class RevisionsWindowTest : public BrowserTest {
  protected:
    // 国家賠償法 as fetched, and the stand-in listing it with a coming revision.
    ApiLawFixture fetched() {
        const ApiLawFixture kokka = ApiServer::kokkaBaishoRevised();
        maint::importFetchedLaw(kokka.xml, kokka.lawId, QStringLiteral("KO"), {}, {},
                                QStringLiteral("2020-04-01"), {}, kokka.revisions[0].revisionId);
        w().LoadLawButtons();
        return kokka;
    }
    // The service failing every request.
    static testsupport::ApiAnswer internalError(const QString&, const QUrlQuery&) {
        testsupport::ApiAnswer a;
        a.status = 500;
        a.body = R"({"code": "500000", "message": "内部エラー"})";
        return a;
    }
    static QStringList row(const FrmRevisions* r, int i) {
        QStringList out;
        for (int c = 0; c < 4; ++c) out << r->LstRevisions->topLevelItem(i)->text(c);
        return out;
    }
};

TEST_F(RevisionsWindowTest, TheRevisionsAreListedAndOneIsKeptAsAVersion) {
    const ApiLawFixture kokka = fetched();
    ApiServer server({kokka});
    platform::Settings().save(QStringLiteral("API"), server.base());
    lookup(QStringLiteral("KO1"));
    ASSERT_FALSE(w().browser.isNull());
    FrmRevisions* r = w().browser->openRevisions();
    QSignalSpy loaded(r, &FrmRevisions::loaded);
    ASSERT_TRUE(loaded.wait(10000));
    EXPECT_EQ(r->windowTitle(), QStringLiteral("改正履歴 - 国家賠償法"));
    ASSERT_EQ(r->LstRevisions->topLevelItemCount(), 2);
    EXPECT_EQ(row(r, 0),
              QStringList({QStringLiteral("2027-04-01"),
                           QStringLiteral("令和八年法律第一号（国家賠償法の一部を改正する法律）"),
                           QStringLiteral("未施行"), QString()}));
    EXPECT_EQ(row(r, 1), QStringList({QStringLiteral("2020-04-01"), QString(),
                                      QStringLiteral("施行中"), QStringLiteral("現在")}));
    // The coming one kept: a version with its facts, marked here; the records stay.
    r->LstRevisions->setCurrentItem(r->LstRevisions->topLevelItem(0));
    QSignalSpy kept(r, &FrmRevisions::kept);
    QTest::mouseClick(r->CmdKeep, Qt::LeftButton);
    EXPECT_TRUE(r->busy());
    ASSERT_TRUE(kept.wait(10000));
    EXPECT_FALSE(r->busy());
    const QList<store::LawVersion> versions = store::listVersions(QStringLiteral("国家賠償法"));
    ASSERT_EQ(versions.size(), 1);
    EXPECT_EQ(versions[0].info.revisionId, kokka.revisions[1].revisionId);
    EXPECT_EQ(kept.first().first().toString(), versions[0].id);
    EXPECT_EQ(row(r, 0).value(3), QStringLiteral("保存済"));
    EXPECT_TRUE(r->LblStatus->text().startsWith(QStringLiteral("版 ") + versions[0].id));
    EXPECT_TRUE(w().browser->Rtxt1->text().contains(QStringLiteral("過失によつて")));
}

// 開く on a coming revision: kept first, then read in a browser of its own as of its date,
// read-only, its links, lookups, search and copies within it; the law's browser stays current.
TEST_F(RevisionsWindowTest, ARevisionIsOpenedAndReadAsOfItsDate) {
    const ApiLawFixture kokka = fetched();
    ApiServer server({kokka});
    platform::Settings().save(QStringLiteral("API"), server.base());
    lookup(QStringLiteral("KO1"));
    FrmTree* current = w().browser;
    ASSERT_NE(current, nullptr);
    FrmRevisions* r = current->openRevisions();
    QSignalSpy loaded(r, &FrmRevisions::loaded);
    ASSERT_TRUE(loaded.wait(10000));
    r->LstRevisions->setCurrentItem(r->LstRevisions->topLevelItem(0));
    QSignalSpy kept(r, &FrmRevisions::kept);
    QTest::mouseClick(r->CmdOpen, Qt::LeftButton);
    ASSERT_TRUE(kept.wait(10000));
    const QString id = kept.first().first().toString();
    auto versionBrowsers = [&] {
        QList<FrmTree*> out;
        for (FrmTree* t : w().findChildren<FrmTree*>())
            if (t->version() == id) out << t;
        return out;
    };
    ASSERT_EQ(versionBrowsers().size(), 1);
    FrmTree* v = versionBrowsers().first();
    EXPECT_NE(v, current);
    EXPECT_EQ(v->TView1->selectedKey(), QStringLiteral("KO00010000"));  // where the reader was
    EXPECT_EQ(v->asOf(), QStringLiteral("令和九年四月一日時点"));
    EXPECT_EQ(v->windowTitle(), QStringLiteral("国家賠償法（令和九年四月一日時点）"));
    EXPECT_TRUE(v->LblVersion->isVisible());
    EXPECT_GE(v->TView1->geometry().top(), v->LblVersion->geometry().bottom());
    const QString bar = QStringLiteral(
        "令和九年四月一日時点 · 改正: 令和八年法律第一号（国家賠償法の一部を改正する法律）");
    EXPECT_EQ(v->LblVersion->text(),
              QDate::currentDate() < QDate(2027, 4, 1) ? bar + QStringLiteral(" · 未施行") : bar);
    EXPECT_FALSE(current->LblVersion->isVisible());

    // Its text is the revision's; a lookup in it stays in it; the law's browser is as it was.
    v->lookup(QStringLiteral("KO1"));
    EXPECT_EQ(w().statusBar()->currentMessage(),
              QStringLiteral("KO1: 国家賠償法（令和九年四月一日時点） 第1条"));
    EXPECT_TRUE(v->Rtxt1->text().contains(QStringLiteral("過失によって")));
    EXPECT_FALSE(v->Rtxt1->text().contains(QStringLiteral("過失によつて")));
    EXPECT_TRUE(current->Rtxt1->text().contains(QStringLiteral("過失によつて")));
    EXPECT_EQ(w().browser, current);
    // A link to its own law opens in it, and back again.
    EXPECT_TRUE(v->followReference(QStringLiteral("KO2")));
    EXPECT_EQ(v->TView1->selectedKey().left(10), QStringLiteral("KO00020000"));
    EXPECT_EQ(v->backCount(), 1);
    EXPECT_TRUE(v->goBack());
    EXPECT_EQ(v->TView1->selectedKey().left(10), QStringLiteral("KO00010000"));

    // Its previews read it; another reader of references reads the current records.
    RefLibrary asOf, now;
    asOf.readVersion(QStringLiteral("ko"), id);
    EXPECT_TRUE(asOf.preview(QStringLiteral("KO1:1")).contains(QStringLiteral("過失によって")));
    EXPECT_TRUE(now.preview(QStringLiteral("KO1:1")).contains(QStringLiteral("過失によつて")));

    // Read-only: no marker, no correction, the pane takes no typing; the current text does.
    v->Rtxt1->selectAll();
    EXPECT_FALSE(v->markSelection(1));
    EXPECT_TRUE(w().statusBar()->currentMessage().contains(QStringLiteral("読むだけ")));
    EXPECT_TRUE(v->Rtxt1->isReadOnly());
    EXPECT_FALSE(v->Mn_Joubun_Edit->isEnabled());
    EXPECT_TRUE(current->Mn_Joubun_Edit->isEnabled());

    // A copy says as of when.
    v->lookup(QStringLiteral("KO1:1"));
    v->SetJou(v->TView1->selectedKey());
    EXPECT_TRUE(w().ComboHis->itemText(0).startsWith(
        QStringLiteral("国家賠償法（令和九年四月一日時点）　第1条")))
        << w().ComboHis->itemText(0).toStdString();

    // A search within it finds the revision's words; its hit opens in it.
    EXPECT_EQ(current->FindWord(QStringLiteral("過失によって")), 0);
    ASSERT_EQ(v->FindWord(QStringLiteral("過失によって")), 1);
    FrmFound* found = w().foundWindow();
    found->Rtxt1->setSelStart(
        int(found->Rtxt1->text().lastIndexOf(QStringLiteral("過失によって"))));
    v->TView1->selectNode(v->TView1->nodes().first());
    EXPECT_TRUE(found->openHitAtCaret());
    EXPECT_EQ(v->TView1->selectedKey().left(10), QStringLiteral("KO00010000"));
    EXPECT_EQ(versionBrowsers().size(), 1);
    EXPECT_EQ(w().browser, current);

    // 版を読む lists it and opens the same browser; the revision list opens it too.
    current->showJump(QStringLiteral("KO00020000"));
    current->fillVersionsMenu();
    QAction* entry = current->Mn_Joubun_Versions->findChild<QAction*>(id);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->text().startsWith(QStringLiteral("2027-04-01 施行・令和八年法律第一号")));
    entry->trigger();
    EXPECT_EQ(versionBrowsers().size(), 1);
    EXPECT_EQ(v->TView1->selectedKey(), QStringLiteral("KO00020000"));  // where the reader was
    EXPECT_EQ(row(r, 0).value(3), QStringLiteral("保存済"));
    QTest::mouseClick(r->CmdOpen, Qt::LeftButton);
    EXPECT_EQ(versionBrowsers().size(), 1);
    // A duplicate reads the same version.
    FrmTree* twin = v->duplicate();
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->version(), id);
    EXPECT_EQ(versionBrowsers().size(), 2);
}

// 沿革 offers the revisions that are not here: refused, nothing kept; accepted, each kept and
// the history shown again; then nothing is left to ask for. A failure is said; a law without
// an id has nothing to ask with.
TEST_F(RevisionsWindowTest, TheHistoryFetchesTheMissingRevisions) {
    const ApiLawFixture kokka = fetched();
    ApiServer server({kokka});
    platform::Settings().save(QStringLiteral("API"), server.base());
    lookup(QStringLiteral("KO1"));
    FrmHistory* h = w().browser->openHistory();
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(h->steps().isEmpty());
    ASSERT_TRUE(h->CmdFetch->isEnabled());
    platform::ScriptedPrompt prompt;
    prompt.answers = {platform::Answer::Cancel};
    QSignalSpy done(h, &FrmHistory::fetchDone);
    QTest::mouseClick(h->CmdFetch, Qt::LeftButton);
    EXPECT_TRUE(h->busy());
    EXPECT_EQ(h->CmdFetch->text(), QStringLiteral("中止(&S)"));
    ASSERT_TRUE(done.wait(10000));
    EXPECT_EQ(prompt.messages,
              QStringList{QStringLiteral("改正履歴の 2 件のうち 1 件が手元にありません。"
                                         "取得して版として保存しますか？")});
    EXPECT_EQ(prompt.buttons.value(0), platform::Buttons::OkCancel);
    EXPECT_TRUE(store::listVersions(QStringLiteral("国家賠償法")).isEmpty());
    EXPECT_FALSE(h->busy());

    QTest::mouseClick(h->CmdFetch, Qt::LeftButton);
    ASSERT_TRUE(done.wait(10000));
    EXPECT_EQ(done.last().value(0).toInt(), 1);
    EXPECT_EQ(done.last().value(1).toString(), QString());
    EXPECT_EQ(store::listVersions(QStringLiteral("国家賠償法")).size(), 1);
    ASSERT_EQ(h->steps().size(), 1);
    EXPECT_EQ(h->LstSteps->topLevelItem(0)->text(0), QStringLiteral("2027-04-01"));
    EXPECT_EQ(h->LblStatus->text(), QStringLiteral("1 件の版を保存しました。"));
    EXPECT_EQ(h->CmdFetch->text(), QStringLiteral("足りない版を取得(&F)"));

    prompt.messages.clear();
    QTest::mouseClick(h->CmdFetch, Qt::LeftButton);
    ASSERT_TRUE(done.wait(10000));
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(h->LblStatus->text(), QStringLiteral("改正履歴の 2 件はすべて手元にあります。"));

    ApiServer failing(internalError);
    platform::Settings().save(QStringLiteral("API"), failing.base());
    FrmHistory* again = w().browser->openHistory();
    QSignalSpy failed(again, &FrmHistory::fetchDone);
    QTest::mouseClick(again->CmdFetch, Qt::LeftButton);
    ASSERT_TRUE(failed.wait(10000));
    EXPECT_TRUE(failed.last().value(1).toString().contains(QStringLiteral("内部エラー")));
    EXPECT_TRUE(again->LblStatus->text().contains(QStringLiteral("内部エラー")));
    EXPECT_EQ(again->steps().size(), 1);  // what was kept stays

    lookup(QStringLiteral("MP1"));
    FrmHistory* none = w().browser->openHistory();
    EXPECT_FALSE(none->CmdFetch->isEnabled());
    EXPECT_TRUE(none->CmdFetch->toolTip().startsWith(QStringLiteral("民法: 法令IDがありません")));
}

TEST_F(RevisionsWindowTest, AFailureOrALawWithoutIdIsSaidInTheWindow) {
    fetched();
    ApiServer failing(internalError);
    platform::Settings().save(QStringLiteral("API"), failing.base());
    lookup(QStringLiteral("KO1"));
    FrmRevisions* r = w().browser->openRevisions();
    QSignalSpy failed(r, &FrmRevisions::failed);
    ASSERT_TRUE(failed.wait(10000));
    EXPECT_TRUE(r->LblStatus->text().contains(QStringLiteral("内部エラー")))
        << r->LblStatus->text().toStdString();
    EXPECT_EQ(r->LstRevisions->topLevelItemCount(), 0);
    EXPECT_TRUE(r->CmdReload->isEnabled());
    // 民法 of the sample came from a text: nothing to ask with.
    lookup(QStringLiteral("MP1"));
    FrmRevisions* none = w().browser->openRevisions();
    EXPECT_TRUE(none->LblStatus->text().startsWith(QStringLiteral("民法: 法令IDがありません")));
    EXPECT_EQ(failing.requests().size(), 1);
}

}  // namespace
}  // namespace viewer

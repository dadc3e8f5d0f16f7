// 改正履歴 in a browser: a fetched law's revisions from a local stand-in for the law API, one
// kept as a version from the window, and a failure said in its status line.
#include "maint/lawfetch.h"
#include "platform/settings.h"
#include "platform/ui/textpane.h"
#include "store/versions.h"
#include "tests/support/apiserver.h"
#include "tests/viewer/ui/viewerfixture.h"
#include "viewer/tools/ui/frmrevisions.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
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
                                      QStringLiteral("施行中"), QStringLiteral("保存済")}));
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

TEST_F(RevisionsWindowTest, AFailureOrALawWithoutIdIsSaidInTheWindow) {
    fetched();
    ApiServer failing([](const QString&, const QUrlQuery&) {
        testsupport::ApiAnswer a;
        a.status = 500;
        a.body = R"({"code": "500000", "message": "内部エラー"})";
        return a;
    });
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

// Lexora's main window on real sample data, under the offscreen platform.
#include "viewer/shell/ui/mdimain.h"
#include "exchange/firststart.h"
#include "exchange/ui/frmhcodelist.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "platform/ui/keyedtree.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/testsupport.h"
#include "viewer/shell/state.h"
#include "viewer/shell/ui/frmabout.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using viewer::MDIMain;

namespace {

class MainWindowTest : public testsupport::TempRootTest {
  protected:
    void SetUp() override {
        TempRootTest::SetUp();
        platform::Settings().save(QStringLiteral("PATH"), programDir());
        viewer::state() = viewer::ViewerState{};
    }
    QStringList captions(MDIMain& w) {
        QStringList out;
        for (QPushButton* b : w.CmdHouten) out << b->text();
        return out;
    }
};

TEST_F(MainWindowTest, FirstStartFillsTheSixLawButtons) {
    copySampleExchangeFiles();
    platform::ScriptedPrompt prompt;
    MDIMain w;
    w.Form_Load();
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
    EXPECT_EQ(captions(w),
              QStringList({QStringLiteral("日本国憲法"), QStringLiteral("民法"),
                           QStringLiteral("刑法"), QStringLiteral("会社法"),
                           QStringLiteral("民事訴訟法"), QStringLiteral("刑事訴訟法")}));
    EXPECT_EQ(w.CmdHouten[3]->property("tag").toString(), QStringLiteral("KS"));
    // The seventh law has no button but is in HoutenNames, after the empty position 0.
    ASSERT_EQ(viewer::state().HoutenNames.size(), 8);
    EXPECT_EQ(viewer::state().HoutenNames[0], QString());
    EXPECT_EQ(viewer::state().HoutenNames[7], QStringLiteral("行政手続法"));
    EXPECT_EQ(platform::Settings().get(QStringLiteral("init")), QStringLiteral("TRUE"));
    {
        store::Database db = store::openLawDb(QStringLiteral("会社法"));
        EXPECT_EQ(
            db.openRecordset(QStringLiteral("select * from 目次 order by コード")).recordCount(),
            296);
    }
    // The index window of the first start is gone again.
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(top->objectName() == QStringLiteral("FrmImpIdx") && top->isVisible());

    QTest::mouseClick(w.CmdHouten[1], Qt::LeftButton);
    EXPECT_EQ(viewer::state().CurHCode, QStringLiteral("MP"));

    // A second start does not import again: an edited table of contents stays as it is.
    {
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        db.execute(QStringLiteral("delete from 目次"));
    }
    MDIMain second;
    second.Form_Load();
    store::Database db = store::openLawDb(QStringLiteral("民法"));
    EXPECT_EQ(db.openRecordset(QStringLiteral("目次")).recordCount(), 0);
    EXPECT_EQ(store::readLawList().size(), 7);
}

TEST_F(MainWindowTest, EmptyListWithoutExchangeFilesLeavesButtonsBlank) {
    platform::ScriptedPrompt prompt;
    MDIMain w;
    w.Form_Load();
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(captions(w), QStringList(6, QString()));
    EXPECT_TRUE(viewer::state().HoutenNames.isEmpty());
    EXPECT_TRUE(QFileInfo(store::masterDbPath()).isFile());
    // A blank button opens nothing and keeps the current law.
    viewer::state().CurHCode = QStringLiteral("MP");
    QTest::mouseClick(w.CmdHouten[0], Qt::LeftButton);
    EXPECT_EQ(viewer::state().CurHCode, QStringLiteral("MP"));
    EXPECT_TRUE(w.browser.isNull());
}

TEST_F(MainWindowTest, ControlsMenusAndCaptions) {
    MDIMain w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Lexora"));
    EXPECT_EQ(w.CmdHCodeList->text(), QStringLiteral("法典コード一覧"));
    EXPECT_EQ(w.Label1->text(), QStringLiteral("コード"));
    EXPECT_EQ(w.Label2->text(), QStringLiteral("テキスト"));
    EXPECT_EQ(w.Label3->text(), QStringLiteral("履歴"));
    QStringList bar;
    for (QAction* a : w.menuBar()->actions()) bar << a->text();
    EXPECT_EQ(bar,
              QStringList({QStringLiteral("<メニュー：メイン画面>"), QStringLiteral("ファイル(&F)"),
                           QString(), QStringLiteral("最近(&R)"), QStringLiteral("ウィンドウ(&W)"),
                           QStringLiteral("ヘルプ(&H)")}));
    QStringList file;
    for (QAction* a : w.Mn_File->actions()) file << a->text();
    EXPECT_EQ(file,
              QStringList({QStringLiteral("法令を追加(&A)…"), QStringLiteral("メンテナンス(&M)"),
                           QStringLiteral("データチェック"), QStringLiteral("設定(&S)…"),
                           QStringLiteral("終了(&X)")}));
    EXPECT_EQ(w.Mn_Help_About->text(), QStringLiteral("バージョン情報(&A)"));

    viewer::FrmAbout about(&w);
    const QList<QLabel*> labels = about.findChildren<QLabel*>();
    QStringList texts;
    for (QLabel* l : labels) texts << l->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Lexora")));
    EXPECT_TRUE(texts.join(u' ').contains(QStringLiteral(LEXORA_VERSION)));
    EXPECT_EQ(about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo")) != nullptr,
              !viewer::FrmAbout::systemInfoTool().isEmpty());
}

TEST_F(MainWindowTest, MaintenanceProgramIsStartedFromTheProgramFolder) {
    platform::ScriptedPrompt prompt;
    MDIMain w;
    w.Form_Load();
    w.Mn_File_Lexbench->trigger();
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("ファイル Lexbench が見つかりません。")});

    // A stand-in program that leaves a mark proves it was started, detached, from there.
    const QString mark = path(QStringLiteral("started"));
    const QString fake = programDir() + QStringLiteral("/Lexbench");
    testsupport::writeFile(fake, "#!/bin/sh\ntouch '" + mark.toUtf8() + "'\n");
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    w.Mn_File_Lexbench->trigger();
    EXPECT_EQ(prompt.messages.size(), 1);
    for (int i = 0; i < 100 && !QFileInfo::exists(mark); ++i) QTest::qWait(50);
    EXPECT_TRUE(QFileInfo::exists(mark));
}

TEST_F(MainWindowTest, ClosingTheMainWindowUnloadsEveryChild) {
    MDIMain w;
    w.show();
    QPointer<QWidget> child = new QWidget;
    child->setObjectName(QStringLiteral("FrmTree"));
    w.showChild(child);
    QPointer<QWidget> loose = new QWidget;
    loose->setAttribute(Qt::WA_DeleteOnClose);
    loose->show();
    w.CmdR_Click();  // lays the browser out at the top left without failing
    EXPECT_TRUE(w.close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(child.isNull());
    EXPECT_TRUE(loose.isNull());
}

TEST_F(MainWindowTest, ErrorsInAnEventHandlerAreShownAndTheProgramGoesOn) {
    platform::ScriptedPrompt prompt;
    MDIMain w;
    w.Form_Load();
    // The DB folder turned into a file: the law button's lookup fails inside the click.
    QDir(store::folders().db).removeRecursively();
    testsupport::writeFile(store::folders().db, "not a folder");
    w.CmdHouten[0]->setProperty("tag", QStringLiteral("KP"));
    QTest::mouseClick(w.CmdHouten[0], Qt::LeftButton);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_FALSE(prompt.messages[0].isEmpty());
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);  // the hourglass came back
}

}  // namespace

namespace {

TEST_F(MainWindowTest, LawListOpensFreshAndChoosesTheLaw) {
    copySampleExchangeFiles();
    platform::ScriptedPrompt prompt;
    MDIMain w;
    w.show();
    w.Form_Load();
    QTest::mouseClick(w.CmdHCodeList, Qt::LeftButton);
    QPointer<exchange::FrmHCodeList> first = w.hCodeList;
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first->List1->count(), 7);  // the seventh law, which has no button, is listed too
    QTest::mouseClick(w.CmdHCodeList, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    ASSERT_FALSE(w.hCodeList.isNull());
    Q_EMIT w.hCodeList->TView1->itemDoubleClicked(w.hCodeList->TView1->node(QStringLiteral("GT")),
                                                  0);
    EXPECT_EQ(viewer::state().CurHCode, QStringLiteral("GT"));
}

TEST_F(MainWindowTest, InstalledFirstStartImportsTheBundledLaws) {
    // An installation's first start: the law list and tables of contents from share/lexora,
    // then the bundled law texts, so the first window has laws to read.
    const QString bin = path(QStringLiteral("usr/bin"));
    const QString share = path(QStringLiteral("usr/share/lexora"));
    QDir().mkpath(bin);
    QDir().mkpath(share + QStringLiteral("/laws"));
    for (const char* name : {"ht.dat", "idx.dat"})
        QFile::copy(testsupport::sampleDir() + u'/' + QString::fromLatin1(name),
                    share + u'/' + QString::fromLatin1(name));
    for (const char* name : {"KP.txt", "GT.txt"})
        QFile::copy(testsupport::sampleDir() + u'/' + QString::fromLatin1(name),
                    share + QStringLiteral("/laws/") + QString::fromLatin1(name));
    store::setFolders(bin, path(QStringLiteral("data")));
    exchange::runFirstStart(nullptr);
    // A law the user imported before (here one record) is not overwritten by the bundled one.
    store::openLawDb(QStringLiteral("行政手続法"))
        .execute(QStringLiteral("insert into 条文 values ('GT00010000010000', '利用者の版')"));
    platform::ScriptedPrompt prompt;
    EXPECT_TRUE(MDIMain::importBundledLaws());
    EXPECT_TRUE(prompt.messages.isEmpty());
    auto records = [](const char* name) {
        store::Database db = store::openLawDb(QString::fromUtf8(name));
        return db.openRecordset(QStringLiteral("select * from 条文")).recordCount();
    };
    EXPECT_EQ(records("日本国憲法"), 263);
    EXPECT_EQ(records("行政手続法"), 1);
}

}  // namespace

#include "viewer/shell/ui/mdimain.h"

#include "exchange/firststart.h"
#include "exchange/ui/frmhcodelist.h"
#include "exchange/ui/frmimpidx.h"
#include "maint/lawimport.h"
#include "maint/ui/frmaddlaw.h"
#include "platform/launch.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/keyedtree.h"
#include "platform/ui/sound.h"
#include "platform/ui/textpane.h"
#include "platform/ui/twips.h"
#include "platform/vb.h"
#include "store/codes.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/notation.h"
#include "store/versions.h"
#include "viewer/browser/display.h"
#include "viewer/browser/lawtree.h"
#include "viewer/browser/ui/frmtree.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/marks/ui/frmmarks.h"
#include "viewer/shell/help.h"
#include "viewer/shell/lookup.h"
#include "viewer/shell/reading.h"
#include "viewer/shell/session.h"
#include "viewer/shell/state.h"
#include "viewer/shell/ui/frmabout.h"
#include "viewer/shell/ui/frmhst.h"
#include "viewer/shell/ui/frmnowsearch.h"
#include "viewer/shell/ui/frmsettings.h"
#include "viewer/shell/ui/frmtest.h"
#include "viewer/tools/ui/frmcheckdata.h"
#include "viewer/tools/ui/frmdaily.h"
#include "viewer/tools/ui/frmexpand.h"
#include "viewer/tools/ui/frmrcl.h"
#include "viewer/tools/ui/frmsr.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <memory>

namespace viewer {

namespace {
MDIMain* mainWindow = nullptr;

QToolButton* pictureButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                           const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}
}  // namespace

MDIMain* MDIMain::instance() {
    return mainWindow;
}

MDIMain::~MDIMain() {
    if (mainWindow == this) mainWindow = nullptr;
}

MDIMain::MDIMain(QWidget* parent) : platform::MdiFrame(parent) {
    mainWindow = this;
    setObjectName(QStringLiteral("MDIMain"));
    setWindowTitle(QStringLiteral("Lexora"));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    buildBars();
    buildMenus();
    area()->viewport()->installEventFilter(this);
    resize(1100, 760);
    statusBar();  // there from the start: a notice later must not shrink the area under the windows
    LblCitedBy = new QLabel(this);
    LblCitedBy->setObjectName(QStringLiteral("LblCitedBy"));
    statusBar()->addPermanentWidget(LblCitedBy);
    platform::connectGuarded(LblCitedBy, &QLabel::linkActivated, this, [this] {
        if (FrmTree* t = qobject_cast<FrmTree*>(
                area()->activeSubWindow() ? area()->activeSubWindow()->widget() : nullptr))
            t->openCitedBy();
    });
}

void MDIMain::buildBars() {
    auto* bar1 = new QToolBar(QStringLiteral("法典"), this);
    bar1->setObjectName(QStringLiteral("Bar1"));
    bar1->setMovable(false);
    CmdHCodeList = new QPushButton(QStringLiteral("法典コード一覧"), bar1);
    CmdHCodeList->setObjectName(QStringLiteral("CmdHCodeList"));
    bar1->addWidget(CmdHCodeList);
    bar1->addSeparator();
    for (int i = 0; i < 6; ++i) {
        auto* b = new QPushButton(bar1);
        b->setObjectName(QStringLiteral("CmdHouten_%1").arg(i));
        b->setMinimumWidth(110);
        platform::connectGuarded(b, &QPushButton::clicked, this, [this, i] { CmdHouten_Click(i); });
        bar1->addWidget(b);
        CmdHouten << b;
    }
    addToolBar(Qt::TopToolBarArea, bar1);
    addToolBarBreak(Qt::TopToolBarArea);

    auto* bar2 = new QToolBar(QStringLiteral("検索"), this);
    bar2->setObjectName(QStringLiteral("Bar2"));
    bar2->setMovable(false);
    Label1 = new QLabel(QStringLiteral("コード"), bar2);
    Label1->setObjectName(QStringLiteral("Label1"));
    TxtJouFind = new QLineEdit(bar2);
    TxtJouFind->setObjectName(QStringLiteral("TxtJouFind"));
    TxtJouFind->setFixedWidth(120);
    CmdFindByCode =
        pictureButton(bar2, "CmdFindByCode", QStyle::SP_ArrowRight, QStringLiteral("コードで検索"));
    Label2 = new QLabel(QStringLiteral("テキスト"), bar2);
    Label2->setObjectName(QStringLiteral("Label2"));
    TxtJouFindT = new QLineEdit(bar2);
    TxtJouFindT->setObjectName(QStringLiteral("TxtJouFindT"));
    TxtJouFindT->setFixedWidth(200);
    CmdFindByWord = pictureButton(bar2, "CmdFindByWord", QStyle::SP_FileDialogContentsView,
                                  QStringLiteral("テキストで検索"));
    // Kept between starts; off at first, so the search is the main provisions' as before.
    ChkParts =
        platform::keptCheckBox(bar2, QStringLiteral("ChkParts"), QStringLiteral("附則・別表も検索"),
                               QStringLiteral("LXA"), QStringLiteral("VIEW"), kPartSearchKey);
    ChkFold =
        platform::keptCheckBox(bar2, QStringLiteral("ChkFold"), QStringLiteral("表記ゆれを同一視"),
                               QStringLiteral("LXA"), QStringLiteral("VIEW"), kFoldSearchKey);
    Label3 = new QLabel(QStringLiteral("履歴"), bar2);
    Label3->setObjectName(QStringLiteral("Label3"));
    ComboHis = new QComboBox(bar2);
    ComboHis->setObjectName(QStringLiteral("ComboHis"));
    ComboHis->setMinimumWidth(200);
    // The headers travel with the labels at the same positions; the reader sees the labels.
    ComboHis2 = new QComboBox(bar2);
    ComboHis2->setObjectName(QStringLiteral("ComboHis2"));
    CmdHst =
        pictureButton(bar2, "CmdHst", QStyle::SP_FileDialogDetailedView, QStringLiteral("履歴"));
    CmdR = pictureButton(bar2, "CmdR", QStyle::SP_TitleBarNormalButton,
                         QStringLiteral("ウィンドウの整列"));
    CmdSR = pictureButton(bar2, "CmdSR", QStyle::SP_MediaPlay, QStringLiteral("見出しドリル"));

    // nullptr stands for a separator between the groups.
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(TxtJouFind),
                       static_cast<QWidget*>(CmdFindByCode), static_cast<QWidget*>(nullptr),
                       static_cast<QWidget*>(Label2), static_cast<QWidget*>(TxtJouFindT),
                       static_cast<QWidget*>(CmdFindByWord), static_cast<QWidget*>(ChkParts),
                       static_cast<QWidget*>(ChkFold), static_cast<QWidget*>(nullptr),
                       static_cast<QWidget*>(Label3), static_cast<QWidget*>(ComboHis)}) {
        if (w)
            bar2->addWidget(w);
        else
            bar2->addSeparator();
    }
    bar2->addWidget(ComboHis2)->setVisible(false);
    for (QToolButton* b : {CmdHst, CmdR, CmdSR}) bar2->addWidget(b);
    addToolBar(Qt::TopToolBarArea, bar2);

    platform::connectGuarded(CmdR, &QToolButton::clicked, this, [this] { CmdR_Click(); });
    platform::connectGuarded(CmdHst, &QToolButton::clicked, this, [this] { CmdHst_Click(); });
    platform::connectGuarded(CmdSR, &QToolButton::clicked, this, [this] { CmdSR_Click(); });
    platform::connectGuarded(ComboHis, &QComboBox::activated, this, [this] { ComboHis_Click(); });
    platform::connectGuarded(TxtJouFind, &QLineEdit::returnPressed, this,
                             [this] { TxtJouFind_KeyPress(13); });
    platform::connectGuarded(CmdFindByCode, &QToolButton::clicked, this,
                             [this] { TxtJouFind_KeyPress(13); });
    platform::connectGuarded(TxtJouFindT, &QLineEdit::returnPressed, this, [this] {
        TypingPause->stop();
        TxtJouFindT_KeyPress(13);
    });
    TypingPause = new QTimer(this);
    TypingPause->setSingleShot(true);
    platform::connectGuarded(TxtJouFindT, &QLineEdit::textEdited, this,
                             [this] { TypingPause->start(typingPauseMs); });
    platform::connectGuarded(TypingPause, &QTimer::timeout, this, [this] { searchAsTyped(); });
    platform::connectGuarded(CmdFindByWord, &QToolButton::clicked, this,
                             [this] { TxtJouFindT_KeyPress(13); });
    // Activating a browser makes its law the current law.
    platform::connectGuarded(area(), &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* sub) {
        if (auto* tree = sub ? qobject_cast<FrmTree*>(sub->widget()) : nullptr)
            state().CurHCode = tree->curHCodeT;
    });
    platform::connectGuarded(CmdHCodeList, &QPushButton::clicked, this,
                             [this] { CmdHCodeList_Click(); });
}

void MDIMain::buildMenus() {
    Mn_Title = new QAction(QStringLiteral("<メニュー：メイン画面>"), this);
    Mn_Title->setObjectName(QStringLiteral("Mn_Title"));
    Mn_File = new QMenu(QStringLiteral("ファイル(&F)"), this);
    Mn_File->setObjectName(QStringLiteral("Mn_File"));
    Mn_File_AddLaw = Mn_File->addAction(QStringLiteral("法令を追加(&A)…"));
    Mn_File_AddLaw->setObjectName(QStringLiteral("Mn_File_AddLaw"));
    Mn_File_Lexbench = Mn_File->addAction(QStringLiteral("メンテナンス(&M)"));
    Mn_File_Lexbench->setObjectName(QStringLiteral("Mn_File_Lexbench"));
    Mn_File_CheckData = Mn_File->addAction(QStringLiteral("データチェック"));
    Mn_File_CheckData->setObjectName(QStringLiteral("Mn_File_CheckData"));
    Mn_File_Settings = Mn_File->addAction(QStringLiteral("設定(&S)…"));
    Mn_File_Settings->setObjectName(QStringLiteral("Mn_File_Settings"));
    Mn_File_End = Mn_File->addAction(QStringLiteral("終了(&X)"));
    Mn_File_End->setObjectName(QStringLiteral("Mn_File_End"));
    Mn_dummy = new QAction(QString(), this);
    Mn_dummy->setObjectName(QStringLiteral("Mn_dummy"));
    Mn_dummy->setEnabled(false);
    Mn_Help = new QMenu(QStringLiteral("ヘルプ(&H)"), this);
    Mn_Help->setObjectName(QStringLiteral("Mn_Help"));
    Mn_Help_Usage = Mn_Help->addAction(QStringLiteral("使い方(&U)"));
    Mn_Help_Usage->setObjectName(QStringLiteral("Mn_Help_Usage"));
    Mn_Help_About = Mn_Help->addAction(QStringLiteral("バージョン情報(&A)"));
    Mn_Help_About->setObjectName(QStringLiteral("Mn_Help_About"));
    Mn_Window = makeWindowMenu();
    Mn_Recent = new QMenu(QStringLiteral("最近(&R)"), this);
    Mn_Recent->setObjectName(QStringLiteral("Mn_Recent"));
    platform::connectGuarded(Mn_Recent, &QMenu::aboutToShow, this, [this] {
        Mn_Recent->clear();
        for (const QString& code : recentLaws()) {
            const QString name = store::GetHoutenName(code);
            if (name.isEmpty()) continue;  // removed since
            QAction* a = Mn_Recent->addAction(code + QStringLiteral("  ") + name);
            platform::connectGuarded(a, &QAction::triggered, this, [this, code] { openLaw(code); });
        }
        if (Mn_Recent->isEmpty())
            Mn_Recent->addAction(QStringLiteral("（なし）"))->setEnabled(false);
    });

    platform::connectGuarded(Mn_File_AddLaw, &QAction::triggered, this,
                             [this] { Mn_File_AddLaw_Click(); });
    platform::connectGuarded(Mn_File_Lexbench, &QAction::triggered, this,
                             [this] { Mn_File_Lexbench_Click(); });
    platform::connectGuarded(Mn_File_CheckData, &QAction::triggered, this,
                             [this] { Mn_File_CheckData_Click(); });
    platform::connectGuarded(Mn_File_Settings, &QAction::triggered, this,
                             [this] { Mn_File_Settings_Click(); });
    platform::connectGuarded(Mn_File_End, &QAction::triggered, this, [this] { close(); });
    platform::connectGuarded(Mn_Help_About, &QAction::triggered, this,
                             [this] { Mn_Help_About_Click(); });
    platform::connectGuarded(Mn_Help_Usage, &QAction::triggered, this,
                             [this] { Mn_Help_Usage_Click(); });
    setFrameMenus({Mn_Title, Mn_File->menuAction(), Mn_dummy});
    // The window list and the help are there whatever window is active.
    setLastingMenus({Mn_Recent->menuAction(), Mn_Window->menuAction(), Mn_Help->menuAction()});
    setLastingFileActions({Mn_File_AddLaw, Mn_File_CheckData, Mn_File_Settings});
}

void MDIMain::Mn_File_AddLaw_Click() {
    if (addLaw.isNull()) {
        addLaw = new maint::FrmAddLaw;
        // The new law is on the buttons and in the search at once, and opens.
        platform::connectGuarded(addLaw.data(), &maint::FrmAddLaw::lawAdded, this,
                                 [this](const QString& code) {
                                     LoadLawButtons();
                                     state().CurHCode = code;
                                     openLaw(code);
                                     if (addLaw) platform::bringToFront(addLaw);
                                 });
        showChild(addLaw);
        platform::keepInside(addLaw);
    }
    platform::bringToFront(addLaw);
    addLaw->TxtTitle->setFocus();
}

void MDIMain::Mn_Help_Usage_Click() {
    if (help.isNull()) {
        help = new FrmHelp(usageHelpText(
            store::folders().root.isEmpty() ? store::folders().program : store::folders().root,
            platform::Settings().fileName()));
        showChild(help);
        platform::keepInside(help);
    }
    platform::bringToFront(help);
}

void MDIMain::InitSettings() {
    platform::BusyCursor busy;
    platform::Settings settings;
    if (!exchange::readViewerSettings(settings, QCoreApplication::applicationDirPath())) return;
    exchange::prepareFirstStart();
    {
        exchange::FrmImpIdx window(exchange::FrmImpIdx::Form::Viewer);
        window.runViewerImport();
        window.close();
    }
    // A law that could not be imported leaves the first start to run again next time.
    if (importBundledLaws()) settings.save(QStringLiteral("INIT"), QStringLiteral("TRUE"));
}

bool MDIMain::importBundledLaws() {
    const QStringList files = exchange::bundledLawTexts();
    if (files.isEmpty()) return true;
    // An installation brings its laws as texts: the first window then has laws to read.
    QProgressDialog progress(QStringLiteral("法令を取り込んでいます..."), QString(), 0,
                             int(files.size()));
    progress.setWindowTitle(QStringLiteral("Lexora"));
    progress.setMinimumDuration(0);
    progress.setWindowModality(Qt::ApplicationModal);
    QStringList failed;
    for (int i = 0; i < files.size(); ++i) {
        progress.setValue(i);
        progress.setLabelText(QStringLiteral("法令を取り込んでいます（%1/%2）: %3")
                                  .arg(i + 1)
                                  .arg(files.size())
                                  .arg(QFileInfo(files[i]).completeBaseName()));
        platform::pumpEvents();
        try {
            maint::LawTextImporter importer;
            maint::ImportObserver observer;
            observer.pump = platform::FramePump();
            const maint::ImportResult r =
                importer.run(maint::readLawTextFile(files[i]), {}, observer);
            if (r.stopped) failed << files[i];  // the import has said why
        } catch (const platform::Error& e) {
            failed << files[i] + QStringLiteral(": ") + e.description();
        }
    }
    progress.setValue(int(files.size()));
    if (failed.isEmpty()) return true;
    platform::msgBox(
        QStringLiteral("次の法令は取り込めませんでした。次の起動でもう一度取り込みます。"
                       "\r\n") +
        failed.join(QStringLiteral("\r\n")));
    return false;
}

void MDIMain::Form_Load() {
    InitSettings();
    LoadLawButtons();
    // Lexbench and lexctl change the law list while the viewer runs: the buttons follow.
    auto* watcher = new QFileSystemWatcher(this);
    auto* settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(300);
    platform::connectGuarded(settle, &QTimer::timeout, this, [this, watcher] {
        if (!watcher->files().contains(store::masterDbPath()) &&
            QFileInfo::exists(store::masterDbPath()))
            watcher->addPath(store::masterDbPath());  // a file written anew is watched again
        LoadLawButtons();
    });
    connect(watcher, &QFileSystemWatcher::fileChanged, settle, qOverload<>(&QTimer::start));
    if (QFileInfo::exists(store::masterDbPath())) watcher->addPath(store::masterDbPath());
    restoreSession();
}

void MDIMain::restoreSession() {
    const ViewSession v = loadViewSession();
    if (!v.frameGeometry.isEmpty()) restoreGeometry(v.frameGeometry);
    copyFontSize_ = v.copyFontSize;
    foundFontSize_ = v.foundFontSize;
    ComboHis->clear();
    ComboHis2->clear();
    ComboHis->addItems(v.history);
    ComboHis2->addItems(v.historyHeaders);
    state().CopyLog = v.copyLog;
    // A law no longer listed, or a node it no longer has, is passed over quietly.
    QStringList listed;
    for (const store::LawEntry& law : store::readLawList()) listed << law.code;
    bool first = true;
    for (const BrowserSession& b : v.browsers) {
        if (!listed.contains(b.law)) continue;
        // A version removed since is passed over too.
        if (!b.version.isEmpty() &&
            !QFileInfo::exists(store::versionFile(store::GetHoutenName(b.law), b.version)))
            continue;
        platform::guard([&] {
            FrmTree* t = nullptr;
            if (!b.version.isEmpty()) {
                t = openBrowser(b.law, b.version);
            } else {
                state().CurHCode = b.law;
                t = first ? loadBrowser(b.law) : openBrowser(b.law);
                first = false;
            }
            t->Ratio = float(b.ratio);
            t->layoutPanes();
            if (!b.node.isEmpty()) t->showNode(b.node);
        });
    }
}

void MDIMain::saveSession() {
    ViewSession v;
    v.frameGeometry = saveGeometry();
    QList<FrmTree*> trees;
    if (browser) trees << browser;
    for (QWidget* w : children())
        if (auto* t = qobject_cast<FrmTree*>(w); t && t != browser) trees << t;
    for (FrmTree* t : trees)
        v.browsers.append({t->curHCodeT, t->TView1->selectedKey(), t->Ratio, t->version()});
    v.copyFontSize = copy ? copy->Rtxt1->fontSize() : copyFontSize_;
    v.foundFontSize = found ? found->Rtxt1->fontSize() : foundFontSize_;
    for (int i = 0; i < ComboHis->count(); ++i) v.history << ComboHis->itemText(i);
    for (int i = 0; i < ComboHis2->count(); ++i) v.historyHeaders << ComboHis2->itemText(i);
    v.copyLog = state().CopyLog;
    saveViewSession(v);
}

void MDIMain::abandonClose() {
    platform::MdiFrame::abandonClose();
    sessionSaved_ = false;  // the next close keeps the windows as they are then
}

void MDIMain::arrangeBrowsers() {
    QList<FrmTree*> trees;
    if (browser) trees << browser;
    for (QWidget* w : children())
        if (auto* t = qobject_cast<FrmTree*>(w); t && t != browser) trees << t;
    if (trees.isEmpty()) return;
    const QRect room = area()->viewport()->rect();
    const int width = room.width() / int(trees.size());
    for (int i = 0; i < trees.size(); ++i) {
        QMdiSubWindow* sub = platform::subWindowOf(trees[i]);
        if (!sub) continue;
        sub->showNormal();
        sub->setGeometry(room.left() + i * width, room.top(), width, room.height());
        trees[i]->layoutPanes();
    }
}

void MDIMain::fitBrowsers() {
    // A smaller frame keeps every browser within it: a pane past the frame's edge cannot be
    // read without scrolling the whole area.
    const QRect room = area()->viewport()->rect();
    if (room.width() < 100 || room.height() < 100) return;
    for (QMdiSubWindow* sub : area()->subWindowList()) {
        if (!qobject_cast<FrmTree*>(sub->widget()) || sub->isMaximized() || sub->isMinimized())
            continue;
        QRect g = sub->geometry();
        if (room.contains(g)) continue;
        g.setWidth(std::min(g.width(), room.width()));
        g.setHeight(std::min(g.height(), room.height()));
        g.moveLeft(std::clamp(g.left(), 0, room.width() - g.width()));
        g.moveTop(std::clamp(g.top(), 0, room.height() - g.height()));
        sub->setGeometry(g);
    }
}

void MDIMain::LoadLawButtons() {
    const QList<store::LawEntry> laws = store::readLawList();
    ViewerState& s = state();
    s.HoutenNames.clear();
    for (QPushButton* b : CmdHouten) {
        b->setText(QString());
        b->setProperty("tag", QString());
    }
    if (laws.isEmpty()) return;
    s.HoutenNames << QString();
    for (const store::LawEntry& law : laws) s.HoutenNames << law.name;
    // The laws 設定 chose, in its order; else the first six by 番号.
    const QList<store::LawEntry> shown =
        buttonLaws(loadReadingSettings().lawButtons, laws, int(CmdHouten.size()));
    for (int k = 0; k < shown.size(); ++k) {
        CmdHouten[k]->setText(shown[k].name);
        CmdHouten[k]->setProperty("tag", shown[k].code);
    }
}

void MDIMain::Mn_File_Settings_Click() {
    if (settings.isNull()) {
        settings = new FrmSettings(this);
        settings->setAttribute(Qt::WA_DeleteOnClose);
        platform::connectGuarded(
            settings.data(), &FrmSettings::settingsChanged, this,
            [this](const ReadingSettings& before, const ReadingSettings& after) {
                applyReadingSettings(before, after);
            });
    }
    settings->open();
    settings->raise();
}

void MDIMain::applyReadingSettings(const ReadingSettings& before, const ReadingSettings& after) {
    platform::BusyCursor busy;
    LoadLawButtons();
    {
        // The box keeps its own value when toggled: it is kept already.
        const QSignalBlocker quiet(ChkParts);
        ChkParts->setChecked(after.searchParts);
        const QSignalBlocker quietFold(ChkFold);
        ChkFold->setChecked(after.searchFold);
    }
    const bool numbers = before.kanjiNumbers != after.kanjiNumbers;
    for (QMdiSubWindow* sub : area()->subWindowList())
        if (auto* tree = qobject_cast<FrmTree*>(sub->widget()))
            platform::guard([&] { tree->applyReading(after, numbers); });
    if (expand) platform::guard([&] { expand->applyReading(after); });
    if (before.dataRoot != after.dataRoot)
        platform::msgBox(
            QStringLiteral("データの場所は次に起動したときから使われます: %1")
                .arg(after.dataRoot.isEmpty() ? QStringLiteral("既定の場所") : after.dataRoot));
}

void MDIMain::CmdHouten_Click(int index) {
    platform::BusyCursor busy;
    const QString code =
        CmdHouten.value(index) ? CmdHouten[index]->property("tag").toString() : QString();
    if (code.isEmpty()) return;  // a button without a law keeps the current law
    state().CurHCode = code;
    openLaw(code);
}

void MDIMain::CmdHCodeList_Click() {
    // A snapshot of the list: a fresh window every time.
    platform::unload(hCodeList);
    hCodeList = new exchange::FrmHCodeList(exchange::FrmHCodeList::Form::Viewer);
    platform::connectGuarded(hCodeList.data(), &exchange::FrmHCodeList::lawChosen, this,
                             [this](const QString& code) {
                                 platform::BusyCursor busy;
                                 state().CurHCode = code;
                                 openLaw(code);
                             });
    showChild(hCodeList);
    hCodeList->Form_Load(area());
    hCodeList->setRecent(recentLaws());
    platform::bringToFront(hCodeList);
}

void MDIMain::CmdSR_Click() {
    if (state().CurHCode.isEmpty()) return;
    platform::unload(drill);
    drill = new FrmSR;
    showChild(drill);
    drill->Form_Load();
    platform::bringToFront(drill);
}

void MDIMain::Mn_File_CheckData_Click() {
    if (checkData.isNull()) {
        checkData = new FrmCheckData;
        showChild(checkData);
        checkData->Form_Load();
    }
    platform::bringToFront(checkData);
}

FrmExpand* MDIMain::openExpand(const QString& law) {
    platform::unload(expand);
    expand = new FrmExpand(law);
    showChild(expand);
    platform::bringToFront(expand);
    return expand;
}

FrmRCL* MDIMain::correctionWindow(bool fresh) {
    if (fresh) {
        platform::unload(correction);
        correction = nullptr;  // the closed window goes later; the new one comes now
    }
    if (correction.isNull()) {
        correction = new FrmRCL;
        showChild(correction);
    }
    return correction;
}

FrmDaily* MDIMain::showDaily() {
    if (daily.isNull()) {
        daily = new FrmDaily;
        showChild(daily);
        daily->Form_Load();
    }
    platform::bringToFront(daily);
    return daily;
}

void MDIMain::openLaw(const QString& code) {
    if (code.isEmpty()) return;
    FrmTree* tree = loadBrowser(code);
    tree->TView1->setFocus();
}

FrmTree* MDIMain::loadBrowser(const QString& law) {
    noteLawOpened(law);
    if (browser.isNull()) {
        browser = new FrmTree(law);
        showChild(browser);
        browser->Form_Load();
        // The reading window takes the room the frame has, beside any further browsers.
        arrangeBrowsers();
    } else {
        browser->curHCodeT = law;
        browser->ClearTree();
        browser->MakeTreeOne(law, state().TreeBuildMode);
    }
    platform::bringToFront(browser);
    return browser;
}

FrmTree* MDIMain::openBrowser(const QString& law, const QString& version) {
    auto tree = std::make_unique<FrmTree>(law);
    tree->readVersion(version);  // refused before the window shows
    FrmTree* shown = tree.release();
    showChild(shown);
    shown->Form_Load();
    arrangeBrowsers();  // beside the browsers already open
    platform::bringToFront(shown);
    return shown;
}

FrmTree* MDIMain::versionBrowser(const QString& law, const QString& version) {
    for (QWidget* w : findChildren<QWidget*>(QStringLiteral("FrmTree"))) {
        auto* tree = qobject_cast<FrmTree*>(w);
        if (tree && tree->version() == version &&
            tree->curHCodeT.compare(law, Qt::CaseInsensitive) == 0) {
            platform::bringToFront(tree);
            return tree;
        }
    }
    return openBrowser(law, version);
}

FrmCopy* MDIMain::copyWindow() {
    if (copy.isNull()) {
        copy = new FrmCopy;
        if (copyFontSize_ > 0) copy->Rtxt1->setFontSize(copyFontSize_);
        showChild(copy);
    }
    return copy;
}

FrmFound* MDIMain::foundWindow() {
    if (found.isNull()) {
        found = new FrmFound;
        if (foundFontSize_ > 0) found->Rtxt1->setFontSize(foundFontSize_);
        showChild(found);
        platform::keepInside(found);
    }
    return found;
}

FrmMarks* MDIMain::marksWindow() {
    if (marks.isNull()) {
        marks = new FrmMarks;
        showChild(marks);
        platform::keepInside(marks);
    } else {
        marks->refresh();
    }
    platform::bringToFront(marks);
    return marks;
}

void MDIMain::closeHistoryWindow() {
    platform::unload(history);
}

FrmHst* MDIMain::historyWindow() {
    if (history.isNull()) {
        history = new FrmHst;
        QMdiSubWindow* sub = showChild(history);
        // It stays above the windows it is read beside.
        sub->setWindowFlag(Qt::WindowStaysOnTopHint);
        history->Form_Load();
    }
    return history;
}

void MDIMain::ComboHis_Click() {
    // Each step runs even when an earlier one fails.
    platform::BusyCursor busy;
    QString key;
    platform::guard(
        [&] { key = platform::trimBlanks(ComboHis2->itemText(ComboHis->currentIndex())); });
    platform::guard([&] {
        if (copy.isNull()) {
            platform::beep();
            return;
        }
        // Copies are appended, the newest listed first: the chosen one of identical entries
        // is the one with as many identical entries below it (older) as blocks before it.
        int older = 0;
        for (int i = ComboHis->currentIndex() + 1; i < ComboHis2->count(); ++i)
            older += platform::trimBlanks(ComboHis2->itemText(i)) == key;
        const QString text = copy->Rtxt1->text();
        qsizetype at = key.isEmpty() ? -1 : text.indexOf(key);
        for (int n = 0; n < older && at >= 0; ++n) {
            const qsizetype next = text.indexOf(key, at + 1);
            if (next < 0) break;  // edited away: the last one there
            at = next;
        }
        if (at < 0) {
            platform::beep();
            return;
        }
        showBlockAt(copy->Rtxt1, int(at));
        platform::bringToFront(copy);
    });
}

void MDIMain::HstForm_Remake() {
    FrmHst* hst = historyWindow();
    hst->NOWREMAKE = true;
    const QListWidgetItem* chosen = hst->ListHst->currentItem();
    const QString remembered = chosen ? chosen->text() : QString();
    hst->ListHst->clear();
    hst->ListHst2->clear();
    // Oldest first: ComboHis holds the newest at position 0.
    for (int i = ComboHis->count() - 1; i >= 0; --i) {
        hst->ListHst->addItem(ComboHis->itemText(i));
        hst->ListHst2->addItem(ComboHis2->itemText(i));
        hst->ListHst->setCurrentRow(hst->ListHst->count() - 1);
    }
    hst->NOWREMAKE = false;
    platform::bringToFront(hst);
    if (!remembered.isEmpty()) {
        const QList<QListWidgetItem*> same = hst->ListHst->findItems(remembered, Qt::MatchExactly);
        if (!same.isEmpty()) hst->ListHst->setCurrentItem(same.first());
    }
    hst->ListHst_Click();
    hst->ListHst->setFocus();
}

void MDIMain::CmdHst_Click() {
    if (ComboHis->count() == 0) return;
    platform::BusyCursor busy;
    HstForm_Remake();
}

void MDIMain::showMainMenuStrip() {
    platform::unload(menuStrip);
    menuStrip = new FrmTest;
    showChild(menuStrip);
    menuStrip->Form_Load();
    platform::bringToFront(menuStrip);
}

void MDIMain::TxtJouFind_KeyPress(int KeyAscii) {
    if (KeyAscii != 13) return;
    jumpTo(TxtJouFind->text());
}

bool MDIMain::openHit(const QString& name, const QString& code, const QString& words,
                      const QString& version) {
    platform::BusyCursor busy;
    QString law;
    for (const store::LawEntry& e : store::readLawList())
        if (e.name == name) law = e.code;
    if (law.isEmpty()) {
        notice(QStringLiteral("%1 は法典コード一覧にありません").arg(name));
        return false;
    }
    FrmTree* tree = browser;
    if (!version.isEmpty()) {
        tree = versionBrowser(law, version);
    } else if (!tree || law.compare(tree->curHCodeT, Qt::CaseInsensitive) != 0) {
        state().CurHCode = law;
        tree = loadBrowser(law);
    }
    platform::bringToFront(tree);
    // Without words it is a link followed: a jump, not a search hit.
    const bool shown = words.isEmpty() ? tree->showJump(code)
                                       : tree->showHit(code, store::splitSearchWords(words));
    if (!shown) {
        notice(isPartKey(code) ? QStringLiteral("%1: 木に%2はありません").arg(name, code)
                               : QStringLiteral("%1: 木に%2 %3はありません")
                                     .arg(name, store::GetJouKouText(code.left(10)),
                                          store::GetJouKouText(code)));
        return false;
    }
    tree->TView1->setFocus();
    return true;
}

void MDIMain::notice(const QString& text) {
    statusBar()->showMessage(text);
}

bool MDIMain::jumpTo(const QString& typed, const QString& currentLaw, FrmTree* target) {
    platform::BusyCursor busy;
    // Resolved against the records first: a typo must not clear the tree being read.
    const LookupTarget found = resolveLookup(typed, currentLaw);
    if (!found.error.isEmpty()) {
        notice(found.error);
        platform::beep();
        return false;
    }
    if (!target) TxtJouFind->setText(found.shown);
    const QString law = found.lawCode;
    FrmTree* tree = target;
    // A past version's browser reads its own law only: another law opens as from the box.
    if (tree && !tree->version().isEmpty() &&
        law.compare(tree->curHCodeT, Qt::CaseInsensitive) != 0)
        tree = nullptr;
    // The lookup works on the default browser: its law decides whether the tree is built
    // anew, not the current law, which a further browser may have set when it was activated.
    // Codes compare without regard to case: a law listed as "ab" is the same law as "AB".
    if (tree) {
        if (law.compare(tree->curHCodeT, Qt::CaseInsensitive) != 0) {
            tree->curHCodeT = law;
            state().CurHCode = law;
            tree->ClearTree();
            tree->MakeTreeOne(law, state().TreeBuildMode);
        }
    } else if (browser.isNull() || law.compare(browser->curHCodeT, Qt::CaseInsensitive) != 0) {
        state().CurHCode = law;
        tree = loadBrowser(law);
    } else {
        tree = browser;
        platform::bringToFront(tree);
    }
    // A past version's browser says which text it is.
    const QString lawName =
        found.lawName + (tree->asOf().isEmpty() ? QString() : u'（' + tree->asOf() + u'）');
    if (!tree->showJump(found.code)) {
        notice(QStringLiteral("%1: %2の木に%3はありません")
                   .arg(found.shown, lawName, store::GetJouKouText(found.code)));
        return false;
    }
    notice(found.place.isEmpty()
               ? placeNotice(found.shown, lawName, found.code)
               : QStringLiteral("%1: %2 %3").arg(found.shown, lawName, found.place));
    return true;
}

void MDIMain::searchAsTyped() {
    // Only words: blanks alone would be refused with a message, and the same text again
    // would only repeat what is on show.
    const QString text = TxtJouFindT->text();
    bool words = false;
    for (const QChar c : text) words = words || (c != u' ' && c != QChar(0x3000));
    if (!words || text == lastTyped_ || searching_) return;
    lastTyped_ = text;
    const bool focused = TxtJouFindT->hasFocus();
    runWordSearch(false);
    if (focused) {
        activateWindow();
        TxtJouFindT->setFocus();
    }
}

void MDIMain::TxtJouFindT_KeyPress(int KeyAscii) {
    if (KeyAscii != 13) return;
    lastTyped_ = TxtJouFindT->text();
    runWordSearch(true);
}

void MDIMain::runWordSearch(bool announceLimit) {
    if (TxtJouFindT->text().isEmpty()) return;
    // One search at a time: Enter again while one runs (it lets events in) starts nothing.
    if (searching_) {
        platform::beep();
        return;
    }
    searching_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{searching_};
    platform::BusyCursor busy;
    LoadLawButtons();  // laws imported or removed since the start are searched, or not
    platform::unload(nowSearch);
    nowSearch = new FrmNowSearch;
    showChild(nowSearch);
    platform::keepInside(nowSearch);
    platform::bringToFront(nowSearch);
    QStringList names = state().HoutenNames.mid(1);
    const QPointer<FrmNowSearch> progress = nowSearch;
    SearchOptions options;
    options.parts = ChkParts->isChecked();
    options.fold =
        ChkFold->isChecked() ? std::max(searchFold(), store::Fold::Variants) : store::Fold::None;
    options.announceLimit = announceLimit;
    const SearchResult r = progress->runSearch(names, TxtJouFindT->text(), options);
    // Refused, or the viewer closing: nothing more to show.
    if (r.refused || closing()) return;
    FrmFound* result = foundWindow();
    result->Rtxt1->setText(QString());
    result->showResult(r.text, r.found, r.words, options.fold);
    platform::bringToFront(result);
    if (progress && progress->isVisible()) {
        progress->showFinished(r);
        platform::bringToFront(progress);
    }
}

void MDIMain::CmdR_Click() {
    // Every step runs even when an earlier one fails.
    auto step = [](auto&& f) {
        try {
            f();
        } catch (...) {
        }
    };
    step([this] {
        if (isMaximized()) showNormal();
    });
    step([this] {
        const QRect screen =
            this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
        const int w = platform::pixelsToTwips(screen.width()) - 50;
        const int h = platform::pixelsToTwips(screen.height()) - 50;
        move(screen.topLeft() + QPoint(platform::twipsToPixels(25), platform::twipsToPixels(25)));
        resize(platform::twipsToPixels(w) - (frameGeometry().width() - width()),
               platform::twipsToPixels(h) - (frameGeometry().height() - height()));
    });
    // The default browser and the edit window, when they are open.
    QWidget* browser = this->browser.data();
    QWidget* copy = this->copy.data();
    int browserHeight = 5000;
    step([&] {
        if (!browser) return;
        platform::setGeometryTwips(browser, 0, 0, 7425, 5000);
        browserHeight = platform::geometryTwips(browser).height();
    });
    step([&] {
        if (!copy) return;
        // The two bars are the tool bars; the menu bar is not one of them.
        const int bars =
            platform::pixelsToTwips(findChild<QToolBar*>(QStringLiteral("Bar1"))->height()) +
            platform::pixelsToTwips(findChild<QToolBar*>(QStringLiteral("Bar2"))->height());
        const int mainH = platform::pixelsToTwips(frameGeometry().height());
        const int mainW = platform::pixelsToTwips(frameGeometry().width());
        platform::setGeometryTwips(copy, 0, browserHeight, mainW - 200,
                                   mainH - browserHeight - bars - 500 - 300 - 300);
        if (auto* pane = copy->findChild<platform::TextPane*>(QStringLiteral("Rtxt1")))
            pane->setFontSize(19);
    });
    step([&] {
        if (browser)
            if (QWidget* tree = browser->findChild<QWidget*>(QStringLiteral("TView1")))
                tree->setFocus();
    });
}

void MDIMain::Mn_File_Lexbench_Click() {
    const QString name = platform::executableName(QStringLiteral("Lexbench"));
    const QString path = store::joinPath(store::folders().program, name);
    if (!QFileInfo(path).isFile()) {
        platform::msgBox(QStringLiteral("ファイル %1 が見つかりません。").arg(name));
        return;
    }
    if (!platform::startProgram(path, {}, store::folders().program))
        platform::msgBox(QStringLiteral("ファイル %1 を起動できません。").arg(name));
}

void MDIMain::Mn_Help_About_Click() {
    FrmAbout about(this);
    about.exec();
}

void MDIMain::closeEvent(QCloseEvent* e) {
    // Kept before the windows go (the edit window takes the history entries with it).
    if (!sessionSaved_) {
        sessionSaved_ = true;
        platform::guard([this] { saveSession(); });
    }
    // Closing the main window by any means unloads every window of the viewer.
    platform::MdiFrame::closeEvent(e);
    if (!e->isAccepted()) return;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible()) w->close();
}

bool MDIMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area()->viewport() && event->type() == QEvent::MouseButtonPress)
        Mn_File->menuAction()->setVisible(true);
    if (watched == area()->viewport() && event->type() == QEvent::Resize)
        platform::guard([this] { fitBrowsers(); });
    return platform::MdiFrame::eventFilter(watched, event);
}

}  // namespace viewer

#include "viewer/browser/ui/frmtree.h"

#include "exchange/export.h"
#include "platform/error.h"
#include "platform/keys.h"
#include "platform/launch.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "platform/ui/busy.h"
#include "platform/ui/findbar.h"
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
#include "viewer/browser/citedby.h"
#include "viewer/browser/display.h"
#include "viewer/browser/lawtree.h"
#include "viewer/browser/refs.h"
#include "viewer/browser/terms.h"
#include "viewer/browser/ui/frmcitedby.h"
#include "viewer/browser/ui/frmprint.h"
#include "viewer/browser/ui/frmterms.h"
#include "viewer/browser/ui/partview.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/log.h"
#include "viewer/marks/ui/frmmarks.h"
#include "viewer/print/pdf.h"
#include "viewer/shell/lookup.h"
#include "viewer/shell/reading.h"
#include "viewer/shell/search.h"
#include "viewer/shell/state.h"
#include "viewer/shell/ui/frmnowsearch.h"
#include "viewer/shell/ui/mdimain.h"
#include "viewer/tools/ui/frmhistory.h"
#include "viewer/tools/ui/frmlawdiff.h"
#include "viewer/tools/ui/frmrcl.h"
#include "viewer/tools/ui/frmrevisions.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrinter>
#include <QSignalBlocker>
#include <QTextBrowser>
#include <QTextCursor>
#include <QThread>

#include <optional>

namespace viewer {

namespace {
constexpr int kProblemLines = 20;  // rows listed in the message of a build
constexpr int kSmallBrowser = 520;
constexpr int kParagraphNoteLength = 10;  // the first characters a paragraph's note stands on  //
                                          // pixels: below, the text pane takes at least half
}  // namespace

FrmTree::FrmTree(const QString& law, QWidget* parent) : QWidget(parent), curHCodeT(law) {
    setObjectName(QStringLiteral("FrmTree"));
    LblVersion = new QLabel(this);
    LblVersion->setObjectName(QStringLiteral("LblVersion"));
    LblVersion->setFont(platform::japaneseFont(platform::kGothic, 10));
    LblVersion->setStyleSheet(
        QStringLiteral("QLabel { background: #fff4d6; color: #5a4400; padding: 2px 6px; }"));
    LblVersion->setWordWrap(true);  // a long amending law's title takes a second line
    LblVersion->hide();
    TView1 = new platform::KeyedTree(this);
    TView1->setObjectName(QStringLiteral("TView1"));
    TView1->setFont(platform::japaneseFont(platform::kGothic, 10));
    Rtxt1 = new platform::TextPane(this);
    Rtxt1->setObjectName(QStringLiteral("Rtxt1"));
    const ReadingSettings reading = loadReadingSettings();
    Rtxt1->setFontName(reading.fontFamily);
    Rtxt1->setFontSize(reading.fontSize);
    Rtxt1->setLineSpacing(reading.lineSpacing);
    Rtxt1->setReadOnly(!store::folders().admin);
    // References in the text are links: a preview on hover, a jump on a click.
    platform::connectGuarded(Rtxt1, &platform::TextPane::linkClicked, this,
                             [this](const QString& target) { followReference(target); });
    // A click on a marker's note opens it.
    platform::connectGuarded(Rtxt1, &platform::TextPane::noteClicked, this, [this](int tint) {
        const QList<MarkSpan> spans = markerSpans(markers_, shownParagraphs_);
        if (tint >= 0 && tint < spans.size()) editNote(spans[tint].id);
    });
    Rtxt1->setLinkTip([this](const QString& target) {
        if (target.startsWith(QStringLiteral("term:"))) return termTip(target);
        return refs_ ? referenceTip(*refs_, target) : QString();
    });
    // Moving to a node with the mouse or the keys shows it, as the tree control did; a click
    // on the node already current shows it again. A press that moved to the node is not
    // shown twice by its click.
    platform::connectGuarded(
        TView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
            if (!item) return;
            pressShown_ = QGuiApplication::mouseButtons() != Qt::NoButton ? item : nullptr;
            TView1_NodeClick(item);
        });
    platform::connectGuarded(TView1, &QTreeWidget::itemClicked, this,
                             [this](QTreeWidgetItem* item) {
                                 const bool shown = item == pressShown_;
                                 pressShown_ = nullptr;
                                 if (!shown) TView1_NodeClick(item);
                             });
    Rtxt1->setContextMenuPolicy(Qt::CustomContextMenu);
    platform::connectGuarded(Rtxt1, &QWidget::customContextMenuRequested, this,
                             [this](const QPoint& at) { paneMenu(at); });
    PartPane = new QTextBrowser(this);
    PartPane->setObjectName(QStringLiteral("PartPane"));
    PartPane->setOpenLinks(false);
    platform::FindBar::attach(PartPane);  // Ctrl+F in a drawn table as in the text
    PartPane->hide();
    TView1->installEventFilter(this);
    Rtxt1->installEventFilter(this);
    buildMenus();
    resize(495, 333);
}

void FrmTree::buildMenus() {
    auto item = [this](QMenu* menu, const char* name, const QString& caption, auto&& action) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        platform::connectGuarded(a, &QAction::triggered, this, action);
        return a;
    };
    auto submenu = [this](const char* name, const QString& caption) {
        auto* m = new QMenu(caption, this);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    Mn_Title = new QAction(QStringLiteral("<メニュー：ツリー画面>"), this);
    Mn_Title->setObjectName(QStringLiteral("Mn_Title"));
    platform::connectGuarded(Mn_Title, &QAction::triggered, this, [] {
        if (MDIMain* main = MDIMain::instance()) main->showMainMenuStrip();
    });
    Mn_File = submenu("Mn_File", QStringLiteral("ファイル(&F)"));
    Mn_File_MakeHt = item(Mn_File, "Mn_File_MakeHt", QStringLiteral("法典テキスト作成(&M Ctrl+M)"),
                          [this] { Form_KeyDown(Qt::Key_M, platform::kCtrlMask); });
    Mn_File_Duplicate = item(Mn_File, "Mn_File_Duplicate", QStringLiteral("複製(&N Ctrl+N)"),
                             [this] { duplicate(); });
    Mn_File_HTML = item(Mn_File, "Mn_File_HTML", QStringLiteral("HTML作成(&H)"),
                        [this] { Mn_File_HTML_Click(); });
    Mn_File_Pdf =
        item(Mn_File, "Mn_File_Pdf", QStringLiteral("PDF に保存(&P)…"), [this] { openPrint(); });
    Mn_File_Print =
        item(Mn_File, "Mn_File_Print", QStringLiteral("印刷(&I)…"), [this] { openPrint(); });
    Mn_File_Close = item(Mn_File, "Mn_File_Close", QStringLiteral("閉じる(&C)"),
                         [this] { platform::unload(this); });
    Mn_Joubun = submenu("Mn_Joubun", QStringLiteral("条文(&J)"));
    Mn_Joubun_Copy = item(Mn_Joubun, "Mn_Joubun_Copy", QStringLiteral("編集画面へコピー(&C F3)"),
                          [this] { Form_KeyDown(Qt::Key_F3, 0); });
    Mn_Joubun_Edit = item(Mn_Joubun, "Mn_Joubun_Edit", QStringLiteral("修正(&E F7)"),
                          [this] { Form_KeyDown(Qt::Key_F7, 0); });
    Mn_Joubun_Diff = item(Mn_Joubun, "Mn_Joubun_Diff", QStringLiteral("改正比較(&D)…"),
                          [this] { Mn_Joubun_Diff_Click(); });
    Mn_Joubun_Revisions = item(Mn_Joubun, "Mn_Joubun_Revisions", QStringLiteral("改正履歴(&H)…"),
                               [this] { openRevisions(); });
    Mn_Joubun_History = item(Mn_Joubun, "Mn_Joubun_History", QStringLiteral("沿革(&K)…"),
                             [this] { openHistory(); });
    Mn_Joubun_CitedBy = item(Mn_Joubun, "Mn_Joubun_CitedBy", QStringLiteral("参照元(&B)…"),
                             [this] { openCitedBy(); });
    Mn_Joubun_Terms = item(Mn_Joubun, "Mn_Joubun_Terms", QStringLiteral("用語一覧(&T)…"),
                           [this] { openTerms(); });
    Mn_Joubun_FindInEntry =
        item(Mn_Joubun, "Mn_Joubun_FindInEntry", QStringLiteral("目次の中を検索(&M)…"), [this] {
            const QString words = platform::inputBox(
                QStringLiteral("選んだ目次の中で検索するキーワードを入力してください。"));
            if (!words.isEmpty() && FindWordInEntry(words) == 0)
                platform::msgBox(QStringLiteral("検索キーワードが見つかりません。"));
        });
    Mn_Joubun_Versions = submenu("Mn_Joubun_Versions", QStringLiteral("版を読む(&R)"));
    Mn_Joubun->addMenu(Mn_Joubun_Versions);
    platform::connectGuarded(Mn_Joubun_Versions, &QMenu::aboutToShow, this,
                             [this] { fillVersionsMenu(); });
    Mn_Tool = submenu("Mn_Tool", QStringLiteral("ツール(&T)"));
    Mn_Tool_Timer = item(Mn_Tool, "Mn_Tool_Timer", QStringLiteral("タイマー(&T Ctrl+T)"),
                         [this] { Form_KeyDown(Qt::Key_T, platform::kCtrlMask); });
    Mn_Tool_Marks =
        item(Mn_Tool, "Mn_Tool_Marks", QStringLiteral("マーカー・しおり一覧(&L Ctrl+L)"),
             [this] { Form_KeyDown(Qt::Key_L, platform::kCtrlMask); });
    Mn_View = submenu("Mn_View", QStringLiteral("表示(&V)"));
    Mn_View_Whole = item(Mn_View, "Mn_View_Whole", QStringLiteral("条文全体を表示(&W)"), [this] {
        platform::Settings(QStringLiteral("LXA"), QStringLiteral("VIEW"))
            .save(kWholeArticleKey,
                  Mn_View_Whole->isChecked() ? QStringLiteral("True") : QStringLiteral("False"));
        if (QTreeWidgetItem* n = TView1->selectedNode()) TView1_NodeClick(n);
    });
    Mn_View_Whole->setCheckable(true);
    Mn_View_Whole->setChecked(platform::settingToBool(
        platform::Settings(QStringLiteral("LXA"), QStringLiteral("VIEW")).get(kWholeArticleKey),
        true));
    Mn_Ratio = submenu("Mn_Ratio", QStringLiteral("画面比率(&R)"));
    Mn_Ratio_Down = item(Mn_Ratio, "Mn_Ratio_Down", QStringLiteral("参照部の比率を下げる(&D F11)"),
                         [this] { Form_KeyDown(Qt::Key_F11, 0); });
    Mn_Ratio_Up = item(Mn_Ratio, "Mn_Ratio_Up", QStringLiteral("参照部の比率を上げる(&U F12)"),
                       [this] { Form_KeyDown(Qt::Key_F12, 0); });
}

QList<QAction*> FrmTree::childMenus() const {
    return {Mn_Title,
            Mn_File->menuAction(),
            Mn_Joubun->menuAction(),
            Mn_View->menuAction(),
            Mn_Tool->menuAction(),
            Mn_Ratio->menuAction()};
}

QString FrmTree::pagesmithPath() const {
    return store::joinPath(store::folders().program,
                           platform::executableName(QStringLiteral("Pagesmith")));
}

bool FrmTree::isParagraphKey(const QString& key) {
    return key.size() == 16 && platform::valInt(key.mid(10, 2)) > 0;
}

bool FrmTree::Form_KeyDown(int KeyCode, int Shift) {
    // Tested in this order; the rows without a modifier value act with any modifiers.
    switch (KeyCode) {
        case Qt::Key_Left:
        case Qt::Key_Right:
            // Alt+← / Alt+→: back and forward along the references followed.
            if (Shift != platform::kAltMask) return false;
            if (KeyCode == Qt::Key_Left ? !goBack() : !goForward()) platform::beep();
            return true;
        case Qt::Key_F1: {
            const QString answer = platform::inputBox(QStringLiteral("コードを入力してください。"));
            lookup(answer);
            return true;
        }
        case Qt::Key_F2: {
            const QString words =
                platform::inputBox(QStringLiteral("検索キーワードを入力してください。"));
            // A refused text (blanks only) has had its message: not "not found" as well.
            if (!words.isEmpty() && FindWord(words) == 0)
                platform::msgBox(QStringLiteral("検索キーワードが見つかりません。"));
            return true;
        }
        case Qt::Key_F4:
            if (Shift != platform::kShiftMask) return false;
            duplicate();
            return true;
        case Qt::Key_F5:
        case Qt::Key_F6:
            switchTreeMode(KeyCode == Qt::Key_F5 ? 1 : 0);
            return true;
        case Qt::Key_F7:
            if (!refusedInVersion()) correctSelected();
            return true;
        case Qt::Key_F8:
            if (Shift == 0) {
                if (platform::msgBox(QStringLiteral("全てのノードを展開します。"),
                                     platform::Buttons::OkCancel) == platform::Answer::Cancel)
                    return true;
                platform::BusyCursor busy;
                TView1->setUpdatesEnabled(false);
                TView1->expandAll();
                TView1->setUpdatesEnabled(true);
                selectFirstQuietly();
                return true;
            }
            if (Shift != platform::kShiftMask) return false;
            if (refusedInVersion()) return true;
            if (MDIMain* main = MDIMain::instance()) main->openExpand(curHCodeT);
            return true;
        case Qt::Key_F9:
            TView1->setUpdatesEnabled(false);
            TView1->collapseAll();
            TView1->setUpdatesEnabled(true);
            selectFirstQuietly();
            return true;
        case Qt::Key_F11:
            // Single precision: from 0.4 the steps reach 0.1, not 0.2.
            if (Ratio > 0.2f) {
                Ratio -= 0.1f;
                layoutPanes();
            }
            return true;
        case Qt::Key_F12:
            if (Ratio < 0.8f) {
                Ratio += 0.1f;
                layoutPanes();
            }
            return true;
        case Qt::Key_F3: {
            QString key = TView1->selectedKey();
            // An article of one paragraph is that paragraph.
            if (const QTreeWidgetItem* n = TView1->selectedNode();
                n && isArticleKey(key) && n->childCount() == 1 &&
                platform::KeyedTree::keyOf(n->child(0)).endsWith(QStringLiteral("010000")))
                key = platform::KeyedTree::keyOf(n->child(0));
            if (isParagraphKey(key)) SetJou(key);
            return true;
        }
        default:
            break;
    }
    if (Shift != platform::kCtrlMask) return false;
    // The pages and the whole-law text are of the current records, not of a past version.
    if ((KeyCode == Qt::Key_D || KeyCode == Qt::Key_E || KeyCode == Qt::Key_R ||
         KeyCode == Qt::Key_M) &&
        refusedInVersion())
        return true;
    switch (KeyCode) {
        case Qt::Key_D:
            openPage();
            return true;
        case Qt::Key_E:
            editPage();
            return true;
        case Qt::Key_R:
            remakePage();
            return true;
        case Qt::Key_H:
            if (MDIMain* main = MDIMain::instance()) main->HstForm_Remake();
            return true;
        case Qt::Key_N:
            duplicate();
            return true;
        case Qt::Key_M:
            if (MDIMain* main = MDIMain::instance()) main->openExpand(curHCodeT);
            return true;
        case Qt::Key_T:
            if (MDIMain* main = MDIMain::instance()) main->showDaily();
            return true;
        case Qt::Key_L:
            if (MDIMain* main = MDIMain::instance()) main->marksWindow();
            return true;
        default:
            return false;
    }
}

void FrmTree::correctSelected() {
    MDIMain* main = MDIMain::instance();
    if (!main || refusedInVersion()) return;
    try {
        const QString key = TView1->selectedKey();
        if (!isParagraphKey(key)) {
            platform::unload(main->correction);
            main->correction = nullptr;
            return;
        }
        FrmRCL* correction = main->correctionWindow(true);
        correction->TxtCode->setText(key);
        correction->curHCodeR = curHCodeT;
        correction->SetJou(key);
        correction->Rtxt1->setFocus();  // ready for the edit, and for Esc
    } catch (...) {
        // The command ends silently on an error.
        qCWarning(lcViewer) << "correction of" << TView1->selectedKey() << ":"
                            << platform::describeCurrentException();
    }
}

void FrmTree::selectFirstQuietly() {
    // The selection moves without showing the node: the pane keeps its text.
    if (TView1->nodeCount() == 0) return;
    const QSignalBlocker quiet(TView1);
    TView1->selectNode(TView1->nodes().first());
}

void FrmTree::lookup(const QString& answer) {
    if (platform::trimBlanks(answer).isEmpty()) return;  // the box cancelled
    MDIMain* main = MDIMain::instance();
    if (!main) return;
    main->jumpTo(answer, curHCodeT, this);
    TView1->setFocus();
}

void FrmTree::switchTreeMode(int mode) {
    // Each step runs even when an earlier one failed.
    auto step = [](auto&& f) { platform::guard(f); };
    platform::BusyCursor busy;
    QString key;
    step([&] { key = TView1->selectedKey(); });
    step([&] { ClearTree(); });
    step([&] { state().TreeBuildMode = mode; });
    step([&] { MakeTreeOne(curHCodeT, mode); });
    step([&] {
        if (QTreeWidgetItem* n = key.isEmpty() ? nullptr : TView1->node(key)) {
            TView1->selectNode(n);
            TView1_NodeClick(n);
        }
    });
}

FrmTree* FrmTree::duplicate() {
    platform::BusyCursor busy;
    MDIMain* main = MDIMain::instance();
    return main ? main->openBrowser(curHCodeT, version_) : nullptr;
}

void FrmTree::Mn_File_HTML_Click() {
    platform::startProgram(pagesmithPath(), {curHCodeT});
}

void FrmTree::openPage() {
    if (!QFileInfo(pagesmithPath()).isFile()) return;
    const QString key = TView1->selectedKey();
    if (key.isEmpty()) return;
    const QString page = store::GetHtmlPath(key);
    if (QFileInfo(page).isFile()) platform::shellOpen(page);
}

void FrmTree::editPage() {
    if (!QFileInfo(pagesmithPath()).isFile() || run_.running()) return;
    const QString key = TView1->selectedKey();
    if (key.isEmpty()) return;
    const QString page = store::GetHtmlPath(key);
    if (QFileInfo(page).isFile())
        platform::shellEdit(page);
    else if (isParagraphKey(key))
        generatePage(key, page);
}

void FrmTree::remakePage() {
    // A second Ctrl+R while a page is awaited does nothing.
    if (!QFileInfo(pagesmithPath()).isFile() || run_.running()) return;
    const QString key = TView1->selectedKey();
    if (key.isEmpty()) return;
    const QString page = store::GetHtmlPath(key);
    if (QFileInfo(page).isFile()) {
        if (platform::msgBox(QStringLiteral("該当ファイルが既に存在します。作り直しますか？"),
                             platform::Buttons::OkCancel) == platform::Answer::Cancel)
            return;
        if (!QFile::remove(page)) return;
        generatePage(key, page);
    } else if (isParagraphKey(key)) {
        generatePage(key, page);
    }
}

bool FrmTree::generatePage(const QString& key, const QString& page) {
    if (!platform::startProgram(pagesmithPath(), {key})) {
        platform::msgBox(QStringLiteral("%1 を起動できません。").arg(pagesmithPath()));
        return false;
    }
    // Events keep running while the page is awaited; Esc or closing the window ends the wait.
    platform::RunState::Scope waiting(run_);
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(page)) {
        if (run_.stopRequested() || waited.elapsed() >= pageWaitMs) {
            platform::msgBox(QStringLiteral("ページ %1 は作られませんでした。").arg(page));
            return false;
        }
        platform::pumpEvents();
        QThread::msleep(10);
    }
    platform::shellEdit(page);
    if (QTreeWidgetItem* n = TView1->selectedNode()) TView1_NodeClick(n);
    return true;
}

bool FrmTree::Rtxt1_KeyPress(int KeyAscii) {
    if (KeyAscii != 13 || !store::folders().admin || !version_.isEmpty()) return false;
    const QString text = Rtxt1->text();
    const qsizetype lastBreak = text.lastIndexOf(QStringLiteral("\r\n"));
    const QString line = lastBreak < 0 ? text : text.mid(lastBreak + 2);
    if (line == QStringLiteral("?")) {
        QString list;
        for (const char* c : {"make idx", "make number", "make ht", "make each", "make each/m0",
                              "make all", "make all/m0", "dir out", "dir db", "dir app"})
            list += QString::fromLatin1(c) + QStringLiteral("\r\n");
        Rtxt1->setText(list);
        return true;
    }
    bool export_ = false;
    for (const char* word : {"make idx", "make ht", "make number", "make each", "make all"})
        export_ = export_ || line.startsWith(QLatin1String(word));
    // One command at a time: the exports let events in, and Enter may come again meanwhile.
    if (export_ && run_.running()) {
        platform::beep();
        return true;
    }
    std::optional<platform::RunState::Scope> running;
    if (export_) running.emplace(run_);
    // What an export wrote is named below the command, and the next command goes after it.
    auto written = [this, &text](const exchange::ExportResult& r) {
        QString lines;
        for (const QString& path : r.written)
            lines += QStringLiteral("%1 を書き出しました: %2\r\n")
                         .arg(QFileInfo(path).fileName(), QDir::toNativeSeparators(path));
        if (r.written.isEmpty()) lines = QStringLiteral("何も書き出しませんでした。\r\n");
        Rtxt1->setText(text + QStringLiteral("\r\n") + lines);
        Rtxt1->moveCursor(QTextCursor::End);
        return true;
    };
    if (line.startsWith(QStringLiteral("make idx"))) {
        platform::BusyCursor busy;
        return written(exchange::WriteIdxFile(platform::FramePump()));
    } else if (line.startsWith(QStringLiteral("make ht"))) {
        platform::BusyCursor busy;
        return written(exchange::WriteHtFile(platform::FramePump()));
    } else if (line.startsWith(QStringLiteral("make number"))) {
        platform::BusyCursor busy;
        Rtxt1->setText(exchange::MakeNumberList(curHCodeT, platform::FramePump()));
        return true;  // the typed line has gone with the old text
    } else if (line.startsWith(QStringLiteral("make each")) ||
               line.startsWith(QStringLiteral("make all"))) {
        platform::BusyCursor busy;
        // By value: the events it lets in may move this window to another law.
        return written(exchange::MakeHoutenText(curHCodeT, line, platform::FramePump()));
    } else if (line.startsWith(QStringLiteral("dir out"))) {
        platform::shellOpen(store::folders().out);
    } else if (line.startsWith(QStringLiteral("dir db"))) {
        platform::shellOpen(store::folders().db);
    } else if (line.startsWith(QStringLiteral("dir app"))) {
        platform::shellOpen(store::folders().program);
    }
    return false;
}

bool FrmTree::guardPaneEdit(QEvent* event) {
    // A past version is read only, whoever reads it.
    const bool admin = store::folders().admin && version_.isEmpty();
    if (Rtxt1->isReadOnly() == admin) Rtxt1->setReadOnly(!admin);
    if (!admin) return false;  // read-only: the pane itself refuses every change
    bool edits = event->type() == QEvent::InputMethod;
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        const bool ctrl = k->modifiers() & Qt::ControlModifier;
        edits = k->key() == Qt::Key_Backspace || k->key() == Qt::Key_Delete ||
                k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter ||
                (ctrl && (k->key() == Qt::Key_V || k->key() == Qt::Key_X || k->key() == Qt::Key_Z ||
                          k->key() == Qt::Key_Y)) ||
                (!ctrl && !k->text().isEmpty() && k->text()[0].isPrint());
        if (!edits) return false;
        const QString text = Rtxt1->toPlainText();
        const int lineStart = int(text.lastIndexOf(u'\n') + 1);
        QTextCursor c = Rtxt1->textCursor();
        if (std::min(c.position(), c.anchor()) < lineStart) {
            // Only the command line takes typing: the text above it stays as shown.
            c.movePosition(QTextCursor::End);
            Rtxt1->setTextCursor(c);
        }
        if (k->key() == Qt::Key_Backspace && Rtxt1->textCursor().position() == lineStart &&
            !Rtxt1->textCursor().hasSelection())
            return true;
        if (ctrl && (k->key() == Qt::Key_Z || k->key() == Qt::Key_Y)) return true;
        return false;
    }
    if (edits) {
        QTextCursor c = Rtxt1->textCursor();
        const int lineStart = int(Rtxt1->toPlainText().lastIndexOf(u'\n') + 1);
        if (std::min(c.position(), c.anchor()) < lineStart) {
            c.movePosition(QTextCursor::End);
            Rtxt1->setTextCursor(c);
        }
    }
    return false;
}

bool FrmTree::eventFilter(QObject* watched, QEvent* event) {
    // A selection and a colour key (1-6, 0 an underline) make a marker; Delete removes one.
    if (watched == Rtxt1 && event->type() == QEvent::KeyPress && Rtxt1->isReadOnly()) {
        const auto* k = static_cast<QKeyEvent*>(event);
        const bool plain = (k->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && k->key() >= Qt::Key_0 && k->key() <= Qt::Key_6 &&
            Rtxt1->textCursor().hasSelection()) {
            platform::guard([&] { markSelection(k->key() - Qt::Key_0); });
            return true;
        }
        if (plain && k->key() == Qt::Key_Delete) {
            platform::guard([&] { removeMarkersHere(); });
            return true;
        }
    }
    if (watched == Rtxt1 &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::InputMethod ||
         event->type() == QEvent::FocusIn)) {
        bool swallow = false;
        platform::guard([&] { swallow = guardPaneEdit(event); });
        if (swallow) return true;
    }
    // Key preview: the window's keys before the tree's and the pane's.
    if ((watched == TView1 || watched == Rtxt1) && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (run_.running() && k->key() == Qt::Key_Escape) {
            run_.requestStop();
            return true;
        }
        bool handled = false;
        platform::guard(
            [&] { handled = Form_KeyDown(k->key(), platform::shiftMask(k->modifiers())); });
        if (handled) return true;
        if (watched == Rtxt1 && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
            platform::guard([&] { handled = Rtxt1_KeyPress(13); });
            if (handled) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmTree::Form_Load() {
    platform::setGeometryTwips(this, 0, 0, 7425, 5000);
    Ratio = 0.4f;
    if (curHCodeT.isEmpty()) curHCodeT = QStringLiteral("KP");
    int open = 0;
    if (MDIMain* main = MDIMain::instance())
        for (QWidget* w : main->children())
            if (w->objectName() == objectName()) ++open;
    if (open > 1) {
        Tag = QString::number(open);
        // Its pane keeps the first one's colours: a reader reads the same page in each.
        const int mainWidth =
            MDIMain::instance() ? platform::pixelsToTwips(MDIMain::instance()->width()) : 0;
        platform::setGeometryTwips(this, std::max(0, mainWidth - 7000 - 200), 0, 7000, 5000);
    }
    setWindowTitle(lawCaption());
    Mn_File_HTML->setVisible(QFileInfo(pagesmithPath()).isFile() && version_.isEmpty());
    state().TreeBuildMode = 1;
    MakeTreeOne(curHCodeT, state().TreeBuildMode);
    layoutPanes();
}

void FrmTree::readVersion(const QString& id) {
    version_ = id;
    asOf_.clear();
    LblVersion->hide();
    if (!id.isEmpty()) {
        if (curHCodeT.isEmpty()) curHCodeT = QStringLiteral("KP");
        const store::LawVersion v = store::keptVersion(store::GetHoutenName(curHCodeT), id);
        asOf_ = store::asOfText(v);
        QStringList bar{asOf_};
        if (!v.info.amendedBy.isEmpty()) bar << QStringLiteral("改正: ") + v.info.amendedBy;
        // A revision kept before it takes effect shows what will change.
        const QDate date = QDate::fromString(v.info.sourceDate, Qt::ISODate);
        if (date.isValid() && date > QDate::currentDate()) bar << QStringLiteral("未施行");
        LblVersion->setText(bar.join(QStringLiteral(" · ")));
        LblVersion->setToolTip(store::versionName(v));
        LblVersion->show();
        Rtxt1->setReadOnly(true);
    }
    for (QAction* a : {Mn_Joubun_Edit, Mn_File_MakeHt}) a->setEnabled(id.isEmpty());
    refs_.reset();  // its laws are read from elsewhere now
    layoutPanes();
}

void FrmTree::fillVersionsMenu() {
    Mn_Joubun_Versions->clear();
    const QString law = curHCodeT.isEmpty() ? QStringLiteral("KP") : curHCodeT;
    QAction* current = Mn_Joubun_Versions->addAction(QStringLiteral("現在の条文"));
    current->setObjectName(QStringLiteral("current"));
    current->setEnabled(!version_.isEmpty());
    // The other text opens where this one is.
    const QString here = TView1->selectedKey();
    auto showHere = [here](FrmTree* tree) {
        if (tree && !here.isEmpty()) tree->showJump(here);
    };
    connect(current, &QAction::triggered, this, [law, showHere] {
        platform::guard([&] {
            if (MDIMain* main = MDIMain::instance()) showHere(main->loadBrowser(law));
        });
    });
    QList<store::LawVersion> versions = store::listVersions(store::GetHoutenName(law));
    if (versions.isEmpty()) {
        Mn_Joubun_Versions->addAction(QStringLiteral("（残っている版はありません）"))
            ->setEnabled(false);
        return;
    }
    Mn_Joubun_Versions->addSeparator();
    std::reverse(versions.begin(), versions.end());  // newest first, as the revisions are
    for (const store::LawVersion& v : versions) {
        QAction* a = Mn_Joubun_Versions->addAction(store::versionName(v));
        a->setObjectName(v.id);
        a->setEnabled(v.id != version_);
        connect(a, &QAction::triggered, this, [law, id = v.id, showHere] {
            platform::guard([&] {
                if (MDIMain* main = MDIMain::instance()) showHere(main->versionBrowser(law, id));
            });
        });
    }
}

QString FrmTree::lawCaption() const {
    const QString title = store::lawTitle(store::GetHoutenName(curHCodeT));
    return asOf_.isEmpty() ? title : title + u'（' + asOf_ + u'）';
}

bool FrmTree::refusedInVersion() {
    if (version_.isEmpty()) return false;
    platform::beep();
    if (MDIMain* main = MDIMain::instance())
        main->notice(
            QStringLiteral("%1の版は読むだけです。マーカーや修正は今の条文にどうぞ").arg(asOf_));
    return true;
}

void FrmTree::MakeTreeOne(const QString& strHD, int Mode) {
    LawTree tree = buildLawTree(strHD, Mode, version_);
    if (loadReadingSettings().kanjiNumbers) writeNumbersInKanji(tree);
    if (tree.name.isEmpty()) {
        platform::msgBox(QStringLiteral("未登録コードです。"));
        return;
    }
    parts_ = tree.parts;
    terms_.clear();  // read again with the records the tree was built from
    markers_.clear();
    shownParagraphs_.clear();
    platform::guard([&] {
        // Found again in the law as it is now (an import may have moved them); a past
        // version shows none, as they are set on the current text.
        if (!version_.isEmpty()) return;
        if (UserData* data = userData(); data && !data->markers(tree.law).isEmpty())
            markers_ = refreshMarkers(*data, tree.law);
    });
    QList<platform::KeyedTree::NodeSpec> specs;
    specs.reserve(tree.nodes.size());
    for (const TreeNode& n : tree.nodes) specs.append({n.parentKey, n.key, n.text});
    TView1->setUpdatesEnabled(false);
    try {
        TView1->addNodes(specs);
    } catch (...) {
        TView1->setUpdatesEnabled(true);
        throw;
    }
    if (TView1->nodeCount() > 0) {
        QTreeWidgetItem* root = TView1->nodes().first();
        root->setExpanded(true);
        // The root becomes current without being chosen, so the tree taking the focus shows
        // nothing until the reader picks a node.
        const QSignalBlocker quiet(TView1);
        TView1->setCurrentItem(root, 0, QItemSelectionModel::NoUpdate);
    }
    TView1->setUpdatesEnabled(true);
    if (const QString problems = treeProblemsMessage(tree, kProblemLines); !problems.isEmpty())
        platform::msgBox(problems);
}

void FrmTree::ClearTree() {
    TView1->setUpdatesEnabled(false);
    while (TView1->nodeCount() > 0) TView1->removeFirst();
    parts_.clear();
    PartPane->clear();  // another law's part is not left on show
    PartPane->hide();
    Rtxt1->show();
    TView1->setUpdatesEnabled(true);
    Rtxt1->setText(QString());
    setWindowTitle(lawCaption());
}

void FrmTree::TView1_NodeClick(QTreeWidgetItem* node) {
    if (!node) return;
    shownParagraphs_.clear();  // they belong to the text shown until now
    // Each step goes on when an earlier one fails.
    platform::guard([&] {
        // A jump to a paragraph shows its whole article, the paragraph marked.
        QTreeWidgetItem* const jumped = node;
        const bool inArticle = !jumpKey_.isEmpty() &&
                               platform::KeyedTree::keyOf(node) == jumpKey_ &&
                               Mn_View_Whole->isChecked() && node->parent() &&
                               isArticleKey(platform::KeyedTree::keyOf(node->parent()));
        QTreeWidgetItem* const article = inArticle ? node->parent() : node;
        QList<NodeRef> chain;
        for (QTreeWidgetItem* n = article; n; n = n->parent())
            chain.append({platform::KeyedTree::keyOf(n), platform::KeyedTree::textOf(n)});
        QString text = nodeContextText(chain);
        if (showPart(chain[0].key, text)) return;
        if (const auto part = parts_.constFind(chain[0].key); part != parts_.cend()) {
            text += QStringLiteral("\r\n\r\n") + part->text;  // a part is shown whole
        } else if (Mn_View_Whole->isChecked() && isArticleKey(chain[0].key) &&
                   article->childCount() > 0) {
            QStringList paragraphs;
            for (int i = 0; i < article->childCount(); ++i)
                paragraphs << platform::KeyedTree::textOf(article->child(i));
            text = wholeArticleText(text, paragraphs);
        }
        PartPane->hide();
        Rtxt1->show();
        Rtxt1->setText(text);
        if (chain[0].key == hitKey_) Rtxt1->highlightWords(hitWords_);
        // The paragraphs on show: the node's, or every one of a whole article.
        QStringList shown;
        auto paragraph = [](const QString& key) { return key.size() == 16 && !key.endsWith(u'1'); };
        if (paragraph(chain[0].key)) shown << chain[0].key;
        if (Mn_View_Whole->isChecked() && isArticleKey(chain[0].key))
            for (int i = 0; i < article->childCount(); ++i)
                if (paragraph(platform::KeyedTree::keyOf(article->child(i))))
                    shown << platform::KeyedTree::keyOf(article->child(i));
        const QString& key = chain[0].key;
        const QString entry = isPartKey(key) && key.size() > 8 ? key : QString();
        linkReferences(shown, entry);
        drawMarkers(shown, entry);
        if (inArticle) {
            // The whole article is its display, then each paragraph after a blank line.
            int at = int(nodeContextText(chain).size());
            for (int i = 0; i < article->childCount(); ++i) {
                const qsizetype length = platform::KeyedTree::textOf(article->child(i)).size();
                at += 4;  // CR LF CR LF
                if (article->child(i) == jumped) {
                    Rtxt1->setFocusRun(at, int(length));
                    break;
                }
                at += int(length);
            }
        }
    });
    platform::guard([&] {
        // A past version says so wherever its place is named.
        const QString name =
            store::GetHoutenName(curHCodeT) + (asOf_.isEmpty() ? QString() : u'（' + asOf_ + u'）');
        // The node shown is the node chosen; on a mouse press the selection follows it later.
        const QString key = platform::KeyedTree::keyOf(node);
        const QString title = lawCaption();
        // A generated page is of the current records: a version's caption names no page date.
        setWindowTitle(key.isEmpty() || !version_.isEmpty() ? title : browserCaption(title, key));
        // The status bar names what is on show, however it was reached (arrows, a click).
        MDIMain* main = MDIMain::instance();
        if (!main) return;
        const QMdiSubWindow* active = main->area()->activeSubWindow();
        if (active && active != platform::subWindowOf(this)) return;  // another window's bar
        const QTreeWidgetItem* parent = node->parent();
        const bool paragraph = parent && isArticleKey(platform::KeyedTree::keyOf(parent));
        main->LblCitedBy->setText(citedByCount(key));
        if (isArticleKey(key) || paragraph)
            main->notice(placeNotice(shortNumberOf(key), name, key));
        else if (isPartKey(key) && key.size() > 8)  // an article of a part: which part
            main->notice(name + u' ' + parts_.value(key.left(8)).label + u' ' +
                         platform::oneLine(platform::KeyedTree::textOf(node)).left(60));
        else
            main->notice(name + u' ' +
                         platform::oneLine(platform::KeyedTree::textOf(node)).left(60));
    });
}

bool FrmTree::showNode(const QString& key) {
    bool found = false;
    // Every node with the key, first to last, as the lookup walks them.
    for (QTreeWidgetItem* n : TView1->nodes()) {
        if (platform::KeyedTree::keyOf(n) != key) continue;
        TView1->selectNode(n);
        TView1_NodeClick(n);
        found = true;
    }
    return found;
}

bool FrmTree::showJump(const QString& key) {
    jumpKey_ = key;
    const bool found = showNode(key);
    jumpKey_.clear();
    return found;
}

void FrmTree::applyReading(const ReadingSettings& s, bool numbersChanged) {
    Rtxt1->setFontName(s.fontFamily);
    Rtxt1->setFontSize(s.fontSize);
    Rtxt1->setLineSpacing(s.lineSpacing);
    PartPane->setFont(Rtxt1->font());
    Mn_View_Whole->setChecked(s.wholeArticles);
    QString key;
    if (const QTreeWidgetItem* n = TView1->selectedNode()) key = platform::KeyedTree::keyOf(n);
    const bool jumped = Rtxt1->focusRun().first >= 0;  // shown as a jump: shown so again
    if (numbersChanged && !curHCodeT.isEmpty()) {
        // The tree's labels are the numbers: built again, the node on show kept.
        ClearTree();
        MakeTreeOne(curHCodeT, state().TreeBuildMode);
    }
    if (!key.isEmpty()) jumped ? showJump(key) : showNode(key);
}

bool FrmTree::showHit(const QString& key, const QStringList& words) {
    hitKey_ = key;
    hitWords_ = words;
    return showNode(key);
}

void FrmTree::SetJou(const QString& wKey) {
    platform::BusyCursor busy;
    const std::optional<CopyBlock> copy =
        copyBlockOf(store::GetHoutenName(curHCodeT), wKey, version_, asOf_);
    if (!copy) return;
    MDIMain* main = MDIMain::instance();
    if (!main) return;
    main->ComboHis->insertItem(0, copy->label);
    main->ComboHis->setCurrentIndex(0);  // the newest copy on show
    main->ComboHis2->insertItem(0, copy->header);
    FrmCopy* edit = main->copyWindow();
    QString text = edit->Rtxt1->text();
    if (!text.isEmpty()) text += QString(70, u'-') + QStringLiteral("\r\n");
    edit->Rtxt1->setText(text + copy->block);
    state().CopyLog += QStringLiteral("SEPARATOR") + copy->block;
    showBlock(edit->Rtxt1, copy->block);
}

int FrmTree::FindWord(const QString& strKW) {
    return findWordIn(strKW, {});
}

std::pair<QString, QString> FrmTree::selectedRange() const {
    const QTreeWidgetItem* node = TView1->selectedNode();
    QString lo, hi;
    std::function<void(const QTreeWidgetItem*)> walk = [&](const QTreeWidgetItem* item) {
        const QString key = platform::KeyedTree::keyOf(item);
        if ((key.size() == 10 || key.size() == 16) &&
            key.left(2).compare(curHCodeT, Qt::CaseInsensitive) == 0) {
            const QString article = key.left(10).toUpper();
            if (lo.isEmpty() || article < lo) lo = article;
            if (hi.isEmpty() || article > hi) hi = article;
        }
        for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
    };
    if (node) walk(node);
    if (lo.isEmpty()) return {};
    return {lo + QStringLiteral("000000"), hi + QStringLiteral("999999")};
}

int FrmTree::FindWordInEntry(const QString& strKW) {
    const auto range = selectedRange();
    if (range.first.isEmpty()) return findWordIn(strKW, {});
    return findWordIn(strKW, range);
}

int FrmTree::findWordIn(const QString& strKW, const std::pair<QString, QString>& range) {
    platform::BusyCursor busy;
    const QString name = store::GetHoutenName(curHCodeT);
    LawSearchScope scope;
    scope.from = range.first;
    scope.to = range.second;
    scope.fold = searchFold();
    // The current records have the search index; a kept version is read whole.
    if (version_.isEmpty()) scope.candidates = lawSearchCandidates(name, strKW);
    const LawSearch r = findWordInLaw(name, strKW, version_, scope);
    if (r.refused) return -1;
    if (!r.anyRow) return 0;
    if (MDIMain* main = MDIMain::instance()) {
        FrmFound* found = main->foundWindow();
        found->showResult(r.text, r.found, platform::trimBlanks(strKW), scope.fold);
        // The progress list shows these hits now, so that they open from there too.
        // (A version's hits stay in the result window: the list opens current laws.)
        if (main->nowSearch && version_.isEmpty())
            main->nowSearch->showLawSearch(name, platform::trimBlanks(strKW), r);
        platform::bringToFront(found);
    }
    return r.hits;
}

void FrmTree::layoutPanes() {
    // Measures of the window as a whole (its frame included), as the layout was written.
    const QRect outer = platform::geometryTwips(this);
    // A small window (a frame of 800×600) keeps at least half of itself for the text.
    const float share = height() < kSmallBrowser ? std::max(Ratio, 0.5f) : Ratio;
    const int paneH = int(float(outer.height()) * share);
    const int treeH = std::max(0, outer.height() - paneH - 450);
    const int w = std::max(0, outer.width() - 180);
    // A version's bar takes the top of the tree's room.
    const int bar =
        LblVersion->isVisibleTo(this) ? LblVersion->heightForWidth(platform::twipsToPixels(w)) : 0;
    LblVersion->setGeometry(0, 0, platform::twipsToPixels(w), bar);
    TView1->setGeometry(0, bar, platform::twipsToPixels(w),
                        std::max(0, platform::twipsToPixels(treeH) - bar));
    const int top = platform::twipsToPixels(treeH - 5);
    // The pane ends inside the window even where the frame is taller than it was.
    Rtxt1->setGeometry(0, top, platform::twipsToPixels(w),
                       std::max(0, std::min(platform::twipsToPixels(paneH), height() - top)));
    PartPane->setGeometry(Rtxt1->geometry());
}

void FrmTree::closeEvent(QCloseEvent* e) {
    if (run_.deferClose(e)) return;
    QWidget::closeEvent(e);
}

void FrmTree::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    platform::guard([this] { layoutPanes(); });
}

FrmTree::~FrmTree() = default;

bool FrmTree::showPart(const QString& key, const QString& head) {
    const auto part = parts_.constFind(key);
    if (part == parts_.cend()) return false;
    const QList<exchange::PartBlock> blocks = exchange::partLayout(*part);
    if (!needsDrawing(blocks)) return false;  // plain text: the text pane shows it
    PartPane->setFont(Rtxt1->font());
    PartPane->setPalette(Rtxt1->palette());
    drawPart(*PartPane->document(), head, blocks,
             store::figureFolder(store::GetHoutenName(curHCodeT)));
    PartPane->setExtraSelections(key == hitKey_
                                     ? platform::wordMarks(PartPane->document(), hitWords_)
                                     : QList<QTextEdit::ExtraSelection>());
    Rtxt1->hide();
    PartPane->show();
    return true;
}

void FrmTree::linkReferences(const QStringList& paragraphKeys, const QString& entryKey) {
    if (paragraphKeys.isEmpty() && entryKey.isEmpty()) return;
    QStringList laws;
    for (const store::LawEntry& e : store::readLawList()) laws << e.code + u' ' + e.name;
    if (!refs_ || laws != refsLaws_) {  // a law added or renamed meanwhile
        refs_ = std::make_unique<RefLibrary>();
        refs_->readVersion(curHCodeT, version_);
        refsLaws_ = laws;
    }
    QList<platform::TextPane::Link> links;
    const QString shown = Rtxt1->toPlainText();
    if (!entryKey.isEmpty()) {
        // An article or paragraph of a part: the entry's text ends what is shown.
        const auto part = parts_.constFind(entryKey.left(8));
        const QTreeWidgetItem* node = TView1->node(entryKey);
        if (part == parts_.cend() || !node) return;
        const QString text = QString(platform::KeyedTree::textOf(node))
                                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const qsizetype at = shown.lastIndexOf(text);
        if (at < 0) return;
        for (const Reference& r :
             refs_->partReferences(curHCodeT, *part, entryKey.mid(9).toInt() - 1, text))
            if (r.linked())
                links << platform::TextPane::Link{int(at) + r.start, r.length, r.target};
    } else {
        for (const Reference& r : referencesShown(*refs_, curHCodeT, paragraphKeys, shown))
            links << platform::TextPane::Link{r.start, r.length, r.target};
        linkTerms(paragraphKeys, shown, links);
    }
    Rtxt1->setLinks(links);
}

const LawTerms* FrmTree::termsOf(const QString& law) {
    const QString code = law.toUpper();
    auto it = terms_.find(code);
    if (it == terms_.end()) {
        std::shared_ptr<const LawTerms> read;
        try {
            store::Database db = refs_->openLaw(code);  // this law as the window reads it
            read = std::make_shared<const LawTerms>(db);
        } catch (const platform::Error&) {
            // A law that cannot be read lends no terms.
        }
        it = terms_.insert(code, read);
    }
    return it->get();
}

namespace {
// A term's link: "term:" law, code and the term, TAB between.
QString termTarget(const QString& law, const DefinedTerm& t) {
    return QStringLiteral("term:") + law + u'\t' + t.code + u'\t' + t.term;
}
}  // namespace

void FrmTree::linkTerms(const QStringList& paragraphKeys, const QString& shown,
                        QList<platform::TextPane::Link>& links) {
    const LawTerms* own = termsOf(curHCodeT);
    const QList<platform::TextPane::Link> references = links;
    auto onReference = [&](int start, int length) {
        for (const platform::TextPane::Link& r : references)
            if (start < r.start + r.length && r.start < start + length) return true;
        return false;
    };
    store::Database db = refs_->openLaw(curHCodeT);
    qsizetype from = 0;
    for (const QString& code : paragraphKeys) {
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select 条文 from 条文 where 条項コード=?"),
                             store::RecordsetType::Snapshot, {code});
        if (rs.eof() || !own) continue;
        const QString record = rs.text(QStringLiteral("条文"));
        const QString text = QString(record).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const qsizetype at = shown.indexOf(text, from);
        if (at < 0) continue;
        from = at + text.size();
        for (const LawTerms::Use& u : own->uses(code, record)) {
            // Places in the record (CR LF) → in the pane (a line break counts one).
            const int start = int(at) + u.start - int(record.left(u.start).count(u'\n'));
            if (!onReference(start, u.length))
                links << platform::TextPane::Link{
                    start, u.length, termTarget(curHCodeT, own->terms()[u.term]), true};
        }
    }
    // A term another provision defines, brought in by name: 甲法第二条に規定する特定事業者.
    for (const platform::TextPane::Link& r : references) {
        const qsizetype after = r.start + r.length;
        qsizetype p = -1;
        for (const char16_t* word : {u"に規定する", u"に定める"})
            if (shown.mid(after).startsWith(QString::fromUtf16(word)))
                p = after + qsizetype(std::char_traits<char16_t>::length(word));
        if (p < 0 || r.target.contains(u'~')) continue;
        const QString law = r.target.left(2).toUpper();
        const QString target = targetRecordCode(r.target, refs_->index(law));
        const LawTerms* there = target.isEmpty() ? nullptr : termsOf(law);
        if (!there) continue;
        const DefinedTerm* best = nullptr;
        for (const DefinedTerm& t : there->terms()) {
            // Defined in the paragraph named (any of the article's when it names an article).
            const bool named =
                r.target.contains(u':') ? t.code == target : t.code.left(10) == target.left(10);
            if (named && shown.mid(p).startsWith(t.term) &&
                (!best || t.term.size() > best->term.size()))
                best = &t;
        }
        if (best && !onReference(int(p), int(best->term.size())))
            links << platform::TextPane::Link{int(p), int(best->term.size()),
                                              termTarget(law, *best), true};
    }
}

QString FrmTree::termTip(const QString& target) {
    const QStringList f = target.mid(5).split(u'\t');
    if (f.size() != 3) return {};
    const LawTerms* terms = termsOf(f[0]);
    if (!terms) return {};
    const DefinedTerm* t = nullptr;
    for (const DefinedTerm& d : terms->terms())
        if (d.code == f[1] && d.term == f[2]) t = &d;
    if (!t) return {};
    QString text;
    try {
        store::Database db = refs_->openLaw(f[0]);
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select 条文 from 条文 where 条項コード=?"),
                             store::RecordsetType::Snapshot, {t->code});
        if (!rs.eof()) text = rs.text(QStringLiteral("条文"));
    } catch (const platform::Error&) {
    }
    QString place =
        store::GetJouKouText(t->code.left(10)) + (t->code.mid(10, 6) == QStringLiteral("010000")
                                                      ? QString()
                                                      : u' ' + store::GetJouKouText(t->code));
    // Another law's term names its law.
    if (f[0].compare(curHCodeT, Qt::CaseInsensitive) != 0)
        place = store::GetHoutenName(f[0]) + u' ' + place;
    return QStringLiteral("<p><b>定義語「%1」</b> %2%3<br>%4</p>")
        .arg(
            t->term.toHtmlEscaped(), place.toHtmlEscaped(),
            t->scope.isEmpty() ? QString() : QStringLiteral("（%1）").arg(t->scope.toHtmlEscaped()),
            text.left(300).toHtmlEscaped().replace(QStringLiteral("\r\n"), QStringLiteral("<br>")));
}

UserData* FrmTree::userData() {
    if (!userData_ && !userDataFailed_) {
        try {
            userData_ = std::make_unique<UserData>();
        } catch (const platform::Error& e) {
            userDataFailed_ = true;  // said once; the law reads on without markers
            platform::msgBox(e.description() +
                             QStringLiteral("\r\nマーカーとしおりは使えません。"));
        }
    }
    return userData_.get();
}

void FrmTree::drawMarkers(const QStringList& paragraphKeys, const QString& entryKey) {
    shownParagraphs_.clear();
    if (!version_.isEmpty()) return;  // markers are of the current text
    QList<MarkedParagraph> paragraphs;
    if (!entryKey.isEmpty()) {
        if (const QTreeWidgetItem* n = TView1->node(entryKey))
            paragraphs << MarkedParagraph{stablePlace(curHCodeT, entryKey),
                                          platform::KeyedTree::textOf(n)};
    } else if (!paragraphKeys.isEmpty()) {
        store::Database db = store::openLawDb(store::GetHoutenName(curHCodeT));
        for (const QString& code : paragraphKeys) {
            store::Recordset rs =
                db.openRecordset(QStringLiteral("select 条文 from 条文 where 条項コード=?"),
                                 store::RecordsetType::Snapshot, {code});
            if (!rs.eof()) paragraphs << MarkedParagraph{code, rs.text(QStringLiteral("条文"))};
        }
    }
    shownParagraphs_ = locateShown(paragraphs, Rtxt1->toPlainText());
    showMarkers();
}

bool FrmTree::noteParagraphAtCaret() {
    // The paragraph shown around the caret (its stored text, line breaks as one character).
    const int caret = Rtxt1->textCursor().position();
    if (refusedInVersion()) return false;
    const ShownParagraph* here = nullptr;
    for (const ShownParagraph& p : shownParagraphs_)
        if (caret >= p.at && caret <= p.at + platform::fromCrLf(p.text).size()) here = &p;
    UserData* data = userData();
    if (!here || !data) {
        platform::beep();
        return false;
    }
    const QString text = platform::inputBox(QStringLiteral("この項のメモ"));
    if (text.isEmpty()) return false;  // cancelled
    // Held by the paragraph's first words, as a marker is: found again when the text moves.
    const int length = std::min<int>(kParagraphNoteLength, int(here->text.toUcs4().size()));
    Marker m = markRun(curHCodeT, {here->place, here->text}, 0, length);
    m.colour = 0;
    m.note = text;
    m.id = data->addMarker(m);
    markers_ << m;
    showMarkers();
    return true;
}

bool FrmTree::editNote(qint64 id) {
    auto m =
        std::find_if(markers_.begin(), markers_.end(), [&](const Marker& x) { return x.id == id; });
    if (m == markers_.end() || !userData()) return false;
    const QString text = platform::inputBox(QStringLiteral("「%1」のメモ").arg(m->text), m->note);
    if (text.isEmpty()) return false;  // cancelled
    m->note = text;
    userData()->updateNote(m->id, text);
    showMarkers();  // its note over it
    return true;
}

void FrmTree::showMarkers() {
    Rtxt1->setTints(markerTints(markers_, shownParagraphs_));
}

bool FrmTree::markSelection(int colour) {
    if (refusedInVersion()) return false;
    const QTextCursor c = Rtxt1->textCursor();
    std::optional<Marker> m = viewer::markSelection(
        curHCodeT, shownParagraphs_, Rtxt1->toPlainText(), c.selectionStart(), c.selectionEnd());
    UserData* data = userData();
    if (!m || !data) {
        platform::beep();
        if (MDIMain* main = MDIMain::instance())
            main->notice(QStringLiteral("マーカーは一つの項の中の文字を選んで付けます"));
        return false;
    }
    m->colour = std::clamp(colour, 0, 6);
    m->id = data->addMarker(*m);
    markers_ << *m;
    showMarkers();
    return true;
}

FrmTree::PrintJob FrmTree::printJob(PrintRange range, bool marks) {
    const QString name = store::GetHoutenName(curHCodeT);
    PrintJob job;
    job.title = lawCaption();
    marks = marks && version_.isEmpty();  // a past version carries no markers
    const QTreeWidgetItem* n = TView1->selectedNode();
    const QString key = n ? platform::KeyedTree::keyOf(n) : QString();
    if (range == PrintRange::Entry || range == PrintRange::WholeLaw) {
        // The tree as the pane's, built again: the browser keeps no copy of it.
        LawTree tree = buildLawTree(curHCodeT, state().TreeBuildMode, version_);
        if (loadReadingSettings().kanjiNumbers) writeNumbersInKanji(tree);
        const QString from = range == PrintRange::WholeLaw || key.isEmpty()
                                 ? (tree.nodes.isEmpty() ? QString() : tree.nodes.first().key)
                                 : key;
        job.text = printedText(tree, from, PrintScope::Below).value_or(QString());
        if (marks) {
            UserData* data = userData();
            if (data) job.marks = marksInText(*data, curHCodeT, platform::fromCrLf(job.text));
        }
        return job;
    }
    if (PartPane->isVisible()) {  // a drawn part: its text
        const QString plain = PartPane->toPlainText();
        job.text = platform::toCrLf(plain);
        if (marks)
            if (UserData* data = userData()) job.marks = marksInText(*data, curHCodeT, plain);
        return job;
    }
    const QList<MarkSpan> spans =
        marks ? markerSpans(markers_, shownParagraphs_) : QList<MarkSpan>();
    if (range == PrintRange::Selection && Rtxt1->textCursor().hasSelection()) {
        const QTextCursor c = Rtxt1->textCursor();
        const int from = c.selectionStart(), to = c.selectionEnd();
        job.text = platform::toCrLf(Rtxt1->toPlainText().mid(from, to - from));
        // The markers' parts within the selection, counted from its start.
        for (MarkSpan m : spans) {
            const int start = std::max(m.start, from), end = std::min(m.start + m.length, to);
            if (end <= start) continue;
            m.start = start - from;
            m.length = end - start;
            job.marks << m;
        }
        return job;
    }
    job.text = Rtxt1->text();
    job.marks = spans;
    return job;
}

QString FrmTree::savePdf(QString path, PrintRange range, bool marks) {
    const QString name = store::GetHoutenName(curHCodeT);
    const QTreeWidgetItem* n = TView1->selectedNode();
    const QString key = n ? platform::KeyedTree::keyOf(n) : QString();
    if (path.isEmpty()) {
        QString filter = QStringLiteral("PDF (*.pdf)");
        const bool whole = range == PrintRange::WholeLaw || key.isEmpty();
        path = platform::saveFileBox(
            QStringLiteral("PDF に保存"),
            store::joinPath(
                store::folders().out,
                name + (whole ? QString() : u'-' + shortNumberOf(key)) + QStringLiteral(".pdf")),
            {filter}, &filter);
        if (path.isEmpty()) return {};
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    }
    platform::BusyCursor busy;
    const PrintJob job = printJob(range, marks);
    writeLawPdf(path, job.title, job.text, job.marks);
    if (MDIMain* main = MDIMain::instance())
        main->notice(QStringLiteral("%1 に保存しました").arg(path));
    return path;
}

bool FrmTree::printPages(PrintRange range, bool marks, QPrinter* printer) {
    QPrinter chosen(QPrinter::HighResolution);
    printer = askPrinter(this, chosen, printer);
    if (!printer) return false;
    platform::BusyCursor busy;
    const PrintJob job = printJob(range, marks);
    printer->setDocName(job.title);
    printLawText(*printer, job.title, job.text, job.marks);
    if (MDIMain* main = MDIMain::instance())
        main->notice(QStringLiteral("%1 を印刷しました").arg(job.title));
    return true;
}

FrmPrint* FrmTree::openPrint() {
    const QTreeWidgetItem* n = TView1->selectedNode();
    // Nodes below the one chosen that are not its own paragraphs: a 目次 entry, a part.
    const bool entry = n && n->childCount() > 0 && !isArticleKey(platform::KeyedTree::keyOf(n));
    auto* dialog =
        new FrmPrint(!PartPane->isVisible() && Rtxt1->textCursor().hasSelection(), entry, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    platform::connectGuarded(dialog, &FrmPrint::printChosen, this,
                             [this](PrintRange range, bool marks) { printPages(range, marks); });
    platform::connectGuarded(dialog, &FrmPrint::pdfChosen, this,
                             [this](PrintRange range, bool marks) { savePdf({}, range, marks); });
    dialog->open();
    return dialog;
}

void FrmTree::paneMenu(const QPoint& at) {
    std::unique_ptr<QMenu> menu(Rtxt1->createStandardContextMenu(at));
    menu->addSeparator();
    const bool selected = Rtxt1->textCursor().hasSelection();
    static const char* const names[] = {"下線", "黄", "桃", "緑", "青", "橙", "紫"};
    const bool own = version_.isEmpty();  // a past version takes no markers, notes, bookmarks
    QMenu* colours = menu->addMenu(QStringLiteral("マーカー"));
    colours->setEnabled(selected && own);
    for (int colour = 1; colour <= 6; ++colour)
        colours->addAction(
            QStringLiteral("%1 %2").arg(colour).arg(QString::fromUtf8(names[colour])), this,
            [this, colour] { platform::guard([&] { markSelection(colour); }); });
    colours->addAction(QStringLiteral("0 %1").arg(QString::fromUtf8(names[0])), this,
                       [this] { platform::guard([&] { markSelection(0); }); });
    // The marker under the caret: its note, its removal.
    const int caret = Rtxt1->cursorForPosition(at).position();  // under the pointer
    std::optional<MarkSpan> here;
    for (const MarkSpan& s : markerSpans(markers_, shownParagraphs_))
        if (caret >= s.start && caret <= s.start + s.length) here = s;
    QAction* note = menu->addAction(QStringLiteral("メモ…"), this,
                                    [this, here] { platform::guard([&] { editNote(here->id); }); });
    note->setEnabled(here.has_value());
    menu->addAction(QStringLiteral("この項にメモ…"), this,
                    [this] { platform::guard([&] { noteParagraphAtCaret(); }); })
        ->setEnabled(!shownParagraphs_.isEmpty() && own);
    menu->addAction(QStringLiteral("マーカーを消す (Delete)"), this,
                    [this] { platform::guard([&] { removeMarkersHere(); }); })
        ->setEnabled((here.has_value() || selected) && own);
    menu->addAction(
            QStringLiteral("しおりを挟む"), this,
            [this] {
                platform::guard([&] {
                    const QTreeWidgetItem* n = TView1->selectedNode();
                    UserData* data = userData();
                    if (!n || !data) return;
                    const QString key = platform::KeyedTree::keyOf(n);
                    data->addBookmark({0,
                                       {},
                                       curHCodeT.toUpper(),
                                       stablePlace(curHCodeT, key),
                                       platform::oneLine(platform::KeyedTree::textOf(n)).left(40),
                                       {}});
                    if (MDIMain* main = MDIMain::instance())
                        main->notice(QStringLiteral("しおりを挟みました: %1").arg(key));
                });
            })
        ->setEnabled(own);
    menu->exec(Rtxt1->viewport()->mapToGlobal(at));
}

int FrmTree::removeMarkersHere() {
    const QTextCursor c = Rtxt1->textCursor();
    const int from = c.selectionStart(), to = std::max(c.selectionEnd(), from + 1);
    UserData* data = userData();
    if (!data) return 0;
    int removed = 0;
    for (const MarkSpan& s : markerSpans(markers_, shownParagraphs_)) {
        if (s.start >= to || s.start + s.length <= from) continue;
        data->removeMarker(s.id);
        markers_.removeIf([&](const Marker& m) { return m.id == s.id; });
        ++removed;
    }
    if (removed) showMarkers();
    return removed;
}

FrmTree::Place FrmTree::here() const {
    const QTreeWidgetItem* n = TView1->selectedNode();
    return {curHCodeT, n ? platform::KeyedTree::keyOf(n) : QString()};
}

bool FrmTree::showPlace(const Place& place) {
    if (place.law.compare(curHCodeT, Qt::CaseInsensitive) == 0) {
        if (showJump(place.key)) return true;
        if (MDIMain* main = MDIMain::instance())
            main->notice(QStringLiteral("%1: 木にありません").arg(place.key));
        return false;
    }
    MDIMain* main = MDIMain::instance();
    return main && main->openHit(store::GetHoutenName(place.law), place.key, {});
}

bool FrmTree::followReference(const QString& target) {
    // A defined term: its definition, in this browser when it is this law's.
    if (target.startsWith(QStringLiteral("term:"))) {
        const QStringList f = target.mid(5).split(u'\t');
        if (f.size() != 3) return false;
        const Place to{f[0], f[1]};
        const Place from = here();
        if (!showPlace(to)) return false;
        back_ << from;
        forward_.clear();
        return true;
    }
    if (!refs_) {
        refs_ = std::make_unique<RefLibrary>();
        refs_->readVersion(curHCodeT, version_);
    }
    const TargetPlace place = targetPlace(*refs_, target);
    if (place.key.isEmpty()) {
        if (MDIMain* main = MDIMain::instance()) main->notice(place.error);
        return false;
    }
    const Place to{place.law, place.key};
    const Place from = here();
    if (!showPlace(to)) return false;
    back_ << from;
    forward_.clear();
    return true;
}

bool FrmTree::goBack() {
    if (back_.isEmpty()) return false;
    const Place to = back_.takeLast();
    forward_ << here();
    return showPlace(to);
}

bool FrmTree::goForward() {
    if (forward_.isEmpty()) return false;
    const Place to = forward_.takeLast();
    back_ << here();
    return showPlace(to);
}

template <class Window>
Window* FrmTree::showTool(Window* window) {
    // In the frame, inside its area; shown alone when there is no frame (tests).
    if (MDIMain* main = MDIMain::instance()) {
        main->showChild(window);
        platform::keepInside(window);
    } else {
        window->show();
    }
    return window;
}

FrmHistory* FrmTree::openHistory() {
    const QTreeWidgetItem* n = TView1->selectedNode();
    const QString key = n ? platform::KeyedTree::keyOf(n) : QString();
    // An article or a paragraph of the main provision: its article.
    if (key.size() != 10 && !(key.size() == 16 && n->parent() &&
                              isArticleKey(platform::KeyedTree::keyOf(n->parent())))) {
        platform::msgBox(QStringLiteral("沿革を見る条を選んでください。"));
        return nullptr;
    }
    return showTool(new FrmHistory(curHCodeT, key));
}

QString FrmTree::citedByCount(const QString& key) {
    // The current text's provisions only: a past version's are not what the index holds.
    if (!version_.isEmpty() || !(isArticleKey(key) || isParagraphKey(key))) return {};
    try {
        if (!citations_) citations_ = std::make_unique<CitationIndex>();
        // A few changed laws are read at once; after a bulk import the list reads the rest.
        constexpr int kLawsPerLook = 3;
        const int read = citations_->refresh(kLawsPerLook);
        const int stale = read < kLawsPerLook ? 0 : citations_->staleCount();
        return QStringLiteral("<a href=\"citedby\">%1</a>")
            .arg(citedByNote(int(citingProvisions(citations_->citing(key)).size()), stale));
    } catch (const platform::Error&) {
        // A data root the index cannot be kept in (read-only): no count, no message at
        // every look; 参照元… says why.
        citations_.reset();
        return {};
    }
}

FrmCitedBy* FrmTree::openCitedBy() {
    const QString key = TView1->selectedKey();
    if (!version_.isEmpty() || !(isArticleKey(key) || isParagraphKey(key))) {
        platform::msgBox(QStringLiteral("参照元を見る条か項を選んでください。"));
        return nullptr;
    }
    platform::BusyCursor busy;
    return showTool(new FrmCitedBy(curHCodeT, key));
}

FrmTerms* FrmTree::openTerms() {
    return showTool(new FrmTerms(curHCodeT.isEmpty() ? QStringLiteral("KP") : curHCodeT, version_));
}

FrmRevisions* FrmTree::openRevisions() {
    const QString law = curHCodeT.isEmpty() ? QStringLiteral("KP") : curHCodeT;
    return showTool(new FrmRevisions(law, TView1->selectedKey()));
}

void FrmTree::Mn_Joubun_Diff_Click() {
    const QString law = curHCodeT.isEmpty() ? QStringLiteral("KP") : curHCodeT;
    if (store::listVersions(store::GetHoutenName(law)).isEmpty()) {
        platform::msgBox(
            QStringLiteral("%1 に残っている版はありません。取り込み直すと、それまでの条文が"
                           "版として残り、比べられるようになります。")
                .arg(store::GetHoutenName(law)));
        return;
    }
    showTool(new FrmLawDiff(law));
}

}  // namespace viewer

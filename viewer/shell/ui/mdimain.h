#pragma once
// Lexora's main window: the law buttons, the lookup and search boxes, the history and the
// frame that holds every other viewer window.
#include "platform/ui/mdi.h"

#include <QList>
#include <QPointer>

class QCheckBox;
class QTimer;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace exchange {
class FrmHCodeList;
}

namespace maint {
class FrmAddLaw;
}

namespace viewer {

class FrmTree;
class FrmCopy;
class FrmFound;
class FrmMarks;
class FrmHelp;
class FrmNowSearch;
class FrmHst;
class FrmTest;
class FrmExpand;
class FrmSettings;
struct ReadingSettings;
class FrmCheckData;
class FrmRCL;
class FrmSR;
class FrmDaily;

class MDIMain : public platform::MdiFrame {
    Q_OBJECT
  public:
    explicit MDIMain(QWidget* parent = nullptr);
    ~MDIMain() override;
    // The viewer's main window while it exists: the other windows reach it as their owner.
    static MDIMain* instance();

    // Start-up: settings, folders, first-start initialisation, law buttons. Called once
    // after construction (the window's load).
    void Form_Load();
    static void InitSettings();
    // An installation's bundled law texts, imported at its first start with the progress on
    // show; false (and a message) when one could not be imported.
    static bool importBundledLaws();
    // Fills the six law buttons and HoutenNames from the master list.
    void LoadLawButtons();

    void CmdHouten_Click(int index);
    // Enter (13) in the lookup box: jump to the article or paragraph typed.
    void TxtJouFind_KeyPress(int KeyAscii);
    // Enter (13) in the search box: search every law.
    void TxtJouFindT_KeyPress(int KeyAscii);
    // The search after a pause in typing (TypingPause).
    void searchAsTyped();
    void CmdR_Click();
    // The history: jump in the edit window to the copy chosen in ComboHis.
    void ComboHis_Click();
    // Refills the history window from ComboHis/ComboHis2 and shows it.
    void HstForm_Remake();
    void CmdHst_Click();
    // The main window's menu through a fresh strip window FrmTest.
    void showMainMenuStrip();
    void CmdHCodeList_Click();
    // The heading drill, opened fresh on the current law; nothing before a law was opened.
    void CmdSR_Click();
    // The data check: shown, made when missing (an open one keeps its lists).
    void Mn_File_CheckData_Click();
    // 設定: the window, and what its OK changes in the windows open.
    void Mn_File_Settings_Click();
    void applyReadingSettings(const ReadingSettings& before, const ReadingSettings& after);
    void Mn_File_Lexbench_Click();
    // ファイル → 法令を追加…: a law from the government's law API.
    void Mn_File_AddLaw_Click();
    void Mn_Help_About_Click();
    // The short help, made when missing, in front.
    void Mn_Help_Usage_Click();

    QPushButton* CmdHCodeList = nullptr;
    QList<QPushButton*> CmdHouten;
    QLabel* Label1 = nullptr;
    QLineEdit* TxtJouFind = nullptr;
    QToolButton* CmdFindByCode = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* TxtJouFindT = nullptr;
    QToolButton* CmdFindByWord = nullptr;
    QCheckBox* ChkParts = nullptr;  // 附則・別表も検索: the word search takes the parts too
    QCheckBox* ChkFold = nullptr;   // 表記ゆれを同一視, kept in the settings
    // The search as one types: a pause in typing in the テキスト box searches (no message at
    // the thousandth hit, the box keeps the focus).
    QTimer* TypingPause = nullptr;
    static inline int typingPauseMs = 600;
    QLabel* Label3 = nullptr;
    QComboBox* ComboHis = nullptr;
    QComboBox* ComboHis2 = nullptr;
    // At the status bar's right: the provision shown cited how often ("参照元 12"); a click
    // opens the 参照元 list.
    QLabel* LblCitedBy = nullptr;
    QToolButton* CmdHst = nullptr;
    QToolButton* CmdR = nullptr;
    QToolButton* CmdSR = nullptr;

    QAction* Mn_Title = nullptr;
    QMenu* Mn_File = nullptr;
    QAction* Mn_File_AddLaw = nullptr;
    QAction* Mn_File_Lexbench = nullptr;
    QAction* Mn_File_CheckData = nullptr;
    QAction* Mn_File_End = nullptr;
    QAction* Mn_File_Settings = nullptr;
    QAction* Mn_dummy = nullptr;
    QMenu* Mn_Help = nullptr;
    QAction* Mn_Help_About = nullptr;
    QAction* Mn_Help_Usage = nullptr;  // 使い方
    QMenu* Mn_Recent = nullptr;        // 最近: the laws opened last
    QMenu* Mn_Window = nullptr;        // ウィンドウ: cascade, tile, the open windows

    QPointer<exchange::FrmHCodeList> hCodeList;  // the law list while it is open
    QPointer<FrmTree> browser;                   // the default law browser
    QPointer<FrmCopy> copy;                      // the edit window
    QPointer<FrmFound> found;                    // the search-result window
    QPointer<FrmMarks> marks;                    // マーカー・しおり一覧
    QPointer<FrmNowSearch> nowSearch;            // the search's progress window
    QPointer<FrmHst> history;                    // the history window
    QPointer<FrmTest> menuStrip;                 // the main-menu strip window
    QPointer<FrmExpand> expand;                  // the expanded text
    QPointer<maint::FrmAddLaw> addLaw;           // 法令を追加
    QPointer<FrmCheckData> checkData;            // the data check
    QPointer<FrmRCL> correction;                 // the article correction
    QPointer<FrmSR> drill;                       // the heading drill
    QPointer<FrmDaily> daily;                    // the study timer
    QPointer<FrmHelp> help;                      // the short help
    QPointer<FrmSettings> settings;              // 設定

    // The default browser showing `law`: made (and loaded) on first use, else its tree is
    // cleared and built anew. Brought to the front.
    FrmTree* loadBrowser(const QString& law);
    // A further browser window on `law` (Tag, cyan pane, at the right edge); with `version`,
    // on that kept version of it, read-only (Error when there is no such version).
    FrmTree* openBrowser(const QString& law, const QString& version = {});
    // The browser open on the kept version `version` of `law`, brought to the front, or a
    // new one.
    FrmTree* versionBrowser(const QString& law, const QString& version);
    // The edit and result windows, made when missing.
    FrmCopy* copyWindow();
    FrmFound* foundWindow();
    // マーカー・しおり一覧, opened or brought to the front and listed anew.
    FrmMarks* marksWindow();
    // The history window, made (and placed) when missing.
    FrmHst* historyWindow();
    // A fresh expanded-text window on `law` (an open one is closed first).
    FrmExpand* openExpand(const QString& law);
    // The correction window: `fresh` closes an open one and makes a new one, else an open
    // one is kept.
    FrmRCL* correctionWindow(bool fresh);
    // The study timer, made when missing, in front.
    FrmDaily* showDaily();
    // Closes the history window when it is open.
    void closeHistoryWindow();
    // A line in the frame's status bar, seen at any window size: what a lookup did not find.
    void notice(const QString& text);
    // Jumps to what `typed` names (the lookup box, F1): the law's browser — `target` when
    // given, else the default one — shows the node. What cannot be found is said in the
    // status bar and leaves every browser as it was. `currentLaw` serves a bare number.
    bool jumpTo(const QString& typed, const QString& currentLaw = {}, FrmTree* target = nullptr);
    // A search hit opened where the reader reads: the default browser shows the law `name`
    // (loaded when needed) with the paragraph `code` selected and `words` marked, in front.
    // A hit in a kept version opens in that version's browser.
    bool openHit(const QString& name, const QString& code, const QString& words,
                 const QString& version = {});

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  public:
    // The browsers side by side over the frame's client area, the default one first.
    void arrangeBrowsers();
    // Each browser reaching past the area shrunk and moved to lie within it.
    void fitBrowsers();
    // What is kept between starts, read at the load and written as the frame closes.
    void restoreSession();
    void saveSession();
    void abandonClose() override;

  private:
    void runWordSearch(bool announceLimit);
    QString lastTyped_;  // the text last searched from the box
    void buildBars();
    void buildMenus();
    // Opens the law in the default browser and gives its tree the focus.
    void openLaw(const QString& code);
    bool searching_ = false;
    bool sessionSaved_ = false;                    // written once per close, before the windows go
    double copyFontSize_ = 0, foundFontSize_ = 0;  // kept sizes, applied as the windows open
};

}  // namespace viewer

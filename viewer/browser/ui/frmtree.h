#pragma once
// The law browser FrmTree: one law as a tree (TView1) above a text pane (Rtxt1). The tree's
// content comes from viewer::buildLawTree; the window puts it into the tree, shows a node's
// text with its context, copies paragraphs into the edit window and searches its law.
#include "platform/ui/mdi.h"
#include "platform/ui/run.h"
#include "platform/ui/textpane.h"
#include "store/lawdb.h"
#include "viewer/browser/ui/frmprint.h"
#include "viewer/marks/anchor.h"

#include <QHash>
#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QMenu;
class QTextBrowser;
class QTreeWidgetItem;

namespace platform {
class KeyedTree;
class TextPane;
}  // namespace platform

namespace viewer {

class RefLibrary;
struct ReadingSettings;
class FrmPrint;
class FrmRevisions;
class FrmHistory;
class FrmCitedBy;
class FrmTerms;
class CitationIndex;
class LawTerms;
class UserData;

class FrmTree : public QWidget, public platform::MenuOwner {
    Q_OBJECT
  public:
    // `law` is curHCodeT, set before the window loads; empty means KP.
    explicit FrmTree(const QString& law = {}, QWidget* parent = nullptr);
    ~FrmTree() override;

    QString curHCodeT;
    float Ratio = 0.4f;  // the text pane's share of the height, single precision
    QString Tag;         // instance number of the second and later windows

    // Above the tree while a kept version is read: "令和七年四月一日時点 · 改正: …".
    QLabel* LblVersion = nullptr;
    platform::KeyedTree* TView1 = nullptr;
    platform::TextPane* Rtxt1 = nullptr;
    // In the text pane's place while a part with tables or figures is on show.
    QTextBrowser* PartPane = nullptr;

    QAction* Mn_Title = nullptr;
    QMenu* Mn_File = nullptr;
    QAction* Mn_File_MakeHt = nullptr;
    QAction* Mn_File_Duplicate = nullptr;
    QAction* Mn_File_HTML = nullptr;
    QAction* Mn_File_Pdf = nullptr;    // PDF に保存…
    QAction* Mn_File_Print = nullptr;  // 印刷…
    QAction* Mn_File_Close = nullptr;
    QMenu* Mn_Joubun = nullptr;
    QAction* Mn_Joubun_Copy = nullptr;
    QAction* Mn_Joubun_Edit = nullptr;
    QAction* Mn_Joubun_Diff = nullptr;         // 改正比較: the law's versions compared
    QAction* Mn_Joubun_Revisions = nullptr;    // 改正履歴…
    QAction* Mn_Joubun_History = nullptr;      // 沿革…
    QAction* Mn_Joubun_CitedBy = nullptr;      // 参照元…
    QAction* Mn_Joubun_Terms = nullptr;        // 用語一覧…
    QAction* Mn_Joubun_FindInEntry = nullptr;  // 目次の中を検索…
    // 版を読む: the kept versions, newest first, each opening a browser on it; 現在の条文.
    QMenu* Mn_Joubun_Versions = nullptr;
    void fillVersionsMenu();
    QMenu* Mn_Tool = nullptr;
    QAction* Mn_Tool_Timer = nullptr;
    QAction* Mn_Tool_Marks = nullptr;  // マーカー・しおり一覧
    QMenu* Mn_View = nullptr;
    QAction* Mn_View_Whole = nullptr;  // 条文全体を表示: an article node shows every paragraph
    QMenu* Mn_Ratio = nullptr;
    QAction* Mn_Ratio_Down = nullptr;
    QAction* Mn_Ratio_Up = nullptr;
    QList<QAction*> childMenus() const override;

    // How long the page generator may take to write a page.
    int pageWaitMs = 30000;

    // The window's load, once it sits in the frame: position, Tag, caption, the tree.
    void Form_Load();
    // Before Form_Load: the window reads the kept version `id` of its law, read-only, as of
    // that version's date (Error when there is no such version). Empty: the current records.
    void readVersion(const QString& id);
    const QString& version() const { return version_; }
    // "令和七年四月一日時点" while a version is read, else empty.
    const QString& asOf() const { return asOf_; }
    // The law's title, and while a version is read its date: "民法（令和七年四月一日時点）".
    QString lawCaption() const;
    // Builds the tree of `strHD` (mode 0 flat, else table of contents) without clearing it.
    void MakeTreeOne(const QString& strHD, int Mode);
    void SetTreeALL(const QString& strHt) { MakeTreeOne(strHt, 1); }
    void SetTree(const QString& HKind) { MakeTreeOne(HKind, 0); }
    // Removes every node, empties the pane, caption = the law's name.
    void ClearTree();
    // The node's text with its context into the pane; the caption with the page date.
    void TView1_NodeClick(QTreeWidgetItem* node);
    // Copies the paragraph `wKey` into the edit window and the history.
    void SetJou(const QString& wKey);
    // Searches the window's law; returns the number of hits listed, -1 for a refused text.
    int FindWord(const QString& strKW);
    // The same within the chosen 目次 entry (or article): its records only.
    int FindWordInEntry(const QString& strKW);
    // The 条項コード bounds of the chosen node's records; empty when it holds none.
    std::pair<QString, QString> selectedRange() const;
    // Selects the node `key` and shows it; false when the tree has no such node.
    bool showNode(const QString& key);
    // Shows the hit `key` (a paragraph) with the searched words marked; the marks stay with
    // that node until another is chosen.
    bool showHit(const QString& key, const QStringList& words);
    // A jump (typed notation, a link): as showNode, but a paragraph shows in its whole article,
    // marked and scrolled into view, when whole articles are on.
    bool showJump(const QString& key);
    // The reader's 設定 taken: the pane's font, size and spacing, whole articles, and with
    // `numbersChanged` the tree built again for its article numbers.
    void applyReading(const ReadingSettings& s, bool numbersChanged);
    // The layout of the two panes by Ratio.
    void layoutPanes();
    // The window's keys, seen before the tree and the pane. `Shift` is the modifier value
    // (1 Shift, 2 Ctrl, 4 Alt). Returns whether the key was one of the window's.
    bool Form_KeyDown(int KeyCode, int Shift);
    // The pane's selection marked in colour 1-6 (0 an underline), kept in the reader's own
    // file; false (and a beep) when the selection is not within one paragraph shown.
    bool markSelection(int colour);
    // The marker's note asked for (its text proposed) and kept; false when cancelled.
    bool editNote(qint64 id);
    // A note on the paragraph around the caret (この項にメモ…): kept as an underline marker on
    // its first characters, so that it moves with them; false (a beep) outside a paragraph.
    bool noteParagraphAtCaret();
    // A PDF with the law's title and page numbers of what the pane shows (or the range), into
    // `path` (asked in a save box when empty); the file written, or empty when none was chosen.
    QString savePdf(QString path = {}, PrintRange range = PrintRange::Shown, bool marks = false);
    // What a print or PDF takes: the law's title, the text, the markers' runs in it.
    struct PrintJob {
        QString title, text;
        QList<MarkSpan> marks;
    };
    PrintJob printJob(PrintRange range, bool marks);
    // Prints through the system's print dialog, or onto `printer` when one is given (tests);
    // false when the dialog was cancelled.
    bool printPages(PrintRange range, bool marks, QPrinter* printer = nullptr);
    // 印刷… and PDF に保存…: the window that asks what to print.
    FrmPrint* openPrint();
    // 条文 → 改正履歴…: the law's revisions from the law API.
    FrmRevisions* openRevisions();
    // 条文 → 沿革…: the history of the article chosen (or of the paragraph's article).
    FrmHistory* openHistory();
    // 条文 → 参照元…: the provisions citing the article or paragraph chosen.
    FrmCitedBy* openCitedBy();
    // 条文 → 用語一覧…: the terms the law (or the version read) defines.
    FrmTerms* openTerms();
    // The count of the provisions citing `key` (a few changed laws read into the index
    // first), as the status bar shows it; empty for a node that is no article or paragraph.
    QString citedByCount(const QString& key);
    // Removes the markers under the caret or the selection; their number.
    int removeMarkersHere();
    // Enter in the text pane: the administrator's commands on its last line. Returns whether
    // the key is swallowed.
    bool Rtxt1_KeyPress(int KeyAscii);

    // The lookup by a typed number (F1): `answer` as typed into the input box.
    void lookup(const QString& answer);
    // Rebuilds the tree in `mode` (1 table of contents, 0 flat), keeping the selected node.
    void switchTreeMode(int mode);
    // The selected node's page: open (Ctrl+D), edit (Ctrl+E), make anew (Ctrl+R).
    void openPage();
    void editPage();
    void remakePage();
    // The page generator on the window's law (menu "HTML作成").
    void Mn_File_HTML_Click();
    // 条文 → 改正比較…: the newest kept version against the current records.
    void Mn_Joubun_Diff_Click();
    // A reference's target (MP709, KS435:2, MP10~MP12) shown: its paragraph selected, in
    // this browser or the law's; the node left goes on the back list. False (a notice) when
    // the target cannot be shown.
    bool followReference(const QString& target);
    // Alt+← and Alt+→: back to the node a reference was followed from, and forward again.
    bool goBack();
    bool goForward();
    int backCount() const { return int(back_.size()); }
    // The tip of a defined term's use (its link's target): the term, where it is defined
    // and in what scope, and the defining paragraph's text.
    QString termTip(const QString& target);
    // F7: a fresh correction window on the selected paragraph (none for another node).
    void correctSelected();
    // A further browser on this window's law.
    FrmTree* duplicate();
    // Whether a generated page is being waited for or an export runs.
    bool running() const { return run_.running(); }
    // A paragraph node: characters 11-12 of its key above 0.
    static bool isParagraphKey(const QString& key);

  protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int findWordIn(const QString& strKW, const std::pair<QString, QString>& range);
    void buildMenus();
    void selectFirstQuietly();
    // A window of the law's tools (沿革, 参照元 …) shown in the frame.
    template <class Window>
    Window* showTool(Window* window);
    // Refuses what a past version cannot take (markers, corrections): a beep and why on the
    // status line; true when refused.
    bool refusedInVersion();
    QString version_, asOf_;
    // Reading: the pane takes no typing; an administrator types on its last line only.
    // Returns whether the event is swallowed.
    bool guardPaneEdit(QEvent* event);
    // Starts the generator for `key` and waits for `page`; false when no page came.
    bool generatePage(const QString& key, const QString& page);
    QString pagesmithPath() const;
    QTreeWidgetItem* pressShown_ = nullptr;  // shown by the press of the click under way
    QHash<QString, store::LawPart> parts_;   // the part of each part node, by key
    // Shows the part node `key` whole below its context `head`; false when it is no part.
    bool showPart(const QString& key, const QString& head);
    // The references of the paragraphs shown, drawn as links in the pane.
    // With `entryKey`, those of that article or paragraph of a part instead.
    void linkReferences(const QStringList& paragraphKeys, const QString& entryKey = {});
    // The reader's markers of the paragraphs shown, drawn in the pane.
    void drawMarkers(const QStringList& paragraphKeys, const QString& entryKey);
    void showMarkers();
    void paneMenu(const QPoint& at);
    UserData* userData();  // opened on first use; nullptr (said once) when it cannot be
    std::unique_ptr<UserData> userData_;
    bool userDataFailed_ = false;
    QList<Marker> markers_;                  // of the law, found again when its tree was built
    QList<ShownParagraph> shownParagraphs_;  // where the pane shows which paragraph
    struct Place {
        QString law, key;
    };
    Place here() const;
    bool showPlace(const Place& place);
    std::unique_ptr<RefLibrary> refs_;
    std::unique_ptr<CitationIndex> citations_;  // opened on first use
    // Each law's defined terms, read on first use (this law's as the window reads it).
    QHash<QString, std::shared_ptr<const LawTerms>> terms_;
    const LawTerms* termsOf(const QString& law);
    // The uses of defined terms in the paragraphs shown, as dotted links after `links` (the
    // references, which a term does not cross): this law's within their scopes, and a term
    // another provision defines where a reference to it says 「に規定する」 before it.
    void linkTerms(const QStringList& paragraphKeys, const QString& shown,
                   QList<platform::TextPane::Link>& links);
    QStringList refsLaws_;         // the law list the library was made for
    QList<Place> back_, forward_;  // nodes left by following references
    QString hitKey_;               // the node opened from a search hit
    QString jumpKey_;              // the paragraph a jump goes to, while it is shown
    QStringList hitWords_;         // the words marked while it is shown
    // The wait for a generated page (Esc or a close ends it) or an export; a close waits
    // for either to return.
    platform::RunState run_{this};
};

}  // namespace viewer

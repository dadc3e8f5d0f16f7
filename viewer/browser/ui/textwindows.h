#pragma once
// The two windows of produced text: the edit window FrmCopy ("編集"), where copied paragraphs
// collect, and the search-result window FrmFound ("検索結果"). One text pane each, whose font
// keys are the same in both.
#include "platform/ui/mdi.h"
#include "viewer/browser/display.h"

#include <QWidget>

#include <memory>

class QAction;
class QMenu;

namespace platform {
class TextPane;
}

namespace viewer {

class RefLibrary;

class TextWindow : public QWidget {
    Q_OBJECT
  public:
    platform::TextPane* Rtxt1 = nullptr;

    // Rtxt1_KeyDown: the font keys and F4; `shift` is the modifier value (1 Shift, 2 Ctrl).
    // Returns whether the key was one of them (the pane still gets it).
    bool Rtxt1_KeyDown(int key, int shift);
    void fontSizeStep(int points);
    void setFontTen();
    void setFontFace(const QString& name);
    void toggleBold();

  protected:
    TextWindow(const QString& objectName, const QString& caption, QWidget* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* e) override;
    virtual void boldChanged() {}
};

class FrmCopy : public TextWindow, public platform::MenuOwner {
    Q_OBJECT
  public:
    explicit FrmCopy(QWidget* parent = nullptr);
    QList<QAction*> childMenus() const override;

    QAction* Mn_Title = nullptr;
    QMenu* Mn_File = nullptr;
    QAction* Mn_File_Save = nullptr;  // 保存 (Ctrl+S): the text as UTF-8
    QAction* Mn_File_Close = nullptr;
    QMenu* Mn_Font = nullptr;
    QMenu* Mn_Font_Size = nullptr;
    QAction* Mn_Font_Size_Down = nullptr;
    QAction* Mn_Font_Size_Up = nullptr;
    QAction* Mn_Font_Size_Ten = nullptr;
    QMenu* Mn_Font_Kind = nullptr;
    QAction* Mn_Font_Kind_Gothic = nullptr;
    QAction* Mn_Font_Kind_Mincho = nullptr;
    QAction* Mn_Font_Kind_Bold = nullptr;

    // The pane's change: emptied with a history, the reader is asked whether to clear it.
    void Rtxt1_Change();
    // Saves the text as UTF-8: to the file saved to before, else to one chosen in a save box.
    // False when nothing was saved.
    bool save();
    // Whether the text is kept elsewhere: empty, saved as it is, or on the clipboard whole.
    bool textKept() const;

  protected:
    void closeEvent(QCloseEvent* e) override;
    void boldChanged() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString savedPath_, savedText_;
};

class FrmFound : public TextWindow {
    Q_OBJECT
  public:
    explicit FrmFound(QWidget* parent = nullptr);
    // A search's result: its text with the words marked, and its hits, which a double-click
    // or Enter on their block opens in the law's browser.
    // `fold`: the words were matched folded (表記ゆれを同一視), and are marked so.
    void showResult(const QString& text, const QList<SearchHit>& hits, const QString& words,
                    store::Fold fold = store::Fold::None);
    // The hit whose block holds the caret, opened; false when the caret is on none.
    bool openHitAtCaret();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The reader's markers over the hits' paragraphs.
    void tintHits(const QList<SearchHit>& hits);
    QList<SearchHit> hits_;
    QString words_;
    std::shared_ptr<RefLibrary> refs_;  // the hits' references, as links
};

// ヘルプ → 使い方: the short help, for reading.
class FrmHelp : public TextWindow {
    Q_OBJECT
  public:
    explicit FrmHelp(const QString& text, QWidget* parent = nullptr);
};

// Makes a pane's reference links answer: a preview of the target from the library `refs`
// points to (when it holds one), a click opening the target in the law's browser.
void answerReferenceLinks(platform::TextPane* pane, QObject* owner,
                          const std::shared_ptr<RefLibrary>* refs);

// Selects the block that begins at the first occurrence of `head` in the pane (up to the next
// empty line) and leaves the caret at its start, so the pane scrolls to it. False (and a
// beep) when the text has no such block.
bool showBlock(platform::TextPane* pane, const QString& head);
// The same for the block whose head starts at `offset` (the chosen one of identical heads).
void showBlockAt(platform::TextPane* pane, int offset);

}  // namespace viewer

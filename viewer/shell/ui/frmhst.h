#pragma once
// The history window FrmHst ("履歴"): every copy's label, oldest first, and the text of the
// chosen copy as it was copied, even when the edit window no longer holds it.
#include <QWidget>

class QListWidget;

namespace platform {
class TextPane;
}

namespace viewer {

class FrmHst : public QWidget {
    Q_OBJECT
  public:
    explicit FrmHst(QWidget* parent = nullptr);

    QListWidget* ListHst = nullptr;   // copy labels
    QListWidget* ListHst2 = nullptr;  // copy headers at the same positions (not shown)
    platform::TextPane* Rtxt1 = nullptr;
    bool NOWREMAKE = false;  // the lists are being refilled; clicks are ignored
    int listWidth = 0;       // twips; 0 until the first layout makes it 2000

    // The window's load, once it sits in the frame: its place near the right edge.
    void Form_Load();
    // The chosen entry's copy block into the pane, with the s01 sound.
    void ListHst_Click();
    // Backspace, Shift+Backspace, F5, F11, F12; true when the key was one of them.
    bool Form_KeyDown(int KeyCode, int Shift);
    void layout();

  protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool shownByPress_ = false;  // the press of the click under way chose a new line
};

}  // namespace viewer

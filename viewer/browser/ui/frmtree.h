#pragma once
// The law browser FrmTree: one law as a tree (TView1) above a text pane (Rtxt1). The tree's
// content comes from viewer::buildLawTree; the window puts it into the tree, shows a node's
// text with its context, copies paragraphs into the edit window and searches its law.
#include "platform/ui/mdi.h"

#include <QWidget>

class QTreeWidgetItem;

namespace platform {
class KeyedTree;
class TextPane;
}  // namespace platform

namespace viewer {

class FrmTree : public QWidget {
    Q_OBJECT
  public:
    // `law` is curHCodeT, set before the window loads; empty means KP.
    explicit FrmTree(const QString& law = {}, QWidget* parent = nullptr);

    QString curHCodeT;
    float Ratio = 0.4f;  // the text pane's share of the height, single precision
    QString Tag;         // instance number of the second and later windows

    platform::KeyedTree* TView1 = nullptr;
    platform::TextPane* Rtxt1 = nullptr;

    // The window's load, once it sits in the frame: position, Tag, caption, the tree.
    void Form_Load();
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
    // Searches the window's law; returns the number of hits listed.
    int FindWord(const QString& strKW);
    // Selects the node `key` and shows it; false when the tree has no such node.
    bool showNode(const QString& key);
    // The layout of the two panes by Ratio.
    void layoutPanes();
    // The window's keys, seen before the tree and the pane: F2 searches the law, F3 copies
    // the selected paragraph. `shift` is the modifier value (1 Shift, 2 Ctrl, 4 Alt).
    // Returns whether the key was handled.
    bool Form_KeyDown(int KeyCode, int shift);
    // A paragraph node: characters 11-12 of its key above 0.
    static bool isParagraphKey(const QString& key);

  protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QTreeWidgetItem* pressShown_ = nullptr;  // shown by the press of the click under way
};

}  // namespace viewer

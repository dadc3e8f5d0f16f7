#pragma once
// FrmTest: a strip-shaped child window without a menu of its own. While it is the active
// child the frame shows the main window's menu bar; it goes away when another window becomes
// active.
#include <QWidget>

namespace viewer {

class FrmTest : public QWidget {
    Q_OBJECT
  public:
    explicit FrmTest(QWidget* parent = nullptr);
    // Places it (left 0, top 20, the main window's width less 200, no height) and watches the
    // frame for the activation of another window.
    void Form_Load();
};

}  // namespace viewer

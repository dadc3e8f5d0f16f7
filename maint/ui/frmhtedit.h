#pragma once
// The law list editor window "法典編集": adds, renames and removes laws of the master list and
// sets the order in which every law list shows them.
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace maint {

class FrmHtEdit : public QWidget {
    Q_OBJECT
  public:
    // Loads the list (the window's load).
    explicit FrmHtEdit(QWidget* parent = nullptr);

    QListWidget* ListDsp = nullptr;
    QLineEdit* TxtHCode = nullptr;
    QLineEdit* TxtHName = nullptr;
    QPushButton* CmdAdd = nullptr;
    QPushButton* CmdDel = nullptr;
    QPushButton* CmdUp = nullptr;
    QPushButton* CmdDown = nullptr;
    QPushButton* CmdUpdate = nullptr;

    // Refills ListDsp from the master table (emptied when the table has no rows).
    void LoadDb();

    void ListDsp_DblClick();
    void CmdAdd_Click();
    void CmdDel_Click();
    void CmdUp_Click();
    void CmdDown_Click();
    void CmdUpdate_Click();

  private:
    void moveLine(int step);
};

}  // namespace maint

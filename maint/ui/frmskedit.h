#pragma once
// The table-of-contents editor "目次編集": level boxes compose the 目次 key, the row with that
// key loads into the boxes and is written back by "登録"; the tree shows the law's structure.
#include "platform/ui/keyedtree.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace maint {

class FrmSKEdit : public QWidget {
    Q_OBJECT
  public:
    explicit FrmSKEdit(QWidget* parent = nullptr);

    QLineEdit* TxtHouten = nullptr;
    QLineEdit* TxtHen = nullptr;
    QLineEdit* TxtShou = nullptr;
    QLineEdit* TxtSetsu = nullptr;
    QLineEdit* TxtKan = nullptr;
    QLineEdit* TxtMok = nullptr;
    QLineEdit* TxtKey = nullptr;
    QLabel* LabelKeyName = nullptr;
    QLabel* LabelKeyName2 = nullptr;
    QLineEdit* TxtMidashi = nullptr;
    QLineEdit* TxtSOJ = nullptr;
    QLineEdit* TxtEOJ = nullptr;
    QLineEdit* TxtSOJ2 = nullptr;
    QLineEdit* TxtEOJ2 = nullptr;
    QPushButton* CmdAdd = nullptr;
    QPushButton* CmdDel = nullptr;
    platform::KeyedTree* TView1 = nullptr;

    // Composes TxtKey from the level boxes (only with a law code).
    void CheckCodes();
    // Loads the row of TxtKey into the boxes and selects its node.
    void ReadSK();
    // Builds the tree of the law and selects the node of TxtKey.
    void MakeTree(const QString& law);
    // The article and paragraph nodes of one entry; failures are skipped.
    void SetJouKou(const QString& key, const QString& soj, const QString& eoj);
    void ClearTree();
    // Writes the row of TxtKey ("登録").
    void CmdAdd_Click();
    // Deletes the row of TxtKey after a question ("削除").
    void CmdDel_Click();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void TxtHouten_Change();
    void TxtKey_Change();
    void selectKeyNode();
    bool placed_ = false;
};

}  // namespace maint

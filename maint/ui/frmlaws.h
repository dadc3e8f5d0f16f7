#pragma once
// The article editor window "条文編集": one record of a law's 条文 table, named by a short
// code, shown with its article's heading and records, and written or deleted.
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace platform {
class TextPane;
}

namespace maint {

class FrmLaws : public QWidget {
    Q_OBJECT
  public:
    explicit FrmLaws(QWidget* parent = nullptr);

    QLineEdit* TxtCodes2 = nullptr;
    QLineEdit* TxtHouten = nullptr;
    QLineEdit* TxtJouNum = nullptr;
    QLineEdit* TxtJouName = nullptr;
    QLineEdit* TxtCodes = nullptr;
    QLineEdit* Text2 = nullptr;
    platform::TextPane* RTxt = nullptr;
    QListWidget* ListMon = nullptr;
    QListWidget* ListCodes = nullptr;
    QPushButton* CmdClear = nullptr;
    QPushButton* CmdDel = nullptr;
    QPushButton* CmdReg = nullptr;

    void ClearAll();
    // Loads the heading, the record and the article's record list into the window.
    void FindJoubun(const QString& lawName, const QString& code);
    // Writes the heading from TxtJouName and the record from RTxt; errors go to a message.
    // Returns whether both were written.
    bool WriteJoubun(const QString& lawName, const QString& code);
    // Deletes the record and clears the window; false (and a message) on a failure.
    bool DeleteJoubun(const QString& lawName, const QString& code);

    void TxtCodes2_Enter();
    void ListMon_DblClick();
    void CmdClear_Click();
    void CmdDel_Click();
    void CmdReg_Click();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    bool placed_ = false;
};

}  // namespace maint

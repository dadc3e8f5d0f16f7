#pragma once
// The article correction window FrmRCL ("条文修正"): one stored paragraph, its heading, and an
// edit of its text saved over the stored one.
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace platform {
class TextPane;
}

namespace viewer {

class FrmRCL : public QWidget {
    Q_OBJECT
  public:
    explicit FrmRCL(QWidget* parent = nullptr);

    QString curHCodeR;                        // the law, set by the opener before SetJou
    platform::TextPane* TxtJK = nullptr;      // law name, article, heading, paragraph header
    QLineEdit* TxtCode = nullptr;             // the 条項コード a save writes to
    platform::TextPane* TxtJoubun = nullptr;  // the stored text as loaded
    platform::TextPane* Rtxt1 = nullptr;      // the text being edited
    QPushButton* CmdReg = nullptr;            // 上書き保存

    // Loads the record `code` of law curHCodeR; without such a record the fields stay.
    void SetJou(const QString& code);
    // Saves the edited text (trimmed, never empty) over the record in TxtCode, after a
    // confirmation.
    void CmdReg_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace viewer

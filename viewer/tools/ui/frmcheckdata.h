#pragma once
// The data-check window FrmCheckData ("データチェック"): scans every law's article texts for
// long texts, empty lines or a string, lists the hits, and with "CORRECT" repairs them.
#include "platform/ui/run.h"

#include <QHash>
#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace platform {
class TextPane;
}

namespace viewer {

class FrmCheckData : public QWidget {
    Q_OBJECT
  public:
    explicit FrmCheckData(QWidget* parent = nullptr);

    QList<QRadioButton*> Option1;  // length, empty lines, string (chosen at the start)
    QLineEdit* TxtChars = nullptr;
    QLabel* Label1 = nullptr;              // 文字以上
    platform::TextPane* TxtStr = nullptr;  // CR LF "(" at the start
    QPushButton* CmdListUp = nullptr;
    QListWidget* ListCode = nullptr;      // the hits' codes
    QListWidget* ListJoubun = nullptr;    // their summary lines, at the same positions
    platform::TextPane* Rtxt1 = nullptr;  // the summary line chosen

    // The window's load, once it sits in the frame: 200, 200 twips into the frame.
    void Form_Load();
    // The scan over every law (or the repair, with "CORRECT").
    void CmdListUp_Click();
    void ListCode_Click();
    void ListJoubun_Click();
    // Opens the correction window on the chosen hit.
    void ListCode_DblClick();
    void ListJoubun_DblClick();
    bool running() const { return run_.running(); }

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void addHit(const QString& code, const QString& summary);
    void showCount(int hits, int record);
    // Chooses the last hit in both lists and shows it in the pane.
    void selectLastHit();
    platform::RunState run_{this};
    QHash<QString, QString> lawNames_;  // law code → name, for the hit lines
};

}  // namespace viewer

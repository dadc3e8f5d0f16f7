#pragma once
// The study timer FrmDaily: seven blocks of an hour, each on its own bar, with a warning by
// colour and sound ten minutes before a block ends.
#include "viewer/tools/blocktimer.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTimer;

namespace viewer {

class FrmDaily : public QWidget {
    Q_OBJECT
  public:
    explicit FrmDaily(QWidget* parent = nullptr);

    QList<QProgressBar*> Bar1;  // one per block
    QLabel* LabelGenre = nullptr;
    QLabel* LabelTime = nullptr;
    QFrame* Picture1 = nullptr;   // the background: light cyan, yellow while warning
    QCheckBox* Check1 = nullptr;  // Pause
    QLineEdit* Txt1 = nullptr;    // the tick interval in milliseconds
    QTimer* Timer1 = nullptr;

    BlockTimer counter;

    // The window's load, once it sits in the frame: its size and place at the top right, the
    // timer running.
    void Form_Load();
    void Timer1_Timer();
    void Check1_Click();
    // A text that is no valid interval leaves the timer as it is.
    void Txt1_Change();
    void Picture1_DblClick();
    // The background's colour now.
    QColor background() const;

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setBackground(const QColor& c);
};

}  // namespace viewer

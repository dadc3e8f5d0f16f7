#pragma once
// The heading drill FrmSR: the current law's article titles and headings flashed on two
// large labels, one article after the other, tick by tick.
#include "viewer/tools/drill.h"

#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTimer;

namespace viewer {

class FrmSR : public QWidget {
    Q_OBJECT
  public:
    explicit FrmSR(QWidget* parent = nullptr);

    QLabel* LabelJ = nullptr;  // the article title
    QLabel* LabelM = nullptr;  // its heading
    QListWidget* List1 = nullptr;
    QListWidget* ListJ = nullptr;  // titles, not shown
    QListWidget* ListM = nullptr;  // headings, not shown
    QList<QRadioButton*> Option1;  // modes "1", "2", "3"
    QLineEdit* Text1 = nullptr;    // the tick interval in milliseconds
    QTimer* Timer1 = nullptr;

    int mode = 0;
    HeadingDrill drill;

    // The window's load: mode "1", the law's articles, the timer running.
    void Form_Load();
    // Reads the articles of the viewer's current law into the lists.
    void Load_DB();
    void Option1_Click(int index);
    // A text that is no valid interval leaves the timer as it is.
    void Text1_Change();
    void Timer1_Timer();

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void colour(QLabel* label, bool even);
    DrillList list_;
};

}  // namespace viewer

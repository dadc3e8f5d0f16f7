#pragma once
// 印刷 and PDF に保存 of a law browser: what to take (the text on show, the selection, the 目次
// entry with everything below it, the whole law) and whether the reader's markers and notes
// go along. The browser does the printing; the window only asks.
#include <QDialog>

class QCheckBox;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace viewer {

enum class PrintRange { Shown, Selection, Entry, WholeLaw };

// The printer to print on: `given` (tests), else the one the system's print dialog sets up in
// `chosen`; nullptr when the dialog was cancelled.
QPrinter* askPrinter(QWidget* parent, QPrinter& chosen, QPrinter* given);

class FrmPrint : public QDialog {
    Q_OBJECT
  public:
    // `selection`: the pane has a selection; `entry`: the node chosen has nodes below it.
    FrmPrint(bool selection, bool entry, QWidget* parent = nullptr);

    QRadioButton* OptShown = nullptr;
    QRadioButton* OptSelection = nullptr;
    QRadioButton* OptEntry = nullptr;
    QRadioButton* OptWhole = nullptr;
    QCheckBox* ChkMarks = nullptr;  // マーカーとメモも (kept between starts)
    QPushButton* CmdPrint = nullptr;
    QPushButton* CmdPdf = nullptr;
    QPushButton* CmdCancel = nullptr;

    PrintRange range() const;

  Q_SIGNALS:
    void printChosen(viewer::PrintRange range, bool marks);
    void pdfChosen(viewer::PrintRange range, bool marks);
};

}  // namespace viewer

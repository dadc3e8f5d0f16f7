#pragma once
// The About window: program title and version; a button for the system's information tool
// where one is installed.
#include <QDialog>

namespace viewer {

class FrmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit FrmAbout(QWidget* parent = nullptr);
    // The system-information program of this desktop, or empty when there is none.
    static QString systemInfoTool();
};

}  // namespace viewer

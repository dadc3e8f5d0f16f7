#pragma once
// Lexora's main window: the law buttons, the lookup and search boxes, the history and the
// frame that holds every other viewer window.
#include "platform/ui/mdi.h"

#include <QList>
#include <QPointer>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace exchange {
class FrmHCodeList;
}

namespace viewer {

class MDIMain : public platform::MdiFrame {
    Q_OBJECT
  public:
    explicit MDIMain(QWidget* parent = nullptr);

    // Start-up: settings, folders, first-start initialisation, law buttons. Called once
    // after construction (the window's load).
    void Form_Load();
    static void InitSettings();
    // Fills the six law buttons and HoutenNames from the master list.
    void LoadLawButtons();

    void CmdHouten_Click(int index);
    void CmdR_Click();
    void CmdHCodeList_Click();
    void Mn_File_Lexbench_Click();
    void Mn_Help_About_Click();

    QPushButton* CmdHCodeList = nullptr;
    QList<QPushButton*> CmdHouten;
    QLabel* Label1 = nullptr;
    QLineEdit* TxtJouFind = nullptr;
    QToolButton* CmdFindByCode = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* TxtJouFindT = nullptr;
    QToolButton* CmdFindByWord = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* ComboHis = nullptr;
    QComboBox* ComboHis2 = nullptr;
    QToolButton* CmdHst = nullptr;
    QToolButton* CmdR = nullptr;
    QToolButton* CmdSR = nullptr;

    QAction* Mn_Title = nullptr;
    QMenu* Mn_File = nullptr;
    QAction* Mn_File_Lexbench = nullptr;
    QAction* Mn_File_End = nullptr;
    QAction* Mn_dummy = nullptr;
    QMenu* Mn_Help = nullptr;
    QAction* Mn_Help_About = nullptr;

    QPointer<exchange::FrmHCodeList> hCodeList;  // the law list while it is open

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildBars();
    void buildMenus();
    // Opens the law in the law browser; until the browser exists it shows the law chosen.
    void openLaw(const QString& code);
};

}  // namespace viewer

#pragma once
// Lexbench's main window "メンテナンス -Lexora": a button bar that opens each maintenance tool
// once, inside the frame.
#include "platform/ui/mdi.h"

#include <QPointer>

class QPushButton;

namespace exchange {
class FrmImpIdx;
class FrmHCodeList;
}  // namespace exchange

namespace maint {

class FrmHtEdit;
class FrmTR;
class FrmSKEdit;
class FrmLaws;

class MDIMain : public platform::MdiFrame {
    Q_OBJECT
  public:
    explicit MDIMain(QWidget* parent = nullptr);

    // Start-up: the DB folder from the settings "ROOT" and "Path".
    static void MDIForm_Load();

    QPushButton* CmdImpSK = nullptr;
    QPushButton* CmdEditHouten = nullptr;
    QPushButton* CmdImport = nullptr;
    QPushButton* CmdHCodeList = nullptr;
    QPushButton* CmdSKList = nullptr;
    QPushButton* CmdLaws = nullptr;

    // The tool windows while they are open (each exists at most once).
    QPointer<exchange::FrmImpIdx> impIdx;
    QPointer<FrmHtEdit> htEdit;
    QPointer<FrmTR> textImport;
    QPointer<exchange::FrmHCodeList> hCodeList;
    QPointer<FrmSKEdit> skEdit;
    QPointer<FrmLaws> laws;

  private:
    // Shows the tool, creating it first when it is not open; `front` raises it as well.
    template <class T, class Make>
    T* openTool(QPointer<T>& slot, Make make, bool front);
};

}  // namespace maint

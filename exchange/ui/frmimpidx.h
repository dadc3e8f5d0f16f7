#pragma once
// The index import window "目次インポート" with its progress label LabelMon.
#include "exchange/idximport.h"
#include "platform/ui/run.h"

#include <QWidget>

class QLabel;

namespace exchange {

class FrmImpIdx : public QWidget, public IdxProgress {
    Q_OBJECT
  public:
    enum class Form { Viewer, Maintenance };
    explicit FrmImpIdx(Form form, QWidget* parent = nullptr);

    QLabel* LabelMon = nullptr;

    // The viewer's run: shows the window centred, imports idx.dat of the program folder and
    // returns; the caller closes the window.
    IdxImportResult runViewerImport();
    // The maintenance program's run on a dropped file.
    IdxImportResult ImportIdxFile(const QString& path);

    void label(const QString& text) override;
    void pump() override;
    bool stopRequested() const override { return run_.stopRequested(); }

  protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing during a run stops it before the next law; the window closes then.
    void closeEvent(QCloseEvent* e) override;

  private:
    Form form_;
    platform::RunState run_{this};
};

}  // namespace exchange

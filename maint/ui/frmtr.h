#pragma once
// The law text import window "条文インポート": a dropped file or the pane's text is split into
// article headings and paragraphs and stored, article by article, while the window shows each.
#include "maint/lawimport.h"
#include "platform/ui/mdi.h"
#include "platform/ui/run.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace platform {
class TextPane;
}

namespace maint {

class FrmTR : public QWidget {
    Q_OBJECT
  public:
    explicit FrmTR(QWidget* parent = nullptr);

    QLineEdit* TxtDrop = nullptr;
    QPushButton* CmdRead = nullptr;
    QPushButton* CmdFromClip = nullptr;
    QPushButton* CmdFetch = nullptr;  // opens 法令を追加 (the law API)
    platform::TextPane* RT1 = nullptr;
    QListWidget* ListFSep = nullptr;
    QLineEdit* TxtFName = nullptr;
    QLineEdit* TxtHouten = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* TxtTitle = nullptr;
    QListWidget* ListMon = nullptr;
    platform::TextPane* RTMon = nullptr;
    QLineEdit* TxtCode = nullptr;
    QLineEdit* TxtCodeT = nullptr;
    QLineEdit* TxtCodeMon = nullptr;
    QCheckBox* CheckM = nullptr;
    QCheckBox* CheckJ = nullptr;

    void CmdRead_Click();
    void CmdFromClip_Click();
    void CmdFetch_Click();
    // Shows paragraph i (0-based) of the article in work with its codes.
    void SetLstToRt(int i);
    // The result of the last run (for callers and tests).
    const ImportResult& lastResult() const { return result_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing during a run stops it after the current article; the window closes then.
    void closeEvent(QCloseEvent* e) override;

    // A law XML file: its code asked for (a listed law of the same name proposed), converted,
    // shown, imported as a file read, then its table of contents written.
    void importXml(const QString& path);
    // A folder of law XML or the government's bulk zip: after a question naming how many
    // files it holds, every law under the code its reading proposes; a line per law in
    // ListFSep and a summary at the end.
    void importCollection(const QString& path);

  private:
    void runImport(const QString& text, bool fromPane);
    // Shows each article as it is written and stops when the window closes.
    ImportObserver importObserver();
    void showArticle(const Article& a);
    void setBusy(bool busy);

    LawTextImporter importer_;  // keeps the heading brackets from one run to the next
    ImportOptions options_;     // read live: the check boxes act in the middle of a run
    Article article_;
    ImportResult result_;
    platform::RunState run_{this};
    QPointer<class FrmAddLaw> fetch_;
};

}  // namespace maint

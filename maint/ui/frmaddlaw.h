#pragma once
// "法令を追加": a law found on the government's law API by typing its title, shown with its
// number and the code it will get (editable), then downloaded and imported with a progress
// line. Lexora opens it from ファイル, Lexbench from its import window.
#include "exchange/lawapi.h"
#include "store/lawdb.h"

#include <QHash>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace maint {

class FrmAddLaw : public QWidget {
    Q_OBJECT
  public:
    explicit FrmAddLaw(QWidget* parent = nullptr);

    QLineEdit* TxtTitle = nullptr;   // title words or a law id
    QTreeWidget* LstLaws = nullptr;  // 題名 | 法令番号 | 法令ID
    QLabel* LblLaw = nullptr;        // the chosen law's title and number
    QLineEdit* TxtCode = nullptr;    // the code it will be imported under
    QPushButton* CmdAdd = nullptr;   // 追加
    QPushButton* CmdClose = nullptr;
    QLabel* LblStatus = nullptr;  // the progress line

    // Asks the API now for the typed words (typing asks after a short pause).
    void searchNow();
    // The row chosen: its title, number and code shown.
    void chooseRow(int row);
    // Downloads the chosen law and imports it; the result comes with lawAdded.
    void CmdAdd_Click();
    bool busy() const { return busy_; }
    const QList<exchange::ApiLaw>& laws() const { return laws_; }

  Q_SIGNALS:
    // A law was imported under this code: the lists and buttons showing laws are stale.
    void lawAdded(const QString& code);
    // An answer came (found laws shown, or the failure on the status line).
    void answered();

  private:
    void importDownloaded(const exchange::ApiLaw& law, const QString& code, const QByteArray& xml);
    void setBusy(bool busy);
    void status(const QString& text, bool failed = false);

    exchange::LawApi api_;
    QTimer* typing_ = nullptr;
    QList<exchange::ApiLaw> laws_;
    QHash<QString, store::LawEntry> byId_;  // the listed laws by law id
    bool busy_ = false;
    int asked_ = 0;  // the number of the latest search; older answers are dropped
};

}  // namespace maint

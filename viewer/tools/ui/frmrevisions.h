#pragma once
// 改正履歴: a law's revisions as the law API lists them, newest first (enforcement date, the
// amending law, 施行中 / 未施行 / 過去, whether one is here), 版として保存 keeping the chosen
// revision as a version, as `lexctl fetch CODE --revision` does, and 開く reading it. The answers
// arrive while the window stays usable; a failure is said in the window's status line.
#include "exchange/lawapi.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace viewer {

class FrmTree;

class FrmRevisions : public QWidget {
    Q_OBJECT
  public:
    // The revisions of the listed law of code `law`, asked for at once; a revision opened
    // shows the node `at` (the place the reader came from) when it has it.
    explicit FrmRevisions(const QString& law, const QString& at = {}, QWidget* parent = nullptr);

    QLabel* LblLaw = nullptr;
    QTreeWidget* LstRevisions = nullptr;  // 施行日, 改正法令, 状態, 手元, 版ID
    QPushButton* CmdKeep = nullptr;       // 版として保存
    QPushButton* CmdOpen = nullptr;       // 開く: the revision read in a browser, kept first
    QPushButton* CmdReload = nullptr;     // 再読込
    QLabel* LblStatus = nullptr;

    void load();
    // The chosen revision's XML fetched and kept as a version; with `open`, then read in a
    // browser.
    void keepChosen(bool open = false);
    // The chosen revision read in a browser: the law's when its current records hold it, a
    // version's (kept first when it is not here).
    void openChosen();
    const QList<exchange::ApiRevision>& revisions() const { return revisions_; }
    bool busy() const { return busy_; }

  Q_SIGNALS:
    void loaded();
    void kept(const QString& versionId);
    void failed(const QString& why);

  private:
    void showRevisions(const QList<exchange::ApiRevision>& revisions);
    void fail(const QString& why);
    void setBusy(bool busy);
    void opened(FrmTree* tree);
    QString code_, name_, lawId_, at_;
    QList<exchange::ApiRevision> revisions_;
    QStringList kept_;  // where each revision is here (revisionsKept)
    exchange::LawApi* api_;
    bool busy_ = false;
};

}  // namespace viewer

#pragma once
// 改正履歴: a law's revisions as the law API lists them, newest first (enforcement date, the
// amending law, 施行中 / 未施行 / 過去, whether one is here), and 版として保存 keeping the chosen
// revision as a version, as `lexctl fetch CODE --revision` does. The answers arrive while the
// window stays usable; a failure is said in the window's status line.
#include "exchange/lawapi.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace viewer {

class FrmRevisions : public QWidget {
    Q_OBJECT
  public:
    // The revisions of the listed law of code `law`, asked for at once.
    explicit FrmRevisions(const QString& law, QWidget* parent = nullptr);

    QLabel* LblLaw = nullptr;
    QTreeWidget* LstRevisions = nullptr;  // 施行日, 改正法令, 状態, 手元, 版ID
    QPushButton* CmdKeep = nullptr;       // 版として保存
    QPushButton* CmdReload = nullptr;     // 再読込
    QLabel* LblStatus = nullptr;

    void load();
    // The chosen revision's XML fetched and kept as a version.
    void keepChosen();
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
    QString code_, name_, lawId_;
    QList<exchange::ApiRevision> revisions_;
    exchange::LawApi* api_;
    bool busy_ = false;
};

}  // namespace viewer

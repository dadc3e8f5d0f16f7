#pragma once
// 沿革: the article shown, through the kept versions and the current records — each version
// in which it changed, newest first, with its date and amending law — and the chosen change
// as a row of the amendment table (改正後 and 改正前). 足りない版を取得 offers the revisions the
// law API lists that no kept version holds, keeps them, and shows the history again.
#include "exchange/lawapi.h"
#include "maint/lawdiff.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTextBrowser;
class QTreeWidget;

namespace viewer {

class FrmHistory : public QWidget {
    Q_OBJECT
  public:
    // The article of `code` (an article's or a paragraph's code) of the listed law `law`.
    FrmHistory(const QString& law, const QString& code, QWidget* parent = nullptr);

    QLabel* LblArticle = nullptr;
    QTreeWidget* LstSteps = nullptr;  // 施行日, 改正, 版, 種別
    QTextBrowser* TxtChange = nullptr;
    QPushButton* CmdFetch = nullptr;  // 足りない版を取得 (中止 while it runs)
    QLabel* LblStatus = nullptr;

    const QList<maint::HistoryStep>& steps() const { return steps_; }
    // The change of step `row` shown as its table row.
    void showStep(int row);
    // The steps read again from the versions here.
    void load();
    // Asks the law API for the revisions, offers those not here (with a date) and keeps each,
    // one after another, while the window stays usable; again while it runs: stops after the
    // one under way.
    void fetchMissing();
    bool busy() const { return busy_; }

  Q_SIGNALS:
    // The fetch ended: the versions kept, and why it ended early (empty when it did not).
    void fetchDone(int kept, const QString& why);

  private:
    void fetchNext();
    void endFetch(const QString& why);
    QString code_, name_, article_, lawId_;
    QList<maint::HistoryStep> steps_;
    exchange::LawApi* api_;
    QList<exchange::ApiRevision> missing_;
    int kept_ = 0;
    bool busy_ = false, stop_ = false;
};

}  // namespace viewer

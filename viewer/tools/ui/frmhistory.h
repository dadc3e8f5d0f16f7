#pragma once
// 沿革: the article shown, through the kept versions and the current records — each version
// in which it changed, newest first, with its date and amending law — and the chosen change
// as a row of the amendment table (改正後 and 改正前).
#include "maint/lawdiff.h"

#include <QWidget>

class QLabel;
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

    const QList<maint::HistoryStep>& steps() const { return steps_; }
    // The change of step `row` shown as its table row.
    void showStep(int row);

  private:
    QString name_, article_;
    QList<maint::HistoryStep> steps_;
};

}  // namespace viewer

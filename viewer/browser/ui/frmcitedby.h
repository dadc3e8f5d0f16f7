#pragma once
// 参照元: the provisions of every listed law that cite an article or paragraph, grouped by
// law, each with its label and first characters; hover shows the citing text with the
// reference marked, a click opens it in the law's browser.
#include "viewer/browser/citedby.h"

#include <QWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace viewer {

class FrmCitedBy : public QWidget {
    Q_OBJECT
  public:
    // The provisions citing `key` (an article's 10-character key or a paragraph's code) of
    // the listed law `law`; the index is brought up to date first, a progress shown when
    // many laws must be read.
    FrmCitedBy(const QString& law, const QString& key, QWidget* parent = nullptr);

    QLabel* LblTarget = nullptr;
    QTreeWidget* LstCiting = nullptr;  // a node per citing law, below it its provisions

    const QList<Citation>& citations() const { return citations_; }
    // Opens the citation of `item` in its law's browser; false for a law's own node.
    bool open(QTreeWidgetItem* item);

  private:
    QList<Citation> citations_;
};

// The status line's note for a provision shown: "参照元 12", "参照元 なし"; with laws still
// to be read into the index, "参照元 12 以上".
QString citedByNote(int count, int stale);

}  // namespace viewer

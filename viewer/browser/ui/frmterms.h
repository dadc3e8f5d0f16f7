#pragma once
// 用語一覧: the terms a law defines — term, where it is defined, its scope as written — with a
// box that filters them as one types; a double click (or Enter) opens the definition.
#include "viewer/browser/terms.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace viewer {

class FrmTerms : public QWidget {
    Q_OBJECT
  public:
    // The terms of the listed law `law`, read from `version` when one is given.
    FrmTerms(const QString& law, const QString& version = {}, QWidget* parent = nullptr);

    QLineEdit* TxtFilter = nullptr;
    QTreeWidget* LstTerms = nullptr;  // 用語, 定義, 範囲
    QLabel* LblCount = nullptr;

    // Shows the terms holding every word of `text` (in the term or its scope); all when empty.
    void filter(const QString& text);
    // The definition of `item` in the law's browser; false when it cannot be shown.
    bool open(QTreeWidgetItem* item);

  private:
    QString law_, version_;
    QList<DefinedTerm> terms_;
};

}  // namespace viewer

#pragma once
// The law list window "法典コード一覧": every law of the master list with its code, as a tree
// and as a list, narrowed as one types in the filter box (title, reading in kana or romaji,
// abbreviation, law number, code), by kind, in the order chosen. The viewer opens the law
// double-clicked; the maintenance program only shows. An open list follows the master list.
#include "exchange/lawlist.h"

#include <QWidget>

class QComboBox;
class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QListWidget;

namespace platform {
class KeyedTree;
}

namespace exchange {

class FrmHCodeList : public QWidget {
    Q_OBJECT
  public:
    enum class Form { Viewer, Maintenance };
    explicit FrmHCodeList(Form form, QWidget* parent = nullptr);

    platform::KeyedTree* TView1 = nullptr;
    QListWidget* List1 = nullptr;
    QLineEdit* TxtFilter = nullptr;  // filters as one types
    QComboBox* CboKind = nullptr;    // すべて, then lawKinds()
    QComboBox* CboOrder = nullptr;  // 番号, 五十音, 法令番号, 種別, and 最近 when given
    QLabel* LblCount = nullptr;     // "12 / 2100 件"

    // Reads the master list; places the window at the right edge of `frame` when given.
    void Form_Load(QWidget* frame = nullptr);
    // The laws opened last (codes, newest first): the order 最近 shows them first, and the
    // list opens in it.
    void setRecent(const QStringList& codes);

  Q_SIGNALS:
    // The viewer's form: the law double-clicked in the tree.
    void lawChosen(const QString& code);

  protected:
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void showLaws();

    Form form_;
    QList<LawListEntry> laws_;
    QStringList recent_;
    QFileSystemWatcher* watcher_ = nullptr;
};

}  // namespace exchange

#pragma once
// The law list window "法典コード一覧": every law of the master list with its code, as a tree
// and as a list. The viewer opens the law double-clicked; the maintenance program only shows.
#include <QWidget>

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

    // Reads the master list; places the window at the right edge of `frame` when given.
    void Form_Load(QWidget* frame = nullptr);

  Q_SIGNALS:
    // The viewer's form: the law double-clicked in the tree.
    void lawChosen(const QString& code);

  protected:
    void keyPressEvent(QKeyEvent* e) override;

  private:
    Form form_;
};

}  // namespace exchange

#pragma once
// Find in text (Ctrl+F) for a text widget: a bar at its top right; every hit of its words is
// marked and counted; Enter goes to the next, Shift+Enter to the one before (from the caret,
// round the end); Esc closes it. The plain panes and the drawn ones (tables, the amendment
// table) take the same bar.
#include <QFrame>
#include <QPointer>
#include <QTextCursor>
#include <QTextEdit>

#include <functional>

class QAbstractScrollArea;
class QLabel;
class QLineEdit;

namespace platform {

class FindBar : public QFrame {
    Q_OBJECT
  public:
    // What the bar asks of its widget: the document, the caret, a hit to select and show, and
    // the words to mark (empty: none) with the number of hits marked.
    struct Host {
        std::function<QTextDocument*()> document;
        std::function<QTextCursor()> cursor;
        std::function<void(const QTextCursor&)> select;
        std::function<int(const QStringList& words)> mark;
    };
    FindBar(QAbstractScrollArea* widget, Host host);
    // A bar for a rich text widget (QTextBrowser): the hits are its extra selections.
    static FindBar* attach(QTextEdit* edit);

    void open();
    bool next(bool backwards = false);
    // Marks the hits again: the widget's text was replaced.
    void refresh();
    QLineEdit* edit() const { return edit_; }
    QString count() const;  // "3 件", "見つかりません", or empty

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void place();
    QAbstractScrollArea* widget_;
    // Kept apart: while the widget is destroyed its viewport still sends events here, and the
    // widget can no longer be asked for it.
    QPointer<QWidget> viewport_;
    Host host_;
    QLineEdit* edit_;
    QLabel* label_;
    int hits_ = 0;
};

}  // namespace platform

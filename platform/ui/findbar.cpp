#include "platform/ui/findbar.h"

#include "platform/ui/fonts.h"
#include "platform/ui/textpane.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextDocument>

#include <algorithm>

namespace platform {

FindBar::FindBar(QAbstractScrollArea* widget, Host host)
    : QFrame(widget), widget_(widget), viewport_(widget->viewport()), host_(std::move(host)) {
    setObjectName(QStringLiteral("FindBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("FindEdit"));
    edit_->setPlaceholderText(QStringLiteral("検索（Enter 次、Shift+Enter 前）"));
    edit_->setFont(japaneseFont(kGothic, 10.0));
    edit_->installEventFilter(this);
    label_ = new QLabel(this);
    label_->setFont(japaneseFont(kGothic, 10.0));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(edit_, 1);
    row->addWidget(label_);
    hide();
    connect(edit_, &QLineEdit::textChanged, this, [this] { refresh(); });
    // Ctrl+F reaches the widget however it is focused; its size places the bar.
    widget_->installEventFilter(this);
    viewport_->installEventFilter(this);
}

FindBar* FindBar::attach(QTextEdit* edit) {
    return new FindBar(edit,
                       {[edit] { return edit->document(); }, [edit] { return edit->textCursor(); },
                        [edit](const QTextCursor& c) {
                            edit->setTextCursor(c);
                            edit->ensureCursorVisible();
                        },
                        [edit](const QStringList& words) {
                            const QList<QTextEdit::ExtraSelection> marks =
                                wordMarks(edit->document(), words);
                            edit->setExtraSelections(marks);
                            return int(marks.size());
                        }});
}

void FindBar::open() {
    const QString chosen = host_.cursor().selectedText();
    if (!chosen.isEmpty() && !chosen.contains(QChar::ParagraphSeparator)) edit_->setText(chosen);
    place();
    show();
    raise();
    edit_->setFocus();
    edit_->selectAll();
    refresh();
}

void FindBar::refresh() {
    if (isHidden()) return;  // a closed bar leaves the widget's marks alone
    const QString words = edit_->text();
    hits_ = host_.mark(words.isEmpty() ? QStringList() : QStringList{words});
    label_->setText(count());
}

QString FindBar::count() const {
    if (edit_->text().isEmpty() || isHidden()) return {};
    return hits_ == 0 ? QStringLiteral("見つかりません") : QStringLiteral("%1 件").arg(hits_);
}

bool FindBar::next(bool backwards) {
    const QString words = edit_->text();
    if (words.isEmpty()) return false;
    QTextDocument* doc = host_.document();
    const QString plain = doc->toPlainText();
    const QTextCursor c = host_.cursor();
    qsizetype at = backwards ? plain.lastIndexOf(words, c.selectionStart() - 1, Qt::CaseInsensitive)
                             : plain.indexOf(words, c.selectionEnd(), Qt::CaseInsensitive);
    if (at < 0)  // round the end
        at = backwards ? plain.lastIndexOf(words, -1, Qt::CaseInsensitive)
                       : plain.indexOf(words, 0, Qt::CaseInsensitive);
    if (at < 0) return false;
    QTextCursor hit(doc);
    hit.setPosition(int(at));
    hit.setPosition(int(at + words.size()), QTextCursor::KeepAnchor);
    host_.select(hit);
    return true;
}

void FindBar::place() {
    if (!viewport_) return;
    const QRect room = viewport_->geometry();
    const int w = std::min(360, std::max(160, room.width() - 8));
    setGeometry(room.right() - w - 4, room.top() + 4, w, sizeHint().height());
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (watched == edit_) {
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
                next(k->modifiers() & Qt::ShiftModifier);
                return true;
            }
            if (k->key() == Qt::Key_Escape) {
                hide();
                hits_ = host_.mark({});
                widget_->setFocus();
                return true;
            }
        } else if (k->matches(QKeySequence::Find)) {
            open();
            return true;
        }
    }
    if (watched == viewport_ && event->type() == QEvent::Resize) place();
    return QFrame::eventFilter(watched, event);
}

}  // namespace platform

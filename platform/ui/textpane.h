#pragma once
// A plain-text pane with one font for the whole text, whose text, selection start and
// selection length are counted in CR LF text as the law texts are built. A plain-text editor
// underneath: it lays out only what is on show, so a search result of a thousand blocks
// arrives at once.
#include <QColor>
#include <QPlainTextEdit>
#include <QStringList>

#include <functional>
#include <utility>

class QFrame;
class QLabel;
class QLineEdit;

namespace platform {

// CR LF (and lone LF) to the pane's line breaks, and back.
QString fromCrLf(const QString& text);
QString toCrLf(const QString& text);

// Every occurrence of the words in the document (letters compared without regard to case),
// marked with the search's background colour.
// `fold` (when given) maps the text and the words alike, one character for one, before they
// are compared: the marks stand at the raw text's places.
QList<QTextEdit::ExtraSelection> wordMarks(QTextDocument* doc, const QStringList& words,
                                           const std::function<QString(const QString&)>& fold = {});

class FindBar;

// The plain text's layout with taller lines: Qt's plain layout takes no line height of its own,
// so each block's lines are laid out again with the extra height above each line.
class SpacedLayout : public QPlainTextDocumentLayout {
    Q_OBJECT
  public:
    explicit SpacedLayout(QTextDocument* doc);
    void setSpacing(int percent);  // 100: as the font sets it
    int spacing() const { return spacing_; }
    QRectF blockBoundingRect(const QTextBlock& block) const override;

  protected:
    void documentChanged(int from, int removed, int added) override;

  private:
    void layOut(const QTextBlock& block) const;
    int spacing_ = 100;
};

class TextPane : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit TextPane(QWidget* parent = nullptr);

    QString text() const;  // with CR LF
    void setText(const QString& crlfText);
    // 0-based, counted in the CR LF text.
    int selStart() const;
    int selLength() const;
    void setSelStart(int pos);      // collapses the selection to a caret at pos
    void setSelLength(int length);  // selects from the caret over length characters
    QString selectedText() const;   // with CR LF

    QString fontName() const;
    void setFontName(const QString& name);
    double fontSize() const;
    void setFontSize(double points);
    bool fontBold() const;
    void setFontBold(bool bold);
    void setBackground(const QColor& color);
    // The height of each line in per cent of the font's (100: as the font sets it), kept for
    // every text the pane gets.
    void setLineSpacing(int percent);
    int lineSpacing() const { return lineSpacing_; }
    // A run of the CR LF text drawn as the one on show (a paragraph a jump went to), its lines
    // across the pane's width, scrolled into view with the caret at its start; a run outside
    // the text clears it, as a new text does.
    void setFocusRun(int crlfStart, int crlfLength);
    std::pair<int, int> focusRun() const { return focus_; }
    // Marks every occurrence of the words with a background colour (letters compared
    // without regard to case, as the search does); an empty list clears the marks.
    void highlightWords(const QStringList& words,
                        const std::function<QString(const QString&)>& fold = {});
    // The marks set, as positions in the CR LF text (for tests).
    QList<std::pair<int, int>> highlights() const;
    // Runs of the pane's text drawn in a background colour, or underlined (a reader's
    // markers), in positions of the pane's own text; a new text clears them. The search's
    // marks are drawn over them.
    struct Tint {
        int start = 0, length = 0;
        QColor colour;
        bool underline = false;
        QString tip;  // shown while the pointer is over it (a marker's note)
    };
    void setTints(const QList<Tint>& tints);
    const QList<Tint>& tints() const { return tints_; }
    // Find in text (Ctrl+F): a bar at the pane's top right; every hit of its words is marked
    // and counted; Enter goes to the next, Shift+Enter to the one before (from the caret,
    // round the end); Esc closes it.
    void openFind();
    bool findNext(bool backwards = false);
    QLineEdit* findEdit() const;
    QString findCount() const;  // "3 件", "見つかりません", or empty
    // The CR LF position of the caret.
    int caretPosition() const { return selStart(); }

    // Spans of the pane's text drawn as links (underlined, in the link colour; a dotted one
    // underlined with dots), in positions
    // of the pane's own text (a line break counts one); a new text clears them. Hovering one
    // shows what `tip` gives for its target; a click on it (not a drag) emits linkClicked.
    struct Link {
        int start = 0, length = 0;
        QString target;
        bool dotted = false;  // a defined term: a dotted underline in the text's own colour
    };
    void setLinks(const QList<Link>& links);
    const QList<Link>& links() const { return links_; }
    void setLinkTip(std::function<QString(const QString& target)> tip) {
        linkTip_ = std::move(tip);
    }
    // The link under a point of the viewport, or -1.
    int linkAt(const QPoint& viewportPos) const;
    // The tip of the tint under a point of the viewport, or empty.
    QString tintTipAt(const QPoint& viewportPos) const;
    // The tint under a point of the viewport (its index in tints()), or -1.
    int tintAt(const QPoint& viewportPos) const;

  Q_SIGNALS:
    void linkClicked(const QString& target);
    // A click (not a drag) on a tint with a tip: a marker's note to open.
    void noteClicked(int tint);

  protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    void showSelections();
    int toPlain(int crlfPos) const;
    int toCrLfPos(int plainPos) const;
    void applyFont(const QFont& f);
    QString fontName_;
    int lineSpacing_ = 100;
    std::pair<int, int> focus_{-1, 0};        // CR LF start and length, or -1
    QList<QTextEdit::ExtraSelection> marks_;  // the words highlighted
    QList<Tint> tints_;
    FindBar* findBar_ = nullptr;
    QList<Link> links_;
    std::function<QString(const QString&)> linkTip_;
    int hovered_ = -1;
};

}  // namespace platform

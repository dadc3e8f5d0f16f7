#include "platform/ui/textpane.h"

#include "platform/ui/findbar.h"
#include "platform/ui/fonts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>

namespace platform {

QString fromCrLf(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

QString toCrLf(const QString& text) {
    QString s = text;
    s.replace(QChar::ParagraphSeparator, u'\n');
    s.replace(QChar::LineSeparator, u'\n');
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return s;
}

SpacedLayout::SpacedLayout(QTextDocument* doc) : QPlainTextDocumentLayout(doc) {}

void SpacedLayout::setSpacing(int percent) {
    if (percent == spacing_) return;
    spacing_ = percent;
    // Every block laid out again as it is next shown.
    for (QTextBlock b = document()->firstBlock(); b.isValid(); b = b.next())
        b.layout()->clearLayout();
    requestUpdate();
    Q_EMIT documentSizeChanged(documentSize());
}

QRectF SpacedLayout::blockBoundingRect(const QTextBlock& block) const {
    if (block.isValid() && spacing_ != 100 && block.layout()->lineCount() == 0) layOut(block);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void SpacedLayout::documentChanged(int from, int removed, int added) {
    QPlainTextDocumentLayout::documentChanged(from, removed, added);
    if (spacing_ == 100) return;
    // The blocks the plain layout has just laid out, laid out again with the spacing.
    const QTextBlock last = document()->findBlock(std::max(0, from + added - 1));
    for (QTextBlock b = document()->findBlock(from); b.isValid(); b = b.next()) {
        if (b.layout()->lineCount() > 0) layOut(b);
        if (b == last) break;
    }
}

void SpacedLayout::layOut(const QTextBlock& block) const {
    // The plain layout's lines, each with the extra height above it, so that the text keeps
    // its place at the left and the pane scrolls by lines as before. The plain layout lays the
    // block out first: its lines hold the width it gives them.
    QTextLayout* tl = block.layout();
    if (tl->lineCount() == 0) QPlainTextDocumentLayout::blockBoundingRect(block);
    if (tl->lineCount() == 0) return;
    const qreal width = tl->lineAt(0).width();
    const qreal margin = document()->documentMargin();
    tl->beginLayout();
    qreal y = 0;
    for (QTextLine line = tl->createLine(); line.isValid(); line = tl->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(width);
        const qreal extra = line.height() * (spacing_ - 100) / 100.0;
        line.setPosition(QPointF(margin, y + extra));
        y += line.height() + extra;
    }
    tl->endLayout();
}

TextPane::TextPane(QWidget* parent) : QPlainTextEdit(parent) {
    // The pane's own document: the edit takes the layout only through setDocument.
    auto* doc = new QTextDocument(this);
    doc->setDocumentLayout(new SpacedLayout(doc));
    setDocument(doc);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    viewport()->setMouseTracking(true);  // links answer the pointer
    fontName_ = kGothic;
    applyFont(japaneseFont(kGothic, 10.0));
    findBar_ = new FindBar(this, {[this] { return document(); }, [this] { return textCursor(); },
                                  [this](const QTextCursor& c) {
                                      setTextCursor(c);
                                      ensureCursorVisible();
                                  },
                                  [this](const QStringList& words) {
                                      highlightWords(words);
                                      return int(marks_.size());
                                  }});
}

void TextPane::openFind() {
    findBar_->open();
}

QString TextPane::findCount() const {
    return findBar_->count();
}

bool TextPane::findNext(bool backwards) {
    return findBar_->next(backwards);
}

QLineEdit* TextPane::findEdit() const {
    return findBar_->edit();
}

QString TextPane::text() const {
    return toCrLf(toPlainText());
}

void TextPane::setText(const QString& crlfText) {
    // Marks and links belong to the text they were made for.
    marks_.clear();
    links_.clear();
    tints_.clear();
    focus_ = {-1, 0};
    hovered_ = -1;
    setExtraSelections({});
    // The pane takes the format at the caret for the whole new text: after a click into a
    // link that would be the link's colour and underline.
    setCurrentCharFormat(QTextCharFormat());
    setPlainText(fromCrLf(crlfText));
    // An open find bar finds in the new text too.
    findBar_->refresh();
}

void TextPane::setLineSpacing(int percent) {
    lineSpacing_ = std::clamp(percent, 100, 300);
    if (auto* layout = qobject_cast<SpacedLayout*>(document()->documentLayout()))
        layout->setSpacing(lineSpacing_);
}

void TextPane::setFocusRun(int crlfStart, int crlfLength) {
    const int start = toPlain(crlfStart);
    const int end = toPlain(crlfStart + crlfLength);
    if (crlfStart < 0 || crlfLength <= 0 || end >= document()->characterCount()) {
        focus_ = {-1, 0};
    } else {
        focus_ = {crlfStart, crlfLength};
        // Its last line first, then its first: the whole run in view when it fits, its
        // start at least when it does not.
        QTextCursor c(document());
        c.setPosition(end);
        setTextCursor(c);
        ensureCursorVisible();
        c.setPosition(start);
        setTextCursor(c);
        ensureCursorVisible();
    }
    showSelections();
}

void TextPane::showSelections() {
    QList<QTextEdit::ExtraSelection> all;
    const int size = document()->characterCount();
    if (focus_.first >= 0) {
        // Every line of the run, across the width: a paragraph, not its characters.
        const QTextBlock first = document()->findBlock(toPlain(focus_.first));
        const QTextBlock last = document()->findBlock(toPlain(focus_.first + focus_.second) - 1);
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            QTextEdit::ExtraSelection sel;
            sel.format.setBackground(QColor(232, 240, 252));
            sel.format.setProperty(QTextFormat::FullWidthSelection, true);
            sel.cursor = QTextCursor(b);
            all << sel;
            if (b == last) break;
        }
    }
    for (const Tint& t : tints_) {
        if (t.start < 0 || t.length <= 0 || t.start + t.length >= size) continue;
        QTextEdit::ExtraSelection sel;
        if (t.underline) {
            sel.format.setFontUnderline(true);
            sel.format.setUnderlineColor(t.colour);
            sel.format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        } else {
            sel.format.setBackground(t.colour);
        }
        if (!t.tip.isEmpty()) {  // a note on it: dotted below, shown on hover, opened by a click
            sel.format.setFontUnderline(true);
            sel.format.setUnderlineStyle(t.underline ? QTextCharFormat::WaveUnderline
                                                     : QTextCharFormat::DotLine);
        }
        sel.cursor = QTextCursor(document());
        sel.cursor.setPosition(t.start);
        sel.cursor.setPosition(t.start + t.length, QTextCursor::KeepAnchor);
        all << sel;
    }
    setExtraSelections(all + marks_);
}

void TextPane::setTints(const QList<Tint>& tints) {
    tints_ = tints;
    showSelections();
}

void TextPane::setLinks(const QList<Link>& links) {
    // Drawn in the document's own formats: thousands of extra selections, each a cursor the
    // document keeps up to date, would cost more than the text itself.
    const bool modified = document()->isModified();
    const bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    QTextCursor c(document());
    c.beginEditBlock();
    if (!links_.isEmpty()) {
        c.select(QTextCursor::Document);
        c.setCharFormat(QTextCharFormat());
    }
    const int size = document()->characterCount();
    links_.clear();
    QTextCharFormat link;
    link.setForeground(palette().color(QPalette::Link));
    link.setFontUnderline(true);
    QTextCharFormat dotted;
    dotted.setUnderlineStyle(QTextCharFormat::DotLine);
    for (const Link& l : links) {
        if (l.start < 0 || l.length <= 0 || l.start + l.length >= size) continue;
        links_ << l;
        c.setPosition(l.start);
        c.setPosition(l.start + l.length, QTextCursor::KeepAnchor);
        c.mergeCharFormat(l.dotted ? dotted : link);
    }
    c.endEditBlock();
    document()->setUndoRedoEnabled(undo);
    document()->setModified(modified);
    hovered_ = -1;
}

int TextPane::linkAt(const QPoint& viewportPos) const {
    const QTextCursor c = cursorForPosition(viewportPos);
    // The cursor lands between characters: the character under the point is the one whose
    // rectangle holds it.
    const int pos = cursorRect(c).center().x() > viewportPos.x() ? c.position() - 1 : c.position();
    for (int i = 0; i < links_.size(); ++i)
        if (pos >= links_[i].start && pos < links_[i].start + links_[i].length) return i;
    return -1;
}

void TextPane::mouseMoveEvent(QMouseEvent* e) {
    QPlainTextEdit::mouseMoveEvent(e);
    if (e->buttons() != Qt::NoButton) return;
    const int at = linkAt(e->position().toPoint());
    viewport()->setCursor(at >= 0 ? Qt::PointingHandCursor : Qt::IBeamCursor);
    // A marker's note shows over the marker; a link's preview over the link.
    if (at < 0) {
        hovered_ = -1;
        const QString note = tintTipAt(e->position().toPoint());
        if (note.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(e->globalPosition().toPoint(), note, viewport());
        return;
    }
    if (at == hovered_) return;
    hovered_ = at;
    const QString tip = linkTip_ ? linkTip_(links_[at].target) : QString();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(e->globalPosition().toPoint(), tip, viewport());
}

QString TextPane::tintTipAt(const QPoint& viewportPos) const {
    const int at = tintAt(viewportPos);
    return at >= 0 ? tints_[at].tip : QString();
}

void TextPane::mouseReleaseEvent(QMouseEvent* e) {
    QPlainTextEdit::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton || textCursor().hasSelection()) return;
    const int at = linkAt(e->position().toPoint());
    if (at >= 0) {
        Q_EMIT linkClicked(links_[at].target);
        return;
    }
    const int tint = tintAt(e->position().toPoint());
    if (tint >= 0 && !tints_[tint].tip.isEmpty()) Q_EMIT noteClicked(tint);
}

int TextPane::tintAt(const QPoint& viewportPos) const {
    const int pos = cursorForPosition(viewportPos).position();
    for (int i = 0; i < tints_.size(); ++i)
        if (pos >= tints_[i].start && pos < tints_[i].start + tints_[i].length) return i;
    return -1;
}

int TextPane::toPlain(int crlfPos) const {
    // Each CR LF before the position counts two in CR LF text and one in the pane.
    const QString t = text();
    int plain = 0;
    for (int i = 0; i < crlfPos && i < t.size(); ++i) {
        if (t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n') {
            ++i;
            if (i >= crlfPos) break;
        }
        ++plain;
    }
    if (crlfPos > t.size()) plain += crlfPos - int(t.size());
    return plain;
}

int TextPane::toCrLfPos(int plainPos) const {
    const QString p = toPlainText();
    int extra = 0;
    for (int i = 0; i < plainPos && i < p.size(); ++i)
        if (p[i] == u'\n' || p[i] == QChar::ParagraphSeparator) ++extra;
    return plainPos + extra;
}

int TextPane::selStart() const {
    return toCrLfPos(textCursor().selectionStart());
}

int TextPane::selLength() const {
    const QTextCursor c = textCursor();
    return toCrLfPos(c.selectionEnd()) - toCrLfPos(c.selectionStart());
}

void TextPane::setSelStart(int pos) {
    QTextCursor c = textCursor();
    const int max = int(toPlainText().size());
    c.setPosition(std::clamp(toPlain(pos), 0, max));
    setTextCursor(c);
    ensureCursorVisible();
}

void TextPane::setSelLength(int length) {
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    const int startCrLf = toCrLfPos(start);
    const int max = int(toPlainText().size());
    c.setPosition(start);
    c.setPosition(std::clamp(toPlain(startCrLf + std::max(0, length)), 0, max),
                  QTextCursor::KeepAnchor);
    setTextCursor(c);
    ensureCursorVisible();
}

QString TextPane::selectedText() const {
    return toCrLf(textCursor().selectedText());
}

QString TextPane::fontName() const {
    return fontName_;
}

void TextPane::setFontName(const QString& name) {
    fontName_ = name;
    QFont f = font();
    setJapaneseFamily(f, name);
    applyFont(f);
}

double TextPane::fontSize() const {
    return font().pointSizeF();
}

void TextPane::setFontSize(double points) {
    QFont f = font();
    f.setPointSizeF(points);
    applyFont(f);
}

bool TextPane::fontBold() const {
    return font().bold();
}

void TextPane::setFontBold(bool bold) {
    QFont f = font();
    f.setBold(bold);
    applyFont(f);
}

void TextPane::setBackground(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

void TextPane::applyFont(const QFont& f) {
    setFont(f);
    document()->setDefaultFont(f);
}

QList<QTextEdit::ExtraSelection> wordMarks(QTextDocument* doc, const QStringList& words,
                                           const std::function<QString(const QString&)>& fold) {
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat mark;
    mark.setBackground(QColor(255, 236, 120));
    // Positions of the plain text are the document's, tables and all.
    const QString raw = doc->toPlainText();
    const QString plain = fold ? fold(raw) : raw;
    for (QString w : words) {
        if (w.isEmpty()) continue;
        if (fold) w = fold(w);
        if (plain.size() != raw.size()) break;  // a fold that changed lengths marks nothing
        for (qsizetype at = plain.indexOf(w, 0, Qt::CaseInsensitive); at >= 0;
             at = plain.indexOf(w, at + w.size(), Qt::CaseInsensitive)) {
            QTextEdit::ExtraSelection sel;
            sel.format = mark;
            sel.cursor = QTextCursor(doc);
            sel.cursor.setPosition(int(at));
            sel.cursor.setPosition(int(at + w.size()), QTextCursor::KeepAnchor);
            marks << sel;
        }
    }
    return marks;
}

void TextPane::highlightWords(const QStringList& words,
                              const std::function<QString(const QString&)>& fold) {
    marks_ = wordMarks(document(), words, fold);
    showSelections();
}

QList<std::pair<int, int>> TextPane::highlights() const {
    QList<std::pair<int, int>> out;
    for (const QTextEdit::ExtraSelection& s : marks_)
        out.append({toCrLfPos(s.cursor.selectionStart()),
                    toCrLfPos(s.cursor.selectionEnd()) - toCrLfPos(s.cursor.selectionStart())});
    return out;
}

}  // namespace platform

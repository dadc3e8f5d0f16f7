#include "platform/ui/windowprompt.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace platform {

namespace {
// The pointer over a box is an arrow, even while the work that asks shows the hourglass.
class ArrowCursor {
  public:
    ArrowCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor)); }
    ~ArrowCursor() { QGuiApplication::restoreOverrideCursor(); }
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;
};

// A test that reaches a real modal box would wait for ever: it ends at once, named.
void refuseModalInTests(const QString& text) {
    if (qEnvironmentVariableIsSet("LEXORA_NO_MODAL"))
        qFatal("a modal box was opened without a scripted prompt: %s", qPrintable(text));
}

QString programTitle() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Lexora") : name;
}
}  // namespace

void useWindowPrompt() {
    static WindowPrompt windowPrompt;
    setDefaultPrompt(&windowPrompt);
}

Answer WindowPrompt::message(const QString& text, Buttons buttons) {
    QMessageBox::StandardButtons b = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (buttons) {
        case Buttons::Ok:
            break;
        case Buttons::OkCancel:
            b = QMessageBox::Ok | QMessageBox::Cancel;
            icon = QMessageBox::Question;
            break;
        case Buttons::YesNo:
            b = QMessageBox::Yes | QMessageBox::No;
            icon = QMessageBox::Question;
            break;
        case Buttons::YesNoCancel:
            b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            icon = QMessageBox::Question;
            break;
    }
    refuseModalInTests(text);
    QMessageBox box(icon, programTitle(), text, b, QApplication::activeWindow());
    ArrowCursor arrow;
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

QString WindowPrompt::input(const QString& text, const QString& fallback) {
    refuseModalInTests(text);
    bool ok = false;
    ArrowCursor arrow;
    const QString s = QInputDialog::getText(QApplication::activeWindow(), programTitle(), text,
                                            QLineEdit::Normal, fallback, &ok);
    return ok ? s : QString();
}

QString WindowPrompt::saveFile(const QString& caption, const QString& suggested,
                               const QStringList& filters, QString* filter) {
    refuseModalInTests(caption);
    ArrowCursor arrow;
    QString chosen = filters.value(0);
    const QString path =
        QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, suggested,
                                     filters.join(QStringLiteral(";;")), &chosen);
    if (filter) *filter = chosen;
    return path;
}

}  // namespace platform

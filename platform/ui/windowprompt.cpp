#include "platform/ui/windowprompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace platform {

namespace {
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
    QMessageBox box(icon, programTitle(), text, b, QApplication::activeWindow());
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
    bool ok = false;
    const QString s = QInputDialog::getText(QApplication::activeWindow(), programTitle(), text,
                                            QLineEdit::Normal, fallback, &ok);
    return ok ? s : QString();
}

}  // namespace platform

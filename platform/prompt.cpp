#include "platform/prompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>

namespace platform {

namespace {
WindowPrompt windowPrompt;
Prompt* current = nullptr;

QString programTitle() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Lexora") : name;
}
}  // namespace

Prompt& prompt() {
    return current ? *current : windowPrompt;
}
void setPrompt(Prompt* p) {
    current = p;
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

Answer ConsolePrompt::message(const QString& text, Buttons buttons) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

QString ConsolePrompt::input(const QString& text, const QString&) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    return {};
}

Answer ScriptedPrompt::message(const QString& text, Buttons b) {
    messages.append(text);
    buttons.append(b);
    if (answers.empty())
        return b == Buttons::YesNo || b == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedPrompt::input(const QString& text, const QString&) {
    inputPrompts.append(text);
    if (inputs.empty()) return {};
    QString s = inputs.front();
    inputs.pop_front();
    return s;
}

}  // namespace platform

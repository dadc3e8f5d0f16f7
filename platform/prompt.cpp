#include "platform/prompt.h"

#include <cstdio>

namespace platform {

namespace {
ConsolePrompt consolePrompt;
Prompt* fallbackPrompt = &consolePrompt;
Prompt* current = nullptr;
}  // namespace

Prompt& prompt() {
    return current ? *current : *fallbackPrompt;
}
void setPrompt(Prompt* p) {
    current = p;
}
void setDefaultPrompt(Prompt* p) {
    fallbackPrompt = p ? p : &consolePrompt;
}

// Without a window there is nobody to choose a file: nothing is saved.
QString Prompt::saveFile(const QString&, const QString&, const QStringList&, QString*) {
    return {};
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

QString ScriptedPrompt::input(const QString& text, const QString& fallback) {
    inputPrompts.append(text);
    inputFallbacks.append(fallback);
    if (inputs.empty()) return {};
    QString s = inputs.front();
    inputs.pop_front();
    return s;
}

QString ScriptedPrompt::saveFile(const QString&, const QString& suggested, const QStringList&,
                                 QString* filter) {
    saveSuggestions.append(suggested);
    if (saves.empty()) return {};
    const auto [path, chosen] = saves.front();
    saves.pop_front();
    if (filter) *filter = chosen;
    return path;
}

}  // namespace platform

#pragma once
// The one seam for message and input boxes. Windows never call QMessageBox directly: the
// window programs make the window prompt (platform/ui/windowprompt.h) their default, tests
// install a scripted prompt, and without either messages go to the terminal.
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <utility>

namespace platform {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class Prompt {
  public:
    virtual ~Prompt() = default;
    virtual Answer message(const QString& text, Buttons buttons) = 0;
    // The typed text, or the empty string when cancelled (as an input box answers).
    virtual QString input(const QString& text, const QString& fallback) = 0;
    // A file to save to: the path chosen (empty when cancelled) and, in `filter`, which of
    // `filters` ("UTF-8 (*.txt)") was chosen. `suggested` is the proposed path.
    virtual QString saveFile(const QString& caption, const QString& suggested,
                             const QStringList& filters, QString* filter);
};

// The prompt in force: the one installed, else the default.
Prompt& prompt();
// Installs `p` (not owned); nullptr restores the default.
void setPrompt(Prompt* p);
// The prompt used when none is installed (not owned); nullptr restores the console prompt.
void setDefaultPrompt(Prompt* p);

inline Answer msgBox(const QString& text, Buttons buttons = Buttons::Ok) {
    return prompt().message(text, buttons);
}
inline QString inputBox(const QString& text, const QString& fallback = {}) {
    return prompt().input(text, fallback);
}
inline QString saveFileBox(const QString& caption, const QString& suggested,
                           const QStringList& filters, QString* filter) {
    return prompt().saveFile(caption, suggested, filters, filter);
}

// Messages to standard error; questions take their default (OK, Yes); input is empty.
class ConsolePrompt : public Prompt {
  public:
    Answer message(const QString& text, Buttons buttons) override;
    QString input(const QString& text, const QString& fallback) override;
};

// Records every message and answers from queues (OK / Yes / empty when a queue runs dry).
class ScriptedPrompt : public Prompt {
  public:
    ScriptedPrompt() { setPrompt(this); }
    ~ScriptedPrompt() override { setPrompt(nullptr); }
    ScriptedPrompt(const ScriptedPrompt&) = delete;
    ScriptedPrompt& operator=(const ScriptedPrompt&) = delete;

    Answer message(const QString& text, Buttons buttons) override;
    QString input(const QString& text, const QString& fallback) override;
    QString saveFile(const QString& caption, const QString& suggested, const QStringList& filters,
                     QString* filter) override;

    QStringList messages;         // every message text, in order
    QList<Buttons> buttons;       // the buttons each message offered
    QStringList inputPrompts;     // every input box prompt
    QStringList inputFallbacks;   // the text each input box proposed
    std::deque<Answer> answers;   // queued answers to messages
    std::deque<QString> inputs;   // queued answers to input boxes
    QStringList saveSuggestions;  // the path each save box proposed
    // Queued answers to save boxes: path and filter (a dry queue cancels).
    std::deque<std::pair<QString, QString>> saves;
};

}  // namespace platform

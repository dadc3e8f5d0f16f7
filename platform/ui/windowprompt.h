#pragma once
// Message and input boxes as modal windows titled with the program's name.
#include "platform/prompt.h"

namespace platform {

// Modal QMessageBox / QInputDialog, parented to the active window.
class WindowPrompt : public Prompt {
  public:
    Answer message(const QString& text, Buttons buttons) override;
    QString input(const QString& text, const QString& fallback) override;
    QString saveFile(const QString& caption, const QString& suggested, const QStringList& filters,
                     QString* filter) override;
};

// Makes the window prompt the default of this program.
void useWindowPrompt();

}  // namespace platform

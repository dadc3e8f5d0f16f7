#pragma once
// Starting programs and opening files or folders with the desktop.
#include <QString>
#include <QStringList>

namespace platform {

// The platform's name for a program file ("Lexbench" here, "Lexbench.exe" elsewhere).
QString executableName(const QString& baseName);

// Starts a program without waiting; false when it could not be started.
bool startProgram(const QString& path, const QStringList& arguments = {},
                  const QString& workingDirectory = {});

// The "open" verb: a file, folder or page with the desktop's handler.
bool shellOpen(const QString& path);
// The "edit" verb: $VISUAL or $EDITOR when set, otherwise like "open".
bool shellEdit(const QString& path);

}  // namespace platform

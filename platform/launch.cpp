#include "platform/launch.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace platform {

QString executableName(const QString& baseName) {
#ifdef Q_OS_WIN
    return baseName + QStringLiteral(".exe");
#else
    return baseName;
#endif
}

bool startProgram(const QString& path, const QStringList& arguments,
                  const QString& workingDirectory) {
    return QProcess::startDetached(path, arguments, workingDirectory);
}

bool shellOpen(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool shellEdit(const QString& path) {
    for (const char* var : {"VISUAL", "EDITOR"}) {
        const QString editor = qEnvironmentVariable(var).trimmed();
        if (editor.isEmpty()) continue;
        QStringList parts = QProcess::splitCommand(editor);
        if (parts.isEmpty()) continue;
        const QString program = parts.takeFirst();
        return QProcess::startDetached(program, parts << path);
    }
    return shellOpen(path);
}

}  // namespace platform

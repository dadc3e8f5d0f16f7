#include "platform/launch.h"

#include <QDir>
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
    // The desktop's own opener, as the window system's open service runs it, so that
    // programs without windows can open pages and folders too.
#if defined(Q_OS_MACOS)
    return QProcess::startDetached(QStringLiteral("open"), {path});
#elif defined(Q_OS_WIN)
    return QProcess::startDetached(QStringLiteral("explorer"), {QDir::toNativeSeparators(path)});
#else
    return QProcess::startDetached(QStringLiteral("xdg-open"),
                                   {QUrl::fromLocalFile(path).toString()});
#endif
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

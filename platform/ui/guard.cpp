#include "platform/ui/guard.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/error.h"
#include "platform/prompt.h"
#include "platform/ui/windowprompt.h"

#include <cstdio>

namespace platform {

QTranslator* installQtJapanese(QCoreApplication* app) {
    auto* t = new QTranslator(app);
    if (!t->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(t)) {
        delete t;
        return nullptr;
    }
    return t;
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {
    useWindowPrompt();
    installQtJapanese(this);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentException();
        return false;
    }
}

void showCurrentException() noexcept {
    try {
        msgBox(describeCurrentException());
    } catch (...) {
        // The message itself failed (no memory, a prompt that throws): the handler still
        // ends here.
        std::fputs("lexora: an error could not be shown\n", stderr);
    }
}

}  // namespace platform

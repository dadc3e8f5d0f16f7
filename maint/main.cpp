#include "maint/mdimain.h"
#include "platform/guard.h"

int main(int argc, char** argv) {
    platform::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexbench"));
    QApplication::setOrganizationName(QStringLiteral("LXA"));
    maint::MDIMain::MDIForm_Load();
    maint::MDIMain main;
    main.show();
    return app.exec();
}

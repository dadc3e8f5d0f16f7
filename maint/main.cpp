#include "maint/ui/mdimain.h"
#include "platform/ui/guard.h"

int main(int argc, char** argv) {
    platform::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexbench"));
    QApplication::setOrganizationName(QStringLiteral("LXA"));
    platform::guard([] { maint::MDIMain::MDIForm_Load(); });
    maint::MDIMain main;
    main.show();
    return app.exec();
}

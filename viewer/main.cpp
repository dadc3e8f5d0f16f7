#include "platform/ui/guard.h"
#include "viewer/shell/ui/mdimain.h"

int main(int argc, char** argv) {
    platform::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexora"));
    QApplication::setOrganizationName(QStringLiteral("LXA"));
    viewer::MDIMain main;
    main.show();
    platform::guard([&main] { main.Form_Load(); });
    return app.exec();
}

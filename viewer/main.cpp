#include "platform/guard.h"
#include "platform/prompt.h"
#include "viewer/shell/mdimain.h"

int main(int argc, char** argv) {
    platform::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexora"));
    QApplication::setOrganizationName(QStringLiteral("LXA"));
    viewer::MDIMain main;
    main.show();
    try {
        main.Form_Load();
    } catch (...) {
        platform::msgBox(platform::describeCurrentException());
    }
    return app.exec();
}

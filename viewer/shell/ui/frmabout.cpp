#include "viewer/shell/ui/frmabout.h"

#include "platform/launch.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace viewer {

QString FrmAbout::systemInfoTool() {
    for (const char* name : {"hardinfo", "gnome-system-monitor", "kinfocenter", "msinfo32"}) {
        const QString p = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!p.isEmpty()) return p;
    }
    return {};
}

FrmAbout::FrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    auto* title = new QLabel(QStringLiteral("Lexora"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont f = platform::japaneseFont(platform::kGothic, 18);
    f.setBold(true);
    title->setFont(f);
    auto* version =
        new QLabel(QStringLiteral("バージョン %1").arg(QStringLiteral(LEXORA_VERSION)), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* description = new QLabel(QStringLiteral("法令閲覧システム"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    platform::connectGuarded(ok, &QPushButton::clicked, this, [this] { accept(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const QString tool = systemInfoTool();
    if (!tool.isEmpty()) {
        auto* sys = new QPushButton(QStringLiteral("システム情報(&S)..."), this);
        sys->setObjectName(QStringLiteral("cmdSysInfo"));
        platform::connectGuarded(sys, &QPushButton::clicked, this,
                                 [tool] { platform::startProgram(tool); });
        buttons->addWidget(sys);
    }
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(description);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(360, 180);
}

}  // namespace viewer

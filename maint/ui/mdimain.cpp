#include "maint/ui/mdimain.h"

#include "exchange/firststart.h"

#include "exchange/ui/frmhcodelist.h"
#include "exchange/ui/frmimpidx.h"
#include "maint/ui/frmhtedit.h"
#include "maint/ui/frmlaws.h"
#include "maint/ui/frmskedit.h"
#include "maint/ui/frmtr.h"
#include "platform/settings.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/twips.h"
#include "store/folders.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QToolBar>

namespace maint {

MDIMain::MDIMain(QWidget* parent) : platform::MdiFrame(parent) {
    setObjectName(QStringLiteral("MDIMain"));
    setWindowTitle(QStringLiteral("メンテナンス -Lexora"));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    auto* bar = new QToolBar(QStringLiteral("ツール"), this);
    bar->setObjectName(QStringLiteral("ButtonBar"));
    bar->setMovable(false);
    auto button = [&](QPushButton*& b, const char* name, const QString& caption) {
        b = new QPushButton(caption, bar);
        b->setObjectName(QString::fromLatin1(name));
        bar->addWidget(b);
    };
    button(CmdImpSK, "CmdImpSK", QStringLiteral("目次インポート"));
    button(CmdEditHouten, "CmdEditHouten", QStringLiteral("法典編集"));
    button(CmdImport, "CmdImport", QStringLiteral("条文インポート"));
    button(CmdHCodeList, "CmdHCodeList", QStringLiteral("法典コード一覧"));
    button(CmdSKList, "CmdSKList", QStringLiteral("目次編集"));
    button(CmdLaws, "CmdLaws", QStringLiteral("条文編集"));
    addToolBar(Qt::TopToolBarArea, bar);
    resize(1200, 820);

    using exchange::FrmHCodeList;
    using exchange::FrmImpIdx;
    platform::connectGuarded(CmdImpSK, &QPushButton::clicked, this, [this] {
        openTool(
            impIdx, [] { return new FrmImpIdx(FrmImpIdx::Form::Maintenance); }, false);
    });
    platform::connectGuarded(CmdEditHouten, &QPushButton::clicked, this, [this] {
        openTool(
            htEdit, [] { return new FrmHtEdit; }, true);
    });
    platform::connectGuarded(CmdImport, &QPushButton::clicked, this, [this] {
        openTool(
            textImport, [] { return new FrmTR; }, true);
    });
    platform::connectGuarded(CmdHCodeList, &QPushButton::clicked, this, [this] {
        const bool fresh = hCodeList.isNull();
        FrmHCodeList* w = openTool(
            hCodeList, [] { return new FrmHCodeList(FrmHCodeList::Form::Maintenance); }, false);
        if (fresh) w->Form_Load(area());
    });
    platform::connectGuarded(CmdSKList, &QPushButton::clicked, this, [this] {
        openTool(
            skEdit, [] { return new FrmSKEdit; }, false);
    });
    platform::connectGuarded(CmdLaws, &QPushButton::clicked, this, [this] {
        openTool(
            laws, [] { return new FrmLaws; }, true);
    });
}

template <class T, class Make>
T* MDIMain::openTool(QPointer<T>& slot, Make make, bool front) {
    if (slot.isNull()) {
        slot = make();
        showChild(slot);
    } else if (QMdiSubWindow* sub = platform::subWindowOf(slot)) {
        sub->show();
    }
    if (front) platform::bringToFront(slot);
    return slot;
}

void MDIMain::MDIForm_Load() {
    platform::Settings settings;
    QString program = settings.get(QStringLiteral("Path"));
    const QString root = settings.get(QStringLiteral("ROOT"));
    // Without either setting the data would land in the file system's root; the program's
    // own folder is the place a fresh installation expects.
    if (program.isEmpty() && root.isEmpty()) program = QCoreApplication::applicationDirPath();
    QString dataRoot = root;
    if (dataRoot.isEmpty()) {
        // An installed program keeps its data where the viewer keeps it.
        dataRoot = exchange::defaultDataRoot(program);
        if (!dataRoot.isEmpty()) {
            settings.save(QStringLiteral("ROOT"), dataRoot);
            // With ROOT set, an empty Path would no longer fall back to this folder.
            if (settings.get(QStringLiteral("Path")).isEmpty())
                settings.save(QStringLiteral("Path"), program);
        }
    }
    store::setFolders(program, dataRoot);
}

}  // namespace maint

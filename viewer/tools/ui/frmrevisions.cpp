#include "viewer/tools/ui/frmrevisions.h"

#include "maint/lawfetch.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "store/lawdb.h"
#include "viewer/browser/ui/frmtree.h"
#include "viewer/shell/ui/mdimain.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace viewer {

FrmRevisions::FrmRevisions(const QString& law, const QString& at, QWidget* parent)
    : QWidget(parent),
      code_(law.toUpper()),
      name_(store::GetHoutenName(law)),
      at_(at),
      api_(new exchange::LawApi(exchange::lawApiAddress(), this)) {
    setObjectName(QStringLiteral("FrmRevisions"));
    setWindowTitle(QStringLiteral("改正履歴 - %1").arg(name_));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    LblLaw = new QLabel(this);
    LblLaw->setObjectName(QStringLiteral("LblLaw"));
    LstRevisions = new QTreeWidget(this);
    LstRevisions->setObjectName(QStringLiteral("LstRevisions"));
    LstRevisions->setRootIsDecorated(false);
    LstRevisions->setHeaderLabels({QStringLiteral("施行日"), QStringLiteral("改正法令"),
                                   QStringLiteral("状態"), QStringLiteral("手元"),
                                   QStringLiteral("版ID")});
    LstRevisions->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    CmdKeep = new QPushButton(QStringLiteral("版として保存(&K)"), this);
    CmdKeep->setObjectName(QStringLiteral("CmdKeep"));
    CmdOpen = new QPushButton(QStringLiteral("開く(&O)"), this);
    CmdOpen->setObjectName(QStringLiteral("CmdOpen"));
    CmdReload = new QPushButton(QStringLiteral("再読込(&R)"), this);
    CmdReload->setObjectName(QStringLiteral("CmdReload"));
    LblStatus = new QLabel(this);
    LblStatus->setObjectName(QStringLiteral("LblStatus"));
    LblStatus->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(LblStatus, 1);
    buttons->addWidget(CmdReload);
    buttons->addWidget(CmdKeep);
    buttons->addWidget(CmdOpen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblLaw);
    layout->addWidget(LstRevisions, 1);
    layout->addLayout(buttons);
    platform::connectGuarded(CmdKeep, &QPushButton::clicked, this, [this] { keepChosen(); });
    platform::connectGuarded(CmdReload, &QPushButton::clicked, this, [this] { load(); });
    platform::connectGuarded(CmdOpen, &QPushButton::clicked, this, [this] { openChosen(); });
    platform::connectGuarded(LstRevisions, &QTreeWidget::itemDoubleClicked, this,
                             [this] { openChosen(); });
    resize(900, 360);
    {
        store::Database db = store::openLawDb(name_);
        const store::LawInfo info = store::readLawInfo(db);
        lawId_ = info.lawId;
        LblLaw->setText(
            QStringLiteral("%1（%2）").arg(info.title.isEmpty() ? name_ : info.title, info.lawNum));
    }
    load();
}

void FrmRevisions::setBusy(bool busy) {
    busy_ = busy;
    CmdKeep->setEnabled(!busy);
    CmdOpen->setEnabled(!busy);
    CmdReload->setEnabled(!busy);
    if (busy)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void FrmRevisions::fail(const QString& why) {
    setBusy(false);
    LblStatus->setText(why);
    Q_EMIT failed(why);
}

void FrmRevisions::load() {
    if (lawId_.isEmpty()) {
        fail(maint::noLawIdMessage(name_));
        return;
    }
    setBusy(true);
    LblStatus->setText(QStringLiteral("法令APIに改正履歴を問い合わせています…"));
    api_->revisions(lawId_, [this](QList<exchange::ApiRevision> found, exchange::ApiError error) {
        platform::guard([&] {
            if (error) return fail(error.text);
            setBusy(false);
            showRevisions(found);
            LblStatus->setText(QStringLiteral("%1 件").arg(found.size()));
            Q_EMIT loaded();
        });
    });
}

void FrmRevisions::showRevisions(const QList<exchange::ApiRevision>& revisions) {
    revisions_ = revisions;
    kept_ = maint::revisionsKept(name_, revisions);
    LstRevisions->clear();
    for (qsizetype i = 0; i < revisions.size(); ++i) {
        const exchange::ApiRevision& r = revisions[i];
        QString amending = r.amendLawNum;
        if (!r.amendTitle.isEmpty()) amending += QStringLiteral("（%1）").arg(r.amendTitle);
        auto* item = new QTreeWidgetItem(
            LstRevisions, {r.enforced.isEmpty() ? r.comment : r.enforced, amending,
                           exchange::revisionStatusText(r.status),
                           kept_[i].isEmpty()                      ? QString()
                           : kept_[i] == QStringLiteral("current") ? QStringLiteral("現在")
                                                                   : QStringLiteral("保存済"),
                           r.revisionId});
        item->setToolTip(1, amending);
    }
    if (LstRevisions->topLevelItemCount() > 0)
        LstRevisions->setCurrentItem(LstRevisions->topLevelItem(0));
    for (int c = 0; c < LstRevisions->columnCount(); ++c)
        if (c != 1) LstRevisions->resizeColumnToContents(c);
}

void FrmRevisions::openChosen() {
    const int row = LstRevisions->indexOfTopLevelItem(LstRevisions->currentItem());
    if (busy_ || row < 0 || row >= revisions_.size()) return;
    const QString where = kept_.value(row);
    if (where.isEmpty()) return keepChosen(true);
    MDIMain* main = MDIMain::instance();
    if (!main) return;
    opened(where == QStringLiteral("current") ? main->loadBrowser(code_)
                                              : main->versionBrowser(code_, where));
}

void FrmRevisions::opened(FrmTree* tree) {
    if (tree && !at_.isEmpty()) tree->showJump(at_);
}

void FrmRevisions::keepChosen(bool open) {
    const int row = LstRevisions->indexOfTopLevelItem(LstRevisions->currentItem());
    if (busy_ || row < 0 || row >= revisions_.size()) return;
    const exchange::ApiRevision chosen = revisions_[row];
    setBusy(true);
    LblStatus->setText(QStringLiteral("%1 を取得しています…").arg(chosen.revisionId));
    api_->lawXml(chosen.revisionId, [this, chosen, open](QByteArray xml, exchange::ApiError error) {
        platform::guard([&] {
            if (error) return fail(error.text);
            platform::BusyCursor busy;
            QString version;
            try {
                version = maint::keepRevision(xml, {0, code_, name_}, lawId_, chosen);
            } catch (const platform::Error& e) {
                return fail(e.description());
            }
            setBusy(false);
            showRevisions(revisions_);
            LblStatus->setText(QStringLiteral("版 %1 として保存しました（%2 %3）")
                                   .arg(version, chosen.enforced, chosen.amendLawNum));
            Q_EMIT kept(version);
            if (open)
                if (MDIMain* main = MDIMain::instance())
                    opened(main->versionBrowser(code_, version));
        });
    });
}

}  // namespace viewer

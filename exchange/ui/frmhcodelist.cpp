#include "exchange/ui/frmhcodelist.h"

#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/keyedtree.h"
#include "platform/ui/mdi.h"
#include "platform/ui/twips.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QComboBox>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace exchange {

FrmHCodeList::FrmHCodeList(Form form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("FrmHCodeList"));
    setWindowTitle(QStringLiteral("法典コード一覧"));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    TView1 = new platform::KeyedTree(this);
    TView1->setObjectName(QStringLiteral("TView1"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    TxtFilter = new QLineEdit(this);
    TxtFilter->setObjectName(QStringLiteral("TxtFilter"));
    TxtFilter->setPlaceholderText(QStringLiteral("題名・読み・略称・法令番号・コード"));
    TxtFilter->setClearButtonEnabled(true);
    CboKind = new QComboBox(this);
    CboKind->setObjectName(QStringLiteral("CboKind"));
    CboKind->addItem(QStringLiteral("すべて"));
    CboKind->addItems(lawKinds());
    CboOrder = new QComboBox(this);
    CboOrder->setObjectName(QStringLiteral("CboOrder"));
    CboOrder->addItems({QStringLiteral("番号"), QStringLiteral("五十音"),
                        QStringLiteral("法令番号"), QStringLiteral("種別")});
    LblCount = new QLabel(this);
    LblCount->setObjectName(QStringLiteral("LblCount"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(TxtFilter, 1);
    bar->addWidget(CboKind);
    bar->addWidget(CboOrder);
    bar->addWidget(LblCount);
    auto* lists = new QHBoxLayout;
    lists->addWidget(TView1);
    lists->addWidget(List1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(lists, 1);
    resize(620, 360);
    platform::connectGuarded(TxtFilter, &QLineEdit::textChanged, this, [this] { showLaws(); });
    platform::connectGuarded(CboKind, &QComboBox::currentIndexChanged, this,
                             [this] { showLaws(); });
    platform::connectGuarded(CboOrder, &QComboBox::currentIndexChanged, this,
                             [this] { showLaws(); });
    // Laws added or removed while the list is open: the master list's file changes. A bulk
    // import changes it law by law, so the list reads it once the changes pause.
    auto* reread = new QTimer(this);
    reread->setSingleShot(true);
    reread->setInterval(300);
    platform::connectGuarded(reread, &QTimer::timeout, this, [this] {
        laws_ = readLawListEntries();
        showLaws();
    });
    watcher_ = new QFileSystemWatcher(this);
    platform::connectGuarded(watcher_, &QFileSystemWatcher::fileChanged, this, [this, reread] {
        reread->start();
        // A file replaced (not written in place) is no longer watched.
        if (watcher_->files().isEmpty()) watcher_->addPath(store::masterDbPath());
    });
    platform::connectGuarded(TView1, &QTreeWidget::itemDoubleClicked, this,
                             [this](QTreeWidgetItem* item) {
                                 if (form_ == Form::Viewer && item)
                                     Q_EMIT lawChosen(platform::KeyedTree::keyOf(item));
                             });
}

void FrmHCodeList::Form_Load(QWidget* frame) {
    if (frame) {
        const int left =
            platform::pixelsToTwips(frame->width()) - platform::geometryTwips(this).width() - 200;
        platform::setGeometryTwips(this, std::max(0, left), 0,
                                   platform::geometryTwips(this).width(),
                                   platform::geometryTwips(this).height());
    }
    laws_ = readLawListEntries();
    if (watcher_->files().isEmpty()) watcher_->addPath(store::masterDbPath());
    showLaws();
}

void FrmHCodeList::setRecent(const QStringList& codes) {
    recent_ = codes;
    if (CboOrder->count() == 4) CboOrder->addItem(QStringLiteral("最近"));
    CboOrder->setCurrentIndex(codes.isEmpty() ? 0 : 4);
    showLaws();
}

void FrmHCodeList::showLaws() {
    QList<LawListEntry> shown;
    const QString kind = CboKind->currentIndex() > 0 ? CboKind->currentText() : QString();
    for (const LawListEntry& law : laws_)
        if ((kind.isEmpty() || law.kind == kind) && lawListMatches(law, TxtFilter->text()))
            shown << law;
    if (CboOrder->currentIndex() == 4) {
        // 最近: the laws opened last first, newest first; the others by 番号.
        sortLawList(shown, LawListOrder::Number);
        std::stable_sort(shown.begin(), shown.end(), [this](const auto& a, const auto& b) {
            const qsizetype ra = recent_.indexOf(a.code.toUpper()),
                            rb = recent_.indexOf(b.code.toUpper());
            return (ra < 0 ? recent_.size() : ra) < (rb < 0 ? recent_.size() : rb);
        });
    } else {
        sortLawList(shown, static_cast<LawListOrder>(std::max(0, CboOrder->currentIndex())));
    }
    List1->clear();
    TView1->clearNodes();
    for (const LawListEntry& law : shown) {
        List1->addItem(u' ' + law.code + QStringLiteral("  ") + law.name);
        if (!TView1->contains(law.code))
            TView1->addNode({}, law.code, law.code + QStringLiteral("  ") + law.name);
    }
    LblCount->setText(QStringLiteral("%1 / %2 件").arg(shown.size()).arg(laws_.size()));
}

void FrmHCodeList::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        platform::unload(this);
        return;
    }
    QWidget::keyPressEvent(e);
}

}  // namespace exchange

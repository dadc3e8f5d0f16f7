#include "exchange/ui/frmhcodelist.h"

#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/keyedtree.h"
#include "platform/ui/mdi.h"
#include "platform/ui/twips.h"
#include "store/lawdb.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>

namespace exchange {

FrmHCodeList::FrmHCodeList(Form form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("FrmHCodeList"));
    setWindowTitle(QStringLiteral("法典コード一覧"));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    TView1 = new platform::KeyedTree(this);
    TView1->setObjectName(QStringLiteral("TView1"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(TView1);
    layout->addWidget(List1);
    resize(460, 320);
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
    const QList<store::LawEntry> laws = store::readLawList();
    List1->clear();
    TView1->clearNodes();
    for (const store::LawEntry& law : laws) {
        List1->addItem(u' ' + law.code + QStringLiteral("  ") + law.name);
        if (!TView1->contains(law.code))
            TView1->addNode({}, law.code, law.code + QStringLiteral("  ") + law.name);
    }
}

void FrmHCodeList::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        platform::unload(this);
        return;
    }
    QWidget::keyPressEvent(e);
}

}  // namespace exchange

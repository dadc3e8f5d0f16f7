#include "platform/ui/keyedtree.h"

#include "platform/vb.h"

#include <QSet>

namespace platform {

namespace {
constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kTextRole = Qt::UserRole + 2;

}  // namespace

KeyedTree::KeyedTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QTreeWidgetItem* KeyedTree::addNode(const QString& parentKey, const QString& key,
                                    const QString& text) {
    if (byKey_.contains(key))
        throw TreeKeyError(QStringLiteral("キー %1 はすでにツリーにあります。").arg(key));
    QTreeWidgetItem* parentItem = nullptr;
    if (!parentKey.isEmpty()) {
        parentItem = byKey_.value(parentKey, nullptr);
        if (!parentItem)
            throw TreeKeyError(
                QStringLiteral("親ノード %1 がありません。(%2)").arg(parentKey, key));
    }
    auto* item = new QTreeWidgetItem;
    item->setData(0, kKeyRole, key);
    setTextOf(item, text);
    if (parentItem)
        parentItem->addChild(item);
    else
        addTopLevelItem(item);
    byKey_.insert(key, item);
    order_.append(item);
    return item;
}

void KeyedTree::addNodes(const QList<NodeSpec>& specs) {
    QList<QTreeWidgetItem*> tops;  // new top-level items, attached at the end
    QHash<QTreeWidgetItem*, QList<QTreeWidgetItem*>> pending;  // children of attached items
    auto attach = [&] {
        addTopLevelItems(tops);
        for (auto it = pending.begin(); it != pending.end(); ++it) it.key()->addChildren(*it);
    };
    QSet<QTreeWidgetItem*> fresh;
    try {
        for (const NodeSpec& n : specs) {
            if (byKey_.contains(n.key))
                throw TreeKeyError(QStringLiteral("キー %1 はすでにツリーにあります。").arg(n.key));
            QTreeWidgetItem* parentItem = nullptr;
            if (!n.parentKey.isEmpty()) {
                parentItem = byKey_.value(n.parentKey, nullptr);
                if (!parentItem)
                    throw TreeKeyError(
                        QStringLiteral("親ノード %1 がありません。(%2)").arg(n.parentKey, n.key));
            }
            auto* item = new QTreeWidgetItem;
            item->setData(0, kKeyRole, n.key);
            setTextOf(item, n.text);
            if (!parentItem)
                tops.append(item);
            else if (fresh.contains(parentItem))
                parentItem->addChild(item);  // not in the view yet: no signals
            else
                pending[parentItem].append(item);
            fresh.insert(item);
            byKey_.insert(n.key, item);
            order_.append(item);
        }
    } catch (...) {
        attach();
        throw;
    }
    attach();
}

QString KeyedTree::keyOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kKeyRole).toString() : QString();
}

QString KeyedTree::textOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kTextRole).toString() : QString();
}

void KeyedTree::setTextOf(QTreeWidgetItem* item, const QString& text) {
    item->setData(0, kTextRole, text);
    item->setText(0, oneLine(text));
}

QTreeWidgetItem* KeyedTree::selectedNode() const {
    const QList<QTreeWidgetItem*> sel = selectedItems();
    return sel.isEmpty() ? nullptr : sel.first();
}

QString KeyedTree::selectedKey() const {
    return keyOf(selectedNode());
}

void KeyedTree::selectNode(QTreeWidgetItem* item) {
    if (!item) {
        clearSelection();
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

void KeyedTree::removeFirst() {
    if (order_.isEmpty()) return;
    QTreeWidgetItem* first = order_.takeFirst();
    // Removing a node removes its subtree; forget every key below it as well.
    QSet<QTreeWidgetItem*> gone;
    QList<QTreeWidgetItem*> stack{first};
    while (!stack.isEmpty()) {
        QTreeWidgetItem* it = stack.takeLast();
        byKey_.remove(keyOf(it));
        gone.insert(it);
        for (int i = 0; i < it->childCount(); ++i) stack.append(it->child(i));
    }
    if (gone.size() > 1)
        order_.removeIf([&gone](QTreeWidgetItem* it) { return gone.contains(it); });
    delete first;
}

void KeyedTree::clearNodes() {
    byKey_.clear();
    order_.clear();
    clear();
}

}  // namespace platform

#pragma once
// A tree view whose nodes carry unique string keys: add under a parent found by key, find by
// key in constant time, walk in insertion ("index") order. A duplicate key or a missing
// parent is an error, as the tree control of the law browser reported it.
#include <QHash>
#include <QList>
#include <QTreeWidget>
#include "platform/error.h"

#include <stdexcept>

namespace platform {

class TreeKeyError : public Error {
  public:
    using Error::Error;
};

class KeyedTree : public QTreeWidget {
    Q_OBJECT
  public:
    explicit KeyedTree(QWidget* parent = nullptr);

    // Adds a node; an empty parentKey makes it a top-level node. Throws TreeKeyError.
    QTreeWidgetItem* addNode(const QString& parentKey, const QString& key, const QString& text);
    // Adds many nodes at once, in order, faster than one by one: the nodes are linked first
    // and shown together. A duplicate key or a missing parent throws TreeKeyError; the nodes
    // before it stay in the tree.
    struct NodeSpec {
        QString parentKey, key, text;
    };
    void addNodes(const QList<NodeSpec>& specs);
    QTreeWidgetItem* node(const QString& key) const { return byKey_.value(key, nullptr); }
    bool contains(const QString& key) const { return byKey_.contains(key); }
    int nodeCount() const { return int(order_.size()); }
    // Nodes in insertion order; index 0 is the first node added.
    const QList<QTreeWidgetItem*>& nodes() const { return order_; }

    static QString keyOf(const QTreeWidgetItem* item);
    // The node's text as stored, line breaks included (the row shows them as blanks).
    static QString textOf(const QTreeWidgetItem* item);
    static void setTextOf(QTreeWidgetItem* item, const QString& text);

    QString selectedKey() const;
    QTreeWidgetItem* selectedNode() const;
    // Selects the node (and makes it current); nullptr clears the selection.
    void selectNode(QTreeWidgetItem* item);
    void removeFirst();
    void clearNodes();

  private:
    QHash<QString, QTreeWidgetItem*> byKey_;
    QList<QTreeWidgetItem*> order_;
};

}  // namespace platform

#pragma once
// The content of a law's tree, computed without a window: every node's key, parent, text, in
// the order the nodes go into the tree. The browser window only puts them into its tree, and
// lexctl prints them.
#include "store/lawdb.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace viewer {

// Key of the root of the table-of-contents tree of `law`: the code and fourteen zeros.
QString tocRootKey(const QString& law);
// Keys of the two fixed nodes of law KP.
inline const QString kPromulgationKey = QStringLiteral("KP000000000000001");
inline const QString kPreambleKey = QStringLiteral("KP000000000000002");
// The fixed texts of law KP: the promulgation statement (one paragraph) and the preamble
// (four paragraphs joined with CR LF), each paragraph beginning with U+3000.
QString promulgationText();
QString preambleText();

struct TreeNode {
    QString parentKey;  // empty for the root
    QString key;
    QString text;
    bool operator==(const TreeNode&) const = default;
};

struct LawTree {
    QString law;       // the law code, in upper case
    QString name;      // 法典名称; empty when the code is not in the law list
    bool toc = false;  // built from the table of contents (else the flat article tree)
    QString version;   // the kept version read, or empty for the current records
    QList<TreeNode> nodes;
    // Rows that could not go into the tree, one line each ("目次 KS0102…: reason"); the
    // nodes before and after them are kept.
    QStringList problems;
    // The part of each part node (前文, 附則, 別表 … after the main provision), by key.
    QHash<QString, store::LawPart> parts;
};

// The key of a law's part node (MPP00051: the 51st part in the document's order); a part's
// article or paragraph is that key, "-" and its number (MPP00051-002).
QString partKey(const QString& law, int order);
bool isPartKey(const QString& key);

// The table-of-contents tree (SetTreeALL); a law without 目次 rows gets the flat tree. With
// `version`, of that kept version of the law (Error when there is none).
LawTree buildTocTree(const QString& law, const QString& version = {});
// The flat article tree (SetTree): the root and every article and paragraph below it.
LawTree buildFlatTree(const QString& law, const QString& version = {});
// MakeTreeOne: mode 0 the flat tree, any other the table-of-contents tree.
LawTree buildLawTree(const QString& law, int mode, const QString& version = {});
// The one message for the rows a build could not show, or "" when there were none; with
// `most` above 0, only that many rows are listed and the rest counted.
QString treeProblemsMessage(const LawTree& tree, int most = 0);

// Depth of every node (the root 0), in the order of tree.nodes.
QList<int> nodeDepths(const LawTree& tree);

}  // namespace viewer

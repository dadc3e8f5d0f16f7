#include "viewer/browser/lawtree.h"

#include "exchange/lawparts.h"
#include "platform/error.h"
#include "platform/vb.h"
#include "store/codes.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/versions.h"
#include "viewer/browser/constitution_texts.h"
#include "viewer/log.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>

namespace viewer {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString paragraphs(const char8_t* text) {
    QStringList out;
    const QString all = QString::fromUtf8(text).trimmed();
    for (const QString& p : all.split(u'\n')) out << QChar(0x3000) + p.trimmed();
    return out.join(kCrLf);
}

// Adds nodes, keeping every key once: a node whose key is taken or whose parent is missing
// is named in the problems and left out, and the build goes on.
class Builder {
  public:
    explicit Builder(LawTree& tree) : tree_(tree) {}

    bool add(const QString& parentKey, const QString& key, const QString& text,
             const QString& row) {
        if (keys_.contains(key)) {
            tree_.problems << row + QStringLiteral(": %1 はすでに目次 %2 の下にあります")
                                        .arg(key, tree_.nodes[keys_.value(key)].parentKey);
            return false;
        }
        if (!parentKey.isEmpty() && !keys_.contains(parentKey)) {
            tree_.problems << row + QStringLiteral(": 親の目次 %1 がありません").arg(parentKey);
            return false;
        }
        keys_.insert(key, int(tree_.nodes.size()));
        tree_.nodes.append({parentKey, key, text});
        return true;
    }
    bool has(const QString& key) const { return keys_.contains(key); }

    void fixedNodes(const QString& rootKey) {
        if (tree_.law != QStringLiteral("KP")) return;
        add(rootKey, kPromulgationKey, promulgationText(), {});
        add(rootKey, kPreambleKey, preambleText(), {});
    }

    // The articles and paragraphs of the rows, in 条項コード order, below `parentKey`
    // (SetJouKou's walk). `row` names the rows in problems.
    void articles(store::Recordset& rs, const QString& parentKey, const QString& row) {
        QString lastArticle;
        bool articleIn = false;
        for (; !rs.eof(); rs.moveNext()) {
            // Keys in upper case: a law stored as "ab" is looked up as "AB".
            const QString code = rs.text(QStringLiteral("条項コード")).toUpper();
            const QString text = rs.text(QStringLiteral("条文"));
            try {
                const QString article = code.left(10);
                if (article != lastArticle) {
                    lastArticle = article;
                    QString label = store::GetJouKouText(article);
                    if (!platform::trimBlanks(text).isEmpty())
                        label += QStringLiteral(" 【") + text + u'】';
                    articleIn = add(parentKey, article, label, row);
                }
                if (articleIn && store::paragraphOrdinal(code) > 0)
                    add(article, code, store::GetJouKouText(code) + text, row);
            } catch (const platform::Error&) {
                tree_.problems << row + QStringLiteral(": 条項コード %1 が読めません").arg(code);
            }
        }
    }

    // After the main provision: a node per part, labelled as the website labels it, holding
    // its articles or paragraphs. 日本国憲法 keeps its fixed 前文 node instead of the part.
    void parts(store::Database& db, const QString& rootKey) {
        int order = 0;
        for (const store::LawPart& part : store::readLawParts(db)) {
            const QString key = partKey(tree_.law, ++order);
            if (tree_.law == QStringLiteral("KP") && part.kind == QStringLiteral("前文")) continue;
            if (!add(rootKey, key, part.label, QStringLiteral("附則別表等 ") + part.label))
                continue;
            tree_.parts.insert(key, part);
            const QStringList entries = exchange::partEntries(part);
            for (int i = 0; i < entries.size(); ++i)
                add(key, key + QStringLiteral("-%1").arg(i + 1, 3, 10, QChar(u'0')), entries[i],
                    QStringLiteral("附則別表等 ") + part.label);
        }
    }

  private:
    LawTree& tree_;
    QHash<QString, int> keys_;
};

void logBuild(const LawTree& tree, const QElapsedTimer& clock) {
    qCDebug(lcViewer).noquote() << (tree.toc ? "toc tree of" : "flat tree of") << tree.law << "took"
                                << clock.elapsed() << "ms:" << tree.nodes.size() << "nodes,"
                                << tree.problems.size() << "problems";
}

}  // namespace

QString partKey(const QString& law, int order) {
    return law + QStringLiteral("P%1").arg(order, 5, 10, QChar(u'0'));
}

bool isPartKey(const QString& key) {
    return key.size() >= 8 && key[2] == u'P' && key.mid(3, 5).toInt() > 0;
}

QString tocRootKey(const QString& law) {
    return law + QString(14, u'0');
}

QString promulgationText() {
    return paragraphs(constitution::kPromulgation);
}

QString preambleText() {
    return paragraphs(constitution::kPreamble);
}

namespace {
// The law's code and name; false when the code is not in the law list.
bool namedTree(const QString& law, LawTree& tree) {
    tree.law = law.toUpper();
    tree.name = store::GetHoutenName(tree.law);
    return !tree.name.isEmpty();
}
}  // namespace

LawTree buildFlatTree(const QString& law, const QString& version) {
    QElapsedTimer clock;
    clock.start();
    LawTree tree;
    if (!namedTree(law, tree)) return tree;
    tree.version = version;
    // A law met for the first time gets its empty database, as every caller does.
    store::Database db = store::openLawAt(tree.name, version);
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
    // No root either, unless the law has parts (a law of 附則 only).
    if (rs.recordCount() == 0 && store::readLawParts(db).isEmpty()) return tree;
    Builder b(tree);
    b.add({}, tree.law, store::lawTitle(tree.name), {});
    b.fixedNodes(tree.law);
    b.articles(rs, tree.law, QStringLiteral("条文"));
    b.parts(db, tree.law);
    logBuild(tree, clock);
    return tree;
}

LawTree buildTocTree(const QString& law, const QString& version) {
    QElapsedTimer clock;
    clock.start();
    LawTree tree;
    if (!namedTree(law, tree)) return tree;
    tree.version = version;
    store::Database db = store::openLawAt(tree.name, version);
    store::Recordset toc = db.openRecordset(QStringLiteral("select * from 目次 order by コード"));
    if (toc.recordCount() == 0) {
        db.close();
        return buildFlatTree(law, version);
    }
    tree.toc = true;
    Builder b(tree);
    const QString root = tocRootKey(tree.law);
    b.add({}, root, store::lawTitle(tree.name), {});
    b.fixedNodes(root);
    const QString range = QStringLiteral(
        "select * from 条文 where 条項コード>=? and 条項コード<=? order by 条項コード");
    for (; !toc.eof(); toc.moveNext()) {
        const QString code = toc.text(QStringLiteral("コード")).toUpper();
        const QString row = QStringLiteral("目次 ") + code;
        QString label, parent;
        try {
            parent = store::GetMokujiName(code, label);
        } catch (const platform::Error&) {
        }
        if (parent.isEmpty() || code.size() != 16) {
            tree.problems << row + QStringLiteral(": コードが編章節款目を表していません");
            continue;
        }
        QString rangeText;
        try {
            rangeText = store::GetJouRangeText(toc.text(QStringLiteral("SOJ2")),
                                               toc.text(QStringLiteral("EOJ2")));
        } catch (const platform::Error&) {
        }
        if (!b.add(parent, code,
                   label + u' ' + toc.text(QStringLiteral("見出し")) + QChar(0x3000) + rangeText,
                   row))
            continue;
        // The records of the entry's range (SetJouKou); the one open database serves every
        // entry.
        const QString lawPart = code.left(2);
        try {
            store::Recordset rs = db.openRecordset(
                range, store::RecordsetType::Snapshot,
                {lawPart + toc.text(QStringLiteral("SOJ")) + QStringLiteral("0000000000"),
                 lawPart + toc.text(QStringLiteral("EOJ")) + QStringLiteral("9999999999")});
            b.articles(rs, code, row);
        } catch (const store::Error& e) {
            tree.problems << row + QStringLiteral(": ") + e.description();
        }
    }
    b.parts(db, root);
    logBuild(tree, clock);
    return tree;
}

LawTree buildLawTree(const QString& law, int mode, const QString& version) {
    return mode != 0 ? buildTocTree(law, version) : buildFlatTree(law, version);
}

QString treeProblemsMessage(const LawTree& tree, int most) {
    if (tree.problems.isEmpty()) return {};
    QStringList lines = tree.problems;
    // A message box does not scroll: past `most` lines the rest is counted, not listed.
    if (most > 0 && lines.size() > most) {
        const qsizetype more = lines.size() - most;
        lines = lines.mid(0, most);
        lines << QStringLiteral("ほか %1 件").arg(more);
    }
    return QStringLiteral("%1 の次の行はツリーに加えられませんでした。\r\n").arg(tree.name) +
           lines.join(kCrLf);
}

QList<int> nodeDepths(const LawTree& tree) {
    QHash<QString, int> depth;
    QList<int> out;
    for (const TreeNode& n : tree.nodes) {
        const int d = n.parentKey.isEmpty() ? 0 : depth.value(n.parentKey) + 1;
        depth.insert(n.key, d);
        out << d;
    }
    return out;
}

}  // namespace viewer

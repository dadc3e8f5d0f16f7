#pragma once
// The table-of-contents editor without a window: the 目次 key composed from the level boxes,
// the short and stored forms of article numbers, the key in words, checks before a row is
// written, reading and writing one 目次 row, and the nodes of a law's tree.
#include "store/engine.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace maint {

// The texts of the five level boxes and the law box.
struct TocLevels {
    QString law, part, chapter, section, subsection, division;
};

// F(x): x read as a number, at least two digits ("" gives "00").
QString levelField(const QString& x);
// S(x): "3-2" gives "0302", "3" gives "0300".
QString levelPair(const QString& x);
// Law code in upper case, 編, 章 (with branch), 節 (with branch), 款, 目.
QString composeTocKey(const TocLevels& levels);

// Short article number (12, 12-3, 12-2-3) to its 8-character stored form; "" for more
// than two "-".
QString GetSEOJ(const QString& text);
// Stored form to short form (00120203 gives 12-2-3). Anything but 8 digits comes back as is.
QString GetCodeByHifun(const QString& stored);

// The key in words: `name` only the levels above 0, `name2` every level the key reaches.
// Both empty unless everything after the law code is digits.
struct KeyNames {
    QString name, name2;
};
KeyNames keyNames(const QString& key);

// The refusal message for level boxes that would not fit their two-digit fields, or "".
QString checkLevels(const TocLevels& levels);
// The refusal message for a key that is not a law code and fourteen digits with a level, or "".
QString checkTocKey(const QString& key);
// The refusal message for a range box whose parts are not numbers of their width, or "".
// `box` names the box in the message.
QString checkRangeText(const QString& text, const QString& box);

// One 目次 row; the range fields in stored form.
struct TocRow {
    QString code, heading, soj, eoj, soj2, eoj2;
};
// The row as the boxes give it (ranges through GetSEOJ).
TocRow rowFromBoxes(const QString& key, const QString& heading, const QString& soj,
                    const QString& eoj, const QString& soj2, const QString& eoj2);
// The 法典名称 of the law `code` when its database file exists, else "".
QString existingLawName(const QString& code);
std::optional<TocRow> readTocRow(store::Database& db, const QString& key);
// Edits the row with this code, or adds it.
void writeTocRow(store::Database& db, const TocRow& row);
// Deletes the row with this code; false when there is none.
bool deleteTocRow(store::Database& db, const QString& key);

struct TocNode {
    QString parentKey, key, text;
};
// The article and paragraph nodes of one entry, from 条文 records between soj and eoj (none
// unless both are 8 characters).
// Records whose codes cannot be read are skipped.
QList<TocNode> articleNodes(store::Database& db, const QString& entryKey, const QString& soj,
                            const QString& eoj);

struct TocTree {
    bool lawFound = false;  // the law is listed and its database file exists
    QList<TocNode> nodes;   // in the order they go into the tree
    QStringList orphans;    // 目次 codes whose parent entry is not in the tree
    QStringList badCodes;   // 目次 codes that name no level
};
// The law node, its entries in コード order and their articles; an article taken in by two
// entries goes under the first only.
TocTree buildTocTree(const QString& lawCode);
// One message about the rows that could not be shown, or "".
QString unshownRowsMessage(const TocTree& tree);

}  // namespace maint

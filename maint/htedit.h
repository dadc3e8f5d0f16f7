#pragma once
// The law list editor without a window: the list lines (法典コード　法典名称), adding,
// renaming and removing a law in the master table, and writing the list order back.
#include <QString>
#include <QStringList>

namespace maint {

// 法典コード + full-width blank + 法典名称.
QString lawListLine(const QString& code, const QString& name);
// Characters 1-2 and everything from character 4 on; the layout needs two-character codes.
QString lineCode(const QString& line);
QString lineName(const QString& line);

// The master table's lines in 番号 order.
QStringList readLawListLines();

// Why a law cannot be registered under this code and name, or empty when it can.
QString checkLawEntry(const QString& code, const QString& name);

// Adds the law, or renames it when its code is listed; either way it goes to the end of the
// order: 番号 = `lineCount` + 1, or one past the highest other 番号 when that is higher (after
// a removal count + 1 may be taken, and 番号 is the table's unique key). The name is trimmed
// of half-width blanks. A rename renames the law's database file with it; a file under the
// new name already there, a failed rename or a name listed under another code refuse the
// whole step (store::Error) and nothing changes. Creates the law's empty database when it
// is missing and returns whether it did. Throws store::Error for a code or name
// checkLawEntry refuses.
bool registerLaw(const QString& code, const QString& name, int lineCount);
// Removes every row of the code; the law's database file stays and 番号 are not renumbered.
void removeLaw(const QString& code);
// Rewrites the table from the lines, numbered from 0, in one transaction.
void writeLawOrder(const QStringList& lines);

}  // namespace maint

#pragma once
// The law-list file ht.dat: one law a line, 番号 法典コード 法典名称 separated by blanks.
#include <QString>
#include <QStringList>

namespace exchange {

struct HtLoadResult {
    bool fileFound = false;
    int added = 0;
    QStringList skipped;  // "N行目: reason (record)" for every record not stored
};

// Adds one master row per record of ht.dat in the program folder. A record that cannot be
// read or stored is skipped; all of them are named in one message at the end.
HtLoadResult LoadHtFile();
// The same on any file (the first start reads the program folder's).
HtLoadResult loadHtFileFrom(const QString& path);

}  // namespace exchange

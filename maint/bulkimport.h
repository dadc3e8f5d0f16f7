#pragma once
// A whole collection of law XML imported in one go (a folder, or the government's bulk zip):
// every law, or those whose title holds every word, or those whose law id is listed; each
// under the code its reading proposes (a listed law keeps its code).
#include "exchange/lawsource.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace maint {

struct BulkFilter {
    QStringList words;   // the title holds every one
    QStringList lawIds;  // the file's law id is one of them
};

struct BulkResult {
    QStringList imported;    // "KO 国家賠償法: 6 articles"
    QStringList incomplete;  // of them, the laws with blocks or table-of-contents rows left out
    QStringList skipped;     // "file: reason"
    QStringList notFound;    // law ids of the filter that no file of the source has
    int matched = 0;         // files the filter took
    bool stopped = false;
    // The reference index (参照元) read after the laws: how many laws it read, or why it could
    // not be (it is read again when next looked at).
    int indexed = 0;
    QString indexError;
    // The same for the word search's index, read after the reference index.
    int searchIndexed = 0;
    QString searchIndexError;
    // Everything asked for is in: no law, block or row left out, no listed id missing.
    bool whole() const { return incomplete.isEmpty() && skipped.isEmpty() && notFound.isEmpty(); }
};

struct BulkObserver {
    // Before each law: its number among those taken, how many there may be, its file.
    std::function<void(int number, int total, const QString& file)> law;
    // After each law: the line it adds to `imported` or `skipped`.
    std::function<void(const QString& line, bool imported)> done;
    std::function<bool()> stop;  // asked between laws
    // While the reference index reads the laws imported (and the laws naming them).
    std::function<void(int done, int total)> indexing;
    // While the word search's index reads them.
    std::function<void(int done, int total)> searchIndexing;
};

BulkResult importLawXmlSource(const exchange::LawXmlSource& source, const BulkFilter& filter,
                              const BulkObserver& observer = {});

}  // namespace maint

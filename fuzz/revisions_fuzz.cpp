// Any answer to a law's revision list: read as the documented list or refused as a bad
// answer, never both; every revision read has an id, a date or none, newest first.
#include "exchange/lawapi.h"
#include "exchange/lawsource.h"
#include "fuzz/fuzzsupport.h"

#include <QDate>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray answer(reinterpret_cast<const char*>(data), qsizetype(size));
    exchange::ApiError error;
    const QList<exchange::ApiRevision> found = exchange::parseRevisionsAnswer(answer, &error);
    fuzz::check(!error || found.isEmpty(), "a bad answer reads no revisions");
    fuzz::check(!error || error.kind == exchange::ApiFailure::BadAnswer, "a bad answer says so");
    for (qsizetype i = 0; i < found.size(); ++i) {
        const exchange::ApiRevision& r = found[i];
        fuzz::check(!r.revisionId.isEmpty(), "every revision has an id");
        fuzz::check(r.enforced.isEmpty() || QDate::fromString(r.enforced, Qt::ISODate).isValid(),
                    "a date is a date");
        if (i > 0 && !found[i - 1].enforced.isEmpty())
            fuzz::check(!r.enforced.isEmpty() && r.enforced <= found[i - 1].enforced,
                        "newest first, the undated before");
        exchange::revisionStatusText(r.status);
        const QString number = exchange::lawNumOfId(r.revisionId.section(u'_', 2, 2));
        fuzz::check(number.isEmpty() || number.endsWith(u'号'), "a law number ends in 号");
    }
    exchange::revisionAsOf(found, QStringLiteral("2024-04-01"));
    return 0;
}

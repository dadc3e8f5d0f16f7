#include "maint/bulkimport.h"

#include "exchange/lawcode.h"
#include "exchange/lawxml.h"
#include "maint/lawimport.h"
#include "store/lawdb.h"

#include <QFileInfo>
#include <QSet>

namespace maint {

BulkResult importLawXmlSource(const exchange::LawXmlSource& source, const BulkFilter& filter,
                              const BulkObserver& observer) {
    BulkResult r;
    QList<store::LawEntry> known = store::readLawList();
    const QSet<QString> ids(filter.lawIds.begin(), filter.lawIds.end());
    const int total = int(source.names().size());
    for (int i = 0; i < total; ++i) {
        if (observer.stop && observer.stop()) {
            r.stopped = true;
            break;
        }
        const QString file = source.names()[i];
        const QString shown = QFileInfo(file).fileName();
        if (!ids.isEmpty() && !ids.contains(exchange::LawXmlSource::lawIdOf(file))) continue;
        auto skip = [&](const QString& why) {
            r.skipped << shown + QStringLiteral(": ") + why;
            if (observer.done) observer.done(r.skipped.last(), false);
        };
        try {
            const QByteArray xml = source.read(i);
            const exchange::LawXmlHead head = exchange::lawXmlHead(xml);
            bool all = true;
            for (const QString& w : filter.words) all = all && head.title.contains(w);
            if (!all) continue;
            ++r.matched;
            if (observer.law) observer.law(r.matched, total, shown);
            if (head.title.isEmpty()) {
                skip(QStringLiteral("法令XMLではないか、題名がありません"));
                continue;
            }
            const QString code =
                exchange::proposeLawCode(exchange::lawNameFor(head), head.kana, known);
            if (code.isEmpty()) {
                skip(QStringLiteral("使える法典コードが残っていません（936 個すべて使用中）"));
                continue;
            }
            const exchange::LawXml law = exchange::convertLawXml(xml, code);
            LawTextImporter importer;
            const XmlImportResult done = importLawXml(law, importer);
            known.append({0, law.code, law.name});
            if (done.text.stopped) {
                skip(done.text.stopMessage);
                continue;
            }
            r.imported << QStringLiteral("%1 %2: %3 articles").arg(law.code, law.name).arg(done.text.articles);
            if (observer.done) observer.done(r.imported.last(), true);
        } catch (const platform::Error& e) {
            skip(e.description());
        }
    }
    return r;
}

}  // namespace maint

#include "maint/lawfetch.h"

#include "exchange/lawcode.h"
#include "maint/htedit.h"
#include "platform/textfile.h"
#include "store/folders.h"

#include <QDir>
#include <QFileInfo>

namespace maint {

QString keptLawXmlPath(const QString& lawId) {
    const QString root =
        store::folders().root.isEmpty() ? store::folders().program : store::folders().root;
    return QDir(root).filePath(QStringLiteral("XML/") + lawId + QStringLiteral(".xml"));
}

QString keepLawXml(const QString& lawId, const QByteArray& xml) {
    const QString path = keptLawXmlPath(lawId);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw platform::Error(
            QStringLiteral("フォルダ %1 を作れません。").arg(QFileInfo(path).absolutePath()));
    platform::writeBytes(path, xml);
    return path;
}

QHash<QString, store::LawEntry> listedLawIds() {
    QHash<QString, store::LawEntry> byId;
    for (const store::LawEntry& law : store::readLawList()) {
        if (!QFileInfo::exists(store::lawDbPath(law.name))) continue;
        try {
            store::Database db = store::openLawDb(law.name);
            const QString id = store::readLawInfo(db).lawId;
            if (!id.isEmpty()) byId.insert(id, law);
        } catch (const platform::Error&) {
            // A database that cannot be read keeps no id; its name still keeps its code.
        }
    }
    return byId;
}

QString codeForLaw(const QString& name, const QString& kana, const QString& lawId,
                   const QList<store::LawEntry>& listed,
                   const QHash<QString, store::LawEntry>& byId) {
    const auto it = lawId.isEmpty() ? byId.end() : byId.find(lawId);
    if (it != byId.end()) return it->code;
    return exchange::proposeLawCode(name, kana, listed);
}

QString followRenamedLaw(const exchange::LawXml& law, const QHash<QString, store::LawEntry>& byId) {
    const auto it = law.lawId.isEmpty() ? byId.end() : byId.find(law.lawId);
    if (it == byId.end() || it->name == law.name ||
        it->code.compare(law.code, Qt::CaseInsensitive) != 0)
        return {};
    registerLaw(it->code, law.name, int(readLawListLines().size()));
    return it->name;
}

FetchedImport importFetchedLaw(const QByteArray& xml, const QString& lawId, QString code,
                               const ImportOptions& options, const ImportObserver& observer,
                               const QString& sourceDate) {
    const QHash<QString, store::LawEntry> byId = listedLawIds();
    if (code.isEmpty()) {
        const exchange::LawXmlHead head = exchange::lawXmlHead(xml);
        code = codeForLaw(exchange::lawNameFor(head), head.kana, lawId, store::readLawList(), byId);
        if (code.isEmpty())
            throw platform::Error(
                QStringLiteral("使える法典コードが残っていません（936 個すべて使用中）"));
    }
    FetchedImport r;
    r.law = exchange::convertLawXml(xml, code);
    r.law.lawId = lawId;
    r.law.sourceDate = sourceDate;
    // Refused before anything changes, rename included.
    const auto listed = byId.find(lawId);
    if (listed == byId.end() || listed->code.compare(code, Qt::CaseInsensitive) != 0 ||
        listed->name == r.law.name) {
        const QString refusal = checkImportTarget(r.law.code, r.law.name);
        if (!refusal.isEmpty()) throw platform::Error(refusal);
    }
    r.renamedFrom = followRenamedLaw(r.law, byId);
    LawTextImporter importer;
    r.result = importLawXml(r.law, importer, observer, options);
    return r;
}

}  // namespace maint

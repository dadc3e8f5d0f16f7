#include "maint/lawfetch.h"

#include "exchange/lawcode.h"
#include "exchange/lawparts.h"
#include "exchange/lawsource.h"
#include "maint/htedit.h"
#include "platform/textfile.h"
#include "store/codes.h"
#include "store/folders.h"
#include "store/versions.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>

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
                   const QHash<QString, store::LawEntry>& byId, const QString& abbrev) {
    const auto it = lawId.isEmpty() ? byId.end() : byId.find(lawId);
    if (it != byId.end()) return it->code;
    return exchange::proposeLawCode(name, kana, listed, abbrev);
}

QString followRenamedLaw(const exchange::LawXml& law, const QHash<QString, store::LawEntry>& byId) {
    const auto it = law.lawId.isEmpty() ? byId.end() : byId.find(law.lawId);
    if (it == byId.end() || it->name == law.name ||
        it->code.compare(law.code, Qt::CaseInsensitive) != 0)
        return {};
    registerLaw(it->code, law.name, int(readLawListLines().size()));
    return it->name;
}

XmlFileFacts xmlFileFacts(const QString& path) {
    XmlFileFacts f;
    const QString base = QFileInfo(path).completeBaseName();
    if (const QString id = exchange::LawXmlSource::lawIdOf(base); exchange::isLawId(id))
        f.lawId = id;
    const QString date = base.section(u'_', 1, 1);
    const QDate d = QDate::fromString(date, QStringLiteral("yyyyMMdd"));
    if (!f.lawId.isEmpty() && date.size() == 8 && d.isValid())
        f.sourceDate = d.toString(Qt::ISODate);
    // The bulk download names each file by its law_revision_id: law id, date, amending law.
    static const QRegularExpression revision(QStringLiteral("^[0-9A-Z]+_[0-9]{8}_[0-9A-Z]+$"));
    if (!f.sourceDate.isEmpty() && revision.match(base).hasMatch()) {
        f.revisionId = base;
        f.amendedBy = exchange::lawNumOfId(base.section(u'_', 2, 2));
    }
    return f;
}

void takeFileFacts(exchange::LawXml& law, const XmlFileFacts& facts) {
    law.lawId = facts.lawId;
    law.sourceDate = facts.sourceDate;
    law.revisionId = facts.revisionId;
    if (!facts.amendedBy.isEmpty()) law.amendedBy = facts.amendedBy;
}

QString xmlImportRefusal(const exchange::LawXml& law, const QHash<QString, store::LawEntry>& byId) {
    const auto listed = law.lawId.isEmpty() ? byId.end() : byId.find(law.lawId);
    if (listed != byId.end() && listed->code.compare(law.code, Qt::CaseInsensitive) == 0 &&
        listed->name != law.name)
        return {};  // its amended title: followRenamedLaw renames it
    return checkImportTarget(law.code, law.name);
}

int keepFigures(const exchange::LawXml& law,
                const std::function<QByteArray(const QString& src)>& read) {
    int kept = 0;
    const QString folder = store::figureFolder(law.name);
    for (const QString& src : exchange::partFigures(law.parts)) {
        const QString name = exchange::figureKeptAs(src);
        if (name.isEmpty()) continue;
        const QByteArray bytes = read(src);
        if (bytes.isEmpty()) continue;
        const QString path = QDir(folder).filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QSaveFile f(path);
        if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit()) ++kept;
    }
    return kept;
}

XmlImportResult importConvertedLaw(const exchange::LawXml& law, const ImportPlan& plan,
                                   const QHash<QString, store::LawEntry>& byId,
                                   const ImportObserver& observer, QString* renamedFrom) {
    // Refused before anything changes, rename included.
    if (const QString refusal = xmlImportRefusal(law, byId); !refusal.isEmpty())
        throw platform::Error(refusal);
    const QString from = followRenamedLaw(law, byId);
    if (renamedFrom) *renamedFrom = from;
    try {
        XmlImportResult r = importLawXml(law, plan, observer);
        if (!law.sourceFile.isEmpty() && !r.text.stopped)
            r.figures = keepFigures(law, [&](const QString& src) {
                return exchange::readFileBeside(law.sourceFile, src);
            });
        return r;
    } catch (const platform::Error&) {
        // Refused after the rename (no version could be kept): the law keeps its old name.
        if (!from.isEmpty()) {
            try {
                registerLaw(law.code, from, int(readLawListLines().size()));
            } catch (const platform::Error&) {
                // The refusal is what the caller reports; the law is readable either way.
            }
        }
        throw;
    }
}

XmlImportResult importConvertedLaw(const exchange::LawXml& law,
                                   const QHash<QString, store::LawEntry>& byId,
                                   const ImportOptions& options, const ImportObserver& observer,
                                   QString* renamedFrom) {
    LawTextImporter importer;
    return importConvertedLaw(law, xmlLawPlan(law, importer, options), byId, observer, renamedFrom);
}

FetchedImport importFetchedLaw(const QByteArray& xml, const QString& lawId, QString code,
                               const ImportOptions& options, const ImportObserver& observer,
                               const QString& sourceDate,
                               const std::function<QByteArray(const QString& src)>& figures,
                               const QString& revisionId) {
    const QHash<QString, store::LawEntry> byId = listedLawIds();
    if (code.isEmpty()) {
        const exchange::LawXmlHead head = exchange::lawXmlHead(xml);
        code = codeForLaw(exchange::lawNameFor(head), head.kana, lawId, store::readLawList(), byId,
                          head.abbrev);
        if (code.isEmpty())
            throw platform::Error(QStringLiteral("使える法典コードが残っていません"));
    }
    FetchedImport r;
    r.law = exchange::convertLawXml(xml, code);
    r.law.lawId = lawId;
    r.law.sourceDate = sourceDate;
    r.law.revisionId = revisionId;
    r.result = importConvertedLaw(r.law, byId, options, observer, &r.renamedFrom);
    if (figures && !r.result.text.stopped) r.result.figures = keepFigures(r.law, figures);
    return r;
}

QString lawIdOf(const QString& lawName) {
    store::Database db = store::openLawDb(lawName);
    return store::readLawInfo(db).lawId;
}

QString noLawIdMessage(const QString& law) {
    return QStringLiteral("%1: 法令IDがありません（法令XMLから取り込んだ法令ではありません）")
        .arg(law);
}

QStringList revisionsKept(const QString& lawName, const QList<exchange::ApiRevision>& revisions) {
    QList<std::pair<QString, store::LawInfo>> here;
    {
        store::Database db = store::openLawDb(lawName);
        here.append({QStringLiteral("current"), store::readLawInfo(db)});
    }
    for (const store::LawVersion& v : store::listVersions(lawName)) here.append({v.id, v.info});
    QStringList kept;
    for (const exchange::ApiRevision& r : revisions) {
        QString where;
        for (const auto& [id, i] : here) {
            const bool holds = i.revisionId.isEmpty()
                                   ? !r.enforced.isEmpty() && i.sourceDate == r.enforced
                                   : i.revisionId == r.revisionId;
            if (holds && where.isEmpty()) where = id;
        }
        kept << where;
    }
    return kept;
}

QString keepRevision(const QByteArray& xml, const store::LawEntry& law, const QString& lawId,
                     const exchange::ApiRevision& revision) {
    if (exchange::lawXmlHead(xml).title.isEmpty())
        throw platform::Error(
            QStringLiteral("%1 は法令XMLではありません").arg(revision.revisionId));
    keepLawXml(revision.revisionId, xml);
    exchange::LawXml converted = exchange::convertLawXml(xml, law.code);
    converted.name = law.name;  // a title amended since is still this law's version
    converted.lawId = lawId;
    converted.sourceDate = revision.enforced;
    converted.revisionId = revision.revisionId;
    if (!revision.amendLawNum.isEmpty())
        converted.amendedBy =
            revision.amendTitle.isEmpty()
                ? revision.amendLawNum
                : QStringLiteral("%1（%2）").arg(revision.amendLawNum, revision.amendTitle);
    QTemporaryDir apart;
    if (!apart.isValid()) throw platform::Error(QStringLiteral("作業用のフォルダを作れません。"));
    const store::Folders here = store::folders();
    QString file;
    {
        // Every store call below goes to the data root apart until the guard restores ours.
        struct Restore {
            const store::Folders& folders;
            ~Restore() { store::folders() = folders; }
        } restore{here};
        store::setFolders(here.program, apart.path());
        store::folders().admin = here.admin;
        WriteHCode(law.code, law.name);
        store::openOrCreateLawDb(law.name);
        QString renamedFrom;
        const XmlImportResult r = importConvertedLaw(converted, QHash<QString, store::LawEntry>{},
                                                     ImportOptions{}, {}, &renamedFrom);
        if (r.text.stopped) throw platform::Error(r.text.stopMessage);
        file = store::lawDbPath(law.name);
    }
    return store::keepVersionOf(law.name, file);
}

}  // namespace maint

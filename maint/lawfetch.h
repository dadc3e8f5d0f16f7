#pragma once
// A law fetched from the law API imported so that it stays the same law: its XML kept under
// the data root for an offline repeat, its law id stored with it, and its code kept by that
// id even when its title changes.
#include "exchange/lawapi.h"
#include "exchange/lawxml.h"
#include "maint/lawimport.h"
#include "store/lawdb.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace maint {

// <data root>/XML/<law id>.xml
QString keptLawXmlPath(const QString& lawId);
// Writes it there (through a temporary file); platform::Error when it cannot.
QString keepLawXml(const QString& lawId, const QByteArray& xml);

// The listed laws by the law id their databases keep (laws without one are left out).
QHash<QString, store::LawEntry> listedLawIds();
// The code for a law: that of the listed law with its law id, else exchange::proposeLawCode
// (the listed code of its name, else the first free code of its reading); empty when every
// code is taken.
QString codeForLaw(const QString& name, const QString& kana, const QString& lawId,
                   const QList<store::LawEntry>& listed,
                   const QHash<QString, store::LawEntry>& byId, const QString& abbrev = {});
// When the law id is listed under another name (the title was amended), renames that law
// to the law's name, its database with it, and returns the old name; else empty.
QString followRenamedLaw(const exchange::LawXml& law, const QHash<QString, store::LawEntry>& byId);

// What the name of a law XML file says of it: the law id it begins with (fetched laws and
// the bulk download are named so) and the version's date that follows it
// (322AC0000000125_20230401_505AC0000000028.xml); each empty when the name has none.
struct XmlFileFacts {
    QString lawId;
    QString sourceDate;  // 2023-04-01
    QString revisionId;  // the whole name when it is a law_revision_id (id_date_amendment)
    // The amending law's number from that id's last part (505AC0000000028 → 令和五年法律第二十八
    // 号): exact where the XML's latest AmendLawNum may be a later amendment not yet in force.
    QString amendedBy;
};
XmlFileFacts xmlFileFacts(const QString& path);
// The facts onto a converted law, as every import of a file takes them.
void takeFileFacts(exchange::LawXml& law, const XmlFileFacts& facts);

// Why the converted law must not be imported under its code and name (another law's), or
// empty; a law whose title was amended is the listed law of its id under the same code and
// may take its new name.
QString xmlImportRefusal(const exchange::LawXml& law, const QHash<QString, store::LawEntry>& byId);

// A converted law imported as every path imports law XML (a file in Lexbench or lexctl, a
// fetch, a whole collection): refused before anything changes when its code or name is
// another law's; the listed law of its law id renamed to follow its title; then its records,
// table of contents and facts. `renamedFrom` gets the name it was listed under before.
// Keeps the pictures of the law's figures that `read` finds (by the name the XML gives: a
// file beside the XML, an entry of the zip) under the law's figure folder, by file name.
// Returns how many were kept.
int keepFigures(const exchange::LawXml& law,
                const std::function<QByteArray(const QString& src)>& read);

XmlImportResult importConvertedLaw(const exchange::LawXml& law, const ImportPlan& plan,
                                   const QHash<QString, store::LawEntry>& byId,
                                   const ImportObserver& observer = {},
                                   QString* renamedFrom = nullptr);
XmlImportResult importConvertedLaw(const exchange::LawXml& law,
                                   const QHash<QString, store::LawEntry>& byId,
                                   const ImportOptions& options = {},
                                   const ImportObserver& observer = {},
                                   QString* renamedFrom = nullptr);

struct FetchedImport {
    exchange::LawXml law;  // as converted
    XmlImportResult result;
    QString renamedFrom;  // the name the law was listed under before, when it changed
};
// Converts the XML under `code` (empty: codeForLaw) and imports it as import-xml does.
// platform::Error when it is refused or no code is left.
// `sourceDate` is the version's date when the service named it.
// `figures` reads a figure's picture from the service (empty when it has none).
FetchedImport importFetchedLaw(const QByteArray& xml, const QString& lawId, QString code,
                               const ImportOptions& options = {},
                               const ImportObserver& observer = {}, const QString& sourceDate = {},
                               const std::function<QByteArray(const QString& src)>& figures = {},
                               const QString& revisionId = {});

// The government's law id the law's records keep; empty for a law imported from a text.
QString lawIdOf(const QString& lawName);
// What is said of a law without one: "GT: 法令IDがありません（…）".
QString noLawIdMessage(const QString& law);

// Where each of a law's revisions is here: "current" when its current records hold it, the
// id of the kept version that holds it, or empty (by the revision id they keep, else,
// imported before ids were kept, by their source's date).
QStringList revisionsKept(const QString& lawName, const QList<exchange::ApiRevision>& revisions);

// A past or coming revision of a listed law kept as a version, its current records untouched:
// its XML kept as XML/<revision id>.xml, then imported apart (into a data root of its own, by the
// one import every path takes) under the law's code and name, and that database kept among the
// law's versions with the revision's facts (its id, enforcement date, and the amending law as the
// service lists it, number and title, in place of the XML's own latest AmendLawNum). Returns the
// version's id; Error when the XML is not that law's or cannot be imported.
QString keepRevision(const QByteArray& xml, const store::LawEntry& law, const QString& lawId,
                     const exchange::ApiRevision& revision);

}  // namespace maint

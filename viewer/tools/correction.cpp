#include "viewer/tools/correction.h"

#include "platform/vb.h"
#include "store/engine.h"
#include "store/lawdb.h"
#include "viewer/browser/display.h"

namespace viewer {

namespace {
store::Database openListedLaw(const QString& law, QString* name) {
    *name = store::GetHoutenName(law);
    if (name->isEmpty())
        throw store::Error(QStringLiteral("法典コード %1 は法典の一覧にありません。").arg(law));
    return store::openLawDb(*name);
}
}  // namespace

std::optional<CorrectionRecord> loadCorrection(const QString& law, const QString& code) {
    QString name;
    store::Database db = openListedLaw(law, &name);
    store::Recordset rs = db.openRecordset(QStringLiteral("select * from 条文 where 条項コード=?"),
                                           store::RecordsetType::Snapshot, {code});
    if (rs.recordCount() == 0) return std::nullopt;
    return CorrectionRecord{hitHead(name, recordTexts(db, code)), rs.text(QStringLiteral("条文"))};
}

QString correctionText(const QString& edited) {
    return platform::trimBlanks(edited);
}

CorrectionSave saveCorrection(const QString& law, const QString& code, const QString& text) {
    if (text.isEmpty()) return CorrectionSave::Empty;
    QString name;
    store::Database db = openListedLaw(law, &name);
    store::Recordset rs = db.openRecordset(QStringLiteral("select * from 条文 where 条項コード=?"),
                                           store::RecordsetType::Dynaset, {code});
    if (rs.recordCount() == 0) return CorrectionSave::NoRecord;
    rs.edit();
    rs.setField(QStringLiteral("条文"), text);
    rs.update();
    return CorrectionSave::Saved;
}

}  // namespace viewer

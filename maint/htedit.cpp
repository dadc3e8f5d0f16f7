#include "maint/htedit.h"

#include "platform/vb.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/versions.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace maint {

QString lawListLine(const QString& code, const QString& name) {
    return code + QChar(0x3000) + name;
}

QString lineCode(const QString& line) {
    return line.left(2);
}

QString lineName(const QString& line) {
    return line.mid(3);
}

QStringList readLawListLines() {
    QStringList lines;
    for (const store::LawEntry& law : store::readLawList())
        lines << lawListLine(law.code, law.name);
    return lines;
}

QString checkLawEntry(const QString& code, const QString& name) {
    if (!store::isValidLawCode(code))
        return QStringLiteral(
                   "法典コードは半角英数字２文字で、先頭文字はアルファベットにしてください。"
                   "\r\n\r\n") +
               code;
    QString why;
    if (!store::isValidLawName(name, &why)) return why + QStringLiteral("\r\n\r\n") + name;
    return {};
}

bool registerLaw(const QString& code, const QString& typedName, int lineCount) {
    // Blanks around the name would not survive the order rewrite, which trims them, and the
    // law would lose its database.
    const QString name = platform::trimBlanks(typedName);
    if (const QString why = checkLawEntry(code, name); !why.isEmpty()) throw store::Error(why);
    const QString upper = code.toUpper();
    QString oldName;
    for (const store::LawEntry& law : store::readLawList()) {
        if (law.code == upper) oldName = law.name;
        // One database, one law: two codes on one file would mix their records.
        if (law.name == name && law.code != upper)
            throw store::Error(QStringLiteral("法典名称「%1」は法典コード %2 で登録されています。")
                                   .arg(name, law.code));
    }
    // A rename takes the law's database with it, so its records and table of contents stay
    // reachable; the file is renamed first and put back when the list cannot follow.
    const QString oldPath = oldName.isEmpty() ? QString() : store::lawDbPath(oldName);
    const QString newPath = store::lawDbPath(name);
    const bool moving = !oldName.isEmpty() && oldName != name && QFileInfo::exists(oldPath);
    if (moving) {
        if (QFileInfo::exists(newPath))
            throw store::Error(
                QStringLiteral("データベース %1 がすでにあるため、%2 の名称を「%3」に変更しません"
                               "でした。")
                    .arg(newPath, oldName, name));
        QFile file(oldPath);
        if (!file.rename(newPath))
            throw store::Error(QStringLiteral("データベース %1 の名前を %2 に変えられないため、"
                                              "名称を変更しませんでした。(%3)")
                                   .arg(oldPath, newPath, file.errorString()));
    }
    try {
        store::Database db = store::openMasterDb();
        store::Recordset rs = db.openRecordset(
            QStringLiteral("select * from 法典コード where 法典コード=? order by 番号"),
            store::RecordsetType::Dynaset, {upper});
        const bool exists = rs.recordCount() > 0;
        const qlonglong own = exists ? rs.field(QStringLiteral("番号")).toLongLong() : -1;
        qlonglong number = lineCount + 1;
        store::Recordset all = db.openRecordset(QStringLiteral("select * from 法典コード"));
        for (; !all.eof(); all.moveNext()) {
            const qlonglong n = all.field(QStringLiteral("番号")).toLongLong();
            if (n != own) number = std::max(number, n + 1);
        }
        if (exists)
            rs.edit();
        else
            rs.addNew();
        rs.setField(QStringLiteral("番号"), number);
        rs.setField(QStringLiteral("法典コード"), upper);
        rs.setField(QStringLiteral("法典名称"), name);
        rs.update();
    } catch (...) {
        if (moving) QFile::rename(newPath, oldPath);
        throw;
    }
    if (moving) store::renameVersions(oldName, name);  // its earlier versions go with it
    if (QFileInfo::exists(newPath)) return false;
    store::MakeHoutenDB(store::folders().db, name + QStringLiteral(".mdb"));
    return true;
}

void removeLaw(const QString& code) {
    store::Database db = store::openMasterDb();
    store::Transaction t(db);
    store::Recordset rs = db.openRecordset(
        QStringLiteral("select * from 法典コード where 法典コード=? order by 番号"),
        store::RecordsetType::Dynaset, {code.toUpper()});
    while (!rs.eof()) {
        rs.deleteRecord();
        rs.moveNext();
    }
    t.commit();
}

void writeLawOrder(const QStringList& lines) {
    store::Database db = store::openMasterDb();
    store::Transaction t(db);
    store::Recordset rs = db.openRecordset(QStringLiteral("select * from 法典コード order by 番号"),
                                           store::RecordsetType::Dynaset);
    while (!rs.eof()) {
        rs.deleteRecord();
        rs.moveNext();
    }
    for (int i = 0; i < lines.size(); ++i) {
        rs.addNew();
        rs.setField(QStringLiteral("番号"), i);
        rs.setField(QStringLiteral("法典コード"), lineCode(lines[i]));
        rs.setField(QStringLiteral("法典名称"), platform::trimBlanks(lineName(lines[i])));
        rs.update();
    }
    t.commit();
}

}  // namespace maint

#include "exchange/htfile.h"

#include "platform/prompt.h"
#include "platform/textfile.h"
#include "platform/vb.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace exchange {

HtLoadResult LoadHtFile() {
    return loadHtFileFrom(store::joinPath(store::folders().share, QStringLiteral("ht.dat")));
}

HtLoadResult loadHtFileFrom(const QString& path) {
    HtLoadResult r;
    if (!QFileInfo(path).isFile()) return r;
    r.fileFound = true;
    const platform::TextLines text = platform::readLinesLenient(path);
    store::Database db = store::openMasterDb();
    store::Recordset rs =
        db.openRecordset(QStringLiteral("法典コード"), store::RecordsetType::Dynaset);
    // Codes compare without regard to case: "kp" after "KP" is the same law again.
    QSet<QString> listed;
    QHash<QString, QString> codeOfName;  // two codes on one name would share its database
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        listed.insert(rs.text(QStringLiteral("法典コード")).toUpper());
        codeOfName.insert(rs.text(QStringLiteral("法典名称")),
                          rs.text(QStringLiteral("法典コード")));
    }

    auto skip = [&r](int line, const QString& why, const QString& record) {
        r.skipped << QStringLiteral("%1行目: %2 (%3)").arg(line).arg(why, record);
    };
    for (int bad : text.badLines) skip(bad, QStringLiteral("シフトJISとして読めません"), QString());
    QStringList readable = text.lines;
    for (QString& l : readable)
        if (l.isNull()) l = QString();  // an unreadable line is reported above, not parsed
    for (const platform::InputRecord& rec : platform::inputRecords(readable)) {
        if (text.badLines.contains(rec.line)) continue;
        const QStringList f = rec.text.split(u' ');
        if (f.size() < 3) {
            skip(rec.line, QStringLiteral("項目が３つありません"), rec.text);
            continue;
        }
        long long number = 0;
        try {
            number = platform::strictInt(f[0]);
        } catch (const platform::ConversionError&) {
            skip(rec.line, QStringLiteral("番号が数値ではありません"), rec.text);
            continue;
        }
        if (!store::isValidLawCode(f[1])) {
            skip(rec.line, QStringLiteral("法典コードは先頭が英字の２文字です"), rec.text);
            continue;
        }
        if (listed.contains(f[1].toUpper())) {
            skip(rec.line, QStringLiteral("法典コード %1 はすでに登録されています").arg(f[1]),
                 rec.text);
            continue;
        }
        if (codeOfName.contains(f[2])) {
            skip(rec.line,
                 QStringLiteral("法典名称 %1 はすでに法典コード %2 で登録されています")
                     .arg(f[2], codeOfName.value(f[2])),
                 rec.text);
            continue;
        }
        QString why;
        if (!store::isValidLawName(f[2], &why)) {
            skip(rec.line, why, rec.text);
            continue;
        }
        try {
            rs.addNew();
            rs.setField(QStringLiteral("番号"), number);
            rs.setField(QStringLiteral("法典コード"), f[1]);
            rs.setField(QStringLiteral("法典名称"), f[2]);
            rs.update();
            listed.insert(f[1].toUpper());
            codeOfName.insert(f[2], f[1]);
            ++r.added;
        } catch (const store::Error& e) {
            const bool duplicate = e.description().startsWith(QStringLiteral("主キー"));
            skip(rec.line,
                 duplicate ? QStringLiteral("番号 %1 はすでに登録されています").arg(number)
                           : e.description(),
                 rec.text);
        }
    }
    if (!r.skipped.isEmpty())
        platform::msgBox(QStringLiteral("%1 の次の行は取り込めませんでした。\r\n").arg(path) +
                         r.skipped.join(QStringLiteral("\r\n")));
    return r;
}

}  // namespace exchange

#include "exchange/export.h"

#include "exchange/log.h"
#include "platform/prompt.h"
#include "platform/textfile.h"
#include "platform/vb.h"
#include "store/codes.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace exchange {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

void run(const Pump& pump) {
    if (pump) pump();
}

void reportSkipped(const QString& what, const QStringList& skipped) {
    if (skipped.isEmpty()) return;
    platform::msgBox(QStringLiteral("次の法典は%1に書きませんでした。\r\n").arg(what) +
                     skipped.join(kCrLf));
}

QString shortened(const QString& t) {
    if (t.size() < 10) return t;
    return t.left(5) + QStringLiteral("・・・") + t.right(5);
}

}  // namespace

bool lawDbAvailable(const store::LawEntry& law, QString* why) {
    if (!store::isValidLawName(law.name, why)) return false;
    const QString path = store::lawDbPath(law.name);
    if (!QFileInfo(path).isFile()) {
        *why = QStringLiteral("データベース %1 がありません").arg(path);
        return false;
    }
    return true;
}

QString lawLabel(const store::LawEntry& law) {
    return law.code + u' ' + law.name;
}

QString WidenJouCode(const QString& value) {
    return value.size() == 6 ? QStringLiteral("00") + value : value;
}

QString GetKouDigest(const QString& text, const QString& mark) {
    if (!text.contains(kCrLf)) return mark + u'　' + shortened(platform::trimBlanks(text));
    QString out;
    const QStringList lines = text.split(kCrLf);
    for (int i = 0; i < lines.size(); ++i) {
        const QString t = platform::trimBlanks(lines[i]);
        if (t.isEmpty()) continue;
        if (i > 0) out += kCrLf;
        out += u'　' + shortened(t);
    }
    return out;
}

ExportResult WriteIdxFile(const Pump& pump) {
    QElapsedTimer timer;
    timer.start();
    ExportResult r;
    QString codes, body;
    bool firstLine = true;
    QStringList unreadable;
    for (const store::LawEntry& law : store::readLawList()) {
        QString why;
        if (!lawDbAvailable(law, &why)) {
            r.skipped << lawLabel(law) + QStringLiteral(": ") + why;
            continue;
        }
        codes += u' ' + law.code;
        store::Database db = store::openLawDb(law.name);
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 目次 order by コード"));
        for (; !rs.eof(); rs.moveNext()) {
            const QStringList fields{rs.text(QStringLiteral("コード")),
                                     WidenJouCode(rs.text(QStringLiteral("SOJ"))),
                                     WidenJouCode(rs.text(QStringLiteral("EOJ"))),
                                     WidenJouCode(rs.text(QStringLiteral("SOJ2"))),
                                     WidenJouCode(rs.text(QStringLiteral("EOJ2"))),
                                     rs.text(QStringLiteral("見出し"))};
            // The importer splits at "&&" and at line breaks: such a row would come back
            // as other rows.
            for (const QString& f : fields)
                if (f.contains(QStringLiteral("&&")) || f.contains(u'\r') || f.contains(u'\n')) {
                    unreadable << QStringLiteral("%1 %2: %3").arg(lawLabel(law), fields[0], f);
                    break;
                }
            if (!firstLine) body += kCrLf;
            body += fields.join(QStringLiteral("&&"));
            firstLine = false;
            run(pump);
        }
        run(pump);
    }
    if (!unreadable.isEmpty()) {
        QString message = QStringLiteral(
                              "idx.dat を書きませんでした。次の行に「&&」か改行があり、"
                              "取り込むときに別の行として読まれます。\r\n") +
                          unreadable.join(kCrLf);
        if (!r.skipped.isEmpty())
            message += QStringLiteral("\r\nデータベースがなく読めなかった法典:\r\n") +
                       r.skipped.join(kCrLf);
        throw ExportError(message);
    }
    const QString path = store::joinPath(store::folders().program, QStringLiteral("idx.dat"));
    platform::writeBlock(path, QStringLiteral("CODES") + codes + kCrLf + body);
    r.written << path;
    qCDebug(lcExchange) << "idx.dat written in" << timer.elapsed() << "ms";
    reportSkipped(QStringLiteral(" idx.dat "), r.skipped);
    return r;
}

ExportResult WriteHtFile(const Pump& pump) {
    ExportResult r;
    QStringList lines, unreadable;
    for (const store::LawEntry& law : store::readLawList()) {
        // The reader splits at blanks, ends a record at a comma and a line at a line break.
        for (const QString& f : {law.code, law.name})
            if (f.contains(u' ') || f.contains(u',') || f.contains(u'\r') || f.contains(u'\n')) {
                unreadable << QStringLiteral("番号 %1 %2").arg(law.number).arg(lawLabel(law));
                break;
            }
        lines << QStringLiteral("%1 %2 %3").arg(law.number).arg(law.code, law.name);
        run(pump);
    }
    if (!unreadable.isEmpty())
        throw ExportError(QStringLiteral("ht.dat を書きませんでした。次の法典コードか法典名称に"
                                         "空白、「,」か改行があり、取り込むときに読み違えられます。"
                                         "\r\n") +
                          unreadable.join(kCrLf));
    const QString path = store::joinPath(store::folders().program, QStringLiteral("ht.dat"));
    platform::writeBlock(path, lines.join(kCrLf));
    r.written << path;
    return r;
}

void appendLawRecord(QString& body, QString& article, const QString& code, const QString& text,
                     int mode, bool trim) {
    if (code.left(10) != article) {
        article = code.left(10);
        body += kCrLf + kCrLf;
        if (mode == kCaptionsShown && platform::trimBlanks(text).remove(QChar(0x3000)).isEmpty()) {
            // A reader's text: no empty brackets where the law has no caption.
        } else {
            body += mode != 0 ? u'【' + text + u'】' : QStringLiteral("【　】");
            body += kCrLf;
        }
        body += store::GetJouKouText(article);
    }
    if (store::paragraphOrdinal(code) > 0) {
        body += kCrLf + store::GetJouKouText(code) + text;
        if (trim) store::trimTrailingCRLF(body);  // only a text ending with a line break changes
    }
}

int houtenTextMode(const QString& command) {
    return command.contains(u'/') ? 0 : 1;
}

QString houtenText(const QString& code, const QString& name, const QStringList& codes,
                   const QStringList& texts, int mode, const Pump& pump) {
    QString body;
    QString article;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        appendLawRecord(body, article, codes[i], texts[i], mode, true);
        run(pump);
    }
    return QStringLiteral("CODE=") + code + kCrLf + QStringLiteral("NAME=") + name + body;
}

namespace {

// The law's database by its code; a law not listed or without its file is an error.
store::Database openListedLaw(const QString& code, QString* name) {
    *name = store::GetHoutenName(code);
    if (name->isEmpty())
        throw ExportError(QStringLiteral("法典コード %1 は法典の一覧にありません。").arg(code));
    QString why;
    if (!lawDbAvailable({0, code, *name}, &why))
        throw ExportError(QStringLiteral("%1 %2: %3").arg(code, *name, why));
    return store::openLawDb(*name);
}

}  // namespace

QString WriteHoutenText(QString code, int mode, const Pump& pump) {
    QString name;
    QStringList codes, texts;
    {
        store::Database db = openListedLaw(code, &name);
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
        codes.reserve(rs.recordCount());
        texts.reserve(rs.recordCount());
        for (; !rs.eof(); rs.moveNext()) {
            codes << rs.text(QStringLiteral("条項コード"));
            texts << rs.text(QStringLiteral("条文"));
        }
    }
    const QString text = houtenText(code, name, codes, texts, mode, pump);
    const QString out = store::folders().out;
    if (!QFileInfo(out).isDir() && !QDir().mkpath(out))
        throw ExportError(QStringLiteral("フォルダ %1 を作れません。").arg(out));
    const QString path = store::joinPath(out, code + QStringLiteral(".txt"));
    platform::writeBlock(path, text);
    return path;
}

ExportResult MakeHoutenText(QString code, QString command, const Pump& pump) {
    QElapsedTimer timer;
    timer.start();
    ExportResult r;
    const int mode = houtenTextMode(command);
    if (command.startsWith(QStringLiteral("make each"))) {
        r.written << WriteHoutenText(code, mode, pump);
    } else if (command.startsWith(QStringLiteral("make all"))) {
        for (const store::LawEntry& law : store::readLawList()) {
            try {
                r.written << WriteHoutenText(law.code, mode, pump);
            } catch (const platform::Error& e) {
                r.skipped << lawLabel(law) + QStringLiteral(": ") + e.description();
            }
            run(pump);
        }
        reportSkipped(QStringLiteral("テキストファイル"), r.skipped);
    }
    qCDebug(lcExchange) << command << "wrote" << r.written.size() << "files in" << timer.elapsed()
                        << "ms";
    return r;
}

QString MakeNumberList(QString code, const Pump& pump) {
    QString name;
    store::Database db = openListedLaw(code, &name);
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
    QString text = name + kCrLf;
    for (; !rs.eof(); rs.moveNext()) {
        const QString c = rs.text(QStringLiteral("条項コード"));
        text += kCrLf;
        text += c.endsWith(u'1')
                    ? store::GetJouKouText(c.left(10))
                    : GetKouDigest(rs.text(QStringLiteral("条文")), store::GetJouKouText(c));
        run(pump);
    }
    return text;
}

}  // namespace exchange

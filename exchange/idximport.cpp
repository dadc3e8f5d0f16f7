#include "exchange/idximport.h"

#include "exchange/log.h"
#include "platform/prompt.h"
#include "platform/textfile.h"
#include "store/folders.h"
#include "store/lawdb.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QList>

namespace exchange {

namespace {
const QString kSep = QStringLiteral("&&");

struct Row {
    int line;
    QStringList fields;
};

struct Law {
    QString code, name;
    bool replace = false;  // named in line 1: its old rows go first
    QList<Row> rows;
};
}  // namespace

namespace {
QString notIndexFile(const QString& path) {
    return QStringLiteral(
               "%1 は目次ファイルではありません（1行目が CODES "
               "で始まっていません）。何も取り込みませんでした。")
        .arg(path);
}
}  // namespace

IdxTargets tocImportTargets(const platform::TextLines& text, const QString& path) {
    IdxTargets t;
    const QStringList head = text.lines.value(0).split(u' ');
    if (text.lines.isEmpty() || head.value(0) != QStringLiteral("CODES")) {
        t.refusal = notIndexFile(path);
        return t;
    }
    // Only laws the import can write: listed, with a valid name and their database there.
    auto label = [](const QString& typed) {
        const QString code = typed.toUpper();
        const QString name = store::GetHoutenName(code);
        if (name.isEmpty() || !store::isValidLawName(name) ||
            !QFileInfo(store::lawDbPath(name)).isFile())
            return QString();
        return code + u' ' + name;
    };
    for (const QString& code : head.mid(1)) {
        const QString l = code.isEmpty() ? QString() : label(code);
        if (!l.isEmpty() && !t.replaced.contains(l)) t.replaced << l;
    }
    for (const QString& line : text.lines.mid(1)) {
        if (line.isNull() || line.split(kSep).size() < 6) continue;
        const QString l = label(line.left(2));
        if (!l.isEmpty() && !t.replaced.contains(l) && !t.added.contains(l)) t.added << l;
    }
    return t;
}

QString GetIdxFile(const QString& path) {
    return platform::readLines(path).join(QStringLiteral("\r\n"));
}

IdxImportResult ImportIdxFile(const QString& path, IdxProgress* progress) {
    if (!QFileInfo(path).isFile()) return {};
    return importIdxLines(platform::readLinesLenient(path), path, progress);
}

IdxImportResult importTocRows(const QString& code, const QStringList& rows, IdxProgress* progress,
                              bool quiet) {
    platform::TextLines text;
    text.lines << QStringLiteral("CODES ") + code << rows;
    return importIdxLines(text, QStringLiteral("%1 の目次").arg(code), progress, quiet);
}

IdxImportResult importIdxLines(const platform::TextLines& text, const QString& path,
                               IdxProgress* progress, bool quiet) {
    IdxImportResult r;
    r.fileFound = true;
    QElapsedTimer clock;
    clock.start();
    auto show = [progress](const QString& s) {
        if (progress) {
            progress->label(s);
            progress->pump();
        }
    };
    auto skip = [&r](int line, const QString& why) {
        r.skipped << QStringLiteral("%1行目: %2").arg(line).arg(why);
    };

    const QStringList head = text.lines.value(0).split(u' ');
    if (text.lines.isEmpty() || head.value(0) != QStringLiteral("CODES")) {
        r.refusal = notIndexFile(path);
        if (!quiet) platform::msgBox(r.refusal);
        return r;
    }

    // Resolve each law once: its name and whether its database is there.
    QHash<QString, int> lawIndex;
    QList<Law> laws;
    QHash<QString, QString> refused;  // code -> reason
    // Codes compare without regard to case: "ab" and "AB" are one law, replaced once.
    auto lawFor = [&](const QString& typed) -> Law* {
        const QString code = typed.toUpper();
        if (refused.contains(code)) return nullptr;
        if (auto it = lawIndex.find(code); it != lawIndex.end()) return &laws[*it];
        const QString name = store::GetHoutenName(code);
        QString why;
        if (name.isEmpty()) {
            refused.insert(code,
                           QStringLiteral("法典コード %1 は法典コード一覧にありません").arg(typed));
            return nullptr;
        }
        if (!store::isValidLawName(name, &why)) {
            refused.insert(code, why);
            return nullptr;
        }
        if (!QFileInfo(store::lawDbPath(name)).isFile()) {
            refused.insert(code, QStringLiteral("%1 のデータベースがありません").arg(name));
            return nullptr;
        }
        lawIndex.insert(code, int(laws.size()));
        laws.append({typed, name, false, {}});
        return &laws.last();
    };

    for (int i = 1; i < head.size(); ++i) {
        const QString& code = head[i];
        if (code.isEmpty()) continue;
        if (Law* law = lawFor(code)) {
            if (!law->replace) {
                law->replace = true;
                r.codes << code;
            }
        } else {
            skip(1, refused.value(code.toUpper()));
        }
    }
    for (int i = 1; i < text.lines.size(); ++i) {
        const int lineNo = i + 1;
        if (text.badLines.contains(lineNo)) {
            skip(lineNo, QStringLiteral("シフトJISとして読めません"));
            continue;
        }
        QStringList f = text.lines[i].split(kSep);
        if (f.size() < 6) {
            skip(lineNo, QStringLiteral("項目が６つありません"));
            continue;
        }
        // A heading that itself holds "&&" keeps it rather than losing its tail.
        if (f.size() > 6) f = f.mid(0, 5) << f.mid(5).join(kSep);
        Law* law = lawFor(f[0].left(2));
        if (!law) {
            skip(lineNo, refused.value(f[0].left(2).toUpper()));
            continue;
        }
        law->rows.append({lineNo, f});
    }

    for (Law& law : laws) {
        if (!law.replace && law.rows.isEmpty()) continue;
        if (progress && progress->stopRequested()) {
            r.stopped = true;
            r.codes.removeAll(law.code);
            continue;  // the codes of every law not reached go from the list
        }
        try {
            store::Database db = store::openLawDb(law.name);
            store::Transaction t(db);
            if (law.replace) {
                show(QStringLiteral("既存の目次を削除しています。 ") + law.name);
                db.execute(QStringLiteral("delete from 目次"));
            }
            int added = 0;
            for (const Row& row : law.rows) {
                show(QStringLiteral("目次登録中... [") + law.name + QStringLiteral("] ") +
                     row.fields[5]);
                try {
                    db.execute(QStringLiteral("insert into 目次 (コード, 見出し, SOJ, EOJ, SOJ2, "
                                              "EOJ2) values (?, ?, ?, ?, ?, ?)"),
                               {row.fields[0], row.fields[5], row.fields[1], row.fields[2],
                                row.fields[3], row.fields[4]});
                    ++added;
                } catch (const store::Error& e) {
                    skip(row.line, e.description());
                }
            }
            t.commit();
            r.added += added;
        } catch (const store::Error& e) {
            // The law keeps the rows it had before this run.
            r.codes.removeAll(law.code);
            skip(1, QStringLiteral("%1 の目次を取り込めませんでした: %2")
                        .arg(law.name, e.description()));
        }
    }
    qCDebug(lcExchange).noquote() << "index import of" << path << "took" << clock.elapsed()
                                  << "ms:" << r.added << "rows," << r.skipped.size() << "skipped";
    if (!r.skipped.isEmpty() && !r.stopped && !quiet)
        platform::msgBox(QStringLiteral("%1 の次の行は取り込めませんでした。\r\n").arg(path) +
                         r.skipped.join(QStringLiteral("\r\n")));
    return r;
}

}  // namespace exchange

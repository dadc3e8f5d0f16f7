#include "platform/textfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

namespace {
constexpr const char* kCodec = "windows-31j";

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw TextFileError(
            QStringLiteral("ファイル %1 を開けません。(%2)").arg(path, f.errorString()));
    return f.readAll();
}

// Splits raw bytes at LF (CR LF taken as one break). CP932 trail bytes never take the values
// of CR or LF, so splitting before decoding is safe.
QList<QByteArray> splitRawLines(const QByteArray& bytes) {
    QList<QByteArray> out;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype lf = bytes.indexOf('\n', start);
        qsizetype end = lf < 0 ? n : lf;
        qsizetype stop = end;
        if (stop > start && bytes[stop - 1] == '\r') --stop;
        out.append(bytes.mid(start, stop - start));
        if (lf < 0) break;
        start = lf + 1;
    }
    return out;
}
}  // namespace

bool decodeCp932(const QByteArray& bytes, QString* out) {
    // Stateless, so that a lead byte cut off at the end is an error rather than held back.
    QStringDecoder d(kCodec, QStringConverter::Flag::Stateless);
    *out = d.decode(bytes);
    return !d.hasError();
}

QByteArray encodeCp932(const QString& text, const QString& what) {
    QStringEncoder e(kCodec);
    QByteArray b = e.encode(text);
    if (!e.hasError()) return b;
    // Find the first character that has no code, for a message that says where it is.
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') ++line;
        QStringEncoder one(kCodec);
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray ignored = one.encode(text.mid(i, len));
        if (one.hasError())
            throw TextFileError(QStringLiteral("%1 %2行目: 文字「%3」はシフトJISで書けません。")
                                    .arg(what)
                                    .arg(line)
                                    .arg(text.mid(i, len)));
        i += len - 1;
    }
    throw TextFileError(QStringLiteral("%1: シフトJISに変換できません。").arg(what));
}

QStringList readLines(const QString& path) {
    TextLines t = readLinesLenient(path);
    if (!t.badLines.isEmpty())
        throw TextFileError(QStringLiteral("ファイル %1 の %2行目はシフトJISとして読めません。")
                                .arg(path)
                                .arg(t.badLines.first()));
    return t.lines;
}

TextLines readLinesLenient(const QString& path) {
    TextLines t;
    const QList<QByteArray> raw = splitRawLines(readAll(path));
    t.lines.reserve(raw.size());
    for (int i = 0; i < raw.size(); ++i) {
        QString s;
        if (decodeCp932(raw[i], &s)) {
            t.lines.append(s);
        } else {
            t.lines.append(QString());
            t.badLines.append(i + 1);
        }
    }
    return t;
}

QList<InputRecord> inputRecords(const QStringList& lines) {
    QList<InputRecord> out;
    for (int li = 0; li < lines.size(); ++li) {
        const QString& s = lines[li];
        qsizetype i = 0;
        const qsizetype n = s.size();
        do {
            while (i < n && (s[i] == u' ' || s[i] == u'\t')) ++i;
            QString rec;
            if (i < n && s[i] == u'"') {
                const qsizetype close = s.indexOf(u'"', i + 1);
                rec = close < 0 ? s.mid(i + 1) : s.mid(i + 1, close - i - 1);
                i = close < 0 ? n : close + 1;
                const qsizetype comma = s.indexOf(u',', i);
                i = comma < 0 ? n + 1 : comma + 1;
            } else {
                const qsizetype comma = s.indexOf(u',', i);
                rec = (comma < 0 ? s.mid(i) : s.mid(i, comma - i));
                while (rec.endsWith(u' ')) rec.chop(1);
                i = comma < 0 ? n + 1 : comma + 1;
            }
            out.append({rec, li + 1});
        } while (i <= n);
    }
    return out;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw TextFileError(
            QStringLiteral("ファイル %1 に書き込めません。(%2)").arg(path, f.errorString()));
    if (f.write(bytes) != bytes.size() || !f.commit())
        throw TextFileError(
            QStringLiteral("ファイル %1 に書き込めません。(%2)").arg(path, f.errorString()));
}

void writeBlock(const QString& path, const QString& text) {
    writeBytes(path, encodeCp932(text, path));
}

void writeUtf8Block(const QString& path, const QString& text) {
    writeBytes(path, text.toUtf8());
}

}  // namespace platform

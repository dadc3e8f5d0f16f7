#pragma once
// Code-page-932 text files: line input (CR LF or LF) and one-block binary output.
// Bytes that are not CP932, or characters without a CP932 code, are errors that name the
// file and the line; nothing is ever decoded or written as silent garbage.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include "platform/error.h"

#include <stdexcept>

namespace platform {

class TextFileError : public Error {
  public:
    using Error::Error;
};

struct TextLines {
    QStringList lines;    // one entry per line; an undecodable line is a null QString
    QList<int> badLines;  // 1-based numbers of the lines that are not CP932
};

// Decodes CP932 bytes; returns false (and leaves `out` undefined) on an invalid sequence.
bool decodeCp932(const QByteArray& bytes, QString* out);
// Encodes to CP932; throws TextFileError naming `what` and the line of the first
// character that has no CP932 code.
QByteArray encodeCp932(const QString& text, const QString& what = {});

// Reads every line. A line break at the very end makes no extra empty line.
// Strict: throws on a missing file or on the first undecodable line.
QStringList readLines(const QString& path);
// Lenient: undecodable lines are listed in badLines instead; a missing file still throws.
TextLines readLinesLenient(const QString& path);

// Splits lines into the records of comma-delimited text input: a record ends at a comma or a
// line break; leading blanks are skipped; a record in double quotes is taken without them.
// Each record remembers the number of the line it came from.
struct InputRecord {
    QString text;
    int line = 0;
};
QList<InputRecord> inputRecords(const QStringList& lines);

// Writes the whole text as one block of CP932 bytes, replacing an existing file completely.
// The old file stays untouched when encoding or writing fails.
void writeBlock(const QString& path, const QString& text);
// The bytes as they are, through a temporary file renamed into place.
void writeBytes(const QString& path, const QByteArray& bytes);
// The same in UTF-8 (no byte-order mark).
void writeUtf8Block(const QString& path, const QString& text);

}  // namespace platform

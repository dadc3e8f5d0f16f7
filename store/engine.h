#pragma once
// The database engine behind the law data: a SQLite file opened per operation, and a
// recordset with the operations the programs use (snapshot, dynaset, record count, end test,
// move first/next, fields by name, add new, edit, update, delete, find first).
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include "platform/error.h"

#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

class Error : public platform::Error {
  public:
    using platform::Error::Error;
};

// The locale and connect string of every law database; kept as the one constant.
inline const QString kConnect = QStringLiteral(";LANGID=0x0411;CP=932;COUNTRY=0");

enum class RecordsetType { Dynaset = 2, Snapshot = 4 };
enum class FieldType { Text, Memo, Long };

struct FieldDef {
    QString name;
    FieldType type;
};

class Recordset;
class Rows;

class Database {
  public:
    // A new, empty database file; an existing file is an error.
    static Database create(const QString& path, const QString& locale = kConnect);
    // An existing database file, shared and read-write; a missing file is an error.
    static Database open(const QString& path, const QString& connect = kConnect);

    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // A table with the fields in this order and the unique primary index IdxPrimary.
    void createTable(const QString& name, const QList<FieldDef>& fields,
                     const QString& primaryField);
    // An SQL text or a table name. Values in `params` are bound to the ? of the text.
    Recordset openRecordset(const QString& source, RecordsetType type = RecordsetType::Snapshot,
                            const QVariantList& params = {});
    // The rows of a query read forward one by one, none kept: a whole table read once.
    Rows rows(const QString& sql, const QVariantList& params = {});
    // Returns the number of rows an insert, update or delete changed.
    int execute(const QString& sql, const QVariantList& params = {});
    // The row id the last insert gave.
    qint64 lastInsertId() const;
    // The fields of a table in their order.
    QStringList fieldNames(const QString& table);

    // A copy of the whole database, consistent as of one moment, in a new file at `path`
    // (an existing file is an error; a half-written copy is removed).
    void backupTo(const QString& path);

    void beginTrans();
    void commitTrans();
    void rollback();
    void close();

    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

  private:
    Database(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}
    sqlite3* db_ = nullptr;
    QString path_;
    // Statements of `execute` with parameters, prepared once per connection: an import runs
    // the same upsert for every record.
    QHash<QString, sqlite3_stmt*> prepared_;
};

// Begins on construction; rolls back unless committed.
class Transaction {
  public:
    explicit Transaction(Database& db) : db_(db) { db_.beginTrans(); }
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

  private:
    Database& db_;
    bool done_ = false;
};

// Columns by position; Null reads as empty text or 0.
class Rows {
  public:
    Rows(Rows&& other) noexcept;
    Rows& operator=(Rows&&) = delete;
    Rows(const Rows&) = delete;
    Rows& operator=(const Rows&) = delete;
    ~Rows();
    // Steps to the next row; false after the last (Error on a fault).
    bool next();
    QString text(int column) const;
    qint64 integer(int column) const;

  private:
    friend class Database;
    Rows(sqlite3* db, sqlite3_stmt* st, QString sql) : db_(db), st_(st), sql_(std::move(sql)) {}
    sqlite3* db_ = nullptr;
    sqlite3_stmt* st_ = nullptr;
    QString sql_;
};

// One statement prepared once and run for many rows, its values bound by position from 1:
// a bulk writer's inserts, without a QVariant for each value.
class Prepared {
  public:
    Prepared(Database& db, const QString& sql);
    ~Prepared();
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;
    void bind(int index, QByteArrayView utf8);
    void bind(int index, const QByteArray& utf8) { bind(index, QByteArrayView(utf8)); }
    void bind(int index, const QString& text);
    void bind(int index, qint64 value);
    // Runs it with the values bound and makes it ready for the next ones (Error on a fault).
    void run();

  private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
    QString sql_;
};

class Recordset {
  public:
    // Greater than zero exactly when the recordset has a row.
    int recordCount() const { return int(rows_.size()); }
    bool eof() const { return pos_ >= rows_.size(); }
    void moveFirst();
    void moveNext();

    QVariant field(const QString& name) const;
    // The field as text; Null reads as the empty string.
    QString text(const QString& name) const { return field(name).toString(); }
    void setField(const QString& name, const QVariant& value);

    void addNew();
    void edit();
    void update();
    void deleteRecord();
    // Positions on the first row whose field equals value; noMatch() tells the outcome.
    void findFirst(const QString& name, const QVariant& value);
    bool noMatch() const { return noMatch_; }

    const QStringList& columns() const { return columns_; }

  private:
    friend class Database;
    Recordset() = default;
    int column(const QString& name) const;
    QVariantList keyOf(const QVector<QVariant>& row) const;

    Database* db_ = nullptr;
    RecordsetType type_ = RecordsetType::Snapshot;
    QString table_;
    QStringList columns_;
    QList<int> keyColumns_;
    QVector<QVector<QVariant>> rows_;
    qsizetype pos_ = 0;
    bool skipAdvance_ = false;
    bool noMatch_ = true;
    enum class Mode { None, Add, Edit } mode_ = Mode::None;
    QVector<QVariant> buffer_;
};

// A database file written by a bulk import as new: its commits do not wait for the disk
// (a killed process still leaves whole commits), and settleSync then writes it and its folder
// out once and turns the waits back on (Error when the disk refuses). Files opened before
// deferSync keep their setting.
void deferSync(const QString& path);
void settleSync(const QString& path);
// Whether deferSync holds for the path; dropping it writes nothing out (a file renamed to a
// deferred path that settleSync writes out later).
bool syncDeferred(const QString& path);
void dropDeferredSync(const QString& path);
// Writes a file and its folder out to the disk now (Error when the disk refuses): for a file
// whose connection was opened deferred and is kept open.
void writeOut(const QString& path);

}  // namespace store

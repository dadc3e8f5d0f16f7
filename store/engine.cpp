#include "store/engine.h"

#include "store/likematch.h"
#include "store/log.h"
#include "store/textfold.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>

#include <mutex>
#include <utility>

namespace store {

namespace {

constexpr int kBusyTimeoutMs = 15000;

[[noreturn]] void fail(sqlite3* db, const QString& what) {
    const int code = db ? sqlite3_extended_errcode(db) : SQLITE_ERROR;
    const QString detail = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    if (code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_UNIQUE)
        throw Error(QStringLiteral("主キーに重複する値があるため、レコードを保存できません。(%1)")
                        .arg(what));
    if ((code & 0xFF) == SQLITE_BUSY)
        throw Error(QStringLiteral("データベースが他のプログラムで使用中です。(%1)").arg(what));
    throw Error(QStringLiteral("データベースエラー: %1 (%2)").arg(detail, what));
}

void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    // X LIKE Y calls like(Y, X): the pattern comes first.
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return;
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
    if (!pattern) {
        const char* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        const int pn = sqlite3_value_bytes(argv[0]);
        pattern = new LikePattern(QByteArray(p, pn));
        sqlite3_set_auxdata(ctx, 0, pattern, [](void* x) { delete static_cast<LikePattern*>(x); });
        pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
        if (!pattern) {  // SQLite may drop auxdata at once; match with a local copy then
            const char* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
            LikePattern local(QByteArray(p, pn));
            sqlite3_result_int(ctx, local.matches(t, size_t(sqlite3_value_bytes(argv[1]))));
            return;
        }
    }
    const char* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    sqlite3_result_int(ctx, pattern->matches(t, size_t(sqlite3_value_bytes(argv[1]))));
}

// Blanks and statement ends only: what may follow the one statement of a text.
bool onlyBlanks(const char* p, const char* end) {
    for (; p < end; ++p)
        if (*p != ';' && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != '\f')
            return false;
    return true;
}

class Statement {
  public:
    // One statement; a text with a second one is refused before anything runs.
    Statement(sqlite3* db, const QString& sql) : db_(db) {
        const QByteArray u = sql.toUtf8();
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, u.constData(), int(u.size()), &st_, &tail) != SQLITE_OK)
            fail(db, sql);
        if (!st_) throw Error(QStringLiteral("SQL テキストに文がありません。(%1)").arg(sql));
        if (tail && !onlyBlanks(tail, u.constData() + u.size())) {
            sqlite3_finalize(st_);
            st_ = nullptr;
            throw Error(QStringLiteral("SQL テキストに2つ目の文があります。何も実行しませんでした。"
                                       "(%1)")
                            .arg(sql));
        }
        qCDebug(lcStore).noquote() << "sql:" << sql;
    }
    // A statement prepared before and kept by the connection: reset, not finalized, after use.
    Statement(sqlite3* db, sqlite3_stmt* kept) : db_(db), st_(kept), kept_(true) {}
    ~Statement() {
        if (!kept_) {
            sqlite3_finalize(st_);
        } else {
            sqlite3_reset(st_);
            sqlite3_clear_bindings(st_);
        }
    }
    // Hands the statement over to the caller, who finalizes it.
    sqlite3_stmt* release() {
        sqlite3_stmt* st = st_;
        st_ = nullptr;
        return st;
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(const QVariantList& params) {
        for (int i = 0; i < params.size(); ++i) bindOne(i + 1, params[i]);
    }
    void bindOne(int index, const QVariant& v) {
        int rc;
        if (v.isNull() || !v.isValid()) {
            rc = sqlite3_bind_null(st_, index);
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong ||
                   v.typeId() == QMetaType::UInt || v.typeId() == QMetaType::Bool ||
                   v.typeId() == QMetaType::Short || v.typeId() == QMetaType::UShort ||
                   v.typeId() == QMetaType::Long) {
            rc = sqlite3_bind_int64(st_, index, v.toLongLong());
        } else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
            rc = sqlite3_bind_double(st_, index, v.toDouble());
        } else {
            const QByteArray u = v.toString().toUtf8();
            rc = sqlite3_bind_text(st_, index, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) fail(db_, QStringLiteral("bind"));
    }
    // Steps once; true while a row is available.
    bool step(const QString& what) {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        fail(db_, what);
    }
    QVariant value(int col) const {
        switch (sqlite3_column_type(st_, col)) {
            case SQLITE_NULL:
                return {};
            case SQLITE_INTEGER:
                return QVariant(qlonglong(sqlite3_column_int64(st_, col)));
            case SQLITE_FLOAT:
                return QVariant(sqlite3_column_double(st_, col));
            default: {
                const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st_, col));
                return QVariant(QString::fromUtf8(t, sqlite3_column_bytes(st_, col)));
            }
        }
    }
    int columnCount() const { return sqlite3_column_count(st_); }
    QString columnName(int col) const { return QString::fromUtf8(sqlite3_column_name(st_, col)); }

  private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
    bool kept_ = false;
};

QString quoteIdent(const QString& name) {
    QString n = name;
    n.replace(u'"', QStringLiteral("\"\""));
    return u'"' + n + u'"';
}

// Text fields compare without regard to the case of A-Z in "=", ranges, "order by" and the
// primary index, as the engine the law data was written for did: a code stored as "ab" is
// found, ordered and kept unique as "AB". Memo fields are texts, not keys.
QString sqlType(FieldType t) {
    switch (t) {
        case FieldType::Long:
            return QStringLiteral("INTEGER");
        case FieldType::Text:
            return QStringLiteral("TEXT COLLATE NOCASE");
        case FieldType::Memo:
            break;
    }
    return QStringLiteral("TEXT");
}

// "=" of the text fields: A-Z and a-z are the same letter, everything else compares exactly.
bool sameText(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'a' && x <= u'z') x -= 0x20;
        if (y >= u'a' && y <= u'z') y -= 0x20;
        if (x != y) return false;
    }
    return true;
}

// Files a bulk import writes without waiting for the disk until it settles them.
QMutex deferredMutex;
QSet<QString> deferred;

bool isDeferred(const QString& path) {
    QMutexLocker lock(&deferredMutex);
    return !deferred.isEmpty() && deferred.contains(QFileInfo(path).absoluteFilePath());
}

sqlite3* connect(const QString& path, int flags) {
    // The engine's memory statistics take one lock for the whole process on every allocation:
    // the indexes' threads would queue on it. Nothing here reads them.
    static std::once_flag configured;
    std::call_once(configured, [] { sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0); });
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString detail = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close(db);
        throw Error(QStringLiteral("データベース %1 を開けません。(%2)").arg(path, detail));
    }
    qCDebug(lcStore).noquote() << "open:" << path;
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               likeFunction, nullptr, nullptr, nullptr);
    registerFoldFunction(db);
    // The journal still makes each commit whole when the process dies; only the wait for
    // the disk is left to settleSync.
    if (isDeferred(path)) sqlite3_exec(db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    return db;
}

bool syncPath(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

void deferSync(const QString& path) {
    QMutexLocker lock(&deferredMutex);
    deferred.insert(QFileInfo(path).absoluteFilePath());
}

bool syncDeferred(const QString& path) {
    return isDeferred(path);
}

void dropDeferredSync(const QString& path) {
    QMutexLocker lock(&deferredMutex);
    deferred.remove(QFileInfo(path).absoluteFilePath());
}

void settleSync(const QString& path) {
    const QString file = QFileInfo(path).absoluteFilePath();
    {
        QMutexLocker lock(&deferredMutex);
        if (!deferred.remove(file)) return;
    }
    writeOut(file);
}

void writeOut(const QString& path) {
    const QString file = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo::exists(file)) return;
    if (!syncPath(file) || !syncPath(QFileInfo(file).absolutePath()))
        throw Error(QStringLiteral("データベース %1 をディスクに書き出せません。").arg(file));
}

Database Database::create(const QString& path, const QString&) {
    if (QFileInfo::exists(path))
        throw Error(QStringLiteral("データベース %1 はすでに存在します。").arg(path));
    return Database(connect(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), path);
}

Database Database::open(const QString& path, const QString&) {
    if (!QFileInfo(path).isFile())
        throw Error(QStringLiteral("データベース %1 が見つかりません。").arg(path));
    return Database(connect(path, SQLITE_OPEN_READWRITE), path);
}

void Database::backupTo(const QString& path) {
    if (QFileInfo::exists(path))
        throw Error(QStringLiteral("ファイル %1 はすでに存在します。").arg(path));
    sqlite3* dest = connect(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup* b = sqlite3_backup_init(dest, "main", db_, "main");
    int rc = b ? sqlite3_backup_step(b, -1) : sqlite3_errcode(dest);
    if (b && sqlite3_backup_finish(b) != SQLITE_OK && rc == SQLITE_DONE) rc = sqlite3_errcode(dest);
    const QString detail = QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_close_v2(dest);
    if (rc != SQLITE_DONE) {
        QFile::remove(path);
        throw Error(QStringLiteral("データベース %1 を %2 に保存できません。(%3)")
                        .arg(path_, path, detail));
    }
}

Database::Database(Database&& other) noexcept
    : db_(other.db_), path_(std::move(other.path_)), prepared_(std::move(other.prepared_)) {
    other.db_ = nullptr;
    other.prepared_.clear();
}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        close();
        db_ = other.db_;
        path_ = std::move(other.path_);
        prepared_ = std::move(other.prepared_);
        other.db_ = nullptr;
        other.prepared_.clear();
    }
    return *this;
}

Database::~Database() {
    close();
}

void Database::close() {
    for (sqlite3_stmt* st : std::as_const(prepared_)) sqlite3_finalize(st);
    prepared_.clear();
    if (db_) {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void Database::createTable(const QString& name, const QList<FieldDef>& fields,
                           const QString& primaryField) {
    QStringList cols;
    for (const FieldDef& f : fields) cols << quoteIdent(f.name) + u' ' + sqlType(f.type);
    const QString sql =
        QStringLiteral("CREATE TABLE %1 (%2, CONSTRAINT IdxPrimary PRIMARY KEY (%3)) WITHOUT ROWID")
            .arg(quoteIdent(name), cols.join(QStringLiteral(", ")), quoteIdent(primaryField));
    execute(sql);
}

qint64 Database::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

int Database::execute(const QString& sql, const QVariantList& params) {
    if (!db_) throw Error(QStringLiteral("データベースが閉じられています。"));
    if (params.isEmpty()) {
        Statement st(db_, sql);
        while (st.step(sql)) {
        }
        return sqlite3_changes(db_);
    }
    sqlite3_stmt* kept = prepared_.value(sql);
    if (!kept) {
        Statement fresh(db_, sql);
        kept = fresh.release();
        prepared_.insert(sql, kept);
    }
    Statement st(db_, kept);
    st.bind(params);
    while (st.step(sql)) {
    }
    return sqlite3_changes(db_);
}

QStringList Database::fieldNames(const QString& table) {
    QStringList out;
    Statement st(db_, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(table)));
    while (st.step(table)) out << st.value(1).toString();
    return out;
}

void Database::beginTrans() {
    execute(QStringLiteral("BEGIN IMMEDIATE"));
}
void Database::commitTrans() {
    execute(QStringLiteral("COMMIT"));
}
void Database::rollback() {
    if (db_ && !sqlite3_get_autocommit(db_)) execute(QStringLiteral("ROLLBACK"));
}

Transaction::~Transaction() {
    if (!done_) {
        try {
            db_.rollback();
        } catch (...) {
        }
    }
}

void Transaction::commit() {
    db_.commitTrans();
    done_ = true;
}

Rows Database::rows(const QString& sql, const QVariantList& params) {
    if (!db_) throw Error(QStringLiteral("データベースが閉じられています。"));
    Statement st(db_, sql);
    st.bind(params);
    return Rows(db_, st.release(), sql);
}

Rows::Rows(Rows&& other) noexcept
    : db_(other.db_), st_(std::exchange(other.st_, nullptr)), sql_(std::move(other.sql_)) {}

Rows::~Rows() {
    sqlite3_finalize(st_);
}

bool Rows::next() {
    if (!st_) return false;
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    // Done with: a step after the end would run the query again.
    sqlite3_finalize(std::exchange(st_, nullptr));
    if (rc == SQLITE_DONE) return false;
    fail(db_, sql_);
}

QString Rows::text(int column) const {
    const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st_, column));
    return t ? QString::fromUtf8(t, sqlite3_column_bytes(st_, column)) : QString();
}

qint64 Rows::integer(int column) const {
    return sqlite3_column_int64(st_, column);
}

Prepared::Prepared(Database& db, const QString& sql) : db_(db.handle()), sql_(sql) {
    if (!db_) throw Error(QStringLiteral("データベースが閉じられています。"));
    Statement st(db_, sql);
    st_ = st.release();
}

Prepared::~Prepared() {
    sqlite3_finalize(st_);
}

void Prepared::bind(int index, QByteArrayView utf8) {
    if (sqlite3_bind_text(st_, index, utf8.data(), int(utf8.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        fail(db_, sql_);
}

void Prepared::bind(int index, const QString& text) {
    bind(index, QByteArrayView(text.toUtf8()));
}

void Prepared::bind(int index, qint64 value) {
    if (sqlite3_bind_int64(st_, index, value) != SQLITE_OK) fail(db_, sql_);
}

void Prepared::run() {
    const int rc = sqlite3_step(st_);
    sqlite3_reset(st_);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) fail(db_, sql_);
}

Recordset Database::openRecordset(const QString& source, RecordsetType type,
                                  const QVariantList& params) {
    if (!db_) throw Error(QStringLiteral("データベースが閉じられています。"));
    static const QRegularExpression tableOnly(QStringLiteral("^\\S+$"));
    static const QRegularExpression fromClause(QStringLiteral("\\bfrom\\s+([^\\s;]+)"),
                                               QRegularExpression::CaseInsensitiveOption);
    Recordset rs;
    rs.db_ = this;
    rs.type_ = type;
    QString sql = source.trimmed();
    if (tableOnly.match(sql).hasMatch()) {
        rs.table_ = sql;
        sql = QStringLiteral("select * from ") + quoteIdent(sql);
    } else if (const auto m = fromClause.match(sql); m.hasMatch()) {
        rs.table_ = m.captured(1);
        if (rs.table_.startsWith(u'"') && rs.table_.endsWith(u'"'))
            rs.table_ = rs.table_.mid(1, rs.table_.size() - 2);
    }
    Statement st(db_, sql);
    st.bind(params);
    for (int c = 0; c < st.columnCount(); ++c) rs.columns_ << st.columnName(c);
    while (st.step(sql)) {
        QVector<QVariant> row(rs.columns_.size());
        for (int c = 0; c < row.size(); ++c) row[c] = st.value(c);
        rs.rows_.append(std::move(row));
    }
    if (type == RecordsetType::Dynaset && !rs.table_.isEmpty()) {
        Statement info(db_, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(rs.table_)));
        while (info.step(rs.table_))
            if (info.value(5).toInt() > 0)
                rs.keyColumns_ << int(rs.columns_.indexOf(info.value(1).toString()));
        if (rs.keyColumns_.isEmpty() || rs.keyColumns_.contains(-1))
            throw Error(
                QStringLiteral("%1 は更新できるレコードセットではありません。").arg(source));
    }
    rs.noMatch_ = rs.rows_.isEmpty();
    return rs;
}

void Recordset::moveFirst() {
    pos_ = 0;
    skipAdvance_ = false;
}

void Recordset::moveNext() {
    if (skipAdvance_) {
        skipAdvance_ = false;
        return;
    }
    if (pos_ < rows_.size()) ++pos_;
}

int Recordset::column(const QString& name) const {
    const int c = int(columns_.indexOf(name));
    if (c < 0)
        throw Error(QStringLiteral("フィールド %1 はこのコレクションにありません。").arg(name));
    return c;
}

QVariant Recordset::field(const QString& name) const {
    const int c = column(name);
    if (mode_ != Mode::None) return buffer_[c];
    if (eof() || skipAdvance_) throw Error(QStringLiteral("カレント レコードがありません。"));
    return rows_[pos_][c];
}

void Recordset::setField(const QString& name, const QVariant& value) {
    if (mode_ == Mode::None)
        throw Error(QStringLiteral("AddNew または Edit を実行していないため、更新できません。"));
    buffer_[column(name)] = value;
}

void Recordset::addNew() {
    if (type_ != RecordsetType::Dynaset)
        throw Error(QStringLiteral("このレコードセットは更新できません。"));
    buffer_ = QVector<QVariant>(columns_.size());
    mode_ = Mode::Add;
}

void Recordset::edit() {
    if (type_ != RecordsetType::Dynaset)
        throw Error(QStringLiteral("このレコードセットは更新できません。"));
    if (eof() || skipAdvance_) throw Error(QStringLiteral("カレント レコードがありません。"));
    buffer_ = rows_[pos_];
    mode_ = Mode::Edit;
}

QVariantList Recordset::keyOf(const QVector<QVariant>& row) const {
    QVariantList k;
    for (int c : keyColumns_) k << row[c];
    return k;
}

void Recordset::update() {
    if (mode_ == Mode::None)
        throw Error(QStringLiteral("AddNew または Edit を実行していないため、更新できません。"));
    QStringList names;
    for (const QString& c : columns_) names << quoteIdent(c);
    if (mode_ == Mode::Add) {
        QStringList marks(columns_.size(), QStringLiteral("?"));
        db_->execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                         .arg(quoteIdent(table_), names.join(u','), marks.join(u',')),
                     QVariantList(buffer_.begin(), buffer_.end()));
        rows_.append(buffer_);
    } else {
        QStringList sets, where;
        for (const QString& n : names) sets << n + QStringLiteral("=?");
        for (int c : keyColumns_) where << quoteIdent(columns_[c]) + QStringLiteral("=?");
        QVariantList params(buffer_.begin(), buffer_.end());
        params << keyOf(rows_[pos_]);
        db_->execute(
            QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                .arg(quoteIdent(table_), sets.join(u','), where.join(QStringLiteral(" AND "))),
            params);
        rows_[pos_] = buffer_;
    }
    mode_ = Mode::None;
    buffer_.clear();
}

void Recordset::deleteRecord() {
    if (type_ != RecordsetType::Dynaset)
        throw Error(QStringLiteral("このレコードセットは更新できません。"));
    if (eof() || skipAdvance_) throw Error(QStringLiteral("カレント レコードがありません。"));
    QStringList where;
    for (int c : keyColumns_) where << quoteIdent(columns_[c]) + QStringLiteral("=?");
    db_->execute(QStringLiteral("DELETE FROM %1 WHERE %2")
                     .arg(quoteIdent(table_), where.join(QStringLiteral(" AND "))),
                 keyOf(rows_[pos_]));
    rows_.removeAt(pos_);
    skipAdvance_ = true;
}

void Recordset::findFirst(const QString& name, const QVariant& value) {
    const int c = column(name);
    for (qsizetype i = 0; i < rows_.size(); ++i)
        if (rows_[i][c] == value || sameText(rows_[i][c].toString(), value.toString())) {
            pos_ = i;
            skipAdvance_ = false;
            noMatch_ = false;
            return;
        }
    noMatch_ = true;
}

}  // namespace store

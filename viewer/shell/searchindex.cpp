#include "viewer/shell/searchindex.h"

#include "exchange/lawparts.h"
#include "platform/error.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/textfold.h"
#include "viewer/browser/refs.h"
#include "viewer/log.h"

#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace viewer {

namespace {

// The rows of laws read again stay in the text index (it cannot forget a text it no longer
// has) but no longer lead anywhere; past this many such rows the index is made anew.
constexpr qint64 kMostDeadRows = 200000;
// Past this many characters and pairs a query only grows slower, not narrower.
constexpr int kMostQueryTokens = 24;
// Words this common are found sooner by reading the laws in order, where the search stops at
// its thousandth hit, than by listing every place first.
constexpr int kMostCandidates = 60000;
// Laws written in one transaction by a refresh.
constexpr int kBatchLaws = 32;

bool skipped(char32_t c) {
    return c == u' ' || c == u'\r' || c == u'\n' || c == u'\t';
}

char32_t foldForIndex(char32_t c) {
    if (c < 0x10000) c = store::foldChar(char16_t(c), store::Fold::Loose);
    if (c >= u'A' && c <= u'Z') c += 0x20;
    return c;
}

// Writes at most four bytes; returns how many.
int appendUtf8(char* out, char32_t c) {
    if (c < 0x80) {
        out[0] = char(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = char(0xC0 | (c >> 6));
        out[1] = char(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = char(0xE0 | (c >> 12));
        out[1] = char(0x80 | ((c >> 6) & 0x3F));
        out[2] = char(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (c >> 18));
    out[1] = char(0x80 | ((c >> 12) & 0x3F));
    out[2] = char(0x80 | ((c >> 6) & 0x3F));
    out[3] = char(0x80 | (c & 0x3F));
    return 4;
}

// Decodes UTF-8 leniently (a stray byte is one character of its own), folded for the index.
struct CodePoint {
    char32_t c;
    int start, end;
};
std::vector<CodePoint> decode(const char* p, int n) {
    std::vector<CodePoint> out;
    out.reserve(size_t(n));
    int i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(p[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        char32_t c = len == 1 ? b : len == 2 ? b & 0x1F : len == 3 ? b & 0x0F : b & 0x07;
        if (len == 0 || i + len > n) {
            out.push_back({0xFFFD, i, i + 1});
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            const auto x = static_cast<unsigned char>(p[i + k]);
            ok = ok && (x >> 6) == 2;
            c = (c << 6) | (x & 0x3F);
        }
        if (!ok) {
            out.push_back({0xFFFD, i, i + 1});
            ++i;
            continue;
        }
        out.push_back({foldForIndex(c), i, i + len});
        i += len;
    }
    return out;
}

// The tokenizer: each pair of neighbouring characters, folded, and a character with no
// neighbour after it alone; a word of one character is found as a prefix of pairs. A query's
// string is one character or one pair (searchIndexQuery makes them so) and is one token.
using TokenFn = int (*)(void*, int, const char*, int, int, int);
int tokenize(Fts5Tokenizer*, void* ctx, int flags, const char* text, int n, TokenFn emit) {
    const std::vector<CodePoint> cps = decode(text, n);
    char token[8];
    auto put = [&](size_t i, size_t count) {
        int length = 0;
        for (size_t k = i; k < i + count; ++k) length += appendUtf8(token + length, cps[k].c);
        return emit(ctx, 0, token, length, cps[i].start, cps[i + count - 1].end);
    };
    if ((flags & FTS5_TOKENIZE_QUERY) && (cps.size() == 1 || cps.size() == 2))
        return put(0, cps.size());
    for (size_t i = 0; i < cps.size(); ++i) {
        if (skipped(cps[i].c)) continue;
        const bool pair = i + 1 < cps.size() && !skipped(cps[i + 1].c);
        if (const int rc = put(i, pair ? 2 : 1); rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}

int createTokenizer(void*, const char**, int, Fts5Tokenizer** out) {
    static int tokenizerState = 0;
    *out = reinterpret_cast<Fts5Tokenizer*>(&tokenizerState);
    return SQLITE_OK;
}
void deleteTokenizer(Fts5Tokenizer*) {}

void registerTokenizer(sqlite3* db) {
    fts5_api* api = nullptr;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "select fts5(?1)", -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(st, 1, static_cast<void*>(&api), "fts5_api_ptr", nullptr);
        sqlite3_step(st);
    }
    sqlite3_finalize(st);
    if (!api) throw platform::Error(QStringLiteral("全文索引を使えません（FTS5 がありません）。"));
    fts5_tokenizer t{createTokenizer, deleteTokenizer, tokenize};
    if (api->xCreateTokenizer(api, "lexgram", nullptr, &t, nullptr) != SQLITE_OK)
        throw platform::Error(QStringLiteral("全文索引を使えません。"));
}

void createTables(store::Database& db) {
    db.execute(QStringLiteral(
        "create table if not exists 法令 (law text primary key, name text, signature text, "
        "readable integer, rows integer)"));
    db.execute(QStringLiteral(
        "create table if not exists 行 (id integer primary key autoincrement, law text, "
        "code text, part integer)"));
    db.execute(QStringLiteral("create index if not exists 行_law on 行 (law)"));
    db.execute(QStringLiteral("create table if not exists 状態 (key text primary key, value)"));
    db.execute(
        QStringLiteral("create virtual table if not exists 索引 using fts5(text, "
                       "tokenize='lexgram', detail=none, content='', columnsize=0)"));
}

// What one law gives the index: each record's code and text, each part entry's text.
struct LawTexts {
    QString code, name, signature;
    bool readable = true;
    QList<std::pair<QString, QString>> records;
    QStringList parts;
};

LawTexts readLaw(const QString& code, const QString& name) {
    LawTexts out{code, name, lawFileSignature(store::lawDbPath(name)), true, {}, {}};
    if (!QFileInfo(store::lawDbPath(name)).isFile()) {
        out.readable = false;
        return out;
    }
    try {
        store::Database db = store::openLawDb(name);
        for (store::Rows rs = db.rows(QStringLiteral("select 条項コード, 条文 from 条文"));
             rs.next();)
            out.records.append({rs.text(0), rs.text(1)});
        for (const store::LawPart& part : store::readLawParts(db)) {
            QStringList units = exchange::partEntries(part);
            if (units.isEmpty()) units << part.text;
            out.parts << units;
        }
    } catch (const platform::Error& e) {
        // Scanned instead, so the search names it as it names any law it cannot read.
        qCDebug(lcViewer).noquote() << "search index: cannot read" << name << e.description();
        out.readable = false;
        out.records.clear();
        out.parts.clear();
    }
    return out;
}

QString quoted(const QString& token) {
    QString q = token;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

}  // namespace

QString searchIndexPath(int shard) {
    return store::joinPath(
        store::joinPath(store::folders().db, QStringLiteral("index")),
        shard == 0 ? QStringLiteral("search.mdb") : QStringLiteral("search-%1.mdb").arg(shard));
}

QString searchIndexQuery(const QStringList& words) {
    QStringList tokens;
    for (const QString& word : words) {
        const QList<uint> ucs = word.toUcs4();
        const std::u32string cps(ucs.begin(), ucs.end());
        if (cps.size() == 1 && !skipped(cps[0])) tokens << QString::fromUcs4(cps.data(), 1);
        for (size_t i = 0; i + 1 < cps.size(); ++i)
            if (!skipped(cps[i]) && !skipped(cps[i + 1]))
                tokens << QString::fromUcs4(cps.data() + i, 2);
    }
    tokens.removeDuplicates();
    if (tokens.size() > kMostQueryTokens) tokens = tokens.mid(0, kMostQueryTokens);
    QStringList parts;
    // One character: every pair it begins, and itself at a text's end.
    for (const QString& t : tokens)
        parts << (t.toUcs4().size() == 1 ? quoted(t) + u'*' : quoted(t));
    return parts.join(QStringLiteral(" AND "));
}

QStringList searchIndexTerms(const QByteArray& utf8Text) {
    QStringList terms;
    auto collect = [](void* ctx, int, const char* token, int n, int, int) {
        static_cast<QStringList*>(ctx)->append(QString::fromUtf8(token, n));
        return SQLITE_OK;
    };
    tokenize(nullptr, &terms, 0, utf8Text.constData(), int(utf8Text.size()), collect);
    return terms;
}

namespace {

// One file of the index: a law's records are all in the one its code chooses.
class Shard {
  public:
    explicit Shard(int number) : number_(number) {}
    store::Database& db() { return *db_; }
    QString path() const { return searchIndexPath(number_); }

    void open() {
        const QString file = path();
        if (!QDir().mkpath(QFileInfo(file).absolutePath()))
            throw platform::Error(
                QStringLiteral("フォルダ %1 を作れません。").arg(QFileInfo(file).absolutePath()));
        store::deferSync(file);
        try {
            if (QFileInfo::exists(file)) {
                db_.emplace(store::Database::open(file));
                registerTokenizer(db_->handle());
                createTables(*db_);
                db_->openRecordset(QStringLiteral("select count(*) from 法令"));
            }
        } catch (const platform::Error&) {
            // It holds nothing the laws do not: a file that cannot be read is made again.
            db_.reset();
            QFile::remove(file);
        }
        if (!db_) {
            db_.emplace(store::Database::create(file));
            registerTokenizer(db_->handle());
            createTables(*db_);
        }
        store::dropDeferredSync(file);
    }
    void remove() {
        db_.reset();
        QFile::remove(path());
    }

    qint64 deadRows() {
        store::Recordset rs =
            db_->openRecordset(QStringLiteral("select value from 状態 where key='dead'"));
        return rs.eof() ? 0 : rs.field(QStringLiteral("value")).toLongLong();
    }

    void forget(const QString& code) {
        store::Recordset rs =
            db_->openRecordset(QStringLiteral("select rows from 法令 where law=?"),
                               store::RecordsetType::Snapshot, {code});
        const qint64 n = rs.eof() ? 0 : rs.field(QStringLiteral("rows")).toLongLong();
        db_->execute(QStringLiteral("delete from 行 where law=?"), {code});
        db_->execute(QStringLiteral("delete from 法令 where law=?"), {code});
        if (n > 0)
            db_->execute(
                QStringLiteral("insert or replace into 状態 (key, value) values ('dead', ?)"),
                {deadRows() + n});
    }

    // Within a transaction of the caller's when `batched`.
    void write(const LawTexts& law, bool batched = false) {
        std::optional<store::Transaction> t;
        if (!batched) t.emplace(*db_);
        forget(law.code);
        store::Prepared row(*db_,
                            QStringLiteral("insert into 行 (law, code, part) values (?, ?, ?)"));
        store::Prepared text(
            *db_, QStringLiteral("insert into 索引 (rowid, text) values (last_insert_rowid(), ?)"));
        auto add = [&](const QString& code, bool part, const QString& body) {
            row.bind(1, law.code);
            row.bind(2, code);
            row.bind(3, qint64(part));
            row.run();
            text.bind(1, body);
            text.run();
        };
        for (const auto& [code, body] : law.records) add(code, false, body);
        for (const QString& body : law.parts) add(QString(), true, body);
        db_->execute(QStringLiteral("insert into 法令 (law, name, signature, readable, rows) "
                                    "values (?,?,?,?,?)"),
                     {law.code, law.name, law.signature, int(law.readable),
                      qint64(law.records.size() + law.parts.size())});
        if (t) t->commit();
    }

  private:
    int number_;
    std::optional<store::Database> db_;
};

int shardOf(const QString& code) {
    uint sum = 0;
    for (const QChar c : code.toUpper()) sum += c.unicode();
    return int(sum % kSearchShards);
}

}  // namespace

struct SearchIndex::Impl {
    std::vector<Shard> shards;
    // The files' signatures as this instance's last plan read them (by 法典名称): a search
    // right after its refresh does not read 2,000 file headers twice.
    QHash<QString, QString> signatures;
    std::mutex signaturesMutex;

    Impl() {
        for (int k = 0; k < kSearchShards; ++k) shards.emplace_back(k);
    }
    void open() {
        for (Shard& s : shards) s.open();
    }
    void write(const LawTexts& law, bool batched = false) {
        {
            std::lock_guard lock(signaturesMutex);
            signatures.insert(law.name, law.signature);
        }
        shards[size_t(shardOf(law.code))].write(law, batched);
    }

    struct Plan {
        QList<std::pair<QString, QString>> stale;  // code, name
        QStringList removed;
    };
    Plan plan(bool all) {
        QHash<QString, std::pair<QString, QString>> known;  // code → name, signature
        for (Shard& s : shards)
            for (store::Recordset rs = s.db().openRecordset(QStringLiteral("select * from 法令"));
                 !rs.eof(); rs.moveNext())
                known.insert(
                    rs.text(QStringLiteral("law")),
                    {rs.text(QStringLiteral("name")), rs.text(QStringLiteral("signature"))});
        Plan p;
        QSet<QString> listed;
        for (const store::LawEntry& e : store::readLawList()) {
            const QString code = e.code.toUpper();
            listed << code;
            const auto it = known.constFind(code);
            const QString signature = lawFileSignature(store::lawDbPath(e.name));
            signatures.insert(e.name, signature);
            if (all || it == known.cend() || it->first != e.name || it->second != signature)
                p.stale.append({code, e.name});
        }
        for (auto it = known.cbegin(); it != known.cend(); ++it)
            if (!listed.contains(it.key())) p.removed << it.key();
        return p;
    }

    int run(bool all, const Progress& progress) {
        for (Shard& s : shards) all = all || s.deadRows() > kMostDeadRows;
        const Plan p = plan(all);
        for (const QString& code : p.removed) shards[size_t(shardOf(code))].forget(code);
        if (p.stale.isEmpty()) return 0;
        if (all) {
            for (Shard& s : shards) s.remove();
            open();
        }
        // Each file is written on a thread of its own (the text index's work is the most of
        // it); this thread tells the progress and asks whether to go on.
        std::vector<QList<std::pair<QString, QString>>> work(shards.size());
        for (const auto& law : p.stale) work[size_t(shardOf(law.first))].append(law);
        const int total = int(p.stale.size());
        std::mutex mutex;
        std::condition_variable changed;
        int written = 0;
        QString last = p.stale.first().second;
        bool stop = false;
        std::exception_ptr failure;
        std::vector<std::thread> threads;
        for (size_t k = 0; k < shards.size(); ++k) {
            if (work[k].isEmpty()) continue;
            threads.emplace_back([&, k] {
                try {
                    std::optional<store::Transaction> batch;
                    int inBatch = 0;
                    for (const auto& [code, name] : work[k]) {
                        {
                            std::lock_guard lock(mutex);
                            if (stop) break;
                        }
                        const LawTexts texts = readLaw(code, name);
                        if (!batch) batch.emplace(shards[k].db());
                        write(texts, true);
                        // Laws go in by the batch: the text index writes what it holds at
                        // each commit, and fewer, larger pieces are merged with less work.
                        if (++inBatch == kBatchLaws) {
                            batch->commit();
                            batch.reset();
                            inBatch = 0;
                        }
                        std::lock_guard lock(mutex);
                        ++written;
                        last = name;
                        changed.notify_all();
                    }
                    if (batch) batch->commit();
                } catch (...) {
                    std::lock_guard lock(mutex);
                    if (!failure) failure = std::current_exception();
                    stop = true;
                    changed.notify_all();
                }
            });
        }
        int told = -1;
        for (;;) {
            std::unique_lock lock(mutex);
            changed.wait_for(lock, std::chrono::milliseconds(50));
            const int done = written;
            const QString name = last;
            const bool finished = done == total || stop;
            lock.unlock();
            if (progress && done != told && done < total) {
                told = done;
                if (!progress(done, total, name)) {
                    std::lock_guard again(mutex);
                    stop = true;
                    break;
                }
            }
            if (finished) break;
        }
        for (std::thread& t : threads) t.join();
        if (failure) std::rethrow_exception(failure);
        for (Shard& s : shards) store::writeOut(s.path());
        return written;
    }

    std::optional<SearchCandidates> candidates(const QStringList& words) {
        const QString query = searchIndexQuery(words);
        if (query.isEmpty()) return std::nullopt;
        SearchCandidates c;
        QHash<QString, QString> names;  // code → name
        int rows = 0;
        for (Shard& s : shards) {
            for (store::Recordset rs = s.db().openRecordset(
                     QStringLiteral("select law, name, signature, readable from 法令"));
                 !rs.eof(); rs.moveNext()) {
                // Only what is current: a law changed since its last reading is scanned.
                const QString name = rs.text(QStringLiteral("name"));
                if (!rs.field(QStringLiteral("readable")).toBool()) continue;
                const auto known = signatures.constFind(name);
                const QString now =
                    known != signatures.cend() ? *known : lawFileSignature(store::lawDbPath(name));
                if (rs.text(QStringLiteral("signature")) != now) continue;
                c.current << name;
                names.insert(rs.text(QStringLiteral("law")), name);
            }
        }
        for (Shard& s : shards) {
            sqlite3_stmt* st = nullptr;
            sqlite3* h = s.db().handle();
            if (sqlite3_prepare_v2(h,
                                   "select r.law, r.code, r.part from 索引 cross join 行 r "
                                   "on r.id = 索引.rowid where 索引 match ?",
                                   -1, &st, nullptr) != SQLITE_OK)
                throw platform::Error(QStringLiteral("全文索引のエラー: %1")
                                          .arg(QString::fromUtf8(sqlite3_errmsg(h))));
            const QByteArray q = query.toUtf8();
            sqlite3_bind_text(st, 1, q.constData(), int(q.size()), SQLITE_TRANSIENT);
            int rc;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                if (++rows > kMostCandidates) {
                    sqlite3_finalize(st);
                    return std::nullopt;
                }
                const QString law =
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                                      sqlite3_column_bytes(st, 0));
                const auto it = names.constFind(law);
                if (it == names.cend()) continue;
                if (sqlite3_column_int(st, 2))
                    c.parts << *it;
                else
                    c.codes[*it] << QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(st, 1)),
                        sqlite3_column_bytes(st, 1));
            }
            const QString error = QString::fromUtf8(sqlite3_errmsg(h));
            sqlite3_finalize(st);
            if (rc != SQLITE_DONE)
                throw platform::Error(QStringLiteral("全文索引のエラー: %1").arg(error));
        }
        return c;
    }
};

SearchIndex::SearchIndex() : impl_(std::make_unique<Impl>()) {
    impl_->open();
}

SearchIndex::~SearchIndex() = default;

int SearchIndex::refresh(const Progress& progress) {
    return impl_->run(false, progress);
}

int SearchIndex::rebuild(const Progress& progress) {
    return impl_->run(true, progress);
}

bool SearchIndex::refreshLaw(const QString& lawName) {
    for (const auto& [code, name] : impl_->plan(false).stale)
        if (name == lawName) {
            impl_->write(readLaw(code, name));
            store::writeOut(searchIndexPath(shardOf(code)));
            return true;
        }
    return false;
}

int SearchIndex::staleCount() {
    return int(impl_->plan(false).stale.size());
}

std::optional<SearchCandidates> SearchIndex::candidates(const QStringList& words) {
    return impl_->candidates(words);
}

}  // namespace viewer

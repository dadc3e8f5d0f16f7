#include "viewer/browser/citedby.h"

#include "exchange/lawparts.h"
#include "platform/error.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "viewer/browser/lawtree.h"
#include "viewer/browser/refs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace viewer {

namespace {

// What a target covers, as 条項コード: an article all of its records, a paragraph itself, a
// range from its first to its last.
struct Span {
    QString law, lo, hi;
    bool range = false;
};

std::optional<Span> spanOf(RefLibrary& library, const QString& target) {
    const qsizetype tilde = target.indexOf(u'~');
    const QString first = tilde < 0 ? target : target.left(tilde);
    const QString last = tilde < 0 ? target : target.mid(target.lastIndexOf(u'~') + 1);
    auto ends = [&](const QString& t) -> std::optional<std::pair<QString, QString>> {
        const QString code = targetRecordCode(t, library.index(t.left(2)));
        if (code.size() != 16) return std::nullopt;  // a part, "?" or "!"
        if (t.contains(u':')) return std::pair(code, code);
        static const QString first = QStringLiteral("000000"), last = QStringLiteral("999999");
        QString lo = code, hi = code;
        return std::pair(lo.replace(10, 6, first), hi.replace(10, 6, last));
    };
    const auto a = ends(first);
    const auto b = tilde < 0 ? a : ends(last);
    if (!a || !b) return std::nullopt;
    return Span{first.left(2).toUpper(), a->first, b->second, first != last};
}

QString entryKey(const QString& law, int order, int entry) {
    return partKey(law, order) + QStringLiteral("-%1").arg(entry + 1, 3, 10, QChar(u'0'));
}

}  // namespace

QString citationIndexPath() {
    return store::joinPath(store::joinPath(store::folders().db, QStringLiteral("index")),
                           QStringLiteral("refs.mdb"));
}

namespace {

// A law's rows are written together, so they follow one another: 法令 keeps the first and the
// last row id, and the rows of a law go by them, without a lookup by law.
void createTables(store::Database& db) {
    db.execute(QStringLiteral(
        "create table if not exists 引用 (law text, code text, start integer, length integer, "
        "target text, tlaw text, lo text, hi text, isrange integer)"));
    db.execute(QStringLiteral("create index if not exists 引用先 on 引用 (tlaw, lo)"));
    db.execute(
        QStringLiteral("create table if not exists 法令 (law text primary key, name text, "
                       "signature text, first integer, last integer)"));
}

void deleteRows(store::Database& db, const QString& law) {
    db.execute(QStringLiteral("delete from 引用 where rowid between "
                              "(select first from 法令 where law=?1) and "
                              "(select last from 法令 where law=?1)"),
               {law});
}

}  // namespace

// A law's references as the index keeps them, read without touching the index: each row's
// texts as UTF-8 in one buffer, by their places there.
struct LawRows {
    QString code, name, signature;
    struct Value {
        int from = 0, size = 0;
    };
    struct Row {
        Value citing, target, law, lo, hi;
        int start = 0, length = 0;
        bool range = false;
    };
    QByteArray bytes;
    std::vector<Row> rows;
    bool readable = true;
    QByteArrayView view(Value v) const { return QByteArrayView(bytes).sliced(v.from, v.size); }
    // ASCII (codes, short numbers) is copied as it is; any other text is encoded.
    Value put(QStringView text) {
        const Value v{int(bytes.size()), int(text.size())};
        bytes.resize(bytes.size() + text.size());
        char* to = bytes.data() + v.from;
        for (const QChar ch : text) {
            if (ch.unicode() >= 0x80) {
                const QByteArray utf8 = text.toUtf8();
                bytes.resize(v.from);
                bytes.append(utf8);
                return {v.from, int(utf8.size())};
            }
            *to++ = char(ch.unicode());
        }
        return v;
    }
};

// Reads laws for the index: one per thread, each with the listed laws read once.
class LawReader {
  public:
    LawRows read(const QString& code, const QString& name) {
        LawRows out{code, name, lawFileSignature(store::lawDbPath(name)), {}, {}, true};
        const QString upper = code.toUpper();
        try {
            store::Database law = store::openLawDb(name);
            // The law is read once: its index is made from the same records and parts.
            QStringList codes;
            QList<std::pair<QString, QString>> paragraphs;  // code, text
            for (store::Rows rs = law.rows(
                     QStringLiteral("select 条項コード, 条文 from 条文 order by 条項コード"));
                 rs.next();) {
                codes << rs.text(0);
                const QString& c = codes.last();
                if (c.size() != 16 || c.endsWith(u'1')) continue;  // a heading record
                paragraphs.append({c, rs.text(1)});
            }
            const QList<store::LawPart> parts = store::readLawParts(law);
            library_.useIndex(code, lawIndexOf(code, codes, parts));
            auto add = [&](const QString& citing, const QString& text,
                           const QList<Reference>& found) {
                std::optional<LawRows::Value> citingValue;
                // Positions count code points: UTF-16 units unless a surrogate pair is there.
                bool pairs = false;
                for (const Reference& r : found) {
                    if (!r.linked()) continue;
                    // The law's own targets seldom come twice: made each time, not kept.
                    std::optional<Span> made;
                    const bool own = QStringView(r.target).left(2) == QStringView(upper);
                    if (own) made = spanOf(library_, r.target);
                    const std::optional<Span>& s = own ? made : otherSpan(r.target);
                    if (!s || ownArticle(*s, code, citing)) continue;
                    LawRows::Row row;
                    row.target = out.put(QStringView(r.target));
                    row.law = out.put(QStringView(s->law));
                    row.lo = out.put(QStringView(s->lo));
                    row.hi = out.put(QStringView(s->hi));
                    row.range = s->range;
                    if (!citingValue) {
                        citingValue = out.put(QStringView(citing));
                        pairs = std::any_of(text.cbegin(), text.cend(),
                                            [](QChar ch) { return ch.isHighSurrogate(); });
                    }
                    row.citing = *citingValue;
                    row.start = pairs ? codePointOffset(text, r.start) : r.start;
                    row.length =
                        (pairs ? codePointOffset(text, r.start + r.length) : r.start + r.length) -
                        row.start;
                    out.rows.push_back(row);
                }
            };
            for (const auto& [c, text] : paragraphs) add(c, text, library_.references(c, text));
            for (int order = 0; order < parts.size(); ++order) {
                const auto found = library_.partReferences(code, parts[order]);
                for (int e = 0; e < found.size(); ++e)
                    add(entryKey(code, order + 1, e), found[e].first, found[e].second);
            }
        } catch (const platform::Error&) {
            out.bytes.clear();
            out.rows.clear();
            out.readable = false;
        }
        return out;
    }

  private:
    // Another law's target, kept for the whole refresh: many laws cite the same provisions.
    const std::optional<Span>& otherSpan(const QString& target) {
        auto known = others_.find(target);
        if (known == others_.end()) known = others_.insert(target, spanOf(library_, target));
        return *known;
    }
    // The article's own 前項, この条 …: no citing provision (see citing).
    static bool ownArticle(const Span& s, const QString& code, const QString& citing) {
        const QStringView article = QStringView(citing).left(10);
        return s.law == code && QStringView(s.lo).left(10) == article &&
               QStringView(s.hi).left(10) == article;
    }

    RefLibrary library_;
    QHash<QString, std::optional<Span>> others_;  // target → span
};

// From this many laws to read, a refresh writes as a rebuild does.
constexpr int kBulkLaws = 64;
// Rows written by one commit of such a refresh.
constexpr qsizetype kBatchRows = 100000;

struct CitationIndex::Impl {
    std::optional<store::Database> db;

    void open() {
        const QString path = citationIndexPath();
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            throw platform::Error(
                QStringLiteral("フォルダ %1 を作れません。").arg(QFileInfo(path).absolutePath()));
        // Its commits do not wait for the disk, law by law; a refresh writes it out once.
        store::deferSync(path);
        try {
            if (QFileInfo::exists(path)) {
                db.emplace(store::Database::open(path));
                createTables(*db);
                // A file of an earlier make, without the rows' places, is made again.
                db->openRecordset(
                    QStringLiteral("select count(*), max(first), max(last) from 法令"));
            }
        } catch (const platform::Error&) {
            // Only what the laws hold is in it: a file that cannot be read is made again.
            db.reset();
            QFile::remove(path);
        }
        if (!db) {
            db.emplace(store::Database::create(path));
            createTables(*db);
        }
        store::dropDeferredSync(path);
    }

    // A law's references in place of what the index held of it. A law that cannot be read
    // cites nothing until its file changes: noted as read, so that every look does not try
    // it again.
    // `bulk`: its old rows are gone already, and it goes in the caller's transaction.
    void write(const LawRows& law, bool bulk = false) {
        std::optional<store::Transaction> t;
        if (!bulk) {
            t.emplace(*db);
            deleteRows(*db, law.code);
        }
        db->execute(QStringLiteral("delete from 法令 where law=?"), {law.code});
        QVariant first, last;
        {
            store::Prepared insert(*db, QStringLiteral("insert into 引用 (law, code, start, "
                                                       "length, target, tlaw, lo, hi, isrange) "
                                                       "values (?,?,?,?,?,?,?,?,?)"));
            const QByteArray code = law.code.toUtf8();
            for (const LawRows::Row& row : law.rows) {
                insert.bind(1, code);
                insert.bind(2, law.view(row.citing));
                insert.bind(3, qint64(row.start));
                insert.bind(4, qint64(row.length));
                insert.bind(5, law.view(row.target));
                insert.bind(6, law.view(row.law));
                insert.bind(7, law.view(row.lo));
                insert.bind(8, law.view(row.hi));
                insert.bind(9, qint64(row.range ? 1 : 0));
                insert.run();
                if (first.isNull()) first = db->lastInsertId();
            }
            if (!law.rows.empty()) last = db->lastInsertId();
        }
        db->execute(QStringLiteral(
                        "insert into 法令 (law, name, signature, first, last) values (?,?,?,?,?)"),
                    {law.code, law.name, law.signature, first, last});
        if (t) t->commit();
    }

    struct Plan {
        QList<std::pair<QString, QString>> stale;  // code, name
        QStringList removed;
    };
    Plan plan(bool all) {
        QHash<QString, std::pair<QString, QString>> known;  // code → name, signature
        for (store::Recordset rs = db->openRecordset(QStringLiteral("select * from 法令"));
             !rs.eof(); rs.moveNext())
            known.insert(rs.text(QStringLiteral("law")),
                         {rs.text(QStringLiteral("name")), rs.text(QStringLiteral("signature"))});
        Plan p;
        QStringList newNames;
        QList<std::pair<QString, QString>> current;
        QSet<QString> listed;
        for (const store::LawEntry& e : store::readLawList()) {
            const QString code = e.code.toUpper();
            listed << code;
            const auto it = known.constFind(code);
            if (it == known.cend() || it->first != e.name) newNames << e.name;
            if (all || it == known.cend() || it->first != e.name ||
                it->second != lawFileSignature(store::lawDbPath(e.name)))
                p.stale.append({code, e.name});
            else
                current.append({code, e.name});
        }
        for (auto it = known.cbegin(); it != known.cend(); ++it)
            if (!listed.contains(it.key())) p.removed << it.key();
        // A law added or renamed: the laws naming it resolve their references to it anew.
        if (!known.isEmpty() && !newNames.isEmpty()) {
            for (const auto& [code, name] : current) {
                bool names = false;
                try {
                    store::Database law = store::openLawDb(name);
                    for (const QString& n : newNames) {
                        store::Recordset rs = law.openRecordset(
                            QStringLiteral(
                                "select count(*) as n from 条文 where instr(条文, ?) > 0"),
                            store::RecordsetType::Snapshot, {n});
                        names = names || rs.field(QStringLiteral("n")).toInt() > 0;
                    }
                } catch (const platform::Error&) {
                }
                if (names) p.stale.append({code, name});
            }
        }
        return p;
    }

    int run(bool all, int most, const Progress& progress) {
        const Plan p = plan(all);
        for (const QString& code : p.removed) {
            store::Transaction t(*db);
            deleteRows(*db, code);
            db->execute(QStringLiteral("delete from 法令 where law=?"), {code});
            t.commit();
        }
        if (p.stale.isEmpty()) return 0;
        const int total = int(p.stale.size());
        const int wanted = most > 0 ? std::min(most, total) : total;
        if (all) {
            // Everything is read again: a new file, not the old rows deleted law by law.
            db.reset();
            QFile::remove(citationIndexPath());
            open();
        }
        // Many laws: their old rows go first, and the rows go in without the lookup kept up
        // row by row; it is made once at the end (and by the next open, should the process die
        // before). A law not written again then (stopped) keeps no rows, and no places that
        // later rows may take.
        const bool bulk = all || wanted >= kBulkLaws;
        if (bulk) {
            store::Transaction t(*db);
            for (int i = 0; i < wanted; ++i) {
                deleteRows(*db, p.stale[i].first);
                db->execute(QStringLiteral("update 法令 set first=null, last=null where law=?"),
                            {p.stale[i].first});
            }
            db->execute(QStringLiteral("drop index if exists 引用先"));
            t.commit();
        }
        struct Lookups {
            Impl* self;
            bool bulk;
            ~Lookups() {
                if (!bulk) return;
                try {
                    createTables(*self->db);
                } catch (const platform::Error&) {
                }
            }
        } lookups{this, bulk};
        // Laws are read on as many threads as there are cores and written here, in the
        // order they were planned; a few laws are read here alone.
        const int threads = wanted < 8 ? 0 : std::max(1, QThread::idealThreadCount());
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<std::optional<LawRows>> ready(wanted);
        std::atomic<int> next{0};
        std::atomic<bool> stop{false};
        int written = 0;
        auto work = [&] {
            LawReader reader;
            for (int i = next++; i < wanted && !stop; i = next++) {
                // Not too far ahead of the writer: what waits is held in memory.
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] { return stop || i < written + 64; });
                }
                if (stop) break;
                LawRows rows = reader.read(p.stale[i].first, p.stale[i].second);
                std::lock_guard lock(mutex);
                ready[i] = std::move(rows);
                changed.notify_all();
            }
        };
        std::vector<std::thread> workers;
        std::optional<LawReader> here;
        if (threads == 0) here.emplace();
        for (int t = 0; t < threads; ++t) workers.emplace_back(work);
        auto finish = [&] {
            {
                std::lock_guard lock(mutex);
                stop = true;
            }
            changed.notify_all();
            for (std::thread& w : workers) w.join();
            workers.clear();
        };
        // Many laws are committed a batch of rows at a time, not law by law.
        std::optional<store::Transaction> batch;
        qsizetype batched = 0;
        try {
            while (written < wanted) {
                const int i = written;
                if (progress && !progress(i, total, p.stale[i].second)) break;
                LawRows rows;
                if (here) {
                    rows = here->read(p.stale[i].first, p.stale[i].second);
                } else {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] { return ready[i].has_value(); });
                    rows = std::move(*ready[i]);
                    ready[i].reset();
                }
                if (bulk && !batch) batch.emplace(*db);
                write(rows, bulk);
                batched += qsizetype(rows.rows.size());
                if (batch && batched >= kBatchRows) {
                    batch->commit();
                    batch.reset();
                    batched = 0;
                }
                {
                    std::lock_guard lock(mutex);
                    ++written;
                }
                changed.notify_all();
            }
            if (batch) batch->commit();
        } catch (...) {
            finish();
            throw;
        }
        finish();
        store::writeOut(citationIndexPath());
        return written;
    }
};

CitationIndex::CitationIndex() : impl_(std::make_unique<Impl>()) {
    impl_->open();
}

CitationIndex::~CitationIndex() = default;

int CitationIndex::refresh(int most, const Progress& progress) {
    return impl_->run(false, most, progress);
}

int CitationIndex::rebuild(const Progress& progress) {
    return impl_->run(true, 0, progress);
}

int CitationIndex::staleCount() {
    return int(impl_->plan(false).stale.size());
}

int CitationIndex::size() {
    store::Recordset rs =
        impl_->db->openRecordset(QStringLiteral("select count(*) as n from 引用"));
    return rs.field(QStringLiteral("n")).toInt();
}

QList<Citation> CitationIndex::citing(const QString& key) {
    const QString law = key.left(2).toUpper();
    const QString lo = key.size() == 10 ? key.toUpper() + QStringLiteral("000000") : key.toUpper();
    const QString hi = key.size() == 10 ? key.toUpper() + QStringLiteral("999999") : key.toUpper();
    QHash<QString, int> order;
    for (const store::LawEntry& e : store::readLawList())
        order.insert(e.code.toUpper(), order.size());
    QList<std::pair<int, Citation>> rows;
    for (store::Recordset rs = impl_->db->openRecordset(
             QStringLiteral("select * from 引用 where tlaw=? and lo<=? and hi>=?"),
             store::RecordsetType::Snapshot, {law, hi, lo});
         !rs.eof(); rs.moveNext()) {
        Citation c{rs.text(QStringLiteral("law")), rs.text(QStringLiteral("code")),
                   rs.field(QStringLiteral("start")).toInt(),
                   rs.field(QStringLiteral("length")).toInt(), rs.text(QStringLiteral("target"))};
        if (!order.contains(c.law)) continue;  // a law removed since
        // The article's own 前項, この条 …: read with it, no citing provision.
        if (c.code.left(10) == key.left(10).toUpper()) continue;
        rows.append({order.value(c.law), c});
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first, a.second.code, a.second.start) <
               std::tie(b.first, b.second.code, b.second.start);
    });
    QList<Citation> out;
    for (const auto& [_, c] : rows) out << c;
    return out;
}

QList<Citation> citingProvisions(const QList<Citation>& citations) {
    QList<Citation> out;
    QSet<QString> seen;
    for (const Citation& c : citations)
        if (!seen.contains(c.law + c.code)) {
            seen << c.law + c.code;
            out << c;
        }
    return out;
}

QString citationText(const Citation& c) {
    try {
        const QString name = store::GetHoutenName(c.law);
        if (name.isEmpty()) return {};
        store::Database db = store::openLawDb(name);
        if (isPartKey(c.code)) {
            const QList<store::LawPart> parts = store::readLawParts(db);
            const int order = c.code.mid(3, 5).toInt();
            if (order < 1 || order > parts.size()) return {};
            return QString(exchange::partEntries(parts[order - 1]).value(c.code.mid(9).toInt() - 1))
                .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        }
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select 条文 from 条文 where 条項コード=?"),
                             store::RecordsetType::Snapshot, {c.code});
        return rs.eof() ? QString() : rs.text(QStringLiteral("条文"));
    } catch (const platform::Error&) {
        return {};
    }
}

}  // namespace viewer

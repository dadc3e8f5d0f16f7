#include "viewer/browser/citedby.h"

#include "exchange/lawparts.h"
#include "platform/error.h"
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "viewer/browser/lawtree.h"
#include "viewer/browser/refs.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <optional>

namespace viewer {

namespace {

// What a target covers, as 条項コード: an article all of its records, a paragraph itself, a
// range from its first to its last.
struct Span {
    QString law, lo, hi;
    bool range = false;
};

std::optional<Span> spanOf(RefLibrary& library, const QString& target) {
    const QString first = target.section(u'~', 0, 0), last = target.section(u'~', -1);
    auto ends = [&](const QString& t) -> std::optional<std::pair<QString, QString>> {
        const QString code = targetRecordCode(t, library.index(t.left(2)));
        if (code.size() != 16) return std::nullopt;  // a part, "?" or "!"
        if (t.contains(u':')) return std::pair(code, code);
        return std::pair(code.left(10) + QStringLiteral("000000"),
                         code.left(10) + QStringLiteral("999999"));
    };
    const auto a = ends(first), b = ends(last);
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

struct CitationIndex::Impl {
    std::optional<store::Database> db;
    std::unique_ptr<RefLibrary> library;  // the listed laws, read once per refresh

    // Every reference of the law, in place of what the index held of it.
    void read(const QString& code, const QString& name, const QString& signature) {
        store::Transaction t(*db);
        db->execute(QStringLiteral("delete from 引用 where law=?"), {code});
        db->execute(QStringLiteral("delete from 法令 where law=?"), {code});
        store::Database law = store::openLawDb(name);
        auto add = [&](const QString& citing, const QString& text, const Reference& r) {
            const std::optional<Span> s = spanOf(*library, r.target);
            if (!s) return;
            const int start = codePointOffset(text, r.start);
            db->execute(QStringLiteral("insert into 引用 (law, code, start, length, target, tlaw, "
                                       "lo, hi, isrange) values (?,?,?,?,?,?,?,?,?)"),
                        {code, citing, start, codePointOffset(text, r.start + r.length) - start,
                         r.target, s->law, s->lo, s->hi, s->range ? 1 : 0});
        };
        for (store::Recordset rs = law.openRecordset(
                 QStringLiteral("select 条項コード, 条文 from 条文 order by 条項コード"));
             !rs.eof(); rs.moveNext()) {
            const QString c = rs.text(QStringLiteral("条項コード"));
            if (c.size() != 16 || c.endsWith(u'1')) continue;  // a heading record
            const QString text = rs.text(QStringLiteral("条文"));
            for (const Reference& r : library->references(c, text))
                if (r.linked()) add(c, text, r);
        }
        const QList<store::LawPart> parts = store::readLawParts(law);
        for (int order = 0; order < parts.size(); ++order) {
            const QStringList entries = exchange::partEntries(parts[order]);
            for (int e = 0; e < entries.size(); ++e) {
                const QString text =
                    QString(entries[e]).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                for (const Reference& r : library->partReferences(code, parts[order], e, text))
                    if (r.linked()) add(entryKey(code, order + 1, e), text, r);
            }
        }
        db->execute(QStringLiteral("insert into 法令 (law, name, signature) values (?,?,?)"),
                    {code, name, signature});
        t.commit();
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
            db->execute(QStringLiteral("delete from 引用 where law=?"), {code});
            db->execute(QStringLiteral("delete from 法令 where law=?"), {code});
        }
        if (p.stale.isEmpty()) return 0;
        library = std::make_unique<RefLibrary>();
        int done = 0;
        for (const auto& [code, name] : p.stale) {
            if (most > 0 && done >= most) break;
            if (progress && !progress(done, int(p.stale.size()), name)) break;
            const QString signature = lawFileSignature(store::lawDbPath(name));
            try {
                read(code, name, signature);
            } catch (const platform::Error&) {
                // A law that cannot be read cites nothing until its file changes: noted as
                // read, so that every look does not try it again.
                db->execute(QStringLiteral("delete from 引用 where law=?"), {code});
                db->execute(QStringLiteral("delete from 法令 where law=?"), {code});
                db->execute(
                    QStringLiteral("insert into 法令 (law, name, signature) values (?,?,?)"),
                    {code, name, signature});
            }
            ++done;
        }
        library.reset();
        return done;
    }
};

CitationIndex::CitationIndex() : impl_(std::make_unique<Impl>()) {
    const QString path = citationIndexPath();
    if (!QFileInfo::exists(path)) {
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            throw platform::Error(
                QStringLiteral("フォルダ %1 を作れません。").arg(QFileInfo(path).absolutePath()));
        impl_->db.emplace(store::Database::create(path));
    } else {
        impl_->db.emplace(store::Database::open(path));
    }
    store::Database& db = *impl_->db;
    db.execute(QStringLiteral(
        "create table if not exists 引用 (law text, code text, start integer, length integer, "
        "target text, tlaw text, lo text, hi text, isrange integer)"));
    db.execute(QStringLiteral("create index if not exists 引用先 on 引用 (tlaw, lo)"));
    db.execute(QStringLiteral("create index if not exists 引用元 on 引用 (law)"));
    db.execute(QStringLiteral(
        "create table if not exists 法令 (law text primary key, name text, signature text)"));
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

// The engine behind the law data: the SQL texts of the programs must mean on SQLite what they
// meant on the original engine, on real Japanese text.
#include "store/engine.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/likematch.h"
#include "store/versions.h"
#include "tests/support/testsupport.h"

#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <chrono>
#include <cstring>
#include <thread>
#include <tuple>

using store::Database;
using store::RecordsetType;

namespace {

class EngineTest : public testsupport::TempRootTest {
  protected:
    void SetUp() override {
        TempRootTest::SetUp();
        QDir().mkpath(store::folders().db);
        store::MakeHoutenDB(store::folders().db, QStringLiteral("民法.mdb"));
        Database db = store::openLawDb(QStringLiteral("民法"));
        const QList<QPair<QString, QString>> rows{
            {QStringLiteral("MP05410000000001"), QStringLiteral("（解除権の行使）")},
            {QStringLiteral("MP05410000010000"),
             QStringLiteral("当事者の一方がその債務を履行しない場合において、相手方が相当の期間を定"
                            "めてその履行の催告をし、その期間内に履行がないときは、相手方は、契約の"
                            "解除をすることができる。")},
            {QStringLiteral("MP05400000000001"), QStringLiteral("（契約の解除）")},
            {QStringLiteral("MP05400000010100"),
             QStringLiteral("契約又は法律の規定により当事者の一方が解除権を有するときは、その解除は"
                            "、相手方に対する意思表示によってする。")},
            {QStringLiteral("MP05400000020200"),
             QStringLiteral("前項の意思表示は、撤回することができない。")},
            {QStringLiteral("MP00010000000001"), QStringLiteral("（基本原則）")},
            {QStringLiteral("MP00010000010100"),
             QStringLiteral("私権は、公共の福祉に適合しなければならない。")},
            {QStringLiteral("MP00030002000001"), QStringLiteral("（Ａｂｃ 10% [注]*?）")},
        };
        for (const auto& r : rows)
            db.execute(QStringLiteral("insert into 条文 values (?, ?)"), {r.first, r.second});
    }

    QStringList codes(const QString& sql) {
        Database db = store::openLawDb(QStringLiteral("民法"));
        store::Recordset rs = db.openRecordset(sql);
        QStringList out;
        for (; !rs.eof(); rs.moveNext()) out << rs.text(QStringLiteral("条項コード"));
        return out;
    }
    QStringList likeCodes(const QString& pattern) {
        QString p = pattern;
        p.replace(u'\'', QStringLiteral("''"));
        return codes(QStringLiteral("select * from 条文 where 条文 like '") + p +
                     QStringLiteral("' order by 条項コード"));
    }
};

TEST_F(EngineTest, LikeUsesTheWildcardsOfTheLawTexts) {
    // * any run, on Japanese text; the match is the whole text, not a part.
    EXPECT_EQ(
        likeCodes(QStringLiteral("*解除*")),
        QStringList({QStringLiteral("MP05400000000001"), QStringLiteral("MP05400000010100"),
                     QStringLiteral("MP05410000000001"), QStringLiteral("MP05410000010000")}));
    EXPECT_TRUE(likeCodes(QStringLiteral("解除")).isEmpty());
    EXPECT_EQ(likeCodes(QStringLiteral("（解除権の行使）")),
              QStringList{QStringLiteral("MP05410000000001")});
    EXPECT_EQ(likeCodes(QStringLiteral("私権*")), QStringList{QStringLiteral("MP00010000010100")});
    EXPECT_EQ(likeCodes(QStringLiteral("*撤回することができない。")),
              QStringList{QStringLiteral("MP05400000020200")});
    // ? is one character (a kanji counts one), # one digit.
    EXPECT_EQ(likeCodes(QStringLiteral("（基本??）")),
              QStringList{QStringLiteral("MP00010000000001")});
    EXPECT_TRUE(likeCodes(QStringLiteral("（基本?）")).isEmpty());
    EXPECT_EQ(likeCodes(QStringLiteral("*##%*")), QStringList{QStringLiteral("MP00030002000001")});
    EXPECT_TRUE(likeCodes(QStringLiteral("*###%*")).isEmpty());
    // Lists, ranges and negated lists.
    EXPECT_EQ(
        likeCodes(QStringLiteral("（[基解]*")),
        QStringList({QStringLiteral("MP00010000000001"), QStringLiteral("MP05410000000001")}));
    EXPECT_EQ(likeCodes(QStringLiteral("（[!基解契]*")),
              QStringList{QStringLiteral("MP00030002000001")});
    EXPECT_EQ(likeCodes(QStringLiteral("*[0-9]%*")),
              QStringList{QStringLiteral("MP00030002000001")});
    // Bracketed wildcards stand for themselves.
    EXPECT_EQ(likeCodes(QStringLiteral("*[*][?]*")),
              QStringList{QStringLiteral("MP00030002000001")});
    EXPECT_EQ(likeCodes(QStringLiteral("*[[]注]*")),
              QStringList{QStringLiteral("MP00030002000001")});
    // ASCII letters compare without case; full-width letters are other characters.
    EXPECT_EQ(likeCodes(QStringLiteral("*Ａｂｃ 10*")).size(), 1);
    EXPECT_TRUE(likeCodes(QStringLiteral("*ａｂｃ 10*")).isEmpty());
    // A trailing * when the text is used up; a set before it.
    EXPECT_EQ(likeCodes(QStringLiteral("（基本原則[）]*")),
              QStringList{QStringLiteral("MP00010000000001")});

    // The matcher's shapes at their edges: the text exactly as long as the pattern's
    // literal, one shorter, the case of the last letter.
    const QList<std::tuple<const char*, const char*, bool>> cases{
        {"abc*", "abc", true},
        {"abc*", "ab", false},
        {"*abc", "abc", true},
        {"*abc", "bc", false},
        {"abc", "abc", true},
        {"abc", "abcd", false},
        {"*z*", "Z", true},
        {"*Z*", "xz", true},
        {"*z*", "", false},
        {"a*c", "ac", true},
        {"a*c", "ab", false},
        {"?", "", false},
        {"#", "9", true},
        {"#", "a", false},
        {"[a-c]", "C", true},
        {"[a-c]", "d", false},
        {"[!a-c]", "d", true},
        {"*", "", true},
        {"a?c*", "abc", true},
        {"a?c*", "ac", false},
        {"abc*", "ABCD", true},
        // Two- and four-byte characters (é, 𠮷) are one character each.
        {"*é*", "café", true},
        {"?é", "xé", true},
        {"?é", "é", false},
        {"*𠮷*", "𠮷野家", true},
        {"?𠮷?", "a𠮷b", true},
        {"?", "𠮷", true}};
    for (const auto& [pattern, text, want] : cases)
        EXPECT_EQ(store::LikePattern(QByteArray(pattern)).matches(text, strlen(text)), want)
            << pattern << " / " << text;
}

TEST_F(EngineTest, AndRangesAndOrderOnCodes) {
    EXPECT_EQ(codes(QStringLiteral("select * from 条文 where 条文 like '*解除*' and 条文 like "
                                   "'*意思表示*' order by 条項コード")),
              QStringList{QStringLiteral("MP05400000010100")});
    // The range query of one article: heading row first, then the paragraphs in order.
    EXPECT_EQ(codes(QStringLiteral("select * from 条文 where 条項コード>='MP05400000000000' and "
                                   "条項コード<='MP05409999999999' order by 条項コード")),
              QStringList({QStringLiteral("MP05400000000001"), QStringLiteral("MP05400000010100"),
                           QStringLiteral("MP05400000020200")}));
    const QStringList all = codes(QStringLiteral("select * from 条文 order by 条項コード"));
    ASSERT_EQ(all.size(), 8);
    EXPECT_EQ(all.first(), QStringLiteral("MP00010000000001"));
    EXPECT_EQ(all[2], QStringLiteral("MP00030002000001"));
    EXPECT_EQ(all.last(), QStringLiteral("MP05410000010000"));
}

TEST_F(EngineTest, OneStatementPerTextAndNumbersKeepTheirType) {
    Database db = store::openLawDb(QStringLiteral("民法"));
    const auto count = [&db] {
        return db.openRecordset(QStringLiteral("select count(*) as n from 条文"))
            .field(QStringLiteral("n"))
            .toInt();
    };
    const int before = count();
    // A second statement is refused before the first runs, and the message shows the text.
    try {
        db.execute(
            QStringLiteral("insert into 条文 values ('MP09000000000001', 'x'); "
                           "insert into 条文 values ('MP09010000000001', 'y')"));
        ADD_FAILURE() << "two statements ran";
    } catch (const store::Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("2つ目の文"))) << e.what();
        EXPECT_TRUE(e.description().contains(QStringLiteral("MP09010000000001")));
    }
    EXPECT_EQ(count(), before);
    EXPECT_THROW(db.openRecordset(QStringLiteral("select * from 条文; delete from 条文")),
                 store::Error);
    EXPECT_EQ(count(), before);
    EXPECT_THROW(db.execute(QStringLiteral("  ")), store::Error);
    // A statement end and blanks after it are no second statement.
    db.execute(QStringLiteral("insert into 条文 values ('MP09000000000001', 'x');  \r\n"));
    EXPECT_EQ(
        db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード;")).recordCount(),
        before + 1);

    // Numbers are stored as numbers: an integer as INTEGER, a fraction as REAL.
    db.execute(QStringLiteral("create table t (v)"));
    db.execute(QStringLiteral("insert into t values (?)"), {2.5});
    db.execute(QStringLiteral("insert into t values (?)"), {qlonglong(7)});
    db.execute(QStringLiteral("insert into t values (?)"), {QStringLiteral("2.5")});
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select typeof(v) as k, v from t order by rowid"));
    QStringList kinds;
    for (; !rs.eof(); rs.moveNext()) kinds << rs.text(QStringLiteral("k"));
    EXPECT_EQ(kinds, QStringList({QStringLiteral("real"), QStringLiteral("integer"),
                                  QStringLiteral("text")}));
    rs.moveFirst();
    EXPECT_DOUBLE_EQ(rs.field(QStringLiteral("v")).toDouble(), 2.5);
}

// The forward reader gives what a snapshot gives, row by row; the prepared statement binds
// text, UTF-8 bytes and numbers, runs again after a refusal, and both refuse what is wrong.
TEST_F(EngineTest, RowsAndPreparedStatementsReadAndWriteWithoutRecordsets) {
    Database db = store::openLawDb(QStringLiteral("民法"));
    const QString sql = QStringLiteral("select 条項コード, 条文 from 条文 order by 条項コード");
    QStringList snapshot, forward;
    for (store::Recordset rs = db.openRecordset(sql); !rs.eof(); rs.moveNext())
        snapshot << rs.text(QStringLiteral("条項コード")) + u'|' + rs.text(QStringLiteral("条文"));
    store::Rows rows = db.rows(sql);
    while (rows.next()) forward << rows.text(0) + u'|' + rows.text(1);
    EXPECT_EQ(forward, snapshot);
    EXPECT_EQ(forward.size(), 8);
    EXPECT_FALSE(rows.next());  // the end stays the end
    // Bound values select; a moved reader goes on where it was.
    store::Rows some = db.rows(
        QStringLiteral("select 条項コード from 条文 where 条項コード >= ? order by 条項コード"),
        {QStringLiteral("MP0540")});
    ASSERT_TRUE(some.next());
    store::Rows moved(std::move(some));
    EXPECT_FALSE(some.next());
    ASSERT_TRUE(moved.next());
    EXPECT_EQ(moved.text(0), QStringLiteral("MP05400000010100"));
    EXPECT_THROW(db.rows(QStringLiteral("select * from 無い")), store::Error);
    EXPECT_THROW(db.rows(QStringLiteral("select 1; select 2")), store::Error);

    db.execute(QStringLiteral("create table t (k text primary key, n integer, s text)"));
    {
        store::Prepared insert(db, QStringLiteral("insert into t values (?, ?, ?)"));
        const QByteArray bytes = QStringLiteral("塡補").toUtf8();
        struct Row {
            const char* key;
            qint64 n;
        };
        for (const Row r : {Row{"a", 0}, Row{"b", -1}, Row{"c", qint64(1) << 40}}) {
            insert.bind(1, QString::fromLatin1(r.key));
            insert.bind(2, r.n);
            insert.bind(3, QByteArrayView(bytes));
            insert.run();
        }
        insert.bind(1, QStringLiteral("a"));  // a key kept already: refused, and nothing kept
        EXPECT_THROW(insert.run(), store::Error);
        insert.bind(1, QStringLiteral("d"));
        insert.bind(3, QStringLiteral("國"));
        insert.run();  // usable again after the refusal
    }
    QStringList kept;
    for (store::Rows r = db.rows(QStringLiteral("select k, n, s, typeof(n) from t order by k"));
         r.next();)
        kept << QStringLiteral("%1 %2 %3 %4")
                    .arg(r.text(0))
                    .arg(r.integer(1))
                    .arg(r.text(2), r.text(3));
    EXPECT_EQ(kept,
              QStringList({QStringLiteral("a 0 塡補 integer"), QStringLiteral("b -1 塡補 integer"),
                           QStringLiteral("c 1099511627776 塡補 integer"),
                           QStringLiteral("d 1099511627776 國 integer")}));
    EXPECT_THROW(store::Prepared(db, QStringLiteral("insert into 無い values (?)")), store::Error);
}

TEST_F(EngineTest, CodesCompareWithoutRegardToCase) {
    Database db = store::openLawDb(QStringLiteral("民法"));
    db.execute(QStringLiteral("insert into 条文 values (?, ?)"),
               {QStringLiteral("ab00010000010000"), QStringLiteral("小文字の法")});
    db.execute(
        QStringLiteral("insert into 目次 values (?, ?, ?, ?, ?, ?)"),
        {QStringLiteral("ab01000000000000"), QStringLiteral("総則"), QStringLiteral("00010000"),
         QStringLiteral("00010000"), QStringLiteral("00010000"), QStringLiteral("00010000")});
    // "=" in either case finds the row, which keeps the code as written.
    for (const char* c : {"AB00010000010000", "ab00010000010000", "Ab00010000010000"}) {
        store::Recordset rs =
            db.openRecordset(QStringLiteral("select * from 条文 where 条項コード='") +
                             QString::fromLatin1(c) + u'\'');
        ASSERT_EQ(rs.recordCount(), 1) << c;
        EXPECT_EQ(rs.text(QStringLiteral("条項コード")), QStringLiteral("ab00010000010000"));
    }
    EXPECT_EQ(db.openRecordset(QStringLiteral("select * from 目次 where コード=?"),
                               RecordsetType::Snapshot, {QStringLiteral("AB01000000000000")})
                  .recordCount(),
              1);
    // Ranges and order: ab sorts with AB, between the other laws' codes.
    EXPECT_EQ(codes(QStringLiteral("select * from 条文 where 条項コード>='AB00000000000000' and "
                                   "条項コード<='AB99999999999999' order by 条項コード")),
              QStringList{QStringLiteral("ab00010000010000")});
    EXPECT_EQ(codes(QStringLiteral("select * from 条文 order by 条項コード")).first(),
              QStringLiteral("ab00010000010000"));
    // The primary index holds one row per code whatever its case.
    EXPECT_THROW(db.execute(QStringLiteral("insert into 条文 values (?, ?)"),
                            {QStringLiteral("AB00010000010000"), QStringLiteral("二つ目")}),
                 store::Error);
    // Find first compares the same way; texts other than A-Z still compare exactly.
    store::Recordset all = db.openRecordset(QStringLiteral("条文"), RecordsetType::Dynaset);
    all.findFirst(QStringLiteral("条項コード"), QStringLiteral("AB00010000010000"));
    ASSERT_FALSE(all.noMatch());
    EXPECT_EQ(all.text(QStringLiteral("条文")), QStringLiteral("小文字の法"));
    all.findFirst(QStringLiteral("条文"), QStringLiteral("小文字の法"));
    EXPECT_FALSE(all.noMatch());
    all.findFirst(QStringLiteral("条文"), QStringLiteral("小文字の法。"));
    EXPECT_TRUE(all.noMatch());
}

TEST_F(EngineTest, DynasetEditAddDeleteAndFindFirst) {
    {
        Database db = store::openLawDb(QStringLiteral("民法"));
        store::Recordset rs = db.openRecordset(
            QStringLiteral("select * from 条文 where 条項コード='MP05400000020200'"),
            RecordsetType::Dynaset);
        ASSERT_GT(rs.recordCount(), 0);
        rs.edit();
        rs.setField(QStringLiteral("条文"), QStringLiteral("改めた文。"));
        rs.update();

        store::Recordset all = db.openRecordset(QStringLiteral("条文"), RecordsetType::Dynaset);
        all.findFirst(QStringLiteral("条項コード"), QStringLiteral("MP00010000010100"));
        ASSERT_FALSE(all.noMatch());
        EXPECT_EQ(all.text(QStringLiteral("条文")),
                  QStringLiteral("私権は、公共の福祉に適合しなければならない。"));
        all.deleteRecord();
        all.moveNext();
        EXPECT_FALSE(all.eof());
        all.findFirst(QStringLiteral("条項コード"), QStringLiteral("MP99990000000001"));
        EXPECT_TRUE(all.noMatch());

        all.addNew();
        all.setField(QStringLiteral("条項コード"), QStringLiteral("MP00020000000001"));
        all.setField(QStringLiteral("条文"), QStringLiteral("（解釈の基準）"));
        all.update();
        // The primary index rejects a second row with the same code, and keeps the first.
        all.addNew();
        all.setField(QStringLiteral("条項コード"), QStringLiteral("MP00020000000001"));
        all.setField(QStringLiteral("条文"), QStringLiteral("別の文"));
        try {
            all.update();
            ADD_FAILURE() << "a second row with the same key was stored";
        } catch (const store::Error& e) {
            EXPECT_TRUE(e.description().startsWith(
                QStringLiteral("主キーに重複する値があるため、レコードを保存できません。")))
                << e.description().toStdString();
        }
        // Snapshots are read-only.
        store::Recordset snap = db.openRecordset(QStringLiteral("条文"));
        EXPECT_THROW(snap.edit(), store::Error);
    }
    EXPECT_EQ(likeCodes(QStringLiteral("改めた文。")),
              QStringList{QStringLiteral("MP05400000020200")});
    EXPECT_TRUE(likeCodes(QStringLiteral("私権*")).isEmpty());
    EXPECT_EQ(likeCodes(QStringLiteral("（解釈の基準）")),
              QStringList{QStringLiteral("MP00020000000001")});
}

TEST_F(EngineTest, MisuseIsRefusedWithTheEngineMessagesAndNullStaysNull) {
    Database db = store::openLawDb(QStringLiteral("民法"));
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select * from \"条文\""), RecordsetType::Dynaset);
    EXPECT_EQ(rs.recordCount(), 8);  // a quoted table name is the table, and can be updated
    auto message = [](auto&& f) {
        try {
            f();
        } catch (const store::Error& e) {
            return e.description();
        }
        return QStringLiteral("<none>");
    };
    EXPECT_EQ(message([&] { rs.text(QStringLiteral("無い")); }),
              QStringLiteral("フィールド 無い はこのコレクションにありません。"));
    EXPECT_EQ(message([&] { rs.update(); }),
              QStringLiteral("AddNew または Edit を実行していないため、更新できません。"));
    // A null bound stays null: read as the empty text, not as a text "null" or 0.
    db.execute(QStringLiteral("insert into 目次 (コード, 見出し) values (?, ?)"),
               {QStringLiteral("MP01000000000000"), QVariant()});
    store::Recordset toc = db.openRecordset(QStringLiteral("select * from 目次"));
    EXPECT_TRUE(toc.field(QStringLiteral("見出し")).isNull());
    EXPECT_EQ(toc.text(QStringLiteral("見出し")), QString());
}

TEST_F(EngineTest, FilesTablesAndIndexes) {
    const QString path = store::lawDbPath(QStringLiteral("民法"));
    EXPECT_THROW(Database::create(path), store::Error);  // never over an existing file
    EXPECT_THROW(Database::open(store::lawDbPath(QStringLiteral("無い法"))), store::Error);
    EXPECT_FALSE(QFile::exists(store::lawDbPath(QStringLiteral("無い法"))));

    Database db = store::openLawDb(QStringLiteral("民法"));
    EXPECT_EQ(db.fieldNames(QStringLiteral("条文")),
              QStringList({QStringLiteral("条項コード"), QStringLiteral("条文")}));
    EXPECT_EQ(
        db.fieldNames(QStringLiteral("目次")),
        QStringList({QStringLiteral("コード"), QStringLiteral("見出し"), QStringLiteral("SOJ"),
                     QStringLiteral("EOJ"), QStringLiteral("SOJ2"), QStringLiteral("EOJ2")}));
    // Both tables carry the named primary constraint and no rowid.
    store::Recordset schema = db.openRecordset(
        QStringLiteral("select sql from sqlite_master where type='table' order by name"));
    int tables = 0;
    for (; !schema.eof(); schema.moveNext(), ++tables) {
        EXPECT_TRUE(schema.text(QStringLiteral("sql"))
                        .contains(QStringLiteral("CONSTRAINT IdxPrimary PRIMARY KEY")));
        EXPECT_TRUE(schema.text(QStringLiteral("sql")).endsWith(QStringLiteral("WITHOUT ROWID")));
    }
    EXPECT_EQ(tables, 2);
    EXPECT_THROW(db.openRecordset(QStringLiteral("select * from 無い表")), store::Error);
}

TEST_F(EngineTest, TransactionRollsBackUnlessCommitted) {
    {
        Database db = store::openLawDb(QStringLiteral("民法"));
        store::Transaction t(db);
        db.execute(QStringLiteral("delete from 条文"));
    }
    EXPECT_EQ(codes(QStringLiteral("select * from 条文")).size(), 8);
    // On the same connection: the rows are back at once and a new transaction can begin.
    Database db = store::openLawDb(QStringLiteral("民法"));
    {
        store::Transaction t(db);
        db.execute(QStringLiteral("delete from 条文"));
    }
    EXPECT_EQ(db.openRecordset(QStringLiteral("select * from 条文")).recordCount(), 8);
    {
        store::Transaction t(db);
        db.execute(QStringLiteral("insert into 条文 values ('MP09990000000001', 'x')"));
        t.commit();
    }
    EXPECT_EQ(codes(QStringLiteral("select * from 条文")).size(), 9);
}

TEST_F(EngineTest, SecondConnectionWaitsForAWriterInsteadOfFailing) {
    Database writer = store::openLawDb(QStringLiteral("民法"));
    writer.beginTrans();
    writer.execute(QStringLiteral("insert into 条文 values ('MP09990000000001', 'x')"));
    // Release the lock shortly after the reader starts waiting.
    std::thread release([&writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        writer.commitTrans();
    });
    Database other = store::openLawDb(QStringLiteral("民法"));
    EXPECT_NO_THROW(
        other.execute(QStringLiteral("insert into 条文 values ('MP09980000000001', 'y')")));
    release.join();
    EXPECT_EQ(codes(QStringLiteral("select * from 条文")).size(), 10);
}

}  // namespace

namespace {

class DeferredSyncTest : public testsupport::TempRootTest {
  protected:
    static int synchronous(const QString& file) {
        Database db = Database::open(file);
        store::Recordset rs = db.openRecordset(QStringLiteral("PRAGMA synchronous"));
        return rs.field(rs.columns().first()).toInt();
    }
};

TEST_F(DeferredSyncTest, ADeferredFileWaitsForTheDiskOnlyOnceItIsSettled) {
    const QString file = path(QStringLiteral("new.mdb"));
    const QString other = path(QStringLiteral("other.mdb"));
    Database::create(file).execute(QStringLiteral("create table t (a)"));
    Database::create(other).execute(QStringLiteral("create table t (a)"));
    EXPECT_EQ(synchronous(file), 2);  // FULL, SQLite's default
    store::deferSync(QDir(path(QString())).filePath(QStringLiteral("./new.mdb")));
    EXPECT_EQ(synchronous(file), 0);   // the same file however it is spelled
    EXPECT_EQ(synchronous(other), 2);  // other files keep their waits
    {
        Database db = Database::open(file);
        store::Transaction t(db);
        db.execute(QStringLiteral("insert into t values (1)"));
        t.commit();
    }
    store::settleSync(file);
    EXPECT_EQ(synchronous(file), 2);
    store::settleSync(other);  // never deferred: nothing to do
    Database db = Database::open(file);
    store::Recordset rs = db.openRecordset(QStringLiteral("select count(*) as n from t"));
    EXPECT_EQ(rs.field(QStringLiteral("n")).toInt(), 1);
}

}  // namespace

namespace {

class VersionOrderTest : public testsupport::TempRootTest {};

TEST_F(VersionOrderTest, VersionsOfOneSecondAreListedInTheOrderTheyWereKept) {
    const QString folder = store::versionsFolder(QStringLiteral("民法"));
    QDir().mkpath(folder);
    for (const char* id : {"20261208-180758-10", "20261208-180758-2", "20261208-180758",
                           "20261208-180759", "20261207-235959"})
        Database::create(folder + u'/' + QString::fromLatin1(id) + QStringLiteral(".mdb"))
            .execute(QStringLiteral("create table 条文 (条項コード, 条文)"));
    QStringList ids;
    for (const store::LawVersion& v : store::listVersions(QStringLiteral("民法"))) ids << v.id;
    EXPECT_EQ(
        ids, QStringList({QStringLiteral("20261207-235959"), QStringLiteral("20261208-180758"),
                          QStringLiteral("20261208-180758-2"), QStringLiteral("20261208-180758-10"),
                          QStringLiteral("20261208-180759")}));
}

}  // namespace

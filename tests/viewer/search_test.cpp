// The word search over every law and within one law, the copy block, on the real laws.
#include "viewer/shell/search.h"
#include "platform/prompt.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/samplelaws.h"
#include "viewer/browser/display.h"

#include <sqlite3.h>
#include <QFile>
#include <QProcess>

using namespace viewer;

namespace {

class SearchTest : public testsupport::SampleLawsTest {
  protected:
    static QStringList lawNames() {
        QStringList names;
        for (const store::LawEntry& law : store::readLawList()) names << law.name;
        return names;
    }
    // The records holding every word, read straight from the files with SQLite alone.
    static QStringList directScan(const QStringList& words) {
        QStringList out;
        for (const QString& name : lawNames()) {
            sqlite3* db = nullptr;
            sqlite3_open_v2(store::lawDbPath(name).toUtf8().constData(), &db, SQLITE_OPEN_READONLY,
                            nullptr);
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, "select 条項コード, 条文 from 条文 order by 条項コード", -1, &st,
                               nullptr);
            while (sqlite3_step(st) == SQLITE_ROW) {
                const QString code =
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
                const QString text =
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
                bool all = !code.endsWith(QStringLiteral("0001"));
                for (const QString& w : words) all = all && text.contains(w);
                if (all) out << name + u' ' + code;
            }
            sqlite3_finalize(st);
            sqlite3_close(db);
        }
        return out;
    }
    // name code of every block of a result text.
    static QStringList hitsOf(const SearchResult& r) {
        QStringList out;
        for (const QString& line : r.lines) out << line.section(QChar(0x3000), 0, 0);
        return out;
    }
    static void addRows(const QString& law, const QString& prefix, int count, const QString& text) {
        store::Database db = store::openLawDb(law);
        store::Transaction t(db);
        for (int i = 1; i <= count; ++i)
            db.execute(
                QStringLiteral("insert into 条文 values (?, ?)"),
                {prefix + QString::number(i).rightJustified(4, u'0') + QStringLiteral("0000010000"),
                 text});
        t.commit();
    }
};

const SearchOptions kScan = [] {
    SearchOptions o;
    o.useIndex = false;
    return o;
}();

class Recorder : public SearchProgress {
  public:
    QStringList laws, lines;
    QList<int> counts;
    int stopAfterLaws = -1;
    void law(const QString& name) override { laws << name; }
    void hit(int hits, const QString&, const QString& line, const SearchHit&) override {
        counts << hits;
        lines << line;
    }
    bool stopRequested() const override {
        return stopAfterLaws >= 0 && laws.size() >= stopAfterLaws;
    }
};

TEST_F(SearchTest, TwoWordsFindTheRecordsADirectScanFinds) {
    platform::ScriptedPrompt prompt;
    Recorder progress;
    const SearchResult r = searchAllLaws(lawNames(), QStringLiteral(" 契約 解除 "), &progress);
    EXPECT_EQ(r.words, QStringLiteral("契約 解除"));
    const QStringList scan = directScan({QStringLiteral("契約"), QStringLiteral("解除")});
    EXPECT_EQ(r.hits, scan.size());
    EXPECT_EQ(r.hits, 42);
    EXPECT_EQ(progress.counts.size(), 42);
    EXPECT_EQ(progress.counts.last(), 42);
    // The index leads to the laws whose records may hold both words; a scan reads them all.
    EXPECT_EQ(progress.laws, QStringList({QStringLiteral("民法"), QStringLiteral("会社法")}));
    EXPECT_EQ(progress.lines, r.lines);
    Recorder scanned;
    const SearchResult scan1 =
        searchAllLaws(lawNames(), QStringLiteral(" 契約 解除 "), &scanned, kScan);
    EXPECT_EQ(scanned.laws, lawNames());
    EXPECT_EQ(scan1.text, r.text);
    // The same records in the same order: law by law, code by code.
    QStringList codes;
    store::Database mp = store::openLawDb(QStringLiteral("民法"));
    for (const QString& hit : scan) {
        const QString name = hit.section(u' ', 0, 0), code = hit.section(u' ', 1, 1);
        store::Database db = store::openLawDb(name);
        codes << name + QChar(0x3000) +
                     hitHead(name, recordTexts(db, code)).section(QChar(0x3000), 1);
    }
    EXPECT_EQ(r.lines, codes);
    EXPECT_TRUE(r.text.startsWith(QStringLiteral(
        "KeyWord = 契約 解除　　検索結果 = "
        "42件\r\n\r\n民法　第415条　【債務不履行による損害賠償】\r\n[第2項]\r\n前項の規定により")));
    EXPECT_TRUE(r.text.endsWith(QStringLiteral("\r\n\r\n")));
    EXPECT_EQ(r.text.count(QStringLiteral("\r\n\r\n")), 43);
    EXPECT_TRUE(prompt.messages.isEmpty());

    // A full-width blank separates words the same way; two blanks add a word that restricts
    // nothing.
    EXPECT_EQ(searchAllLaws(lawNames(), QStringLiteral("契約　解除")).hits, 42);
    EXPECT_EQ(searchAllLaws(lawNames(), QStringLiteral("契約  解除")).hits, 42);
    // Blanks only: refused with the message, nothing searched.
    const SearchResult blank = searchAllLaws(lawNames(), QStringLiteral("   "));
    EXPECT_TRUE(blank.refused);
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("検索文字列が不正です。")});
}

TEST_F(SearchTest, HeadingsLiteralWildcardsMissingLawsAndStop) {
    platform::ScriptedPrompt prompt;
    // A word found only in headings counts nothing.
    const SearchResult heading =
        searchAllLaws(lawNames(), QStringLiteral("債務不履行による損害賠償"));
    EXPECT_EQ(heading.hits, 0);
    EXPECT_EQ(heading.text,
              QStringLiteral("KeyWord = 債務不履行による損害賠償　　検索結果 = 0件\r\n\r\n"));
    // Quotes and wildcard characters match themselves only.
    addRows(QStringLiteral("行政手続法"), QStringLiteral("GT9"), 1,
            QStringLiteral("率は5*3%[注]'引用'#1?"));
    for (const char* w : {"5*3", "[注]", "'引用'", "#1?"})
        EXPECT_EQ(searchAllLaws(lawNames(), QString::fromUtf8(w)).hits, 1) << w;
    EXPECT_EQ(searchAllLaws(lawNames(), QStringLiteral("5?3")).hits, 0);
    // A law whose file is missing is skipped and named in the summary line.
    QFile::remove(store::lawDbPath(QStringLiteral("刑法")));
    const SearchResult r = searchAllLaws(lawNames(), QStringLiteral("契約 解除"));
    EXPECT_EQ(r.missing, QStringList{QStringLiteral("刑法")});
    EXPECT_EQ(r.hits, 42);
    EXPECT_TRUE(r.text.startsWith(
        QStringLiteral("KeyWord = 契約 解除　　検索結果 = "
                       "42件　（データベースがないため検索しなかった法典: 刑法）\r\n")));
    EXPECT_FALSE(QFile::exists(store::lawDbPath(QStringLiteral("刑法"))));  // not created
    // A damaged file is named and passed over; the laws after it are still searched.
    testsupport::writeFile(store::lawDbPath(QStringLiteral("会社法")), "not a database at all");
    Recorder visited;
    const SearchResult damaged =
        searchAllLaws(lawNames(), QStringLiteral("契約 解除"), &visited, kScan);
    EXPECT_EQ(searchAllLaws(lawNames(), QStringLiteral("契約 解除")).text, damaged.text);
    EXPECT_EQ(damaged.failed, QStringList{QStringLiteral("会社法")});
    EXPECT_EQ(damaged.hits, 42 - 4);  // 会社法's four hits are gone, 民法's found
    EXPECT_EQ(visited.laws.mid(3),
              QStringList({QStringLiteral("民事訴訟法"), QStringLiteral("刑事訴訟法"),
                           QStringLiteral("行政手続法")}));
    EXPECT_TRUE(damaged.text.section(QStringLiteral("\r\n"), 0, 0)
                    .endsWith(QStringLiteral("（検索できなかった法典: 会社法）")));
    // Stopped after the second law: what was found so far, and the summary says so.
    Recorder progress;
    progress.stopAfterLaws = 2;
    const SearchResult stopped =
        searchAllLaws(lawNames(), QStringLiteral("契約 解除"), &progress, kScan);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(progress.laws, QStringList({QStringLiteral("日本国憲法"), QStringLiteral("民法")}));
    EXPECT_GT(stopped.hits, 0);
    for (const QString& line : stopped.lines) EXPECT_TRUE(line.startsWith(QStringLiteral("民法")));
    EXPECT_TRUE(stopped.text.section(QStringLiteral("\r\n"), 0, 0)
                    .endsWith(QStringLiteral("（途中で中止しました）")));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(SearchTest, AThousandHitsAndOneMore) {
    platform::ScriptedPrompt prompt;
    addRows(QStringLiteral("行政手続法"), QStringLiteral("GT8"), 999, QStringLiteral("千件語"));
    addRows(QStringLiteral("日本国憲法"), QStringLiteral("KP8"), 1, QStringLiteral("千件語"));
    // Exactly 1000: no message.
    SearchResult r = searchAllLaws(lawNames(), QStringLiteral("千件語"));
    EXPECT_EQ(r.hits, 1000);
    EXPECT_FALSE(r.limited);
    EXPECT_TRUE(prompt.messages.isEmpty());
    // 1001: the message once, 1000 blocks, and the search ends there.
    addRows(QStringLiteral("刑法"), QStringLiteral("CP8"), 1, QStringLiteral("千件語"));
    r = searchAllLaws(lawNames(), QStringLiteral("千件語"));
    EXPECT_EQ(r.hits, 1000);
    EXPECT_TRUE(r.limited);
    EXPECT_EQ(prompt.messages, QStringList{hitLimitMessage()});
    EXPECT_EQ(r.text.count(QStringLiteral("\r\n\r\n")), 1001);
    EXPECT_TRUE(r.text.startsWith(QStringLiteral("KeyWord = 千件語　　検索結果 = 1000件")));
    // Within one law the same limit holds.
    prompt.messages.clear();
    addRows(QStringLiteral("行政手続法"), QStringLiteral("GT7"), 2, QStringLiteral("千件語"));
    const LawSearch one = findWordInLaw(QStringLiteral("行政手続法"), QStringLiteral("千件語"));
    EXPECT_EQ(one.hits, 1000);
    EXPECT_EQ(prompt.messages, QStringList{hitLimitMessage()});
}

TEST_F(SearchTest, SearchInOneLawAndCopyBlocks) {
    platform::ScriptedPrompt prompt;
    LawSearch r = findWordInLaw(QStringLiteral("民法"), QStringLiteral("契約 解除"));
    EXPECT_TRUE(r.anyRow);
    EXPECT_EQ(r.hits, 38);
    EXPECT_TRUE(r.text.startsWith(
        QStringLiteral("KeyWord = 契約 解除　　検索結果 = 38件\r\n\r\n民法　第415条")));
    EXPECT_FALSE(r.text.endsWith(QStringLiteral("\r\n\r\n")));
    // Headings only: rows, but no hit.
    r = findWordInLaw(QStringLiteral("民法"), QStringLiteral("債務不履行による損害賠償"));
    EXPECT_TRUE(r.anyRow);
    EXPECT_EQ(r.hits, 0);
    EXPECT_EQ(r.text, QStringLiteral("KeyWord = 債務不履行による損害賠償　　検索結果 = 0件"));
    r = findWordInLaw(QStringLiteral("民法"), QStringLiteral("存在しない語句"));
    EXPECT_FALSE(r.anyRow);
    EXPECT_TRUE(prompt.messages.isEmpty());

    // A paragraph of a many-paragraph article, and the only paragraph of another.
    std::optional<CopyBlock> c =
        copyBlockOf(QStringLiteral("民法"), QStringLiteral("MP00010000030300"));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->label, QStringLiteral("民法　第1条 第3項"));
    EXPECT_EQ(c->header, QStringLiteral("民法　第1条　【基本原則】\r\n[第3項]\r\n"));
    EXPECT_EQ(c->block, c->header + QStringLiteral("権利の濫用は、これを許さない。\r\n\r\n"));
    c = copyBlockOf(QStringLiteral("民法"), QStringLiteral("MP03000000010000"));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->label, QStringLiteral("民法　第300条"));
    EXPECT_EQ(c->header, QStringLiteral("民法　第300条　【留置権の行使と債権の消滅時効】\r\n"));
    EXPECT_FALSE(copyBlockOf(QStringLiteral("民法"), QStringLiteral("MP99990000010000")));
}

TEST_F(SearchTest, LexctlTreeShowAndSearch) {
    auto run = [this](const QStringList& args, QString* err = nullptr) {
        const testsupport::ProcessResult r = lexctl(args);
        if (err) *err = r.err;
        return std::make_pair(r.exitCode, r.out);
    };
    auto [code, tree] = run({QStringLiteral("tree"), QStringLiteral("GT")});
    EXPECT_EQ(code, 0);
    const QStringList lines = tree.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 1 + 11 + 48 + 105);
    EXPECT_EQ(lines[0], QStringLiteral("0\tGT00000000000000\t行政手続法"));
    EXPECT_EQ(lines[1], QStringLiteral("1\tGT00010000000000\t第1章 総則　（1条～4条）"));
    EXPECT_EQ(lines[2], QStringLiteral("2\tGT00010000\t第1条 【目的等】"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("3\tGT00010000010100\t① この法律は、")));
    auto [flatCode, flat] =
        run({QStringLiteral("tree"), QStringLiteral("--flat"), QStringLiteral("gt")});
    EXPECT_EQ(flatCode, 0);
    EXPECT_TRUE(
        flat.startsWith(QStringLiteral("0\tGT\t行政手続法\n1\tGT00010000\t第1条 【目的等】\n")));
    // A paragraph with line breaks is one line, the breaks written as blanks.
    EXPECT_TRUE(tree.contains(QStringLiteral("当該各号に定めるところによる。 一　法令")));

    auto [showCode, shown] = run({QStringLiteral("show"), QStringLiteral("mp1:3")});
    EXPECT_EQ(showCode, 0);
    EXPECT_EQ(shown,
              QStringLiteral("民法\n第1編 総則　（1条～174条）\n第1章 通則　（1条～2条）\n第1条 "
                             "【基本原則】\n③ 権利の濫用は、これを許さない。\n"));
    QString err;
    // Every form the lookup box takes; --article adds the paragraphs.
    auto [articleCode, article] =
        run({QStringLiteral("show"), QStringLiteral("民法第1条"), QStringLiteral("--article")});
    EXPECT_EQ(articleCode, 0);
    EXPECT_EQ(article, QStringLiteral("民法\n第1編 総則　（1条～174条）\n第1章 通則　（1条～2条）\n"
                                      "第1条 【基本原則】\n\n① 私権は、公共の福祉に適合しなければ"
                                      "ならない。\n\n② 権利の行使及び義務の履行は、信義に従い誠実"
                                      "に行わなければならない。\n\n③ 権利の濫用は、これを許さない"
                                      "。\n"));
    EXPECT_EQ(run({QStringLiteral("show"), QStringLiteral("ＭＰ１：３")}).second, shown);
    auto [onlyCode, only] = run({QStringLiteral("show"), QStringLiteral("MP300:1")});
    EXPECT_EQ(onlyCode, 0);  // one-paragraph article: paragraph 1 is that paragraph
    EXPECT_TRUE(
        only.endsWith(QStringLiteral("第300条 【留置権の行使と債権の消滅時効】\n"
                                     "留置権の行使は、債権の消滅時効の進行を妨げない。\n")))
        << only.toStdString();
    auto [missCode, missing] = run({QStringLiteral("show"), QStringLiteral("MP9999")}, &err);
    EXPECT_EQ(missCode, 1);
    EXPECT_EQ(err, QStringLiteral("MP9999: 民法に第9999条はありません\n"));
    auto [unknownCode, unknown] = run({QStringLiteral("tree"), QStringLiteral("ZZ")}, &err);
    EXPECT_EQ(unknownCode, 1);
    EXPECT_TRUE(err.contains(QStringLiteral("未登録コードです。")));

    auto [searchCode, found] =
        run({QStringLiteral("search"), QStringLiteral("契約"), QStringLiteral("解除")});
    EXPECT_EQ(searchCode, 0);
    EXPECT_TRUE(found.startsWith(
        QStringLiteral("KeyWord = 契約 解除　　検索結果 = 42件\n\n民法　第415条")));
    EXPECT_FALSE(found.contains(u'\r'));
    // Without the index, the same; folded, full-width letters and old forms find the plain.
    addRows(QStringLiteral("行政手続法"), QStringLiteral("GT9"), 1, QStringLiteral("ＡＢＣ條約"));
    struct Case {
        QStringList options;
        const char* words;
        const char* summary;
    };
    const Case cases[] = {
        {{QStringLiteral("--scan")}, "契約 解除", "KeyWord = 契約 解除　　検索結果 = 42件"},
        {{}, "abc条約", "KeyWord = abc条約　　検索結果 = 0件"},
        {{QStringLiteral("--fold")}, "abc条約", "KeyWord = abc条約　　検索結果 = 1件"},
        {{QStringLiteral("--fold"), QStringLiteral("--scan")},
         "abc条約",
         "KeyWord = abc条約　　検索結果 = 1件"},
        {{QStringLiteral("--loose")}, "ＡＢＣ條約", "KeyWord = ＡＢＣ條約　　検索結果 = 1件"},
    };
    for (const Case& c : cases) {
        const auto [caseCode, caseOut] = run(QStringList{QStringLiteral("search")} + c.options +
                                             QStringList{QString::fromUtf8(c.words)});
        EXPECT_EQ(caseCode, 0);
        EXPECT_EQ(caseOut.section(u'\n', 0, 0), QString::fromUtf8(c.summary))
            << c.options.join(u' ').toStdString() << c.words;
    }
}

}  // namespace

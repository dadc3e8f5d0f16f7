// The word search's index against the scan it stands in for, on the real laws: the same hits in
// the same order for word sets drawn from their text, kept current by every change of a law's
// file; and the variant folding both use.
#include "viewer/shell/searchindex.h"
#include "platform/prompt.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/textfold.h"
#include "tests/support/samplelaws.h"
#include "viewer/browser/display.h"
#include "viewer/shell/search.h"

#include <QFile>
#include <QRandomGenerator>

using namespace viewer;

namespace {

class SearchIndexTest : public testsupport::SampleLawsTest {
  protected:
    static QStringList lawNames() {
        QStringList names;
        for (const store::LawEntry& law : store::readLawList()) names << law.name;
        return names;
    }
    static SearchResult run(const QString& words, bool index, store::Fold fold = store::Fold::None,
                            bool parts = false) {
        SearchOptions o;
        o.useIndex = index;
        o.fold = fold;
        o.parts = parts;
        o.announceLimit = false;
        return searchAllLaws(lawNames(), words, nullptr, o);
    }
    // Index and scan agree to the character: text, hits and what was skipped.
    static void expectSame(const QString& words, store::Fold fold = store::Fold::None,
                           bool parts = false) {
        const SearchResult a = run(words, true, fold, parts), b = run(words, false, fold, parts);
        EXPECT_EQ(a.hits, b.hits) << qPrintable(words) << int(fold);
        EXPECT_EQ(a.text, b.text) << qPrintable(words) << int(fold);
        EXPECT_EQ(a.missing, b.missing);
        EXPECT_EQ(a.failed, b.failed);
    }
    static void setText(const QString& law, const QString& code, const QString& text) {
        store::Database db = store::openLawDb(law);
        db.execute(QStringLiteral("insert or replace into 条文 values (?, ?)"), {code, text});
    }
};

TEST_F(SearchIndexTest, WordSetsDrawnFromTheLawsFindWhatTheScanFinds) {
    platform::ScriptedPrompt prompt;
    // Texts a fold joins, so that each mode has something to tell apart.
    setText(QStringLiteral("民法"), QStringLiteral("MP99000000010000"),
            QStringLiteral("舊國ノ條約ニ依リ　ＡＢＣ社〜第１号－二　キャッシュ"));
    // A character no law has but at a text's end, or before a line break.
    setText(QStringLiteral("民法"), QStringLiteral("MP99000000020000"),
            QStringLiteral("末尾の字は閂"));
    setText(QStringLiteral("刑法"), QStringLiteral("CP99000000020000"),
            QStringLiteral("改行前の字は閊\r\n次の行"));
    QList<std::pair<QString, QString>> records;  // law, text
    for (const QString& name : lawNames()) {
        store::Database db = store::openLawDb(name);
        for (store::Recordset rs = db.openRecordset(QStringLiteral("select 条文 from 条文"));
             !rs.eof(); rs.moveNext())
            records.append({name, rs.text(QStringLiteral("条文"))});
    }
    QRandomGenerator random(20261209);
    auto drawn = [&](int most) {
        for (;;) {
            const QString text = records[random.bounded(int(records.size()))].second;
            if (text.size() < 2) continue;
            const int length = 1 + random.bounded(most);
            const int at = random.bounded(int(std::max<qsizetype>(1, text.size() - length)));
            QString w = text.mid(at, length);
            w.remove(u' ').remove(QChar(0x3000)).remove(u'\r').remove(u'\n');
            if (!w.isEmpty()) return w;
        }
    };
    const store::Fold folds[] = {store::Fold::None, store::Fold::Variants, store::Fold::Loose};
    for (int i = 0; i < 60; ++i) {
        // One word of one to six characters, two words, three words; every third set also
        // with a word no law holds, every fifth with the parts.
        QStringList words{drawn(6)};
        if (i % 2) words << drawn(3);
        if (i % 4 == 3) words << drawn(2);
        if (i % 3 == 2) words << QStringLiteral("存在しない語句");
        expectSame(words.join(u' '), folds[i % 3], i % 5 == 0);
    }
    // The edges: one character (as a prefix of pairs, and at a text's end), letter case,
    // widths, old forms, small kana, blanks between words, a surrogate pair.
    for (const char* w : {"の", "号", "abc", "ABC", "ａｂｃ", "国", "國", "条約", "キヤツシユ", "~",
                          "〜", "第1号", "1", "契約  解除", "𠮟", "社〜第"})
        for (const store::Fold f : folds) expectSame(QString::fromUtf8(w), f);
    EXPECT_EQ(
        run(QStringLiteral("国"), true, store::Fold::Variants).text.count(QStringLiteral("舊國")),
        1);
    EXPECT_EQ(run(QStringLiteral("キヤツシユ"), true, store::Fold::Loose).hits, 1);
    EXPECT_EQ(run(QStringLiteral("閂"), true).hits + run(QStringLiteral("閊"), true).hits, 2);
    EXPECT_EQ(run(QStringLiteral("キヤツシユ"), true, store::Fold::Variants).hits, 0);
    EXPECT_EQ(run(QStringLiteral("abc社~"), true, store::Fold::Variants).hits, 1);
    EXPECT_EQ(run(QStringLiteral("abc社~"), true).hits, 0);
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(SearchIndexTest, EveryChangeOfALawIsSeenByTheNextSearch) {
    platform::ScriptedPrompt prompt;
    const QString word = QStringLiteral("索引試験語");
    EXPECT_EQ(run(word, true).hits, 0);
    // A record written after the index read the law: the law is read again.
    setText(QStringLiteral("刑法"), QStringLiteral("CP00100000020000"),
            word + QStringLiteral("を含む"));
    EXPECT_EQ(run(word, true).hits, 1);
    {
        SearchIndex index;
        EXPECT_EQ(index.staleCount(), 0);
        const std::optional<SearchCandidates> c = index.candidates({word});
        ASSERT_TRUE(c);
        EXPECT_EQ(c->codes.value(QStringLiteral("刑法")),
                  QStringList{QStringLiteral("CP00100000020000")});
        EXPECT_EQ(c->current.size(), 7);
        // Nothing to narrow by.
        EXPECT_FALSE(index.candidates({QString()}));
    }
    // Changed again and searched before the index reads it: the law is scanned.
    setText(QStringLiteral("刑法"), QStringLiteral("CP00100000020000"), QStringLiteral("別の文"));
    {
        SearchIndex index;
        EXPECT_EQ(index.staleCount(), 1);
        const std::optional<SearchCandidates> c = index.candidates({word});
        ASSERT_TRUE(c);
        EXPECT_FALSE(c->current.contains(QStringLiteral("刑法")));
        EXPECT_EQ(lawSearchCandidates(QStringLiteral("民法"), word), QStringList());
    }
    // A search of the law alone reads it again first.
    EXPECT_EQ(lawSearchCandidates(QStringLiteral("刑法"), QStringLiteral("別の文")),
              QStringList{QStringLiteral("CP00100000020000")});
    setText(QStringLiteral("刑法"), QStringLiteral("CP00100000020000"), QStringLiteral("別の文"));
    EXPECT_EQ(run(word, true).hits, 0);
    // A law taken off the list leaves no candidate; a garbage index file is made again.
    setText(QStringLiteral("行政手続法"), QStringLiteral("GT00010000010000"), word);
    EXPECT_EQ(run(word, true).hits, 1);
    {
        store::Database master = store::openMasterDb();
        master.execute(QStringLiteral("delete from 法典コード where 法典名称='行政手続法'"));
    }
    EXPECT_EQ(run(word, true).hits, 0);
    testsupport::writeFile(searchIndexPath(), "not a database at all");
    expectSame(QStringLiteral("契約 解除"));
    EXPECT_EQ(SearchIndex().staleCount(), 0);
    // A missing or damaged law file is named as the scan names it.
    QFile::remove(store::lawDbPath(QStringLiteral("刑法")));
    testsupport::writeFile(store::lawDbPath(QStringLiteral("会社法")), "not a database");
    const SearchResult r = run(QStringLiteral("契約"), true);
    EXPECT_EQ(r.missing, QStringList{QStringLiteral("刑法")});
    EXPECT_EQ(r.failed, QStringList{QStringLiteral("会社法")});
    expectSame(QStringLiteral("契約"));
}

TEST_F(SearchIndexTest, FilesWrittenOnThreadsStopWhenToldAndResumeWhereLeft) {
    platform::ScriptedPrompt prompt;
    SearchIndex index;
    int told = 0;
    const int read = index.rebuild([&](int done, int total, const QString& name) {
        EXPECT_LT(done, total);
        EXPECT_FALSE(name.isEmpty());
        ++told;
        return false;
    });
    EXPECT_EQ(told, 1);
    EXPECT_LT(read, 7);
    EXPECT_EQ(index.staleCount(), 7 - read);
    QList<int> seen;
    EXPECT_EQ(index.refresh([&](int done, int total, const QString&) {
        EXPECT_EQ(total, 7 - read);
        seen << done;
        return true;
    }),
              7 - read);
    EXPECT_EQ(index.staleCount(), 0);
    for (int i = 1; i < seen.size(); ++i) EXPECT_GT(seen[i], seen[i - 1]);
    // The laws are spread over the files, each law whole in one.
    for (int k = 0; k < kSearchShards; ++k) EXPECT_TRUE(QFile::exists(searchIndexPath(k))) << k;
    expectSame(QStringLiteral("契約 解除"));
}

TEST_F(SearchIndexTest, OneLawAndOneEntryTakeTheCandidates) {
    platform::ScriptedPrompt prompt;
    const QString name = QStringLiteral("民法");
    const std::optional<QStringList> codes = lawSearchCandidates(name, QStringLiteral("正当防衛"));
    ASSERT_TRUE(codes);
    EXPECT_FALSE(codes->isEmpty());
    LawSearchScope scope;
    scope.candidates = codes;
    const LawSearch narrowed = findWordInLaw(name, QStringLiteral("正当防衛"), {}, scope);
    const LawSearch whole = findWordInLaw(name, QStringLiteral("正当防衛"));
    EXPECT_EQ(narrowed.text, whole.text);
    EXPECT_EQ(narrowed.anyRow, whole.anyRow);
    // No candidate: nothing read, nothing shown.
    scope.candidates = QStringList();
    EXPECT_FALSE(findWordInLaw(name, QStringLiteral("正当防衛"), {}, scope).anyRow);
    // Within 第五章 of 第三編 (第七百九条 …): the entry's articles only, both bounds included.
    LawSearchScope entry;
    entry.from = QStringLiteral("MP07090000000000");
    entry.to = QStringLiteral("MP07090000999999");
    const LawSearch in709 = findWordInLaw(name, QStringLiteral("損害"), {}, entry);
    EXPECT_EQ(in709.hits, 1);
    EXPECT_TRUE(in709.text.contains(QStringLiteral("第709条")));
    entry.to = QStringLiteral("MP07100000999999");
    EXPECT_EQ(findWordInLaw(name, QStringLiteral("損害"), {}, entry).hits, 2);
}

TEST(TextFoldTest, OneCharacterForOneOldFormsToNewOnly) {
    struct Case {
        const char* raw;
        const char* variants;
        const char* loose;
    };
    const Case cases[] = {
        {"國", "国", "国"},
        {"條", "条", "条"},
        {"国", "国", "国"},
        {"ＡＢｃ１２", "ABc12", "ABc12"},
        {"〜～", "~~", "~~"},
        {"－−‐", "---", "---"},
        {"　", " ", " "},
        {"キャッシュ", "キャッシュ", "キヤツシユ"},
        {"ぁゎヵヶ", "ぁゎヵヶ", "あわカケ"},
        {"辯辨瓣", "弁弁弁", "弁弁弁"},
        {"𠮟る", "𠮟る", "𠮟る"},
    };
    for (const Case& c : cases) {
        const QString raw = QString::fromUtf8(c.raw);
        EXPECT_EQ(store::foldText(raw, store::Fold::None), raw);
        EXPECT_EQ(store::foldText(raw, store::Fold::Variants), QString::fromUtf8(c.variants))
            << c.raw;
        EXPECT_EQ(store::foldText(raw, store::Fold::Loose), QString::fromUtf8(c.loose)) << c.raw;
    }
    // Folding twice is folding once, and no unit changes its length.
    for (int c = 0; c < 0x10000; ++c)
        for (const store::Fold f : {store::Fold::Variants, store::Fold::Loose}) {
            const char16_t once = store::foldChar(char16_t(c), f);
            ASSERT_EQ(store::foldChar(once, f), once) << c;
            if (c >= 0xD800 && c < 0xE000) {
                ASSERT_EQ(once, char16_t(c));
            }
        }
}

TEST(SearchIndexQueryTest, PairsOfEachWordOneCharacterAsAPrefix) {
    struct Case {
        QStringList words;
        const char* query;
    };
    const Case cases[] = {
        {{QStringLiteral("契約")}, "\"契約\""},
        {{QStringLiteral("契約"), QStringLiteral("解除")}, "\"契約\" AND \"解除\""},
        {{QStringLiteral("損害賠償")}, "\"損害\" AND \"害賠\" AND \"賠償\""},
        {{QStringLiteral("猶")}, "\"猶\"*"},
        {{QString(), QStringLiteral("a\"b")}, "\"a\"\"\" AND \"\"\"b\""},
        {{QStringLiteral("契約"), QStringLiteral("契約")}, "\"契約\""},
        {{QString()}, ""},
        {{QStringLiteral("𠮟る")}, "\"𠮟る\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(searchIndexQuery(c.words), QString::fromUtf8(c.query))
            << qPrintable(c.words.join(u'|'));
    // A long word narrows by its first pairs only.
    EXPECT_EQ(searchIndexQuery({QString(40, u'あ') +
                                QStringLiteral("いうえおかきくけこさしすせそたちつてとなにぬねの")})
                  .count(QStringLiteral(" AND ")),
              23);
}

}  // namespace

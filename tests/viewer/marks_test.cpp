// The reader's own layer: markers found again after an amendment moves or changes their text,
// the user data file, and lexctl mark / bookmark.
#include "store/engine.h"
#include "store/lawdb.h"
#include "tests/support/samplelaws.h"
#include "tests/support/testsupport.h"
#include "viewer/marks/anchor.h"
#include "viewer/marks/userdata.h"

#include <QDir>
#include <QMap>
#include <QProcess>

using namespace viewer;

namespace {

// A law of three paragraphs in two articles, its marker on "損害の賠償" of the first.
const QList<MarkedParagraph> kBefore{
    {QStringLiteral("ZZ00010000010100"), QStringLiteral("債権者は、損害の賠償を請求できる。")},
    {QStringLiteral("ZZ00010000020200"), QStringLiteral("前項の規定は、適用しない。")},
    {QStringLiteral("ZZ00020000010000"), QStringLiteral("損害の賠償は、金銭でする。")}};

TEST(MarkAnchorTest, AMarkerIsFoundAgainOrKeptLostNeverPutOnOtherWords) {
    const Marker m = markRun(QStringLiteral("zz"), kBefore[0], 5, 5);
    ASSERT_EQ(m.text, QStringLiteral("損害の賠償"));
    EXPECT_EQ(m.before, QStringLiteral("債権者は、"));
    EXPECT_EQ(m.after, QStringLiteral("を請求できる。"));
    EXPECT_EQ(m.law, QStringLiteral("ZZ"));
    auto with = [](int paragraph, const char* text, QList<MarkedParagraph> law = kBefore) {
        if (paragraph >= 0) law[paragraph].text = QString::fromUtf8(text);
        return law;
    };
    struct Case {
        const char* what;
        QList<MarkedParagraph> law;
        const char *state, *place;
        int start;
    };
    const QList<MarkedParagraph> renumbered{
        {QStringLiteral("ZZ00010000010000"), QStringLiteral("新しい条。")},
        {QStringLiteral("ZZ00020000010100"), QStringLiteral("債権者は、損害の賠償を請求できる。")},
        {QStringLiteral("ZZ00020000020200"), QStringLiteral("前項の規定は、適用しない。")}};
    const QList<MarkedParagraph> split{
        {QStringLiteral("ZZ00010000010100"), QStringLiteral("債権者は、請求できる。")},
        {QStringLiteral("ZZ00010000020200"),
         QStringLiteral("その債権者は、損害の賠償を請求する。")},
        {QStringLiteral("ZZ00020000010000"), QStringLiteral("損害の賠償は、金銭でする。")}};
    const Case cases[] = {
        {"unchanged", kBefore, "ok", "ZZ00010000010100", 5},
        {"text inserted before it", with(0, "善意の債権者は、損害の賠償を請求できる。"), "moved",
         "ZZ00010000010100", 8},
        {"twice in its paragraph: its surroundings choose",
         with(0, "損害の賠償とは別に、債権者は、損害の賠償を請求できる。"), "moved",
         "ZZ00010000010100", 15},
        {"the paragraph split: found in the next of its article", split, "moved",
         "ZZ00010000020200", 7},
        {"the article renumbered: found in the law", renumbered, "moved", "ZZ00020000010100", 5},
        {"the marked text changed, elsewhere alike without its surroundings",
         with(0, "債権者は、損害賠償を請求できる。"), "lost", "ZZ00010000010100", 5},
        {"the paragraph gone", with(-1, "", {kBefore[1], kBefore[2]}), "lost", "ZZ00010000010100",
         5},
    };
    for (const Case& c : cases) {
        const Marker now = relocate(m, c.law);
        EXPECT_EQ(now.state, QString::fromLatin1(c.state)) << c.what;
        EXPECT_EQ(now.place, QString::fromLatin1(c.place)) << c.what;
        EXPECT_EQ(now.start, c.start) << c.what;
        EXPECT_EQ(now.text, m.text) << c.what;  // the text is always kept
    }
    // Two alike elsewhere and none with the surroundings: not put on either.
    Marker bare = m;
    bare.before = bare.after = QString();
    EXPECT_EQ(relocate(bare, with(0, "債権者は請求できる。")).state, QStringLiteral("lost"));
    // Lost, then its text back where it was: found again, as it was.
    Marker lost = m;
    lost.state = QStringLiteral("lost");
    EXPECT_EQ(relocate(lost, kBefore).state, QStringLiteral("ok"));
    // Its surroundings half different, or alike in two other articles: not taken.
    const QList<MarkedParagraph> twoAlike{
        {QStringLiteral("ZZ00050000010000"), QStringLiteral("他人は、損害の賠償を請求できる。")},
        {QStringLiteral("ZZ00060000010000"), QStringLiteral("他人は、損害の賠償を請求できる。")}};
    EXPECT_EQ(relocate(m, twoAlike).state, QStringLiteral("lost"));
    EXPECT_EQ(relocate(m, {twoAlike[0]}).state, QStringLiteral("moved"));  // one: taken
    EXPECT_EQ(relocate(m, {{QStringLiteral("ZZ00050000010000"),
                            QStringLiteral("甲乙丙丁戊、損害の賠償を求める。")}})
                  .state,
              QStringLiteral("lost"));
    // Code points, not UTF-16 units: a character outside the BMP before it.
    const MarkedParagraph wide{QStringLiteral("ZZ00030000010000"),
                               QString::fromUtf8("𠮷田の損害の賠償")};
    const Marker w = markRun(QStringLiteral("ZZ"), wide, 3, 5);
    EXPECT_EQ(w.text, QStringLiteral("損害の賠償"));
    EXPECT_EQ(relocate(w, {wide}).state, QStringLiteral("ok"));
    for (const auto& [start, length] : {std::pair(0, 0), std::pair(-1, 2), std::pair(4, 5)})
        EXPECT_THROW(markRun(QStringLiteral("ZZ"), wide, start, length), platform::Error)
            << start << " " << length;
}

class UserDataTest : public testsupport::SampleLawsTest {};

// 民法 as of 2023 and as of 2025 (令和4年法律第102号, in force 2024-04-01): 第733条 (再婚禁止期間)
// became 削除, 第772条 (嫡出の推定) was rewritten and grew to four paragraphs, the old 第821条
// (居所の指定) moved to 第822条 and the old 第822条 (懲戒) went. The 2025 text is the bundled one;
// the 2023 text of these four articles is written here as the amending law found them, every
// other paragraph being the same in both.
TEST_F(UserDataTest, MarkersOnTheCivilCodeOf2023FoundAgainIn2025) {
    const QList<MarkedParagraph> now = markableParagraphs(QStringLiteral("MP"));
    ASSERT_GT(now.size(), 2000);
    const QMap<QString, QString> changed2023{
        {QStringLiteral("MP07330000010100"),
         QStringLiteral(
             "女は、前婚の解消又は取消しの日から起算して百日を経過した後でなければ、再婚を"
             "することができない。")},
        {QStringLiteral("MP07330000020200"),
         QStringLiteral(
             "前項の規定は、次に掲げる場合には、適用しない。\r\n一　女が前婚の解消又は取消"
             "しの時に懐胎していなかった場合\r\n二　女が前婚の解消又は取消しの後に出産し"
             "た場合")},
        {QStringLiteral("MP07720000010100"),
         QStringLiteral("妻が婚姻中に懐胎した子は、夫の子と推定する。")},
        {QStringLiteral("MP07720000020200"),
         QStringLiteral(
             "婚姻の成立の日から二百日を経過した後又は婚姻の解消若しくは取消しの日から三百"
             "日以内に生まれた子は、婚姻中に懐胎したものと推定する。")},
        {QStringLiteral("MP08210000010000"),
         QStringLiteral("子は、親権を行う者が指定した場所に、その居所を定めなければならない。")},
        {QStringLiteral("MP08220000010000"),
         QStringLiteral(
             "親権を行う者は、第八百二十条の規定による監護及び教育に必要な範囲内でその子を"
             "懲戒することができる。")}};
    const QStringList changedArticles{QStringLiteral("MP0733"), QStringLiteral("MP0772"),
                                      QStringLiteral("MP0821"), QStringLiteral("MP0822")};
    QList<MarkedParagraph> old;
    for (const MarkedParagraph& p : now)
        if (!changedArticles.contains(p.place.left(6))) old << p;
    for (auto it = changed2023.cbegin(); it != changed2023.cend(); ++it)
        old << MarkedParagraph{it.key(), it.value()};

    // A marker in the middle of every unchanged paragraph of four characters or more: each
    // stays where it is.
    int unchanged = 0;
    for (const MarkedParagraph& p : old) {
        const int length = int(p.text.toUcs4().size());
        if (changed2023.contains(p.place) || p.place.contains(u'附') || length < 4) continue;
        const Marker m =
            markRun(QStringLiteral("MP"), p, length / 3, std::min(6, length - length / 3));
        const Marker found = relocate(m, now);
        ++unchanged;
        ASSERT_EQ(found.state, QStringLiteral("ok")) << p.place.toStdString();
        ASSERT_EQ(found.place, p.place);
    }
    EXPECT_GT(unchanged, 1900);

    // The markers in the articles the amendment changed.
    auto markOn = [&](const char* place, const char* words) {
        const QString text = changed2023.value(QString::fromLatin1(place));
        const QString w = QString::fromUtf8(words);
        const qsizetype at = text.indexOf(w);
        EXPECT_GE(at, 0) << words;
        return markRun(QStringLiteral("MP"), {QString::fromLatin1(place), text},
                       int(text.left(at).toUcs4().size()), int(w.toUcs4().size()));
    };
    struct Case {
        const char *place, *words, *state, *placeNow;
    };
    const Case cases[] = {
        // Its words where they were: untouched.
        {"MP07720000010100", "妻が婚姻中に懐胎した子は、", "ok", "MP07720000010100"},
        // Words kept in the rewritten paragraph, further on.
        {"MP07720000010100", "夫の子と推定する", "moved", "MP07720000010100"},
        {"MP07720000020200", "婚姻の成立の日から二百日を経過した後", "moved", "MP07720000020200"},
        // The whole article moved to the next number.
        {"MP08210000010000", "指定した場所に、その居所を定め", "moved", "MP08220000010000"},
        // Words the amendment removed: kept with their text, never put on others.
        {"MP08220000010000", "懲戒することができる", "lost", "MP08220000010000"},
        {"MP07330000010100", "百日を経過した後でなければ", "lost", "MP07330000010100"},
        {"MP07330000020200", "後に出産した場合", "lost", "MP07330000020200"}};
    QMap<QString, int> states;
    for (const Case& c : cases) {
        const Marker m = markOn(c.place, c.words);
        const Marker found = relocate(m, now);
        ++states[found.state];
        EXPECT_EQ(found.state, QString::fromLatin1(c.state)) << c.words;
        EXPECT_EQ(found.place, QString::fromLatin1(c.placeNow)) << c.words;
        EXPECT_EQ(found.text, m.text);
        if (found.state == QStringLiteral("lost")) continue;
        // Where it is found, its words are.
        for (const MarkedParagraph& p : now) {
            if (p.place != found.place) continue;
            const QList<uint> points = p.text.toUcs4().mid(found.start, found.length);
            QString words;
            for (const uint point : points)
                words += QString::fromUcs4(reinterpret_cast<const char32_t*>(&point), 1);
            EXPECT_EQ(words, m.text) << c.words;
        }
    }
    EXPECT_EQ(states, (QMap<QString, int>{{QStringLiteral("ok"), 1},
                                          {QStringLiteral("moved"), 3},
                                          {QStringLiteral("lost"), 3}}));
}

TEST_F(UserDataTest, KeptApartFromTheLawsMovedByJsonWithoutDuplicates) {
    const QString file = path(QStringLiteral("mine/reader.sqlite"));
    UserData data(file);
    Marker m = markRun(QStringLiteral("MP"), kBefore[0], 0, 3);
    m.note = QStringLiteral("要件");
    const qint64 id = data.addMarker(m);
    data.addBookmark({0,
                      {},
                      QStringLiteral("MP"),
                      QStringLiteral("MP04150000"),
                      QStringLiteral("債務不履行"),
                      {}});
    QList<Marker> kept = data.markers(QStringLiteral("mp"));
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0].id, id);
    EXPECT_EQ(kept[0].note, QStringLiteral("要件"));
    EXPECT_FALSE(kept[0].uuid.isEmpty());
    EXPECT_TRUE(data.markers(QStringLiteral("KP")).isEmpty());
    kept[0].colour = 4;
    kept[0].state = QStringLiteral("moved");
    data.updateMarker(kept[0]);
    EXPECT_EQ(data.markers()[0].colour, 4);
    // Exported and imported into another file; imported again: nothing twice.
    const QByteArray json = data.exportJson();
    UserData other(path(QStringLiteral("other.sqlite")));
    const ImportCount first = other.importJson(json);
    EXPECT_EQ(first.markers, 1);
    EXPECT_EQ(first.bookmarks, 1);
    const ImportCount again = other.importJson(json);
    EXPECT_EQ(again.markers + again.bookmarks, 0);
    EXPECT_EQ(again.present, 2);
    EXPECT_EQ(other.markers()[0].uuid, kept[0].uuid);
    EXPECT_EQ(other.bookmarks()[0].title, QStringLiteral("債務不履行"));
    // One written by hand, without uuids: in once all the same.
    const QByteArray byHand =
        R"({"lexora":"reader","markers":[{"law":"MP","place":"MP04150000010100","start":0,)"
        R"("length":2,"text":"債務"},{"law":"MP","place":"MP04150000010100","start":0,)"
        R"("length":0,"text":"債務"}],"bookmarks":[{"law":"MP","place":"MP04150000"}]})";
    // Its length is its text's: the second is the first again.
    EXPECT_EQ(other.importJson(byHand).markers, 1);
    EXPECT_EQ(other.importJson(byHand).present, 3);
    for (const char* bad : {"", "{}", "[1]", "{\"lexora\":\"reader\",\"markers\":{}}"})
        EXPECT_THROW(other.importJson(QByteArray(bad)), platform::Error) << bad;
    EXPECT_TRUE(data.removeMarker(id));
    EXPECT_FALSE(data.removeMarker(id));
    // Never in a law's database.
    store::Database law = store::openLawDb(QStringLiteral("民法"));
    EXPECT_TRUE(law.fieldNames(QStringLiteral("markers")).isEmpty());
}

TEST_F(UserDataTest, LexctlMarksAndFindsThemAgainAfterAnImport) {
    auto run = [&](const QStringList& args) { return lexctl(args); };
    EXPECT_EQ(run({QStringLiteral("mark"), QStringLiteral("add"), QStringLiteral("MP415:1"),
                   QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("--colour"),
                   QStringLiteral("2"), QStringLiteral("--note"), QStringLiteral("要件")})
                  .out,
              QStringLiteral("1\n"));
    const testsupport::ProcessResult refused =
        run({QStringLiteral("mark"), QStringLiteral("add"), QStringLiteral("MP415"),
             QStringLiteral("0"), QStringLiteral("3")});
    EXPECT_EQ(refused.exitCode, 1);  // an article of two paragraphs: which one is unsaid
    EXPECT_EQ(run({QStringLiteral("mark"), QStringLiteral("add"), QStringLiteral("MP415:1"),
                   QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("--colour"),
                   QStringLiteral("7")})
                  .exitCode,
              2);
    EXPECT_EQ(run({QStringLiteral("mark"), QStringLiteral("list")}).out,
              QStringLiteral("1\tMP415:1\t0\t3\t2\tok\t債務者\t要件\n"));
    // The paragraph's text changed by an import: found again where it now is.
    {
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        db.execute(QStringLiteral("update 条文 set 条文='改正後、' || 条文 where 条項コード=?"),
                   {QStringLiteral("MP04150000010100")});
    }
    EXPECT_EQ(run({QStringLiteral("mark"), QStringLiteral("list"), QStringLiteral("mp")}).out,
              QStringLiteral("1\tMP415:1\t4\t3\t2\tmoved\t債務者\t要件\n"));
    const QString exported = path(QStringLiteral("marks.json"));
    EXPECT_EQ(run({QStringLiteral("mark"), QStringLiteral("export"), exported}).exitCode, 0);
    EXPECT_EQ(run({QStringLiteral("mark"), QStringLiteral("import"), exported}).out,
              QStringLiteral("0 markers and 0 bookmarks added, 1 already here\n"));
    EXPECT_EQ(run({QStringLiteral("mark"), QStringLiteral("remove"), QStringLiteral("1")}).exitCode,
              0);
    EXPECT_EQ(run({QStringLiteral("mark"), QStringLiteral("remove"), QStringLiteral("1")}).exitCode,
              1);
    EXPECT_EQ(run({QStringLiteral("bookmark"), QStringLiteral("add"), QStringLiteral("民法415"),
                   QStringLiteral("債務不履行")})
                  .out,
              QStringLiteral("1\n"));
    EXPECT_EQ(run({QStringLiteral("bookmark"), QStringLiteral("list")}).out,
              QStringLiteral("1\tMP\tMP415\t債務不履行\n"));
    EXPECT_TRUE(run({QStringLiteral("--help")})
                    .out.contains(path(QStringLiteral("data-home/lexora/reader.sqlite"))));
}

// lexctl pdf: an article as the browser shows it, a whole law; pdftotext reads the text back.
TEST_F(UserDataTest, LexctlWritesAPdfWhoseTextReadsBack) {
    auto text = [](const QString& pdf) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).remove(u'\n');
    };
    const QString article = path(QStringLiteral("mp415.pdf"));
    const testsupport::ProcessResult r =
        lexctl({QStringLiteral("pdf"), QStringLiteral("MP415"), QStringLiteral("-o"), article});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString read = text(article);
    EXPECT_TRUE(read.startsWith(QStringLiteral("民法"))) << read.left(40).toStdString();
    EXPECT_TRUE(read.contains(QStringLiteral("債務者がその債務の本旨に従った履行")))
        << read.toStdString();
    EXPECT_TRUE(read.contains(QStringLiteral("前項の規定により損害賠償の請求")));  // paragraph 2
    const QString law = path(QStringLiteral("kp.pdf"));
    ASSERT_EQ(
        lexctl({QStringLiteral("pdf"), QStringLiteral("日本国憲法"), QStringLiteral("-o"), law})
            .exitCode,
        0);
    EXPECT_TRUE(text(law).contains(QStringLiteral("天皇は、日本国の象徴であり")));
    EXPECT_EQ(lexctl({QStringLiteral("pdf"), QStringLiteral("MP415")}).exitCode, 2);  // no -o
    // --marks: the reader's markers and each note after its run, in a paragraph and a whole law.
    ASSERT_EQ(lexctl({QStringLiteral("mark"), QStringLiteral("add"), QStringLiteral("MP415:1"),
                      QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("--note"),
                      QStringLiteral("帰責の確認")})
                  .exitCode,
              0);
    for (const char* typed : {"MP415", "MP"}) {
        const QString marked = path(QStringLiteral("marked.pdf"));
        ASSERT_EQ(lexctl({QStringLiteral("pdf"), QString::fromLatin1(typed), QStringLiteral("-o"),
                          marked, QStringLiteral("--marks")})
                      .exitCode,
                  0);
        EXPECT_TRUE(text(marked).contains(QStringLiteral("債務者〔メモ：帰責の確認〕がその債務")))
            << typed;
        ASSERT_EQ(lexctl({QStringLiteral("pdf"), QString::fromLatin1(typed), QStringLiteral("-o"),
                          marked})
                      .exitCode,
                  0);
        EXPECT_FALSE(text(marked).contains(QStringLiteral("帰責の確認"))) << typed;
    }
    // A platform named that has no display: pdf runs on none, other commands need none.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "xcb");
    EXPECT_EQ(
        lexctl({QStringLiteral("pdf"), QStringLiteral("MP415"), QStringLiteral("-o"), article})
            .exitCode,
        0);
    EXPECT_EQ(lexctl({QStringLiteral("search"), QStringLiteral("pdf")}).exitCode, 0);
    if (platform.isNull())
        qunsetenv("QT_QPA_PLATFORM");
    else
        qputenv("QT_QPA_PLATFORM", platform);
    EXPECT_EQ(lexctl({QStringLiteral("pdf"), QStringLiteral("MP9999"), QStringLiteral("-o"), law})
                  .exitCode,
              1);
}

}  // namespace

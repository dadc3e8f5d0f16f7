// The content of the law tree on the seven real laws, and the rows a build cannot show.
#include "viewer/browser/lawtree.h"
#include "exchange/lawparts.h"
#include "platform/prompt.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/samplelaws.h"
#include "viewer/browser/display.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

using namespace viewer;

namespace {

class LawTreeTest : public testsupport::SampleLawsTest {
  protected:
    static const TreeNode* node(const LawTree& t, const QString& key) {
        for (const TreeNode& n : t.nodes)
            if (n.key == key) return &n;
        return nullptr;
    }
    // The chain from the node up to the root, as the display walks it.
    static QList<NodeRef> chain(const LawTree& t, const QString& key) {
        QHash<QString, int> index;
        for (int i = 0; i < t.nodes.size(); ++i) index.insert(t.nodes[i].key, i);
        QList<NodeRef> out;
        for (int i = index.value(key, -1); i >= 0; i = index.value(t.nodes[i].parentKey, -1))
            out.append({t.nodes[i].key, t.nodes[i].text});
        return out;
    }
    static void exec(const QString& law, const QString& sql, const QVariantList& params = {}) {
        store::openLawDb(law).execute(sql, params);
    }
};

struct Counts {
    const char* code;
    int articles, paragraphs, toc;
};

TEST_F(LawTreeTest, EveryLawHoldsExactlyItsArticlesAndParagraphs) {
    // The counts of the converted data (data/README of the shared statutes).
    for (const Counts& c :
         {Counts{"KP", 103, 160, 11}, Counts{"MP", 1224, 2002, 191}, Counts{"CP", 308, 456, 57},
          Counts{"KS", 1080, 3041, 296}, Counts{"MS", 453, 914, 60}, Counts{"CS", 718, 1400, 53},
          Counts{"GT", 48, 105, 11}}) {
        const QString law = QString::fromLatin1(c.code);
        for (int mode : {1, 0}) {
            const LawTree t = buildLawTree(law, mode);
            ASSERT_FALSE(t.name.isEmpty()) << c.code;
            EXPECT_TRUE(t.problems.isEmpty()) << c.code << treeProblemsMessage(t).toStdString();
            EXPECT_EQ(t.toc, mode == 1);
            int articles = 0, paragraphs = 0, toc = 0;
            QHash<QString, int> keyLength;
            for (const TreeNode& n : t.nodes) keyLength.insert(n.key, int(n.key.size()));
            for (const TreeNode& n : t.nodes.mid(1)) {
                if (n.key.size() == 10)
                    ++articles;
                else if (keyLength.value(n.parentKey) == 10)
                    ++paragraphs;
                else if (n.key.size() == 16)
                    ++toc;
            }
            EXPECT_EQ(articles, c.articles) << c.code << " mode " << mode;
            EXPECT_EQ(paragraphs, c.paragraphs) << c.code << " mode " << mode;
            EXPECT_EQ(toc, mode == 1 ? c.toc : 0) << c.code;
            const int fixed = law == QStringLiteral("KP") ? 2 : 0;
            EXPECT_EQ(t.nodes.size(), 1 + fixed + articles + paragraphs + toc);
            // The root first; every parent before its children.
            EXPECT_TRUE(t.nodes[0].parentKey.isEmpty());
            EXPECT_EQ(t.nodes[0].key, mode == 1 ? tocRootKey(law) : law);
            EXPECT_EQ(t.nodes[0].text, t.name);
        }
    }
}

TEST_F(LawTreeTest, ChosenNodesSitUnderTheirEntriesWithTheirTexts) {
    const LawTree mp = buildTocTree(QStringLiteral("MP"));
    const TreeNode* a1 = node(mp, QStringLiteral("MP00010000"));
    ASSERT_TRUE(a1);
    EXPECT_EQ(a1->text, QStringLiteral("第1条 【基本原則】"));
    EXPECT_EQ(a1->parentKey, QStringLiteral("MP01010000000000"));
    EXPECT_EQ(node(mp, QStringLiteral("MP01010000000000"))->text,
              QStringLiteral("第1章 通則　（1条～2条）"));
    EXPECT_EQ(node(mp, QStringLiteral("MP01010000000000"))->parentKey,
              QStringLiteral("MP01000000000000"));
    const TreeNode* p3 = node(mp, QStringLiteral("MP00010000030300"));
    ASSERT_TRUE(p3);
    EXPECT_EQ(p3->text, QStringLiteral("③ 権利の濫用は、これを許さない。"));
    EXPECT_EQ(p3->parentKey, QStringLiteral("MP00010000"));
    // A branch article is a node of its own after its main article.
    const TreeNode* b = node(mp, QStringLiteral("MP03980200"));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->text, QStringLiteral("第398条の2 【根抵当権】"));
    // 398, its two paragraphs, then 398の2.
    EXPECT_EQ(mp.nodes.indexOf(*node(mp, QStringLiteral("MP03980000"))) + 3, mp.nodes.indexOf(*b));
    // A one-paragraph article: its only paragraph has no mark.
    EXPECT_EQ(node(mp, QStringLiteral("MP03000000010000"))->text,
              QStringLiteral("留置権の行使は、債権の消滅時効の進行を妨げない。"));

    const LawTree ks = buildTocTree(QStringLiteral("KS"));
    EXPECT_EQ(node(ks, QStringLiteral("KS00010000"))->parentKey,
              QStringLiteral("KS01010000000000"));
    EXPECT_EQ(node(ks, QStringLiteral("KS04680000"))->text,
              QStringLiteral("第468条 【事業譲渡等の承認を要しない場合】"));
    EXPECT_TRUE(node(ks, QStringLiteral("KS04680000030300"))->text.startsWith(u'③'));

    // 第1条 of 刑事訴訟法 hangs directly under 第一編, before its chapters; without a caption
    // the article shows its number only.
    const LawTree cs = buildTocTree(QStringLiteral("CS"));
    const TreeNode* c1 = node(cs, QStringLiteral("CS00010000"));
    ASSERT_TRUE(c1);
    EXPECT_EQ(c1->parentKey, QStringLiteral("CS01000000000000"));
    EXPECT_EQ(c1->text, QStringLiteral("第1条"));
    EXPECT_LT(cs.nodes.indexOf(*c1),
              cs.nodes.indexOf(*node(cs, QStringLiteral("CS01010000000000"))));
    EXPECT_EQ(nodeDepths(cs).value(cs.nodes.indexOf(*c1)), 2);
}

TEST_F(LawTreeTest, TheConstitutionBeginsWithItsTwoFixedTexts) {
    for (int mode : {1, 0}) {
        const LawTree kp = buildLawTree(QStringLiteral("kp"), mode);  // the code in any case
        ASSERT_GE(kp.nodes.size(), 3);
        EXPECT_EQ(kp.nodes[1].key, QStringLiteral("KP000000000000001"));
        EXPECT_EQ(kp.nodes[2].key, QStringLiteral("KP000000000000002"));
        EXPECT_EQ(kp.nodes[1].parentKey, kp.nodes[0].key);
        EXPECT_EQ(kp.nodes[2].parentKey, kp.nodes[0].key);
    }
    const QString p = promulgationText();
    EXPECT_TRUE(p.startsWith(QStringLiteral("　朕は、日本国民の総意に基いて、")));
    EXPECT_TRUE(p.endsWith(QStringLiteral("ここにこれを公布せしめる。")));
    EXPECT_FALSE(p.contains(u'\n'));
    const QString pre = preambleText();
    const QStringList paras = pre.split(QStringLiteral("\r\n"));
    ASSERT_EQ(paras.size(), 4);
    for (const QString& para : paras) EXPECT_TRUE(para.startsWith(QChar(0x3000)));
    EXPECT_TRUE(paras[0].startsWith(
        QStringLiteral("　日本国民は、正当に選挙された国会における代表者を通じて行動し、")));
    EXPECT_TRUE(paras[3].endsWith(
        QStringLiteral("全力をあげてこの崇高な理想と目的を達成することを誓ふ。")));
    EXPECT_EQ(pre.count(u'\n'), 3);  // CR LF between the paragraphs only
    // Another law has no fixed nodes.
    EXPECT_FALSE(node(buildTocTree(QStringLiteral("GT")), kPromulgationKey));
}

TEST_F(LawTreeTest, NodeTextShowsItsContextFromTheOutsideIn) {
    const LawTree mp = buildTocTree(QStringLiteral("MP"));
    // Article 1 of a law with 編 and 章: the law, the 編, the 章, the article, the paragraph.
    EXPECT_EQ(
        nodeContextText(chain(mp, QStringLiteral("MP00010000010100"))),
        QStringLiteral("民法\r\n第1編 総則　（1条～174条）\r\n第1章 通則　（1条～2条）\r\n"
                       "第1条 【基本原則】\r\n① 私権は、公共の福祉に適合しなければならない。"));
    // Deeper: only the five nearest ancestors.
    const QString t415 = nodeContextText(chain(mp, QStringLiteral("MP04150000")));
    EXPECT_EQ(t415.split(QStringLiteral("\r\n")).size(), 6);
    EXPECT_TRUE(t415.startsWith(QStringLiteral("民法\r\n第3編 債権")));
    const QString p415 = nodeContextText(chain(mp, QStringLiteral("MP04150000010100")));
    EXPECT_FALSE(p415.startsWith(QStringLiteral("民法")));  // six ancestors: the law drops out
    EXPECT_TRUE(p415.startsWith(QStringLiteral("第3編 債権")));
    EXPECT_EQ(p415.split(QStringLiteral("\r\n")).size(), 6);
    // The root shows itself; a parent whose text equals its child's ends the walk; a parent of
    // another law is passed over.
    EXPECT_EQ(nodeContextText(chain(mp, QStringLiteral("MP00000000000000"))),
              QStringLiteral("民法"));
    EXPECT_EQ(nodeContextText({{QStringLiteral("AB1"), QStringLiteral("同じ")},
                               {QStringLiteral("AB2"), QStringLiteral("同じ")},
                               {QStringLiteral("AB3"), QStringLiteral("外")}}),
              QStringLiteral("同じ"));
    EXPECT_EQ(nodeContextText({{QStringLiteral("AB1"), QStringLiteral("子")},
                               {QStringLiteral("CD2"), QStringLiteral("他法")},
                               {QStringLiteral("AB3"), QStringLiteral("親")}}),
              QStringLiteral("親\r\n子"));
    // The preamble is shown whole under the law name.
    const LawTree kp = buildTocTree(QStringLiteral("KP"));
    EXPECT_EQ(nodeContextText(chain(kp, kPreambleKey)),
              QStringLiteral("日本国憲法\r\n") + preambleText());
}

TEST_F(LawTreeTest, RowsThatCannotBeShownAreNamedOnceAndTheRestIsBuilt) {
    // An orphan entry, an entry overlapping an earlier one, and a code that names no level.
    exec(QStringLiteral("行政手続法"), QStringLiteral("insert into 目次 values (?, ?, ?, ?, ?, ?)"),
         {QStringLiteral("GT09010000000000"), QStringLiteral("親のない章"),
          QStringLiteral("00010000"), QStringLiteral("00010000"), QStringLiteral("00010000"),
          QStringLiteral("00010000")});
    exec(
        QStringLiteral("行政手続法"), QStringLiteral("insert into 目次 values (?, ?, ?, ?, ?, ?)"),
        {QStringLiteral("GT08000000000000"), QStringLiteral("重なる編"), QStringLiteral("00010000"),
         QStringLiteral("00020000"), QStringLiteral("00010000"), QStringLiteral("00020000")});
    exec(QStringLiteral("行政手続法"), QStringLiteral("insert into 目次 values (?, ?, ?, ?, ?, ?)"),
         {QStringLiteral("GT0X000000000000"), QStringLiteral("読めない"), QString(), QString(),
          QString(), QString()});
    const LawTree t = buildTocTree(QStringLiteral("GT"));
    ASSERT_EQ(t.problems.size(), 4) << treeProblemsMessage(t).toStdString();
    const QString msg = treeProblemsMessage(t);
    EXPECT_TRUE(
        msg.startsWith(QStringLiteral("行政手続法 の次の行はツリーに加えられませんでした。")));
    EXPECT_TRUE(
        msg.contains(QStringLiteral("目次 GT08000000000000: GT00010000 はすでに目次 "
                                    "GT00010000000000 の下にあります")))
        << msg.toStdString();
    EXPECT_TRUE(msg.contains(QStringLiteral("GT00020000 はすでに")));
    EXPECT_TRUE(msg.contains(
        QStringLiteral("目次 GT09010000000000: 親の目次 GT09000000000000 がありません")));
    EXPECT_TRUE(msg.contains(QStringLiteral("目次 GT0X000000000000:")));
    // Every article is still there once, under its first entry; the overlapping entry itself
    // and the rows after the faulty ones are in.
    const TreeNode* a1 = node(t, QStringLiteral("GT00010000"));
    ASSERT_TRUE(a1);
    EXPECT_EQ(a1->parentKey, QStringLiteral("GT00010000000000"));
    EXPECT_TRUE(node(t, QStringLiteral("GT08000000000000")));
    const TreeNode* last = node(t, QStringLiteral("GT00460000"));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->parentKey, QStringLiteral("GT00070000000000"));
    int articles = 0;
    for (const TreeNode& n : t.nodes) articles += n.key.size() == 10;
    EXPECT_EQ(articles, 48);
}

TEST_F(LawTreeTest, AMessageListsTwentyRowsAndCountsTheRest) {
    // An entry repeating the range of a whole chapter: one row a duplicated article.
    exec(
        QStringLiteral("行政手続法"), QStringLiteral("insert into 目次 values (?, ?, ?, ?, ?, ?)"),
        {QStringLiteral("GT08000000000000"), QStringLiteral("重なる編"), QStringLiteral("00010000"),
         QStringLiteral("00460000"), QStringLiteral("00010000"), QStringLiteral("00460000")});
    const LawTree t = buildTocTree(QStringLiteral("GT"));
    ASSERT_EQ(t.problems.size(), 48);
    const QStringList lines = treeProblemsMessage(t, 20).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 1 + 20 + 1);
    EXPECT_EQ(lines.last(), QStringLiteral("ほか 28 件"));
    EXPECT_EQ(treeProblemsMessage(t).split(QStringLiteral("\r\n")).size(), 1 + 48);  // lexctl
}

TEST_F(LawTreeTest, UnlistedMissingAndEmptyLaws) {
    // A code not in the list builds nothing.
    EXPECT_TRUE(buildTocTree(QStringLiteral("ZZ")).name.isEmpty());
    EXPECT_TRUE(buildTocTree(QStringLiteral("ZZ")).nodes.isEmpty());
    // A listed law without its database gets an empty one and an empty tree.
    store::openMasterDb().execute(
        QStringLiteral("insert into 法典コード values (8, 'NE', '新法')"));
    ASSERT_FALSE(QFileInfo::exists(store::lawDbPath(QStringLiteral("新法"))));
    for (int mode : {1, 0}) {
        const LawTree t = buildLawTree(QStringLiteral("NE"), mode);
        EXPECT_EQ(t.name, QStringLiteral("新法"));
        EXPECT_TRUE(t.nodes.isEmpty());
        EXPECT_TRUE(t.problems.isEmpty());
    }
    EXPECT_TRUE(QFileInfo::exists(store::lawDbPath(QStringLiteral("新法"))));
    // A law without 目次 rows is built flat whatever the mode.
    exec(QStringLiteral("新法"),
         QStringLiteral("insert into 条文 values ('NE00010000000001', ' ')"));
    exec(QStringLiteral("新法"),
         QStringLiteral("insert into 条文 values ('NE00010000010000', '本文')"));
    const LawTree flat = buildTocTree(QStringLiteral("NE"));
    EXPECT_FALSE(flat.toc);
    ASSERT_EQ(flat.nodes.size(), 3);
    EXPECT_EQ(flat.nodes[0].key, QStringLiteral("NE"));
    EXPECT_EQ(flat.nodes[1].text, QStringLiteral("第1条"));  // a blank heading shows no brackets
    EXPECT_EQ(flat.nodes[2].text, QStringLiteral("本文"));
}

TEST_F(LawTreeTest, ALawWhoseCodeWasWrittenInLowerCaseOpens) {
    store::openMasterDb().execute(
        QStringLiteral("insert into 法典コード values (8, 'ab', '小文字法')"));
    store::MakeHoutenDB(store::folders().db, QStringLiteral("小文字法.mdb"));
    exec(QStringLiteral("小文字法"),
         QStringLiteral("insert into 条文 values ('ab00010000000001', '（目的）')"));
    exec(QStringLiteral("小文字法"),
         QStringLiteral("insert into 条文 values ('ab00010000010000', '本文')"));
    exec(QStringLiteral("小文字法"), QStringLiteral("insert into 目次 values (?, ?, ?, ?, ?, ?)"),
         {QStringLiteral("ab01000000000000"), QStringLiteral("総則"), QStringLiteral("00010000"),
          QStringLiteral("00010000"), QStringLiteral("00010000"), QStringLiteral("00010000")});
    for (const char* code : {"ab", "AB"}) {
        const LawTree t = buildTocTree(QString::fromLatin1(code));
        EXPECT_TRUE(t.problems.isEmpty()) << treeProblemsMessage(t).toStdString();
        QStringList keys;
        for (const TreeNode& n : t.nodes) keys << n.key;
        EXPECT_EQ(keys, QStringList(
                            {QStringLiteral("AB00000000000000"), QStringLiteral("AB01000000000000"),
                             QStringLiteral("AB00010000"), QStringLiteral("AB00010000010000")}))
            << code;
    }
}

TEST_F(LawTreeTest, CaptionCarriesThePageDate) {
    EXPECT_EQ(pageDateText(QDateTime(QDate(2004, 3, 5), QTime(9, 7))),
              QStringLiteral("2004年3月5日 9時7分"));
    EXPECT_EQ(pageDateText(QDateTime(QDate(2024, 12, 31), QTime(23, 59))),
              QStringLiteral("2024年12月31日 23時59分"));
    const QString key = QStringLiteral("MP00010000010100");
    EXPECT_EQ(browserCaption(QStringLiteral("民法"), key), QStringLiteral("民法"));
    // The page folders were made by the lookup.
    const QString page =
        store::folders().html + QStringLiteral("/MP/") + key + QStringLiteral(".html");
    EXPECT_TRUE(QFileInfo(page).dir().exists());
    testsupport::writeFile(page, "<html></html>");
    QFile f(page);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2004, 3, 5), QTime(9, 7)),
                              QFileDevice::FileModificationTime));
    f.close();
    EXPECT_EQ(browserCaption(QStringLiteral("民法"), key),
              QStringLiteral("民法　[ 2004年3月5日 9時7分 HTML更新 ]"));
}

// The parts of a law (前文, 附則, 別表 …) after its main provision, in both trees: a node per part
// labelled as the website labels it, holding its articles or paragraphs.
TEST_F(LawTreeTest, PartsFollowTheMainProvisionWithTheirArticles) {
    auto part = [](const char* tag, const char* xml, int number) {
        return exchange::readLawPart(QString::fromLatin1(tag), QByteArray(xml), number);
    };
    const QList<store::LawPart> parts{
        part(
            "SupplProvision",
            "<SupplProvision><SupplProvisionLabel>附　則</SupplProvisionLabel><Article Num=\"1\">"
            "<ArticleCaption>（施行期日）</ArticleCaption><ArticleTitle>第一条</ArticleTitle>"
            "<Paragraph Num=\"1\"><ParagraphNum/><ParagraphSentence><Sentence>施行する。</Sentence>"
            "</ParagraphSentence></Paragraph></Article><Article Num=\"2\"><ArticleTitle>第二条"
            "</ArticleTitle><Paragraph Num=\"1\"><ParagraphNum/><ParagraphSentence><Sentence>"
            "前条の例による。</Sentence></ParagraphSentence></Paragraph></Article></"
            "SupplProvision>",
            1),
        part("SupplProvision",
             "<SupplProvision AmendLawNum=\"令和五年六月一日法律第一号\" Extract=\"true\">"
             "<SupplProvisionLabel>附　則</SupplProvisionLabel><Paragraph Num=\"1\"><ParagraphNum/>"
             "<ParagraphSentence><Sentence>公布の日から施行する。</Sentence></ParagraphSentence>"
             "</Paragraph></SupplProvision>",
             2),
        part("AppdxTable",
             "<AppdxTable><AppdxTableTitle>別表第一</AppdxTableTitle><TableStruct><Table><TableRow>"
             "<TableColumn><Sentence>区分</Sentence></TableColumn><TableColumn><Sentence>税率"
             "</Sentence></TableColumn></TableRow></Table></TableStruct></AppdxTable>",
             1)};
    {
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        store::writeLawParts(db, parts);
    }
    for (const int mode : {0, 1}) {
        const LawTree t = buildLawTree(QStringLiteral("MP"), mode);
        SCOPED_TRACE(mode);
        const QString root = t.nodes.first().key;
        QStringList tail;
        for (const TreeNode& n : t.nodes.mid(t.nodes.size() - 6))
            tail << (n.parentKey == root ? QString() : n.parentKey + u'>') + n.key + u' ' +
                        n.text.section(QStringLiteral("\r\n"), 0, 0);
        EXPECT_EQ(tail,
                  QStringList({QStringLiteral("MPP00001 附則"),
                               QStringLiteral("MPP00001>MPP00001-001 （施行期日）"),
                               QStringLiteral("MPP00001>MPP00001-002 第二条　前条の例による。"),
                               QStringLiteral("MPP00002 附則（令和五年六月一日法律第一号）抄"),
                               QStringLiteral("MPP00002>MPP00002-001 公布の日から施行する。"),
                               QStringLiteral("MPP00003 別表第一")}));
        EXPECT_EQ(t.parts.value(QStringLiteral("MPP00003")).text,
                  QStringLiteral("別表第一\r\n区分\t税率"));
        EXPECT_EQ(t.parts.size(), 3);
        EXPECT_TRUE(t.problems.isEmpty()) << t.problems.join(u'\n').toStdString();
        EXPECT_TRUE(isPartKey(QStringLiteral("MPP00001-002")));
        EXPECT_FALSE(isPartKey(QStringLiteral("MP00010000")));
    }
    // 日本国憲法 keeps its two fixed nodes; its 前文 part is not shown twice.
    {
        store::Database db = store::openLawDb(QStringLiteral("日本国憲法"));
        store::writeLawParts(
            db, {part("Preamble",
                      "<Preamble><Paragraph><ParagraphNum/><ParagraphSentence><Sentence>"
                      "日本国民は、</Sentence></ParagraphSentence></Paragraph></Preamble>",
                      1),
                 parts[0]});
    }
    const LawTree kp = buildLawTree(QStringLiteral("KP"), 1);
    EXPECT_FALSE(kp.parts.contains(QStringLiteral("KPP00001")));
    EXPECT_TRUE(kp.parts.contains(QStringLiteral("KPP00002")));
    EXPECT_NE(node(kp, kPreambleKey), nullptr);
    // A law of 附則 only has a root and its parts.
    testsupport::addLaw(8, QStringLiteral("FU"), QStringLiteral("附則法"));
    {
        store::Database db = store::openLawDb(QStringLiteral("附則法"));
        store::writeLawParts(db, {parts[1]});
    }
    const LawTree only = buildLawTree(QStringLiteral("FU"), 1);
    ASSERT_EQ(only.nodes.size(), 3);
    EXPECT_EQ(only.nodes[1].key, QStringLiteral("FUP00001"));
}

}  // namespace

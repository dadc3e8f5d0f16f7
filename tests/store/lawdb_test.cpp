// The master list and the law databases: names that become files, lookups, the search query.
#include "store/lawdb.h"
#include "platform/prompt.h"
#include "store/folders.h"
#include "tests/support/testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

using namespace store;

namespace {

class LawDbTest : public testsupport::TempRootTest {
  protected:
    void addLaw(int number, const QString& code, const QString& name) {
        Database db = openMasterDb();
        db.execute(QStringLiteral("insert into 法典コード values (?, ?, ?)"), {number, code, name});
    }
};

TEST_F(LawDbTest, MasterIsCreatedWhereverItIsOpened) {
    EXPECT_FALSE(QFileInfo::exists(masterDbPath()));
    EXPECT_TRUE(readLawList().isEmpty());  // a fresh installation has an empty list
    EXPECT_TRUE(QFileInfo(masterDbPath()).isFile());
    EXPECT_EQ(GetHoutenName(QStringLiteral("KP")), QString());

    addLaw(2, QStringLiteral("MP"), QStringLiteral("民法"));
    addLaw(1, QStringLiteral("KP"), QStringLiteral("日本国憲法"));
    const QList<LawEntry> laws = readLawList();
    ASSERT_EQ(laws.size(), 2);
    EXPECT_EQ(laws[0].number, 1);
    EXPECT_EQ(laws[0].code, QStringLiteral("KP"));
    EXPECT_EQ(laws[1].name, QStringLiteral("民法"));
    EXPECT_THROW(addLaw(1, QStringLiteral("CP"), QStringLiteral("刑法")), Error);  // 番号 is unique

    EXPECT_EQ(GetHoutenName(QStringLiteral("kp")), QStringLiteral("日本国憲法"));
    EXPECT_EQ(GetHoutenName(QStringLiteral("KP' or '1'='1")), QString());
    EXPECT_EQ(GetHoutenName(QStringLiteral("K'")), QString());
}

TEST_F(LawDbTest, LawNamesNeverLeaveTheDbFolder) {
    for (const QString& bad :
         {QString(), QStringLiteral("  "), QStringLiteral("../民法"), QStringLiteral("a/b"),
          QStringLiteral("a\\b"), QStringLiteral("民法.."), QStringLiteral("a:b"),
          QStringLiteral("a*"), QStringLiteral("a?"), QStringLiteral("\"a\""),
          QStringLiteral("<a>"), QStringLiteral("a|b"), QStringLiteral("a\tb")}) {
        QString why;
        EXPECT_FALSE(isValidLawName(bad, &why)) << bad.toStdString();
        EXPECT_FALSE(why.isEmpty());
    }
    EXPECT_TRUE(isValidLawName(QStringLiteral("民事訴訟法")));
    EXPECT_TRUE(isValidLawName(QStringLiteral("会社法（新）")));

    QDir().mkpath(folders().db);
    EXPECT_THROW(MakeHoutenDB(folders().db, QStringLiteral("../外.mdb")), Error);
    EXPECT_FALSE(QFileInfo::exists(folders().root + QStringLiteral("/外.mdb")));
    EXPECT_THROW(openOrCreateLawDb(QStringLiteral("../外")), Error);
    EXPECT_FALSE(QFileInfo::exists(folders().root + QStringLiteral("/外.mdb")));

    // The database file name and its journal's must fit in 255 bytes: 243 bytes of name and
    // ".mdb" do, and the file is really made and written; one byte more is refused, and so is
    // a real law's full name.
    const QString atLimit = QString(81, QChar(0x6CD5));
    ASSERT_EQ(atLimit.toUtf8().size(), 243);
    EXPECT_TRUE(isValidLawName(atLimit));
    MakeHoutenDB(folders().db, atLimit + QStringLiteral(".mdb"));
    EXPECT_TRUE(QFileInfo::exists(lawDbPath(atLimit)));
    QString why;
    openLawDb(atLimit).execute(QStringLiteral("insert into 条文 values ('AA00010000010000', 'x')"));
    EXPECT_FALSE(isValidLawName(atLimit + u'c', &why));
    EXPECT_TRUE(why.contains(QStringLiteral("248 バイト"))) << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("1 バイト超えています"))) << why.toStdString();
    const QString sofa = QStringLiteral(
        "日本国とアメリカ合衆国との間の相互協力及び安全保障条約第六条に基づく施設及び区域並びに日"
        "本国における合衆国軍隊の地位に関する協定の実施に伴う地方税法の臨時特例に関する法律");
    EXPECT_FALSE(isValidLawName(sofa, &why));
    EXPECT_TRUE(why.startsWith(QStringLiteral("法典名称が長すぎます。")));
    EXPECT_TRUE(why.contains(QStringLiteral("12 バイト超えています"))) << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("法典名称=")));
    EXPECT_THROW(openOrCreateLawDb(sofa), Error);

    EXPECT_TRUE(isValidLawCode(QStringLiteral("KP")));
    EXPECT_TRUE(isValidLawCode(QStringLiteral("K2")));
    EXPECT_FALSE(isValidLawCode(QStringLiteral("2K")));
    EXPECT_FALSE(isValidLawCode(QStringLiteral("KPX")));
    EXPECT_FALSE(isValidLawCode(QStringLiteral("K")));
}

TEST_F(LawDbTest, MissingLawDatabaseIsCreatedEmptyOnFirstOpen) {
    QDir().mkpath(folders().db);
    // What a run killed while making the file left (made under another name) is no law file
    // and does not stop the next one.
    for (const QString& left : QDir(folders().db).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(folders().db + u'/' + left);
    MakeHoutenDB(folders().db, QStringLiteral("刑法.mdb"));
    const QStringList made = QDir(folders().db).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(made, QStringList{QStringLiteral("刑法.mdb")});
    QFile::remove(lawDbPath(QStringLiteral("刑法")));
    testsupport::writeFile(
        folders().db + QStringLiteral("/.making-") +
            QString::fromLatin1(QCryptographicHash::hash(QStringLiteral("刑法.mdb").toUtf8(),
                                                         QCryptographicHash::Sha1)
                                    .toHex()
                                    .left(16)) +
            QStringLiteral(".mdb"),
        "half");
    MakeHoutenDB(folders().db, QStringLiteral("刑法.mdb"));
    EXPECT_EQ(QDir(folders().db).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("刑法.mdb")});
    EXPECT_THROW(openLawDb(QStringLiteral("民法")), Error);
    {
        Database db = openOrCreateLawDb(QStringLiteral("民法"));
        EXPECT_EQ(db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"))
                      .recordCount(),
                  0);
        EXPECT_EQ(
            db.openRecordset(QStringLiteral("select * from 目次 order by コード")).recordCount(),
            0);
        db.execute(QStringLiteral("insert into 条文 values ('MP00010000000001', '（基本原則）')"));
        db.execute(QStringLiteral("insert into 条文 values ('MP00010000010100', '私権は、')"));
        db.execute(QStringLiteral("insert into 条文 values ('MP00020000010000', '解釈')"));
    }
    // A second open finds the data, not a new file.
    EXPECT_EQ(GetJouMidashi(QStringLiteral("民法"), QStringLiteral("MP00010000010100")),
              QStringLiteral("（基本原則）"));
    EXPECT_EQ(GetJouMidashi(QStringLiteral("民法"), QStringLiteral("MP00020000010000")), QString());
}

TEST_F(LawDbTest, SearchQueryText) {
    platform::ScriptedPrompt prompt;
    QString text = QStringLiteral("  契約 解除  ");
    EXPECT_EQ(MakeSearchSQL(text), QStringLiteral("select * from 条文 where 条文 like '*契約*' and "
                                                  "条文 like '*解除*' order by 条項コード"));
    EXPECT_EQ(text, QStringLiteral("契約 解除"));  // the caller's text comes back trimmed

    text = QStringLiteral("契約　解除");  // a full-width blank separates words too
    EXPECT_EQ(MakeSearchSQL(text), QStringLiteral("select * from 条文 where 条文 like '*契約*' and "
                                                  "条文 like '*解除*' order by 条項コード"));
    text = QStringLiteral("契約  解除");  // two blanks make an empty word that restricts nothing
    EXPECT_EQ(MakeSearchSQL(text),
              QStringLiteral("select * from 条文 where 条文 like '*契約*' and 条文 like '**' and "
                             "条文 like '*解除*' order by 条項コード"));
    text = QStringLiteral("O'Brien 5*[");
    EXPECT_EQ(MakeSearchSQL(text), QStringLiteral("select * from 条文 where 条文 like '*O''Brien*' "
                                                  "and 条文 like '*5[*][[]*' order by 条項コード"));
    EXPECT_TRUE(prompt.messages.isEmpty());

    text = QStringLiteral("   ");
    EXPECT_EQ(MakeSearchSQL(text), QString());
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("検索文字列が不正です。")});
}

TEST_F(LawDbTest, SearchQueryMatchesQuotesAndWildcardsLiterally) {
    platform::ScriptedPrompt prompt;
    QDir().mkpath(folders().db);
    Database db = openOrCreateLawDb(QStringLiteral("民法"));
    db.execute(QStringLiteral("insert into 条文 values ('MP00010000010000', ?)"),
               {QStringLiteral("「A'B」と*印")});
    db.execute(QStringLiteral("insert into 条文 values ('MP00020000010000', 'AxB と印')"));
    db.execute(QStringLiteral("insert into 条文 values ('MP00030000010000', null)"));
    for (const auto& [words, count] :
         {std::pair{QStringLiteral("A'B"), 1}, std::pair{QStringLiteral("*印"), 1},
          std::pair{QStringLiteral("A?B"), 0}, std::pair{QStringLiteral("印 と"), 2},
          std::pair{QStringLiteral("印  と"), 2}}) {
        QString w = words;
        EXPECT_EQ(db.openRecordset(MakeSearchSQL(w)).recordCount(), count) << words.toStdString();
    }
}

}  // namespace

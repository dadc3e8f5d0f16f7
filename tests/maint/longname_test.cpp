// A law name too long for a file name is refused wherever a name enters, before anything is
// written: the import header, ht.dat, the law list editor.
#include "exchange/htfile.h"
#include "maint/htedit.h"
#include "maint/lawimport.h"
#include "platform/prompt.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/testsupport.h"

#include <QDir>

namespace {

// 255 bytes of UTF-8: the file name alone would be longer than a file system holds.
const QString kLong = QStringLiteral(
    "日本国とアメリカ合衆国との間の相互協力及び安全保障条約第六条に基づく施設及び区域並びに日本国"
    "における合衆国軍隊の地位に関する協定の実施に伴う地方税法の臨時特例に関する法律");

class LongNameTest : public testsupport::TempRootTest {
  protected:
    static QStringList dbFiles() {
        return QDir(store::folders().db).entryList({QStringLiteral("*.mdb")}, QDir::Files);
    }
};

TEST_F(LongNameTest, RefusedEverywhereBeforeAnythingIsWritten) {
    // A name too long for a file, and the master list's own name: the law's database would
    // be the list itself (the import added the row, then failed on "no such table: 条文").
    const QList<std::pair<QString, QString>> names{
        {kLong, QStringLiteral("12 バイト超えています")},
        {QStringLiteral("法典コード"), QStringLiteral("法典の一覧のデータベースと同じ名前")}};
    for (const auto& [name, reason] : names) {
        SCOPED_TRACE(reason.toStdString());
        QDir(store::folders().db).removeRecursively();
        store::MakeHCodeDB();
        platform::ScriptedPrompt prompt;
        // The import header: refused whole, with the reason.
        maint::LawTextImporter importer;
        try {
            importer.run(QStringLiteral("法典コード=SF\r\n法典名称=") + name +
                             QStringLiteral("\r\n\r\n（趣旨）\r\n第１条\r\nこの法律は、…。"),
                         {});
            ADD_FAILURE() << "imported";
        } catch (const store::Error& e) {
            EXPECT_TRUE(e.description().contains(reason)) << e.description().toStdString();
        }
        EXPECT_TRUE(store::readLawList().isEmpty());
        EXPECT_EQ(dbFiles(), QStringList{QStringLiteral("法典コード.mdb")});

        // The law list editor: refused by its check and by its write.
        EXPECT_TRUE(maint::checkLawEntry(QStringLiteral("SF"), name).contains(reason));
        EXPECT_THROW(maint::registerLaw(QStringLiteral("SF"), name, 0), store::Error);
        EXPECT_TRUE(store::readLawList().isEmpty());

        // ht.dat: the line is skipped and named, the other laws are listed.
        const QString ht = path(QStringLiteral("ht.dat"));
        testsupport::writeFile(ht, testsupport::cp932(QStringLiteral("1 KP 日本国憲法\r\n2 SF ") +
                                                      name + QStringLiteral("\r\n3 MP 民法\r\n")));
        const exchange::HtLoadResult r = exchange::loadHtFileFrom(ht);
        EXPECT_EQ(r.added, 2);
        ASSERT_EQ(r.skipped.size(), 1);
        EXPECT_TRUE(r.skipped[0].startsWith(QStringLiteral("2行目: 法典名称")));
        ASSERT_EQ(prompt.messages.size(), 1);
        EXPECT_TRUE(prompt.messages[0].contains(reason));
        EXPECT_EQ(store::readLawList().size(), 2);
        EXPECT_EQ(dbFiles(), QStringList{QStringLiteral("法典コード.mdb")});
    }
}

}  // namespace

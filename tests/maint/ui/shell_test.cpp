// Lexbench's frame: its buttons, one window per tool, the DB folder from the settings, and
// the two shared windows (index import by drop, law list).
#include "exchange/firststart.h"
#include "exchange/ui/frmhcodelist.h"
#include "exchange/ui/frmimpidx.h"
#include "maint/lawimport.h"
#include "maint/ui/frmlaws.h"
#include "maint/ui/frmskedit.h"
#include "maint/ui/frmtr.h"
#include "maint/ui/mdimain.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "platform/ui/keyedtree.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace {

class ShellTest : public testsupport::TempRootTest {
  protected:
    void addLaw(int n, const QString& code, const QString& name) {
        store::Database db = store::openMasterDb();
        db.execute(QStringLiteral("insert into 法典コード values (?, ?, ?)"), {n, code, name});
    }
};

TEST_F(ShellTest, DbFolderComesFromRootElsePath) {
    platform::Settings s;
    s.save(QStringLiteral("PATH"), path(QStringLiteral("prog")));  // written by the viewer
    maint::MDIMain::MDIForm_Load();
    EXPECT_EQ(store::folders().db, path(QStringLiteral("prog/DB")));
    s.save(QStringLiteral("ROOT"), path(QStringLiteral("data")));
    maint::MDIMain::MDIForm_Load();
    EXPECT_EQ(store::folders().db, path(QStringLiteral("data/DB")));
    EXPECT_EQ(store::folders().program, path(QStringLiteral("prog")));

    // An installed Lexbench without ROOT uses, and saves, the viewer's data root.
    const QString bin = path(QStringLiteral("usr/bin"));
    QDir().mkpath(bin);
    QDir().mkpath(path(QStringLiteral("usr/share/lexora")));
    QFile::copy(testsupport::sampleDir() + QStringLiteral("/ht.dat"),
                path(QStringLiteral("usr/share/lexora/ht.dat")));
    s.save(QStringLiteral("ROOT"), QString());
    s.save(QStringLiteral("PATH"), bin);
    qputenv("XDG_DATA_HOME", path(QStringLiteral("xdg")).toUtf8());
    maint::MDIMain::MDIForm_Load();
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(store::folders().root, path(QStringLiteral("xdg/Lexora")));
    EXPECT_EQ(s.get(QStringLiteral("ROOT")), path(QStringLiteral("xdg/Lexora")));
    // Started again: the saved ROOT and Path give the same folders.
    qputenv("XDG_DATA_HOME", path(QStringLiteral("xdg")).toUtf8());
    maint::MDIMain::MDIForm_Load();
    maint::MDIMain::MDIForm_Load();
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(store::folders().share, path(QStringLiteral("usr/share/lexora")));
    EXPECT_EQ(store::folders().root, path(QStringLiteral("xdg/Lexora")));
}

TEST_F(ShellTest, ButtonsOpenEachToolOnce) {
    maint::MDIMain w;
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("メンテナンス -Lexora"));
    QStringList captions;
    for (QPushButton* b :
         w.findChild<QToolBar*>(QStringLiteral("ButtonBar"))->findChildren<QPushButton*>())
        captions << b->text();
    EXPECT_EQ(captions,
              QStringList({QStringLiteral("目次インポート"), QStringLiteral("法典編集"),
                           QStringLiteral("条文インポート"), QStringLiteral("法典コード一覧"),
                           QStringLiteral("目次編集"), QStringLiteral("条文編集")}));
    for (QPushButton* b :
         {w.CmdImpSK, w.CmdEditHouten, w.CmdImport, w.CmdHCodeList, w.CmdSKList, w.CmdLaws})
        QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(w.area()->subWindowList().size(), 6);
    EXPECT_EQ(w.area()->activeSubWindow()->widget(), w.laws.data());

    // The article editor keeps its state and comes to the front; no second one is made.
    QPointer<maint::FrmLaws> first = w.laws;
    QTest::mouseClick(w.CmdImpSK, Qt::LeftButton);
    QTest::mouseClick(w.CmdLaws, Qt::LeftButton);
    EXPECT_EQ(w.laws, first);
    EXPECT_EQ(w.area()->subWindowList().size(), 6);
    EXPECT_EQ(w.area()->activeSubWindow()->widget(), first.data());

    // A closed tool is made anew by its button.
    platform::unload(w.skEdit.data());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.skEdit.isNull());
    QTest::mouseClick(w.CmdSKList, Qt::LeftButton);
    EXPECT_FALSE(w.skEdit.isNull());
}

TEST_F(ShellTest, LawListShowsEveryLawWithItsCode) {
    addLaw(2, QStringLiteral("MP"), QStringLiteral("民法"));
    addLaw(1, QStringLiteral("KP"), QStringLiteral("日本国憲法"));
    exchange::FrmHCodeList w(exchange::FrmHCodeList::Form::Maintenance);
    QSignalSpy chosen(&w, &exchange::FrmHCodeList::lawChosen);
    w.Form_Load();
    ASSERT_EQ(w.List1->count(), 2);
    EXPECT_EQ(w.List1->item(0)->text(), QStringLiteral(" KP  日本国憲法"));
    EXPECT_EQ(platform::KeyedTree::textOf(w.TView1->node(QStringLiteral("MP"))),
              QStringLiteral("MP  民法"));
    // Only a reference list here: a double click opens nothing.
    QTest::mouseDClick(w.TView1->viewport(), Qt::LeftButton, {},
                       w.TView1->visualItemRect(w.TView1->node(QStringLiteral("KP"))).center());
    EXPECT_EQ(chosen.count(), 0);
    exchange::FrmHCodeList viewer(exchange::FrmHCodeList::Form::Viewer);
    QSignalSpy opened(&viewer, &exchange::FrmHCodeList::lawChosen);
    viewer.Form_Load();
    viewer.show();
    Q_EMIT viewer.TView1->itemDoubleClicked(viewer.TView1->node(QStringLiteral("MP")), 0);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened[0][0].toString(), QStringLiteral("MP"));
}

// 2,000 laws: the filter narrows them as one types (title, reading, abbreviation, law number,
// code), the kind and the order apply, and a law added while the list is open appears.
TEST_F(ShellTest, TheLawListFiltersTwoThousandLawsAsOneTypes) {
    {
        store::Database db = store::openMasterDb();
        store::Transaction t(db);
        const QList<QChar> kanji = store::codeKanji();  // past 936: two kanji
        for (int i = 0; i < 2000; ++i)
            db.execute(
                QStringLiteral("insert into 法典コード values (?, ?, ?)"),
                {i + 1,
                 i < 936 ? QStringLiteral("%1%2").arg(QChar(u'A' + i / 36)).arg(i % 36, 0, 36)
                         : QString(kanji[(i - 936) / 50]) + kanji[(i - 936) % 50 + 100],
                 QStringLiteral("試験法第%1号").arg(i + 1)});
        t.commit();
    }
    const QString xml = QStringLiteral(LEXORA_FIXTURES_DIR "/kokka-baisho.xml");
    ASSERT_EQ(lexctl({QStringLiteral("import-xml"), QStringLiteral("国賠=") + xml}).exitCode, 0);
    addLaw(2500, QStringLiteral("MP"), QStringLiteral("民法"));  // listed only: no reading kept
    exchange::FrmHCodeList w(exchange::FrmHCodeList::Form::Viewer);
    w.Form_Load();
    w.show();
    EXPECT_EQ(w.List1->count(), 2002);
    EXPECT_EQ(w.LblCount->text(), QStringLiteral("2002 / 2002 件"));
    const std::pair<const char*, int> typed[] = {
        {"国賠法", 1}, {"こっかばい", 1}, {"kokka", 1},     {"百二十五号", 1},
        {"国賠", 1},   {"第1999号", 1},   {"試験法", 2000}, {"第19", 111},
        {"minpou", 1}, {"商法", 0},       {"", 2002}};
    for (const auto& [text, count] : typed) {
        w.TxtFilter->setText(QString::fromUtf8(text));
        EXPECT_EQ(w.List1->count(), count) << text;
        EXPECT_EQ(w.TView1->topLevelItemCount(), count) << text;
    }
    w.TxtFilter->setText(QStringLiteral("こっか"));
    EXPECT_EQ(w.List1->item(0)->text(), QStringLiteral(" 国賠  国家賠償法"));
    // Kinds: the generated laws have no number and end in 号, so they are その他.
    w.TxtFilter->clear();
    w.CboKind->setCurrentText(QStringLiteral("法律"));
    EXPECT_EQ(w.List1->count(), 2);
    w.CboKind->setCurrentText(QStringLiteral("その他"));
    EXPECT_EQ(w.List1->count(), 2000);
    w.CboKind->setCurrentIndex(0);
    // 五十音: the one law with a reading first.
    w.CboOrder->setCurrentText(QStringLiteral("五十音"));
    EXPECT_EQ(w.List1->item(0)->text(), QStringLiteral(" 国賠  国家賠償法"));
    w.CboOrder->setCurrentText(QStringLiteral("番号"));
    EXPECT_EQ(w.List1->item(0)->text(), QStringLiteral(" A0  試験法第1号"));
    // Double click in the tree of a filtered list opens that law.
    QSignalSpy opened(&w, &exchange::FrmHCodeList::lawChosen);
    w.TxtFilter->setText(QStringLiteral("国賠"));
    Q_EMIT w.TView1->itemDoubleClicked(w.TView1->topLevelItem(0), 0);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened[0][0].toString(), QStringLiteral("国賠"));
    // Added while open: the list follows.
    w.TxtFilter->clear();
    addLaw(3000, QStringLiteral("ZZ"), QStringLiteral("追加法"));
    QTRY_COMPARE_WITH_TIMEOUT(w.List1->count(), 2003, 5000);
}

TEST_F(ShellTest, IndexFileDroppedOnTheLabelImportsTheFirstFile) {
    copySampleExchangeFiles();
    platform::ScriptedPrompt prompt;
    addLaw(1, QStringLiteral("KP"), QStringLiteral("日本国憲法"));
    store::openOrCreateLawDb(QStringLiteral("日本国憲法"));
    testsupport::writeFile(
        path(QStringLiteral("kp.dat")),
        testsupport::cp932(QStringLiteral(
            "CODES KP\r\nKP01000000000000&&00010000&&00080000&&00010000&&00080000&&天皇")));

    exchange::FrmImpIdx w(exchange::FrmImpIdx::Form::Maintenance);
    w.show();
    EXPECT_EQ(w.LabelMon->text(),
              QStringLiteral("インデックスファイルをここにドロップしてください。"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path(QStringLiteral("kp.dat"))),
                  QUrl::fromLocalFile(programDir() + QStringLiteral("/idx.dat"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.LabelMon, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // First asked, naming the laws whose tables of contents go: Cancel writes nothing.
    testsupport::addToc(
        QStringLiteral("日本国憲法"),
        {QStringLiteral("KP02000000000000"), QStringLiteral("00090000"), QStringLiteral("00090000"),
         QStringLiteral("00090000"), QStringLiteral("00090000"), QStringLiteral("戦争の放棄")});
    const QString question = QStringLiteral(
        "次の法典の目次を kp.dat の内容に置き換えます。\r\nKP 日本国憲法\r\nよろしいですか？");
    prompt.answers.push_back(platform::Answer::Cancel);
    QApplication::sendEvent(w.LabelMon, &drop);
    store::Database db = store::openLawDb(QStringLiteral("日本国憲法"));
    auto toc = [&] {
        QStringList out;
        for (store::Recordset rs = db.openRecordset(QStringLiteral("目次")); !rs.eof();
             rs.moveNext())
            out << rs.text(QStringLiteral("見出し"));
        return out;
    };
    EXPECT_EQ(prompt.messages, QStringList{question});
    EXPECT_EQ(prompt.buttons.value(0), platform::Buttons::OkCancel);
    EXPECT_EQ(toc(), QStringList{QStringLiteral("戦争の放棄")});
    QDragEnterEvent enterAgain(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.LabelMon, &enterAgain);
    QDropEvent again(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.LabelMon, &again);
    EXPECT_EQ(toc(), QStringList{QStringLiteral("天皇")});  // kp.dat, not idx.dat's 11 rows
    EXPECT_EQ(w.LabelMon->text(), QStringLiteral("目次登録中... [日本国憲法] 天皇"));
    EXPECT_EQ(prompt.messages, QStringList({question, question}));

    // Rows of a law line 1 does not name are added: the question says so.
    addLaw(2, QStringLiteral("MP"), QStringLiteral("民法"));
    store::openOrCreateLawDb(QStringLiteral("民法"));
    testsupport::writeFile(
        path(QStringLiteral("two.dat")),
        testsupport::cp932(QStringLiteral(
            "CODES KP kp ZZ\r\nMP01000000000000&&00010000&&00080000&&00010000&&00080000&&総則")));
    prompt.messages.clear();
    prompt.answers.push_back(platform::Answer::Cancel);
    w.ImportIdxFile(path(QStringLiteral("two.dat")));
    EXPECT_EQ(prompt.messages,
              QStringList{QStringLiteral(
                  "次の法典の目次を two.dat の内容に置き換えます。\r\nKP 日本国憲法\r\n"
                  "次の法典の目次に行を加えます。\r\nMP 民法\r\nよろしいですか？")});

    // A folder dropped by mistake, or a file that is no index file, is named in a message
    // without a question; the window waits for the next drop.
    testsupport::writeFile(path(QStringLiteral("notes.txt")), "notes\r\n");
    for (const QString& file : {path(QStringLiteral("prog")), path(QStringLiteral("notes.txt"))}) {
        prompt.messages.clear();
        w.ImportIdxFile(file);
        ASSERT_EQ(prompt.messages.size(), 1);
        EXPECT_TRUE(prompt.messages[0].contains(file));
    }
    EXPECT_TRUE(prompt.messages[0].endsWith(QStringLiteral("何も取り込みませんでした。")));
    EXPECT_EQ(toc(), QStringList{QStringLiteral("天皇")});
}

namespace {

// Every 条文 row of a law by article: code list per article code.
QMap<QString, QStringList> articles(const QString& law) {
    QMap<QString, QStringList> out;
    store::Database db = store::openLawDb(law);
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select * from 条文 order by 条項コード"));
    for (; !rs.eof(); rs.moveNext()) {
        const QString code = rs.text(QStringLiteral("条項コード"));
        out[code.left(10)] << code;
    }
    return out;
}

void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace

TEST_F(ShellTest, ClosingDuringAnImportStopsAfterTheArticleAndCloses) {
    platform::ScriptedPrompt prompt;
    const QString file = path(QStringLiteral("KS.txt"));
    QFile::copy(testsupport::sampleDir() + QStringLiteral("/KS.txt"), file);

    // The import window closed while it runs: the article in work is finished, nothing more.
    {
        maint::MDIMain w;
        w.show();
        QTest::mouseClick(w.CmdImport, Qt::LeftButton);
        QPointer<maint::FrmTR> tr = w.textImport;
        ASSERT_FALSE(tr.isNull());
        tr->TxtDrop->setText(file);
        QMdiSubWindow* sub = platform::subWindowOf(tr);
        QTimer::singleShot(0, sub, [sub] { sub->close(); });
        QTest::mouseClick(tr->CmdRead, Qt::LeftButton);
        ASSERT_FALSE(tr.isNull());  // not pulled from under the run
        EXPECT_TRUE(tr->lastResult().cancelled);
        EXPECT_EQ(tr->lastResult().articles, 1);
        settle();
        EXPECT_TRUE(tr.isNull());
        EXPECT_TRUE(w.area()->subWindowList().isEmpty());
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(articles(QStringLiteral("会社法")).size(), 1);
    }
    // Lexbench closed while the import runs: the run stops, then the frame closes.
    {
        maint::MDIMain w;
        w.show();
        QTest::mouseClick(w.CmdImport, Qt::LeftButton);
        QPointer<maint::FrmTR> tr = w.textImport;
        tr->TxtDrop->setText(file);
        int calls = 0;
        QTimer::singleShot(0, &w, [&w, &calls] {
            ++calls;
            EXPECT_FALSE(w.close());  // refused while the run goes on
        });
        QTest::mouseClick(tr->CmdRead, Qt::LeftButton);
        EXPECT_EQ(calls, 1);
        EXPECT_TRUE(tr->lastResult().cancelled);
        EXPECT_EQ(tr->lastResult().articles, 1);
        settle();
        EXPECT_TRUE(tr.isNull());
        EXPECT_FALSE(w.isVisible());
    }
    // Each article stored is whole: the same rows as a full import gives it.
    const QMap<QString, QStringList> partial = articles(QStringLiteral("会社法"));
    maint::LawTextImporter importer;
    importer.run(maint::readLawTextFile(file), {});
    const QMap<QString, QStringList> full = articles(QStringLiteral("会社法"));
    ASSERT_EQ(partial.size(), 1);
    EXPECT_EQ(partial.first(), full.first());
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'|').toStdString();
}

TEST_F(ShellTest, ClosingDuringAnIndexImportStopsBeforeTheNextLaw) {
    copySampleExchangeFiles();
    platform::ScriptedPrompt prompt;
    exchange::prepareFirstStart();
    maint::MDIMain w;
    w.show();
    QTest::mouseClick(w.CmdImpSK, Qt::LeftButton);
    QPointer<exchange::FrmImpIdx> idx = w.impIdx;
    ASSERT_FALSE(idx.isNull());
    QTimer::singleShot(0, &w, [&w] { w.close(); });
    const exchange::IdxImportResult r =
        idx->ImportIdxFile(programDir() + QStringLiteral("/idx.dat"));
    EXPECT_TRUE(r.stopped);
    // The first law's table of contents was replaced whole; the others were not touched.
    ASSERT_EQ(r.codes.size(), 1);
    settle();
    EXPECT_TRUE(idx.isNull());
    EXPECT_FALSE(w.isVisible());
    int withRows = 0;
    for (const store::LawEntry& law : store::readLawList())
        withRows +=
            store::openLawDb(law.name).openRecordset(QStringLiteral("目次")).recordCount() > 0;
    EXPECT_EQ(withRows, 1);
}

}  // namespace

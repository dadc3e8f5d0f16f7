// The law browser and the word search as the reader meets them: the tree content of 会社法,
// the law button's click to the painted window, the word search with its progress window on
// the seven laws and on a law list of 900 laws. LEXORA_BENCH_ROOT names the data root to
// build and keep, so that bench/compare can time the sqlite3 shell on the same files.
#include "bench/benchdata.h"
#include "bench/windowbench.h"
#include "exchange/firststart.h"
#include "exchange/lawxml.h"
#include "maint/lawimport.h"
#include "platform/prompt.h"
#include "platform/ui/guard.h"
#include "platform/ui/keyedtree.h"
#include "platform/ui/mdi.h"
#include "platform/ui/textpane.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "viewer/browser/lawtree.h"
#include "viewer/browser/ui/frmtree.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/shell/search.h"
#include "viewer/shell/state.h"
#include "viewer/shell/ui/frmnowsearch.h"
#include "viewer/shell/ui/mdimain.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// 900 laws: each a copy of one of the seven, under a code of its own.
void prepareScaled(const QString& root, const QString& from) {
    QDir(root).removeRecursively();
    QDir().mkpath(root + QStringLiteral("/DB"));
    store::setFolders(root, root);
    const QList<store::LawEntry> seven = [&] {
        store::setFolders(from, from);
        QList<store::LawEntry> l = store::readLawList();
        store::setFolders(root, root);
        return l;
    }();
    store::Database master = store::openMasterDb();
    store::Transaction t(master);
    const QString alnum = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    for (int i = 0; i < 900; ++i) {
        const store::LawEntry& law = seven[i % seven.size()];
        const QString code = QString(QChar(u'A' + i / 36)) + alnum[i % 36];
        const QString name = law.name + QString::number(i);
        QFile::copy(from + QStringLiteral("/DB/") + law.name + QStringLiteral(".mdb"),
                    store::lawDbPath(name));
        master.execute(QStringLiteral("insert into 法典コード values (?, ?, ?)"),
                       {i + 1, code, name});
    }
    t.commit();
}

QString gRoot, gScaled;

void useRoot(const QString& root) {
    store::setFolders(root, root);
    viewer::state() = viewer::ViewerState{};
}

// The viewer's main window on a data root, shown with its law buttons.
struct Shown {
    viewer::MDIMain w;
    explicit Shown(const QString& root) {
        useRoot(root);
        w.resize(1300, 900);
        w.show();
        w.LoadLawButtons();
    }
};

// The search without a window, headings and the result text included.
void searchCore(benchmark::State& state, const QString& root, const QString& words) {
    useRoot(root);
    QStringList names;
    for (const store::LawEntry& law : store::readLawList()) names << law.name;
    int hits = 0;
    for (auto _ : state) hits = viewer::searchAllLaws(names, words).hits;
    state.counters["hits"] = hits;
}

void BM_TreeContent_KS(benchmark::State& state) {
    useRoot(gRoot);
    int nodes = 0;
    for (auto _ : state) nodes = int(viewer::buildTocTree(QStringLiteral("KS")).nodes.size());
    state.counters["nodes"] = nodes;
}
BENCHMARK(BM_TreeContent_KS)->Unit(benchmark::kMillisecond);

// 民法 with its 65 附則 (one per amending law) after the main provision, as its XML has them.
void BM_TreeContent_MP_Parts(benchmark::State& state) {
    useRoot(gRoot);
    {
        QFile f(QStringLiteral(LEXORA_SAMPLE_DIR "/../xml/MP.xml"));
        f.open(QIODevice::ReadOnly);
        const exchange::LawXml law = exchange::convertLawXml(f.readAll(), QStringLiteral("MP"));
        store::Database db = store::openLawDb(QStringLiteral("民法"));
        store::writeLawParts(db, law.parts);
    }
    int nodes = 0;
    for (auto _ : state) nodes = int(viewer::buildTocTree(QStringLiteral("MP")).nodes.size());
    state.counters["nodes"] = nodes;
    store::Database db = store::openLawDb(QStringLiteral("民法"));
    store::writeLawParts(db, {});  // the other benchmarks read 民法 as before
}
BENCHMARK(BM_TreeContent_MP_Parts)->Unit(benchmark::kMillisecond);

// From the click on the law button to the window painted, the tree built anew each time.
void BM_LawButtonToPaint_KS(benchmark::State& state) {
    Shown shown(gRoot);
    viewer::MDIMain& w = shown.w;
    QPushButton* ks = w.CmdHouten[3];
    for (auto _ : state) {
        ks->click();
        QCoreApplication::processEvents();  // the browser painted
    }
    state.counters["nodes"] = w.browser->TView1->nodeCount();
}
BENCHMARK(BM_LawButtonToPaint_KS)->Unit(benchmark::kMillisecond);

// The main window's search: progress window, every hit listed, the result window filled.
// `gap` is the longest time the window went without handling its events.
void searchInWindow(benchmark::State& state, const QString& root, const QString& words) {
    Shown shown(root);
    viewer::MDIMain& w = shown.w;
    w.TxtJouFindT->setText(words);
    QElapsedTimer since;
    qint64 gap = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { gap = std::max(gap, since.restart()); });
    int hits = 0;
    for (auto _ : state) {
        since.start();
        tick.start(0);
        w.TxtJouFindT_KeyPress(13);
        tick.stop();
        QCoreApplication::processEvents();  // the result painted: what changed on screen
        gap = std::max(gap, since.elapsed());
        hits = w.nowSearch->List1->count();
    }
    state.counters["hits"] = hits;
    state.counters["laws"] = double(viewer::state().HoutenNames.size() - 1);
    state.counters["gap_ms"] = double(gap);
}

void BM_SearchWindow_Seven(benchmark::State& state) {
    searchInWindow(state, gRoot, QStringLiteral("契約 解除"));
}
BENCHMARK(BM_SearchWindow_Seven)->Unit(benchmark::kMillisecond);

// The pieces of the window search: the result pane taking the text, the progress window
// opening.
void BM_ResultPaneText(benchmark::State& state) {
    Shown shown(gRoot);
    viewer::MDIMain& w = shown.w;
    const viewer::SearchResult r =
        viewer::searchAllLaws(viewer::state().HoutenNames.mid(1), QStringLiteral("契約 解除"));
    viewer::FrmFound* found = w.foundWindow();
    for (auto _ : state) {
        found->Rtxt1->setText(QString());
        found->Rtxt1->setText(r.text);
        w.repaint();
    }
}
BENCHMARK(BM_ResultPaneText)->Unit(benchmark::kMillisecond);

void BM_ProgressWindowOpen(benchmark::State& state) {
    useRoot(gRoot);
    viewer::MDIMain w;
    w.resize(1300, 900);
    w.show();
    for (auto _ : state) {
        auto* now = new viewer::FrmNowSearch;
        w.showChild(now);
        platform::bringToFront(now);
        w.repaint();
        platform::unload(now);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_ProgressWindowOpen)->Unit(benchmark::kMillisecond);

// Every law searched: a pair of words with fewer hits than the limit over the 900 laws.
void BM_SearchWindow_900(benchmark::State& state) {
    searchInWindow(state, gScaled, QStringLiteral("催告 解除"));
}
BENCHMARK(BM_SearchWindow_900)->Unit(benchmark::kMillisecond)->Iterations(3);

// The core search alone over the seven laws, no window: headings and the result text built.
void BM_SearchCore_Seven(benchmark::State& state) {
    searchCore(state, gRoot, QStringLiteral("契約 解除"));
}
BENCHMARK(BM_SearchCore_Seven)->Unit(benchmark::kMillisecond);

// The core search alone over the 900 laws, no window.
void BM_SearchCore_900(benchmark::State& state) {
    searchCore(state, gScaled, QStringLiteral("催告 解除"));
}
BENCHMARK(BM_SearchCore_900)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv, [](const QString& base) {
        gRoot = base + QStringLiteral("/seven");
        gScaled = base + QStringLiteral("/scaled");
        bench::importSampleLaws(gRoot);
        prepareScaled(gScaled, gRoot);
    });
}

// The study and checking tools on the seven sample laws: the expanded full text of 会社法 (the
// build alone, and the window's button up to the text in its pane) and the data check over
// every law (the scan alone with its initial settings, and the window listing the 3000-odd
// texts longer than 100 characters).
#include "bench/benchdata.h"
#include "bench/windowbench.h"
#include "platform/prompt.h"
#include "platform/ui/textpane.h"
#include "store/engine.h"
#include "store/lawdb.h"
#include "viewer/browser/refs.h"
#include "viewer/tools/checkdata.h"
#include "viewer/tools/expand.h"
#include "viewer/tools/ui/frmcheckdata.h"
#include "viewer/tools/ui/frmexpand.h"

#include <benchmark/benchmark.h>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

void BM_ExpandFull_KS(benchmark::State& state) {
    qsizetype size = 0;
    for (auto _ : state) {
        const QString text =
            viewer::GetExpandedTextALL(QStringLiteral("KS"), viewer::ExpandMode::Full, false);
        size = text.size();
    }
    state.counters["chars"] = double(size);
}
BENCHMARK(BM_ExpandFull_KS)->Unit(benchmark::kMillisecond);

void BM_ExpandWindow_KS(benchmark::State& state) {
    viewer::FrmExpand window(QStringLiteral("KS"));
    window.show();
    for (auto _ : state) {
        window.CmdMake->click();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ExpandWindow_KS)->Unit(benchmark::kMillisecond);

// The references of one paragraph of 民法 (第13条第1項: ten items, five references), the
// laws' indexes read once before.
void BM_References_MP13(benchmark::State& state) {
    viewer::RefLibrary library;
    store::Database db = store::openLawDb(QStringLiteral("民法"));
    store::Recordset rs =
        db.openRecordset(QStringLiteral("select 条文 from 条文 where 条項コード=?"),
                         store::RecordsetType::Snapshot, {QStringLiteral("MP00130000010100")});
    const QString text = rs.text(QStringLiteral("条文"));
    library.references(QStringLiteral("MP00130000010100"), text);
    qsizetype found = 0;
    for (auto _ : state)
        found = library.references(QStringLiteral("MP00130000010100"), text).size();
    state.counters["refs"] = double(found);
}
BENCHMARK(BM_References_MP13)->Unit(benchmark::kMicrosecond);

void BM_DataCheck_Seven(benchmark::State& state) {
    int hits = 0;
    for (auto _ : state) {
        viewer::CheckRun run;
        viewer::runDataCheck(viewer::CheckMode::String, QStringLiteral("1000"),
                             QStringLiteral("\r\n("), run);
        hits = run.hits;
    }
    state.counters["hits"] = hits;
}
BENCHMARK(BM_DataCheck_Seven)->Unit(benchmark::kMillisecond);

void BM_DataCheckWindow_Seven_Length100(benchmark::State& state) {
    viewer::FrmCheckData window;
    window.show();
    window.Option1[0]->setChecked(true);
    window.TxtChars->setText(QStringLiteral("100"));
    for (auto _ : state) {
        window.CmdListUp->click();
        QCoreApplication::processEvents();
    }
    state.counters["hits"] = window.ListCode->count();
}
BENCHMARK(BM_DataCheckWindow_Seven_Length100)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv, [](const QString& base) {
        bench::importSampleLaws(base + QStringLiteral("/tools"));
    });
}

#include "viewer/shell/ui/frmnowsearch.h"

#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/vb.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/shell/ui/mdimain.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace viewer {

namespace {
constexpr int kLineRole = Qt::UserRole + 1;
}

FrmNowSearch::FrmNowSearch(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmNowSearch"));
    setWindowTitle(QStringLiteral("検索中"));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    LabelHouten = new QLabel(this);
    LabelHouten->setObjectName(QStringLiteral("LabelHouten"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    // One line per hit: rows of one height keep each new hit from laying out all before it.
    List1->setUniformItemSizes(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabelHouten);
    layout->addWidget(List1, 1);
    resize(520, 260);
    platform::connectGuarded(List1, &QListWidget::itemDoubleClicked, this,
                             [this] { List1_DblClick(); });
}

SearchResult FrmNowSearch::runSearch(const QStringList& lawNames, const QString& words) {
    platform::RunState::Scope running(run_);
    sincePump_.start();
    shownHits_ = 0;
    SearchResult r = searchAllLaws(lawNames, words, this);
    showProgress();
    return r;
}

void FrmNowSearch::showFinished(const SearchResult& r) {
    setWindowTitle(QStringLiteral("検索終了"));
    LabelHouten->setText(searchSummaryLine(r));
}

void FrmNowSearch::law(const QString& name) {
    shownLaw_ = name;
    showPending_ = true;
}

void FrmNowSearch::hit(int hits, const QString& name, const QString& line) {
    shownHits_ = hits;
    shownLaw_ = name;
    auto* item = new QListWidgetItem(platform::oneLine(line).trimmed());
    item->setData(kLineRole, line);
    List1->addItem(item);
    showPending_ = true;
}

void FrmNowSearch::showProgress() {
    // Caption, label and the selected last line as of the last hit, brought up to date
    // whenever the window is painted (each pump and at the end): doing it for every hit would
    // lay the window and the list out a thousand times.
    if (!showPending_) return;
    showPending_ = false;
    if (shownHits_ > 0) {
        setWindowTitle(QStringLiteral("検索中...") + QString::number(shownHits_));
        List1->setCurrentRow(List1->count() - 1);
    }
    LabelHouten->setText(shownLaw_);
}

void FrmNowSearch::pump() {
    // Events run after every hit, but the window repaints at most every frame: painting it
    // for each of a thousand hits would cost more than the search itself.
    if (sincePump_.elapsed() < pumpIntervalMs_) return;
    showProgress();
    platform::pumpEvents();
    sincePump_.start();
}

QString FrmNowSearch::lineText(int row) const {
    const QListWidgetItem* item = List1->item(row);
    return item ? item->data(kLineRole).toString() : QString();
}

void FrmNowSearch::List1_DblClick() {
    platform::BusyCursor busy;
    MDIMain* main = MDIMain::instance();
    if (!main || !main->found) return;
    showBlock(main->found->Rtxt1, platform::trimBlanks(lineText(List1->currentRow())));
}

void FrmNowSearch::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        run_.requestStop();
        return;
    }
    QWidget::keyPressEvent(e);
}

void FrmNowSearch::closeEvent(QCloseEvent* e) {
    if (run_.deferClose(e)) return;
    QWidget::closeEvent(e);
}

}  // namespace viewer

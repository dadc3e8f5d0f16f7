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
constexpr int kLineRole = Qt::UserRole + 1;  // the hit's head, as its block in the result
constexpr int kLawRole = Qt::UserRole + 2;
constexpr int kCodeRole = Qt::UserRole + 3;
constexpr int kOffsetRole = Qt::UserRole + 4;  // the block's start in the result text

QListWidgetItem* hitItem(const QString& name, const QString& head, const SearchHit& hit) {
    auto* item = new QListWidgetItem(hitLine(head, hit));
    item->setData(kLineRole, head);
    item->setData(kLawRole, name);
    item->setData(kCodeRole, hit.code);
    item->setData(kOffsetRole, hit.offset);
    return item;
}
}  // namespace

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
    List1->installEventFilter(this);
}

SearchResult FrmNowSearch::runSearch(const QStringList& lawNames, const QString& words,
                                     bool parts) {
    SearchOptions options;
    options.parts = parts;
    return runSearch(lawNames, words, options);
}

SearchResult FrmNowSearch::runSearch(const QStringList& lawNames, const QString& words,
                                     const SearchOptions& options) {
    platform::RunState::Scope running(run_);
    sincePump_.start();
    shownHits_ = 0;
    words_ = words;
    SearchResult r = searchAllLaws(lawNames, words, this, options);
    showProgress();
    return r;
}

void FrmNowSearch::showFinished(const SearchResult& r) {
    // Offsets were counted before the summary line above the blocks was known.
    for (int i = 0; i < List1->count() && i < r.found.size(); ++i)
        List1->item(i)->setData(kOffsetRole, r.found[i].offset);
    setWindowTitle(QStringLiteral("検索終了"));
    LabelHouten->setText(searchSummaryLine(r));
}

void FrmNowSearch::law(const QString& name) {
    shownLaw_ = name;
    showPending_ = true;
}

void FrmNowSearch::indexing(int done, int total, const QString& name) {
    shownLaw_ = QStringLiteral("索引を更新中 %1 / %2: %3").arg(done + 1).arg(total).arg(name);
    showPending_ = true;
}

void FrmNowSearch::hit(int hits, const QString& name, const QString& line, const SearchHit& hit) {
    shownHits_ = hits;
    shownLaw_ = name;
    List1->addItem(hitItem(name, line, hit));
    showPending_ = true;
}

void FrmNowSearch::showLawSearch(const QString& name, const QString& words, const LawSearch& r) {
    words_ = words;
    List1->clear();
    for (int i = 0; i < r.found.size(); ++i) List1->addItem(hitItem(name, r.lines[i], r.found[i]));
    if (List1->count() > 0) List1->setCurrentRow(List1->count() - 1);
    setWindowTitle(QStringLiteral("検索終了"));
    LabelHouten->setText(searchSummary(words, r.hits));
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
    const QListWidgetItem* item = List1->currentItem();
    if (!main || !item) return;
    if (main->found) showBlockAt(main->found->Rtxt1, item->data(kOffsetRole).toInt());
    // The chosen line itself, also when another line has the same text.
    main->openHit(item->data(kLawRole).toString(), item->data(kCodeRole).toString(), words_);
}

bool FrmNowSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            platform::guard([this] { List1_DblClick(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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

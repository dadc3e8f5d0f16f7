#include "viewer/tools/ui/frmhistory.h"

#include "platform/ui/busy.h"
#include "platform/ui/findbar.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "store/lawdb.h"
#include "store/versions.h"
#include "viewer/tools/ui/frmlawdiff.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace viewer {

namespace {
QString markText(char mark) {
    switch (mark) {
        case '+':
            return QStringLiteral("新設");
        case '-':
            return QStringLiteral("削る");
        case 'x':
            return QStringLiteral("削除");
        case '>':
            return QStringLiteral("移動");
        default:
            return QStringLiteral("改正");
    }
}
}  // namespace

FrmHistory::FrmHistory(const QString& law, const QString& code, QWidget* parent)
    : QWidget(parent), name_(store::GetHoutenName(law)), article_(code.left(10).toUpper()) {
    setObjectName(QStringLiteral("FrmHistory"));
    setWindowTitle(QStringLiteral("沿革 - %1 %2").arg(name_, maint::articleLabel(article_)));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    LblArticle = new QLabel(this);
    LblArticle->setObjectName(QStringLiteral("LblArticle"));
    LstSteps = new QTreeWidget(this);
    LstSteps->setObjectName(QStringLiteral("LstSteps"));
    LstSteps->setRootIsDecorated(false);
    LstSteps->setHeaderLabels({QStringLiteral("施行日"), QStringLiteral("改正"),
                               QStringLiteral("版"), QStringLiteral("種別")});
    // The amending law's number in full; the version's name takes what is left.
    LstSteps->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    LstSteps->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    LstSteps->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    TxtChange = new QTextBrowser(this);
    TxtChange->setObjectName(QStringLiteral("TxtChange"));
    platform::FindBar::attach(TxtChange);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(LstSteps);
    split->addWidget(TxtChange);
    split->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblArticle);
    layout->addWidget(split, 1);
    resize(900, 600);
    platform::connectGuarded(LstSteps, &QTreeWidget::currentItemChanged, this, [this] {
        showStep(LstSteps->indexOfTopLevelItem(LstSteps->currentItem()));
    });

    platform::BusyCursor busy;
    steps_ = maint::articleHistory(name_, article_);
    QHash<QString, QString> names{{QStringLiteral("current"), QStringLiteral("現在の条文")}};
    for (const store::LawVersion& v : store::listVersions(name_))
        names.insert(v.id, store::versionName(v));
    for (const maint::HistoryStep& s : steps_) {
        QString change = markText(s.mark);
        if (s.notationOnly) change = QStringLiteral("表記のみ");
        new QTreeWidgetItem(LstSteps,
                            {s.date, s.amendedBy, names.value(s.version, s.version), change});
    }
    LblArticle->setText(steps_.isEmpty()
                            ? QStringLiteral("%1 %2 は、残っている版の間で変わっていません。")
                                  .arg(name_, maint::articleLabel(article_))
                            : QStringLiteral("%1 %2: %3 回の変更（新しい順）")
                                  .arg(name_, maint::articleLabel(article_))
                                  .arg(steps_.size()));
    if (!steps_.isEmpty()) LstSteps->setCurrentItem(LstSteps->topLevelItem(0));
}

void FrmHistory::showStep(int row) {
    if (row < 0 || row >= steps_.size()) return;
    platform::BusyCursor busy;
    const maint::HistoryStep& s = steps_[row];
    const maint::LawText older = maint::readVersionText(name_, s.before);
    const maint::LawText newer = maint::readVersionText(name_, s.version);
    const maint::LawDiff diff = maint::diffLaws(older, newer);
    QList<std::pair<QString, QString>> cells;
    for (const maint::TableRow& r : maint::articleRows(older, newer, diff)) {
        // The article's own row: by its code, or by its label on either side (moved, removed).
        const bool ours = r.code.left(10) == article_ ||
                          (r.older.present && r.older.label == maint::articleLabel(article_)) ||
                          (r.newer.present && r.newer.label == maint::articleLabel(article_));
        if (!ours) continue;
        cells << tableRowHtml(r);
    }
    TxtChange->setHtml(amendmentTableHtml(cells));
}

}  // namespace viewer

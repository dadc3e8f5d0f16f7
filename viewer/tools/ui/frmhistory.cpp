#include "viewer/tools/ui/frmhistory.h"

#include "maint/lawfetch.h"
#include "platform/prompt.h"
#include "platform/ui/busy.h"
#include "platform/ui/findbar.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "store/lawdb.h"
#include "store/versions.h"
#include "viewer/tools/ui/frmlawdiff.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
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
    : QWidget(parent),
      code_(law.toUpper()),
      name_(store::GetHoutenName(law)),
      article_(code.left(10).toUpper()),
      lawId_(maint::lawIdOf(name_)),
      api_(new exchange::LawApi(exchange::lawApiAddress(), this)) {
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
    // The amending law takes what is left (a long title elided, whole in its tip); the
    // version is named by its id, its source being the row's date and law.
    LstSteps->header()->setStretchLastSection(false);
    LstSteps->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    LstSteps->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    LstSteps->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    LstSteps->header()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    TxtChange = new QTextBrowser(this);
    TxtChange->setObjectName(QStringLiteral("TxtChange"));
    platform::FindBar::attach(TxtChange);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(LstSteps);
    split->addWidget(TxtChange);
    split->setStretchFactor(1, 3);
    CmdFetch = new QPushButton(QStringLiteral("足りない版を取得(&F)"), this);
    CmdFetch->setObjectName(QStringLiteral("CmdFetch"));
    CmdFetch->setEnabled(!lawId_.isEmpty());
    if (lawId_.isEmpty()) CmdFetch->setToolTip(maint::noLawIdMessage(name_));
    LblStatus = new QLabel(this);
    LblStatus->setObjectName(QStringLiteral("LblStatus"));
    LblStatus->setWordWrap(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(LblStatus, 1);
    bottom->addWidget(CmdFetch);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblArticle);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);
    resize(900, 600);
    platform::connectGuarded(LstSteps, &QTreeWidget::currentItemChanged, this, [this] {
        showStep(LstSteps->indexOfTopLevelItem(LstSteps->currentItem()));
    });
    platform::connectGuarded(CmdFetch, &QPushButton::clicked, this, [this] { fetchMissing(); });
    load();
}

void FrmHistory::load() {
    platform::BusyCursor busy;
    LstSteps->clear();
    TxtChange->clear();
    steps_ = maint::articleHistory(name_, article_);
    for (const maint::HistoryStep& s : steps_) {
        QString change = markText(s.mark);
        if (s.notationOnly) change = QStringLiteral("表記のみ");
        auto* item = new QTreeWidgetItem(
            LstSteps,
            {s.date, s.amendedBy,
             s.version == QStringLiteral("current") ? QStringLiteral("現在の条文") : s.version,
             change});
        item->setToolTip(1, s.amendedBy);
    }
    LblArticle->setText(steps_.isEmpty()
                            ? QStringLiteral("%1 %2 は、残っている版の間で変わっていません。")
                                  .arg(name_, maint::articleLabel(article_))
                            : QStringLiteral("%1 %2: %3 回の変更（新しい順）")
                                  .arg(name_, maint::articleLabel(article_))
                                  .arg(steps_.size()));
    if (!steps_.isEmpty()) LstSteps->setCurrentItem(LstSteps->topLevelItem(0));
}

void FrmHistory::fetchMissing() {
    if (busy_) {
        stop_ = true;
        LblStatus->setText(QStringLiteral("取得中の版のあとで止めます…"));
        return;
    }
    if (lawId_.isEmpty()) return endFetch(maint::noLawIdMessage(name_));
    busy_ = true;
    stop_ = false;
    kept_ = 0;
    CmdFetch->setText(QStringLiteral("中止(&S)"));
    LblStatus->setText(QStringLiteral("法令APIに改正履歴を問い合わせています…"));
    api_->revisions(lawId_, [this](QList<exchange::ApiRevision> found, exchange::ApiError error) {
        platform::guard([&] {
            if (error) return endFetch(error.text);
            const QStringList here = maint::revisionsKept(name_, found);
            missing_.clear();
            // A revision without a date has no place among the versions yet.
            for (qsizetype i = 0; i < found.size(); ++i)
                if (here.value(i).isEmpty() && !found[i].enforced.isEmpty()) missing_ << found[i];
            if (missing_.isEmpty() || stop_) {
                LblStatus->setText(
                    QStringLiteral("改正履歴の %1 件はすべて手元にあります。").arg(found.size()));
                return endFetch({});
            }
            if (platform::msgBox(QStringLiteral("改正履歴の %1 件のうち %2 件が手元にありません。"
                                                "取得して版として保存しますか？")
                                     .arg(found.size())
                                     .arg(missing_.size()),
                                 platform::Buttons::OkCancel) != platform::Answer::Ok) {
                LblStatus->clear();
                return endFetch({});
            }
            fetchNext();
        });
    });
}

void FrmHistory::fetchNext() {
    if (stop_ || missing_.isEmpty()) {
        load();
        LblStatus->setText(QStringLiteral("%1 件の版を保存しました。").arg(kept_));
        return endFetch(stop_ && !missing_.isEmpty() ? QStringLiteral("中止しました") : QString());
    }
    const exchange::ApiRevision next = missing_.takeFirst();
    LblStatus->setText(QStringLiteral("%1 施行の版を取得しています…（あと %2 件）")
                           .arg(next.enforced)
                           .arg(missing_.size()));
    api_->lawXml(next.revisionId, [this, next](QByteArray xml, exchange::ApiError error) {
        platform::guard([&] {
            QString why = error.text;
            if (!error) {
                platform::BusyCursor busy;
                try {
                    maint::keepRevision(xml, {0, code_, name_}, lawId_, next);
                    ++kept_;
                    return fetchNext();
                } catch (const platform::Error& e) {
                    why = e.description();
                }
            }
            // What was kept stays, and shows.
            load();
            LblStatus->setText(QStringLiteral("%1 件の版を保存しました。%2").arg(kept_).arg(why));
            endFetch(why);
        });
    });
}

void FrmHistory::endFetch(const QString& why) {
    const bool ran = busy_;
    busy_ = false;
    CmdFetch->setText(QStringLiteral("足りない版を取得(&F)"));
    if (!why.isEmpty() && !LblStatus->text().contains(why)) LblStatus->setText(why);
    if (ran) Q_EMIT fetchDone(kept_, why);
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

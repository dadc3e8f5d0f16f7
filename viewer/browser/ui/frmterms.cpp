#include "viewer/browser/ui/frmterms.h"

#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "store/lawdb.h"
#include "store/versions.h"
#include "viewer/browser/display.h"
#include "viewer/shell/ui/mdimain.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace viewer {

namespace {
constexpr int kCodeRole = Qt::UserRole;
}

FrmTerms::FrmTerms(const QString& law, const QString& version, QWidget* parent)
    : QWidget(parent), law_(law.toUpper()), version_(version) {
    setObjectName(QStringLiteral("FrmTerms"));
    const QString name = store::GetHoutenName(law_);
    setWindowTitle(QStringLiteral("用語一覧 - %1").arg(name));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    TxtFilter = new QLineEdit(this);
    TxtFilter->setObjectName(QStringLiteral("TxtFilter"));
    TxtFilter->setPlaceholderText(QStringLiteral("用語で絞り込む"));
    TxtFilter->setClearButtonEnabled(true);
    LstTerms = new QTreeWidget(this);
    LstTerms->setObjectName(QStringLiteral("LstTerms"));
    LstTerms->setRootIsDecorated(false);
    LstTerms->setHeaderLabels(
        {QStringLiteral("用語"), QStringLiteral("定義"), QStringLiteral("範囲")});
    LstTerms->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    LstTerms->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    LblCount = new QLabel(this);
    LblCount->setObjectName(QStringLiteral("LblCount"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TxtFilter);
    layout->addWidget(LstTerms, 1);
    layout->addWidget(LblCount);
    resize(560, 480);
    platform::connectGuarded(TxtFilter, &QLineEdit::textChanged, this,
                             [this](const QString& text) { filter(text); });
    platform::connectGuarded(LstTerms, &QTreeWidget::itemActivated, this,
                             [this](QTreeWidgetItem* item) { open(item); });

    platform::BusyCursor busy;
    store::Database db = store::openLawAt(name, version_);
    terms_ = lawDefinitions(db);
    for (const DefinedTerm& t : terms_) {
        auto* item = new QTreeWidgetItem(
            LstTerms, {t.term, shortNumberOf(t.code),
                       t.scope.isEmpty() ? QStringLiteral("この法律") : t.scope});
        item->setData(0, kCodeRole, t.code);
    }
    filter({});
}

void FrmTerms::filter(const QString& text) {
    const QStringList words =
        text.split(QRegularExpression(QStringLiteral("[ 　]+")), Qt::SkipEmptyParts);
    int shown = 0;
    for (int i = 0; i < LstTerms->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = LstTerms->topLevelItem(i);
        bool all = true;
        for (const QString& w : words)
            all = all && (item->text(0).contains(w) || item->text(2).contains(w));
        item->setHidden(!all);
        shown += all ? 1 : 0;
    }
    LblCount->setText(QStringLiteral("%1 / %2 語").arg(shown).arg(LstTerms->topLevelItemCount()));
}

bool FrmTerms::open(QTreeWidgetItem* item) {
    const QString code = item ? item->data(0, kCodeRole).toString() : QString();
    MDIMain* main = MDIMain::instance();
    if (code.isEmpty() || !main) return false;
    // The one way a place opens: the law's browser (or the version's), loaded when needed.
    return main->openHit(store::GetHoutenName(law_), code, {}, version_);
}

}  // namespace viewer

#include "viewer/browser/ui/frmcitedby.h"

#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/vb.h"
#include "store/codes.h"
#include "store/lawdb.h"
#include "viewer/browser/display.h"
#include "viewer/browser/lawtree.h"
#include "viewer/browser/refs.h"
#include "viewer/shell/ui/mdimain.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace viewer {

namespace {
constexpr int kCodeRole = Qt::UserRole;
constexpr int kLawRole = Qt::UserRole + 1;
constexpr int kExcerpt = 60;  // the citing text's first characters shown in the list
// Laws to read into the index before a progress is shown.
constexpr int kQuietLaws = 3;

// The citing text as rich text, the reference underlined (positions in code points).
QString tipOf(const QString& text, const Citation& c) {
    const QList<uint> points = text.toUcs4();
    auto part = [&](int from, int to) {
        const int a = std::clamp(from, 0, int(points.size()));
        const int b = std::clamp(to, a, int(points.size()));
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()) + a, b - a)
            .toHtmlEscaped()
            .replace(QStringLiteral("\r\n"), QStringLiteral("<br>"))
            .replace(u'\n', QStringLiteral("<br>"));
    };
    return QStringLiteral("<p>%1<u><b>%2</b></u>%3</p>")
        .arg(part(0, c.start), part(c.start, c.start + c.length),
             part(c.start + c.length, int(points.size())));
}
}  // namespace

QString citedByNote(int count, int stale) {
    if (count == 0 && stale == 0) return QStringLiteral("参照元 なし");
    return QStringLiteral("参照元 %1%2")
        .arg(count)
        .arg(stale > 0 ? QStringLiteral(" 以上") : QString());
}

FrmCitedBy::FrmCitedBy(const QString& law, const QString& key, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmCitedBy"));
    const QString name = store::GetHoutenName(law);
    const QString place = store::GetJouKouText(key.left(10)) +
                          (key.size() == 16 && key.mid(10, 6) != QStringLiteral("010000")
                               ? u' ' + store::GetJouKouText(key)
                               : QString());
    setWindowTitle(QStringLiteral("参照元 - %1 %2").arg(name, place));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    LblTarget = new QLabel(this);
    LblTarget->setObjectName(QStringLiteral("LblTarget"));
    LstCiting = new QTreeWidget(this);
    LstCiting->setObjectName(QStringLiteral("LstCiting"));
    LstCiting->setHeaderLabels({QStringLiteral("条項"), QStringLiteral("本文")});
    LstCiting->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblTarget);
    layout->addWidget(LstCiting, 1);
    resize(760, 420);
    platform::connectGuarded(LstCiting, &QTreeWidget::itemActivated, this,
                             [this](QTreeWidgetItem* item) { open(item); });
    platform::connectGuarded(LstCiting, &QTreeWidget::itemClicked, this,
                             [this](QTreeWidgetItem* item) { open(item); });

    platform::BusyCursor busy;
    CitationIndex index;
    const int stale = index.staleCount();
    if (stale > kQuietLaws) {
        // The first look after many laws came in reads them all: said, and stoppable.
        QProgressDialog progress(QStringLiteral("参照元の索引を更新しています…"),
                                 QStringLiteral("中止"), 0, stale, this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        index.refresh(0, [&](int done, int total, const QString& lawName) {
            progress.setMaximum(total);
            progress.setValue(done);
            progress.setLabelText(QStringLiteral("参照元の索引を更新しています… %1").arg(lawName));
            return !progress.wasCanceled();
        });
    } else {
        index.refresh();
    }
    citations_ = citingProvisions(index.citing(key));  // a provision once, its first reference
    RefLibrary library;
    QTreeWidgetItem* group = nullptr;
    for (const Citation& c : citations_) {
        const QString citingName = store::GetHoutenName(c.law);
        if (!group || group->data(0, kLawRole).toString() != c.law) {
            group = new QTreeWidgetItem(LstCiting, {citingName});
            group->setData(0, kLawRole, c.law);
            group->setExpanded(true);
        }
        QString label = c.code;
        if (c.code.size() == 16)
            if (const LawIndex* citing = library.index(c.law))
                label = shortTarget(*citing, c.code.mid(2, 8), c.code.mid(10, 2).toInt());
        const QString text = citationText(c);
        const QString line = platform::oneLine(text);
        auto* item = new QTreeWidgetItem(
            group, {label, line.left(kExcerpt) +
                               (line.size() > kExcerpt ? QStringLiteral("…") : QString())});
        item->setData(0, kCodeRole, c.code);
        item->setData(0, kLawRole, c.law);
        item->setToolTip(1, tipOf(text, c));
        item->setToolTip(0, item->toolTip(1));
    }
    for (int i = 0; i < LstCiting->topLevelItemCount(); ++i) {
        QTreeWidgetItem* g = LstCiting->topLevelItem(i);
        g->setText(0, QStringLiteral("%1（%2）").arg(g->text(0)).arg(g->childCount()));
    }
    LblTarget->setText(
        citations_.isEmpty()
            ? QStringLiteral("%1 %2 を参照している条項はありません。").arg(name, place)
            : QStringLiteral("%1 %2 を参照している条項: %3 件")
                  .arg(name, place)
                  .arg(citations_.size()));
}

bool FrmCitedBy::open(QTreeWidgetItem* item) {
    const QString code = item ? item->data(0, kCodeRole).toString() : QString();
    MDIMain* main = MDIMain::instance();
    if (code.isEmpty() || !main) return false;
    return main->openHit(store::GetHoutenName(item->data(0, kLawRole).toString()), code, {});
}

}  // namespace viewer

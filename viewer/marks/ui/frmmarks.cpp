#include "viewer/marks/ui/frmmarks.h"

#include "platform/error.h"
#include "platform/prompt.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/sound.h"
#include "store/codes.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "viewer/shell/ui/mdimain.h"

#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace viewer {

namespace {
const char* const kColourNames[] = {"下線", "黄", "桃", "緑", "青", "橙", "紫"};
}

QList<platform::TextPane::Tint> markerTints(const QList<Marker>& markers,
                                            const QList<ShownParagraph>& shown) {
    QList<platform::TextPane::Tint> tints;
    for (const MarkSpan& s : markerSpans(markers, shown))
        tints << platform::TextPane::Tint{s.start, s.length, markerColour(s.colour), s.colour == 0,
                                          s.note};
    return tints;
}

void tintWholeLaw(platform::TextPane* pane, const QString& law) {
    UserData data;
    if (data.markers(law).isEmpty()) return;
    const QList<Marker> markers = refreshMarkers(data, law);
    pane->setTints(markerTints(markers, locateShown(markableParagraphs(law), pane->toPlainText())));
}

FrmMarks::FrmMarks(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmMarks"));
    setWindowTitle(QStringLiteral("マーカー・しおり一覧"));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    CboLaw = new QComboBox(this);
    CboLaw->setObjectName(QStringLiteral("CboLaw"));
    CboColour = new QComboBox(this);
    CboColour->setObjectName(QStringLiteral("CboColour"));
    CboColour->addItem(QStringLiteral("すべての色"), -1);
    for (int c = 1; c <= 6; ++c)
        CboColour->addItem(QStringLiteral("%1 %2").arg(c).arg(QString::fromUtf8(kColourNames[c])),
                           c);
    CboColour->addItem(QStringLiteral("0 %1").arg(QString::fromUtf8(kColourNames[0])), 0);
    CboState = new QComboBox(this);
    CboState->setObjectName(QStringLiteral("CboState"));
    for (const QString& s :
         {QString(), QStringLiteral("ok"), QStringLiteral("moved"), QStringLiteral("lost")})
        CboState->addItem(s.isEmpty() ? QStringLiteral("すべての状態") : s, s);
    TxtWords = new QLineEdit(this);
    TxtWords->setObjectName(QStringLiteral("TxtWords"));
    TxtWords->setPlaceholderText(QStringLiteral("本文・メモの語"));
    List1 = new QTreeWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setRootIsDecorated(false);
    List1->setHeaderLabels({QStringLiteral("種類"), QStringLiteral("場所"), QStringLiteral("色"),
                            QStringLiteral("状態"), QStringLiteral("本文"),
                            QStringLiteral("メモ")});
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    CmdRemove = new QPushButton(QStringLiteral("削除"), this);
    CmdRemove->setObjectName(QStringLiteral("CmdRemove"));
    CmdExport = new QPushButton(QStringLiteral("書き出し…"), this);
    CmdExport->setObjectName(QStringLiteral("CmdExport"));
    CmdImport = new QPushButton(QStringLiteral("読み込み…"), this);
    CmdImport->setObjectName(QStringLiteral("CmdImport"));

    auto* filters = new QHBoxLayout;
    filters->addWidget(CboLaw);
    filters->addWidget(CboColour);
    filters->addWidget(CboState);
    filters->addWidget(TxtWords, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CmdRemove);
    buttons->addStretch(1);
    buttons->addWidget(CmdExport);
    buttons->addWidget(CmdImport);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(List1, 1);
    layout->addLayout(buttons);
    resize(720, 420);

    const auto again = [this] { refresh(); };
    platform::connectGuarded(CboLaw, &QComboBox::currentIndexChanged, this, again);
    platform::connectGuarded(CboColour, &QComboBox::currentIndexChanged, this, again);
    platform::connectGuarded(CboState, &QComboBox::currentIndexChanged, this, again);
    platform::connectGuarded(TxtWords, &QLineEdit::textChanged, this, again);
    platform::connectGuarded(
        List1, &QTreeWidget::itemDoubleClicked, this,
        [this](QTreeWidgetItem* item) { openRow(List1->indexOfTopLevelItem(item)); });
    platform::connectGuarded(CmdRemove, &QPushButton::clicked, this, [this] { removeSelected(); });
    platform::connectGuarded(CmdExport, &QPushButton::clicked, this, [this] { exportTo(); });
    platform::connectGuarded(CmdImport, &QPushButton::clicked, this, [this] { importFrom(); });
    platform::guard([this] {
        data_ = std::make_unique<UserData>();
        refresh();
    });
}

FrmMarks::~FrmMarks() = default;

void FrmMarks::refresh() {
    if (!data_) return;
    platform::BusyCursor busy;
    // The laws to choose from: those the reader has something in.
    const QString chosen = CboLaw->currentData().toString();
    QStringList laws;
    for (const Marker& m : data_->markers())
        if (!laws.contains(m.law.toUpper())) laws << m.law.toUpper();
    for (const Bookmark& b : data_->bookmarks())
        if (!laws.contains(b.law.toUpper())) laws << b.law.toUpper();
    {
        const QSignalBlocker quiet(CboLaw);
        CboLaw->clear();
        CboLaw->addItem(QStringLiteral("すべての法令"), QString());
        for (const QString& law : laws) {
            const QString name = store::GetHoutenName(law);
            CboLaw->addItem(name.isEmpty() ? law : law + u' ' + name, law);
        }
        CboLaw->setCurrentIndex(std::max(0, CboLaw->findData(chosen)));
    }
    rows_ = markRows(*data_, {CboLaw->currentData().toString(), CboColour->currentData().toInt(),
                              CboState->currentData().toString(), TxtWords->text()});
    List1->clear();
    for (const MarkRow& r : rows_)
        new QTreeWidgetItem(
            List1,
            {r.bookmark ? QStringLiteral("しおり") : QStringLiteral("マーカー"), r.shownPlace,
             r.bookmark ? QString() : QString::fromUtf8(kColourNames[std::clamp(r.colour, 0, 6)]),
             r.state, QString(r.text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")),
             r.note});
    List1->header()->resizeSections(QHeaderView::ResizeToContents);
}

bool FrmMarks::openRow(int row) {
    if (row < 0 || row >= rows_.size()) return false;
    const auto [law, key] = rowNode(rows_[row]);
    MDIMain* main = MDIMain::instance();
    if (key.isEmpty() || !main) {
        platform::beep();
        return false;
    }
    return main->openHit(store::GetHoutenName(law), key, {});
}

void FrmMarks::removeSelected() {
    if (!data_) return;
    for (QTreeWidgetItem* item : List1->selectedItems()) {
        const MarkRow& r = rows_.value(List1->indexOfTopLevelItem(item));
        r.bookmark ? data_->removeBookmark(r.id) : data_->removeMarker(r.id);
    }
    refresh();
}

void FrmMarks::exportTo() {
    if (!data_) return;
    QString filter = QStringLiteral("JSON (*.json)");
    const QString path = platform::saveFileBox(
        QStringLiteral("マーカーとしおりの書き出し"),
        store::joinPath(store::folders().out, QStringLiteral("markers.json")), {filter}, &filter);
    if (path.isEmpty()) return;
    QFile f(path);
    const QByteArray json = data_->exportJson();
    if (!f.open(QIODevice::WriteOnly) || f.write(json) != json.size())
        throw platform::Error(
            QStringLiteral("%1 に書き出せません。(%2)").arg(path, f.errorString()));
    platform::msgBox(QStringLiteral("%1 に書き出しました。").arg(path));
}

void FrmMarks::importFrom() {
    if (!data_) return;
    const QString path = platform::inputBox(QStringLiteral("読み込むファイル（書き出した JSON）"));
    if (path.isEmpty()) return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw platform::Error(QStringLiteral("%1 を開けません。(%2)").arg(path, f.errorString()));
    const ImportCount n = data_->importJson(f.readAll());
    refresh();
    platform::msgBox(
        QStringLiteral("マーカー %1、しおり %2 を読み込みました（%3 はすでにありました）。")
            .arg(n.markers)
            .arg(n.bookmarks)
            .arg(n.present));
}

}  // namespace viewer

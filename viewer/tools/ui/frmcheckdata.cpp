#include "viewer/tools/ui/frmcheckdata.h"

#include "platform/prompt.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/mdi.h"
#include "platform/ui/sound.h"
#include "platform/ui/textpane.h"
#include "platform/ui/twips.h"
#include "platform/vb.h"
#include "store/codes.h"
#include "store/lawdb.h"
#include "viewer/shell/ui/mdimain.h"
#include "viewer/tools/checkdata.h"
#include "viewer/tools/ui/frmrcl.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>

namespace viewer {

namespace {
constexpr int kTextRole = Qt::UserRole + 1;  // the summary line with its line breaks
constexpr int kCodeRole = Qt::UserRole + 2;  // the hit's 条項コード
const QString kCaption = QStringLiteral("データチェック");
}  // namespace

FrmCheckData::FrmCheckData(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmCheckData"));
    setWindowTitle(kCaption);
    setFont(platform::japaneseFont(platform::kGothic, 10));
    // Each option says what it checks (the description leaves two without a word).
    for (const QString& caption :
         {QStringLiteral("条文の長さ"), QStringLiteral("二重改行"), QStringLiteral("文字列")}) {
        auto* option = new QRadioButton(caption, this);
        option->setObjectName(QStringLiteral("Option1_%1").arg(Option1.size()));
        Option1 << option;
    }
    Option1[2]->setChecked(true);
    TxtChars = new QLineEdit(QStringLiteral("1000"), this);
    TxtChars->setObjectName(QStringLiteral("TxtChars"));
    TxtChars->setFixedWidth(70);
    Label1 = new QLabel(QStringLiteral("文字以上"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    TxtStr = new platform::TextPane(this);
    TxtStr->setObjectName(QStringLiteral("TxtStr"));
    TxtStr->setFixedHeight(48);
    TxtStr->setText(QStringLiteral("\r\n("));
    CmdListUp = new QPushButton(QStringLiteral("リストアップ"), this);
    CmdListUp->setObjectName(QStringLiteral("CmdListUp"));
    ListCode = new QListWidget(this);
    ListCode->setObjectName(QStringLiteral("ListCode"));
    ListCode->setUniformItemSizes(true);
    ListJoubun = new QListWidget(this);
    ListJoubun->setObjectName(QStringLiteral("ListJoubun"));
    ListJoubun->setUniformItemSizes(true);
    Rtxt1 = new platform::TextPane(this);
    Rtxt1->setObjectName(QStringLiteral("Rtxt1"));
    Rtxt1->setReadOnly(true);
    Rtxt1->setFontName(platform::kMincho);
    Rtxt1->setFontSize(11);

    auto* options = new QGridLayout;
    options->addWidget(Option1[0], 0, 0);
    auto* length = new QHBoxLayout;
    length->addWidget(TxtChars);
    length->addWidget(Label1);
    length->addStretch(1);
    options->addLayout(length, 0, 1);
    options->addWidget(Option1[1], 1, 0, 1, 2);
    options->addWidget(Option1[2], 2, 0, Qt::AlignTop);
    options->addWidget(TxtStr, 2, 1);
    options->addWidget(CmdListUp, 0, 2, 3, 1, Qt::AlignTop);
    options->setColumnStretch(1, 1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(ListCode, 1);
    lists->addWidget(ListJoubun, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addLayout(lists, 3);
    layout->addWidget(Rtxt1, 1);
    resize(720, 520);

    platform::connectGuarded(CmdListUp, &QPushButton::clicked, this, [this] { CmdListUp_Click(); });
    // A line chosen by the mouse or the keys acts as the list's click did.
    platform::connectGuarded(ListCode, &QListWidget::currentRowChanged, this,
                             [this] { ListCode_Click(); });
    platform::connectGuarded(ListJoubun, &QListWidget::currentRowChanged, this,
                             [this] { ListJoubun_Click(); });
    platform::connectGuarded(ListCode, &QListWidget::itemDoubleClicked, this,
                             [this] { ListCode_DblClick(); });
    platform::connectGuarded(ListJoubun, &QListWidget::itemDoubleClicked, this,
                             [this] { ListJoubun_DblClick(); });
    ListCode->installEventFilter(this);
    ListJoubun->installEventFilter(this);
}

void FrmCheckData::Form_Load() {
    const QRect g = platform::geometryTwips(this);
    platform::setGeometryTwips(this, 200, 200, g.width(), g.height());
}

void FrmCheckData::CmdListUp_Click() {
    // The scan lets events in; a second press meanwhile would interleave two scans.
    if (run_.running()) {
        platform::beep();
        return;
    }
    platform::RunState::Scope running(run_);
    CheckMode mode = CheckMode::String;
    if (Option1[0]->isChecked()) mode = CheckMode::Length;
    if (Option1[1]->isChecked()) mode = CheckMode::EmptyLine;
    const QString chars = TxtChars->text();
    const QString str = TxtStr->text();

    platform::BusyCursor busy;
    platform::FramePump pump;
    QElapsedTimer sinceCaption;
    sinceCaption.start();
    CheckRun run;
    // Each hit is chosen in both lists and shown in the pane, and the caption follows every
    // record; as the reader sees them only when events run, they are set then, once a
    // frame (choosing a line costs more than reading a record).
    auto show = [&](int hits, int record) {
        if (sinceCaption.elapsed() < 16) return;
        sinceCaption.restart();
        selectLastHit();
        showCount(hits, record);
        pump();
    };
    run.onHit = [&](const QString& code, const QString& summary) {
        addHit(code, summary);
        show(run.hits, run.record);
    };
    run.onRecord = show;
    run.stop = [this] { return run_.stopRequested(); };
    run.confirmRepair = [](int records, int laws) {
        return platform::msgBox(
                   QStringLiteral(
                       "%1 法典の条文 %2 件を書き換えます。元には戻せないため、書き換える"
                       "前に各法典のデータベースを %3 に保存します。よろしいですか？")
                       .arg(laws)
                       .arg(records)
                       .arg(store::backupFolder()),
                   platform::Buttons::YesNo) == platform::Answer::Yes;
    };
    const bool repairing = str == kCorrectWord && mode != CheckMode::Length;
    run.onStart = [this] {
        lawNames_.clear();  // read again for this scan
        ListCode->clear();
        ListJoubun->clear();
    };
    // What was listed and skipped is shown even when a law's database fails half-way.
    auto finish = [&] {
        selectLastHit();
        showCount(run.hits, run.record);
        if (!run.skipped.isEmpty())
            platform::msgBox(
                QStringLiteral("次の法典はデータベースがないため調べませんでした。\r\n") +
                run.skipped.join(QStringLiteral("\r\n")));
        if (!run.notBackedUp.isEmpty())
            platform::msgBox(QStringLiteral("次の法典はデータベースを保存できなかったため、"
                                            "修復しませんでした。\r\n") +
                             run.notBackedUp.join(QStringLiteral("\r\n")));
        if (!run.backups.isEmpty())
            platform::msgBox(QStringLiteral("%1 件の条文を修復しました。修復前のデータベースを "
                                            "%2 に保存しました。")
                                 .arg(run.repaired)
                                 .arg(store::backupFolder()));
        else if (repairing && !run.declined && run.notBackedUp.isEmpty() && !run.stopped)
            platform::msgBox(QStringLiteral("修復する条文はありませんでした。"));
    };
    bool scanned = false;
    try {
        scanned = runDataCheck(mode, chars, str, run);
    } catch (...) {
        finish();
        throw;
    }
    if (scanned) finish();
}

void FrmCheckData::addHit(const QString& code, const QString& summary) {
    // The code with the law's name and the article, so the reader knows the hit at a glance.
    if (lawNames_.isEmpty())
        for (const store::LawEntry& law : store::readLawList())
            lawNames_.insert(law.code.toUpper(), law.name);
    QString label = code;
    platform::guard([&] {
        QString paragraph;
        store::GetKouHeader(code.mid(10, 4), paragraph);
        label += QStringLiteral("　") + lawNames_.value(code.left(2).toUpper()) + u' ' +
                 store::GetJouKouText(code.left(10)) + paragraph;
    });
    auto* codeItem = new QListWidgetItem(label);
    codeItem->setData(kCodeRole, code);
    ListCode->addItem(codeItem);
    auto* item = new QListWidgetItem(platform::oneLine(summary));
    item->setData(kTextRole, summary);
    ListJoubun->addItem(item);
}

void FrmCheckData::selectLastHit() {
    if (ListCode->count() == 0) return;
    ListCode->setCurrentRow(ListCode->count() - 1);
    ListJoubun->setCurrentRow(ListCode->currentRow());
    ListJoubun_Click();  // also when the row was chosen already
}

void FrmCheckData::showCount(int hits, int record) {
    setWindowTitle(kCaption + QStringLiteral(" %1 - %2").arg(hits).arg(record));
}

void FrmCheckData::ListCode_Click() {
    ListJoubun->setCurrentRow(ListCode->currentRow());
}

void FrmCheckData::ListJoubun_Click() {
    ListCode->setCurrentRow(ListJoubun->currentRow());
    const QListWidgetItem* item = ListJoubun->currentItem();
    Rtxt1->setText(item ? item->data(kTextRole).toString() : QString());
}

void FrmCheckData::ListCode_DblClick() {
    const QListWidgetItem* item = ListCode->currentItem();
    MDIMain* main = MDIMain::instance();
    if (!item || !main) return;
    const QString code = item->data(kCodeRole).toString();
    FrmRCL* correction = main->correctionWindow(false);
    correction->curHCodeR = code.left(2);
    correction->SetJou(code);
    platform::bringToFront(correction);
    correction->Rtxt1->setFocus();
}

void FrmCheckData::ListJoubun_DblClick() {
    ListCode->setCurrentRow(ListJoubun->currentRow());
    ListCode_DblClick();
}

void FrmCheckData::closeEvent(QCloseEvent* e) {
    if (run_.deferClose(e)) return;
    QWidget::closeEvent(e);
}

bool FrmCheckData::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            platform::guard([&] {
                if (watched == ListCode)
                    ListCode_DblClick();
                else
                    ListJoubun_DblClick();
            });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace viewer

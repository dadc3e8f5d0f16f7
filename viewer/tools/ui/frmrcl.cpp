#include "viewer/tools/ui/frmrcl.h"

#include "platform/error.h"
#include "platform/prompt.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/textpane.h"
#include "viewer/tools/correction.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace viewer {

FrmRCL::FrmRCL(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmRCL"));
    setWindowTitle(QStringLiteral("条文修正"));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    TxtJK = new platform::TextPane(this);
    TxtJK->setObjectName(QStringLiteral("TxtJK"));
    TxtJK->setReadOnly(true);
    TxtJK->setFixedHeight(64);
    TxtCode = new QLineEdit(this);
    TxtCode->setObjectName(QStringLiteral("TxtCode"));
    TxtJoubun = new platform::TextPane(this);
    TxtJoubun->setObjectName(QStringLiteral("TxtJoubun"));
    TxtJoubun->setReadOnly(true);
    Rtxt1 = new platform::TextPane(this);
    Rtxt1->setObjectName(QStringLiteral("Rtxt1"));
    Rtxt1->setFontName(platform::kMincho);
    Rtxt1->setFontSize(12);
    CmdReg = new QPushButton(QStringLiteral("上書き保存"), this);
    CmdReg->setObjectName(QStringLiteral("CmdReg"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(TxtJK, 0, 0, 1, 2);
    layout->addWidget(TxtCode, 1, 0);
    layout->addWidget(CmdReg, 1, 1);
    layout->addWidget(TxtJoubun, 2, 0, 1, 2);
    layout->addWidget(Rtxt1, 3, 0, 1, 2);
    layout->setRowStretch(2, 1);
    layout->setRowStretch(3, 2);
    resize(640, 480);

    platform::connectGuarded(CmdReg, &QPushButton::clicked, this, [this] { CmdReg_Click(); });
    // Esc anywhere in the window closes it.
    for (QWidget* w : {static_cast<QWidget*>(TxtJK), static_cast<QWidget*>(TxtCode),
                       static_cast<QWidget*>(TxtJoubun), static_cast<QWidget*>(Rtxt1),
                       static_cast<QWidget*>(CmdReg)})
        w->installEventFilter(this);
}

void FrmRCL::SetJou(const QString& code) {
    platform::BusyCursor busy;
    const std::optional<CorrectionRecord> r = loadCorrection(curHCodeR, code);
    if (!r) return;
    TxtJK->setText(r->head);
    TxtCode->setText(code);
    TxtJoubun->setText(r->text);
    Rtxt1->setText(r->text);
}

void FrmRCL::CmdReg_Click() {
    const QString text = correctionText(Rtxt1->text());
    if (text.isEmpty()) return;
    if (platform::msgBox(
            QStringLiteral("条文を修正登録します。\r\n\r\n--") + text + QStringLiteral("--"),
            platform::Buttons::OkCancel) == platform::Answer::Cancel)
        return;
    const QString code = TxtCode->text();
    CorrectionSave saved = CorrectionSave::Empty;
    CmdReg->setEnabled(false);
    try {
        saved = saveCorrection(curHCodeR, code, text);
    } catch (...) {
        CmdReg->setEnabled(true);
        platform::msgBox(QStringLiteral("条文を保存できませんでした。\r\n") +
                         platform::describeCurrentException());
        return;
    }
    CmdReg->setEnabled(true);
    if (saved == CorrectionSave::NoRecord)
        platform::msgBox(
            QStringLiteral("条項コード %1 の条文がないため、保存しませんでした。").arg(code));
}

bool FrmRCL::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace viewer

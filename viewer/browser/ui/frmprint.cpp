#include "viewer/browser/ui/frmprint.h"

#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/mdi.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace viewer {

FrmPrint::FrmPrint(bool selection, bool entry, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmPrint"));
    setWindowTitle(QStringLiteral("印刷"));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    auto* what = new QGroupBox(QStringLiteral("印刷する範囲"), this);
    OptShown = new QRadioButton(QStringLiteral("表示中の条文"), what);
    OptShown->setObjectName(QStringLiteral("OptShown"));
    OptSelection = new QRadioButton(QStringLiteral("選択した部分"), what);
    OptSelection->setObjectName(QStringLiteral("OptSelection"));
    OptSelection->setEnabled(selection);
    OptEntry = new QRadioButton(QStringLiteral("選んだ見出しの下すべて"), what);
    OptEntry->setObjectName(QStringLiteral("OptEntry"));
    OptEntry->setEnabled(entry);
    OptWhole = new QRadioButton(QStringLiteral("法令全体"), what);
    OptWhole->setObjectName(QStringLiteral("OptWhole"));
    // A selection is what the reader meant to print when there is one.
    (selection ? OptSelection : OptShown)->setChecked(true);
    auto* options = new QVBoxLayout(what);
    for (QRadioButton* o : {OptShown, OptSelection, OptEntry, OptWhole}) options->addWidget(o);
    ChkMarks = platform::keptCheckBox(
        this, QStringLiteral("ChkMarks"), QStringLiteral("マーカーとメモも印刷する"),
        QStringLiteral("LXA"), QStringLiteral("VIEW"), QStringLiteral("PRINTMARKS"));
    CmdPrint = new QPushButton(QStringLiteral("印刷(&P)…"), this);
    CmdPrint->setObjectName(QStringLiteral("CmdPrint"));
    CmdPrint->setDefault(true);
    CmdPdf = new QPushButton(QStringLiteral("PDF に保存(&D)…"), this);
    CmdPdf->setObjectName(QStringLiteral("CmdPdf"));
    CmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdPrint);
    buttons->addWidget(CmdPdf);
    buttons->addWidget(CmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addWidget(ChkMarks);
    layout->addLayout(buttons);
    // The window closes first: the print dialog or the file box then stands alone.
    platform::connectGuarded(CmdPrint, &QPushButton::clicked, this, [this] {
        accept();
        Q_EMIT printChosen(range(), ChkMarks->isChecked());
    });
    platform::connectGuarded(CmdPdf, &QPushButton::clicked, this, [this] {
        accept();
        Q_EMIT pdfChosen(range(), ChkMarks->isChecked());
    });
    platform::connectGuarded(CmdCancel, &QPushButton::clicked, this, [this] { reject(); });
}

QPrinter* askPrinter(QWidget* parent, QPrinter& chosen, QPrinter* given) {
    if (given) return given;
    QPrintDialog dialog(&chosen, parent);
    dialog.setWindowTitle(QStringLiteral("印刷"));
    return dialog.exec() == QDialog::Accepted ? &chosen : nullptr;
}

PrintRange FrmPrint::range() const {
    if (OptSelection->isChecked()) return PrintRange::Selection;
    if (OptEntry->isChecked()) return PrintRange::Entry;
    if (OptWhole->isChecked()) return PrintRange::WholeLaw;
    return PrintRange::Shown;
}

}  // namespace viewer

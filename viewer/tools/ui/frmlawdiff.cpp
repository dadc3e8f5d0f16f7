#include "viewer/tools/ui/frmlawdiff.h"

#include "viewer/browser/ui/frmprint.h"
#include "viewer/print/pdf.h"

#include "viewer/browser/lawtree.h"

#include "platform/error.h"
#include "platform/prompt.h"
#include "platform/ui/busy.h"
#include "platform/ui/findbar.h"
#include "platform/ui/guard.h"
#include "store/codes.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "store/versions.h"
#include "viewer/shell/ui/mdimain.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <memory>

namespace viewer {

namespace {

// The runs of one side: the shared text, and the side's own changes underlined in colour.
QString sideHtml(const QList<maint::TextRun>& runs, maint::TextRun::Kind own) {
    const QString style = own == maint::TextRun::Added
                              ? QStringLiteral("color:#0040c0; text-decoration:underline;")
                              : QStringLiteral("color:#c00020; text-decoration:underline;");
    QString html;
    for (const maint::TextRun& r : runs) {
        if (r.kind == maint::TextRun::Same)
            html += r.text.toHtmlEscaped();
        else if (r.kind == own)
            html +=
                QStringLiteral("<span style=\"%1\">%2</span>").arg(style, r.text.toHtmlEscaped());
    }
    return html;
}

}  // namespace

std::pair<QString, QString> tableRowHtml(const maint::TableRow& r) {
    auto side = [](const maint::TableSide& s, maint::TextRun::Kind own) {
        QString head = s.label.toHtmlEscaped();
        if (!s.caption.isEmpty()) head += u'（' + sideHtml(s.caption, own) + u'）';
        if (!s.note.isEmpty()) head += QStringLiteral(" <i>%1</i>").arg(s.note.toHtmlEscaped());
        QString out = QStringLiteral("<b>%1</b>").arg(head);
        for (const maint::TableSide::Paragraph& p : s.paragraphs)
            out += QStringLiteral("<br>") + p.mark.toHtmlEscaped() +
                   sideHtml(p.runs, own).replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
        return out;
    };
    return {r.newer.present ? side(r.newer, maint::TextRun::Added) : QStringLiteral("（削る）"),
            r.older.present ? side(r.older, maint::TextRun::Removed) : QStringLiteral("（新設）")};
}

QString amendmentTableHtml(const QList<std::pair<QString, QString>>& rows) {
    QString html = QStringLiteral(
        "<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\">"
        "<tr><th width=\"50%\">改正後</th><th width=\"50%\">改正前</th></tr>");
    // Blanks as the statute writes them: HTML would fold the ideographic space.
    for (const auto& [newer, older] : rows)
        html += QStringLiteral(
                    "<tr><td valign=\"top\" style=\"white-space:pre-wrap\">%1</td>"
                    "<td valign=\"top\" style=\"white-space:pre-wrap\">%2</td></tr>")
                    .arg(newer, older);
    return html + QStringLiteral("</table>");
}

FrmLawDiff::FrmLawDiff(const QString& law, QWidget* parent)
    : QWidget(parent), code_(law), name_(store::GetHoutenName(law)) {
    setObjectName(QStringLiteral("FrmLawDiff"));
    setWindowTitle(QStringLiteral("改正比較 - ") + name_);
    CboFrom = new QComboBox(this);
    CboFrom->setObjectName(QStringLiteral("CboFrom"));
    CboTo = new QComboBox(this);
    CboTo->setObjectName(QStringLiteral("CboTo"));
    CboTo->addItem(QStringLiteral("現在の条文"), QString());
    const QList<store::LawVersion> versions = store::listVersions(name_);
    for (auto it = versions.rbegin(); it != versions.rend(); ++it) {
        CboFrom->addItem(store::versionName(*it), it->id);
        CboTo->addItem(store::versionName(*it), it->id);
    }
    LblCount = new QLabel(this);
    LblCount->setObjectName(QStringLiteral("LblCount"));
    TxtTable = new QTextBrowser(this);
    TxtTable->setObjectName(QStringLiteral("TxtTable"));
    platform::FindBar::attach(TxtTable);  // Ctrl+F: find in the table
    TxtTable->setOpenLinks(false);
    TxtTable->viewport()->installEventFilter(this);

    CmdPrint = new QPushButton(QStringLiteral("印刷(&P)…"), this);
    CmdPrint->setObjectName(QStringLiteral("CmdPrint"));
    CmdPdf = new QPushButton(QStringLiteral("PDF に保存(&D)…"), this);
    CmdPdf->setObjectName(QStringLiteral("CmdPdf"));
    platform::connectGuarded(CmdPrint, &QPushButton::clicked, this, [this] { printTable(); });
    platform::connectGuarded(CmdPdf, &QPushButton::clicked, this, [this] { savePdf(); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("改正前"), this), 0, 0);
    grid->addWidget(CboFrom, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("改正後"), this), 0, 2);
    grid->addWidget(CboTo, 0, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->addWidget(LblCount, 1, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdPrint);
    buttons->addWidget(CmdPdf);
    grid->addLayout(buttons, 1, 2, 1, 2);
    grid->addWidget(TxtTable, 2, 0, 1, 4);
    resize(900, 600);

    platform::connectGuarded(CboFrom, &QComboBox::currentIndexChanged, this, [this] { compare(); });
    platform::connectGuarded(CboTo, &QComboBox::currentIndexChanged, this, [this] { compare(); });
    compare();
}

void FrmLawDiff::compare() {
    platform::BusyCursor busy;
    rowCodes_.clear();
    if (CboFrom->count() == 0) {
        LblCount->setText(QStringLiteral("%1 に残っている版はありません。取り込み直すと、"
                                         "それまでの条文が版として残ります。")
                              .arg(name_));
        TxtTable->clear();
        return;
    }
    const maint::LawText older = maint::readVersionText(name_, CboFrom->currentData().toString());
    const maint::LawText newer = maint::readVersionText(name_, CboTo->currentData().toString());
    const maint::LawDiff diff = maint::diffLaws(older, newer);
    LblCount->setText(diff.summary());

    QList<std::pair<QString, QString>> cells;
    auto row = [&](const QString& newerHtml, const QString& olderHtml, const QString& code) {
        cells.append({newerHtml, olderHtml});
        rowCodes_ << code;
    };
    // One row per changed article, as an amendment table sets it out, then the parts and the
    // table of contents (maint::amendmentRows). A part's row of the current text opens its node.
    const bool toCurrent = CboTo->currentData().toString().isEmpty();
    for (const maint::TableRow& r : maint::amendmentRows(older, newer, diff)) {
        const auto [newerHtml, olderHtml] = tableRowHtml(r);
        row(newerHtml, olderHtml,
            r.partOrder > 0 ? (toCurrent ? partKey(code_.toUpper(), r.partOrder) : QString())
                            : r.code);
    }
    TxtTable->setHtml(amendmentTableHtml(cells));
}

void FrmLawDiff::printTo(QPagedPaintDevice& device) {
    std::unique_ptr<QTextDocument> doc(TxtTable->document()->clone());
    QTextCursor c(doc.get());
    c.movePosition(QTextCursor::Start);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(13);
    c.insertText(QStringLiteral("%1 新旧対照表").arg(store::lawTitle(name_)), bold);
    c.insertBlock();
    c.insertText(QStringLiteral("改正後: %1　改正前: %2　%3")
                     .arg(CboTo->currentText(), CboFrom->currentText(), LblCount->text()),
                 QTextCharFormat());
    c.insertBlock();
    doc->print(&device);  // laid out on the pages, numbered at their foot
}

bool FrmLawDiff::printTable(QPrinter* printer) {
    QPrinter chosen(QPrinter::HighResolution);
    printer = askPrinter(this, chosen, printer);
    if (!printer) return false;
    platform::BusyCursor busy;
    printer->setDocName(windowTitle());
    printTo(*printer);
    return true;
}

QString FrmLawDiff::savePdf(QString path) {
    if (path.isEmpty()) {
        QString filter = QStringLiteral("PDF (*.pdf)");
        path = platform::saveFileBox(
            QStringLiteral("PDF に保存"),
            store::joinPath(store::folders().out, name_ + QStringLiteral("-新旧対照表.pdf")),
            {filter}, &filter);
        if (path.isEmpty()) return {};
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    }
    platform::BusyCursor busy;
    // Landscape: two columns read better wide.
    writePdf(path, windowTitle(), true, [this](QPagedPaintDevice& pdf) { printTo(pdf); });
    return path;
}

void FrmLawDiff::openRow(int row) {
    const QString code = rowCodes_.value(row);
    MDIMain* main = MDIMain::instance();
    if (!main) return;
    if (code.isEmpty()) {
        main->notice(QStringLiteral("この行の条文は今の %1 にはありません").arg(name_));
        return;
    }
    main->openHit(name_, code, {});
}

bool FrmLawDiff::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxtTable->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* e = static_cast<QMouseEvent*>(event);
        const QTextCursor at = TxtTable->cursorForPosition(e->position().toPoint());
        if (QTextTable* table = at.currentTable()) {
            const int row = table->cellAt(at).row() - 1;  // the first row is the heading
            if (row >= 0) platform::guard([&] { openRow(row); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace viewer

#include "exchange/ui/frmimpidx.h"

#include "exchange/firststart.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"

#include "platform/prompt.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace exchange {

FrmImpIdx::FrmImpIdx(Form form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("FrmImpIdx"));
    setWindowTitle(QStringLiteral("目次インポート"));
    LabelMon = new QLabel(this);
    LabelMon->setObjectName(QStringLiteral("LabelMon"));
    LabelMon->setWordWrap(true);
    LabelMon->setAlignment(Qt::AlignCenter);
    LabelMon->setFont(platform::japaneseFont(platform::kGothic, 11));
    LabelMon->setMinimumSize(420, 120);
    LabelMon->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabelMon);
    if (form_ == Form::Maintenance) {
        LabelMon->setText(QStringLiteral("インデックスファイルをここにドロップしてください。"));
        LabelMon->setAcceptDrops(true);
        LabelMon->installEventFilter(this);
    }
    resize(480, 160);
}

void FrmImpIdx::label(const QString& text) {
    LabelMon->setText(text);
}

void FrmImpIdx::pump() {
    platform::pumpEvents();
}

IdxImportResult FrmImpIdx::runViewerImport() {
    const QString path = programIdxFile();
    platform::BusyCursor busy;
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    show();
    platform::RunState::Scope running(run_);
    pump();
    return exchange::ImportIdxFile(path, this);
}

IdxImportResult FrmImpIdx::ImportIdxFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        // A folder or a remote item dropped: say so and stay open for the next drop.
        platform::msgBox(QStringLiteral("ファイル %1 が見つかりません。").arg(path));
        return {};
    }
    platform::TextLines lines;
    try {
        lines = platform::readLinesLenient(path);
    } catch (const platform::Error& e) {
        platform::msgBox(e.description());
        return {};
    }
    // Tables of contents are replaced whole: the reader sees which before anything goes.
    const IdxTargets targets = tocImportTargets(lines, path);
    if (!targets.refusal.isEmpty()) {
        platform::msgBox(targets.refusal);
        return {};
    }
    if (!targets.replaced.isEmpty() || !targets.added.isEmpty()) {
        QString question;
        if (!targets.replaced.isEmpty())
            question += QStringLiteral("次の法典の目次を %1 の内容に置き換えます。\r\n")
                            .arg(QFileInfo(path).fileName()) +
                        targets.replaced.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        if (!targets.added.isEmpty())
            question += QStringLiteral("次の法典の目次に行を加えます。\r\n") +
                        targets.added.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        if (platform::msgBox(question + QStringLiteral("よろしいですか？"),
                             platform::Buttons::OkCancel) != platform::Answer::Ok)
            return {};
    }
    platform::BusyCursor busy;
    platform::RunState::Scope running(run_);
    return importIdxLines(lines, path, this);
}

void FrmImpIdx::closeEvent(QCloseEvent* e) {
    if (run_.deferClose(e)) return;
    QWidget::closeEvent(e);
}

void FrmImpIdx::dragEnterEvent(QDragEnterEvent* e) {
    if (form_ == Form::Maintenance && e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void FrmImpIdx::dropEvent(QDropEvent* e) {
    if (form_ != Form::Maintenance) return;
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.isEmpty()) return;
    e->acceptProposedAction();
    const QString path = urls.first().toLocalFile();  // only the first of several files
    platform::guard([this, &path] { ImportIdxFile(path); });
}

bool FrmImpIdx::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LabelMon) {
        if (event->type() == QEvent::DragEnter) {
            dragEnterEvent(static_cast<QDragEnterEvent*>(event));
            return true;
        }
        if (event->type() == QEvent::Drop) {
            dropEvent(static_cast<QDropEvent*>(event));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace exchange

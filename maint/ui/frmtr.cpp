#include "maint/ui/frmtr.h"

#include "exchange/lawcode.h"
#include "maint/bulkimport.h"
#include "maint/lawfetch.h"
#include "maint/ui/frmaddlaw.h"
#include "store/lawdb.h"

#include "platform/prompt.h"
#include "platform/textfile.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/mdi.h"
#include "platform/ui/sound.h"
#include "platform/ui/textpane.h"
#include "platform/vb.h"
#include "store/engine.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QUrl>

#include <optional>

namespace maint {

namespace {
// A list row shows a block or paragraph on one line.
const QString kDropPrompt = QStringLiteral("ファイルをここにドラッグアンドドロップしてください。");

QLineEdit* box(QWidget* parent, const char* name, bool readOnly = false) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(readOnly);
    return e;
}
}  // namespace

FrmTR::FrmTR(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmTR"));
    setWindowTitle(QStringLiteral("条文インポート"));
    setFont(platform::japaneseFont(platform::kGothic, 10));

    TxtDrop = box(this, "TxtDrop");
    TxtDrop->setText(kDropPrompt);
    TxtDrop->setAcceptDrops(true);
    TxtDrop->installEventFilter(this);
    CmdRead = new QPushButton(QStringLiteral("ファイルから読込"), this);
    CmdRead->setObjectName(QStringLiteral("CmdRead"));
    CmdFromClip = new QPushButton(QStringLiteral("右のテキストから読込"), this);
    CmdFromClip->setObjectName(QStringLiteral("CmdFromClip"));
    CmdFetch = new QPushButton(QStringLiteral("法令APIから追加…"), this);
    CmdFetch->setObjectName(QStringLiteral("CmdFetch"));
    ListFSep = new QListWidget(this);
    ListFSep->setObjectName(QStringLiteral("ListFSep"));
    TxtFName = box(this, "TxtFName");
    TxtHouten = box(this, "TxtHouten");
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    TxtTitle = box(Frame1, "TxtTitle");
    ListMon = new QListWidget(Frame1);
    ListMon->setObjectName(QStringLiteral("ListMon"));
    RTMon = new platform::TextPane(Frame1);
    RTMon->setObjectName(QStringLiteral("RTMon"));
    TxtCode = box(Frame1, "TxtCode", true);
    TxtCodeT = box(Frame1, "TxtCodeT", true);
    TxtCodeMon = box(Frame1, "TxtCodeMon", true);
    CheckM = new QCheckBox(QStringLiteral("条見出しを登録"), this);
    CheckM->setObjectName(QStringLiteral("CheckM"));
    CheckM->setChecked(true);
    CheckJ = new QCheckBox(QStringLiteral("条文を登録"), this);
    CheckJ->setObjectName(QStringLiteral("CheckJ"));
    CheckJ->setChecked(true);
    RT1 = new platform::TextPane(this);
    RT1->setObjectName(QStringLiteral("RT1"));

    auto* frame = new QGridLayout(Frame1);
    frame->addWidget(new QLabel(QStringLiteral("条見出し"), Frame1), 0, 0);
    frame->addWidget(TxtTitle, 0, 1, 1, 3);
    frame->addWidget(ListMon, 1, 0, 1, 4);
    frame->addWidget(RTMon, 2, 0, 1, 4);
    frame->addWidget(new QLabel(QStringLiteral("見出し"), Frame1), 3, 0);
    frame->addWidget(TxtCodeT, 3, 1);
    frame->addWidget(new QLabel(QStringLiteral("条項"), Frame1), 3, 2);
    frame->addWidget(TxtCode, 3, 3);
    frame->addWidget(TxtCodeMon, 4, 1, 1, 3);

    auto* left = new QWidget(this);
    auto* grid = new QGridLayout(left);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(TxtDrop, 0, 0, 1, 4);
    grid->addWidget(CmdRead, 1, 0, 1, 1);
    grid->addWidget(CmdFromClip, 1, 1, 1, 2);
    grid->addWidget(CmdFetch, 1, 3, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("法典コード"), left), 2, 0);
    grid->addWidget(TxtFName, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("法典名称"), left), 2, 2);
    grid->addWidget(TxtHouten, 2, 3);
    grid->addWidget(ListFSep, 3, 0, 1, 4);
    grid->addWidget(Frame1, 4, 0, 1, 4);
    grid->addWidget(CheckM, 5, 0, 1, 2);
    grid->addWidget(CheckJ, 5, 2, 1, 2);
    grid->setRowStretch(3, 1);
    grid->setRowStretch(4, 3);

    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(RT1);
    split->setStretchFactor(1, 1);
    auto* layout = new QGridLayout(this);
    layout->addWidget(split, 0, 0);
    resize(1000, 680);

    platform::connectGuarded(CmdRead, &QPushButton::clicked, this, [this] { CmdRead_Click(); });
    platform::connectGuarded(CmdFromClip, &QPushButton::clicked, this,
                             [this] { CmdFromClip_Click(); });
    platform::connectGuarded(CmdFetch, &QPushButton::clicked, this, [this] { CmdFetch_Click(); });
    platform::connectGuarded(ListMon, &QListWidget::itemClicked, this,
                             [this](QListWidgetItem* it) { SetLstToRt(ListMon->row(it)); });
    // The arrow keys show the paragraph as a click does.
    platform::connectGuarded(ListMon, &QListWidget::currentRowChanged, this,
                             [this](int row) { SetLstToRt(row); });
    platform::connectGuarded(CheckM, &QCheckBox::toggled, this,
                             [this](bool on) { options_.headings = on; });
    platform::connectGuarded(CheckJ, &QCheckBox::toggled, this,
                             [this](bool on) { options_.paragraphs = on; });
}

void FrmTR::setBusy(bool busy) {
    CmdRead->setEnabled(!busy);
    CmdFromClip->setEnabled(!busy);
}

void FrmTR::CmdRead_Click() {
    platform::BusyCursor busy;
    const QString path = TxtDrop->text();
    if (QFileInfo(path).isDir() ||
        (QFileInfo(path).isFile() && path.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive))) {
        importCollection(path);
        return;
    }
    if (path == kDropPrompt || !QFileInfo(path).isFile()) {
        platform::msgBox(QStringLiteral("ファイルをドラッグアンドドロップしてください。"));
        return;
    }
    if (path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive)) {
        importXml(path);
        return;
    }
    QString text;
    try {
        text = readLawTextFile(path);
    } catch (const platform::Error& e) {
        platform::msgBox(e.description());
        return;
    }
    platform::bringToFront(this);
    RT1->setText(text);
    runImport(text, false);
}

void FrmTR::importXml(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        platform::msgBox(
            QStringLiteral("ファイル %1 を開けません。(%2)").arg(path, f.errorString()));
        return;
    }
    const QByteArray xml = f.readAll();
    // The code its law id or name keeps, else one chosen from the reading that no law has.
    const XmlFileFacts facts = xmlFileFacts(path);
    const exchange::LawXmlHead head = exchange::lawXmlHead(xml);
    const QString name = head.title.isEmpty() ? QString() : exchange::lawNameFor(head);
    const QHash<QString, store::LawEntry> byId = listedLawIds();
    const QString proposed =
        codeForLaw(name, head.kana, facts.lawId, store::readLawList(), byId, head.abbrev);
    exchange::LawXml law;
    // A code taken by another law is refused before anything is written, and asked again.
    for (;;) {
        const QString code = platform::trimBlanks(platform::inputBox(
            QStringLiteral("%1 の法典コード（英字で始まる2文字）を入力してください。")
                .arg(name.isEmpty() ? QFileInfo(path).fileName() : name),
            proposed));
        if (code.isEmpty()) return;
        try {
            law = exchange::convertLawXml(xml, code);
        } catch (const platform::Error& e) {
            platform::msgBox(e.description());
            return;
        }
        takeFileFacts(law, facts);
        law.sourceFile = path;
        const QString why = xmlImportRefusal(law, byId);
        if (why.isEmpty()) break;
        platform::msgBox(why);
    }
    platform::bringToFront(this);
    RT1->setText(xmlImportText(law));
    // The same whole-law import as lexctl import-xml, shown article by article.
    platform::RunState::Scope running(run_);
    setBusy(true);
    ListFSep->clear();
    options_.fromPane = false;
    XmlImportResult r;
    QString renamedFrom;
    try {
        r = importConvertedLaw(law, byId, options_, importObserver(), &renamedFrom);
        result_ = r.text;
    } catch (const platform::Error& e) {
        result_ = {};
        setBusy(false);
        platform::msgBox(e.description());
        return;
    }
    setBusy(false);
    if (result_.cancelled) return;
    if (result_.stopped) {
        platform::beep();
        return;
    }
    platform::msgBox(xmlImportSummary(law, r, renamedFrom));
}

void FrmTR::importCollection(const QString& path) {
    std::optional<exchange::LawXmlSource> source;
    try {
        source.emplace(path);
    } catch (const platform::Error& e) {
        platform::msgBox(e.description());
        return;
    }
    if (source->names().isEmpty()) {
        platform::msgBox(QStringLiteral("%1 に法令XMLがありません。").arg(path));
        return;
    }
    if (platform::msgBox(
            QStringLiteral("%1 の法令XML %2 件を取り込みます。法典コードは読みから"
                           "決めます（登録済みの法令はそのコードのまま）。よろしいですか？")
                .arg(QFileInfo(path).fileName())
                .arg(source->names().size()),
            platform::Buttons::OkCancel) != platform::Answer::Ok)
        return;
    platform::RunState::Scope running(run_);
    setBusy(true);
    ListFSep->clear();
    BulkObserver observer;
    observer.law = [this](int number, int total, const QString& file) {
        Frame1->setTitle(QStringLiteral("%1 / %2  %3").arg(number).arg(total).arg(file));
        platform::pumpEvents();
    };
    observer.done = [this](const QString& line, bool imported) {
        ListFSep->addItem((imported ? QString() : QStringLiteral("× ")) + line);
        ListFSep->setCurrentRow(ListFSep->count() - 1);
    };
    observer.stop = [this] { return run_.stopRequested(); };
    observer.indexing = [this](int done, int total) {
        Frame1->setTitle(QStringLiteral("参照元の索引 %1 / %2").arg(done + 1).arg(total));
        platform::pumpEvents();
    };
    observer.searchIndexing = [this](int done, int total) {
        Frame1->setTitle(QStringLiteral("検索の索引 %1 / %2").arg(done + 1).arg(total));
        platform::pumpEvents();
    };
    const BulkResult r = importLawXmlSource(*source, {}, observer);
    setBusy(false);
    if (r.stopped) return;  // the window is closing
    QString summary = QStringLiteral(
                          "%1 件を取り込み（うち %2 件は一部を取り込めず）、%3 "
                          "件を取り込みませんでした。")
                          .arg(r.imported.size())
                          .arg(r.incomplete.size())
                          .arg(r.skipped.size());
    for (const QStringList& lines : {r.skipped, r.incomplete})
        if (!lines.isEmpty())
            summary += QStringLiteral("\r\n") + lines.join(QStringLiteral("\r\n"));
    if (!r.indexError.isEmpty())
        summary += QStringLiteral(
                       "\r\n参照元の索引を作れませんでした（次に参照元を見るときに作ります）: ") +
                   r.indexError;
    if (!r.searchIndexError.isEmpty())
        summary +=
            QStringLiteral("\r\n検索の索引を作れませんでした（次に検索するときに作ります）: ") +
            r.searchIndexError;
    platform::msgBox(summary);
}

void FrmTR::CmdFromClip_Click() {
    const QString text = platform::trimBlanks(RT1->text());
    if (RT1->text().isEmpty()) return;
    platform::BusyCursor busy;
    runImport(text, true);
}

ImportObserver FrmTR::importObserver() {
    ImportObserver observer;
    observer.header = [this](const QString& code, const QString& name) {
        TxtFName->setText(code);
        TxtHouten->setText(name);
    };
    observer.blocks = [this](const QStringList& blocks) {
        for (const QString& b : blocks) ListFSep->addItem(platform::oneLine(b));
        if (ListFSep->count() > 0) ListFSep->setCurrentRow(ListFSep->count() - 1);
    };
    observer.article = [this](const Article& a) { showArticle(a); };
    observer.pump = [] { platform::pumpEvents(); };
    observer.stop = [this] { return run_.stopRequested(); };
    return observer;
}

void FrmTR::runImport(const QString& text, bool fromPane) {
    platform::RunState::Scope running(run_);
    setBusy(true);
    ListFSep->clear();
    options_.fromPane = fromPane;
    try {
        result_ = importer_.run(text, options_, importObserver());
        if (result_.stopped) platform::beep();
    } catch (const platform::Error& e) {
        result_ = {};
        platform::msgBox(e.description());
    }
    setBusy(false);
}

void FrmTR::showArticle(const Article& a) {
    article_ = a;
    ListMon->clear();
    TxtTitle->setText(a.title);
    Frame1->setTitle(a.numberLine + u' ' + a.code.dashed);
    for (const QString& p : a.paragraphs) ListMon->addItem(platform::oneLine(p));
    for (int i = 0; i < a.paragraphs.size(); ++i) SetLstToRt(i);
}

void FrmTR::SetLstToRt(int i) {
    if (i < 0 || i >= article_.paragraphs.size()) return;
    RTMon->setText(article_.paragraphs[i]);
    const ParagraphCodes c =
        paragraphCodes(TxtFName->text(), article_.code, i, int(article_.paragraphs.size()));
    TxtCode->setText(c.code);
    TxtCodeMon->setText(c.display);
    TxtCodeT->setText(c.heading);
}

void FrmTR::closeEvent(QCloseEvent* e) {
    if (run_.deferClose(e)) return;
    QWidget::closeEvent(e);
}

bool FrmTR::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxtDrop) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* e = static_cast<QDropEvent*>(event);
            if (e->mimeData()->hasUrls()) e->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto* e = static_cast<QDropEvent*>(event);
            const QList<QUrl> urls = e->mimeData()->urls();
            if (!urls.isEmpty()) {
                platform::guard([this, &urls] {
                    TxtDrop->setText(urls.first().toLocalFile());  // the first of several files
                });
                e->acceptProposedAction();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmTR::CmdFetch_Click() {
    if (fetch_.isNull()) {
        fetch_ = new FrmAddLaw;
        platform::connectGuarded(
            fetch_.data(), &FrmAddLaw::lawAdded, this, [this](const QString& code) {
                ListFSep->addItem(QStringLiteral("%1 を法令APIから追加しました").arg(code));
            });
        if (auto* frame = qobject_cast<platform::MdiFrame*>(window()))
            frame->showChild(fetch_);
        else
            fetch_->show();
    }
    platform::bringToFront(fetch_);
    fetch_->TxtTitle->setFocus();
}

}  // namespace maint

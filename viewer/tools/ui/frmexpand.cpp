#include "viewer/tools/ui/frmexpand.h"

#include "exchange/export.h"
#include "platform/error.h"
#include "platform/prompt.h"
#include "platform/textfile.h"
#include "platform/ui/busy.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/mdi.h"
#include "platform/ui/sound.h"
#include "platform/ui/textpane.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "viewer/browser/refs.h"
#include "viewer/browser/ui/textwindows.h"
#include "viewer/log.h"
#include "viewer/marks/ui/frmmarks.h"
#include "viewer/shell/reading.h"
#include "viewer/shell/ui/mdimain.h"
#include "viewer/tools/expand.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace viewer {

FrmExpand::FrmExpand(const QString& law, QWidget* parent) : QWidget(parent), curHCodeE(law) {
    setObjectName(QStringLiteral("FrmExpand"));
    setWindowTitle(QStringLiteral("法典作成"));
    setFont(platform::japaneseFont(platform::kGothic, 10));
    CmdMake = new QPushButton(QStringLiteral("作成"), this);
    CmdMake->setObjectName(QStringLiteral("CmdMake"));
    auto* group = new QButtonGroup(this);
    int index = 0;
    for (const QString& caption : {QStringLiteral("全文"), QStringLiteral("見出し（全て）"),
                                   QStringLiteral("見出し（条を除く）")}) {
        auto* option = new QRadioButton(caption, this);
        option->setObjectName(QStringLiteral("Option1_%1").arg(index));
        group->addButton(option, index++);
        Option1 << option;
    }
    Option1[0]->setChecked(true);
    CmdSave = new QPushButton(QStringLiteral("保存"), this);
    CmdSave->setObjectName(QStringLiteral("CmdSave"));
    Check1 = new QCheckBox(QStringLiteral("条文の範囲を表示"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    // Kept between starts; off at first, so the text is the main provision's as before.
    ChkParts = platform::keptCheckBox(this, QStringLiteral("ChkParts"),
                                      QStringLiteral("附則・別表も"), QStringLiteral("LXA"),
                                      QStringLiteral("VIEW"), QStringLiteral("EXPANDPARTS"));
    Rtxt1 = new platform::TextPane(this);
    Rtxt1->setObjectName(QStringLiteral("Rtxt1"));
    applyReading(loadReadingSettings());
    answerReferenceLinks(Rtxt1, this, &refs_);

    auto* bar = new QHBoxLayout;
    bar->addWidget(CmdMake);
    for (QRadioButton* o : Option1) bar->addWidget(o);
    bar->addWidget(Check1);
    bar->addWidget(ChkParts);
    bar->addStretch(1);
    bar->addWidget(CmdSave);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(Rtxt1, 1);
    resize(720, 520);

    platform::connectGuarded(CmdMake, &QPushButton::clicked, this, [this] { CmdMake_Click(); });
    platform::connectGuarded(CmdSave, &QPushButton::clicked, this, [this] { CmdSave_Click(); });
}

void FrmExpand::CmdMake_Click() {
    // The build lets events in; a second press meanwhile would start a second build.
    if (run_.running()) {
        platform::beep();
        return;
    }
    platform::RunState::Scope running(run_);
    const bool showRange = Check1->isChecked();
    platform::BusyCursor busy;
    if (Rtxt1->text() == QStringLiteral("make idx")) {
        exchange::WriteIdxFile(platform::FramePump());
        return;
    }
    ExpandMode mode = ExpandMode::Full;
    if (Option1[1]->isChecked()) mode = ExpandMode::AllHeadings;
    if (Option1[2]->isChecked()) mode = ExpandMode::TocHeadings;
    QString text;
    try {
        // By value: the events it lets in may change the window's law.
        text = GetExpandedTextALL(QString(curHCodeE), mode, showRange, platform::FramePump(),
                                  ChkParts->isChecked());
    } catch (...) {
        // A build that fails leaves the text empty, without a message.
        qCWarning(lcViewer) << "expanded text of" << curHCodeE << ":"
                            << platform::describeCurrentException();
        text.clear();
    }
    Rtxt1->setText(text);
    // In the full text every reference is a link into the law's browser.
    if (mode == ExpandMode::Full && !text.isEmpty()) {
        refs_ = std::make_shared<RefLibrary>();
        QList<platform::TextPane::Link> links;
        for (const Reference& r : referencesShown(*refs_, curHCodeE, {}, Rtxt1->toPlainText()))
            links << platform::TextPane::Link{r.start, r.length, r.target};
        Rtxt1->setLinks(links);
        // The reader's markers over the whole text.
        platform::guard([this] { tintWholeLaw(Rtxt1, curHCodeE.toUpper()); });
    }
}

FrmExpand::~FrmExpand() = default;

void FrmExpand::CmdSave_Click() {
    const QString text = Rtxt1->text();
    if (text.isEmpty()) {
        platform::msgBox(QStringLiteral("保存するテキストがありません。"));
        return;
    }
    const QString utf8 = QStringLiteral("UTF-8 (*.txt)");
    const QString sjis = QStringLiteral("Shift_JIS (*.txt)");
    const QString name = store::GetHoutenName(curHCodeE);
    QString filter = utf8;
    QString path = platform::saveFileBox(
        QStringLiteral("法典テキストの保存"),
        store::joinPath(store::folders().out,
                        (name.isEmpty() ? curHCodeE : name) + QStringLiteral(".txt")),
        {utf8, sjis}, &filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    platform::BusyCursor busy;
    try {
        // The text keeps its CR LF line breaks in either encoding, as the exports write them.
        if (filter == sjis)
            platform::writeBlock(path, text);
        else
            platform::writeUtf8Block(path, text);
    } catch (const platform::Error& e) {
        platform::msgBox(e.description() + QStringLiteral("\r\n保存しませんでした。"));
        return;
    }
    platform::msgBox(
        QStringLiteral("%1 (%2) に保存しました。")
            .arg(path, filter == sjis ? QStringLiteral("Shift_JIS") : QStringLiteral("UTF-8")));
}

void FrmExpand::closeEvent(QCloseEvent* e) {
    if (run_.deferClose(e)) return;
    QWidget::closeEvent(e);
}

void FrmExpand::applyReading(const ReadingSettings& s) {
    Rtxt1->setFontName(s.fontFamily);
    // A point below the browser's, as the whole text has always been.
    Rtxt1->setFontSize(std::max(kSmallestReadingSize, s.fontSize - 1));
    Rtxt1->setLineSpacing(s.lineSpacing);
}

}  // namespace viewer

#include "maint/ui/frmaddlaw.h"

#include "exchange/lawxml.h"
#include "maint/lawfetch.h"
#include "platform/prompt.h"
#include "platform/ui/busy.h"
#include "platform/ui/guard.h"
#include "platform/ui/sound.h"
#include "store/lawdb.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

namespace maint {

namespace {
constexpr int kTypingPauseMs = 400;
}

FrmAddLaw::FrmAddLaw(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmAddLaw"));
    setWindowTitle(QStringLiteral("法令を追加"));
    TxtTitle = new QLineEdit(this);
    TxtTitle->setObjectName(QStringLiteral("TxtTitle"));
    TxtTitle->setPlaceholderText(QStringLiteral("法令名の一部、または法令ID"));
    LstLaws = new QTreeWidget(this);
    LstLaws->setObjectName(QStringLiteral("LstLaws"));
    LstLaws->setHeaderLabels(
        {QStringLiteral("題名"), QStringLiteral("法令番号"), QStringLiteral("法令ID")});
    LstLaws->setRootIsDecorated(false);
    LstLaws->setUniformRowHeights(true);
    // The number and the id are read whole; the title takes the room left.
    LstLaws->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    LstLaws->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    LstLaws->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    LstLaws->header()->setStretchLastSection(false);
    LblLaw = new QLabel(this);
    LblLaw->setObjectName(QStringLiteral("LblLaw"));
    LblLaw->setWordWrap(true);
    TxtCode = new QLineEdit(this);
    TxtCode->setObjectName(QStringLiteral("TxtCode"));
    TxtCode->setMaxLength(2);
    TxtCode->setFixedWidth(TxtCode->fontMetrics().horizontalAdvance(QStringLiteral("WWWW")));
    CmdAdd = new QPushButton(QStringLiteral("追加"), this);
    CmdAdd->setObjectName(QStringLiteral("CmdAdd"));
    CmdAdd->setEnabled(false);
    CmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    CmdClose->setObjectName(QStringLiteral("CmdClose"));
    LblStatus = new QLabel(this);
    LblStatus->setObjectName(QStringLiteral("LblStatus"));
    LblStatus->setWordWrap(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("題名"), this), 0, 0);
    grid->addWidget(TxtTitle, 0, 1, 1, 4);
    grid->addWidget(LstLaws, 1, 0, 1, 5);
    grid->addWidget(LblLaw, 2, 0, 1, 5);
    grid->addWidget(new QLabel(QStringLiteral("法典コード"), this), 3, 0);
    grid->addWidget(TxtCode, 3, 1);
    grid->setColumnStretch(2, 1);
    grid->addWidget(CmdAdd, 3, 3);
    grid->addWidget(CmdClose, 3, 4);
    grid->addWidget(LblStatus, 4, 0, 1, 5);
    resize(720, 420);

    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(kTypingPauseMs);
    api_.setParent(this);
    platform::connectGuarded(typing_, &QTimer::timeout, this, [this] { searchNow(); });
    platform::connectGuarded(TxtTitle, &QLineEdit::textEdited, this, [this] { typing_->start(); });
    platform::connectGuarded(TxtTitle, &QLineEdit::returnPressed, this, [this] {
        typing_->stop();
        searchNow();
    });
    platform::connectGuarded(LstLaws, &QTreeWidget::currentItemChanged, this, [this] {
        chooseRow(LstLaws->indexOfTopLevelItem(LstLaws->currentItem()));
    });
    platform::connectGuarded(LstLaws, &QTreeWidget::itemActivated, this,
                             [this] { CmdAdd_Click(); });
    platform::connectGuarded(CmdAdd, &QPushButton::clicked, this, [this] { CmdAdd_Click(); });
    platform::connectGuarded(CmdClose, &QPushButton::clicked, this, [this] { close(); });
    byId_ = listedLawIds();
}

void FrmAddLaw::status(const QString& text, bool failed) {
    LblStatus->setText(text);
    LblStatus->setStyleSheet(failed ? QStringLiteral("color: #b00020;") : QString());
}

void FrmAddLaw::searchNow() {
    const QString words = TxtTitle->text().simplified();
    const int asked = ++asked_;
    laws_.clear();
    LstLaws->clear();
    chooseRow(-1);
    if (words.isEmpty()) {
        status(QString());
        return;
    }
    if (exchange::isLawId(words)) {  // a law id needs no search
        exchange::ApiLaw law;
        law.lawId = words;
        law.title = QStringLiteral("（法令ID %1）").arg(words);
        laws_ << law;
        LstLaws->addTopLevelItem(new QTreeWidgetItem({law.title, QString(), law.lawId}));
        LstLaws->setCurrentItem(LstLaws->topLevelItem(0));
        status(QString());
        Q_EMIT answered();
        return;
    }
    status(QStringLiteral("「%1」を検索しています…").arg(words));
    api_.search(words, [this, asked, words](exchange::ApiSearch found, exchange::ApiError error) {
        if (asked != asked_) return;  // the reader typed on meanwhile
        if (error) {
            status(error.text, true);
        } else {
            laws_ = found.laws;
            for (const exchange::ApiLaw& law : laws_)
                LstLaws->addTopLevelItem(new QTreeWidgetItem(
                    {law.repealed.isEmpty()
                         ? law.title
                         : law.title + QStringLiteral("（%1）").arg(law.repealed),
                     law.lawNum, law.lawId}));
            if (laws_.isEmpty())
                status(QStringLiteral("題名に「%1」を含む法令は見つかりません").arg(words), true);
            else
                status(found.total > laws_.size()
                           ? QStringLiteral("%1 件（ほかに %2 件。語を足すと絞り込めます）")
                                 .arg(laws_.size())
                                 .arg(found.total - laws_.size())
                           : QStringLiteral("%1 件").arg(laws_.size()));
            if (const exchange::ApiLaw* one = exchange::chosenLaw(laws_, words))
                LstLaws->setCurrentItem(LstLaws->topLevelItem(int(one - laws_.constData())));
        }
        Q_EMIT answered();
    });
}

void FrmAddLaw::chooseRow(int row) {
    if (row < 0 || row >= laws_.size()) {
        LblLaw->clear();
        TxtCode->clear();
        CmdAdd->setEnabled(false);
        return;
    }
    const exchange::ApiLaw& law = laws_[row];
    LblLaw->setText(law.lawNum.isEmpty() ? law.title
                                         : law.title + QStringLiteral("　") + law.lawNum);
    // A name too long for a file is shortened as the import will shorten it.
    exchange::LawXmlHead head;
    head.title = law.title;
    head.kana = law.kana;
    head.abbrev = law.abbrev;
    head.lawNum = law.lawNum;
    TxtCode->setText(law.kana.isEmpty() && !byId_.contains(law.lawId)
                         ? QString()  // known only by id: the code comes with its XML
                         : codeForLaw(exchange::lawNameFor(head), law.kana, law.lawId,
                                      store::readLawList(), byId_, law.abbrev));
    CmdAdd->setEnabled(!busy_);
}

void FrmAddLaw::setBusy(bool busy) {
    busy_ = busy;
    CmdAdd->setEnabled(!busy && LstLaws->currentItem());
    TxtTitle->setEnabled(!busy);
    LstLaws->setEnabled(!busy);
    TxtCode->setEnabled(!busy);
}

void FrmAddLaw::CmdAdd_Click() {
    const int row = LstLaws->indexOfTopLevelItem(LstLaws->currentItem());
    if (busy_ || row < 0 || row >= laws_.size()) return;
    const QString code = TxtCode->text().trimmed().toUpper();
    if (!code.isEmpty() && !store::isValidLawCode(code)) {
        platform::beep();
        status(QStringLiteral(
                   "法典コードは半角英数字２文字で、先頭文字はアルファベットにしてください。"),
               true);
        TxtCode->setFocus();
        return;
    }
    const exchange::ApiLaw law = laws_[row];
    setBusy(true);
    status(QStringLiteral("%1 をダウンロードしています…").arg(law.title));
    api_.lawXml(law.lawId, [this, law, code](QByteArray xml, exchange::ApiError error) {
        if (error) {
            setBusy(false);
            status(error.text, true);
            platform::msgBox(error.text);
            Q_EMIT answered();
            return;
        }
        importDownloaded(law, code, xml);
        Q_EMIT answered();
    });
}

void FrmAddLaw::importDownloaded(const exchange::ApiLaw& law, const QString& code,
                                 const QByteArray& xml) {
    platform::BusyCursor busy;
    try {
        keepLawXml(law.lawId, xml);
        ImportOptions options;
        options.quiet = true;  // the status line reports; one box for a failure only
        ImportObserver observer;
        int articles = 0;
        observer.article = [this, &articles](const Article& a) {
            if (articles++ % 50) return;  // a repaint per article would cost more than it
            status(QStringLiteral("取り込んでいます… %1").arg(a.numberLine));
            LblStatus->repaint();
        };
        const FetchedImport r =
            importFetchedLaw(xml, law.lawId, code, options, observer, law.enforced,
                             exchange::attachmentReader(api_, law.revisionId), law.revisionId);
        setBusy(false);
        if (r.result.text.stopped) {
            status(r.result.text.stopMessage, true);
            platform::msgBox(r.result.text.stopMessage);
            return;
        }
        byId_ = listedLawIds();
        const QStringList notes = xmlImportNotes(r.law, r.result);
        status(QStringLiteral("%1 %2 を追加しました（%3 条）")
                   .arg(r.law.code, r.law.name)
                   .arg(r.result.text.articles) +
               (notes.isEmpty() ? QString() : u' ' + notes.join(u' ')));
        Q_EMIT lawAdded(r.law.code);
    } catch (const platform::Error& e) {
        setBusy(false);
        status(e.description(), true);
        platform::msgBox(e.description());
    }
}

}  // namespace maint

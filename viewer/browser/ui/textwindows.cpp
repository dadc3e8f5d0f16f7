#include "viewer/browser/ui/textwindows.h"

#include "store/engine.h"

#include "viewer/marks/ui/frmmarks.h"

#include "platform/keys.h"
#include "platform/prompt.h"
#include "platform/textfile.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"
#include "platform/ui/sound.h"
#include "platform/ui/textpane.h"
#include "platform/ui/twips.h"
#include "store/codes.h"
#include "store/folders.h"
#include "store/lawdb.h"
#include "viewer/browser/refs.h"
#include "viewer/shell/state.h"
#include "viewer/shell/ui/mdimain.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace viewer {

namespace {
constexpr double kSmallestSize = 4;
constexpr double kLargestSize = 96;
}  // namespace

TextWindow::TextWindow(const QString& objectName, const QString& caption, QWidget* parent)
    : QWidget(parent) {
    setObjectName(objectName);
    setWindowTitle(caption);
    Rtxt1 = new platform::TextPane(this);
    Rtxt1->setObjectName(QStringLiteral("Rtxt1"));
    Rtxt1->setFontName(platform::kGothic);
    Rtxt1->setFontSize(12);
    Rtxt1->installEventFilter(this);
    resize(640, 360);
}

bool TextWindow::Rtxt1_KeyDown(int key, int shift) {
    if (key == Qt::Key_F12 && shift == 0) {
        fontSizeStep(1);
    } else if (key == Qt::Key_F11 && shift == 0) {
        fontSizeStep(-1);
    } else if (key == Qt::Key_F4 && shift == 0) {
        store::ShowKanjiJouNumber(Rtxt1->selectedText());
    } else if ((key == Qt::Key_F11 || key == Qt::Key_F12) && shift == platform::kShiftMask) {
        setFontTen();
    } else if (key == Qt::Key_F11 && shift == platform::kCtrlMask) {
        setFontFace(platform::kGothic);
    } else if (key == Qt::Key_F12 && shift == platform::kCtrlMask) {
        setFontFace(platform::kMincho);
    } else if (key == Qt::Key_B && shift == platform::kCtrlMask) {
        toggleBold();
    } else {
        return false;
    }
    return true;
}

void TextWindow::fontSizeStep(int points) {
    const double size = Rtxt1->fontSize() + points;
    if (size >= kSmallestSize && size <= kLargestSize) Rtxt1->setFontSize(size);
}

void TextWindow::setFontTen() {
    Rtxt1->setFontSize(10);
}

void TextWindow::setFontFace(const QString& name) {
    Rtxt1->setFontName(name);
}

void TextWindow::toggleBold() {
    Rtxt1->setFontBold(!Rtxt1->fontBold());
    boldChanged();
}

bool TextWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Rtxt1 && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        platform::guard([&] { Rtxt1_KeyDown(k->key(), platform::shiftMask(k->modifiers())); });
    }
    return QWidget::eventFilter(watched, event);  // the pane gets the key as well
}

void TextWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // Width less 100 and height less 400 twips of the window; never past the client area.
    const QRect outer = platform::geometryTwips(this);
    const int w = std::min(width(), platform::twipsToPixels(outer.width() - 100));
    const int h = std::min(height(), platform::twipsToPixels(outer.height() - 400));
    Rtxt1->resize(std::max(0, w), std::max(0, h));
}

FrmCopy::FrmCopy(QWidget* parent)
    : TextWindow(QStringLiteral("FrmCopy"), QStringLiteral("編集"), parent) {
    auto action = [](QMenu* menu, QAction*& a, const char* name, const QString& caption) {
        a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
    };
    Mn_Title = new QAction(QStringLiteral("<メニュー：編集画面>"), this);
    Mn_Title->setObjectName(QStringLiteral("Mn_Title"));
    platform::connectGuarded(Mn_Title, &QAction::triggered, this, [] {
        if (MDIMain* main = MDIMain::instance()) main->showMainMenuStrip();
    });
    Mn_File = new QMenu(QStringLiteral("ファイル(&F)"), this);
    Mn_File->setObjectName(QStringLiteral("Mn_File"));
    action(Mn_File, Mn_File_Save, "Mn_File_Save", QStringLiteral("保存(&S Ctrl+S)"));
    action(Mn_File, Mn_File_Close, "Mn_File_Close", QStringLiteral("閉じる(&C)"));
    Mn_Font = new QMenu(QStringLiteral("フォント(&C)"), this);
    Mn_Font->setObjectName(QStringLiteral("Mn_Font"));
    Mn_Font_Size = Mn_Font->addMenu(QStringLiteral("サイズ(&S)"));
    Mn_Font_Size->setObjectName(QStringLiteral("Mn_Font_Size"));
    action(Mn_Font_Size, Mn_Font_Size_Down, "Mn_Font_Size_Down",
           QStringLiteral("ポイントを下げる(&D F11)"));
    action(Mn_Font_Size, Mn_Font_Size_Up, "Mn_Font_Size_Up",
           QStringLiteral("ポイントを上げる(&U F12)"));
    action(Mn_Font_Size, Mn_Font_Size_Ten, "Mn_Font_Size_Ten",
           QStringLiteral("ポイントを１０Ｐにする(&T Crtl+F11/F12)"));
    Mn_Font_Kind = Mn_Font->addMenu(QStringLiteral("字体(&K)"));
    Mn_Font_Kind->setObjectName(QStringLiteral("Mn_Font_Kind"));
    action(Mn_Font_Kind, Mn_Font_Kind_Gothic, "Mn_Font_Kind_Gothic",
           QStringLiteral("ＭＳ　Ｐゴシック(&G Shift+F12)"));
    action(Mn_Font_Kind, Mn_Font_Kind_Mincho, "Mn_Font_Kind_Mincho",
           QStringLiteral("ＭＳ　Ｐ明朝(&M Shift+F11)"));
    action(Mn_Font_Kind, Mn_Font_Kind_Bold, "Mn_Font_Kind_Bold",
           QStringLiteral("ボールド(&B Ctrl+B)"));
    Mn_Font_Kind_Bold->setCheckable(true);

    using platform::connectGuarded;
    connectGuarded(Mn_File_Save, &QAction::triggered, this, [this] { save(); });
    connectGuarded(Mn_File_Close, &QAction::triggered, this, [this] { platform::unload(this); });
    connectGuarded(Mn_Font_Size_Down, &QAction::triggered, this, [this] { fontSizeStep(-1); });
    connectGuarded(Mn_Font_Size_Up, &QAction::triggered, this, [this] { fontSizeStep(1); });
    connectGuarded(Mn_Font_Size_Ten, &QAction::triggered, this, [this] { setFontTen(); });
    connectGuarded(Mn_Font_Kind_Gothic, &QAction::triggered, this,
                   [this] { setFontFace(platform::kGothic); });
    connectGuarded(Mn_Font_Kind_Mincho, &QAction::triggered, this,
                   [this] { setFontFace(platform::kMincho); });
    // The check mark follows the pane, not the click.
    connectGuarded(Mn_Font_Kind_Bold, &QAction::triggered, this, [this] { toggleBold(); });
    connectGuarded(Rtxt1, &platform::TextPane::textChanged, this, [this] { Rtxt1_Change(); });
}

QList<QAction*> FrmCopy::childMenus() const {
    return {Mn_Title, Mn_File->menuAction(), Mn_Font->menuAction()};
}

void FrmCopy::boldChanged() {
    Mn_Font_Kind_Bold->setChecked(Rtxt1->fontBold());
}

void FrmCopy::Rtxt1_Change() {
    if (!Rtxt1->document()->isEmpty()) return;
    MDIMain* main = MDIMain::instance();
    if (!main || main->ComboHis->count() == 0) return;
    if (platform::msgBox(QStringLiteral("履歴もクリアしますか？"), platform::Buttons::YesNo) !=
        platform::Answer::Yes)
        return;
    main->ComboHis->clear();
    main->ComboHis2->clear();
    state().CopyLog.clear();
    main->closeHistoryWindow();
}

bool FrmCopy::save() {
    QString path = savedPath_;
    if (path.isEmpty()) {
        QString filter;
        path =
            platform::saveFileBox(QStringLiteral("編集画面の保存"),
                                  store::joinPath(store::folders().out, QStringLiteral("編集.txt")),
                                  {QStringLiteral("UTF-8 (*.txt)")}, &filter);
        if (path.isEmpty()) return false;
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    }
    const QString text = Rtxt1->text();
    try {
        platform::writeUtf8Block(path, text);
    } catch (const platform::Error& e) {
        platform::msgBox(e.description() + QStringLiteral("\r\n保存しませんでした。"));
        return false;
    }
    savedPath_ = path;
    savedText_ = text;
    setWindowTitle(QStringLiteral("編集 - ") + QFileInfo(path).fileName());
    return true;
}

bool FrmCopy::textKept() const {
    const QString text = Rtxt1->text();
    if (text.isEmpty() || (!savedPath_.isEmpty() && text == savedText_)) return true;
    const QClipboard* clip = QGuiApplication::clipboard();
    return clip && platform::toCrLf(clip->text()) == text;
}

bool FrmCopy::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Rtxt1 && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_S && k->modifiers() == Qt::ControlModifier) {
            platform::guard([this] { save(); });
            return true;
        }
    }
    return TextWindow::eventFilter(watched, event);
}

void FrmCopy::closeEvent(QCloseEvent* e) {
    // Text not kept anywhere else is not lost by a close.
    if (!textKept()) {
        const platform::Answer a = platform::msgBox(
            QStringLiteral("編集画面のテキストは保存もコピーもされていません。保存しますか？"),
            platform::Buttons::YesNoCancel);
        if (a == platform::Answer::Cancel || (a == platform::Answer::Yes && !save())) {
            e->ignore();
            if (MDIMain* main = MDIMain::instance()) main->abandonClose();
            return;
        }
    }
    // The copies' entries go with the window; the log of their texts stays.
    if (MDIMain* main = MDIMain::instance()) {
        main->ComboHis->clear();
        main->ComboHis2->clear();
    }
    QWidget::closeEvent(e);
}

void answerReferenceLinks(platform::TextPane* pane, QObject* owner,
                          const std::shared_ptr<RefLibrary>* refs) {
    pane->setLinkTip(
        [refs](const QString& target) { return *refs ? referenceTip(**refs, target) : QString(); });
    platform::connectGuarded(pane, &platform::TextPane::linkClicked, owner,
                             [refs](const QString& target) {
                                 MDIMain* main = MDIMain::instance();
                                 if (!main || !*refs) return;
                                 const TargetPlace place = targetPlace(**refs, target);
                                 if (place.key.isEmpty())
                                     main->notice(place.error);
                                 else
                                     main->openHit(place.lawName, place.key, {});
                             });
}

FrmFound::FrmFound(QWidget* parent)
    : TextWindow(QStringLiteral("FrmFound"), QStringLiteral("検索結果"), parent) {
    Rtxt1->viewport()->installEventFilter(this);
    answerReferenceLinks(Rtxt1, this, &refs_);
}

void FrmFound::showResult(const QString& text, const QList<SearchHit>& hits, const QString& words,
                          store::Fold fold) {
    hits_ = hits;
    words_ = words;
    Rtxt1->setText(text);
    if (fold == store::Fold::None)
        Rtxt1->highlightWords(store::splitSearchWords(words));
    else
        Rtxt1->highlightWords(store::splitSearchWords(words),
                              [fold](const QString& t) { return store::foldText(t, fold); });
    // Each hit's paragraph links its references; the hits of a law come together.
    refs_ = std::make_shared<RefLibrary>();
    const QString plain = Rtxt1->toPlainText();
    QList<platform::TextPane::Link> links;
    for (qsizetype i = 0; i < hits.size();) {
        const QString law = hits[i].code.left(2);
        // The block's place in the pane, where a line break counts one.
        const int from =
            hits[i].offset - int(text.left(hits[i].offset).count(QStringLiteral("\r\n")));
        QStringList codes;
        for (; i < hits.size() && hits[i].code.left(2) == law; ++i) codes << hits[i].code;
        for (const Reference& r : referencesShown(*refs_, law, codes, plain, from))
            links << platform::TextPane::Link{r.start, r.length, r.target};
    }
    Rtxt1->setLinks(links);
    platform::guard([&] { tintHits(hits); });
}

void FrmFound::tintHits(const QList<SearchHit>& hits) {
    // Only the laws the reader has marked are read again.
    UserData data;
    QHash<QString, QList<Marker>> marked;
    for (const SearchHit& h : hits) {
        const QString law = h.code.left(2).toUpper();
        if (!marked.contains(law)) marked.insert(law, data.markers(law));
    }
    QList<Marker> markers;
    for (const QList<Marker>& m : marked) markers += m;
    if (markers.isEmpty()) return;
    QList<MarkedParagraph> paragraphs;
    QHash<QString, std::shared_ptr<store::Database>> open;
    for (const SearchHit& h : hits) {
        const QString law = h.code.left(2).toUpper();
        if (marked.value(law).isEmpty() || h.code.size() != 16) continue;
        auto& db = open[law];
        if (!db)
            db = std::make_shared<store::Database>(store::openLawDb(store::GetHoutenName(law)));
        store::Recordset rs =
            db->openRecordset(QStringLiteral("select 条文 from 条文 where 条項コード=?"),
                              store::RecordsetType::Snapshot, {h.code});
        if (!rs.eof()) paragraphs << MarkedParagraph{h.code, rs.text(QStringLiteral("条文"))};
    }
    Rtxt1->setTints(markerTints(markers, locateShown(paragraphs, Rtxt1->toPlainText())));
}

bool FrmFound::openHitAtCaret() {
    const int caret = Rtxt1->caretPosition();
    const SearchHit* at = nullptr;
    for (const SearchHit& h : hits_)
        if (h.offset <= caret) at = &h;
    MDIMain* main = MDIMain::instance();
    // The summary line above the first block is no hit.
    if (!at || !main) return false;
    const SearchHit hit = *at;  // the list may change while the law loads
    return main->openHit(hit.law, hit.code, words_, hit.version);
}

bool FrmFound::eventFilter(QObject* watched, QEvent* event) {
    const bool enter = watched == Rtxt1 && event->type() == QEvent::KeyPress &&
                       (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter) &&
                       static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier;
    const bool doubleClick =
        watched == Rtxt1->viewport() && event->type() == QEvent::MouseButtonDblClick;
    if ((enter || doubleClick) && !hits_.isEmpty()) {
        if (doubleClick) {
            auto* m = static_cast<QMouseEvent*>(event);
            Rtxt1->setTextCursor(Rtxt1->cursorForPosition(m->position().toPoint()));
        }
        bool opened = false;
        platform::guard([&] { opened = openHitAtCaret(); });
        if (opened) return true;
    }
    return TextWindow::eventFilter(watched, event);
}

FrmHelp::FrmHelp(const QString& text, QWidget* parent)
    : TextWindow(QStringLiteral("FrmHelp"), QStringLiteral("使い方"), parent) {
    Rtxt1->setText(text);
    Rtxt1->setReadOnly(true);
    Rtxt1->setFontSize(11);
    resize(760, 560);
}

bool showBlock(platform::TextPane* pane, const QString& head) {
    const QString text = pane->text();
    const qsizetype p = head.isEmpty() ? -1 : text.indexOf(head);
    if (p < 0) {
        platform::beep();
        return false;
    }
    showBlockAt(pane, int(p));
    return true;
}

void showBlockAt(platform::TextPane* pane, int offset) {
    const QString text = pane->text();
    qsizetype e = text.indexOf(QStringLiteral("\r\n\r\n"), offset);
    if (e < 0) e = text.size();
    pane->setSelStart(offset);
    pane->setSelLength(int(e - offset));
    pane->ensureCursorVisible();
    pane->setSelStart(offset);
}

}  // namespace viewer

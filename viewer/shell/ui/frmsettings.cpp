#include "viewer/shell/ui/frmsettings.h"

#include "exchange/lawapi.h"
#include "platform/prompt.h"
#include "platform/ui/fonts.h"
#include "platform/ui/guard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace viewer {

FrmSettings::FrmSettings(QWidget* parent) : QDialog(parent), laws_(store::readLawList()) {
    setObjectName(QStringLiteral("FrmSettings"));
    setWindowTitle(QStringLiteral("設定"));
    setFont(platform::japaneseFont(platform::kGothic, 10));

    auto* source = new QGroupBox(QStringLiteral("法令データ"), this);
    auto* sourceForm = new QFormLayout(source);
    TxtApi = new QLineEdit(source);
    TxtApi->setObjectName(QStringLiteral("TxtApi"));
    TxtApi->setPlaceholderText(QString::fromLatin1(exchange::kDefaultLawApi));
    sourceForm->addRow(QStringLiteral("法令 API のアドレス"), TxtApi);
    TxtRoot = new QLineEdit(source);
    TxtRoot->setObjectName(QStringLiteral("TxtRoot"));
    TxtRoot->setPlaceholderText(QStringLiteral("空欄: プログラムの既定の場所"));
    sourceForm->addRow(QStringLiteral("データの場所"), TxtRoot);

    auto* reading = new QGroupBox(QStringLiteral("読みやすさ"), this);
    auto* readingForm = new QFormLayout(reading);
    CboFont = new QFontComboBox(reading);
    CboFont->setObjectName(QStringLiteral("CboFont"));
    CboFont->setWritingSystem(QFontDatabase::Japanese);
    readingForm->addRow(QStringLiteral("フォント"), CboFont);
    SpnSize = new QDoubleSpinBox(reading);
    SpnSize->setObjectName(QStringLiteral("SpnSize"));
    SpnSize->setRange(kSmallestReadingSize, kLargestReadingSize);
    SpnSize->setDecimals(1);
    SpnSize->setSuffix(QStringLiteral(" pt"));
    readingForm->addRow(QStringLiteral("文字の大きさ"), SpnSize);
    SpnSpacing = new QSpinBox(reading);
    SpnSpacing->setObjectName(QStringLiteral("SpnSpacing"));
    SpnSpacing->setRange(kLeastSpacing, kMostSpacing);
    SpnSpacing->setSingleStep(10);
    SpnSpacing->setSuffix(QStringLiteral(" %"));
    readingForm->addRow(QStringLiteral("行間"), SpnSpacing);
    ChkWhole = new QCheckBox(QStringLiteral("条を選ぶと全項を表示する"), reading);
    ChkWhole->setObjectName(QStringLiteral("ChkWhole"));
    readingForm->addRow(QString(), ChkWhole);
    OptKanji = new QRadioButton(QStringLiteral("漢数字（第四百十五条）"), reading);
    OptKanji->setObjectName(QStringLiteral("OptKanji"));
    OptDigits = new QRadioButton(QStringLiteral("算用数字（第415条）"), reading);
    OptDigits->setObjectName(QStringLiteral("OptDigits"));
    auto* numbers = new QHBoxLayout;
    numbers->addWidget(OptKanji);
    numbers->addWidget(OptDigits);
    numbers->addStretch();
    readingForm->addRow(QStringLiteral("条の番号"), numbers);
    ChkParts = new QCheckBox(QStringLiteral("全法令検索で附則・別表も検索する"), reading);
    ChkParts->setObjectName(QStringLiteral("ChkParts"));
    readingForm->addRow(QString(), ChkParts);
    ChkFold = new QCheckBox(
        QStringLiteral("検索で表記ゆれを同一視する（全角・半角、～〜、－−‐、旧字体 → 新字体）"),
        reading);
    ChkFold->setObjectName(QStringLiteral("ChkFold"));
    readingForm->addRow(QString(), ChkFold);
    ChkLoose = new QCheckBox(QStringLiteral("小書きの仮名も同一視する（ャ → ヤ、古い法令の表記）"),
                             reading);
    ChkLoose->setObjectName(QStringLiteral("ChkLoose"));
    readingForm->addRow(QString(), ChkLoose);
    connect(ChkFold, &QCheckBox::toggled, ChkLoose, &QWidget::setEnabled);

    auto* buttons = new QGroupBox(QStringLiteral("法典ボタン（左から）"), this);
    auto* grid = new QVBoxLayout(buttons);
    auto* row1 = new QHBoxLayout;
    auto* row2 = new QHBoxLayout;
    for (int i = 0; i < kLawButtons; ++i) {
        auto* box = new QComboBox(buttons);
        box->setObjectName(QStringLiteral("CboButton%1").arg(i + 1));
        box->addItem(QStringLiteral("（なし）"), QString());
        for (const store::LawEntry& law : laws_)
            box->addItem(QStringLiteral("%1 %2").arg(law.code, law.name), law.code);
        box->setMinimumContentsLength(12);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        (i < kLawButtons / 2 ? row1 : row2)->addWidget(box);
        CboButtons << box;
    }
    grid->addLayout(row1);
    grid->addLayout(row2);
    CmdDefaultButtons = new QPushButton(QStringLiteral("番号順の最初の六つに戻す(&D)"), buttons);
    CmdDefaultButtons->setObjectName(QStringLiteral("CmdDefaultButtons"));
    auto* reset = new QHBoxLayout;
    reset->addStretch();
    reset->addWidget(CmdDefaultButtons);
    grid->addLayout(reset);

    CmdOK = new QPushButton(QStringLiteral("OK"), this);
    CmdOK->setObjectName(QStringLiteral("CmdOK"));
    CmdOK->setDefault(true);
    CmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(CmdOK);
    bottom->addWidget(CmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source);
    layout->addWidget(reading);
    layout->addWidget(buttons);
    layout->addLayout(bottom);

    platform::connectGuarded(CmdOK, &QPushButton::clicked, this, [this] {
        if (keep()) accept();
    });
    platform::connectGuarded(CmdCancel, &QPushButton::clicked, this, [this] { reject(); });
    platform::connectGuarded(CmdDefaultButtons, &QPushButton::clicked, this, [this] {
        const QList<store::LawEntry> first = buttonLaws({}, laws_);
        for (int i = 0; i < CboButtons.size(); ++i)
            CboButtons[i]->setCurrentIndex(i < first.size() ? i + 1 : 0);
    });

    loaded_ = loadReadingSettings();
    show(loaded_);
    resize(sizeHint().expandedTo(QSize(560, 0)));
}

void FrmSettings::show(const ReadingSettings& s) {
    TxtApi->setText(s.apiAddress);
    TxtRoot->setText(s.dataRoot);
    CboFont->setCurrentFont(platform::japaneseFont(s.fontFamily, s.fontSize));
    SpnSize->setValue(s.fontSize);
    SpnSpacing->setValue(s.lineSpacing);
    ChkWhole->setChecked(s.wholeArticles);
    (s.kanjiNumbers ? OptKanji : OptDigits)->setChecked(true);
    ChkParts->setChecked(s.searchParts);
    ChkFold->setChecked(s.searchFold);
    ChkLoose->setChecked(s.looseFold);
    ChkLoose->setEnabled(s.searchFold);
    // The buttons as they stand: what was chosen, or the first six by 番号.
    const QList<store::LawEntry> shown = buttonLaws(s.lawButtons, laws_);
    for (int i = 0; i < CboButtons.size(); ++i)
        CboButtons[i]->setCurrentIndex(
            i < shown.size() ? std::max(0, CboButtons[i]->findData(shown[i].code)) : 0);
}

ReadingSettings FrmSettings::chosen() const {
    ReadingSettings s;
    s.apiAddress = TxtApi->text().trimmed();
    if (s.apiAddress.isEmpty()) s.apiAddress = QString::fromLatin1(exchange::kDefaultLawApi);
    s.dataRoot = TxtRoot->text().trimmed();
    s.fontFamily = CboFont->currentFont().family();
    s.fontSize = SpnSize->value();
    s.lineSpacing = SpnSpacing->value();
    s.wholeArticles = ChkWhole->isChecked();
    s.kanjiNumbers = OptKanji->isChecked();
    s.searchParts = ChkParts->isChecked();
    s.searchFold = ChkFold->isChecked();
    s.looseFold = ChkLoose->isChecked();
    QStringList codes;
    for (const QComboBox* box : CboButtons)
        if (!box->currentData().toString().isEmpty()) codes << box->currentData().toString();
    // The first six by 番号 chosen as they are stays the default: it follows the list.
    QStringList first;
    for (const store::LawEntry& law : buttonLaws({}, laws_)) first << law.code;
    if (codes != first) s.lawButtons = codes;
    return s;
}

bool FrmSettings::keep() {
    const ReadingSettings s = chosen();
    const QString problem = readingSettingsProblem(s, laws_);
    if (!problem.isEmpty()) {
        platform::msgBox(problem);
        return false;
    }
    saveReadingSettings(s);
    const ReadingSettings before = loaded_;
    loaded_ = s;
    Q_EMIT settingsChanged(before, s);
    return true;
}

}  // namespace viewer

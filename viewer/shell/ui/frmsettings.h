#pragma once
// 設定 (ファイル → 設定…): the law API's address, the data root, the reading font, size and
// line spacing, whole articles, article numbers in kanji or digits, the search's 附則 option
// and the six law buttons. OK checks and keeps them, then tells the main window to apply them;
// a choice that cannot be kept is named and nothing is kept.
#include "viewer/shell/reading.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace viewer {

class FrmSettings : public QDialog {
    Q_OBJECT
  public:
    explicit FrmSettings(QWidget* parent = nullptr);

    QLineEdit* TxtApi = nullptr;
    QLineEdit* TxtRoot = nullptr;
    QFontComboBox* CboFont = nullptr;
    QDoubleSpinBox* SpnSize = nullptr;
    QSpinBox* SpnSpacing = nullptr;
    QCheckBox* ChkWhole = nullptr;
    QRadioButton* OptKanji = nullptr;
    QRadioButton* OptDigits = nullptr;
    QCheckBox* ChkParts = nullptr;
    QCheckBox* ChkFold = nullptr;   // 表記ゆれを同一視
    QCheckBox* ChkLoose = nullptr;  // small kana as large too
    QList<QComboBox*> CboButtons;   // one per law button, left to right
    QPushButton* CmdDefaultButtons = nullptr;
    QPushButton* CmdOK = nullptr;
    QPushButton* CmdCancel = nullptr;

    // What the controls say now.
    ReadingSettings chosen() const;
    // Checks, keeps and announces the choice; false (a message said why) when it cannot be kept.
    bool keep();

  Q_SIGNALS:
    void settingsChanged(const viewer::ReadingSettings& before,
                         const viewer::ReadingSettings& after);

  private:
    void show(const ReadingSettings& s);
    QList<store::LawEntry> laws_;
    ReadingSettings loaded_;
};

}  // namespace viewer

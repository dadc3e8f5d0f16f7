#pragma once
// The expanded-text window FrmExpand ("法典作成"): one whole law as one text, in full, as
// headings with the articles' headings, or as headings alone.
#include "platform/ui/run.h"

#include <QList>
#include <QWidget>

#include <memory>

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace platform {
class TextPane;
}

namespace viewer {

class RefLibrary;
struct ReadingSettings;

class FrmExpand : public QWidget {
    Q_OBJECT
  public:
    // `law` is curHCodeE, set by the opener.
    explicit FrmExpand(const QString& law = {}, QWidget* parent = nullptr);
    ~FrmExpand() override;

    QString curHCodeE;
    QPushButton* CmdMake = nullptr;
    QList<QRadioButton*> Option1;   // 全文, 見出し（全て）, 見出し（条を除く）
    QCheckBox* Check1 = nullptr;    // 条文の範囲を表示
    QCheckBox* ChkParts = nullptr;  // 附則・別表も: the law's parts too (kept)
    QPushButton* CmdSave = nullptr;
    platform::TextPane* Rtxt1 = nullptr;

    // Builds the text (or, for exactly "make idx" in the pane, writes idx.dat).
    void CmdMake_Click();
    // Saves the pane's text to a file chosen in a save box, in UTF-8 or Shift_JIS ("保存").
    void CmdSave_Click();
    bool running() const { return run_.running(); }
    // The reader's font, a point smaller, and line spacing from 設定.
    void applyReading(const ReadingSettings& s);

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    platform::RunState run_{this};
    std::shared_ptr<RefLibrary> refs_;  // the full text's references, as links
};

}  // namespace viewer

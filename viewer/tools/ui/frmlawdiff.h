#pragma once
// "改正比較": two versions of a law side by side as an amendment table (新旧対照表): 改正後 on
// the left, 改正前 on the right, one row per changed paragraph with the article's label and
// caption, the changed characters underlined in colour, and the counts at the top. A click on
// a row selects that paragraph in the law's browser.
#include "maint/lawdiff.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPagedPaintDevice;
class QPrinter;
class QPushButton;
class QTextBrowser;

namespace viewer {

// A row of the amendment table as the windows draw it: the 改正後 cell, then the 改正前 cell,
// each the article as that version writes it with its own changes underlined in colour.
std::pair<QString, QString> tableRowHtml(const maint::TableRow& row);
// The table of such cells (改正後, 改正前), under its heading row.
QString amendmentTableHtml(const QList<std::pair<QString, QString>>& rows);

class FrmLawDiff : public QWidget {
    Q_OBJECT
  public:
    // The law of code `law`, its newest kept version against the current records.
    explicit FrmLawDiff(const QString& law, QWidget* parent = nullptr);

    QComboBox* CboFrom = nullptr;  // the older side: a kept version
    QComboBox* CboTo = nullptr;    // the newer side: 現在の条文 or a kept version
    QLabel* LblCount = nullptr;    // N 条改正、M 条新設、K 条削除
    QTextBrowser* TxtTable = nullptr;
    QPushButton* CmdPrint = nullptr;  // 印刷…
    QPushButton* CmdPdf = nullptr;    // PDF に保存…

    // Compares the versions chosen and fills the table.
    void compare();
    // The paragraph (or article) code of each table row, first row 0.
    const QStringList& rowCodes() const { return rowCodes_; }
    // What a click on the row does: the paragraph selected in the law's browser.
    void openRow(int row);
    // The table under its title (the law, the two versions) on paper: through the system's
    // print dialog, or onto `printer` when one is given; false when the dialog was cancelled.
    bool printTable(QPrinter* printer = nullptr);
    // The same as a PDF into `path` (asked in a save box when empty); the file, or empty.
    QString savePdf(QString path = {});

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void printTo(QPagedPaintDevice& device);
    QString code_, name_;
    QStringList rowCodes_;
};

}  // namespace viewer

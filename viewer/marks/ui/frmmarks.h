#pragma once
// マーカー・しおり一覧: the reader's markers and bookmarks, narrowed by law, colour, state and
// words; a double-click opens the place, lost markers come first to be looked at.
#include "platform/ui/textpane.h"
#include "viewer/marks/anchor.h"
#include "viewer/marks/listing.h"
#include "viewer/print/pdf.h"  // markerColour: the pane's colours are the page's

#include <QWidget>

#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace viewer {

// The markers standing in the paragraphs a pane shows, as its tints (a note over its marker).
QList<platform::TextPane::Tint> markerTints(const QList<Marker>& markers,
                                            const QList<ShownParagraph>& shown);
// The law's markers (found again in its text) drawn over a pane showing its whole text.
void tintWholeLaw(platform::TextPane* pane, const QString& law);

class FrmMarks : public QWidget {
    Q_OBJECT
  public:
    explicit FrmMarks(QWidget* parent = nullptr);
    ~FrmMarks() override;

    QComboBox* CboLaw = nullptr;     // すべての法令, then each law with markers or bookmarks
    QComboBox* CboColour = nullptr;  // すべての色, 0 下線, 1-6
    QComboBox* CboState = nullptr;   // すべて, ok, moved, lost
    QLineEdit* TxtWords = nullptr;   // words of the text or the note
    QTreeWidget* List1 = nullptr;
    QPushButton* CmdRemove = nullptr;
    QPushButton* CmdExport = nullptr;
    QPushButton* CmdImport = nullptr;

    // Lists what the filter lets through, the laws' texts as they are now.
    void refresh();
    // Opens the place of the row (the item's index in List1); false when it is gone.
    bool openRow(int row);
    void removeSelected();
    void exportTo();
    void importFrom();

  private:
    std::unique_ptr<UserData> data_;
    QList<MarkRow> rows_;
};

}  // namespace viewer

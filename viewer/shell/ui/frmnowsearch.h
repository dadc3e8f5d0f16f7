#pragma once
// The progress window of the word search, FrmNowSearch ("検索中"): every hit the moment it is
// found; a double-click jumps to the hit in the result window. Esc or closing the window stops
// the search after the law in work.
#include "platform/ui/run.h"
#include "viewer/shell/search.h"

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QListWidget;

namespace viewer {

class FrmNowSearch : public QWidget, public SearchProgress {
    Q_OBJECT
  public:
    explicit FrmNowSearch(QWidget* parent = nullptr);

    QLabel* LabelHouten = nullptr;
    QListWidget* List1 = nullptr;

    // Runs the search over the laws named, showing its progress; the window stays open.
    SearchResult runSearch(const QStringList& lawNames, const QString& words, bool parts = false);
    SearchResult runSearch(const QStringList& lawNames, const QString& words,
                           const SearchOptions& options);
    // The end of a search: caption "検索終了" and the summary line.
    void showFinished(const SearchResult& r);
    bool running() const { return run_.running(); }
    // How often at most the window lets events in and repaints while it searches (ms).
    static void setPumpInterval(int ms) { pumpIntervalMs_ = ms; }
    // The line's text as the result has it (line breaks included).
    QString lineText(int row) const;
    // Double-click or Enter on a hit: its block in the result window, then its paragraph in
    // the law's browser, in front.
    void List1_DblClick();

    void law(const QString& name) override;
    void indexing(int done, int total, const QString& name) override;
    void hit(int hits, const QString& name, const QString& line, const SearchHit& hit) override;
    // The hits of a search of one law (F2), in place of the list shown.
    void showLawSearch(const QString& name, const QString& words, const LawSearch& r);
    // The words of the search listed, marked where a hit opens.
    QString words() const { return words_; }
    void pump() override;
    bool stopRequested() const override { return run_.stopRequested(); }

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void showProgress();
    static inline int pumpIntervalMs_ = 16;  // about one frame
    bool showPending_ = false;
    int shownHits_ = 0;
    QString shownLaw_;
    QString words_;
    platform::RunState run_{this};
    QElapsedTimer sincePump_;
};

}  // namespace viewer

#pragma once
// The heading drill without a window: the articles of a law with their headings, and the
// phases that flash them on two labels tick by tick.
#include <QString>
#include <QStringList>

#include <optional>

namespace viewer {

struct DrillList {
    QString name;        // 法典名称: the window's caption
    QStringList titles;  // 第3条, one per article with a heading record, in code order
    QStringList headings;
    // "title heading", as the list shows it.
    QStringList entries() const;
};

// Every heading record of the law (its code ending in "0001"); a heading "同前" stands for
// the previous one. A law not in the list gives empty lists; a missing database is made.
DrillList loadDrill(const QString& law);

// What one tick puts on the labels; an empty optional leaves a label as it is.
struct DrillLabels {
    std::optional<QString> title, heading;
    bool even = true;  // the article's number n is even: yellow, else white
    bool operator==(const DrillLabels&) const = default;
};

class HeadingDrill {
  public:
    int n = 0;  // the article drilled
    int p = 0;  // the phase

    // Mode 0 runs OpTimer1, mode 1 OpTimer2; mode 2 (pause) nothing.
    std::optional<DrillLabels> tick(int mode, const DrillList& list);
    DrillLabels OpTimer1(const DrillList& list);
    DrillLabels OpTimer2(const DrillList& list);

  private:
    // After the phase: the next phase, wrapping after `last`; the drill starts over after the
    // last article.
    void advance(int last, const DrillList& list);
};

}  // namespace viewer

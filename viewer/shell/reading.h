#pragma once
// What a reader chooses in 設定 (ファイル → 設定…), read from and kept in the settings file:
// where the laws come from (the law API's address, the data root), how the panes read (font,
// size, line spacing, whole articles, article numbers in kanji), the search's 附則 option and
// the six law buttons. The checks say what is wrong before anything is kept.
#include "store/lawdb.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace viewer {

// The reading font's bounds and first values.
inline constexpr double kSmallestReadingSize = 6, kLargestReadingSize = 72;
inline constexpr double kReadingSize = 12;
inline constexpr int kLeastSpacing = 100, kMostSpacing = 300;  // line height, per cent
inline constexpr int kLawButtons = 6;

struct ReadingSettings {
    QString apiAddress;  // the law API's base address
    QString dataRoot;    // the folder above DB; empty for the program's default
    QString fontFamily;  // the panes' reading font
    double fontSize = kReadingSize;
    int lineSpacing = kLeastSpacing;
    bool wholeArticles = true;  // an article shows every paragraph
    bool kanjiNumbers = false;  // 第四百十五条 in the tree and the pane, else 第415条
    bool searchParts = false;   // the all-law search takes 附則 and 別表 too
    bool searchFold = false;    // 表記ゆれを同一視: the searches take variant forms as one
    bool looseFold = false;     // … and small kana as large (ャ as ヤ), as old texts print them
    QStringList lawButtons;     // codes in the buttons' order; empty for the first six by 番号
    bool operator==(const ReadingSettings&) const = default;
};

ReadingSettings loadReadingSettings();
void saveReadingSettings(const ReadingSettings& s);
// What is wrong with a choice, as the window says it; empty when it can be kept. `laws` is
// the master list the buttons choose from.
QString readingSettingsProblem(const ReadingSettings& s, const QList<store::LawEntry>& laws);

// The laws on the six buttons: the chosen codes still listed, in their order; the first six
// by 番号 when none is chosen (or none of the chosen is listed any more).
QList<store::LawEntry> buttonLaws(const QStringList& chosen, const QList<store::LawEntry>& laws,
                                  int count = kLawButtons);

// The laws a reader opened last, newest first (codes, at most kRecentLaws), kept per user;
// noteLawOpened puts a law first.
inline constexpr int kRecentLaws = 10;
QStringList recentLaws();
void noteLawOpened(const QString& code);

// The settings keys, for the windows that keep one value themselves (表示 → 条文全体を表示,
// the 附則・別表も検索 box).
inline const QString kWholeArticleKey = QStringLiteral("WHOLEARTICLE");
inline const QString kPartSearchKey = QStringLiteral("PARTSEARCH");
inline const QString kFoldSearchKey = QStringLiteral("FOLDSEARCH");
// The folding the searches use, as the settings keep it.
store::Fold searchFold();

}  // namespace viewer

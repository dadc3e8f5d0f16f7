#pragma once
// The data check over the article texts of every listed law, without a window: texts too
// long, texts with an empty line, texts holding a string; and the two repairs, cutting a
// trailing amendment note or everything after an empty line.
#include <QString>
#include <QStringList>

#include <functional>

namespace viewer {

// The index of the option chosen in the window.
enum class CheckMode { Length = 0, EmptyLine = 1, String = 2 };

// The text that turns the string or empty-line check into its repair.
inline const QString kCorrectWord = QStringLiteral("CORRECT");

// What a scan reports as it goes, and what it found.
struct CheckRun {
    // Once the law list is known to have rows, before the first law.
    std::function<void()> onStart;
    // Every hit listed: its 条項コード and its summary line (after a repair, of the new text).
    std::function<void(const QString& code, const QString& summary)> onHit;
    // After every record: the hits so far and the record's number in its law (from 1).
    std::function<void(int hits, int record)> onRecord;
    // Asked between records; true ends the scan.
    std::function<bool()> stop;

    // Asked once a repair run has found what it would rewrite, before anything is written:
    // `records` texts in `laws` laws. False ends the run with nothing changed.
    std::function<bool(int records, int laws)> confirmRepair;

    int hits = 0;         // hits counted, repaired or not, over all laws
    int record = 0;       // the record number reached in the last law scanned
    QStringList skipped;  // "XX 名称: reason" for every law whose database is missing
    bool stopped = false;
    bool declined = false;    // confirmRepair said no
    int repaired = 0;         // texts rewritten
    QStringList backups;      // the copies made before the first repair of each law
    QStringList notBackedUp;  // "XX 名称: reason" for every law left unrepaired without a copy
};

// The text's length in characters, a blank and its last 50 characters.
QString checkSummary(const QString& text);

// One law (its database named `name`): the check lists the hits of `mode` and changes
// nothing; `chars` is read as a number (none gives 0), `str` compared case-sensitively.
void CheckData(const QString& name, CheckMode mode, const QString& chars, const QString& str,
               CheckRun& run);
// The text a repair keeps, or a null string when it leaves the text alone; `holdsMark` says
// whether the text is a hit at all (counted, repaired or not).
// With the string check: a text whose one CR LF "(" starts a note ending in "改正 )" or
// "追加 )" keeps the part before it. With the empty-line check: a text with exactly one
// empty line keeps the part before it.
QString repairedText(CheckMode mode, const QString& text, bool* holdsMark = nullptr);
// The repairs, each repaired record written in a transaction of its own; with `write` false
// the hits are only counted (a law without a backup is never written).
void CorrectData1(const QString& name, CheckRun& run, bool write = true);
void CorrectData2(const QString& name, CheckRun& run, bool write = true);
// How many texts of the law a repair would rewrite; reads only.
int countRepairs(const QString& name, CheckMode mode, CheckRun& run);

// The whole scan over the law list in 番号 order: the repair when `str` is exactly
// kCorrectWord and the string or empty-line check is chosen, else the check. A law whose
// database is missing is skipped and named in run.skipped. Returns false for an empty list.
// A repair first counts what it would rewrite (reading only), asks run.confirmRepair, and
// copies each law's database with store::backupLawDb before its first repair; a law whose
// copy fails is not repaired and is named in run.notBackedUp.
bool runDataCheck(CheckMode mode, const QString& chars, const QString& str, CheckRun& run);

}  // namespace viewer

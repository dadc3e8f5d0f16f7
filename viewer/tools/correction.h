#pragma once
// The correction of one stored paragraph, without a window: the record with its head, and
// the save of an edited text over it.
#include <QString>

#include <optional>

namespace viewer {

struct CorrectionRecord {
    QString head;  // 法典名称　第3条　【heading】 and the paragraph header
    QString text;  // the stored 条文
};

// The record `code` of law `law`; nothing when the law's database has no such record.
std::optional<CorrectionRecord> loadCorrection(const QString& law, const QString& code);

// The edited text as it is saved: half-width blanks trimmed off both ends.
QString correctionText(const QString& edited);

enum class CorrectionSave { Saved, Empty, NoRecord };
// Writes `text` (already trimmed) over the 条文 of the record `code`; an empty text is never
// written, and a code that no record has writes nothing.
CorrectionSave saveCorrection(const QString& law, const QString& code, const QString& text);

}  // namespace viewer

#pragma once
// One continuous text of a whole law, built without a window: the full text, the headings
// with every article's heading, or the headings alone, following the law's table of
// contents; a law without one gets the flat form.
#include "platform/error.h"

#include <QString>

#include <functional>

namespace store {
class Database;
}

namespace viewer {

class ExpandError : public platform::Error {
  public:
    using platform::Error::Error;
};

// The index of the option chosen in the window.
enum class ExpandMode { Full = 0, AllHeadings = 1, TocHeadings = 2 };

// Lets pending window events run between records; may be empty.
using ExpandPump = std::function<void()>;

// Indentation of a heading by its level label: one U+3000 per level below 編.
QString GetSpaces(const QString& label);
// "(第1条～第8条)" or "(第9条)": the range of a heading of law `law`.
QString GetJ_FromTo(const QString& law, const QString& SOJ2, const QString& EOJ2);
// The records of the articles SOJ to EOJ (8-character article codes) of an open law database:
// the full text, or only the heading lines.
QString getExpandTextEach(store::Database& db, const QString& law, const QString& SOJ,
                          const QString& EOJ, const ExpandPump& pump = {});
QString getExpandMidEach(store::Database& db, const QString& law, const QString& SOJ,
                         const QString& EOJ, const ExpandPump& pump = {});
// The flat form, for a law without table of contents (its database is made when missing).
// With `parts`, the law's parts too: a 前文 after the title, 附則, 別表 … after the main
// provision, each as its label and (in the full text) its text.
QString GetExpandedText(const QString& law, ExpandMode mode, const ExpandPump& pump = {},
                        bool parts = false);
// The law's text in `mode`; `showRange` appends each heading's article range. A law not in
// the list, a missing database or unreadable codes are an error (ExpandError or the
// store's).
QString GetExpandedTextALL(const QString& law, ExpandMode mode, bool showRange,
                           const ExpandPump& pump = {}, bool parts = false);

}  // namespace viewer

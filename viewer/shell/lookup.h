#pragma once
// What a reader types to jump to an article, read the forgiving way: the short number
// (MP415:2, KP3-2-1), the same typed by an input method (ＭＰ４１５：２), in statute form
// (MP第415条第2項, MP四百十五), or with the law's name for its code (民法415, 会社法 2). The
// target is checked against the law's records before any window changes.
#include "store/lawdb.h"

#include <QString>

namespace viewer {

// The numbers of a short number; 0 where absent.
struct ShortNumber {
    int article = 0, branch1 = 0, branch2 = 0, paragraph = 0;
};
// Reads "415", "415-2-3:4", "第415条の2第3項", "四百十五条" and the like (half-width digits
// expected); false when the text is not one article number, or a number does not fit.
bool parseShortNumber(const QString& text, ShortNumber* out);
// Full-width letters, digits and signs to half-width, the ideographic blank to a blank.
QString halfWidthAscii(const QString& text);

struct LookupTarget {
    QString lawCode, lawName;
    QString code;   // the node's key: the article code, or the 条項コード of a paragraph
    QString shown;  // the short number in its plain form (MP415:2), for the box
    QString error;  // what was not found, in the reader's words; empty when found
    QString place;  // a part's label (附則（…）抄 2) for the status bar; empty for an article
};
// A law's parts go by their kind: MP附則 (the original 附則), MP附則(H29-44) or
// MP附則(平成29年法律第44号) (an amendment's), each followed by an article number (MP附則3);
// MP別表2 or MP別表第二 (by number within the kind), KP前文.
// Resolves typed text against the law list and the law's records. Text starting with a
// number takes `currentLaw` as its law. Reads only.
LookupTarget resolveLookup(const QString& typed, const QString& currentLaw = {});
// How a part is typed: MP附則 (the original 附則), MP附則(H29-44), MP別表1.
QString partNotation(const QString& lawCode, const store::LawPart& part);

}  // namespace viewer

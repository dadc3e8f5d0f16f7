#pragma once
// Conversions with the semantics the law data relies on: Val-like reading, strict integer
// conversion, and full-width digits.
#include <QString>
#include "platform/error.h"

#include <optional>
#include <stdexcept>

namespace platform {

// A failed conversion; what() and description() carry a readable Japanese description.
class ConversionError : public Error {
  public:
    using Error::Error;
};

// Leading blanks skipped, optional sign, digits up to the first non-digit; none gives 0.
long long valInt(const QString& s);

// Whole text (surrounding blanks allowed) must be an integer in [minimum, maximum];
// throws ConversionError("型が一致しません。") or ("オーバーフローしました。") otherwise.
long long strictInt(const QString& s, long long minimum = -2147483648LL,
                    long long maximum = 2147483647LL);

// A timer interval typed as text: a whole number from 0 (stopped) to 2147483647
// milliseconds; anything else gives nothing.
std::optional<int> timerInterval(const QString& s);

// ０-９ become 0-9; every other character is kept.
QString toHalfWidthDigits(const QString& s);

// Zero-padded decimal of at least `width` digits (Format(n, "0000")).
QString padNumber(long long n, int width);

// Removes leading and trailing half-width blanks only (the full-width indent of law text stays).
QString trimBlanks(const QString& s);

// A text on one line: each line break (CR LF, LF or CR) becomes one blank.
QString oneLine(const QString& text);

}  // namespace platform

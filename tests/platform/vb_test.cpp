#include "platform/vb.h"
#include "platform/keys.h"
#include "tests/support/testsupport.h"

#include <functional>

using namespace platform;

namespace {
// The description of the ConversionError that `f` throws, or "(no error)".
QString conversionError(const std::function<void()>& f) {
    try {
        f();
    } catch (const ConversionError& e) {
        return e.description();
    }
    return QStringLiteral("(no error)");
}
const QString kMismatch = QStringLiteral("型が一致しません。");
const QString kOverflow = QStringLiteral("オーバーフローしました。");
}  // namespace

TEST(VbTest, ValIntReadsLeadingNumberOnly) {
    EXPECT_EQ(valInt(QStringLiteral("  12abc")), 12);
    EXPECT_EQ(valInt(QStringLiteral("abc")), 0);
    EXPECT_EQ(valInt(QString()), 0);
    EXPECT_EQ(valInt(QStringLiteral(" -7x")), -7);
    // A number that starts after text is not read.
    EXPECT_EQ(valInt(QStringLiteral("第3条")), 0);
}

TEST(VbTest, StrictIntAcceptsOnlyWholeIntegersInRange) {
    EXPECT_EQ(strictInt(QStringLiteral(" 12 ")), 12);
    EXPECT_EQ(strictInt(QStringLiteral("-5")), -5);
    EXPECT_EQ(strictInt(QStringLiteral("１２３")), 123);
    EXPECT_EQ(strictInt(QStringLiteral("-2147483648")), -2147483648LL);
    EXPECT_EQ(strictInt(QStringLiteral("2147483647")), 2147483647LL);

    for (const QString& bad :
         {QStringLiteral("1a"), QString(), QStringLiteral("x"), QStringLiteral("-")})
        EXPECT_EQ(conversionError([&] { strictInt(bad); }), kMismatch) << bad.toStdString();

    EXPECT_EQ(conversionError([] { strictInt(QStringLiteral("2147483648")); }), kOverflow);
    EXPECT_EQ(conversionError([] { strictInt(QStringLiteral("-2147483649")); }), kOverflow);
    // Far too many digits is an overflow, not a wrapped value.
    EXPECT_EQ(conversionError([] { strictInt(QStringLiteral("99999999999999999999999")); }),
              kOverflow);
    // A caller's narrower range (an Integer of 16 bits).
    EXPECT_EQ(strictInt(QStringLiteral("32767"), -32768, 32767), 32767);
    EXPECT_EQ(conversionError([] { strictInt(QStringLiteral("32768"), -32768, 32767); }),
              kOverflow);
}

TEST(VbTest, DigitsPaddingAndBlanks) {
    EXPECT_EQ(toHalfWidthDigits(QStringLiteral("第１２条の０")), QStringLiteral("第12条の0"));
    EXPECT_EQ(toHalfWidthDigits(QStringLiteral("９Ａ")), QStringLiteral("9Ａ"));

    EXPECT_EQ(padNumber(7, 4), QStringLiteral("0007"));
    EXPECT_EQ(padNumber(12345, 4), QStringLiteral("12345"));
    EXPECT_EQ(padNumber(0, 3), QStringLiteral("000"));

    // The full-width indent of law text is not a blank to trim.
    EXPECT_EQ(trimBlanks(QStringLiteral("  　第一条 本文  ")), QStringLiteral("　第一条 本文"));
    EXPECT_EQ(trimBlanks(QStringLiteral("   ")), QString());
}

TEST(KeysTest, ModifierStateAsTheKeyTablesWriteIt) {
    EXPECT_EQ(platform::shiftMask(Qt::NoModifier), 0);
    EXPECT_EQ(platform::shiftMask(Qt::ShiftModifier), 1);
    EXPECT_EQ(platform::shiftMask(Qt::ControlModifier), 2);
    EXPECT_EQ(platform::shiftMask(Qt::ShiftModifier | Qt::ControlModifier), 3);
    // The keypad flag is no modifier of the tables: F-keys on some keyboards carry it.
    EXPECT_EQ(platform::shiftMask(Qt::KeypadModifier | Qt::AltModifier), 4);
}

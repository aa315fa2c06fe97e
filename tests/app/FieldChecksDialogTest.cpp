#include <gtest/gtest.h>

#include "app/FieldChecks.h"

namespace dravia {
namespace {

TEST(FieldChecks, IntegersPassWithBlanksAroundThemAndFailWithAnythingElse) {
    EXPECT_EQ(checkInteger(QStringLiteral(" 42 ")).value, 42);
    EXPECT_EQ(checkInteger(QStringLiteral("-7")).value, -7);
    for (const char* bad : {"", "  ", "4 2", "12a", "1.5", "3000000000", "x"}) {
        const IntegerVerdict verdict = checkInteger(QString::fromLatin1(bad));
        EXPECT_FALSE(verdict.value) << bad;
        EXPECT_EQ(verdict.message.toStdString(), "Please enter an integer.") << bad;
    }
}

TEST(FieldChecks, IntegerRangeIsClosedAndNamesItsBounds) {
    const IntegerRange range{10, 90};
    EXPECT_EQ(checkInteger(QStringLiteral("10"), range).value, 10);
    EXPECT_EQ(checkInteger(QStringLiteral("90"), range).value, 90);
    for (const char* outside : {"9", "91", "-10"}) {
        const IntegerVerdict verdict = checkInteger(QString::fromLatin1(outside), range);
        EXPECT_FALSE(verdict.value);
        EXPECT_EQ(verdict.message.toStdString(), "Please enter an integer between 10 and 90.");
    }
    // Not a number at all is the plain message even with a range.
    EXPECT_EQ(checkInteger(QStringLiteral("ten"), range).message.toStdString(), "Please enter an integer.");
}

TEST(FieldChecks, NumbersAndTheirRanges) {
    EXPECT_DOUBLE_EQ(*checkNumber(QStringLiteral("2.5e3")).value, 2500.0);
    for (const char* bad : {"", "abc", "1,5", "inf", "nan", "2.5 m"}) {
        EXPECT_EQ(checkNumber(QString::fromLatin1(bad)).message.toStdString(), "Please enter a number.")
            << bad;
    }
    const NumberRange probability{0.0001, 1.0};
    EXPECT_DOUBLE_EQ(*checkNumber(QStringLiteral("0.0001"), probability).value, 0.0001);
    EXPECT_DOUBLE_EQ(*checkNumber(QStringLiteral("1"), probability).value, 1.0);
    EXPECT_EQ(checkNumber(QStringLiteral("0.00009"), probability).message.toStdString(),
              "Please enter a number between 0.0001 and 1.");
    EXPECT_EQ(checkNumber(QStringLiteral("1.0001"), probability).message.toStdString(),
              "Please enter a number between 0.0001 and 1.");
}

TEST(FieldChecks, BoundsReadAsAPersonWritesThem) {
    EXPECT_EQ(boundText(10000000.0).toStdString(), "10000000");
    EXPECT_EQ(boundText(999999999.0).toStdString(), "999999999");
    EXPECT_EQ(boundText(0.000001).toStdString(), "0.000001");
    EXPECT_EQ(boundText(0.001).toStdString(), "0.001");
    EXPECT_EQ(boundText(0.0).toStdString(), "0");
    EXPECT_EQ(boundText(2500.0).toStdString(), "2500");
}

TEST(FieldChecks, FieldsShowTheHeldValueWithoutNoise) {
    EXPECT_EQ(numberText(1000.008 / 0.55556).toStdString(), "1800");
    EXPECT_EQ(numberText(0.0001).toStdString(), "0.0001");
    EXPECT_EQ(numberText(10000000.0).toStdString(), "10000000");
    EXPECT_EQ(numberText(57.26).toStdString(), "57.26");
}

}  // namespace
}  // namespace dravia

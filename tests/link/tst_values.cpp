#include <gtest/gtest.h>

#include <cmath>

#include "link/values.h"

using namespace Values;

TEST(Values, ValTakesTheLeadingNumber)
{
    const struct { const char *text; double expected; } rows[] = {
        {"12.5", 12.5}, {"  7abc", 7}, {"", 0}, {"1.5E3", 1500}, {"-3", -3}, {"abc", 0},
        {".5", 0.5}, {"5.", 5}, {"2E", 2}, {"2e-2x", 0.02}, {"+4", 4}, {"1.2.3", 1.2}, {"-", 0},
        {"0012.5", 12.5}, {"\t9", 9}, {"1,5", 1},
    };
    for (const auto &r : rows)
        EXPECT_DOUBLE_EQ(Val(QString::fromLatin1(r.text)), r.expected) << r.text;
}

TEST(Values, CIntRoundsHalvesToEvenAndRefusesOverflow)
{
    const struct { double value; int expected; } rows[] = {
        {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {3.49, 3}, {32767.4, 32767}, {-32768.0, -32768},
    };
    for (const auto &r : rows)
        EXPECT_EQ(CInt(r.value), r.expected) << r.value;
    for (double overflow : {32767.5, -32769.0, 1e300, std::nan("")}) // 32767.5 rounds to 32768
        EXPECT_THROW(CInt(overflow), OverflowError) << overflow;
    EXPECT_EQ(CLng(70000.5), 70000);
    EXPECT_THROW(CLng(3e9), OverflowError);
    EXPECT_THROW(CSng(1e39), OverflowError);
    EXPECT_FLOAT_EQ(CSng(2.5), 2.5f);
}

TEST(Values, IsNumericAcceptsOneDecimalNumber)
{
    for (const char *yes : {"0", "12", " 12 ", "-3", "+3", "1.5", ".5", "5.", "1E3", "1.5e-3", "  -0.25  "})
        EXPECT_TRUE(IsNumeric(QString::fromLatin1(yes))) << yes;
    for (const char *no : {"", " ", ".", "1.2.3", "abc", "1a", "E3", "1E", "--1", "1 2", "1,5", "-", "+."})
        EXPECT_FALSE(IsNumeric(QString::fromLatin1(no))) << no;
    EXPECT_TRUE(IsNumeric(QStringLiteral("1,5"), QLatin1Char(',')));
    EXPECT_FALSE(IsNumeric(QStringLiteral("1.5"), QLatin1Char(',')));
}

TEST(Values, FormatSingleWritesTheShortestGeneralForm)
{
    const struct { float value; const char *text; } rows[] = {
        {0.025f, "0.025"}, {2.5f, "2.5"}, {1000.0f, "1000"}, {0.0f, "0"}, {-0.0f, "0"}, {-3.0f, "-3"},
        {6.25f, "6.25"}, {0.1f, "0.1"}, {1234567.0f, "1234567"}, {1e7f, "1E+07"}, {1.5e-5f, "1.5E-05"},
        {0.0001f, "0.0001"}, {123.456f, "123.456"}, {1.0f / 3.0f, "0.3333333"}, {-1.0f, "-1"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(FormatSingle(r.value).toStdString(), r.text);
    EXPECT_EQ(FormatSingle(2.5f, QLatin1Char(',')).toStdString(), "2,5");
    EXPECT_EQ(FormatInt(-32768).toStdString(), "-32768");
    EXPECT_EQ(FormatInt(512).toStdString(), "512");
}

TEST(Values, FormattedSinglesReadBackToTheSameSingle)
{
    for (float f : {0.025f, 3.14159f, 99999.99f, 1e-6f, 65432.1f, 7.0f})
        EXPECT_EQ(float(Val(FormatSingle(f))), f) << FormatSingle(f).toStdString();
}

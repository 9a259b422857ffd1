#include <gtest/gtest.h>

#include "monitor/teststring.h"

namespace {

QString chars(std::initializer_list<int> codes)
{
    QString s;
    for (int c : codes)
        s += QChar(ushort(c));
    return s;
}

TEST(TestString, PickerEntryNInsertsCodeNMinusOneAndNamesIt)
{
    const QStringList entries = TestString::pickerEntries();
    ASSERT_EQ(entries.size(), 33);
    EXPECT_EQ(entries.first(), QStringLiteral("0 - NUL"));
    EXPECT_TRUE(TestString::pickerInsertion(0).isEmpty());
    for (int n = 1; n < entries.size(); ++n) {
        const QString inserted = TestString::pickerInsertion(n);
        ASSERT_EQ(inserted.size(), 1) << n;
        EXPECT_EQ(inserted.at(0).unicode(), n - 1) << n;
        EXPECT_TRUE(entries.at(n).endsWith(QStringLiteral("(code %1)").arg(n - 1))) << entries.at(n).toStdString();
    }
    EXPECT_EQ(entries.at(1), QStringLiteral("1 - NUL (code 0)"));
    EXPECT_EQ(entries.at(3), QStringLiteral("3 - STX (code 2)"));
    EXPECT_EQ(entries.at(14), QStringLiteral("14 - CR (code 13)"));
    EXPECT_EQ(entries.at(32), QStringLiteral("32 - US (code 31)"));
    EXPECT_TRUE(TestString::pickerInsertion(33).isEmpty());
    EXPECT_TRUE(TestString::pickerInsertion(-1).isEmpty());
}

struct ComposeRow
{
    QString typed;
    bool stx;
    bool cr;
    QString sent;
};

TEST(TestString, ComposeFramesOnlyOnRequestAndKeepsEightBitCharacters)
{
    const ComposeRow rows[] = {
        {QStringLiteral("3i"), false, false, QStringLiteral("3i")},
        {QStringLiteral("3i"), true, true, chars({2, '3', 'i', 13})},
        {QStringLiteral("3i"), true, false, chars({2, '3', 'i'})},
        {QStringLiteral("3i"), false, true, chars({'3', 'i', 13})},
        {QString(), true, true, chars({2, 13})},
        {QString(), false, false, QString()},
        {chars({2, 'V', 13}), false, false, chars({2, 'V', 13})},
        {chars({0, 0xE9, 0xFF}), false, false, chars({0, 0xE9, 0xFF})},
        // Beyond 8 bits the line carries "?", and the echo must show what is carried.
        {QStringLiteral("5\u20AC"), false, false, QStringLiteral("5?")},
    };
    for (const ComposeRow &row : rows) {
        EXPECT_EQ(TestString::compose(row.typed, row.stx, row.cr), row.sent)
            << row.typed.toStdString() << " stx " << row.stx << " cr " << row.cr;
    }
}

} // namespace

#include <gtest/gtest.h>

#include <QStringList>

#include "link/echoformat.h"
#include "link/frames.h"
#include "wiretext.h"

namespace {

QString wire(const char *markup)
{
    return QString::fromLatin1(wireBytes(markup));
}

TEST(Frames, SplitsCommandsAndReplies)
{
    using K = Frames::Kind;
    const struct { const char *text, *code, *letter, *value; K kind; } rows[] = {
        {"<STX>3i<CR>", "3", "i", "", K::Read},
        {"<STX>15f2.5<CR>", "15", "f", "2.5", K::Write},
        {"<STX>3i2<CR>", "3", "i", "2", K::Write},
        {"<STX>W<CR>", "", "W", "", K::Plain},
        {"<STX>F123.4<CR>", "", "F", "123.4", K::Plain},
        {"<STX>E13<CR>", "", "E", "13", K::Plain},
        {"<STX>0019i7<CR>", "0019", "i", "7", K::Write},
        {"<STX>", "", "", "", K::Plain},
        {"", "", "", "", K::Plain},
        {"<STX>12", "", "", "", K::Plain},  // only digits after the first character
        {"3i", "", "i", "", K::Plain},      // unframed: the first character is skipped
        {"<STX>3i", "3", "i", "", K::Write}, // unframed read without CR counts as a write
    };
    for (const auto &r : rows) {
        const Frames::Parts p = Frames::split(wire(r.text));
        EXPECT_EQ(QStringList({p.codeText, p.letter, p.valueText}), QStringList({r.code, r.letter, r.value}))
            << r.text;
        EXPECT_EQ(int(p.kind), int(r.kind)) << r.text;
    }
}

TEST(Frames, ChecksRepliesAgainstTheCommand)
{
    const struct { const char *command, *reply; bool valid; } rows[] = {
        {"<STX>3i<CR>", "<STX>3i2<CR>", true},
        {"<STX>3i<CR>", "<STX>03i2<CR>", true},   // codes compare by number
        {"<STX>3i<CR>", "<STX>4i2<CR>", false},   // other code
        {"<STX>3i<CR>", "<STX>3f2<CR>", false},   // other letter
        {"<STX>3i<CR>", "<STX>3i<CR>", false},    // empty value
        {"<STX>3i<CR>", "<STX>3iab<CR>", false},  // non-numeric value
        {"<STX>3i<CR>", "<STX>3i 2 <CR>", true},  // surrounding spaces are numeric
        {"<STX>15f2.5<CR>", "<STX>15f2.500<CR>", true},
        {"<STX>15f2.5<CR>", "<STX>15f2.505<CR>", true},
        {"<STX>15f2.5<CR>", "<STX>15f2.52<CR>", false},
        {"<STX>15f2.5<CR>", "<STX>15i2.5<CR>", false},
        {"<STX>15f2.5<CR>", "<STX>16f2.5<CR>", false},
        {"<STX>15f2.5<CR>", "<STX>15fx<CR>", false},
        {"<STX>15fx<CR>", "<STX>15fx<CR>", false}, // non-numeric command value
        {"<STX>0019i7<CR>", "<STX>19i7<CR>", true},
        {"<STX>F<CR>", "<STX>F<CR>", true},
        {"<STX>F<CR>", "<STX>F512.3<CR>", true},
        {"<STX>F<CR>", "<STX>Fabc<CR>", false},
        {"<STX>F<CR>", "<STX>W<CR>", false},
        {"<STX>V<CR>", "<STX>V1.03<CR>", true},
        {"<STX>V<CR>", "<STX>VK1.03<CR>", false}, // a version must be numeric
        {"X", "<STX>Q<CR>", true},                // shorter than 2: nothing compared
        {"hello", "<STX>hell<CR>", false},        // unframed plain text compares as sent
    };
    for (const auto &r : rows)
        EXPECT_EQ(Frames::replyMatches(wire(r.command), wire(r.reply)), r.valid) << r.command << r.reply;
}

TEST(Frames, NamesItemsAndDeviceErrors)
{
    const struct { const char *code, *name; } items[] = {
        {"3", "Rate Units"}, {"11", "Damping"}, {"99", "Analog Output Test"}, {"120", "Flow Linear Pt 10"},
        {"101", "Frequency Linear Pt 1"}, {"119", "Frequency Linear Pt 10"}, {"", "Unknown Item"},
        {"1", "Unknown Item"}, {"03", "Unknown Item"}, // the exact text, as sent
    };
    for (const auto &r : items)
        EXPECT_EQ(Frames::itemName(r.code), r.name) << r.code;
    const struct { double code; const char *text; } errors[] = {
        {10, "Device Error 10, INVALID COMMAND"}, {12, "Device Error 12, INVALID PARAMETER TYPE"},
        {15, "Device Error 15, INVALID MESSAGE FORMAT"}, {9, ""}, {13.5, ""},
    };
    for (const auto &r : errors)
        EXPECT_EQ(Frames::deviceErrorText(r.code), r.text) << r.code;
}

TEST(EchoFormat, ShowsControlCharactersByNameOrHex)
{
    using M = TrafficEcho::Mode;
    const QString cmd = QString::fromLatin1("\x02" "3i\r\x7f\xe9\x1f");
    EXPECT_EQ(EchoFormat::text(cmd, M::Ascii), QString::fromUtf8("<STX>3i<CR><DEL>\u00e9<US>"));
    EXPECT_EQ(EchoFormat::text(cmd, M::Hex), "02 33 69 0D 7F E9 1F ");
    EXPECT_EQ(EchoFormat::text(cmd, M::None), "");
    EXPECT_EQ(EchoFormat::controlName(0), "<NUL>");
    EXPECT_EQ(EchoFormat::controlName(10), "<LF>");
    EXPECT_EQ(EchoFormat::controlName(65), "");
}

} // namespace

// The Linux program's argv: read by the same parser after UTF-8 decoding, and joined for the log.
#include "narrow_args.h"
#include "settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
    int count;
    double timeout;
    int size;
    int variation;
};

Parsed parse(std::vector<const char*> args)
{
    reset_settings();
    parse_narrow_command_line(static_cast<int>(args.size()), args.data());
    return Parsed{g_flyCount, g_timeoutSeconds, g_flyRenderSize, g_sizeVariationPercent};
}

std::string join(std::vector<const char*> args, size_t capacity = 256)
{
    std::string buf(capacity, '#');
    const size_t length = join_command_line(static_cast<int>(args.size()), args.data(), &buf[0], capacity);
    EXPECT_EQ(buf[length], '\0');
    return buf.substr(0, length);
}

} // namespace

// The options mean what they mean on Windows; bytes that are not UTF-8 read as non-digits.
TEST(NarrowArgs, ParseLikeTheWideParser)
{
    const struct {
        std::vector<const char*> args;
        Parsed expected;
    } cases[] = {
        {{"buzzel"}, {1, 15.0, 36, 0}},
        {{"buzzel", "-n", "5", "--timeout", "2.5", "-s", "48", "-v", "30"}, {5, 2.5, 48, 30}},
        {{"buzzel", "7"}, {7, 15.0, 36, 0}},
        {{"buzzel", "--count", "12abc", "-s", "2"}, {12, 15.0, 72, 0}},
        {{"buzzel", "-n", "\xff\xfe" "3", "-t", "\xc3\xa9"}, {1, 0.0, 36, 0}},
        {{"buzzel", "-n", "\xe2\x82"}, {1, 15.0, 36, 0}}, // cut sequence: not a count above 0
        {{"buzzel", "\xf0\x9f\xaa\xb0", "-n", "4"}, {4, 15.0, 36, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.size());
        const Parsed p = parse(c.args);
        EXPECT_EQ(p.count, c.expected.count);
        EXPECT_EQ(p.timeout, c.expected.timeout);
        EXPECT_EQ(p.size, c.expected.size);
        EXPECT_EQ(p.variation, c.expected.variation);
    }
}

TEST(NarrowArgs, JoinQuotesWhatAShellWouldSplit)
{
    EXPECT_EQ(join({"./buzzel", "-n", "3"}), "./buzzel -n 3");
    EXPECT_EQ(join({"/opt/fly dir/buzzel", "", "-t", "1.5"}), "'/opt/fly dir/buzzel' '' -t 1.5");
    EXPECT_EQ(join({"buzzel", "it's", "$HOME"}), "buzzel 'it'\\''s' '$HOME'");
    EXPECT_EQ(join({"buzzel", "\xc3\xa9t\xc3\xa9"}), "buzzel \xc3\xa9t\xc3\xa9");
    // Cut at the capacity, always terminated.
    EXPECT_EQ(join({"buzzel", "-n", "3"}, 9), "buzzel -");
    EXPECT_EQ(join({"buzzel"}, 1), "");
}

// The command-line format: every argument list below is what follows the program's path.
#include "settings.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct ParseCase {
    std::vector<const wchar_t*> args;
    int count;
    double timeout;
    int size;
    int variation;
};

std::string describe(const std::vector<const wchar_t*>& args)
{
    std::string text;
    for (const wchar_t* arg : args) {
        text += " [";
        for (const wchar_t* c = arg; *c; ++c)
            text += *c < 128 ? static_cast<char>(*c) : '?';
        text += "]";
    }
    return text;
}

void parse(const std::vector<const wchar_t*>& args)
{
    std::vector<const wchar_t*> argv{L"C:\\buzzel\\buzzel.exe"};
    argv.insert(argv.end(), args.begin(), args.end());
    reset_settings();
    parse_command_line(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(Settings, ParseCommandLine)
{
    const ParseCase cases[] = {
        {{}, 1, 15.0, 36, 0},
        {{L"-n", L"10", L"-t", L"0", L"-s", L"36"}, 10, 0.0, 36, 0},
        {{L"-n", L"5", L"-t", L"30", L"-s", L"2", L"-v", L"25"}, 5, 30.0, 72, 25},
        {{L"--count", L"4", L"--timeout", L"2.5", L"--size", L"3", L"--variation", L"50"}, 4, 2.5, 108, 50},
        // Bare arguments and -n override each other in order.
        {{L"25"}, 25, 15.0, 36, 0},
        {{L"-n", L"3", L"25"}, 25, 15.0, 36, 0},
        {{L"25", L"-n", L"3"}, 3, 15.0, 36, 0},
        {{L"+8"}, 8, 15.0, 36, 0},
        {{L"12abc"}, 12, 15.0, 36, 0},
        {{L"-4"}, 1, 15.0, 36, 0},
        {{L"0"}, 1, 15.0, 36, 0},
        {{L"abc"}, 1, 15.0, 36, 0},
        {{L""}, 1, 15.0, 36, 0},
        // A value is always used up, even when it is not accepted or looks like an option.
        {{L"-n"}, 1, 15.0, 36, 0},
        {{L"-n", L"0"}, 1, 15.0, 36, 0},
        {{L"-n", L"-4"}, 1, 15.0, 36, 0},
        {{L"-n", L"abc", L"5"}, 5, 15.0, 36, 0},
        {{L"-n", L"-t", L"30"}, 30, 15.0, 36, 0},
        {{L"-t", L"8"}, 1, 8.0, 36, 0},
        {{L"-v", L"9"}, 1, 15.0, 36, 9},
        {{L"-t", L"-n", L"7"}, 7, 0.0, 36, 0},
        {{L"7", L"-s"}, 7, 15.0, 36, 0},
        // Time limit.
        {{L"-t", L"2.5"}, 1, 2.5, 36, 0},
        {{L"-t", L"2,5"}, 1, 2.0, 36, 0},
        {{L"-t", L"1e1"}, 1, 10.0, 36, 0},
        {{L"-t", L"-1"}, 1, 15.0, 36, 0},
        {{L"-t", L"0"}, 1, 0.0, 36, 0},
        {{L"-t", L"abc"}, 1, 0.0, 36, 0},
        // Size: 1 to 5 multiply the standing size, above 5 are pixels.
        {{L"-s", L"1"}, 1, 15.0, 36, 0},
        {{L"-s", L"2"}, 1, 15.0, 72, 0},
        {{L"-s", L"2", L"-s", L"3"}, 1, 15.0, 216, 0},
        {{L"-s", L"2", L"-s", L"40"}, 1, 15.0, 40, 0},
        {{L"-s", L"40", L"-s", L"2"}, 1, 15.0, 80, 0},
        {{L"-s", L"6"}, 1, 15.0, 6, 0},
        {{L"-s", L"0"}, 1, 15.0, 36, 0},
        {{L"-s", L"-3"}, 1, 15.0, 36, 0},
        // Variation is clamped, and stored for every value.
        {{L"-v", L"150"}, 1, 15.0, 36, 100},
        {{L"-v", L"-5"}, 1, 15.0, 36, 0},
        {{L"-v", L"30", L"-v", L"abc"}, 1, 15.0, 36, 0},
        // Option words are whole, exact and case-sensitive.
        {{L"-N", L"5"}, 5, 15.0, 36, 0},
        {{L"--COUNT", L"5"}, 5, 15.0, 36, 0},
        {{L"/n", L"5"}, 5, 15.0, 36, 0},
        {{L"--count=5"}, 1, 15.0, 36, 0},
        {{L"-n5"}, 1, 15.0, 36, 0},
        // An unquoted path with blanks falls apart; a piece starting with digits sets the count.
        {{L"2\\buzzel.exe"}, 2, 15.0, 36, 0},
        {{L"2\\buzzel.exe", L"-n", L"3"}, 3, 15.0, 36, 0},
        // Sizes are held at MAX_FLY_RENDER_SIZE instead of overflowing the int.
        {{L"-s", L"5", L"-s", L"5", L"-s", L"5"}, 1, 15.0, 4500, 0},
        {{L"-s", L"5", L"-s", L"5", L"-s", L"5", L"-s", L"5", L"-s", L"5", L"-s", L"5",
          L"-s", L"5", L"-s", L"5", L"-s", L"5", L"-s", L"5", L"-s", L"5", L"-s", L"5"},
         1, 15.0, MAX_FLY_RENDER_SIZE, 0},
        {{L"-s", L"16384", L"-s", L"2"}, 1, 15.0, MAX_FLY_RENDER_SIZE, 0},
        {{L"-s", L"16385"}, 1, 15.0, MAX_FLY_RENDER_SIZE, 0},
        {{L"-s", L"99999999999999"}, 1, 15.0, MAX_FLY_RENDER_SIZE, 0},
        {{L"-s", L"-99999999999999"}, 1, 15.0, 36, 0},
        // Numbers beyond the int range saturate; beyond the double range they go to inf or 0.
        {{L"-n", L"99999999999"}, INT_MAX, 15.0, 36, 0},
        {{L"-n", L"-99999999999"}, 1, 15.0, 36, 0},
        {{L"-v", L"99999999999"}, 1, 15.0, 36, 100},
        {{L"-v", L"-99999999999"}, 1, 15.0, 36, 0},
        {{L"-t", L"1e400"}, 1, HUGE_VAL, 36, 0},
        {{L"-t", L"-1e400"}, 1, 15.0, 36, 0},
        {{L"-t", L"1e-400"}, 1, 0.0, 36, 0},
        {{L"-t", L"nan"}, 1, 0.0, 36, 0},
        {{L"-t", L"inf"}, 1, 0.0, 36, 0},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(describe(c.args));
        parse(c.args);
        EXPECT_EQ(g_flyCount, c.count);
        EXPECT_EQ(g_timeoutSeconds, c.timeout);
        EXPECT_EQ(g_flyRenderSize, c.size);
        EXPECT_EQ(g_sizeVariationPercent, c.variation);
    }
    reset_settings();
}

// "-0" is accepted as no time limit and stored as +0, so the limit is never below zero.
TEST(Settings, NegativeZeroTimeoutIsStoredAsZero)
{
    parse({L"-t", L"-0"});
    EXPECT_EQ(g_timeoutSeconds, 0.0);
    EXPECT_FALSE(std::signbit(g_timeoutSeconds));
    reset_settings();
}

TEST(Settings, ReadInt)
{
    const struct {
        const wchar_t* text;
        int value;
    } cases[] = {
        {L"12abc", 12},  {L"+7", 7},    {L"1.9", 1},     {L"0x10", 0},     {L"abc", 0},
        {L"", 0},        {L"  42", 42}, {L"\t-8", -8},   {L"007", 7},      {L"+-5", 0},
        {L"- 5", 0},     {L"5 6", 5},   {L"\x0663", 0},
        // A character whose low 16 bits are a digit is no digit, whatever the width of wchar_t.
        {L"\U00010035", 0},
        {L"2147483647", INT_MAX},       {L"2147483648", INT_MAX},
        {L"-2147483648", INT_MIN},      {L"-2147483649", INT_MIN},
        {L"99999999999999999999999999999999", INT_MAX},
        {L"-99999999999999999999999999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(describe({c.text}));
        EXPECT_EQ(read_int(c.text), c.value);
    }
}

TEST(Settings, ReadReal)
{
    const struct {
        const wchar_t* text;
        double value;
    } cases[] = {
        {L"2.5", 2.5},       {L"2,5", 2.0},       {L"1e1", 10.0},      {L"1E+2", 100.0},
        {L"1e-1", 0.1},      {L"0.1", 0.1},       {L"123e-2", 1.23},   {L"1e", 1.0},
        {L"1e+", 1.0},       {L"1ex", 1.0},       {L".5", 0.5},        {L"5.", 5.0},
        {L".", 0.0},         {L"-.5e1", -5.0},    {L"  +3.25xyz", 3.25}, {L"1.2.3", 1.2},
        {L"abc", 0.0},       {L"", 0.0},          {L"nan", 0.0},       {L"inf", 0.0},
        {L"-infinity", 0.0}, {L"0x1p3", 0.0},     {L"000123.4500", 123.45},
        {L"0.000001e6", 1.0},
        {L"1.7976931348623157e308", DBL_MAX},
        {L"4.9406564584124654e-324", 4.9406564584124654e-324},
        {L"1e400", HUGE_VAL},  {L"-1e400", -HUGE_VAL}, {L"1e-400", 0.0},
        {L"1e99999999999999999999", HUGE_VAL}, {L"1e-99999999999999999999", 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(describe({c.text}));
        const double value = read_real(c.text);
        EXPECT_FALSE(std::isnan(value));
        EXPECT_EQ(value, c.value);
    }
}

// Very long numbers: the digits past those kept still decide the rounding, and a long run of
// zeros shifts the exponent as it should.
TEST(Settings, ReadRealLongDigitStrings)
{
    // 1 + 2^-53 lies exactly halfway between 1 and the next double and rounds to even (1);
    // any non-zero digit after it, however far out, tips it up to 1 + 2^-52.
    const std::wstring halfway = L"1.00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(read_real(halfway.c_str()), 1.0);
    const std::wstring aboveHalfway = halfway + std::wstring(2000, L'0') + L"1";
    EXPECT_EQ(read_real(aboveHalfway.c_str()), 1.0 + DBL_EPSILON);

    const std::wstring huge = L"1" + std::wstring(400, L'0');
    EXPECT_EQ(read_real(huge.c_str()), HUGE_VAL);
    const std::wstring hugeScaledDown = huge + L"e-400";
    EXPECT_EQ(read_real(hugeScaledDown.c_str()), 1.0);
    const std::wstring tiny = L"0." + std::wstring(400, L'0') + L"1";
    EXPECT_EQ(read_real(tiny.c_str()), 0.0);
    const std::wstring tinyScaledUp = tiny + L"e401";
    EXPECT_EQ(read_real(tinyScaledUp.c_str()), 1.0);
}

// The launcher's command composition: size scale, command text from slider positions,
// the overlay path beside the launcher and the quoted command line.
#include "launch_command.h"

#include <gtest/gtest.h>

#include <climits>

TEST(SizeScale, MultiplierIsPositionOverTen)
{
    EXPECT_EQ(trackbarPosToSizeMultiplier(20), 2.0f);
    EXPECT_EQ(trackbarPosToSizeMultiplier(7), 0.7f);
    EXPECT_EQ(trackbarPosToSizeMultiplier(5), 0.5f);
}

TEST(SizeScale, EverySliderPositionGivesTheTruncatedPixels)
{
    // 1.8 x position, truncated: positions 5 to 30.
    const int pixels[] = {9,  10, 12, 14, 16, 18, 19, 21, 23, 25, 27, 28, 30,
                          32, 34, 36, 37, 39, 41, 43, 45, 46, 48, 50, 52, 54};
    for (int position = 5; position <= 30; ++position)
        EXPECT_EQ(sizeMultiplierToPixels(trackbarPosToSizeMultiplier(position)), pixels[position - 5])
            << "position " << position;
}

struct CommandCase {
    int count, timeout, size, variation;
    const char* text;
};

TEST(CommandText, FromSliderPositions)
{
    const CommandCase cases[] = {
        {1, 15, 20, 0, "buzzel.exe -n 1 -t 15 -s 36"},  // the starting positions: no -v
        {1, 15, 20, 1, "buzzel.exe -n 1 -t 15 -s 36 -v 1"},
        {1, 15, 20, 100, "buzzel.exe -n 1 -t 15 -s 36 -v 100"},
        {10, 0, 20, 0, "buzzel.exe -n 10 -t 0 -s 36"},   // "No timeout" is sent as 0
        {50, 600, 30, 0, "buzzel.exe -n 50 -t 600 -s 54"},
        {1, 15, 5, 0, "buzzel.exe -n 1 -t 15 -s 9"},
        {1, 15, 7, 0, "buzzel.exe -n 1 -t 15 -s 12"},    // 12.6 truncates, never rounds to 13
        {1, 15, 11, 0, "buzzel.exe -n 1 -t 15 -s 19"},
    };
    for (const CommandCase& c : cases)
        EXPECT_EQ(compose_command_text(c.count, c.timeout, c.size, c.variation), c.text);
}

TEST(CommandText, OutOfRangePositionsAreReplaced)
{
    const CommandCase cases[] = {
        {0, -1, 4, -3, "buzzel.exe -n 5 -t 0 -s 18"},
        {-7, -600, -20, -100, "buzzel.exe -n 5 -t 0 -s 18"},
        {1, 0, 5, 0, "buzzel.exe -n 1 -t 0 -s 9"},       // the lowest positions in range stay
    };
    for (const CommandCase& c : cases)
        EXPECT_EQ(compose_command_text(c.count, c.timeout, c.size, c.variation), c.text);
}

// Positions far above the slider's range (no slider gives them) saturate instead of overflowing
// the int: the overlay then holds such a size at its own largest.
TEST(CommandText, SizeBeyondTheIntRangeSaturates)
{
    EXPECT_EQ(sizeMultiplierToPixels(1e10f), INT_MAX);
    EXPECT_EQ(sizeMultiplierToPixels(-1e10f), INT_MIN);
    EXPECT_EQ(compose_command_text(1, 15, INT_MAX, 0), "buzzel.exe -n 1 -t 15 -s 2147483647");
    EXPECT_EQ(compose_command_text(1, 15, 1193046470, 0), "buzzel.exe -n 1 -t 15 -s 2147483647");
}

TEST(OverlayPath, SitsInTheLauncherDirectory)
{
    EXPECT_EQ(overlay_path_beside(L"C:\\Tools\\buzzel_gui.exe"), L"C:\\Tools\\buzzel.exe");
    EXPECT_EQ(overlay_path_beside(L"C:\\Program Files\\Buzzel\\buzzel_gui.exe"),
              L"C:\\Program Files\\Buzzel\\buzzel.exe");
    EXPECT_EQ(overlay_path_beside(L"D:\\\u041f\u043e\u043b\u0451\u0442\\buzzel_gui.exe"),
              L"D:\\\u041f\u043e\u043b\u0451\u0442\\buzzel.exe");
    EXPECT_EQ(overlay_path_beside(L"C:\\buzzel_gui.exe"), L"C:\\buzzel.exe");
    // Only backslashes separate; a path without one is kept whole.
    EXPECT_EQ(overlay_path_beside(L"buzzel_gui.exe"), L"buzzel_gui.exe\\buzzel.exe");
}

TEST(CommandLine, QuotedPathThenTwoBlanksThenTheArguments)
{
    EXPECT_EQ(compose_command_line(L"C:\\Tools\\buzzel.exe", "buzzel.exe -n 1 -t 15 -s 36"),
              L"\"C:\\Tools\\buzzel.exe\"  -n 1 -t 15 -s 36");
    EXPECT_EQ(compose_command_line(L"C:\\Program Files\\Buzzel\\buzzel.exe", "buzzel.exe -n 1 -t 15 -s 36"),
              L"\"C:\\Program Files\\Buzzel\\buzzel.exe\"  -n 1 -t 15 -s 36");
    EXPECT_EQ(compose_command_line(L"C:\\\u041f\u043e\u043b\u0451\u0442\\buzzel.exe",
                                   compose_command_text(3, 0, 30, 25)),
              L"\"C:\\\u041f\u043e\u043b\u0451\u0442\\buzzel.exe\"  -n 3 -t 0 -s 54 -v 25");
}

TEST(CommandLine, PlaceholderWordIsDroppedWhateverItSays)
{
    EXPECT_EQ(compose_command_line(L"C:\\b.exe", "anything -n 2 -t 1 -s 9"), L"\"C:\\b.exe\"  -n 2 -t 1 -s 9");
}

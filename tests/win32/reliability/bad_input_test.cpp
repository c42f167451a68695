// The real buzzel.exe under Wine, given bad input: arguments out of range, a count too large to
// allocate, a very long command line, broken fly images, a log it cannot write and a current
// directory it cannot write. Each run must end the specified way with its exact exit code; a
// crash would show as a code like 0xC0000005 (the prefix shows no crash dialog).
#include "fly_image.h"
#include "png_bytes.h"
#include "test_support.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr DWORD EXIT_START_FAILED = 0xFFFFFFFFu; // -1
constexpr DWORD RUN_TIMEOUT_MS = 60000;          // far beyond any run here; only a hang reaches it
const wchar_t* const SHORT_RUN = L"-t 0.3";      // a run long enough to draw a few frames

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end()); // the tests only use ASCII
}

// Every test runs the program in a fresh directory of its own.
class BadInput : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.made); }

    // Runs the program to its end in directory (the test's own by default); false if it hung.
    bool run(const std::wstring& arguments, DWORD* exitCode, const std::wstring& directory = L"")
    {
        Child child = child_start(program_, arguments, directory.empty() ? dir_.wstring() : directory);
        EXPECT_TRUE(child.started) << "could not start " << narrow(program_);
        const bool ended = child_wait(child, RUN_TIMEOUT_MS, exitCode);
        child_close(child);
        return ended;
    }

    // Runs a program that has no time limit: once its window is up, a close request ends it.
    bool run_until_closed(const std::wstring& arguments, DWORD* exitCode)
    {
        Child child = child_start(program_, arguments, dir_.wstring());
        EXPECT_TRUE(child.started);
        const HWND window = wait_for_process_window(child.info.dwProcessId, OVERLAY_WINDOW_CLASS, 20000);
        EXPECT_NE(window, nullptr) << "no overlay window";
        if (window != nullptr) {
            Sleep(500); // let the clock tick for a while first
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        const bool ended = child_wait(child, RUN_TIMEOUT_MS, exitCode);
        child_close(child);
        return ended;
    }

    std::string log() const { return read_file((dir_ / "buzzel_start.log").wstring()); }

    // The command line the program sees for these arguments.
    std::string command_line(const std::wstring& arguments) const
    {
        return narrow(L"\"" + program_ + L"\" " + arguments);
    }

    // The log of one run: both START lines with the command line, then the given last message.
    void expect_log(const std::wstring& arguments, const std::string& last) const
    {
        const std::vector<std::string> messages = read_log_messages(dir_);
        ASSERT_EQ(messages.size(), 3u) << log();
        const std::string commandLine = command_line(arguments);
        EXPECT_EQ(messages[0], "START (winapi) cmd=" + commandLine);
        EXPECT_EQ(messages[1], "START cmd=" + commandLine);
        EXPECT_EQ(messages[2], last);
    }

    void write_file(const fs::path& relative, const std::string& bytes) const
    {
        fs::create_directories((dir_ / relative).parent_path());
        std::ofstream file(dir_ / relative, std::ios::binary);
        file << bytes;
    }

    TempFolder folder_{"buzzel_bad_input"};
    const fs::path& dir_ = folder_.path;
    const std::wstring program_ = wine_path(BUZZEL_EXE);
};

} // namespace

TEST_F(BadInput, CountTooLargeToAllocateFailsTheStart)
{
    // 2,147,483,647 flies of 64 bytes: the heap refuses the 128 GiB; 99999999999 reads as that.
    for (const wchar_t* arguments : {L"-n 2147483647", L"2147483647", L"--count 99999999999"}) {
        SCOPED_TRACE(narrow(arguments));
        fs::remove(dir_ / "buzzel_start.log");
        DWORD exitCode = 0;
        ASSERT_TRUE(run(arguments, &exitCode));
        EXPECT_EQ(exitCode, EXIT_START_FAILED);
        expect_log(arguments, "ERROR: malloc(flies) failed");
    }
}

// Values out of range are used up and ignored, or held within range, and the run is normal.
TEST_F(BadInput, OutOfRangeValuesRunNormally)
{
    const wchar_t* const cases[] = {
        L"-s 0 -t 0.3",
        L"-s -3 -t 0.3",
        // Twelve multipliers of 5 would carry the size far beyond an int; it is held instead.
        L"-s 5 -s 5 -s 5 -s 5 -s 5 -s 5 -s 5 -s 5 -s 5 -s 5 -s 5 -s 5 -t 0.3",
        L"-s 99999999999 -t 0.3",
        L"-s 99999999999 -v 100 -n 20 -t 0.3",
        L"-t 0.3 -t -1",          // -1 is refused: the limit stays 0.3
        L"-t 0.3 -t -1e999",
        L"-v 1e20 -t 0.3",        // reads as 1
        L"-v 99999999999 -n 50 -t 0.3",
        L"-v -99999999999 -t 0.3",
        L"-n -4 -n 0 -t 0.3",
        L"-t 1e-300",             // over on the first tick, before any frame
    };
    for (const wchar_t* arguments : cases) {
        SCOPED_TRACE(narrow(arguments));
        fs::remove(dir_ / "buzzel_start.log");
        DWORD exitCode = 0xDEAD;
        ASSERT_TRUE(run(arguments, &exitCode)) << "the run did not end by itself";
        EXPECT_EQ(exitCode, 0u);
        expect_log(arguments, "SHUTDOWN");
    }
}

// Time limits that mean "no limit" (infinite, or no number at all) run until a close request.
TEST_F(BadInput, NoUsableTimeLimitRunsUntilClosed)
{
    for (const wchar_t* arguments : {L"-t 1e999", L"-t nan", L"-t inf", L"-t 0 -s 5 -s 5 -s 5 -s 5"}) {
        SCOPED_TRACE(narrow(arguments));
        fs::remove(dir_ / "buzzel_start.log");
        DWORD exitCode = 0xDEAD;
        ASSERT_TRUE(run_until_closed(arguments, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        expect_log(arguments, "SHUTDOWN");
    }
}

// 5,000 characters: the first START line is cut inside its message but keeps its CR LF; the
// second carries the first 1013 characters of the command line.
TEST_F(BadInput, VeryLongCommandLine)
{
    std::wstring arguments = SHORT_RUN;
    while (command_line(arguments).size() < 5000)
        arguments += L" padding";
    arguments.resize(arguments.size() - (command_line(arguments).size() - 5000));
    const std::string commandLine = command_line(arguments);
    ASSERT_EQ(commandLine.size(), 5000u);

    DWORD exitCode = 0xDEAD;
    ASSERT_TRUE(run(arguments, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    const std::vector<std::string> lines = split_lines(log());
    ASSERT_EQ(lines.size(), 3u) << log();
    EXPECT_EQ(lines[0].size(), 1023u);
    EXPECT_EQ(message_of(lines[0]), ("START (winapi) cmd=" + commandLine).substr(0, 1023 - 28));
    EXPECT_EQ(message_of(lines[1]), "START cmd=" + commandLine.substr(0, 1013));
    EXPECT_EQ(message_of(lines[2]), "SHUTDOWN");
}

// "fly\fly.png" files that do not decode, or declare a size no one could hold.
struct BrokenImage {
    const char* name;
    std::string bytes;
};

static std::vector<BrokenImage> broken_images()
{
    const std::string valid = png_small_grey();
    return {
        {"empty", ""},
        {"not a PNG", "This is not a picture of a fly.\r\n"},
        {"PNG signature only", valid.substr(0, 8)},
        {"truncated in its data", valid.substr(0, valid.size() - 20)},
        // IHDR of 100,000 x 100,000 RGBA (40 GB) with a tiny IDAT.
        {"enormous size declared", png_file(100000, 100000, '\x06', std::string(5, '\0'))},
        {"enormous, one pixel wide", png_file(1, 100000000, '\x06', std::string(5, '\0'))},
    };
}

// The loader itself, linked in with the same embedded image: each broken file gives way to the
// embedded 144 x 144 fly.
TEST_F(BadInput, BrokenFlyImageLoadsTheEmbeddedFly)
{
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    const fs::path saved = fs::current_path();
    fs::current_path(dir_);
    for (const BrokenImage& image : broken_images()) {
        SCOPED_TRACE(image.name);
        write_file("fly/fly.png", image.bytes);
        load_fly_image();
        ASSERT_NE(g_flyBitmap, nullptr);
        EXPECT_EQ(g_flyBitmap->GetWidth(), 144u);
        EXPECT_EQ(g_flyBitmap->GetHeight(), 144u);
        release_fly_image();
    }
    // The valid image, for contrast, is taken as it is.
    write_file("fly/fly.png", png_small_grey());
    load_fly_image();
    ASSERT_NE(g_flyBitmap, nullptr);
    EXPECT_EQ(g_flyBitmap->GetWidth(), 8u);
    release_fly_image();
    fs::current_path(saved);
    Gdiplus::GdiplusShutdown(token);
}

// The program with each broken file: it falls back and the run ends normally.
TEST_F(BadInput, BrokenFlyImageRunsNormally)
{
    for (const BrokenImage& image : broken_images()) {
        SCOPED_TRACE(image.name);
        fs::remove(dir_ / "buzzel_start.log");
        write_file("fly/fly.png", image.bytes);
        DWORD exitCode = 0xDEAD;
        ASSERT_TRUE(run(SHORT_RUN, &exitCode)) << "the run did not end by itself";
        EXPECT_EQ(exitCode, 0u);
        expect_log(SHORT_RUN, "SHUTDOWN");
    }
}

// A folder named like the log: every line is lost, the run is normal and the folder stays.
TEST_F(BadInput, LogThatIsAFolder)
{
    ASSERT_TRUE(fs::create_directory(dir_ / "buzzel_start.log"));
    DWORD exitCode = 0xDEAD;
    ASSERT_TRUE(run(SHORT_RUN, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(fs::is_directory(dir_ / "buzzel_start.log"));
    EXPECT_TRUE(fs::is_empty(dir_ / "buzzel_start.log"));
}

// This process holds the log open without sharing: the run's lines are lost, the old bytes stay.
TEST_F(BadInput, LogHeldOpenByAnotherProcess)
{
    const std::string old = "2024-01-01 00:00:00.000 - SHUTDOWN\r\n";
    write_file("buzzel_start.log", old);
    const HANDLE held = CreateFileW((dir_ / "buzzel_start.log").c_str(), GENERIC_READ | GENERIC_WRITE,
                                    0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DWORD exitCode = 0xDEAD;
    const bool ended = run(SHORT_RUN, &exitCode);
    CloseHandle(held);
    ASSERT_TRUE(ended);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(log(), old);
}

// A current directory where no file can be made (sysfs refuses even root): the run is normal.
TEST_F(BadInput, CurrentDirectoryNotWritable)
{
    const std::wstring directory = L"Z:\\sys";
    const DWORD attributes = GetFileAttributesW(directory.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        GTEST_SKIP() << "no read-only directory at Z:\\sys";
    // Shown unwritable first, so the run below proves what it claims.
    const HANDLE probe = CreateFileW(L"Z:\\sys\\buzzel_start.log", FILE_APPEND_DATA, 0, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_EQ(probe, INVALID_HANDLE_VALUE);
    DWORD exitCode = 0xDEAD;
    ASSERT_TRUE(run(SHORT_RUN, &exitCode, directory));
    EXPECT_EQ(exitCode, 0u);
}

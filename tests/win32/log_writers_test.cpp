// The two start-log writers on real files, each test in a fresh temporary directory.
// Started as "log_writers_tests --hold-log HELD RELEASE", the exe is instead the second
// process that holds the log open without sharing until told to let go.
#include "log_writers.h"
#include "start_messages.h"
#include "test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Writer = void (*)(const char*);

const struct {
    const char* name;
    Writer write;
} WRITERS[] = {{"winapi", append_log_winapi}, {"crt", append_log_crt}};

// The local time as the log writes it, for bracketing a line's timestamp.
std::string timestamp_now()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", st.wYear, st.wMonth,
                  st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    return text;
}

std::string read_log()
{
    const std::string name = LOG_FILE_NAME;
    return read_file(std::wstring(name.begin(), name.end()));
}

void write_log(const std::string& bytes)
{
    FILE* file = nullptr;
    ASSERT_EQ(fopen_s(&file, LOG_FILE_NAME, "wb"), 0);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// A whole line: a timestamp within [before, after], " - ", the message and one CR LF.
void expect_line(const std::string& line, const std::string& message, const std::string& before,
                 const std::string& after)
{
    ASSERT_EQ(line.size(), 23 + 3 + message.size() + 2);
    const std::string stamp = line.substr(0, 23);
    EXPECT_LE(before, stamp);
    EXPECT_LE(stamp, after);
    EXPECT_EQ(line.substr(23), " - " + message + "\r\n");
}

class LogWriters : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(MAX_PATH, savedDirectory);
        ASSERT_TRUE(directory.made);
        ASSERT_TRUE(SetCurrentDirectoryW(directory.path.c_str()));
    }
    void TearDown() override
    {
        DeleteFileA(LOG_FILE_NAME);
        RemoveDirectoryA(LOG_FILE_NAME);
        SetCurrentDirectoryA(savedDirectory);
        EXPECT_TRUE(std::filesystem::is_empty(directory.path)) << "the test left files behind";
    }

    char savedDirectory[MAX_PATH] = {};
    TempFolder directory{"buzzel_log_test"};
};

} // namespace

TEST_F(LogWriters, FirstLineCreatesTheFileAndLaterLinesFollow)
{
    for (const auto& writer : WRITERS) {
        SCOPED_TRACE(writer.name);
        DeleteFileA(LOG_FILE_NAME);
        const std::string before = timestamp_now();
        writer.write("SHUTDOWN");
        writer.write("ERROR: CreateWindowEx failed");
        const std::string after = timestamp_now();
        const std::vector<std::string> lines = split_lines(read_log());
        ASSERT_EQ(lines.size(), 2u);
        expect_line(lines[0], "SHUTDOWN", before, after);
        expect_line(lines[1], "ERROR: CreateWindowEx failed", before, after);
        EXPECT_LE(lines[0].substr(0, 23), lines[1].substr(0, 23));
    }
}

TEST_F(LogWriters, AppendLeavesOldBytesAlone)
{
    // Old bytes of every kind, ending without a line end: the new line follows them directly.
    std::string old = "2024-01-01 00:00:00.000 - START cmd=old\r\n";
    for (int byte = 1; byte < 256; ++byte)
        old += static_cast<char>(byte);
    old += "tail";
    write_log(old);
    const std::string before = timestamp_now();
    append_log_winapi("SHUTDOWN");
    append_log_crt("SHUTDOWN");
    const std::string after = timestamp_now();
    const std::string bytes = read_log();
    ASSERT_GT(bytes.size(), old.size());
    EXPECT_EQ(bytes.substr(0, old.size()), old);
    const std::vector<std::string> lines = split_lines(bytes.substr(old.size()));
    ASSERT_EQ(lines.size(), 2u);
    expect_line(lines[0], "SHUTDOWN", before, after);
    expect_line(lines[1], "SHUTDOWN", before, after);
}

// A long command line: the first START line is cut inside its message but keeps its CR LF, so
// the second one still starts a line of its own, with exactly one CR before its LF.
TEST_F(LogWriters, LongStartLinesKeepTheirLineEnds)
{
    std::string commandLine = "\"C:\\Program Files\\Buzzel\\buzzel.exe\"  -n 5";
    while (commandLine.size() < 3000)
        commandLine += " -v 50";
    StartMessages messages;
    compose_start_messages(commandLine.c_str(), &messages);
    const std::string before = timestamp_now();
    append_log_winapi(messages.winapi);
    append_log_crt(messages.crt);
    append_log_crt(std::string(5000, 'x').c_str());
    const std::string after = timestamp_now();
    const std::vector<std::string> lines = split_lines(read_log());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), LOG_LINE_CAPACITY - 1);
    expect_line(lines[0], "START (winapi) cmd=" + commandLine.substr(0, 976), before, after);
    expect_line(lines[1], "START cmd=" + commandLine.substr(0, 1013), before, after);
    EXPECT_EQ(lines[2].substr(23), " - " + std::string(1023, 'x') + "\r\n");
    EXPECT_EQ(lines[2].find('\r'), lines[2].size() - 2);
}

TEST_F(LogWriters, FolderInPlaceOfTheLogLosesTheLine)
{
    ASSERT_TRUE(CreateDirectoryA(LOG_FILE_NAME, nullptr));
    for (const auto& writer : WRITERS) {
        SCOPED_TRACE(writer.name);
        writer.write("SHUTDOWN");
        const DWORD attributes = GetFileAttributesA(LOG_FILE_NAME);
        EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    // A later line, once the way is clear, goes in as usual.
    ASSERT_TRUE(RemoveDirectoryA(LOG_FILE_NAME));
    for (const auto& writer : WRITERS) {
        SCOPED_TRACE(writer.name);
        DeleteFileA(LOG_FILE_NAME);
        writer.write("SHUTDOWN");
        const std::vector<std::string> lines = split_lines(read_log());
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].substr(23), " - SHUTDOWN\r\n");
    }
}

// Another process holds the log open without sharing: both writers lose their line and the
// file stays as it was; after the holder lets go, a line goes in again.
TEST_F(LogWriters, LogHeldByAnotherProcessLosesTheLine)
{
    const std::string old = "2024-01-01 00:00:00.000 - SHUTDOWN\r\n";
    write_log(old);

    char heldName[64];
    char releaseName[64];
    std::snprintf(heldName, sizeof heldName, "buzzel_test_held_%lu", GetCurrentProcessId());
    std::snprintf(releaseName, sizeof releaseName, "buzzel_test_release_%lu", GetCurrentProcessId());
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, heldName);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, releaseName);
    ASSERT_NE(held, nullptr);
    ASSERT_NE(release, nullptr);

    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::string arguments = std::string("--hold-log ") + heldName + " " + releaseName;
    Child holder = child_start(exe, std::wstring(arguments.begin(), arguments.end()));
    ASSERT_TRUE(holder.started);
    const bool holding = WaitForSingleObject(held, 30000) == WAIT_OBJECT_0;
    EXPECT_TRUE(holding) << "the holder did not open the log";
    if (holding) {
        append_log_winapi("SHUTDOWN");
        append_log_crt("SHUTDOWN");
    }
    SetEvent(release);
    DWORD exitCode = 1;
    child_wait(holder, 30000, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    child_close(holder);
    CloseHandle(held);
    CloseHandle(release);

    EXPECT_EQ(read_log(), old);
    append_log_crt("SHUTDOWN");
    const std::string bytes = read_log();
    ASSERT_EQ(bytes.size(), 2 * old.size());
    EXPECT_EQ(bytes.substr(0, old.size()), old);
    EXPECT_EQ(bytes.substr(old.size() + 23), " - SHUTDOWN\r\n");
}

// The holder process: opens the log with no sharing, says so, waits to be released.
static int hold_log(const char* heldName, const char* releaseName)
{
    HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, heldName);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, releaseName);
    if (held == nullptr || release == nullptr)
        return 2;
    HANDLE file = CreateFileA(LOG_FILE_NAME, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    SetEvent(held);
    const DWORD waited = WaitForSingleObject(release, 60000);
    CloseHandle(file);
    CloseHandle(held);
    CloseHandle(release);
    return waited == WAIT_OBJECT_0 ? 0 : 4;
}

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--hold-log") == 0)
        return hold_log(argv[2], argv[3]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

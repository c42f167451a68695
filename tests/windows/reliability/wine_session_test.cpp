// The test session's Wine desktop process must already run, outside every job, before any test
// starts a program in a job. Otherwise the program's first window starts it inside that job:
// the test counts one process too many, and ending the job kills the desktop under every other
// program, whose windows then die in Wine's X11 driver when closed (BadWindow, no "SHUTDOWN").
#include "child_process.h"
#include "wine_path.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(WineSession, DesktopRunsOutsideEveryJob)
{
    const fs::path dir = fs::temp_directory_path() / ("buzzel_session_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(dir);
    ASSERT_TRUE(fs::create_directories(dir));
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    ASSERT_NE(job, nullptr);
    Child child = child_start(wine_path(BUZZEL_EXE), L"-t 0.3", dir.wstring(), job);
    ASSERT_TRUE(child.started);
    DWORD exitCode = 0xDEAD;
    ASSERT_TRUE(child_wait(child, 30000, &exitCode));
    child_close(child);
    EXPECT_EQ(exitCode, 0u);
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr);
    EXPECT_EQ(info.TotalProcesses, 1u) << "a process besides the overlay ran in its job";
    EXPECT_EQ(info.ActiveProcesses, 0u);
    CloseHandle(job);
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

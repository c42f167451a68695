// The test session's Wine desktop process must run, outside every job, whenever a test starts a
// program in a job. Wine ends the desktop process once no program uses the desktop, and the next
// program with a window starts it again, inside that program's job: the test counts one process
// too many, and ending the job kills the desktop under every other program, whose windows then
// die in Wine's X11 driver when closed (BadWindow, no "SHUTDOWN"). The rig's desktop keeper
// holds the desktop for the whole session.
#include "test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

// Runs the overlay briefly in dir, inside job when one is given; its exit code.
static DWORD short_run(const std::filesystem::path& dir, HANDLE job)
{
    Child child = child_start(wine_path(BUZZEL_EXE), L"-t 0.3", dir.wstring(), job);
    EXPECT_TRUE(child.started);
    DWORD exitCode = 0xDEAD;
    EXPECT_TRUE(child_wait(child, 30000, &exitCode));
    child_close(child);
    return exitCode;
}

// A program with a window comes and goes outside any job, and longer than Wine waits before it
// closes an unused desktop passes; then a program in a job still runs alone there.
TEST(WineSession, DesktopOutlivesItsProgramsOutsideEveryJob)
{
    const TempFolder dir("buzzel_session");
    ASSERT_TRUE(dir.made);
    EXPECT_EQ(short_run(dir.path, nullptr), 0u);
    Sleep(3000);

    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(short_run(dir.path, job), 0u);
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr);
    EXPECT_EQ(info.TotalProcesses, 1u) << "a process besides the overlay ran in its job";
    EXPECT_EQ(info.ActiveProcesses, 0u);
    CloseHandle(job);
}

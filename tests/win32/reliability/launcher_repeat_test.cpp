// The real buzzel_gui.exe started and ended twenty times in a row under Wine, by its close box,
// by "Quit" and now and then by "Let's Fly" with a one-second run: every launcher ends with 0,
// nothing outlives the runs, and the start log holds exactly the launched runs' lines and
// stops growing.
#include "test_support.h"
#include "gui_ids.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int RUNS = 20;
constexpr DWORD WAIT_LIMIT_MS = 30000; // only a hang reaches it

enum class Ending { CloseBox, Quit, LetsFly };

// Every fourth run flies; the others alternate between the close box and "Quit".
Ending ending_of(int run)
{
    if (run % 4 == 3)
        return Ending::LetsFly;
    return run % 2 == 0 ? Ending::CloseBox : Ending::Quit;
}

JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr);
    return info;
}

// Waits until no process of the job is left; false if one still runs at the limit.
bool job_empties(HANDLE job)
{
    return wait_until([job] { return accounting(job).ActiveProcesses == 0; }, WAIT_LIMIT_MS);
}

size_t count_lines(const std::string& text, const std::string& message)
{
    size_t count = 0;
    for (size_t at = text.find(" - " + message + "\r\n"); at != std::string::npos;
         at = text.find(" - " + message + "\r\n", at + 1))
        ++count;
    return count;
}

} // namespace

TEST(LauncherRepeat, TwentyRunsLeaveNoProcessAndNoGrowingLog)
{
    // The launcher and the real overlay side by side in a fresh folder, which is also the
    // current directory, so a started overlay logs there.
    const TempFolder folder("buzzel_launcher_repeat");
    ASSERT_TRUE(folder.made);
    const fs::path& dir = folder.path;
    fs::copy_file(wine_path(BUZZEL_GUI_EXE), dir / "buzzel_gui.exe");
    fs::copy_file(wine_path(BUZZEL_EXE), dir / "buzzel.exe");
    const std::wstring launcher = (dir / "buzzel_gui.exe").wstring();
    const std::wstring logPath = (dir / "buzzel_start.log").wstring();

    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    ASSERT_NE(job, nullptr);
    int launched = 0;
    for (int run = 0; run < RUNS; ++run) {
        SCOPED_TRACE("run " + std::to_string(run + 1));
        Child child = child_start(launcher, L"", dir.wstring(), job);
        ASSERT_TRUE(child.started);
        const HWND window = wait_for_process_window(child.info.dwProcessId, LAUNCHER_WINDOW_CLASS, WAIT_LIMIT_MS);
        ASSERT_NE(window, nullptr) << "no launcher window";
        // Answered only once the message loop runs, so the window is complete.
        ASSERT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, WAIT_LIMIT_MS, nullptr), 0);
        switch (ending_of(run)) {
        case Ending::CloseBox:
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case Ending::Quit:
            PostMessageW(GetDlgItem(window, IDC_QUIT), BM_CLICK, 0, 0);
            break;
        case Ending::LetsFly:
            // One second, so the overlay ends by itself.
            SendMessageW(GetDlgItem(window, IDC_TIMEOUT), TBM_SETPOS, TRUE, 1);
            PostMessageW(GetDlgItem(window, IDC_LAUNCH), BM_CLICK, 0, 0);
            ++launched;
            break;
        }
        DWORD exitCode = 0xDEAD;
        ASSERT_TRUE(child_wait(child, WAIT_LIMIT_MS, &exitCode)) << "the launcher did not end";
        child_close(child);
        EXPECT_EQ(exitCode, 0u);
        ASSERT_TRUE(job_empties(job)) << "a process outlived its run";
    }
    // Every launcher and every overlay ran in the job, and nothing else: with the desktop process
    // already up (the test rig starts it), no program here starts one into the job.
    const JOBOBJECT_BASIC_ACCOUNTING_INFORMATION total = accounting(job);
    EXPECT_EQ(total.TotalProcesses, static_cast<DWORD>(RUNS + launched));
    EXPECT_EQ(total.ActiveProcesses, 0u);
    CloseHandle(job);

    // Three lines for each flight and nothing else: no close or "Quit" started an overlay, and
    // every overlay ended normally. A while later still the same bytes.
    const std::string log = read_file(logPath);
    EXPECT_EQ(count_lines(log, "SHUTDOWN"), static_cast<size_t>(launched));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3 * launched);
    Sleep(1500);
    EXPECT_EQ(read_file(logPath), log);
}

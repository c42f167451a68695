// Black-box tests of the real buzzel.exe under Wine: its window as other programs see it, the ways a
// run ends with its exit code and start log, and the resources built into the exe.
#include "test_support.h"
#include "version_block.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// Each test runs the overlay in a fresh empty current directory, where its start log lands.
class OverlayExe : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("buzzel-exe-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        if (process_.hProcess != nullptr) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 10000);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        fs::remove_all(dir_);
    }

    void start(const wchar_t* arguments)
    {
        std::wstring commandLine = L"\"" + wine_path(BUZZEL_EXE) + L"\" " + arguments;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   dir_.wstring().c_str(), &si, &process_))
            << GetLastError();
    }

    // The overlay's window, once it exists; null after timeoutMs.
    HWND find_window(DWORD timeoutMs)
    {
        return wait_for_process_window(process_.dwProcessId, L"BuzzelClass", timeoutMs);
    }

    // Waits for the process to end; returns its exit code, or -999 when it did not end in time.
    int wait_exit(DWORD timeoutMs)
    {
        if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -999;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<int>(code);
    }

    // The start log's lines, each checked to end in CR LF and stripped of it.
    std::vector<std::string> log_lines()
    {
        std::ifstream in(dir_ / "buzzel_start.log", std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        const std::string text = all.str();
        std::vector<std::string> lines;
        size_t begin = 0;
        while (begin < text.size()) {
            const size_t end = text.find("\r\n", begin);
            EXPECT_NE(end, std::string::npos) << "line without CR LF: " << text.substr(begin);
            if (end == std::string::npos)
                break;
            lines.push_back(text.substr(begin, end - begin));
            begin = end + 2;
        }
        return lines;
    }

    fs::path dir_;
    PROCESS_INFORMATION process_{};
};

// The message part of a log line, after its 23-character timestamp and " - ".
static std::string message_of(const std::string& line)
{
    return line.size() >= 26 ? line.substr(26) : std::string();
}

TEST_F(OverlayExe, WindowIsABorderlessTopmostClickThroughToolWindowOverTheVirtualScreen)
{
    start(L"-n 3 -t 30");
    HWND hwnd = find_window(20000);
    ASSERT_NE(hwnd, nullptr) << "no BuzzelClass window";
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    EXPECT_STREQ(title, "Buzzel");
    // Shown: WS_POPUP and WS_VISIBLE, nothing else (no caption, border or system menu); the
    // platform adds WS_CLIPSIBLINGS to every top-level window.
    for (int i = 0; i < 100 && !IsWindowVisible(hwnd); ++i)
        Sleep(50);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)) & ~static_cast<DWORD>(WS_CLIPSIBLINGS),
              static_cast<DWORD>(WS_POPUP | WS_VISIBLE));
    // Layered, tool window (no taskbar button), mouse-transparent, topmost; nothing else.
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
    EXPECT_EQ(exStyle, 0x800A8u);
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0u);
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(r.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));

    // A close request from outside ends the run normally.
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(wait_exit(20000), 0);
    const std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(message_of(lines[2]), "SHUTDOWN");
}

TEST_F(OverlayExe, LimitShorterThanTheFirstTickEndsTheRunAtOnce)
{
    start(L"-n 50 -t 0.001");
    EXPECT_EQ(wait_exit(20000), 0);
    const std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(message_of(lines[0]).rfind("START (winapi) cmd=", 0), 0u);
    EXPECT_EQ(message_of(lines[1]).rfind("START cmd=", 0), 0u);
    EXPECT_EQ(message_of(lines[2]), "SHUTDOWN");
}

// The exe's resources, read without running it.
class OverlayResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryExW(wine_path(BUZZEL_EXE).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override { FreeLibrary(module_); }

    HMODULE module_ = nullptr;
};

TEST_F(OverlayResources, EmbedsTheFlyPngUnchanged)
{
    const std::string png = file_bytes(FLY_PNG);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(resource_bytes(module_, MAKEINTRESOURCEW(10), 101), png);
}

TEST_F(OverlayResources, ManifestAsksForInvokerLevelAndNoDpiAwareness)
{
    const std::string manifest = resource_bytes(module_, MAKEINTRESOURCEW(24), 1);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    for (const char* os : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(manifest.find(os), std::string::npos) << os;
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
}

TEST_F(OverlayResources, HasNoIconAndNoCursor)
{
    auto none = [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR found) -> BOOL {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    };
    bool icon = false, cursor = false;
    EnumResourceNamesW(module_, MAKEINTRESOURCEW(14), none, reinterpret_cast<LONG_PTR>(&icon));
    EnumResourceNamesW(module_, MAKEINTRESOURCEW(12), none, reinterpret_cast<LONG_PTR>(&cursor));
    EXPECT_FALSE(icon);
    EXPECT_FALSE(cursor);
}

TEST_F(OverlayResources, VersionBlockNamesTheOverlayProgram)
{
    expect_version_block(BUZZEL_EXE, {{L"FileDescription", L"Buzzel CLI"},
                                      {L"InternalName", L"buzzel"},
                                      {L"OriginalFilename", L"buzzel.exe"},
                                      {L"LegalCopyright", nullptr}});
}

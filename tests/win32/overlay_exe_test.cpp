// Black-box tests of the real buzzel.exe under Wine: its window as other programs see it, the ways a
// run ends with its exit code and start log, and the resources built into the exe.
#include "test_support.h"
#include "version_block.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Each test runs the overlay in a fresh empty current directory, where its start log lands.
class OverlayExe : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.made); }
    void TearDown() override
    {
        DWORD ignored = 0;
        child_wait(process_, 0, &ignored); // ends a run the test left going
        child_close(process_);
    }

    void start(const wchar_t* arguments)
    {
        process_ = child_start(wine_path(BUZZEL_EXE), arguments, dir_.path.wstring());
        ASSERT_TRUE(process_.started) << GetLastError();
    }

    // The overlay's window, once it exists; null after timeoutMs.
    HWND find_window(DWORD timeoutMs)
    {
        return wait_for_process_window(process_.info.dwProcessId, OVERLAY_WINDOW_CLASS, timeoutMs);
    }

    // Waits for the process to end; returns its exit code, or -999 when it did not end in time.
    int wait_exit(DWORD timeoutMs)
    {
        DWORD code = 0;
        return child_wait(process_, timeoutMs, &code) ? static_cast<int>(code) : -999;
    }

    TempFolder dir_{"buzzel_exe"};
    Child process_;
};

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
    wait_until([&] { return IsWindowVisible(hwnd) != FALSE; }, 5000);
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
    const std::vector<std::string> messages = read_log_messages(dir_.path);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2], "SHUTDOWN");
}

TEST_F(OverlayExe, LimitShorterThanTheFirstTickEndsTheRunAtOnce)
{
    start(L"-n 50 -t 0.001");
    EXPECT_EQ(wait_exit(20000), 0);
    const std::vector<std::string> messages = read_log_messages(dir_.path);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].rfind("START (winapi) cmd=", 0), 0u);
    EXPECT_EQ(messages[1].rfind("START cmd=", 0), 0u);
    EXPECT_EQ(messages[2], "SHUTDOWN");
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

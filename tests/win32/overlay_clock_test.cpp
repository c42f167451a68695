// The overlay window and its frame clock in-process under Wine: the real class, window, timer and
// message loop, with the flies and the window's position read back after the loop ends.
#include "overlay_window.h"
#include "settings.h"
#include "swarm.h"
#include "../support/virtual_screen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

static HWND g_closeTarget = nullptr; // window the close timer sends its close request to

static void CALLBACK post_close(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    PostMessageA(g_closeTarget, WM_CLOSE, 0, 0);
}

// A window moved off the virtual-screen rectangle; the first presented frame moves it back.
static const RECT MOVED = {10, 20, 60, 70};

class OverlayClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const bool registered = register_overlay_class(GetModuleHandleA(nullptr));
        ASSERT_TRUE(registered);
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        freq = f.QuadPart;
        g_runTime = 0;
        reset_settings();
        g_flyCount = 4;
        set_virtual_screen(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                           GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    }
    void TearDown() override
    {
        if (hwnd_ != nullptr && IsWindow(hwnd_))
            DestroyWindow(hwnd_);
        // Drop the quit message WM_DESTROY posts, so the next test's loop starts clean.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        free_flies();
    }

    // Creates the overlay window with spawned flies, moves it off its place, and runs the message
    // loop until the quit message; returns the quit message's wParam. With closeAfterMs, a close
    // request is posted to the window from outside its procedure after that time.
    WPARAM run(double timeoutSeconds, UINT closeAfterMs = 0)
    {
        g_timeoutSeconds = timeoutSeconds;
        EXPECT_TRUE(allocate_flies());
        hwnd_ = create_overlay_window(GetModuleHandleA(nullptr));
        EXPECT_NE(hwnd_, nullptr);
        spawn_flies();
        spawned_.assign(flies, flies + g_flyCount);
        move_away();
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        if (closeAfterMs > 0) {
            g_closeTarget = hwnd_;
            SetTimer(nullptr, 0, closeAfterMs, post_close);
        }
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) != 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return msg.wParam;
    }

    // Puts the window at MOVED, so a presented frame shows by moving it back.
    void move_away() const
    {
        SetWindowPos(hwnd_, nullptr, MOVED.left, MOVED.top, MOVED.right - MOVED.left, MOVED.bottom - MOVED.top,
                     SWP_NOACTIVATE | SWP_NOZORDER);
    }

    bool flies_unchanged() const
    {
        return std::memcmp(flies, spawned_.data(), sizeof(Fly) * spawned_.size()) == 0;
    }

    RECT window_rect() const
    {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        return r;
    }

    // The window lies exactly over the virtual screen.
    void expect_over_virtual_screen() const
    {
        const RECT r = window_rect();
        EXPECT_EQ(r.left, virtualX);
        EXPECT_EQ(r.top, virtualY);
        EXPECT_EQ(r.right - r.left, windowWidth);
        EXPECT_EQ(r.bottom - r.top, windowHeight);
    }

    HWND hwnd_ = nullptr;
    std::vector<Fly> spawned_;
};

TEST_F(OverlayClock, WindowHasTheOverlayStylesAndTheVirtualScreenRect)
{
    ASSERT_TRUE(allocate_flies());
    hwnd_ = create_overlay_window(GetModuleHandleA(nullptr));
    ASSERT_NE(hwnd_, nullptr);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE)), 0x800A8u);
    // WS_POPUP alone; the platform adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)) & ~static_cast<DWORD>(WS_CLIPSIBLINGS),
              static_cast<DWORD>(WS_POPUP));
    expect_over_virtual_screen();
}

TEST_F(OverlayClock, EmptyVirtualScreenLeavesTheWindowAlone)
{
    ASSERT_TRUE(allocate_flies());
    hwnd_ = create_overlay_window(GetModuleHandleA(nullptr));
    ASSERT_NE(hwnd_, nullptr);
    spawn_flies();
    move_away();
    const int width = windowWidth, height = windowHeight;
    windowWidth = 0;
    update_layered_content(hwnd_);
    EXPECT_EQ(window_rect().right, MOVED.right);
    windowWidth = width;
    windowHeight = -5;
    update_layered_content(hwnd_);
    EXPECT_EQ(window_rect().right, MOVED.right);
    EXPECT_EQ(window_rect().bottom, MOVED.bottom);
    // The same window with its real size is moved back over the virtual screen.
    windowWidth = width;
    windowHeight = height;
    update_layered_content(hwnd_);
    EXPECT_EQ(window_rect().right - window_rect().left, windowWidth);
}

// A limit shorter than the first tick: the first tick ends the run; no fly moves and no frame is
// presented (presenting would have moved the window back over the virtual screen).
TEST_F(OverlayClock, LimitShorterThanTheFirstTickEndsWithoutDrawing)
{
    EXPECT_EQ(run(0.001), 0u);
    EXPECT_GE(g_runTime, 0.001);
    EXPECT_TRUE(flies_unchanged());
    const RECT r = window_rect();
    EXPECT_EQ(r.left, MOVED.left);
    EXPECT_EQ(r.top, MOVED.top);
    EXPECT_EQ(r.right, MOVED.right);
    EXPECT_EQ(r.bottom, MOVED.bottom);
    // The run ended by the clock leaves the window alone; it goes with the process.
    EXPECT_TRUE(IsWindow(hwnd_));
}

TEST_F(OverlayClock, TicksAdvanceTheFliesAndPresentUntilTheLimit)
{
    EXPECT_EQ(run(0.3), 0u);
    // The run time adds clamped ticks, so it passes the limit by at most one tick.
    EXPECT_GE(g_runTime, 0.3);
    EXPECT_LE(g_runTime, 0.3 + 0.1);
    EXPECT_FALSE(flies_unchanged());
    expect_over_virtual_screen();
}

// Without a limit the run time stays 0; a close request destroys the window and WM_DESTROY ends
// the loop with 0.
TEST_F(OverlayClock, CloseRequestEndsARunWithoutLimit)
{
    EXPECT_EQ(run(0.0, 400), 0u);
    EXPECT_EQ(g_runTime, 0.0);
    EXPECT_FALSE(flies_unchanged());
    EXPECT_FALSE(IsWindow(hwnd_));
}

// The launcher's entry and window procedure: a settings window with four sliders, "Let's Fly"
// and "Quit". WndProc only dispatches; the work is in the on_xxx handlers and the gui_* files.
#include <windows.h>

#include "gui_controls.h"
#include "gui_header.h"
#include "gui_ids.h"
#include "gui_launch.h"
#include "gui_resource_ids.h"

// Class of the launcher window; the tests find the window by it.
static const char WINDOW_CLASS[] = "BuzzelGuiClass";

// WM_CREATE: controls, font and header image exist before CreateWindowExA returns.
static LRESULT on_create(HWND window)
{
    create_controls(window);
    apply_gui_font(window);
    header_startup();
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    return 0;
}

static LRESULT on_paint(HWND window)
{
    header_paint(window);
    return 0;
}

// Only the control ID in the low word counts; the notification code is not looked at.
static LRESULT on_command(HWND window, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_LAUNCH:
        launch_click(window);
        break;
    case IDC_QUIT:
        PostQuitMessage(0);
        break;
    }
    return 0;
}

// Every kind of slider movement updates its label, whatever the notification code.
static LRESULT on_hscroll(LPARAM lParam)
{
    update_value_label(reinterpret_cast<HWND>(lParam));
    return 0;
}

static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return on_create(window);
    case WM_PAINT:
        return on_paint(window);
    case WM_COMMAND:
        return on_command(window, wParam);
    case WM_HSCROLL:
        return on_hscroll(lParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static HICON load_app_icon(HINSTANCE instance, int side)
{
    return static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_BUZZEL_GUI), IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = instance;
    // Icons that fail to load are simply left out; they are never destroyed.
    HICON bigIcon = load_app_icon(instance, 32);
    HICON smallIcon = load_app_icon(instance, 16);
    windowClass.hIcon = bigIcon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = WINDOW_CLASS;
    if (!RegisterClassExA(&windowClass))
        return -1;

    HWND window = CreateWindowExA(0, WINDOW_CLASS, "Buzzel Launcher", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 680, 420, nullptr, nullptr, instance, nullptr);
    if (!window)
        return -1;
    if (bigIcon)
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    if (smallIcon)
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    header_release();
    return static_cast<int>(message.wParam);
}

// Helper for the click-through test: a normal window beneath the overlay that reports the click it
// receives. It starts buzzel.exe (argument 1, with the rest of its own command line as the overlay's
// arguments), writes "ready X Y" to ready.txt once the overlay window exists, with X, Y a screen
// point inside its client area, and ends when its window gets WM_LBUTTONDOWN or after 30 s.
// Exit code 0: clicked, and the overlay then ended with 0 after a close request.
#include "test_support.h"

#include <windows.h>

#include <cstdio>
#include <string>

static bool g_clicked = false; // the window beneath got the button press

static LRESULT CALLBACK target_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN) {
        g_clicked = true;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    WNDCLASSW wc{};
    wc.lpfnWndProc = target_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = L"BuzzelClickTarget";
    RegisterClassW(&wc);
    HWND target = CreateWindowExW(0, L"BuzzelClickTarget", L"Click target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  60, 120, 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    if (target == nullptr)
        return 3;
    SetForegroundWindow(target);
    UpdateWindow(target);

    std::wstring arguments;
    for (int i = 2; i < argc; ++i)
        arguments += (i > 2 ? L" " : L"") + std::wstring(argv[i]);
    Child overlay = child_start(argv[1], arguments);
    if (!overlay.started)
        return 4;

    // Our own window is kept answering while we wait for the overlay's.
    HWND overlayWindow = nullptr;
    wait_until(
        [&] {
            pump_messages();
            overlayWindow = find_process_window(overlay.info.dwProcessId, OVERLAY_WINDOW_CLASS);
            return overlayWindow != nullptr;
        },
        20000);
    if (overlayWindow == nullptr) {
        TerminateProcess(overlay.info.hProcess, 1);
        return 5;
    }

    POINT point = {150, 130}; // client coordinates, in the middle of the window
    ClientToScreen(target, &point);
    if (FILE* ready = _wfopen(L"ready.txt", L"w")) {
        std::fprintf(ready, "ready %ld %ld\n", point.x, point.y);
        std::fclose(ready);
    }

    SetTimer(nullptr, 0, 30000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr)
            break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    PostMessageW(overlayWindow, WM_CLOSE, 0, 0);
    DWORD overlayCode = 1;
    child_wait(overlay, 20000, &overlayCode);
    child_close(overlay);
    std::printf("clicked=%d overlay=%lu\n", g_clicked ? 1 : 0, overlayCode);
    return g_clicked && overlayCode == 0 ? 0 : 1;
}

// Helper for the keyboard tests: looks, from a process of its own, at where the user's keys go.
//   focus_probe state          prints "foreground CLASS" (the foreground window's class), "overlay N"
//                              (visible overlay windows) and "text TEXT" (Notepad's text), a line each
//   focus_probe launch-button  prints "X Y": the screen point in the middle of the launcher's "Let's Fly"
//   focus_probe close-overlay  asks the visible overlay window to close and waits for its process;
//                              exit code 0 when that process ended with 0
#include <windows.h>

#include "gui_ids.h"
#include "test_support.h"

#include <cstdio>
#include <cwchar>
#include <string>

// The first visible top-level window of className, or null; hidden windows of the class (a test's
// own, say) are not the user's.
static HWND visible_window(const wchar_t* className, int* count)
{
    struct Search {
        const wchar_t* className;
        HWND found;
        int count;
    } search{className, nullptr, 0};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            Search* s = reinterpret_cast<Search*>(lp);
            wchar_t name[256] = {};
            GetClassNameW(hwnd, name, 256);
            if (IsWindowVisible(hwnd) && lstrcmpiW(name, s->className) == 0) {
                if (s->found == nullptr)
                    s->found = hwnd;
                ++s->count;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (count != nullptr)
        *count = search.count;
    return search.found;
}

static std::string utf8(const wchar_t* text)
{
    char bytes[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

static int print_state()
{
    wchar_t foreground[256] = {};
    if (HWND window = GetForegroundWindow())
        GetClassNameW(window, foreground, 256);
    int overlays = 0;
    visible_window(OVERLAY_WINDOW_CLASS, &overlays);
    // Another process's edit control answers WM_GETTEXT: the platform copies the text across.
    wchar_t text[1024] = {};
    if (HWND notepad = visible_window(L"Notepad", nullptr))
        if (HWND edit = FindWindowExW(notepad, nullptr, L"Edit", nullptr))
            SendMessageW(edit, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    std::printf("foreground %s\noverlay %d\ntext %s\n", utf8(foreground).c_str(), overlays, utf8(text).c_str());
    return 0;
}

static int print_launch_button()
{
    HWND launcher = visible_window(LAUNCHER_WINDOW_CLASS, nullptr);
    HWND button = launcher != nullptr ? GetDlgItem(launcher, IDC_LAUNCH) : nullptr;
    RECT box;
    if (button == nullptr || !GetWindowRect(button, &box))
        return 1;
    std::printf("%ld %ld\n", (box.left + box.right) / 2, (box.top + box.bottom) / 2);
    return 0;
}

static int close_overlay()
{
    HWND overlay = visible_window(OVERLAY_WINDOW_CLASS, nullptr);
    if (overlay == nullptr)
        return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(overlay, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr)
        return 1;
    PostMessageW(overlay, WM_CLOSE, 0, 0);
    DWORD code = 1;
    if (WaitForSingleObject(process, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    CloseHandle(process);
    std::printf("overlay exit %lu\n", code);
    return code == 0 ? 0 : 1;
}

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"state")
        return print_state();
    if (command == L"launch-button")
        return print_launch_button();
    if (command == L"close-overlay")
        return close_overlay();
    return 2;
}

// Keeps the test session's Wine desktop in use from start to end: an invisible message-only
// window on a thread that waits for messages until the session's wine server ends it. Wine
// closes its desktop process once the last program using the desktop has gone, and the next
// program with a window starts it again, inside whatever job that program runs in.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CreateWindowExA(0, "STATIC", "buzzel desktop keeper", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                    nullptr, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

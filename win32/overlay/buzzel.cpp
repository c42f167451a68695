// The overlay program's entry: start-up in a fixed order, the message loop, shut-down and exit code.
// Each start-up step that can end the program does so with -1; everything else fails silently.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <ctime>

#include "fly_image.h"
#include "log_writers.h"
#include "overlay_window.h"
#include "rand15.h"
#include "settings.h"
#include "start_messages.h"
#include "swarm.h"

static ULONG_PTR g_gdiplusToken = 0; // GDI+ start-up token, 0 when GDI+ did not start

// Both START lines carry the command line exactly as the platform keeps it.
static void write_start_lines()
{
    StartMessages messages;
    compose_start_messages(GetCommandLineA(), &messages);
    append_log_winapi(messages.winapi);
    append_log_crt(messages.crt);
}

// A GDI+ that does not start is no error: the run goes on and the frames take the vector fly.
static void start_gdiplus()
{
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr) != Gdiplus::Ok)
        g_gdiplusToken = 0;
}

static void read_virtual_screen()
{
    virtualX = GetSystemMetrics(SM_XVIRTUALSCREEN);
    virtualY = GetSystemMetrics(SM_YVIRTUALSCREEN);
    windowWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    windowHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

// When the platform cannot split the command line, the settings keep their defaults.
static void parse_process_command_line()
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr)
        return;
    parse_command_line(argc, argv);
    LocalFree(argv);
}

static void run_message_loop(MSG* msg)
{
    while (GetMessageA(msg, nullptr, 0, 0) != 0) {
        TranslateMessage(msg);
        DispatchMessageA(msg);
    }
}

// The image goes before GDI+ ends; the log's last line says the run ended on its own terms.
static void shut_down()
{
    release_fly_image();
    if (g_gdiplusToken != 0)
        Gdiplus::GdiplusShutdown(g_gdiplusToken);
    free_flies();
    append_log_crt("SHUTDOWN");
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    srand15(static_cast<unsigned>(std::time(nullptr)));
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    freq = frequency.QuadPart;
    write_start_lines();

    if (!register_overlay_class(instance))
        return -1;
    start_gdiplus();
    load_fly_image();
    read_virtual_screen();
    parse_process_command_line();
    if (!allocate_flies()) {
        append_log_crt("ERROR: malloc(flies) failed");
        return -1;
    }
    HWND hwnd = create_overlay_window(instance);
    if (hwnd == nullptr) {
        append_log_crt("ERROR: CreateWindowEx failed");
        free_flies();
        return -1;
    }
    // The timer already runs, but no tick is handled before the loop, so every tick sees spawned flies.
    spawn_flies();
    // Shown without activation, whatever the caller asked for: the keyboard stays with the user's
    // window, which keeps the foreground. The per-frame move does not activate it either.
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);

    MSG msg;
    run_message_loop(&msg);
    shut_down();
    return static_cast<int>(msg.wParam);
}

// launcher_probe.dll: a call-window-procedure hook that the launcher's black-box tests put on the
// launcher's thread. It notes every WM_SETFONT the launcher sends, and on LAUNCHER_PROBE_MESSAGE
// writes the report of launcher_probe.h into the shared block the test made for it.
#include "launcher_probe.h"

static LauncherProbeReport g_report; // what the hook has gathered in the launcher's process

static ProbeIcon probe_icon(HICON icon)
{
    ProbeIcon probe{};
    probe.handle = reinterpret_cast<uint64_t>(icon);
    probe.pixels = icon_pixel_hash(icon, &probe.width, &probe.height);
    return probe;
}

// Fills in what the window and its class hold now and copies the report into the shared block.
static void write_report(HWND window)
{
    for (int i = 0; i < g_report.fontCount; ++i) {
        ProbeFont& font = g_report.fonts[i];
        font.fieldsRead = GetObjectA(reinterpret_cast<HFONT>(font.font), sizeof font.fields, &font.fields);
    }
    g_report.classBackground = static_cast<uint64_t>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
    g_report.classIcon = probe_icon(reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON)));
    g_report.classSmallIcon = probe_icon(reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM)));
    g_report.windowIcon = probe_icon(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)));
    g_report.windowSmallIcon = probe_icon(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)));
    g_report.ready = 1;

    HANDLE block = OpenFileMappingW(FILE_MAP_WRITE, FALSE, launcher_probe_block(GetCurrentProcessId()).c_str());
    if (block == nullptr)
        return;
    if (void* view = MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, sizeof g_report)) {
        CopyMemory(view, &g_report, sizeof g_report);
        UnmapViewOfFile(view);
    }
    CloseHandle(block);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK launcher_probe_hook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT reportMessage = RegisterWindowMessageW(LAUNCHER_PROBE_MESSAGE);
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETFONT && g_report.fontCount < 32) {
        ProbeFont& font = g_report.fonts[g_report.fontCount++];
        font.window = reinterpret_cast<uint64_t>(call->hwnd);
        font.font = static_cast<uint64_t>(call->wParam);
        font.redraw = call->lParam;
    } else if (code == HC_ACTION && call->message == reportMessage) {
        write_report(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

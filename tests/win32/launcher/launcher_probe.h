// What the launcher's black-box tests read from inside the launcher's process: the font each
// child was sent, the class's background and icons, and the window's icons. The hook library
// launcher_probe.dll gathers it; the test installs the hook on the launcher's thread before that
// thread runs, then asks for the report with LAUNCHER_PROBE_MESSAGE and reads it from a block
// of shared memory named after the launcher's process ID.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Sent to the launcher window: the hook writes its report before the window sees the message.
constexpr wchar_t LAUNCHER_PROBE_MESSAGE[] = L"BuzzelLauncherProbeReport";

// The shared block that holds the report of the launcher with that process ID.
inline std::wstring launcher_probe_block(DWORD launcherProcessId)
{
    return L"Local\\BuzzelLauncherProbe-" + std::to_wstring(launcherProcessId);
}

// One WM_SETFONT the launcher sent to one of its windows, and the font's fields at report time.
struct ProbeFont {
    uint64_t window;
    uint64_t font;
    LPARAM redraw;
    int fieldsRead; // 0 when the font handle gave no LOGFONT
    LOGFONTA fields;
};

// One icon: its handle, the size of its image and a hash of its pixels and mask.
struct ProbeIcon {
    uint64_t handle;
    int width, height;
    uint32_t pixels;
};

struct LauncherProbeReport {
    int ready; // 1 once the hook has written the report
    int fontCount;
    ProbeFont fonts[32];
    uint64_t classBackground;
    ProbeIcon classIcon, classSmallIcon; // the window class's icons
    ProbeIcon windowIcon, windowSmallIcon; // what WM_GETICON gives for ICON_BIG and ICON_SMALL
};

// FNV-1a over the icon's colour and mask bitmaps read as 32-bit top-down rows, and the colour
// bitmap's size; 0 without an icon.
inline uint32_t icon_pixel_hash(HICON icon, int* width, int* height)
{
    *width = *height = 0;
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info))
        return 0;
    BITMAP colour{};
    if (info.hbmColor != nullptr && GetObjectW(info.hbmColor, sizeof colour, &colour)) {
        *width = colour.bmWidth;
        *height = colour.bmHeight;
    }
    uint32_t hash = 2166136261u;
    HDC screen = GetDC(nullptr);
    for (HBITMAP bitmap : {info.hbmColor, info.hbmMask}) {
        BITMAP header{};
        if (bitmap == nullptr || !GetObjectW(bitmap, sizeof header, &header))
            continue;
        BITMAPINFO rows{};
        rows.bmiHeader.biSize = sizeof rows.bmiHeader;
        rows.bmiHeader.biWidth = header.bmWidth;
        rows.bmiHeader.biHeight = -header.bmHeight;
        rows.bmiHeader.biPlanes = 1;
        rows.bmiHeader.biBitCount = 32;
        std::string bytes(static_cast<size_t>(header.bmWidth) * header.bmHeight * 4, '\0');
        GetDIBits(screen, bitmap, 0, header.bmHeight, bytes.data(), &rows, DIB_RGB_COLORS);
        for (unsigned char byte : bytes)
            hash = (hash ^ byte) * 16777619u;
    }
    ReleaseDC(nullptr, screen);
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return hash;
}

// Test double for the overlay program in the launcher's black-box tests: copied beside the
// launcher as buzzel.exe, it appends its own path and its command line, one per line (UTF-16),
// to "launched.txt" in its current directory, and exits.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t modulePath[4096] = {};
    GetModuleFileNameW(nullptr, modulePath, 4096);
    const std::wstring record = std::wstring(modulePath) + L"\n" + GetCommandLineW() + L"\n";

    // Appended in one write, so each start leaves one whole record and a test can count them.
    HANDLE file = CreateFileW(L"launched.txt", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}

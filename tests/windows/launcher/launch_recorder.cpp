// Test double for the overlay program in the launcher's black-box tests: copied beside the
// launcher as buzzel.exe, it records its own path and its command line, one per line (UTF-16),
// in "launched.txt" in its current directory, and exits.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t modulePath[4096] = {};
    GetModuleFileNameW(nullptr, modulePath, 4096);
    const std::wstring record = std::wstring(modulePath) + L"\n" + GetCommandLineW() + L"\n";

    // Written under another name and renamed, so the test never reads half a record.
    HANDLE file = CreateFileW(L"launched.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return ok && MoveFileW(L"launched.tmp", L"launched.txt") ? 0 : 1;
}

// Helpers shared by the Windows tests and their helper programs: build-tree paths as Wine sees
// them, whole files and resources as bytes, and the top-level window a started process owns.
#pragma once
#include <windows.h>

#include <string>

// CMake hands the tests Unix paths; under Wine drive Z: is the Unix root, so /a/b is Z:\a\b.
inline std::wstring wine_path(const char* unixPath)
{
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p != '\0'; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return path;
}

// The whole file at a Unix path; empty when it cannot be opened.
inline std::string file_bytes(const char* unixPath)
{
    HANDLE file = CreateFileW(wine_path(unixPath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// The bytes of resource id of the given type in module; empty when there is none.
inline std::string resource_bytes(HMODULE module, LPCWSTR type, int id)
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (resource == nullptr)
        return std::string();
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    return std::string(data, SizeofResource(module, resource));
}

// The top-level window of class className that process pid owns, or null. Both must match: other
// programs have windows too, and GDI+ may give the process hidden helper windows of its own. Class
// names compare without regard to case, as the platform compares them.
inline HWND find_process_window(DWORD pid, const wchar_t* className)
{
    struct Search {
        DWORD pid;
        const wchar_t* className;
        HWND found;
    } search{pid, className, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            Search* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            wchar_t name[256] = {};
            GetClassNameW(hwnd, name, 256);
            if (owner != s->pid || lstrcmpiW(name, s->className) != 0)
                return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// find_process_window, asked every 50 ms until the window exists; null after timeoutMs.
inline HWND wait_for_process_window(DWORD pid, const wchar_t* className, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND hwnd = find_process_window(pid, className))
            return hwnd;
        if (GetTickCount() - start >= timeoutMs)
            return nullptr;
        Sleep(50);
    }
}

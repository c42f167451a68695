// Test helper: the Windows form of a path in the Linux build tree. Under Wine, drive Z: is the
// Linux root, so /a/b becomes Z:\a\b.
#pragma once
#include <string>

inline std::wstring wine_path(const char* unixPath)
{
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p != '\0'; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return path;
}

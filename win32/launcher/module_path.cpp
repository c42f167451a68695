// The running program's own path, grown past MAX_PATH when needed.
#include "module_path.h"

// Longest path the system accepts; the buffer grows no further.
static const DWORD LONGEST_PATH = 32768;

std::wstring module_path(DWORD firstCapacity)
{
    std::wstring path(firstCapacity > 0 ? firstCapacity : 1, L'\0');
    for (;;) {
        // A path that does not fit comes back cut to the buffer's size, which is its length then.
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= LONGEST_PATH)
            return std::wstring();
        path.resize(path.size() * 2);
    }
}

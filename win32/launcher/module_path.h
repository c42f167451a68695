// The running program's own path through the wide-character API, without the MAX_PATH limit.
#pragma once
#include <windows.h>

#include <string>

// The buffer starts at firstCapacity characters and doubles until the whole path fits, so a
// long path is never cut short; empty if the system gives no path.
std::wstring module_path(DWORD firstCapacity = MAX_PATH);

// Helpers shared by the Windows tests and their helper programs: build-tree paths as Wine sees
// them, files, resources and the start log as bytes and lines, temporary folders, started
// programs and their windows, and waiting for a condition with a deadline.
#pragma once
#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// The window classes of the two programs as other processes see them. Stated here on their own,
// not taken from the programs' sources, so a renamed class fails the black-box tests.
constexpr wchar_t OVERLAY_WINDOW_CLASS[] = L"BuzzelClass";
constexpr wchar_t LAUNCHER_WINDOW_CLASS[] = L"BuzzelGuiClass";

// CMake hands the tests Unix paths; under Wine drive Z: is the Unix root, so /a/b is Z:\a\b.
inline std::wstring wine_path(const char* unixPath)
{
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p != '\0'; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return path;
}

// The whole file at a Windows path, even while a program still writes it; empty when it cannot
// be opened.
inline std::string read_file(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// The whole file at a Unix path; empty when it cannot be opened.
inline std::string file_bytes(const char* unixPath)
{
    return read_file(wine_path(unixPath));
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

// Lines of a start log, each with its CR LF; a last piece without one is kept as it is.
inline std::vector<std::string> split_lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        const size_t next = end == std::string::npos ? bytes.size() : end + 2;
        lines.push_back(bytes.substr(start, next - start));
        start = next;
    }
    return lines;
}

// The message of a start-log line: what follows the 23-character timestamp and " - ", without
// CR LF. A line of any other shape reads as "malformed line: " and the line, which no test expects.
inline std::string message_of(const std::string& line)
{
    if (line.size() < 28 || line.compare(23, 3, " - ") != 0 ||
        line.compare(line.size() - 2, 2, "\r\n") != 0)
        return "malformed line: " + line;
    return line.substr(26, line.size() - 28);
}

// The messages of the start log in folder, one for each line; none when there is no log.
inline std::vector<std::string> read_log_messages(const std::filesystem::path& folder)
{
    std::vector<std::string> messages;
    for (const std::string& line : split_lines(read_file((folder / "buzzel_start.log").wstring())))
        messages.push_back(message_of(line));
    return messages;
}

// A fresh empty folder under the temporary folder, named after its user, this process and a
// serial, so no two tests share one. It goes, with all it holds, when the object does.
struct TempFolder {
    std::filesystem::path path;
    bool made = false; // false when the folder could not be made

    explicit TempFolder(const std::string& name)
    {
        static int serial = 0;
        path = std::filesystem::temp_directory_path() /
               (name + "_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial));
        std::error_code failed;
        std::filesystem::remove_all(path, failed);
        made = std::filesystem::create_directories(path, failed);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
};

// Asks condition every 50 ms until it holds; false when timeoutMs pass first.
template <typename Condition>
bool wait_until(Condition condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(50);
    }
}

// Hands every message waiting for this thread on, as a message loop would.
inline void pump_messages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A started program; the handles belong to the test and are closed by child_close.
struct Child {
    PROCESS_INFORMATION info{};
    bool started = false;
};

// Starts program (a full path) with the given arguments after its quoted path, in directory (this
// process's own when empty). With a job, the program runs inside it from its first instruction,
// and so does all it starts; a program the job refuses is ended and counts as not started. With
// suspended, the program waits for the caller's ResumeThread (which may hook it first).
inline Child child_start(const std::wstring& program, const std::wstring& arguments,
                         const std::wstring& directory = L"", HANDLE job = nullptr, bool suspended = false)
{
    Child child;
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const DWORD flags = job != nullptr || suspended ? CREATE_SUSPENDED : 0;
    child.started = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, flags, nullptr,
                                   directory.empty() ? nullptr : directory.c_str(), &startup, &child.info) != 0;
    if (child.started && job != nullptr && !AssignProcessToJobObject(job, child.info.hProcess)) {
        TerminateProcess(child.info.hProcess, 0xDEAD);
        WaitForSingleObject(child.info.hProcess, 10000);
        CloseHandle(child.info.hThread);
        CloseHandle(child.info.hProcess);
        child.started = false;
    }
    if (child.started && !suspended)
        ResumeThread(child.info.hThread);
    return child;
}

// Waits up to timeoutMs for the child to end; true with its exit code when it did. A child that
// overruns is ended, so no test leaves a process behind.
inline bool child_wait(Child& child, DWORD timeoutMs, DWORD* exitCode)
{
    if (!child.started)
        return false;
    if (WaitForSingleObject(child.info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(child.info.hProcess, 0xDEAD);
        WaitForSingleObject(child.info.hProcess, 10000);
        return false;
    }
    return GetExitCodeProcess(child.info.hProcess, exitCode) != 0;
}

inline void child_close(Child& child)
{
    if (!child.started)
        return;
    CloseHandle(child.info.hThread);
    CloseHandle(child.info.hProcess);
    child.started = false;
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

// find_process_window, asked until the window exists; null after timeoutMs.
inline HWND wait_for_process_window(DWORD pid, const wchar_t* className, DWORD timeoutMs)
{
    HWND found = nullptr;
    wait_until([&] { return (found = find_process_window(pid, className)) != nullptr; }, timeoutMs);
    return found;
}

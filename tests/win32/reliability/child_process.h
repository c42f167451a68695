// Helpers for black-box tests of the real programs under Wine: start one in a given directory,
// optionally inside a job, wait for it with a deadline and read its exact exit code.
#pragma once
#include <windows.h>

#include <string>

// A started program; the handles belong to the test and are closed by child_close.
struct Child {
    PROCESS_INFORMATION info{};
    bool started = false;
};

// Starts program (a full path) with the given arguments after its quoted path, in directory.
// With a job, the program runs inside it from its first instruction, and so does all it starts.
inline Child child_start(const std::wstring& program, const std::wstring& arguments,
                         const std::wstring& directory, HANDLE job = nullptr)
{
    Child child;
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const DWORD flags = job != nullptr ? CREATE_SUSPENDED : 0;
    child.started = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, flags,
                                   nullptr, directory.c_str(), &startup, &child.info) != 0;
    if (child.started && job != nullptr) {
        if (!AssignProcessToJobObject(job, child.info.hProcess))
            TerminateProcess(child.info.hProcess, 0xDEAD);
        ResumeThread(child.info.hThread);
    }
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

// The start-log writers: they read the local time, have the line composed by compose_log_line
// and only put the bytes into the file. A file that cannot be opened loses the line silently.
#include "log_writers.h"

#include "log_line.h"

#include <windows.h>

#include <cstdio>

static LogTime local_time()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return LogTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

void append_log_winapi(const char* message)
{
    const LogTime time = local_time();
    char line[LOG_LINE_CAPACITY];
    const size_t length = compose_log_line(line, sizeof line, time, message, LOG_LINE_CRLF);
    HANDLE file = CreateFileA(LOG_FILE_NAME, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    SetFilePointer(file, 0, nullptr, FILE_END);
    if (length > 0) {
        DWORD written = 0;
        WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    }
    CloseHandle(file);
}

void append_log_crt(const char* message)
{
    FILE* file = nullptr;
    if (fopen_s(&file, LOG_FILE_NAME, "a") != 0 || file == nullptr)
        return;
    const LogTime time = local_time();
    char line[LOG_WHOLE_LINE_CAPACITY];
    size_t length = compose_log_line(line, sizeof line, time, message, LOG_LINE_CRLF);
    // The stream is in text mode and turns LF into CR LF itself: hand it the line with LF alone.
    line[length - 2] = '\n';
    line[--length] = '\0';
    std::fwrite(line, 1, length, file);
    std::fclose(file);
}

// The start log's line format: "YYYY-MM-DD hh:mm:ss.mmm - message" + the platform's line end.
// Pure code: the writers only put the composed bytes into the file.
#pragma once
#include <cstddef>

// Local time of one log line, as the platform reports it.
struct LogTime {
    int year, month, day, hour, minute, second, milliseconds;
};

// Name of the start log, relative to the current directory.
constexpr const char* LOG_FILE_NAME = "buzzel_start.log";

// Size of the writers' line buffer, terminator included.
constexpr size_t LOG_LINE_CAPACITY = 1024;

// A line buffer with room for the longest message the programs compose (1023 characters) with its
// timestamp, separator and line end, so such a message goes in whole.
constexpr size_t LOG_WHOLE_LINE_CAPACITY = LOG_LINE_CAPACITY + 28;

// How a line ends: CR LF in the Windows program's log, LF in the Linux program's.
enum LogLineEnd { LOG_LINE_CRLF, LOG_LINE_LF };

// Composes one line into buf (capacity bytes, at least 3) and returns its length without the NUL.
// The line always ends in its line end: a message too long for the buffer is cut, never the end.
size_t compose_log_line(char* buf, size_t capacity, const LogTime& time, const char* message,
                        LogLineEnd end);

// The start log's line format: "YYYY-MM-DD hh:mm:ss.mmm - message" + CR LF.
// Pure code: the writers only put the composed bytes into the file.
#pragma once
#include <cstddef>

// Local time of one log line, as the platform reports it.
struct LogTime {
    int year, month, day, hour, minute, second, milliseconds;
};

// Size of the writers' line buffer, terminator included.
constexpr size_t LOG_LINE_CAPACITY = 1024;

// Composes one line into buf (capacity bytes, at least 3) and returns its length without the NUL.
// The line always ends in CR LF: a message too long for the buffer is cut, never the line end.
size_t compose_log_line(char* buf, size_t capacity, const LogTime& time, const char* message);

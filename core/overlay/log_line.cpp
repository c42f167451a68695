// Composes one start-log line: "YYYY-MM-DD hh:mm:ss.mmm - message" + CR LF.
// A message too long for the buffer is cut so that the line end always survives: a line that
// lost its CR LF would run into the next line of the file.
#include "log_line.h"

#include <cstdio>

size_t compose_log_line(char* buf, size_t capacity, const LogTime& time, const char* message)
{
    // Room left for the text once CR LF and the terminator are set aside.
    const size_t textRoom = capacity - 3;
    const int stamped = std::snprintf(buf, textRoom + 1, "%04d-%02d-%02d %02d:%02d:%02d.%03d - ",
                                      time.year, time.month, time.day, time.hour, time.minute,
                                      time.second, time.milliseconds);
    size_t length = stamped < 0 ? 0 : static_cast<size_t>(stamped);
    if (length > textRoom)
        length = textRoom;
    for (const char* m = message; *m != '\0' && length < textRoom; ++m)
        buf[length++] = *m;
    buf[length++] = '\r';
    buf[length++] = '\n';
    buf[length] = '\0';
    return length;
}

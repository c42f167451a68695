// Composes one start-log line: "YYYY-MM-DD hh:mm:ss.mmm - message" + CR LF or LF.
// A message too long for the buffer is cut so that the line end always survives: a line that
// lost its line end would run into the next line of the file.
#include "log_line.h"

#include <cstdio>

size_t compose_log_line(char* buf, size_t capacity, const LogTime& time, const char* message,
                        LogLineEnd end)
{
    // Room left for the text once the line end and the terminator are set aside; an LF line
    // keeps the same room as a CR LF line, so both platforms cut a long message alike.
    const size_t textRoom = capacity - 3;
    const int stamped = std::snprintf(buf, textRoom + 1, "%04d-%02d-%02d %02d:%02d:%02d.%03d - ",
                                      time.year, time.month, time.day, time.hour, time.minute,
                                      time.second, time.milliseconds);
    size_t length = stamped < 0 ? 0 : static_cast<size_t>(stamped);
    if (length > textRoom)
        length = textRoom;
    for (const char* m = message; *m != '\0' && length < textRoom; ++m)
        buf[length++] = *m;
    if (end == LOG_LINE_CRLF)
        buf[length++] = '\r';
    buf[length++] = '\n';
    buf[length] = '\0';
    return length;
}

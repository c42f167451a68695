// The start-log writer: reads the local time, has the line composed by compose_log_line and
// appends the bytes with one write, so lines of runs that share the file never interleave.
#include "log_file.h"

#include "log_line.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

static LogTime local_time()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return LogTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                   local.tm_min,         local.tm_sec,    static_cast<int>(now.tv_nsec / 1000000)};
}

void append_log(const char* message)
{
    char line[LOG_WHOLE_LINE_CAPACITY];
    const size_t length = compose_log_line(line, sizeof line, local_time(), message, LOG_LINE_LF);
    const int fd = open(LOG_FILE_NAME, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    ssize_t written = write(fd, line, length);
    (void)written; // a short or failed write loses the line, like a file that cannot be opened
    close(fd);
}

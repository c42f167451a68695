// Fuzz target for composing start-log lines and the START messages from any command line and
// any time fields: no write beyond a buffer, every line ends in its line end (CR LF or LF), nothing but the message
// tail is ever cut, and the START messages carry as much of the command line as their buffers
// hold, each whole on its line of the stdio writer.
// Input (FuzzedDataProvider): the choices (whether the platform gave a command line, seven time
// fields, a buffer capacity, a platform time) come from its end; the text used as message and as
// command line is what remains at its front.
#include "fuzz_check.h"
#include "log_line.h"
#include "start_messages.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::string timestamp_of(const LogTime& t)
{
    char text[128];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d - ", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, t.milliseconds);
    return text;
}

// Composes into a heap buffer of exactly capacity bytes, so a write past it is caught, and
// checks the line against the text it should hold: all of it when it fits, else its start.
std::string compose_checked(size_t capacity, const LogTime& time, const char* message,
                            LogLineEnd end = LOG_LINE_CRLF)
{
    std::unique_ptr<char[]> buf(new char[capacity]);
    const size_t length = compose_log_line(buf.get(), capacity, time, message, end);
    const size_t endLength = end == LOG_LINE_CRLF ? 2 : 1;
    check(length >= endLength && length < capacity, "line length within the buffer");
    check(buf[length] == '\0' && std::strlen(buf.get()) == length, "line terminated");
    if (end == LOG_LINE_CRLF)
        check(buf[length - 2] == '\r' && buf[length - 1] == '\n', "line ends in CR LF");
    else
        check(buf[length - 1] == '\n', "line ends in LF"); // what comes before it is the message's
    const std::string text = timestamp_of(time) + message;
    const std::string line(buf.get(), length);
    const size_t kept = length - endLength;
    check(kept <= text.size() && line.compare(0, kept, text, 0, kept) == 0,
          "line is the start of timestamp and message");
    check(kept == text.size() || kept + 3 == capacity, "only a full buffer cuts the text");
    return line;
}

// A START message: its prefix, then as much of the command line as 1023 characters allow.
void check_message(const char* message, const char* prefix, const std::string& commandLine)
{
    const void* end = std::memchr(message, '\0', LOG_LINE_CAPACITY);
    check(end != nullptr, "message terminated within its buffer");
    const std::string text(message);
    const std::string expected = (prefix + commandLine).substr(0, LOG_LINE_CAPACITY - 1);
    check(text == expected, "message is prefix and command line, cut at 1023 characters");
}

// Time fields as the platform reports them, with a four-digit year: the shape the writers see.
LogTime platform_time(FuzzedDataProvider& input)
{
    LogTime t{};
    t.year = input.ConsumeIntegralInRange(1601, 9999);
    t.month = input.ConsumeIntegralInRange(1, 12);
    t.day = input.ConsumeIntegralInRange(1, 31);
    t.hour = input.ConsumeIntegralInRange(0, 23);
    t.minute = input.ConsumeIntegralInRange(0, 59);
    t.second = input.ConsumeIntegralInRange(0, 59);
    t.milliseconds = input.ConsumeIntegralInRange(0, 999);
    return t;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool hasCommandLine = input.ConsumeBool();
    LogTime anyTime{};
    anyTime.year = input.ConsumeIntegral<int>();
    anyTime.month = input.ConsumeIntegral<int>();
    anyTime.day = input.ConsumeIntegral<int>();
    anyTime.hour = input.ConsumeIntegral<int>();
    anyTime.minute = input.ConsumeIntegral<int>();
    anyTime.second = input.ConsumeIntegral<int>();
    anyTime.milliseconds = input.ConsumeIntegral<int>();
    const size_t capacity = input.ConsumeIntegralInRange<size_t>(3, 2 * LOG_LINE_CAPACITY);
    const LogTime time = platform_time(input);
    const std::string text = input.ConsumeRemainingBytesAsString();
    const std::string commandLine(text.c_str()); // the platform's string ends at its first NUL

    compose_checked(capacity, anyTime, text.c_str());
    compose_checked(capacity, anyTime, text.c_str(), LOG_LINE_LF);

    StartMessages messages;
    compose_start_messages(hasCommandLine ? commandLine.c_str() : nullptr, &messages);
    if (hasCommandLine) {
        check_message(messages.winapi, "START (winapi) cmd=", commandLine);
        check_message(messages.crt, "START cmd=", commandLine);
    } else {
        check(std::strcmp(messages.winapi, "START (winapi) cmd=(none)") == 0, "winapi without cmd");
        check(std::strcmp(messages.crt, "START (cmdline unavailable)") == 0, "crt without cmd");
    }

    // The two writers' buffers: the Win32 one may cut the message, the stdio one never does.
    compose_checked(LOG_LINE_CAPACITY, time, messages.winapi);
    const std::string crtLine = compose_checked(LOG_WHOLE_LINE_CAPACITY, time, messages.crt);
    check(crtLine == timestamp_of(time) + messages.crt + "\r\n", "stdio line holds the whole message");
    return 0;
}

// The start log's line format and the START messages.
#include "log_line.h"
#include "start_messages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const LogTime SHUTDOWN_TIME{2025, 3, 7, 9, 5, 3, 42};

std::string compose(size_t capacity, const LogTime& time, const std::string& message,
                    LogLineEnd end = LOG_LINE_CRLF)
{
    std::string buf(capacity, '#');
    const size_t length = compose_log_line(&buf[0], capacity, time, message.c_str(), end);
    EXPECT_EQ(buf[length], '\0');
    EXPECT_EQ(std::strlen(buf.c_str()), length);
    return buf.substr(0, length);
}

} // namespace

TEST(LogLine, Format)
{
    EXPECT_EQ(compose(LOG_LINE_CAPACITY, SHUTDOWN_TIME, "SHUTDOWN"),
              "2025-03-07 09:05:03.042 - SHUTDOWN\r\n");
    EXPECT_EQ(compose(LOG_LINE_CAPACITY, LogTime{999, 12, 31, 23, 59, 59, 999}, ""),
              "0999-12-31 23:59:59.999 - \r\n");
    // Message bytes go in unchanged, whatever they are.
    EXPECT_EQ(compose(LOG_LINE_CAPACITY, SHUTDOWN_TIME, "cmd=\"C:\\a b\\buzzel.exe\"  -n 3 \xe9"),
              "2025-03-07 09:05:03.042 - cmd=\"C:\\a b\\buzzel.exe\"  -n 3 \xe9\r\n");
}

// A message too long for the buffer is cut; the line end never is.
TEST(LogLine, LongMessageIsCutAndKeepsTheLineEnd)
{
    const std::string stamp = "2025-03-07 09:05:03.042 - ";
    const size_t room = LOG_LINE_CAPACITY - 1 - stamp.size() - 2; // 995 message bytes fit
    const struct {
        size_t messageLength;
        size_t kept;
    } cases[] = {{room, room}, {room + 1, room}, {5000, room}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.messageLength);
        const std::string message(c.messageLength, 'x');
        const std::string line = compose(LOG_LINE_CAPACITY, SHUTDOWN_TIME, message);
        EXPECT_EQ(line, stamp + message.substr(0, c.kept) + "\r\n");
    }
    // Even a buffer too small for the timestamp keeps the line end.
    EXPECT_EQ(compose(10, SHUTDOWN_TIME, "SHUTDOWN"), "2025-03\r\n");
    EXPECT_EQ(compose(3, SHUTDOWN_TIME, "SHUTDOWN"), "\r\n");
}

// The Linux program's lines end in LF alone and are cut at the same length as the Windows ones.
TEST(LogLine, LfLinesEndInLfAndAreCutAlike)
{
    EXPECT_EQ(compose(LOG_LINE_CAPACITY, SHUTDOWN_TIME, "SHUTDOWN", LOG_LINE_LF),
              "2025-03-07 09:05:03.042 - SHUTDOWN\n");
    const std::string longMessage(5000, 'x');
    const std::string crlf = compose(LOG_LINE_CAPACITY, SHUTDOWN_TIME, longMessage);
    const std::string lf = compose(LOG_LINE_CAPACITY, SHUTDOWN_TIME, longMessage, LOG_LINE_LF);
    EXPECT_EQ(lf, crlf.substr(0, crlf.size() - 2) + "\n");
    EXPECT_EQ(compose(3, SHUTDOWN_TIME, "SHUTDOWN", LOG_LINE_LF), "\n");
}

TEST(StartMessages, CarryTheCommandLineAsItIs)
{
    StartMessages messages;
    compose_start_messages("\"C:\\Fly Dir\\buzzel.exe\"  -n 3", &messages);
    EXPECT_STREQ(messages.winapi, "START (winapi) cmd=\"C:\\Fly Dir\\buzzel.exe\"  -n 3");
    EXPECT_STREQ(messages.crt, "START cmd=\"C:\\Fly Dir\\buzzel.exe\"  -n 3");

    compose_start_messages(nullptr, &messages);
    EXPECT_STREQ(messages.winapi, "START (winapi) cmd=(none)");
    EXPECT_STREQ(messages.crt, "START (cmdline unavailable)");
}

TEST(StartMessages, LongCommandLineIsCutAt1023Characters)
{
    std::string commandLine;
    for (int i = 0; commandLine.size() < 3000; ++i)
        commandLine += std::to_string(i % 10);
    StartMessages messages;
    compose_start_messages(commandLine.c_str(), &messages);
    EXPECT_EQ(std::string(messages.winapi), "START (winapi) cmd=" + commandLine.substr(0, 1004));
    EXPECT_EQ(std::string(messages.crt), "START cmd=" + commandLine.substr(0, 1013));
}

// The first START line fits whole up to a 976-character command line; beyond that the message
// is cut and the line still ends in CR LF instead of running into the next line.
TEST(StartMessages, FirstLineKeepsItsLineEndForAnyCommandLine)
{
    for (size_t length : {976u, 977u, 2000u}) {
        SCOPED_TRACE(length);
        const std::string commandLine(length, 'c');
        StartMessages messages;
        compose_start_messages(commandLine.c_str(), &messages);
        const std::string line = compose(LOG_LINE_CAPACITY, SHUTDOWN_TIME, messages.winapi);
        const size_t kept = length < 976 ? length : 976;
        EXPECT_EQ(line, "2025-03-07 09:05:03.042 - START (winapi) cmd=" + commandLine.substr(0, kept) + "\r\n");
    }
}

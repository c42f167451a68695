// Composes the two START messages; a long command line is cut so each message keeps to
// LOG_LINE_CAPACITY - 1 characters, as the line buffers it was sized for.
#include "start_messages.h"

// Writes prefix then text into buf (LOG_LINE_CAPACITY bytes), cutting at the capacity.
static void compose_message(char* buf, const char* prefix, const char* text)
{
    size_t length = 0;
    for (const char* p = prefix; *p != '\0' && length < LOG_LINE_CAPACITY - 1; ++p)
        buf[length++] = *p;
    for (const char* p = text; *p != '\0' && length < LOG_LINE_CAPACITY - 1; ++p)
        buf[length++] = *p;
    buf[length] = '\0';
}

void compose_start_messages(const char* commandLine, StartMessages* messages)
{
    if (commandLine == nullptr) {
        compose_message(messages->winapi, "START (winapi) cmd=(none)", "");
        compose_message(messages->crt, "START (cmdline unavailable)", "");
        return;
    }
    compose_message(messages->winapi, "START (winapi) cmd=", commandLine);
    compose_message(messages->crt, "START cmd=", commandLine);
}

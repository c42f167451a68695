// The two START messages that open each run's part of the start log, composed from the
// process's command line before the writers get them. Pure code: builds without Win32.
#pragma once
#include "log_line.h"

// Both messages, each at most LOG_LINE_CAPACITY - 1 characters.
struct StartMessages {
    char winapi[LOG_LINE_CAPACITY]; // "START (winapi) cmd=..." for append_log_winapi
    char crt[LOG_LINE_CAPACITY];    // "START cmd=..." for append_log_crt
};

// commandLine is the narrow command line as the platform keeps it, or nullptr when it gives none.
void compose_start_messages(const char* commandLine, StartMessages* messages);

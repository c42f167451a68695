// The two start-log writers: each appends one line "timestamp - message" + CR LF to
// "buzzel_start.log" in the current directory and never reports failure. Windows only.
#pragma once
#include "log_line.h"

// Appends one line through the Win32 file functions; a line is at most 1023 bytes.
void append_log_winapi(const char* message);

// Appends one line through the C runtime's stdio in text mode; messages up to 1023 characters
// go in whole.
void append_log_crt(const char* message);

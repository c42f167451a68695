// The Linux program's start log: one LF-ended line a call, appended to "buzzel_start.log" in the
// current directory. A log that cannot be written loses the line; the run goes on.
#pragma once

// Appends "timestamp - message" + LF.
void append_log(const char* message);

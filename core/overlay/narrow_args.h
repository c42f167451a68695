// The command line as a Linux program receives it: argv as UTF-8 byte strings. It is read with the
// same parser as the Windows program's wide arguments, and joined into the text the start log shows.
#pragma once
#include <cstddef>

// Decodes each argument from UTF-8 (a byte that is not valid UTF-8 becomes U+FFFD) and hands the
// list to parse_command_line; argv[0] is passed along and, as there, not looked at.
void parse_narrow_command_line(int argc, const char* const* argv);

// Joins the arguments into buf (capacity bytes, at least 1) as a shell would take them back: an
// argument that is empty or holds a blank or a quote goes in single quotes. Cut at the capacity.
// Returns the length without the NUL.
size_t join_command_line(int argc, const char* const* argv, char* buf, size_t capacity);

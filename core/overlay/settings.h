// The overlay program's run settings and the command-line parser that sets them.
// Pure code: builds and is tested without Win32.
#pragma once

// Settings, written once by parse_command_line during start-up and only read afterwards.
extern int g_flyCount;             // number of flies, at least 1 (default 1)
extern double g_timeoutSeconds;    // run-time limit in seconds, 0 = no limit (default 15.0)
extern int g_flyRenderSize;        // base fly size in pixels (default 36)
extern int g_sizeVariationPercent; // per-fly size variation, 0 to 100 (default 0)

// Largest fly size the settings accept, whether given in pixels or reached by multipliers.
// Far above any screen, and small enough that twice it (the largest varied size) and every
// later sum of it with screen coordinates stays well inside a 32-bit int.
constexpr int MAX_FLY_RENDER_SIZE = 16384;

// Puts the four settings back to their defaults (start of a run, and tests).
void reset_settings();

// Reads text as an integer the way the C runtime's _wtoi does; beyond 32 bits it saturates
// at INT_MAX or INT_MIN.
int read_int(const wchar_t* text);

// Reads text as a real number the way the C runtime's _wtof does, with '.' as decimal point always;
// beyond the double range it gives +-inf or 0, and it never gives NaN.
double read_real(const wchar_t* text);

// Updates the settings from an argument list; argv[0] (the program path) is not looked at.
void parse_command_line(int argc, const wchar_t* const* argv);

// The launcher's launch logic that needs no window system: the size slider's scale and the
// overlay program's command text and command line composed from the four slider positions.
#pragma once
#include <string>

// The size slider's position p stands for a multiplier p / 10 (single precision).
float trackbarPosToSizeMultiplier(int position);

// Pixels sent for a multiplier of the 18-pixel base: 18 * multiplier, truncated; beyond the int
// range, INT_MAX or INT_MIN.
int sizeMultiplierToPixels(float multiplier);

// "buzzel.exe -n C -t T -s PIXELS" [+ " -v V" when V > 0] from the four slider positions,
// with out-of-range positions replaced (count < 1 -> 5, timeout < 0 -> 0, size < 5 -> 10,
// variation < 0 -> 0). The first word is a placeholder that compose_command_line drops.
std::string compose_command_text(int count, int timeout, int sizePosition, int variation);

// The overlay program's path: the launcher's directory (its path up to the last backslash)
// + "\buzzel.exe". A path without a backslash is kept whole.
std::wstring overlay_path_beside(const std::wstring& launcherPath);

// The command line handed to the platform: the quoted overlay path, a blank, then the command
// text from its first blank on, so two blanks follow the path. The quotes keep a path with
// blanks in one piece.
std::wstring compose_command_line(const std::wstring& overlayPath, const std::string& commandText);

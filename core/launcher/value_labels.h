// Texts of the launcher's value labels, which echo the sliders' positions.
// Pure code: builds and is tested without Win32.
#pragma once
#include <string>

// Count and size variation: the position in decimal.
std::string count_label_text(int position);
std::string variation_label_text(int position);

// Timeout: "No timeout" at 0, otherwise the seconds in decimal.
std::string timeout_label_text(int position);

// Size: the multiplier with one decimal, "2.0" for position 20.
std::string size_label_text(int position);

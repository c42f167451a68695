// Texts of the launcher's value labels, formatted into the 32-byte buffer the labels use.
#include "value_labels.h"

#include "launch_command.h"

#include <cstdio>

static std::string decimal_text(int position)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", position);
    return text;
}

std::string count_label_text(int position) { return decimal_text(position); }

std::string variation_label_text(int position) { return decimal_text(position); }

std::string timeout_label_text(int position)
{
    return position == 0 ? std::string("No timeout") : decimal_text(position);
}

std::string size_label_text(int position)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(trackbarPosToSizeMultiplier(position)));
    return text;
}

// Fuzz target for the launcher's pure logic and its meeting with the overlay's parser: the
// command text composed from any four slider positions, read back by parse_command_line, must
// give the overlay the settings the launcher meant; the value labels and the header geometry
// must hold for any input without undefined behaviour.
// Input (FuzzedDataProvider): the choices come from its end, the launcher's path from its front.
#include "fuzz_check.h"
#include "header_layout.h"
#include "launch_command.h"
#include "settings.h"
#include "value_labels.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Positions as the sliders give them (within their ranges) or, now and then, any int at all.
int position(FuzzedDataProvider& input, int low, int high)
{
    return input.ConsumeBool() ? input.ConsumeIntegralInRange(low, high) : input.ConsumeIntegral<int>();
}

// The overlay's view of the command line: the path, then the text after its placeholder word,
// split on its single blanks (the launcher writes no quotes and no runs of blanks there).
void parse_like_the_overlay(const std::wstring& commandLine)
{
    std::vector<std::wstring> args{L"buzzel.exe", L""};
    const size_t rest = commandLine.rfind(L"\"  ");
    check(rest != std::wstring::npos, "two blanks after the quoted path");
    for (size_t i = rest + 3; i < commandLine.size(); ++i) {
        if (commandLine[i] == L' ')
            args.emplace_back();
        else
            args.back().push_back(commandLine[i]);
    }
    std::vector<const wchar_t*> argv;
    for (const std::wstring& arg : args)
        argv.push_back(arg.c_str());
    reset_settings();
    parse_command_line(static_cast<int>(argv.size()), argv.data());
}

void check_round_trip(int count, int timeout, int size, int variation, const std::wstring& path)
{
    const std::string text = compose_command_text(count, timeout, size, variation);
    check(text.compare(0, 14, "buzzel.exe -n ") == 0, "command text starts with its placeholder");
    for (char c : text)
        check(c == ' ' || c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'),
              "command text is plain ASCII words and numbers");
    parse_like_the_overlay(compose_command_line(overlay_path_beside(path), text));

    // What the launcher meant, as the overlay's settings.
    const int sentCount = count < 1 ? 5 : count;
    const int sentTimeout = timeout < 0 ? 0 : timeout;
    const int sentPixels = sizeMultiplierToPixels(trackbarPosToSizeMultiplier(size < 5 ? 10 : size));
    const int sentVariation = variation < 0 ? 0 : variation;
    check(g_flyCount == sentCount, "count arrives");
    check(g_timeoutSeconds == static_cast<double>(sentTimeout), "time limit arrives");
    check(sentPixels > 5, "sizes sent are pixels, never multipliers");
    check(g_flyRenderSize == (sentPixels < MAX_FLY_RENDER_SIZE ? sentPixels : MAX_FLY_RENDER_SIZE),
          "size arrives, held at the largest size");
    check(g_sizeVariationPercent == (sentVariation > 100 ? 100 : sentVariation), "variation arrives");
}

void check_labels(int pos)
{
    check(count_label_text(pos) == std::to_string(pos), "count label is the position");
    check(variation_label_text(pos) == std::to_string(pos), "variation label is the position");
    check(timeout_label_text(pos) == (pos == 0 ? "No timeout" : std::to_string(pos)), "timeout label");
    const std::string size = size_label_text(pos);
    check(!size.empty() && size.size() < 32, "size label fits its buffer");
    const double shown = std::strtod(size.c_str(), nullptr);
    const double multiplier = trackbarPosToSizeMultiplier(pos);
    check(std::fabs(shown - multiplier) <= 0.05 + std::fabs(multiplier) * 1e-9,
          "size label is the multiplier to one decimal");
}

void check_header(FuzzedDataProvider& input)
{
    const bool hasImage = input.ConsumeBool();
    const int imageWidth = input.ConsumeIntegral<int>();
    const int imageHeight = input.ConsumeIntegral<int>();
    const int clientWidth = input.ConsumeIntegral<int>();
    const float textWidth = input.ConsumeFloatingPointInRange(0.0f, 1000.0f);
    const float textHeight = input.ConsumeFloatingPointInRange(0.0f, 100.0f);
    const HeaderLayout layout =
        header_layout(hasImage, imageWidth, imageHeight, clientWidth, textWidth, textHeight);
    check(layout.drawHeight == 48 && layout.imageY == 21, "image 48 high with its top at 21");
    if (!hasImage || imageHeight <= 0)
        check(layout.drawWidth == 48, "the square stands in for a missing image");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int count = position(input, 1, 50);
    const int timeout = position(input, 0, 600);
    const int sizePosition = position(input, 5, 30);
    const int variation = position(input, 0, 100);
    check_labels(input.ConsumeIntegral<int>());
    check_header(input);
    const std::string pathBytes = input.ConsumeRemainingBytesAsString();
    std::wstring path;
    for (unsigned char c : pathBytes)
        if (c != '\0' && c != '"')
            path.push_back(static_cast<wchar_t>(c));
    check_round_trip(count, timeout, sizePosition, variation, path);
    return 0;
}

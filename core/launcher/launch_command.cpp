// Composition of the overlay program's command line from the launcher's slider positions.
#include "launch_command.h"

#include <climits>

// Fly size in pixels at multiplier 1: the size slider's position p sends p / 10 times this.
static const float SIZE_BASE_PIXELS = 18.0f;

float trackbarPosToSizeMultiplier(int position)
{
    return static_cast<float>(position) / 10.0f;
}

// Saturates beyond the int range, which no slider position in range comes near: a float that
// large has no int to truncate to.
int sizeMultiplierToPixels(float multiplier)
{
    const float pixels = SIZE_BASE_PIXELS * multiplier;
    if (pixels >= 2147483648.0f)
        return INT_MAX;
    if (pixels <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(pixels);
}

std::string compose_command_text(int count, int timeout, int sizePosition, int variation)
{
    if (count < 1)
        count = 5;
    if (timeout < 0)
        timeout = 0;
    if (sizePosition < 5)
        sizePosition = 10;
    if (variation < 0)
        variation = 0;
    const int pixels = sizeMultiplierToPixels(trackbarPosToSizeMultiplier(sizePosition));

    // std::to_string writes plain decimal whatever the user's locale. The text reads as a whole
    // command; the program's real path, which only the launch knows, replaces its first word.
    std::string text = "buzzel.exe -n " + std::to_string(count) + " -t " + std::to_string(timeout) +
                       " -s " + std::to_string(pixels);
    if (variation > 0)
        text += " -v " + std::to_string(variation);
    return text;
}

std::wstring overlay_path_beside(const std::wstring& launcherPath)
{
    const size_t slash = launcherPath.rfind(L'\\');
    const std::wstring directory = slash == std::wstring::npos ? launcherPath : launcherPath.substr(0, slash);
    return directory + L"\\buzzel.exe";
}

std::wstring compose_command_line(const std::wstring& overlayPath, const std::string& commandText)
{
    std::wstring line = L"\"" + overlayPath + L"\" ";
    const size_t space = commandText.find(' ');
    if (space != std::string::npos) {
        // The command text is plain ASCII: each byte widens to the same character.
        for (size_t i = space; i < commandText.size(); ++i)
            line += static_cast<wchar_t>(static_cast<unsigned char>(commandText[i]));
    }
    return line;
}

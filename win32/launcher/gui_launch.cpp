// Starting the overlay program. Paths go through the wide-character API so that a launcher in a
// folder the ANSI code page cannot spell (Cyrillic, say) still finds and names buzzel.exe.
#include "gui_launch.h"

#include "gui_controls.h"
#include "launch_command.h"
#include "module_path.h"

#include <string>

// Starts buzzel.exe from the launcher's own directory with the arguments of commandText (the
// text after its first blank) and forgets it; on failure tells the user in a message box.
static void LaunchBuzzel(const char* commandText)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};

    const std::wstring exePath = overlay_path_beside(module_path());
    // CreateProcessW may write into the command line, so it gets this writable copy.
    std::wstring commandLine = compose_command_line(exePath, commandText);
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return;
    }
    const std::wstring message = L"Failed to launch: " + exePath;
    MessageBoxW(nullptr, message.c_str(), L"Error", MB_ICONERROR);
}

void launch_click(HWND window)
{
    const std::string commandText = compose_command_text(slider_position(hCount), slider_position(hTimeout),
                                                         slider_position(hSize), slider_position(hVariation));
    LaunchBuzzel(commandText.c_str());
    DestroyWindow(window);
}

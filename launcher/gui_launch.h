// The launcher's two buttons: "Let's Fly" starts the overlay program beside the launcher and
// closes the window; LaunchBuzzel does the start.
#pragma once
#include <windows.h>

// Starts buzzel.exe from the launcher's own directory with the arguments of commandText (the
// text after its first blank) and forgets it; on failure tells the user in a message box.
void LaunchBuzzel(const char* commandText);

// "Let's Fly": composes the command from the four sliders, launches, then destroys the window
// whatever the launch achieved.
void launch_click(HWND window);

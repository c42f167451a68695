// Control IDs of the launcher window's sliders and buttons (labels have none).
// Include after windows.h: it drops that header's IDC_SIZE cursor macro, which the launcher
// does not use, so that the name can be the size slider's ID.
#pragma once

#ifdef IDC_SIZE
#undef IDC_SIZE
#endif

constexpr int IDC_COUNT = 1001;
constexpr int IDC_TIMEOUT = 1002;
constexpr int IDC_SIZE = 1003;
constexpr int IDC_LAUNCH = 1004;
constexpr int IDC_QUIT = 1005;
constexpr int IDC_VARIATION = 1006;

// The launcher's child controls: creation from one fixed table, the shared font, and the
// value labels' texts on every slider movement.
#include "gui_controls.h"

#include "gui_ids.h"
#include "value_labels.h"

#include <commctrl.h>

HWND hCount;                // count slider
HWND hTimeout;              // timeout slider
HWND hSize;                 // size slider
HWND hVariation;            // size-variation slider
static HWND hCountVal;      // count slider's value label
static HWND hTimeoutVal;    // timeout slider's value label
static HWND hSizeVal;       // size slider's value label
static HWND hVariationVal;  // size-variation slider's value label
static HFONT hGuiFont;      // font of every child control; kept until the process ends

static const DWORD CAPTION_STYLE = WS_CHILD | WS_VISIBLE | SS_RIGHT;
static const DWORD VALUE_STYLE = WS_CHILD | WS_VISIBLE;
// Clipped against the siblings above them: each slider would otherwise paint over the top of the
// value label that overlaps its lowest 6 pixels, cutting off the tops of the digits.
static const DWORD SLIDER_STYLE = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBS_AUTOTICKS | TBS_ENABLESELRANGE;

// One child control of the launcher window.
struct ChildControl {
    const char* className;
    const char* text;
    DWORD style;
    int x, y, width, height;
    int id;
    HWND* handle;    // where its handle is kept, or nullptr
    int minimum;     // sliders only: range and starting position
    int maximum;
    int position;
};

// The fourteen controls in creation order: four rows of caption, value label and slider, then
// the two buttons. Each value label overlaps the lowest 6 pixels of its slider.
static const ChildControl CHILD_CONTROLS[] = {
    {"STATIC", "Number of flies:", CAPTION_STYLE, 10, 90, 160, 20, 0, nullptr, 0, 0, 0},
    {"STATIC", "1", VALUE_STYLE, 390, 108, 40, 20, 0, &hCountVal, 0, 0, 0},
    {TRACKBAR_CLASSA, nullptr, SLIDER_STYLE, 190, 90, 440, 24, IDC_COUNT, &hCount, 1, 50, 1},
    {"STATIC", "Timeout (seconds):", CAPTION_STYLE, 10, 142, 160, 20, 0, nullptr, 0, 0, 0},
    {"STATIC", "15", VALUE_STYLE, 380, 160, 80, 20, 0, &hTimeoutVal, 0, 0, 0},
    {TRACKBAR_CLASSA, nullptr, SLIDER_STYLE, 190, 142, 440, 24, IDC_TIMEOUT, &hTimeout, 0, 600, 15},
    {"STATIC", "Fly size:", CAPTION_STYLE, 10, 194, 160, 20, 0, nullptr, 0, 0, 0},
    {"STATIC", "2.0", VALUE_STYLE, 400, 212, 40, 20, 0, &hSizeVal, 0, 0, 0},
    {TRACKBAR_CLASSA, nullptr, SLIDER_STYLE, 190, 194, 440, 24, IDC_SIZE, &hSize, 5, 30, 20},
    {"STATIC", "Size variation (%):", CAPTION_STYLE, 10, 246, 160, 20, 0, nullptr, 0, 0, 0},
    {"STATIC", "0", VALUE_STYLE, 390, 264, 40, 20, 0, &hVariationVal, 0, 0, 0},
    {TRACKBAR_CLASSA, nullptr, SLIDER_STYLE, 190, 246, 440, 24, IDC_VARIATION, &hVariation, 0, 100, 0},
    {"BUTTON", "Let's Fly", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 190, 304, 140, 34, IDC_LAUNCH, nullptr, 0, 0, 0},
    {"BUTTON", "Quit", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 350, 304, 120, 34, IDC_QUIT, nullptr, 0, 0, 0},
};

void create_controls(HWND window)
{
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&classes);

    for (const ChildControl& control : CHILD_CONTROLS) {
        HWND child = CreateWindowExA(0, control.className, control.text, control.style, control.x, control.y,
                                     control.width, control.height, window,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), nullptr, nullptr);
        if (control.handle)
            *control.handle = child;
        if (lstrcmpA(control.className, TRACKBAR_CLASSA) == 0) {
            SendMessageA(child, TBM_SETRANGE, TRUE, MAKELPARAM(control.minimum, control.maximum));
            SendMessageA(child, TBM_SETPOS, TRUE, control.position);
        }
    }
}

// EnumChildWindows callback: the child takes the font in lParam and redraws with it.
static BOOL CALLBACK EnumSetFontProc(HWND child, LPARAM font)
{
    SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

void apply_gui_font(HWND window)
{
    hGuiFont = CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Segoe UI");
    EnumChildWindows(window, EnumSetFontProc, reinterpret_cast<LPARAM>(hGuiFont));
}

int slider_position(HWND slider)
{
    return static_cast<int>(SendMessageA(slider, TBM_GETPOS, 0, 0));
}

void update_value_label(HWND slider)
{
    if (slider == hCount)
        SetWindowTextA(hCountVal, count_label_text(slider_position(slider)).c_str());
    else if (slider == hTimeout)
        SetWindowTextA(hTimeoutVal, timeout_label_text(slider_position(slider)).c_str());
    else if (slider == hSize)
        SetWindowTextA(hSizeVal, size_label_text(slider_position(slider)).c_str());
    else if (slider == hVariation)
        SetWindowTextA(hVariationVal, variation_label_text(slider_position(slider)).c_str());
}

// The launcher window's fourteen child controls, the font they share, and the value labels
// that follow the sliders.
#pragma once
#include <windows.h>

// Slider handles, set once while the window is created; "Let's Fly" reads their positions.
extern HWND hCount;     // count slider
extern HWND hTimeout;   // timeout slider
extern HWND hSize;      // size slider
extern HWND hVariation; // size-variation slider

// Registers the slider class and creates the fourteen controls in their fixed order,
// each slider with its range and starting position.
void create_controls(HWND window);

// Creates the "Segoe UI" font and gives it to every child of the window.
void apply_gui_font(HWND window);

// Sets the value label of the slider that moved; any other handle does nothing.
void update_value_label(HWND slider);

// The slider's current position.
int slider_position(HWND slider);

// Resource IDs of the overlay program, shared by its resource script and its code.
#pragma once

// The embedded fly PNG, type RCDATA.
#define IDR_FLY_PNG 101

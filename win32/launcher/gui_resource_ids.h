// Resource IDs of the launcher, shared by its resource script and its code.
#pragma once

// The program's and the window's icon group.
#define IDI_BUZZEL_GUI 101
// The header's fly image: the fly PNG, type RCDATA.
#define IDR_FLY_PNG 102

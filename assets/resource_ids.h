// Resource numbers shared by mardovane.rc and the Win32 window.
#pragma once

#define MARDOVANE_ICON 1
#define MARDOVANE_HAND_CURSOR 2
#define MARDOVANE_BACKGROUND 3

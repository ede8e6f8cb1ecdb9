// Which of the platform's icons a message box shows. Icon handles do not
// cross processes, so the icon is recognised by its pixels on the screen.
#pragma once

#include <windows.h>

enum class BoxIcon {
    None,
    Stop,
    Question,
    Warning,
    Information,
    Unknown,
};

// `iconControl` is the box's icon control, or null when it has none.
BoxIcon RecognizeBoxIcon(HWND iconControl);

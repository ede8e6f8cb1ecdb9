// While it lives, Windows shows the user why a window holds up shutting down
// or logging off (the window itself answers WM_QUERYENDSESSION with FALSE).
#pragma once

#include <windows.h>

class ShutdownBlockReason {
public:
    ShutdownBlockReason(HWND window, const wchar_t* reason);
    ~ShutdownBlockReason();
    ShutdownBlockReason(const ShutdownBlockReason&) = delete;
    ShutdownBlockReason& operator=(const ShutdownBlockReason&) = delete;

private:
    HWND m_window;
};

#include "framework/shutdown_block_reason.h"

ShutdownBlockReason::ShutdownBlockReason(HWND window, const wchar_t* reason) : m_window(window)
{
    // Windows keeps its own copy of the text.
    ShutdownBlockReasonCreate(m_window, reason);
}

ShutdownBlockReason::~ShutdownBlockReason()
{
    ShutdownBlockReasonDestroy(m_window);
}

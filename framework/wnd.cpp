#include "framework/wnd.h"

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    return ::EnableWindow(m_hWnd, enable);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(RECT* rect) const
{
    ::GetClientRect(m_hWnd, rect);
}

HMENU CWnd::GetSystemMenu(BOOL revert) const
{
    return ::GetSystemMenu(m_hWnd, revert);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

int CWnd::MessageBox(const wchar_t* text, const wchar_t* caption, UINT type)
{
    return ::MessageBoxW(m_hWnd, text, caption, type);
}

void CWnd::BeginWaitCursor()
{
    m_cursorBeforeWait = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void CWnd::EndWaitCursor()
{
    SetCursor(m_cursorBeforeWait);
}

const MessageMap* CWnd::GetThisMessageMap()
{
    static const MessageMapEntry noEntries[] = {{0, 0, 0, nullptr}};
    static const MessageMap map = {nullptr, noEntries};
    return &map;
}

const MessageMap* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

void CWnd::Default()
{
    m_defaultRequested = true;
}

void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CWnd::OnPaint()
{
    Default();
}

void CWnd::OnClose()
{
    Default();
}

BOOL CWnd::OnQueryEndSession()
{
    Default();
    return TRUE;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->handler != nullptr; ++entry) {
            if (entry->message != message)
                continue;
            if (message == WM_COMMAND &&
                (entry->notificationCode != HIWORD(wParam) || entry->controlId != LOWORD(wParam)))
                continue;
            // A handler may run a modal loop that handles other messages
            // for this window: each keeps its own request for the default.
            const bool outerRequest = m_defaultRequested;
            m_defaultRequested = false;
            *result = entry->handler(*this, wParam, lParam);
            const bool handled = !m_defaultRequested;
            m_defaultRequested = outerRequest;
            return handled;
        }
    }
    return false;
}

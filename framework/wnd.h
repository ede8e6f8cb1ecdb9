// A window of the program: holds its HWND, owns nothing, and offers the few
// operations the program needs. The root of every message map.
#pragma once

#include "framework/message_map.h"

#include <windows.h>

class CWnd {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL EnableWindow(BOOL enable = TRUE);
    void UpdateWindow();
    BOOL IsIconic() const;
    void GetClientRect(RECT* rect) const;
    // The window's system menu (not a reset copy with FALSE); null without one.
    HMENU GetSystemMenu(BOOL revert) const;
    HICON SetIcon(HICON icon, BOOL bigIcon);
    // A modal box owned by this window; returns the button pressed.
    int MessageBox(const wchar_t* text, const wchar_t* caption, UINT type);
    // The busy cursor, until EndWaitCursor puts back the one before it.
    void BeginWaitCursor();
    void EndWaitCursor();

    // Runs this window's handler for the message, if its map has one.
    // False when there is none, or when the handler asked for the default.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

protected:
    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const;

    // Called by a handler: the platform's default processing of the current
    // message follows when the handler returns.
    void Default();

    // The default handlers, for a derived class's handler to pass on to.
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    void OnClose();
    BOOL OnQueryEndSession();

private:
    bool m_defaultRequested = false;
    HCURSOR m_cursorBeforeWait = nullptr;
};

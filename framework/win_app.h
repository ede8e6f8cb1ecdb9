// The application object: exactly one exists, constructed before the entry
// point runs, which then hands control to its InitInstance.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // The program's work. This program returns FALSE when it is done, so
    // that no message loop of the application's own follows.
    virtual BOOL InitInstance();

    // An exception that no handler took has reached the window layer, which
    // lets none cross the platform's window procedures: tells the user, in a
    // box owned by `window` (null for none). Must not raise, and must not
    // count on memory: running out of it may be what went wrong.
    virtual void ShowUnexpectedFailure(HWND window) noexcept = 0;

    static CWinApp* Current();

    CWnd* m_pMainWnd = nullptr;
};

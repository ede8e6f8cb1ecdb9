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

    static CWinApp* Current();

    CWnd* m_pMainWnd = nullptr;
};

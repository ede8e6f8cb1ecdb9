// The application: starts the main dialog and ends when it closes.
#pragma once

#include "framework/win_app.h"

class CUpdateApp : public CWinApp {
public:
    BOOL InitInstance() override;
    // An error box with the texts of the user's language.
    void ShowUnexpectedFailure(HWND window) noexcept override;
};

extern CUpdateApp theApp;

// The application: starts the main dialog and ends when it closes.
#pragma once

#include "framework/WinApp.h"

class CUpdateApp : public CWinApp {
public:
    BOOL InitInstance() override;
};

extern CUpdateApp theApp;

#include "framework/win_app.h"

#include <cstdlib>

namespace {

CWinApp* theApplication = nullptr;

}  // namespace

CWinApp::CWinApp()
{
    theApplication = this;
}

CWinApp::~CWinApp()
{
    theApplication = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

CWinApp* CWinApp::Current()
{
    return theApplication;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // Handlers' exceptions are shown and stopped by their dialogs; this is
    // one raised outside any dialog, which ends the program, never silently.
    try {
        CWinApp::Current()->InitInstance();
    } catch (...) {
        CWinApp::Current()->ShowUnexpectedFailure(nullptr);
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}

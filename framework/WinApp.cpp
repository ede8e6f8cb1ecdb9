#include "framework/WinApp.h"

#include <cstdlib>
#include <exception>

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
    // An exception that no handler took has ended the dialogs it passed
    // through; what is left is to end the process with a failure status.
    try {
        CWinApp::Current()->InitInstance();
    } catch (...) {
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}

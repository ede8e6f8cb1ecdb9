#include "app/UpdateApp.h"

#include "app/UpdateDlg.h"

#include <commctrl.h>

CUpdateApp theApp;

BOOL CUpdateApp::InitInstance()
{
    // The driver library is loaded by its bare name. A file of that name in
    // the working folder, beside the update file, must never be loaded:
    // libraries come from the program's own folder and the system folder
    // only. (An empty SetDllDirectoryW would keep the search path otherwise,
    // but not every loader honours it.)
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    CWinApp::InitInstance();

    CUpdateDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    // No message loop follows: the program ends with its dialog.
    return FALSE;
}

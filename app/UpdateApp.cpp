#include "app/UpdateApp.h"

#include "adapter/library_search.h"
#include "app/UpdateDlg.h"

#include <commctrl.h>

CUpdateApp theApp;

BOOL CUpdateApp::InitInstance()
{
    RemoveWorkingFolderFromLibrarySearch();

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

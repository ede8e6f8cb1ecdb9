#include "app/update_app.h"

#include "adapter/library_search.h"
#include "app/string_table.h"
#include "app/update_dlg.h"

#include <commctrl.h>

#include <iterator>

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

void CUpdateApp::ShowUnexpectedFailure(HWND window) noexcept
{
    // Fixed buffers, not strings: running out of memory may be the failure.
    wchar_t text[256] = {};
    wchar_t caption[64] = {};
    LoadStringW(GetModuleHandleW(nullptr), StringTableNumber(MessageId::UnexpectedFailure), text, static_cast<int>(std::size(text)));
    LoadStringW(GetModuleHandleW(nullptr), StringTableNumber(MessageId::Error), caption, static_cast<int>(std::size(caption)));
    MessageBoxW(window, text, caption, MB_OK | MB_ICONERROR);
}

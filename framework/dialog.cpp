#include "framework/dialog.h"

#include "framework/data_exchange.h"
#include "framework/win_app.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParent(parent) {}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParent != nullptr ? m_pParent->m_hWnd : nullptr;
    if (owner == nullptr) {
        CWnd* mainWindow = CWinApp::Current()->m_pMainWnd;
        if (mainWindow != nullptr && mainWindow != this)
            owner = mainWindow->m_hWnd;
    }
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner, &CDialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int result)
{
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<CDialog*>(lParam)->m_hWnd = window;
    }
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (dialog == nullptr)
        return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
        return FALSE;
    }
    try {
        return dialog->HandleMessage(message, wParam, lParam);
    } catch (...) {
        CWinApp::Current()->ShowUnexpectedFailure(window);
        // A dialog that could not set itself up cannot be used.
        if (message == WM_INITDIALOG)
            ::EndDialog(window, IDABORT);
        return TRUE;
    }
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const BOOL setFocus = OnInitDialog();
        CenterWindow();
        return setFocus;
    }

    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) {
        // A few messages return their result straight from a dialog
        // procedure; the others through DWLP_MSGRESULT.
        if (message == WM_QUERYDRAGICON)
            return result;
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }

    // The close box and Escape give IDCANCEL; Enter on no button gives IDOK.
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}

void CDialog::CenterWindow()
{
    RECT area{};
    const HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && IsWindowVisible(owner) && !::IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    RECT dialog{};
    GetWindowRect(m_hWnd, &dialog);
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

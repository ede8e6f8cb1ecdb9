#include "framework/data_exchange.h"

#include "framework/wnd.h"

void DDX_Text(CDataExchange* pDX, int id, std::wstring& value)
{
    const HWND control = GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
    if (!pDX->m_bSaveAndValidate) {
        SetWindowTextW(control, value.c_str());
        return;
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    value = text;
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.m_hWnd == nullptr)
        control.m_hWnd = GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
}

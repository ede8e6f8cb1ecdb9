// Data exchange between a dialog's members and its controls.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: from the controls; FALSE: toward them
};

// The text of control `id`.
void DDX_Text(CDataExchange* pDX, int id, std::wstring& value);
// Attaches `control` to control `id` on the first exchange.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

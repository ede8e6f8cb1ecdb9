// A modal dialog built from a dialog template in the resources.
#pragma once

#include "framework/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    // With no parent, the application's main window owns the dialog.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Shows the dialog and returns the result it ended with. An exception
    // raised by a handler crosses none of the platform's window procedures:
    // the application shows the user a box, and the dialog goes on, or ends
    // with IDABORT when it was its set-up that failed.
    INT_PTR DoModal();
    void EndDialog(int result);

    // Runs the data exchange: toward the controls with FALSE, from them with TRUE.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

protected:
    // The first data exchange, which attaches the control wrappers. TRUE
    // lets the platform put the focus on the first tab stop.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    // Reads the controls back and ends the dialog with IDOK.
    virtual void OnOK();
    virtual void OnCancel();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Centres the dialog over its owner, or on the work area without one.
    void CenterWindow();

    UINT m_templateId;
    CWnd* m_pParent;
};

// The main window: a status line, a progress bar and the WRITE button. It
// owns the adapter, which it opens while it starts.
#pragma once

#include "adapter/Kestro2.h"
#include "app/resource.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

#include <string>

class CUpdateDlg : public CDialog {
public:
    enum { IDD = IDD_UPDATE_DIALOG };

    explicit CUpdateDlg(CWnd* pParent = nullptr);

    // After an error box: status "Failed", the WRITE button enabled again.
    void SetFailedState();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnBnClickedWrite();
    // The image transfer.
    void OnWrite();

    Kestro2 m_adapter;
    HICON m_hIcon;
    std::wstring m_strStatus;
    CProgressCtrl m_progress;
    CButton m_btnWrite;
};

// The main window: a status line, a progress bar and the WRITE button. It
// owns the adapter, which it opens while it starts.
#pragma once

#include "adapter/kestro2.h"
#include "app/resource.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/shutdown_block_reason.h"
#include "update/transfer_view.h"

#include <optional>
#include <string>

class CUpdateDlg : public CDialog, private TransferView {
public:
    enum { IDD = IDD_UPDATE_DIALOG };

    explicit CUpdateDlg(CWnd* pParent = nullptr);

    // After an error box: status "Failed", the WRITE button enabled again.
    void SetFailedState() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter, Escape and the close box; ignored while an update runs.
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnClose();
    BOOL OnQueryEndSession();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnBnClickedWrite();
    // The image transfer.
    void OnWrite();
    // An error box: caption "Error" in the user's language, stop icon, OK.
    int ShowError(MessageId text);

    // What the image transfer does on the screen.
    BoxAnswer ShowBox(Box box, MessageId text, std::wstring_view prefix) override;
    void SetStatus(MessageId text) override;
    void EnableWrite(bool enable) override;
    void SetProgressRange(std::uint16_t upper) override;
    void SetProgressPosition(int position) override;
    void SetProgressStep(int step) override;
    void StepProgress() override;
    void Repaint() override;
    // Answers the messages other programs send; never abandons.
    bool KeepGoingAfterExchange() override;
    void BeginBusy() override;
    void EndBusy() override;

    // From the press of WRITE until the update's closing box is dismissed:
    // nothing may start a second update, end the dialog or open a modal loop.
    bool m_updateInProgress = false;
    // From the confirmation to the end of the update: shutting down and
    // logging off wait, and Windows tells the user why.
    std::optional<ShutdownBlockReason> m_shutdownBlock;

    Kestro2 m_adapter;
    HICON m_hIcon;
    std::wstring m_strStatus;
    CProgressCtrl m_progress;
    CButton m_btnWrite;
};

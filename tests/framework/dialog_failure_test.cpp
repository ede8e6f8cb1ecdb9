// An exception raised by a dialog's handler, run under Wine: it crosses none
// of the platform's window procedures, the application tells the user, and
// the dialog goes on unless its set-up failed.
#include "framework/dialog.h"
#include "framework/win_app.h"
#include "tests/framework/dialog_failure_test_ids.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// Records the failures it is told of instead of showing a box.
class RecordingApp : public CWinApp {
public:
    void ShowUnexpectedFailure(HWND window) noexcept override { shownFor.push_back(window); }

    std::vector<HWND> shownFor;
};

RecordingApp theApp;

class RaisingDialog : public CDialog {
public:
    explicit RaisingDialog(bool raiseWhileSettingUp)
        : CDialog(IDD_TEST_DIALOG), m_raiseWhileSettingUp(raiseWhileSettingUp)
    {
    }

    HWND window = nullptr;
    bool stillThereAfterRaising = false;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        window = m_hWnd;
        if (m_raiseWhileSettingUp)
            throw std::runtime_error("set-up");
        // Raise from a handler, then look whether the dialog is still there.
        PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_RAISE, BN_CLICKED), 0);
        PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }

    void OnOK() override
    {
        stillThereAfterRaising = IsWindow(m_hWnd) != FALSE;
        CDialog::OnOK();
    }

    DECLARE_MESSAGE_MAP()

    void OnRaise() { throw std::bad_alloc(); }

private:
    bool m_raiseWhileSettingUp;
};

BEGIN_MESSAGE_MAP(RaisingDialog, CDialog)
    ON_BN_CLICKED(IDC_RAISE, OnRaise)
END_MESSAGE_MAP()

}  // namespace

TEST(DialogHandlerFailure, IsShownOnceAndTheDialogGoesOn)
{
    theApp.shownFor.clear();
    RaisingDialog dialog(false);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(theApp.shownFor, std::vector<HWND>{dialog.window});
    EXPECT_TRUE(dialog.stillThereAfterRaising);
}

TEST(DialogHandlerFailure, WhileSettingUpIsShownAndEndsTheDialog)
{
    theApp.shownFor.clear();
    RaisingDialog dialog(true);
    EXPECT_EQ(dialog.DoModal(), IDABORT);
    EXPECT_EQ(theApp.shownFor, std::vector<HWND>{dialog.window});
}

// The window layer's programs start at wmain (Unicode), not at main.
int wmain(int argc, wchar_t** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

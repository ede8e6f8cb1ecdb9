// The About box: the program's version and the maker's notice.
#pragma once

#include "app/resource.h"
#include "framework/dialog.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };

    CAboutDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};

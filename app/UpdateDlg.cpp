#include "app/UpdateDlg.h"

#include "app/AboutDlg.h"
#include "app/IconPosition.h"
#include "framework/DataExchange.h"
#include "framework/PaintDC.h"
#include "framework/StringResource.h"

namespace {

// Read and write time-outs once the window is up, replacing the adapter's
// 1000 ms from opening: a product may take its time to answer.
constexpr std::uint32_t kTimeoutMs = 5000;
constexpr UINT kSystemCommandMask = 0xFFF0;

}  // namespace

CUpdateDlg::CUpdateDlg(CWnd* pParent) : CDialog(IDD, pParent)
{
    m_hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

void CUpdateDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_STATUS, m_strStatus);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_WRITE, m_btnWrite);
}

BEGIN_MESSAGE_MAP(CUpdateDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_WRITE, OnBnClickedWrite)
END_MESSAGE_MAP()

BOOL CUpdateDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU systemMenu = GetSystemMenu(FALSE)) {
        const std::wstring about = LoadStringResource(IDS_ABOUTBOX);
        if (!about.empty()) {
            AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // A missing driver library must be told from a missing adapter: the
    // handler of the derived class stands first.
    try {
        m_adapter.Initialize();
        ComDevice& device = m_adapter;
        device.Open();
        m_adapter.SetTimeouts(kTimeoutMs, kTimeoutMs);
    } catch (const Kestro2::InitializeError&) {
        MessageBox(LoadStringResource(IDS_NO_DRIVER).c_str(), LoadStringResource(IDS_ERROR).c_str(),
                   MB_OK | MB_ICONERROR);
        OnCancel();
    } catch (const Kestro2::ConnectionError&) {
        MessageBox(LoadStringResource(IDS_NO_ADAPTER).c_str(), LoadStringResource(IDS_ERROR).c_str(),
                   MB_OK | MB_ICONERROR);
        OnCancel();
    }

    m_strStatus.clear();
    UpdateData(FALSE);
    return TRUE;
}

void CUpdateDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & kSystemCommandMask) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CUpdateDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT client{};
    GetClientRect(&client);
    const IconPosition position =
        CenteredIconPosition(client.right - client.left, client.bottom - client.top,
                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    DrawIcon(dc.GetSafeHdc(), position.x, position.y, m_hIcon);
}

HCURSOR CUpdateDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CUpdateDlg::OnBnClickedWrite()
{
    OnWrite();
}

void CUpdateDlg::OnWrite()
{
    // The image transfer arrives with the update engine.
}

void CUpdateDlg::SetFailedState()
{
    m_strStatus = LoadStringResource(IDS_FAILED);
    UpdateData(FALSE);
    m_btnWrite.EnableWindow(TRUE);
}

#include "app/update_dlg.h"

#include "adapter/configuration.h"
#include "app/about_dlg.h"
#include "app/icon_position.h"
#include "app/string_table.h"
#include "app/update_app.h"
#include "framework/data_exchange.h"
#include "framework/paint_dc.h"
#include "update/image_transfer.h"

namespace {

// Each configuration opens the line at the rate of its adapter generation.
#ifdef UPDATE_FIRST_GENERATION
constexpr Configuration kConfiguration = Configuration::FirstGeneration;
#else
constexpr Configuration kConfiguration = Configuration::Current;
#endif
constexpr UINT kSystemCommandMask = 0xFFF0;

// System commands that would end the dialog, open the About box, or run a
// modal loop of their own (a menu, moving or sizing) in the middle of an
// update, when the window answers other programs between exchanges.
bool InterruptsAnUpdate(UINT command)
{
    switch (command & kSystemCommandMask) {
    case SC_CLOSE:
    case IDM_ABOUTBOX:
    case SC_KEYMENU:
    case SC_MOUSEMENU:
    case SC_MOVE:
    case SC_SIZE:
        return true;
    default:
        return false;
    }
}

// Sets a flag for as long as it lives.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~ScopedFlag() { m_flag = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& m_flag;
};

}  // namespace

CUpdateDlg::CUpdateDlg(CWnd* pParent) : CDialog(IDD, pParent), m_adapter(LineRateOf(kConfiguration))
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
    ON_WM_CLOSE()
    ON_WM_QUERYENDSESSION()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_WRITE, OnBnClickedWrite)
END_MESSAGE_MAP()

BOOL CUpdateDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU systemMenu = GetSystemMenu(FALSE)) {
        const std::wstring about = LoadMessage(MessageId::AboutBox);
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
        // The transfer's time-outs once the window is up, replacing the
        // adapter's 1000 ms from opening.
        m_adapter.SetTimeouts(kTransferTimeoutMs, kTransferTimeoutMs);
    } catch (const Kestro2::InitializeError&) {
        ShowError(MessageId::NoDriver);
        OnCancel();
    } catch (const Kestro2::ConnectionError&) {
        ShowError(MessageId::NoAdapter);
        OnCancel();
    }

    m_strStatus.clear();
    UpdateData(FALSE);
    return TRUE;
}

void CUpdateDlg::OnOK()
{
    if (!m_updateInProgress)
        CDialog::OnOK();
}

void CUpdateDlg::OnCancel()
{
    if (!m_updateInProgress)
        CDialog::OnCancel();
}

void CUpdateDlg::OnClose()
{
    if (!m_updateInProgress)
        Default();
}

BOOL CUpdateDlg::OnQueryEndSession()
{
    // While the product is written, shutting down and logging off wait.
    if (m_shutdownBlock)
        return FALSE;
    return CDialog::OnQueryEndSession();
}

void CUpdateDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if (m_updateInProgress && InterruptsAnUpdate(nID))
        return;
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
    // Other programs' messages reach the window during an update, a click
    // on WRITE among them: one update must never open a second inside it.
    if (!m_updateInProgress)
        OnWrite();
}

void CUpdateDlg::OnWrite()
{
    const ScopedFlag inProgress(m_updateInProgress);
    // The transfer ends itself like a failed write when something goes wrong
    // while the image is sent; this is a failure around that (a box that
    // could not be made, say), which ends the update like a failure too.
    try {
        RunImageTransfer(m_adapter, *this);
    } catch (...) {
        theApp.ShowUnexpectedFailure(m_hWnd);
        SetFailedState();
    }
}

int CUpdateDlg::ShowError(MessageId text)
{
    return MessageBox(LoadMessage(text).c_str(), LoadMessage(MessageId::Error).c_str(), MB_OK | MB_ICONERROR);
}

static_assert(static_cast<int>(BoxAnswer::Ok) == IDOK && static_cast<int>(BoxAnswer::Cancel) == IDCANCEL);

BoxAnswer CUpdateDlg::ShowBox(Box box, MessageId text, std::wstring_view prefix)
{
    if (box == Box::Failure) {
        return static_cast<BoxAnswer>(ShowError(text));
    }
    const std::wstring message = std::wstring(prefix) + LoadMessage(text);
    const UINT type = box == Box::Question ? MB_OKCANCEL | MB_ICONQUESTION
                      : box == Box::Success ? MB_OK | MB_ICONINFORMATION
                                            : MB_OK | MB_ICONERROR;
    return static_cast<BoxAnswer>(MessageBox(message.c_str(), FixedText(MessageId::UpdateCaption).c_str(), type));
}

void CUpdateDlg::SetStatus(MessageId text)
{
    m_strStatus = LoadMessage(text);
    UpdateData(FALSE);
}

void CUpdateDlg::EnableWrite(bool enable)
{
    m_btnWrite.EnableWindow(enable ? TRUE : FALSE);
}

void CUpdateDlg::SetProgressRange(std::uint16_t upper)
{
    m_progress.SetRange(0, upper);
}

void CUpdateDlg::SetProgressPosition(int position)
{
    m_progress.SetPos(position);
}

void CUpdateDlg::SetProgressStep(int step)
{
    m_progress.SetStep(step);
}

void CUpdateDlg::StepProgress()
{
    m_progress.StepIt();
}

void CUpdateDlg::Repaint()
{
    UpdateWindow();
}

bool CUpdateDlg::KeepGoingAfterExchange()
{
    // A window that takes no message for five seconds counts as hung, and
    // Windows offers the user to end it: in the middle of an update. Messages
    // that other programs send are answered here; the user's input waits
    // until the transfer has ended.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    return true;
}

void CUpdateDlg::BeginBusy()
{
    // First what may fail, so that a failure leaves nothing to undo.
    m_shutdownBlock.emplace(m_hWnd, LoadMessage(MessageId::UpdateInProgress).c_str());
    BeginWaitCursor();
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
}

void CUpdateDlg::EndBusy()
{
    m_shutdownBlock.reset();
    SetThreadExecutionState(ES_CONTINUOUS);
    EndWaitCursor();
}

void CUpdateDlg::SetFailedState()
{
    m_strStatus = LoadMessage(MessageId::Failed);
    UpdateData(FALSE);
    m_btnWrite.EnableWindow(TRUE);
}

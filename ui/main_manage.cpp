#include "ui/main_manage.h"

#include <shlobj.h>

#include "env/languages.h"
#include "env/os_checks.h"
#include "env/texts.h"
#include "install/install_page.h"
#include "platform/module.h"
#include "platform/text.h"
#include "res/resource.h"

CDlg_MainManage::CDlg_MainManage(plat::Dialog* parent, const wchar_t* language)
    : plat::Dialog(IDD_MAIN_MANAGE, parent) {
    m_hIcon = LoadIconW(plat::ProgramModule(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    cfg::LoadSetupConfig();
    env::ReadProductTexts();
    env::BuildOfferedLanguages(*this);
    env::ChooseLanguage(*this, language);
    env::LoadLanguageModules(*this);
    env::ApplyDisplayNames(*this);
}

CDlg_MainManage::CDlg_MainManage(NoStartup) : plat::Dialog(IDD_MAIN_MANAGE, nullptr) {}

CDlg_MainManage::~CDlg_MainManage() { env::FreeLanguageModules(*this); }

void CDlg_MainManage::ShowPageWindow(plat::Dialog& page, bool closeEnabled) {
    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE))
        EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | (closeEnabled ? MF_ENABLED : MF_GRAYED));

    HWND pageWnd = page.GetSafeHwnd();
    if (!pageWnd) return;
    RECT pageClient = {}, hostClient = {};
    GetClientRect(pageWnd, &pageClient);
    GetClientRect(m_hWnd, &hostClient);
    if (!EqualRect(&pageClient, &hostClient)) {
        RECT frame = pageClient;
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_EXSTYLE)));
        SetWindowPos(m_hWnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    }
    MoveWindow(pageWnd, 0, 0, pageClient.right - pageClient.left, pageClient.bottom - pageClient.top, TRUE);
    ShowWindow(pageWnd, SW_SHOW);
    SetFocus(pageWnd);
}

void CDlg_MainManage::ShowInstallPage() {
    if (!m_pInstallPage) {
        m_pInstallPage = std::make_unique<CDlg_Install>(this);
        m_pInstallPage->Create(m_hWnd);
    }
    ShowPageWindow(*m_pInstallPage, false);
}

void CDlg_MainManage::ShowCompletePage() {
    // The completion page (template 134) is created and shown here.
    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE)) EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
}

BOOL CDlg_MainManage::OnInitDialog() {
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    if (!env::CheckStartRights(env::StartCheck::Install, m_szLanguage, m_hWnd)) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    SetWindowTextW(m_hWnd, g_szHeadingText);
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, m_szProgramFiles);
    // The start page decision comes here, before the suffix.
    env::GetLanguageSuffix(*this);

    SetForegroundWindow(m_hWnd);
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

bool IsFilteredWizardKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (msg.message == WM_KEYDOWN &&
        (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE || msg.wParam == VK_SPACE))
        return true;
    switch (msg.wParam) {
    case VK_F4:
    case VK_SPACE:
    case VK_SUBTRACT:
    case VK_INSERT:
    case VK_CANCEL:
        return true;
    default:
        return msg.lParam == 0x2000;
    }
}

bool CDlg_MainManage::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_START_NET_SEARCH) {
        // The wireless question page arrives with its issue; until then
        // there is no page to leave.
        return false;
    }
    return IsFilteredWizardKey(*msg);
}

void CDlg_MainManage::OnClose() {
    if (m_nWizardState == kStateNetSearch || m_nWizardState == kStateInstalling) {
        plat::Trace(L"now cannot exit");
        return;
    }
    if (m_nWizardState == kStateComplete) {
        EndDialog(IDCANCEL);
        return;
    }
    if (env::ShowMessage(m_hWnd, 157, MB_OKCANCEL | env::RtlMessageStyle(m_szLanguage)) != IDCANCEL)
        EndDialog(IDCANCEL);
}

void CDlg_MainManage::PaintMinimisedIcon() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    DrawIcon(dc, (rc.right - rc.left - cx + 1) / 2, (rc.bottom - rc.top - cy + 1) / 2, m_hIcon);
    EndPaint(m_hWnd, &ps);
}

INT_PTR CDlg_MainManage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    (void)wParam;
    (void)lParam;
    handled = true;
    switch (msg) {
    case WM_PAINT:
        if (IsIconic(m_hWnd)) {
            PaintMinimisedIcon();
            return 0;
        }
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_hIcon);
    default:
        break;
    }
    handled = false;
    return 0;
}

#include "install/install_page.h"

#include <commctrl.h>

#include <cwchar>

#include "env/languages.h"
#include "env/texts.h"
#include "install/install_worker.h"
#include "platform/system.h"
#include "res/resource.h"
#include "ui/main_manage.h"
#include "ui/skin.h"

namespace {
constexpr int IDC_INSTALL_PROGRESS = 1028;
constexpr int IDC_INSTALL_TIP_TEXT = 1044;
constexpr int IDC_INSTALL_TIP_GROUP = 1045;

// The bar creeps while the worker is between two reports, slower as it
// fills, and never past 95 by itself.
int CreepStep(int position) {
    if (position < 20) return 3;
    if (position < 60) return 2;
    if (position < 95) return 1;
    return 0;
}
}  // namespace

CDlg_Install::CDlg_Install(CDlg_MainManage* host) : plat::Dialog(IDD_INSTALL, host), m_pHost(host) {}

CDlg_Install::~CDlg_Install() = default;

BOOL CDlg_Install::OnInitDialog() {
    if (m_pHost) m_background.reset(ui::LoadSkinBitmap(IDB_BACKGROUND, m_pHost->m_hBmpDll, m_pHost->m_bUseBmpDll != 0));
    m_tipText.Attach(GetDlgItem(IDC_INSTALL_TIP_TEXT));

    static const env::ControlText texts[] = {
        {IDC_INSTALL_TIP_GROUP, 206},
        {IDC_INSTALL_TIP_TEXT, 207},
    };
    env::SetControlTexts(m_hWnd, texts);

    HWND bar = GetDlgItem(IDC_INSTALL_PROGRESS);
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageW(bar, PBM_SETSTEP, 1, 0);
    SendMessageW(bar, PBM_SETPOS, 0, 0);

    m_nTimer = SetTimer(m_hWnd, IDT_INSTALL_PROGRESS, kInstallProgressPeriod, nullptr);

    m_hCloseWizardThread.reset(CreateThread(nullptr, 0, install::CloseHardwareWizardThreadProc, this, 0, nullptr));
    m_hInstallThread.reset(CreateThread(nullptr, 0, install::InstallThreadProc, this, 0, nullptr));
    return TRUE;
}

void CDlg_Install::SetBarPosition() {
    SendMessageW(GetDlgItem(IDC_INSTALL_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(m_nProgress), 0);
}

void CDlg_Install::OnTimer(UINT_PTR id) {
    if (id == IDT_INSTALL_PROGRESS) m_nProgress += CreepStep(m_nProgress);
    SetBarPosition();
}

bool CDlg_Install::OnEraseBkgnd(HDC dc) {
    return ui::PaintStretchedBackground(m_hWnd, dc, static_cast<HBITMAP>(m_background.get()));
}

INT_PTR CDlg_Install::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (msg != WM_INSTALL_PROGRESS) {
        handled = false;
        return 0;
    }
    handled = true;
    OnInstallProgress(wParam, lParam);
    return 0;
}

void CDlg_Install::PostProgress(int value) const {
    PostMessageW(m_hWnd, WM_INSTALL_PROGRESS, kInstallProgressValue, value);
}

void CDlg_Install::OnInstallProgress(WPARAM kind, LPARAM value) {
    if (kind == kInstallProgressValue) {
        // A report behind the creep never moves the bar back.
        if (value > m_nProgress) {
            m_nProgress = static_cast<int>(value);
            SetBarPosition();
        }
    } else if (kind == kInstallFinished) {
        FinishInstall();
    }
}

void CDlg_Install::FinishInstall() {
    KillTimer(m_hWnd, m_nTimer);
    // The worker posted the finished message as its very last action; the
    // closer ends by itself within 50 passes of 150 ms.
    if (m_hInstallThread) WaitForSingleObject(m_hInstallThread.get(), INFINITE);
    if (m_hCloseWizardThread) WaitForSingleObject(m_hCloseWizardThread.get(), INFINITE);
    ShowWindow(m_hWnd, SW_HIDE);
    if (m_pHost) {
        m_pHost->m_nWizardState = kStateComplete;
        m_pHost->ShowCompletePage();
    }
}

namespace install {

namespace {
constexpr UINT kWizardCloseTimeout = 1000;
}  // namespace

DWORD WINAPI InstallThreadProc(LPVOID param) {
    if (!param) return 1;
    doInstall(*static_cast<CDlg_Install*>(param));
    return 0;
}

const wchar_t* HardwareWizardTitle(const wchar_t* languageName) {
    if (wcscmp(languageName, L"Simplified_Chinese") == 0) return L"找到新的硬件向导";
    if (wcscmp(languageName, L"Russian") == 0) return L"Мастер установки нового оборудования";
    return L"Found New Hardware Wizard";
}

DWORD WINAPI CloseHardwareWizardThreadProc(LPVOID param) {
    if (!param) return 1;
    wchar_t language[256] = {};
    env::GetUiLanguageName(language);
    const wchar_t* title = HardwareWizardTitle(language);
    // A multifunction printer brings up the wizard for its scanner and its
    // fax device.
    int windowsLeft = IsScannerModel() ? 2 : 0;
    for (int pass = 0; pass < 50 && windowsLeft > 0; ++pass) {
        if (HWND wizard = FindWindowW(nullptr, title)) {
            // A wizard that does not answer must not keep this thread, and
            // with it the page's finish, waiting.
            DWORD_PTR result = 0;
            SendMessageTimeoutW(wizard, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kWizardCloseTimeout, &result);
            --windowsLeft;
        }
        plat::Sys().Sleep(150);
    }
    return 0;
}

}  // namespace install

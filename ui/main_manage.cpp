#include "ui/main_manage.h"

#include <commctrl.h>
#include <dbt.h>
#include <iphlpapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "env/languages.h"
#include "env/os_checks.h"
#include "env/texts.h"
#include "install/driver_packages.h"
#include "install/install_page.h"
#include "install/pnp_devices.h"
#include "platform/fileops.h"
#include "platform/handles.h"
#include "platform/module.h"
#include "platform/text.h"
#include "res/resource.h"
#include "ui/agreement.h"
#include "ui/install_complete.h"
#include "ui/install_for_all.h"
#include "ui/only_usb_install_dlg.h"
#include "wireless/wlan_probe.h"

namespace {

// Creates a page once, with the host as parent. Pages live inside the host
// window, so none is made before it exists.
template <typename Page>
Page* EnsurePage(std::unique_ptr<Page>& page, CDlg_MainManage* host, HWND hostWnd) {
    if (!page && hostWnd) {
        page = std::make_unique<Page>(host);
        page->Create(hostWnd);
    }
    return page.get();
}

}  // namespace

// --- Free functions -----------------------------------------------------------

StartPageChoice DecideStartPage(const std::vector<ModelItem>& models, const UsbPrinterList& printers) {
    StartPageChoice choice;
    if (printers.size() == 1) {
        for (const ModelItem& m : models) {
            if (wcscmp(m.name, printers[0].model) == 0 && wcscmp(m.type, L"1") == 0) {
                choice.onlyUsb = true;
                choice.model = printers[0].model;
                choice.port = printers[0].port;
                return choice;
            }
        }
    }
    if (printers.empty()) return choice;
    for (const UsbPrinterItem& p : printers)
        if (wcscmp(p.model, printers[0].model) != 0) return choice;
    choice.selectModel = true;
    choice.model = printers[0].model;
    choice.port = printers[0].port;
    return choice;
}

std::wstring UserGuideKey(const wchar_t* language, LANGID uiLanguage) {
    if (wcscmp(language, L"English") == 0 && uiLanguage == 1037) return L"Israel";
    return language;
}

bool ReadLicenceText(const std::wstring& path, std::wstring& text) {
    HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    plat::UniqueHandle file(opened);
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size)) return false;
    // Four bytes per character at most, plus the mark: anything beyond that
    // would be cut anyway.
    const DWORD wanted = static_cast<DWORD>(std::min<LONGLONG>(size.QuadPart, 4 * kMaxLicenceChars + 2));
    std::string bytes(wanted, '\0');
    DWORD got = 0;
    if (wanted && !ReadFile(file.get(), bytes.data(), wanted, &got, nullptr)) return false;
    bytes.resize(got);

    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        const size_t chars = (bytes.size() - 2) / 2;
        text.assign(chars, L'\0');
        memcpy(text.data(), bytes.data() + 2, chars * sizeof(wchar_t));
    } else {
        text = plat::AnsiToWide(bytes);
    }
    if (text.size() > kMaxLicenceChars) text.resize(kMaxLicenceChars);
    // The edit control takes its text up to the first null.
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.resize(nul);
    return true;
}

std::wstring RelaunchCommandLine(const std::wstring& programPath, const std::wstring& language) {
    return L"\"" + programPath + L"\" -install -Languange " + language + L" ";
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

bool IsFilteredPageKey(const MSG& msg, bool optionsPage) {
    if (IsFilteredWizardKey(msg)) return true;
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    switch (msg.wParam) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        return true;
    case 'P':
        return optionsPage;
    default:
        return false;
    }
}

// --- Construction -------------------------------------------------------------

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

CDlg_MainManage::~CDlg_MainManage() {
    // Pages go before the host window and the language library their
    // templates came from.
    m_pAgreement.reset();
    m_pCompletePage.reset();
    m_pInstallPage.reset();
    m_pOptionsPage.reset();
    m_pOnlyUsbPage.reset();
    env::FreeLanguageModules(*this);
}

// --- Showing pages ------------------------------------------------------------

void CDlg_MainManage::SetCloseItem(bool enabled) {
    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE))
        EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CDlg_MainManage::FitHostToPage(HWND pageWnd) {
    RECT pageClient = {}, hostClient = {};
    GetClientRect(pageWnd, &pageClient);
    GetClientRect(m_hWnd, &hostClient);
    if (EqualRect(&pageClient, &hostClient)) return;
    RECT frame = pageClient;
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_EXSTYLE)));
    SetWindowPos(m_hWnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

void CDlg_MainManage::ShowPageWindow(plat::Dialog* page, bool closeEnabled) {
    SetCloseItem(closeEnabled);
    HWND pageWnd = page ? page->GetSafeHwnd() : nullptr;
    if (!pageWnd) return;
    FitHostToPage(pageWnd);
    RECT pageClient = {};
    GetClientRect(pageWnd, &pageClient);
    MoveWindow(pageWnd, 0, 0, pageClient.right - pageClient.left, pageClient.bottom - pageClient.top, TRUE);
    ShowWindow(pageWnd, SW_SHOW);
    SetFocus(pageWnd);
}

void CDlg_MainManage::ShowOptionsPage() {
    SetCloseItem(true);
    ShowPageWindow(EnsurePage(m_pOptionsPage, this, m_hWnd), true);
}

void CDlg_MainManage::ShowSearchPage() {
    SetCloseItem(false);  // the search page comes with the network search work
}

void CDlg_MainManage::ShowWifiConfigPage() {
    SetCloseItem(false);  // the wireless configuration page comes with the wireless work
}

void CDlg_MainManage::ShowNetPrinterPage() {
    SetCloseItem(true);  // the network printer page comes with the network search work
}

void CDlg_MainManage::ShowAskWifiPage() {
    // The wireless question page comes with the wireless work.
}

void CDlg_MainManage::ShowInstallPage() {
    SetCloseItem(false);
    ShowPageWindow(EnsurePage(m_pInstallPage, this, m_hWnd), false);
}

void CDlg_MainManage::ShowCompletePage() {
    SetCloseItem(true);
    ShowPageWindow(EnsurePage(m_pCompletePage, this, m_hWnd), true);
}

void CDlg_MainManage::RunNetworkSearch() {
    // The network search run comes with the network search work.
}

// --- Dialog initialisation and the start page ---------------------------------

BOOL CDlg_MainManage::OnInitDialog() {
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    if (!env::CheckStartRights(env::StartCheck::Install, m_szLanguage, m_hWnd)) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    SetWindowTextW(m_hWnd, g_szHeadingText);
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, m_szProgramFiles);
    StartPageDecision();
    env::GetLanguageSuffix(*this);

    SetForegroundWindow(m_hWnd);
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

void CDlg_MainManage::ReadModels() {
    cfg::ConfigList list;
    cfg::GetConfigList(L"/SERTUP_INFO/MODEL/Model_Info", L"type", list);
    m_Models.clear();
    for (const cfg::ConfigEntry& e : list) {
        ModelItem item;
        plat::CopyTrunc(item.type, e.szAttr);
        plat::CopyTrunc(item.name, e.szText);
        m_Models.push_back(item);
    }
}

void CDlg_MainManage::StartPageDecision() {
    ReadModels();
    UsbPrinterList printers;
    DetectUsbPrinters(printers);
    ApplyStartPage(printers);
}

void CDlg_MainManage::ApplyStartPage(const UsbPrinterList& printers) {
    const StartPageChoice choice = DecideStartPage(m_Models, printers);
    if (choice.onlyUsb) {
        m_nWizardState = kStateOnlyUsb;
        ShowPageWindow(EnsurePage(m_pOnlyUsbPage, this, m_hWnd), true);
        plat::CopyTrunc(m_szModel, kModelChars, choice.model);
        plat::CopyTrunc(m_szUsbPort, kModelChars, choice.port);
        return;
    }
    m_nWizardState = kStateOptions;
    ShowOptionsPage();
    if (choice.selectModel && m_pOptionsPage) {
        m_pOptionsPage->SelectModelByName(choice.model.c_str());
        plat::CopyTrunc(m_szUsbPort, kModelChars, choice.port);
    }
}

void CDlg_MainManage::OnDeviceChange(WPARAM eventType) {
    plat::TraceF(L"nEventType %x", static_cast<unsigned>(eventType));
    if (eventType != DBT_DEVNODES_CHANGED || m_nWizardState != kStateOptions || !m_pOptionsPage ||
        !IsWindowVisible(m_pOptionsPage->GetSafeHwnd()))
        return;
    UsbPrinterList printers;
    DetectUsbPrinters(printers);
    if (printers.empty()) {
        EnableWindow(m_pOptionsPage->GetDlgItem(IDC_OPTIONS_MODEL_LIST), TRUE);
        return;
    }
    m_pOptionsPage->SelectModelByName(printers[0].model);
    plat::CopyTrunc(m_szUsbPort, kModelChars, printers[0].port);
}

// --- System queries -----------------------------------------------------------

void CDlg_MainManage::DetectUsbPrinters(UsbPrinterList& printers) { install::DiscoverUsbPrinters(printers); }

std::wstring CDlg_MainManage::QueryWlanProfile() { return wireless::GetConnectedWlanProfile(); }

bool CDlg_MainManage::HasWirelessAdapter() {
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (GetAdaptersInfo(first, &size) != ERROR_SUCCESS) return false;
    bool wifi = false;
    for (const IP_ADAPTER_INFO* a = first; a; a = a->Next) {
        plat::TraceF(L"%hs des %hs type is %d**", a->AdapterName, a->Description, static_cast<int>(a->Type));
        if (a->Type == IF_TYPE_IEEE80211) wifi = true;
    }
    return wifi;
}

void CDlg_MainManage::ExitProgram(UINT exitCode) { ExitProcess(exitCode); }

// --- Operations the pages call ------------------------------------------------

void CDlg_MainManage::ShowUserGuide() {
    const UINT rtl = env::RtlMessageStyle(m_szLanguage);
    const std::wstring key = UserGuideKey(m_szLanguage, GetUserDefaultUILanguage());
    wchar_t relative[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/MANUAL/source_doc", key.c_str(), relative);
    const std::wstring path = plat::ProgramFolder() + relative;
    plat::Trace(L"用户指南文件路径：" + path);

    if (!plat::PathExists(path)) {
        env::ShowMessage(m_hWnd, 174, MB_ICONEXCLAMATION | rtl);
        return;
    }
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(m_hWnd, L"open", path.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED));
    if (result <= 32) env::ShowMessage(m_hWnd, 175, rtl);
}

void CDlg_MainManage::ShowLicence() {
    wchar_t relative[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/LICENCE/source_txt", m_szLanguage, relative);
    std::wstring text;
    if (!ReadLicenceText(plat::ProgramFolder() + relative, text)) return;
    if (!m_pAgreement) m_pAgreement = std::make_unique<CDlg_Agreement>(this);
    m_pAgreement->m_szLicence = std::move(text);
    m_pAgreement->DoModal();
}

void CDlg_MainManage::RelaunchWithLanguage(const wchar_t* language) {
    if (m_nWizardState != kStateOnlyUsb && m_nWizardState != kStateOptions) return;
    std::wstring commandLine = RelaunchCommandLine(plat::ProgramPath(), language);
    // The new instance gives this one 200 ms to end and let go of the
    // single-instance mutex; hiding the wizard first keeps what is left of
    // its ending short.
    ShowWindow(m_hWnd, SW_HIDE);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    } else {
        plat::TraceF(L"CreateProcess failed: %lu", GetLastError());
    }
    EndDialog(IDCANCEL);
}

void CDlg_MainManage::ShowFatalInfMessage(const wchar_t* configuredPath) {
    env::ShowMessageText(m_hWnd, plat::FileNamePart(configuredPath) + env::MessageText(201),
                         MB_ICONEXCLAMATION | env::RtlMessageStyle(m_szLanguage));
    ExitProgram(1);
}

bool CDlg_MainManage::CheckBeforeInstall() {
    if (!install::IsPrinterInfPresent()) {
        wchar_t inf[1024] = {};
        cfg::GetConfigTextByValue(L"/SERTUP_INFO/INF/Infinpackage", L"PRINTER", inf);
        ShowFatalInfMessage(inf);
        return false;
    }
    if (!install::IsScannerInfPresent(m_szModel) && wcscmp(g_szMultiFuncType, L"1") == 0) {
        wchar_t inf[1024] = {};
        cfg::GetConfigTextByValue(L"/SERTUP_INFO/SCINF/InfPath", m_szModel, inf);
        ShowFatalInfMessage(inf);
        return false;
    }
    return env::CheckDiskSpace(m_szLanguage, m_hWnd);
}

// --- Messages -----------------------------------------------------------------

bool CDlg_MainManage::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_START_NET_SEARCH) {
        // Leaves the wireless question page for the search; that page comes
        // with the wireless work, and without it the message changes nothing.
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

void CDlg_MainManage::OnExitSizeMove() {
    plat::Trace(L"OnExitSizeMove");
    // In state 5 the host follows the network printer page's size; that page
    // comes with the network search work.
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
    case WM_DEVICECHANGE:
        OnDeviceChange(wParam);
        return TRUE;
    case WM_EXITSIZEMOVE:
        DefWindowProcW(m_hWnd, msg, wParam, lParam);
        OnExitSizeMove();
        return 0;
    default:
        break;
    }
    handled = false;
    return 0;
}

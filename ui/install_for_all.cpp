#include "ui/install_for_all.h"

#include <commctrl.h>

#include <cwchar>
#include <iterator>
#include <string>

#include "config/setup_config.h"
#include "env/texts.h"
#include "platform/text.h"
#include "res/resource.h"
#include "ui/main_manage.h"
#include "ui/only_usb_install_dlg.h"
#include "ui/skin.h"

namespace {

const int kUsbGroup[] = {IDC_OPTIONS_USB, IDC_OPTIONS_USB_TEXT, IDC_OPTIONS_USB_ICON};
const int kWiredGroup[] = {IDC_OPTIONS_WIRED, IDC_OPTIONS_WIRED_TEXT, IDC_OPTIONS_WIRED_ICON};
const int kWirelessGroup[] = {IDC_OPTIONS_WIRELESS,   IDC_OPTIONS_WIRELESS_TEXT, IDC_OPTIONS_WIRELESS_ICON,
                              IDC_OPTIONS_ONEKEY,     IDC_OPTIONS_ONEKEY_ICON,   IDC_OPTIONS_ONEKEY_TEXT};
// The radio buttons in the order of the radio index.
const int kRadios[] = {IDC_OPTIONS_USB, IDC_OPTIONS_ONEKEY, IDC_OPTIONS_WIRED, IDC_OPTIONS_WIRELESS};

std::wstring SelectedText(HWND combo) {
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return {};
    const LRESULT len = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0);
    if (len == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(len));
    return text;
}

void SetPicture(HWND control, HBITMAP bitmap) {
    SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

}  // namespace

void RegisterLinkControl() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
}

HBRUSH OptionPageStaticColour(HWND page, HDC dc, HWND control, UINT ctlColorMsg) {
    if (ctlColorMsg != WM_CTLCOLORSTATIC) return nullptr;
    // The default brush, with our own colours set after the default ones.
    auto brush = reinterpret_cast<HBRUSH>(
        DefWindowProcW(page, ctlColorMsg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    return brush;
}

CDlg_InstallForAll::CDlg_InstallForAll(CDlg_MainManage* host)
    : plat::Dialog(IDD_INSTALL_FOR_ALL, host), m_pHost(host) {
    RegisterLinkControl();
}

CDlg_InstallForAll::~CDlg_InstallForAll() = default;

BOOL CDlg_InstallForAll::OnInitDialog() {
    const bool fromBmpDll = m_pHost->m_bUseBmpDll != 0;
    HMODULE bmpDll = m_pHost->m_hBmpDll;
    m_bmpUsb.reset(ui::LoadSkinBitmap(IDB_ICON_USB, bmpDll, fromBmpDll));
    m_bmpWired.reset(ui::LoadSkinBitmap(IDB_ICON_WIRED, bmpDll, fromBmpDll));
    m_bmpWireless.reset(ui::LoadSkinBitmap(IDB_ICON_WIRELESS, bmpDll, fromBmpDll));
    m_bmpOneKey.reset(ui::LoadSkinBitmap(IDB_ICON_ONEKEY_WIRELESS, bmpDll, fromBmpDll));
    SetPicture(GetDlgItem(IDC_OPTIONS_USB_ICON), static_cast<HBITMAP>(m_bmpUsb.get()));
    SetPicture(GetDlgItem(IDC_OPTIONS_WIRED_ICON), static_cast<HBITMAP>(m_bmpWired.get()));
    SetPicture(GetDlgItem(IDC_OPTIONS_WIRELESS_ICON), static_cast<HBITMAP>(m_bmpWireless.get()));
    SetPicture(GetDlgItem(IDC_OPTIONS_ONEKEY_ICON), static_cast<HBITMAP>(m_bmpOneKey.get()));
    m_background.reset(ui::LoadSkinBitmap(IDB_BACKGROUND_OPTIONS, bmpDll, fromBmpDll));
    m_btnInstall.Attach(GetDlgItem(IDC_OPTIONS_INSTALL));
    m_btnInstall.SetSkin(bmpDll, fromBmpDll);

    m_labelLanguage.Attach(GetDlgItem(IDC_OPTIONS_LANGUAGE_LABEL));
    m_labelModel.Attach(GetDlgItem(IDC_OPTIONS_MODEL_LABEL));
    m_labelMethod.Attach(GetDlgItem(IDC_OPTIONS_METHOD_LABEL));
    m_textUsb.Attach(GetDlgItem(IDC_OPTIONS_USB_TEXT));
    m_textWired.Attach(GetDlgItem(IDC_OPTIONS_WIRED_TEXT));
    m_textWireless.Attach(GetDlgItem(IDC_OPTIONS_WIRELESS_TEXT));

    m_nLanguageIndex = FillLanguageList(GetDlgItem(IDC_OPTIONS_LANGUAGE_LIST), *m_pHost);

    HWND models = GetDlgItem(IDC_OPTIONS_MODEL_LIST);
    for (const ModelItem& m : m_pHost->m_Models)
        SendMessageW(models, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m.name));
    SendMessageW(models, CB_SETCURSEL, 0, 0);
    m_nModelIndex = static_cast<int>(SendMessageW(models, CB_GETCURSEL, 0, 0));

    m_pHost->m_bPcOnWifi = m_pHost->QueryWlanProfile().empty() ? 0 : 1;
    ReEvaluateMethods();
    CheckDlgButton(m_hWnd, IDC_OPTIONS_AGREE, BST_CHECKED);

    static const env::ControlText texts[] = {
        {IDC_OPTIONS_LANGUAGE_LABEL, 167}, {IDC_OPTIONS_MODEL_LABEL, 163}, {IDC_OPTIONS_METHOD_LABEL, 224},
        {IDC_OPTIONS_USB, 225},            {IDC_OPTIONS_USB_TEXT, 226},    {IDC_OPTIONS_ONEKEY, 254},
        {IDC_OPTIONS_ONEKEY_TEXT, 253},    {IDC_OPTIONS_WIRED, 227},       {IDC_OPTIONS_WIRED_TEXT, 228},
        {IDC_OPTIONS_WIRELESS, 229},       {IDC_OPTIONS_WIRELESS_TEXT, 230}, {IDC_OPTIONS_USER_GUIDE, 184},
        {IDC_OPTIONS_LICENCE, 179},        {IDC_OPTIONS_INSTALL, 165},
    };
    env::SetControlTexts(m_hWnd, texts);
    return TRUE;
}

void CDlg_InstallForAll::ShowControls(const int* ids, size_t count, bool show) {
    for (size_t i = 0; i < count; ++i) ShowWindow(GetDlgItem(ids[i]), show ? SW_SHOW : SW_HIDE);
}

void CDlg_InstallForAll::ReEvaluateMethods() {
    m_nRadioIndex = kMethodUsb;
    const std::wstring model = SelectedText(GetDlgItem(IDC_OPTIONS_MODEL_LIST));
    const bool wifiAdapter = m_pHost->HasWirelessAdapter();

    // The first entry of the selected model that narrows the methods decides.
    cfg::ConnectionMethods methods = cfg::ConnectionMethodsForType(nullptr);
    for (const ModelItem& m : m_pHost->m_Models) {
        if (model != m.name) continue;
        methods = cfg::ConnectionMethodsForType(m.type);
        if (!methods.wired || !methods.wireless) break;
    }
    const bool wired = methods.wired, wireless = methods.wireless;
    ShowControls(kWiredGroup, std::size(kWiredGroup), wired);
    ShowControls(kWirelessGroup, std::size(kWirelessGroup), wireless);
    ShowControls(kUsbGroup, std::size(kUsbGroup), true);
    if (wireless && wifiAdapter) m_nRadioIndex = kMethodOneKeyWireless;
    WriteRadioIndex();
}

void CDlg_InstallForAll::WriteRadioIndex() {
    for (int i = 0; i < static_cast<int>(std::size(kRadios)); ++i)
        CheckDlgButton(m_hWnd, kRadios[i], i == m_nRadioIndex ? BST_CHECKED : BST_UNCHECKED);
}

void CDlg_InstallForAll::ReadRadioIndex() {
    m_nRadioIndex = -1;
    for (int i = 0; i < static_cast<int>(std::size(kRadios)); ++i)
        if (IsDlgButtonChecked(m_hWnd, kRadios[i]) == BST_CHECKED) {
            m_nRadioIndex = i;
            break;
        }
}

void CDlg_InstallForAll::SelectModelByName(const wchar_t* name) {
    HWND models = GetDlgItem(IDC_OPTIONS_MODEL_LIST);
    SendMessageW(models, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    m_nModelIndex = static_cast<int>(SendMessageW(models, CB_GETCURSEL, 0, 0));
    ReEvaluateMethods();
}

bool CDlg_InstallForAll::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case IDC_OPTIONS_INSTALL:
        if (code == BN_CLICKED) OnInstall();
        return true;
    case IDC_OPTIONS_AGREE:
        if (code == BN_CLICKED) EnableInstallByAgreeBox(m_hWnd, IDC_OPTIONS_AGREE, IDC_OPTIONS_INSTALL);
        return true;
    case IDC_OPTIONS_LANGUAGE_LIST:
        if (code == CBN_SELCHANGE) OnLanguageChange();
        return true;
    case IDC_OPTIONS_MODEL_LIST:
        if (code == CBN_SELCHANGE) OnModelChange();
        return true;
    default:
        return plat::Dialog::OnCommand(id, code, control);
    }
}

LRESULT CDlg_InstallForAll::OnNotify(NMHDR* header, bool& handled) {
    handled = OpenPageLink(header, IDC_OPTIONS_USER_GUIDE, IDC_OPTIONS_LICENCE, *m_pHost);
    return 0;
}

void CDlg_InstallForAll::OnLanguageChange() {
    m_nLanguageIndex = RelaunchOnLanguageChange(GetDlgItem(IDC_OPTIONS_LANGUAGE_LIST), m_nLanguageIndex, *m_pHost);
}

void CDlg_InstallForAll::OnModelChange() {
    const int sel = static_cast<int>(SendMessageW(GetDlgItem(IDC_OPTIONS_MODEL_LIST), CB_GETCURSEL, 0, 0));
    if (sel == m_nModelIndex) return;
    m_nModelIndex = sel;
    ReEvaluateMethods();
}

void CDlg_InstallForAll::OnInstall() {
    // Only the user's click on an enabled button counts.
    if (!IsWindowEnabled(GetDlgItem(IDC_OPTIONS_INSTALL))) return;
    ReadRadioIndex();
    plat::CopyTrunc(m_pHost->m_szModel, kModelChars, SelectedText(GetDlgItem(IDC_OPTIONS_MODEL_LIST)));
    if (!m_pHost->CheckBeforeInstall()) return;
    m_pHost->m_bUsbPrinterFound = 0;

    const bool printerFound = IsChosenModelConnected(*m_pHost);
    m_pHost->m_bPcOnWifi = m_pHost->QueryWlanProfile().empty() ? 0 : 1;

    const UINT rtl = env::RtlMessageStyle(m_pHost->m_szLanguage);
    switch (m_nRadioIndex) {
    case kMethodUsb:
        if (printerFound || env::ShowMessage(m_hWnd, 197, MB_YESNO | rtl) == IDYES)
            StartUsbInstall(m_hWnd, *m_pHost, printerFound);
        break;
    case kMethodWired:
        plat::Trace(L"Checking the network");
        ShowWindow(m_hWnd, SW_HIDE);
        m_pHost->m_nConnectType = 2;
        m_pHost->m_nWizardState = kStateNetSearch;
        m_pHost->ShowSearchPage();
        break;
    case kMethodOneKeyWireless:
        if (!printerFound) {
            env::ShowMessage(m_hWnd, 250, MB_OK | rtl);
        } else if (!m_pHost->m_bPcOnWifi) {
            env::ShowMessage(m_hWnd, 251, MB_OK | rtl);
        } else {
            ShowWindow(m_hWnd, SW_HIDE);
            m_pHost->m_nConnectType = 2;
            m_pHost->m_nWizardState = kStateWifiConfig;
            m_pHost->ShowWifiConfigPage();
        }
        break;
    case kMethodWireless:
        ShowWindow(m_hWnd, SW_HIDE);
        m_pHost->m_nConnectType = 2;
        m_pHost->m_nWizardState = kStateAskWifi;
        m_pHost->ShowAskWifiPage();
        break;
    default:
        break;
    }
}

bool CDlg_InstallForAll::OnEraseBkgnd(HDC dc) {
    return ui::PaintStretchedBackground(m_hWnd, dc, static_cast<HBITMAP>(m_background.get()));
}

HBRUSH CDlg_InstallForAll::OnCtlColor(HDC dc, HWND control, UINT ctlColorMsg) {
    return OptionPageStaticColour(m_hWnd, dc, control, ctlColorMsg);
}

bool CDlg_InstallForAll::PreTranslateMessage(MSG* msg) { return IsFilteredPageKey(*msg, true); }

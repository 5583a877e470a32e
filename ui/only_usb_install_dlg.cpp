#include "ui/only_usb_install_dlg.h"

#include <commctrl.h>

#include <cwchar>

#include "env/texts.h"
#include "platform/text.h"
#include "res/resource.h"
#include "ui/install_for_all.h"
#include "ui/main_manage.h"
#include "ui/skin.h"

int FillLanguageList(HWND list, const CDlg_MainManage& host) {
    plat::Trace(host.m_szLanguage);
    int selected = -1;
    for (size_t i = 0; i < host.m_Languages.size(); ++i) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(host.m_Languages[i].display.c_str()));
        if (selected < 0 && host.m_Languages[i].name == host.m_szLanguage) selected = static_cast<int>(i);
    }
    if (selected >= 0) SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    if (host.m_bLanguageLocked) EnableWindow(list, FALSE);
    return selected;
}

int RelaunchOnLanguageChange(HWND list, int lastIndex, CDlg_MainManage& host) {
    const int sel = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    if (sel == lastIndex || sel < 0 || static_cast<size_t>(sel) >= host.m_Languages.size()) return lastIndex;
    host.RelaunchWithLanguage(host.m_Languages[static_cast<size_t>(sel)].name.c_str());
    return sel;
}

void EnableInstallByAgreeBox(HWND page, int agreeId, int installId) {
    EnableWindow(GetDlgItem(page, installId), IsDlgButtonChecked(page, agreeId) == BST_CHECKED);
}

bool OpenPageLink(const NMHDR* header, int guideId, int licenceId, CDlg_MainManage& host) {
    if (header->code != NM_CLICK && header->code != NM_RETURN) return false;
    if (header->idFrom == static_cast<UINT_PTR>(guideId)) {
        host.ShowUserGuide();
        return true;
    }
    if (header->idFrom == static_cast<UINT_PTR>(licenceId)) {
        host.ShowLicence();
        return true;
    }
    return false;
}

bool IsChosenModelConnected(CDlg_MainManage& host) {
    UsbPrinterList printers;
    host.DetectUsbPrinters(printers);
    for (const UsbPrinterItem& p : printers)
        if (wcscmp(p.model, host.m_szModel) == 0) return true;
    return false;
}

void StartUsbInstall(HWND page, CDlg_MainManage& host, bool printerFound) {
    ShowWindow(page, SW_HIDE);
    host.m_bUsbPrinterFound = printerFound ? 1 : 0;
    host.m_nConnectType = 1;
    host.m_nWizardState = kStateInstalling;
    host.ShowInstallPage();
}

COnlyUsbInsatllDlg::COnlyUsbInsatllDlg(CDlg_MainManage* host)
    : plat::Dialog(IDD_ONLYUSB_INSTALL, host), m_pHost(host) {
    RegisterLinkControl();
}

COnlyUsbInsatllDlg::~COnlyUsbInsatllDlg() = default;

BOOL COnlyUsbInsatllDlg::OnInitDialog() {
    const bool fromBmpDll = m_pHost->m_bUseBmpDll != 0;
    m_background.reset(ui::LoadSkinBitmap(IDB_BACKGROUND, m_pHost->m_hBmpDll, fromBmpDll));
    m_btnInstall.Attach(GetDlgItem(IDC_ONLYUSB_INSTALL));
    m_btnInstall.SetSkin(m_pHost->m_hBmpDll, fromBmpDll);
    m_labelLanguage.Attach(GetDlgItem(IDC_ONLYUSB_LANGUAGE_LABEL));

    m_nLanguageIndex = FillLanguageList(GetDlgItem(IDC_ONLYUSB_LANGUAGE_LIST), *m_pHost);

    static const env::ControlText texts[] = {
        {IDC_ONLYUSB_LANGUAGE_LABEL, 167},
        {IDC_ONLYUSB_USER_GUIDE, 184},
        {IDC_ONLYUSB_LICENCE, 179},
        {IDC_ONLYUSB_INSTALL, 165},
    };
    env::SetControlTexts(m_hWnd, texts);
    CheckDlgButton(m_hWnd, IDC_ONLYUSB_AGREE, BST_CHECKED);
    return TRUE;
}

bool COnlyUsbInsatllDlg::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case IDC_ONLYUSB_INSTALL:
        if (code == BN_CLICKED) OnInstall();
        return true;
    case IDC_ONLYUSB_AGREE:
        if (code == BN_CLICKED) EnableInstallByAgreeBox(m_hWnd, IDC_ONLYUSB_AGREE, IDC_ONLYUSB_INSTALL);
        return true;
    case IDC_ONLYUSB_LANGUAGE_LIST:
        if (code == CBN_SELCHANGE) OnLanguageChange();
        return true;
    default:
        return plat::Dialog::OnCommand(id, code, control);
    }
}

LRESULT COnlyUsbInsatllDlg::OnNotify(NMHDR* header, bool& handled) {
    handled = OpenPageLink(header, IDC_ONLYUSB_USER_GUIDE, IDC_ONLYUSB_LICENCE, *m_pHost);
    return 0;
}

void COnlyUsbInsatllDlg::OnLanguageChange() {
    m_nLanguageIndex = RelaunchOnLanguageChange(GetDlgItem(IDC_ONLYUSB_LANGUAGE_LIST), m_nLanguageIndex, *m_pHost);
}

void COnlyUsbInsatllDlg::OnInstall() {
    // Only the user's click on an enabled button counts.
    if (!IsWindowEnabled(GetDlgItem(IDC_ONLYUSB_INSTALL))) return;
    if (!m_pHost->CheckBeforeInstall()) return;
    m_pHost->m_bUsbPrinterFound = 0;
    const bool printerFound = IsChosenModelConnected(*m_pHost);
    if (!printerFound &&
        env::ShowMessage(m_hWnd, 197, MB_YESNO | env::RtlMessageStyle(m_pHost->m_szLanguage)) != IDYES)
        return;
    StartUsbInstall(m_hWnd, *m_pHost, printerFound);
}

bool COnlyUsbInsatllDlg::OnEraseBkgnd(HDC dc) {
    return ui::PaintStretchedBackground(m_hWnd, dc, static_cast<HBITMAP>(m_background.get()));
}

HBRUSH COnlyUsbInsatllDlg::OnCtlColor(HDC dc, HWND control, UINT ctlColorMsg) {
    return OptionPageStaticColour(m_hWnd, dc, control, ctlColorMsg);
}

bool COnlyUsbInsatllDlg::PreTranslateMessage(MSG* msg) { return IsFilteredPageKey(*msg, false); }

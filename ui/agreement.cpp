#include "ui/agreement.h"

#include "env/texts.h"
#include "res/resource.h"
#include "ui/main_manage.h"
#include "ui/skin.h"

CDlg_Agreement::CDlg_Agreement(CDlg_MainManage* host) : plat::Dialog(IDD_AGREEMENT, host), m_pHost(host) {}

CDlg_Agreement::~CDlg_Agreement() = default;

BOOL CDlg_Agreement::OnInitDialog() {
    const bool fromBmpDll = m_pHost->m_bUseBmpDll != 0;
    m_btnBack.Attach(GetDlgItem(IDC_AGREEMENT_BACK));
    m_btnBack.SetSkin(m_pHost->m_hBmpDll, fromBmpDll);
    m_background.reset(ui::LoadSkinBitmap(IDB_BACKGROUND_SMALL, m_pHost->m_hBmpDll, fromBmpDll));
    m_instruction.Attach(GetDlgItem(IDC_AGREEMENT_INSTRUCTION));

    SetWindowTextW(m_hWnd, env::MessageText(156).c_str());
    static const env::ControlText texts[] = {
        {IDC_AGREEMENT_BACK, 237},
        {IDC_AGREEMENT_INSTRUCTION, 178},
    };
    env::SetControlTexts(m_hWnd, texts);
    SetDlgItemTextW(m_hWnd, IDC_AGREEMENT_TEXT, m_szLicence.c_str());
    // The text keeps the focus for scrolling, but is shown from its first
    // line and not selected (the dialog manager would select all of it and
    // scroll to its end).
    HWND text = GetDlgItem(IDC_AGREEMENT_TEXT);
    ::SetFocus(text);
    SendMessageW(text, EM_SETSEL, 0, 0);
    SendMessageW(text, EM_SCROLLCARET, 0, 0);
    return FALSE;
}

bool CDlg_Agreement::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_AGREEMENT_BACK) {
        if (code == BN_CLICKED) EndDialog(IDCANCEL);
        return true;
    }
    return plat::Dialog::OnCommand(id, code, control);
}

bool CDlg_Agreement::OnEraseBkgnd(HDC dc) {
    return ui::PaintStretchedBackground(m_hWnd, dc, static_cast<HBITMAP>(m_background.get()));
}

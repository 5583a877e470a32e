#include "ui/install_complete.h"

#include "res/resource.h"
#include "ui/main_manage.h"
#include "ui/skin.h"
#include "uninstall/product_records.h"

CDlg_InstallComplete::CDlg_InstallComplete(CDlg_MainManage* host)
    : plat::Dialog(IDD_INSTALL_COMPLETE, host), m_pHost(host) {}

CDlg_InstallComplete::~CDlg_InstallComplete() = default;

BOOL CDlg_InstallComplete::OnInitDialog() {
    m_background.reset(ui::LoadSkinBitmap(IDB_BACKGROUND, m_pHost->m_hBmpDll, m_pHost->m_bUseBmpDll != 0));
    m_text.Attach(GetDlgItem(IDC_COMPLETE_TEXT));
    m_nTimer = SetTimer(m_hWnd, IDT_INSTALL_COMPLETE, kInstallCompleteDelay, nullptr);
    return TRUE;
}

void CDlg_InstallComplete::OnTimer(UINT_PTR id) {
    if (id != IDT_INSTALL_COMPLETE) return;
    KillTimer(m_hWnd, m_nTimer);
    m_nTimer = 0;
    uninstall::WriteUpdateToolRecord(m_pHost->m_szModel);
    // The host is in state 7, so it ends without the exit question.
    m_pHost->EndDialog(IDCANCEL);
}

bool CDlg_InstallComplete::OnEraseBkgnd(HDC dc) {
    return ui::PaintStretchedBackground(m_hWnd, dc, static_cast<HBITMAP>(m_background.get()));
}

// The completion page (template 134): shown when the installation has
// finished; three seconds later it writes the update-tool record and ends
// the wizard.
#pragma once

#include <windows.h>

#include "platform/dialog.h"
#include "platform/handles.h"
#include "ui/static_trans.h"

class CDlg_MainManage;

constexpr int IDC_COMPLETE_TEXT = 1043;
constexpr UINT_PTR IDT_INSTALL_COMPLETE = 1;
constexpr UINT kInstallCompleteDelay = 3000;

class CDlg_InstallComplete : public plat::Dialog {
public:
    explicit CDlg_InstallComplete(CDlg_MainManage* host);
    ~CDlg_InstallComplete() override;

    // Data members
    CDlg_MainManage* m_pHost;
    UINT_PTR m_nTimer = 0;  // identifier SetTimer returned

protected:
    // Message handlers
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    bool OnEraseBkgnd(HDC dc) override;

private:
    plat::GdiObject m_background;  // bitmap 147
    CStaticTrans m_text;
};

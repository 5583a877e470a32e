// The licence dialog (template 130): the licence text of the run's language
// in a read-only edit box, run modally from the option pages' licence links.
#pragma once

#include <windows.h>

#include <string>

#include "platform/dialog.h"
#include "platform/handles.h"
#include "ui/skin_button.h"
#include "ui/static_trans.h"

class CDlg_MainManage;

constexpr int IDC_AGREEMENT_INSTRUCTION = 1014;
constexpr int IDC_AGREEMENT_TEXT = 1015;
constexpr int IDC_AGREEMENT_BACK = 1016;

class CDlg_Agreement : public plat::Dialog {
public:
    explicit CDlg_Agreement(CDlg_MainManage* host);
    ~CDlg_Agreement() override;

    // Data members
    CDlg_MainManage* m_pHost;
    std::wstring m_szLicence;  // set by the host before each run

protected:
    // Message handlers
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnEraseBkgnd(HDC dc) override;

private:
    plat::GdiObject m_background;  // bitmap 153
    CStaticTrans m_instruction;
    CxSkinButton m_btnBack;
};

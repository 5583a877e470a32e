// The USB-only start page (template 102): shown instead of the options page
// when exactly one USB printer of a USB-only model is connected at start.
// The model is known already; the page offers the language, the licence
// agreement and Install.
#pragma once

#include <windows.h>

#include "platform/dialog.h"
#include "platform/handles.h"
#include "ui/skin_button.h"
#include "ui/static_trans.h"

class CDlg_MainManage;

constexpr int IDC_ONLYUSB_LANGUAGE_LIST = 1000;
constexpr int IDC_ONLYUSB_LANGUAGE_LABEL = 1001;
constexpr int IDC_ONLYUSB_AGREE = 1003;
constexpr int IDC_ONLYUSB_LICENCE = 1004;
constexpr int IDC_ONLYUSB_INSTALL = 1005;
constexpr int IDC_ONLYUSB_USER_GUIDE = 1008;

class COnlyUsbInsatllDlg : public plat::Dialog {
public:
    explicit COnlyUsbInsatllDlg(CDlg_MainManage* host);
    ~COnlyUsbInsatllDlg() override;

    // Data members
    CDlg_MainManage* m_pHost;
    int m_nLanguageIndex = -1;  // last selected entry of the language list

protected:
    // Message handlers
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    LRESULT OnNotify(NMHDR* header, bool& handled) override;
    bool OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlColorMsg) override;
    bool PreTranslateMessage(MSG* msg) override;

private:
    void OnInstall();
    void OnLanguageChange();

    plat::GdiObject m_background;  // bitmap 147
    CStaticTrans m_labelLanguage;
    CxSkinButton m_btnInstall;
};

// Fills a language list with the host's offered languages, selects the run's
// language and disables the list when the language is locked. Returns the
// selected index (-1 when the run's language is not offered).
int FillLanguageList(HWND list, const CDlg_MainManage& host);

// The handling both start pages share.
// A new selection in the language list restarts the program in that
// language; returns the index now selected (`lastIndex` when unchanged).
int RelaunchOnLanguageChange(HWND list, int lastIndex, CDlg_MainManage& host);
// Install is enabled exactly while the agree box is ticked.
void EnableInstallByAgreeBox(HWND page, int agreeId, int installId);
// A click on the user-guide or licence link. True when it was one of them.
bool OpenPageLink(const NMHDR* header, int guideId, int licenceId, CDlg_MainManage& host);
// Whether a connected USB printer reports the host's chosen model.
bool IsChosenModelConnected(CDlg_MainManage& host);
// Hides the page and hands over to the install page for a USB installation.
void StartUsbInstall(HWND page, CDlg_MainManage& host, bool printerFound);

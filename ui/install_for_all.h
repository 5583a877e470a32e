// The install options page (template 129): language, printer model,
// connection method, licence agreement and Install. The ordinary first page
// of the install wizard.
#pragma once

#include <windows.h>

#include "platform/dialog.h"
#include "platform/handles.h"
#include "ui/skin_button.h"
#include "ui/static_trans.h"

class CDlg_MainManage;

// Controls of the options page.
constexpr int IDC_OPTIONS_LANGUAGE_LIST = 1000;
constexpr int IDC_OPTIONS_AGREE = 1003;
constexpr int IDC_OPTIONS_INSTALL = 1005;
constexpr int IDC_OPTIONS_USER_GUIDE = 1008;
constexpr int IDC_OPTIONS_MODEL_LIST = 1010;
constexpr int IDC_OPTIONS_USB = 1011;
constexpr int IDC_OPTIONS_WIRED = 1012;
constexpr int IDC_OPTIONS_WIRELESS = 1013;
constexpr int IDC_OPTIONS_ONEKEY = 1014;
constexpr int IDC_OPTIONS_WIRELESS_TEXT = 1032;
constexpr int IDC_OPTIONS_WIRED_TEXT = 1033;
constexpr int IDC_OPTIONS_USB_TEXT = 1034;
constexpr int IDC_OPTIONS_USB_ICON = 1036;
constexpr int IDC_OPTIONS_WIRED_ICON = 1037;
constexpr int IDC_OPTIONS_WIRELESS_ICON = 1038;
constexpr int IDC_OPTIONS_LANGUAGE_LABEL = 1039;
constexpr int IDC_OPTIONS_MODEL_LABEL = 1040;
constexpr int IDC_OPTIONS_METHOD_LABEL = 1041;
constexpr int IDC_OPTIONS_LICENCE = 1042;
constexpr int IDC_OPTIONS_ONEKEY_TEXT = 1043;
constexpr int IDC_OPTIONS_ONEKEY_ICON = 1044;

// Radio index of the connection methods, in the group's tab order.
enum ConnectMethod { kMethodUsb = 0, kMethodOneKeyWireless = 1, kMethodWired = 2, kMethodWireless = 3 };

class CDlg_InstallForAll : public plat::Dialog {
public:
    explicit CDlg_InstallForAll(CDlg_MainManage* host);
    ~CDlg_InstallForAll() override;

    // Host operation (start page decision, device arrival): selects the first
    // model list entry that begins with `name` (no letter case), remembers the
    // index and re-evaluates the connection methods.
    void SelectModelByName(const wchar_t* name);
    // Shows the groups the selected model offers and preselects a method.
    void ReEvaluateMethods();

    // Data members
    CDlg_MainManage* m_pHost;
    int m_nRadioIndex = kMethodUsb;  // ConnectMethod
    int m_nLanguageIndex = -1;       // last selected entry of the language list
    int m_nModelIndex = -1;          // last selected entry of the model list

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
    void OnModelChange();
    void ReadRadioIndex();
    void WriteRadioIndex();
    void ShowControls(const int* ids, size_t count, bool show);

    plat::GdiObject m_background;  // bitmap 148
    plat::GdiObject m_bmpUsb, m_bmpWired, m_bmpWireless, m_bmpOneKey;
    CStaticTrans m_labelLanguage, m_labelModel, m_labelMethod, m_textUsb, m_textWired, m_textWireless;
    CxSkinButton m_btnInstall;
};

// WM_CTLCOLORSTATIC of the option pages' own statics and buttons: black
// text on a white text background over the default brush.
HBRUSH OptionPageStaticColour(HWND page, HDC dc, HWND control, UINT ctlColorMsg);
// Registers the link control class the option pages' templates use.
void RegisterLinkControl();

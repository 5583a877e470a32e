// The install wizard's host window: a modal dialog that shows one child page
// at a time and keeps the install choices the pages and the install worker
// share.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "config/setup_config.h"
#include "install/usb_printer_item.h"
#include "netfind/printer_items.h"
#include "platform/dialog.h"

// Wizard steps (m_nWizardState).
enum WizardState {
    kStateOnlyUsb = 0,
    kStateOptions = 1,
    kStateAskWifi = 2,
    kStateWifiConfig = 3,
    kStateNetSearch = 4,
    kStateNetPrinters = 5,
    kStateInstalling = 6,
    kStateComplete = 7,
};

// Sent by another process to start the network search from the wireless
// question page.
constexpr UINT WM_START_NET_SEARCH = 0x41B;

struct ModelItem {
    wchar_t type[128] = {};
    wchar_t name[128] = {};
};

struct LanguageItem {
    std::wstring name;     // language name, e.g. "English"
    std::wstring display;  // text shown in the language list
};

class CDlg_MainManage : public plat::Dialog {
public:
    CDlg_MainManage(plat::Dialog* parent, const wchar_t* language);
    ~CDlg_MainManage() override;

    // Data members: the install choices record
    int m_nWizardState = kStateOptions;
    wchar_t m_szLanguage[256] = {};
    wchar_t m_szLangSuffix[256] = {};
    wchar_t m_szProgramFiles[260] = {};
    wchar_t m_szModel[260] = {};
    wchar_t m_szUsbPort[260] = {};
    int m_bPcOnWifi = 0;
    int m_nConnectType = 1;
    int m_bUsbPrinterFound = 0;
    NetPrinterList m_FoundPrinters;
    ChosenPrinterList m_ChosenPrinters;
    std::vector<ModelItem> m_Models;
    std::vector<LanguageItem> m_Languages;
    HMODULE m_hLangDll = nullptr;
    HMODULE m_hBmpDll = nullptr;
    int m_bUseBmpDll = 0;
    BYTE m_bLanguageLocked = 0;
    HICON m_hIcon = nullptr;

protected:
    // Overrides
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG* msg) override;
    void OnClose() override;
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void PaintMinimisedIcon();
};

// Keys the host drops before dispatch so that no page can be confirmed,
// cancelled or otherwise driven from the keyboard.
bool IsFilteredWizardKey(const MSG& msg);

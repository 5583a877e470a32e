// The install wizard's host window: a modal dialog that shows one child page
// at a time and keeps the install choices the pages and the install worker
// share.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "config/setup_config.h"
#include "env/languages.h"
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

using env::LanguageItem;

class CDlg_Install;

// The language members (m_szLanguage, m_szLangSuffix, m_Languages,
// m_hLangDll, m_hBmpDll, m_bUseBmpDll, m_bLanguageLocked) come from
// env::LanguageState.
class CDlg_MainManage : public plat::Dialog, public env::LanguageState {
public:
    CDlg_MainManage(plat::Dialog* parent, const wchar_t* language);
    // A host without document, language libraries or window: its creator
    // fills in the choices (the install worker's test programs).
    struct NoStartup {};
    explicit CDlg_MainManage(NoStartup);
    ~CDlg_MainManage() override;

    // Page-showing operations
    void ShowInstallPage();
    void ShowCompletePage();

    // Data members: the install choices record
    int m_nWizardState = kStateOptions;
    wchar_t m_szProgramFiles[260] = {};
    wchar_t m_szModel[260] = {};
    wchar_t m_szUsbPort[260] = {};
    int m_bPcOnWifi = 0;
    int m_nConnectType = 1;
    int m_bUsbPrinterFound = 0;
    NetPrinterList m_FoundPrinters;
    ChosenPrinterList m_ChosenPrinters;
    std::vector<ModelItem> m_Models;
    HICON m_hIcon = nullptr;
    std::unique_ptr<CDlg_Install> m_pInstallPage;

protected:
    // Overrides
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG* msg) override;
    void OnClose() override;
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void PaintMinimisedIcon();
    // Close item of the system menu, host sized to the page, page shown at
    // the client origin with the focus.
    void ShowPageWindow(plat::Dialog& page, bool closeEnabled);
};

// Keys the host drops before dispatch so that no page can be confirmed,
// cancelled or otherwise driven from the keyboard.
bool IsFilteredWizardKey(const MSG& msg);

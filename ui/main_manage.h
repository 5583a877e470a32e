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

class CDlg_Install;
class CDlg_InstallForAll;
class COnlyUsbInsatllDlg;
class CDlg_InstallComplete;
class CDlg_Agreement;

// What the start page decision makes of the detected USB printers.
struct StartPageChoice {
    bool onlyUsb = false;      // the USB-only start dialog, for `model` at `port`
    bool selectModel = false;  // the options page with `model` selected, `port` as USB port
    std::wstring model;
    std::wstring port;
};
// Exactly one printer whose model is listed with type "1": the USB-only
// dialog. Otherwise the options page; when one or more printers are detected
// and all report the same model, that model is selected there.
StartPageChoice DecideStartPage(const std::vector<ModelItem>& models, const UsbPrinterList& printers);

// The MANUAL key of the user guide: "Israel" for English on a Hebrew Windows
// (UI language 1037), otherwise the language name.
std::wstring UserGuideKey(const wchar_t* language, LANGID uiLanguage);

// The model and USB port fields of the choices record hold at most 199
// characters (with the terminator, 200).
constexpr size_t kModelChars = 200;

// The licence file's text: UTF-16 little-endian after a byte-order mark
// FF FE, otherwise text in the system ANSI code page. At most
// kMaxLicenceChars characters are kept; the rest is cut. False when the file
// cannot be opened or read.
constexpr size_t kMaxLicenceChars = 19999;
bool ReadLicenceText(const std::wstring& path, std::wstring& text);

// The command line of a restart in another language:
// "<program>" -install -Languange <language> (with a trailing space).
std::wstring RelaunchCommandLine(const std::wstring& programPath, const std::wstring& language);

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
    void ShowOptionsPage();
    void ShowSearchPage();
    void ShowWifiConfigPage();
    void ShowNetPrinterPage();
    void ShowInstallPage();
    void ShowCompletePage();
    // The wireless question page, shown without touching the Close item.
    void ShowAskWifiPage();

    // Operations the pages call
    void ShowUserGuide();
    void ShowLicence();
    // Only in states 0 and 1: starts the program again in `language` and
    // cancels this wizard.
    void RelaunchWithLanguage(const wchar_t* language);
    // Printer INF, scanner INF of a multi-function model, disk space. A
    // missing INF ends the process with exit code 1; false when the disk is
    // too full.
    bool CheckBeforeInstall();
    void RunNetworkSearch();

    // System queries the pages use; tests replace them.
    // Connected USB printers of the family (appended to `printers`).
    virtual void DetectUsbPrinters(UsbPrinterList& printers);
    // Profile name of the connected wireless LAN, empty when none.
    virtual std::wstring QueryWlanProfile();
    // True when GetAdaptersInfo lists an IEEE 802.11 adapter.
    virtual bool HasWirelessAdapter();
    // Ends the process (ExitProcess).
    virtual void ExitProgram(UINT exitCode);

    // Start page decision: m_Models from the document, the detected USB
    // printers, then ApplyStartPage.
    void StartPageDecision();
    // Shows the start page for the given detected printers.
    void ApplyStartPage(const UsbPrinterList& printers);
    // WM_DEVICECHANGE: on DBT_DEVNODES_CHANGED while the options page is shown,
    // selects the model of the first connected printer.
    void OnDeviceChange(WPARAM eventType);
    // Reads m_Models from /SERTUP_INFO/MODEL/Model_Info.
    void ReadModels();

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

    // Pages, created on first use and deleted with the host
    std::unique_ptr<COnlyUsbInsatllDlg> m_pOnlyUsbPage;      // template 102
    std::unique_ptr<CDlg_InstallForAll> m_pOptionsPage;      // template 129
    std::unique_ptr<CDlg_Agreement> m_pAgreement;            // template 130, modal
    std::unique_ptr<CDlg_Install> m_pInstallPage;            // template 133
    std::unique_ptr<CDlg_InstallComplete> m_pCompletePage;   // template 134

protected:
    // Overrides
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG* msg) override;
    void OnClose() override;
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void PaintMinimisedIcon();
    void OnExitSizeMove();
    // Close item of the system menu, host sized to the page, page shown at
    // the client origin with the focus.
    void ShowPageWindow(plat::Dialog* page, bool closeEnabled);
    void SetCloseItem(bool enabled);
    // Page size and host size agree: the host's window is sized so that its
    // client area is the page's.
    void FitHostToPage(HWND page);
    void ShowFatalInfMessage(const wchar_t* configuredPath);
};

// Keys the host drops before dispatch so that no page can be confirmed,
// cancelled or otherwise driven from the keyboard.
bool IsFilteredWizardKey(const MSG& msg);
// The pages' filter: the host's keys and the four arrow keys; the options
// page also drops 'P'.
bool IsFilteredPageKey(const MSG& msg, bool optionsPage);

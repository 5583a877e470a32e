// The install wizard host and its option, licence and completion pages,
// created from the program's own templates and driven through their
// controls; the detected USB printers, the wireless probes and the process
// exit are the test's.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include <chrono>
#include <cwchar>
#include <string>
#include <vector>

#include "config/setup_config.h"
#include "env/texts.h"
#include "install/install_page.h"
#include "platform/module.h"
#include "platform/text.h"
#include "support/fake_system.h"
#include "support/install_recorder.h"
#include "support/test_files.h"
#include "ui/agreement.h"
#include "ui/install_complete.h"
#include "ui/install_for_all.h"
#include "ui/main_manage.h"
#include "ui/only_usb_install_dlg.h"

using testsupport::PumpUntil;
using testsupport::RemoveTree;
using testsupport::WriteBytes;

namespace {

const char kDoc[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<SERTUP_INFO>
  <Headingline><Content>Wiztest K10-K40</Content></Headingline>
  <MultiFunc><Type>1</Type></MultiFunc>
  <MODEL>
    <Model_Info type="1">Wiztest K10</Model_Info>
    <Model_Info type="2">Wiztest K20</Model_Info>
    <Model_Info type="3">Wiztest K30</Model_Info>
    <Model_Info type="4">Wiztest K40</Model_Info>
  </MODEL>
  <INF><Infinpackage ID="PRINTER">wiztest\Printer\wizk.inf</Infinpackage></INF>
  <SCINF><InfPath ID="Wiztest K30">wiztest\Scanner\wizksc.inf</InfPath></SCINF>
  <LICENCE>
    <source_txt ID="English">wiztest\Licence_en.txt</source_txt>
    <source_txt ID="German">wiztest\Licence_none.txt</source_txt>
  </LICENCE>
  <MANUAL>
    <source_doc ID="English">wiztest\guide_en.wizguide</source_doc>
    <source_doc ID="German">wiztest\guide_de.pdf</source_doc>
    <source_doc ID="French">wiztest\guide_fr.exe</source_doc>
  </MANUAL>
  <manufacturer><DrvPackageVer>9.8.7.6</DrvPackageVer></manufacturer>
</SERTUP_INFO>)";

const wchar_t kUpdateToolKey[] = L"Software\\MyUpdateTool";

UsbPrinterItem Printer(const wchar_t* model, const wchar_t* port) {
    UsbPrinterItem p;
    wcscpy(p.model, model);
    wcscpy(p.port, port);
    return p;
}

std::vector<ModelItem> Models(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> items) {
    std::vector<ModelItem> out;
    for (const auto& [type, name] : items) {
        ModelItem m;
        wcscpy(m.type, type);
        wcscpy(m.name, name);
        out.push_back(m);
    }
    return out;
}

std::wstring Text(HWND wnd) {
    wchar_t text[1024] = {};
    GetWindowTextW(wnd, text, 1024);
    return text;
}

std::wstring ComboText(HWND combo) {
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return L"(none)";
    wchar_t text[512] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t text[512] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::string Utf16File(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes;
}

// The host with the system queries answered by the test.
class WizardHost : public testsupport::TestHost {
public:
    UsbPrinterList printers;
    std::wstring wlanProfile;
    bool wifiAdapter = false;
    std::vector<UINT> exits;
    int detections = 0;

    void DetectUsbPrinters(UsbPrinterList& out) override {
        ++detections;
        out.insert(out.end(), printers.begin(), printers.end());
    }
    std::wstring QueryWlanProfile() override { return wlanProfile; }
    bool HasWirelessAdapter() override { return wifiAdapter; }
    void ExitProgram(UINT code) override { exits.push_back(code); }
};

// The wizard host created from its template (OnInitDialog and the start page
// decision run as in the program), with the program's own resources, a
// setup folder below the test program's folder and a fake system.
class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_resources.Loaded());
        testsupport::InitPageControls();
        static const bool registered = [] {
            WNDCLASSW wc = {};
            GetClassInfoW(nullptr, L"#32770", &wc);
            wc.lpszClassName = L"VELLUM SFP WNDCLASS_INS";
            wc.hInstance = plat::ProgramModule();
            return RegisterClassW(&wc) != 0;
        }();
        ASSERT_TRUE(registered);
        ASSERT_TRUE(cfg::LoadSetupConfigText(kDoc));
        env::ReadProductTexts();
        m_folder = plat::ProgramFolder() + L"wiztest";
        RemoveTree(m_folder);
        CreateDirectoryW(m_folder.c_str(), nullptr);
        CreateDirectoryW((m_folder + L"\\Printer").c_str(), nullptr);
        CreateDirectoryW((m_folder + L"\\Scanner").c_str(), nullptr);
        ASSERT_TRUE(WriteBytes(m_folder + L"\\Printer\\wizk.inf", "[Version]\r\n"));
        ASSERT_TRUE(WriteBytes(m_folder + L"\\Scanner\\wizksc.inf", "[Version]\r\n"));
        host.m_Languages = {{L"Simplified_Chinese", L"简体中文"}, {L"English", L"English"}, {L"German", L"Deutsch"}};
        wcscpy(host.m_szLanguage, L"English");
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kUpdateToolKey) + L"\\Wiztest K10").c_str());
    }
    void TearDown() override {
        if (m_releaseWorker) {
            // Let a started install sequence end before the pages go.
            PumpUntil([&] { return host.m_nWizardState == kStateComplete; }, 20000);
            if (CDlg_Install* page = host.m_pInstallPage.get()) {
                if (page->m_hInstallThread) WaitForSingleObject(page->m_hInstallThread.get(), 20000);
                if (page->m_hCloseWizardThread) WaitForSingleObject(page->m_hCloseWizardThread.get(), 20000);
            }
        }
        RemoveTree(m_folder);
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kUpdateToolKey) + L"\\Wiztest K10").c_str());
    }

    // Creates the host window, which decides and shows its first page.
    HWND Open() {
        EXPECT_TRUE(host.Create(nullptr));
        ShowWindow(host.GetSafeHwnd(), SW_SHOWNOACTIVATE);
        return host.GetSafeHwnd();
    }
    HWND Options(int id) { return host.m_pOptionsPage->GetDlgItem(id); }
    HWND OnlyUsb(int id) { return host.m_pOnlyUsbPage->GetDlgItem(id); }
    void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
    // A selection made as the user makes it: the list's notification follows.
    void Choose(HWND combo, int index) {
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }
    bool Visible(int id) { return IsWindowVisible(Options(id)) != FALSE; }
    bool Checked(int id) { return IsDlgButtonChecked(host.m_pOptionsPage->GetSafeHwnd(), id) == BST_CHECKED; }
    bool CloseItemEnabled() {
        const UINT state = GetMenuState(GetSystemMenu(host.GetSafeHwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
    }
    // Holds the install worker (doInstall with recorded steps) and lets it
    // end before the test does.
    void ExpectInstallRun() { m_releaseWorker = true; }

    testsupport::ProgramResources m_resources;
    testsupport::FakeSystem system;
    testsupport::StepRecorder recorder;
    WizardHost host;
    std::wstring m_folder;
    bool m_releaseWorker = false;
};

}  // namespace

// --- Start page ---------------------------------------------------------------

TEST(StartPage, DecisionFromTheDetectedPrinters) {
    const auto models = Models({{L"3", L"K10 Dual"}, {L"1", L"K10 Dual"}, {L"1", L"K20"}, {L"2", L"K30"}});
    struct Case {
        const char* what;
        UsbPrinterList printers;
        bool onlyUsb, selectModel;
        const wchar_t* model;
        const wchar_t* port;
    } cases[] = {
        {"none", {}, false, false, L"", L""},
        {"one USB-only", {Printer(L"K20", L"USB003")}, true, false, L"K20", L"USB003"},
        {"a type 1 entry after another of the name", {Printer(L"K10 Dual", L"USB001")}, true, false, L"K10 Dual",
         L"USB001"},
        {"two of a USB-only model", {Printer(L"K20", L"USB002"), Printer(L"K20", L"USB004")}, false, true, L"K20",
         L"USB002"},
        {"one network model", {Printer(L"K30", L"USB001")}, false, true, L"K30", L"USB001"},
        {"two models", {Printer(L"K20", L"USB001"), Printer(L"K30", L"USB002")}, false, false, L"", L""},
        {"an unlisted model", {Printer(L"K99", L"USB007")}, false, true, L"K99", L"USB007"},
        {"model names compare exactly", {Printer(L"k20", L"USB001")}, false, true, L"k20", L"USB001"},
    };
    for (const Case& c : cases) {
        const StartPageChoice choice = DecideStartPage(models, c.printers);
        EXPECT_EQ(choice.onlyUsb, c.onlyUsb) << c.what;
        EXPECT_EQ(choice.selectModel, c.selectModel) << c.what;
        EXPECT_EQ(choice.model, c.model) << c.what;
        EXPECT_EQ(choice.port, c.port) << c.what;
    }
}

TEST_F(Wizard, OneUsbOnlyPrinterOpensTheUsbOnlyPage) {
    host.printers = {Printer(L"Wiztest K10", L"USB005")};
    HWND wnd = Open();
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(Text(wnd), L"Wiztest K10-K40");
    EXPECT_EQ(host.m_nWizardState, kStateOnlyUsb);
    ASSERT_TRUE(host.m_pOnlyUsbPage);
    EXPECT_FALSE(host.m_pOptionsPage);
    EXPECT_TRUE(IsWindowVisible(host.m_pOnlyUsbPage->GetSafeHwnd()));
    EXPECT_STREQ(host.m_szModel, L"Wiztest K10");
    EXPECT_STREQ(host.m_szUsbPort, L"USB005");
    EXPECT_EQ(host.m_Models.size(), 4u);
    EXPECT_STREQ(host.m_Models[3].type, L"4");
    EXPECT_STREQ(host.m_Models[3].name, L"Wiztest K40");
    EXPECT_STREQ(host.m_szLangSuffix, L"enus");
    wchar_t programFiles[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ProgramW6432", programFiles, MAX_PATH);
    EXPECT_STREQ(host.m_szProgramFiles, programFiles);

    // The host's client area is the page's.
    RECT hostClient, pageClient;
    GetClientRect(wnd, &hostClient);
    GetClientRect(host.m_pOnlyUsbPage->GetSafeHwnd(), &pageClient);
    EXPECT_TRUE(EqualRect(&hostClient, &pageClient));
    EXPECT_TRUE(CloseItemEnabled());

    // Its controls and texts.
    EXPECT_EQ(Text(OnlyUsb(IDC_ONLYUSB_LANGUAGE_LABEL)), env::MessageText(167));
    EXPECT_EQ(Text(OnlyUsb(IDC_ONLYUSB_USER_GUIDE)), env::MessageText(184));
    EXPECT_EQ(Text(OnlyUsb(IDC_ONLYUSB_LICENCE)), env::MessageText(179));
    EXPECT_EQ(Text(OnlyUsb(IDC_ONLYUSB_INSTALL)), env::MessageText(165));
    EXPECT_EQ(ComboText(OnlyUsb(IDC_ONLYUSB_LANGUAGE_LIST)), L"English");
    EXPECT_EQ(ComboItems(OnlyUsb(IDC_ONLYUSB_LANGUAGE_LIST)),
              (std::vector<std::wstring>{L"简体中文", L"English", L"Deutsch"}));
    EXPECT_EQ(IsDlgButtonChecked(host.m_pOnlyUsbPage->GetSafeHwnd(), IDC_ONLYUSB_AGREE), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(OnlyUsb(IDC_ONLYUSB_LANGUAGE_LIST)));
}

TEST_F(Wizard, SeveralPrintersOfOneModelSelectItOnTheOptionsPage) {
    struct Case {
        UsbPrinterList printers;
        const wchar_t* selected;
        const wchar_t* port;
    } cases[] = {
        {{Printer(L"Wiztest K10", L"USB002"), Printer(L"Wiztest K10", L"USB001")}, L"Wiztest K10", L"USB002"},
        {{Printer(L"Wiztest K20", L"USB003")}, L"Wiztest K20", L"USB003"},
        // The list's own search: the first entry beginning with the name.
        {{Printer(L"wiztest k3", L"USB004")}, L"Wiztest K30", L"USB004"},
        {{Printer(L"Wiztest K20", L"USB001"), Printer(L"Wiztest K40", L"USB002")}, L"Wiztest K10", L""},
        {{}, L"Wiztest K10", L""},
    };
    for (const Case& c : cases) {
        WizardHost local;
        local.m_Languages = host.m_Languages;
        wcscpy(local.m_szLanguage, L"English");
        local.printers = c.printers;
        ASSERT_TRUE(local.Create(nullptr));
        EXPECT_EQ(local.m_nWizardState, kStateOptions) << c.selected;
        EXPECT_FALSE(local.m_pOnlyUsbPage);
        ASSERT_TRUE(local.m_pOptionsPage);
        EXPECT_EQ(ComboText(local.m_pOptionsPage->GetDlgItem(IDC_OPTIONS_MODEL_LIST)), c.selected);
        EXPECT_STREQ(local.m_szUsbPort, c.port);
    }
}

// --- Options page ---------------------------------------------------------------

TEST_F(Wizard, OptionsPageControlsAndTexts) {
    host.m_hBmpDll = LoadLibraryW((plat::ProgramFolder() + L"..\\Bmprcx64.dll").c_str());
    host.m_bUseBmpDll = host.m_hBmpDll ? 1 : 0;
    HWND wnd = Open();
    ASSERT_TRUE(host.m_pOptionsPage);
    EXPECT_EQ(host.m_nWizardState, kStateOptions);
    EXPECT_TRUE(IsWindowVisible(host.m_pOptionsPage->GetSafeHwnd()));
    EXPECT_TRUE(CloseItemEnabled());
    RECT hostClient, pageClient;
    GetClientRect(wnd, &hostClient);
    GetClientRect(host.m_pOptionsPage->GetSafeHwnd(), &pageClient);
    EXPECT_TRUE(EqualRect(&hostClient, &pageClient));

    const std::pair<int, UINT> texts[] = {
        {IDC_OPTIONS_LANGUAGE_LABEL, 167}, {IDC_OPTIONS_MODEL_LABEL, 163},  {IDC_OPTIONS_METHOD_LABEL, 224},
        {IDC_OPTIONS_USB, 225},            {IDC_OPTIONS_USB_TEXT, 226},     {IDC_OPTIONS_WIRED, 227},
        {IDC_OPTIONS_WIRED_TEXT, 228},     {IDC_OPTIONS_WIRELESS, 229},     {IDC_OPTIONS_WIRELESS_TEXT, 230},
        {IDC_OPTIONS_USER_GUIDE, 184},     {IDC_OPTIONS_LICENCE, 179},      {IDC_OPTIONS_INSTALL, 165},
    };
    for (const auto& [id, textId] : texts) {
        EXPECT_FALSE(env::MessageText(textId).empty()) << textId;
        EXPECT_EQ(Text(Options(id)), env::MessageText(textId)) << id;
    }
    // Only the language libraries have texts 253 and 254.
    EXPECT_EQ(Text(Options(IDC_OPTIONS_ONEKEY)), L"Load String Error!");
    EXPECT_EQ(Text(Options(IDC_OPTIONS_ONEKEY_TEXT)), L"Load String Error!");

    EXPECT_EQ(ComboItems(Options(IDC_OPTIONS_MODEL_LIST)),
              (std::vector<std::wstring>{L"Wiztest K10", L"Wiztest K20", L"Wiztest K30", L"Wiztest K40"}));
    EXPECT_EQ(ComboText(Options(IDC_OPTIONS_MODEL_LIST)), L"Wiztest K10");
    EXPECT_EQ(ComboText(Options(IDC_OPTIONS_LANGUAGE_LIST)), L"English");
    EXPECT_TRUE(IsWindowEnabled(Options(IDC_OPTIONS_LANGUAGE_LIST)));
    EXPECT_TRUE(Checked(IDC_OPTIONS_AGREE));
    EXPECT_TRUE(IsWindowEnabled(Options(IDC_OPTIONS_INSTALL)));
    EXPECT_EQ(host.m_bPcOnWifi, 0);

    if (host.m_hBmpDll) {
        for (int id : {IDC_OPTIONS_USB_ICON, IDC_OPTIONS_WIRED_ICON, IDC_OPTIONS_WIRELESS_ICON, IDC_OPTIONS_ONEKEY_ICON})
            EXPECT_NE(SendMessageW(Options(id), STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << id;
    }

    // Clearing the agree box disables Install; ticking it enables it again.
    Click(Options(IDC_OPTIONS_AGREE));
    EXPECT_FALSE(Checked(IDC_OPTIONS_AGREE));
    EXPECT_FALSE(IsWindowEnabled(Options(IDC_OPTIONS_INSTALL)));
    Click(Options(IDC_OPTIONS_AGREE));
    EXPECT_TRUE(IsWindowEnabled(Options(IDC_OPTIONS_INSTALL)));

    // The language that is already selected changes nothing.
    Choose(Options(IDC_OPTIONS_LANGUAGE_LIST), 1);
    EXPECT_TRUE(IsWindow(wnd));
    EXPECT_EQ(host.m_nWizardState, kStateOptions);

    host.m_pOptionsPage.reset();
    if (host.m_hBmpDll) FreeLibrary(host.m_hBmpDll);
    host.m_hBmpDll = nullptr;
}

TEST_F(Wizard, LockedLanguageDisablesTheLanguageLists) {
    host.m_bLanguageLocked = 1;
    host.printers = {Printer(L"Wiztest K10", L"USB001")};
    Open();
    ASSERT_TRUE(host.m_pOnlyUsbPage);
    EXPECT_FALSE(IsWindowEnabled(OnlyUsb(IDC_ONLYUSB_LANGUAGE_LIST)));

    WizardHost options;
    options.m_Languages = host.m_Languages;
    wcscpy(options.m_szLanguage, L"German");
    options.m_bLanguageLocked = 1;
    ASSERT_TRUE(options.Create(nullptr));
    ASSERT_TRUE(options.m_pOptionsPage);
    HWND list = options.m_pOptionsPage->GetDlgItem(IDC_OPTIONS_LANGUAGE_LIST);
    EXPECT_FALSE(IsWindowEnabled(list));
    EXPECT_EQ(ComboText(list), L"Deutsch");
}

TEST_F(Wizard, ConnectionMethodsFollowTheModelType) {
    struct Case {
        int model;
        bool wifiAdapter;
        bool wired, wireless;
        int checked;
    } cases[] = {
        {0, true, false, false, IDC_OPTIONS_USB},     // type 1: USB only
        {1, true, true, false, IDC_OPTIONS_USB},      // type 2: USB and wired
        {2, false, true, true, IDC_OPTIONS_USB},      // type 3: everything
        {2, true, true, true, IDC_OPTIONS_ONEKEY},    // a Wi-Fi adapter preselects one-key wireless
        {3, false, false, true, IDC_OPTIONS_USB},     // type 4: USB and wireless
        {3, true, false, true, IDC_OPTIONS_ONEKEY},
    };
    Open();
    ASSERT_TRUE(host.m_pOptionsPage);
    for (const Case& c : cases) {
        host.wifiAdapter = c.wifiAdapter;
        // Away and back, so that every case is a change of selection.
        Choose(Options(IDC_OPTIONS_MODEL_LIST), c.model == 0 ? 1 : 0);
        Choose(Options(IDC_OPTIONS_MODEL_LIST), c.model);
        const std::string what = "model " + std::to_string(c.model) + (c.wifiAdapter ? " with Wi-Fi" : "");
        for (int id : {IDC_OPTIONS_USB, IDC_OPTIONS_USB_TEXT, IDC_OPTIONS_USB_ICON})
            EXPECT_TRUE(Visible(id)) << what << " " << id;
        for (int id : {IDC_OPTIONS_WIRED, IDC_OPTIONS_WIRED_TEXT, IDC_OPTIONS_WIRED_ICON})
            EXPECT_EQ(Visible(id), c.wired) << what << " " << id;
        for (int id : {IDC_OPTIONS_WIRELESS, IDC_OPTIONS_WIRELESS_TEXT, IDC_OPTIONS_WIRELESS_ICON, IDC_OPTIONS_ONEKEY,
                       IDC_OPTIONS_ONEKEY_ICON, IDC_OPTIONS_ONEKEY_TEXT})
            EXPECT_EQ(Visible(id), c.wireless) << what << " " << id;
        for (int id : {IDC_OPTIONS_USB, IDC_OPTIONS_ONEKEY, IDC_OPTIONS_WIRED, IDC_OPTIONS_WIRELESS})
            EXPECT_EQ(Checked(id), id == c.checked) << what << " " << id;
    }

    // Selecting the entry that is already selected keeps the user's method.
    host.wifiAdapter = false;
    Choose(Options(IDC_OPTIONS_MODEL_LIST), 2);
    Click(Options(IDC_OPTIONS_WIRED));
    Choose(Options(IDC_OPTIONS_MODEL_LIST), 2);
    EXPECT_TRUE(Checked(IDC_OPTIONS_WIRED));
    EXPECT_FALSE(Checked(IDC_OPTIONS_USB));
}

TEST_F(Wizard, PrinterPluggedInSelectsItsModelOnlyOnTheOptionsPage) {
    HWND wnd = Open();
    ASSERT_TRUE(host.m_pOptionsPage);
    EXPECT_EQ(ComboText(Options(IDC_OPTIONS_MODEL_LIST)), L"Wiztest K10");

    host.printers = {Printer(L"Wiztest K20", L"USB007"), Printer(L"Wiztest K40", L"USB008")};
    // Other device events are only traced.
    EXPECT_EQ(SendMessageW(wnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0), TRUE);
    EXPECT_EQ(ComboText(Options(IDC_OPTIONS_MODEL_LIST)), L"Wiztest K10");

    EXPECT_EQ(SendMessageW(wnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), TRUE);
    EXPECT_EQ(ComboText(Options(IDC_OPTIONS_MODEL_LIST)), L"Wiztest K20");
    EXPECT_STREQ(host.m_szUsbPort, L"USB007");
    EXPECT_TRUE(Visible(IDC_OPTIONS_WIRED));
    EXPECT_FALSE(Visible(IDC_OPTIONS_WIRELESS));

    // All unplugged: the model list is enabled, the choice stays.
    EnableWindow(Options(IDC_OPTIONS_MODEL_LIST), FALSE);
    host.printers.clear();
    SendMessageW(wnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    EXPECT_TRUE(IsWindowEnabled(Options(IDC_OPTIONS_MODEL_LIST)));
    EXPECT_EQ(ComboText(Options(IDC_OPTIONS_MODEL_LIST)), L"Wiztest K20");

    // While searching nothing changes.
    host.printers = {Printer(L"Wiztest K40", L"USB009")};
    host.m_nWizardState = kStateNetSearch;
    const int before = host.detections;
    SendMessageW(wnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    EXPECT_EQ(host.detections, before);
    EXPECT_EQ(ComboText(Options(IDC_OPTIONS_MODEL_LIST)), L"Wiztest K20");
    EXPECT_STREQ(host.m_szUsbPort, L"USB007");
}

TEST_F(Wizard, InstallChoicesThatStayOnTheOptionsPage) {
    Open();
    ASSERT_TRUE(host.m_pOptionsPage);
    HWND page = host.m_pOptionsPage->GetSafeHwnd();

    // USB with no printer connected: question 197, No keeps the page.
    system.boxAnswer = IDNO;
    Click(Options(IDC_OPTIONS_INSTALL));
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, env::MessageText(197));
    EXPECT_EQ(system.boxes[0].caption, env::MessageText(156));
    EXPECT_EQ(system.boxes[0].style, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(host.m_nWizardState, kStateOptions);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_FALSE(host.m_pInstallPage);
    EXPECT_STREQ(host.m_szModel, L"Wiztest K10");

    // One-key wireless: text 250 without the printer, 251 without Wi-Fi.
    Choose(Options(IDC_OPTIONS_MODEL_LIST), 2);
    Click(Options(IDC_OPTIONS_ONEKEY));
    system.boxes.clear();
    Click(Options(IDC_OPTIONS_INSTALL));
    host.printers = {Printer(L"Wiztest K30", L"USB001")};
    Click(Options(IDC_OPTIONS_INSTALL));
    ASSERT_EQ(system.boxes.size(), 2u);
    EXPECT_EQ(system.boxes[0].text, env::MessageText(250));
    EXPECT_EQ(system.boxes[0].style, static_cast<UINT>(MB_OK));
    EXPECT_EQ(system.boxes[1].text, env::MessageText(251));
    EXPECT_EQ(host.m_nWizardState, kStateOptions);
    EXPECT_EQ(host.m_bPcOnWifi, 0);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_TRUE(host.exits.empty());

    // Right-to-left languages box right to left.
    wcscpy(host.m_szLanguage, L"Hebrew");
    host.printers.clear();
    system.boxes.clear();
    Click(Options(IDC_OPTIONS_INSTALL));
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].style, static_cast<UINT>(MB_OK | MB_RIGHT | MB_RTLREADING));
}

TEST_F(Wizard, InstallChoicesThatLeaveTheOptionsPage) {
    struct Case {
        int radio;
        bool printer;
        const wchar_t* wlan;
        int state;
        int connectType;
    } cases[] = {
        {IDC_OPTIONS_WIRED, false, L"", kStateNetSearch, 2},
        {IDC_OPTIONS_WIRELESS, false, L"", kStateAskWifi, 2},
        {IDC_OPTIONS_ONEKEY, true, L"Office", kStateWifiConfig, 2},
    };
    for (const Case& c : cases) {
        WizardHost local;
        local.m_Languages = host.m_Languages;
        wcscpy(local.m_szLanguage, L"English");
        ASSERT_TRUE(local.Create(nullptr));
        ShowWindow(local.GetSafeHwnd(), SW_SHOWNOACTIVATE);  // radio groups skip hidden buttons
        CDlg_InstallForAll& page = *local.m_pOptionsPage;
        Choose(page.GetDlgItem(IDC_OPTIONS_MODEL_LIST), 2);
        Click(page.GetDlgItem(c.radio));
        if (c.printer) local.printers = {Printer(L"Wiztest K30", L"USB002")};
        local.wlanProfile = c.wlan;
        Click(page.GetDlgItem(IDC_OPTIONS_INSTALL));
        EXPECT_EQ(local.m_nWizardState, c.state) << c.radio;
        EXPECT_EQ(local.m_nConnectType, c.connectType) << c.radio;
        EXPECT_FALSE(IsWindowVisible(page.GetSafeHwnd())) << c.radio;
        EXPECT_STREQ(local.m_szModel, L"Wiztest K30");
        EXPECT_EQ(local.m_bPcOnWifi, *c.wlan ? 1 : 0);
        EXPECT_TRUE(system.boxes.empty());
    }
}

// The USB road on the options page: question 197 answered Yes, the install
// page with its worker (recorded steps), the completion page, and the end
// of the wizard three seconds later with the update-tool record written.
TEST_F(Wizard, UsbInstallRunsToTheEndOfTheWizard) {
    HWND wnd = Open();
    ASSERT_TRUE(host.m_pOptionsPage);
    system.boxAnswer = IDYES;
    ExpectInstallRun();
    Click(Options(IDC_OPTIONS_INSTALL));
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, env::MessageText(197));
    EXPECT_EQ(host.m_bUsbPrinterFound, 0);
    EXPECT_EQ(host.m_nConnectType, 1);
    EXPECT_FALSE(IsWindowVisible(host.m_pOptionsPage->GetSafeHwnd()));
    ASSERT_TRUE(host.m_pInstallPage);
    EXPECT_TRUE(IsWindowVisible(host.m_pInstallPage->GetSafeHwnd()));
    EXPECT_FALSE(CloseItemEnabled());

    // Close while installing does nothing (the worker's end waits in the
    // queue until the test pumps it).
    EXPECT_EQ(host.m_nWizardState, kStateInstalling);
    SendMessageW(wnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(wnd));
    EXPECT_EQ(system.boxes.size(), 1u);

    ASSERT_TRUE(PumpUntil([&] { return host.m_pCompletePage != nullptr; }, 20000));
    const auto shown = std::chrono::steady_clock::now();
    EXPECT_EQ(host.m_nWizardState, kStateComplete);
    EXPECT_TRUE(IsWindowVisible(host.m_pCompletePage->GetSafeHwnd()));
    EXPECT_TRUE(CloseItemEnabled());
    EXPECT_EQ(Text(host.m_pCompletePage->GetDlgItem(IDC_COMPLETE_TEXT)), L"安装完成");
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\MyUpdateTool\\Wiztest K10", 0, KEY_READ, &key),
              ERROR_SUCCESS);

    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(wnd); }, 10000)) << "the wizard did not end";
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - shown);
    EXPECT_GE(waited.count(), 2900);
    EXPECT_LT(waited.count(), 6000);
    EXPECT_EQ(system.boxes.size(), 1u) << "the wizard ended with a question";
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\MyUpdateTool\\Wiztest K10", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    wchar_t version[64] = {};
    DWORD size = sizeof(version) - sizeof(wchar_t), type = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"CurrentVersion", nullptr, &type, reinterpret_cast<BYTE*>(version), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(version, L"9.8.7.6");
}

TEST_F(Wizard, UsbOnlyPageInstallsTheConnectedPrinter) {
    host.printers = {Printer(L"Wiztest K10", L"USB003")};
    Open();
    ASSERT_TRUE(host.m_pOnlyUsbPage);
    HWND page = host.m_pOnlyUsbPage->GetSafeHwnd();

    Click(OnlyUsb(IDC_ONLYUSB_AGREE));
    EXPECT_FALSE(IsWindowEnabled(OnlyUsb(IDC_ONLYUSB_INSTALL)));
    Click(OnlyUsb(IDC_ONLYUSB_AGREE));
    EXPECT_TRUE(IsWindowEnabled(OnlyUsb(IDC_ONLYUSB_INSTALL)));

    // Unplugged before Install: question 197, No stays.
    host.printers.clear();
    system.boxAnswer = IDNO;
    Click(OnlyUsb(IDC_ONLYUSB_INSTALL));
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, env::MessageText(197));
    EXPECT_EQ(host.m_nWizardState, kStateOnlyUsb);
    EXPECT_TRUE(IsWindowVisible(page));

    host.printers = {Printer(L"Wiztest K10", L"USB003")};
    ExpectInstallRun();
    Click(OnlyUsb(IDC_ONLYUSB_INSTALL));
    EXPECT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(host.m_bUsbPrinterFound, 1);
    EXPECT_EQ(host.m_nConnectType, 1);
    EXPECT_FALSE(IsWindowVisible(page));
    ASSERT_TRUE(host.m_pInstallPage);
    EXPECT_TRUE(PumpUntil([&] { return host.m_nWizardState == kStateComplete; }, 20000));
}

// --- Host operations ------------------------------------------------------------

TEST_F(Wizard, ClosePolicyPerState) {
    struct Case {
        int state;
        int answer;
        bool asks, closes;
    } cases[] = {
        {kStateOnlyUsb, IDOK, true, true},       {kStateOptions, IDCANCEL, true, false},
        {kStateOptions, IDOK, true, true},       {kStateAskWifi, IDOK, true, true},
        {kStateWifiConfig, IDCANCEL, true, false}, {kStateNetSearch, IDOK, false, false},
        {kStateNetPrinters, IDOK, true, true},   {kStateInstalling, IDOK, false, false},
        {kStateComplete, IDCANCEL, false, true},
    };
    for (const Case& c : cases) {
        WizardHost local;
        ASSERT_TRUE(local.Create(nullptr));
        HWND wnd = local.GetSafeHwnd();
        local.m_nWizardState = c.state;
        system.boxes.clear();
        system.boxAnswer = c.answer;
        SendMessageW(wnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(system.boxes.size(), c.asks ? 1u : 0u) << c.state;
        if (c.asks && !system.boxes.empty()) {
            EXPECT_EQ(system.boxes[0].text, env::MessageText(157));
            EXPECT_EQ(system.boxes[0].caption, env::MessageText(156));
            EXPECT_EQ(system.boxes[0].style, static_cast<UINT>(MB_OKCANCEL));
        }
        EXPECT_EQ(!IsWindow(wnd), c.closes) << c.state;
    }
}

TEST_F(Wizard, CheckBeforeInstallPaths) {
    Open();
    const std::wstring printerInf = m_folder + L"\\Printer\\wizk.inf";
    const std::wstring scannerInf = m_folder + L"\\Scanner\\wizksc.inf";
    struct Case {
        const char* what;
        bool printerInf, scannerInf;
        const wchar_t* model;
        const wchar_t* multiFunc;
        ULONGLONG freeBytes;
        bool result;
        const wchar_t* box;  // text of the message, or null
        bool exits;
    } cases[] = {
        {"all there", true, true, L"Wiztest K30", L"1", 1ULL << 32, true, nullptr, false},
        {"printer INF missing", false, true, L"Wiztest K30", L"1", 1ULL << 32, false, L"wizk.inf", true},
        {"scanner INF missing", true, false, L"Wiztest K30", L"1", 1ULL << 32, false, L"wizksc.inf", true},
        {"scanner INF missing, not multi-function", true, false, L"Wiztest K30", L"0", 1ULL << 32, true, nullptr,
         false},
        {"no scanner INF for the model", true, false, L"Wiztest K20", L"1", 1ULL << 32, true, nullptr, false},
        {"disk full", true, true, L"Wiztest K30", L"1", 100ULL << 20, false, L"", false},
    };
    for (const Case& c : cases) {
        if (c.printerInf) WriteBytes(printerInf, "x"); else DeleteFileW(printerInf.c_str());
        if (c.scannerInf) WriteBytes(scannerInf, "x"); else DeleteFileW(scannerInf.c_str());
        wcscpy(host.m_szModel, c.model);
        wcscpy(g_szMultiFuncType, c.multiFunc);
        system.freeBytes = c.freeBytes;
        system.boxes.clear();
        host.exits.clear();

        EXPECT_EQ(host.CheckBeforeInstall(), c.result) << c.what;
        EXPECT_EQ(host.exits, c.exits ? std::vector<UINT>{1} : std::vector<UINT>{}) << c.what;
        if (!c.box) {
            EXPECT_TRUE(system.boxes.empty()) << c.what;
        } else if (*c.box) {
            ASSERT_EQ(system.boxes.size(), 1u) << c.what;
            EXPECT_EQ(system.boxes[0].text, std::wstring(c.box) + env::MessageText(201)) << c.what;
            EXPECT_EQ(system.boxes[0].style, static_cast<UINT>(MB_ICONEXCLAMATION)) << c.what;
            EXPECT_EQ(system.boxes[0].caption, env::MessageText(156)) << c.what;
        } else {
            EXPECT_EQ(system.boxes.size(), 1u) << c.what;  // the disk space message
        }
    }
    wcscpy(g_szMultiFuncType, L"1");
}

TEST(UserGuide, EnglishOnAHebrewWindowsOpensTheIsraelGuide) {
    EXPECT_EQ(UserGuideKey(L"English", 1037), L"Israel");
    EXPECT_EQ(UserGuideKey(L"English", 1033), L"English");
    EXPECT_EQ(UserGuideKey(L"Hebrew", 1037), L"Hebrew");
    EXPECT_EQ(UserGuideKey(L"German", 1037), L"German");
}

TEST_F(Wizard, UserGuideMissingUnopenableAndOpened) {
    Open();
    // English: the file is missing.
    host.ShowUserGuide();
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, env::MessageText(174));
    EXPECT_EQ(system.boxes[0].style, static_cast<UINT>(MB_ICONEXCLAMATION));

    // There, but nothing opens that kind of file.
    ASSERT_TRUE(WriteBytes(m_folder + L"\\guide_en.wizguide", "guide"));
    system.boxes.clear();
    host.ShowUserGuide();
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, env::MessageText(175));

    // A guide that opens (a program here, so that its start can be seen).
    ASSERT_TRUE(CopyFileW((plat::ProgramFolder() + L"record_args.exe").c_str(),
                          (m_folder + L"\\guide_fr.exe").c_str(), FALSE));
    wcscpy(host.m_szLanguage, L"French");
    system.boxes.clear();
    host.ShowUserGuide();
    EXPECT_TRUE(system.boxes.empty());
    EXPECT_TRUE(PumpUntil([&] { return GetFileAttributesW((m_folder + L"\\guide_fr.ran").c_str()) !=
                                       INVALID_FILE_ATTRIBUTES; },
                          10000));
}

// --- Licence --------------------------------------------------------------------

TEST(Licence, ReadsUtf16WithMarkAndAnsiAndCutsLongTexts) {
    wchar_t tmp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tmp);
    const std::wstring path = std::wstring(tmp) + L"wiztest-licence.txt";
    const std::wstring chinese = L"许可协议\r\n第一条：Überall gültig.";
    const std::wstring max(kMaxLicenceChars, L'a');

    // Text in the ANSI code page: whatever that page can hold of this one.
    const std::wstring ansiText = L"Licence agreement\r\nClause 1: caf\u00e9.";
    BOOL lossy = FALSE;
    std::string ansi(64, '\0');
    ansi.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, ansiText.c_str(), -1, ansi.data(), 64, nullptr,
                                                       &lossy)) - 1);

    struct Case {
        const char* what;
        std::string bytes;
        std::wstring expected;
    } cases[] = {
        {"UTF-16 with mark", Utf16File(chinese), chinese},
        {"ANSI", ansi, lossy ? plat::AnsiToWide(ansi) : ansiText},
        {"empty", "", L""},
        {"only the mark", "\xFF\xFE", L""},
        {"UTF-16 of the longest length", Utf16File(max), max},
        {"UTF-16 one too long", Utf16File(max + L"b"), max},
        {"UTF-16 far too long", Utf16File(std::wstring(50000, L'x')), std::wstring(kMaxLicenceChars, L'x')},
        {"ANSI of the longest length", std::string(kMaxLicenceChars, 'a'), max},
        {"ANSI far too long", std::string(3 * kMaxLicenceChars, 'a'), max},
        {"UTF-16 with an odd byte at the end", Utf16File(L"ab") + "c", L"ab"},
        {"a mark the wrong way round is ANSI", "\xFE\xFF", plat::AnsiToWide("\xFE\xFF")},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        std::wstring text = L"stale";
        EXPECT_TRUE(ReadLicenceText(path, text)) << c.what;
        EXPECT_EQ(text.size(), c.expected.size()) << c.what;
        EXPECT_TRUE(text == c.expected) << c.what;
    }
    DeleteFileW(path.c_str());
    std::wstring text;
    EXPECT_FALSE(ReadLicenceText(path, text));
}

namespace {
// What the licence dialog showed, read by a timer while it runs modally.
struct LicenceView {
    std::wstring caption, instruction, back, text;
    DWORD selStart = 99, selEnd = 99;
    LRESULT firstLine = 99;
    bool seen = false;
};
LicenceView g_view;

void CALLBACK ReadAndCloseLicence(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND wnd, LPARAM out) -> BOOL {
            if (GetDlgItem(wnd, IDC_AGREEMENT_TEXT) && IsWindowVisible(wnd)) {
                *reinterpret_cast<HWND*>(out) = wnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, timer);
    g_view.seen = true;
    g_view.caption = Text(dialog);
    g_view.instruction = Text(GetDlgItem(dialog, IDC_AGREEMENT_INSTRUCTION));
    g_view.back = Text(GetDlgItem(dialog, IDC_AGREEMENT_BACK));
    const int length = GetWindowTextLengthW(GetDlgItem(dialog, IDC_AGREEMENT_TEXT));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetDlgItemTextW(dialog, IDC_AGREEMENT_TEXT, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    g_view.text = text;
    SendMessageW(GetDlgItem(dialog, IDC_AGREEMENT_TEXT), EM_GETSEL, reinterpret_cast<WPARAM>(&g_view.selStart),
                 reinterpret_cast<LPARAM>(&g_view.selEnd));
    g_view.firstLine = SendMessageW(GetDlgItem(dialog, IDC_AGREEMENT_TEXT), EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageW(GetDlgItem(dialog, IDC_AGREEMENT_BACK), BM_CLICK, 0, 0);
}
}  // namespace

TEST_F(Wizard, LicenceLinkShowsTheTextUntilBack) {
    HWND wnd = Open();
    ASSERT_TRUE(host.m_pOptionsPage);
    const std::wstring licence = L"许可协议\r\n" + std::wstring(kMaxLicenceChars, L'z');
    ASSERT_TRUE(WriteBytes(m_folder + L"\\Licence_en.txt", Utf16File(licence)));

    for (int run = 0; run < 2; ++run) {
        g_view = {};
        SetTimer(nullptr, 0, 100, ReadAndCloseLicence);
        NMHDR click = {Options(IDC_OPTIONS_LICENCE), static_cast<UINT_PTR>(IDC_OPTIONS_LICENCE),
                       static_cast<UINT>(NM_CLICK)};
        SendMessageW(host.m_pOptionsPage->GetSafeHwnd(), WM_NOTIFY, IDC_OPTIONS_LICENCE,
                     reinterpret_cast<LPARAM>(&click));
        ASSERT_TRUE(g_view.seen) << run;
        EXPECT_EQ(g_view.caption, env::MessageText(156));
        EXPECT_EQ(g_view.instruction, env::MessageText(178));
        EXPECT_EQ(g_view.back, env::MessageText(237));
        EXPECT_EQ(g_view.text.size(), kMaxLicenceChars);
        EXPECT_TRUE(g_view.text == licence.substr(0, kMaxLicenceChars)) << run;
        // Shown from its first line, nothing selected.
        EXPECT_EQ(g_view.firstLine, 0);
        EXPECT_EQ(g_view.selStart, 0u);
        EXPECT_EQ(g_view.selEnd, 0u);
        EXPECT_TRUE(IsWindowEnabled(wnd)) << "the wizard stays disabled after the licence";
    }
    ASSERT_TRUE(host.m_pAgreement);

    // No licence file for the language: nothing opens.
    wcscpy(host.m_szLanguage, L"German");
    host.m_pAgreement.reset();
    host.ShowLicence();
    EXPECT_FALSE(host.m_pAgreement);
}

// --- Relaunch and keys ----------------------------------------------------------

TEST_F(Wizard, RelaunchCommandLineAndTheStatesThatAllowIt) {
    EXPECT_EQ(RelaunchCommandLine(L"C:\\Setup Folder\\drvinst64.exe", L"Simplified_Chinese"),
              L"\"C:\\Setup Folder\\drvinst64.exe\" -install -Languange Simplified_Chinese ");

    // After the options pages nothing is started and the wizard stays.
    for (int state : {kStateAskWifi, kStateWifiConfig, kStateNetSearch, kStateInstalling, kStateComplete}) {
        WizardHost local;
        ASSERT_TRUE(local.Create(nullptr));
        local.m_nWizardState = state;
        local.RelaunchWithLanguage(L"English");
        EXPECT_TRUE(IsWindow(local.GetSafeHwnd())) << state;
    }
}

TEST(KeyFilter, HostAndPages) {
    auto key = [](UINT message, WPARAM vk, LPARAM lParam = 0) {
        MSG m = {};
        m.message = message;
        m.wParam = vk;
        m.lParam = lParam;
        return m;
    };
    struct Case {
        MSG msg;
        bool host, page, options;
    } cases[] = {
        {key(WM_KEYDOWN, VK_RETURN), true, true, true},
        {key(WM_KEYDOWN, VK_ESCAPE), true, true, true},
        {key(WM_KEYDOWN, VK_SPACE), true, true, true},
        {key(WM_SYSKEYDOWN, VK_F4, 0x203E0001), true, true, true},
        {key(WM_KEYDOWN, VK_SUBTRACT), true, true, true},
        {key(WM_KEYDOWN, VK_INSERT), true, true, true},
        {key(WM_KEYDOWN, VK_CANCEL), true, true, true},
        {key(WM_KEYDOWN, 'A', 0x2000), true, true, true},
        {key(WM_KEYDOWN, VK_LEFT), false, true, true},
        {key(WM_KEYDOWN, VK_DOWN), false, true, true},
        {key(WM_KEYDOWN, 'P'), false, false, true},
        {key(WM_KEYDOWN, 'A'), false, false, false},
        {key(WM_KEYDOWN, VK_TAB), false, false, false},
        {key(WM_KEYUP, VK_RETURN), false, false, false},
        {key(WM_CHAR, 'P'), false, false, false},
        {key(WM_SYSKEYDOWN, VK_RETURN), false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsFilteredWizardKey(c.msg), c.host) << c.msg.message << " " << c.msg.wParam;
        EXPECT_EQ(IsFilteredPageKey(c.msg, false), c.page) << c.msg.message << " " << c.msg.wParam;
        EXPECT_EQ(IsFilteredPageKey(c.msg, true), c.options) << c.msg.message << " " << c.msg.wParam;
    }
}

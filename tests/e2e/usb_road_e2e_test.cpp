// Whole USB installations of the demo product by the real drvinst64.exe,
// driven through its windows, with simulated USB printers connected. After
// each run the test reads what the program left in the prefix: spooler
// objects, registry records, shortcuts and files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <regstr.h>
#include <winspool.h>

#include <set>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tests/support/test_files.h"
#include "tests/support/windows_state.h"
#include "tools/uidriver/uidrive.h"
#include "tools/usbdev/usb_devices.h"

using ::testing::HasSubstr;
using ::testing::Not;
using testsupport::Link;
using testsupport::LocalQueues;
using testsupport::Queue;
using testsupport::ReadLink;
using uidrive::Process;

namespace {

const wchar_t kInstallClass[] = L"VELLUM SFP WNDCLASS_INS";
const wchar_t kVendorDevices[] = L"USB\\VID_2F1A";
// Controls: options page (model list, USB method, Install), USB-only dialog
// (its language label), install page (progress bar), completion page (text).
constexpr int kInstall = 1005, kModelList = 1010, kUsbRadio = 1011, kUsbOnlyLabel = 1001;
constexpr int kProgressBar = 1028, kCompleteText = 1043;

const wchar_t* const kModels[] = {L"Tavrin K7820", L"Tavrin K7850", L"Tavrin K7860", L"Tavrin K7860W"};
const wchar_t kVersion[] = L"3.12.0.418";

struct DemoPrinter {
    const wchar_t* model;
    const wchar_t* usbId;     // USB\VID&PID of the model
    const wchar_t* function;  // the printer function it enumerates
    const wchar_t* fax;       // fax driver name, or null
    const wchar_t* type;      // product key "Type" of the model
};
const DemoPrinter kK7820 = {L"Tavrin K7820", L"USB\\VID_2F1A&PID_0101", L"USBPRINT\\TavrinK78206B2E", nullptr,
                            L"Printer"};
const DemoPrinter kK7850 = {L"Tavrin K7850", L"USB\\VID_2F1A&PID_0102", L"USBPRINT\\TavrinK7850C4D1",
                            L"Tavrin K7850 Fax", L"MFP"};
const DemoPrinter kK7860W = {L"Tavrin K7860W", L"USB\\VID_2F1A&PID_0104", L"USBPRINT\\TavrinK7860W5B10",
                             L"Tavrin K7860W Fax", L"MFP"};

std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

std::wstring KnownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return path;
}
std::wstring SystemFolder() {
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return path;
}
std::wstring WindowsFolder() {
    wchar_t path[MAX_PATH] = {};
    GetWindowsDirectoryW(path, MAX_PATH);
    return path;
}
bool FileExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// --- Registry ------------------------------------------------------------

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Text of a REG_SZ value; "<missing>" or "<type N>" otherwise. The product
// writes no terminator, so the text is cut at the stored size.
std::wstring RegText(HKEY root, const std::wstring& path, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<missing>";
    wchar_t data[2048] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t), type = 0;
    const LONG rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return L"<missing>";
    if (type != REG_SZ) return L"<type " + std::to_wstring(type) + L">";
    std::wstring text(data, size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

std::set<std::wstring> ValueNames(HKEY root, const std::wstring& path) {
    std::set<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256] = {};
        DWORD length = 256;
        if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.insert(name);
    }
    RegCloseKey(key);
    return names;
}

std::vector<std::wstring> SubkeysStartingWith(HKEY root, const std::wstring& path, const std::wstring& prefix) {
    std::vector<std::wstring> found;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return found;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256] = {};
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (_wcsnicmp(name, prefix.c_str(), prefix.size()) == 0) found.push_back(name);
    }
    RegCloseKey(key);
    return found;
}

// A key with everything below it.
void DeleteTree(HKEY root, const std::wstring& path) {
    RegDeleteTreeW(root, path.c_str());
    RegDeleteKeyW(root, path.c_str());
}

// --- Spooler ---------------------------------------------------------------

std::wstring DefaultPrinter() {
    wchar_t name[512] = {};
    DWORD size = 512;
    return GetDefaultPrinterW(name, &size) ? name : L"";
}

// The INF files of the system's INF folder that hold exactly `content`.
std::vector<std::wstring> InfStoreCopiesOf(const std::string& content) {
    std::vector<std::wstring> copies;
    const std::wstring folder = WindowsFolder() + L"\\inf\\";
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"*.inf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return copies;
    do {
        if (!content.empty() && testsupport::ReadBytes(folder + found.cFileName) == content) copies.push_back(folder + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return copies;
}

// --- The fixture -------------------------------------------------------------

class UsbRoad : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }

    void SetUp() override {
        setup = e2e::DemoSetupFolder();
        ASSERT_FALSE(setup.empty()) << "DRV_DEMO_SETUP is not set";
        ASSERT_TRUE(FileExists(setup + L"\\drvinst64.exe")) << "no laid-out demo setup folder at " << setup;
        ForgetInstallation();
    }
    void TearDown() override {
        if (program.Running()) program.Kill();
        DisconnectAll();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\drvinst64.exe");
    }

    static void DisconnectAll() {
        for (const std::wstring& id : usbdev::ListDevices(kVendorDevices)) usbdev::RemoveUsbPrinter(id);
    }

    void Connect(const DemoPrinter& printer, const wchar_t* serial, DWORD port) {
        usbdev::UsbPrinter device;
        device.instanceId = std::wstring(printer.usbId) + L"\\" + serial;
        device.port = port;
        device.functions = {printer.function};
        std::wstring error;
        ASSERT_TRUE(usbdev::AddUsbPrinter(device, &error)) << error;
    }

    // Everything an earlier installation of the product left behind, so
    // each road starts from a machine without it.
    static void ForgetInstallation() {
        DisconnectAll();
        for (const Queue& q : LocalQueues()) {
            if (q.name.rfind(L"Tavrin", 0) != 0) continue;
            HANDLE printer = nullptr;
            PRINTER_DEFAULTSW access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
            if (OpenPrinterW(const_cast<wchar_t*>(q.name.c_str()), &printer, &access)) {
                DeletePrinter(printer);
                ClosePrinter(printer);
            }
        }
        wchar_t environment[] = L"Windows x64";
        for (const std::wstring& driver : testsupport::PrinterDriverNames())
            if (driver.rfind(L"Tavrin", 0) == 0)
                DeletePrinterDriverExW(nullptr, environment, const_cast<wchar_t*>(driver.c_str()), 0, 0);
        for (const wchar_t* root : {L"Software", L"SOFTWARE\\Wow6432Node",
                                    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"})
            for (const std::wstring& name : SubkeysStartingWith(HKEY_LOCAL_MACHINE, root, L"Tavrin"))
                DeleteTree(HKEY_LOCAL_MACHINE, std::wstring(root) + L"\\" + name);
        HKEY run = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                          KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
            RegDeleteValueW(run, L"TavrinK78Status");
            RegCloseKey(run);
        }
        DeleteTree(HKEY_CURRENT_USER, L"Software\\MyUpdateTool");
        for (const std::wstring& folder :
             {KnownFolder(CSIDL_PROGRAM_FILES) + L"\\Tavrin", SystemFolder() + L"\\Tavrin",
              KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tavrin", KnownFolder(CSIDL_COMMON_APPDATA) + L"\\Tavrin"})
            testsupport::RemoveTree(folder);
        DeleteFileW((WindowsFolder() + L"\\DriverPackages.log").c_str());
        for (const std::wstring& inf : InfStoreCopiesOf(testsupport::ReadBytes(DemoPrinterInf()))) DeleteFileW(inf.c_str());
    }

    void PretendVista() {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\drvinst64.exe", 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const wchar_t vista[] = L"vista";
        RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(vista), sizeof(vista));
        RegCloseKey(key);
    }

    HWND Start() {
        EXPECT_TRUE(program.Start(Quoted(setup + L"\\drvinst64.exe") + L" -install -Languange English", setup));
        HWND host = uidrive::WaitForWindow(program.Id(), kInstallClass, 30000);
        EXPECT_NE(host, nullptr) << "no install wizard window";
        if (host) {
            EXPECT_NE(uidrive::WaitForControl(host, kInstall, 10000), nullptr) << "no Install button";
        }
        return host;
    }

    // Clicks Install on the page shown, tries to close the wizard while it
    // installs, then waits for the completion page and the end of the
    // wizard, which is expected about three seconds after that page.
    void InstallToTheEnd(HWND host) {
        ASSERT_TRUE(uidrive::Click(host, kInstall));
        FollowInstallToTheEnd(host);
    }
    void FollowInstallToTheEnd(HWND host) {
        ASSERT_NE(uidrive::WaitForControl(host, kProgressBar, 20000), nullptr) << "no install page";
        PostMessageW(host, WM_CLOSE, 0, 0);
        EXPECT_EQ(uidrive::WaitForMessageBox(program.Id(), 1500), nullptr) << "closing while installing asked";
        EXPECT_TRUE(program.Running()) << "the wizard closed while installing";

        ASSERT_NE(uidrive::WaitForControl(host, kCompleteText, 180000), nullptr) << "no completion page";
        const ULONGLONG shown = GetTickCount64();
        EXPECT_EQ(uidrive::WindowText(uidrive::FindControl(host, kCompleteText)), L"Installation complete");
        DWORD code = 99;
        ASSERT_TRUE(program.Wait(30000, &code)) << "the wizard did not end after the completion page";
        const ULONGLONG open = GetTickCount64() - shown;
        EXPECT_GE(open, 2500u);
        EXPECT_LE(open, 12000u);
        EXPECT_EQ(code, 0u);
    }

    // Everything a USB installation of `printer` on `port` leaves behind,
    // except what depends on the operating system's road.
    void ExpectInstalled(const DemoPrinter& printer, const std::wstring& port) {
        const std::wstring model = printer.model;
        SCOPED_TRACE(model);
        // Spooler: the driver, the USB queue, the default printer.
        EXPECT_THAT(testsupport::PrinterDriverNames(), testing::Contains(model));
        bool queueFound = false;
        for (const Queue& q : LocalQueues()) {
            if (q.name != model) continue;
            queueFound = true;
            EXPECT_EQ(q.port, port);
            EXPECT_EQ(q.driver, model);
        }
        EXPECT_TRUE(queueFound) << "no queue " << testing::PrintToString(model);
        EXPECT_EQ(DefaultPrinter(), model);

        // Product keys: the model's printer and fax names and every model.
        const std::wstring programFiles = KnownFolder(CSIDL_PROGRAM_FILES);
        std::vector<std::pair<std::wstring, std::wstring>> records;  // name, type
        records.push_back({model, printer.type});
        if (printer.fax) records.push_back({printer.fax, L"Fax"});
        for (const wchar_t* other : kModels)
            if (model != other) records.push_back({other, other == std::wstring(L"Tavrin K7820") ? L"Printer" : L"MFP"});
        for (const auto& [name, type] : records) {
            SCOPED_TRACE(name);
            const std::wstring key = L"Software\\" + name;
            EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, key),
                      (std::set<std::wstring>{L"Language", L"Suffix", L"IP", L"IP TIME", L"Printer", L"Scanner",
                                              L"Scantool", L"Type"}));
            EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key, L"Language"), L"English");
            EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key, L"Suffix"), L"enus");
            EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key, L"IP"), L"");
            const std::wstring time = RegText(HKEY_LOCAL_MACHINE, key, L"IP TIME");
            EXPECT_FALSE(time.empty());
            EXPECT_EQ(time.find_first_not_of(L"0123456789"), std::wstring::npos) << testing::PrintToString(time);
            for (const wchar_t* folder : {L"Printer", L"Scanner", L"Scantool"}) {
                EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key, folder), programFiles);
                EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, key + L"\\" + folder)) << folder;
            }
            EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key, L"Type"), type);
            const std::wstring key32 = L"SOFTWARE\\Wow6432Node\\" + name;
            EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, key32), (std::set<std::wstring>{L"Language", L"Suffix"}));
            EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key32, L"Language"), L"English");
            EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key32, L"Suffix"), L"enus");
        }

        // The uninstall entry under the model name.
        const std::wstring system = SystemFolder();
        const std::wstring uninstallFolder = system + L"\\Tavrin\\K7800 Series\\Uninstall";
        const std::wstring entry = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + model;
        EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, entry),
                  (std::set<std::wstring>{L"DisplayName", L"DisplayIcon", L"URLInfoAbout", L"DisplayVersion",
                                          L"Publisher", L"UninstallString"}));
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, entry, L"DisplayName"), model);
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, entry, L"DisplayIcon"), uninstallFolder + L"\\tavk78.ico");
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, entry, L"URLInfoAbout"), L"http://www.tavrin-imaging.example/support");
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, entry, L"DisplayVersion"), kVersion);
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, entry, L"Publisher"), L"Tavrin Imaging");
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, entry, L"UninstallString"),
                  Quoted(system + L"\\\\Tavrin\\\\K7800 Series\\Uninstall\\drvinst64.exe") + L" -uninstall");

        // Start-up program value and the update-tool record.
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"TavrinK78Status"),
                  programFiles + L"\\Tavrin\\K7800 Series\\Status\\tavstatus.exe \"TavrinK78Status\"");
        EXPECT_EQ(RegText(HKEY_CURRENT_USER, L"Software\\MyUpdateTool\\" + model, L"CurrentVersion"), kVersion);

        // Start-menu shortcuts.
        const std::wstring menu = KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tavrin\\" + model;
        Link link;
        ASSERT_TRUE(ReadLink(menu + L"\\Help.lnk", link));
        EXPECT_EQ(link.target, testsupport::PrinterDriverDirectory() + L"\\3\\Help_enus.chm");
        ASSERT_TRUE(ReadLink(menu + L"\\Uninstall.lnk", link));
        EXPECT_EQ(link.target, uninstallFolder + L"\\drvinst64.exe");
        EXPECT_EQ(link.arguments, L"-uninstall");
        const std::wstring wireless = menu + L"\\Wireless Network Setup Tool.lnk";
        if (model == L"Tavrin K7860W") {
            ASSERT_TRUE(ReadLink(wireless, link));
            EXPECT_EQ(link.target, programFiles + L"\\Tavrin\\K7800 Series\\Wireless\\x64\\tavwifi.exe");
            EXPECT_EQ(link.arguments, L" \"Standalone\" \"English\"");
        } else {
            EXPECT_FALSE(FileExists(wireless));
        }

        // Copied files: the uninstall folder three levels below the system
        // directory, the driver tree, the help file, the shared files.
        for (const wchar_t* name : {L"SetupCFG.xml", L"drvinst64.exe", L"tavk78.ico", L"Unsetup_enus.dll"})
            EXPECT_TRUE(FileExists(uninstallFolder + L"\\" + name)) << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(testsupport::ReadBytes(uninstallFolder + L"\\SetupCFG.xml"), testsupport::ReadBytes(setup + L"\\SetupCFG.xml"));
        const std::wstring installFolder = programFiles + L"\\Tavrin\\K7800 Series";
        EXPECT_TRUE(FileExists(installFolder + L"\\Driver\\x64\\Printer\\tavk78drv.dll"));
        EXPECT_TRUE(FileExists(testsupport::PrinterDriverDirectory() + L"\\3\\Help_enus.chm"));
        EXPECT_TRUE(FileExists(KnownFolder(CSIDL_COMMON_APPDATA) + L"\\Tavrin\\K7800 Series\\tavk78scan.ini"));
        EXPECT_TRUE(FileExists(system + L"\\tavk78sti.dll"));
    }

    static std::wstring DemoPrinterInf() { return e2e::DemoSetupFolder() + L"\\Driver\\x64\\Printer\\tavk78.inf"; }
    static std::wstring InstalledPrinterInf() {
        return KnownFolder(CSIDL_PROGRAM_FILES) + L"\\Tavrin\\K7800 Series\\Driver\\x64\\Printer\\tavk78.inf";
    }
    std::string PackageLog() { return testsupport::ReadBytes(WindowsFolder() + L"\\DriverPackages.log"); }

    std::wstring setup;
    Process program;
};

TEST_F(UsbRoad, OnWindows10TheDriverPackagesInstallTheUsbQueue) {
    Connect(kK7850, L"TAV7850E2E01", 3);
    HWND host = Start();
    ASSERT_NE(host, nullptr);
    // The connected printer's model is selected, with USB.
    EXPECT_EQ(uidrive::WindowText(uidrive::FindControl(host, kModelList)), L"Tavrin K7850");
    EXPECT_EQ(SendMessageW(uidrive::FindControl(host, kUsbRadio), BM_GETCHECK, 0, 0), BST_CHECKED);
    InstallToTheEnd(host);
    ExpectInstalled(kK7850, L"USB003");
    EXPECT_THAT(PackageLog(), HasSubstr("DriverPackageInstallW|"));
    EXPECT_TRUE(FileExists(InstalledPrinterInf()));
}

TEST_F(UsbRoad, OnVistaTheProductCreatesTheQueueThroughTheSetupApi) {
    PretendVista();
    Connect(kK7860W, L"TAV7860WE2E01", 2);
    HWND host = Start();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(uidrive::WindowText(uidrive::FindControl(host, kModelList)), L"Tavrin K7860W");
    InstallToTheEnd(host);
    ExpectInstalled(kK7860W, L"USB002");
    EXPECT_THAT(PackageLog(), Not(HasSubstr("DriverPackageInstallW|")));
    // The queue step handed the printer INF to the system's INF folder.
    EXPECT_FALSE(FileExists(InstalledPrinterInf()));
    EXPECT_EQ(InfStoreCopiesOf(testsupport::ReadBytes(DemoPrinterInf())).size(), 1u);
}

TEST_F(UsbRoad, OneConnectedPrinterOfAUsbOnlyModelOpensTheUsbOnlyDialog) {
    Connect(kK7820, L"TAV7820E2E01", 1);
    HWND host = Start();
    ASSERT_NE(host, nullptr);
    EXPECT_NE(uidrive::FindControl(host, kUsbOnlyLabel), nullptr) << "not the USB-only dialog";
    EXPECT_EQ(uidrive::FindControl(host, kModelList), nullptr);
    InstallToTheEnd(host);
    ExpectInstalled(kK7820, L"USB001");
}

TEST_F(UsbRoad, TwoConnectedPrintersOfAUsbOnlyModelOpenTheOptionsPage) {
    Connect(kK7820, L"TAV7820E2E01", 1);
    Connect(kK7820, L"TAV7820E2E02", 2);
    HWND host = Start();
    ASSERT_NE(host, nullptr);
    HWND models = uidrive::FindControl(host, kModelList);
    ASSERT_NE(models, nullptr) << "not the options page";
    EXPECT_EQ(uidrive::WindowText(models), L"Tavrin K7820");
    EXPECT_EQ(uidrive::FindControl(host, kUsbOnlyLabel), nullptr);
}

TEST_F(UsbRoad, NoPrinterConnectedAsksAndYesInstallsWithoutAQueue) {
    // A printer that was connected once and is unplugged now: known to the
    // system, not detected.
    Connect(kK7850, L"TAV7850E2E02", 4);
    usbdev::UsbPrinter unplugged;
    unplugged.instanceId = std::wstring(kK7850.usbId) + L"\\TAV7850E2E02";
    unplugged.port = 4;
    const std::wstring function = usbdev::FunctionInstanceId(unplugged, kK7850.function);
    ASSERT_TRUE(usbdev::SetConnected(unplugged.instanceId, false));
    DWORD flags = 0;
    ASSERT_TRUE(usbdev::ReadConfigFlags(function, flags));
    ASSERT_EQ(flags & CONFIGFLAG_REINSTALL, 0u);

    HWND host = Start();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(uidrive::WindowText(uidrive::FindControl(host, kModelList)), L"Tavrin K7820");
    for (int answer : {IDNO, IDYES}) {
        ASSERT_TRUE(uidrive::Click(host, kInstall));
        HWND box = uidrive::WaitForMessageBox(program.Id(), 10000);
        ASSERT_NE(box, nullptr) << "no question";
        EXPECT_EQ(uidrive::MessageBoxText(box), L"No printer was found. Do you want to continue the installation?");
        uidrive::AnswerMessageBox(box, answer);
        if (answer == IDNO) {
            Sleep(500);
            EXPECT_NE(uidrive::FindControl(host, kInstall), nullptr) << "No left the options page";
            EXPECT_EQ(uidrive::FindControl(host, kProgressBar), nullptr);
        }
    }
    FollowInstallToTheEnd(host);

    for (const Queue& q : LocalQueues()) EXPECT_NE(q.name.rfind(L"Tavrin", 0), 0u) << "queue made: " << testing::PrintToString(q.name);
    // The driver packages went into the store for a printer to come.
    EXPECT_THAT(PackageLog(), HasSubstr("tavk78.inf"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, L"Software\\Tavrin K7820", L"Type"), L"Printer");
    // The unplugged printer of another model is set to be installed anew
    // when it comes back.
    ASSERT_TRUE(usbdev::ReadConfigFlags(function, flags));
    EXPECT_NE(flags & CONFIGFLAG_REINSTALL, 0u);
}

}  // namespace

// The driver package module under Wine: the copy stage in a probe process
// run from setup folders laid out here, and the package steps against the
// driver-package library stand-in, Wine's setupapi, spooler and registry.
#include <gtest/gtest.h>

#include <windows.h>
#include <setupapi.h>
#include <shlobj.h>
#include <winspool.h>

#include <algorithm>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/setup_config.h"
#include "install/driver_packages.h"
#include "install/install_page.h"
#include "platform/module.h"
#include "platform/text.h"
#include "support/fake_system.h"
#include "support/probe_run.h"
#include "support/test_files.h"
#include "support/windows_state.h"
#include "tools/usbdev/usb_devices.h"
#include "ui/main_manage.h"

using testsupport::Exists;
using testsupport::FindQueue;
using testsupport::ProbeRun;
using testsupport::RemoveTree;
using testsupport::LocalQueues;
using testsupport::Queue;

namespace {

using Lines = std::vector<std::wstring>;

// --- Files --------------------------------------------------------------------

void WriteText(const std::wstring& path, const std::string& text) {
    SHCreateDirectoryExW(nullptr, plat::FolderPart(path).c_str(), nullptr);
    std::ofstream out(plat::WideToUtf8(path).c_str(), std::ios::binary);
    // The narrow stream takes a path of the C library's code page; ours are ASCII.
    out << text;
}

std::string ReadText(const std::wstring& path) {
    std::string bytes;
    return testsupport::ReadBytes(path, bytes) ? bytes : "<missing>";
}

// Copies the tree below `from` into `to`, leaving what is there.
void CopyTreeInto(const std::wstring& from, const std::wstring& to) {
    SHCreateDirectoryExW(nullptr, to.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!wcscmp(data.cFileName, L".") || !wcscmp(data.cFileName, L"..")) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTreeInto(from + L"\\" + data.cFileName, to + L"\\" + data.cFileName);
        else
            CopyFileW((from + L"\\" + data.cFileName).c_str(), (to + L"\\" + data.cFileName).c_str(), FALSE);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// Every file below `folder`, as paths relative to it, sorted.
Lines FilesBelow(const std::wstring& folder, const std::wstring& prefix = L"") {
    Lines out;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        if (!wcscmp(data.cFileName, L".") || !wcscmp(data.cFileName, L"..")) continue;
        const std::wstring rel = prefix + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (const auto& f : FilesBelow(folder + L"\\" + data.cFileName, rel + L"\\")) out.push_back(f);
        } else {
            out.push_back(rel);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(out.begin(), out.end());
    return out;
}

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    GetEnvironmentVariableW(name, value, 1024);
    return value;
}

std::wstring Joined(const Lines& lines) {
    std::wstring out;
    for (const auto& l : lines) out += l + L"\n";
    return out;
}

// --- The probe ----------------------------------------------------------------

ProbeRun RunProbe(const std::wstring& exe, const std::wstring& arguments) {
    return testsupport::RunProbe(L"\"" + exe + L"\" " + arguments, 60000);
}

// A setup folder holding the probe and a configuration document.
class SetupFolder {
public:
    explicit SetupFolder(const std::string& document) {
        RemoveTree(kRoot);
        SHCreateDirectoryExW(nullptr, kSetup, nullptr);
        SHCreateDirectoryExW(nullptr, kProgramFiles, nullptr);
        CopyFileW((plat::ProgramFolder() + L"package_probe.exe").c_str(), Probe().c_str(), FALSE);
        WriteText(std::wstring(kSetup) + L"\\SetupCFG.xml", document);
    }
    ~SetupFolder() { RemoveTree(kRoot); }
    std::wstring Probe() const { return std::wstring(kSetup) + L"\\package_probe.exe"; }
    ProbeRun Run(const std::wstring& arguments) const { return RunProbe(Probe(), arguments); }
    static std::wstring Setup(const std::wstring& rel) { return std::wstring(kSetup) + L"\\" + rel; }

    static constexpr const wchar_t* kRoot = L"C:\\pkgtest";
    static constexpr const wchar_t* kSetup = L"C:\\pkgtest\\setup";
    static constexpr const wchar_t* kProgramFiles = L"C:\\pkgtest\\pf";
};

const char kCaption[] = "Tavrin K7820-K7850-K7860 Series";

std::string CopyDocument(const std::string& folders) {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<SERTUP_INFO>
  <Headingline><Content>Probe Heading</Content></Headingline>
  <INF><Infinpackage ID="PRINTER">model.inf</Infinpackage></INF>
  <CreateFolder><Folder><Dir>Vendor</Dir><Dir>Product Line</Dir></Folder></CreateFolder>
  <FOLDER>)" + folders + R"(</FOLDER>
  <CAT><catfile>model.cat</catfile></CAT>
  <PRTCHMFILE>
    <source_chm ID="English">help_en.chm</source_chm>
    <source_chm ID="French">Help\help_fr.chm</source_chm>
  </PRTCHMFILE>
</SERTUP_INFO>
)";
}

// The copy stage: two Dir levels, a \%Systembit%\Drivers tree mirrored into
// x64\Drivers (nested folders, an older file overwritten), the Help tree,
// and the INF, catalogue and help files beside them.
TEST(CopyStage, LaysOutTheInstallFolder) {
    SetupFolder setup(CopyDocument(
        "<sourcefolder2temp>\\%Systembit%\\Drivers</sourcefolder2temp><sourcefolder2temp>\\Help</sourcefolder2temp>"));
    const std::pair<const wchar_t*, const char*> files[] = {
        {L"x64\\Drivers\\Printer\\model.dll", "driver"},
        {L"x64\\Drivers\\Printer\\Data\\Deep\\table.bin", "table"},
        {L"x64\\Drivers\\Fax\\fax.dll", "fax"},
        {L"x64\\Drivers\\empty.txt", ""},
        {L"Help\\help_fr.chm", "aide"},
        {L"model.inf", "[Version]"},
        {L"model.cat", "catalogue"},
        {L"help_en.chm", "help"},
        {L"x32\\Drivers\\model32.dll", "not this one"},
    };
    for (const auto& f : files) WriteText(SetupFolder::Setup(f.first), f.second);
    const std::wstring install = std::wstring(SetupFolder::kProgramFiles) + L"\\Vendor\\Product Line";
    WriteText(install + L"\\x64\\Drivers\\Printer\\model.dll", "older driver");

    const ProbeRun run = setup.Run(std::wstring(L"copy ") + SetupFolder::kProgramFiles + L" English");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, L"progress 5\nprogress 10\nprogress 15\nprogress 25\nreturned 1\n");

    const Lines expected = {L"Help\\help_fr.chm",
                            L"help_en.chm",
                            L"model.cat",
                            L"model.inf",
                            L"x64\\Drivers\\Fax\\fax.dll",
                            L"x64\\Drivers\\Printer\\Data\\Deep\\table.bin",
                            L"x64\\Drivers\\Printer\\model.dll",
                            L"x64\\Drivers\\empty.txt"};
    EXPECT_EQ(Joined(FilesBelow(install)), Joined(expected));
    for (const auto& f : files) {
        if (std::wstring(f.first).rfind(L"x32", 0) == 0) continue;
        EXPECT_EQ(ReadText(install + L"\\" + f.first), f.second) << plat::WideToUtf8(f.first);
    }
}

// A driver folder missing from the setup folder: text 203 (right to left for
// Hebrew) and exit code 1, after the folders listed before it were copied.
TEST(CopyStage, MissingSourceFolderEndsTheProgram) {
    struct Row {
        const wchar_t* language;
        const wchar_t* style;
    } rows[] = {{L"English", L"0"}, {L"Hebrew", L"180000"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(plat::WideToUtf8(row.language));
        SetupFolder setup(CopyDocument("<sourcefolder2temp>\\Help</sourcefolder2temp>"
                                       "<sourcefolder2temp>\\Missing</sourcefolder2temp>"
                                       "<sourcefolder2temp>\\Later</sourcefolder2temp>"));
        WriteText(SetupFolder::Setup(L"Help\\help_fr.chm"), "aide");
        WriteText(SetupFolder::Setup(L"Later\\later.txt"), "later");
        WriteText(SetupFolder::Setup(L"model.inf"), "[Version]");

        const ProbeRun run = setup.Run(std::wstring(L"copy ") + SetupFolder::kProgramFiles + L" " + row.language);
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_EQ(run.output, L"progress 5\nprogress 10\nprogress 15\nbox|文件拷贝失败。|" +
                                  plat::Utf8ToWide(kCaption) + L"|" + row.style + L"\n");
        const std::wstring install = std::wstring(SetupFolder::kProgramFiles) + L"\\Vendor\\Product Line";
        EXPECT_EQ(ReadText(install + L"\\Help\\help_fr.chm"), "aide");
        EXPECT_FALSE(Exists(install + L"\\Later"));
        EXPECT_FALSE(Exists(install + L"\\model.inf"));
    }
}

// The printer INF missing from the setup folder: its full path and text 201,
// a warning, exit code 1, before the install folder exists.
TEST(CopyStage, MissingPrinterInfEndsTheProgram) {
    SetupFolder setup(CopyDocument("<sourcefolder2temp>\\Help</sourcefolder2temp>"));
    const ProbeRun run = setup.Run(std::wstring(L"copy ") + SetupFolder::kProgramFiles + L" Arabic");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.output, L"progress 5\nbox|" + SetupFolder::Setup(L"model.inf") + L"不存在|" +
                              plat::Utf8ToWide(kCaption) + L"|180030\n");
    EXPECT_FALSE(Exists(std::wstring(SetupFolder::kProgramFiles) + L"\\Vendor"));
}

TEST(CopyStage, InfPresenceChecks) {
    SetupFolder setup(R"(<SERTUP_INFO>
      <INF><Infinpackage ID="PRINTER">Driver\model.inf</Infinpackage></INF>
      <SCINF><InfPath ID="Present">Driver\scan.inf</InfPath><InfPath ID="Missing">Driver\none.inf</InfPath></SCINF>
    </SERTUP_INFO>)");
    EXPECT_EQ(setup.Run(L"inf").output, L"present 0\n");
    WriteText(SetupFolder::Setup(L"Driver\\model.inf"), "[Version]");
    WriteText(SetupFolder::Setup(L"Driver\\scan.inf"), "[Version]");
    EXPECT_EQ(setup.Run(L"inf").output, L"present 1\n");
    EXPECT_EQ(setup.Run(L"scanner Present").output, L"present 1\n");
    EXPECT_EQ(setup.Run(L"scanner Missing").output, L"present 0\n");
    EXPECT_EQ(setup.Run(L"scanner NoScanner").output, L"present 1\n");
}

// --- The product's INF files ----------------------------------------------------

std::wstring ProductSetup() { return Env(L"DRV_PRODUCT_SETUP"); }

std::wstring InfEntry(const std::wstring& inf, const wchar_t* section, const wchar_t* key) {
    wchar_t value[260] = {};
    GetPrivateProfileStringW(section, key, L"", value, 260, inf.c_str());
    return value;
}

// Every package of the demo product parses with setupapi, names the
// catalogue the document lists, and carries the entry the uninstaller
// identifies its OEM copy by; the printer package's files are the ones the
// document's spooler steps name.
TEST(ProductInfs, ParseAndMatchTheDocument) {
    ASSERT_FALSE(ProductSetup().empty()) << "DRV_PRODUCT_SETUP is not set";
    ASSERT_TRUE(cfg::LoadSetupConfigFile(ProductSetup() + L"\\SetupCFG.xml"));
    wchar_t section[260] = {};
    cfg::GetConfigText(L"/SERTUP_INFO/manufacturer/Print_INF", section);
    cfg::ConfigList cats;
    cfg::GetConfigList(L"/SERTUP_INFO/CAT/catfile", L"", cats);
    wchar_t printerKey[260] = {}, faxKey[260] = {}, printerValue[260] = {}, faxValue[260] = {};
    cfg::GetConfigText(L"/SERTUP_INFO/PriName/PriModel", printerKey);
    cfg::GetConfigText(L"/SERTUP_INFO/FaxName/FaxModel", faxKey);
    cfg::GetConfigText(L"/SERTUP_INFO/InfInfo/Inf_Data", printerValue);
    cfg::GetConfigText(L"/SERTUP_INFO/FaxInfData/Inf_Data", faxValue);
    cfg::ConfigList scanners;
    cfg::GetConfigSiblingList(L"/SERTUP_INFO/ScannerOem/oem_data", L"ID", scanners);

    struct Row {
        std::wstring inf;
        std::wstring expectedClass;
        std::vector<std::pair<std::wstring, std::wstring>> entries;
    } rows[] = {
        {L"Driver\\x64\\Printer\\tavk78.inf", L"Printer", {{printerKey, printerValue}}},
        {L"Driver\\x64\\Fax\\tavk78fx.inf", L"Printer", {{faxKey, faxValue}}},
        {L"Driver\\x64\\EWS\\tavk78ews.inf", L"USBDevice", {}},
        {L"Driver\\x64\\Scanner\\tavk78sc.inf", L"Image", {}},
    };
    for (const auto& s : scanners) rows[3].entries.push_back({s.szAttr, s.szText});

    for (const Row& row : rows) {
        SCOPED_TRACE(plat::WideToUtf8(row.inf));
        const std::wstring path = ProductSetup() + L"\\" + row.inf;
        UINT errorLine = 0;
        HINF inf = SetupOpenInfFileW(path.c_str(), nullptr, INF_STYLE_WIN4, &errorLine);
        ASSERT_NE(inf, INVALID_HANDLE_VALUE) << "line " << errorLine;
        wchar_t cls[64] = {}, catalog[260] = {};
        EXPECT_TRUE(SetupGetLineTextW(nullptr, inf, L"Version", L"Class", cls, 64, nullptr));
        EXPECT_TRUE(SetupGetLineTextW(nullptr, inf, L"Version", L"CatalogFile", catalog, 260, nullptr));
        EXPECT_EQ(std::wstring(cls), row.expectedClass);
        EXPECT_GT(SetupGetLineCountW(inf, section), 0);
        SetupCloseInfFile(inf);

        const std::wstring catalogPath = plat::FolderPart(row.inf) + catalog;
        EXPECT_TRUE(std::any_of(cats.begin(), cats.end(), [&](const cfg::ConfigEntry& e) {
            return catalogPath == e.szText;
        })) << plat::WideToUtf8(catalogPath);
        EXPECT_TRUE(Exists(ProductSetup() + L"\\" + catalogPath));
        for (const auto& entry : row.entries)
            EXPECT_EQ(InfEntry(path, section, entry.first.c_str()), entry.second) << plat::WideToUtf8(entry.first);
    }

    const std::wstring printerInf = ProductSetup() + L"\\Driver\\x64\\Printer\\tavk78.inf";
    const std::pair<const wchar_t*, const wchar_t*> files[] = {
        {L"DriverFile", L"DRV"}, {L"DataFile", L"DATA"}, {L"ConfigFile", L"UI"}};
    for (const auto& f : files) {
        wchar_t expected[260] = {};
        cfg::GetConfigTextByValue(L"/SERTUP_INFO/DLL_NORMAL/source_dll", f.second, expected);
        EXPECT_EQ(InfEntry(printerInf, L"TAVK78_PRINTER", f.first), expected);
    }
    cfg::LoadSetupConfigText("");
}

// --- Driver packages through the library stand-in -------------------------------

const wchar_t kUsbPrintFlag[] = L"USBPRINT\\TavrinK7850C4D1";

struct LogLine {
    std::wstring function, inf, flags, result;
};

std::vector<LogLine> ReadLog(const std::wstring& path) {
    std::vector<LogLine> out;
    std::wistringstream in(plat::Utf8ToWide(ReadText(path)));
    std::wstring line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        std::vector<std::wstring> parts;
        size_t start = 0;
        for (;;) {
            size_t bar = line.find(L'|', start);
            parts.push_back(line.substr(start, bar == std::wstring::npos ? bar : bar - start));
            if (bar == std::wstring::npos) break;
            start = bar + 1;
        }
        if (parts.size() >= 4) out.push_back({parts[0], parts[1], parts[2], parts[3]});
    }
    return out;
}

DWORD Flags(const std::wstring& id) {
    DWORD flags = 0xFFFFFFFF;
    usbdev::ReadConfigFlags(id, flags);
    return flags;
}

void RemoveTestDevices() {
    for (const auto& id : usbdev::ListDevices(L"USB\\VID_2F1A")) usbdev::RemoveUsbPrinter(id);
    for (const auto& id : usbdev::ListDevices(L"USBPRINT\\Tavrin")) usbdev::RemoveDevice(id);
}

// The demo product's packages and the library stand-in in an install folder
// below `programFiles`, laid out as the copy stage leaves them; the
// document is the demo document, with `packages` replacing its INF list
// when given.
class PackageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(ProductSetup().empty()) << "DRV_PRODUCT_SETUP is not set";
        RemoveTestDevices();
        RemoveTree(SetupFolder::kRoot);
        SHCreateDirectoryExW(nullptr, SetupFolder::kRoot, nullptr);
        SetEnvironmentVariableW(L"DRIVER_PACKAGES_LOG", m_log.c_str());
        ASSERT_TRUE(LoadDocument(""));
        plat::CopyTrunc(host.m_szProgramFiles, SetupFolder::kProgramFiles);
        wcscpy(host.m_szModel, L"Tavrin K7850");
        wcscpy(host.m_szLanguage, L"English");
    }
    void TearDown() override {
        UninstallPackages(InstallFolder());
        RemoveTestDevices();
        SetEnvironmentVariableW(L"DRIVER_PACKAGES_LOG", nullptr);
        install::SetInstallFromPackageForTest(nullptr);
        RemoveTree(SetupFolder::kRoot);
        cfg::LoadSetupConfigText("");
    }

    static bool LoadDocument(const std::string& packages) {
        std::string doc = ReadText(ProductSetup() + L"\\SetupCFG.xml");
        if (!packages.empty()) {
            const size_t from = doc.find("<INF>"), to = doc.find("</INF>");
            doc = doc.substr(0, from) + "<INF>" + packages + doc.substr(to);
        }
        return cfg::LoadSetupConfigText(doc);
    }

    std::wstring InstallFolder() const { return install::InstallFolderBelow(host.m_szProgramFiles); }

    // The product's Driver folder and the built library in `folder`.
    static void LayOut(const std::wstring& folder, bool withLibrary = true) {
        CopyTreeInto(ProductSetup() + L"\\Driver", folder + L"\\Driver");
        const std::wstring built = plat::ProgramFolder() + L"..\\product-out\\Driver";
        CopyTreeInto(built + L"\\x64\\Printer", folder + L"\\Driver\\x64\\Printer");
        CopyTreeInto(built + L"\\x64\\Fax", folder + L"\\Driver\\x64\\Fax");
        if (withLibrary) {
            ASSERT_TRUE(CopyFileW((built + L"\\x64\\tavdifx.dll").c_str(),
                                  (folder + L"\\Driver\\x64\\tavdifx.dll").c_str(), FALSE));
        }
    }

    // What install and pre-install made, removed through the library.
    static void UninstallPackages(const std::wstring& folder) {
        install::DifxLibrary difx(folder, 512);
        const auto getPath = difx.GetPath();
        const auto uninstall = difx.Uninstall();
        if (!getPath || !uninstall) return;
        cfg::ConfigList infs;
        cfg::GetConfigList(L"/SERTUP_INFO/INF/Infinpackage", L"", infs);
        for (const auto& inf : infs) {
            wchar_t store[512] = {};
            DWORD chars = 512;
            const std::wstring path = folder + L"\\" + inf.szText;
            if (getPath(path.c_str(), store, &chars) != ERROR_SUCCESS) continue;
            BOOL reboot = FALSE;
            uninstall(store, difx::kFlagForce, nullptr, &reboot);
        }
    }

    std::vector<LogLine> Log() const { return ReadLog(m_log); }
    static std::wstring Summary(const std::vector<LogLine>& log) {
        std::wstring out;
        for (const auto& l : log) out += l.function + L" " + plat::FileNamePart(l.inf) + L" " + l.result + L"\n";
        return out;
    }

    const std::wstring m_log = std::wstring(SetupFolder::kRoot) + L"\\difx.log";
    testsupport::FakeSystem system;
    CDlg_MainManage host{CDlg_MainManage::NoStartup{}};
    CDlg_Install page{&host};
};

// No printer of the model connected: every package is pre-installed and
// installed, the library answers ERROR_NO_SUCH_DEVINST, and the model's
// printer devices (an unplugged printer's, known to the system) are marked
// for reinstallation; another model's device is left alone.
TEST_F(PackageFixture, AbsentPrinterMarksTheModelsDevices) {
    LayOut(InstallFolder());
    usbdev::UsbPrinter first{L"USB\\VID_2F1A&PID_0102\\PKG001", 3, {kUsbPrintFlag}, L"", false};
    usbdev::UsbPrinter second{L"USB\\VID_2F1A&PID_0102\\PKG002", 4, {kUsbPrintFlag}, L"", false};
    usbdev::UsbPrinter other{L"USB\\VID_2F1A&PID_0103\\PKG003", 5, {L"USBPRINT\\TavrinK7860E2A7"}, L"", false};
    for (const auto* p : {&first, &second, &other}) ASSERT_TRUE(usbdev::AddUsbPrinter(*p));
    ASSERT_TRUE(usbdev::WriteConfigFlags(usbdev::FunctionInstanceId(second, kUsbPrintFlag), 0x4));

    install::InstallPrinterPackages(page);

    EXPECT_EQ(Summary(Log()),
              L"DriverPackagePreinstallW tavk78.inf 0x00000000\n"
              L"DriverPackageInstallW tavk78.inf 0xE000020B\n"
              L"DriverPackagePreinstallW tavk78fx.inf 0x00000000\n"
              L"DriverPackageInstallW tavk78fx.inf 0xE000020B\n"
              L"DriverPackagePreinstallW tavk78ews.inf 0x00000000\n"
              L"DriverPackageInstallW tavk78ews.inf 0xE000020B\n");
    for (const auto& line : Log()) {
        EXPECT_EQ(line.flags, L"0x00000004");
        EXPECT_EQ(line.inf.rfind(InstallFolder() + L"\\Driver\\x64\\", 0), 0u) << plat::WideToUtf8(line.inf);
    }
    EXPECT_EQ(system.sleeps, std::vector<DWORD>(6, 300));
    EXPECT_EQ(Flags(usbdev::FunctionInstanceId(first, kUsbPrintFlag)), 0x20u);
    EXPECT_EQ(Flags(usbdev::FunctionInstanceId(second, kUsbPrintFlag)), 0x24u);
    EXPECT_EQ(Flags(usbdev::FunctionInstanceId(other, L"USBPRINT\\TavrinK7860E2A7")), 0u);
    EXPECT_EQ(FindQueue(LocalQueues(), L"Tavrin K7850"), nullptr);
}

// The printer connected, with its fax and web-page functions: every package
// finds its device, the printer and the fax queue land on the printer's USB
// port, nothing is marked; uninstalling the packages takes the queues, the
// drivers, the OEM INF copies and the driver-store folders away again.
TEST_F(PackageFixture, ConnectedPrinterGetsItsQueuesAndNothingIsMarked) {
    LayOut(InstallFolder());
    usbdev::UsbPrinter printer{L"USB\\VID_2F1A&PID_0102\\PKG010",
                               2,
                               {kUsbPrintFlag, L"USBPRINT\\TavrinK7850C4D1_Fax", L"USB\\VID_2F1A&PID_0102&MI_02"},
                               L"",
                               true};
    ASSERT_TRUE(usbdev::AddUsbPrinter(printer));

    install::InstallPrinterPackages(page);

    EXPECT_EQ(Summary(Log()),
              L"DriverPackagePreinstallW tavk78.inf 0x00000000\n"
              L"DriverPackageInstallW tavk78.inf 0x00000000\n"
              L"DriverPackagePreinstallW tavk78fx.inf 0x00000000\n"
              L"DriverPackageInstallW tavk78fx.inf 0x00000000\n"
              L"DriverPackagePreinstallW tavk78ews.inf 0x00000000\n"
              L"DriverPackageInstallW tavk78ews.inf 0x00000000\n");
    for (const auto& function : printer.functions)
        EXPECT_EQ(Flags(usbdev::FunctionInstanceId(printer, function)) & 0x20, 0u) << plat::WideToUtf8(function);
    const std::vector<Queue> queues = LocalQueues();
    for (const wchar_t* name : {L"Tavrin K7850", L"Tavrin K7850 Fax"}) {
        const Queue* q = FindQueue(queues, name);
        ASSERT_NE(q, nullptr) << plat::WideToUtf8(name);
        EXPECT_EQ(q->port, L"USB002");
        EXPECT_EQ(q->driver, name);
    }

    // The INF copies the system keeps, found by the uninstaller's rule.
    auto oemCopies = [] {
        Lines out;
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        const std::wstring infFolder = std::wstring(windows) + L"\\inf";
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((infFolder + L"\\oem*.inf").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return out;
        do {
            wchar_t value[260] = {};
            GetPrivateProfileStringW(L"Tavrin.NTamd64", L"Tavrin K7820", L"", value, 260,
                                     (infFolder + L"\\" + data.cFileName).c_str());
            if (value[0]) out.push_back(value);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return out;
    };
    EXPECT_EQ(Joined(oemCopies()), L"TAVK78_PRINTER,USBPRINT\\TavrinK78206B2E\n");

    UninstallPackages(InstallFolder());
    EXPECT_EQ(FindQueue(LocalQueues(), L"Tavrin K7850"), nullptr);
    EXPECT_EQ(FindQueue(LocalQueues(), L"Tavrin K7850 Fax"), nullptr);
    EXPECT_TRUE(oemCopies().empty());
    wchar_t system32[MAX_PATH] = {};
    GetSystemDirectoryW(system32, MAX_PATH);
    EXPECT_TRUE(FilesBelow(std::wstring(system32) + L"\\DriverStore\\FileRepository").empty());
}

// Pre-install alone puts every package into the store; nothing is installed.
TEST_F(PackageFixture, PreinstallPutsEveryPackageIntoTheStore) {
    ASSERT_TRUE(LoadDocument(R"(<Infinpackage ID="PRINTER">Driver\x64\Printer\tavk78.inf</Infinpackage>
      <Infinpackage ID="EWS">Driver\x64\EWS\tavk78ews.inf</Infinpackage>)"));
    LayOut(InstallFolder());
    usbdev::UsbPrinter printer{L"USB\\VID_2F1A&PID_0102\\PKG020", 2, {kUsbPrintFlag}, L"", true};
    ASSERT_TRUE(usbdev::AddUsbPrinter(printer));

    install::PreinstallPrinterPackages(page);

    EXPECT_EQ(Summary(Log()),
              L"DriverPackagePreinstallW tavk78.inf 0x00000000\n"
              L"DriverPackagePreinstallW tavk78ews.inf 0x00000000\n");
    EXPECT_TRUE(system.sleeps.empty());
    EXPECT_EQ(FindQueue(LocalQueues(), L"Tavrin K7850"), nullptr);
    install::DifxLibrary difx(InstallFolder(), 512);
    ASSERT_NE(difx.GetPath(), nullptr);
    for (const wchar_t* inf : {L"\\Driver\\x64\\Printer\\tavk78.inf", L"\\Driver\\x64\\EWS\\tavk78ews.inf"}) {
        DWORD chars = 0;
        EXPECT_EQ(difx.GetPath()((InstallFolder() + inf).c_str(), nullptr, &chars),
                  static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        std::wstring store(chars, L'\0');
        ASSERT_EQ(difx.GetPath()((InstallFolder() + inf).c_str(), store.data(), &chars), 0u);
        store.resize(chars - 1);
        EXPECT_EQ(ReadText(store), ReadText(InstallFolder() + inf));
        EXPECT_NE(store.find(L"\\DriverStore\\FileRepository\\"), std::wstring::npos);
    }
}

// Without the library, or with a library lacking the entry points, the
// package steps call nothing and the installation goes on.
TEST_F(PackageFixture, MissingLibraryOrEntryPointsCallNothing) {
    struct Row {
        const char* name;
        bool library;
        bool resourceOnly;
    } rows[] = {{"no library", false, false}, {"no entry points", true, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RemoveTree(InstallFolder());
        LayOut(InstallFolder(), row.library && !row.resourceOnly);
        if (row.resourceOnly) {
            ASSERT_TRUE(CopyFileW((plat::ProgramFolder() + L"testlang.dll").c_str(),
                                  (InstallFolder() + L"\\Driver\\x64\\tavdifx.dll").c_str(), FALSE));
        }
        system.sleeps.clear();
        install::PreinstallPrinterPackages(page);
        install::InstallPrinterPackages(page);
        install::InstallPrinterDriverFromStore(page, L"Tavrin K7850");
        EXPECT_FALSE(Exists(m_log));
        EXPECT_TRUE(system.sleeps.empty());
    }
}

// The driver from the store: every package but the web-page component's
// (whose path holds "EWS") is looked up in the store and handed to the
// spooler's package install with the driver name.
std::vector<std::pair<std::wstring, std::wstring>> g_fromPackage;
HRESULT WINAPI RecordInstallFromPackage(LPCWSTR server, LPCWSTR inf, LPCWSTR driver, LPCWSTR environment,
                                        DWORD flags) {
    g_fromPackage.push_back({inf ? inf : L"", driver ? driver : L""});
    EXPECT_EQ(server, nullptr);
    EXPECT_EQ(environment, nullptr);
    EXPECT_EQ(flags, 0u);
    return S_OK;
}

TEST_F(PackageFixture, DriverFromStoreSkipsTheWebPagePackage) {
    wchar_t programFiles[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles), S_OK);
    plat::CopyTrunc(host.m_szProgramFiles, programFiles);
    const std::wstring folder = InstallFolder();
    const std::wstring top = std::wstring(programFiles) + L"\\" + cfg::GetDirValues().front();
    RemoveTree(folder);
    LayOut(folder);
    install::PreinstallPrinterPackages(page);

    g_fromPackage.clear();
    install::SetInstallFromPackageForTest(RecordInstallFromPackage);
    install::InstallPrinterDriverFromStore(page, L"Tavrin K7850");

    install::DifxLibrary difx(folder, 512);
    auto storePath = [&](const wchar_t* inf) {
        wchar_t store[512] = {};
        DWORD chars = 512;
        difx.GetPath()((folder + inf).c_str(), store, &chars);
        return std::wstring(store);
    };
    ASSERT_EQ(g_fromPackage.size(), 2u);
    EXPECT_EQ(g_fromPackage[0].first, storePath(L"\\Driver\\x64\\Printer\\tavk78.inf"));
    EXPECT_EQ(g_fromPackage[1].first, storePath(L"\\Driver\\x64\\Fax\\tavk78fx.inf"));
    for (const auto& call : g_fromPackage) EXPECT_EQ(call.second, L"Tavrin K7850");
    for (const auto& line : Log())
        if (line.function == L"DriverPackageGetPathW") {
            EXPECT_EQ(line.inf.find(L"EWS"), std::wstring::npos);
        }

    UninstallPackages(folder);
    RemoveTree(top);
}

// The print processor's file goes from the printer driver directory, where
// its package put it, into the print processor directory.
TEST(PrintProcessorFile, CopiedIntoTheProcessorDirectory) {
    ASSERT_TRUE(cfg::LoadSetupConfigText(
        R"(<SERTUP_INFO><DLL_NORMAL><source_dll ID="Pro">pkgtestpp.dll</source_dll></DLL_NORMAL></SERTUP_INFO>)"));
    wchar_t drivers[MAX_PATH] = {}, processors[MAX_PATH] = {};
    DWORD needed = 0;
    ASSERT_TRUE(GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(drivers), sizeof(drivers),
                                           &needed));
    ASSERT_TRUE(GetPrintProcessorDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(processors),
                                            sizeof(processors), &needed));
    const std::wstring source = std::wstring(drivers) + L"\\pkgtestpp.dll";
    const std::wstring target = std::wstring(processors) + L"\\pkgtestpp.dll";
    DeleteFileW(target.c_str());
    WriteText(source, "processor");
    install::CopyPrintProcessorFile();
    EXPECT_EQ(ReadText(target), "processor");
    DeleteFileW(source.c_str());
    DeleteFileW(target.c_str());
    cfg::LoadSetupConfigText("");
}

}  // namespace

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/setup_config.h"
#include "env/texts.h"
#include "install/install_page.h"
#include "install/install_worker.h"
#include "platform/module.h"
#include "platform/text.h"
#include "support/probe_run.h"
#include "support/install_recorder.h"
#include "uninstall/product_records.h"

using testsupport::LoggingSystem;
using testsupport::MessageOnlyPage;
using testsupport::StepRecorder;
using testsupport::TestHost;
using Log = std::vector<std::wstring>;

namespace {

const char kDocument[] = R"(<?xml version="1.0" encoding="utf-8"?>
<SERTUP_INFO>
  <INF><Infinpackage ID="PRINTER">Driver\x64\Printer\prn.inf</Infinpackage></INF>
  <PriName>
    <PriModel ID="Model A">A Printer</PriModel>
    <PriModel ID="Model B">B Printer</PriModel>
    <PriModel ID="Model C">C Printer</PriModel>
  </PriName>
  <FaxName><FaxModel ID="Model B">B Fax</FaxModel></FaxName>
  <DEVICEFLAG>
    <Flag ID="Model A">USBPRINT\FlagA</Flag>
    <Flag ID="Model B">USBPRINT\FlagB</Flag>
    <Flag ID="Model C">USBPRINT\FlagC</Flag>
  </DEVICEFLAG>
  <StartUp><Process Param="P">\Tools\prog.exe</Process></StartUp>
</SERTUP_INFO>
)";

const plat::OsVersion kWindows10{true, true, VER_PLATFORM_WIN32_NT, 10, 0, VER_NT_WORKSTATION, 0};
const plat::OsVersion kServer2008R2{true, true, VER_PLATFORM_WIN32_NT, 6, 1, VER_NT_SERVER, 0};

// One install run on the test's own thread: the recorder's log holds the
// steps, the progress posts, the sleeps and the message boxes in order.
class InstallRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(cfg::LoadSetupConfigText(kDocument));
        wcscpy(g_szMultiFuncType, L"0");
        wcscpy(g_szHeadingText, L"Heading");
        ASSERT_TRUE(m_resources.Loaded());
        recorder.progressWindow = page.GetSafeHwnd();
        ASSERT_NE(recorder.progressWindow, nullptr);
        system.version = kWindows10;

        wcscpy(host.m_szLanguage, L"English");
        wcscpy(host.m_szLangSuffix, L"enus");
        wcscpy(host.m_szProgramFiles, L"C:\\Program Files");
        wcscpy(host.m_szModel, L"Model B");
        host.m_nConnectType = 1;
        for (const wchar_t* name : {L"Model A", L"Model B", L"Model C"}) {
            ModelItem item;
            wcscpy(item.type, L"2");
            wcscpy(item.name, name);
            host.m_Models.push_back(item);
        }
    }
    void TearDown() override {
        g_szMultiFuncType[0] = L'\0';
        g_szHeadingText[0] = L'\0';
        cfg::LoadSetupConfigText("");
    }

    void AddChosenPrinter(const wchar_t* name, const wchar_t* address) {
        ChosenPrinterItem item;
        wcscpy(item.printerName, name);
        wcscpy(item.portAddress, address);
        host.m_ChosenPrinters.push_back(item);
    }

    Log Run() {
        install::doInstall(page);
        recorder.DrainPosts();
        return recorder.log;
    }

    static Log Slice(const Log& log, const std::wstring& from, const std::wstring& to) {
        Log out;
        bool in = false;
        for (const auto& e : log) {
            if (e == from) in = true;
            if (in) out.push_back(e);
            if (in && e == to) break;
        }
        return out;
    }

    static std::wstring Joined(const Log& log) {
        std::wstring out;
        for (const auto& e : log) out += e + L"\n";
        return out;
    }

    testsupport::ProgramResources m_resources;
    StepRecorder recorder;
    LoggingSystem system{recorder};
    TestHost host;
    MessageOnlyPage page{&host};
};

// The whole sequence for each system kind and connection method.
TEST_F(InstallRun, StepOrderAndProgressPerBranch) {
    struct Row {
        const char* name;
        plat::OsVersion os;
        int connectType;
        Log drivers;  // scanner step to the last driver step
        Log marks;    // reinstall flags
    } rows[] = {
        {"packages, USB", kWindows10, 1,
         {L"scanner-packages", L"push-scan", L"preinstall-packages", L"install-packages", L"fax-package"},
         {L"mark USBPRINT\\FlagA", L"mark USBPRINT\\FlagA_Fax", L"mark USBPRINT\\FlagC", L"mark USBPRINT\\FlagC_Fax"}},
        {"packages, network", kWindows10, 2,
         {L"scanner-packages", L"push-scan", L"preinstall-packages", L"printer-queue", L"web-page", L"network-fax"},
         {L"mark USBPRINT\\FlagA", L"mark USBPRINT\\FlagA_Fax", L"mark USBPRINT\\FlagB", L"mark USBPRINT\\FlagB_Fax",
          L"mark USBPRINT\\FlagC", L"mark USBPRINT\\FlagC_Fax"}},
        {"setup API, USB", kServer2008R2, 1,
         {L"scanner-setupapi", L"push-scan", L"web-page", L"printer-queue", L"fax-setupapi"},
         {L"mark USBPRINT\\FlagA", L"mark USBPRINT\\FlagA_Fax", L"mark USBPRINT\\FlagC", L"mark USBPRINT\\FlagC_Fax"}},
        // Any connection value but 1 is a network install.
        {"setup API, network", kServer2008R2, 3,
         {L"scanner-setupapi", L"push-scan", L"web-page", L"printer-queue", L"network-fax"},
         {L"mark USBPRINT\\FlagA", L"mark USBPRINT\\FlagA_Fax", L"mark USBPRINT\\FlagC", L"mark USBPRINT\\FlagC_Fax"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        recorder.log.clear();
        system.version = row.os;
        host.m_nConnectType = row.connectType;
        host.m_ChosenPrinters.clear();
        if (row.connectType != 1) {
            AddChosenPrinter(L"B Printer 0000", L"10.0.0.7");
            AddChosenPrinter(L"B Printer 0001", L"10.0.0.8");
        }
        const std::wstring address = row.connectType != 1 ? L"10.0.0.7" : L"";
        const std::wstring values = L"|English|enus|" + address + L"|123456";

        Log expected = {L"progress 3",
                        L"inf-check",
                        L"copy",
                        L"record B Printer" + values,
                        L"record B Fax" + values,
                        L"record A Printer" + values,
                        L"record B Printer" + values,
                        L"record C Printer" + values,
                        L"progress 30"};
        expected.insert(expected.end(), row.drivers.begin(), row.drivers.end());
        expected.push_back(L"sleep 100");
        expected.insert(expected.end(), row.marks.begin(), row.marks.end());
        for (const wchar_t* tail :
             {L"progress 95", L"default-printer", L"uninstall-entry Model B",
              L"shortcuts Model B|C:\\Program Files|English", L"start C:\\Tools\\prog.exe|P",
              L"autostart P|C:\\Tools\\prog.exe \"P\"", L"progress 100", L"sleep 150", L"finished 2 0"})
            expected.push_back(tail);

        EXPECT_EQ(Joined(Run()), Joined(expected));
    }
}

// Only the exact text "1" makes a scanner model, which alone runs the
// imaging-service check.
TEST_F(InstallRun, ImagingServiceCheckOnlyForScannerModels) {
    struct Row {
        const wchar_t* type;
        bool checked;
    } rows[] = {{L"1", true}, {L"10", false}, {L"1 ", false}, {L"", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(plat::WideToUtf8(row.type));
        recorder.log.clear();
        wcscpy(g_szMultiFuncType, row.type);
        const Log log = Run();
        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ(log[1] == L"imaging-check", row.checked);
        EXPECT_EQ(log.back(), L"finished 2 0");
    }
}

// The product records: the selected model's printer and fax names, then every
// model of the list, all with the first chosen printer's address.
TEST_F(InstallRun, ProductRecords) {
    struct Row {
        const char* name;
        std::vector<const wchar_t*> models;
        ULONGLONG tick;
        Log records;
    } rows[] = {
        {"empty model list",
         {},
         42,
         {L"record B Printer|English|enus|10.0.0.7|42", L"record B Fax|English|enus|10.0.0.7|42"}},
        // A model the document names no printer for gets no record (it would
        // name the Software key itself); the tick count stays unsigned.
        {"unknown model", {L"Model X", L"Model C"}, 3000000000ULL,
         {L"record B Printer|English|enus|10.0.0.7|3000000000", L"record B Fax|English|enus|10.0.0.7|3000000000",
          L"record C Printer|English|enus|10.0.0.7|3000000000"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        recorder.log.clear();
        system.tick = row.tick;
        host.m_nConnectType = 2;
        host.m_ChosenPrinters.clear();
        AddChosenPrinter(L"B Printer 0000", L"10.0.0.7");
        host.m_Models.clear();
        for (const wchar_t* m : row.models) {
            ModelItem item;
            wcscpy(item.name, m);
            host.m_Models.push_back(item);
        }
        Log records, marks;
        for (const auto& e : Run()) {
            if (e.rfind(L"record ", 0) == 0) records.push_back(e);
            if (e.rfind(L"mark ", 0) == 0) marks.push_back(e);
        }
        EXPECT_EQ(Joined(records), Joined(row.records));
        if (row.models.empty()) {
            EXPECT_TRUE(marks.empty());
        }
    }
}

// The three ends before anything is installed: a message box (text, caption,
// style with the right-to-left rule), then exit code 1 and no further step.
TEST_F(InstallRun, FatalEnds) {
    struct Row {
        const char* name;
        const wchar_t* multiFunc;
        int imaging;
        bool inf;
        int copy;
        const wchar_t* language;
        std::wstring text;
        std::wstring caption;
        UINT style;
        Log log;
    } rows[] = {
        {"imaging service, Hebrew", L"1", 0, true, 1, L"Hebrew", env::MessageText(248), env::MessageText(156),
         MB_OK | MB_RTLREADING | MB_RIGHT, {L"progress 3", L"imaging-check", L"box", L"exit 1"}},
        {"printer INF, hebrew", L"0", 1, false, 1, L"hebrew", L"prn.inf" + env::MessageText(201), L"Heading",
         MB_ICONWARNING, {L"progress 3", L"inf-check", L"box", L"exit 1"}},
        {"printer INF, Arabic", L"0", 1, false, 1, L"Arabic", L"prn.inf" + env::MessageText(201), L"Heading",
         MB_ICONWARNING | MB_RTLREADING | MB_RIGHT, {L"progress 3", L"inf-check", L"box", L"exit 1"}},
        {"copy stage", L"0", 1, true, 0, L"English", env::MessageText(203), env::MessageText(156), MB_OK,
         {L"progress 3", L"inf-check", L"copy", L"box", L"exit 1"}},
    };
    ASSERT_EQ(env::MessageText(201), L"不存在");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        recorder.log.clear();
        system.boxes.clear();
        wcscpy(g_szMultiFuncType, row.multiFunc);
        recorder.imagingUsable = row.imaging;
        recorder.infPresent = row.inf;
        recorder.copyResult = row.copy;
        wcscpy(host.m_szLanguage, row.language);

        EXPECT_EQ(Joined(Run()), Joined(row.log));
        ASSERT_EQ(system.boxes.size(), 1u);
        EXPECT_EQ(system.boxes[0].text, row.text);
        EXPECT_EQ(system.boxes[0].caption, row.caption);
        EXPECT_EQ(system.boxes[0].style, row.style);
        EXPECT_EQ(system.boxes[0].owner, page.GetSafeHwnd());
    }
}

TEST(InstallWorker, DriverPackagesByOsCode) {
    for (unsigned code = 0; code <= 21; ++code) {
        const bool setupApi =
            code == 7 || code == 8 || code == 9 || code == 10 || code == 12 || code == 13 || code == 14;
        EXPECT_EQ(install::UsesDriverPackages(code), !setupApi) << code;
    }
}

TEST(InstallWorker, ThreadProcsRefuseNullArgument) {
    EXPECT_EQ(install::InstallThreadProc(nullptr), 1u);
    EXPECT_EQ(install::CloseHardwareWizardThreadProc(nullptr), 1u);
}

// --- The fatal ends in a process of their own ---------------------------------

testsupport::ProbeRun RunProbe(const std::wstring& mode, const std::wstring& language) {
    return testsupport::RunProbe(L"\"" + plat::ProgramFolder() + L"install_probe.exe\" " + mode + L" " + language,
                                 30000);
}

// The process really ends with exit code 1 after the message, whose style
// follows the right-to-left rule ("Hebrew" and "Arabic" exactly).
TEST(InstallProbe, FatalChecksEndTheProcess) {
    struct Row {
        const wchar_t* mode;
        const wchar_t* language;
        std::wstring box;
    } rows[] = {
        {L"imaging", L"Hebrew",
         L"box|为了不影响您使用扫描功能，请在安装“桌面体验”功能，并开启WIA服务后再安装扫描仪驱动。|Tavrin K7820-K7850-K7860 "
         L"Series|180000"},
        {L"imaging", L"hebrew",
         L"box|为了不影响您使用扫描功能，请在安装“桌面体验”功能，并开启WIA服务后再安装扫描仪驱动。|Tavrin K7820-K7850-K7860 "
         L"Series|0"},
        {L"inf", L"Hebrew", L"box|missing.inf不存在|Probe Heading|180030"},
        {L"inf", L"hebrew", L"box|missing.inf不存在|Probe Heading|30"},
        {L"copy", L"Arabic", L"box|文件拷贝失败。|Tavrin K7820-K7850-K7860 Series|180000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(plat::WideToUtf8(std::wstring(row.mode) + L" " + row.language));
        const testsupport::ProbeRun r = RunProbe(row.mode, row.language);
        EXPECT_EQ(r.exitCode, 1u);
        EXPECT_EQ(plat::WideToUtf8(r.output), plat::WideToUtf8(row.box + L"\n"));
    }
}

// --- Start-up programs, observed in the prefix --------------------------------

// The text of a Run value. The write counts no terminator, but the system
// stores one when the character after the counted text is a null (as NT
// does), so one trailing null is not part of the text.
std::wstring ReadRunValue(const wchar_t* name, DWORD& type) {
    HKEY key = nullptr;
    std::wstring out;
    type = 0;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstall::kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    wchar_t data[2048] = {};
    DWORD bytes = sizeof(data) - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) == ERROR_SUCCESS) {
        out.assign(data, bytes / sizeof(wchar_t));
        if (!out.empty() && out.back() == L'\0') out.pop_back();
    }
    RegCloseKey(key);
    return out;
}

void DeleteRunValue(const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstall::kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, name);
        RegCloseKey(key);
    }
}

// "\Tools\prog.exe" with Param "P": the program on the system drive starts
// with P, and the Run value P holds its path and "P".
TEST_F(InstallRun, StartUpProgramRunsAndGetsItsRunValue) {
    const std::wstring folder = L"C:\\Tools", program = folder + L"\\prog.exe", ran = folder + L"\\prog.ran";
    CreateDirectoryW(folder.c_str(), nullptr);
    DeleteFileW(ran.c_str());
    DeleteRunValue(L"P");
    ASSERT_TRUE(CopyFileW((plat::ProgramFolder() + L"record_args.exe").c_str(), program.c_str(), FALSE));

    recorder.realStartup = true;
    Run();

    std::string args;
    for (int i = 0; i < 200 && GetFileAttributesW(ran.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(50);
    std::ifstream in(plat::WideToUtf8(ran), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "P\n");

    DWORD type = 0;
    EXPECT_EQ(ReadRunValue(L"P", type), L"C:\\Tools\\prog.exe \"P\"");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    in.close();
    DeleteRunValue(L"P");
    DeleteFileW(ran.c_str());
    for (int i = 0; i < 100 && !DeleteFileW(program.c_str()); ++i) ::Sleep(50);
    RemoveDirectoryW(folder.c_str());
}

// A node without a Param is started, but no nameless Run value is written:
// the uninstaller could never remove it.
TEST_F(InstallRun, StartUpNodeWithoutParamWritesNoValue) {
    ASSERT_TRUE(cfg::LoadSetupConfigText(R"(<SERTUP_INFO>
      <StartUp><Process>\Tools\a.exe</Process><Process Param="Q">\Tools\b.exe</Process></StartUp>
    </SERTUP_INFO>)"));
    Log startup;
    for (const auto& e : Run())
        if (e.rfind(L"start ", 0) == 0 || e.rfind(L"autostart ", 0) == 0) startup.push_back(e);
    EXPECT_EQ(Joined(startup), Joined({L"start C:\\Tools\\a.exe|", L"start C:\\Tools\\b.exe|Q",
                                       L"autostart Q|C:\\Tools\\b.exe \"Q\""}));
}

TEST(ProductRecords, AutostartValueIsCutTo1023Characters) {
    struct Row {
        const wchar_t* name;
        std::wstring data;
        std::wstring stored;
    } rows[] = {
        {L"DrvTestAutostart", L"C:\\Tools\\x.exe \"DrvTestAutostart\"", L"C:\\Tools\\x.exe \"DrvTestAutostart\""},
        {L"DrvTestAutostartLong", std::wstring(1500, L'x'), std::wstring(1023, L'x')},
        {L"DrvTestAutostartEmpty", L"", L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(plat::WideToUtf8(row.name));
        EXPECT_EQ(uninstall::SetAutostartValue(row.name, row.data.c_str()), 0);
        DWORD type = 0;
        EXPECT_EQ(ReadRunValue(row.name, type), row.stored);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        DeleteRunValue(row.name);
    }
}

}  // namespace

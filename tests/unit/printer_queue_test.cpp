// Printer queues and ports against Wine's real spooler: the product's
// spooler stand-ins (driver files, language monitor, print processor, port
// monitor) and a test-only "Standard TCP/IP Port" monitor built from the same
// port monitor are registered in the test prefix; the tests look at the
// queues, ports, drivers, monitors and INF files the install steps leave.
#include <gtest/gtest.h>

#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <cwchar>
#include <fstream>
#include <string>
#include <vector>

#include "config/setup_config.h"
#include "install/install_page.h"
#include "install/printer_queue.h"
#include "install/tcpip_port_data.h"
#include "netfind/ip_address.h"
#include "platform/module.h"
#include "platform/text.h"
#include "support/fake_system.h"
#include "support/install_recorder.h"
#include "support/spooler_fixture.h"
#include "support/test_files.h"

using testsupport::FakeSystem;
using testsupport::MessageOnlyPage;
using testsupport::TestHost;

namespace {

constexpr wchar_t kEnvironment[] = L"Windows x64";
constexpr wchar_t kStandardMonitor[] = L"Standard TCP/IP Port";
constexpr wchar_t kStandardMonitorFile[] = L"standard_port_monitor.dll";
constexpr wchar_t kVendorMonitor[] = L"Tavrin K78 Port Monitor";
constexpr wchar_t kVendorMonitorFile[] = L"tavk78tcp.dll";
constexpr wchar_t kLanguageMonitor[] = L"Tavrin K78 Language Monitor";
constexpr wchar_t kProcessor[] = L"TavrinK78Processor";
constexpr wchar_t kPrinterDriver[] = L"Test K1 Printer";
constexpr wchar_t kSnmpDriver[] = L"Test K2 Printer";
constexpr wchar_t kFaxDriver[] = L"Test K1 Fax";
constexpr wchar_t kOtherDriver[] = L"Test Other Printer";
constexpr wchar_t kInfMarker[] = L"; printer queue test INF";
constexpr wchar_t kMonitorsKey[] = L"System\\CurrentControlSet\\Control\\Print\\Monitors\\";
constexpr wchar_t kDriversKey[] =
    L"System\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3\\";

// The document of the tests: model "Model K1" (printer and fax, SLP
// platform) and "Model K2" (SNMP platform). With `vendorMonitor` the ports
// go through the product's own port monitor.
std::string Document(bool vendorMonitor) {
    std::string doc = R"(<?xml version="1.0" encoding="utf-8"?>
<SERTUP_INFO>
  <INF>
    <Infinpackage ID="PRINTER">Driver\x64\Printer\testprn.inf</Infinpackage>
    <Infinpackage ID="FAX">Driver\x64\Fax\testfax.inf</Infinpackage>
  </INF>
  <PriName>
    <PriModel ID="Model K1">Test K1 Printer</PriModel>
    <PriModel ID="Model K2">Test K2 Printer</PriModel>
  </PriName>
  <FaxName><FaxModel ID="Model K1">Test K1 Fax</FaxModel></FaxName>
  <DLL_NORMAL>
    <source_dll ID="DRV">tavk78drv.dll</source_dll>
    <source_dll ID="DATA">tavk78.gpd</source_dll>
    <source_dll ID="UI">tavk78ui.dll</source_dll>
    <source_dll ID="LM">tavk78lm.dll</source_dll>
    <source_dll ID="Pro">tavk78pp.dll</source_dll>
    <source_dll ID="FaxDR">tavk78fxdrv.dll</source_dll>
    <source_dll ID="FaxUI">tavk78fxui.dll</source_dll>
)";
    if (vendorMonitor) doc += "    <source_dll ID=\"Tcp\">tavk78tcp.dll</source_dll>\n";
    doc += R"(  </DLL_NORMAL>
  <PONEMENT>
    <lmmonitor>Tavrin K78 Language Monitor</lmmonitor>
    <processor>TavrinK78Processor</processor>
    <depfiles>tavk78res.dll#tavk78lm.dll#tavk78pp.dll#tavk78.icm#tavk78.hlp#</depfiles>
    <faxdepfile>tavk78fxres.dll#tavk78fxcov.dat</faxdepfile>
)";
    if (vendorMonitor) doc += "    <tcpmonitor>Tavrin K78 Port Monitor</tcpmonitor>\n";
    doc += R"(  </PONEMENT>
  <Hardware>
    <Hardware_Info ID="Model K1">USBPRINT\TestK1</Hardware_Info>
    <Hardware_Info ID="Model K2">USBPRINT\TestK2</Hardware_Info>
    <Hardware_Info ID="Model K1">WSDPRINT\TestK1</Hardware_Info>
    <Hardware_Info ID="Model K1">TestK1</Hardware_Info>
  </Hardware>
  <NETPLATFORM>
    <Nettype>2</Nettype>
    <NetPrinter ID="Model K2">1</NetPrinter>
  </NETPLATFORM>
  <CreateFolder><Folder><Dir>\Vendor</Dir><Dir>\Series</Dir></Folder></CreateFolder>
</SERTUP_INFO>
)";
    return doc;
}

// --- Spooler look-ups ----------------------------------------------------------

std::wstring RegText(HKEY root, const std::wstring& key, const wchar_t* value) {
    wchar_t text[1024] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return L"<none>";
    return text;
}

DWORD RegNumber(HKEY root, const std::wstring& key, const wchar_t* value) {
    DWORD n = 0xDEADBEEF, size = sizeof(n);
    RegGetValueW(root, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &n, &size);
    return n;
}

std::vector<std::wstring> RegList(HKEY root, const std::wstring& key, const wchar_t* value) {
    wchar_t list[2048] = {};
    DWORD size = sizeof(list) - 2 * sizeof(wchar_t);
    std::vector<std::wstring> out;
    if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_MULTI_SZ, nullptr, list, &size) != ERROR_SUCCESS)
        return {L"<none>"};
    for (const wchar_t* p = list; *p; p += wcslen(p) + 1) out.emplace_back(p);
    return out;
}

bool KeyExists(const std::wstring& key) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

// A port as its monitor keeps it.
struct PortConfig {
    bool exists = false;
    std::wstring host, ip, community, exAddress;
    DWORD protocol = 0, number = 0, snmp = 0, index = 0, ipv6 = 0;
};

PortConfig ReadPort(const wchar_t* monitor, const std::wstring& port) {
    const std::wstring key = std::wstring(kMonitorsKey) + monitor + L"\\Ports\\" + port;
    PortConfig c;
    c.exists = KeyExists(key);
    if (!c.exists) return c;
    c.host = RegText(HKEY_LOCAL_MACHINE, key, L"HostAddress");
    c.ip = RegText(HKEY_LOCAL_MACHINE, key, L"IPAddress");
    c.community = RegText(HKEY_LOCAL_MACHINE, key, L"SNMPCommunity");
    c.exAddress = RegText(HKEY_LOCAL_MACHINE, key, L"ExAddress");
    c.protocol = RegNumber(HKEY_LOCAL_MACHINE, key, L"Protocol");
    c.number = RegNumber(HKEY_LOCAL_MACHINE, key, L"PortNumber");
    c.snmp = RegNumber(HKEY_LOCAL_MACHINE, key, L"SNMPEnabled");
    c.index = RegNumber(HKEY_LOCAL_MACHINE, key, L"SNMPDevIndex");
    c.ipv6 = RegNumber(HKEY_LOCAL_MACHINE, key, L"IPv6");
    return c;
}

struct QueueInfo {
    bool exists = false;
    std::wstring port, driver, processor, datatype;
    std::wstring devModeName;  // empty without a device mode
    short paper = 0;
};

QueueInfo ReadQueue(const std::wstring& name) {
    QueueInfo q;
    HANDLE h = nullptr;
    std::wstring n = name;
    if (!OpenPrinterW(n.data(), &h, nullptr)) return q;
    DWORD needed = 0;
    GetPrinterW(h, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (GetPrinterW(h, 2, buffer.data(), needed, &needed)) {
        const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
        q.exists = true;
        q.port = info->pPortName ? info->pPortName : L"";
        q.driver = info->pDriverName ? info->pDriverName : L"";
        q.processor = info->pPrintProcessor ? info->pPrintProcessor : L"";
        q.datatype = info->pDatatype ? info->pDatatype : L"";
        if (info->pDevMode) {
            q.devModeName = info->pDevMode->dmDeviceName;
            q.paper = info->pDevMode->dmPaperSize;
        }
    }
    ClosePrinter(h);
    return q;
}

std::vector<PRINTER_INFO_2W> LocalPrinters(std::vector<BYTE>& buffer) {
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    buffer.assign(needed ? needed : 1, 0);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) count = 0;
    const auto* p = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    return std::vector<PRINTER_INFO_2W>(p, p + count);
}

std::wstring DefaultPrinter() {
    wchar_t name[512] = {};
    DWORD size = 512;
    return GetDefaultPrinterW(name, &size) ? name : L"<none>";
}

// One transceiver command to a monitor; the monitor's status, or
// 0xFFFFFFFF when the transceiver cannot be reached.
DWORD Xcv(const wchar_t* monitor, const wchar_t* command, const void* input, DWORD size) {
    std::wstring name = std::wstring(L",XcvMonitor ") + monitor;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE h = nullptr;
    if (!OpenPrinterW(name.data(), &h, &defaults)) return 0xFFFFFFFF;
    DWORD needed = 0, status = 0;
    BYTE out[16] = {};
    const BOOL ok = XcvDataW(h, command, static_cast<BYTE*>(const_cast<void*>(input)), size, out, sizeof(out),
                             &needed, &status);
    ClosePrinter(h);
    return ok ? status : 0xFFFFFFFF;
}

DWORD AddPortByName(const wchar_t* monitor, const std::wstring& port) {
    return Xcv(monitor, L"AddPort", port.c_str(), static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)));
}

std::wstring DriverDirectory();

// The printer driver of the stand-in files, as the install would add it.
bool AddTestDriver(const wchar_t* name) {
    const std::wstring dir = DriverDirectory();
    std::wstring n = name, env = kEnvironment, type = L"RAW";
    std::wstring drv = dir + L"\\tavk78drv.dll", data = dir + L"\\tavk78.gpd", ui = dir + L"\\tavk78ui.dll";
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = n.data();
    info.pEnvironment = env.data();
    info.pDriverPath = drv.data();
    info.pDataFile = data.data();
    info.pConfigFile = ui.data();
    info.pDefaultDataType = type.data();
    return AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&info)) ||
           GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

bool RegisterVendorMonitor() {
    std::wstring name = kVendorMonitor, file = kVendorMonitorFile;
    MONITOR_INFO_2W monitor = {name.data(), nullptr, file.data()};
    return AddMonitorW(nullptr, 2, reinterpret_cast<BYTE*>(&monitor)) ||
           GetLastError() == ERROR_PRINT_MONITOR_ALREADY_INSTALLED;
}

HANDLE AddTestQueue(const std::wstring& name, const std::wstring& port, const wchar_t* driver) {
    std::wstring n = name, p = port, d = driver, proc = L"winprint", type = L"RAW";
    PRINTER_INFO_2W info = {};
    info.pPrinterName = n.data();
    info.pPortName = p.data();
    info.pDriverName = d.data();
    info.pPrintProcessor = proc.data();
    info.pDatatype = type.data();
    return AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
}

// --- Prefix preparation ------------------------------------------------------------

std::wstring ProductOut() {
    wchar_t value[1024] = {};
    if (GetEnvironmentVariableW(L"DRV_PRODUCT_OUT", value, 1024)) return value;
    return plat::ProgramFolder() + L"..\\product-out";
}

std::wstring DriverDirectory() {
    wchar_t dir[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, const_cast<wchar_t*>(kEnvironment), 1, reinterpret_cast<BYTE*>(dir),
                               sizeof(dir), &needed);
    return dir;
}

bool CopyInto(const std::wstring& from, const std::wstring& folder, const wchar_t* name) {
    const std::wstring to = folder + L"\\" + name;
    if (CopyFileW((from + L"\\" + name).c_str(), to.c_str(), FALSE)) return true;
    // A copy of an earlier run may be loaded by now; it is the same file.
    return GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The driver packages put the driver files into the printer driver
// directory and the monitors into the system directory; the test prefix
// gets them once per run, and the standard monitor is registered.
bool PrepareSpoolerOnce() {
    static int state = 0;
    if (state) return state > 0;
    state = -1;
    const std::wstring printer = ProductOut() + L"\\Driver\\x64\\Printer";
    const std::wstring fax = ProductOut() + L"\\Driver\\x64\\Fax";
    const std::wstring drivers = DriverDirectory();
    const std::wstring system = plat::SystemDirectory();
    for (const wchar_t* f : {L"tavk78drv.dll", L"tavk78.gpd", L"tavk78ui.dll", L"tavk78lm.dll", L"tavk78pp.dll",
                             L"tavk78tcp.dll", L"tavk78res.dll", L"tavk78.icm", L"tavk78.hlp"})
        if (!CopyInto(printer, drivers, f)) return false;
    for (const wchar_t* f : {L"tavk78fxdrv.dll", L"tavk78fxui.dll", L"tavk78fxres.dll", L"tavk78fxcov.dat"})
        if (!CopyInto(fax, drivers, f)) return false;
    if (!CopyInto(printer, system, L"tavk78lm.dll") || !CopyInto(printer, system, kVendorMonitorFile) ||
        !CopyInto(plat::ProgramFolder(), system, kStandardMonitorFile))
        return false;
    std::wstring name = kStandardMonitor, file = kStandardMonitorFile;
    MONITOR_INFO_2W monitor = {name.data(), nullptr, file.data()};
    if (!AddMonitorW(nullptr, 2, reinterpret_cast<BYTE*>(&monitor)) &&
        GetLastError() != ERROR_PRINT_MONITOR_ALREADY_INSTALLED)
        return false;
    state = 1;
    return true;
}

void DeleteQueue(const std::wstring& name) {
    std::wstring n = name;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE h = nullptr;
    if (!OpenPrinterW(n.data(), &h, &defaults)) return;
    DeletePrinter(h);
    ClosePrinter(h);
}

std::wstring InfFolder() { return plat::WindowsDirectory() + L"\\inf"; }

bool FileContains(const std::wstring& path, const std::wstring& text) {
    std::wifstream in(path.c_str());
    std::wstring line;
    while (std::getline(in, line))
        if (line.find(text) != std::wstring::npos) return true;
    return false;
}

// The INF store's copies of the tests' INF files (Wine keeps the file name
// where it is free; Windows names them oemN.inf).
std::vector<std::wstring> StoredTestInfs() {
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((InfFolder() + L"\\*.inf").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        const std::wstring path = InfFolder() + L"\\" + data.cFileName;
        if (FileContains(path, kInfMarker)) out.push_back(path);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return out;
}

// Removes what the tests create: queues of the test drivers, the ports of
// both port monitors, the test drivers and the INF store copies.
void CleanSpooler() {
    std::vector<BYTE> buffer;
    for (const PRINTER_INFO_2W& p : LocalPrinters(buffer)) {
        if (!p.pDriverName || !p.pPrinterName) continue;
        for (const wchar_t* d : {kPrinterDriver, kSnmpDriver, kFaxDriver, kOtherDriver})
            if (wcscmp(p.pDriverName, d) == 0) DeleteQueue(p.pPrinterName);
    }
    for (const wchar_t* monitor : {kStandardMonitor, kVendorMonitor})
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kMonitorsKey) + monitor + L"\\Ports").c_str());
    for (const wchar_t* d : {kPrinterDriver, kSnmpDriver, kFaxDriver, kOtherDriver}) {
        std::wstring env = kEnvironment, name = d;
        DeletePrinterDriverW(nullptr, env.data(), name.data());
    }
    for (const std::wstring& inf : StoredTestInfs()) {
        DeleteFileW(inf.c_str());
        DeleteFileW((inf.substr(0, inf.size() - 3) + L"pnf").c_str());  // Wine's precompiled copy
    }
}

void WriteInf(const std::wstring& path, const wchar_t* kind) {
    CreateDirectoryW(plat::FolderPart(path).c_str(), nullptr);
    std::wofstream out(path.c_str());
    out << kInfMarker << L" (" << kind << L")\n[Version]\nSignature=\"$Windows NT$\"\nClass=Printer\n"
        << L"ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}\nProvider=Test\n";
}

// Every hardware id the driver update was asked for; it succeeds for the
// id at `updateSucceedsAt`.
std::vector<std::wstring> g_updatedIds;
std::wstring g_updateInf;
size_t g_updateSucceedsAt = 0;
BOOL WINAPI RecordUpdate(HWND, LPCWSTR id, LPCWSTR inf, DWORD flags, PBOOL) {
    g_updatedIds.emplace_back(id);
    g_updateInf = inf;
    EXPECT_EQ(flags, 1u);  // INSTALLFLAG_FORCE
    return g_updatedIds.size() - 1 == g_updateSucceedsAt;
}

// --- Fixture ---------------------------------------------------------------------

class PrinterQueue : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(PrepareSpoolerOnce()) << "the spooler stand-ins could not be put in place";
        // Vista: the printer driver is added by AddPrinterDriverW, not from
        // the driver store.
        system.version = {true, true, VER_PLATFORM_WIN32_NT, 6, 0, VER_NT_WORKSTATION, 0};
        ASSERT_TRUE(cfg::LoadSetupConfigText(Document(false)));
        CleanSpooler();
        m_oldDefault = DefaultPrinter();

        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_programFiles = std::wstring(temp) + L"pq-test-programs";
        installFolder = m_programFiles + L"\\Vendor\\Series";
        for (const std::wstring& d : {m_programFiles, m_programFiles + L"\\Vendor", installFolder,
                                      installFolder + L"\\Driver", installFolder + L"\\Driver\\x64"})
            CreateDirectoryW(d.c_str(), nullptr);
        printerInf = installFolder + L"\\Driver\\x64\\Printer\\testprn.inf";
        faxInf = installFolder + L"\\Driver\\x64\\Fax\\testfax.inf";
        WriteInf(printerInf, L"printer");
        WriteInf(faxInf, L"fax");

        plat::CopyTrunc(host.m_szProgramFiles, m_programFiles);
        plat::CopyTrunc(host.m_szModel, L"Model K1");
        g_updatedIds.clear();
        g_updateSucceedsAt = 0;
        install::SetUpdateDriverForTest(RecordUpdate);
    }
    void TearDown() override {
        install::SetUpdateDriverForTest(nullptr);
        install::SetSetDefaultPrinterForTest(nullptr);
        CleanSpooler();
        if (m_oldDefault != L"<none>") SetDefaultPrinterW(m_oldDefault.c_str());
        cfg::LoadSetupConfigText("");
    }

    void UseVendorMonitor() { ASSERT_TRUE(cfg::LoadSetupConfigText(Document(true))); }

    void Choose(const wchar_t* queue, const wchar_t* address, const wchar_t* port = L"") {
        ChosenPrinterItem item;
        plat::CopyTrunc(item.printerName, queue);
        plat::CopyTrunc(item.portAddress, address);
        plat::CopyTrunc(item.portName, port);
        host.m_ChosenPrinters.push_back(item);
    }

    std::vector<LPARAM> Progress() {
        std::vector<LPARAM> values;
        MSG msg;
        while (PeekMessageW(&msg, page.GetSafeHwnd(), WM_INSTALL_PROGRESS, WM_INSTALL_PROGRESS, PM_REMOVE))
            if (msg.wParam == kInstallProgressValue) values.push_back(msg.lParam);
        return values;
    }

    FakeSystem system;
    TestHost host;
    MessageOnlyPage page{&host};
    std::wstring installFolder, printerInf, faxInf;

private:
    std::wstring m_programFiles, m_oldDefault;
};

using testsupport::Exists;

// --- USB ---------------------------------------------------------------------------

TEST_F(PrinterQueue, UsbInstallAddsDriverQueueOnUsbPortAndMakesItDefault) {
    host.m_nConnectType = 1;
    host.m_bUsbPrinterFound = 1;
    plat::CopyTrunc(host.m_szUsbPort, L"DOT4_001");
    g_updateSucceedsAt = 1;

    install::InstallPrinterQueue(page);

    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, std::wstring(kMonitorsKey) + kLanguageMonitor, L"Driver"), L"tavk78lm.dll");
    const std::wstring driverKey = std::wstring(kDriversKey) + kPrinterDriver;
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, driverKey, L"Driver"), L"tavk78drv.dll");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, driverKey, L"Data File"), L"tavk78.gpd");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, driverKey, L"Configuration File"), L"tavk78ui.dll");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, driverKey, L"Monitor"), kLanguageMonitor);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, driverKey, L"Datatype"), L"RAW");
    EXPECT_EQ(RegList(HKEY_LOCAL_MACHINE, driverKey, L"Dependent Files"),
              (std::vector<std::wstring>{L"tavk78res.dll", L"tavk78lm.dll", L"tavk78pp.dll", L"tavk78.icm",
                                         L"tavk78.hlp"}));

    const QueueInfo queue = ReadQueue(kPrinterDriver);
    ASSERT_TRUE(queue.exists);
    EXPECT_EQ(queue.port, L"USB001");
    EXPECT_EQ(queue.driver, kPrinterDriver);
    EXPECT_TRUE(plat::EqualsNoCaseAscii(queue.processor, L"WinPrint")) << queue.processor;
    EXPECT_EQ(queue.datatype, L"RAW");
    // The device mode came from the driver's configuration module.
    EXPECT_EQ(queue.devModeName, kPrinterDriver);
    EXPECT_EQ(queue.paper, DMPAPER_A4);
    EXPECT_STREQ(host.m_szUsbPort, L"USB001");

    EXPECT_EQ(Progress(), (std::vector<LPARAM>{40, 50}));
    // The driver update runs over the model's ids until one succeeds.
    EXPECT_EQ(g_updatedIds, (std::vector<std::wstring>{L"USBPRINT\\TestK1", L"WSDPRINT\\TestK1"}));
    EXPECT_EQ(plat::ReplaceAll(g_updateInf, L"\\\\", L"\\"), printerInf);
    // The INF moved into the system's INF store.
    EXPECT_FALSE(Exists(printerInf));
    EXPECT_EQ(StoredTestInfs().size(), 1u);

    install::SetInstalledPrinterAsDefault(page);
    EXPECT_EQ(DefaultPrinter(), kPrinterDriver);
}

TEST_F(PrinterQueue, UsbQueuePortKeepsOnlyNamesStartingWithUsb) {
    struct Case {
        const wchar_t* detected;
        const wchar_t* port;
    } cases[] = {{L"USB003", L"USB003"}, {L"DOT4_002", L"USB001"}, {L"usb002", L"USB001"}, {L"", L"USB001"}};
    host.m_nConnectType = 1;
    host.m_bUsbPrinterFound = 1;
    for (const Case& c : cases) {
        plat::CopyTrunc(host.m_szUsbPort, c.detected);
        install::InstallPrinterQueue(page);
        EXPECT_EQ(ReadQueue(kPrinterDriver).port, c.port) << c.detected;
        DeleteQueue(kPrinterDriver);
    }
}

TEST_F(PrinterQueue, UsbPrinterNotFoundAddsNoQueueButStoresTheInf) {
    host.m_nConnectType = 1;
    host.m_bUsbPrinterFound = 0;
    plat::CopyTrunc(host.m_szUsbPort, L"DOT4_001");

    install::InstallPrinterQueue(page);

    EXPECT_FALSE(ReadQueue(kPrinterDriver).exists);
    EXPECT_TRUE(g_updatedIds.empty());
    EXPECT_STREQ(host.m_szUsbPort, L"DOT4_001");
    EXPECT_EQ(Progress(), (std::vector<LPARAM>{40}));
    EXPECT_FALSE(Exists(printerInf));
    EXPECT_EQ(StoredTestInfs().size(), 1u);
}

// --- Network, standard monitor ---------------------------------------------------------

TEST_F(PrinterQueue, SlpPlatformCreatesNumberedStandardPortsAndQueues) {
    host.m_nConnectType = 2;
    Choose(L"Test K1 Printer 0000", L"192.168.0.20");

    install::InstallPrinterQueue(page);

    const PortConfig port = ReadPort(kStandardMonitor, L"IPP_192.168.0.20_1");
    ASSERT_TRUE(port.exists);
    EXPECT_EQ(port.protocol, 1u);
    EXPECT_EQ(port.number, 9100u);
    EXPECT_EQ(port.snmp, 1u);
    EXPECT_EQ(port.community, L"public");
    EXPECT_EQ(port.index, 1u);
    EXPECT_EQ(port.host, L"192.168.0.20");
    EXPECT_EQ(port.ip, L"192.168.0.20");
    const QueueInfo queue = ReadQueue(L"Test K1 Printer 0000");
    ASSERT_TRUE(queue.exists);
    EXPECT_EQ(queue.port, L"IPP_192.168.0.20_1");
    EXPECT_EQ(queue.driver, kPrinterDriver);
    EXPECT_EQ(queue.processor, kProcessor);
    EXPECT_EQ(queue.datatype, L"RAW");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE,
                      L"System\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print "
                      L"Processors\\TavrinK78Processor",
                      L"Driver"),
              L"tavk78pp.dll");
    EXPECT_EQ(Progress(), (std::vector<LPARAM>{40}));
    EXPECT_TRUE(g_updatedIds.empty());
    EXPECT_FALSE(Exists(printerInf));

    // The same printer again while its first port is in use: the next number.
    host.m_ChosenPrinters.clear();
    Choose(L"Test K1 Printer 0001", L"192.168.0.20");
    WriteInf(printerInf, L"printer");
    install::InstallPrinterQueue(page);
    EXPECT_EQ(ReadQueue(L"Test K1 Printer 0001").port, L"IPP_192.168.0.20_2");
    EXPECT_TRUE(ReadPort(kStandardMonitor, L"IPP_192.168.0.20_1").exists);
    EXPECT_TRUE(ReadPort(kStandardMonitor, L"IPP_192.168.0.20_2").exists);
}

TEST_F(PrinterQueue, StandardPortReusesAnUnusedLeftoverAndTurnsSnmpOffForIpv6) {
    // A leftover port nobody uses is replaced rather than skipped.
    tcpport::PORT_DATA_1 old = {};
    wcscpy(old.sztPortName, L"IPP_192.168.0.20_1");
    old.dwVersion = 1;
    old.cbSize = sizeof(old);
    old.dwProtocol = 2;
    wcscpy(old.sztHostAddress, L"10.1.1.1");
    ASSERT_EQ(Xcv(kStandardMonitor, L"AddPort", &old, sizeof(old)), 0u);

    wchar_t name[256] = L"sentinel";
    system.sleeps.clear();
    install::AddStandardTcpIpPort(L"192.168.0.20", name);
    EXPECT_STREQ(name, L"IPP_192.168.0.20_1");
    EXPECT_EQ(ReadPort(kStandardMonitor, name).protocol, 1u);
    EXPECT_EQ(ReadPort(kStandardMonitor, name).host, L"192.168.0.20");
    EXPECT_EQ(system.sleeps, (std::vector<DWORD>{200}));

    // Longer than the record's IP address field: the whole address decides.
    install::AddStandardTcpIpPort(L"2001:db8:85a3:0:0:8a2e:370:7334", name);
    EXPECT_STREQ(name, L"IPP_2001:db8:85a3:0:0:8a2e:370:7334_1");
    const PortConfig v6 = ReadPort(kStandardMonitor, name);
    EXPECT_EQ(v6.snmp, 0u);
    EXPECT_EQ(v6.index, 0u);
    EXPECT_EQ(v6.community, L"");
    EXPECT_EQ(v6.host, L"2001:db8:85a3:0:0:8a2e:370:7334");
}

TEST_F(PrinterQueue, StandardPortWithEveryNumberInUseFallsBackToTheBaseName) {
    for (int i = 1; i <= 99; ++i) {
        const std::wstring port = plat::Format(L"IPP_192.168.0.20_%d", i);
        ASSERT_EQ(AddPortByName(kStandardMonitor, port), 0u) << i;
    }
    // Queues keep the ports from being deleted and so from being reused.
    ASSERT_TRUE(AddTestDriver(kPrinterDriver));
    for (int i = 1; i <= 99; ++i) {
        HANDLE h = AddTestQueue(plat::Format(L"Test Busy %d", i), plat::Format(L"IPP_192.168.0.20_%d", i),
                                kPrinterDriver);
        ASSERT_NE(h, nullptr) << i;
        ClosePrinter(h);
    }

    wchar_t name[256] = L"sentinel";
    install::AddStandardTcpIpPort(L"192.168.0.20", name);
    EXPECT_STREQ(name, L"IPP_192.168.0.20");
    EXPECT_FALSE(ReadPort(kStandardMonitor, name).exists);
    for (int i = 1; i <= 99; ++i) DeleteQueue(plat::Format(L"Test Busy %d", i));
}

TEST_F(PrinterQueue, PackageSystemsLeaveThePrinterDriverToTheDriverStore) {
    system.version = {true, true, VER_PLATFORM_WIN32_NT, 10, 0, VER_NT_WORKSTATION, 0};
    host.m_nConnectType = 2;
    Choose(L"Test K1 Printer 0000", L"192.168.0.20");

    install::InstallPrinterQueue(page);

    // This install folder has no driver-package library, so the store
    // brings no driver; the port is made all the same.
    EXPECT_FALSE(KeyExists(std::wstring(kDriversKey) + kPrinterDriver));
    EXPECT_TRUE(ReadPort(kStandardMonitor, L"IPP_192.168.0.20_1").exists);
    EXPECT_FALSE(ReadQueue(L"Test K1 Printer 0000").exists);
}

// --- Network, SNMP platform ----------------------------------------------------------------

TEST_F(PrinterQueue, SnmpPlatformRecreatesTheChosenPortWithSnmpOff) {
    host.m_nConnectType = 2;
    plat::CopyTrunc(host.m_szModel, L"Model K2");
    // An earlier port of that name, with SNMP on, is deleted and added anew.
    tcpport::PORT_DATA_1 old = {};
    wcscpy(old.sztPortName, L"PNET003");
    old.dwVersion = 1;
    old.cbSize = sizeof(old);
    old.dwSNMPEnabled = 1;
    old.dwSNMPDevIndex = 1;
    wcscpy(old.sztSNMPCommunity, L"public");
    ASSERT_EQ(Xcv(kStandardMonitor, L"AddPort", &old, sizeof(old)), 0u);
    Choose(L"Test K2 Printer 0000", L"192.168.0.21", L"PNET003");
    system.sleeps.clear();

    install::InstallPrinterQueue(page);

    const PortConfig port = ReadPort(kStandardMonitor, L"PNET003");
    ASSERT_TRUE(port.exists);
    EXPECT_EQ(port.snmp, 0u);
    EXPECT_EQ(port.index, 0u);
    EXPECT_EQ(port.community, L"");
    EXPECT_EQ(port.host, L"192.168.0.21");
    EXPECT_EQ(port.number, 9100u);
    EXPECT_EQ(ReadQueue(L"Test K2 Printer 0000").port, L"PNET003");
    EXPECT_EQ(ReadQueue(L"Test K2 Printer 0000").driver, kSnmpDriver);
    EXPECT_EQ(system.sleeps, (std::vector<DWORD>{200}));
}

// --- Network, the product's own port monitor -------------------------------------------------

TEST_F(PrinterQueue, VendorMonitorAddsConfiguresAndExtendsNumberedPorts) {
    UseVendorMonitor();
    host.m_nConnectType = 2;
    Choose(L"Test K1 Printer 0000", L"192.168.0.20");
    Choose(L"Test K1 Printer 0001", L"192.168.0.20");

    install::InstallPrinterQueue(page);

    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, std::wstring(kMonitorsKey) + kVendorMonitor, L"Driver"), kVendorMonitorFile);
    for (int i : {1, 2}) {
        const std::wstring name = plat::Format(L"IPP_192.168.0.20_%d", i);
        const PortConfig port = ReadPort(kVendorMonitor, name);
        ASSERT_TRUE(port.exists) << name;
        EXPECT_EQ(port.protocol, 1u);
        EXPECT_EQ(port.number, 9100u);
        EXPECT_EQ(port.snmp, 1u);
        EXPECT_EQ(port.community, L"public");
        EXPECT_EQ(port.index, 1u);
        EXPECT_EQ(port.exAddress, L"192.168.0.20");
        EXPECT_EQ(port.ipv6, 0u);
        EXPECT_EQ(ReadQueue(plat::Format(L"Test K1 Printer 000%d", i - 1)).port, name);
    }
    // Nothing was written to the standard monitor.
    EXPECT_FALSE(ReadPort(kStandardMonitor, L"IPP_192.168.0.20_1").exists);
}

TEST_F(PrinterQueue, VendorPortOfAnIpv6PrinterCarriesTheIpv6Flag) {
    wchar_t name[256] = L"sentinel";
    EXPECT_EQ(install::AddVendorTcpIpPort(L"fe80::20", kVendorMonitor, kVendorMonitorFile, name), 1);
    EXPECT_STREQ(name, L"IPP_fe80::20_1");
    const PortConfig port = ReadPort(kVendorMonitor, name);
    EXPECT_EQ(port.ipv6, 1u);
    EXPECT_EQ(port.exAddress, L"fe80::20");
    EXPECT_EQ(port.snmp, 1u);
}

TEST_F(PrinterQueue, VendorPortWithEveryNumberTakenIsAttemptedWithTheBaseName) {
    UseVendorMonitor();
    ASSERT_TRUE(RegisterVendorMonitor());
    for (int i = 1; i <= 99; ++i)
        ASSERT_EQ(AddPortByName(kVendorMonitor, plat::Format(L"IPP_192.168.0.20_%d", i)), 0u) << i;
    host.m_nConnectType = 2;
    Choose(L"Test K1 Printer 0000", L"192.168.0.20");

    install::InstallPrinterQueue(page);

    const QueueInfo queue = ReadQueue(L"Test K1 Printer 0000");
    ASSERT_TRUE(queue.exists);
    EXPECT_EQ(queue.port, L"IPP_192.168.0.20");
    EXPECT_FALSE(ReadPort(kVendorMonitor, L"IPP_192.168.0.20").exists);
}

TEST_F(PrinterQueue, VendorMonitorThatCannotBeRegisteredLeavesThePortNameAlone) {
    wchar_t name[256] = L"sentinel";
    EXPECT_EQ(install::AddVendorTcpIpPort(L"192.168.0.20", L"Test Missing Monitor", L"no_such_monitor.dll", name), 0);
    EXPECT_STREQ(name, L"sentinel");
    EXPECT_FALSE(KeyExists(std::wstring(kMonitorsKey) + L"Test Missing Monitor"));
}

// --- Fax ---------------------------------------------------------------------------------------

TEST_F(PrinterQueue, NetworkFaxQueuesTakeThePrinterQueuesNumbersOnNewPorts) {
    UseVendorMonitor();
    host.m_nConnectType = 2;
    Choose(L"Test K1 Printer 0000", L"192.168.0.20");
    Choose(L"Test K1 Printer 0001", L"192.168.0.30");
    install::InstallPrinterQueue(page);
    system.sleeps.clear();

    install::InstallNetworkFaxQueues(page);

    const std::wstring faxKey = std::wstring(kDriversKey) + kFaxDriver;
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, faxKey, L"Driver"), L"tavk78fxdrv.dll");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, faxKey, L"Data File"), L"tavk78fxui.dll");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, faxKey, L"Configuration File"), L"tavk78fxui.dll");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, faxKey, L"Monitor"), L"");
    // The value has no final "#"; the list still ends where it should.
    EXPECT_EQ(RegList(HKEY_LOCAL_MACHINE, faxKey, L"Dependent Files"),
              (std::vector<std::wstring>{L"tavk78fxres.dll", L"tavk78fxcov.dat"}));

    const QueueInfo first = ReadQueue(L"Test K1 Fax 0000");
    const QueueInfo second = ReadQueue(L"Test K1 Fax 0001");
    ASSERT_TRUE(first.exists);
    ASSERT_TRUE(second.exists);
    EXPECT_EQ(first.driver, kFaxDriver);
    EXPECT_EQ(first.processor, kProcessor);
    EXPECT_EQ(first.port, L"IPP_192.168.0.20_2");
    EXPECT_EQ(second.port, L"IPP_192.168.0.30_2");
    EXPECT_EQ(ReadQueue(L"Test K1 Printer 0000").port, L"IPP_192.168.0.20_1");
    EXPECT_EQ(system.sleeps, (std::vector<DWORD>{300, 200, 300, 200, 200}));
    EXPECT_FALSE(Exists(faxInf));
    EXPECT_EQ(StoredTestInfs().size(), 2u);  // the printer's and the fax's
}

TEST_F(PrinterQueue, FaxQueuesNeedEveryFaxValue) {
    ASSERT_TRUE(cfg::LoadSetupConfigText(
        "<SERTUP_INFO><FaxName><FaxModel ID=\"Model K1\">Test K1 Fax</FaxModel></FaxName>"
        "<DLL_NORMAL><source_dll ID=\"FaxDR\">tavk78fxdrv.dll</source_dll>"
        "<source_dll ID=\"FaxUI\">tavk78fxui.dll</source_dll></DLL_NORMAL>"
        "<INF><Infinpackage ID=\"FAX\">Driver\\x64\\Fax\\testfax.inf</Infinpackage></INF></SERTUP_INFO>"));
    host.m_nConnectType = 2;
    Choose(L"Test K1 Printer 0000", L"192.168.0.20");

    install::InstallNetworkFaxQueues(page);

    EXPECT_FALSE(KeyExists(std::wstring(kDriversKey) + kFaxDriver));
    EXPECT_FALSE(ReadQueue(L"Test K1 Fax 0000").exists);
    EXPECT_TRUE(Exists(faxInf));
    EXPECT_TRUE(system.sleeps.empty());
}

// --- Default printer ---------------------------------------------------------------------------

int g_setCalls = 0;
// Sets the default as asked but reports a failure the first time.
BOOL WINAPI SetButReportFailureOnce(LPCWSTR name) {
    const BOOL set = SetDefaultPrinterW(name);
    if (++g_setCalls > 1) return set;
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
}

TEST_F(PrinterQueue, DefaultPrinterIsTheFirstChosenQueueAndFailureRestoresThePrevious) {
    ASSERT_TRUE(AddTestDriver(kPrinterDriver));
    for (const wchar_t* name : {L"Test K1 Printer 0000", L"Test K1 Printer 0001", L"Test K1 Previous"}) {
        HANDLE h = AddTestQueue(name, L"FILE:", kPrinterDriver);
        ASSERT_NE(h, nullptr) << name;
        ClosePrinter(h);
    }
    ASSERT_TRUE(SetDefaultPrinterW(L"Test K1 Previous"));
    host.m_nConnectType = 2;

    // No chosen printer: nothing changes.
    install::SetInstalledPrinterAsDefault(page);
    EXPECT_EQ(DefaultPrinter(), L"Test K1 Previous");

    Choose(L"Test K1 Printer 0001", L"192.168.0.20");
    Choose(L"Test K1 Printer 0000", L"192.168.0.21");
    install::SetInstalledPrinterAsDefault(page);
    EXPECT_EQ(DefaultPrinter(), L"Test K1 Printer 0001");

    // A failing switch leaves the previous default in place.
    ASSERT_TRUE(SetDefaultPrinterW(L"Test K1 Previous"));
    g_setCalls = 0;
    install::SetSetDefaultPrinterForTest(SetButReportFailureOnce);
    install::SetInstalledPrinterAsDefault(page);
    EXPECT_EQ(g_setCalls, 2);
    EXPECT_EQ(DefaultPrinter(), L"Test K1 Previous");

    // And with the real spooler refusing a queue that does not exist.
    install::SetSetDefaultPrinterForTest(nullptr);
    host.m_ChosenPrinters.clear();
    Choose(L"Test K1 No Such Queue", L"192.168.0.20");
    install::SetInstalledPrinterAsDefault(page);
    EXPECT_EQ(DefaultPrinter(), L"Test K1 Previous");
}

TEST_F(PrinterQueue, FindUsbPrinterQueueTakesTheModelsDriverOnAUsbPort) {
    ASSERT_TRUE(AddTestDriver(kPrinterDriver));
    testsupport::SpoolerFixture other;
    ASSERT_TRUE(other.AddDriverAndPrinter(kOtherDriver, L"Test Other On USB", L"USB005"));
    struct Queue {
        const wchar_t* name;
        const wchar_t* port;
    } queues[] = {{L"Test K1 On File", L"FILE:"}, {L"Test K1 On Usb", L"USB002"}};
    for (const Queue& q : queues) {
        HANDLE h = AddTestQueue(q.name, q.port, kPrinterDriver);
        ASSERT_NE(h, nullptr) << q.name;
        ClosePrinter(h);
    }
    wchar_t name[512] = L"";
    install::FindUsbPrinterQueue(L"Model K1", name);
    EXPECT_STREQ(name, L"Test K1 On Usb");

    wchar_t none[512] = L"";
    install::FindUsbPrinterQueue(L"Model K2", none);
    EXPECT_STREQ(none, L"");
}

// --- Naming rules ----------------------------------------------------------------------------------

TEST_F(PrinterQueue, UniqueQueueNamesFollowTheExistingQueues) {
    ASSERT_TRUE(AddTestDriver(kPrinterDriver));
    struct Case {
        std::vector<const wchar_t*> queues;
        int counter;
        const wchar_t* name;
        int counterAfter;
    } cases[] = {
        {{L"Test K1 Printer 0000", L"Test K1 Printer 0002"}, 0, L"Test K1 Printer 0003", 3},
        {{}, 0, L"Test K1 Printer 0000", 0},
        {{L"Test K1 Printer 0001"}, 5, L"Test K1 Printer 0005", 5},
        {{L"Test K1 Printer"}, 0, L"Test K1 Printer 0000", 0},  // not longer than the base
        {{L"Test K1 Printer 0007 Copy"}, 0, L"Test K1 Printer 0001", 1},  // no final number counts as 0
    };
    for (const Case& c : cases) {
        for (const wchar_t* q : c.queues) {
            HANDLE h = AddTestQueue(q, L"FILE:", kPrinterDriver);
            ASSERT_NE(h, nullptr) << q;
            ClosePrinter(h);
        }
        int counter = c.counter;
        EXPECT_EQ(install::MakeUniqueQueueName(L"Test K1 Printer", counter), c.name);
        EXPECT_EQ(counter, c.counterAfter);
        for (const wchar_t* q : c.queues) DeleteQueue(q);
    }
}

TEST_F(PrinterQueue, NextTcpPortNameFollowsTheStandardMonitorsPorts) {
    struct Case {
        std::vector<const wchar_t*> ports;
        const wchar_t* name;
    } cases[] = {
        {{L"PNET001", L"PNET004"}, L"PNET005"},
        {{L"PNET001"}, L"PNET002"},
        {{}, L"PNET001"},
        {{L"PNET"}, L"PNET001"},      // not longer than the prefix
        {{L"XPNET012"}, L"PNET013"},  // contains the prefix
    };
    // Ports of another monitor do not count.
    ASSERT_TRUE(RegisterVendorMonitor());
    ASSERT_EQ(AddPortByName(kVendorMonitor, L"PNET009"), 0u);
    for (const Case& c : cases) {
        for (const wchar_t* p : c.ports) ASSERT_EQ(AddPortByName(kStandardMonitor, p), 0u) << p;
        system.sleeps.clear();
        EXPECT_EQ(install::MakeNextTcpPortName(L"PNET"), c.name);
        EXPECT_EQ(system.sleeps, (std::vector<DWORD>{200, 200}));
        for (const wchar_t* p : c.ports)
            Xcv(kStandardMonitor, L"DeletePort", p, static_cast<DWORD>((wcslen(p) + 1) * sizeof(wchar_t)));
    }
    EXPECT_TRUE(system.boxes.empty());
}

TEST_F(PrinterQueue, NextTcpPortNameGivesUpPast256StandardPorts) {
    for (int i = 1; i <= 256; ++i) ASSERT_EQ(AddPortByName(kStandardMonitor, plat::Format(L"Q%03d", i)), 0u) << i;
    EXPECT_EQ(install::MakeNextTcpPortName(L"PNET"), L"PNET001");
    EXPECT_TRUE(system.boxes.empty());

    ASSERT_EQ(AddPortByName(kStandardMonitor, L"PNET007"), 0u);
    EXPECT_EQ(install::MakeNextTcpPortName(L"PNET"), L"");
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, L"Find Net Port Error");
}

// --- The port monitor's transceiver ----------------------------------------------------------------

TEST_F(PrinterQueue, PortMonitorRefusesMalformedRecordsAndUnknownPorts) {
    ASSERT_TRUE(RegisterVendorMonitor());
    for (const wchar_t* monitor : {kStandardMonitor, kVendorMonitor}) {
        tcpport::PORT_DATA_1 record = {};
        wcscpy(record.sztPortName, L"T1");
        record.dwVersion = 1;
        record.cbSize = sizeof(record);
        EXPECT_EQ(Xcv(monitor, L"AddPort", &record, sizeof(record)), 0u) << monitor;
        EXPECT_EQ(Xcv(monitor, L"AddPort", &record, sizeof(record)), static_cast<DWORD>(ERROR_ALREADY_EXISTS));

        tcpport::PORT_DATA_1 unterminated = record;
        for (wchar_t& c : unterminated.sztHostAddress) c = L'x';
        EXPECT_EQ(Xcv(monitor, L"ConfigurePort", &unterminated, sizeof(unterminated)),
                  static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(Xcv(monitor, L"ConfigurePort", &record, sizeof(record) - 1),
                  static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        tcpport::PORT_DATA_1 unknown = record;
        wcscpy(unknown.sztPortName, L"T2");
        EXPECT_EQ(Xcv(monitor, L"ConfigurePort", &unknown, sizeof(unknown)), static_cast<DWORD>(ERROR_UNKNOWN_PORT));

        tcpport::PORT_CONFIG_EX_DATA extended = {};
        wcscpy(extended.szPortName, L"T1");
        extended.dwVersion = 1;
        extended.cbSize = 400;
        EXPECT_EQ(Xcv(monitor, L"SetConfigExData", &extended, sizeof(extended)),
                  static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        const wchar_t bare[3] = {L'T', L'3', L'X'};  // no NUL inside the data
        EXPECT_EQ(Xcv(monitor, L"AddPort", bare, sizeof(bare)), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

        tcpport::DELETE_PORT_DATA_1 deletion = {};
        wcscpy(deletion.psztPortName, L"T1");
        deletion.dwVersion = 1;
        EXPECT_EQ(Xcv(monitor, L"DeletePort", &deletion, sizeof(deletion)), 0u);
        EXPECT_EQ(Xcv(monitor, L"DeletePort", &deletion, sizeof(deletion)), static_cast<DWORD>(ERROR_UNKNOWN_PORT));
        EXPECT_FALSE(ReadPort(monitor, L"T1").exists);
    }
}

TEST_F(PrinterQueue, PortMonitorKeepsPortsInUseAndNeedsAdministerAccess) {
    ASSERT_EQ(AddPortByName(kStandardMonitor, L"T1"), 0u);
    ASSERT_TRUE(AddTestDriver(kPrinterDriver));
    HANDLE h = AddTestQueue(L"Test K1 On T1", L"T1", kPrinterDriver);
    ASSERT_NE(h, nullptr);
    ClosePrinter(h);
    EXPECT_EQ(Xcv(kStandardMonitor, L"DeletePort", L"T1", 3 * sizeof(wchar_t)), static_cast<DWORD>(ERROR_BUSY));
    EXPECT_TRUE(ReadPort(kStandardMonitor, L"T1").exists);

    std::wstring name = std::wstring(L",XcvMonitor ") + kStandardMonitor;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, SERVER_ACCESS_ENUMERATE};
    HANDLE xcv = nullptr;
    ASSERT_TRUE(OpenPrinterW(name.data(), &xcv, &defaults));
    DWORD needed = 0, status = 0;
    const wchar_t port[] = L"T4";
    EXPECT_TRUE(XcvDataW(xcv, L"AddPort", reinterpret_cast<BYTE*>(const_cast<wchar_t*>(port)), sizeof(port),
                         nullptr, 0, &needed, &status));
    EXPECT_EQ(status, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ClosePrinter(xcv);
    EXPECT_FALSE(ReadPort(kStandardMonitor, L"T4").exists);
}

// --- Address check -------------------------------------------------------------------------------

TEST(Ipv6Address, RecognisesTheIpv6Forms) {
    struct Case {
        const wchar_t* text;
        bool ipv6;
    } cases[] = {
        {L"fe80::1", true},          {L"FE80::1", true},
        {L"::1", true},              {L"1:2:3:4:5:6:7:8", true},
        {L"1:2:3:4:5:6:7::", true},  {L"::ffff:192.168.1.20", true},
        {L"::ffff:010.001.000.001", true}, {L"1:2:3:4:5:6:1.2.3.4", true},
        {L"1::2:3:4.5.6.7", true},   {L"::", false},
        {L"fe80::1%4", false},       {L"1:2:3:4:5:6:7:8:9", false},
        {L"dead:beef", false},       {L"192.168.1.20", false},
        {L"", false},                {L"12345:1::", false},
        {L"::ffff:256.1.1.1", false}, {L"g::1", false},
    };
    for (const Case& c : cases) EXPECT_EQ(netfind::IsIPv6Address(c.text), c.ipv6) << c.text;
    EXPECT_FALSE(netfind::IsIPv6Address(nullptr));
}

}  // namespace

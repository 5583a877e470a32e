#include "install/printer_queue.h"

#include <windows.h>
#include <newdev.h>
#include <setupapi.h>
#include <winspool.h>

#include <atomic>
#include <cwchar>
#include <string>
#include <vector>

#include "config/setup_config.h"
#include "install/driver_packages.h"
#include "install/install_page.h"
#include "install/install_worker.h"
#include "install/tcpip_port_data.h"
#include "netfind/ip_address.h"
#include "platform/handles.h"
#include "platform/system.h"
#include "platform/text.h"
#include "ui/main_manage.h"

namespace install {

namespace {

// The environment of every driver, monitor and processor this program
// registers: the 64-bit installer sets up 64-bit drivers only.
constexpr wchar_t kEnvironment[] = L"Windows x64";
constexpr wchar_t kStandardXcv[] = L",XcvMonitor Standard TCP/IP Port";
// The monitor name the standard monitor gives its ports in PORT_INFO_2.
constexpr wchar_t kStandardPortMonitorName[] = L"TCPMON.DLL";
constexpr wchar_t kRawDatatype[] = L"RAW";
constexpr wchar_t kUsbPrintProcessor[] = L"WinPrint";

std::atomic<UpdateDriverFunction> g_updateDriverForTest{nullptr};
std::atomic<SetDefaultPrinterFunction> g_setDefaultForTest{nullptr};

// --- Configuration values ---------------------------------------------------

std::wstring DllName(const wchar_t* id) { return cfg::ConfigTextByValue(L"/SERTUP_INFO/DLL_NORMAL/source_dll", id); }

std::wstring PrinterDriverDirectory() {
    wchar_t dir[512] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, const_cast<wchar_t*>(kEnvironment), 1, reinterpret_cast<BYTE*>(dir),
                                    sizeof(dir) - sizeof(wchar_t), &needed))
        plat::TraceF(L"GetPrinterDriverDirectory error : %lu", GetLastError());
    return dir;
}

// "#"-separated names as a list of NUL-terminated names ending with an
// empty one. The text need not end with "#": the buffer is zero-filled
// beyond it.
std::vector<wchar_t> DependentFileList(const std::wstring& text) {
    std::vector<wchar_t> list(text.size() + 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) list[i] = text[i] == L'#' ? L'\0' : text[i];
    return list;
}

wchar_t* Mutable(std::wstring& text) { return text.data(); }

// --- Spooler ------------------------------------------------------------------

// Owner of a spooler handle (queue or transceiver).
struct PrinterTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr; }
    static void Close(HANDLE h) { ClosePrinter(h); }
};
using Printer = plat::Owned<HANDLE, PrinterTraits>;

// Opens a port monitor's transceiver for administration.
bool OpenTransceiver(const std::wstring& name, Printer& xcv) {
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    std::wstring copy = name;
    return OpenPrinterW(copy.data(), xcv.put(), &defaults) != FALSE;
}

// One transceiver command; false when the call itself fails, otherwise the
// monitor's answer in `status`.
bool SendXcv(HANDLE xcv, const wchar_t* command, const void* input, DWORD inputSize, DWORD outputSize,
             DWORD& status) {
    BYTE output[100] = {};
    DWORD needed = 0;
    status = 0;
    return XcvDataW(xcv, command, static_cast<BYTE*>(const_cast<void*>(input)), inputSize,
                    outputSize ? output : nullptr, outputSize, &needed, &status) != FALSE;
}

// The standard port record for a raw port on 9100; the SNMP fields only
// when SNMP is enabled.
tcpport::PORT_DATA_1 RawPortData(const wchar_t* portName, const wchar_t* address, bool snmp) {
    tcpport::PORT_DATA_1 data = {};
    plat::CopyTrunc(data.sztPortName, portName);
    data.dwVersion = tcpport::kPortDataVersion;
    data.dwProtocol = tcpport::kProtocolRaw;
    data.cbSize = sizeof(data);
    plat::CopyTrunc(data.sztHostAddress, address);
    plat::CopyTrunc(data.sztIPAddress, address);
    data.dwPortNumber = tcpport::kRawPortNumber;
    if (snmp) {
        plat::CopyTrunc(data.sztSNMPCommunity, tcpport::kDefaultSnmpCommunity);
        data.dwSNMPEnabled = 1;
        data.dwSNMPDevIndex = 1;
    }
    return data;
}

tcpport::DELETE_PORT_DATA_1 DeletePortData(const wchar_t* portName) {
    tcpport::DELETE_PORT_DATA_1 data = {};
    plat::CopyTrunc(data.psztPortName, portName);
    data.dwVersion = tcpport::kPortDataVersion;
    return data;
}

std::wstring PortBaseName(const wchar_t* address) { return plat::Format(L"%ls_%ls", L"IPP", address); }

// "<base>_<n>", at most 63 characters.
std::wstring PortCandidate(const std::wstring& base, int n) {
    wchar_t candidate[tcpport::kMaxPortNameLen] = {};
    plat::CopyTrunc(candidate, plat::Format(L"%ls_%d", base.c_str(), n));
    return candidate;
}

// A port through the product's own monitor when the document names one,
// otherwise through the standard monitor.
void CreateNetworkPort(const wchar_t* address, wchar_t* portName) {
    const std::wstring monitor = cfg::ConfigText(L"/SERTUP_INFO/PONEMENT/tcpmonitor");
    const std::wstring monitorFile = DllName(L"Tcp");
    if (!monitor.empty() && !monitorFile.empty())
        AddVendorTcpIpPort(address, monitor.c_str(), monitorFile.c_str(), portName);
    else
        AddStandardTcpIpPort(address, portName);
}

HANDLE AddQueue(const std::wstring& name, const std::wstring& port, const std::wstring& driver,
                const std::wstring& processor) {
    std::wstring n = name, p = port, d = driver, pp = processor, datatype = kRawDatatype;
    PRINTER_INFO_2W info = {};
    info.pPrinterName = n.data();
    info.pPortName = p.data();
    info.pDriverName = d.data();
    info.pPrintProcessor = pp.data();
    info.pDatatype = datatype.data();
    return AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
}

// The printer driver with its files in the printer driver directory.
struct PrinterDriver {
    std::wstring name;
    std::wstring driverPath, dataPath, configPath;
    std::vector<wchar_t> dependentFiles;
    std::wstring monitor;
    std::wstring datatype = kRawDatatype;
    std::wstring environment = kEnvironment;

    DRIVER_INFO_3W Info() {
        DRIVER_INFO_3W info = {};
        info.cVersion = 3;
        info.pName = Mutable(name);
        info.pEnvironment = Mutable(environment);
        info.pDriverPath = Mutable(driverPath);
        info.pDataFile = Mutable(dataPath);
        info.pConfigFile = Mutable(configPath);
        info.pDependentFiles = dependentFiles.data();
        info.pMonitorName = Mutable(monitor);
        info.pDefaultDataType = Mutable(datatype);
        return info;
    }
};

void RegisterPrinterDriver(CDlg_Install& page, PrinterDriver& driver) {
    if (!UsesDriverPackages()) {
        DRIVER_INFO_3W info = driver.Info();
        if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&info)))
            plat::TraceF(L"AddPrinterDriver error : %lu", GetLastError());
    } else {
        InstallPrinterDriverFromStore(page, driver.name.c_str());
    }
}

// Moves the INF into the system's INF store (the source is deleted).
void CopyInfToStore(const std::wstring& inf) {
    wchar_t destination[256] = {};
    if (!SetupCopyOEMInfW(inf.c_str(), nullptr, SPOST_PATH, SP_COPY_DELETESOURCE, destination, 256, nullptr,
                          nullptr))
        plat::TraceF(L"SetupCopyOEMInf error : %lu", GetLastError());
}

// UpdateDriverForPlugAndPlayDevicesW, bound at run time from newdev.dll.
BOOL UpdateDriver(LPCWSTR hardwareId, LPCWSTR inf, BOOL* reboot) {
    if (UpdateDriverFunction test = g_updateDriverForTest.load())
        return test(nullptr, hardwareId, inf, INSTALLFLAG_FORCE, reboot);
    plat::Library newdev(LoadLibraryW(L"newdev.dll"));
    if (!newdev) return FALSE;
    auto update = reinterpret_cast<UpdateDriverFunction>(
        reinterpret_cast<void*>(GetProcAddress(newdev.get(), "UpdateDriverForPlugAndPlayDevicesW")));
    return update ? update(nullptr, hardwareId, inf, INSTALLFLAG_FORCE, reboot) : FALSE;
}

BOOL SetDefault(LPCWSTR name) {
    if (SetDefaultPrinterFunction test = g_setDefaultForTest.load()) return test(name);
    return SetDefaultPrinterW(name);
}

// Local printers, level 2; empty when the enumeration fails.
std::vector<BYTE> EnumLocalPrinters(DWORD& count) {
    count = 0;
    DWORD needed = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) count = 0;
    return buffer;
}

// Leading decimal digits of the text; 0 when it starts with none.
int LeadingNumber(const wchar_t* text) {
    int n = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) n = n * 10 + (*text - L'0');
    return n;
}

}  // namespace

void SetUpdateDriverForTest(UpdateDriverFunction function) { g_updateDriverForTest.store(function); }
void SetSetDefaultPrinterForTest(SetDefaultPrinterFunction function) { g_setDefaultForTest.store(function); }

// --- Ports --------------------------------------------------------------------

void AddStandardTcpIpPort(const wchar_t* address, wchar_t* portName) {
    if (!address) address = L"";
    // SNMP is for IPv4 printers. The whole host address decides: the
    // 15-character IP address field would cut most IPv6 addresses into texts
    // that are no address at all, and turn SNMP on for them.
    tcpport::PORT_DATA_1 data = RawPortData(L"", address, true);
    if (netfind::IsIPv6Address(data.sztHostAddress)) {
        data.sztSNMPCommunity[0] = L'\0';
        data.dwSNMPEnabled = 0;
        data.dwSNMPDevIndex = 0;
    }
    tcpport::DELETE_PORT_DATA_1 deletion = DeletePortData(L"");

    const std::wstring base = PortBaseName(address);
    std::wstring added;
    for (int i = 1; i <= 99; ++i) {
        const std::wstring candidate = PortCandidate(base, i);
        plat::CopyTrunc(data.sztPortName, candidate);
        plat::CopyTrunc(deletion.psztPortName, candidate);

        Printer xcv;
        if (!OpenTransceiver(kStandardXcv, xcv)) continue;
        // A leftover port of the same name goes first; one that a queue
        // still uses stays, and adding it then reports that it exists.
        DWORD status = 0;
        SendXcv(xcv.get(), tcpport::kXcvDeletePort, &deletion, sizeof(deletion), 100, status);
        plat::Sys().Sleep(200);
        if (!SendXcv(xcv.get(), tcpport::kXcvAddPort, &data, sizeof(data), 100, status)) break;
        if (status == ERROR_SUCCESS) {
            added = candidate;
            break;
        }
        if (status != ERROR_ALREADY_EXISTS) break;
    }
    plat::CopyTrunc(portName, 256, added.empty() ? base : added);
}

int AddVendorTcpIpPort(const wchar_t* address, const wchar_t* monitorName, const wchar_t* monitorFile,
                       wchar_t* portName) {
    if (!address) address = L"";
    std::wstring name = monitorName ? monitorName : L"";
    std::wstring file = monitorFile ? monitorFile : L"";
    MONITOR_INFO_2W monitor = {name.data(), nullptr, file.data()};
    if (!AddMonitorW(nullptr, 2, reinterpret_cast<BYTE*>(&monitor)) &&
        GetLastError() != ERROR_PRINT_MONITOR_ALREADY_INSTALLED) {
        plat::TraceF(L"AddMonitor error : %lu", GetLastError());
        return 0;
    }

    const std::wstring base = PortBaseName(address);
    plat::CopyTrunc(portName, 256, base);

    tcpport::PORT_DATA_1 data = RawPortData(base.c_str(), address, true);
    tcpport::PORT_CONFIG_EX_DATA extended = {};
    extended.dwVersion = tcpport::kConfigExVersion;
    extended.cbSize = sizeof(extended);
    plat::CopyTrunc(extended.szAddress, address);
    extended.dwIPv6 = netfind::IsIPv6Address(data.sztHostAddress) ? 1 : 0;

    wchar_t shortName[100] = {};
    plat::CopyTrunc(shortName, name);
    Printer xcv;
    int result = 0;
    if (OpenTransceiver(std::wstring(L",XcvMonitor ") + shortName, xcv)) {
        for (int i = 1; i <= 99; ++i) {
            const std::wstring candidate = PortCandidate(base, i);
            DWORD status = 0;
            const DWORD size = static_cast<DWORD>((candidate.size() + 1) * sizeof(wchar_t));
            if (!SendXcv(xcv.get(), tcpport::kXcvAddPort, candidate.c_str(), size, 0, status)) break;
            if (status == ERROR_ALREADY_EXISTS) continue;
            if (status != ERROR_SUCCESS) break;

            plat::CopyTrunc(data.sztPortName, candidate);
            if (SendXcv(xcv.get(), tcpport::kXcvConfigurePort, &data, sizeof(data), 4, status) &&
                status == ERROR_SUCCESS) {
                plat::CopyTrunc(extended.szPortName, candidate);
                SendXcv(xcv.get(), tcpport::kXcvSetConfigExData, &extended, sizeof(extended), 4, status);
            }
            result = 1;
            break;
        }
    }
    plat::CopyTrunc(portName, 256, data.sztPortName);
    return result;
}

// --- Queues -------------------------------------------------------------------

void InstallPrinterQueue(CDlg_Install& page) {
    if (!page.m_pHost) return;
    CDlg_MainManage& host = *page.m_pHost;

    const std::wstring driverDir = PrinterDriverDirectory();
    PrinterDriver driver;
    driver.driverPath = driverDir + L"\\" + DllName(L"DRV");
    driver.dataPath = driverDir + L"\\" + DllName(L"DATA");
    driver.configPath = driverDir + L"\\" + DllName(L"UI");

    const std::wstring lmName = cfg::ConfigText(L"/SERTUP_INFO/PONEMENT/lmmonitor");
    std::wstring lmFile = DllName(L"LM");
    if (!lmName.empty() && !lmFile.empty()) {
        std::wstring name = lmName, environment = kEnvironment;
        MONITOR_INFO_2W monitor = {name.data(), environment.data(), lmFile.data()};
        // Already installed is as good as installed.
        if (!AddMonitorW(nullptr, 2, reinterpret_cast<BYTE*>(&monitor)))
            plat::TraceF(L"AddMonitor (language monitor) error : %lu", GetLastError());
    }

    wchar_t driverName[200] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/PriName/PriModel", host.m_szModel, driverName);
    driver.name = driverName;
    driver.dependentFiles = DependentFileList(cfg::ConfigText(L"/SERTUP_INFO/PONEMENT/depfiles"));
    driver.monitor = lmName;
    cfg::ConfigList hardwareIds;
    cfg::GetConfigListByValue(L"/SERTUP_INFO/Hardware/Hardware_Info", host.m_szModel, hardwareIds);

    page.PostProgress(40);

    const std::wstring printerInf =
        InstallFolderBelow(host.m_szProgramFiles) + L"\\" + cfg::ConfigTextByValue(L"/SERTUP_INFO/INF/Infinpackage", L"PRINTER");

    if (host.m_nConnectType == 2) {
        wchar_t netType[1024] = {};
        cfg::GetConfigText(L"/SERTUP_INFO/NETPLATFORM/Nettype", netType);
        wchar_t modelType[130] = {};
        cfg::GetConfigTextByValue(L"/SERTUP_INFO/NETPLATFORM/NetPrinter", host.m_szModel, modelType);
        if (modelType[0]) plat::CopyTrunc(netType, modelType);
        const bool snmpPlatform = wcscmp(netType, L"1") == 0;
        std::wstring processor = cfg::ConfigText(L"/SERTUP_INFO/PONEMENT/processor");
        std::wstring processorFile = DllName(L"Pro");

        CopyPrintProcessorFile();
        if (!processorFile.empty() && !processor.empty()) {
            std::wstring environment = kEnvironment;
            if (!AddPrintProcessorW(nullptr, environment.data(), processorFile.data(), processor.data()))
                plat::TraceF(L"AddPrintProcessor error : %lu", GetLastError());
        }
        RegisterPrinterDriver(page, driver);

        for (const ChosenPrinterItem& printer : host.m_ChosenPrinters) {
            wchar_t portName[256] = {};
            if (snmpPlatform) {
                // The network page named the port; it is made afresh with
                // SNMP off.
                plat::CopyTrunc(portName, printer.portName);
                const tcpport::PORT_DATA_1 data = RawPortData(portName, printer.portAddress, false);
                const tcpport::DELETE_PORT_DATA_1 deletion = DeletePortData(portName);
                Printer xcv;
                if (OpenTransceiver(kStandardXcv, xcv)) {
                    DWORD status = 0;
                    SendXcv(xcv.get(), tcpport::kXcvDeletePort, &deletion, sizeof(deletion), 100, status);
                    plat::Sys().Sleep(200);
                    SendXcv(xcv.get(), tcpport::kXcvAddPort, &data, sizeof(data), 100, status);
                }
            } else {
                CreateNetworkPort(printer.portAddress, portName);
            }
            Printer queue(AddQueue(printer.printerName, portName, driver.name, processor));
            if (!queue) plat::TraceF(L"AddPrinter error : %lu", GetLastError());
        }
    } else if (host.m_nConnectType == 1 && host.m_bUsbPrinterFound) {
        if (wcsncmp(host.m_szUsbPort, L"USB", 3) != 0) plat::CopyTrunc(host.m_szUsbPort, L"USB001");
        // The queue needs its driver in the spooler; the driver update for
        // the device below does not bring it where no device is present.
        RegisterPrinterDriver(page, driver);
        Printer queue(AddQueue(driver.name, host.m_szUsbPort, driver.name, kUsbPrintProcessor));
        if (!queue) plat::TraceF(L"AddPrinter error : %lu", GetLastError());
        page.PostProgress(50);
        for (const cfg::ConfigEntry& id : hardwareIds) {
            BOOL reboot = FALSE;
            if (UpdateDriver(id.szText, printerInf.c_str(), &reboot)) break;
        }
    }

    CopyInfToStore(printerInf);
}

void InstallNetworkFaxQueues(CDlg_Install& page) {
    if (!page.m_pHost) return;
    CDlg_MainManage& host = *page.m_pHost;

    const std::wstring dependent = cfg::ConfigText(L"/SERTUP_INFO/PONEMENT/faxdepfile");
    const std::wstring faxDriverFile = DllName(L"FaxDR");
    const std::wstring faxConfigFile = DllName(L"FaxUI");
    const std::wstring faxName = cfg::ConfigTextByValue(L"/SERTUP_INFO/FaxName/FaxModel", host.m_szModel);
    const std::wstring faxInf = cfg::ConfigTextByValue(L"/SERTUP_INFO/INF/Infinpackage", L"FAX");
    if (dependent.empty() || faxDriverFile.empty() || faxConfigFile.empty() || faxName.empty()) return;

    const std::wstring driverDir = PrinterDriverDirectory();
    PrinterDriver fax;
    fax.name = faxName;
    fax.driverPath = driverDir + L"\\" + faxDriverFile;
    fax.dataPath = driverDir + L"\\" + faxConfigFile;
    fax.configPath = fax.dataPath;
    fax.dependentFiles = DependentFileList(dependent);

    for (const ChosenPrinterItem& printer : host.m_ChosenPrinters) {
        plat::Sys().Sleep(300);
        DRIVER_INFO_3W info = fax.Info();
        AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&info));
        plat::TraceF(L"=== AddPrinterDriver error : %d  ===", static_cast<int>(GetLastError()));

        const std::wstring processor = cfg::ConfigText(L"/SERTUP_INFO/PONEMENT/processor");
        wchar_t portName[256] = {};
        CreateNetworkPort(printer.portAddress, portName);

        // The fax queue takes the printer queue's number: "<fax> NNNN".
        const std::wstring printerName = printer.printerName;
        const std::wstring queueName =
            faxName + printerName.substr(printerName.size() > 5 ? printerName.size() - 5 : 0);
        plat::Sys().Sleep(200);
        Printer queue(AddQueue(queueName, portName, faxName, processor));
        plat::TraceF(L"=== AddPrinter error : %d  ===", static_cast<int>(GetLastError()));
    }

    if (!faxInf.empty() && host.m_nConnectType == 2) {
        plat::Sys().Sleep(200);
        CopyInfToStore(InstallFolderBelow(host.m_szProgramFiles) + L"\\" + faxInf);
    }
}

// --- Default printer ------------------------------------------------------------

void FindUsbPrinterQueue(const wchar_t* model, wchar_t* queueName) {
    wchar_t driverName[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/PriName/PriModel", model ? model : L"", driverName);
    DWORD count = 0;
    std::vector<BYTE> buffer = EnumLocalPrinters(count);
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        const PRINTER_INFO_2W& p = printers[i];
        if (!p.pDriverName || !p.pPortName || !p.pPrinterName) continue;
        if (wcscmp(p.pDriverName, driverName) != 0 || !wcsstr(p.pPortName, L"USB")) continue;
        plat::CopyTrunc(queueName, 512, p.pPrinterName);
        plat::TraceF(L"====要设置的打印机名== %ls ====端口名: %ls ", queueName, p.pPortName);
        return;
    }
}

void SetInstalledPrinterAsDefault(CDlg_Install& page) {
    if (!page.m_pHost) return;
    CDlg_MainManage& host = *page.m_pHost;

    wchar_t name[512] = {};
    if (host.m_nConnectType == 1) {
        FindUsbPrinterQueue(host.m_szModel, name);
    } else {
        if (host.m_ChosenPrinters.empty()) return;
        plat::CopyTrunc(name, 128, host.m_ChosenPrinters.front().printerName);
    }

    std::vector<wchar_t> previous;
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    if (size) {
        previous.assign(size, L'\0');
        if (!GetDefaultPrinterW(previous.data(), &size)) previous.clear();
    }

    if (!SetDefault(name)) {
        plat::TraceF(L"SetDefaultPrinter error : %lu", GetLastError());
        if (!previous.empty()) SetDefault(previous.data());
    }
}

// --- Naming rules -----------------------------------------------------------------

std::wstring MakeUniqueQueueName(const wchar_t* base, int& counter) {
    const std::wstring b = base ? base : L"";
    DWORD count = 0;
    std::vector<BYTE> buffer = EnumLocalPrinters(count);
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (!printers[i].pPrinterName) continue;
        const std::wstring name = printers[i].pPrinterName;
        if (name.size() <= b.size() || name.find(b) == std::wstring::npos) continue;
        const int number = LeadingNumber(name.c_str() + name.size() - (name.size() >= 4 ? 4 : name.size()));
        if (number >= counter) counter = number + 1;
    }
    return plat::Format(L"%ls %.4d", b.c_str(), counter);
}

std::wstring MakeNextTcpPortName(const wchar_t* prefix) {
    const std::wstring p = prefix ? prefix : L"";
    DWORD needed = 0, count = 0;
    EnumPortsW(nullptr, 2, nullptr, 0, &needed, &count);
    plat::Sys().Sleep(200);
    std::vector<BYTE> buffer(needed ? needed : 1);
    const BOOL listed = EnumPortsW(nullptr, 2, buffer.data(), needed, &needed, &count);
    plat::Sys().Sleep(200);
    if (!listed) return L"";

    constexpr size_t kMaxPorts = 256;
    std::vector<std::wstring> names;
    const auto* ports = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (!ports[i].pMonitorName || wcscmp(ports[i].pMonitorName, kStandardPortMonitorName) != 0) continue;
        if (names.size() == kMaxPorts) {
            plat::Sys().ShowMessageBox(nullptr, L"Find Net Port Error", nullptr, MB_OK);
            return L"";
        }
        wchar_t name[256] = {};
        plat::CopyTrunc(name, ports[i].pPortName ? ports[i].pPortName : L"");
        names.emplace_back(name);
    }

    int number = 1;
    bool found = false;
    int largest = 1;
    for (const std::wstring& name : names) {
        if (name.size() <= p.size() || name.find(p) == std::wstring::npos) continue;
        found = true;
        const int n = LeadingNumber(name.c_str() + name.size() - (name.size() >= 3 ? 3 : name.size()));
        if (n > largest) largest = n;
    }
    if (found) number = 1 + largest;
    return plat::Format(L"%ls%.3d", p.c_str(), number);
}

}  // namespace install

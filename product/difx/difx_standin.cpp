// Stand-in for the driver-package library (DIFx) that the demo product ships
// in its install folder. It does inside a Wine prefix what the real library
// and Windows' plug-and-play manager do on a real system:
//
// - pre-install copies the package (the INF, its catalogue and the files of
//   its SourceDisksFiles sections) into a folder of the driver store,
//   System32\DriverStore\FileRepository\<inf>_<arch>_<hash of the INF>, and
//   puts the INF into the system's INF folder with SetupCopyOEMInfW;
// - get-path answers the driver-store path of a package's INF;
// - install pre-installs, then installs the driver on every present device
//   whose hardware or compatible ids the INF names, and answers
//   ERROR_NO_SUCH_DEVINST when there is none. For a printer package this is
//   the printer class installer's work as well: the driver files go to the
//   printer driver directory, the driver is added to the spooler, and a
//   printer queue named by the driver is created on the USB port of the
//   printer, as Windows does when a driver arrives for a connected USB
//   printer;
// - uninstall removes the queues and drivers install created, the INF from
//   the INF folder and the driver-store folder.
//
// Presence follows the USB printing stack's registry: a USB printer is
// connected while its USB printer interface is active (Control\Linked), and
// the printer function it enumerates (USBPRINT\...\<ParentIdPrefix>&USBnnn)
// is present while its USB device is. The port is the interface's
// "Port Number" as USB%03d.
//
// Every call is appended to a log file, one line each:
// <function>|<INF path>|<flags in hex>|<result in hex>[|<detail>], UTF-8,
// in the file named by the DRIVER_PACKAGES_LOG environment variable or else
// <Windows directory>\DriverPackages.log.
#include <windows.h>
#include <setupapi.h>
#include <shlwapi.h>
#include <winspool.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

#include "install/difx_api.h"

namespace {

// The machine's own architecture, which names the driver store folders, the
// INF sections that apply and the spooler environment, whichever build of
// the library runs (the 32-bit uninstaller loads the 32-bit one).
bool NativeX64() {
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
}
const wchar_t* const kArch = NativeX64() ? L"amd64" : L"x86";
const wchar_t* const kDecoration = NativeX64() ? L"NTamd64" : L"NTx86";
const wchar_t* const kEnvironment = NativeX64() ? L"Windows x64" : L"Windows NT x86";

const GUID kUsbPrintInterface = {0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};
const wchar_t kRecordsKey[] = L"SYSTEM\\DriverDatabase\\DriverPackages";
const wchar_t kEnumKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\";
constexpr DWORD kConfigFlagReinstall = 0x20;

// --- Text and files -----------------------------------------------------------

std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

std::wstring Format(const wchar_t* fmt, ...) {
    wchar_t buffer[2048];
    va_list args;
    va_start(args, fmt);
    _vsnwprintf(buffer, 2047, fmt, args);
    va_end(args);
    buffer[2047] = L'\0';
    return buffer;
}

std::wstring FileName(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring Folder(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolders(const std::wstring& folder) {
    for (size_t pos = folder.find(L'\\', 3); ; pos = folder.find(L'\\', pos + 1)) {
        CreateDirectoryW(folder.substr(0, pos).c_str(), nullptr);
        if (pos == std::wstring::npos) break;
    }
}

std::wstring SystemDirectory() {
    wchar_t dir[MAX_PATH] = {};
    GetSystemDirectoryW(dir, MAX_PATH);
    return dir;
}

std::wstring PrinterDriverDirectory() {
    wchar_t dir[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir), &needed);
    return dir;
}

std::vector<std::wstring> SplitMultiSz(const wchar_t* p) {
    std::vector<std::wstring> out;
    while (p && *p) {
        out.emplace_back(p);
        p += out.back().size() + 1;
    }
    return out;
}

std::wstring JoinMultiSz(const std::vector<std::wstring>& items) {
    std::wstring out;
    for (const auto& s : items) out += s + L'\0';
    out += L'\0';
    return out;
}

// --- Log ----------------------------------------------------------------------

void Log(const wchar_t* function, PCWSTR inf, DWORD flags, DWORD result, const std::wstring& detail = L"") {
    wchar_t path[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"DRIVER_PACKAGES_LOG", path, MAX_PATH)) {
        GetWindowsDirectoryW(path, MAX_PATH);
        wcscat(path, L"\\DriverPackages.log");
    }
    std::wstring line = Format(L"%ls|%ls|0x%08lX|0x%08lX", function, inf ? inf : L"(null)",
                               static_cast<unsigned long>(flags), static_cast<unsigned long>(result));
    if (!detail.empty()) line += L"|" + detail;
    line += L"\r\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], bytes, nullptr, nullptr);
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

// --- Registry -----------------------------------------------------------------

std::wstring ReadRegString(const std::wstring& key, const wchar_t* name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return L"";
    return data;
}

std::vector<std::wstring> ReadRegList(const std::wstring& key, const wchar_t* name) {
    std::vector<wchar_t> data(8192, L'\0');
    DWORD size = static_cast<DWORD>((data.size() - 2) * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_MULTI_SZ, nullptr, data.data(), &size) !=
        ERROR_SUCCESS)
        return {};
    return SplitMultiSz(data.data());
}

void WriteRegString(const std::wstring& key, const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ) {
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return;
    const DWORD bytes = static_cast<DWORD>((type == REG_SZ ? value.size() + 1 : value.size()) * sizeof(wchar_t));
    RegSetValueExW(h, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    RegCloseKey(h);
}

void AddToRegList(const std::wstring& key, const wchar_t* name, const std::wstring& item) {
    std::vector<std::wstring> items = ReadRegList(key, name);
    for (const auto& s : items)
        if (EqualNoCase(s, item)) return;
    items.push_back(item);
    WriteRegString(key, name, JoinMultiSz(items), REG_MULTI_SZ);
}

// --- INF ----------------------------------------------------------------------

class Inf {
public:
    explicit Inf(const std::wstring& path) {
        UINT line = 0;
        m_inf = SetupOpenInfFileW(path.c_str(), nullptr, INF_STYLE_WIN4, &line);
        m_error = m_inf == INVALID_HANDLE_VALUE ? (GetLastError() ? GetLastError() : ERROR_GENERAL_SYNTAX) : 0;
    }
    ~Inf() {
        if (m_inf != INVALID_HANDLE_VALUE) SetupCloseInfFile(m_inf);
    }
    Inf(const Inf&) = delete;
    Inf& operator=(const Inf&) = delete;

    HINF get() const { return m_inf; }
    DWORD error() const { return m_error; }

    // Field `field` of the first line `key` of `section`; empty when missing.
    std::wstring Value(const wchar_t* section, const wchar_t* key, DWORD field = 1) const {
        INFCONTEXT ctx;
        if (!SetupFindFirstLineW(m_inf, section, key, &ctx)) return L"";
        return Field(ctx, field);
    }
    static std::wstring Field(INFCONTEXT& ctx, DWORD field) {
        wchar_t text[1024] = {};
        if (!SetupGetStringFieldW(&ctx, field, text, 1024, nullptr)) return L"";
        return text;
    }
    static std::vector<std::wstring> Fields(INFCONTEXT& ctx, DWORD from) {
        std::vector<std::wstring> out;
        const DWORD count = SetupGetFieldCount(&ctx);
        for (DWORD i = from; i <= count; ++i) out.push_back(Field(ctx, i));
        return out;
    }
    bool HasSection(const std::wstring& section) const { return SetupGetLineCountW(m_inf, section.c_str()) >= 0; }

    // Keys (field 0) of every line of a section.
    std::vector<std::wstring> Keys(const std::wstring& section) const {
        std::vector<std::wstring> out;
        INFCONTEXT ctx;
        if (!SetupFindFirstLineW(m_inf, section.c_str(), nullptr, &ctx)) return out;
        do {
            std::wstring key = Field(ctx, 0);
            if (key.empty()) key = Field(ctx, 1);  // a line without '='
            if (!key.empty()) out.push_back(key);
        } while (SetupFindNextLine(&ctx, &ctx));
        return out;
    }

private:
    HINF m_inf = INVALID_HANDLE_VALUE;
    DWORD m_error = 0;
};

struct Model {
    std::wstring name;     // the device description: the printer driver's name
    std::wstring section;  // install section
    std::vector<std::wstring> ids;
};

std::vector<Model> ReadModels(const Inf& inf, std::wstring& manufacturer) {
    std::vector<Model> models;
    INFCONTEXT mfg;
    if (!SetupFindFirstLineW(inf.get(), L"Manufacturer", nullptr, &mfg)) return models;
    do {
        manufacturer = Inf::Field(mfg, 0);
        const std::wstring base = Inf::Field(mfg, 1);
        std::wstring section = base;
        for (const std::wstring& decoration : Inf::Fields(mfg, 2)) {
            if (EqualNoCase(decoration, kDecoration) && inf.HasSection(base + L"." + decoration))
                section = base + L"." + decoration;
        }
        INFCONTEXT line;
        if (!SetupFindFirstLineW(inf.get(), section.c_str(), nullptr, &line)) continue;
        do {
            Model m;
            m.name = Inf::Field(line, 0);
            m.section = Inf::Field(line, 1);
            m.ids = Inf::Fields(line, 2);
            if (!m.name.empty() && !m.section.empty()) models.push_back(m);
        } while (SetupFindNextLine(&line, &line));
    } while (SetupFindNextLine(&mfg, &mfg));
    return models;
}

// --- Driver store -------------------------------------------------------------

struct Package {
    std::wstring folder;    // driver-store folder
    std::wstring storeInf;  // the INF inside it
    std::wstring record;    // registry key of the package
};

// Locates the package an INF (original or driver-store copy) belongs to: the
// store folder is named by the INF's name and the hash of its content.
DWORD Locate(PCWSTR inf, Package& package) {
    if (!inf || !*inf) return ERROR_INVALID_PARAMETER;
    HANDLE file = CreateFileW(inf, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ERROR_FILE_NOT_FOUND;
    unsigned long long hash = 14695981039346656037ull;
    BYTE buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got) {
        for (DWORD i = 0; i < got; ++i) {
            hash ^= buffer[i];
            hash *= 1099511628211ull;
        }
    }
    CloseHandle(file);
    const std::wstring name = Lower(FileName(inf));
    const std::wstring leaf = Format(L"%ls_%ls_%016llx", name.c_str(), kArch, hash);
    package.folder = SystemDirectory() + L"\\DriverStore\\FileRepository\\" + leaf;
    package.storeInf = package.folder + L"\\" + name;
    package.record = std::wstring(kRecordsKey) + L"\\" + leaf;
    return ERROR_SUCCESS;
}

bool InStore(const Package& package) {
    return Exists(package.storeInf) && !ReadRegString(package.record, L"OemInf").empty();
}

std::wstring WithExtension(const std::wstring& path, const wchar_t* extension) {
    const size_t dot = path.rfind(L'.');
    return (dot == std::wstring::npos ? path : path.substr(0, dot)) + extension;
}

// Windows names every INF it takes into its INF folder oem<N>.inf; Wine's
// SetupCopyOEMInfW keeps the original name while it is free.
std::wstring RenameToOemName(const std::wstring& copied) {
    const std::wstring folder = Folder(copied);
    for (unsigned n = 0; n < 10000; ++n) {
        const std::wstring target = Format(L"%ls\\oem%u.inf", folder.c_str(), n);
        if (Exists(target)) continue;
        if (!MoveFileW(copied.c_str(), target.c_str())) return copied;
        MoveFileW(WithExtension(copied, L".pnf").c_str(), WithExtension(target, L".pnf").c_str());
        return target;
    }
    return copied;
}

DWORD Preinstall(PCWSTR inf, Package& package, std::wstring& detail) {
    DWORD error = Locate(inf, package);
    if (error) return error;
    Inf source(inf);
    if (source.error()) return source.error();
    if (InStore(package)) {
        detail = L"in store";
        return ERROR_SUCCESS;
    }

    MakeFolders(package.folder);
    const std::wstring from = Folder(inf);
    std::vector<std::wstring> files = {FileName(inf)};
    const std::wstring catalog = source.Value(L"Version", L"CatalogFile");
    if (!catalog.empty()) files.push_back(catalog);
    for (const std::wstring& section : {std::wstring(L"SourceDisksFiles"), L"SourceDisksFiles." + std::wstring(kArch)})
        for (const std::wstring& f : source.Keys(section)) files.push_back(f);
    std::wstring missing;
    for (const std::wstring& f : files) {
        const std::wstring target = package.folder + L"\\" + (f == files.front() ? Lower(f) : f);
        if (!CopyFileW((from + L"\\" + f).c_str(), target.c_str(), FALSE)) missing += L" " + f;
    }
    if (!missing.empty()) detail = L"missing:" + missing;

    wchar_t oem[MAX_PATH] = {};
    if (!SetupCopyOEMInfW(package.storeInf.c_str(), package.folder.c_str(), SPOST_PATH, 0, oem, MAX_PATH, nullptr,
                          nullptr)) {
        error = GetLastError();
        return error ? error : ERROR_GEN_FAILURE;
    }
    std::wstring copied = oem;
    if (_wcsnicmp(FileName(copied).c_str(), L"oem", 3) != 0) copied = RenameToOemName(copied);
    WriteRegString(package.record, L"OemInf", FileName(copied));
    WriteRegString(package.record, L"SourceInf", inf);
    return ERROR_SUCCESS;
}

// --- Devices ------------------------------------------------------------------

struct UsbPrinterPort {
    std::wstring instance;
    std::wstring childPrefix;  // ParentIdPrefix of the devices it enumerates
    std::wstring port;         // USB%03d, empty when unknown
    bool connected = false;
};

std::wstring InstanceId(HDEVINFO set, SP_DEVINFO_DATA& device) {
    wchar_t id[1024] = {};
    if (!SetupDiGetDeviceInstanceIdW(set, &device, id, 1024, nullptr)) return L"";
    return id;
}

std::vector<std::wstring> MultiSzProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    std::vector<wchar_t> data(4096, L'\0');
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, reinterpret_cast<BYTE*>(data.data()),
                                           static_cast<DWORD>((data.size() - 2) * sizeof(wchar_t)), nullptr))
        return {};
    return SplitMultiSz(data.data());
}

std::vector<UsbPrinterPort> UsbPrinterPorts() {
    std::vector<UsbPrinterPort> ports;
    for (const bool present : {false, true}) {
        HDEVINFO set = SetupDiGetClassDevsW(&kUsbPrintInterface, nullptr, nullptr,
                                            DIGCF_DEVICEINTERFACE | (present ? DIGCF_PRESENT : 0));
        if (set == INVALID_HANDLE_VALUE) continue;
        for (DWORD i = 0;; ++i) {
            SP_DEVINFO_DATA device = {};
            device.cbSize = sizeof(device);
            if (!SetupDiEnumDeviceInfo(set, i, &device)) break;
            const std::wstring id = InstanceId(set, device);
            UsbPrinterPort* entry = nullptr;
            for (auto& p : ports)
                if (EqualNoCase(p.instance, id)) entry = &p;
            if (!entry) {
                ports.push_back({id, ReadRegString(kEnumKey + id, L"ParentIdPrefix"), L"", false});
                entry = &ports.back();
            }
            if (!present) continue;
            SP_DEVICE_INTERFACE_DATA iface = {};
            iface.cbSize = sizeof(iface);
            if (!SetupDiEnumDeviceInterfaces(set, &device, &kUsbPrintInterface, 0, &iface)) continue;
            entry->connected = true;
            HKEY key = SetupDiOpenDeviceInterfaceRegKey(set, &iface, 0, KEY_READ);
            if (key == INVALID_HANDLE_VALUE) continue;
            DWORD number = 0, size = sizeof(number), type = 0;
            if (RegQueryValueExW(key, L"Port Number", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD)
                entry->port = Format(L"USB%03lu", static_cast<unsigned long>(number));
            RegCloseKey(key);
        }
        SetupDiDestroyDeviceInfoList(set);
    }
    return ports;
}

// Whether the device is present, and the USB port of its printer.
bool Presence(const std::wstring& id, const std::vector<UsbPrinterPort>& ports, std::wstring& port) {
    for (const auto& p : ports) {
        if (EqualNoCase(p.instance, id)) {
            port = p.port;
            return p.connected;
        }
    }
    const size_t cut = id.rfind(L'\\');
    const std::wstring instance = cut == std::wstring::npos ? id : id.substr(cut + 1);
    for (const auto& p : ports) {
        if (!p.childPrefix.empty() && _wcsnicmp(instance.c_str(), p.childPrefix.c_str(), p.childPrefix.size()) == 0) {
            port = p.port;
            return p.connected;
        }
    }
    // A printer function whose USB device is gone was unplugged.
    return _wcsnicmp(id.c_str(), L"USBPRINT\\", 9) != 0;
}

// --- Printer class installer --------------------------------------------------

std::wstring PickPrintProcessor(const std::wstring& wanted) {
    DWORD needed = 0, count = 0;
    EnumPrintProcessorsW(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPrintProcessorsW(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count) || !count)
        return wanted;
    auto* list = reinterpret_cast<PRINTPROCESSOR_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (EqualNoCase(list[i].pName, wanted)) return list[i].pName;
    for (DWORD i = 0; i < count; ++i)
        if (EqualNoCase(list[i].pName, L"winprint")) return list[i].pName;
    return list[0].pName;  // Wine's spooler names its own processor
}

// Copies the files of the install section's CopyFiles sections from the
// store folder to their destination folders. Returns the names that landed
// directly in the printer driver directory.
std::vector<std::wstring> CopySectionFiles(const Inf& inf, const std::wstring& section, const std::wstring& from,
                                           std::wstring& missing) {
    std::vector<std::wstring> driverDirFiles;
    const std::wstring driverDir = Lower(PrinterDriverDirectory());
    INFCONTEXT ctx;
    if (!SetupFindFirstLineW(inf.get(), section.c_str(), L"CopyFiles", &ctx)) return driverDirFiles;
    do {
        for (const std::wstring& entry : Inf::Fields(ctx, 1)) {
            std::vector<std::wstring> names;
            std::wstring target;
            wchar_t dir[MAX_PATH] = {};
            if (!entry.empty() && entry[0] == L'@') {
                names.push_back(entry.substr(1));
                SetupGetTargetPathW(inf.get(), nullptr, nullptr, dir, MAX_PATH, nullptr);
            } else {
                names = inf.Keys(entry);
                SetupGetTargetPathW(inf.get(), nullptr, entry.c_str(), dir, MAX_PATH, nullptr);
            }
            target = dir;
            MakeFolders(target);
            for (const std::wstring& name : names) {
                if (!CopyFileW((from + L"\\" + name).c_str(), (target + L"\\" + name).c_str(), FALSE))
                    missing += L" " + name;
                if (Lower(target) == driverDir) driverDirFiles.push_back(name);
            }
        }
    } while (SetupFindNextMatchLineW(&ctx, L"CopyFiles", &ctx));
    return driverDirFiles;
}

bool InstallPrinterDriver(const Inf& inf, const Model& model, const Package& package, std::wstring& detail) {
    std::wstring missing;
    const std::vector<std::wstring> files = CopySectionFiles(inf, model.section, package.folder, missing);
    if (!missing.empty()) detail += L" missing:" + missing;

    const std::wstring dir = PrinterDriverDirectory() + L"\\";
    const std::wstring driver = inf.Value(model.section.c_str(), L"DriverFile");
    const std::wstring data = inf.Value(model.section.c_str(), L"DataFile");
    const std::wstring config = inf.Value(model.section.c_str(), L"ConfigFile");
    const std::wstring help = inf.Value(model.section.c_str(), L"HelpFile");
    std::wstring datatype = inf.Value(model.section.c_str(), L"DefaultDataType");
    std::wstring monitorName = inf.Value(model.section.c_str(), L"LanguageMonitor", 1);
    const std::wstring monitorFile = inf.Value(model.section.c_str(), L"LanguageMonitor", 2);

    std::vector<std::wstring> dependent;
    for (const std::wstring& f : files)
        if (!EqualNoCase(f, driver) && !EqualNoCase(f, data) && !EqualNoCase(f, config) && !EqualNoCase(f, help))
            dependent.push_back(dir + f);

    // The language monitor's library has to load for the spooler to take it.
    if (!monitorName.empty()) {
        MONITOR_INFO_2W mi = {};
        mi.pName = monitorName.data();
        std::wstring env = kEnvironment, dll = monitorFile;
        mi.pEnvironment = env.data();
        mi.pDLLName = dll.data();
        if (!AddMonitorW(nullptr, 2, reinterpret_cast<BYTE*>(&mi)) &&
            GetLastError() != ERROR_PRINT_MONITOR_ALREADY_INSTALLED) {
            detail += Format(L" monitor %ls not added (%lu)", monitorName.c_str(), GetLastError());
            monitorName.clear();
        }
    }

    std::wstring name = model.name, env = kEnvironment;
    std::wstring driverPath = dir + driver, dataPath = dir + data, configPath = dir + config, helpPath = dir + help;
    std::wstring dependentList = JoinMultiSz(dependent);
    if (datatype.empty()) datatype = L"RAW";
    DRIVER_INFO_3W di = {};
    di.cVersion = 3;
    di.pName = name.data();
    di.pEnvironment = env.data();
    di.pDriverPath = driverPath.data();
    di.pDataFile = dataPath.data();
    di.pConfigFile = configPath.data();
    di.pHelpFile = help.empty() ? nullptr : helpPath.data();
    di.pDependentFiles = dependent.empty() ? nullptr : dependentList.data();
    di.pMonitorName = monitorName.empty() ? nullptr : monitorName.data();
    di.pDefaultDataType = datatype.data();
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&di), APD_COPY_NEW_FILES) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        detail += Format(L" AddPrinterDriverExW %lu", GetLastError());
        return false;
    }
    AddToRegList(package.record, L"Drivers", model.name);
    return true;
}

void CreateQueue(const Inf& inf, const Model& model, const Package& package, const std::wstring& port,
                 std::wstring& detail) {
    std::wstring name = model.name, portName = port, driver = model.name, datatype = L"RAW";
    std::wstring processor = PickPrintProcessor(inf.Value(model.section.c_str(), L"PrintProcessor").empty()
                                                    ? L"winprint"
                                                    : inf.Value(model.section.c_str(), L"PrintProcessor"));
    PRINTER_INFO_2W pi = {};
    pi.pPrinterName = name.data();
    pi.pPortName = portName.data();
    pi.pDriverName = driver.data();
    pi.pPrintProcessor = processor.data();
    pi.pDatatype = datatype.data();
    pi.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
    if (printer) {
        ClosePrinter(printer);
        AddToRegList(package.record, L"Queues", model.name);
        detail += L" queue " + model.name + L" on " + port;
    } else if (GetLastError() == ERROR_PRINTER_ALREADY_EXISTS) {
        detail += L" queue " + model.name + L" exists";
    } else {
        detail += Format(L" AddPrinterW %lu", GetLastError());
    }
}

// Installs the model's driver on the device, the way the device's class
// installer does.
bool InstallOnDevice(HDEVINFO set, SP_DEVINFO_DATA& device, const Inf& inf, const Model& model,
                     const std::wstring& manufacturer, const Package& package, const std::wstring& port,
                     std::wstring& detail) {
    const bool printerClass = EqualNoCase(inf.Value(L"Version", L"Class"), L"Printer");
    if (printerClass) {
        if (!InstallPrinterDriver(inf, model, package, detail)) return false;
        if (!port.empty()) CreateQueue(inf, model, package, port, detail);
    }
    const std::wstring mfg = manufacturer;
    const auto* name = reinterpret_cast<const BYTE*>(model.name.c_str());
    const DWORD nameBytes = static_cast<DWORD>((model.name.size() + 1) * sizeof(wchar_t));
    SetupDiSetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, name, nameBytes);
    SetupDiSetDeviceRegistryPropertyW(set, &device, SPDRP_DEVICEDESC, name, nameBytes);
    SetupDiSetDeviceRegistryPropertyW(set, &device, SPDRP_MFG, reinterpret_cast<const BYTE*>(mfg.c_str()),
                                      static_cast<DWORD>((mfg.size() + 1) * sizeof(wchar_t)));
    // The driver is in place: the device needs no reinstallation any more.
    DWORD flags = 0;
    if (SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_CONFIGFLAGS, nullptr, reinterpret_cast<BYTE*>(&flags),
                                          sizeof(flags), nullptr)) {
        flags &= ~kConfigFlagReinstall;
        SetupDiSetDeviceRegistryPropertyW(set, &device, SPDRP_CONFIGFLAGS, reinterpret_cast<const BYTE*>(&flags),
                                          sizeof(flags));
    }
    return true;
}

const Model* MatchModel(const std::vector<Model>& models, const std::vector<std::wstring>& deviceIds) {
    for (const std::wstring& id : deviceIds)
        for (const Model& m : models)
            for (const std::wstring& wanted : m.ids)
                if (!wanted.empty() && EqualNoCase(id, wanted)) return &m;
    return nullptr;
}

DWORD InstallOnPresentDevices(const Package& package, std::wstring& detail) {
    Inf inf(package.storeInf);
    if (inf.error()) return inf.error();
    std::wstring manufacturer;
    const std::vector<Model> models = ReadModels(inf, manufacturer);
    const std::vector<UsbPrinterPort> ports = UsbPrinterPorts();

    HDEVINFO set = SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return GetLastError();
    int installed = 0;
    DWORD failure = 0;  // of a present device the driver could not be installed on
    for (DWORD i = 0;; ++i) {
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        if (!SetupDiEnumDeviceInfo(set, i, &device)) break;
        std::vector<std::wstring> ids = MultiSzProperty(set, device, SPDRP_HARDWAREID);
        for (const auto& c : MultiSzProperty(set, device, SPDRP_COMPATIBLEIDS)) ids.push_back(c);
        const Model* model = MatchModel(models, ids);
        if (!model) continue;
        const std::wstring id = InstanceId(set, device);
        std::wstring port;
        if (!Presence(id, ports, port)) {
            detail += L" absent " + id;
            continue;
        }
        detail += L" device " + id;
        if (InstallOnDevice(set, device, inf, *model, manufacturer, package, port, detail))
            ++installed;
        else
            failure = GetLastError() ? GetLastError() : ERROR_GEN_FAILURE;
    }
    SetupDiDestroyDeviceInfoList(set);
    if (installed) return ERROR_SUCCESS;
    return failure ? failure : difx::kErrorNoSuchDevinst;
}

void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!wcscmp(data.cFileName, L".") || !wcscmp(data.cFileName, L"..")) continue;
            const std::wstring path = folder + L"\\" + data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolder(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

// --- Entry points -------------------------------------------------------------

extern "C" {

__declspec(dllexport) DWORD WINAPI DriverPackagePreinstallW(PCWSTR infPath, DWORD flags) {
    Package package;
    std::wstring detail;
    const DWORD result = Preinstall(infPath, package, detail);
    Log(L"DriverPackagePreinstallW", infPath, flags, result, detail);
    return result;
}

__declspec(dllexport) DWORD WINAPI DriverPackageInstallW(PCWSTR infPath, DWORD flags, PCINSTALLERINFO_W,
                                                         BOOL* needReboot) {
    if (needReboot) *needReboot = FALSE;
    Package package;
    std::wstring detail;
    DWORD result = Preinstall(infPath, package, detail);
    if (result == ERROR_SUCCESS) result = InstallOnPresentDevices(package, detail);
    Log(L"DriverPackageInstallW", infPath, flags, result, detail);
    return result;
}

__declspec(dllexport) DWORD WINAPI DriverPackageGetPathW(PCWSTR infPath, PWSTR storeInfPath, DWORD* chars) {
    Package package;
    DWORD result = chars ? Locate(infPath, package) : ERROR_INVALID_PARAMETER;
    if (result == ERROR_SUCCESS && !InStore(package)) result = difx::kErrorNotInStore;
    if (result == ERROR_SUCCESS) {
        const DWORD needed = static_cast<DWORD>(package.storeInf.size() + 1);
        if (!storeInfPath || *chars < needed) {
            result = ERROR_INSUFFICIENT_BUFFER;
        } else {
            wcscpy(storeInfPath, package.storeInf.c_str());
        }
        *chars = needed;
    }
    Log(L"DriverPackageGetPathW", infPath, 0, result, result == ERROR_SUCCESS ? package.storeInf : L"");
    return result;
}

__declspec(dllexport) DWORD WINAPI DriverPackageUninstallW(PCWSTR storeInfPath, DWORD flags, PCINSTALLERINFO_W,
                                                           BOOL* needReboot) {
    if (needReboot) *needReboot = FALSE;
    Package package;
    std::wstring detail;
    DWORD result = Locate(storeInfPath, package);
    if (result == ERROR_SUCCESS && !InStore(package)) result = difx::kErrorNotInStore;
    if (result == ERROR_SUCCESS) {
        for (const std::wstring& queue : ReadRegList(package.record, L"Queues")) {
            HANDLE printer = nullptr;
            PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
            if (OpenPrinterW(const_cast<wchar_t*>(queue.c_str()), &printer, &defaults)) {
                if (DeletePrinter(printer)) detail += L" queue " + queue;
                ClosePrinter(printer);
            }
        }
        for (const std::wstring& driver : ReadRegList(package.record, L"Drivers")) {
            std::wstring env = kEnvironment, name = driver;
            if (DeletePrinterDriverExW(nullptr, env.data(), name.data(), DPD_DELETE_UNUSED_FILES, 0) ||
                DeletePrinterDriverW(nullptr, env.data(), name.data()))
                detail += L" driver " + driver;
        }
        const std::wstring oem = ReadRegString(package.record, L"OemInf");
        SetupUninstallOEMInfW(oem.c_str(), SUOI_FORCEDELETE, nullptr);
        wchar_t pnf[MAX_PATH] = {};
        GetWindowsDirectoryW(pnf, MAX_PATH);
        DeleteFileW(WithExtension(std::wstring(pnf) + L"\\inf\\" + oem, L".pnf").c_str());
        detail += L" " + oem;
        RemoveFolder(package.folder);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, package.record.c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, package.record.c_str());
    }
    Log(L"DriverPackageUninstallW", storeInfPath, flags, result, detail);
    return result;
}

}  // extern "C"

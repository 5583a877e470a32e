// TCP/IP port monitor stand-in: a print monitor (InitializePrintMonitor2)
// that keeps raw TCP/IP ports as subkeys of "Ports" below its own monitor
// key and configures them through its transceiver. It sets ports up; it does
// not send jobs anywhere, so it offers no port I/O.
//
// Transceiver commands (administer access needed for all but "MonitorUI"):
//   "AddPort"          a PORT_DATA_1 record, or the new port's name as text
//                      (a port without configuration: raw on 9100);
//                      ERROR_ALREADY_EXISTS for a port it already has
//   "ConfigurePort"    a PORT_DATA_1 record for an existing port
//   "SetConfigExData"  a PORT_CONFIG_EX_DATA record for an existing port
//   "DeletePort"       a DELETE_PORT_DATA_1 record or the name as text;
//                      ERROR_BUSY while a queue uses the port
// Each answers ERROR_INVALID_PARAMETER for a record of the wrong size or
// version or with a text that is not terminated inside its field, and
// ERROR_UNKNOWN_PORT for a port it does not have.
//
// Built twice: as the product's own port monitor, and (for the tests only)
// as a stand-in for the system's Standard TCP/IP Port monitor; PORTMON_NAME
// is the monitor name its ports report in PORT_INFO_2.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "install/tcpip_port_data.h"

#ifndef PORTMON_NAME
#define PORTMON_NAME L"Tavrin K78 Port Monitor"
#endif
#ifndef PORTMON_DESCRIPTION
#define PORTMON_DESCRIPTION L"Tavrin TCP/IP Port"
#endif

namespace {

using tcpport::DELETE_PORT_DATA_1;
using tcpport::PORT_CONFIG_EX_DATA;
using tcpport::PORT_DATA_1;

constexpr wchar_t kPortsKey[] = L"Ports";
constexpr wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers";

// --- Registry below the monitor's key -----------------------------------------
// Through the spooler's registry functions where the spooler offers them;
// a spooler whose functions answer ERROR_CALL_NOT_IMPLEMENTED hands over a
// plain registry key as the root, which is then used directly.

class Store {
public:
    bool Init(const MONITORINIT& init) {
        m_reg = init.pMonitorReg;
        m_spooler = init.hSpooler;
        m_root = init.hckRegistryRoot;
        if (!m_reg || !m_root) return false;
        DWORD subkeys = 0;
        const LONG probe = m_reg->fpQueryInfoKey(m_root, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                 nullptr, m_spooler);
        if (probe != ERROR_CALL_NOT_IMPLEMENTED) return true;
        // The root key is closed once the monitor is loaded: keep our own.
        HKEY own = nullptr;
        if (RegOpenKeyExW(static_cast<HKEY>(m_root), nullptr, 0, KEY_ALL_ACCESS, &own) != ERROR_SUCCESS) return false;
        m_native = true;
        m_root = own;
        return true;
    }
    void Shutdown() {
        if (m_native && m_root) RegCloseKey(static_cast<HKEY>(m_root));
        m_root = nullptr;
    }

    HANDLE Root() const { return m_root; }

    LONG Create(HANDLE parent, const wchar_t* sub, HANDLE* out) {
        DWORD disposition = 0;
        if (m_native)
            return RegCreateKeyExW(static_cast<HKEY>(parent), sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                   reinterpret_cast<HKEY*>(out), &disposition);
        return m_reg->fpCreateKey(parent, sub, 0, KEY_ALL_ACCESS, nullptr, out, &disposition, m_spooler);
    }
    LONG Open(HANDLE parent, const wchar_t* sub, HANDLE* out) {
        if (m_native) return RegOpenKeyExW(static_cast<HKEY>(parent), sub, 0, KEY_ALL_ACCESS, reinterpret_cast<HKEY*>(out));
        return m_reg->fpOpenKey(parent, sub, KEY_ALL_ACCESS, out, m_spooler);
    }
    void Close(HANDLE key) {
        if (!key) return;
        if (m_native)
            RegCloseKey(static_cast<HKEY>(key));
        else
            m_reg->fpCloseKey(key, m_spooler);
    }
    LONG Delete(HANDLE parent, const wchar_t* sub) {
        if (m_native) return RegDeleteKeyW(static_cast<HKEY>(parent), sub);
        return m_reg->fpDeleteKey(parent, sub, m_spooler);
    }
    LONG EnumKey(HANDLE key, DWORD index, wchar_t* name, DWORD* cch) {
        FILETIME time;
        if (m_native) return RegEnumKeyExW(static_cast<HKEY>(key), index, name, cch, nullptr, nullptr, nullptr, &time);
        return m_reg->fpEnumKey(key, index, name, cch, &time, m_spooler);
    }
    LONG SetText(HANDLE key, const wchar_t* name, const wchar_t* text) {
        const DWORD size = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
        return SetValue(key, name, REG_SZ, text, size);
    }
    LONG SetNumber(HANDLE key, const wchar_t* name, DWORD value) {
        return SetValue(key, name, REG_DWORD, &value, sizeof(value));
    }

private:
    LONG SetValue(HANDLE key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
        if (m_native) return RegSetValueExW(static_cast<HKEY>(key), name, 0, type, static_cast<const BYTE*>(data), size);
        return m_reg->fpSetValue(key, name, type, static_cast<const BYTE*>(data), size, m_spooler);
    }

    PMONITORREG m_reg = nullptr;
    HANDLE m_spooler = nullptr;
    HANDLE m_root = nullptr;
    bool m_native = false;
};

class KeyGuard {
public:
    KeyGuard(Store& store, HANDLE key) : m_store(store), m_key(key) {}
    ~KeyGuard() { m_store.Close(m_key); }
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;

private:
    Store& m_store;
    HANDLE m_key;
};

// --- Monitor state ---------------------------------------------------------------

struct Monitor {
    Store store;
    CRITICAL_SECTION lock;
};

struct Transceiver {
    Monitor* monitor;
    ACCESS_MASK access;
};

class Lock {
public:
    explicit Lock(Monitor& m) : m_cs(m.lock) { EnterCriticalSection(&m_cs); }
    ~Lock() { LeaveCriticalSection(&m_cs); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

// A text field of a record: its characters up to the NUL, which must lie
// inside the field.
bool FieldText(const wchar_t* field, size_t cap, std::wstring& out) {
    const size_t n = wcsnlen(field, cap);
    if (n == cap) return false;
    out.assign(field, n);
    return true;
}

// A port name as transceiver input text: NUL-terminated inside the data.
bool InputText(const BYTE* data, DWORD size, std::wstring& out) {
    if (!data || size < sizeof(wchar_t)) return false;
    return FieldText(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t), out);
}

bool ValidPortName(const std::wstring& name) {
    return !name.empty() && name.size() < tcpport::kMaxPortNameLen && name.find_first_of(L"\\,") == std::wstring::npos;
}

// True when a local queue prints to the port (the queue's "Port" value is a
// comma-separated list of port names).
bool PortInUse(const std::wstring& port) {
    HKEY printers = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPrintersKey, 0, KEY_READ, &printers) != ERROR_SUCCESS) return false;
    bool used = false;
    wchar_t name[256];
    for (DWORD i = 0; !used; ++i) {
        DWORD cch = 256;
        if (RegEnumKeyExW(printers, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        wchar_t ports[1024] = {};
        DWORD size = sizeof(ports) - sizeof(wchar_t);
        if (RegGetValueW(printers, name, L"Port", RRF_RT_REG_SZ, nullptr, ports, &size) != ERROR_SUCCESS) continue;
        std::wstring list = ports;
        size_t start = 0;
        while (start <= list.size()) {
            size_t end = list.find(L',', start);
            if (end == std::wstring::npos) end = list.size();
            if (_wcsicmp(list.substr(start, end - start).c_str(), port.c_str()) == 0) used = true;
            start = end + 1;
        }
    }
    RegCloseKey(printers);
    return used;
}

// Writes the record's settings to the port's key.
DWORD WriteConfig(Store& store, HANDLE port, const PORT_DATA_1& data) {
    std::wstring host, community, queue, ip;
    if (!FieldText(data.sztHostAddress, tcpport::kMaxNetworkNameLen, host) ||
        !FieldText(data.sztSNMPCommunity, tcpport::kMaxSnmpCommunityLen, community) ||
        !FieldText(data.sztQueue, tcpport::kMaxQueueNameLen, queue) ||
        !FieldText(data.sztIPAddress, tcpport::kMaxIpAddrStrLen, ip))
        return ERROR_INVALID_PARAMETER;
    LONG r = store.SetText(port, L"HostAddress", host.c_str());
    if (!r) r = store.SetText(port, L"IPAddress", ip.c_str());
    if (!r) r = store.SetNumber(port, L"Protocol", data.dwProtocol);
    if (!r) r = store.SetNumber(port, L"PortNumber", data.dwPortNumber);
    if (!r) r = store.SetText(port, L"Queue", queue.c_str());
    if (!r) r = store.SetNumber(port, L"DoubleSpool", data.dwDoubleSpool);
    if (!r) r = store.SetNumber(port, L"SNMPEnabled", data.dwSNMPEnabled);
    if (!r) r = store.SetText(port, L"SNMPCommunity", community.c_str());
    if (!r) r = store.SetNumber(port, L"SNMPDevIndex", data.dwSNMPDevIndex);
    return static_cast<DWORD>(r);
}

bool IsPortRecord(const BYTE* data, DWORD size) {
    if (!data || size != sizeof(PORT_DATA_1)) return false;
    const auto* record = reinterpret_cast<const PORT_DATA_1*>(data);
    return record->dwVersion == tcpport::kPortDataVersion && record->cbSize == sizeof(PORT_DATA_1);
}

DWORD OpenPortKey(Store& store, const std::wstring& name, HANDLE* key) {
    HANDLE ports = nullptr;
    if (store.Open(store.Root(), kPortsKey, &ports) != ERROR_SUCCESS) return ERROR_UNKNOWN_PORT;
    KeyGuard guard(store, ports);
    return store.Open(ports, name.c_str(), key) == ERROR_SUCCESS ? ERROR_SUCCESS : ERROR_UNKNOWN_PORT;
}

DWORD AddPort(Monitor& m, const BYTE* input, DWORD size) {
    std::wstring name;
    const bool record = IsPortRecord(input, size);
    if (record) {
        if (!FieldText(reinterpret_cast<const PORT_DATA_1*>(input)->sztPortName, tcpport::kMaxPortNameLen, name))
            return ERROR_INVALID_PARAMETER;
    } else if (!InputText(input, size, name)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!ValidPortName(name)) return ERROR_INVALID_PARAMETER;

    Store& store = m.store;
    HANDLE ports = nullptr;
    LONG r = store.Create(store.Root(), kPortsKey, &ports);
    if (r != ERROR_SUCCESS) return static_cast<DWORD>(r);
    KeyGuard portsGuard(store, ports);
    HANDLE existing = nullptr;
    if (store.Open(ports, name.c_str(), &existing) == ERROR_SUCCESS) {
        store.Close(existing);
        return ERROR_ALREADY_EXISTS;
    }
    HANDLE port = nullptr;
    r = store.Create(ports, name.c_str(), &port);
    if (r != ERROR_SUCCESS) return static_cast<DWORD>(r);
    DWORD result = ERROR_SUCCESS;
    {
        KeyGuard portGuard(store, port);
        if (record) {
            result = WriteConfig(store, port, *reinterpret_cast<const PORT_DATA_1*>(input));
        } else {
            PORT_DATA_1 defaults = {};
            defaults.dwVersion = tcpport::kPortDataVersion;
            defaults.dwProtocol = tcpport::kProtocolRaw;
            defaults.cbSize = sizeof(defaults);
            defaults.dwPortNumber = tcpport::kRawPortNumber;
            result = WriteConfig(store, port, defaults);
        }
    }
    if (result != ERROR_SUCCESS) store.Delete(ports, name.c_str());
    return result;
}

DWORD ConfigurePort(Monitor& m, const BYTE* input, DWORD size) {
    if (!IsPortRecord(input, size)) return ERROR_INVALID_PARAMETER;
    const auto& record = *reinterpret_cast<const PORT_DATA_1*>(input);
    std::wstring name;
    if (!FieldText(record.sztPortName, tcpport::kMaxPortNameLen, name)) return ERROR_INVALID_PARAMETER;
    HANDLE port = nullptr;
    const DWORD r = OpenPortKey(m.store, name, &port);
    if (r != ERROR_SUCCESS) return r;
    KeyGuard guard(m.store, port);
    return WriteConfig(m.store, port, record);
}

DWORD SetConfigExData(Monitor& m, const BYTE* input, DWORD size) {
    if (!input || size != sizeof(PORT_CONFIG_EX_DATA)) return ERROR_INVALID_PARAMETER;
    const auto& record = *reinterpret_cast<const PORT_CONFIG_EX_DATA*>(input);
    if (record.cbSize != sizeof(PORT_CONFIG_EX_DATA) || record.dwVersion != tcpport::kConfigExVersion)
        return ERROR_INVALID_PARAMETER;
    std::wstring name, address;
    if (!FieldText(record.szPortName, 64, name) || !FieldText(record.szAddress, 128, address))
        return ERROR_INVALID_PARAMETER;
    HANDLE port = nullptr;
    const DWORD r = OpenPortKey(m.store, name, &port);
    if (r != ERROR_SUCCESS) return r;
    KeyGuard guard(m.store, port);
    LONG w = m.store.SetText(port, L"ExAddress", address.c_str());
    if (!w) w = m.store.SetNumber(port, L"IPv6", record.dwIPv6 ? 1 : 0);
    return static_cast<DWORD>(w);
}

DWORD DeletePort(Monitor& m, const BYTE* input, DWORD size) {
    std::wstring name;
    if (input && size == sizeof(DELETE_PORT_DATA_1)) {
        const auto& record = *reinterpret_cast<const DELETE_PORT_DATA_1*>(input);
        if (record.dwVersion != tcpport::kPortDataVersion ||
            !FieldText(record.psztPortName, tcpport::kMaxPortNameLen, name))
            return ERROR_INVALID_PARAMETER;
    } else if (!InputText(input, size, name)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!ValidPortName(name)) return ERROR_INVALID_PARAMETER;
    HANDLE port = nullptr;
    const DWORD r = OpenPortKey(m.store, name, &port);
    if (r != ERROR_SUCCESS) return r;
    m.store.Close(port);
    if (PortInUse(name)) return ERROR_BUSY;
    HANDLE ports = nullptr;
    if (m.store.Open(m.store.Root(), kPortsKey, &ports) != ERROR_SUCCESS) return ERROR_UNKNOWN_PORT;
    KeyGuard guard(m.store, ports);
    return static_cast<DWORD>(m.store.Delete(ports, name.c_str()));
}

std::vector<std::wstring> PortNames(Store& store) {
    std::vector<std::wstring> names;
    HANDLE ports = nullptr;
    if (store.Open(store.Root(), kPortsKey, &ports) != ERROR_SUCCESS) return names;
    KeyGuard guard(store, ports);
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD cch = 256;
        if (store.EnumKey(ports, i, name, &cch) != ERROR_SUCCESS) break;
        names.emplace_back(name, cch);
    }
    return names;
}

// --- Monitor functions -------------------------------------------------------------

BOOL WINAPI EnumPorts(HANDLE hMonitor, LPWSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                      LPDWORD returned) {
    if (!needed || !returned) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *needed = 0;
    *returned = 0;
    if (level != 1 && level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    auto& m = *static_cast<Monitor*>(hMonitor);
    Lock lock(m);
    const std::vector<std::wstring> names = PortNames(m.store);
    const size_t entry = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
    const std::wstring monitorName = PORTMON_NAME, description = PORTMON_DESCRIPTION;
    size_t total = 0;
    for (const std::wstring& n : names) {
        total += entry + (n.size() + 1) * sizeof(wchar_t);
        if (level == 2) total += (monitorName.size() + description.size() + 2) * sizeof(wchar_t);
    }
    *needed = static_cast<DWORD>(total);
    if (!buffer || size < total) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    // Entries from the front, their texts from the back.
    BYTE* end = buffer + total;
    auto place = [&end](const std::wstring& text) {
        end -= (text.size() + 1) * sizeof(wchar_t);
        memcpy(end, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        return reinterpret_cast<LPWSTR>(end);
    };
    for (size_t i = 0; i < names.size(); ++i) {
        if (level == 1) {
            auto* info = reinterpret_cast<PORT_INFO_1W*>(buffer) + i;
            info->pName = place(names[i]);
        } else {
            auto* info = reinterpret_cast<PORT_INFO_2W*>(buffer) + i;
            info->pPortName = place(names[i]);
            info->pMonitorName = place(monitorName);
            info->pDescription = place(description);
            info->fPortType = PORT_TYPE_WRITE | PORT_TYPE_READ;
            info->Reserved = 0;
        }
    }
    *returned = static_cast<DWORD>(names.size());
    return TRUE;
}

BOOL WINAPI XcvOpenPort(HANDLE hMonitor, LPCWSTR, ACCESS_MASK access, PHANDLE xcv) {
    if (!xcv) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *xcv = new (std::nothrow) Transceiver{static_cast<Monitor*>(hMonitor), access};
    if (!*xcv) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI XcvDataPort(HANDLE hXcv, LPCWSTR command, PBYTE input, DWORD inputSize, PBYTE, DWORD,
                         PDWORD outputNeeded) {
    if (outputNeeded) *outputNeeded = 0;
    auto* xcv = static_cast<Transceiver*>(hXcv);
    if (!xcv || !command) return ERROR_INVALID_PARAMETER;
    const bool admin = (xcv->access & SERVER_ACCESS_ADMINISTER) != 0;
    Monitor& m = *xcv->monitor;
    Lock lock(m);
    if (wcscmp(command, tcpport::kXcvAddPort) == 0) return admin ? AddPort(m, input, inputSize) : ERROR_ACCESS_DENIED;
    if (wcscmp(command, tcpport::kXcvConfigurePort) == 0)
        return admin ? ConfigurePort(m, input, inputSize) : ERROR_ACCESS_DENIED;
    if (wcscmp(command, tcpport::kXcvSetConfigExData) == 0)
        return admin ? SetConfigExData(m, input, inputSize) : ERROR_ACCESS_DENIED;
    if (wcscmp(command, tcpport::kXcvDeletePort) == 0)
        return admin ? DeletePort(m, input, inputSize) : ERROR_ACCESS_DENIED;
    return ERROR_INVALID_FUNCTION;
}

BOOL WINAPI XcvClosePort(HANDLE hXcv) {
    delete static_cast<Transceiver*>(hXcv);
    return TRUE;
}

VOID WINAPI Shutdown(HANDLE hMonitor) {
    auto* m = static_cast<Monitor*>(hMonitor);
    if (!m) return;
    m->store.Shutdown();
    DeleteCriticalSection(&m->lock);
    delete m;
}

MONITOR2 g_functions = [] {
    MONITOR2 f = {};
    f.cbSize = sizeof(MONITOR2);
    f.pfnEnumPorts = EnumPorts;
    f.pfnXcvOpenPort = XcvOpenPort;
    f.pfnXcvDataPort = XcvDataPort;
    f.pfnXcvClosePort = XcvClosePort;
    f.pfnShutdown = Shutdown;
    return f;
}();

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE hMonitor) {
    if (!init || !hMonitor) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* m = new (std::nothrow) Monitor;
    if (!m) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (!m->store.Init(*init)) {
        delete m;
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    InitializeCriticalSection(&m->lock);
    *hMonitor = m;
    return &g_functions;
}

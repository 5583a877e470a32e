#include "tools/usbdev/usb_devices.h"

#include <setupapi.h>

#include <cwchar>
#include <cwctype>

#include "platform/device_info.h"

namespace usbdev {

namespace {

const GUID kPrinterClass = {0x4d36e979, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
const GUID kUsbPrintInterface = {0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};
const wchar_t kUsbPrintInterfaceText[] = L"{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const wchar_t kDeviceClassesKey[] = L"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\";
const wchar_t kEnumKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\";

std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

std::wstring Upper(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(towupper(c));
    return text;
}

std::wstring Hashed(std::wstring path) {
    for (auto& c : path)
        if (c == L'\\') c = L'#';
    return path;
}

bool Fail(std::wstring* error, const std::wstring& what) {
    if (error) *error = what + L" failed: error " + std::to_wstring(GetLastError());
    return false;
}

// The instance id split at its backslashes.
std::vector<std::wstring> Parts(const std::wstring& id) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t next = id.find(L'\\', start);
        parts.push_back(id.substr(start, next == std::wstring::npos ? std::wstring::npos : next - start));
        if (next == std::wstring::npos) break;
        start = next + 1;
    }
    return parts;
}

std::vector<wchar_t> MultiSz(const std::vector<std::wstring>& items) {
    std::vector<wchar_t> out;
    for (const auto& s : items) {
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(L'\0');
    }
    out.push_back(L'\0');
    return out;
}

bool SetMultiSz(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, const std::vector<std::wstring>& items) {
    const std::vector<wchar_t> data = MultiSz(items);
    return SetupDiSetDeviceRegistryPropertyW(set, &device, property, reinterpret_cast<const BYTE*>(data.data()),
                                             static_cast<DWORD>(data.size() * sizeof(wchar_t))) != FALSE;
}

bool SetDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
                    ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool SetString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

std::wstring ReadString(HKEY root, const std::wstring& path, const wchar_t* name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return L"";
    return data;
}

// The registry key of an interface path below DeviceClasses.
std::wstring InterfaceKey(const std::wstring& devicePath) {
    return kDeviceClassesKey + std::wstring(kUsbPrintInterfaceText) + L"\\" + Hashed(devicePath);
}

// The prefix Windows gives the instance ids of the devices a USB device
// enumerates: "7&<hash>&0", stable for an instance id.
std::wstring ParentIdPrefix(const std::wstring& instanceId) {
    DWORD hash = 2166136261u;
    for (wchar_t c : Upper(instanceId)) {
        hash ^= static_cast<DWORD>(c);
        hash *= 16777619u;
    }
    wchar_t text[32];
    swprintf(text, 32, L"7&%08lX&0", static_cast<unsigned long>(hash));
    return text;
}

std::wstring InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& iface) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return L"";
    std::vector<BYTE> buffer(size + sizeof(wchar_t), 0);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, size, nullptr, nullptr)) return L"";
    return detail->DevicePath;
}

// The beginning of the names of a device's interface keys below the class:
// ##?#<instance id with '#' for '\'>#, lower case.
std::wstring InterfaceKeyPrefix(const std::wstring& instanceId) { return L"##?#" + Lower(Hashed(instanceId)) + L"#"; }

// Names of the subkeys of a key.
std::vector<std::wstring> SubKeys(const std::wstring& path) {
    std::vector<std::wstring> out;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    wchar_t name[512];
    for (DWORD i = 0;; ++i) {
        DWORD len = 512;
        if (RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        out.push_back(name);
    }
    RegCloseKey(key);
    return out;
}

bool CreateDevice(HDEVINFO set, const std::wstring& id, const wchar_t* description,
                  const std::vector<std::wstring>& hardwareIds, const std::vector<std::wstring>& compatibleIds,
                  SP_DEVINFO_DATA& device, std::wstring* error) {
    device = {};
    device.cbSize = sizeof(device);
    if (!SetupDiCreateDeviceInfoW(set, id.c_str(), &kPrinterClass, description, nullptr, 0, &device))
        return Fail(error, L"SetupDiCreateDeviceInfoW(" + id + L")");
    if (!SetMultiSz(set, device, SPDRP_HARDWAREID, hardwareIds)) return Fail(error, L"hardware ids of " + id);
    if (!compatibleIds.empty() && !SetMultiSz(set, device, SPDRP_COMPATIBLEIDS, compatibleIds))
        return Fail(error, L"compatible ids of " + id);
    if (!SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr))
        return Fail(error, L"SetupDiRegisterDeviceInfo(" + id + L")");
    const DWORD flags = 0;
    if (!SetupDiSetDeviceRegistryPropertyW(set, &device, SPDRP_CONFIGFLAGS, reinterpret_cast<const BYTE*>(&flags),
                                           sizeof(flags)))
        return Fail(error, L"configuration flags of " + id);
    return true;
}

bool OpenDevice(HDEVINFO set, const std::wstring& id, SP_DEVINFO_DATA& device) {
    device = {};
    device.cbSize = sizeof(device);
    return SetupDiOpenDeviceInfoW(set, id.c_str(), nullptr, 0, &device) != FALSE;
}

}  // namespace

std::wstring FunctionInstanceId(const UsbPrinter& printer, const std::wstring& functionId) {
    wchar_t port[16];
    swprintf(port, 16, L"&USB%03lu", static_cast<unsigned long>(printer.port));
    return functionId + L"\\" + ParentIdPrefix(printer.instanceId) + port;
}

bool AddUsbPrinter(const UsbPrinter& printer, std::wstring* error) {
    const std::vector<std::wstring> parts = Parts(printer.instanceId);
    if (parts.size() != 3 || parts[0].empty() || parts[1].empty() || parts[2].empty()) {
        if (error) *error = L"instance id must be <enumerator>\\<device>\\<instance>: " + printer.instanceId;
        return false;
    }
    plat::DeviceInfoList set(SetupDiCreateDeviceInfoList(&kPrinterClass, nullptr));
    if (!set) return Fail(error, L"SetupDiCreateDeviceInfoList");

    const std::wstring deviceId = parts[0] + L"\\" + parts[1];
    SP_DEVINFO_DATA device;
    if (!CreateDevice(set.get(), printer.instanceId, L"USB Printing Support",
                      {deviceId + L"&REV_0100", deviceId},
                      {L"USB\\Class_07&SubClass_01&Prot_02", L"USB\\Class_07&SubClass_01", L"USB\\Class_07"}, device,
                      error))
        return false;
    SetString(HKEY_LOCAL_MACHINE, kEnumKey + printer.instanceId, L"ParentIdPrefix",
              ParentIdPrefix(printer.instanceId));

    SP_DEVICE_INTERFACE_DATA iface = {};
    iface.cbSize = sizeof(iface);
    const wchar_t* reference = printer.referenceString.empty() ? nullptr : printer.referenceString.c_str();
    if (!SetupDiCreateDeviceInterfaceW(set.get(), &device, &kUsbPrintInterface, reference, 0, &iface))
        return Fail(error, L"SetupDiCreateDeviceInterfaceW");
    HKEY parameters = SetupDiCreateDeviceInterfaceRegKeyW(set.get(), &iface, 0, KEY_ALL_ACCESS, nullptr, nullptr);
    if (parameters == INVALID_HANDLE_VALUE) return Fail(error, L"SetupDiCreateDeviceInterfaceRegKeyW");
    RegSetValueExW(parameters, L"Port Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&printer.port),
                   sizeof(printer.port));
    const std::wstring description = L"Virtual printer port for USB";
    RegSetValueExW(parameters, L"Port Description", 0, REG_SZ, reinterpret_cast<const BYTE*>(description.c_str()),
                   static_cast<DWORD>((description.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(parameters);

    if (!SetConnected(printer.instanceId, printer.connected)) return Fail(error, L"Linked value");
    if (reference) {
        // Where the product looks for the port number of this path.
        SetDword(HKEY_LOCAL_MACHINE, InterfaceKey(InterfacePath(set.get(), iface)) + L"\\#\\Device Parameters",
                 L"Port Number", printer.port);
    }

    for (const std::wstring& functionId : printer.functions) {
        const std::vector<std::wstring> ids = Parts(functionId);
        SP_DEVINFO_DATA function;
        if (!CreateDevice(set.get(), FunctionInstanceId(printer, functionId), ids.back().c_str(),
                          {functionId, ids.back()}, {}, function, error))
            return false;
    }
    return true;
}

bool RemoveUsbPrinter(const std::wstring& instanceId) {
    plat::DeviceInfoList set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
    SP_DEVINFO_DATA device;
    if (!set || !OpenDevice(set.get(), instanceId, device)) return false;

    // Keys of the device's interfaces, including those written for a path
    // of a reference string.
    const std::wstring classKey = kDeviceClassesKey + std::wstring(kUsbPrintInterfaceText);
    for (const std::wstring& name : SubKeys(classKey))
        if (Lower(name).rfind(InterfaceKeyPrefix(instanceId), 0) == 0)
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, (classKey + L"\\" + name).c_str());

    const std::wstring prefix = ReadString(HKEY_LOCAL_MACHINE, kEnumKey + instanceId, L"ParentIdPrefix");
    if (!prefix.empty()) {
        plat::DeviceInfoList functions(SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
        for (DWORD i = 0; functions; ++i) {
            SP_DEVINFO_DATA function = {};
            function.cbSize = sizeof(function);
            if (!SetupDiEnumDeviceInfo(functions.get(), i, &function)) break;
            wchar_t id[1024] = {};
            if (!SetupDiGetDeviceInstanceIdW(functions.get(), &function, id, 1024, nullptr)) continue;
            const std::vector<std::wstring> parts = Parts(id);
            if (parts.size() == 3 && Upper(parts[2]).rfind(Upper(prefix), 0) == 0)
                SetupDiRemoveDevice(functions.get(), &function);
        }
    }
    return SetupDiRemoveDevice(set.get(), &device) != FALSE;
}

bool RemoveDevice(const std::wstring& instanceId) {
    plat::DeviceInfoList set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
    SP_DEVINFO_DATA device;
    if (!set || !OpenDevice(set.get(), instanceId, device)) return false;
    return SetupDiRemoveDevice(set.get(), &device) != FALSE;
}

bool SetConnected(const std::wstring& instanceId, bool connected) {
    const std::wstring classKey = kDeviceClassesKey + std::wstring(kUsbPrintInterfaceText);
    bool any = false;
    for (const std::wstring& name : SubKeys(classKey)) {
        if (Lower(name).rfind(InterfaceKeyPrefix(instanceId), 0) != 0) continue;
        for (const std::wstring& reference : SubKeys(classKey + L"\\" + name)) {
            if (reference.empty() || reference[0] != L'#') continue;
            any |= SetDword(HKEY_LOCAL_MACHINE, classKey + L"\\" + name + L"\\" + reference + L"\\Control", L"Linked",
                            connected ? 1 : 0);
        }
    }
    return any;
}

bool ReadConfigFlags(const std::wstring& instanceId, DWORD& flags) {
    plat::DeviceInfoList set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
    SP_DEVINFO_DATA device;
    if (!set || !OpenDevice(set.get(), instanceId, device)) return false;
    DWORD type = 0;
    flags = 0;
    return SetupDiGetDeviceRegistryPropertyW(set.get(), &device, SPDRP_CONFIGFLAGS, &type,
                                             reinterpret_cast<BYTE*>(&flags), sizeof(flags), nullptr) != FALSE;
}

bool WriteConfigFlags(const std::wstring& instanceId, DWORD flags) {
    plat::DeviceInfoList set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
    SP_DEVINFO_DATA device;
    if (!set || !OpenDevice(set.get(), instanceId, device)) return false;
    return SetupDiSetDeviceRegistryPropertyW(set.get(), &device, SPDRP_CONFIGFLAGS,
                                             reinterpret_cast<const BYTE*>(&flags), sizeof(flags)) != FALSE;
}

std::vector<std::wstring> ListDevices(const std::wstring& prefix) {
    std::vector<std::wstring> out;
    plat::DeviceInfoList set(SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
    for (DWORD i = 0; set; ++i) {
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        if (!SetupDiEnumDeviceInfo(set.get(), i, &device)) break;
        wchar_t id[1024] = {};
        if (!SetupDiGetDeviceInstanceIdW(set.get(), &device, id, 1024, nullptr)) continue;
        if (_wcsnicmp(id, prefix.c_str(), prefix.size()) == 0) out.push_back(id);
    }
    return out;
}

}  // namespace usbdev

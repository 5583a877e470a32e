#include "install/pnp_devices.h"

#include <objbase.h>

#include <atomic>
#include <cwchar>
#include <string>
#include <vector>

#include "config/setup_config.h"
#include "platform/device_info.h"
#include "platform/handles.h"
#include "platform/text.h"

namespace install {

const GUID kUsbPrintInterface = {0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};
const GUID kPrinterDeviceClass = {0x4d36e979, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

namespace {

constexpr DWORD kConfigFlagReinstall = 0x20;  // CONFIGFLAG_REINSTALL
constexpr size_t kMaxUsbPrinters = 6;

DeviceProperties g_realProperties;
std::atomic<DeviceProperties*> g_testProperties{nullptr};

DeviceProperties& Properties() {
    DeviceProperties* p = g_testProperties.load();
    return p ? *p : g_realProperties;
}

// Where the port monitor keeps a USB printer interface's port number.
std::wstring PortParametersKey(const wchar_t* hashedPath) {
    wchar_t guid[40] = {};
    StringFromGUID2(kUsbPrintInterface, guid, 40);
    return plat::Format(L"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\%ls\\%ls\\#\\Device Parameters", guid,
                        hashedPath);
}

// The first interface of the class on the device and its path; false when
// the interface or its detail cannot be read.
bool ReadInterfacePath(HDEVINFO set, SP_DEVINFO_DATA& device, std::wstring& path) {
    SP_DEVICE_INTERFACE_DATA iface = {};
    iface.cbSize = sizeof(iface);
    if (!SetupDiEnumDeviceInterfaces(set, &device, &kUsbPrintInterface, 0, &iface)) return false;
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return false;
    std::vector<BYTE> buffer(size + sizeof(wchar_t), 0);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, size, nullptr, nullptr)) return false;
    path = detail->DevicePath;
    return true;
}

}  // namespace

BOOL DeviceProperties::Get(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, BYTE* buffer, DWORD size,
                           DWORD* needed) {
    return SetupDiGetDeviceRegistryPropertyW(set, device, property, nullptr, buffer, size, needed);
}

BOOL DeviceProperties::Set(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, const BYTE* buffer, DWORD size) {
    return SetupDiSetDeviceRegistryPropertyW(set, device, property, buffer, size);
}

void SetDevicePropertiesForTest(DeviceProperties* properties) { g_testProperties.store(properties); }

bool MatchUsbPrinterModel(const wchar_t* instanceId, UsbPrinterItem& item) {
    cfg::ConfigList nodes;
    cfg::GetConfigSiblingList(L"/SERTUP_INFO/USB/USB_Info", L"ID", nodes);
    bool matched = false;
    for (const cfg::ConfigEntry& node : nodes) {
        wchar_t prefix[130] = {};
        wchar_t model[130] = {};
        plat::CopyTrunc(prefix, node.szText);
        plat::CopyTrunc(model, node.szAttr);
        // An empty text would claim every USB device of the machine.
        if (!prefix[0] || !plat::StartsWithNoCaseAscii(instanceId ? instanceId : L"", prefix)) continue;
        plat::CopyTrunc(item.model, model);
        matched = true;
    }
    return matched;
}

void DiscoverUsbPrinters(UsbPrinterList& printers) {
    plat::DeviceInfoList set(
        SetupDiGetClassDevsW(&kUsbPrintInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set) return;

    for (DWORD index = 0; index < kMaxUsbPrinters; ++index) {
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        if (!SetupDiEnumDeviceInfo(set.get(), index, &device)) break;

        wchar_t instanceId[1024] = {};
        if (!SetupDiGetDeviceInstanceIdW(set.get(), &device, instanceId, 1024, nullptr)) instanceId[0] = L'\0';
        UsbPrinterItem item;
        if (!MatchUsbPrinterModel(instanceId, item)) continue;

        std::wstring devicePath;
        if (!ReadInterfacePath(set.get(), device, devicePath)) return;

        wchar_t hashed[260] = {};
        plat::CopyTrunc(hashed, plat::ReplaceAll(devicePath, L"\\", L"#"));

        plat::RegKey key;
        if (RegCreateKeyW(HKEY_LOCAL_MACHINE, PortParametersKey(hashed).c_str(), key.put()) != ERROR_SUCCESS) continue;
        if (wcsstr(hashed, L"#dot4#")) continue;

        DWORD port = 0, type = 0, size = sizeof(port);
        if (RegQueryValueExW(key.get(), L"Port Number", nullptr, &type, reinterpret_cast<BYTE*>(&port), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD)
            continue;
        plat::Trace(L"判断是否为Print端口");
        plat::CopyTrunc(item.port, 256, plat::Format(L"USB%03lu", static_cast<unsigned long>(port)));
        printers.push_back(item);
        plat::Trace(std::wstring(L"判断成功，端口为：") + item.port);
    }
}

bool MarkDevicesForReinstall(const wchar_t* enumerator) {
    // No enumerator would make the list every device of the machine.
    if (!enumerator || !*enumerator) return true;
    plat::DeviceInfoList set(SetupDiGetClassDevsW(&kPrinterDeviceClass, enumerator, nullptr, DIGCF_ALLCLASSES));
    if (!set) return false;

    DeviceProperties& properties = Properties();
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        if (!SetupDiEnumDeviceInfo(set.get(), index, &device)) break;

        DWORD size = 0;
        properties.Get(set.get(), &device, SPDRP_CONFIGFLAGS, nullptr, 0, &size);
        if (size == 0) return false;
        std::vector<BYTE> flags(size, 0);
        if (!properties.Get(set.get(), &device, SPDRP_CONFIGFLAGS, flags.data(), size, nullptr)) return false;
        flags[0] |= kConfigFlagReinstall;
        if (!properties.Set(set.get(), &device, SPDRP_CONFIGFLAGS, flags.data(), size)) return false;
    }
    return true;
}

}  // namespace install

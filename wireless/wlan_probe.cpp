#include "wireless/wlan_probe.h"

#include <windows.h>
#include <wlanapi.h>

#include "platform/text.h"

namespace wireless {

namespace {

using OpenHandleFn = DWORD(WINAPI*)(DWORD, PVOID, PDWORD, PHANDLE);
using CloseHandleFn = DWORD(WINAPI*)(HANDLE, PVOID);
using FreeMemoryFn = VOID(WINAPI*)(PVOID);
using EnumInterfacesFn = DWORD(WINAPI*)(HANDLE, PVOID, PWLAN_INTERFACE_INFO_LIST*);
using QueryInterfaceFn = DWORD(WINAPI*)(HANDLE, const GUID*, WLAN_INTF_OPCODE, PVOID, PDWORD, PVOID*,
                                        PWLAN_OPCODE_VALUE_TYPE);

template <typename Fn>
bool Resolve(HMODULE lib, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
    return fn != nullptr;
}

}  // namespace

std::wstring GetConnectedWlanProfile() {
    HMODULE lib = LoadLibraryW(L"wlanapi.dll");
    if (!lib) {
        plat::Trace(L"LoadLibrary(wlanapi.dll) = NULL");
        return {};
    }
    std::wstring profile;
    OpenHandleFn openHandle;
    CloseHandleFn closeHandle;
    FreeMemoryFn freeMemory;
    EnumInterfacesFn enumInterfaces;
    QueryInterfaceFn queryInterface;
    if (!Resolve(lib, "WlanOpenHandle", openHandle) || !Resolve(lib, "WlanCloseHandle", closeHandle) ||
        !Resolve(lib, "WlanFreeMemory", freeMemory) || !Resolve(lib, "WlanEnumInterfaces", enumInterfaces) ||
        !Resolve(lib, "WlanQueryInterface", queryInterface)) {
        plat::Trace(L"GetProcAddress(g_hWlanDll, WlanOpenHandle) = NULL");
        FreeLibrary(lib);
        return {};
    }

    DWORD negotiated = 0;
    HANDLE client = nullptr;
    DWORD rc = openHandle(2, nullptr, &negotiated, &client);
    if (rc != ERROR_SUCCESS) {
        plat::TraceF(L"WlanOpenHandle failed with error: %u\n", rc);
        FreeLibrary(lib);
        return {};
    }
    PWLAN_INTERFACE_INFO_LIST interfaces = nullptr;
    rc = enumInterfaces(client, nullptr, &interfaces);
    if (rc != ERROR_SUCCESS) {
        plat::TraceF(L"WlanEnumInterfaces failed with error: %u\n", rc);
    } else {
        for (DWORD i = 0; i < interfaces->dwNumberOfItems && profile.empty(); ++i) {
            const WLAN_INTERFACE_INFO& info = interfaces->InterfaceInfo[i];
            if (info.isState != wlan_interface_state_connected) continue;
            PWLAN_CONNECTION_ATTRIBUTES connection = nullptr;
            DWORD size = sizeof(WLAN_CONNECTION_ATTRIBUTES);
            WLAN_OPCODE_VALUE_TYPE valueType = wlan_opcode_value_type_invalid;
            rc = queryInterface(client, &info.InterfaceGuid, wlan_intf_opcode_current_connection, nullptr, &size,
                                reinterpret_cast<PVOID*>(&connection), &valueType);
            if (rc != ERROR_SUCCESS) {
                plat::TraceF(L"WlanQueryInterface failed with error: %u\n", rc);
                continue;
            }
            profile = connection->strProfileName;
            plat::Trace(L"Profile name used: " + profile + L"\n");
            freeMemory(connection);
        }
        freeMemory(interfaces);
    }
    closeHandle(client, nullptr);
    FreeLibrary(lib);
    return profile;
}

}  // namespace wireless

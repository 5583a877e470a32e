#include "env/os_checks.h"

#include <cstdlib>

#include "env/texts.h"
#include "platform/module.h"
#include "platform/text.h"

namespace env {

unsigned OsCodeFromVersion(const plat::OsVersion& v) {
    if (!v.basicOk || v.platformId != VER_PLATFORM_WIN32_NT) return 0;
    const bool workstation = v.productType == VER_NT_WORKSTATION;
    switch (v.major) {
    case 5:
        if (v.minor == 1) return 7;
        if (v.minor == 2) {
            if (!v.extendedOk) return 8;
            if (workstation) return 14;
            return v.serverR2 != 0 ? 12 : 8;
        }
        return 0;
    case 6:
        // Without the extended record the product type reads as 0 (server).
        switch (v.minor) {
        case 0:
            if (!v.extendedOk) return 0;
            return workstation ? 9 : 10;
        case 1: return workstation ? 11 : 13;
        case 2: return workstation ? 15 : 16;
        case 3: return workstation ? 17 : 18;
        default: return 0;
        }
    case 10:
        if (v.minor != 0) return 0;
        return workstation ? 19 : 20;
    default:
        return 0;
    }
}

unsigned GetOsCode(bool* versionRead) {
    plat::OsVersion v = plat::Sys().GetVersion();
    unsigned code = OsCodeFromVersion(v);
    if (versionRead) *versionRead = v.basicOk;
    plat::Trace(L" ======= 系统ID =======");
    plat::TraceF(L" ==== 返回：%d ,  OS PlatformID：%d, OS MaxID：%d , OS MinID：%d =====", code,
                 static_cast<int>(v.platformId), static_cast<int>(v.major), static_cast<int>(v.minor));
    return code;
}

bool IsAdministrator() { return plat::Sys().TokenHasAdministrators(); }

bool IsNative64BitArchitecture(WORD arch) {
    return arch == PROCESSOR_ARCHITECTURE_AMD64 || arch == PROCESSOR_ARCHITECTURE_IA64;
}

bool IsNative64BitWindows() {
    using Fn = void(WINAPI*)(LPSYSTEM_INFO);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto fn = kernel ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")))
                     : nullptr;
    if (!fn) return false;
    SYSTEM_INFO info = {};
    fn(&info);
    return IsNative64BitArchitecture(info.wProcessorArchitecture);
}

bool CheckStartRights(StartCheck which, const wchar_t* language, HWND owner, bool native64) {
    if (!IsAdministrator()) {
        ShowMessage(owner, which == StartCheck::Install ? 172 : 308, RtlMessageStyle(language));
        return false;
    }
    OSVERSIONINFOW info;
    if (!plat::Sys().GetBasicVersion(info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT) {
        ShowMessage(owner, 168, 0);
        return false;
    }
    if (which == StartCheck::Uninstall32 && native64) {
        ShowMessage(owner, 301, RtlMessageStyle(language));
        return false;
    }
    return true;
}

bool CheckDiskSpace(const wchar_t* language, HWND owner) {
    const std::wstring windows = plat::WindowsDirectory();
    wchar_t drive[_MAX_DRIVE] = {};
    _wsplitpath_s(windows.c_str(), drive, _MAX_DRIVE, nullptr, 0, nullptr, 0, nullptr, 0);
    if (windows.empty()) return false;
    ULONGLONG freeBytes = 0;
    if (!plat::Sys().GetFreeBytes(drive, freeBytes)) return true;
    if ((freeBytes >> 20) >= 200) return true;
    ShowMessageText(owner, std::wstring(drive) + MessageText(181), RtlMessageStyle(language));
    return false;
}

}  // namespace env

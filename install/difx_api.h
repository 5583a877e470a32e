// The driver-package library's interface (DIFx): the four entry points the
// product resolves by name from the library it ships in its install folder,
// with their flags and result codes. Shared by the product's package steps
// and the library stand-in of the demo product.
#pragma once

#include <windows.h>

// Optional description of the installing application; the product passes none.
struct INSTALLERINFO_W {
    PWSTR pApplicationId;
    PWSTR pDisplayName;
    PWSTR pProductName;
    PWSTR pMfgName;
};
using PCINSTALLERINFO_W = const INSTALLERINFO_W*;

namespace difx {

constexpr DWORD kFlagRepair = 0x00000002;
constexpr DWORD kFlagForce = 0x00000004;           // DRIVER_PACKAGE_FORCE
constexpr DWORD kFlagOnlyIfDevicePresent = 0x00000008;
constexpr DWORD kFlagLegacyMode = 0x00000010;
constexpr DWORD kFlagDeleteFiles = 0x00000020;

// The package was installed, but no device it serves is present.
constexpr DWORD kErrorNoSuchDevinst = 0xE000020B;  // ERROR_NO_SUCH_DEVINST
// The INF given to the get-path or uninstall call is not in the driver store.
constexpr DWORD kErrorNotInStore = 0xE0000302;     // ERROR_DRIVER_PACKAGE_NOT_IN_STORE

using PreinstallFn = DWORD(WINAPI*)(PCWSTR infPath, DWORD flags);
using InstallFn = DWORD(WINAPI*)(PCWSTR infPath, DWORD flags, PCINSTALLERINFO_W installer, BOOL* needReboot);
// `chars`: in, the buffer's size in characters; out, the characters needed
// including the terminator. ERROR_INSUFFICIENT_BUFFER when the buffer is
// missing or too small.
using GetPathFn = DWORD(WINAPI*)(PCWSTR infPath, PWSTR storeInfPath, DWORD* chars);
using UninstallFn = DWORD(WINAPI*)(PCWSTR storeInfPath, DWORD flags, PCINSTALLERINFO_W installer, BOOL* needReboot);

}  // namespace difx

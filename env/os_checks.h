// Checks of the running system: administrator rights, the Windows version
// code, 64-bit Windows, the start checks of the wizard hosts and free disk
// space on the system drive.
#pragma once

#include <windows.h>

#include "platform/system.h"

namespace env {

// OS code of a version record: 0 (not recognised) or 7 to 20.
unsigned OsCodeFromVersion(const plat::OsVersion& v);
// OS code of the running system, traced. `versionRead` (optional) tells
// whether version information could be read at all.
unsigned GetOsCode(bool* versionRead = nullptr);

bool IsAdministrator();

// Processor architecture x64 (9) or Itanium (6) as GetNativeSystemInfo
// reports it; false when kernel32 has no GetNativeSystemInfo.
bool IsNative64BitWindows();
bool IsNative64BitArchitecture(WORD processorArchitecture);

// Which start check a host runs.
enum class StartCheck {
    Install,      // text 172 for a standard user
    Uninstall,    // text 308 for a standard user
    Uninstall32,  // as Uninstall, and text 301 on 64-bit Windows
};
// True to go on; false after a message box (owner `owner`, may be null).
bool CheckStartRights(StartCheck which, const wchar_t* language, HWND owner,
                      bool native64 = IsNative64BitWindows());

// Whole MiB of free space on the system drive: 200 or more passes, a failed
// query passes; otherwise the drive and text 181 are shown and false returned.
bool CheckDiskSpace(const wchar_t* language, HWND owner);

}  // namespace env

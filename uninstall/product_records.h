// The registry records of the installed product: product keys, the uninstall
// entry, the autostart values and the update-tool record. The install side
// writes them, the uninstall side removes them.
//
// Every value is REG_SZ written with a byte count of exactly twice its
// character count (no terminating null counted); readers must not rely on a
// terminator being stored. Every write is best effort: the first failing
// call ends the routine and the caller goes on.
#pragma once

#include <string>

#include "env/os_checks.h"

namespace uninstall {

// HKLM\Software\Microsoft\Windows\CurrentVersion\Run
extern const wchar_t kRunKey[];
// HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall
extern const wchar_t kUninstallKey[];
// HKCU\Software\MyUpdateTool
extern const wchar_t kUpdateToolKey[];

// Product key HKLM\Software\<name>: "Language", "Suffix", "IP", "IP TIME",
// "Printer", "Scanner", "Scantool" (the Program Files folder, each beside an
// empty subkey of the same name) and "Type" (KEYTYPE value of the name). On
// 64-bit Windows "Language" and "Suffix" also go to
// HKLM\SOFTWARE\Wow6432Node\<name>, where 32-bit programs look.
// 0 on success, 3 after a failed step.
int WriteProductRecord(const wchar_t* name, const wchar_t* language, const wchar_t* suffix,
                       const wchar_t* address, const wchar_t* time,
                       bool native64 = env::IsNative64BitWindows());

// Path of the uninstall program: the system directory, "\" and each Dir
// value, "\" and uisname, and - when the uisexe file (with "%Systembit%"
// replaced) lies beside the running program - "\" and its found name, which
// sets *programFound. At most 511 characters.
std::wstring UninstallProgramPath(bool* programFound = nullptr);

// Uninstall entry HKLM\...\Uninstall\<model>: "DisplayName", "DisplayIcon",
// "URLInfoAbout", "DisplayVersion", "Publisher", "UninstallString".
// 0 on success, 3 on failure.
int WriteUninstallEntry(const wchar_t* model);

// Autostart value `name` = `data` (at most 1023 characters) in the Run key,
// which must exist. 0 on success, 3 on failure.
int SetAutostartValue(const wchar_t* name, const wchar_t* data);

// HKCU\Software\MyUpdateTool\<model> "CurrentVersion" = the driver package
// version; nothing when the document names no version. 0 on success (or
// nothing to write), 3 on failure.
int WriteUpdateToolRecord(const wchar_t* model);

}  // namespace uninstall

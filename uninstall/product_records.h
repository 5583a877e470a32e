// The registry records of the installed product: product keys, the uninstall
// entry and the autostart values. The install side writes them, the
// uninstall side removes them.
//
// Every value is REG_SZ stored with exactly twice its character count in
// bytes: the data carries no terminating null, and readers must not rely on
// one.
#pragma once

namespace uninstall {

// HKLM\Software\Microsoft\Windows\CurrentVersion\Run
extern const wchar_t kRunKey[];

// Product key HKLM\Software\<name>. 0 on success, 3 after a failed step.
int WriteProductRecord(const wchar_t* name, const wchar_t* language, const wchar_t* suffix,
                       const wchar_t* address, const wchar_t* time);

// Uninstall entry of the model. 0 on success, 3 on failure.
int WriteUninstallEntry(const wchar_t* model);

// Autostart value `name` = `data` (at most 1023 characters) in the Run key,
// which must exist. 0 on success, 3 on failure.
int SetAutostartValue(const wchar_t* name, const wchar_t* data);

}  // namespace uninstall

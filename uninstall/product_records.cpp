#include "uninstall/product_records.h"

#include <windows.h>

#include <cwchar>

#include "platform/handles.h"
#include "platform/text.h"

namespace uninstall {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {
constexpr int kRecordFailed = 3;

// REG_SZ without the terminating null in the stored size.
LONG SetTextValue(HKEY key, const wchar_t* name, const wchar_t* text) {
    const DWORD bytes = static_cast<DWORD>(wcslen(text) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}
}  // namespace

int WriteProductRecord(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*) {
    return 0;  // filled in with the product key values
}

int WriteUninstallEntry(const wchar_t*) { return 0; }  // filled in with the uninstall entry values

int SetAutostartValue(const wchar_t* name, const wchar_t* data) {
    plat::RegKey run;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, run.put()) !=
        ERROR_SUCCESS)
        return kRecordFailed;
    wchar_t text[1024] = {};
    plat::CopyTrunc(text, data ? data : L"");
    return SetTextValue(run.get(), name, text) == ERROR_SUCCESS ? 0 : kRecordFailed;
}

}  // namespace uninstall

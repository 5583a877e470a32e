#include "uninstall/product_records.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>

#include "config/setup_config.h"
#include "platform/handles.h"
#include "platform/module.h"
#include "platform/text.h"

namespace uninstall {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kUpdateToolKey[] = L"Software\\MyUpdateTool";

namespace {
constexpr int kRecordFailed = 3;
constexpr REGSAM kWriteAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

const wchar_t* OrEmpty(const wchar_t* text) { return text ? text : L""; }

// REG_SZ without the terminating null in the stored size.
LONG SetTextValue(HKEY key, const wchar_t* name, const wchar_t* text) {
    const DWORD bytes = static_cast<DWORD>(wcslen(text) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}

// A key path of at most 511 characters.
std::wstring KeyPath(const wchar_t* parent, const wchar_t* name) {
    wchar_t path[512] = {};
    plat::CopyTrunc(path, plat::Format(L"%ls\\%ls", parent, OrEmpty(name)));
    return path;
}

bool CreateKey(HKEY root, const std::wstring& path, REGSAM access, plat::RegKey& key) {
    return RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, key.put(),
                           nullptr) == ERROR_SUCCESS;
}

// Opens HKLM\<path> anew and writes one value.
bool WriteValue(const std::wstring& path, const wchar_t* name, const wchar_t* text) {
    plat::RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, kWriteAccess, key.put()) != ERROR_SUCCESS) return false;
    return SetTextValue(key.get(), name, text) == ERROR_SUCCESS;
}

// Opens HKLM\<path> anew and creates an (empty) subkey below it.
bool WriteSubkey(const std::wstring& path, const wchar_t* subkey) {
    plat::RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, kWriteAccess, key.put()) != ERROR_SUCCESS) return false;
    plat::RegKey sub;
    return CreateKey(key.get(), subkey, KEY_READ, sub);
}

}  // namespace

int WriteProductRecord(const wchar_t* name, const wchar_t* language, const wchar_t* suffix, const wchar_t* address,
                       const wchar_t* time, bool native64) {
    // Without a name the values would land in HKLM\Software itself.
    if (!name || !*name) return kRecordFailed;
    wchar_t type[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/KEYTYPE/Typename", OrEmpty(name), type);
    wchar_t programFiles[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles);

    const std::wstring path = KeyPath(L"Software", name);
    {
        plat::RegKey key;
        if (!CreateKey(HKEY_LOCAL_MACHINE, path, KEY_READ, key)) {
            plat::TraceF(L"*** product key %ls cannot be created", path.c_str());
            return kRecordFailed;
        }
    }
    if (!WriteValue(path, L"Language", OrEmpty(language)) || !WriteValue(path, L"Suffix", OrEmpty(suffix)) ||
        !WriteValue(path, L"IP", OrEmpty(address)) || !WriteValue(path, L"IP TIME", OrEmpty(time)) ||
        !WriteSubkey(path, L"Printer") || !WriteValue(path, L"Printer", programFiles) ||
        !WriteSubkey(path, L"Scanner") || !WriteValue(path, L"Scanner", programFiles))
        return kRecordFailed;

    // 32-bit programs of the product read the language from their view of
    // the registry.
    if (native64) {
        const std::wstring path32 = KeyPath(L"SOFTWARE\\Wow6432Node", name);
        plat::RegKey key;
        if (!CreateKey(HKEY_LOCAL_MACHINE, path32, KEY_READ, key) || !WriteValue(path32, L"Language", OrEmpty(language)) ||
            !WriteValue(path32, L"Suffix", OrEmpty(suffix)))
            return kRecordFailed;
    }

    if (!WriteSubkey(path, L"Scantool") || !WriteValue(path, L"Scantool", programFiles) ||
        !WriteValue(path, L"Type", type))
        return kRecordFailed;
    return 0;
}

std::wstring UninstallProgramPath(bool* programFound) {
    std::wstring path = plat::SystemDirectory();
    for (const std::wstring& dir : cfg::GetDirValues()) path += L"\\" + dir;
    path += L"\\" + cfg::ConfigText(L"/SERTUP_INFO/CreateFolder/uisname");

    bool found = false;
    const std::wstring program = cfg::ReplaceSystembit(cfg::ConfigText(L"/SERTUP_INFO/CreateFolder/uisexe"));
    if (!program.empty()) {
        WIN32_FIND_DATAW data = {};
        plat::FindHandle find(FindFirstFileW((plat::ProgramFolder() + program).c_str(), &data));
        if (find) {
            path += L"\\";
            path += data.cFileName;
            found = true;
        }
    }
    if (programFound) *programFound = found;

    wchar_t text[512] = {};
    plat::CopyTrunc(text, path);
    return text;
}

int WriteUninstallEntry(const wchar_t* model) {
    if (!model || !*model) return kRecordFailed;  // never the Uninstall key itself
    const std::wstring icon = plat::SystemDirectory() + cfg::ConfigText(L"SERTUP_INFO/CreateFolder/iconname");
    const std::wstring url = cfg::ConfigText(L"/SERTUP_INFO/manufacturer/URL");
    const std::wstring version = cfg::ConfigText(L"/SERTUP_INFO/manufacturer/DrvPackageVer");
    const std::wstring publisher = cfg::ConfigText(L"/SERTUP_INFO/manufacturer/Company");
    bool programFound = false;
    const std::wstring program = UninstallProgramPath(&programFound);
    // Windows runs this command as it stands. The uninstall program may be
    // the setup program itself, which uninstalls only when told so (the
    // dedicated 32-bit uninstaller accepts the switch too); the path has
    // spaces, so it is quoted. Without the program there is nothing to run
    // and the folder is all the entry can name.
    const std::wstring command = programFound ? L"\"" + program + L"\" -uninstall" : program;

    plat::RegKey key;
    if (!CreateKey(HKEY_LOCAL_MACHINE, KeyPath(kUninstallKey, model), kWriteAccess, key)) return kRecordFailed;
    const struct {
        const wchar_t* name;
        const wchar_t* text;
    } values[] = {
        {L"DisplayName", OrEmpty(model)}, {L"DisplayIcon", icon.c_str()},         {L"URLInfoAbout", url.c_str()},
        {L"DisplayVersion", version.c_str()}, {L"Publisher", publisher.c_str()}, {L"UninstallString", command.c_str()},
    };
    for (const auto& v : values)
        if (SetTextValue(key.get(), v.name, v.text) != ERROR_SUCCESS) return kRecordFailed;
    return 0;
}

int SetAutostartValue(const wchar_t* name, const wchar_t* data) {
    plat::RegKey run;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, kWriteAccess, run.put()) != ERROR_SUCCESS) return kRecordFailed;
    wchar_t text[1024] = {};
    plat::CopyTrunc(text, OrEmpty(data));
    return SetTextValue(run.get(), name, text) == ERROR_SUCCESS ? 0 : kRecordFailed;
}

int WriteUpdateToolRecord(const wchar_t* model) {
    if (!model || !*model) return kRecordFailed;
    const std::wstring version = cfg::ConfigText(L"/SERTUP_INFO/manufacturer/DrvPackageVer");
    if (version.empty()) return 0;
    const std::wstring path = KeyPath(kUpdateToolKey, model);
    {
        plat::RegKey created;
        if (!CreateKey(HKEY_CURRENT_USER, path, KEY_READ, created)) return kRecordFailed;
    }
    plat::RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
        return kRecordFailed;
    return SetTextValue(key.get(), L"CurrentVersion", version.c_str()) == ERROR_SUCCESS ? 0 : kRecordFailed;
}

}  // namespace uninstall

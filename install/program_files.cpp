#include "install/program_files.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "config/setup_config.h"
#include "env/texts.h"
#include "platform/fileops.h"
#include "platform/handles.h"
#include "platform/module.h"
#include "platform/text.h"
#include "uninstall/product_records.h"

namespace install {

namespace {

constexpr int kShortcutsStopped = 3;

// Copies the file a search for `source` finds into `folder`, under the
// found name. A source that is not found (or is a folder) is skipped.
void CopyFoundFile(const std::wstring& source, const std::wstring& folder) {
    WIN32_FIND_DATAW found = {};
    plat::FindHandle find(FindFirstFileW(source.c_str(), &found));
    if (!find || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    plat::CopyFileWithRetry(plat::FolderPart(source) + found.cFileName, folder + L"\\" + found.cFileName);
}

// Name of the file a search for `path` finds; empty when none.
std::wstring FoundFileName(const std::wstring& path) {
    WIN32_FIND_DATAW found = {};
    plat::FindHandle find(FindFirstFileW(path.c_str(), &found));
    return find ? std::wstring(found.cFileName) : std::wstring();
}

std::wstring PrinterDriverDirectory() {
    wchar_t dir[1024] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir) - sizeof(wchar_t),
                                    &needed))
        return std::wstring();
    return dir;
}

// COM for the calling thread for the lifetime of the object.
class ComScope {
public:
    ComScope() : m_hr(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(m_hr)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_hr;
};

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (m_p) m_p->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }
    void** put() { return reinterpret_cast<void**>(&m_p); }

private:
    T* m_p = nullptr;
};

struct Shortcut {
    std::wstring link;
    std::wstring target;
    std::wstring arguments;       // empty: none set
    const wchar_t* description;  // nullptr: none set
    int showCommand;             // 0: left as the link object has it
};

// Writes one shell link. False only when the link object or its
// IPersistFile cannot be had (the caller then stops); a link that cannot
// be saved is traced and passed over.
bool SaveShortcut(const Shortcut& s) {
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put()))) {
        plat::TraceF(L"*** shell link object unavailable for %ls", s.link.c_str());
        return false;
    }
    link->SetPath(s.target.c_str());  // S_FALSE for a target not there yet
    if (!s.arguments.empty()) link->SetArguments(s.arguments.c_str());
    if (s.description) link->SetDescription(s.description);
    if (s.showCommand) link->SetShowCmd(s.showCommand);
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) {
        plat::TraceF(L"*** no IPersistFile for %ls", s.link.c_str());
        return false;
    }
    const HRESULT saved = file->Save(s.link.c_str(), TRUE);
    if (FAILED(saved)) plat::TraceF(L"*** saving %ls failed: 0x%08lx", s.link.c_str(), static_cast<unsigned long>(saved));
    return true;
}

bool IsWirelessType(const wchar_t* type) { return wcscmp(type, L"3") == 0 || wcscmp(type, L"4") == 0; }

}  // namespace

// --- Program files --------------------------------------------------------

void CopyProgramFiles(const wchar_t* language) {
    const wchar_t* lang = language ? language : L"";
    const std::wstring setup = plat::ProgramFolder();  // keeps its final backslash

    // The uninstall folder, level by level.
    std::wstring uninstallFolder = plat::SystemDirectory();
    for (const std::wstring& dir : cfg::GetDirValues()) {
        uninstallFolder += L"\\" + dir;
        plat::EnsureFolder(uninstallFolder);
    }
    uninstallFolder += L"\\" + cfg::ConfigText(L"/SERTUP_INFO/CreateFolder/uisname");
    plat::EnsureFolder(uninstallFolder);

    const std::wstring icon = cfg::ConfigText(L"SERTUP_INFO/ICON/iconfile");
    if (!icon.empty()) CopyFoundFile(setup + icon, uninstallFolder);
    const std::wstring library = cfg::ReplaceSystembit(cfg::ConfigTextByValue(L"SERTUP_INFO/DLL_UNSETUP/source_dll", lang));
    if (!library.empty()) CopyFoundFile(setup + library, uninstallFolder);
    const std::wstring uninstaller = cfg::ReplaceSystembit(cfg::ConfigText(L"/SERTUP_INFO/CreateFolder/uisexe"));
    if (!uninstaller.empty()) CopyFoundFile(setup + uninstaller, uninstallFolder);

    // The copy sets of this system's style: the common one, then this
    // architecture's; targets are below the Windows drive.
    const std::wstring drive = plat::WindowsDrive();
    const std::wstring base = std::wstring(L"SERTUP_INFO/COPYFILES") + cfg::GetCopyFilesStyle();
    for (const std::wstring& set : {std::wstring(L"/Common"), std::wstring(L"/") + cfg::ArchTag()}) {
        cfg::ConfigList targets;
        cfg::GetConfigList((base + set).c_str(), L"ID", targets);
        for (const cfg::ConfigEntry& target : targets) {
            const std::wstring folder = drive + target.szText;
            plat::EnsureFolderLevels(folder, folder.find(L'\\'));
            cfg::ConfigList sources;
            cfg::GetConfigListByValue(L"SERTUP_INFO/COPYFILES/sourcefile", target.szAttr, sources);
            for (const cfg::ConfigEntry& source : sources)
                if (source.szText[0]) CopyFoundFile(setup + cfg::ReplaceSystembit(source.szText), folder);
        }
    }

    // The help file of the language beside the printer drivers. Windows
    // always has the "3" folder; a fresh Wine prefix may not.
    const std::wstring help = cfg::ConfigTextByValue(L"/SERTUP_INFO/PRTCHMFILE/source_chm", lang);
    const std::wstring driverDir = PrinterDriverDirectory();
    if (!help.empty() && !driverDir.empty()) {
        const std::wstring helpFolder = driverDir + L"\\3";
        plat::EnsureFolder(helpFolder);
        CopyFoundFile(setup + help, helpFolder);
    }
}

// --- Shortcuts ------------------------------------------------------------

std::wstring ProgramsFolderOnWindowsDrive(const std::wstring& folder, const std::wstring& windowsDir) {
    const std::wstring reference = L"C:\\" + plat::FileNamePart(windowsDir);
    if (windowsDir.empty() ||
        CompareStringOrdinal(windowsDir.c_str(), -1, reference.c_str(), -1, TRUE) == CSTR_EQUAL)
        return folder;
    const size_t colon = folder.rfind(L':');
    if (colon == std::wstring::npos) return folder;  // no drive to replace
    return windowsDir.substr(0, 1) + folder.substr(colon);
}

bool ReadCommonProgramsFolder(std::wstring& folder) {
    plat::RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    // The value is read whole: a path cut at some buffer's end would put the
    // shortcuts into a folder of that name.
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.get(), L"Common Programs", nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key.get(), L"Common Programs", nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
        ERROR_SUCCESS)
        return false;
    folder = text.data();  // stored with or without its terminator
    return true;
}

std::wstring MakeInstalledProgramFolder(const std::wstring& programFiles) {
    std::wstring folder = programFiles;
    for (const std::wstring& dir : cfg::GetDirValues()) {
        folder += L"\\" + dir;
        plat::EnsureFolder(folder);
    }
    return folder + L"\\";
}

int CreateStartMenuShortcuts(const wchar_t* model, const wchar_t* programFiles, const wchar_t* language) {
    const std::wstring modelName = model ? model : L"";
    const std::wstring programFilesFolder = programFiles ? programFiles : L"";
    const wchar_t* lang = language ? language : L"";

    const std::vector<std::wstring> dirs = cfg::GetDirValues();
    const std::wstring firstDir = dirs.empty() ? std::wstring() : dirs.front();
    const std::wstring uninstaller = cfg::ReplaceSystembit(cfg::ConfigText(L"/SERTUP_INFO/CreateFolder/uisexe"));
    const std::wstring wirelessTool = cfg::ReplaceSystembit(cfg::ConfigText(L"/SERTUP_INFO/CreateFolder/wifiexe"));
    const std::wstring callInfo = cfg::ConfigText(L"/SERTUP_INFO/CALLWIFI/CallInfo");
    const std::wstring scanSettings = cfg::ConfigText(L"/SERTUP_INFO/CreateFolder/pushexe");
    const std::wstring scanApp = cfg::ConfigText(L"/SERTUP_INFO/CreateFolder/appexe");
    cfg::ConfigList models;
    cfg::GetConfigList(L"/SERTUP_INFO/MODEL/Model_Info", L"type", models);
    const std::wstring help = cfg::ConfigTextByValue(L"/SERTUP_INFO/PRTCHMFILE/source_chm", lang);
    const std::wstring setup = plat::ProgramFolder();

    ComScope com;

    std::wstring programs;
    if (!ReadCommonProgramsFolder(programs)) {
        plat::Trace(L"*** no Common Programs folder: no shortcuts");
        return kShortcutsStopped;
    }
    programs = ProgramsFolderOnWindowsDrive(programs, plat::WindowsDirectory());

    std::wstring productFolder = programs + L"\\" + firstDir;
    plat::EnsureFolder(productFolder);
    productFolder += L"\\" + modelName;
    plat::EnsureFolder(productFolder);

    // Help file, as copied beside the printer drivers; without one in the
    // setup folder the shortcut opens the printer driver directory.
    const std::wstring driverDir = PrinterDriverDirectory();
    const std::wstring helpName = help.empty() ? std::wstring() : FoundFileName(setup + help);
    const std::wstring helpDescription = env::MessageText(210);
    if (!SaveShortcut({productFolder + env::MessageText(209), helpName.empty() ? driverDir : driverDir + L"\\3\\" + helpName,
                       L"", helpDescription.c_str(), SW_SHOW}))
        return kShortcutsStopped;

    // Uninstaller. The program may be the setup program itself, which
    // uninstalls only when told so; the dedicated uninstaller takes the
    // switch as well.
    bool uninstallerFound = false;
    const std::wstring uninstallPath = uninstall::UninstallProgramPath(&uninstallerFound);
    const std::wstring uninstallDescription = env::MessageText(212);
    if (!SaveShortcut({productFolder + env::MessageText(211), uninstallerFound ? uninstallPath : uninstallPath + L"\\",
                       uninstallerFound ? L"-uninstall" : L"", uninstallDescription.c_str(), SW_SHOW}))
        return kShortcutsStopped;

    // Wireless configuration tool, for the models that have one.
    for (const cfg::ConfigEntry& entry : models) {
        if (modelName != entry.szText || !IsWirelessType(entry.szAttr)) continue;
        const std::wstring arguments =
            callInfo.empty() ? std::wstring() : plat::Format(L" \"%ls\" \"%ls\"", callInfo.c_str(), lang);
        if (!SaveShortcut({productFolder + env::MessageText(173), MakeInstalledProgramFolder(programFilesFolder) + wirelessTool,
                           arguments, nullptr, SW_SHOW}))
            return kShortcutsStopped;
    }

    if (scanSettings.empty()) return kShortcutsStopped;
    const std::wstring scanSettingsDescription = env::MessageText(241);
    if (!SaveShortcut({productFolder + env::MessageText(240), MakeInstalledProgramFolder(programFilesFolder) + scanSettings,
                       L"", scanSettingsDescription.c_str(), 0}))
        return kShortcutsStopped;

    if (scanApp.empty()) return kShortcutsStopped;
    const std::wstring scanAppDescription = env::MessageText(242);
    if (!SaveShortcut({productFolder + L"\\" + env::MessageText(243) + L".lnk",
                       MakeInstalledProgramFolder(programFilesFolder) + scanApp,
                       plat::Format(L"\"%ls\"", modelName.c_str()), scanAppDescription.c_str(), 0}))
        return kShortcutsStopped;

    return 0;
}

}  // namespace install

#include "install/driver_packages.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <winspool.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <string>

#include "config/setup_config.h"
#include "env/texts.h"
#include "install/components.h"
#include "install/install_page.h"
#include "install/install_worker.h"
#include "install/pnp_devices.h"
#include "install/program_files.h"
#include "platform/fileops.h"
#include "platform/handles.h"
#include "platform/module.h"
#include "platform/system.h"
#include "platform/text.h"
#include "ui/main_manage.h"

namespace install {

namespace {

std::atomic<InstallFromPackageFn> g_testInstallFromPackage{nullptr};

// Path buffers of the package steps (characters, terminator included).
constexpr size_t kFolderCap = 130;
constexpr size_t kInfCap = 512;
constexpr size_t kStoreCap = 512;

// Shows the message owned by `owner` and ends the program with exit code 1.
void FailAndExit(HWND owner, const std::wstring& text, UINT style, const wchar_t* language) {
    env::ShowMessageText(owner, text, style | env::RtlMessageStyle(language));
    // A box that could not be shown answers something else than IDOK; the
    // copy cannot go on without its source either way.
    Steps().ExitProgram(1);
}

// Mirrors the tree below `current` (inside `top`) below `topDestination`.
// False when `current` cannot be read.
bool CopyTree(const std::wstring& top, const std::wstring& topDestination, const std::wstring& current) {
    WIN32_FIND_DATAW data;
    plat::FindHandle find(FindFirstFileW((current + L"\\*").c_str(), &data));
    if (!find) return false;
    do {
        if (!wcscmp(data.cFileName, L".") || !wcscmp(data.cFileName, L"..")) continue;
        wchar_t source[1024] = {};
        plat::CopyTrunc(source, plat::Format(L"%ls\\%ls", current.c_str(), data.cFileName));
        const std::wstring relative = std::wstring(source).substr(std::min(top.size() + 1, wcslen(source)));
        wchar_t destination[1024] = {};
        plat::CopyTrunc(destination, plat::Format(L"%ls\\%ls", topDestination.c_str(), relative.c_str()));
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            plat::EnsureFolder(destination);
            if (!CopyTree(top, topDestination, source)) return false;
        } else {
            CopyFileW(source, destination, FALSE);
        }
    } while (FindNextFileW(find.get(), &data));
    return true;
}

// Every node of a list value, in document order.
cfg::ConfigList ListOf(const wchar_t* xpath) {
    cfg::ConfigList list;
    cfg::GetConfigList(xpath, L"", list);
    return list;
}

// `text` when it fits a buffer of `cap` characters; empty otherwise.
std::wstring Fitting(const std::wstring& text, size_t cap) { return text.size() < cap ? text : std::wstring(); }

InstallFromPackageFn LookUpInstallFromPackage() {
    if (InstallFromPackageFn test = g_testInstallFromPackage.load()) return test;
    HMODULE spooler = GetModuleHandleW(L"Winspool.drv");
    if (!spooler) return nullptr;
    return reinterpret_cast<InstallFromPackageFn>(
        reinterpret_cast<void*>(GetProcAddress(spooler, "InstallPrinterDriverFromPackageW")));
}

}  // namespace

// --- Paths and the library ----------------------------------------------------

std::wstring InstallFolderBelow(const std::wstring& programFiles) {
    std::wstring folder = programFiles;
    for (const std::wstring& dir : cfg::GetDirValues()) folder += L"\\" + dir;
    return folder;
}

DifxLibrary::DifxLibrary(const std::wstring& installFolder, size_t pathCap) {
    wchar_t value[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/DLL_NORMAL/source_dll", L"DIFX", value);
    const std::wstring path = installFolder + L"\\" + cfg::ReplaceSystembit(value);
    if (installFolder.empty() || !value[0] || path.size() >= pathCap) {
        plat::Trace(L"driver package library not loaded: " + path);
        return;
    }
    m_module = LoadLibraryW(path.c_str());
    if (!m_module) plat::TraceF(L"LoadLibrary %ls failed: %lu", path.c_str(), GetLastError());
}

DifxLibrary::~DifxLibrary() {
    if (m_module) FreeLibrary(m_module);
}

FARPROC DifxLibrary::Entry(const char* name) const {
    FARPROC entry = m_module ? GetProcAddress(m_module, name) : nullptr;
    if (m_module && !entry) plat::TraceF(L"driver package library lacks %hs", name);
    return entry;
}

difx::PreinstallFn DifxLibrary::Preinstall() const {
    return reinterpret_cast<difx::PreinstallFn>(reinterpret_cast<void*>(Entry("DriverPackagePreinstallW")));
}
difx::InstallFn DifxLibrary::Install() const {
    return reinterpret_cast<difx::InstallFn>(reinterpret_cast<void*>(Entry("DriverPackageInstallW")));
}
difx::GetPathFn DifxLibrary::GetPath() const {
    return reinterpret_cast<difx::GetPathFn>(reinterpret_cast<void*>(Entry("DriverPackageGetPathW")));
}
difx::UninstallFn DifxLibrary::Uninstall() const {
    return reinterpret_cast<difx::UninstallFn>(reinterpret_cast<void*>(Entry("DriverPackageUninstallW")));
}

void SetInstallFromPackageForTest(InstallFromPackageFn fn) { g_testInstallFromPackage.store(fn); }

// --- Copy stage ---------------------------------------------------------------

int CopyFolderTree(HWND owner, const wchar_t* source, const wchar_t* destination, const wchar_t* language) {
    const std::wstring top = source ? source : L"";
    if (!CopyTree(top, destination ? destination : L"", top))
        FailAndExit(owner, env::MessageText(203), MB_OK, language);
    return 0;
}

int CopyInstallFiles(CDlg_Install& page) {
    CDlg_MainManage* host = page.m_pHost;
    if (!host) return 0;

    CopyProgramFiles(host->m_szLanguage);
    CopyTwainFiles(page);
    CopyProgramComponentFiles(page);
    cfg::CopySetupConfigToUninstallFolder();
    InstallFlashComponent(page);
    page.PostProgress(5);

    if (!GetModuleHandleW(nullptr)) return 0;
    // The setup folder keeps its final backslash; the values join it directly.
    const std::wstring setup = plat::ProgramFolder();

    wchar_t inf[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/INF/Infinpackage", L"PRINTER", inf);
    wchar_t infSource[1024] = {};
    plat::CopyTrunc(infSource, setup + inf);
    if (!plat::PathExists(infSource)) {
        FailAndExit(page.GetSafeHwnd(), infSource + env::MessageText(201), MB_ICONWARNING, host->m_szLanguage);
        return 1;
    }
    page.PostProgress(10);

    std::wstring folder = host->m_szProgramFiles;
    for (const std::wstring& dir : cfg::GetDirValues()) {
        folder += L"\\" + dir;
        plat::EnsureFolder(folder);
    }
    wchar_t installFolder[1024] = {};
    plat::CopyTrunc(installFolder, folder);
    page.PostProgress(15);

    for (const cfg::ConfigEntry& node : ListOf(L"/SERTUP_INFO/FOLDER/sourcefolder2temp")) {
        const std::wstring value = cfg::ReplaceSystembit(node.szText);
        wchar_t source[260] = {};
        plat::CopyTrunc(source, setup + value);
        wchar_t destination[1024] = {};
        plat::CopyTrunc(destination, installFolder + value);
        // A value of several levels ("\x64\Drivers") needs every level.
        plat::EnsureFolderLevels(destination, wcslen(installFolder));
        CopyFolderTree(page.GetSafeHwnd(), source, destination, host->m_szLanguage);
    }
    page.PostProgress(25);

    plat::CopyFileWithRetry(infSource, std::wstring(installFolder) + L"\\" + inf);
    for (const wchar_t* xpath : {L"/SERTUP_INFO/CAT/catfile", L"/SERTUP_INFO/PRTCHMFILE/source_chm"}) {
        for (const cfg::ConfigEntry& node : ListOf(xpath))
            plat::CopyFileWithRetry(setup + node.szText, std::wstring(installFolder) + L"\\" + node.szText);
    }
    return 1;
}

void CopyPrintProcessorFile() {
    wchar_t name[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/DLL_NORMAL/source_dll", L"Pro", name);
    if (!name[0]) return;  // the folders themselves are not to be copied
    wchar_t drivers[512] = {}, processors[512] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(drivers), sizeof(drivers), &needed);
    GetPrintProcessorDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(processors), sizeof(processors),
                                &needed);
    plat::CopyFileWithRetry(std::wstring(drivers) + L"\\" + name, std::wstring(processors) + L"\\" + name);
}

// --- Driver packages ----------------------------------------------------------

void PreinstallPrinterPackages(CDlg_Install& page) {
    if (!page.m_pHost) return;
    const std::wstring folder = Fitting(InstallFolderBelow(page.m_pHost->m_szProgramFiles), kFolderCap);
    DifxLibrary difx(folder, kFolderCap);
    if (!difx.Loaded()) return;
    const difx::PreinstallFn preinstall = difx.Preinstall();
    if (!preinstall) return;
    for (const cfg::ConfigEntry& node : ListOf(L"/SERTUP_INFO/INF/Infinpackage")) {
        const std::wstring path = folder + L"\\" + node.szText;
        plat::Trace(L" printer inf..");
        plat::Trace(path);
        if (path.size() >= kInfCap) continue;  // a cut path names another file
        preinstall(path.c_str(), difx::kFlagForce);
    }
}

void InstallPrinterPackages(CDlg_Install& page) {
    if (!page.m_pHost) return;
    const CDlg_MainManage& host = *page.m_pHost;
    const std::wstring folder = Fitting(InstallFolderBelow(host.m_szProgramFiles), kFolderCap);
    DifxLibrary difx(folder, kFolderCap);
    if (!difx.Loaded()) return;
    const difx::PreinstallFn preinstall = difx.Preinstall();
    const difx::InstallFn installByDifx = difx.Install();  // m_pfnInstallPrinterByDifx
    if (!preinstall || !installByDifx) return;

    for (const cfg::ConfigEntry& node : ListOf(L"/SERTUP_INFO/INF/Infinpackage")) {
        const std::wstring path = folder + L"\\" + node.szText;
        plat::Trace(L"printer inf..");
        plat::Trace(path);
        if (path.size() >= kInfCap) continue;

        preinstall(path.c_str(), difx::kFlagForce);
        plat::Sys().Sleep(300);

        BOOL reboot = FALSE;
        const DWORD result = installByDifx(path.c_str(), difx::kFlagForce, nullptr, &reboot);
        plat::Trace(L"正在执行 m_pfnInstallPrinterByDifx ====  INF:");
        plat::Trace(path);
        plat::Sys().Sleep(300);

        if (result == difx::kErrorNoSuchDevinst) {
            // Installed, but the printer is not connected: Windows applies
            // the driver when it next sees one of the model's devices.
            wchar_t flag[1024] = {};
            cfg::GetConfigTextByValue(L"/SERTUP_INFO/DEVICEFLAG/Flag", host.m_szModel, flag);
            MarkDevicesForReinstall(flag);
        }
    }
}

void InstallPrinterDriverFromStore(CDlg_Install&, const wchar_t* driverName) {
    wchar_t programFiles[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
    const std::wstring folder = Fitting(InstallFolderBelow(programFiles), kStoreCap);
    DifxLibrary difx(folder, kStoreCap);
    if (!difx.Loaded()) return;
    const difx::GetPathFn getPath = difx.GetPath();
    const InstallFromPackageFn installFromPackage = LookUpInstallFromPackage();
    if (!getPath || !installFromPackage) {
        plat::Trace(L"InstallPrinterDriverFromStore: DriverPackageGetPathW or InstallPrinterDriverFromPackageW "
                    L"is not available");
        return;
    }

    for (const cfg::ConfigEntry& node : ListOf(L"/SERTUP_INFO/INF/Infinpackage")) {
        if (wcsstr(node.szText, L"EWS")) {
            // The web-page component's package installs no printer driver.
            plat::Trace(L"Got the EWS inf in unintall");
            plat::Trace(node.szText);
            continue;
        }
        const std::wstring path = folder + L"\\" + node.szText;
        if (path.size() >= kStoreCap || !plat::PathExists(path)) continue;

        DWORD chars = 0;
        getPath(path.c_str(), nullptr, &chars);
        // One character more than asked for, so the text always ends.
        plat::LocalMemory buffer(LocalAlloc(LPTR, (static_cast<SIZE_T>(chars) + 1) * sizeof(wchar_t)));
        if (!buffer) continue;
        auto* storePath = static_cast<wchar_t*>(buffer.get());
        if (getPath(path.c_str(), storePath, &chars) != ERROR_SUCCESS)
            plat::Trace(L"DriverPackageGetPath step 2 fail !!!");
        plat::Trace(L"DriverStoreInfPath's inf path!!");
        plat::Trace(storePath);

        const HRESULT hr = installFromPackage(nullptr, storePath, driverName, nullptr, 0);
        plat::TraceF(L"intall printer return is %d", static_cast<int>(hr));
    }
}

// --- Presence checks ----------------------------------------------------------

bool IsPrinterInfPresent() {
    if (!GetModuleHandleW(nullptr)) return false;
    wchar_t inf[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/INF/Infinpackage", L"PRINTER", inf);
    const std::wstring path = plat::ProgramFolder() + inf;
    return PathFileExistsW(path.c_str()) != FALSE;
}

bool IsScannerInfPresent(const wchar_t* model) {
    wchar_t inf[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/SCINF/InfPath", model ? model : L"", inf);
    if (!inf[0]) return true;
    const std::wstring path = plat::ProgramFolder() + inf;
    return PathFileExistsW(path.c_str()) != FALSE;
}

}  // namespace install

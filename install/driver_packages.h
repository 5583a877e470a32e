// Driver package installation: the copy stage that lays the driver files out
// below Program Files, the printer packages handed to the driver store
// through the driver-package library (DIFx) shipped in the install folder,
// and the small file operations other steps use. All of it runs on the
// install worker's thread.
#pragma once

#include <windows.h>

#include <string>

#include "install/difx_api.h"

class CDlg_Install;

namespace install {

// The copy stage: program, TWAIN and component files, the configuration
// document and the Flash check, then the install folder below the host's
// Program Files folder with the driver folders, the printer INF, the
// catalogue and the help files, posting progress 5, 10, 15 and 25. Ends the
// program (exit code 1) when the printer INF or a driver folder is missing
// from the setup folder. 1 when done; 0 when the program's own module handle
// cannot be obtained.
int CopyInstallFiles(CDlg_Install& page);

// Mirrors the tree below `source` below `destination` (folders created,
// files overwritten, a file that cannot be copied skipped). When `source`
// cannot be read, shows text 203 (caption 156, right-to-left for Arabic and
// Hebrew) owned by `owner` and ends the program with exit code 1. 0 when
// copied.
int CopyFolderTree(HWND owner, const wchar_t* source, const wchar_t* destination, const wchar_t* language);

// Copies the print processor file ("Pro") from the printer driver directory,
// where its package put it, into the print processor directory.
void CopyPrintProcessorFile();

// The package steps load the library of the install folder for the length
// of the step; without the library, or when it lacks an entry point the step
// needs, a step does nothing.

// Pre-installs every printer package ("/SERTUP_INFO/INF/Infinpackage") into
// the driver store.
void PreinstallPrinterPackages(CDlg_Install& page);
// Pre-installs and installs every printer package, 300 ms apart; a package
// with no device present marks the selected model's printer devices for
// reinstallation.
void InstallPrinterPackages(CDlg_Install& page);
// Installs the printer driver `driverName` from the driver-store copy of
// every printer package except the web-page component's ("EWS"), through the
// spooler's InstallPrinterDriverFromPackageW. The install folder is the one
// below the machine's Program Files folder.
void InstallPrinterDriverFromStore(CDlg_Install& page, const wchar_t* driverName);

// True when the printer INF ("/SERTUP_INFO/INF/Infinpackage" keyed
// "PRINTER") exists in the folder of the setup program.
bool IsPrinterInfPresent();
// True when the model has no scanner INF ("/SERTUP_INFO/SCINF/InfPath") or
// it exists in the folder of the setup program.
bool IsScannerInfPresent(const wchar_t* model);

// The install folder: `programFiles`, then for every Dir value a backslash
// and the value.
std::wstring InstallFolderBelow(const std::wstring& programFiles);

// The driver-package library of an install folder (the "DIFX" value of
// "/SERTUP_INFO/DLL_NORMAL/source_dll"), loaded for the lifetime of the
// object. Nothing is loaded when the library's path does not fit in
// `pathCap` characters (a cut path names another file). An entry point the
// library lacks is null.
class DifxLibrary {
public:
    DifxLibrary(const std::wstring& installFolder, size_t pathCap);
    ~DifxLibrary();
    DifxLibrary(const DifxLibrary&) = delete;
    DifxLibrary& operator=(const DifxLibrary&) = delete;

    bool Loaded() const { return m_module != nullptr; }
    difx::PreinstallFn Preinstall() const;
    difx::InstallFn Install() const;
    difx::GetPathFn GetPath() const;
    difx::UninstallFn Uninstall() const;

private:
    FARPROC Entry(const char* name) const;
    HMODULE m_module = nullptr;
};

// InstallPrinterDriverFromPackageW of the spooler client library.
using InstallFromPackageFn = HRESULT(WINAPI*)(LPCWSTR server, LPCWSTR infPath, LPCWSTR driverName,
                                              LPCWSTR environment, DWORD flags);
// Wine's spooler has no InstallPrinterDriverFromPackageW: tests hand in
// their own; nullptr looks it up in the loaded spooler library again.
void SetInstallFromPackageForTest(InstallFromPackageFn fn);

}  // namespace install

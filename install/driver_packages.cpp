#include "install/driver_packages.h"

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "config/setup_config.h"
#include "platform/module.h"

namespace install {

int CopyInstallFiles(CDlg_Install&) { return 1; }  // filled in with the copy stage

void PreinstallPrinterPackages(CDlg_Install&) {}  // filled in with the DIFx pre-install

void InstallPrinterPackages(CDlg_Install&) {}  // filled in with the DIFx install

bool IsPrinterInfPresent() {
    wchar_t inf[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/INF/Infinpackage", L"PRINTER", inf);
    // The program folder keeps its final backslash, so the value joins it
    // directly.
    const std::wstring path = plat::ProgramFolder() + inf;
    return PathFileExistsW(path.c_str()) != FALSE;
}

}  // namespace install

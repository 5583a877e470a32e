#include "install/components.h"

namespace install {

int IsImagingServiceUsable() { return 1; }  // filled in with the "stisvc" service query

void CopyTwainFiles(CDlg_Install&) {}  // filled in with the TWAIN data source copy

void CopyProgramComponentFiles(CDlg_Install&) {}  // filled in with the program component copy

void InstallFlashComponent(CDlg_Install&) {}  // filled in with the Flash control check and registration

void InstallScannerPackages(CDlg_Install&) {}  // filled in with the DIFx scanner install

void InstallScannerBySetupApi(CDlg_Install&) {}  // filled in with the setup-API scanner install

void RegisterPushScan(CDlg_Install&) {}  // filled in with the push-scan registration

void InstallWebPageComponent(CDlg_Install&) {}  // filled in with the web-page device driver update

void InstallFaxPackage(CDlg_Install&) {}  // filled in with the DIFx fax install

int InstallFaxBySetupApi(CDlg_Install&) { return 0; }  // filled in with the setup-API fax install

}  // namespace install

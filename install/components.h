// Scanner, fax, push-scan, web-page and imaging-service components of the
// multifunction models, on the install worker's thread.
#pragma once

class CDlg_Install;

namespace install {

// 0 when the imaging service "stisvc" is missing or disabled, 1 otherwise.
int IsImagingServiceUsable();

// Called by the copy stage of the driver packages: the scanner's
// TWAIN files, the program component files, and the Flash component check.
void CopyTwainFiles(CDlg_Install& page);
void CopyProgramComponentFiles(CDlg_Install& page);
void InstallFlashComponent(CDlg_Install& page);

// Scanner drivers through the driver store (package systems) or through the
// setup API (the others). Both do nothing for a model without a scanner.
void InstallScannerPackages(CDlg_Install& page);
void InstallScannerBySetupApi(CDlg_Install& page);
// Push-scan registration library, monitor program and its autostart value.
void RegisterPushScan(CDlg_Install& page);
// Web-page component device driver.
void InstallWebPageComponent(CDlg_Install& page);
// Fax driver package (USB on package systems).
void InstallFaxPackage(CDlg_Install& page);
// Fax driver through the setup API (USB on the other systems): 1 when run,
// 0 when the model has no fax.
int InstallFaxBySetupApi(CDlg_Install& page);

}  // namespace install

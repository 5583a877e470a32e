// Driver package installation: the copy stage that lays the driver files out
// below Program Files, and the printer packages handed to the driver store.
// All of it runs on the install worker's thread.
#pragma once

class CDlg_Install;

namespace install {

// The copy stage. 1 when done; 0 when the program's own module handle cannot
// be obtained (the worker then ends).
int CopyInstallFiles(CDlg_Install& page);

// Pre-installs every printer package of the product.
void PreinstallPrinterPackages(CDlg_Install& page);
// Pre-installs and installs every printer package and flags the devices of
// packages that have no device present.
void InstallPrinterPackages(CDlg_Install& page);

// True when the printer INF ("/SERTUP_INFO/INF/Infinpackage" keyed
// "PRINTER") exists in the folder of the setup program.
bool IsPrinterInfPresent();

}  // namespace install

// The install worker: the whole installation as one fixed sequence
// (doInstall), run on its own thread by the install page, which it tells its
// progress by posting WM_INSTALL_PROGRESS.
//
// The steps the sequence calls go through InstallSteps, so that the order of
// the steps, their arguments and the ends of the sequence can be observed;
// the installed object forwards to the real steps.
#pragma once

#include <windows.h>

class CDlg_Install;

namespace install {

class InstallSteps {
public:
    virtual ~InstallSteps() = default;

    virtual int IsImagingServiceUsable();
    virtual bool IsPrinterInfPresent();
    virtual int CopyInstallFiles(CDlg_Install& page);
    virtual int WriteProductRecord(const wchar_t* name, const wchar_t* language, const wchar_t* suffix,
                                   const wchar_t* address, const wchar_t* time);
    virtual void InstallScannerPackages(CDlg_Install& page);
    virtual void InstallScannerBySetupApi(CDlg_Install& page);
    virtual void RegisterPushScan(CDlg_Install& page);
    virtual void PreinstallPrinterPackages(CDlg_Install& page);
    virtual void InstallPrinterPackages(CDlg_Install& page);
    virtual void InstallFaxPackage(CDlg_Install& page);
    virtual void InstallPrinterQueue(CDlg_Install& page);
    virtual void InstallWebPageComponent(CDlg_Install& page);
    virtual void InstallNetworkFaxQueues(CDlg_Install& page);
    virtual int InstallFaxBySetupApi(CDlg_Install& page);
    virtual bool MarkDevicesForReinstall(const wchar_t* enumerator);
    virtual void SetInstalledPrinterAsDefault(CDlg_Install& page);
    virtual int WriteUninstallEntry(const wchar_t* model);
    virtual int CreateStartMenuShortcuts(const wchar_t* model, const wchar_t* programFiles, const wchar_t* language);
    // ShellExecuteW: default verb, no window, no working folder, SW_SHOWNORMAL.
    virtual void StartProgram(const wchar_t* path, const wchar_t* parameters);
    virtual int SetAutostartValue(const wchar_t* name, const wchar_t* data);
    // Ends the process (ExitProcess); does not return.
    virtual void ExitProgram(UINT exitCode);
};

// The steps doInstall uses: the real ones unless a test installed its own
// (SetStepsForTest(nullptr) restores the real ones).
InstallSteps& Steps();
void SetStepsForTest(InstallSteps* steps);

// Driver packages through the driver store: every system except Windows XP,
// Server 2003 (R2), XP x64, Vista, Server 2008 and Server 2008 R2 (OS codes
// 7, 8, 9, 10, 12, 13 and 14). Unrecognised systems (0) take the packages.
bool UsesDriverPackages(unsigned osCode);
bool UsesDriverPackages();

// "1" exactly: the model has a scanner (and the system's new-hardware wizard
// pops up for it).
bool IsScannerModel();

// The install sequence for the page's host's choices, posting its progress
// to the page's window. Ends the process with exit code 1 when the imaging
// service is missing or disabled on a scanner model, when the printer INF is
// missing from the setup folder, or when the copy stage fails.
void doInstall(CDlg_Install& page);

}  // namespace install

#include "install/install_worker.h"

#include <shellapi.h>

#include <atomic>
#include <cwchar>
#include <string>

#include "config/setup_config.h"
#include "env/os_checks.h"
#include "env/texts.h"
#include "install/components.h"
#include "install/driver_packages.h"
#include "install/install_page.h"
#include "install/pnp_devices.h"
#include "install/printer_queue.h"
#include "install/program_files.h"
#include "platform/module.h"
#include "platform/system.h"
#include "platform/text.h"
#include "ui/main_manage.h"
#include "uninstall/product_records.h"

namespace install {

// --- Steps ------------------------------------------------------------------

int InstallSteps::IsImagingServiceUsable() { return install::IsImagingServiceUsable(); }
bool InstallSteps::IsPrinterInfPresent() { return install::IsPrinterInfPresent(); }
int InstallSteps::CopyInstallFiles(CDlg_Install& page) { return install::CopyInstallFiles(page); }
int InstallSteps::WriteProductRecord(const wchar_t* name, const wchar_t* language, const wchar_t* suffix,
                                     const wchar_t* address, const wchar_t* time) {
    return uninstall::WriteProductRecord(name, language, suffix, address, time);
}
void InstallSteps::InstallScannerPackages(CDlg_Install& page) { install::InstallScannerPackages(page); }
void InstallSteps::InstallScannerBySetupApi(CDlg_Install& page) { install::InstallScannerBySetupApi(page); }
void InstallSteps::RegisterPushScan(CDlg_Install& page) { install::RegisterPushScan(page); }
void InstallSteps::PreinstallPrinterPackages(CDlg_Install& page) { install::PreinstallPrinterPackages(page); }
void InstallSteps::InstallPrinterPackages(CDlg_Install& page) { install::InstallPrinterPackages(page); }
void InstallSteps::InstallFaxPackage(CDlg_Install& page) { install::InstallFaxPackage(page); }
void InstallSteps::InstallPrinterQueue(CDlg_Install& page) { install::InstallPrinterQueue(page); }
void InstallSteps::InstallWebPageComponent(CDlg_Install& page) { install::InstallWebPageComponent(page); }
void InstallSteps::InstallNetworkFaxQueues(CDlg_Install& page) { install::InstallNetworkFaxQueues(page); }
int InstallSteps::InstallFaxBySetupApi(CDlg_Install& page) { return install::InstallFaxBySetupApi(page); }
bool InstallSteps::MarkDevicesForReinstall(const wchar_t* enumerator) {
    return install::MarkDevicesForReinstall(enumerator);
}
void InstallSteps::SetInstalledPrinterAsDefault(CDlg_Install& page) { install::SetInstalledPrinterAsDefault(page); }
int InstallSteps::WriteUninstallEntry(const wchar_t* model) { return uninstall::WriteUninstallEntry(model); }
int InstallSteps::CreateStartMenuShortcuts(const wchar_t* model, const wchar_t* programFiles,
                                           const wchar_t* language) {
    return install::CreateStartMenuShortcuts(model, programFiles, language);
}
void InstallSteps::StartProgram(const wchar_t* path, const wchar_t* parameters) {
    ShellExecuteW(nullptr, nullptr, path, parameters, nullptr, SW_SHOWNORMAL);
}
int InstallSteps::SetAutostartValue(const wchar_t* name, const wchar_t* data) {
    return uninstall::SetAutostartValue(name, data);
}
void InstallSteps::ExitProgram(UINT exitCode) { ExitProcess(exitCode); }

namespace {
InstallSteps g_realSteps;
std::atomic<InstallSteps*> g_testSteps{nullptr};
}  // namespace

InstallSteps& Steps() {
    InstallSteps* s = g_testSteps.load();
    return s ? *s : g_realSteps;
}

void SetStepsForTest(InstallSteps* steps) { g_testSteps.store(steps); }

// --- Sequence ---------------------------------------------------------------

bool UsesDriverPackages(unsigned osCode) {
    switch (osCode) {
    case 7:   // Windows XP
    case 8:   // Server 2003
    case 9:   // Vista
    case 10:  // Server 2008
    case 12:  // Server 2003 R2
    case 13:  // Server 2008 R2
    case 14:  // Windows XP x64
        return false;
    default:
        return true;
    }
}

bool UsesDriverPackages() { return UsesDriverPackages(env::GetOsCode()); }

bool IsScannerModel() { return wcscmp(g_szMultiFuncType, L"1") == 0; }

namespace {

class Sequence {
public:
    Sequence(CDlg_Install& page, InstallSteps& steps)
        : m_page(page), m_host(*page.m_pHost), m_steps(steps), m_rtl(env::RtlMessageStyle(m_host.m_szLanguage)) {}

    void Run();

private:
    // Shows the message and ends the program with exit code 1.
    void Fail(const std::wstring& text, const wchar_t* caption, UINT style) {
        plat::Sys().ShowMessageBox(m_page.GetSafeHwnd(), text.c_str(), caption, style | m_rtl);
        m_steps.ExitProgram(1);
    }
    bool CheckImagingService();
    bool CheckPrinterInf();
    void WriteProductRecords();
    void InstallDrivers(bool packages);
    void MarkOtherModelsForReinstall(bool packages);
    void StartStartupPrograms();

    CDlg_Install& m_page;
    CDlg_MainManage& m_host;
    InstallSteps& m_steps;
    const UINT m_rtl;
};

void Sequence::Run() {
    m_page.PostProgress(3);
    if (!CheckImagingService() || !CheckPrinterInf()) return;

    if (!m_steps.CopyInstallFiles(m_page)) {
        // The copy stage gives up only when the program cannot reach its own
        // files; without them nothing can be installed, so the user is told,
        // as for a failed folder copy, and the program ends instead of
        // leaving a page that can be neither finished nor closed.
        Fail(env::MessageText(203), env::MessageText(156).c_str(), MB_OK);
        return;
    }

    WriteProductRecords();
    m_page.PostProgress(30);

    const bool packages = UsesDriverPackages();
    if (packages)
        m_steps.InstallScannerPackages(m_page);
    else
        m_steps.InstallScannerBySetupApi(m_page);
    m_steps.RegisterPushScan(m_page);
    InstallDrivers(packages);
    plat::Sys().Sleep(100);
    MarkOtherModelsForReinstall(packages);
    m_page.PostProgress(95);

    m_steps.SetInstalledPrinterAsDefault(m_page);
    m_steps.WriteUninstallEntry(m_host.m_szModel);
    m_steps.CreateStartMenuShortcuts(m_host.m_szModel, m_host.m_szProgramFiles, m_host.m_szLanguage);
    StartStartupPrograms();

    m_page.PostProgress(100);
    plat::Sys().Sleep(150);
    PostMessageW(m_page.GetSafeHwnd(), WM_INSTALL_PROGRESS, kInstallFinished, 0);
}

bool Sequence::CheckImagingService() {
    if (!IsScannerModel() || m_steps.IsImagingServiceUsable() != 0) return true;
    Fail(env::MessageText(248), env::MessageText(156).c_str(), MB_OK);
    return false;
}

bool Sequence::CheckPrinterInf() {
    if (m_steps.IsPrinterInfPresent()) return true;
    wchar_t inf[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/INF/Infinpackage", L"PRINTER", inf);
    Fail(plat::FileNamePart(inf) + env::MessageText(201), g_szHeadingText, MB_ICONWARNING);
    return false;
}

void Sequence::WriteProductRecords() {
    wchar_t address[256] = {};
    if (!m_host.m_ChosenPrinters.empty()) plat::CopyTrunc(address, m_host.m_ChosenPrinters.front().portAddress);
    // The 32-bit tick count, unsigned: it stays a count after 24.8 days.
    const std::wstring time = plat::Format(L"%lu", static_cast<unsigned long>(plat::Sys().TickCount() & 0xFFFFFFFFu));

    // A name missing from the document would make the record the whole of
    // HKLM\Software, so nameless records are left out.
    auto write = [&](const wchar_t* name) {
        if (*name)
            m_steps.WriteProductRecord(name, m_host.m_szLanguage, m_host.m_szLangSuffix, address, time.c_str());
    };

    wchar_t printer[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/PriName/PriModel", m_host.m_szModel, printer);
    write(printer);

    wchar_t fax[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/FaxName/FaxModel", m_host.m_szModel, fax);
    if (*fax) {
        plat::Trace(L"***write fax in regedit");
        write(fax);
    }

    for (const ModelItem& model : m_host.m_Models) {
        wchar_t name[1024] = {};
        cfg::GetConfigTextByValue(L"/SERTUP_INFO/PriName/PriModel", model.name, name);
        write(name);
    }
}

void Sequence::InstallDrivers(bool packages) {
    const bool usb = m_host.m_nConnectType == 1;
    if (packages && usb) {
        m_steps.PreinstallPrinterPackages(m_page);
        m_steps.InstallPrinterPackages(m_page);
        m_steps.InstallFaxPackage(m_page);
    } else if (packages) {
        m_steps.PreinstallPrinterPackages(m_page);
        m_steps.InstallPrinterQueue(m_page);
        m_steps.InstallWebPageComponent(m_page);
        m_steps.InstallNetworkFaxQueues(m_page);
    } else if (usb) {
        m_steps.InstallWebPageComponent(m_page);
        m_steps.InstallPrinterQueue(m_page);
        m_steps.InstallFaxBySetupApi(m_page);
    } else {
        m_steps.InstallWebPageComponent(m_page);
        m_steps.InstallPrinterQueue(m_page);
        m_steps.InstallNetworkFaxQueues(m_page);
    }
}

void Sequence::MarkOtherModelsForReinstall(bool packages) {
    // A network install on a package system flags every model; otherwise the
    // selected model's own devices were handled by its driver install.
    const bool everyModel = packages && m_host.m_nConnectType != 1;
    const wchar_t* trace = everyModel ? L"--- my model usbprint:" : L"--- my model usbprint in doInstall:";
    for (const ModelItem& model : m_host.m_Models) {
        if (!everyModel && wcscmp(model.name, m_host.m_szModel) == 0) continue;
        wchar_t flag[1024] = {};
        cfg::GetConfigTextByValue(L"/SERTUP_INFO/DEVICEFLAG/Flag", model.name, flag);
        plat::Trace(trace);
        plat::Trace(flag);
        m_steps.MarkDevicesForReinstall(flag);
        const std::wstring faxFlag = plat::Format(L"%ls_Fax", flag);
        plat::Trace(faxFlag);
        m_steps.MarkDevicesForReinstall(faxFlag.c_str());
    }
}

void Sequence::StartStartupPrograms() {
    cfg::ConfigList nodes;
    cfg::GetConfigList(L"/SERTUP_INFO/StartUp/Process", L"Param", nodes);
    if (nodes.empty()) return;

    // The node texts start with a backslash.
    const std::wstring drive = plat::WindowsDrive();

    for (const cfg::ConfigEntry& node : nodes) {
        wchar_t path[260] = {};
        plat::CopyTrunc(path, drive + node.szText);
        m_steps.StartProgram(path, node.szAttr);

        // The uninstaller removes autostart values by their Param names; a
        // value without a name could never be removed again.
        if (!node.szAttr[0]) continue;
        wchar_t commandLine[260] = {};
        plat::CopyTrunc(commandLine, plat::Format(L"%ls \"%ls\"", path, node.szAttr));
        m_steps.SetAutostartValue(node.szAttr, commandLine);
    }
}

}  // namespace

void doInstall(CDlg_Install& page) {
    if (!page.m_pHost) return;
    Sequence(page, Steps()).Run();
}

}  // namespace install

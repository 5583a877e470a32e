// Runs the install sequence in a process of its own so that its fatal ends
// can be seen from outside: the exit code of the process, and on standard
// output (UTF-8) one line per message box, "box|<text>|<caption>|<style>",
// with the style in hexadecimal. The boxes are answered with OK at once.
//
//   install_probe MODE LANGUAGE
//     imaging   a scanner model whose imaging service is unusable
//     inf       a printer INF that is missing from the setup folder
//     copy      a copy stage that reports failure
//
// A line "returned" means the sequence came back instead of ending the
// process.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "config/setup_config.h"
#include "env/texts.h"
#include "install/install_page.h"
#include "install/install_worker.h"
#include "platform/system.h"
#include "platform/text.h"
#include "ui/main_manage.h"

namespace {

void Print(const std::wstring& line) {
    const std::string utf8 = plat::WideToUtf8(line + L"\n");
    fwrite(utf8.data(), 1, utf8.size(), stdout);
    fflush(stdout);
}

class ProbeSystem : public plat::System {
public:
    int ShowMessageBox(HWND, const wchar_t* text, const wchar_t* caption, UINT style) override {
        Print(plat::Format(L"box|%ls|%ls|%x", text, caption, style));
        return IDOK;
    }
    void Sleep(DWORD) override {}
};

// The real steps, except the answers the mode asks for; nothing that would
// change the machine runs.
class ProbeSteps : public install::InstallSteps {
public:
    std::wstring mode;
    int IsImagingServiceUsable() override { return mode == L"imaging" ? 0 : 1; }
    int CopyInstallFiles(CDlg_Install&) override { return mode == L"copy" ? 0 : 1; }
    // Every later step is left out: reaching one means the sequence went on.
    int WriteProductRecord(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*) override {
        Print(L"step|records");
        return 0;
    }
    void InstallScannerPackages(CDlg_Install&) override { Print(L"step|scanner"); }
    void InstallScannerBySetupApi(CDlg_Install&) override { Print(L"step|scanner"); }
    void RegisterPushScan(CDlg_Install&) override {}
    void PreinstallPrinterPackages(CDlg_Install&) override {}
    void InstallPrinterPackages(CDlg_Install&) override {}
    void InstallFaxPackage(CDlg_Install&) override {}
    void InstallPrinterQueue(CDlg_Install&) override {}
    void InstallWebPageComponent(CDlg_Install&) override {}
    void InstallNetworkFaxQueues(CDlg_Install&) override {}
    int InstallFaxBySetupApi(CDlg_Install&) override { return 0; }
    bool MarkDevicesForReinstall(const wchar_t*) override { return true; }
    void SetInstalledPrinterAsDefault(CDlg_Install&) override {}
    int WriteUninstallEntry(const wchar_t*) override { return 0; }
    int CreateStartMenuShortcuts(const wchar_t*, const wchar_t*, const wchar_t*) override { return 0; }
    void StartProgram(const wchar_t*, const wchar_t*) override {}
    int SetAutostartValue(const wchar_t*, const wchar_t*) override { return 0; }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    _setmode(_fileno(stdout), _O_BINARY);
    ProbeSystem system;
    plat::SetSystemForTest(&system);
    ProbeSteps steps;
    steps.mode = argv[1];
    install::SetStepsForTest(&steps);

    // The printer INF is the probe itself, present beside it, except in the
    // "inf" mode.
    const std::string inf = steps.mode == L"inf" ? "Driver\\x64\\Printer\\missing.inf" : "install_probe.exe";
    cfg::LoadSetupConfigText("<SERTUP_INFO><INF><Infinpackage ID=\"PRINTER\">" + inf +
                             "</Infinpackage></INF></SERTUP_INFO>");
    wcscpy(g_szMultiFuncType, steps.mode == L"imaging" ? L"1" : L"0");
    wcscpy(g_szHeadingText, L"Probe Heading");

    CDlg_MainManage host{CDlg_MainManage::NoStartup{}};
    plat::CopyTrunc(host.m_szLanguage, argv[2]);
    CDlg_Install page(&host);
    install::doInstall(page);
    Print(L"returned");
    return 0;
}

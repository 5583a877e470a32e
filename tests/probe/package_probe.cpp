// Runs steps of the driver package module in a process of its own, from the
// folder it lies in (the setup folder of the test's making, holding a
// SetupCFG.xml), so that the ends of the copy stage can be seen from outside:
// the exit code, and on standard output (UTF-8) one line per event:
// "progress <value>" for each progress post, "box|<text>|<caption>|<style>"
// (style in hexadecimal) for each message box, answered with OK at once.
//
//   package_probe copy PROGRAM-FILES LANGUAGE   the copy stage; "returned <result>"
//   package_probe inf                           "present <0|1>" for the printer INF
//   package_probe scanner MODEL                 "present <0|1>" for the model's scanner INF
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "config/setup_config.h"
#include "env/texts.h"
#include "install/driver_packages.h"
#include "install/install_page.h"
#include "platform/module.h"
#include "platform/system.h"
#include "platform/text.h"
#include "ui/main_manage.h"

namespace {

void Print(const std::wstring& line) {
    const std::string utf8 = plat::WideToUtf8(line + L"\n");
    fwrite(utf8.data(), 1, utf8.size(), stdout);
    fflush(stdout);
}

// The page has no window: its progress posts land in this thread's queue.
void PrintPosts() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_INSTALL_PROGRESS && msg.wParam == kInstallProgressValue)
            Print(plat::Format(L"progress %d", static_cast<int>(msg.lParam)));
    }
}

class ProbeSystem : public plat::System {
public:
    int ShowMessageBox(HWND, const wchar_t* text, const wchar_t* caption, UINT style) override {
        PrintPosts();
        Print(plat::Format(L"box|%ls|%ls|%x", text, caption, style));
        return IDOK;
    }
    void Sleep(DWORD) override {}
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    _setmode(_fileno(stdout), _O_BINARY);
    ProbeSystem system;
    plat::SetSystemForTest(&system);
    if (!cfg::LoadSetupConfigFile(plat::ProgramFolder() + L"SetupCFG.xml")) return 3;
    env::ReadProductTexts();

    const std::wstring mode = argv[1];
    if (mode == L"inf") {
        Print(plat::Format(L"present %d", install::IsPrinterInfPresent() ? 1 : 0));
        return 0;
    }
    if (mode == L"scanner" && argc >= 3) {
        Print(plat::Format(L"present %d", install::IsScannerInfPresent(argv[2]) ? 1 : 0));
        return 0;
    }
    if (mode == L"copy" && argc >= 4) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue
        CDlg_MainManage host{CDlg_MainManage::NoStartup{}};
        plat::CopyTrunc(host.m_szProgramFiles, argv[2]);
        plat::CopyTrunc(host.m_szLanguage, argv[3]);
        CDlg_Install page(&host);
        const int result = install::CopyInstallFiles(page);
        PrintPosts();
        Print(plat::Format(L"returned %d", result));
        return 0;
    }
    return 2;
}

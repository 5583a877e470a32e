#include "app/setwise_app.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "platform/handles.h"
#include "platform/module.h"
#include "platform/system.h"
#include "platform/text.h"
#include "uninstall/unistall_main_manage.h"
#ifndef DRV_UNINSTALL_ONLY
#include "ui/main_manage.h"
#endif

namespace app {

StartOptions ParseStartArguments(const std::vector<std::wstring>& args, bool uninstallOnly) {
    StartOptions o;
    if (!args.empty()) {
        if (plat::EqualsNoCaseAscii(args[0], L"-uninstall")) {
            o.uninstall = true;
        } else if (plat::EqualsNoCaseAscii(args[0], L"-install")) {
            o.waitAfterInstall = true;
            if (args.size() >= 3 && plat::EqualsNoCaseAscii(args[1], L"-Languange"))
                plat::CopyTrunc(o.szLanguage, args[2]);
        }
    }
    if (uninstallOnly) {
        o.uninstall = true;
        o.szLanguage[0] = L'\0';
    }
    return o;
}

bool IsInUninstallFolder(const std::wstring& programPath, const std::wstring& systemDir) {
    std::wstring path = programPath;
    for (int i = 0; i < 4; ++i) {
        size_t pos = path.rfind(L'\\');
        path = pos == std::wstring::npos ? std::wstring() : path.substr(0, pos);
    }
    return CompareStringOrdinal(path.c_str(), -1, systemDir.c_str(), -1, TRUE) == CSTR_EQUAL;
}

ModeNames NamesForMode(bool uninstall) {
    if (uninstall) return {L"VELLUM SFP WNDCLASS_UNI", L"Local\\SFP_VELLUM_FLAG_UNI"};
    return {L"VELLUM SFP WNDCLASS_INS", L"Local\\SFP_VELLUM_FLAG_INS"};
}

int CSetwiseApp::InitInstance() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);  // a failure is of no consequence here

    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) {
        plat::Trace(L"CommandLineToArgvW error");
        return 0;
    }
    plat::Trace(GetCommandLineW());
    std::vector<std::wstring> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    LocalFree(argv);

    StartOptions options = ParseStartArguments(args, kUninstallOnlyBuild);
    if (options.waitAfterInstall) plat::Sys().Sleep(200);

    if (options.uninstall && !IsInUninstallFolder(plat::ProgramPath(), plat::SystemDirectory())) return 0;

    const ModeNames names = NamesForMode(options.uninstall);
    plat::UniqueHandle mutex(CreateMutexW(nullptr, TRUE, names.mutex));
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        if (HWND running = FindWindowW(names.windowClass, nullptr)) {
            HWND popup = GetLastActivePopup(running);
            if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
            SetForegroundWindow(popup);
        }
        return 0;
    }

    WNDCLASSW wc = {};
    GetClassInfoW(plat::ProgramModule(), L"#32770", &wc);
    wc.lpszClassName = names.windowClass;
    wc.hInstance = plat::ProgramModule();
    RegisterClassW(&wc);

#ifndef DRV_UNINSTALL_ONLY
    if (!options.uninstall) {
        CDlg_MainManage host(nullptr, options.szLanguage);
        host.DoModal();
    } else
#endif
    {
        CDlg_UnistallMainManage host;
        host.DoModal();
    }

    return 0;
}

}  // namespace app

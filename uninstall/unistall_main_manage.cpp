#include "uninstall/unistall_main_manage.h"

#include "app/setwise_app.h"
#include "config/setup_config.h"
#include "env/languages.h"
#include "env/os_checks.h"
#include "env/texts.h"
#include "platform/module.h"
#include "res/resource.h"

CDlg_UnistallMainManage::CDlg_UnistallMainManage() : plat::Dialog(IDD_UNISTALL_MAIN_MANAGE) {
    m_hIcon = LoadIconW(plat::ProgramModule(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    cfg::LoadSetupConfig();
    env::ReadProductTexts();
    // The model list, once it is read here, comes before the language library.
    env::LoadUninstallLanguageModules(*this);
}

CDlg_UnistallMainManage::~CDlg_UnistallMainManage() { env::FreeLanguageModules(*this); }

BOOL CDlg_UnistallMainManage::OnInitDialog() {
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    const auto check = app::kUninstallOnlyBuild ? env::StartCheck::Uninstall32 : env::StartCheck::Uninstall;
    if (!env::CheckStartRights(check, m_szLanguage, m_hWnd)) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    return TRUE;
}

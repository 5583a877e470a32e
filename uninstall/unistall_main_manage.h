// The uninstall wizard's host window.
#pragma once

#include <windows.h>

#include "env/languages.h"
#include "platform/dialog.h"

// The language members (m_szLanguage, m_hLangDll, m_hBmpDll, m_bUseBmpDll)
// come from env::LanguageState; the uninstaller offers no language list and
// uses no suffix.
class CDlg_UnistallMainManage : public plat::Dialog, public env::LanguageState {
public:
    CDlg_UnistallMainManage();
    ~CDlg_UnistallMainManage() override;

    HICON m_hIcon = nullptr;

protected:
    BOOL OnInitDialog() override;
};

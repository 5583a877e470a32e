// The uninstall wizard's host window.
#pragma once

#include <windows.h>

#include "platform/dialog.h"

class CDlg_UnistallMainManage : public plat::Dialog {
public:
    CDlg_UnistallMainManage();
    ~CDlg_UnistallMainManage() override;

    wchar_t m_szLanguage[256] = {};
    HICON m_hIcon = nullptr;

protected:
    BOOL OnInitDialog() override;
};

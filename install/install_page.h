// The install page (template 133): shown while the driver software is being
// installed. It starts the install worker and the new-hardware-wizard closer,
// creeps its progress bar forward on a timer, jumps to the values the worker
// posts, and hands over to the host's completion page when the worker is done.
#pragma once

#include <windows.h>

#include "platform/dialog.h"
#include "platform/handles.h"
#include "ui/static_trans.h"

class CDlg_MainManage;

// Posted by the install worker to the page: wParam 1 with a progress value
// (0 to 100) in lParam, or wParam 2 when the sequence has finished.
constexpr UINT WM_INSTALL_PROGRESS = WM_USER + 0x203;
constexpr WPARAM kInstallProgressValue = 1;
constexpr WPARAM kInstallFinished = 2;

// The progress creep timer.
constexpr UINT_PTR IDT_INSTALL_PROGRESS = 1;
constexpr UINT kInstallProgressPeriod = 4500;

class CDlg_Install : public plat::Dialog {
public:
    explicit CDlg_Install(CDlg_MainManage* host);
    ~CDlg_Install() override;

    // Data members
    CDlg_MainManage* m_pHost;                // the wizard host; its choices drive the worker
    plat::UniqueHandle m_hInstallThread;     // InstallThreadProc
    plat::UniqueHandle m_hCloseWizardThread; // CloseHardwareWizardThreadProc
    UINT_PTR m_nTimer = 0;                   // identifier SetTimer returned
    int m_nProgress = 0;                     // bar position; only grows

    // Posts a progress value (0 to 100) to the page; any thread may call it.
    void PostProgress(int value) const;

protected:
    // Message handlers
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    bool OnEraseBkgnd(HDC dc) override;
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void OnInstallProgress(WPARAM kind, LPARAM value);
    void FinishInstall();
    void SetBarPosition();

    plat::GdiObject m_background;  // bitmap 147
    CStaticTrans m_tipText;        // control 1044
};

namespace install {

// Thread procedures, started with the page as argument. Both return 1 at once
// for a null argument.
DWORD WINAPI InstallThreadProc(LPVOID page);
DWORD WINAPI CloseHardwareWizardThreadProc(LPVOID page);

// Title of the system's new-hardware wizard in the given display language.
const wchar_t* HardwareWizardTitle(const wchar_t* languageName);

}  // namespace install

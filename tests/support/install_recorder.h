// Test doubles for the install worker: a step recorder that writes every step
// call (and, optionally, every progress post, every sleep and every message
// box) into one ordered log, and a host/page pair that needs neither the
// configuration file nor the program's windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "install/install_page.h"
#include "install/install_worker.h"
#include "support/fake_system.h"
#include "ui/main_manage.h"

namespace testsupport {

class StepRecorder : public install::InstallSteps {
public:
    StepRecorder() { install::SetStepsForTest(this); }
    ~StepRecorder() override { install::SetStepsForTest(nullptr); }

    std::vector<std::wstring> log;

    // Answers of the checks.
    int imagingUsable = 1;
    bool infPresent = true;
    int copyResult = 1;
    // Run the real start-up steps (ShellExecuteW and the Run value) as well.
    bool realStartup = false;
    // When set, the INF check waits for this event (the worker stays put).
    HANDLE gate = nullptr;
    // Progress posts to this window are moved into the log, in order, before
    // each entry (doInstall running on the test's own thread).
    HWND progressWindow = nullptr;

    void Note(const std::wstring& entry);
    void DrainPosts();

    int IsImagingServiceUsable() override;
    bool IsPrinterInfPresent() override;
    int CopyInstallFiles(CDlg_Install& page) override;
    int WriteProductRecord(const wchar_t* name, const wchar_t* language, const wchar_t* suffix,
                           const wchar_t* address, const wchar_t* time) override;
    void InstallScannerPackages(CDlg_Install& page) override;
    void InstallScannerBySetupApi(CDlg_Install& page) override;
    void RegisterPushScan(CDlg_Install& page) override;
    void PreinstallPrinterPackages(CDlg_Install& page) override;
    void InstallPrinterPackages(CDlg_Install& page) override;
    void InstallFaxPackage(CDlg_Install& page) override;
    void InstallPrinterQueue(CDlg_Install& page) override;
    void InstallWebPageComponent(CDlg_Install& page) override;
    void InstallNetworkFaxQueues(CDlg_Install& page) override;
    int InstallFaxBySetupApi(CDlg_Install& page) override;
    bool MarkDevicesForReinstall(const wchar_t* enumerator) override;
    void SetInstalledPrinterAsDefault(CDlg_Install& page) override;
    int WriteUninstallEntry(const wchar_t* model) override;
    int CreateStartMenuShortcuts(const wchar_t* model, const wchar_t* programFiles, const wchar_t* language) override;
    void StartProgram(const wchar_t* path, const wchar_t* parameters) override;
    int SetAutostartValue(const wchar_t* name, const wchar_t* data) override;
    void ExitProgram(UINT exitCode) override;
};

// A FakeSystem that also writes sleeps and message boxes into the recorder's
// log and answers TickCount with `tick`.
class LoggingSystem : public FakeSystem {
public:
    explicit LoggingSystem(StepRecorder& recorder) : m_recorder(recorder) {}
    ULONGLONG tick = 123456;

    void Sleep(DWORD ms) override;
    int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) override;
    ULONGLONG TickCount() override { return tick; }

private:
    StepRecorder& m_recorder;
};

// A host whose choices the test fills in.
class TestHost : public CDlg_MainManage {
public:
    TestHost() : CDlg_MainManage(NoStartup{}) {}
    ~TestHost() override;
    // Lends the host a plain captioned window with a system menu; destroyed
    // with the host.
    HWND CreatePlainWindow();
};

// An install page that is never created from its template: its window is a
// message-only window whose posts the recorder reads.
class MessageOnlyPage : public CDlg_Install {
public:
    explicit MessageOnlyPage(CDlg_MainManage* host);
    ~MessageOnlyPage() override;
};

// Program's own dialogs and strings (programres.dll beside the tests) as the
// resource module for the lifetime of the object.
class ProgramResources {
public:
    ProgramResources();
    ~ProgramResources();
    bool Loaded() const { return m_lib != nullptr; }

private:
    HMODULE m_lib = nullptr;
    HINSTANCE m_old = nullptr;
};

// A plain top-level window of a class of the tests' own (DefWindowProcW).
HWND CreatePlainWindow(const wchar_t* title, DWORD style);

// Registers the common controls the program's pages use.
void InitPageControls();

// Handles the messages of this thread until `done` holds or `ms` passed.
template <typename Pred>
bool PumpUntil(Pred done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

}  // namespace testsupport

#include "support/install_recorder.h"

#include <commctrl.h>

#include <string>

#include "platform/module.h"
#include "platform/text.h"

namespace testsupport {

namespace {
std::wstring Join(std::initializer_list<std::wstring> parts) {
    std::wstring out;
    for (const auto& p : parts) out += (out.empty() ? L"" : L"|") + p;
    return out;
}
}  // namespace

void StepRecorder::DrainPosts() {
    if (!progressWindow) return;
    MSG msg;
    while (PeekMessageW(&msg, progressWindow, WM_INSTALL_PROGRESS, WM_INSTALL_PROGRESS, PM_REMOVE)) {
        if (msg.wParam == kInstallProgressValue)
            log.push_back(L"progress " + std::to_wstring(msg.lParam));
        else
            log.push_back(L"finished " + std::to_wstring(msg.wParam) + L" " + std::to_wstring(msg.lParam));
    }
}

void StepRecorder::Note(const std::wstring& entry) {
    DrainPosts();
    log.push_back(entry);
}

int StepRecorder::IsImagingServiceUsable() {
    Note(L"imaging-check");
    return imagingUsable;
}
bool StepRecorder::IsPrinterInfPresent() {
    if (gate) WaitForSingleObject(gate, 60000);
    Note(L"inf-check");
    return infPresent;
}
int StepRecorder::CopyInstallFiles(CDlg_Install&) {
    Note(L"copy");
    return copyResult;
}
int StepRecorder::WriteProductRecord(const wchar_t* name, const wchar_t* language, const wchar_t* suffix,
                                     const wchar_t* address, const wchar_t* time) {
    Note(L"record " + Join({name, language, suffix, address, time}));
    return 0;
}
void StepRecorder::InstallScannerPackages(CDlg_Install&) { Note(L"scanner-packages"); }
void StepRecorder::InstallScannerBySetupApi(CDlg_Install&) { Note(L"scanner-setupapi"); }
void StepRecorder::RegisterPushScan(CDlg_Install&) { Note(L"push-scan"); }
void StepRecorder::PreinstallPrinterPackages(CDlg_Install&) { Note(L"preinstall-packages"); }
void StepRecorder::InstallPrinterPackages(CDlg_Install&) { Note(L"install-packages"); }
void StepRecorder::InstallFaxPackage(CDlg_Install&) { Note(L"fax-package"); }
void StepRecorder::InstallPrinterQueue(CDlg_Install&) { Note(L"printer-queue"); }
void StepRecorder::InstallWebPageComponent(CDlg_Install&) { Note(L"web-page"); }
void StepRecorder::InstallNetworkFaxQueues(CDlg_Install&) { Note(L"network-fax"); }
int StepRecorder::InstallFaxBySetupApi(CDlg_Install&) {
    Note(L"fax-setupapi");
    return 1;
}
bool StepRecorder::MarkDevicesForReinstall(const wchar_t* enumerator) {
    Note(std::wstring(L"mark ") + enumerator);
    return true;
}
void StepRecorder::SetInstalledPrinterAsDefault(CDlg_Install&) { Note(L"default-printer"); }
int StepRecorder::WriteUninstallEntry(const wchar_t* model) {
    Note(std::wstring(L"uninstall-entry ") + model);
    return 0;
}
int StepRecorder::CreateStartMenuShortcuts(const wchar_t* model, const wchar_t* programFiles,
                                           const wchar_t* language) {
    Note(L"shortcuts " + Join({model, programFiles, language}));
    return 0;
}
void StepRecorder::StartProgram(const wchar_t* path, const wchar_t* parameters) {
    Note(L"start " + Join({path, parameters}));
    if (realStartup) InstallSteps::StartProgram(path, parameters);
}
int StepRecorder::SetAutostartValue(const wchar_t* name, const wchar_t* data) {
    Note(L"autostart " + Join({name, data}));
    return realStartup ? InstallSteps::SetAutostartValue(name, data) : 0;
}
void StepRecorder::ExitProgram(UINT exitCode) { Note(L"exit " + std::to_wstring(exitCode)); }

void LoggingSystem::Sleep(DWORD ms) { m_recorder.Note(L"sleep " + std::to_wstring(ms)); }

int LoggingSystem::ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    m_recorder.Note(L"box");
    return FakeSystem::ShowMessageBox(owner, text, caption, style);
}

TestHost::~TestHost() {
    // The host's pages go before its window.
    m_pInstallPage.reset();
}

HWND CreatePlainWindow(const wchar_t* title, DWORD style) {
    static const ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"DrvTestPlainWindow";
        return RegisterClassW(&wc);
    }();
    if (!atom) return nullptr;
    return CreateWindowExW(0, L"DrvTestPlainWindow", title, style, 10, 10, 300, 200, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void InitPageControls() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
}

HWND TestHost::CreatePlainWindow() {
    m_hWnd = testsupport::CreatePlainWindow(L"host", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    return m_hWnd;
}

MessageOnlyPage::MessageOnlyPage(CDlg_MainManage* host) : CDlg_Install(host) {
    m_hWnd = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

MessageOnlyPage::~MessageOnlyPage() {
    HWND wnd = m_hWnd;
    m_hWnd = nullptr;
    ::DestroyWindow(wnd);
}

ProgramResources::ProgramResources() : m_old(plat::ResourceModule()) {
    m_lib = LoadLibraryW((plat::ProgramFolder() + L"programres.dll").c_str());
    if (m_lib) plat::SetResourceModule(m_lib);
}

ProgramResources::~ProgramResources() {
    plat::SetResourceModule(m_old);
    if (m_lib) FreeLibrary(m_lib);
}

}  // namespace testsupport

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <memory>
#include <string>
#include <thread>

#include "config/setup_config.h"
#include "env/languages.h"
#include "env/texts.h"
#include "install/install_page.h"
#include "install/install_worker.h"
#include "platform/text.h"
#include "support/install_recorder.h"

using testsupport::LoggingSystem;
using testsupport::PumpUntil;
using testsupport::StepRecorder;
using testsupport::TestHost;

namespace {

constexpr int kBar = 1028;

bool Ended(const plat::UniqueHandle& thread) {
    return thread && WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
}

// A real install page inside a plain window, its worker held at the INF
// check until Release().
class InstallPage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_resources.Loaded());
        testsupport::InitPageControls();
        cfg::LoadSetupConfigText("");
        g_szMultiFuncType[0] = L'\0';
        system.version = {true, true, VER_PLATFORM_WIN32_NT, 10, 0, VER_NT_WORKSTATION, 0};
        m_gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        recorder.gate = m_gate;
        wcscpy(host.m_szModel, L"Model B");
    }
    void TearDown() override {
        // Let the worker finish before the page and the host go.
        Release();
        CDlg_Install* page = m_page ? m_page.get() : host.m_pInstallPage.get();
        if (page) {
            PumpUntil([&] { return host.m_nWizardState == kStateComplete; }, 20000);
            if (page->m_hInstallThread) WaitForSingleObject(page->m_hInstallThread.get(), 20000);
            if (page->m_hCloseWizardThread) WaitForSingleObject(page->m_hCloseWizardThread.get(), 20000);
        }
        m_page.reset();
        if (m_parent) DestroyWindow(m_parent);
        CloseHandle(m_gate);
    }

    HWND CreatePage() {
        m_parent = testsupport::CreatePlainWindow(L"parent", WS_POPUP);
        m_page = std::make_unique<CDlg_Install>(&host);
        EXPECT_TRUE(m_page->Create(m_parent));
        return m_page->GetSafeHwnd();
    }
    void Release() { SetEvent(m_gate); }
    int Position() { return static_cast<int>(SendMessageW(m_page->GetDlgItem(kBar), PBM_GETPOS, 0, 0)); }
    void Tick(int times) {
        for (int i = 0; i < times; ++i) SendMessageW(m_page->GetSafeHwnd(), WM_TIMER, IDT_INSTALL_PROGRESS, 0);
    }
    void Post(int value) {
        PostMessageW(m_page->GetSafeHwnd(), WM_INSTALL_PROGRESS, kInstallProgressValue, value);
        PumpUntil([] { return false; }, 100);
    }

    testsupport::ProgramResources m_resources;
    StepRecorder recorder;
    LoggingSystem system{recorder};
    TestHost host;
    std::unique_ptr<CDlg_Install> m_page;
    HWND m_parent = nullptr;
    HANDLE m_gate = nullptr;
};

TEST_F(InstallPage, ControlsAndCreep) {
    HWND wnd = CreatePage();
    ASSERT_NE(wnd, nullptr);
    wchar_t text[1024] = {};
    GetDlgItemTextW(wnd, 1045, text, 1024);
    EXPECT_EQ(std::wstring(text), env::MessageText(206));
    GetDlgItemTextW(wnd, 1044, text, 1024);
    EXPECT_EQ(std::wstring(text), env::MessageText(207));
    EXPECT_NE(env::MessageText(207), L"");
    PBRANGE range = {};
    SendMessageW(m_page->GetDlgItem(kBar), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(Position(), 0);

    // The worker's first post (3) waits in the queue: these ticks start at 0.
    Tick(7);
    EXPECT_EQ(Position(), 21);
    Tick(20);
    EXPECT_EQ(Position(), 61);
    Tick(34);
    EXPECT_EQ(Position(), 95);
    Tick(10);
    EXPECT_EQ(Position(), 95);
    // Another timer's tick only repaints the position.
    SendMessageW(wnd, WM_TIMER, 7, 0);
    EXPECT_EQ(Position(), 95);
}

TEST_F(InstallPage, ReportsBehindTheBarAreIgnored) {
    CreatePage();
    Tick(12);
    EXPECT_EQ(Position(), 31);
    Post(25);
    EXPECT_EQ(Position(), 31);
    Post(30);
    EXPECT_EQ(Position(), 31);
    Post(40);
    EXPECT_EQ(Position(), 40);
    Tick(1);
    EXPECT_EQ(Position(), 42);
}

// The host shows the page with its Close item greyed; the worker's finished
// message brings the hand-over: both threads ended, page hidden, state 7,
// Close enabled again.
TEST_F(InstallPage, HostShowsPageAndGetsItBackWhenDone) {
    HWND hostWnd = host.CreatePlainWindow();
    ASSERT_NE(hostWnd, nullptr);
    host.m_nWizardState = kStateInstalling;
    host.ShowInstallPage();
    ASSERT_TRUE(host.m_pInstallPage);
    CDlg_Install& page = *host.m_pInstallPage;
    HWND pageWnd = page.GetSafeHwnd();
    ASSERT_NE(pageWnd, nullptr);

    HMENU menu = GetSystemMenu(hostWnd, FALSE);
    EXPECT_TRUE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(IsWindowVisible(pageWnd));
    RECT hostClient, pageClient, pageRect;
    GetClientRect(hostWnd, &hostClient);
    GetClientRect(pageWnd, &pageClient);
    EXPECT_TRUE(EqualRect(&hostClient, &pageClient));
    GetWindowRect(pageWnd, &pageRect);
    POINT origin = {0, 0};
    ClientToScreen(hostWnd, &origin);
    EXPECT_EQ(pageRect.left, origin.x);
    EXPECT_EQ(pageRect.top, origin.y);

    Release();
    ASSERT_TRUE(PumpUntil([&] { return host.m_nWizardState == kStateComplete; }, 20000));
    EXPECT_TRUE(Ended(page.m_hInstallThread));
    EXPECT_TRUE(Ended(page.m_hCloseWizardThread));
    EXPECT_FALSE(IsWindowVisible(pageWnd));
    EXPECT_FALSE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(SendMessageW(page.GetDlgItem(kBar), PBM_GETPOS, 0, 0), 100);
    ASSERT_FALSE(recorder.log.empty());
    EXPECT_EQ(recorder.log.back(), L"sleep 150");

    // Shown again, the same page object is reused.
    CDlg_Install* first = host.m_pInstallPage.get();
    host.ShowInstallPage();
    EXPECT_EQ(host.m_pInstallPage.get(), first);
}

// --- The new-hardware-wizard closer -------------------------------------------

TEST(HardwareWizardCloser, TitlePerLanguage) {
    EXPECT_STREQ(install::HardwareWizardTitle(L"Simplified_Chinese"), L"找到新的硬件向导");
    EXPECT_STREQ(install::HardwareWizardTitle(L"Russian"), L"Мастер установки нового оборудования");
    EXPECT_STREQ(install::HardwareWizardTitle(L"English"), L"Found New Hardware Wizard");
    EXPECT_STREQ(install::HardwareWizardTitle(L"russian"), L"Found New Hardware Wizard");
}

const wchar_t* SystemWizardTitle() {
    static wchar_t language[256] = {};
    env::GetUiLanguageName(language);
    return install::HardwareWizardTitle(language);
}

HWND MakeWizardWindow() { return testsupport::CreatePlainWindow(SystemWizardTitle(), WS_POPUP); }

TEST(HardwareWizardCloser, ClosesTwoWizardsOfAMultifunctionModel) {
    struct Row {
        const wchar_t* type;
        int windows;
        int closed;
        size_t passes;
    } rows[] = {
        {L"1", 2, 2, 2},
        {L"1", 3, 2, 2},
        {L"1", 0, 0, 50},
        {L"10", 2, 0, 0},
        {L"1 ", 2, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.windows) + " windows, type " + plat::WideToUtf8(row.type));
        testsupport::FakeSystem system;
        wcscpy(g_szMultiFuncType, row.type);
        std::vector<HWND> windows;
        for (int i = 0; i < row.windows; ++i) {
            windows.push_back(MakeWizardWindow());
            ASSERT_NE(windows.back(), nullptr);
        }

        int dummy = 0;
        EXPECT_EQ(install::CloseHardwareWizardThreadProc(&dummy), 0u);

        int closed = 0;
        for (HWND w : windows) {
            if (!IsWindow(w))
                ++closed;
            else
                DestroyWindow(w);
        }
        EXPECT_EQ(closed, row.closed);
        EXPECT_EQ(system.sleeps, std::vector<DWORD>(row.passes, 150));
    }
    g_szMultiFuncType[0] = L'\0';
}

// A wizard window whose thread does not answer does not hold the closer.
TEST(HardwareWizardCloser, UnansweringWindowDoesNotHoldIt) {
    testsupport::FakeSystem system;
    wcscpy(g_szMultiFuncType, L"1");
    HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        HWND w = MakeWizardWindow();
        SetEvent(created);
        WaitForSingleObject(release, 30000);  // no messages handled meanwhile
        DestroyWindow(w);
    });
    WaitForSingleObject(created, 10000);

    const ULONGLONG start = GetTickCount64();
    int dummy = 0;
    install::CloseHardwareWizardThreadProc(&dummy);
    const ULONGLONG took = GetTickCount64() - start;
    SetEvent(release);
    owner.join();
    CloseHandle(created);
    CloseHandle(release);
    g_szMultiFuncType[0] = L'\0';
    EXPECT_LT(took, 10000u);
}

}  // namespace

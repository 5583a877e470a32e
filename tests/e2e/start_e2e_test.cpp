// The real drvinst64.exe started as a user would start it.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/e2e_support.h"
#include "tests/support/test_files.h"
#include "tools/uidriver/uidrive.h"

using uidrive::Process;

namespace {

const wchar_t kInstallClass[] = L"VELLUM SFP WNDCLASS_INS";
const wchar_t kUninstallClass[] = L"VELLUM SFP WNDCLASS_UNI";

std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

// Runs the program in `folder` with `args`; expects it to end within 20 s
// and returns the exit code and the classes of the windows it showed.
DWORD RunToEnd(const std::wstring& folder, const std::wstring& args, std::vector<std::wstring>& windows) {
    Process p;
    EXPECT_TRUE(p.Start(Quoted(folder + L"\\drvinst64.exe") + L" " + args, folder));
    DWORD code = 0xFFFF;
    EXPECT_TRUE(uidrive::WatchUntilExit(p, 20000, windows, &code)) << "did not end";
    p.Kill();
    return code;
}

class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::ProgramExe().empty()) << "DRV_INST_EXE is not set";
        ASSERT_TRUE(e2e::CopyInto(e2e::ProgramExe(), setup.Path()));
    }
    void WithProductConfig() {
        ASSERT_TRUE(e2e::CopyInto(e2e::ProductSetupFolder() + L"\\SetupCFG.xml", setup.Path()));
    }
    e2e::TempFolder setup;
};

}  // namespace

TEST_F(StartUp, MissingOrMalformedDocumentEndsWithCode1AndNoWindow) {
    for (const char* doc : {static_cast<const char*>(nullptr), "<SERTUP_INFO><MODEL></SERTUP_INFO>", ""}) {
        if (doc) {
            ASSERT_TRUE(testsupport::WriteBytes(setup / L"SetupCFG.xml", doc));
        }
        for (const wchar_t* args : {L"", L"-install", L"-install -Languange English"}) {
            std::vector<std::wstring> windows;
            EXPECT_EQ(RunToEnd(setup.Path(), args, windows), 1u) << (doc ? doc : "(no document)");
            EXPECT_TRUE(windows.empty()) << (doc ? doc : "(no document)");
        }
    }
}

TEST_F(StartUp, UninstallOutsideTheUninstallFolderEndsSilently) {
    WithProductConfig();
    for (const wchar_t* args : {L"-uninstall", L"-UNINSTALL -Languange English"}) {
        std::vector<std::wstring> windows;
        EXPECT_EQ(RunToEnd(setup.Path(), args, windows), 0u);
        EXPECT_TRUE(windows.empty());
    }
}

TEST_F(StartUp, OneInstallWizardAtATimeAndTheCloseQuestion) {
    WithProductConfig();
    Process first;
    ASSERT_TRUE(first.Start(Quoted(setup / L"drvinst64.exe"), setup.Path()));
    HWND host = uidrive::WaitForWindow(first.Id(), kInstallClass, 30000);
    ASSERT_NE(host, nullptr) << "no install wizard window";
    EXPECT_EQ(uidrive::WindowText(host), L"Tavrin K7820-K7850-K7860 Series");

    // A second start, while the first is minimised, restores the first and ends.
    ShowWindow(host, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(host));
    for (const wchar_t* args : {L"", L"-INSTALL -languange English"}) {
        std::vector<std::wstring> windows;
        EXPECT_EQ(RunToEnd(setup.Path(), args, windows), 0u);
        EXPECT_FALSE(IsIconic(host)) << args;
        EXPECT_TRUE(first.Running());
    }

    // Closing asks first; Cancel keeps the wizard, OK ends it.
    PostMessageW(host, WM_CLOSE, 0, 0);
    HWND box = uidrive::WaitForMessageBox(first.Id(), 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(uidrive::MessageBoxText(box).find(L"Tavrin K7820-K7850-K7860"), std::wstring::npos);
    uidrive::AnswerMessageBox(box, IDCANCEL);
    Sleep(500);
    EXPECT_TRUE(first.Running());
    PostMessageW(host, WM_CLOSE, 0, 0);
    box = uidrive::WaitForMessageBox(first.Id(), 10000);
    ASSERT_NE(box, nullptr);
    uidrive::AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(first.Wait(10000));
    first.Kill();
}

TEST_F(StartUp, UninstallRunsOnlyFromThreeLevelsBelowTheSystemDirectory) {
    wchar_t sys[MAX_PATH] = {};
    GetSystemDirectoryW(sys, MAX_PATH);
    e2e::TempFolder top(std::wstring(sys) + L"\\DrvE2E");
    const std::wstring uninstallFolder = top.Path() + L"\\K7800 Series\\Uninstall";
    e2e::MakeFolders(uninstallFolder);
    ASSERT_TRUE(e2e::CopyInto(e2e::ProgramExe(), uninstallFolder));
    ASSERT_TRUE(e2e::CopyInto(e2e::ProductSetupFolder() + L"\\SetupCFG.xml", uninstallFolder));

    Process p;
    ASSERT_TRUE(p.Start(Quoted(uninstallFolder + L"\\drvinst64.exe") + L" -uninstall", uninstallFolder));
    HWND host = uidrive::WaitForWindow(p.Id(), kUninstallClass, 30000);
    EXPECT_NE(host, nullptr) << "no uninstall wizard window";
    p.Kill();

    // One level deeper is refused.
    const std::wstring deeper = uninstallFolder + L"\\deeper";
    e2e::MakeFolders(deeper);
    ASSERT_TRUE(e2e::CopyInto(e2e::ProgramExe(), deeper));
    ASSERT_TRUE(e2e::CopyInto(e2e::ProductSetupFolder() + L"\\SetupCFG.xml", deeper));
    std::vector<std::wstring> windows;
    EXPECT_EQ(RunToEnd(deeper, L"-uninstall", windows), 0u);
    EXPECT_TRUE(windows.empty());
}

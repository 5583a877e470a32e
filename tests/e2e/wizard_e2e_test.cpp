// The real drvinst64.exe's install wizard driven as a user drives it: the
// options page, its agree box and language list, the exit question, and
// Install with no printer connected.
#include <gtest/gtest.h>

#include <windows.h>
#include <winternl.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tests/support/test_files.h"
#include "tools/uidriver/uidrive.h"

using uidrive::Process;

namespace {

const wchar_t kInstallClass[] = L"VELLUM SFP WNDCLASS_INS";
const wchar_t kStoredLanguageKey[] = L"Software\\Tavrin K7820";

// Controls of the options page and the install page.
constexpr int kLanguageList = 1000, kAgree = 1003, kInstall = 1005, kModelList = 1010;
constexpr int kUsbRadio = 1011, kWiredRadio = 1012, kWirelessRadio = 1013, kOneKeyRadio = 1014;
constexpr int kProgressBar = 1028;

std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

std::wstring TestProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

std::wstring FolderOf(const std::wstring& file) { return file.substr(0, file.find_last_of(L"\\/") + 1); }

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t text[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// Selects an entry as the user does: the selection, then the list's
// notification to its page.
void Choose(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

// The command line of another process, read from its process parameters.
std::wstring CommandLineOf(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return {};
    std::wstring result;
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG got = 0;
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS params = {};
    SIZE_T read = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic), &got) == 0 &&
        ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof(peb), &read) &&
        ReadProcessMemory(process, peb.ProcessParameters, &params, sizeof(params), &read)) {
        std::wstring text(params.CommandLine.Length / sizeof(wchar_t), L'\0');
        if (ReadProcessMemory(process, params.CommandLine.Buffer, text.data(), params.CommandLine.Length, &read))
            result = text;
    }
    CloseHandle(process);
    return result;
}

void EndProcessById(DWORD pid) {
    if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
        TerminateProcess(p, 1);
        WaitForSingleObject(p, 5000);
        CloseHandle(p);
    }
}

class InstallWizard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::ProgramExe().empty()) << "DRV_INST_EXE is not set";
        ASSERT_TRUE(e2e::CopyInto(e2e::ProgramExe(), setup.Path()));
        ASSERT_TRUE(e2e::CopyInto(e2e::ProductSetupFolder() + L"\\SetupCFG.xml", setup.Path()));
        e2e::CopyInto(FolderOf(e2e::ProgramExe()) + L"Bmprcx64.dll", setup.Path());
    }
    void TearDown() override {
        if (program.Running()) program.Kill();
    }
    // Language libraries for Simplified Chinese and English: the program's
    // own resources under both names.
    void WithLanguageLibraries() {
        e2e::MakeFolders(setup / L"Language\\x64");
        for (const wchar_t* name : {L"Setup_zhcn.dll", L"Setup_enus.dll"})
            ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"programres.dll").c_str(),
                                  (setup / (std::wstring(L"Language\\x64\\") + name)).c_str(), FALSE));
    }
    HWND Start(const std::wstring& args) {
        EXPECT_TRUE(program.Start(Quoted(setup / L"drvinst64.exe") + (args.empty() ? L"" : L" " + args),
                                  setup.Path()));
        HWND host = uidrive::WaitForWindow(program.Id(), kInstallClass, 30000);
        EXPECT_NE(host, nullptr) << "no install wizard window";
        if (host) {
            EXPECT_NE(uidrive::WaitForControl(host, kInstall, 10000), nullptr) << "no Install button";
        }
        return host;
    }

    e2e::TempFolder setup;
    Process program;
};

}  // namespace

TEST_F(InstallWizard, OptionsPageControlsTextsAndMethods) {
    HWND host = Start(L"");
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(uidrive::WindowText(host), L"Tavrin K7820-K7850-K7860 Series");
    const std::pair<int, const wchar_t*> texts[] = {
        {1039, L"安装语言："},
        {1040, L"选择打印机："},
        {1041, L"安装方式："},
        {kUsbRadio, L"USB连接"},
        {1034, L"打印机已连接USB至计算机。"},
        {kInstall, L"安装"},
    };
    for (const auto& [id, text] : texts) EXPECT_EQ(uidrive::WindowText(uidrive::FindControl(host, id)), text) << id;
    EXPECT_NE(uidrive::WindowText(uidrive::FindControl(host, 1008)).find(L"用户指南"), std::wstring::npos);
    EXPECT_NE(uidrive::WindowText(uidrive::FindControl(host, 1042)).find(L"许可协议"), std::wstring::npos);

    HWND models = uidrive::FindControl(host, kModelList);
    ASSERT_NE(models, nullptr);
    EXPECT_EQ(ComboItems(models),
              (std::vector<std::wstring>{L"Tavrin K7820", L"Tavrin K7850", L"Tavrin K7860", L"Tavrin K7860W"}));
    EXPECT_EQ(uidrive::WindowText(models), L"Tavrin K7820");
    EXPECT_EQ(SendMessageW(uidrive::FindControl(host, kAgree), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(uidrive::FindControl(host, kUsbRadio), BM_GETCHECK, 0, 0), BST_CHECKED);
    // A USB-only model: no network methods.
    for (int id : {kWiredRadio, kWirelessRadio, kOneKeyRadio})
        EXPECT_EQ(uidrive::FindControl(host, id), nullptr) << id;

    // A model with every method shows them all; the one-key method reads
    // "Load String Error!" with the program's own texts.
    Choose(models, 2);
    ASSERT_NE(uidrive::WaitForControl(host, kWirelessRadio, 5000), nullptr);
    EXPECT_EQ(uidrive::WindowText(uidrive::FindControl(host, kWiredRadio)), L"已连接至网络的打印机");
    EXPECT_EQ(uidrive::WindowText(uidrive::FindControl(host, kWirelessRadio)), L"连接至新的网络的打印机");
    EXPECT_EQ(uidrive::WindowText(uidrive::FindControl(host, kOneKeyRadio)), L"Load String Error!");
    EXPECT_EQ(uidrive::WindowText(uidrive::FindControl(host, 1032)), L"配置打印机连接至新的无线网络。");
    Choose(models, 1);
    for (int n = 0; n < 100 && uidrive::FindControl(host, kWirelessRadio); ++n) Sleep(50);
    EXPECT_EQ(uidrive::FindControl(host, kWirelessRadio), nullptr);
    EXPECT_NE(uidrive::FindControl(host, kWiredRadio), nullptr);
}

TEST_F(InstallWizard, AgreeBoxEnablesInstallAndTheExitQuestionKeepsTheWizardOnCancel) {
    HWND host = Start(L"");
    ASSERT_NE(host, nullptr);
    HWND install = uidrive::FindControl(host, kInstall);
    EXPECT_TRUE(IsWindowEnabled(install));
    uidrive::Click(host, kAgree);
    for (int n = 0; n < 100 && IsWindowEnabled(install); ++n) Sleep(50);
    EXPECT_FALSE(IsWindowEnabled(install));
    // A disabled Install does nothing.
    uidrive::Click(host, kInstall);
    EXPECT_EQ(uidrive::WaitForMessageBox(program.Id(), 1000), nullptr);
    uidrive::Click(host, kAgree);
    for (int n = 0; n < 100 && !IsWindowEnabled(install); ++n) Sleep(50);
    EXPECT_TRUE(IsWindowEnabled(install));

    PostMessageW(host, WM_CLOSE, 0, 0);
    HWND box = uidrive::WaitForMessageBox(program.Id(), 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(uidrive::MessageBoxText(box), L"您确定要退出Tavrin K7820-K7850-K7860系列驱动安装向导吗？");
    EXPECT_EQ(uidrive::WindowText(box), L"Tavrin K7820-K7850-K7860 Series");
    uidrive::AnswerMessageBox(box, IDCANCEL);
    EXPECT_FALSE(program.Wait(1000));
    EXPECT_TRUE(IsWindowVisible(install));

    PostMessageW(host, WM_CLOSE, 0, 0);
    box = uidrive::WaitForMessageBox(program.Id(), 10000);
    ASSERT_NE(box, nullptr);
    uidrive::AnswerMessageBox(box, IDOK);
    DWORD code = 99;
    EXPECT_TRUE(program.Wait(10000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(InstallWizard, StoredLanguageLocksTheLanguageList) {
    WithLanguageLibraries();
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kStoredLanguageKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    wchar_t previous[128] = {};
    DWORD previousSize = sizeof(previous);
    const bool hadValue = RegQueryValueExW(key, L"Language", nullptr, nullptr, reinterpret_cast<BYTE*>(previous),
                                           &previousSize) == ERROR_SUCCESS;
    const wchar_t english[] = L"English";
    RegSetValueExW(key, L"Language", 0, REG_SZ, reinterpret_cast<const BYTE*>(english), sizeof(english) - 2);

    HWND host = Start(L"");
    HWND list = host ? uidrive::FindControl(host, kLanguageList) : nullptr;
    EXPECT_NE(list, nullptr);
    if (list) {
        EXPECT_FALSE(IsWindowEnabled(list));
        EXPECT_EQ(uidrive::WindowText(list), L"English");
    }
    program.Kill();

    // Started in a language of its own choice, the list is free.
    if (hadValue)
        RegSetValueExW(key, L"Language", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous), previousSize);
    else
        RegDeleteValueW(key, L"Language");
    RegCloseKey(key);
    if (disposition == REG_CREATED_NEW_KEY) RegDeleteKeyW(HKEY_LOCAL_MACHINE, kStoredLanguageKey);
    host = Start(L"-install -Languange English");
    list = host ? uidrive::FindControl(host, kLanguageList) : nullptr;
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowEnabled(list));
}

TEST_F(InstallWizard, PickingAnotherLanguageRestartsTheProgramInIt) {
    WithLanguageLibraries();
    HWND host = Start(L"-install -Languange English");
    ASSERT_NE(host, nullptr);
    HWND list = uidrive::FindControl(host, kLanguageList);
    ASSERT_NE(list, nullptr);
    const std::vector<std::wstring> items = ComboItems(list);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(uidrive::WindowText(list), L"English");
    const int chinese = items[0] == L"English" ? 1 : 0;

    // The language already selected changes nothing.
    Choose(list, 1 - chinese);
    EXPECT_FALSE(program.Wait(1500));

    Choose(list, chinese);
    DWORD code = 99;
    ASSERT_TRUE(program.Wait(10000, &code)) << "the first wizard did not end";
    EXPECT_EQ(code, 0u);

    HWND second = uidrive::WaitForWindow(0, kInstallClass, 30000);
    ASSERT_NE(second, nullptr) << "no new wizard";
    DWORD pid = 0;
    GetWindowThreadProcessId(second, &pid);
    EXPECT_NE(pid, program.Id());
    EXPECT_EQ(CommandLineOf(pid), Quoted(setup / L"drvinst64.exe") + L" -install -Languange Simplified_Chinese ");
    HWND secondList = uidrive::WaitForControl(second, kLanguageList, 10000);
    ASSERT_NE(secondList, nullptr);
    EXPECT_EQ(uidrive::WindowText(secondList), items[static_cast<size_t>(chinese)]);
    EXPECT_TRUE(IsWindowEnabled(secondList));
    EndProcessById(pid);
}

TEST_F(InstallWizard, InstallWithNoPrinterAsksAndGoesOnOnlyOnYes) {
    // The printer INF that the check before installing looks for.
    e2e::MakeFolders(setup / L"Driver\\x64\\Printer");
    ASSERT_TRUE(testsupport::WriteBytes(setup / L"Driver\\x64\\Printer\\tavk78.inf", "[Version]\r\n"));
    HWND host = Start(L"");
    ASSERT_NE(host, nullptr);

    uidrive::Click(host, kInstall);
    HWND box = uidrive::WaitForMessageBox(program.Id(), 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(uidrive::MessageBoxText(box), L"当前未搜索到打印机，是否继续安装？");
    EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
    EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
    uidrive::AnswerMessageBox(box, IDNO);
    Sleep(500);
    EXPECT_TRUE(program.Running());
    EXPECT_NE(uidrive::FindControl(host, kInstall), nullptr) << "the options page went away";
    EXPECT_EQ(uidrive::FindControl(host, kProgressBar), nullptr);

    uidrive::Click(host, kInstall);
    box = uidrive::WaitForMessageBox(program.Id(), 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(uidrive::MessageBoxText(box), L"当前未搜索到打印机，是否继续安装？");
    uidrive::AnswerMessageBox(box, IDYES);
    HWND bar = uidrive::WaitForControl(host, kProgressBar, 10000);
    ASSERT_NE(bar, nullptr) << "no install page";
    EXPECT_EQ(uidrive::FindControl(host, kInstall), nullptr);

    // Closing while it installs asks nothing; whatever the install itself
    // reports is answered until the program ends.
    PostMessageW(host, WM_CLOSE, 0, 0);
    const ULONGLONG end = GetTickCount64() + 90000;
    while (program.Running() && GetTickCount64() < end) {
        if (HWND shown = uidrive::WaitForMessageBox(program.Id(), 200)) {
            EXPECT_NE(uidrive::MessageBoxText(shown), L"您确定要退出Tavrin K7820-K7850-K7860系列驱动安装向导吗？");
            uidrive::AnswerMessageBox(shown, GetDlgItem(shown, IDOK) ? IDOK : IDYES);
            Sleep(200);
        }
    }
    EXPECT_FALSE(program.Running()) << "the wizard did not end";
}

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "config/setup_config.h"
#include "env/languages.h"
#include "env/texts.h"
#include "platform/module.h"
#include "platform/text.h"
#include "tests/support/spooler_fixture.h"
#include "tests/support/test_files.h"

namespace {

// Printer names of the fixture's product keys; nothing else in the prefix
// uses them.
const wchar_t kPrinterA[] = L"Langtest K100 Printer";
const wchar_t kPrinterB[] = L"Langtest K200 Printer";

const char kDoc[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<SERTUP_INFO>
  <Headingline><Content>Langtest K100-K200</Content></Headingline>
  <MODEL>
    <Model_Info type="1">Langtest K100</Model_Info>
    <Model_Info type="3">Langtest K200</Model_Info>
  </MODEL>
  <PriName>
    <PriModel ID="Langtest K100">Langtest K100 Printer</PriModel>
    <PriModel ID="Langtest K200">Langtest K200 Printer</PriModel>
  </PriName>
  <DLL_SETUP>
    <source_dll ID="Arabic">Language\%Systembit%\Setup_ar.dll</source_dll>
    <source_dll ID="Traditional_Chinese">Language\%Systembit%\Setup_zhtw.dll</source_dll>
    <source_dll ID="English">Language\%Systembit%\Setup_enus.dll</source_dll>
    <source_dll ID="French">Language\%Systembit%\Setup_fr.dll</source_dll>
    <source_dll ID="Japanese">Language\%Systembit%\Setup_ja.dll</source_dll>
    <source_dll ID="Spanish">Language\%Systembit%\Setup_esmx.dll</source_dll>
    <source_dll ID="Hebrew">Language\%Systembit%\Setup_he.dll</source_dll>
    <source_dll ID="German">Language\%Systembit%\Setup_de.dll</source_dll>
    <source_dll ID="Klingon">Language\%Systembit%\Setup_tlh.dll</source_dll>
  </DLL_SETUP>
  <DLL_UNSETUP>
    <source_dll ID="Arabic">Language\%Systembit%\Unsetup_ar.dll</source_dll>
    <source_dll ID="German">Language\%Systembit%\Unsetup_de.dll</source_dll>
    <source_dll ID="English">Language\%Systembit%\Unsetup_enus.dll</source_dll>
    <source_dll ID="">Language\%Systembit%\Unsetup_xx.dll</source_dll>
  </DLL_UNSETUP>
  <SUFFIX>
    <suffixName ID="Portuguese">ptbr</suffixName>
    <suffixName ID="French"></suffixName>
  </SUFFIX>
</SERTUP_INFO>)";

// Library file of each language in the fixture document (64-bit tag).
std::wstring SetupLibrary(const std::wstring& language, const wchar_t* tag = L"x64") {
    wchar_t text[1024] = {};
    cfg::GetConfigTextByValue(L"/SERTUP_INFO/DLL_SETUP/source_dll", language.c_str(), text);
    return cfg::ReplaceSystembit(text, tag);
}

// A setup folder of its own in the temporary folder, removed with its
// contents at the end.
class SetupFolder {
public:
    SetupFolder() {
        wchar_t tmp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, tmp);
        static int counter = 0;
        m_path = plat::Format(L"%lslangtest-%lu-%d\\", tmp, GetCurrentProcessId(), ++counter);
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~SetupFolder() { testsupport::RemoveTree(m_path); }
    SetupFolder(const SetupFolder&) = delete;
    SetupFolder& operator=(const SetupFolder&) = delete;

    const std::wstring& Path() const { return m_path; }

    // Copies a fixture library built beside the test program to `relative`.
    void AddLibrary(const std::wstring& relative, const wchar_t* fixture) {
        MakeParents(relative);
        const std::wstring src = plat::ProgramFolder() + fixture;
        ASSERT_TRUE(CopyFileW(src.c_str(), (m_path + relative).c_str(), FALSE))
            << plat::WideToUtf8(src) << " error " << GetLastError();
    }
    // An empty file: enough for the offered-language check.
    void AddEmptyFile(const std::wstring& relative) {
        MakeParents(relative);
        ASSERT_TRUE(testsupport::WriteBytes(m_path + relative, ""));
    }

private:
    void MakeParents(const std::wstring& relative) {
        for (size_t i = relative.find(L'\\'); i != std::wstring::npos; i = relative.find(L'\\', i + 1))
            CreateDirectoryW((m_path + relative.substr(0, i)).c_str(), nullptr);
    }

    std::wstring m_path;
};

// Language state that frees what it loaded, so the folder can be removed.
struct OwnedLanguageState : env::LanguageState {
    OwnedLanguageState() = default;
    ~OwnedLanguageState() { env::FreeLanguageModules(*this); }
    OwnedLanguageState(const OwnedLanguageState&) = delete;
    OwnedLanguageState& operator=(const OwnedLanguageState&) = delete;
};

// The product keys HKLM\Software\<printer name> of the fixture's printers,
// removed before and after.
class ProductKeys {
public:
    ProductKeys() { Clean(); }
    ~ProductKeys() { Clean(); }
    ProductKeys(const ProductKeys&) = delete;
    ProductKeys& operator=(const ProductKeys&) = delete;

    // Creates the key; `language` null: a key without a "Language" value.
    void Set(const wchar_t* printer, const wchar_t* language) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\") + printer).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        if (language)
            RegSetValueExW(key, L"Language", 0, REG_SZ, reinterpret_cast<const BYTE*>(language),
                           static_cast<DWORD>((wcslen(language) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    void SetDword(const wchar_t* printer, DWORD value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\") + printer).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, L"Language", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
        RegCloseKey(key);
    }
    static void Clean() {
        for (const wchar_t* p : {kPrinterA, kPrinterB})
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\") + p).c_str());
    }
};

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(cfg::LoadSetupConfigText(kDoc));
        env::ReadProductTexts();
        plat::SetResourceModule(nullptr);
    }
    void TearDown() override {
        plat::SetResourceModule(nullptr);
        cfg::LoadSetupConfigText("");
        env::ReadProductTexts();
    }
};

bool ModuleLoaded(const std::wstring& path) { return GetModuleHandleW(path.c_str()) != nullptr; }

std::wstring Names(const std::vector<env::LanguageItem>& items) {
    std::wstring out;
    for (const auto& item : items) out += item.name + L";";
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Tables

TEST(Languages, UiLanguageIdsMapAsTheTableSays) {
    struct Row {
        const wchar_t* language;
        std::vector<LANGID> ids;
    } rows[] = {
        {L"Arabic", {1025, 2049, 3073, 4097, 5121, 6145, 7169, 8193, 9217, 10241, 11265, 12289, 13313, 14337, 15361,
                     16385}},
        {L"Simplified_Chinese", {2052}},
        {L"Traditional_Chinese", {1028, 3076, 4100, 5124}},
        {L"English", {1033, 2057, 3081, 4105, 5129, 6153, 7177, 8201, 9225, 10249, 11273, 12297, 13321, 16393, 17417,
                      18441}},
        {L"French", {1036, 2060, 3084, 4108, 5132, 6156}},
        {L"Italian", {1040, 2064}},
        {L"Japanese", {1041}},
        {L"Russian", {1049}},
        {L"Spanish", {2058, 3082, 4106, 5130, 6154, 7178, 8202, 9226, 10250, 11274, 12298, 13322, 14346, 15370, 16394,
                      17418, 18442, 19466, 20490}},
        {L"Hebrew", {1037}},
        {L"German", {1031, 2055, 3079, 4103, 5127}},
        {L"Turkish", {1055}},
        {L"Polish", {1045}},
        {L"Swedish", {1053, 2077}},
        {L"Norwegian", {1044, 2068}},
        {L"Portuguese", {1046, 2070}},
        // Unlisted ids, among them neighbours of listed ones: English.
        {L"English", {1034 /* Spanish, traditional sort */, 21514 /* Spanish, United States */, 0, 1, 1024, 1026,
                      1030, 1043, 1050, 2053, 14345, 17409, 0x7C04, 0xFFFF}},
    };
    for (const Row& r : rows) {
        for (LANGID id : r.ids) {
            wchar_t buf[256];
            wmemset(buf, L'#', 256);
            env::GetUiLanguageName(buf, id);
            EXPECT_STREQ(buf, r.language) << "UI language " << id;
        }
    }
    // A short buffer gets a terminated prefix.
    wchar_t small[5];
    env::GetUiLanguageName(small, 5, 2052);
    EXPECT_STREQ(small, L"Simp");
}

TEST(Languages, DisplayNamesAndDefaultSuffixesInTableOrder) {
    // The display names as the language list shows them (UTF-8 in this file).
    const struct {
        const wchar_t* name;
        const wchar_t* display;
        const wchar_t* suffix;
    } expected[16] = {
        {L"Arabic", L"العربية", L"ar"},
        {L"Simplified_Chinese", L"中文（简体）", L"zhcn"},
        {L"Traditional_Chinese", L"中文（繁體）", L"zhtw"},
        {L"English", L"English", L"enus"},
        {L"French", L"Français", L"fr"},
        {L"Italian", L"Italliano", L"it"},
        {L"Japanese", L"日本語", L"ja"},
        {L"Russian", L"pусский", L"ru"},
        {L"Spanish", L"Español", L"esmx"},
        {L"Hebrew", L"עברית", L"he"},
        {L"German", L"deutsch", L"de"},
        {L"Turkish", L"Türkçe", L"tr"},
        {L"Polish", L"Polski", L"enus"},
        {L"Swedish", L"Svenska", L"sv"},
        {L"Norwegian", L"Norsk", L"no"},
        {L"Portuguese", L"Português", L"enus"},
    };
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_STREQ(env::kLanguageTable[i].name, expected[i].name) << i;
        EXPECT_STREQ(env::kLanguageTable[i].display, expected[i].display) << i;
        EXPECT_STREQ(env::kLanguageTable[i].suffix, expected[i].suffix) << i;
    }
    EXPECT_EQ(env::kLanguageTable[7].display[0], L'\u0070');  // Russian: Latin p, not Cyrillic er
    EXPECT_EQ(env::kLanguageTable[7].display[1], L'\u0443');

    // ApplyDisplayNames: exact names get the table's text, others keep their name.
    env::LanguageState state;
    for (const auto& e : expected) state.m_Languages.push_back({e.name, e.name});
    state.m_Languages.push_back({L"Klingon", L"Klingon"});
    state.m_Languages.push_back({L"english", L"english"});
    state.m_Languages.push_back({L"Russian ", L"Russian "});
    env::ApplyDisplayNames(state);
    ASSERT_EQ(state.m_Languages.size(), 19u);
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(state.m_Languages[i].name, expected[i].name);
        EXPECT_EQ(state.m_Languages[i].display, expected[i].display);
    }
    EXPECT_EQ(state.m_Languages[16].display, L"Klingon");
    EXPECT_EQ(state.m_Languages[17].display, L"english");
    EXPECT_EQ(state.m_Languages[18].display, L"Russian ");
}

TEST(Languages, BuildConstantsAndRightToLeftNames) {
#ifdef _WIN64
    EXPECT_STREQ(env::BitmapLibraryName(), L"Bmprcx64.dll");
#else
    EXPECT_STREQ(env::BitmapLibraryName(), L"Bmprcx32.dll");
#endif
    EXPECT_TRUE(env::IsRightToLeftLanguage(L"Arabic"));
    EXPECT_TRUE(env::IsRightToLeftLanguage(L"Hebrew"));
    EXPECT_FALSE(env::IsRightToLeftLanguage(L"arabic"));
    EXPECT_FALSE(env::IsRightToLeftLanguage(L"Hebrew "));
    EXPECT_FALSE(env::IsRightToLeftLanguage(L""));
    EXPECT_FALSE(env::IsRightToLeftLanguage(nullptr));
}

TEST_F(LanguageTest, SuffixFromTheDocumentElseTheBuiltInTable) {
    struct Row {
        const wchar_t* language;
        const wchar_t* suffix;
    } rows[] = {
        {L"Simplified_Chinese", L"zhcn"}, {L"Arabic", L"ar"},      {L"French", L"fr"},  // French: empty SUFFIX text
        {L"German", L"de"},               {L"Italian", L"it"},     {L"Japanese", L"ja"},
        {L"Norwegian", L"no"},            {L"Russian", L"ru"},     {L"Spanish", L"esmx"},
        {L"Swedish", L"sv"},              {L"Traditional_Chinese", L"zhtw"},
        {L"Turkish", L"tr"},              {L"Hebrew", L"he"},      {L"English", L"enus"},
        {L"Polish", L"enus"},             {L"Portuguese", L"ptbr"},  // from SUFFIX
        {L"german", L"enus"},             {L"Klingon", L"enus"},   {L"", L"enus"},
    };
    for (const Row& r : rows) {
        env::LanguageState state;
        plat::CopyTrunc(state.m_szLanguage, r.language);
        plat::CopyTrunc(state.m_szLangSuffix, L"stale");
        env::GetLanguageSuffix(state);
        EXPECT_STREQ(state.m_szLangSuffix, r.suffix) << plat::WideToUtf8(r.language);
    }

    // A document that defines a Polish suffix wins over the default.
    ASSERT_TRUE(cfg::LoadSetupConfigText(
        "<SERTUP_INFO><SUFFIX><suffixName ID=\"Polish\">pl</suffixName></SUFFIX></SERTUP_INFO>"));
    env::LanguageState polish;
    plat::CopyTrunc(polish.m_szLanguage, L"Polish");
    env::GetLanguageSuffix(polish);
    EXPECT_STREQ(polish.m_szLangSuffix, L"pl");
}

// ---------------------------------------------------------------------------
// Offered languages and the choice of the run's language

TEST_F(LanguageTest, OfferedLanguagesAreThoseWhoseLibraryExistsInDocumentOrder) {
    SetupFolder folder;
    folder.AddEmptyFile(SetupLibrary(L"German"));
    folder.AddEmptyFile(SetupLibrary(L"English"));
    folder.AddEmptyFile(SetupLibrary(L"Arabic"));
    folder.AddEmptyFile(SetupLibrary(L"French", L"x32"));  // only for the 32-bit tag

    env::LanguageState state;
    state.m_Languages.push_back({L"stale", L"stale"});
    env::BuildOfferedLanguages(state, folder.Path());
    EXPECT_EQ(Names(state.m_Languages), L"Arabic;English;German;");
    for (const auto& item : state.m_Languages) EXPECT_EQ(item.display, item.name);

    env::BuildOfferedLanguages(state, folder.Path(), L"x32");
    EXPECT_EQ(Names(state.m_Languages), L"French;");

    SetupFolder empty;
    env::BuildOfferedLanguages(state, empty.Path());
    EXPECT_TRUE(state.m_Languages.empty());
}

TEST_F(LanguageTest, ChoiceRules) {
    struct Row {
        const char* what;
        std::vector<const wchar_t*> libraries;  // languages whose library exists
        const wchar_t* commandLine;
        LANGID ui;
        const wchar_t* storedA;  // product key of printer A: nullptr none, L"-" without value
        const wchar_t* storedB;
        const wchar_t* language;
        BYTE locked;
    } rows[] = {
        {"1034 is not Spanish", {L"English", L"Spanish", L"German"}, L"", 1034, nullptr, nullptr, L"English", 0},
        {"4100 is Traditional_Chinese", {L"Traditional_Chinese", L"English"}, L"", 4100, nullptr, nullptr,
         L"Traditional_Chinese", 0},
        {"French UI, French offered", {L"English", L"French"}, L"", 1036, nullptr, nullptr, L"French", 0},
        {"French UI, English and German offered", {L"English", L"German"}, L"", 1036, nullptr, nullptr, L"English",
         0},
        {"French UI, only German offered", {L"German"}, L"", 1036, nullptr, nullptr, L"German", 0},
        {"French UI, Japanese and German offered: first in document order", {L"German", L"Japanese"}, L"", 1036, nullptr, nullptr,
         L"Japanese", 0},
        {"nothing offered", {}, L"", 1036, nullptr, nullptr, L"English", 0},
        {"unknown UI language, nothing offered", {}, nullptr, 0x0436, nullptr, nullptr, L"English", 0},
        {"command line wins, not locked", {L"English"}, L"Japanese", 1033, L"German", nullptr, L"Japanese", 0},
        {"command line need not be offered", {L"English"}, L"Klingon", 1033, nullptr, nullptr, L"Klingon", 0},
        {"stored Japanese", {L"English", L"French"}, L"", 1036, nullptr, L"Japanese", L"Japanese", 1},
        {"stored Japanese, null command line", {L"English"}, nullptr, 1033, L"Japanese", nullptr, L"Japanese", 1},
        {"first product key decides", {L"English"}, L"", 1033, L"French", L"German", L"French", 1},
        {"first key without value decides", {L"English"}, L"", 1033, L"-", L"German", L"", 1},
        {"product key without Language", {L"English", L"German"}, L"", 1031, nullptr, L"-", L"", 1},
    };
    for (const Row& r : rows) {
        ProductKeys keys;
        if (r.storedA) keys.Set(kPrinterA, wcscmp(r.storedA, L"-") == 0 ? nullptr : r.storedA);
        if (r.storedB) keys.Set(kPrinterB, wcscmp(r.storedB, L"-") == 0 ? nullptr : r.storedB);
        SetupFolder folder;
        for (const wchar_t* lib : r.libraries) folder.AddEmptyFile(SetupLibrary(lib));

        env::LanguageState state;
        plat::CopyTrunc(state.m_szLanguage, L"stale");
        state.m_bLanguageLocked = 1;
        env::BuildOfferedLanguages(state, folder.Path());
        env::ChooseLanguage(state, r.commandLine, r.ui);
        EXPECT_STREQ(state.m_szLanguage, r.language) << r.what;
        EXPECT_EQ(state.m_bLanguageLocked, r.locked) << r.what;
    }
}

TEST_F(LanguageTest, CommandLineLanguageIsCutTo255Characters) {
    ProductKeys keys;
    env::LanguageState state;
    const std::wstring longName(300, L'x');
    env::ChooseLanguage(state, longName.c_str(), 1033);
    EXPECT_EQ(std::wstring(state.m_szLanguage), longName.substr(0, 255));
}

TEST_F(LanguageTest, StoredLanguageReadsTheFirstProductKeyThatOpens) {
    ProductKeys keys;
    wchar_t out[128];
    wmemset(out, L'#', 128);
    EXPECT_FALSE(env::ReadStoredLanguage(out));
    EXPECT_STREQ(out, L"");

    keys.Set(kPrinterB, L"Japanese");
    EXPECT_TRUE(env::ReadStoredLanguage(out));
    EXPECT_STREQ(out, L"Japanese");

    // A value longer than the buffer: its first 127 characters.
    const std::wstring longValue = std::wstring(130, L'L') + L"tail";
    keys.Set(kPrinterA, longValue.c_str());
    EXPECT_TRUE(env::ReadStoredLanguage(out));
    EXPECT_EQ(std::wstring(out), longValue.substr(0, 127));

    // A value that is no text counts as no language, but the key decides.
    keys.SetDword(kPrinterA, 1041);
    EXPECT_TRUE(env::ReadStoredLanguage(out));
    EXPECT_STREQ(out, L"");
}

TEST_F(LanguageTest, InstalledFamilyDriverLocksTheChosenLanguage) {
    ProductKeys keys;
    SetupFolder folder;
    folder.AddEmptyFile(SetupLibrary(L"English"));
    folder.AddEmptyFile(SetupLibrary(L"German"));
    testsupport::SpoolerFixture spooler;
    ASSERT_TRUE(spooler.AddDriverAndPrinter(L"Langtest K200", L"Langtest K200 queue"));

    env::LanguageState state;
    env::BuildOfferedLanguages(state, folder.Path());
    env::ChooseLanguage(state, L"", 1031);
    EXPECT_STREQ(state.m_szLanguage, L"German");
    EXPECT_EQ(state.m_bLanguageLocked, 1);

    // The command line still decides freely.
    env::ChooseLanguage(state, L"English", 1031);
    EXPECT_STREQ(state.m_szLanguage, L"English");
    EXPECT_EQ(state.m_bLanguageLocked, 0);

    spooler.RemoveAll();
    env::ChooseLanguage(state, L"", 1031);
    EXPECT_EQ(state.m_bLanguageLocked, 0);
}

// ---------------------------------------------------------------------------
// Resource libraries

TEST_F(LanguageTest, LoadedLanguageLibraryProvidesTheTexts) {
    SetupFolder folder;
    folder.AddLibrary(SetupLibrary(L"English"), L"testlang.dll");
    folder.AddLibrary(L"Bmprcx64.dll", L"testbmp.dll");
    const std::wstring langPath = folder.Path() + SetupLibrary(L"English");
    const std::wstring bmpPath = folder.Path() + L"Bmprcx64.dll";

    // Before: the program's own table, which in the test program has no texts.
    wchar_t text[1024] = L"sentinel";
    EXPECT_EQ(env::LoadMessageText(156, text), 0);
    EXPECT_STREQ(text, L"sentinel");

    {
        OwnedLanguageState state;
        plat::CopyTrunc(state.m_szLanguage, L"English");
        ASSERT_TRUE(env::LoadLanguageModules(state, folder.Path()));
        EXPECT_EQ(state.m_hLangDll, GetModuleHandleW(langPath.c_str()));
        EXPECT_EQ(state.m_hBmpDll, GetModuleHandleW(bmpPath.c_str()));
        EXPECT_NE(state.m_hBmpDll, nullptr);
        EXPECT_EQ(state.m_bUseBmpDll, 1);
        EXPECT_EQ(plat::ResourceModule(), state.m_hLangDll);

        const std::wstring heading = L"Test Heading Langtest K100-K200";
        EXPECT_EQ(env::LoadMessageText(156, text), static_cast<int>(heading.size()));
        EXPECT_EQ(std::wstring(text), heading);
        EXPECT_EQ(env::MessageText(157), L"Test exit question of Langtest K100-K200?");

        // A missing id: 0 and the buffer untouched.
        wcscpy(text, L"sentinel");
        EXPECT_EQ(env::LoadMessageText(9999, text), 0);
        EXPECT_STREQ(text, L"sentinel");
        EXPECT_EQ(env::MessageText(9999), L"");

        // Control texts on a real window: a missing id shows the error text.
        HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr) << "error " << GetLastError();
        for (int id : {1001, 1002, 1003})
            CreateWindowExW(0, L"STATIC", L"old", WS_CHILD, 0, 0, 50, 20, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        const env::ControlText items[] = {{1001, 156}, {1002, 9999}, {1003, 157}};
        env::SetControlTexts(parent, items);
        auto controlText = [parent](int id) {
            wchar_t buf[256] = {};
            GetDlgItemTextW(parent, id, buf, 256);
            return std::wstring(buf);
        };
        EXPECT_EQ(controlText(1001), heading);
        EXPECT_EQ(controlText(1002), L"Load String Error!");
        EXPECT_EQ(controlText(1003), L"Test exit question of Langtest K100-K200?");
        DestroyWindow(parent);

        // Freeing gives the program's own resources back.
        env::FreeLanguageModules(state);
        EXPECT_EQ(state.m_hLangDll, nullptr);
        EXPECT_EQ(state.m_hBmpDll, nullptr);
        EXPECT_EQ(plat::ResourceModule(), plat::ProgramModule());
        EXPECT_FALSE(ModuleLoaded(langPath));
        EXPECT_FALSE(ModuleLoaded(bmpPath));
        wcscpy(text, L"sentinel");
        EXPECT_EQ(env::LoadMessageText(156, text), 0);
        EXPECT_STREQ(text, L"sentinel");
    }
}

TEST_F(LanguageTest, LoadingAgainFreesThePreviousLibraries) {
    SetupFolder folder;
    folder.AddLibrary(SetupLibrary(L"English"), L"testlang.dll");
    folder.AddLibrary(SetupLibrary(L"German"), L"testlang.dll");
    folder.AddLibrary(L"Bmprcx64.dll", L"testbmp.dll");
    const std::wstring english = folder.Path() + SetupLibrary(L"English");
    const std::wstring german = folder.Path() + SetupLibrary(L"German");

    OwnedLanguageState state;
    plat::CopyTrunc(state.m_szLanguage, L"English");
    ASSERT_TRUE(env::LoadLanguageModules(state, folder.Path()));
    ASSERT_TRUE(ModuleLoaded(english));

    plat::CopyTrunc(state.m_szLanguage, L"German");
    ASSERT_TRUE(env::LoadLanguageModules(state, folder.Path()));
    EXPECT_FALSE(ModuleLoaded(english));
    EXPECT_EQ(state.m_hLangDll, GetModuleHandleW(german.c_str()));
    EXPECT_EQ(plat::ResourceModule(), state.m_hLangDll);
    EXPECT_EQ(env::MessageText(156), L"Test Heading Langtest K100-K200");

    // Hebrew has no library here: the earlier ones are freed all the same and
    // the program's own resources are in use.
    plat::CopyTrunc(state.m_szLanguage, L"Hebrew");
    EXPECT_FALSE(env::LoadLanguageModules(state, folder.Path()));
    EXPECT_FALSE(ModuleLoaded(german));
    EXPECT_FALSE(ModuleLoaded(folder.Path() + L"Bmprcx64.dll"));
    EXPECT_EQ(state.m_hLangDll, nullptr);
    EXPECT_EQ(state.m_hBmpDll, nullptr);
    EXPECT_EQ(plat::ResourceModule(), plat::ProgramModule());
}

TEST_F(LanguageTest, MissingBitmapLibraryKeepsTheProgramsOwnResources) {
    SetupFolder folder;
    folder.AddLibrary(SetupLibrary(L"German"), L"testlang.dll");
    const std::wstring german = folder.Path() + SetupLibrary(L"German");

    OwnedLanguageState state;
    plat::CopyTrunc(state.m_szLanguage, L"German");
    EXPECT_FALSE(env::LoadLanguageModules(state, folder.Path()));
    EXPECT_EQ(state.m_hLangDll, nullptr);
    EXPECT_EQ(state.m_hBmpDll, nullptr);
    EXPECT_EQ(state.m_bUseBmpDll, 1);
    EXPECT_FALSE(ModuleLoaded(german));
    EXPECT_EQ(plat::ResourceModule(), plat::ProgramModule());
    EXPECT_EQ(env::MessageText(156), L"");

    // The bitmap library of the other build does not stand in for it.
    folder.AddLibrary(L"Bmprcx32.dll", L"testbmp.dll");
    EXPECT_FALSE(env::LoadLanguageModules(state, folder.Path()));
    EXPECT_EQ(state.m_hLangDll, nullptr);
}

TEST_F(LanguageTest, RightToLeftLanguagesLoadNoBitmapLibrary) {
    SetupFolder folder;
    folder.AddLibrary(SetupLibrary(L"Arabic"), L"testlang.dll");
    folder.AddLibrary(SetupLibrary(L"Hebrew"), L"testlang.dll");
    folder.AddLibrary(L"Bmprcx64.dll", L"testbmp.dll");
    for (const wchar_t* language : {L"Arabic", L"Hebrew"}) {
        OwnedLanguageState state;
        plat::CopyTrunc(state.m_szLanguage, language);
        state.m_bUseBmpDll = 1;
        EXPECT_TRUE(env::LoadLanguageModules(state, folder.Path())) << plat::WideToUtf8(language);
        EXPECT_EQ(state.m_bUseBmpDll, 0);
        EXPECT_EQ(state.m_hBmpDll, nullptr);
        EXPECT_FALSE(ModuleLoaded(folder.Path() + L"Bmprcx64.dll"));
        EXPECT_EQ(state.m_hLangDll, GetModuleHandleW((folder.Path() + SetupLibrary(language)).c_str()));
        EXPECT_EQ(plat::ResourceModule(), state.m_hLangDll);
    }
    // Without the bitmap library they load all the same.
    SetupFolder noBitmaps;
    noBitmaps.AddLibrary(SetupLibrary(L"Hebrew"), L"testlang.dll");
    OwnedLanguageState state;
    plat::CopyTrunc(state.m_szLanguage, L"Hebrew");
    EXPECT_TRUE(env::LoadLanguageModules(state, noBitmaps.Path()));
}

TEST_F(LanguageTest, ThirtyTwoBitNamesAreParameters) {
    SetupFolder folder;
    folder.AddLibrary(SetupLibrary(L"English", L"x32"), L"testlang.dll");
    folder.AddLibrary(L"Bmprcx32.dll", L"testbmp.dll");

    OwnedLanguageState state;
    plat::CopyTrunc(state.m_szLanguage, L"English");
    EXPECT_FALSE(env::LoadLanguageModules(state, folder.Path()));  // x64 names: nothing there
    EXPECT_EQ(state.m_hLangDll, nullptr);

    ASSERT_TRUE(env::LoadLanguageModules(state, folder.Path(), L"x32", L"Bmprcx32.dll"));
    EXPECT_EQ(state.m_hBmpDll, GetModuleHandleW((folder.Path() + L"Bmprcx32.dll").c_str()));
    EXPECT_EQ(state.m_hLangDll, GetModuleHandleW((folder.Path() + SetupLibrary(L"English", L"x32")).c_str()));
}

// The host's construction and initialisation steps in order, on real files
// and product keys.
TEST_F(LanguageTest, ConstructionSequenceEndToEnd) {
    struct Row {
        const char* what;
        const wchar_t* storedB;  // nullptr: no product key; L"-": key without value
        std::vector<const wchar_t*> libraries;
        bool bitmaps;
        const wchar_t* language;
        BYTE locked;
        bool loaded;
        const wchar_t* suffix;
        size_t offered;
    } rows[] = {
        {"stored Japanese", L"Japanese", {L"English", L"Japanese"}, true, L"Japanese", 1, true, L"ja", 2},
        {"product key without Language", L"-", {L"English", L"Japanese"}, true, L"", 1, false, L"enus", 2},
        {"no library at all", nullptr, {}, true, L"English", 0, false, L"enus", 0},
        {"no bitmap library", nullptr, {L"English"}, false, L"English", 0, false, L"enus", 1},
        {"English", nullptr, {L"English", L"German"}, true, L"English", 0, true, L"enus", 2},
    };
    for (const Row& r : rows) {
        ProductKeys keys;
        if (r.storedB) keys.Set(kPrinterB, wcscmp(r.storedB, L"-") == 0 ? nullptr : r.storedB);
        SetupFolder folder;
        for (const wchar_t* lib : r.libraries) folder.AddLibrary(SetupLibrary(lib), L"testlang.dll");
        if (r.bitmaps) folder.AddLibrary(L"Bmprcx64.dll", L"testbmp.dll");

        OwnedLanguageState state;
        env::BuildOfferedLanguages(state, folder.Path());
        env::ChooseLanguage(state, L"", 1033);
        EXPECT_EQ(env::LoadLanguageModules(state, folder.Path()), r.loaded) << r.what;
        env::ApplyDisplayNames(state);
        env::GetLanguageSuffix(state);

        EXPECT_STREQ(state.m_szLanguage, r.language) << r.what;
        EXPECT_EQ(state.m_bLanguageLocked, r.locked) << r.what;
        EXPECT_STREQ(state.m_szLangSuffix, r.suffix) << r.what;
        EXPECT_EQ(state.m_Languages.size(), r.offered) << r.what;
        if (!state.m_Languages.empty()) {
            EXPECT_EQ(state.m_Languages[0].display, L"English") << r.what;
        }
        if (r.loaded) {
            EXPECT_EQ(plat::ResourceModule(), state.m_hLangDll) << r.what;
            EXPECT_EQ(env::MessageText(156), L"Test Heading Langtest K100-K200") << r.what;
        } else {
            EXPECT_EQ(state.m_hLangDll, nullptr) << r.what;
            EXPECT_EQ(plat::ResourceModule(), plat::ProgramModule()) << r.what;
        }
    }
}

// ---------------------------------------------------------------------------
// The uninstaller's variant

TEST_F(LanguageTest, UninstallerTakesTheFirstLibraryBesideItself) {
    struct Row {
        const char* what;
        std::vector<const wchar_t*> files;  // file names beside the program
        bool bitmaps;
        bool loaded;
        const wchar_t* loadedFile;
        const wchar_t* language;  // m_szLanguage afterwards (starts as "kept")
        int useBmp;
        bool bmpLoaded;
    } rows[] = {
        {"German before English", {L"Unsetup_enus.dll", L"Unsetup_de.dll"}, true, true, L"Unsetup_de.dll",
         L"German", 1, true},
        {"Arabic: no bitmap library", {L"Unsetup_ar.dll", L"Unsetup_de.dll"}, true, true, L"Unsetup_ar.dll",
         L"Arabic", 0, false},
        {"entry without ID keeps the language", {L"Unsetup_xx.dll"}, true, true, L"Unsetup_xx.dll", L"kept", 1,
         true},
        {"bitmap library missing: the language library stays", {L"Unsetup_enus.dll"}, false, true,
         L"Unsetup_enus.dll", L"English", 1, false},
        {"none beside it", {}, true, false, nullptr, L"kept", 0, false},
    };
    for (const Row& r : rows) {
        SetupFolder folder;
        for (const wchar_t* f : r.files) folder.AddLibrary(f, L"testlang.dll");
        // Libraries in the setup layout's subfolder are not looked at.
        folder.AddLibrary(L"Language\\x64\\Unsetup_ar.dll", L"testlang.dll");
        if (r.bitmaps) folder.AddLibrary(L"Bmprcx64.dll", L"testbmp.dll");

        OwnedLanguageState state;
        plat::CopyTrunc(state.m_szLanguage, L"kept");
        EXPECT_EQ(env::LoadUninstallLanguageModules(state, folder.Path()), r.loaded) << r.what;
        EXPECT_STREQ(state.m_szLanguage, r.language) << r.what;
        EXPECT_EQ(state.m_bUseBmpDll, r.useBmp) << r.what;
        EXPECT_EQ(state.m_hBmpDll != nullptr, r.bmpLoaded) << r.what;
        if (r.loaded) {
            EXPECT_EQ(state.m_hLangDll, GetModuleHandleW((folder.Path() + r.loadedFile).c_str())) << r.what;
            EXPECT_EQ(plat::ResourceModule(), state.m_hLangDll) << r.what;
            EXPECT_EQ(env::MessageText(156), L"Test Heading Langtest K100-K200") << r.what;
        } else {
            EXPECT_EQ(state.m_hLangDll, nullptr) << r.what;
            EXPECT_EQ(plat::ResourceModule(), plat::ProgramModule()) << r.what;
        }
    }
}

#include <gtest/gtest.h>

#include "app/setwise_app.h"

using app::ParseStartArguments;

TEST(StartArguments, CommandLineTable) {
    struct Row {
        std::vector<std::wstring> args;
        bool uninstallOnly;
        bool uninstall, wait;
        const wchar_t* language;
    } rows[] = {
        {{}, false, false, false, L""},
        {{L"-INSTALL", L"-languange", L"English"}, false, false, true, L"English"},
        {{L"-install", L"-Languange", L"Simplified_Chinese", L"extra"}, false, false, true, L"Simplified_Chinese"},
        {{L"-install", L"-Languange"}, false, false, true, L""},
        {{L"-install", L"English"}, false, false, true, L""},
        {{L"-install", L"English", L"-Languange"}, false, false, true, L""},
        {{L"-Languange", L"English"}, false, false, false, L""},
        {{L"-uninstall", L"-Languange", L"English"}, false, true, false, L""},
        {{L"-UnInstall"}, false, true, false, L""},
        {{L"/install"}, false, false, false, L""},
        // The 32-bit build is always the uninstaller; "-install" still waits.
        {{L"-install", L"-Languange", L"English"}, true, true, true, L""},
        {{}, true, true, false, L""},
    };
    for (const Row& r : rows) {
        app::StartOptions o = ParseStartArguments(r.args, r.uninstallOnly);
        std::wstring joined;
        for (const auto& a : r.args) joined += a + L" ";
        EXPECT_EQ(o.uninstall, r.uninstall) << joined.c_str();
        EXPECT_EQ(o.waitAfterInstall, r.wait) << joined.c_str();
        EXPECT_STREQ(o.szLanguage, r.language) << joined.c_str();
    }
}

TEST(StartArguments, LanguageIsCutToItsBuffer) {
    std::wstring longName(300, L'x');
    app::StartOptions o = ParseStartArguments({L"-install", L"-Languange", longName}, false);
    EXPECT_EQ(wcslen(o.szLanguage), 199u);
}

TEST(StartArguments, UninstallFolderMustBeThreeLevelsBelowSystem) {
    const std::wstring sys = L"C:\\windows\\system32";
    EXPECT_TRUE(app::IsInUninstallFolder(L"C:\\windows\\system32\\Tavrin\\K7800\\Uninst\\drvinst64.exe", sys));
    EXPECT_TRUE(app::IsInUninstallFolder(L"C:\\WINDOWS\\System32\\a\\b\\c\\u.exe", sys));
    EXPECT_FALSE(app::IsInUninstallFolder(L"C:\\windows\\system32\\a\\b\\u.exe", sys));
    EXPECT_FALSE(app::IsInUninstallFolder(L"C:\\windows\\system32\\a\\b\\c\\d\\u.exe", sys));
    EXPECT_FALSE(app::IsInUninstallFolder(L"C:\\Downloads\\drvinst64.exe", sys));
    EXPECT_FALSE(app::IsInUninstallFolder(L"u.exe", sys));
}

TEST(StartArguments, NamesPerMode) {
    EXPECT_STREQ(app::NamesForMode(false).windowClass, L"VELLUM SFP WNDCLASS_INS");
    EXPECT_STREQ(app::NamesForMode(false).mutex, L"Local\\SFP_VELLUM_FLAG_INS");
    EXPECT_STREQ(app::NamesForMode(true).windowClass, L"VELLUM SFP WNDCLASS_UNI");
    EXPECT_STREQ(app::NamesForMode(true).mutex, L"Local\\SFP_VELLUM_FLAG_UNI");
}

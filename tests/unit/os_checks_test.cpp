#include <gtest/gtest.h>

#include "env/os_checks.h"

namespace {
plat::OsVersion Ver(DWORD major, DWORD minor, BYTE type, int r2 = 0, bool extended = true,
                    DWORD platform = VER_PLATFORM_WIN32_NT) {
    plat::OsVersion v;
    v.basicOk = true;
    v.extendedOk = extended;
    v.platformId = platform;
    v.major = major;
    v.minor = minor;
    v.productType = extended ? type : 0;
    v.serverR2 = r2;
    return v;
}
const BYTE kWs = VER_NT_WORKSTATION, kSrv = VER_NT_SERVER;
}  // namespace

TEST(OsCode, VersionTable) {
    struct {
        plat::OsVersion v;
        unsigned code;
        const char* what;
    } rows[] = {
        {Ver(5, 1, kWs), 7, "XP"},
        {Ver(5, 2, kSrv), 8, "Server 2003"},
        {Ver(5, 2, kSrv, 0, false), 8, "5.2 without extended record"},
        {Ver(5, 2, kSrv, 1), 12, "Server 2003 R2"},
        {Ver(5, 2, kWs), 14, "XP x64"},
        {Ver(5, 0, kWs), 0, "2000"},
        {Ver(6, 0, kWs), 9, "Vista"},
        {Ver(6, 0, kSrv), 10, "Server 2008"},
        {Ver(6, 0, kWs, 0, false), 0, "6.0 without extended record"},
        {Ver(6, 1, kWs), 11, "7"},
        {Ver(6, 1, kSrv), 13, "2008 R2"},
        {Ver(6, 2, kWs), 15, "8"},
        {Ver(6, 2, VER_NT_DOMAIN_CONTROLLER), 16, "2012 (domain controller counts as server)"},
        {Ver(6, 3, kWs), 17, "8.1"},
        {Ver(6, 3, kSrv), 18, "2012 R2"},
        {Ver(6, 4, kWs), 0, "6.4"},
        {Ver(10, 0, kWs), 19, "10"},
        {Ver(10, 0, kSrv), 20, "Server 2016+"},
        {Ver(4, 10, kWs, 0, true, VER_PLATFORM_WIN32_WINDOWS), 0, "98"},
        {Ver(11, 0, kWs), 0, "unknown major"},
    };
    for (const auto& r : rows) EXPECT_EQ(env::OsCodeFromVersion(r.v), r.code) << r.what;
    plat::OsVersion none;
    EXPECT_EQ(env::OsCodeFromVersion(none), 0u);
}

TEST(OsCode, Native64BitArchitectures) {
    EXPECT_TRUE(env::IsNative64BitArchitecture(PROCESSOR_ARCHITECTURE_AMD64));
    EXPECT_TRUE(env::IsNative64BitArchitecture(PROCESSOR_ARCHITECTURE_IA64));
    EXPECT_FALSE(env::IsNative64BitArchitecture(PROCESSOR_ARCHITECTURE_INTEL));
    EXPECT_TRUE(env::IsNative64BitWindows());  // the test prefix is 64-bit
}

TEST(OsCode, RealSystemReportsWindows10) {
    // The test prefix is set to report Windows 10.
    bool read = false;
    EXPECT_EQ(env::GetOsCode(&read), 19u);
    EXPECT_TRUE(read);
}

#include "env/texts.h"
#include "tests/support/fake_system.h"

namespace {
std::wstring Text(UINT id) { return env::MessageText(id); }
}  // namespace

TEST(StartChecks, RefusalsShowTheirTextWithCaption156) {
    struct Row {
        const char* what;
        env::StartCheck which;
        bool admin;
        DWORD platform;
        bool native64;
        const wchar_t* language;
        bool pass;
        UINT text;
        bool rtl;
    } rows[] = {
        {"admin on NT", env::StartCheck::Install, true, VER_PLATFORM_WIN32_NT, true, L"English", true, 0, false},
        {"standard user", env::StartCheck::Install, false, VER_PLATFORM_WIN32_NT, true, L"English", false, 172, false},
        {"standard user, Arabic", env::StartCheck::Install, false, VER_PLATFORM_WIN32_NT, true, L"Arabic", false, 172,
         true},
        {"standard user, hebrew in lower case", env::StartCheck::Install, false, VER_PLATFORM_WIN32_NT, true,
         L"hebrew", false, 172, false},
        {"non-NT, Arabic: no right-to-left", env::StartCheck::Install, true, VER_PLATFORM_WIN32_WINDOWS, true,
         L"Arabic", false, 168, false},
        {"uninstall, standard user", env::StartCheck::Uninstall, false, VER_PLATFORM_WIN32_NT, true, L"Hebrew",
         false, 308, true},
        {"64-bit uninstaller on 64-bit", env::StartCheck::Uninstall, true, VER_PLATFORM_WIN32_NT, true, L"English",
         true, 0, false},
        {"32-bit uninstaller on 64-bit", env::StartCheck::Uninstall32, true, VER_PLATFORM_WIN32_NT, true, L"Hebrew",
         false, 301, true},
        {"32-bit uninstaller on 32-bit", env::StartCheck::Uninstall32, true, VER_PLATFORM_WIN32_NT, false,
         L"English", true, 0, false},
    };
    for (const Row& r : rows) {
        testsupport::FakeSystem sys;
        sys.admin = r.admin;
        sys.version.platformId = r.platform;
        EXPECT_EQ(env::CheckStartRights(r.which, r.language, nullptr, r.native64), r.pass) << r.what;
        if (r.pass) {
            EXPECT_TRUE(sys.boxes.empty()) << r.what;
            continue;
        }
        ASSERT_EQ(sys.boxes.size(), 1u) << r.what;
        EXPECT_EQ(sys.boxes[0].text, Text(r.text)) << r.what;
        EXPECT_EQ(sys.boxes[0].caption, Text(156)) << r.what;
        EXPECT_EQ(sys.boxes[0].style, r.rtl ? UINT(MB_RIGHT | MB_RTLREADING) : 0u) << r.what;
    }
}

TEST(StartChecks, DiskSpaceCountsWholeMegabytes) {
    struct Row {
        ULONGLONG bytes;
        bool queryOk;
        bool pass;
    } rows[] = {
        {200ULL << 20, true, true},
        {(200ULL << 20) - 1, true, false},
        {150ULL << 20, true, false},
        {0, false, true},  // a failing query counts as enough space
    };
    for (const Row& r : rows) {
        testsupport::FakeSystem sys;
        sys.freeBytes = r.bytes;
        sys.freeQueryOk = r.queryOk;
        EXPECT_EQ(env::CheckDiskSpace(L"Arabic", nullptr), r.pass) << r.bytes;
        if (!r.pass) {
            ASSERT_EQ(sys.boxes.size(), 1u);
            EXPECT_EQ(sys.boxes[0].text, L"C:" + Text(181));
            EXPECT_EQ(sys.boxes[0].style, UINT(MB_RIGHT | MB_RTLREADING));
        } else {
            EXPECT_TRUE(sys.boxes.empty());
        }
    }
}

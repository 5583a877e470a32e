// A System whose version, rights, disk space and sleeps a test chooses.
// Installed for the lifetime of the object.
#pragma once

#include <string>
#include <vector>

#include "platform/system.h"

namespace testsupport {

class FakeSystem : public plat::System {
public:
    FakeSystem() { plat::SetSystemForTest(this); }
    ~FakeSystem() override { plat::SetSystemForTest(nullptr); }

    plat::OsVersion version{true, true, VER_PLATFORM_WIN32_NT, 10, 0, VER_NT_WORKSTATION, 0};
    bool admin = true;
    bool freeQueryOk = true;
    ULONGLONG freeBytes = 10ULL << 30;
    std::vector<DWORD> sleeps;  // every Sleep asked for, in order
    bool realSleep = false;

    struct Box {
        std::wstring text, caption;
        UINT style;
        HWND owner;
    };
    std::vector<Box> boxes;    // every message box shown, in order
    int boxAnswer = IDOK;      // what each box answers

    plat::OsVersion GetVersion() override { return version; }
    bool GetBasicVersion(OSVERSIONINFOW& info) override {
        info = {};
        info.dwOSVersionInfoSize = sizeof(info);
        info.dwPlatformId = version.platformId;
        info.dwMajorVersion = version.major;
        info.dwMinorVersion = version.minor;
        return version.basicOk;
    }
    bool TokenHasAdministrators() override { return admin; }
    bool GetFreeBytes(const wchar_t*, ULONGLONG& bytes) override {
        bytes = freeBytes;
        return freeQueryOk;
    }
    void Sleep(DWORD ms) override {
        sleeps.push_back(ms);
        if (realSleep) ::Sleep(ms);
    }
    int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) override {
        boxes.push_back({text ? text : L"", caption ? caption : L"", style, owner});
        return boxAnswer;
    }
};

}  // namespace testsupport

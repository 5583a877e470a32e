// The application object: reads the command line, keeps one wizard per
// mode, registers the host's window class and runs the host modally.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace app {

// What the command line asks for.
struct StartOptions {
    bool uninstall = false;        // uninstall mode
    bool waitAfterInstall = false; // "-install" given: wait 200 ms first
    wchar_t szLanguage[200] = {};  // "-install -Languange NAME"
};

// Reads the arguments after the program name. `uninstallOnly` is the 32-bit
// build: the mode is then always uninstall and the language is not used.
StartOptions ParseStartArguments(const std::vector<std::wstring>& args, bool uninstallOnly);

// Removes the file name and the three innermost folders of `programPath`
// (four cuts at the last backslash) and compares the rest, ignoring case,
// with `systemDir`.
bool IsInUninstallFolder(const std::wstring& programPath, const std::wstring& systemDir);

struct ModeNames {
    const wchar_t* windowClass;
    const wchar_t* mutex;
};
ModeNames NamesForMode(bool uninstall);

class CSetwiseApp {
public:
    // Runs the whole start-up; returns the process exit code.
    int InitInstance();
};

// True in the 32-bit uninstall-only build.
constexpr bool kUninstallOnlyBuild =
#ifdef DRV_UNINSTALL_ONLY
    true;
#else
    false;
#endif

}  // namespace app

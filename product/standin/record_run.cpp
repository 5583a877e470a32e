// Stand-in for the helper programs the product delivers with its driver
// files (scan application, push-scan manager and monitor, status monitor,
// wireless configuration tool). It does nothing but note that it ran: one
// line "<program file name>|<command line>" appended to
// %TEMP%\TavrinDemoPrograms.log, then it ends.
#include <windows.h>

#include <string>

#include "product/standin/run_log.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t path[1024] = {};
    GetModuleFileNameW(nullptr, path, 1024);
    const wchar_t* name = wcsrchr(path, L'\\');
    standin::AppendRunLog(std::wstring(name ? name + 1 : path) + L"|" + GetCommandLineW());
    return 0;
}

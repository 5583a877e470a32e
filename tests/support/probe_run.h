// Runs a helper program of the tests and collects what it printed.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

struct ProbeRun {
    DWORD exitCode = 0xFFFFFFFF;  // stays so when the program did not start
    std::wstring output;          // standard output and error, read as UTF-8
};

// Starts `commandLine`, reads its output until it closes and waits at most
// `timeoutMs` for the end.
ProbeRun RunProbe(const std::wstring& commandLine, DWORD timeoutMs);

}  // namespace testsupport

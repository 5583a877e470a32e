#include "tests/support/probe_run.h"

#include "platform/text.h"

namespace testsupport {

ProbeRun RunProbe(const std::wstring& commandLine, DWORD timeoutMs) {
    ProbeRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring command = commandLine;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    if (started) {
        std::string bytes;
        char buf[512];
        DWORD got = 0;
        while (ReadFile(readEnd, buf, sizeof(buf), &got, nullptr) && got) bytes.append(buf, got);
        WaitForSingleObject(pi.hProcess, timeoutMs);
        GetExitCodeProcess(pi.hProcess, &run.exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        run.output = plat::Utf8ToWide(bytes);
    }
    CloseHandle(readEnd);
    return run;
}

}  // namespace testsupport

#include "uidrive.h"

namespace uidrive {

bool Process::Start(const std::wstring& commandLine, const std::wstring& folder) {
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::wstring cmd = commandLine;
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    m_process.reset(pi.hProcess);
    m_pid = pi.dwProcessId;
    return true;
}

bool Process::Wait(DWORD timeoutMs, DWORD* exitCode) {
    if (!m_process || WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(m_process.get(), exitCode);
    return true;
}

bool Process::Running() const { return m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT; }

void Process::Kill() {
    if (Running()) {
        TerminateProcess(m_process.get(), 99);
        WaitForSingleObject(m_process.get(), 5000);
    }
}

namespace {
struct Collect {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM lParam) {
    auto* c = reinterpret_cast<Collect*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if ((c->pid == 0 || owner == c->pid) && IsWindowVisible(hwnd)) c->found.push_back(hwnd);
    return TRUE;
}

struct FindId {
    int id;
    HWND found;
};

BOOL CALLBACK FindChild(HWND hwnd, LPARAM lParam) {
    auto* f = reinterpret_cast<FindId*>(lParam);
    if (GetDlgCtrlID(hwnd) == f->id && IsWindowVisible(hwnd)) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

std::vector<HWND> VisibleWindows(DWORD pid) {
    Collect c{pid, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&c));
    return c.found;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buf[4096] = {};
    // WM_GETTEXT works across processes for any window class.
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buf;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t buf[256] = {};
    GetClassNameW(hwnd, buf, 256);
    return buf;
}

HWND WaitForWindow(DWORD pid, const std::wstring& className, DWORD timeoutMs) {
    ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        for (HWND h : VisibleWindows(pid))
            if (className.empty() || ClassName(h) == className) return h;
        Sleep(50);
    } while (GetTickCount64() < end);
    return nullptr;
}

HWND FindControl(HWND top, int id) {
    FindId f{id, nullptr};
    EnumChildWindows(top, FindChild, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

HWND WaitForControl(HWND top, int id, DWORD timeoutMs) {
    ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        if (HWND h = FindControl(top, id)) return h;
        Sleep(50);
    } while (GetTickCount64() < end);
    return nullptr;
}

HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs) {
    ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        for (HWND h : VisibleWindows(pid))
            if (ClassName(h) == L"#32770" && GetDlgItem(h, 0xFFFF)) return h;
        Sleep(50);
    } while (GetTickCount64() < end);
    return nullptr;
}

std::wstring MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

bool Click(HWND top, int id) {
    HWND button = FindControl(top, id);
    if (!button) return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    return true;
}

bool AnswerMessageBox(HWND box, int buttonId) {
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0) != FALSE;
}

bool WatchUntilExit(Process& process, DWORD timeoutMs, std::vector<std::wstring>& windowClasses,
                    DWORD* exitCode) {
    ULONGLONG end = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < end) {
        for (HWND h : VisibleWindows(process.Id())) windowClasses.push_back(ClassName(h));
        if (process.Wait(5, exitCode)) return true;
    }
    return false;
}

}  // namespace uidrive

// Driving the program's windows from another process, as a user would:
// start it, find its windows and controls, click, read texts, answer
// message boxes, wait for it to end. Used by the end-to-end tests and by the
// unattended run of the demo.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/handles.h"

namespace uidrive {

class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts `commandLine` in `folder` (empty: the current folder).
    bool Start(const std::wstring& commandLine, const std::wstring& folder = L"");
    DWORD Id() const { return m_pid; }
    HANDLE Handle() const { return m_process.get(); }
    // Waits for the end; false on time-out. `exitCode` gets the exit code.
    bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool Running() const;
    void Kill();

private:
    plat::UniqueHandle m_process;
    DWORD m_pid = 0;
};

// Visible top-level windows of a process (all processes when pid is 0).
std::vector<HWND> VisibleWindows(DWORD pid);
// Waits for a visible top-level window of `className` (empty: any class)
// belonging to `pid` (0: any process). Null on time-out.
HWND WaitForWindow(DWORD pid, const std::wstring& className, DWORD timeoutMs);
// Waits for a visible window of a process whose class is a message box
// ("#32770" with the static text 0xFFFF). Null on time-out.
HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs);
// Waits until some visible descendant of `top` has control id `id`.
HWND WaitForControl(HWND top, int id, DWORD timeoutMs);
// Finds a visible descendant with control id `id`, or null.
HWND FindControl(HWND top, int id);

std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
// The text of a message box (control 0xFFFF).
std::wstring MessageBoxText(HWND box);

// Clicks a button as a user would: BM_CLICK posted to the button, which
// notifies its page.
bool Click(HWND top, int id);
// Presses a button of a message box.
bool AnswerMessageBox(HWND box, int buttonId);

// Records the visible windows a process shows until it ends; false when it
// did not end within `timeoutMs`.
bool WatchUntilExit(Process& process, DWORD timeoutMs, std::vector<std::wstring>& windowClasses,
                    DWORD* exitCode);

}  // namespace uidrive

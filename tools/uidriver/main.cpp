// Command-line front of the window driver, for scripts:
//   uidriver list                         visible top-level windows
//   uidriver wait CLASS SECONDS           waits for a window of that class
//   uidriver click CLASS ID               clicks control ID in that window
//   uidriver text CLASS ID                prints the text of control ID
//   uidriver answer SECONDS BUTTON        answers the next message box
//   uidriver close CLASS                  posts WM_CLOSE to that window
//   uidriver rect CLASS ID                prints control ID's screen rectangle
//                                         as "left top right bottom"
//   uidriver waitctl CLASS ID SECONDS     waits until control ID is visible
//   uidriver waitgone CLASS ID SECONDS    waits until control ID is hidden
//                                         or its window has gone
// Exit code 0 on success, 1 when the window or control was not found.
#include <cstdio>
#include <cwchar>
#include <string>

#include "uidrive.h"

using namespace uidrive;

namespace {
HWND Find(const wchar_t* cls) { return WaitForWindow(0, cls, 0); }
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring cmd = argv[1];
    if (cmd == L"list") {
        for (HWND h : VisibleWindows(0)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            wprintf(L"%p pid=%lu class=[%ls] text=[%ls]\n", static_cast<void*>(h), pid, ClassName(h).c_str(),
                    WindowText(h).c_str());
        }
        return 0;
    }
    if (cmd == L"wait" && argc >= 4) return WaitForWindow(0, argv[2], _wtoi(argv[3]) * 1000) ? 0 : 1;
    if (cmd == L"click" && argc >= 4) {
        HWND top = Find(argv[2]);
        return top && Click(top, _wtoi(argv[3])) ? 0 : 1;
    }
    if (cmd == L"text" && argc >= 4) {
        HWND top = Find(argv[2]);
        HWND ctl = top ? FindControl(top, _wtoi(argv[3])) : nullptr;
        if (!ctl) return 1;
        wprintf(L"%ls\n", WindowText(ctl).c_str());
        return 0;
    }
    if (cmd == L"answer" && argc >= 4) {
        HWND box = WaitForMessageBox(0, _wtoi(argv[2]) * 1000);
        if (!box) return 1;
        wprintf(L"%ls\n", MessageBoxText(box).c_str());
        return AnswerMessageBox(box, _wtoi(argv[3])) ? 0 : 1;
    }
    if (cmd == L"waitctl" && argc >= 5) {
        HWND top = WaitForWindow(0, argv[2], _wtoi(argv[4]) * 1000);
        return top && WaitForControl(top, _wtoi(argv[3]), _wtoi(argv[4]) * 1000) ? 0 : 1;
    }
    if (cmd == L"waitgone" && argc >= 5) {
        ULONGLONG end = GetTickCount64() + _wtoi(argv[4]) * 1000ULL;
        do {
            HWND top = Find(argv[2]);
            if (!top || !FindControl(top, _wtoi(argv[3]))) return 0;
            Sleep(100);
        } while (GetTickCount64() < end);
        return 1;
    }
    if (cmd == L"rect" && argc >= 4) {
        HWND top = Find(argv[2]);
        HWND ctl = top ? FindControl(top, _wtoi(argv[3])) : nullptr;
        RECT r = {};
        if (!ctl || !GetWindowRect(ctl, &r)) return 1;
        wprintf(L"%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (cmd == L"close" && argc >= 3) {
        HWND top = Find(argv[2]);
        return top && PostMessageW(top, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    return 2;
}

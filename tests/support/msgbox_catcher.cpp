#include "tests/support/msgbox_catcher.h"

namespace testsupport {

namespace {
thread_local MsgBoxCatcher* t_current = nullptr;
thread_local std::vector<CaughtBox>* t_boxes = nullptr;
thread_local int* t_answer = nullptr;

BOOL CALLBACK CollectButton(HWND child, LPARAM lParam) {
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Button") == 0 && IsWindowVisible(child))
        reinterpret_cast<CaughtBox*>(lParam)->buttons.push_back(GetDlgCtrlID(child));
    return TRUE;
}
}  // namespace

MsgBoxCatcher::MsgBoxCatcher(int answer) : m_answer(answer) {
    t_current = this;
    t_boxes = &m_boxes;
    t_answer = &m_answer;
    m_hook = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

MsgBoxCatcher::~MsgBoxCatcher() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    t_current = nullptr;
    t_boxes = nullptr;
    t_answer = nullptr;
}

LRESULT CALLBACK MsgBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && t_boxes) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t cls[32] = {};
        GetClassNameW(box, cls, 32);
        // Message boxes are dialogs with the static text control 0xFFFF.
        HWND textCtl = GetDlgItem(box, 0xFFFF);
        if (lstrcmpW(cls, L"#32770") == 0 && textCtl) {
            CaughtBox caught;
            wchar_t buf[2048] = {};
            GetWindowTextW(box, buf, 2048);
            caught.caption = buf;
            GetWindowTextW(textCtl, buf, 2048);
            caught.text = buf;
            LONG ex = GetWindowLongW(box, GWL_EXSTYLE);
            LONG textStyle = GetWindowLongW(textCtl, GWL_STYLE);
            caught.rtlReading = (ex & WS_EX_RTLREADING) != 0;
            caught.rightAligned = (ex & WS_EX_RIGHT) != 0 || (textStyle & SS_TYPEMASK) == SS_RIGHT;
            caught.owner = GetWindow(box, GW_OWNER);
            EnumChildWindows(box, CollectButton, reinterpret_cast<LPARAM>(&caught));
            t_boxes->push_back(caught);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(*t_answer, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace testsupport

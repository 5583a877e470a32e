// Answers the message boxes that code under test shows on this thread and
// records what they said: a WH_CBT hook catches each box as it is activated,
// reads its caption, text and right-to-left styles, and presses a button.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

struct CaughtBox {
    std::wstring caption;
    std::wstring text;
    bool rtlReading = false;  // WS_EX_RTLREADING (MB_RTLREADING)
    bool rightAligned = false;  // WS_EX_RIGHT or right-aligned text (MB_RIGHT)
    std::vector<int> buttons;   // ids of the box's push buttons
    HWND owner = nullptr;
};

class MsgBoxCatcher {
public:
    // `answer`: the button id to press (IDOK, IDCANCEL, IDYES, IDNO ...).
    explicit MsgBoxCatcher(int answer = IDOK);
    ~MsgBoxCatcher();
    MsgBoxCatcher(const MsgBoxCatcher&) = delete;
    MsgBoxCatcher& operator=(const MsgBoxCatcher&) = delete;

    void SetAnswer(int answer) { m_answer = answer; }
    const std::vector<CaughtBox>& Boxes() const { return m_boxes; }
    void Clear() { m_boxes.clear(); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hook = nullptr;
    int m_answer;
    std::vector<CaughtBox> m_boxes;
};

}  // namespace testsupport

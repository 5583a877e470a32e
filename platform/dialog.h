// A small dialog layer over Win32.
//
//   Dialog       a dialog created from a template of the current resource
//                module: run modally as a wizard host (DoModal, with our own
//                message loop so PreTranslateMessage works as hosts expect),
//                or created as a modeless child page inside a host (Create).
//   Control      a dialog control subclassed by a C++ object: it sees its own
//                messages first and the notifications its parent reflects to
//                it (WM_CTLCOLOR*, WM_DRAWITEM, WM_NOTIFY).
//
// Dispatch: a derived page overrides only the handlers it needs; every
// message that no typed handler takes reaches HandleMessage, which is where
// private messages (WM_APP-range and the like) are handled.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace plat {

class Control;

class Dialog {
public:
    explicit Dialog(UINT templateId, Dialog* parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally: owner disabled, own message loop, window
    // destroyed on return. Returns the value given to EndDialog, or -1 when
    // the template could not be created.
    INT_PTR DoModal();
    // Creates the dialog as a modeless window (a child page when the template
    // has WS_CHILD) owned by / inside `parent`.
    bool Create(HWND parent);
    // Ends a modal run (the window is destroyed once the loop returns);
    // destroys a modeless dialog.
    void EndDialog(INT_PTR result);
    void DestroyWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    // The Dialog object behind a window created by this layer, or null.
    static Dialog* FromHandle(HWND hwnd);

    // Offers `msg` to PreTranslateMessage of every dialog from the target
    // window up to its top-level window, innermost first. True when eaten.
    static bool PreTranslateChain(MSG* msg);

protected:
    // Overrides
    virtual BOOL OnInitDialog() { return TRUE; }
    // Button clicks, menu and accelerator commands. True when handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    // WM_NOTIFY not taken by a reflecting control. Set `handled` to use the
    // returned result.
    virtual LRESULT OnNotify(NMHDR* header, bool& handled);
    virtual void OnTimer(UINT_PTR id) { (void)id; }
    // WM_ERASEBKGND: return true when the background was painted.
    virtual bool OnEraseBkgnd(HDC dc) { (void)dc; return false; }
    // WM_CTLCOLOR* not taken by a reflecting control; null = default colours.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlColorMsg);
    // Keyboard and mouse messages before dispatch. True eats the message.
    virtual bool PreTranslateMessage(MSG* msg) { (void)msg; return false; }
    // WM_CLOSE: modal dialogs cancel by default, modeless pages do nothing.
    virtual void OnClose();
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual void OnDestroy() {}
    // Every other message. Set `handled` to return `result` to the system.
    virtual INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

    // Registers a control to receive its reflected notifications.
    void AttachControl(Control& control, int id);

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

    UINT m_templateId;
    Dialog* m_parent;
    bool m_modal = false;
    bool m_ended = false;
    INT_PTR m_result = IDCANCEL;
};

class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Subclasses the window; the object must outlive it or Detach first.
    bool Attach(HWND hwnd);
    void Detach();
    HWND GetSafeHwnd() const { return m_hWnd; }

    static Control* FromHandle(HWND hwnd);

    // Reflected from the parent. Return true when handled.
    virtual bool OnReflectCtlColor(HDC dc, UINT ctlColorMsg, HBRUSH& brush) {
        (void)dc; (void)ctlColorMsg; (void)brush;
        return false;
    }
    virtual bool OnReflectDrawItem(DRAWITEMSTRUCT* item) { (void)item; return false; }
    virtual bool OnReflectNotify(NMHDR* header, LRESULT& result) {
        (void)header; (void)result;
        return false;
    }

protected:
    // Called once after subclassing.
    virtual void OnAttached() {}
    // Messages of the control itself; default is the original procedure.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR refData);
};

}  // namespace plat

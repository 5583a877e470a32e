#include "platform/dialog.h"

#include "platform/module.h"


namespace plat {

namespace {
const wchar_t kDialogProp[] = L"DrvSetup.Dialog";
const wchar_t kControlProp[] = L"DrvSetup.Control";

// The template comes from the resource module (a language library when one
// is loaded); the window belongs to the program, so the classes the program
// registered for itself (the hosts' window classes) are found.
HWND CreateFromTemplate(UINT id, HWND parent, DLGPROC proc, LPARAM param) {
    HINSTANCE res = ResourceModule();
    HRSRC found = FindResourceW(res, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL mem = found ? LoadResource(res, found) : nullptr;
    auto* tmpl = mem ? static_cast<LPCDLGTEMPLATEW>(LockResource(mem)) : nullptr;
    return tmpl ? CreateDialogIndirectParamW(ProgramModule(), tmpl, parent, proc, param) : nullptr;
}

bool IsCtlColor(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

// Messages whose dialog-procedure result is returned directly instead of
// through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg) {
    return IsCtlColor(msg) || msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM ||
           msg == WM_QUERYDRAGICON || msg == WM_INITDIALOG;
}
}  // namespace

// --- Dialog -----------------------------------------------------------------

Dialog::Dialog(UINT templateId, Dialog* parent) : m_templateId(templateId), m_parent(parent) {}

Dialog::~Dialog() {
    if (m_hWnd) {
        RemovePropW(m_hWnd, kDialogProp);
        HWND hwnd = m_hWnd;
        m_hWnd = nullptr;
        ::DestroyWindow(hwnd);
    }
}

Dialog* Dialog::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Dialog*>(GetPropW(hwnd, kDialogProp)) : nullptr;
}

INT_PTR Dialog::DoModal() {
    HWND owner = m_parent ? m_parent->m_hWnd : nullptr;
    m_modal = true;
    m_ended = false;
    m_result = IDCANCEL;
    HWND hwnd = CreateFromTemplate(m_templateId, owner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        m_modal = false;
        return -1;
    }
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    if (!m_ended && !IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_SHOWNORMAL);

    MSG msg;
    while (!m_ended) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (PreTranslateChain(&msg)) continue;
        if (m_hWnd && (msg.hwnd == m_hWnd || IsChild(m_hWnd, msg.hwnd)) && IsDialogMessageW(m_hWnd, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    if (disableOwner) EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ShowWindow(m_hWnd, SW_HIDE);
        if (owner) SetActiveWindow(owner);
        ::DestroyWindow(m_hWnd);
    }
    m_modal = false;
    return m_result;
}

bool Dialog::Create(HWND parent) {
    m_modal = false;
    HWND hwnd = CreateFromTemplate(m_templateId, parent, DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
    m_result = result;
    if (m_modal) {
        m_ended = true;
        // Wake the loop in case nothing else is queued.
        if (m_hWnd) PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else {
        DestroyWindow();
    }
}

void Dialog::DestroyWindow() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

bool Dialog::PreTranslateChain(MSG* msg) {
    for (HWND h = msg->hwnd; h; h = GetParent(h)) {
        if (Dialog* d = FromHandle(h))
            if (d->PreTranslateMessage(msg)) return true;
        if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

bool Dialog::OnCommand(WORD id, WORD code, HWND control) {
    (void)code;
    (void)control;
    // Only a modal dialog ends on OK/Cancel; pages ignore them.
    if (!m_modal) return id == IDOK || id == IDCANCEL;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

LRESULT Dialog::OnNotify(NMHDR* header, bool& handled) {
    (void)header;
    handled = false;
    return 0;
}

HBRUSH Dialog::OnCtlColor(HDC dc, HWND control, UINT ctlColorMsg) {
    (void)dc;
    (void)control;
    (void)ctlColorMsg;
    return nullptr;
}

void Dialog::OnClose() {
    if (m_modal) OnCancel();
}

INT_PTR Dialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    (void)msg;
    (void)wParam;
    (void)lParam;
    handled = false;
    return 0;
}

void Dialog::AttachControl(Control& control, int id) { control.Attach(GetDlgItem(id)); }

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->m_hWnd = hwnd;
        SetPropW(hwnd, kDialogProp, self);
    } else {
        self = FromHandle(hwnd);
    }
    if (!self) return FALSE;

    bool handled = false;
    INT_PTR result = self->Dispatch(msg, wParam, lParam, handled);

    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kDialogProp);
        self->m_hWnd = nullptr;
    }
    if (!handled) return FALSE;
    if (ReturnsDirectly(msg)) return result;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT r = 0;
        if (Control* c = Control::FromHandle(header->hwndFrom))
            if (c->OnReflectNotify(header, r)) return r;
        bool mine = false;
        r = OnNotify(header, mine);
        if (mine) return r;
        break;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (Control* c = Control::FromHandle(item->hwndItem))
            if (c->OnReflectDrawItem(item)) return TRUE;
        break;
    }
    case WM_ERASEBKGND:
        if (OnEraseBkgnd(reinterpret_cast<HDC>(wParam))) return TRUE;
        break;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        break;
    default:
        if (IsCtlColor(msg)) {
            HBRUSH brush = nullptr;
            HWND control = reinterpret_cast<HWND>(lParam);
            if (Control* c = Control::FromHandle(control))
                if (c->OnReflectCtlColor(reinterpret_cast<HDC>(wParam), msg, brush))
                    return reinterpret_cast<INT_PTR>(brush);
            brush = OnCtlColor(reinterpret_cast<HDC>(wParam), control, msg);
            if (brush) return reinterpret_cast<INT_PTR>(brush);
            break;
        }
        {
            bool mine = false;
            INT_PTR r = HandleMessage(msg, wParam, lParam, mine);
            if (mine) return r;
        }
        break;
    }
    handled = false;
    return 0;
}

// --- Control ----------------------------------------------------------------

Control::~Control() { Detach(); }

Control* Control::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Control*>(GetPropW(hwnd, kControlProp)) : nullptr;
}

bool Control::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd) return false;
    if (!SetWindowSubclass(hwnd, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this))) return false;
    m_hWnd = hwnd;
    SetPropW(hwnd, kControlProp, this);
    OnAttached();
    return true;
}

void Control::Detach() {
    if (!m_hWnd) return;
    RemoveWindowSubclass(m_hWnd, SubclassProc, 1);
    RemovePropW(m_hWnd, kControlProp);
    m_hWnd = nullptr;
}

LRESULT Control::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) { return Default(msg, wParam, lParam); }

LRESULT Control::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR refData) {
    auto* self = reinterpret_cast<Control*>(refData);
    if (msg == WM_NCDESTROY) {
        self->Detach();
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    return self->WindowProc(msg, wParam, lParam);
}

}  // namespace plat

#include "ui/skin_button.h"

#include <algorithm>
#include <string>

#include "ui/skin.h"

namespace {
std::wstring WindowText(HWND wnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(wnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void DrawCaption(HDC dc, const std::wstring& text, RECT rc, COLORREF colour) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void FillFace(HDC dc, const RECT& rc) { FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE)); }
}  // namespace

bool CxSkinButton::SetSkin(HMODULE bmpDll, bool useBmpDll, UINT normalId, UINT pressedId, UINT hoverId,
                           UINT disabledId, UINT focusId, int drawMode, bool border, int focusMargin) {
    auto load = [&](UINT id) { return plat::GdiObject(id ? ui::LoadSkinBitmap(id, bmpDll, useBmpDll) : nullptr); };
    m_bmpNormal = load(normalId);
    m_bmpPressed = load(pressedId);
    m_bmpHover = load(hoverId);
    m_bmpDisabled = load(disabledId);
    m_bmpFocus = load(focusId);
    m_nDrawMode = drawMode;
    m_bBorder = border;
    m_nFocusMargin = focusMargin;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
    return static_cast<bool>(m_bmpNormal);
}

void CxSkinButton::OnAttached() {
    const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    switch (style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
        m_nKind = kCheckBox;
        break;
    case BS_AUTORADIOBUTTON:
        m_nKind = kRadio;
        break;
    default:
        m_nKind = kPush;
        break;
    }
    // An owner-drawn button keeps no check state of its own, so take it over.
    m_nCheck = static_cast<int>(Default(BM_GETCHECK, 0, 0)) & (BST_CHECKED | BST_INDETERMINATE);
    SetWindowLongW(m_hWnd, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CxSkinButton::DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& rc) const {
    BITMAP info = {};
    if (!GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return;
    plat::MemoryDc mem(CreateCompatibleDC(dc));
    if (!mem) return;
    plat::SelectGuard select(mem.get(), bitmap);
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    switch (m_nDrawMode) {
    case kStretched: {
        const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, rc.left, rc.top, width, height, mem.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SetStretchBltMode(dc, oldMode);
        break;
    }
    case kTiled:
        for (int y = 0; y < height; y += info.bmHeight)
            for (int x = 0; x < width; x += info.bmWidth)
                BitBlt(dc, rc.left + x, rc.top + y, std::min<int>(info.bmWidth, width - x),
                       std::min<int>(info.bmHeight, height - y), mem.get(), 0, 0, SRCCOPY);
        break;
    default:
        BitBlt(dc, rc.left, rc.top, std::min<int>(info.bmWidth, width), std::min<int>(info.bmHeight, height),
               mem.get(), 0, 0, SRCCOPY);
        break;
    }
}

bool CxSkinButton::OnReflectDrawItem(DRAWITEMSTRUCT* item) {
    if (!item || item->CtlType != ODT_BUTTON) return false;
    HDC dc = item->hDC;
    const RECT rc = item->rcItem;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    const bool pressed = (item->itemState & ODS_SELECTED) != 0 || (m_nKind != kPush && m_nCheck == BST_CHECKED);
    const bool focused = (item->itemState & ODS_FOCUS) != 0;

    RECT textRc = rc;
    textRc.left += m_nFocusMargin + 2;
    textRc.right -= m_nFocusMargin + 2;
    const std::wstring caption = WindowText(m_hWnd);
    const int oldBkMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldText = GetTextColor(dc);

    auto picture = [&](const plat::GdiObject& bitmap) {
        if (bitmap)
            DrawBitmap(dc, static_cast<HBITMAP>(bitmap.get()), rc);
        else
            FillFace(dc, rc);
    };

    if (disabled) {
        // Embossed: a highlight copy with the grey caption one pixel up-left.
        picture(m_bmpDisabled);
        DrawCaption(dc, caption, textRc, GetSysColor(COLOR_BTNHIGHLIGHT));
        OffsetRect(&textRc, -1, -1);
        DrawCaption(dc, caption, textRc, GetSysColor(COLOR_GRAYTEXT));
    } else if (pressed) {
        picture(m_bmpPressed);
        OffsetRect(&textRc, 1, 1);
        DrawCaption(dc, caption, textRc, m_crText);
    } else {
        if (!m_bmpNormal)
            FillFace(dc, rc);
        else if (m_bHover && m_bmpHover)
            DrawBitmap(dc, static_cast<HBITMAP>(m_bmpHover.get()), rc);
        else if (focused && m_bmpFocus)
            DrawBitmap(dc, static_cast<HBITMAP>(m_bmpFocus.get()), rc);
        else
            DrawBitmap(dc, static_cast<HBITMAP>(m_bmpNormal.get()), rc);
        if (m_nFocusMargin > 0 && focused) {
            RECT focusRc = rc;
            InflateRect(&focusRc, -m_nFocusMargin, -m_nFocusMargin);
            DrawFocusRect(dc, &focusRc);
        }
        DrawCaption(dc, caption, textRc, m_crText);
    }
    if (m_bBorder) {
        RECT edge = rc;
        DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }

    SetTextColor(dc, oldText);
    SetBkMode(dc, oldBkMode);
    return true;
}

void CxSkinButton::OnMouseMove(LPARAM lParam) {
    if (GetCapture() == m_hWnd) {
        // Pressed and held: the button looks pushed only while the cursor is on it.
        const POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT client = {};
        GetClientRect(m_hWnd, &client);
        const bool over = PtInRect(&client, pt) != FALSE;
        const bool pushed = (Default(BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
        if (over != pushed) {
            SendMessageW(m_hWnd, BM_SETSTATE, over ? TRUE : FALSE, 0);
            InvalidateRect(m_hWnd, nullptr, FALSE);
        }
    } else if (!m_bHover) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        TrackMouseEvent(&track);
        m_bHover = true;
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

LRESULT CxSkinButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MOUSEMOVE:
        ui::RelayToToolTip(m_hToolTip, m_hWnd, msg, wParam, lParam);
        OnMouseMove(lParam);
        break;
    case WM_MOUSELEAVE:
        m_bHover = false;
        InvalidateRect(m_hWnd, nullptr, FALSE);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const LRESULT result = Default(msg, wParam, lParam);
        m_bTracking = true;
        return result;
    }
    case WM_LBUTTONUP:
        // Only a release that completes a click (the button still pushed)
        // changes the check, as the system's own check boxes do.
        if (Default(BM_GETSTATE, 0, 0) & BST_PUSHED) {
            if (m_nKind == kCheckBox)
                SendMessageW(m_hWnd, BM_SETCHECK, m_nCheck == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
            else if (m_nKind == kRadio)
                SendMessageW(m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
        }
        m_bTracking = false;
        break;
    case BM_GETCHECK:
        if (m_nKind != kPush) return m_nCheck;
        break;
    case BM_SETCHECK:
        if (m_nKind != kPush) {
            const int check = wParam == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
            if (check != m_nCheck) {
                m_nCheck = check;
                InvalidateRect(m_hWnd, nullptr, FALSE);
            }
            return 0;
        }
        break;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

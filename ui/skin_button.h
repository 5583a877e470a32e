// A push button (or check box / radio button) drawn from bitmaps: normal,
// pressed, hover and disabled pictures stretched over the button, with the
// caption on top. Attach it to a dialog's button; the dialog reflects
// WM_DRAWITEM to it.
#pragma once

#include <windows.h>

#include "platform/dialog.h"
#include "platform/handles.h"
#include "res/resource.h"

class CxSkinButton : public plat::Control {
public:
    // Button kinds (the plain button styles they stand for).
    enum Kind { kPush = 0, kCheckBox = 2, kRadio = 4 };
    // How a bitmap covers the button.
    enum DrawMode { kPlain = 0, kStretched = 1, kTiled = 2 };

    CxSkinButton() = default;
    ~CxSkinButton() override = default;

    // Loads the skin bitmaps (LoadSkinBitmap: from `bmpDll` when `useBmpDll`
    // is set, otherwise from the resource module) and repaints. An id of 0
    // leaves that picture out. True when the normal bitmap was loaded.
    bool SetSkin(HMODULE bmpDll, bool useBmpDll, UINT normalId = IDB_BUTTON_NORMAL,
                 UINT pressedId = IDB_BUTTON_PRESSED, UINT hoverId = IDB_BUTTON_HOVER,
                 UINT disabledId = IDB_BUTTON_DISABLED, UINT focusId = 0, int drawMode = kStretched,
                 bool border = false, int focusMargin = 0);

    int Kind() const { return m_nKind; }
    bool IsHovering() const { return m_bHover; }
    bool IsTracking() const { return m_bTracking; }

    bool OnReflectDrawItem(DRAWITEMSTRUCT* item) override;

    // Data members
    HWND m_hToolTip = nullptr;  // tooltip control; no window unless given one
    COLORREF m_crText = GetSysColor(COLOR_BTNTEXT);

protected:
    void OnAttached() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& rc) const;
    void OnMouseMove(LPARAM lParam);

    plat::GdiObject m_bmpNormal, m_bmpPressed, m_bmpHover, m_bmpDisabled, m_bmpFocus;
    int m_nKind = kPush;
    int m_nCheck = BST_UNCHECKED;  // check state of the check-box and radio kinds
    bool m_bHover = false;
    bool m_bTracking = false;
    bool m_bBorder = false;
    int m_nFocusMargin = 0;
    int m_nDrawMode = kStretched;
};

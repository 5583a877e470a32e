// A text label drawn without background so that the page picture shows
// through it. Attach it to a dialog's static control; the dialog reflects
// WM_CTLCOLORSTATIC to it.
#pragma once

#include <windows.h>

#include "platform/dialog.h"

class CStaticTrans : public plat::Control {
public:
    CStaticTrans() = default;
    ~CStaticTrans() override;

    // Data members
    HWND m_hToolTip = nullptr;          // tooltip control; no window unless given one
    HBRUSH m_hBrush = nullptr;          // brush of a solid background (none when transparent)
    COLORREF m_crText = 0;              // text colour
    COLORREF m_crBack = CLR_NONE;       // background colour; -1 = transparent

    // Reflected WM_CTLCOLOR*: transparent background, stock NULL_BRUSH.
    bool OnReflectCtlColor(HDC dc, UINT ctlColorMsg, HBRUSH& brush) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void ReleaseBrush();
};

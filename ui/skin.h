// The shared look of the wizard pages: pictures from the bitmap library (or
// from the language library for right-to-left languages) and the page
// background stretched over the whole client area.
#pragma once

#include <windows.h>

namespace ui {

// Loads bitmap `id`: from `bmpDll` when `useBmpDll` is set, otherwise from
// the current resource module (the language library, or the program itself).
// The caller owns the result (DeleteObject); null when missing.
HBITMAP LoadSkinBitmap(UINT id, HMODULE bmpDll, bool useBmpDll);

// WM_ERASEBKGND of every page: stretches the whole bitmap over the whole
// client rectangle of `wnd` (StretchBlt, SRCCOPY). True when painted.
bool PaintStretchedBackground(HWND wnd, HDC dc, HBITMAP bitmap);

// Passes a mouse message of `wnd` to `toolTip` (TTM_RELAYEVENT) when the
// tooltip control has a window; does nothing otherwise.
void RelayToToolTip(HWND toolTip, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace ui

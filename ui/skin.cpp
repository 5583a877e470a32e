#include "ui/skin.h"

#include <commctrl.h>

#include "platform/handles.h"
#include "platform/module.h"

namespace ui {

namespace {
HBITMAP LoadBitmapFrom(HMODULE module, UINT id) {
    // A DIB section keeps the library's 24-bit pixels as they are, whatever
    // the depth of the screen.
    return static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}
}  // namespace

HBITMAP LoadSkinBitmap(UINT id, HMODULE bmpDll, bool useBmpDll) {
    // A null module would make LoadImageW look among the system's own
    // bitmaps, so a missing bitmap library falls back to the resource module.
    if (useBmpDll && bmpDll) return LoadBitmapFrom(bmpDll, id);
    HMODULE current = plat::ResourceModule();
    if (HBITMAP bitmap = LoadBitmapFrom(current, id)) return bitmap;
    return current != plat::ProgramModule() ? LoadBitmapFrom(plat::ProgramModule(), id) : nullptr;
}

bool PaintStretchedBackground(HWND wnd, HDC dc, HBITMAP bitmap) {
    BITMAP info = {};
    if (!wnd || !dc || !bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return false;
    RECT client = {};
    GetClientRect(wnd, &client);

    plat::MemoryDc mem(CreateCompatibleDC(dc));
    if (!mem) return false;
    plat::SelectGuard select(mem.get(), bitmap);
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, client.right - client.left, client.bottom - client.top, mem.get(), 0, 0,
               info.bmWidth, info.bmHeight, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    return true;
}

void RelayToToolTip(HWND toolTip, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!toolTip || !IsWindow(toolTip)) return;
    const DWORD pos = GetMessagePos();
    MSG relay = {wnd, msg, wParam, lParam, static_cast<DWORD>(GetMessageTime()),
                 {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))}};
    SendMessageW(toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
}

}  // namespace ui

#include "ui/list_ctrl_link.h"

#include <shellapi.h>

#include "platform/text.h"

std::wstring CListCtrlLink::CellKey(int row, int column) {
    wchar_t buf[64] = {};
    DWORD_PTR args[2] = {static_cast<DWORD_PTR>(row), static_cast<DWORD_PTR>(column)};
    FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, L"%1!d! x %2!d!", 0, 0, buf,
                   64, reinterpret_cast<va_list*>(args));
    return buf;
}

void CListCtrlLink::InitLinkList() {
    if (!m_hWnd) return;
    const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    SetWindowLongW(m_hWnd, GWL_STYLE, (style & ~LVS_TYPEMASK) | LVS_REPORT);
    SendMessageW(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    SetFocus(m_hWnd);
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_hWnd, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));

    m_ptOrigin = {};
    SendMessageW(m_hWnd, LVM_GETITEMPOSITION, 0, reinterpret_cast<LPARAM>(&m_ptOrigin));
    m_hArrow = LoadCursorW(nullptr, IDC_ARROW);
    m_PlainProps.m_nUnderline = 0;
    m_PlainProps.m_crLink = 0;
    m_PlainProps.m_crVisited = 0;
    m_PlainProps.m_hCursor = m_hArrow;

    HFONT listFont = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (!listFont) listFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf = {};
    if (GetObjectW(listFont, sizeof(lf), &lf)) {
        lf.lfUnderline = static_cast<BYTE>(m_LinkProps.m_nUnderline ? TRUE : FALSE);
        m_fontLink.reset(CreateFontIndirectW(&lf));
        lf.lfUnderline = static_cast<BYTE>(m_PlainProps.m_nUnderline ? TRUE : FALSE);
        m_fontPlain.reset(CreateFontIndirectW(&lf));
    }
}

int CListCtrlLink::InsertLinkItem(int row, const wchar_t* text) {
    if (!m_hWnd) return -1;
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(text ? text : L"");
    const int index = static_cast<int>(SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return -1;
    auto record = std::make_unique<CLinkItem>();
    record->m_pProps = &m_PlainProps;
    m_Items[CellKey(index, 0)] = std::move(record);
    return index;
}

bool CListCtrlLink::SetLinkItemText(int row, int column, const wchar_t* text, const wchar_t* target) {
    if (!m_hWnd) return false;
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text ? text : L"");
    if (!SendMessageW(m_hWnd, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item))) return false;
    auto record = std::make_unique<CLinkItem>();
    if (target && *target) {
        record->m_strTarget = target;
        record->m_pProps = &m_LinkProps;
    } else {
        record->m_pProps = &m_PlainProps;
    }
    m_Items[CellKey(row, column)] = std::move(record);
    return true;
}

CLinkItem* CListCtrlLink::FindLinkItem(int row, int column) const {
    auto it = m_Items.find(CellKey(row, column));
    return it == m_Items.end() ? nullptr : it->second.get();
}

CLinkItem* CListCtrlLink::HitTestLink(int row) const {
    if (!m_hWnd) return nullptr;
    POINT cursor = {};
    RECT window = {};
    if (!GetCursorPos(&cursor) || !GetWindowRect(m_hWnd, &window) || !PtInRect(&window, cursor)) return nullptr;
    POINT item0 = {};
    SendMessageW(m_hWnd, LVM_GETITEMPOSITION, 0, reinterpret_cast<LPARAM>(&item0));
    int right = item0.x + window.left - m_ptOrigin.x;
    for (int column = 0; column < kMaxHitColumns; ++column) {
        right += static_cast<int>(SendMessageW(m_hWnd, LVM_GETCOLUMNWIDTH, column, 0));
        if (right > cursor.x) return FindLinkItem(row, column);
    }
    return nullptr;
}

LRESULT CListCtrlLink::CustomDrawLinks(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const CLinkItem* cell = FindLinkItem(static_cast<int>(draw->nmcd.dwItemSpec), draw->iSubItem);
        if (!cell || !cell->m_pProps) return CDRF_DODEFAULT;
        draw->clrText = cell->m_bVisited ? cell->m_pProps->m_crVisited : cell->m_pProps->m_crLink;
        HGDIOBJ font = cell->m_pProps == &m_LinkProps ? m_fontLink.get() : m_fontPlain.get();
        if (font) SelectObject(draw->nmcd.hdc, font);
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void CListCtrlLink::OpenLink(const std::wstring& target) {
    ShellExecuteW(m_hWnd, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CListCtrlLink::OnItemActivate(const NMITEMACTIVATE* activate) {
    // A keyboard activation carries no click position (and the list may send
    // it with a bare NMHDR).
    if (m_bKeyActivation) return;
    // A mere state report. A click on an item comes with LVIF_STATE as well,
    // but its new state holds LVIS_ACTIVATING.
    if (activate->uChanged == LVIF_STATE && !(activate->uNewState & LVIS_ACTIVATING)) return;

    // The row whose rectangle holds the click, looking from the top visible item.
    const int count = static_cast<int>(SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
    int row = -1;
    for (int i = static_cast<int>(SendMessageW(m_hWnd, LVM_GETTOPINDEX, 0, 0)); i >= 0 && i < count; ++i) {
        RECT rc = {};
        rc.left = LVIR_BOUNDS;
        if (!SendMessageW(m_hWnd, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rc))) continue;
        if (activate->ptAction.y >= rc.top && activate->ptAction.y < rc.bottom) {
            row = i;
            break;
        }
    }
    if (row < 0) return;

    CLinkItem* cell = FindLinkItem(row, activate->iSubItem);
    if (!cell || cell->m_strTarget.empty()) return;
    plat::TraceF(L"open link %s", cell->m_strTarget.c_str());
    OpenLink(cell->m_strTarget);
    cell->m_bVisited = 1;
    SendMessageW(m_hWnd, LVM_REDRAWITEMS, row, row);
}

bool CListCtrlLink::OnReflectNotify(NMHDR* header, LRESULT& result) {
    if (header->code != LVN_ITEMACTIVATE) return false;
    OnItemActivate(reinterpret_cast<const NMITEMACTIVATE*>(header));
    result = 1;
    return true;
}

LRESULT CListCtrlLink::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The records belong to the items: a rebuilt list starts unvisited.
    if (msg == LVM_DELETEALLITEMS) m_Items.clear();
    if (msg == WM_KEYDOWN || msg == WM_CHAR) {
        m_bKeyActivation = true;
        const LRESULT result = Default(msg, wParam, lParam);
        m_bKeyActivation = false;
        return result;
    }
    return Default(msg, wParam, lParam);
}

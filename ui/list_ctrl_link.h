// A report-view list whose cells can be web links: a link cell shows its
// text underlined in the link colour (purple once visited) and a click on it
// opens the link target in the default browser.
//
// The owner draws the links in its NM_CUSTOMDRAW handler through
// CustomDrawLinks; the list handles the click (reflected LVN_ITEMACTIVATE).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/dialog.h"
#include "platform/handles.h"

// The look of a cell.
class CLinkProperties {
public:
    int m_nUnderline = 1;
    COLORREF m_crLink = 0xFF0000;     // blue
    COLORREF m_crVisited = 0x800080;  // purple
    HCURSOR m_hCursor = LoadCursorW(nullptr, IDC_HAND);
};

// One cell's link state.
class CLinkItem {
public:
    int m_bVisited = 0;
    std::wstring m_strTarget;                // empty for a plain cell
    CLinkProperties* m_pProps = nullptr;     // link look or plain look
};

class CListCtrlLink : public plat::Control {
public:
    // Columns HitTestLink looks at, at most.
    static constexpr int kMaxHitColumns = 100;

    CListCtrlLink() = default;
    ~CListCtrlLink() override = default;

    // Report view with check boxes, full-row selection and one-click
    // activation; focus to the list, item 0 selected and focused; plain look
    // and the two fonts. Call after Attach and after the columns exist.
    void InitLinkList();
    // Inserts an item with `text` in column 0 and a plain cell record. Returns
    // the new item's index, -1 on failure.
    int InsertLinkItem(int row, const wchar_t* text);
    // Sets a cell's text; a non-empty `target` makes it a link cell.
    bool SetLinkItemText(int row, int column, const wchar_t* text, const wchar_t* target);
    CLinkItem* FindLinkItem(int row, int column) const;
    // The cell of `row` under the mouse cursor, or null.
    CLinkItem* HitTestLink(int row) const;

    // NM_CUSTOMDRAW of the owner: asks for item and sub-item notifications
    // and gives each cell with a record its font and text colour.
    LRESULT CustomDrawLinks(NMLVCUSTOMDRAW* draw);

    // The key of a cell in the record map: "<row> x <column>".
    static std::wstring CellKey(int row, int column);

    bool OnReflectNotify(NMHDR* header, LRESULT& result) override;

    HFONT LinkFont() const { return static_cast<HFONT>(m_fontLink.get()); }
    HFONT PlainFont() const { return static_cast<HFONT>(m_fontPlain.get()); }

    // Data members
    CLinkProperties m_LinkProps;
    CLinkProperties m_PlainProps;

protected:
    // Opens a link target (ShellExecuteW, default verb, SW_SHOWNORMAL).
    virtual void OpenLink(const std::wstring& target);
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnItemActivate(const NMITEMACTIVATE* activate);

    std::unordered_map<std::wstring, std::unique_ptr<CLinkItem>> m_Items;
    plat::GdiObject m_fontLink;   // the list's font, underlined
    plat::GdiObject m_fontPlain;  // the list's font, not underlined
    POINT m_ptOrigin = {};        // position of item 0 at set-up
    HCURSOR m_hArrow = nullptr;
    bool m_bKeyActivation = false;  // inside the list's own keyboard handling
};

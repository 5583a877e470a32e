#include "ui/static_trans.h"

#include "ui/skin.h"

CStaticTrans::~CStaticTrans() { ReleaseBrush(); }

void CStaticTrans::ReleaseBrush() {
    if (m_hBrush) {
        DeleteObject(m_hBrush);
        m_hBrush = nullptr;
    }
}

bool CStaticTrans::OnReflectCtlColor(HDC dc, UINT ctlColorMsg, HBRUSH& brush) {
    (void)ctlColorMsg;
    ReleaseBrush();
    SetTextColor(dc, m_crText);
    if (m_crBack == CLR_NONE) {
        // Nothing behind the text: the page's picture shows through.
        SetBkMode(dc, TRANSPARENT);
        brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    } else {
        m_hBrush = CreateSolidBrush(m_crBack);
        SetBkColor(dc, m_crBack);
        brush = m_hBrush;
    }
    return true;
}

LRESULT CStaticTrans::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEMOVE) ui::RelayToToolTip(m_hToolTip, m_hWnd, msg, wParam, lParam);
    return Default(msg, wParam, lParam);
}

// The skinned controls in real windows on the test display: page background,
// transparent label, bitmap buttons and the link list, with the pictures of
// the bitmap library built beside the tests.
#include <windows.h>
#include <commctrl.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/handles.h"
#include "platform/module.h"
#include "res/resource.h"
#include "ui/list_ctrl_link.h"
#include "ui/skin.h"
#include "ui/skin_button.h"
#include "ui/static_trans.h"
#include "unit/skin_test_ids.h"

namespace {

// --- pixels -------------------------------------------------------------------

struct Image {
    int w = 0, h = 0;
    std::vector<COLORREF> px;
    COLORREF at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

// A 32-bit top-down DIB selected into a memory DC.
class DibCanvas {
public:
    DibCanvas(int w, int h) : m_w(w), m_h(h) {
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        m_dc = CreateCompatibleDC(nullptr);
        m_bmp = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bmp);
    }
    ~DibCanvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bmp);
        DeleteDC(m_dc);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC dc() const { return m_dc; }
    DWORD* bits() const { return static_cast<DWORD*>(m_bits); }
    Image Read() const {
        GdiFlush();
        Image img{m_w, m_h, {}};
        img.px.reserve(static_cast<size_t>(m_w) * m_h);
        for (int i = 0; i < m_w * m_h; ++i) {
            const DWORD v = bits()[i];
            img.px.push_back(RGB((v >> 16) & 255, (v >> 8) & 255, v & 255));
        }
        return img;
    }

private:
    int m_w, m_h;
    HDC m_dc = nullptr;
    HBITMAP m_bmp = nullptr;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
};

SIZE ClientSize(HWND wnd) {
    RECT rc = {};
    GetClientRect(wnd, &rc);
    return {rc.right, rc.bottom};
}

// `bitmap` stretched to w x h the way a picture is stretched over a control.
Image Stretched(HBITMAP bitmap, int w, int h) {
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    DibCanvas canvas(w, h);
    plat::MemoryDc mem(CreateCompatibleDC(canvas.dc()));
    plat::SelectGuard select(mem.get(), bitmap);
    SetStretchBltMode(canvas.dc(), COLORONCOLOR);
    StretchBlt(canvas.dc(), 0, 0, w, h, mem.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    return canvas.Read();
}

// What the window shows on the screen (its client area).
Image FromScreen(HWND wnd) {
    const SIZE size = ClientSize(wnd);
    DibCanvas canvas(size.cx, size.cy);
    HDC dc = GetDC(wnd);
    BitBlt(canvas.dc(), 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
    ReleaseDC(wnd, dc);
    return canvas.Read();
}

// What the control paints into a memory DC (WM_PRINTCLIENT).
Image Printed(HWND wnd) {
    const SIZE size = ClientSize(wnd);
    DibCanvas canvas(size.cx, size.cy);
    SendMessageW(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    return canvas.Read();
}

void Pump(DWORD ms, const std::function<bool()>& done = nullptr) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done && done()) return;
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

// Shows a test page at the top-left corner of the screen without activating
// it: an inactive popup stays out of the X window manager's hands, so hiding
// it later does not wait for one.
void ShowAt(HWND wnd, int w, int h) {
    UINT flags = SWP_SHOWWINDOW | SWP_NOACTIVATE;
    if (w <= 0) flags |= SWP_NOSIZE;
    if (GetActiveWindow() == wnd) SetActiveWindow(nullptr);
    SetWindowPos(wnd, HWND_TOP, 0, 0, w, h, flags);
}

void Repaint(HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(50);
}

// --- the test page ---------------------------------------------------------------

class RecordingList : public CListCtrlLink {
public:
    std::vector<std::wstring> opened;

protected:
    void OpenLink(const std::wstring& target) override { opened.push_back(target); }
};

class SkinPage : public plat::Dialog {
public:
    explicit SkinPage(UINT id) : plat::Dialog(id) {}

    HBITMAP background = nullptr;
    CStaticTrans label;
    CxSkinButton button, buttonOff, check, radio;
    RecordingList list;
    std::vector<WORD> clicked;

protected:
    BOOL OnInitDialog() override {
        if (GetDlgItem(IDC_SKIN_LABEL)) {
            AttachControl(label, IDC_SKIN_LABEL);
            AttachControl(button, IDC_SKIN_BUTTON);
            AttachControl(buttonOff, IDC_SKIN_BUTTON_OFF);
            AttachControl(check, IDC_SKIN_CHECK);
            AttachControl(radio, IDC_SKIN_RADIO);
            AttachControl(list, IDC_SKIN_LIST);
        }
        return TRUE;
    }
    bool OnEraseBkgnd(HDC dc) override { return ui::PaintStretchedBackground(m_hWnd, dc, background); }
    bool OnCommand(WORD id, WORD code, HWND control) override {
        if (code == BN_CLICKED) clicked.push_back(id);
        return plat::Dialog::OnCommand(id, code, control);
    }
    LRESULT OnNotify(NMHDR* header, bool& handled) override {
        if (header->idFrom == IDC_SKIN_LIST && header->code == NM_CUSTOMDRAW) {
            handled = true;
            return list.CustomDrawLinks(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        }
        return plat::Dialog::OnNotify(header, handled);
    }
};

std::wstring BitmapLibraryPath() { return plat::ProgramFolder() + L"..\\Bmprcx64.dll"; }

class Skin : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        s_bmpDll = LoadLibraryW(BitmapLibraryPath().c_str());
    }
    static void TearDownTestSuite() {
        if (s_bmpDll) FreeLibrary(s_bmpDll);
        s_bmpDll = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(s_bmpDll, nullptr) << "bitmap library missing beside the tests";
        // Glyphs drawn without smoothing, so caption pixels carry exactly the
        // colours they are drawn in.
        m_font.reset(CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    }

    // Creates the page at the top-left corner of the screen, shown.
    void ShowPage(SkinPage& page, UINT background) {
        m_background.reset(ui::LoadSkinBitmap(background, s_bmpDll, true));
        page.background = static_cast<HBITMAP>(m_background.get());
        ASSERT_TRUE(page.Create(nullptr));
        HWND wnd = page.GetSafeHwnd();
        EnumChildWindows(
            wnd,
            [](HWND child, LPARAM font) {
                SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(m_font.get()));
        ShowAt(wnd, 0, 0);
        Repaint(wnd);
    }

    static HMODULE s_bmpDll;
    plat::GdiObject m_font;
    plat::GdiObject m_background;
};
HMODULE Skin::s_bmpDll = nullptr;

// --- bitmap library -----------------------------------------------------------------

TEST_F(Skin, BitmapLibraryCarriesEveryPictureAsDataFileAndAsLibrary) {
    const UINT ids[] = {IDB_ICON_WIRED,      IDB_ICON_USB,      IDB_ICON_WIRELESS,  IDB_BACKGROUND,
                        IDB_BACKGROUND_OPTIONS, IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_HOVER,
                        IDB_BUTTON_DISABLED, IDB_BACKGROUND_SMALL, IDB_ICON_ONEKEY_WIRELESS};
    for (DWORD flags : {DWORD{LOAD_LIBRARY_AS_DATAFILE}, DWORD{0}}) {
        plat::Library lib(LoadLibraryExW(BitmapLibraryPath().c_str(), nullptr, flags));
        ASSERT_TRUE(lib) << "flags " << flags << ", error " << GetLastError();
        for (UINT id : ids) {
            plat::GdiObject bmp(ui::LoadSkinBitmap(id, lib.get(), true));
            BITMAP info = {};
            ASSERT_TRUE(bmp && GetObjectW(bmp.get(), sizeof(info), &info)) << "bitmap " << id << ", flags " << flags;
            EXPECT_EQ(info.bmBitsPixel, 24) << "bitmap " << id;
        }
    }
}

TEST_F(Skin, PicturesComeFromTheBitmapLibraryOnlyWhenItIsInUse) {
    // The test program carries no pictures: it stands for a language library
    // without them.
    struct Case {
        bool useBmpDll;
        HMODULE resourceModule;
        bool found;
    } cases[] = {
        {true, plat::ProgramModule(), true},   // bitmap library in use
        {false, plat::ProgramModule(), false}, // language library without pictures
        {false, s_bmpDll, true},               // right-to-left: the language library has them
    };
    for (const Case& c : cases) {
        plat::ResourceModuleScope scope(c.resourceModule);
        plat::GdiObject bmp(ui::LoadSkinBitmap(IDB_BACKGROUND, s_bmpDll, c.useBmpDll));
        EXPECT_EQ(static_cast<bool>(bmp), c.found) << "useBmpDll " << c.useBmpDll;
    }
    plat::GdiObject none(ui::LoadSkinBitmap(IDB_BACKGROUND, nullptr, true));
    EXPECT_FALSE(none) << "a missing bitmap library must not reach the system's own bitmaps";
}

// --- page background ------------------------------------------------------------------

TEST_F(Skin, PageLargerThanItsBitmapShowsItStretchedNotTiled) {
    // 5 x 3 pixels of distinct colours over a 500 x 300 page: each source
    // pixel must cover one 100 x 100 block.
    auto colour = [](int x, int y) { return RGB(40 * x + 20, 80 * y + 30, (x * 3 + y) * 15); };
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 5, -3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    plat::GdiObject source(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(source);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const COLORREF c = colour(x, y);
            static_cast<DWORD*>(bits)[y * 5 + x] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
        }

    SkinPage page(IDD_SKIN_EMPTY);
    ASSERT_TRUE(page.Create(nullptr));
    HWND wnd = page.GetSafeHwnd();
    page.background = static_cast<HBITMAP>(source.get());
    ShowAt(wnd, 500, 300);
    ASSERT_EQ(ClientSize(wnd).cx, 500);
    Repaint(wnd);
    const Image shown = FromScreen(wnd);

    for (int by = 0; by < 3; ++by)
        for (int bx = 0; bx < 5; ++bx)
            for (POINT p : {POINT{bx * 100 + 3, by * 100 + 3}, POINT{bx * 100 + 50, by * 100 + 50},
                            POINT{bx * 100 + 96, by * 100 + 96}})
                EXPECT_EQ(shown.at(p.x, p.y), colour(bx, by)) << "at " << p.x << "," << p.y;
    page.DestroyWindow();
}

TEST_F(Skin, PaintingWithoutBitmapLeavesTheDefaultErase) {
    SkinPage page(IDD_SKIN_EMPTY);
    ASSERT_TRUE(page.Create(nullptr));
    DibCanvas canvas(8, 8);
    EXPECT_FALSE(ui::PaintStretchedBackground(page.GetSafeHwnd(), canvas.dc(), nullptr));
    page.DestroyWindow();
}

// --- transparent label -------------------------------------------------------------------

TEST_F(Skin, TransparentLabelShowsThePagePictureAroundItsText) {
    SkinPage page(IDD_SKIN_TEST);
    ShowPage(page, IDB_BACKGROUND);
    HWND wnd = page.GetSafeHwnd();
    HWND label = page.GetDlgItem(IDC_SKIN_LABEL);

    DibCanvas canvas(4, 4);
    SetBkMode(canvas.dc(), OPAQUE);
    const LRESULT brush = SendMessageW(wnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.dc()),
                                       reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkMode(canvas.dc()), TRANSPARENT);

    // On the screen: every pixel of the label is the stretched page picture
    // or black text.
    const SIZE size = ClientSize(wnd);
    const Image expected = Stretched(page.background, size.cx, size.cy);
    const Image shown = FromScreen(wnd);
    RECT rc = {};
    GetWindowRect(label, &rc);
    MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&rc), 2);
    bool sawText = false, sawPicture = false;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
            const COLORREF c = shown.at(x, y);
            if (c == expected.at(x, y)) {
                sawPicture = true;
            } else {
                ASSERT_EQ(c, RGB(0, 0, 0)) << "at " << x << "," << y;
                sawText = true;
            }
        }
    EXPECT_TRUE(sawText);
    EXPECT_TRUE(sawPicture);
    page.DestroyWindow();
}

// --- skinned buttons ------------------------------------------------------------------------

// Pixels where the button differs from its stretched bitmap: the caption.
std::vector<POINT> CaptionPixels(const Image& shown, const Image& bitmap) {
    std::vector<POINT> pts;
    for (int y = 0; y < shown.h; ++y)
        for (int x = 0; x < shown.w; ++x)
            if (shown.at(x, y) != bitmap.at(x, y)) pts.push_back({x, y});
    return pts;
}

class SkinButtons : public Skin {
protected:
    void SetUp() override {
        Skin::SetUp();
        ShowPage(m_page, IDB_BACKGROUND);
        for (CxSkinButton* b : {&m_page.button, &m_page.buttonOff, &m_page.check, &m_page.radio})
            ASSERT_TRUE(b->SetSkin(s_bmpDll, true));
        Repaint(m_page.GetSafeHwnd());
    }
    void TearDown() override { m_page.DestroyWindow(); }

    Image Reference(UINT id, HWND button) {
        plat::GdiObject bmp(ui::LoadSkinBitmap(id, s_bmpDll, true));
        const SIZE size = ClientSize(button);
        return Stretched(static_cast<HBITMAP>(bmp.get()), size.cx, size.cy);
    }

    SkinPage m_page{IDD_SKIN_TEST};
};

TEST_F(SkinButtons, AttachingMakesTheButtonOwnerDrawnAndTakesItsKindFromTheStyle) {
    struct Case {
        int id;
        int kind;
    } cases[] = {{IDC_SKIN_BUTTON, CxSkinButton::kPush},
                 {IDC_SKIN_CHECK, CxSkinButton::kCheckBox},
                 {IDC_SKIN_RADIO, CxSkinButton::kRadio}};
    for (const Case& c : cases) {
        auto* b = static_cast<CxSkinButton*>(plat::Control::FromHandle(m_page.GetDlgItem(c.id)));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->Kind(), c.kind) << c.id;
        EXPECT_EQ(GetWindowLongW(b->GetSafeHwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << c.id;
    }
}

TEST_F(SkinButtons, EachStateDrawsItsBitmapAndPlacesTheCaption) {
    HWND normal = m_page.GetDlgItem(IDC_SKIN_BUTTON);
    HWND off = m_page.GetDlgItem(IDC_SKIN_BUTTON_OFF);
    ASSERT_EQ(ClientSize(normal).cx, ClientSize(off).cx);

    // Normal: bitmap 149 with the caption in the button text colour.
    const std::vector<POINT> caption = CaptionPixels(Printed(normal), Reference(IDB_BUTTON_NORMAL, normal));
    ASSERT_FALSE(caption.empty());
    const Image normalShown = Printed(normal);
    for (POINT p : caption) ASSERT_EQ(normalShown.at(p.x, p.y), GetSysColor(COLOR_BTNTEXT));

    // Pressed: bitmap 150, the caption one pixel right and down.
    SendMessageW(normal, BM_SETSTATE, TRUE, 0);
    const Image pressedShown = Printed(normal);
    const Image pressedRef = Reference(IDB_BUTTON_PRESSED, normal);
    std::vector<POINT> pressed = CaptionPixels(pressedShown, pressedRef);
    std::vector<POINT> shifted;
    for (POINT p : caption) shifted.push_back({p.x + 1, p.y + 1});
    EXPECT_EQ(pressed.size(), shifted.size());
    for (size_t i = 0; i < std::min(pressed.size(), shifted.size()); ++i)
        ASSERT_TRUE(pressed[i].x == shifted[i].x && pressed[i].y == shifted[i].y) << "pressed caption pixel " << i;
    SendMessageW(normal, BM_SETSTATE, FALSE, 0);

    // Disabled: bitmap 152 and an embossed caption: grey text where the
    // normal caption is, moved one pixel up and left, over a highlight copy in
    // the normal place.
    const Image offShown = Printed(off);
    const Image offRef = Reference(IDB_BUTTON_DISABLED, off);
    std::vector<bool> grey(static_cast<size_t>(offShown.w) * offShown.h), light(grey.size());
    for (POINT p : caption) {
        grey[static_cast<size_t>(p.y - 1) * offShown.w + p.x - 1] = true;
    }
    for (POINT p : caption)
        if (!grey[static_cast<size_t>(p.y) * offShown.w + p.x]) light[static_cast<size_t>(p.y) * offShown.w + p.x] = true;
    bool sawLight = false;
    for (int y = 0; y < offShown.h; ++y)
        for (int x = 0; x < offShown.w; ++x) {
            const size_t i = static_cast<size_t>(y) * offShown.w + x;
            const COLORREF c = offShown.at(x, y);
            if (grey[i]) {
                ASSERT_EQ(c, GetSysColor(COLOR_GRAYTEXT)) << "at " << x << "," << y;
            } else if (light[i]) {
                ASSERT_EQ(c, GetSysColor(COLOR_BTNHIGHLIGHT)) << "at " << x << "," << y;
                sawLight = true;
            } else {
                ASSERT_EQ(c, offRef.at(x, y)) << "bitmap 152 expected at " << x << "," << y;
            }
        }
    EXPECT_TRUE(sawLight);
}

TEST_F(SkinButtons, HoverShowsTheHoverBitmapUntilTheMouseLeaves) {
    CxSkinButton& b = m_page.button;
    HWND wnd = b.GetSafeHwnd();
    const Image normalRef = Reference(IDB_BUTTON_NORMAL, wnd);
    const Image hoverRef = Reference(IDB_BUTTON_HOVER, wnd);
    const std::vector<POINT> caption = CaptionPixels(Printed(wnd), normalRef);
    auto showsBitmap = [&](const Image& ref) {
        const Image shown = Printed(wnd);
        std::vector<bool> text(static_cast<size_t>(shown.w) * shown.h);
        for (POINT p : caption) text[static_cast<size_t>(p.y) * shown.w + p.x] = true;
        for (int y = 0; y < shown.h; ++y)
            for (int x = 0; x < shown.w; ++x)
                if (!text[static_cast<size_t>(y) * shown.w + x] && shown.at(x, y) != ref.at(x, y)) return false;
        return true;
    };

    RECT rc = {};
    GetWindowRect(wnd, &rc);
    ASSERT_TRUE(SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
    Pump(50);
    const SIZE size = ClientSize(wnd);
    SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(size.cx / 2, size.cy / 2));
    EXPECT_TRUE(b.IsHovering());
    TRACKMOUSEEVENT query = {sizeof(query), TME_QUERY, nullptr, 0};
    ASSERT_TRUE(TrackMouseEvent(&query));
    EXPECT_EQ(query.hwndTrack, wnd);
    EXPECT_TRUE(query.dwFlags & TME_LEAVE);
    EXPECT_TRUE(showsBitmap(hoverRef));

    ASSERT_TRUE(SetCursorPos(rc.right + 300, rc.bottom + 300));
    Pump(3000, [&] { return !b.IsHovering(); });
    EXPECT_FALSE(b.IsHovering()) << "no WM_MOUSELEAVE";
    EXPECT_TRUE(showsBitmap(normalRef));
}

TEST_F(SkinButtons, PushedStateFollowsTheCursorWhileCaptured) {
    CxSkinButton& b = m_page.button;
    HWND wnd = b.GetSafeHwnd();
    const SIZE size = ClientSize(wnd);
    const LPARAM inside = MAKELPARAM(size.cx / 2, size.cy / 2);
    const LPARAM outside = MAKELPARAM(size.cx + 20, size.cy / 2);
    auto pushed = [&] { return (SendMessageW(wnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; };

    SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    EXPECT_EQ(GetCapture(), wnd);
    EXPECT_TRUE(b.IsTracking());
    EXPECT_TRUE(pushed());
    SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, outside);
    EXPECT_FALSE(pushed());
    SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, inside);
    EXPECT_TRUE(pushed());
    SendMessageW(wnd, WM_LBUTTONUP, 0, inside);
    EXPECT_FALSE(b.IsTracking());
    EXPECT_FALSE(pushed());
    EXPECT_THAT(m_page.clicked, testing::ElementsAre(IDC_SKIN_BUTTON));
}

TEST_F(SkinButtons, CheckBoxTogglesAndRadioSetsOnAClick) {
    struct Case {
        int id;
        bool releaseInside;
        int afterFirst, afterSecond;
    } cases[] = {
        {IDC_SKIN_CHECK, true, BST_CHECKED, BST_UNCHECKED},
        {IDC_SKIN_RADIO, true, BST_CHECKED, BST_CHECKED},
        {IDC_SKIN_CHECK, false, BST_UNCHECKED, BST_UNCHECKED},  // released off the button: no click
    };
    for (const Case& c : cases) {
        HWND wnd = m_page.GetDlgItem(c.id);
        SendMessageW(wnd, BM_SETCHECK, BST_UNCHECKED, 0);
        const SIZE size = ClientSize(wnd);
        const LPARAM inside = MAKELPARAM(size.cx / 2, size.cy / 2);
        const LPARAM release = c.releaseInside ? inside : MAKELPARAM(size.cx + 20, size.cy + 20);
        int after[2] = {};
        for (int& state : after) {
            SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, inside);
            if (!c.releaseInside) SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, release);
            SendMessageW(wnd, WM_LBUTTONUP, 0, release);
            state = static_cast<int>(SendMessageW(wnd, BM_GETCHECK, 0, 0));
        }
        EXPECT_EQ(after[0], c.afterFirst) << c.id << (c.releaseInside ? "" : " released outside");
        EXPECT_EQ(after[1], c.afterSecond) << c.id << (c.releaseInside ? "" : " released outside");
    }
}

// --- link list ---------------------------------------------------------------------------

class LinkList : public Skin {
protected:
    void SetUp() override {
        Skin::SetUp();
        ShowPage(m_page, IDB_BACKGROUND_SMALL);
        m_list = m_page.GetDlgItem(IDC_SKIN_LIST);
        const wchar_t* headers[] = {L"Name", L"Address", L"Host"};
        const int widths[] = {170, 90, 95};
        for (int i = 0; i < 3; ++i) AddColumn(i, headers[i], widths[i]);
        m_page.list.InitLinkList();
        // Row 0: a link address; row 1: an IPv6 address as plain text.
        m_page.list.InsertLinkItem(0, L"Printer A");
        m_page.list.SetLinkItemText(0, 1, L"10.0.0.7", L"http://10.0.0.7");
        m_page.list.SetLinkItemText(0, 2, L"printer-a", L"");
        m_page.list.InsertLinkItem(1, L"Printer B");
        m_page.list.SetLinkItemText(1, 1, L"fe80::1", L"");
        m_page.list.SetLinkItemText(1, 2, L"printer-b", L"");
        Unselect();
    }
    void TearDown() override { m_page.DestroyWindow(); }

    void AddColumn(int index, const wchar_t* text, int width) {
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = const_cast<wchar_t*>(text);
        col.cx = width;
        SendMessageW(m_list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&col));
    }
    void Unselect() {
        LVITEMW state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
        SetFocus(m_page.GetSafeHwnd());
        Repaint(m_page.GetSafeHwnd());
    }
    RECT Cell(int row, int column) {
        RECT rc = {};
        rc.top = column;
        rc.left = LVIR_BOUNDS;
        SendMessageW(m_list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rc));
        if (column == 0) rc.right = rc.left + static_cast<int>(SendMessageW(m_list, LVM_GETCOLUMNWIDTH, 0, 0));
        return rc;
    }
    void Click(int row, int column) {
        const RECT rc = Cell(row, column);
        const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(m_list, WM_LBUTTONUP, 0, at);
        Pump(20);
    }
    // Whether the cell shows any pixel of `colour` on the screen.
    bool CellShows(int row, int column, COLORREF colour) {
        Unselect();
        const Image shown = FromScreen(m_list);
        const RECT rc = Cell(row, column);
        for (int y = std::max(0L, rc.top); y < std::min<LONG>(shown.h, rc.bottom); ++y)
            for (int x = std::max(0L, rc.left); x < std::min<LONG>(shown.w, rc.right); ++x)
                if (shown.at(x, y) == colour) return true;
        return false;
    }

    SkinPage m_page{IDD_SKIN_TEST};
    HWND m_list = nullptr;
};

TEST_F(LinkList, SetUpGivesTheReportStylesAndTheCellRecords) {
    EXPECT_EQ(GetWindowLongW(m_list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(SendMessageW(m_list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x64, 0x64);
    EXPECT_EQ(CListCtrlLink::CellKey(12, 3), L"12 x 3");

    const CLinkItem* link = m_page.list.FindLinkItem(0, 1);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->m_strTarget, L"http://10.0.0.7");
    EXPECT_EQ(link->m_pProps, &m_page.list.m_LinkProps);
    EXPECT_EQ(link->m_bVisited, 0);
    for (POINT cell : {POINT{0, 0}, POINT{0, 2}, POINT{1, 1}}) {
        const CLinkItem* plain = m_page.list.FindLinkItem(cell.x, cell.y);
        ASSERT_NE(plain, nullptr);
        EXPECT_EQ(plain->m_pProps, &m_page.list.m_PlainProps);
    }
    EXPECT_EQ(m_page.list.FindLinkItem(2, 0), nullptr);

    LOGFONTW underlined = {}, plain = {};
    GetObjectW(m_page.list.LinkFont(), sizeof(underlined), &underlined);
    GetObjectW(m_page.list.PlainFont(), sizeof(plain), &plain);
    EXPECT_TRUE(underlined.lfUnderline);
    EXPECT_FALSE(plain.lfUnderline);
    EXPECT_STREQ(underlined.lfFaceName, L"Tahoma");
}

TEST_F(LinkList, ClickOnALinkCellOpensItsTargetAndTurnsItPurple) {
    EXPECT_TRUE(CellShows(0, 1, RGB(0, 0, 255)));
    EXPECT_FALSE(CellShows(0, 1, RGB(128, 0, 128)));

    // Plain cells: the name, the host name and the IPv6 address.
    Click(0, 0);
    Click(0, 2);
    Click(1, 1);
    EXPECT_TRUE(m_page.list.opened.empty());
    EXPECT_EQ(m_page.list.FindLinkItem(0, 1)->m_bVisited, 0);

    Click(0, 1);
    EXPECT_THAT(m_page.list.opened, testing::ElementsAre(L"http://10.0.0.7"));
    EXPECT_EQ(m_page.list.FindLinkItem(0, 1)->m_bVisited, 1);
    EXPECT_TRUE(CellShows(0, 1, RGB(128, 0, 128)));
    EXPECT_FALSE(CellShows(0, 1, RGB(0, 0, 255)));
}

TEST_F(LinkList, ActivationsWithoutAClickOpenNothing) {
    // Enter on the link row: the list's keyboard activation.
    LVITEMW state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    SetFocus(m_list);
    SendMessageW(m_list, WM_KEYDOWN, VK_RETURN, 0);

    // A state report at the link cell's position.
    const RECT rc = Cell(0, 1);
    NMITEMACTIVATE report = {};
    report.hdr = {m_list, IDC_SKIN_LIST, LVN_ITEMACTIVATE};
    report.iItem = 0;
    report.iSubItem = 1;
    report.uChanged = LVIF_STATE;
    report.uNewState = LVIS_SELECTED;
    report.ptAction = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    SendMessageW(m_page.GetSafeHwnd(), WM_NOTIFY, IDC_SKIN_LIST, reinterpret_cast<LPARAM>(&report));

    EXPECT_TRUE(m_page.list.opened.empty());
    EXPECT_EQ(m_page.list.FindLinkItem(0, 1)->m_bVisited, 0);
}

TEST_F(LinkList, RebuildingTheItemsForgetsVisitedCells) {
    Click(0, 1);
    ASSERT_EQ(m_page.list.FindLinkItem(0, 1)->m_bVisited, 1);
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(m_page.list.FindLinkItem(0, 1), nullptr);
    m_page.list.InsertLinkItem(0, L"Printer A");
    m_page.list.SetLinkItemText(0, 1, L"10.0.0.7", L"http://10.0.0.7");
    EXPECT_EQ(m_page.list.FindLinkItem(0, 1)->m_bVisited, 0);
}

TEST_F(LinkList, HitTestNeverReachesBeyondTheHundredthColumn) {
    // 110 narrow columns, all on the screen, every cell of row 0 a link.
    for (int i = 2; i >= 0; --i) SendMessageW(m_list, LVM_DELETECOLUMN, i, 0);
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    SetWindowPos(m_list, nullptr, 0, 0, 1000, 120, SWP_NOZORDER | SWP_NOMOVE);
    for (int i = 0; i < 110; ++i) AddColumn(i, L"", 8);
    m_page.list.InitLinkList();
    m_page.list.InsertLinkItem(0, L"x");
    for (int i = 1; i < 110; ++i) m_page.list.SetLinkItemText(0, i, L"x", L"http://10.0.0.1");
    Repaint(m_page.GetSafeHwnd());

    struct Case {
        int column;
        bool hit;
    } cases[] = {{1, true}, {50, true}, {99, true}, {100, false}, {105, false}};
    for (const Case& c : cases) {
        RECT rc = Cell(0, c.column);
        POINT at = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ClientToScreen(m_list, &at);
        ASSERT_TRUE(SetCursorPos(at.x, at.y));
        const CLinkItem* hit = m_page.list.HitTestLink(0);
        if (c.hit)
            EXPECT_EQ(hit, m_page.list.FindLinkItem(0, c.column)) << "column " << c.column;
        else
            EXPECT_EQ(hit, nullptr) << "column " << c.column;
    }
    RECT window = {};
    GetWindowRect(m_list, &window);
    ASSERT_TRUE(SetCursorPos(window.left + 40, window.bottom + 20));
    EXPECT_EQ(m_page.list.HitTestLink(0), nullptr) << "cursor below the list";
}

}  // namespace

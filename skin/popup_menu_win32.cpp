#include "skin/popup_menu_win32.h"

#include <windowsx.h>

#include "framework/layered_window.h"
#include "framework/strings.h"
#include "res/resource.h"

static_assert(IDB_PROFILE_POPUP == IDB_PROFILE_POPUP_ICON);

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// MAX_PATH less the terminator: what the skin file name may take.
constexpr size_t kMaxSkinPath = 259;

RECT ToRect(const SkinRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

void FillColor(HDC dc, const RECT& r, COLORREF color) {
    CBrush brush;
    if (brush.CreateSolidBrush(color)) ::FillRect(dc, &r, brush);
}

// Alpha 255 everywhere: GDI leaves alpha 0 in what it draws, and a colour-keyed
// picture is opaque wherever it is not the key.
void MakeOpaque(const Dib32& dib) {
    ::GdiFlush();
    uint32_t* px = dib.bits();
    for (size_t i = 0, n = static_cast<size_t>(dib.width()) * dib.height(); i < n; ++i) px[i] |= 0xFF000000;
}

}  // namespace

bool LoadPngResource(UINT id, const wchar_t* type, GdipImage& out) {
    out = GdipImage::FromResource(id, type);
    return out.ok();
}

void DrawNineSlice(const GdipImage& skin, const RECT& rect, GpGraphics* graphics, int skinWidth, int skinHeight) {
    if (!graphics) return;
    // An empty skin (a file that did not load) draws nothing.
    if (!skin.ok()) return;
    // Some GDI+ implementations leave the first column of a stretched part
    // empty, which shows as a notch in the frame at every seam. So the
    // stretched parts are drawn one pixel wider into their neighbours first,
    // and the corners, which are never stretched, on top of them. Copying
    // rather than blending makes the overlap invisible: every pixel ends up
    // as exactly one part drew it.
    GdipSetCompositingMode(graphics, CompositingModeSourceCopy);
    SkinRect dest{rect.left, rect.top, rect.right, rect.bottom};
    const auto parts = NineSliceParts(dest, skinWidth, skinHeight);
    const bool corner[9] = {true, false, true, false, true, false, true, false, false};
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 9; ++i) {
            if (corner[i] != (pass == 1)) continue;
            SlicePart d = parts[i].dest;
            const SlicePart& src = parts[i].source;
            if (!corner[i]) {
                if (d.w != src.w) d = {d.x - 1, d.y, d.w + 2, d.h};
                if (d.h != src.h) d = {d.x, d.y - 1, d.w, d.h + 2};
            }
            GdipDrawImageRectRectI(graphics, skin.get(), d.x, d.y, d.w, d.h, src.x, src.y, src.w, src.h, UnitPixel,
                                   nullptr, nullptr, nullptr);
        }
    }
    GdipSetCompositingMode(graphics, CompositingModeSourceOver);
}

// ---- CWndPopup ----

CWndPopup::CWndPopup() {
    m_font.CreateSkinFont(18, 0, 0, GB2312_CHARSET);
}

CWndPopup::~CWndPopup() = default;

bool CWndPopup::LoadSkin(const std::wstring& path) {
    m_skinSet = true;
    m_skin.Reset();
    m_skinWidth = m_skinHeight = 0;
    if (path.size() > kMaxSkinPath) return false;
    m_skin = GdipImage::FromFileICM(path);
    m_skinWidth = static_cast<int>(m_skin.Width());
    m_skinHeight = static_cast<int>(m_skin.Height());
    return m_skin.ok();
}

int CWndPopup::Create(CWnd* ownerDialog, const RECT& rect, UINT resultMsg) {
    m_resultMsg = resultMsg;
    m_left = rect.left;
    m_top = rect.top;
    m_ownerWnd = ownerDialog ? ownerDialog->m_hWnd : nullptr;
    const wchar_t* cls = RegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
    // A window that goes away while it is being made leaves the object to us.
    m_creating = true;
    bool made = CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls, L"", WS_POPUP, rect, m_ownerWnd, 0);
    m_creating = false;
    return made && m_hWnd ? 0 : 1;
}

void CWndPopup::PostNcDestroy() {
    if (!m_creating) delete this;
}

void CWndPopup::SendResult(uint32_t value) const {
    if (m_ownerWnd) ::SendMessageW(m_ownerWnd, m_resultMsg, 0, static_cast<LPARAM>(value));
}

POINT CWndPopup::CursorInClient() const {
    POINT pt{};
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    return pt;
}

std::unique_ptr<Dib32> CWndPopup::ComposePicture() {
    RECT client = GetClientRect();
    const int w = client.right, h = client.bottom;
    auto picture = std::make_unique<Dib32>(w, h);
    if (!picture->ok()) return picture;
    ::SetBkMode(picture->dc(), TRANSPARENT);

    // Background: the skin, or a plain frame when no skin was asked for. Both
    // are composed in 32 bits whatever the screen's depth.
    if (m_skinSet) {
        DibGraphics graphics(*picture);
        DrawNineSlice(m_skin, client, graphics.get(), m_skinWidth, m_skinHeight);
    } else {
        FillColor(picture->dc(), client, RGB(0x00, 0x93, 0xD1));
        RECT inner{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
        FillColor(picture->dc(), inner, RGB(0xFF, 0xFF, 0xFF));
        MakeOpaque(*picture);
    }

    // The rows, drawn with GDI on magenta, which then turns transparent.
    {
        Dib32 items(w, h);
        if (items.ok()) {
            items.Fill(kPopupLayerMagenta);
            ::SetBkMode(items.dc(), TRANSPARENT);
            DrawItems(items.dc(), client);
            ::GdiFlush();
            MaskItemLayer(items.bits(), static_cast<size_t>(w) * h);
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            ::AlphaBlend(picture->dc(), 0, 0, w, h, items.dc(), 0, 0, w, h, blend);
        }
    }

    DrawIcons(*picture, client);
    ::GdiFlush();
    KeepBlackVisible(picture->bits(), static_cast<size_t>(w) * h);
    return picture;
}

void CWndPopup::Redraw() {
    if (!m_hWnd) return;
    std::unique_ptr<Dib32> picture = ComposePicture();
    POINT topLeft{0, 0};
    ::ClientToScreen(m_hWnd, &topLeft);
    UpdateLayeredFromDib(m_hWnd, *picture, topLeft, RGB(0, 0, 0), m_skinSet ? ULW_ALPHA : ULW_COLORKEY);
}

LRESULT CWndPopup::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT result = Default();
        ModifyStyle(WS_CAPTION, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_THICKFRAME);
        // Setting the extended style cannot take the top-most place away; that
        // is a matter of the z-order, set below.
        ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
        FillItems();
        Redraw();
        SetWindowPos(HWND_TOPMOST, m_left, m_top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        return result;
    }
    case WM_NCCALCSIZE:
        // No frame at all: the client area is the whole window (the proposed
        // rectangle, or the current one, is left as it is).
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_NCACTIVATE:
        // Losing activation (a click anywhere else) closes the popup; the
        // inactive caption is never drawn.
        if (!wp) PostMessage(WM_CLOSE);
        return TRUE;
    case WM_CLOSE: {
        HWND self = m_hWnd;
        SendResult(0);
        // The owner may have destroyed us while it handled the message.
        if (CWnd::FromHandle(self) != this) return 0;
        return Default();
    }
    case WM_MOUSEMOVE: {
        if (!m_tracking) {
            TRACKMOUSEEVENT tme{sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 50};
            m_tracking = ::TrackMouseEvent(&tme) ? 1 : 0;
        }
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (!m_pressed && UpdateHover(pt)) Redraw();
        return 0;
    }
    case WM_MOUSEHOVER:
        UpdateHover(CursorInClient());
        return 0;
    case WM_MOUSELEAVE:
        m_tracking = 0;
        if (!m_pressed) UpdateHover(CursorInClient());
        return 0;
    case WM_LBUTTONDOWN: {
        m_pressed = 1;
        SetCapture();
        m_captured = 1;
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (OnPress(pt)) {
            Redraw();
            return 0;
        }
        return Default();
    }
    case WM_LBUTTONUP: {
        if (m_captured) {
            m_captured = 0;
            ::ReleaseCapture();
        }
        m_pressed = 0;
        HWND self = m_hWnd;
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        bool redraw = OnClick(pt);
        if (CWnd::FromHandle(self) != this) return 0;  // gone while the owner handled the click
        if (redraw) Redraw();
        return Default();
    }
    case WM_CAPTURECHANGED:
        // The capture went elsewhere mid-press: the press is over, or hovering
        // would stay frozen until the next release here.
        if (reinterpret_cast<HWND>(lp) != m_hWnd) {
            m_captured = 0;
            m_pressed = 0;
        }
        return Default();
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

// ---- CMenuEx ----

int CMenuEx::AddItem(const std::wstring& text, UINT pngId, uint32_t value, int32_t wide) {
    PopupMenuItem item;
    item.separator = 0;
    item.value = value;
    item.text = ToU16(text);
    if (pngId != 0) {
        auto icon = std::make_shared<PopupIcon>();
        if (LoadPngResource(pngId, L"PNG", icon->image)) {
            item.iconWidth = icon->image.Width();
            item.iconHeight = icon->image.Height();
            item.icon = std::move(icon);
        }
    }
    m_items.push_back(std::move(item));
    LayoutItems(wide);
    return static_cast<int>(m_items.size());
}

void CMenuEx::AddRows(PopupKind kind) {
    PopupMenuSpec spec = PopupMenuRows(kind);
    for (const PopupRowSpec& row : spec.rows) AddItem(ToWide(row.text), row.pngId, row.value, spec.wide);
}

void CMenuEx::LayoutItems(int32_t wide) {
    SkinSize size = LayoutRows(wide);
    if (m_hWnd) SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMenuEx::DrawItems(HDC dc, const RECT&) {
    SelectScope font(dc, m_font);
    ::SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = ::SetTextColor(dc, kPopupTextColor);
    for (int32_t i = 0; i < static_cast<int32_t>(m_items.size()); ++i) {
        const PopupMenuItem& item = m_items[i];
        if (item.separator) {
            FillColor(dc, ToRect(item.rect), kPopupSeparatorColor);
            continue;
        }
        ::SetTextColor(dc, kPopupTextColor);
        RECT bar = ToRect(BarRect(item));
        FillColor(dc, bar, i == m_hoverIndex ? kPopupHoverBarColor : kPopupBarColor);
        std::wstring text = ToWide(item.text);
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bar,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS);
    }
    ::SetTextColor(dc, oldColor);
}

void CMenuEx::DrawIcons(const Dib32& picture, const RECT&) {
    DibGraphics graphics(picture);
    if (!graphics.ok()) return;
    for (const PopupMenuItem& item : m_items) {
        if (item.separator || !item.icon || !item.icon->image.ok()) continue;
        int iw = static_cast<int>(item.iconWidth), ih = static_cast<int>(item.iconHeight);
        SkinPoint at = PopupIconPosition(item.rect, iw, ih);
        // At its own size in pixels, whatever resolution the PNG records.
        GdipDrawImageRectI(graphics.get(), item.icon->image.get(), at.x, at.y, iw, ih);
    }
}

bool CMenuEx::UpdateHover(POINT pt) {
    return HoverAt(SkinPoint{pt.x, pt.y});
}

bool CMenuEx::OnClick(POINT pt) {
    std::optional<uint32_t> send;
    bool redraw = ClickAt(SkinPoint{pt.x, pt.y}, &send);
    // Sent last: the owner may close us while it handles the choice.
    if (send) SendResult(*send);
    return redraw;
}

CMenuEx* NewPopupMenu(PopupKind kind) {
    switch (kind) {
    case PopupKind::Language: return new CMenuExA;
    case PopupKind::Profile: return new CMenuExB;
    case PopupKind::DpiCount: return new CMenuExC;
    case PopupKind::DpiFunction: return new CMenuExE;
    case PopupKind::Multimedia: return new CMenuExF;
    case PopupKind::DpiLed: return new CMenuExG;
    }
    return nullptr;
}

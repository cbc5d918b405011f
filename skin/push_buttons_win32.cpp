#include "skin/push_buttons_win32.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/strings.h"
#include "skin/skin_draw_win32.h"
#include "skin/skin_messages.h"
#include "skin/value_entry_win32.h"

namespace {

// DrawText flags every state button adds to its own alignment:
// DT_WORDBREAK | DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS.
constexpr UINT kCaptionFlags = 0x8130;

RECT ToRect(const SkinRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

}  // namespace

// ---- the state buttons ----

void CSkinStateButton::SetText(const std::wstring& text, int textOffsetX, int stored, int fontHeight,
                               UINT format, BOOL stretch) {
    m_text = text;
    m_textOffsetX = textOffsetX;
    m_textStored = stored;
    m_fontHeight = fontHeight;
    m_textFormat = format;
    m_stretch = stretch;
    if (m_hWnd) {
        SetWindowText(text);
        Invalidate(TRUE);
    }
}

void CSkinStateButton::SetCaption(const std::wstring& text) {
    if (m_text != text) SetText(text, m_textOffsetX, m_textStored, m_fontHeight, m_textFormat, m_stretch);
}

void CSkinStateButton::SetChecked(BOOL checked) {
    if (m_checked == checked) return;
    m_checked = checked;
    if (m_hWnd) Invalidate(TRUE);
}

ButtonLook CSkinStateButton::LookFor(UINT itemState) const {
    ButtonLookInput in;
    in.checkMode = m_checkMode != 0;
    in.checked = m_checked != 0;
    in.selected = (itemState & ODS_SELECTED) != 0;
    in.disabled = (itemState & ODS_DISABLED) != 0;
    in.hovered = m_hovered != 0;
    in.hoverEnabled = m_hoverEnabled != 0;
    in.normalColor = m_normalColor;
    in.hoverColor = m_hoverColor;
    in.pressedColor = m_pressedColor;
    return ChooseButtonLook(in);
}

void CSkinStateButton::PreSubclassWindow() {
    ModifyStyle(WS_TABSTOP, 0);
}

void CSkinStateButton::DrawImageScaled(GdipGraphics& graphics, const GdipImage* image, int width,
                                       int height) const {
    if (m_stretch)
        graphics.DrawImageRect(image, 0, 0, width, height);
    else
        graphics.DrawImage(image, 0, 0);
}

void CSkinStateButton::DrawItem(DRAWITEMSTRUCT* dis) {
    RECT client = GetClientRect();
    int width = client.right;
    int height = client.bottom;
    ButtonLook look = LookFor(dis->itemState);

    SkinPaintBuffer buffer(dis->hDC, Snapshot(), width, height);
    {
        GdipGraphics graphics(buffer.dc());
        DrawStateImage(graphics, look.image, width, height);
    }
    if (!m_text.empty()) {
        CFont font;
        font.CreateSkinFont(m_fontHeight, 300);
        SelectScope select(buffer.dc(), font);
        ::SetBkMode(buffer.dc(), TRANSPARENT);
        ::SetTextColor(buffer.dc(), look.color);
        SIZE extent{};
        ::GetTextExtentPoint32W(buffer.dc(), m_text.c_str(), static_cast<int>(m_text.size()), &extent);
        SkinRect layout =
            m_useTextRect ? CaptionRectIn(SkinRect{m_textRect.left, m_textRect.top, m_textRect.right,
                                                   m_textRect.bottom},
                                          look.color == m_pressedColor)
                          : CaptionRect(width, height, extent.cy, m_textOffsetX);
        RECT rect = ToRect(layout);
        ::DrawTextW(buffer.dc(), m_text.c_str(), -1, &rect, m_textFormat | kCaptionFlags);
    }
    buffer.Present();
}

void CSkinStateButton::NotifyPressRelease(UINT which) const {
    if (m_notifyPressRelease)
        ::PostMessageW(GetParentHwnd(), UWM_BUTTON_PRESS_RELEASE, which, reinterpret_cast<LPARAM>(m_hWnd));
}

void CSkinStateButton::Follow(const HoverState& hover, const HoverStep& step) {
    m_hovered = hover.hovered;
    ApplyHoverStep(step);
}

LRESULT CSkinStateButton::OnMouseMove(WPARAM wp, LPARAM lp) {
    if (!m_mouseEnabled) return 0;  // swallowed: no highlight, no relay
    LRESULT result = Default();
    POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ClientToScreen(&screen);
    StateButtonMove move;
    move.leftHeld = (wp & MK_LBUTTON) != 0;
    move.holdsCapture = ::GetCapture() == m_hWnd;
    move.canTrack = ::GetActiveWindow() && GetOwnerHwnd();
    move.over = ::WindowFromPoint(screen) == m_hWnd;
    HoverState hover{m_hovered != 0, false};
    std::optional<HoverStep> step = StateButtonHover(hover, move);
    if (!step) return result;
    Follow(hover, *step);

    POINT inParent{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    HWND parent = GetParentHwnd();
    ::MapWindowPoints(m_hWnd, parent, &inParent, 1);
    ::PostMessageW(parent, WM_MOUSEMOVE, wp, MAKELPARAM(inParent.x, inParent.y));
    return result;
}

LRESULT CSkinStateButton::OnButton(UINT msg, WPARAM wp, LPARAM lp) {
    if (!PressAllowed(m_mouseEnabled != 0, m_hoverEnabled != 0, m_gatesOnHover)) return 0;
    if (msg == WM_LBUTTONDOWN) {
        HWND owner = GetOwnerHwnd();
        if (owner && ::GetActiveWindow() != owner) ::SetActiveWindow(owner);
        if (m_toggleOnClick) {
            m_checked = !m_checked;
            Invalidate(TRUE);
        }
    }
    NotifyPressRelease(msg);
    return Default();
}

LRESULT CSkinStateButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 0;  // DrawItem covers the whole client
    case WM_KILLFOCUS: {
        LRESULT result = Default();
        HoverState hover{m_hovered != 0, false};
        Follow(hover, StateButtonFocusLost(hover));
        return result;
    }
    case WM_MOUSEMOVE:
        return OnMouseMove(wp, lp);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return OnButton(msg, wp, lp);
    case WM_LBUTTONDBLCLK:
        // The system owner-drawn button turns a double click into
        // BN_DOUBLECLICKED; a button whose mouse is off must not send it.
        if (!PressAllowed(m_mouseEnabled != 0, m_hoverEnabled != 0, m_gatesOnHover)) return 0;
        break;
    case WM_CAPTURECHANGED:
        // Also sent when the button takes the capture it already holds, as the
        // system button does on every press after a hover: that is no loss, and
        // giving the capture up then would leave the press without its release.
        if (reinterpret_cast<HWND>(lp) != m_hWnd) {
            HoverState hover{m_hovered != 0, false};
            Follow(hover, HoverCaptureLost(hover, ::GetCapture() == m_hWnd));
        }
        break;
    default:
        break;
    }
    return CSkinButton::WindowProc(msg, wp, lp);
}

// ---- CGDIBitmapBtn ----

void CGDIBitmapBtn::SetImages(const GdipImage* normal, const GdipImage* hover, const GdipImage* pressed,
                              const CBitmap* background, RECT rect) {
    TakeButtonBackground(*this, m_background, background, rect);
    m_imageNormal = normal;
    m_imageHover = hover;
    m_imagePressed = pressed;
}

void CGDIBitmapBtn::SetStateBitmaps(const CBitmap* normal, const CBitmap* hover, const CBitmap* pressed,
                                    const CBitmap* background, RECT rect) {
    {
        ClientDC dc(m_hWnd);
        const CBitmap* sources[3] = {normal, hover, pressed};
        for (int i = 0; i < 3; ++i)
            if (sources[i]) CopyBitmapRect(dc, m_stateBitmaps[i], *sources[i], 0, rect);
    }
    TakeButtonBackground(*this, m_background, background, rect);
}

void CGDIBitmapBtn::DrawStateImage(GdipGraphics& graphics, StateImage image, int width, int height) {
    const GdipImage* chosen = nullptr;
    switch (image) {
    case StateImage::Normal:
        chosen = m_imageNormal;
        break;
    case StateImage::Hover:
        chosen = m_imageHover;
        break;
    case StateImage::Pressed:
        chosen = m_imagePressed;
        break;
    case StateImage::None:
        return;
    }
    DrawImageScaled(graphics, chosen, width, height);
}

// ---- CGDIBitmapBtnEx / Ex2 ----

void CGDIBitmapBtnEx::SetImages(const std::wstring& normal, const std::wstring& hover,
                                const std::wstring& pressed, const CBitmap* background, RECT rect) {
    TakeButtonBackground(*this, m_background, background, rect);
    m_pathNormal = normal;
    m_pathHover = hover;
    m_pathPressed = pressed;
}

void CGDIBitmapBtnEx::DrawStateImage(GdipGraphics& graphics, StateImage image, int width, int height) {
    int state = 0;
    switch (image) {
    case StateImage::Normal:
        state = 0;
        break;
    case StateImage::Hover:
        state = 1;
        break;
    case StateImage::Pressed:
        state = 2;
        break;
    case StateImage::None:
        return;
    }
    const std::wstring* paths[3] = {&m_pathNormal, &m_pathHover, &m_pathPressed};
    // The file as it is at this paint; it is never held open.
    DrawImageScaled(graphics, &m_loaded[state].Load(*paths[state]), width, height);
}

LRESULT CGDIBitmapBtnEx2::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDBLCLK) {
        if (m_mouseEnabled) OnDoubleClick();
        return 0;
    }
    return CGDIBitmapBtnEx::WindowProc(msg, wp, lp);
}

void CGDIBitmapBtnEx2::OnDoubleClick() {
    std::optional<uint32_t> entered = RunValueEntry(this, 2);
    if (!entered) return;
    std::optional<int> rounded = RoundedDpiEntry(*entered);
    if (!rounded) return;
    m_text = FormatW(L"%d", *rounded);
    if (!m_hWnd) return;  // the dialog's loop may have seen the button go
    SetWindowText(m_text);
    Invalidate(TRUE);
    ::PostMessageW(GetParentHwnd(), UWM_VALUE_CHANGED, static_cast<WPARAM>(*rounded), GetDlgCtrlID());
}

// ---- the picture buttons ----

void DrawOrientedCaption(HDC dc, const std::wstring& text, int width, int height, int fontHeight, int weight,
                         int orientation, int offsetX, int offsetY, COLORREF color) {
    if (text.empty()) return;
    CFont font;
    font.CreateSkinFont(fontHeight, weight, CaptionEscapement(orientation));
    SelectScope select(dc, font);
    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = ::SetTextColor(dc, color);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SkinPoint origin = CaptionOrigin(width, height, extent.cx, extent.cy, orientation, offsetX, offsetY);
    ::TextOutW(dc, origin.x, origin.y, text.c_str(), static_cast<int>(text.size()));
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
}

void CSkinPictureButton::SetText(const std::wstring& text) {
    m_text = text;
    if (m_hWnd) {
        SetWindowText(text);
        Invalidate(TRUE);
    }
}

void CSkinPictureButton::PreSubclassWindow() {
    CSkinButton::PreSubclassWindow();
    ModifyStyle(WS_TABSTOP, 0);
}

LRESULT CSkinPictureButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 0;
    case WM_KILLFOCUS:
        return DefaultThenRepaint(*this);
    default:
        break;
    }
    return CSkinButton::WindowProc(msg, wp, lp);
}

void CSkinPictureButton::DrawCaption(HDC dc, int width, int height) const {
    DrawOrientedCaption(dc, m_text, width, height, m_fontHeight, 500, m_textOrientation, m_textOffsetX,
                        m_textOffsetY, m_textColor);
}

void CBitmapBtn::LoadImage(const std::wstring& path, const CBitmap* background, RECT rect) {
    m_image = GdipImage::FromFile(path);
    SnapshotBackground(*this, m_background, background, rect);
}

void CBitmapBtn::DrawItem(DRAWITEMSTRUCT* dis) {
    RECT client = GetClientRect();
    SkinPaintBuffer buffer(dis->hDC, m_background, client.right, client.bottom);
    {
        GdipGraphics graphics(buffer.dc());
        graphics.DrawImageRect(&m_image, 0, 0, client.right, client.bottom);
    }
    DrawCaption(buffer.dc(), client.right, client.bottom);
    buffer.Present();
}

void CDeviceBitmap::SetImages(const std::wstring& picture, const std::wstring& icon1, const std::wstring& icon2,
                              const std::wstring& icon3, const CBitmap* background, RECT rect) {
    SetImagePaths(picture, icon1, icon2, icon3);
    SnapshotBackground(*this, m_background, background, rect);
}

void CDeviceBitmap::SetImagePaths(const std::wstring& picture, const std::wstring& icon1,
                                  const std::wstring& icon2, const std::wstring& icon3) {
    m_picturePath = picture;
    m_iconPaths[0] = icon1;
    m_iconPaths[1] = icon2;
    m_iconPaths[2] = icon3;
}

void CDeviceBitmap::DrawItem(DRAWITEMSTRUCT* dis) {
    RECT client = GetClientRect();
    SkinPaintBuffer buffer(dis->hDC, m_background, client.right, client.bottom);
    {
        GdipGraphics graphics(buffer.dc());
        // All four images as their files are at this paint; no file is held open.
        if (!m_picturePath.empty()) {
            const GdipImage& picture = m_loadedPicture.Load(m_picturePath);
            SkinSize size = DevicePictureSize(static_cast<int>(picture.Width()), static_cast<int>(picture.Height()));
            graphics.DrawImageRect(&picture, 20, 40, size.cx, size.cy);
        }
        for (int i = 0; i < 3; ++i) {
            if (m_iconPaths[i].empty()) continue;
            const GdipImage& icon = m_loadedIcons[i].Load(m_iconPaths[i]);
            const RECT& r = m_iconRects[i];
            // The icon's top-left part of the rectangle's size, unscaled; a
            // smaller icon is drawn whole.
            int w = std::min<int>(r.right - r.left, static_cast<int>(icon.Width()));
            int h = std::min<int>(r.bottom - r.top, static_cast<int>(icon.Height()));
            graphics.DrawImagePart(&icon, r.left, r.top, 0, 0, w, h);
        }
    }
    DrawCaption(buffer.dc(), client.right, client.bottom);
    buffer.Present();
}

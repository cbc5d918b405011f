#include "skin/irr_button_win32.h"

#include <windowsx.h>

#include "skin/skin_draw_win32.h"

bool CIrrButton::Create(const RECT& rect, CWnd* parent) {
    return CButton::Create(L"", WS_CHILD | WS_VISIBLE, rect, parent, 0);
}

void CIrrButton::PreSubclassWindow() {
    ModifyStyle(0, BS_OWNERDRAW);
}

void CIrrButton::SetImages(const GdipImage* normal, const GdipImage* hover, const GdipImage* selected,
                           const CBitmap* background, RECT rect) {
    TakeButtonBackground(*this, m_background, background, rect);
    m_imageNormal = normal;
    m_imageHover = hover;
    m_imageSelected = selected;
}

void CIrrButton::SetSelected(BYTE selected) {
    bool value = selected != 0;
    if (value != m_selected) {
        m_selected = value;
        Invalidate(TRUE);
    }
    // Even an unchanged selection ends a hover capture.
    HoverState hover = Hover();
    Follow(hover, PageButtonSelectionSet(hover));
}

HoverState CIrrButton::Hover() const {
    return HoverState{m_hovered != 0, m_captured != 0};
}

void CIrrButton::Follow(const HoverState& hover, const HoverStep& step) {
    m_hovered = hover.hovered;
    m_captured = hover.captured;
    ApplyHoverStep(step);
}

IrrLook CIrrButton::LookFor(UINT itemState) const {
    IrrLookInput in;
    in.useSelectedLook = m_useSelectedLook != 0;
    in.selected = m_selected;
    in.hovered = m_hovered != 0;
    in.odsSelected = (itemState & ODS_SELECTED) != 0;
    in.disabled = (itemState & ODS_DISABLED) != 0;
    in.normalColor = m_normalColor;
    in.hoverColor = m_hoverColor;
    in.selectedColor = m_selectedColor;
    return ChooseIrrLook(in);
}

void CIrrButton::HoverTest(LPARAM lp) {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    RECT rect = GetWindowRect();
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    HoverState hover = Hover();
    Follow(hover, PageButtonHover(hover, ::PtInRect(&rect, pt) != FALSE));
}

// The system button's own press and release, during which its click
// notification is recognised as ours.
LRESULT CIrrButton::DefaultPress(UINT msg, WPARAM wp, LPARAM lp) {
    bool saved = m_inDefaultPress;
    m_inDefaultPress = true;
    LRESULT result = DefaultAs(msg, wp, lp);
    m_inDefaultPress = saved;
    return result;
}

BOOL CIrrButton::OnChildNotify(UINT code) {
    // The press already posted the one command this button gives per press;
    // the system button's click, which may or may not follow depending on how
    // the capture went, is dropped so the owner never sees a second one.
    return code == BN_CLICKED && m_inDefaultPress;
}

LRESULT CIrrButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        return Default() == -1 ? -1 : 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        HoverTest(lp);
        return Default();
    case WM_LBUTTONDOWN: {
        HWND owner = GetOwnerHwnd();
        ::PostMessageW(owner, WM_COMMAND, 0, reinterpret_cast<LPARAM>(m_hWnd));
        HoverState hover = Hover();
        Follow(hover, PageButtonPressed(hover));
        return DefaultPress(msg, wp, lp);
    }
    case WM_LBUTTONDBLCLK:
        // A fast second click presses the button like the first, without a
        // second command.
        return DefaultPress(WM_LBUTTONDOWN, wp, lp);
    case WM_LBUTTONUP: {
        HoverState hover = Hover();
        Follow(hover, PageButtonReleased(hover));
        HoverTest(lp);
        return DefaultPress(msg, wp, lp);
    }
    case WM_CAPTURECHANGED:
        // Someone else took the capture (a popup, a dialog): the cursor is no
        // longer followed, so the hover look must not stay on.
        if (reinterpret_cast<HWND>(lp) != m_hWnd) {
            HoverState hover = Hover();
            Follow(hover, HoverCaptureLost(hover, ::GetCapture() == m_hWnd));
        }
        break;
    default:
        break;
    }
    return CSkinButton::WindowProc(msg, wp, lp);
}

void CIrrButton::DrawItem(DRAWITEMSTRUCT* dis) {
    RECT client = GetClientRect();
    IrrLook look = LookFor(dis->itemState);
    SkinPaintBuffer buffer(dis->hDC, m_background, client.right, client.bottom);
    {
        GdipGraphics graphics(buffer.dc());
        const GdipImage* image = look.image == IrrImage::Normal   ? m_imageNormal
                                 : look.image == IrrImage::Hover  ? m_imageHover
                                 : look.image == IrrImage::Selected ? m_imageSelected
                                                                    : nullptr;
        graphics.DrawImageRect(image, 0, 0, client.right, client.bottom);
    }
    std::wstring caption = GetWindowText();
    if (!caption.empty()) {
        CFont font;
        font.CreateSkinFont(18, 300);
        SelectScope select(buffer.dc(), font);
        ::SetBkMode(buffer.dc(), TRANSPARENT);
        ::SetTextColor(buffer.dc(), look.color);
        SkinPoint at = IrrCaptionOrigin(m_textCenterX, m_textCenterY, static_cast<int>(caption.size()));
        ::TextOutW(buffer.dc(), at.x, at.y, caption.c_str(), static_cast<int>(caption.size()));
    }
    buffer.Present();
}

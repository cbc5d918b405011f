#include "skin/box_controls_win32.h"

#include "framework/strings.h"
#include "skin/skin_draw_win32.h"

namespace {
constexpr DWORD kControlStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
constexpr int kButtonFontHeight = 18;
constexpr int kButtonTextOffset = 3;
}  // namespace

void CBoxButtonImages::Load() {
    m_normal = GdipImage::FromFile(SkinImagePathW(L"Button_nr.png"));
    m_hover = GdipImage::FromFile(SkinImagePathW(L"Button_ov.png"));
    m_pressed = GdipImage::FromFile(SkinImagePathW(L"Button_dn.png"));
}

void CBoxButtonImages::CreateButton(CGDIBitmapBtn& button, CWnd& box, const CBitmap& background, RECT rect,
                                    UiText text) const {
    button.Create(L"", kControlStyle, rect, &box, 0);
    button.SetImages(&m_normal, &m_hover, &m_pressed, &background, rect);
    button.SetText(ToWide(g_uiTexts[text]), kButtonTextOffset, 0, kButtonFontHeight, DT_CENTER, TRUE);
}

void CBoxButtonImages::CreateOkCancel(CGDIBitmapBtn& ok, RECT okRect, CGDIBitmapBtn& cancel, RECT cancelRect,
                                      CWnd& box, const CBitmap& background) const {
    CreateButton(ok, box, background, okRect, UiText::str_ok);
    CreateButton(cancel, box, background, cancelRect, UiText::str_cancel);
    for (CGDIBitmapBtn* button : {&ok, &cancel}) {
        button->m_checkMode = 1;
        button->m_toggleOnClick = 0;
    }
}

void CreateBoxCaption(CGDIBitmapBtn& caption, CWnd& box, const CBitmap& background, RECT rect,
                      const std::wstring& text, int fontHeight, UINT format) {
    caption.Create(L"", kControlStyle, rect, &box, 0);
    caption.m_checkMode = 1;
    caption.m_toggleOnClick = 0;
    caption.m_mouseEnabled = 0;
    caption.SetImages(nullptr, nullptr, nullptr, &background, rect);
    caption.SetText(text, 0, 0, fontHeight, format, FALSE);
}

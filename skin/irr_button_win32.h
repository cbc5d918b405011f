// The page button of the main window: lights up under the cursor, can show a
// lasting selected state, and reports a press to its owner at once.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"
#include "skin/button_logic.h"
#include "skin/skin_button_win32.h"

class CIrrButton : public CSkinButton {
public:
    CBitmap m_background;
    const GdipImage* m_imageNormal = nullptr;  // the owner's, kept alive by it
    const GdipImage* m_imageHover = nullptr;
    const GdipImage* m_imageSelected = nullptr;
    int m_textCenterX = 0;  // caption anchor, client coordinates
    int m_textCenterY = 0;
    BOOL m_hovered = 0;
    BOOL m_captured = 0;
    bool m_selected = false;
    BOOL m_useSelectedLook = 0;
    COLORREF m_normalColor = kDefaultNormalColor;
    COLORREF m_hoverColor = kDefaultHoverColor;
    COLORREF m_selectedColor = kDefaultPressedColor;

    // Created with an empty caption and id 0; the style gets BS_OWNERDRAW.
    bool Create(const RECT& rect, CWnd* parent);
    void SetImages(const GdipImage* normal, const GdipImage* hover, const GdipImage* selected,
                   const CBitmap* background, RECT rect);
    void SetSelected(BYTE selected);

    IrrLook LookFor(UINT itemState) const;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void DrawItem(DRAWITEMSTRUCT* dis) override;
    BOOL OnChildNotify(UINT code) override;

private:
    HoverState Hover() const;
    // Takes the stepped state into the members, then carries the step out.
    void Follow(const HoverState& hover, const HoverStep& step);
    void HoverTest(LPARAM lp);
    LRESULT DefaultPress(UINT msg, WPARAM wp, LPARAM lp);

    bool m_inDefaultPress = false;
};

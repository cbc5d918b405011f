// Skinned push buttons: owner-drawn BUTTON controls painted from skin images
// over a snapshot of their parent's background. Clicks reach the owner as the
// system button's own BN_CLICKED.
#pragma once

#include <windows.h>

#include <string>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"
#include "skin/button_logic.h"
#include "skin/paint_image_win32.h"
#include "skin/skin_button_win32.h"

// The body shared by the three state buttons: hover tracking, press gates,
// state choice and the caption. The classes differ in where the state images
// come from.
class CSkinStateButton : public CSkinButton {
public:
    BOOL m_mouseEnabled = 1;
    BOOL m_checkMode = 0;
    BOOL m_checked = 0;
    BOOL m_toggleOnClick = 0;
    BOOL m_hoverEnabled = 1;
    std::wstring m_text;
    BOOL m_hovered = 0;
    BOOL m_useTextRect = 0;
    RECT m_textRect{};
    int m_textOffsetX = 0;
    int m_textStored = 0;  // given with the caption and kept, never used
    int m_fontHeight = 18;
    UINT m_textFormat = DT_CENTER;
    COLORREF m_hoverColor = kDefaultHoverColor;
    COLORREF m_normalColor = kDefaultNormalColor;
    COLORREF m_pressedColor = kDefaultPressedColor;
    BOOL m_stretch = 0;
    BOOL m_notifyPressRelease = 0;

    // Stores the caption and its layout and repaints. The caption is also the
    // window text, so that tools reading the window can see it.
    void SetText(const std::wstring& text, int textOffsetX, int stored, int fontHeight, UINT format,
                 BOOL stretch);
    // Another caption in the layout given last; nothing when it shows already.
    void SetCaption(const std::wstring& text);
    void SetChecked(BOOL checked);

    // The look DrawItem would choose for the given item state.
    ButtonLook LookFor(UINT itemState) const;

protected:
    explicit CSkinStateButton(bool gatesOnHover) : m_gatesOnHover(gatesOnHover) {}

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void DrawItem(DRAWITEMSTRUCT* dis) override;

    // Draws the chosen state image into the paint buffer.
    virtual void DrawStateImage(GdipGraphics& graphics, StateImage image, int width, int height) = 0;
    virtual CBitmap& Snapshot() = 0;

    void DrawImageScaled(GdipGraphics& graphics, const GdipImage* image, int width, int height) const;

private:
    // Takes the stepped hover into m_hovered, then carries the step out.
    void Follow(const HoverState& hover, const HoverStep& step);
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp);
    LRESULT OnButton(UINT msg, WPARAM wp, LPARAM lp);
    void NotifyPressRelease(UINT which) const;

    bool m_gatesOnHover;
};

// State images given by the owner, which keeps them alive.
class CGDIBitmapBtn : public CSkinStateButton {
public:
    CGDIBitmapBtn() : CSkinStateButton(false) {}

    CBitmap m_stateBitmaps[3];  // copies made by SetStateBitmaps; the paint does not use them
    CBitmap m_background;
    const GdipImage* m_imageNormal = nullptr;
    const GdipImage* m_imageHover = nullptr;
    const GdipImage* m_imagePressed = nullptr;

    void SetImages(const GdipImage* normal, const GdipImage* hover, const GdipImage* pressed,
                   const CBitmap* background, RECT rect);
    void SetStateBitmaps(const CBitmap* normal, const CBitmap* hover, const CBitmap* pressed,
                         const CBitmap* background, RECT rect);

protected:
    void DrawStateImage(GdipGraphics& graphics, StateImage image, int width, int height) override;
    CBitmap& Snapshot() override { return m_background; }
};

// State images named by path and loaded for each paint (and released after
// it, so the files are not held open).
class CGDIBitmapBtnEx : public CSkinStateButton {
public:
    CGDIBitmapBtnEx() : CSkinStateButton(true) {}

    CBitmap m_background;
    std::wstring m_pathNormal;
    std::wstring m_pathHover;
    std::wstring m_pathPressed;

    void SetImages(const std::wstring& normal, const std::wstring& hover, const std::wstring& pressed,
                   const CBitmap* background, RECT rect);

protected:
    void DrawStateImage(GdipGraphics& graphics, StateImage image, int width, int height) override;
    CBitmap& Snapshot() override { return m_background; }

private:
    PaintImage m_loaded[3];  // normal, hover, pressed
};

// The DPI value box: a double click asks for a value and reports it rounded
// to a multiple of 50.
class CGDIBitmapBtnEx2 : public CGDIBitmapBtnEx {
protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnDoubleClick();
};

// What the picture buttons share: no states of their own, a caption placed by
// TextOut (horizontal or rotated), and the handlers of the image buttons.
class CSkinPictureButton : public CSkinButton {
public:
    CBitmap m_background;
    std::wstring m_text;
    int m_fontHeight;
    int m_textOffsetX = 0;
    int m_textOffsetY = 0;
    int m_textOrientation = 0;  // 2: 90 degrees, 3: 270 degrees, else horizontal
    COLORREF m_textColor;

    void SetText(const std::wstring& text);

protected:
    CSkinPictureButton(int fontHeight, COLORREF textColor) : m_fontHeight(fontHeight), m_textColor(textColor) {}

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // The caption over what the paint has drawn so far.
    void DrawCaption(HDC dc, int width, int height) const;
};

// A one-image button with an optional centred, optionally rotated caption.
class CBitmapBtn : public CSkinPictureButton {
public:
    CBitmapBtn() : CSkinPictureButton(14, 0xFFFFFF) {}

    GdipImage m_image;  // loaded by LoadImage, owned here

    void LoadImage(const std::wstring& path, const CBitmap* background, RECT rect);

protected:
    void DrawItem(DRAWITEMSTRUCT* dis) override;
};

// A device tile: the device picture, up to three small icons and a caption.
class CDeviceBitmap : public CSkinPictureButton {
public:
    CDeviceBitmap() : CSkinPictureButton(16, 0) {}

    RECT m_iconRects[3] = {{30, 15, 72, 38}, {80, 15, 122, 38}, {130, 15, 172, 38}};
    std::wstring m_picturePath;
    std::wstring m_iconPaths[3];

    void SetImages(const std::wstring& picture, const std::wstring& icon1, const std::wstring& icon2,
                   const std::wstring& icon3, const CBitmap* background, RECT rect);
    // An empty path leaves its place empty.
    void SetImagePaths(const std::wstring& picture, const std::wstring& icon1, const std::wstring& icon2,
                       const std::wstring& icon3);

protected:
    void DrawItem(DRAWITEMSTRUCT* dis) override;

private:
    PaintImage m_loadedPicture;
    PaintImage m_loadedIcons[3];
};

// The rotated or horizontal caption of the picture buttons, by TextOut.
void DrawOrientedCaption(HDC dc, const std::wstring& text, int width, int height, int fontHeight, int weight,
                         int orientation, int offsetX, int offsetY, COLORREF color);

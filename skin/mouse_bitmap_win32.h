// The mouse picture of the button and LED pages, with one of five numbered
// markers over it: the mouse button the page has selected.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gdiplus_helpers.h"
#include "skin/push_buttons_win32.h"

class CMouseBitmap : public CSkinPictureButton {
public:
    CMouseBitmap() : CSkinPictureButton(14, 0) {}

    GdipImage m_picture;
    // 0: no marker; 1..5: "<prefix>number<N>.png" over its place. The owner
    // sets it and invalidates the control.
    int m_marker = 0;
    std::wstring m_markerPrefix;

    // Loads the picture, keeps the prefix and takes the snapshot of the
    // parent's background under the control (rect in the parent's client).
    void SetImages(const std::wstring& picturePath, const std::wstring& markerPrefix, const CBitmap* background,
                   RECT rect);
    // Another picture in place of the current one; the snapshot stays.
    void SetOverlayImage(const std::wstring& picturePath, const std::wstring& markerPrefix);

protected:
    void DrawItem(DRAWITEMSTRUCT* dis) override;

private:
    PaintImage m_loadedMarker;
};

// The skinned popup menus: small top-most layered windows whose whole picture
// is composed off screen (a skin stretched as a nine-slice frame, rows on dark
// bars, icons) and handed to the system with UpdateLayeredWindow. A click
// reports the row's value to the owner; closing reports 0. Each popup lives on
// the heap and deletes itself when its window is gone: owners open them
// through PopupMenuSlot (skin/popup_opener_win32.h).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"
#include "framework/wnd.h"
#include "skin/popup_menu_logic.h"

struct PopupIcon {
    GdipImage image;
};

// An image from this program's resources of the given type ("PNG"). The image
// reads from a stream over its own copy of the bytes, which lives as long as
// the image. False when the resource is missing or no image.
bool LoadPngResource(UINT id, const wchar_t* type, GdipImage& out);

// The skin over rect: 32-pixel corners as drawn, edges and centre stretched.
// A part that fails leaves its status in the graphics and the rest is drawn.
void DrawNineSlice(const GdipImage& skin, const RECT& rect, Gdiplus::GpGraphics* graphics, int skinWidth,
                   int skinHeight);

class CWndPopup : public CWnd {
public:
    CWndPopup();
    ~CWndPopup() override;

    BYTE m_tracking = 0;  // a hover/leave tracking request is active
    BYTE m_pressed = 0;   // the left button went down here and has not come up
    BYTE m_captured = 0;
    HWND m_ownerWnd = nullptr;  // receives the result message; none: nothing is sent
    GdipImage m_skin;
    bool m_skinSet = false;  // LoadSkin was called, whether or not the file loaded
    int m_skinWidth = 0;
    int m_skinHeight = 0;
    CFont m_font;
    int m_left = 0;
    int m_top = 0;
    UINT m_resultMsg = 0;

    // The skin PNG, before Create. A path over 259 characters or a file that
    // does not load leaves an empty skin: only the rows show. False then.
    bool LoadSkin(const std::wstring& path);
    // Creates the window at rect (screen coordinates; it then sizes itself to
    // its rows), shown and active. 0 when the window exists, 1 when it could
    // not be made: the object is then still the caller's to delete.
    int Create(CWnd* ownerDialog, const RECT& rect, UINT resultMsg);

    // The picture the window shows, composed again from its state.
    std::unique_ptr<Dib32> ComposePicture();
    void Redraw();

    virtual void DrawItems(HDC dc, const RECT& client) {}
    // Over the finished background; GDI+ drawing here keeps the icons' alpha.
    virtual void DrawIcons(const Dib32& picture, const RECT& client) {}
    virtual void FillItems() {}
    virtual bool UpdateHover(POINT pt) { return false; }
    virtual bool OnPress(POINT pt) { return false; }
    virtual bool OnClick(POINT pt) { return false; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PostNcDestroy() override;

    void SendResult(uint32_t value) const;

private:
    POINT CursorInClient() const;
    bool m_creating = false;
};

class CMenuEx : public CWndPopup, public PopupMenuModel {
public:
    // Appends a normal row; pngId 0 gives no icon. Returns the number of rows.
    int AddItem(const std::wstring& text, UINT pngId, uint32_t value, int32_t wide);
    void DrawItems(HDC dc, const RECT& client) override;
    void DrawIcons(const Dib32& picture, const RECT& client) override;
    bool UpdateHover(POINT pt) override;
    bool OnClick(POINT pt) override;
    // Lays the rows out and sizes the window to them, keeping its place.
    virtual void LayoutItems(int32_t wide);

protected:
    void AddRows(PopupKind kind);
};

// The six menus; each only knows its rows.
class CMenuExA : public CMenuEx {  // language
public:
    void FillItems() override { AddRows(PopupKind::Language); }
};
class CMenuExB : public CMenuEx {  // profile, with icons
public:
    void FillItems() override { AddRows(PopupKind::Profile); }
};
class CMenuExC : public CMenuEx {  // DPI stage count
public:
    void FillItems() override { AddRows(PopupKind::DpiCount); }
};
class CMenuExE : public CMenuEx {  // DPI button function
public:
    void FillItems() override { AddRows(PopupKind::DpiFunction); }
};
class CMenuExF : public CMenuEx {  // multimedia keys, wide
public:
    void FillItems() override { AddRows(PopupKind::Multimedia); }
};
class CMenuExG : public CMenuEx {  // DPI LED mode, wide
public:
    void FillItems() override { AddRows(PopupKind::DpiLed); }
};

// A new menu of the kind, on the heap.
CMenuEx* NewPopupMenu(PopupKind kind);

// What the small skinned boxes build their faces from: the push buttons drawn
// from "Button_nr/ov/dn.png" with a language caption, and caption rows that
// are skinned buttons without images or mouse.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"
#include "skin/push_buttons_win32.h"
#include "text/ui_texts.h"

class CBoxButtonImages {
public:
    // Loads the three state images; the buttons made from them borrow them,
    // so this lives as long as the box.
    void Load();

    // A push button at rect on box (over the box's background) captioned
    // with the language text.
    void CreateButton(CGDIBitmapBtn& button, CWnd& box, const CBitmap& background, RECT rect, UiText text) const;
    // OK and Cancel ("str_ok", "str_cancel") that show the normal and hover
    // looks only, never the pressed one.
    void CreateOkCancel(CGDIBitmapBtn& ok, RECT okRect, CGDIBitmapBtn& cancel, RECT cancelRect, CWnd& box,
                        const CBitmap& background) const;

private:
    GdipImage m_normal;
    GdipImage m_hover;
    GdipImage m_pressed;
};

// A caption row: a skinned button that shows text only and takes no mouse.
void CreateBoxCaption(CGDIBitmapBtn& caption, CWnd& box, const CBitmap& background, RECT rect,
                      const std::wstring& text, int fontHeight, UINT format);

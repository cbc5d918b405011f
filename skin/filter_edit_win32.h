// The single-line edit of the small dialogs, light grey on dark and without a
// border, in two flavours chosen by its own ES_NUMBER style:
// - numeric: digits only, the number kept within [m_minValue, m_maxValue] by
//   rewriting the text, every change posted to the parent as
//   UWM_VALUE_CHANGED (wParam the number, lParam the control id). A clamped
//   entry is reported twice with the same value: once for the rewrite, once
//   for the change that caused it;
// - key field: shows one key: only the last typed character stays, and F1 to
//   F12 put their names into it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/controls.h"
#include "framework/gdi.h"

class CFilterEdit : public CEdit {
public:
    // Set by the owner: the brush before the first paint, the rest before
    // creation (the font is made in WM_CREATE).
    CBrush m_bkBrush;
    int m_fontHeight = 20;
    CFont m_font;
    uint32_t m_minValue = 0;
    uint32_t m_maxValue = 0xFFFFFFFF;  // compared unsigned: no upper limit

    static constexpr COLORREF kTextColor = RGB(200, 200, 200);
    static constexpr COLORREF kBackColor = RGB(88, 95, 103);
    static constexpr int kTextLimit = 256;

    bool IsNumeric() const { return (GetStyle() & ES_NUMBER) != 0; }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnChildNotify(UINT code) override;
    HBRUSH CtlColor(HDC dc, UINT ctlColorMsg) override;

private:
    LRESULT OnCreate();
    void OnTextChanged();
};

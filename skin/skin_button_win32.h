// What every skinned button shares with the others: a tooltip that hears the
// button's input, and the carrying out of its hover steps. The tooltip is made
// on the first message that comes through the button's PreTranslateMessage,
// made inactive at once and never given a tool, so it never shows a tip; it
// goes with the button's window.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "skin/hover_capture.h"

class CSkinButton : public CButton {
public:
    CToolTipCtrl m_toolTip;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Does what a hover step decided. The button's own flags must say the new
    // state already: letting the capture go sends WM_CAPTURECHANGED at once.
    void ApplyHoverStep(const HoverStep& step);
};

// The progress box of the read-all and write-all syncs: a bar and one line of
// text, shown modally while a worker thread runs. The worker moves the bar with
// UWM_PROGRESS_POS and ends the box with WM_CLOSE; the user cannot close it,
// so the box and its object are there for every message the worker sends.
#pragma once

#include <windows.h>

#include "framework/gdiplus_helpers.h"
#include "skin/png_bars_win32.h"
#include "skin/skinned_dialog_win32.h"

class CProgressDlg : public CSkinnedDialog {
public:
    // No owner is given: the framework's rule makes it the main window.
    CProgressDlg();

    GdipImage m_normalImage;  // "Progress_Normal.png": the background and the bar's track
    GdipImage m_overImage;    // "Progress_Over.png": the bar's fill
    CPngHProgressBar m_bar;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PaintSkin(HDC dc) override;

private:
    void BuildSkin();
    void ComeToFront();
    LRESULT OnProgressPos(WPARAM wp);
};

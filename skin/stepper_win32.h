// The stepper: a tall skinned button showing a number, one step up for a press
// on its upper part and one down on its lower part. Each accepted step is
// posted to the parent at once as UWM_STEPPER_CHANGED (wParam the mode, lParam
// the new value: the list's value in list mode, not its index). In counter
// mode a step that ends at 8 or below runs the debounce confirmation first.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "skin/push_buttons_win32.h"
#include "skin/stepper_logic.h"

// Drawn and hover-tracked as CGDIBitmapBtn, with the state image at its own
// size; StepperModel holds what the owner sets (mode, items, value).
class CGDIBitmapBtnAddSub : public CGDIBitmapBtn, public StepperModel {
public:
    // The caption (the shown number) and its layout; repaints.
    void SetText(const std::wstring& text, int textOffsetX, int stored, int fontHeight, UINT format);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnLeftDown(WPARAM wp, LPARAM lp);
};

// The confirmation a stepper asks for, so that tests can answer it. An empty
// handler restores the debounce confirmation box.
using StepConfirmation = std::function<bool(CWnd* parent)>;
void SetStepConfirmation(StepConfirmation confirmation);
// True when the user agreed (the box's OK).
bool ConfirmStep(CWnd* parent);

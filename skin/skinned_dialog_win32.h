// The base of the small modal boxes (confirmations, progress, value entry and
// the like): no frame, painted from one skin image whose size is the box's,
// placed on the owner's top-left corner. A box that a worker thread drives can
// be made one the user cannot close, and it tells that worker when it is up.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "skin/control_handlers_win32.h"

// The boxes' WM_PAINT: the background copied 1:1 to the client's top-left
// corner. An empty bitmap paints nothing.
void PaintDialogSkin(HDC dc, const CBitmap& background);

class CSkinnedDialog : public CDialogEx {
public:
    enum class Closing {
        ByUser,        // Enter, Escape, Alt+F4 and the system menu end it as usual
        ByOwnerOnly,   // only an explicit WM_CLOSE (the worker's) or EndDialog ends it
    };

    // parent only says whose top-level window owns the box (the framework's
    // rule); without one it is the main window's last active popup.
    explicit CSkinnedDialog(UINT templateId, CWnd* parent = nullptr, Closing closing = Closing::ByUser);
    ~CSkinnedDialog() override;

    // As CDialog::DoModal; whatever happens, a worker waiting for the box is
    // released by the time it returns.
    INT_PTR DoModal();

    // For a worker thread: waits until OnInitDialog has run to its end and
    // returns the window to post and send to; null when the box could not be
    // created, is already gone, or did not come up within timeoutMs. A message
    // sent after this can therefore never reach a box that is not there yet.
    HWND WaitUntilReady(DWORD timeoutMs = INFINITE) const;

    bool UserCanClose() const { return m_closing == Closing::ByUser; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Clicks go to the handler m_controls names for their button first.
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override;
    void OnCancel() override;

    // Paints the client; the default is PaintDialogSkin with m_background.
    virtual void PaintSkin(HDC dc);

    // Loads a skin image as the background and fits the box to it (see
    // FitToSkin). A missing image leaves the background empty and the box
    // without size.
    bool LoadBackground(const std::wstring& path);
    // Gives the box the size of its skin and puts it on its owner's top-left
    // corner (screen coordinates), or centres it on the full-screen area when
    // it has no owner; then repaints.
    void FitToSkin(SIZE size);

    CBitmap m_background;
    // The box's buttons and their handlers; a box fills it in its constructor.
    CControlHandlers m_controls;

private:
    void SignalReady(HWND hwnd);

    Closing m_closing;
    HANDLE m_readyEvent;
    std::atomic<HWND> m_readyWindow{nullptr};
};

// Window tests under Wine: a visible test dialog to put controls on that
// records what they send and post to it, a message pump, input helpers,
// painting into a 32-bit DIB, and screenshots saved as PNG.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"
#include "support/ui_thread_win32.h"

// GDI+ started once for the whole test program.
void EnsureGdiplus();

// The dist folder (skins, language files), ending in a backslash.
std::wstring TestDistDir();
std::wstring TestSkinPath(const std::wstring& fileName);
// Where screenshots go: build/<kind>/screenshots\, created on demand.
std::wstring ScreenshotDir();
// A fresh folder of this test program's own for files a test writes.
std::wstring TestTempDir();

// Writes a PNG of one colour (0xAARRGGBB) and returns its path.
std::wstring WriteSolidPng(const std::wstring& fileName, int width, int height, uint32_t argb);

// Handles this thread's messages the way the modal loop does (the
// PreTranslateMessage walk first) until the queue is empty, then keeps at it
// for the given time.
void PumpMessages(int milliseconds = 0);
// Handles this thread's messages, as PumpMessages does, until condition holds
// (checked whenever the queue is empty); false when time ran out, which only
// a hang reaches by default. For what a key, a timer or another thread brings
// about on this thread: the wait lasts as long as the machine needs.
bool PumpUntil(const std::function<bool()>& condition, int milliseconds = kHangLimitMs);

struct RecordedMessage {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// A visible top-level dialog at a fixed place on the screen, painted from
// `background` (a striped pattern the controls can snapshot).
class TestDialog : public CDialog {
public:
    TestDialog(int width = 480, int height = 320);
    ~TestDialog() override;

    bool Open();
    const CBitmap& Background() const { return m_background; }

    // Messages the dialog received: WM_COMMAND, WM_MOUSEMOVE and everything
    // from WM_USER up.
    std::vector<RecordedMessage> messages;
    std::vector<RecordedMessage> Of(UINT msg) const;
    int Count(UINT msg) const { return static_cast<int>(Of(msg).size()); }
    void Clear() { messages.clear(); }

    // A key filter to test the PreTranslateMessage walk with.
    std::function<BOOL(MSG*)> filter;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    void PaintBackground(HDC dc) const;

    int m_width;
    int m_height;
    CBitmap m_background;
};

// Pixel colour of the test dialog's background pattern at (x, y), 0x00RRGGBB.
uint32_t TestBackgroundPixel(int x, int y);

// Paints an owner-drawn control into a DIB through its parent's WM_DRAWITEM,
// as the system does, with the given item state (ODS_SELECTED, ODS_DISABLED).
std::unique_ptr<Dib32> RenderOwnerDrawn(const CWnd& control, UINT itemState = 0);
// Paints a window that answers WM_PRINTCLIENT into a DIB of its client size.
std::unique_ptr<Dib32> RenderPrintClient(const CWnd& window);
// A window's client area with its visible children, each painted by itself
// into the DIB (WM_PRINTCLIENT), never read back from the screen: a window of
// another program on the same display cannot get into the picture.
std::unique_ptr<Dib32> RenderWindow(HWND hwnd);

// A top-level window of this process as it shows, whole, from any thread: our
// own frameless windows paint themselves into the picture (RenderWindow); a
// layered window paints nothing, and a frame or a window of the system's own
// (a message box) is drawn by the system, so those are read back from the
// screen. Such a window should be on top, as a modal box and a popup are.
std::unique_ptr<Dib32> CaptureTopLevelWindow(HWND hwnd);

// Not one colour: something was drawn (a window read back from the screen
// shows the empty desktop until it reaches it).
bool Varied(const Dib32& picture);

bool SaveScreenshot(const Dib32& dib, const std::wstring& name);
bool SaveWindowScreenshot(HWND hwnd, const std::wstring& name);

// Posts a left press and release at a client point and handles them.
void PostClick(const CWnd& control, int x, int y);
void PostMouse(const CWnd& control, UINT msg, int x, int y, WPARAM keys);

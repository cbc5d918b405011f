// The common base of the five pages of the main window: a modeless child
// dialog over the main window's skin, painted from a background of its own.
#pragma once

#include <windows.h>

#include <string>

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "skin/control_handlers_win32.h"

// Where every page lies in the main window's client area. Controls that take
// their background from the main window's skin add this offset.
inline constexpr RECT kPageRect{80, 146, 1000, 564};

// The pages' hover tracking ticks on this timer of their own.
constexpr UINT_PTR TIMER_PAGE_HOVER = 17;
constexpr UINT PAGE_HOVER_INTERVAL_MS = 200;

// Enables or disables one of a page's controls and repaints it, for the
// skinned controls draw their disabled look themselves; nothing when it is so
// already or not made yet.
void EnableControl(const CWnd& control, bool enabled);

class CMainPage : public CDialogEx {
public:
    // mainBackground is the main window's skin (borrowed, it outlives the
    // page); until a page loads an image of its own, its background is the
    // part of the main skin that lies under it.
    CMainPage(UINT templateId, const CBitmap* mainBackground);

    // What the main window asks of every page; a page overrides what it has.
    // Fill the controls from g_settings.
    virtual void RefreshFromSettings() {}
    // Take the texts of the language now loaded.
    virtual void UpdateTexts() {}
    // What the main window's RefreshAllPages asks of the page: by default its
    // controls filled from g_settings.
    virtual void Refresh() { RefreshFromSettings(); }
    // End a macro recording that may be running.
    virtual void StopRecording() {}

    // The page's background in its own client coordinates: the source of the
    // background snapshots of the controls on it.
    const CBitmap& Background() const { return m_bmpBackground; }

    // Enter, Escape and Space go no further: the dialog manager would hand
    // them on as IDOK or IDCANCEL to the main window, which would close.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // Only modal dialogs end on IDOK and IDCANCEL; a page stays.
    void OnOK() override {}
    void OnCancel() override {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Clicks go to the handler m_controls names for their control first.
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    // After a handler of m_controls ran: a page that shows what its controls
    // change shows it again here.
    virtual void OnControlHandled() {}

    // Makes the part under the page of a skin image of the main window's size
    // the page's background. False when the image cannot be loaded; the
    // background then stays as it was.
    bool LoadBackground(const std::wstring& imageName);
    // The same from a skin image already decoded.
    void TakeBackgroundFrom(const CBitmap& skin);

    CBitmap m_bmpBackground;
    const CBitmap* m_mainBackground;
    // The page's controls and their handlers, for clicks and the skinned
    // controls' notices alike; a page fills it once, in its constructor or
    // as it builds its controls.
    CControlHandlers m_controls;
};

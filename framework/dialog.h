// Dialogs from empty templates. DoModal runs our own loop so that every
// message first walks PreTranslateMessage from its target window up to the
// top-level window (the key filters of the pages and dialogs live there),
// and only then the dialog manager sees it.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    // A template of this program's resources, and the window the framework
    // picks the owner from (null: the main window's last active popup).
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    // An in-memory template (see BuildDialogTemplate).
    explicit CDialog(std::vector<WORD> memoryTemplate, CWnd* parent = nullptr);

    // Runs the dialog modally; returns what EndDialog was given, or -1 when the
    // dialog could not be created or the loop ended on WM_QUIT.
    INT_PTR DoModal();
    // Creates the dialog modeless, e.g. a page as a child of parent.
    bool CreateModeless(CWnd* parent);
    void EndDialog(INT_PTR result);
    bool IsModal() const { return m_modal; }

    virtual BOOL OnInitDialog() { return TRUE; }
    // Enter and Escape (IDOK, IDCANCEL from the dialog manager) end a modal
    // dialog only: a modeless page would merely be hidden, with nothing to
    // bring it back.
    virtual void OnOK() {
        if (m_modal) EndDialog(IDOK);
    }
    virtual void OnCancel() {
        if (m_modal) EndDialog(IDCANCEL);
    }

    // Keyboard and mouse input for this dialog goes to the dialog manager.
    BOOL PreTranslateMessage(MSG* msg) override;

    // The owner a modal window gets: the top-level ancestor of parent; with no
    // parent, the main window's last active popup.
    static HWND GetSafeOwner(CWnd* parent, HWND* disabledTop = nullptr);

    // Offers msg to PreTranslateMessage of its window and each ancestor up to
    // the top-level window. TRUE: someone took it.
    static BOOL WalkPreTranslate(MSG* msg);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;

    CWnd* m_parentWnd;

private:
    bool CreateFromTemplate(HWND owner);
    void RunModalLoop();

    UINT m_templateId = 0;
    std::vector<WORD> m_memoryTemplate;
    bool m_modal = false;
    bool m_endRequested = false;
    INT_PTR m_result = -1;
};

class CDialogEx : public CDialog {
public:
    using CDialog::CDialog;
};

// An empty DLGTEMPLATEEX: no controls, font "MS Shell Dlg" 8 when DS_SETFONT.
// Sizes in dialog units.
std::vector<WORD> BuildDialogTemplate(DWORD style, DWORD exStyle, short cx, short cy);

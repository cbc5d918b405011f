// The macro editor page: the list of macros and the events of the one shown,
// recording through the keyboard capture with real or fixed delays, the insert
// menu, modify and delete, the repeat mode and count, and applying a macro to
// the buttons that play it. Its decisions are macro_set_model.h's; the window
// keeps the rows in its two lists and hands them to those decisions.
#pragma once

#include <windows.h>

#include "app/pages/macro_set_model.h"
#include "app/pages/main_page_win32.h"
#include "app/pages/page_host.h"
#include "framework/controls.h"
#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"
#include "framework/keyboard_capture.h"
#include "skin/list_box_ex_win32.h"
#include "skin/push_buttons_win32.h"

constexpr UINT MACRO_LIST_ID = 256;
constexpr UINT MACRO_EVENT_LIST_ID = 257;
constexpr UINT MACRO_COUNT_EDIT_ID = 1001;
constexpr UINT MACRO_DELAY_EDIT_ID = 1003;
constexpr UINT_PTR TIMER_REPEAT_COUNT_CHECK = 153;
constexpr UINT REPEAT_COUNT_CHECK_MS = 2000;
constexpr int MACRO_REPEAT_MODE_COUNT = 3;

class CMacroSetDlg : public CMainPage {
    // Borrowed by the controls and the scroll frames: declared first, so that
    // they outlive every control.
    GdipImage m_radioImages[3];
    GdipImage m_checkImages[3];
    CBitmap m_scrollSkin;
    CBrush m_editBrush;

public:
    // Apply uploads through the host's driver; the hover tips go to the host.
    CMacroSetDlg(const CBitmap* mainBackground, PageHost& host);

    // The macros of the store, the last one selected and shown.
    void ReloadMacroList();
    void UpdateTexts() override;
    // The page shows the store, not g_settings: only its texts follow.
    void Refresh() override { UpdateTexts(); }
    // Ends a recording (saving it) and lets the keyboard go in every case.
    void StopRecording() override;

    bool IsRecording() const { return m_isRecording; }
    int SelectedMacroIndex() const { return m_selectedMacroIndex; }
    // The rows of the event list as they stand.
    MacroRows EventRows() const;

    CGDIBitmapBtn m_listCaption;
    CGDIBitmapBtn m_eventCaption;
    CListBoxEx m_macroList;
    CListBoxEx m_eventList;
    CGDIBitmapBtnEx m_newButton;
    CGDIBitmapBtnEx m_deleteButton;
    CGDIBitmapBtnEx m_insertButton;
    CGDIBitmapBtnEx m_deleteEventButton;
    CGDIBitmapBtnEx m_modifyButton;
    CGDIBitmapBtnEx m_recordButton;
    CGDIBitmapBtn m_autoDelayBox;
    CEdit m_fixedDelayEdit;
    CGDIBitmapBtn m_repeatRadios[MACRO_REPEAT_MODE_COUNT];
    CEdit m_countEdit;
    CGDIBitmapBtnEx m_applyButton;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void BuildControls();
    void ListHandlers();
    void MakeLabel(CGDIBitmapBtn& label, RECT rect);
    void MakeList(CListBoxEx& list, RECT rect, UINT id);

    // The macro whose events are shown: the selected row of the macro list.
    void ShowSelectedMacro();
    void ShowRows(const MacroRows& rows, int selected);
    void SetCountText(const std::u16string& text);
    void SelectRepeatMode(int mode);
    int RepeatMode() const;
    void SetRecordLook(bool recording);
    void EnableEditing(bool enabled);

    void OnNewMacro();
    void OnDeleteMacro();
    void OnRecord();
    void StartRecording();
    void OnHookKey(uint32_t vk, uint32_t flags);
    void OpenInsertMenu();
    void OnInsert(int command);
    void OnModify();
    void OnDeleteEvent();
    void OnRename(int row);
    void OnMacroSelected();
    void OnAutoDelayClicked();
    void OnApply();
    void CheckCountField();
    void PostHoverTips(POINT pt) const;
    // Merges delay runs, then stores the rows as the shown macro's events.
    void SaveMacro();
    uint32_t MacroIdAt(int row) const;

    MacroRecorder m_recorder;
    bool m_isRecording = false;
    int m_selectedMacroIndex = -1;
    uint8_t m_macroIdPrefix = MACRO_ID_PREFIX;
    bool m_filling = false;  // the page itself sets the count field: no save for it
    PageHost& m_host;
    CKeyboardCapture m_capture{*this};
};

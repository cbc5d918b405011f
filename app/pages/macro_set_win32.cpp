#include "app/pages/macro_set_win32.h"

#include <windowsx.h>

#include <string>
#include <utility>

#include "app/dialogs/macro_picker_model.h"
#include "app/key_filter_win32.h"
#include "device/clock.h"
#include "device/keyboard_hook.h"
#include "device/macro_store.h"
#include "device/user_notice.h"
#include "framework/strings.h"
#include "framework/wait_cursor.h"
#include "res/resource.h"
#include "skin/skin_draw_win32.h"
#include "skin/skin_messages.h"
#include "skin/skin_scroll_wnd_win32.h"
#include "skin/value_entry_win32.h"
#include "skin/xp_menu_win32.h"
#include "text/one_string_format.h"
#include "text/ui_texts.h"

namespace {

constexpr RECT kListCaptionRect{53, 25, 193, 40};
constexpr RECT kEventCaptionRect{277, 25, 397, 40};
constexpr RECT kMacroListRect{40, 54, 230, 365};
constexpr RECT kEventListRect{276, 54, 576, 365};
constexpr RECT kNewRect{40, 376, 155, 402};
constexpr RECT kDeleteRect{165, 376, 230, 402};
constexpr RECT kInsertRect{262, 376, 432, 402};
constexpr RECT kDeleteEventRect{434, 376, 500, 402};
constexpr RECT kModifyRect{515, 376, 591, 402};
constexpr RECT kRecordRect{622, 376, 802, 402};
constexpr RECT kAutoDelayRect{614, 40, 884, 56};
constexpr RECT kFixedDelayRect{650, 70, 710, 90};
constexpr RECT kRadioRects[MACRO_REPEAT_MODE_COUNT] = {{610, 106, 830, 122}, {610, 145, 830, 161}, {610, 184, 760, 198}};
constexpr RECT kCountRect{765, 180, 820, 200};
constexpr RECT kApplyRect{660, 220, 756, 246};

constexpr int kCaptionFont = 14;
constexpr int kButtonFont = 14;
constexpr int kBesideImage = 18;  // a caption starts after the check or radio image
constexpr int kMenuRowWidth = 160;
constexpr int kMenuRowHeight = 20;
constexpr int kMenuAboveBottom = 130;
constexpr COLORREF kEditBack = RGB(15, 15, 15);
constexpr COLORREF kEditText = RGB(255, 255, 255);
constexpr COLORREF kListText = RGB(220, 220, 220);
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;

// Normal, hover, pressed. The record button has no pressed image of its own.
struct ButtonImages {
    const wchar_t* normal;
    const wchar_t* hover;
    const wchar_t* pressed;
};
constexpr ButtonImages kAddImages{L"add_nr.png", L"add_ov.png", L"add_dn.png"};
constexpr ButtonImages kInsertImages{L"keybtn_nr.png", L"keybtn_ov.png", L"keybtn_dn.png"};
constexpr ButtonImages kRecordImages{L"record_play_nr.png", L"record_play_ov.png", L"record_play_ov.png"};
constexpr ButtonImages kStopImages{L"record_stop_nr.png", L"record_stop_ov.png", L"record_stop_ov.png"};

void SetButtonImages(CGDIBitmapBtnEx& button, const ButtonImages& images, const CBitmap* background, RECT rect) {
    button.SetImages(SkinImagePathW(images.normal), SkinImagePathW(images.hover), SkinImagePathW(images.pressed),
                     background, rect);
}

void MakeButton(CGDIBitmapBtnEx& button, RECT rect, const ButtonImages& images, CWnd* page, const CBitmap* background) {
    button.Create(L"", kButtonStyle, rect, page, 0);
    SetButtonImages(button, images, background, rect);
    button.SetText(L"", 0, 0, kButtonFont, DT_CENTER, TRUE);
}

const char16_t kAppliedMessage[] = u"The macro is being applied and cannot be deleted!";
const char16_t kFullMessage[] = u"A macro holds at most 1000 events.";
const char16_t kNotSavedMessage[] = u"The macros could not be saved to %s.";

// The store holds the change, but a file that missed it loses it at the next start.
void TellIfStoreNotSaved() {
    if (TakeMacroStoreSaveFailure()) ShowUserNotice(FormatOneString(kNotSavedMessage, MacroStorePath()), u"");
}

// The insert menu's rows: the command in the id's low 12 bits.
uint32_t InsertMenuId(int command) {
    return MACRO_MENU_COMMAND_BASE + static_cast<uint32_t>(command);
}

std::wstring Text(UiText id) {
    return ToWide(g_uiTexts[id]);
}

// The menu's rows point at their texts for as long as the menu lives.
const wchar_t* MenuText(UiText id) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return reinterpret_cast<const wchar_t*>(g_uiTexts[id].c_str());
}

}  // namespace

CMacroSetDlg::CMacroSetDlg(const CBitmap* mainBackground, PageHost& host)
    : CMainPage(IDD_MACRO_PAGE, mainBackground), m_host(host) {
    ListHandlers();
}

// ---- building ----

void CMacroSetDlg::MakeLabel(CGDIBitmapBtn& label, RECT rect) {
    label.m_mouseEnabled = 0;
    label.m_hoverEnabled = 0;
    label.Create(L"", kButtonStyle, rect, this, 0);
    label.SetImages(nullptr, nullptr, nullptr, &m_bmpBackground, rect);
    label.SetText(L"", 0, 0, kCaptionFont, DT_LEFT | DT_VCENTER, FALSE);
}

void CMacroSetDlg::MakeList(CListBoxEx& list, RECT rect, UINT id) {
    list.Create(CListBoxEx::kStyle, rect, this, id);
    list.m_bkBrush.CreateSolidBrush(kEditBack);
    list.m_textColor = kListText;
    list.m_dblClickEdit = 1;
    if (!m_scrollSkin.IsEmpty()) CSkinScrollWnd::SkinWindow(&list, new CSkinScrollWnd, m_scrollSkin);
}

void CMacroSetDlg::BuildControls() {
    LoadBackground(L"macro_nr.png");
    const wchar_t* radio[3] = {L"radio_nr.png", L"radio_ov.png", L"radio_dn.png"};
    const wchar_t* check[3] = {L"check_nr.png", L"check_ov.png", L"check_dn.png"};
    for (int s = 0; s < 3; ++s) {
        m_radioImages[s] = GdipImage::FromFile(SkinImagePathW(radio[s]));
        m_checkImages[s] = GdipImage::FromFile(SkinImagePathW(check[s]));
    }
    m_scrollSkin.Attach(static_cast<HBITMAP>(::LoadImageW(nullptr, SkinImagePathW(L"scrollbar.bmp").c_str(),
                                                          IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    m_editBrush.CreateSolidBrush(kEditBack);

    MakeLabel(m_listCaption, kListCaptionRect);
    MakeLabel(m_eventCaption, kEventCaptionRect);
    MakeList(m_macroList, kMacroListRect, MACRO_LIST_ID);
    MakeList(m_eventList, kEventListRect, MACRO_EVENT_LIST_ID);
    m_eventList.m_notifyWnd = m_hWnd;
    m_eventList.m_useNotifyWnd = 1;

    MakeButton(m_newButton, kNewRect, kAddImages, this, &m_bmpBackground);
    MakeButton(m_deleteButton, kDeleteRect, kAddImages, this, &m_bmpBackground);
    MakeButton(m_insertButton, kInsertRect, kInsertImages, this, &m_bmpBackground);
    MakeButton(m_deleteEventButton, kDeleteEventRect, kAddImages, this, &m_bmpBackground);
    MakeButton(m_modifyButton, kModifyRect, kAddImages, this, &m_bmpBackground);
    MakeButton(m_recordButton, kRecordRect, kRecordImages, this, &m_bmpBackground);
    MakeButton(m_applyButton, kApplyRect, kAddImages, this, &m_bmpBackground);

    m_autoDelayBox.m_checkMode = 1;
    m_autoDelayBox.Create(L"", kButtonStyle, kAutoDelayRect, this, 0);
    m_autoDelayBox.SetImages(&m_checkImages[0], &m_checkImages[1], &m_checkImages[2], &m_bmpBackground,
                             kAutoDelayRect);
    m_autoDelayBox.SetText(L"", kBesideImage, 0, kButtonFont, DT_LEFT | DT_VCENTER, FALSE);
    m_autoDelayBox.SetChecked(1);

    const DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    m_fixedDelayEdit.Create(editStyle, kFixedDelayRect, this, MACRO_DELAY_EDIT_ID);
    m_fixedDelayEdit.SetWindowText(L"10");
    m_fixedDelayEdit.LimitText(65534);
    m_fixedDelayEdit.EnableWindow(FALSE);

    for (int i = 0; i < MACRO_REPEAT_MODE_COUNT; ++i) {
        CGDIBitmapBtn& button = m_repeatRadios[i];
        button.m_checkMode = 1;
        button.Create(L"", kButtonStyle, kRadioRects[i], this, 0);
        button.SetImages(&m_radioImages[0], &m_radioImages[1], &m_radioImages[2], &m_bmpBackground, kRadioRects[i]);
        button.SetText(L"", kBesideImage, 0, kButtonFont, DT_LEFT | DT_VCENTER, FALSE);
    }
    m_filling = true;
    m_countEdit.Create(editStyle, kCountRect, this, MACRO_COUNT_EDIT_ID);
    m_countEdit.SetWindowText(L"1");
    m_countEdit.LimitText(5);
    m_filling = false;
    UpdateTexts();
}

// One line per control.
void CMacroSetDlg::ListHandlers() {
    m_controls.Click(m_newButton, [this] { OnNewMacro(); });
    m_controls.Click(m_deleteButton, [this] { OnDeleteMacro(); });
    m_controls.Click(m_insertButton, [this] { OpenInsertMenu(); });
    m_controls.Click(m_deleteEventButton, [this] { OnDeleteEvent(); });
    m_controls.Click(m_modifyButton, [this] { OnModify(); });
    m_controls.Click(m_recordButton, [this] { OnRecord(); });
    m_controls.Click(m_autoDelayBox, [this] { OnAutoDelayClicked(); });
    for (int i = 0; i < MACRO_REPEAT_MODE_COUNT; ++i) m_controls.Click(m_repeatRadios[i], [this, i] { SelectRepeatMode(i); });
    m_controls.Click(m_applyButton, [this] { OnApply(); });
    // The page's own changes of the count are no edits to save.
    m_controls.EditChanged(m_countEdit, [this] {
        if (!m_filling) SaveMacro();
    });
    for (int command = MACRO_INSERT_KEY; command <= MACRO_INSERT_MIDDLE; ++command)
        m_controls.MenuCommand(InsertMenuId(command), [this, command] { OnInsert(command); });
}

BOOL CMacroSetDlg::OnInitDialog() {
    CMainPage::OnInitDialog();
    BuildControls();
    ShowSelectedMacro();
    SetTimer(TIMER_REPEAT_COUNT_CHECK, REPEAT_COUNT_CHECK_MS);
    m_macroIdPrefix = MACRO_ID_PREFIX;
    return TRUE;
}

BOOL CMacroSetDlg::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedDialogKey(msg, true)) return TRUE;
    return CMainPage::PreTranslateMessage(msg);
}

// ---- messages ----

LRESULT CMacroSetDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UWM_HOOK_KEY:
        OnHookKey(static_cast<uint32_t>(wp), static_cast<uint32_t>(lp));
        return 0;
    case UWM_LIST_SELCHANGE:
        // The event list's changes need nothing here.
        if (wp == MACRO_LIST_ID) OnMacroSelected();
        return 0;
    case UWM_LIST_DBLCLK:
        if (wp == MACRO_EVENT_LIST_ID) SaveMacro();
        if (wp == MACRO_LIST_ID) OnRename(static_cast<int>(lp));
        return 0;
    case WM_TIMER:
        if (wp == TIMER_REPEAT_COUNT_CHECK) {
            CheckCountField();
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        PostHoverTips(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        auto control = reinterpret_cast<HWND>(lp);
        if (control == m_countEdit.m_hWnd || control == m_fixedDelayEdit.m_hWnd) {
            auto dc = reinterpret_cast<HDC>(wp);
            ::SetTextColor(dc, kEditText);
            ::SetBkColor(dc, kEditBack);
            return reinterpret_cast<LRESULT>(m_editBrush.GetSafeHandle());
        }
        break;
    }
    case WM_SHOWWINDOW:
        // A hidden page records nothing: the keyboard goes back at once.
        if (!wp) StopRecording();
        break;
    case WM_DESTROY:
        StopRecording();
        break;
    default:
        break;
    }
    return CMainPage::WindowProc(msg, wp, lp);
}

// ---- the macro list ----

uint32_t CMacroSetDlg::MacroIdAt(int row) const {
    return static_cast<uint32_t>(m_macroList.GetItemData(row));
}

void CMacroSetDlg::ReloadMacroList() {
    if (!m_hWnd) return;
    // The rows of a recording are saved before the lists are refilled.
    if (m_isRecording) StopRecording();
    m_macroList.ResetContent();
    m_eventList.ResetContent();
    MacroPickerList listed = BuildMacroPickerList(g_macroStore);
    m_macroList.SendMessage(WM_SETREDRAW, FALSE);
    for (const MacroPickerRow& row : listed.rows)
        m_macroList.AddItem(static_cast<int>(row.macroId), LIST_ITEM_PLAIN, ToWide(row.name));
    m_macroList.SendMessage(WM_SETREDRAW, TRUE);
    m_macroList.Invalidate(TRUE);
    ShowSelectedMacro();
}

void CMacroSetDlg::ShowSelectedMacro() {
    SelectRepeatMode(2);
    m_selectedMacroIndex = m_macroList.GetCurSel();
    if (m_selectedMacroIndex < 0) return;
    m_eventList.ResetContent();
    MacroRecord* record = FindMacroRecord(MacroIdAt(m_selectedMacroIndex));
    if (!record) return;
    ShownMacro shown = ShowMacroRecord(*record);
    SetCountText(shown.countText);
    SelectRepeatMode(shown.repeatMode);
    ShowRows(shown.rows, -1);
    if (shown.badEvent) ::OutputDebugStringW(L"LoadMacroToList:  Not a vaild item");
}

void CMacroSetDlg::ShowRows(const MacroRows& rows, int selected) {
    m_eventList.SendMessage(WM_SETREDRAW, FALSE);
    m_eventList.ResetContent();
    for (const MacroEventRow& row : rows)
        m_eventList.AddItem(static_cast<int>(row.value), row.type, ToWide(row.text));
    if (!rows.empty()) m_eventList.SetCurSel(selected);
    m_eventList.SendMessage(WM_SETREDRAW, TRUE);
    m_eventList.Invalidate(TRUE);
}

MacroRows CMacroSetDlg::EventRows() const {
    MacroRows rows;
    const int count = m_eventList.GetCount();
    rows.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const auto data = static_cast<uint32_t>(m_eventList.GetItemData(i));
        rows.push_back({ListItemDataType(data), ListItemDataValue(data), ToU16(m_eventList.GetText(i))});
    }
    return rows;
}

void CMacroSetDlg::OnMacroSelected() {
    const int row = m_macroList.GetCurSel();
    if (row == m_selectedMacroIndex) return;
    // A recording belongs to the macro it began on.
    if (m_isRecording) StopRecording();
    ShowSelectedMacro();
    if (m_eventList.GetCount() == 0) SetCountText(u"1");
}

void CMacroSetDlg::OnNewMacro() {
    std::optional<std::wstring> typed = RunNameEntry(this);
    if (!typed || !m_hWnd) return;
    const uint32_t id = NewMacroId(GetClock().TickCount(), [this](uint32_t candidate) {
        if (FindMacroRecord(candidate)) return true;
        for (int i = 0; i < m_macroList.GetCount(); ++i)
            if (MacroIdAt(i) == candidate) return true;
        return false;
    });
    m_macroList.AddItem(static_cast<int>(id), LIST_ITEM_PLAIN, ToWide(NewMacroName(ToU16(*typed))));
    ShowSelectedMacro();
    m_eventList.ResetContent();
    SetCountText(u"1");
}

void CMacroSetDlg::OnDeleteMacro() {
    const int row = m_macroList.GetCurSel();
    if (row < 0) return;
    const uint32_t id = MacroIdAt(row);
    if (IsMacroApplied(id)) {
        ShowUserNotice(kAppliedMessage, u"");
    } else {
        DeleteMacroRecord(id);
        TellIfStoreNotSaved();
        m_macroList.DeleteString(row);
    }
    m_eventList.ResetContent();
    // No macro's events are shown now: nothing may be saved over one.
    m_selectedMacroIndex = -1;
}

void CMacroSetDlg::OnRename(int row) {
    if (row < 0 || row >= m_macroList.GetCount()) return;
    RenameStoredMacro(MacroIdAt(row), ToU16(m_macroList.GetText(row)));
    TellIfStoreNotSaved();
}

// ---- recording ----

void CMacroSetDlg::SetRecordLook(bool recording) {
    SetButtonImages(m_recordButton, recording ? kStopImages : kRecordImages, &m_bmpBackground, kRecordRect);
    m_recordButton.SetCaption(Text(recording ? UiText::str_macro_end : UiText::str_macro_start));
    m_recordButton.Invalidate(TRUE);
}

void CMacroSetDlg::EnableEditing(bool enabled) {
    for (CWnd* control : {static_cast<CWnd*>(&m_newButton), static_cast<CWnd*>(&m_deleteButton),
                          static_cast<CWnd*>(&m_insertButton), static_cast<CWnd*>(&m_deleteEventButton),
                          static_cast<CWnd*>(&m_modifyButton)})
        EnableControl(*control, enabled);
}

void CMacroSetDlg::OnRecord() {
    if (m_isRecording) {
        StopRecording();
        return;
    }
    if (m_macroList.GetCurSel() < 0) return;
    if (m_macroList.GetCurSel() != m_selectedMacroIndex) ShowSelectedMacro();
    StartRecording();
}

void CMacroSetDlg::StartRecording() {
    m_isRecording = true;
    SetRecordLook(true);
    EnableEditing(false);
    m_eventList.ResetContent();
    m_recorder.Start();
    // A refused hook says so itself; the page stays recording and can be stopped.
    m_capture.Start();
}

void CMacroSetDlg::StopRecording() {
    if (m_isRecording) {
        SetRecordLook(false);
        EnableEditing(true);
        SaveMacro();
        m_isRecording = false;
    }
    m_capture.Stop();
}

void CMacroSetDlg::OnHookKey(uint32_t vk, uint32_t flags) {
    // Keys posted before the capture ended may still come in.
    if (!m_isRecording) return;
    RecordStep step = m_recorder.Key(vk, flags, GetClock().TickCount(), m_autoDelayBox.m_checked != 0,
                                     ToU16(m_fixedDelayEdit.GetWindowText()), static_cast<size_t>(m_eventList.GetCount()));
    switch (step.outcome) {
    case RecordedKey::KeyLimit:
    case RecordedKey::RowLimit:
        // A full recording ends as the record button ends it, before the box
        // shows: with the keyboard still captured, every further key (the
        // Enter meant for the box too) would come back through the box's own
        // loop and open another box over it.
        StopRecording();
        ShowUserNotice(step.outcome == RecordedKey::KeyLimit ? g_uiTexts[UiText::str_msg4] : kFullMessage, u"");
        return;
    case RecordedKey::Ignored:
        return;
    case RecordedKey::Added:
        for (const MacroEventRow& row : step.rows)
            m_eventList.AddItem(static_cast<int>(row.value), row.type, ToWide(row.text));
        return;
    }
}

// ---- editing the events ----

void CMacroSetDlg::OpenInsertMenu() {
    CXPMenu menu;
    if (!menu.CreatePopupMenu()) return;
    const UiText rows[] = {UiText::str_macro_kb_key, UiText::str_macro_delay, UiText::str_leftbt, UiText::str_rightbt,
                           UiText::str_midbt};
    for (int i = 0; i < 5; ++i) menu.AppendRow(InsertMenuId(MACRO_INSERT_KEY + i), MenuText(rows[i]));
    menu.m_itemWidth = kMenuRowWidth;
    menu.m_itemHeight = kMenuRowHeight;
    RECT r = m_insertButton.GetWindowRect();
    menu.TrackWithHook(TPM_LEFTALIGN | TPM_LEFTBUTTON, r.left, r.bottom - kMenuAboveBottom, m_hWnd);
}

void CMacroSetDlg::OnInsert(int command) {
    // Rows that belong to no macro would be saved nowhere.
    if (m_selectedMacroIndex < 0) return;
    uint32_t value = 0;
    if (command == MACRO_INSERT_KEY || command == MACRO_INSERT_DELAY) {
        std::optional<uint32_t> entered =
            RunValueEntry(this, command == MACRO_INSERT_KEY ? VALUE_ENTRY_KEY : VALUE_ENTRY_DELAY);
        if (!entered || !m_hWnd) return;
        value = *entered;
    }
    const MacroRows rows = EventRows();
    const MacroEdits edits = PlanMacroInsert(command, rows, m_eventList.GetCurSel(), value);
    if (!MacroEditsFit(rows, edits)) {
        ShowUserNotice(kFullMessage, u"");
        return;
    }
    for (const MacroRowEdit& edit : edits) {
        if (edit.kind == MacroRowEdit::Insert)
            m_eventList.InsertItem(ToWide(edit.row.text), edit.index, edit.row.type, static_cast<int>(edit.row.value));
        else
            m_eventList.ReplaceDelayItem(edit.index, ToWide(edit.row.text), static_cast<int>(edit.row.value));
    }
    SaveMacro();
}

void CMacroSetDlg::OnModify() {
    const int s = m_eventList.GetCurSel();
    if (s < 0) return;
    const MacroRows rows = EventRows();
    const MacroEventRow& row = rows[static_cast<size_t>(s)];
    const int mode = MacroModifyMode(row);
    if (mode < 0) return;
    std::optional<uint32_t> value = RunValueEntry(this, mode);
    if (!value || !m_hWnd) return;
    std::optional<MacroEventRow> modified = ModifiedMacroRow(row, *value);
    if (!modified) return;
    m_eventList.DeleteString(s);
    m_eventList.InsertItem(ToWide(modified->text), s, modified->type, static_cast<int>(modified->value));
    SaveMacro();
}

void CMacroSetDlg::OnDeleteEvent() {
    const int s = m_eventList.GetCurSel();
    if (s < 0) return;
    m_eventList.DeleteString(s);
    // An emptied list is not stored: the macro keeps its events.
    if (m_eventList.GetCount() > 0) SaveMacro();
}

// ---- repeat and delay settings ----

void CMacroSetDlg::SelectRepeatMode(int mode) {
    for (int i = 0; i < MACRO_REPEAT_MODE_COUNT; ++i) m_repeatRadios[i].SetChecked(i == mode ? 1 : 0);
    EnableControl(m_countEdit, mode == 2);
}

int CMacroSetDlg::RepeatMode() const {
    for (int i = 0; i < MACRO_REPEAT_MODE_COUNT; ++i)
        if (m_repeatRadios[i].m_checked) return i;
    return -1;
}

void CMacroSetDlg::SetCountText(const std::u16string& text) {
    if (!m_countEdit.m_hWnd) return;
    m_filling = true;
    m_countEdit.SetWindowText(ToWide(text));
    m_filling = false;
}

void CMacroSetDlg::OnAutoDelayClicked() {
    m_autoDelayBox.SetChecked(m_autoDelayBox.m_checked ? 0 : 1);
    EnableControl(m_fixedDelayEdit, !m_autoDelayBox.m_checked);
}

void CMacroSetDlg::CheckCountField() {
    if (!m_countEdit.m_hWnd) return;
    // Setting the text saves, as a typed change would.
    if (std::optional<std::u16string> fixed = NormalisedCountText(ToU16(m_countEdit.GetWindowText())))
        m_countEdit.SetWindowText(ToWide(*fixed));
}

// ---- saving and applying ----

void CMacroSetDlg::SaveMacro() {
    MergedRows merged = MergeMacroDelays(EventRows(), m_eventList.GetCurSel());
    if (merged.changed) ShowRows(merged.rows, merged.selected);
    if (merged.rows.empty()) return;
    // The shown macro's, never whichever row happens to be selected.
    const int row = m_selectedMacroIndex;
    if (row < 0 || row >= m_macroList.GetCount()) return;
    std::optional<MacroBlobImage> image = BuildMacroBlob(merged.rows, MacroIdAt(row), ToU16(m_macroList.GetText(row)),
                                                         RepeatMode(), ToU16(m_countEdit.GetWindowText()));
    if (image) StoreMacroBlob(image->blob(), image->bytes());
    TellIfStoreNotSaved();
}

void CMacroSetDlg::OnApply() {
    const int row = m_macroList.GetCurSel();
    if (row < 0) return;
    {
        CWaitCursor uploading(m_hWnd);
        ApplyMacroToButtons(MacroIdAt(row), RepeatMode(), ToU16(m_countEdit.GetWindowText()), m_host.Driver());
    }
    TellIfStoreNotSaved();
}

// ---- texts and tips ----

void CMacroSetDlg::UpdateTexts() {
    if (!m_hWnd) return;
    m_listCaption.SetCaption(Text(UiText::str_macro_list));
    m_eventCaption.SetCaption(Text(UiText::str_macro_event));
    m_newButton.SetCaption(Text(UiText::str_new_macro));
    m_deleteButton.SetCaption(Text(UiText::str_del_macro));
    m_insertButton.SetCaption(Text(UiText::str_customisze));
    m_deleteEventButton.SetCaption(Text(UiText::str_del_macro));
    m_modifyButton.SetCaption(Text(UiText::str_macro_modify));
    m_recordButton.SetCaption(Text(m_isRecording ? UiText::str_macro_end : UiText::str_macro_start));
    m_autoDelayBox.SetCaption(Text(UiText::str_AutoInsetDelay));
    m_repeatRadios[0].SetCaption(Text(UiText::str_macro_cu));
    m_repeatRadios[1].SetCaption(Text(UiText::str_macro_ru));
    m_repeatRadios[2].SetCaption(Text(UiText::str_macro_loop));
    m_applyButton.SetCaption(Text(UiText::str_macro_save));
    Invalidate(TRUE);
}

void CMacroSetDlg::PostHoverTips(POINT pt) const {
    struct Tip {
        const CWnd* control;
        int tip;
        int grow;
    };
    const Tip tips[] = {
        {&m_newButton, 0x21, 0},       {&m_deleteButton, 0x22, 0},    {&m_deleteEventButton, 0x24, 0},
        {&m_modifyButton, 0x25, 0},    {&m_recordButton, 0x26, 0},    {&m_countEdit, 0x28, 0},
        {&m_repeatRadios[0], 0x28, 1}, {&m_repeatRadios[1], 0x28, 1}, {&m_repeatRadios[2], 0x28, 1},
    };
    for (const Tip& t : tips) {
        if (!t.control->m_hWnd) continue;
        RECT r = t.control->GetRectInParent();
        ::InflateRect(&r, t.grow, t.grow);
        if (::PtInRect(&r, pt)) m_host.ShowHoverTip(t.tip);
    }
}

#include "app/pages/button_page_win32.h"

#include <string>

#include "app/dialogs/button_dialogs_win32.h"
#include "app/quorvel_app_win32.h"
#include "device/function_names.h"
#include "framework/strings.h"
#include "framework/wait_cursor.h"
#include "res/resource.h"
#include "skin/skin_draw_win32.h"
#include "skin/skin_messages.h"
#include "text/ui_texts.h"

namespace {

constexpr DWORD kControlStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;

// Where the controls lie, in the page's client coordinates.
RECT SelectorRect(int k) {
    return RECT{3, 20 + 40 * k, 145, 40 + 40 * k};
}
RECT FunctionButtonRect(int k) {
    return RECT{163, 46 + 22 * k, 338, 66 + 22 * k};
}
constexpr RECT kSelectedLabelRect{170, 16, 338, 36};
constexpr RECT kMousePictureRect{573, 0, 777, 399};
constexpr RECT kDebounceCaptionRect{775, 57, 940, 77};
constexpr RECT kDebounceStepperRect{855, 89, 889, 207};
constexpr RECT kPowerDownCaptionRect{775, 246, 940, 266};
constexpr RECT kPowerDownStepperRect{855, 278, 889, 396};

// The two function buttons that open popups have their own hover and
// pressed images.
constexpr int kFirstPopupButton = 9;
// Both popups open beside function button 9, the multimedia one higher up.
constexpr int kDpiPopupRaise = 40;
constexpr int kMediaPopupRaise = 260;

// The panels behind the selectors and the function buttons, drawn into the
// background at the first paint, in page coordinates.
struct Panel {
    int x, y, width, height;
};
constexpr Panel kPanels[2] = {{0, 5, 150, 260}, {160, 5, 180, 286}};

std::wstring W(const std::u16string& text) {
    return ToWide(text);
}

}  // namespace

CBaseSetDlg::CBaseSetDlg(const CBitmap* mainBackground, PageHost& host)
    : CMainPage(IDD_BUTTON_PAGE, mainBackground), m_host(host) {}

ButtonAssigner CBaseSetDlg::Assigner() {
    return ButtonAssigner(g_settings, m_host.Driver());
}

// ---- creation ----

void CBaseSetDlg::LoadImages() {
    m_keyMenuNormal = GdipImage::FromFile(SkinImagePathW(L"keymenu_nr.png"));
    m_keyMenuHover = GdipImage::FromFile(SkinImagePathW(L"keymenu_ov.png"));
    m_keyMenuPressed = GdipImage::FromFile(SkinImagePathW(L"keymenu_dn.png"));
    m_keyMenuHoverPopup = GdipImage::FromFile(SkinImagePathW(L"keymenu_ov1.png"));
    m_keyMenuPressedPopup = GdipImage::FromFile(SkinImagePathW(L"keymenu_dn1.png"));
    m_stepperImage = GdipImage::FromFile(SkinImagePathW(L"add_sub.png"));
}

void CBaseSetDlg::MakeCaption(CGDIBitmapBtn& caption, RECT rect) {
    caption.Create(L"", kControlStyle, rect, this, 0);
    caption.SetImages(nullptr, nullptr, nullptr, &Background(), rect);
}

void CBaseSetDlg::BuildControls() {
    LoadImages();
    for (int k = 0; k < BUTTON_COUNT; ++k) {
        CGDIBitmapBtn& selector = m_selectors[k];
        RECT rect = SelectorRect(k);
        selector.Create(L"", kControlStyle, rect, this, 0);
        selector.m_checkMode = 1;
        selector.SetImages(&m_keyMenuNormal, &m_keyMenuHover, &m_keyMenuPressed, &Background(), rect);
    }
    m_mousePicture.Create(L"", kControlStyle, kMousePictureRect, this, 0);
    m_mousePicture.SetImages(SkinImagePathW(L"mouse_nr.png"), SkinImagePathW(L""), &Background(), kMousePictureRect);
    MakeCaption(m_selectedLabel, kSelectedLabelRect);
    MakeCaption(m_debounceCaption, kDebounceCaptionRect);
    MakeCaption(m_powerDownCaption, kPowerDownCaptionRect);
    for (CGDIBitmapBtnAddSub* stepper : {&m_powerDownStepper, &m_debounceStepper}) {
        RECT rect = stepper == &m_powerDownStepper ? kPowerDownStepperRect : kDebounceStepperRect;
        stepper->Create(L"", kControlStyle, rect, this, 0);
        stepper->SetImages(&m_stepperImage, &m_stepperImage, &m_stepperImage, &Background(), rect);
    }
    for (int j = 0; j < FUNCTION_BUTTON_COUNT; ++j) {
        CGDIBitmapBtn& button = m_functionButtons[j];
        RECT rect = FunctionButtonRect(j);
        button.Create(L"", kControlStyle, rect, this, 0);
        button.m_checkMode = 1;
        const bool opensPopup = j >= kFirstPopupButton;
        button.SetImages(&m_keyMenuNormal, opensPopup ? &m_keyMenuHoverPopup : &m_keyMenuHover,
                         opensPopup ? &m_keyMenuPressedPopup : &m_keyMenuPressed, &Background(), rect);
    }

    m_selected = 0;
    m_selectors[0].SetChecked(TRUE);
    NameFixedFunctions(g_settings);
    ShowTexts();
    ConfigureSteppers();
    SetTimer(TIMER_PAGE_HOVER, PAGE_HOVER_INTERVAL_MS);
}

void CBaseSetDlg::ConfigureSteppers() {
    m_debounceStepper.m_mode = STEPPER_COUNTER_MODE;
    m_debounceStepper.m_value = g_settings.debounceTime;
    m_debounceStepper.SetText(FormatW(L"%d", int(g_settings.debounceTime)), 2, 0, 16, DT_CENTER);

    m_powerDownStepper.m_mode = STEPPER_LIST_MODE;
    m_powerDownStepper.m_items = kPowerDownSeconds;
    m_powerDownStepper.m_itemCount = POWER_DOWN_STEP_COUNT;
    // A stored time not in the list shows as it is and steps from 60 s.
    m_powerDownStepper.m_value = PowerDownPosition(g_settings.powerDownTime);
    m_powerDownStepper.SetText(FormatW(L"%u", unsigned(g_settings.powerDownTime)), 2, 0, 16, DT_CENTER);
}

void CBaseSetDlg::ListHandlers() {
    for (int k = 0; k < BUTTON_COUNT; ++k) m_controls.Click(m_selectors[k], [this, k] { OnSelectorClicked(k); });
    for (int j = 0; j < FUNCTION_BUTTON_COUNT; ++j)
        m_controls.Click(m_functionButtons[j], [this, j] { OnFunctionClicked(j); });
    m_controls.StepperChanged([this](int mode, int value) { Assigner().StepperChanged(mode, value); });
}

// ---- texts ----

void CBaseSetDlg::ShowSelectorCaption(int k) {
    m_selectors[k].SetText(W(DisplayNameOf(g_settings.buttons[k])), 0, 20, 18, DT_CENTER, FALSE);
}

void CBaseSetDlg::ShowSelectedLabel() {
    m_selectedLabel.SetText(W(SelectedButtonLabel(m_selected)), 2, 0, 20, DT_CENTER, FALSE);
}

void CBaseSetDlg::UpdateTexts() {
    if (!m_hWnd) return;
    RespellDisplayNames(g_settings);
    ShowTexts();
}

void CBaseSetDlg::ShowTexts() {
    for (int k = 0; k < BUTTON_COUNT; ++k) ShowSelectorCaption(k);
    for (int j = 0; j < FUNCTION_BUTTON_COUNT; ++j)
        m_functionButtons[j].SetText(W(FunctionCodeName(FunctionButtonAt(j).id)), 18, 2, 18, DT_CENTER, TRUE);
    ShowSelectedLabel();
    m_debounceCaption.SetText(W(g_uiTexts[UiText::str_dbtime]), 0, 0, 15, DT_CENTER, FALSE);
    m_powerDownCaption.SetText(W(g_uiTexts[UiText::str_PowerDownTime]), 0, 0, 15, DT_CENTER, FALSE);
}

void CBaseSetDlg::RefreshFromSettings() {
    if (!m_hWnd) return;
    UpdateTexts();
    ConfigureSteppers();
}

// ---- clicks ----

void CBaseSetDlg::OnSelectorClicked(int k) {
    m_selected = k;
    for (int i = 0; i < BUTTON_COUNT; ++i) m_selectors[i].SetChecked(i == k);
    ShowSelectedLabel();
}

void CBaseSetDlg::OnFunctionClicked(int j) {
    if (LeftClickGuardRefuses(g_settings, m_selected)) {
        HWND top = ::GetAncestor(m_hWnd, GA_ROOT);
        ::MessageBoxW(top, W(g_uiTexts[UiText::str_msg1]).c_str(), kMainWindowTitle, MB_OK);
        return;
    }
    if (m_selected < 0 || m_selected >= BUTTON_COUNT) return;
    for (int k = 0; k < FUNCTION_BUTTON_COUNT; ++k) m_functionButtons[k].SetChecked(k == j);

    // The dialogs run their own loops; what they answer is for the button
    // selected when the click came.
    const int button = m_selected;
    const FunctionButtonSpec& spec = FunctionButtonAt(j);
    bool assigned = false;
    switch (spec.action) {
    case FunctionAction::Assign:
        assigned = Assigner().AssignFixed(button, spec.id);
        break;
    case FunctionAction::DoubleClick:
        assigned = RunFireKeyDialog(this, m_host.Driver()) && Assigner().AssignFixed(button, spec.id);
        break;
    case FunctionAction::KeyCombination:
        if (std::optional<uint32_t> code = RunKeyComboDialog(this))
            assigned = Assigner().AssignKeyCombination(button, *code);
        break;
    case FunctionAction::Macro:
        if (std::optional<uint32_t> macroId = RunMacroPicker(this)) {
            CWaitCursor uploading(m_hWnd);
            assigned = Assigner().AssignMacro(button, int32_t(*macroId));
        }
        break;
    case FunctionAction::DpiMenu:
        OpenPopup(m_dpiPopup, PopupKind::DpiFunction, kDpiPopupRaise);
        break;
    case FunctionAction::MediaMenu:
        OpenPopup(m_mediaPopup, PopupKind::Multimedia, kMediaPopupRaise);
        break;
    }
    if (assigned && m_hWnd) ShowSelectorCaption(button);
}

void CBaseSetDlg::OpenPopup(PopupMenuSlot& slot, PopupKind kind, int raise) {
    if (slot.IsOpen()) return;
    RECT opener = m_functionButtons[kFirstPopupButton].GetWindowRect();
    slot.Open(kind, *this, POINT{opener.left + 10, opener.top - raise});
}

void CBaseSetDlg::OnPopupResult(PopupMenuSlot& slot, PopupKind kind, LPARAM value) {
    std::optional<uint32_t> chosen = slot.TakeResult(value);
    if (!chosen || m_selected < 0 || m_selected >= BUTTON_COUNT) return;
    std::optional<FunctionId> id =
        kind == PopupKind::DpiFunction ? DpiMenuFunction(*chosen) : MediaMenuFunction(*chosen);
    if (id && Assigner().AssignFixed(m_selected, *id)) ShowSelectorCaption(m_selected);
}

// ---- hover marker ----

void CBaseSetDlg::CheckHover() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HoverRect rects[BUTTON_COUNT];
    int under = -1;
    HWND atCursor = ::WindowFromPoint(cursor);
    for (int k = 0; k < BUTTON_COUNT; ++k) {
        RECT r = m_selectors[k].GetWindowRect();
        rects[k] = {r.left, r.top, r.right, r.bottom};
        if (atCursor == m_selectors[k].m_hWnd) under = k;
    }
    const bool inFront = ::GetForegroundWindow() == ::GetAncestor(m_hWnd, GA_ROOT);
    const int number = SelectorHoverNumber(rects, cursor.x, cursor.y, inFront, under);
    if (number == m_mousePicture.m_marker) return;
    m_mousePicture.m_marker = number;
    m_mousePicture.Invalidate(TRUE);
}

// ---- painting ----

void CBaseSetDlg::DrawPanelsOnce() {
    if (m_panelsDrawn) return;
    m_panelsDrawn = true;
    if (m_bmpBackground.IsEmpty()) return;
    GdipImage panel = GdipImage::FromFile(SkinImagePathW(L"line-back.png"));
    ClientDC screen(nullptr);
    MemoryDC memory(screen.dc());
    memory.Select(m_bmpBackground);
    GdipGraphics graphics(memory);
    for (const Panel& p : kPanels) graphics.DrawImageRect(&panel, p.x, p.y, p.width, p.height);
}

LRESULT CBaseSetDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT result = CMainPage::WindowProc(msg, wp, lp);
        BuildControls();
        ListHandlers();
        return result;
    }
    case WM_PAINT:
    case WM_PRINTCLIENT:
        DrawPanelsOnce();
        break;
    case WM_TIMER:
        if (wp == TIMER_PAGE_HOVER) PostMessage(UWM_HOVER_CHECK);
        break;
    case UWM_HOVER_CHECK:
        CheckHover();
        return 0;
    case UWM_SLIDER_MOVING:
        return 1;  // nothing on this page moves with a slider
    case UWM_VALUE_CHANGED:
        return 0;
    case UWM_DPI_FUNCTION_MENU_RESULT:
        OnPopupResult(m_dpiPopup, PopupKind::DpiFunction, lp);
        return 0;
    case UWM_MULTIMEDIA_MENU_RESULT:
        OnPopupResult(m_mediaPopup, PopupKind::Multimedia, lp);
        return 0;
    default:
        break;
    }
    return CMainPage::WindowProc(msg, wp, lp);
}

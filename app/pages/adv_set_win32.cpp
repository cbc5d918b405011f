#include "app/pages/adv_set_win32.h"

#include <string>
#include <utility>

#include "framework/strings.h"
#include "res/resource.h"
#include "skin/confirm_dlg_win32.h"
#include "skin/popup_menu_logic.h"
#include "skin/skin_messages.h"
#include "skin/skin_draw_win32.h"

namespace {

// Where the page's controls lie, in its client coordinates. A stage row is 40
// pixels high: the X slider at its top, the Y slider 20 pixels below.
constexpr int kRowTop = 50;
constexpr int kRowPitch = 40;
constexpr int kYOffset = 20;
constexpr int kSliderLeft = 110;
constexpr int kSliderRight = 382;
constexpr int kSliderHeight = 12;
constexpr int kLabelLeft = 384;
constexpr int kBoxLeft = 406;
constexpr int kBoxRight = 460;
constexpr int kBoxHeight = 18;
constexpr int kStageLeft = 70;
constexpr int kStageRight = 98;

constexpr RECT kCountCaptionRect{30, 10, 150, 32};
constexpr RECT kCountButtonRect{150, 8, 256, 34};
constexpr RECT kLedButtonRect{280, 8, 480, 34};
constexpr RECT kSensorModeCaptionRect{540, 40, 900, 58};
constexpr int kSensorModeLeft = 540;
constexpr int kSensorModeTop = 68;
constexpr int kSensorModeWidth = 124;
constexpr int kSensorModePitch = 125;
constexpr RECT kLiftOffCaptionRect{540, 170, 900, 188};
constexpr int kSwitchTop = 235;
constexpr int kSwitchPitch = 25;
constexpr RECT kRateCaptionRect{30, 312, 480, 330};
constexpr int kRateLeft = 30;
constexpr int kRatePitch = 65;
constexpr int kRateWidth = 62;
constexpr int kRateTop = 340;
constexpr int kRateBottom = 352;
constexpr RECT kMouseSettingsRect{780, 330, 890, 358};

constexpr int kCaptionFont = 16;
constexpr int kLabelFont = 14;
constexpr int kRadioFont = 12;
constexpr int kBesideImage = 14;  // the caption starts after the 14-pixel radio or check image

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;

// The wParam with which a result counts even without the popup open here.
constexpr WPARAM kResultWithoutPopup = 0x110;

RECT RowRect(int left, int right, int stage, DpiAxis axis, int height) {
    int centre = kRowTop + kRowPitch * stage + (axis == DpiAxis::Y ? kYOffset : 0) + kSliderHeight / 2;
    return RECT{left, centre - height / 2, right, centre - height / 2 + height};
}

std::function<void()>& MouseSettingsLauncher() {
    static std::function<void()> launcher;
    return launcher;
}

void LaunchMouseSettings() {
    if (MouseSettingsLauncher()) {
        MouseSettingsLauncher()();
        return;
    }
    // The result is of no use: the panel either opens or it does not.
    ::WinExec("rundll32.exe shell32.dll, Control_RunDLL Main.cpl", SW_RESTORE);
}

void ShowControl(const CWnd& control, bool shown) {
    if (!control.m_hWnd) return;
    bool now = (control.GetStyle() & WS_VISIBLE) != 0;
    if (now != shown) control.ShowWindow(shown ? SW_SHOW : SW_HIDE);
}

void ShowButton(CSkinStateButton& button, const PageControl& state) {
    ShowControl(button, state.shown);
    EnableControl(button, state.enabled);
    button.SetChecked(state.checked ? 1 : 0);
}

void ShowSlider(CHProgressBar& slider, const DpiAxisRow& row) {
    ShowControl(slider, row.shown);
    if (slider.m_min == row.range.min && slider.m_max == row.range.max && slider.m_pos == row.position) return;
    slider.m_min = row.range.min;
    slider.m_max = row.range.max;
    slider.m_pos = row.position;
    if (slider.m_hWnd) slider.Invalidate(TRUE);
}

}  // namespace

void SetMouseSettingsLauncher(std::function<void()> launcher) {
    MouseSettingsLauncher() = std::move(launcher);
}

CAdvSetDlg::CAdvSetDlg(const CBitmap* mainBackground, PageHost& host)
    : CMainPage(IDD_ADVANCED_PAGE, mainBackground), m_model([&host] { return host.Driver(); }) {
    ListHandlers();
}

// ---- building ----

void CAdvSetDlg::MakeLabel(CGDIBitmapBtn& label, RECT rect, int fontHeight, UINT format) {
    label.m_mouseEnabled = 0;
    label.m_hoverEnabled = 0;
    label.Create(L"", kButtonStyle, rect, this, 0);
    label.SetImages(nullptr, nullptr, nullptr, &m_bmpBackground, rect);
    label.SetText(L"", 0, 0, fontHeight, format | DT_VCENTER, FALSE);
}

void CAdvSetDlg::MakeRadio(CGDIBitmapBtn& button, RECT rect, const wchar_t* caption) {
    button.m_checkMode = 1;
    button.Create(caption, kButtonStyle, rect, this, 0);
    button.SetImages(&m_radioImages[0], &m_radioImages[1], &m_radioImages[2], &m_bmpBackground, rect);
    button.SetText(caption, kBesideImage, 0, kRadioFont, DT_LEFT, FALSE);
}

void CAdvSetDlg::MakeSlider(CHProgressBar& slider, int id, RECT rect) {
    slider.m_id = id;
    slider.m_trackRect = SkinRect{rect.left, rect.top, rect.right, rect.bottom};
    slider.m_dragEnabled = 1;
    slider.m_min = 0;
    slider.m_max = 599;
    slider.m_pos = 0;
    slider.m_owner = this;
    slider.m_trackImage = &m_trackImage;
    slider.m_restImage = &m_restImage;
    slider.m_thumbImage = &m_thumbImage;
    slider.m_skin.Attach(m_bmpAdvSkin.GetSafeHandle());
    slider.Create(nullptr, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, this, static_cast<UINT>(id));
}

void CAdvSetDlg::BuildDpiRows() {
    const std::wstring button[3] = {SkinImagePathW(L"Button_nr.png"), SkinImagePathW(L"Button_ov.png"),
                                    SkinImagePathW(L"Button_dn.png")};
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        for (DpiAxis axis : {DpiAxis::X, DpiAxis::Y}) {
            bool x = axis == DpiAxis::X;
            CGDIBitmapBtnEx2& box = x ? m_dpiBoxX[i] : m_dpiBoxY[i];
            RECT boxRect = RowRect(kBoxLeft, kBoxRight, i, axis, kBoxHeight);
            box.Create(L"400", kButtonStyle, boxRect, this,
                       static_cast<UINT>((x ? DPI_BOX_X_FIRST_ID : DPI_BOX_Y_FIRST_ID) + i));
            box.SetImages(button[0], button[1], button[2], &m_bmpBackground, boxRect);
            box.SetText(L"400", 0, 0, kLabelFont, DT_CENTER, TRUE);
            MakeSlider(x ? m_dpiSliderX[i] : m_dpiSliderY[i], (x ? DPI_SLIDER_X_FIRST_ID : DPI_SLIDER_Y_FIRST_ID) + i,
                       RowRect(kSliderLeft, kSliderRight, i, axis, kSliderHeight));
            CGDIBitmapBtn& label = x ? m_labelX[i] : m_labelY[i];
            MakeLabel(label, RowRect(kLabelLeft, kBoxLeft, i, axis, kBoxHeight), kLabelFont, DT_LEFT);
            label.SetText(x ? L"X:" : L"Y:", 0, 0, kLabelFont, DT_LEFT, FALSE);
        }
        CGDIBitmapBtn& stage = m_stageButtons[i];
        RECT stageRect = RowRect(kStageLeft, kStageRight, i, DpiAxis::X, kBoxHeight);
        stage.m_checkMode = 1;
        stage.Create(L"", kButtonStyle, stageRect, this, 0);
        stage.SetImages(&m_stageImages[0], &m_stageImages[1], &m_stageImages[2], &m_bmpBackground, stageRect);
        stage.SetText(FormatW(L"%d", i + 1), 0, 0, kLabelFont, DT_CENTER, FALSE);
    }
    MakeLabel(m_countCaption, kCountCaptionRect, kCaptionFont, DT_LEFT);
    for (CGDIBitmapBtnEx* opener : {&m_countButton, &m_ledModeButton}) {
        RECT rect = opener == &m_countButton ? kCountButtonRect : kLedButtonRect;
        opener->Create(L"", kButtonStyle, rect, this, 0);
        opener->SetImages(button[0], button[1], button[2], &m_bmpBackground, rect);
        opener->SetText(L"", 0, 0, kLabelFont, DT_CENTER, TRUE);
    }
}

void CAdvSetDlg::BuildOptions() {
    for (int i = 0; i < REPORT_RATE_BUTTON_COUNT; ++i) {
        int left = kRateLeft + kRatePitch * i;
        MakeRadio(m_rateButtons[i], RECT{left, kRateTop, left + kRateWidth, kRateBottom},
                  ToWide(kReportRateCaptions[i]).c_str());
    }
    const AdvSetScreen& screen = m_model.Screen();
    for (int i = 0; i < LIFT_OFF_BUTTON_COUNT; ++i) {
        int left = screen.liftOffLeft[i];
        MakeRadio(m_liftOffButtons[i], RECT{left, LIFT_OFF_TOP, left + LIFT_OFF_WIDTH, LIFT_OFF_BOTTOM},
                  ToWide(kLiftOffCaptions[i]).c_str());
    }
    for (int i = 0; i < SENSOR_MODE_COUNT; ++i) {
        int left = kSensorModeLeft + kSensorModePitch * i;
        MakeRadio(m_sensorModeButtons[i], RECT{left, kSensorModeTop, left + kSensorModeWidth, kSensorModeTop + 14},
                  ToWide(screen.sensorModeTexts[i]).c_str());
    }
    for (int i = 0; i < SENSOR_SWITCH_COUNT; ++i) {
        CGDIBitmapBtn& box = m_switches[i];
        RECT rect{540, kSwitchTop + kSwitchPitch * i, 900, kSwitchTop + kSwitchPitch * i + 14};
        box.m_checkMode = 1;
        box.Create(L"", kButtonStyle, rect, this, 0);
        box.SetImages(&m_checkImages[0], &m_checkImages[1], &m_checkImages[2], &m_bmpBackground, rect);
        box.SetText(L"", kBesideImage, 0, kRadioFont, DT_LEFT, FALSE);
    }
    MakeLabel(m_rateCaption, kRateCaptionRect, kCaptionFont, DT_LEFT);
    MakeLabel(m_liftOffCaption, kLiftOffCaptionRect, kCaptionFont, DT_LEFT);
    MakeLabel(m_sensorModeCaption, kSensorModeCaptionRect, kCaptionFont, DT_LEFT);
    const std::wstring mouseSettings = SkinImagePathW(L"mouseset_nr.png");
    m_mouseSettingsButton.Create(L"", kButtonStyle, kMouseSettingsRect, this, 0);
    m_mouseSettingsButton.SetImages(mouseSettings, mouseSettings, mouseSettings, &m_bmpBackground, kMouseSettingsRect);
}

void CAdvSetDlg::BuildControls() {
    // One decode of the skin serves the page's background and the sliders'.
    if (LoadBitmapFromImageFile(SkinImagePathW(L"advset.png"), m_bmpAdvSkin))
        TakeBackgroundFrom(m_bmpAdvSkin);
    // Normal, hover, pressed (the pressed image is also the checked look).
    const wchar_t* radio[3] = {L"radio_nr.png", L"radio_ov.png", L"radio_dn.png"};
    const wchar_t* check[3] = {L"check_nr.png", L"check_ov.png", L"check_dn.png"};
    const wchar_t* stage[3] = {L"dpi_num_nr.png", L"dpi_num_ov.png", L"dpi_num_dn.png"};
    for (int s = 0; s < 3; ++s) {
        m_radioImages[s] = GdipImage::FromFile(SkinImagePathW(radio[s]));
        m_checkImages[s] = GdipImage::FromFile(SkinImagePathW(check[s]));
        m_stageImages[s] = GdipImage::FromFile(SkinImagePathW(stage[s]));
    }
    m_trackImage = GdipImage::FromFile(SkinImagePathW(L"bar.png"));
    m_restImage = GdipImage::FromFile(SkinImagePathW(L"slider2.png"));
    m_thumbImage = GdipImage::FromFile(SkinImagePathW(L"slider.png"));
    BuildOptions();
    BuildDpiRows();
    ShowScreen();
}

// One line per control; the click table is tested in this order. A value
// box's click does nothing: it takes its value on a double click.
void CAdvSetDlg::ListHandlers() {
    for (int i = 0; i < REPORT_RATE_BUTTON_COUNT; ++i) m_controls.Click(m_rateButtons[i], [this, i] { OnRateClicked(i); });
    for (int i = 0; i < LIFT_OFF_BUTTON_COUNT; ++i)
        m_controls.Click(m_liftOffButtons[i], [this, i] { m_model.LiftOffClicked(i); });
    for (int i = 0; i < SENSOR_MODE_COUNT; ++i)
        m_controls.Click(m_sensorModeButtons[i], [this, i] { m_model.SensorModeClicked(i); });
    m_controls.Click(m_countButton, [this] { OpenPopup(PopupKind::DpiCount, m_countButton); });
    m_controls.Click(m_ledModeButton, [this] { OpenPopup(PopupKind::DpiLed, m_ledModeButton); });
    m_controls.Click(m_mouseSettingsButton, [] { LaunchMouseSettings(); });
    for (int i = 0; i < SENSOR_SWITCH_COUNT; ++i)
        m_controls.Click(m_switches[i], [this, i] { m_model.SwitchClicked(static_cast<SensorSwitch>(i)); });
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) m_controls.Click(m_stageButtons[i], [this, i] { m_model.StageClicked(i); });
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        for (CHProgressBar* slider : {&m_dpiSliderX[i], &m_dpiSliderY[i]}) {
            m_controls.SliderMoving(*slider, [this, slider](int value) { m_model.SliderMoving(slider->m_id, value); });
            m_controls.SliderReleased(*slider,
                                      [this, slider](int value) { m_model.SliderReleased(slider->m_id, value); });
        }
        for (CGDIBitmapBtnEx2* box : {&m_dpiBoxX[i], &m_dpiBoxY[i]})
            m_controls.ValueChanged(*box, [this, box](uint32_t value) { m_model.DpiTyped(box->GetDlgCtrlID(), value); });
    }
}

LRESULT CAdvSetDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT result = CMainPage::WindowProc(msg, wp, lp);
        if (result != -1) BuildControls();
        return result;
    }
    case WM_TIMER:
        if (wp == TIMER_PAGE_HOVER) {
            // The hover tick only looks where the cursor is; the buttons track
            // their own hover.
            POINT cursor;
            ::GetCursorPos(&cursor);
        }
        break;
    case UWM_SLIDER_MOVING:
        // Dragging only shows and stores: 1 tells the slider it was seen.
        CMainPage::WindowProc(msg, wp, lp);
        return 1;
    case UWM_DPI_COUNT_MENU_RESULT:
        if (std::optional<uint32_t> count = TakePopupResult(wp, lp)) {
            m_model.DpiCountChosen(*count);
            ShowScreen();
        }
        return 0;
    case UWM_DPI_LED_MENU_RESULT:
        if (std::optional<uint32_t> item = TakePopupResult(wp, lp)) {
            m_model.DpiLedChosen(*item);
            ShowScreen();
        }
        return 0;
    default:
        break;
    }
    return CMainPage::WindowProc(msg, wp, lp);
}

BOOL CAdvSetDlg::OnInitDialog() {
    CMainPage::OnInitDialog();
    SetTimer(TIMER_PAGE_HOVER, PAGE_HOVER_INTERVAL_MS);
    m_parentHwnd = GetParentHwnd();
    return TRUE;
}

// ---- popups ----

void CAdvSetDlg::OpenPopup(PopupKind kind, const CWnd& opener) {
    // A popup open before is closed first, silenced: its late 0 can never be
    // taken for the new one's.
    m_popup.Open(kind, *this, PopupMenuSlot::TopLeft(kind, opener.GetWindowRect()));
}

std::optional<uint32_t> CAdvSetDlg::TakePopupResult(WPARAM wp, LPARAM lp) {
    if (!m_popup.IsOpen()) {
        if (wp == kResultWithoutPopup) return static_cast<uint32_t>(lp);
        // The second 0 of a popup that closed after its choice, or a stale one.
        return std::nullopt;
    }
    // A choice closes the popup; a 0 is the popup closing itself without one.
    return m_popup.TakeResult(lp).value_or(0);
}

// ---- report rate ----

bool CAdvSetDlg::ConfirmFastRate() {
    CRateMsgDlg box(this);
    return box.DoModal() == IDOK;
}

void CAdvSetDlg::OnRateClicked(int index) {
    m_model.RateClicked(index, [this] { return ConfirmFastRate(); });
}

// ---- from g_settings ----

void CAdvSetDlg::RefreshFromSettingsAndRanges() {
    m_model.RefreshFromSettingsAndRanges();
    ShowScreen();
}

void CAdvSetDlg::RefreshFromSettings() {
    m_model.RefreshFromSettings();
    ShowScreen();
}

void CAdvSetDlg::UpdateTexts() {
    m_model.UpdateTexts();
    ShowScreen();
}

// ---- showing ----

void CAdvSetDlg::PlaceLiftOffButton(int code, int left) {
    CGDIBitmapBtn& button = m_liftOffButtons[code];
    if (!button.m_hWnd || button.GetRectInParent().left == left) return;
    RECT rect{left, LIFT_OFF_TOP, left + LIFT_OFF_WIDTH, LIFT_OFF_BOTTOM};
    button.MoveWindow(rect);
    // Its background snapshot is of the place it left.
    button.SetImages(&m_radioImages[0], &m_radioImages[1], &m_radioImages[2], &m_bmpBackground, rect);
    button.Invalidate(TRUE);
}

void CAdvSetDlg::ShowScreen() {
    if (!m_hWnd) return;
    const AdvSetScreen& screen = m_model.Screen();
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        const DpiStageRow& row = screen.stages[i];
        ShowSlider(m_dpiSliderX[i], row.x);
        ShowSlider(m_dpiSliderY[i], row.y);
        m_dpiBoxX[i].SetCaption(ToWide(row.x.text));
        m_dpiBoxY[i].SetCaption(ToWide(row.y.text));
        ShowControl(m_dpiBoxX[i], row.x.shown);
        ShowControl(m_dpiBoxY[i], row.y.shown);
        ShowControl(m_labelX[i], row.x.labelShown);
        ShowControl(m_labelY[i], row.y.labelShown);
        ShowButton(m_stageButtons[i], row.selector);
    }
    m_countButton.SetCaption(ToWide(screen.countText));
    m_countCaption.SetCaption(ToWide(screen.countCaption));
    m_ledModeButton.SetCaption(ToWide(screen.ledModeText));

    for (int i = 0; i < REPORT_RATE_BUTTON_COUNT; ++i) ShowButton(m_rateButtons[i], screen.rates[i]);
    m_rateCaption.SetCaption(ToWide(screen.rateCaption));
    for (int i = 0; i < LIFT_OFF_BUTTON_COUNT; ++i) {
        if (screen.liftOff[i].shown) PlaceLiftOffButton(i, screen.liftOffLeft[i]);
        ShowButton(m_liftOffButtons[i], screen.liftOff[i]);
    }
    ShowControl(m_liftOffCaption, screen.liftOffCaptionShown);
    m_liftOffCaption.SetCaption(ToWide(screen.liftOffCaption));
    for (int i = 0; i < SENSOR_MODE_COUNT; ++i) {
        ShowButton(m_sensorModeButtons[i], screen.sensorModes[i]);
        m_sensorModeButtons[i].SetCaption(ToWide(screen.sensorModeTexts[i]));
    }
    ShowControl(m_sensorModeCaption, screen.sensorModeCaptionShown);
    m_sensorModeCaption.SetCaption(ToWide(screen.sensorModeCaption));
    for (int i = 0; i < SENSOR_SWITCH_COUNT; ++i) {
        ShowButton(m_switches[i], screen.switches[i]);
        m_switches[i].SetCaption(ToWide(screen.switchTexts[i]));
    }
}

// The LED page under Wine, on its own under a test window of the main
// window's size, sending to the simulated mouse: real clicks on its effect
// buttons, the checked button after a refresh, its captions in each language,
// the keys it keeps to itself, and pictures of it.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/pages/led_set_win32.h"
#include "app/pages/page_test_fixture_win32.h"
#include "device/file_system.h"
#include "device/settings.h"
#include "framework/strings.h"
#include "support/connected_sim_mouse.h"
#include "support/window_harness_win32.h"
#include "text/ui_texts.h"

namespace {

using Bytes = std::vector<uint8_t>;

class LedSetPageTest : public PageTestFixture<CLedSetDlg> {
protected:
    void SetUp() override {
        PageTestFixture::SetUp();
        g_settings = SettingsImage{};
    }
    void Refresh() override { page->RefreshFromSettings(); }

    void UseLanguage(const wchar_t* file) {
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + file));
    }
    void ClickEffect(int k) { Click(page->m_effectButtons[k]); }
    std::vector<int> Checked() const {
        std::vector<int> checked;
        for (int k = 0; k < LED_EFFECT_BUTTON_COUNT; ++k)
            if (page->m_effectButtons[k].m_checked) checked.push_back(k);
        return checked;
    }
    static Bytes LedFrame(uint8_t effect) { return {CMD_SET_LED_EFFECT, effect, 0, 0, 0, 0, 0, 0}; }
};

TEST_F(LedSetPageTest, EachClickIsStoredAndSentAndTheCheckFollowsTheStoredEffect) {
    g_settings.ledEffect = 5;  // a record from elsewhere
    OpenPage();
    EXPECT_EQ(Checked(), std::vector<int>{}) << "an unknown effect checks none";
    // Only the three effect buttons exist.
    for (int k = LED_EFFECT_BUTTON_COUNT; k < LED_EFFECT_NAME_COUNT; ++k) EXPECT_EQ(page->m_effectButtons[k].m_hWnd, nullptr);

    ClickEffect(1);
    EXPECT_EQ(g_settings.ledEffect, 1);
    EXPECT_EQ(sim.mouse->Settings().ledEffect, 1);
    EXPECT_EQ(Checked(), std::vector<int>{1});
    ClickEffect(1);  // the effect already chosen is sent again
    ClickEffect(2);
    EXPECT_EQ(Checked(), std::vector<int>{2});
    EXPECT_EQ(sim.SetCommands(), (std::vector<Bytes>{LedFrame(1), LedFrame(1), LedFrame(2)}));

    // A read or profile change: the page shows what the settings now hold.
    g_settings.ledEffect = 0;
    page->RefreshFromSettings();
    EXPECT_EQ(Checked(), std::vector<int>{0});
    g_settings.ledEffect = 3;
    page->RefreshFromSettings();
    EXPECT_EQ(Checked(), std::vector<int>{});
    EXPECT_EQ(sim.SetCommands().size(), 3u) << "a refresh sends nothing";
}

TEST_F(LedSetPageTest, CaptionsFollowTheLanguage) {
    UseLanguage(L"enr.xml");
    OpenPage();
    const std::wstring english[] = {L"Flicker", L"Breathing", L"Neon"};
    for (int k = 0; k < LED_EFFECT_BUTTON_COUNT; ++k) EXPECT_EQ(page->m_effectButtons[k].GetWindowText(), english[k]);
    UseLanguage(L"rus.xml");
    page->UpdateTexts();
    const std::wstring russian[] = {L"Мерцание", L"Дыхание", L"Неон"};
    for (int k = 0; k < LED_EFFECT_BUTTON_COUNT; ++k) EXPECT_EQ(page->m_effectButtons[k].GetWindowText(), russian[k]);
}

TEST_F(LedSetPageTest, EnterEscapeSpaceAndF1StayWithThePage) {
    OpenPage();
    // Addressed to a window the dialog manager of the page does not serve,
    // so that only the page's own filter can take them.
    for (WPARAM vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_F1}) {
        for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
            MSG msg{parent.m_hWnd, message, vk, 0, 0, {}};
            EXPECT_TRUE(page->PreTranslateMessage(&msg)) << vk;
        }
    }
    for (WPARAM vk : {WPARAM('A'), WPARAM(VK_F2), WPARAM(VK_TAB)}) {
        MSG msg{parent.m_hWnd, WM_KEYDOWN, vk, 0, 0, {}};
        EXPECT_FALSE(page->PreTranslateMessage(&msg)) << vk;
    }
}

TEST_F(LedSetPageTest, Screenshots) {
    g_settings.ledEffect = 1;
    for (const wchar_t* language : {L"enr", L"rus"}) {
        UseLanguage((std::wstring(language) + L".xml").c_str());
        OpenPage();
        PumpMessages(100);
        SaveScreenshot(*RenderWindow(page->m_hWnd), FormatW(L"led_page_%s", language));
        page->DestroyWindow();
        page.reset();
    }
}

}  // namespace

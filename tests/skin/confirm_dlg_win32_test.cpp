// The two confirmation boxes under Wine: OK and Cancel told apart although
// both have id 0, text rows that do nothing, Enter and Escape, the place on the
// asking control's top-level window, and screenshots in both languages.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "device/file_system.h"
#include "framework/strings.h"
#include "skin/confirm_dlg_win32.h"
#include "support/box_driver_win32.h"
#include "support/window_harness_win32.h"
#include "text/ui_texts.h"

namespace {

// Client points inside the controls of the layout.
constexpr POINT kOk{90, 178};
constexpr POINT kCancel{310, 178};
constexpr POINT kRow2{200, 100};  // inside row 2 of both boxes (rate: 96..118, debounce: 100..122)

class ConfirmationBoxTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        SetProgramFolder(ToU16(TestDistDir()));
        g_uiTexts = UiTextTable{};
        ASSERT_TRUE(owner.Open());
        ::SetWindowPos(owner.m_hWnd, nullptr, 60, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        // The stepper asks for the debounce box: a control, not a window of its own.
        ASSERT_TRUE(stepper.Create(CWnd::DefaultClassName(), L"", WS_CHILD | WS_VISIBLE, RECT{300, 200, 340, 318},
                                   &owner, 0));
    }
    void TearDown() override {
        SetProgramFolder(u"");
        g_uiTexts = UiTextTable{};
    }

    // Runs the box of the kind over the stepper with the driver's actions.
    INT_PTR Run(bool rate, const std::function<void(HWND)>& act) {
        if (rate) {
            EndableBox<CRateMsgDlg> box(&stepper);
            return RunBoxDriven(box, act);
        }
        EndableBox<CDebounceWDlg> box(&stepper);
        return RunBoxDriven(box, act);
    }

    TestDialog owner;
    CWnd stepper;
};

void Press(HWND box, UINT vk) {
    ::PostMessageW(box, WM_KEYDOWN, vk, 1);
    ::PostMessageW(box, WM_KEYUP, vk, 0xC0000001);
    WaitUntilBoxHandled(box);
}

TEST_F(ConfirmationBoxTest, OkAndCancelToldApartAndTextRowsDoNothing) {
    struct Case {
        const char* name;
        std::function<void(HWND)> act;
        INT_PTR result;
    };
    const Case cases[] = {
        {"OK", [](HWND box) { ClickBoxAt(box, kOk.x, kOk.y); }, IDOK},
        {"Cancel", [](HWND box) { ClickBoxAt(box, kCancel.x, kCancel.y); }, IDCANCEL},
        {"a text row", [](HWND box) { ClickBoxAt(box, kRow2.x, kRow2.y); }, kBoxNotEnded},
        {"a row, then OK",
         [](HWND box) {
             ClickBoxAt(box, kRow2.x, kRow2.y);
             ClickBoxAt(box, kOk.x, kOk.y);
         },
         IDOK},
        {"Enter", [](HWND box) { Press(box, VK_RETURN); }, IDOK},
        {"Escape", [](HWND box) { Press(box, VK_ESCAPE); }, IDCANCEL},
    };
    for (bool rate : {false, true}) {
        for (const Case& c : cases)
            EXPECT_EQ(Run(rate, c.act), c.result) << (rate ? "rate box: " : "debounce box: ") << c.name;
    }
}

TEST_F(ConfirmationBoxTest, SitsOnTheAskingControlsTopLevelCornerWithItsSkinsSize) {
    GdipImage skin = GdipImage::FromFile(TestSkinPath(L"msg_nr-2.png"));
    ASSERT_TRUE(skin);
    for (bool rate : {false, true}) {
        RECT rect{};
        HWND boxOwner = nullptr;
        std::wstring title;
        Run(rate, [&](HWND box) {
            ::GetWindowRect(box, &rect);
            boxOwner = ::GetWindow(box, GW_OWNER);
            wchar_t text[64] = {};
            ::GetWindowTextW(box, text, 64);
            title = text;
            ClickBoxAt(box, kCancel.x, kCancel.y);
        });
        EXPECT_EQ(boxOwner, owner.m_hWnd);
        EXPECT_EQ(rect.left, 60) << "not on the owner's corner";
        EXPECT_EQ(rect.top, 50);
        EXPECT_EQ(rect.right - rect.left, static_cast<LONG>(skin.Width()));
        EXPECT_EQ(rect.bottom - rect.top, static_cast<LONG>(skin.Height()));
        EXPECT_EQ(title, rate ? L"CRateMsgDlg" : L"CDebounceWDlg");
    }
}

TEST_F(ConfirmationBoxTest, ScreenshotsInEnglishAndRussian) {
    for (const wchar_t* language : {L"enr", L"rus"}) {
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + language + L".xml"));
        ASSERT_FALSE(g_uiTexts[UiText::str_msg9].empty());
        for (bool rate : {false, true}) {
            bool saved = false;
            uint32_t okPixel = 0, cornerPixel = 0;
            Run(rate, [&](HWND box) {
                WaitUntilBoxHandled(box);
                std::unique_ptr<Dib32> dib = RenderWindow(box);
                okPixel = dib->Rgb(kOk.x, 168);
                cornerPixel = dib->Rgb(2, 2);
                saved = SaveScreenshot(*dib, FormatW(L"confirm_%s_%s", rate ? L"rate" : L"debounce", language));
                ClickBoxAt(box, kCancel.x, kCancel.y);
            });
            EXPECT_TRUE(saved);
            // The skin and the button images were drawn, not left black.
            EXPECT_NE(cornerPixel, 0u);
            EXPECT_NE(okPixel, 0u);
        }
    }
}

}  // namespace

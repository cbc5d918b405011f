// The numeric edit and its key field on a test dialog under Wine: what they
// post, what they rewrite, and what keys do to them.
#include <gtest/gtest.h>

#include <vector>

#include "framework/strings.h"
#include "skin/filter_edit_win32.h"
#include "skin/skin_messages.h"
#include "support/window_harness_win32.h"
#include "support/input_win32.h"

namespace {

constexpr UINT kEditId = 2580;
constexpr DWORD kKeyFieldStyle = WS_CHILD | WS_VISIBLE | ES_CENTER | ES_AUTOHSCROLL;
constexpr DWORD kNumericStyle = kKeyFieldStyle | ES_NUMBER;

class FilterEditTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Open()); }

    void Place(CFilterEdit& edit, DWORD style) {
        ASSERT_TRUE(edit.Create(style, RECT{37, 76, 320, 98}, &dialog, kEditId));
        edit.SetFocus();
        PumpMessages();
        dialog.Clear();
    }
    void Type(const CFilterEdit& edit, wchar_t ch) {
        edit.PostMessage(WM_CHAR, ch, 1);
        PumpMessages();
    }
    // Real keys reach the edit through the system's input: what it shows once
    // it shows `awaited`, or when only a hang would have kept it from that.
    static std::wstring TextAwaiting(const CFilterEdit& edit, const std::wstring& awaited) {
        PumpUntil([&] { return edit.GetWindowText() == awaited; });
        return edit.GetWindowText();
    }
    std::vector<WPARAM> Posted() const {
        std::vector<WPARAM> values;
        for (const RecordedMessage& m : dialog.Of(UWM_VALUE_CHANGED)) {
            EXPECT_EQ(m.lp, static_cast<LPARAM>(kEditId));
            values.push_back(m.wp);
        }
        return values;
    }

    TestDialog dialog;
};

TEST_F(FilterEditTest, NumericFieldClampsAndReportsEveryChange) {
    CFilterEdit edit;
    edit.m_minValue = 1;
    edit.m_maxValue = 30;
    Place(edit, kNumericStyle);

    Type(edit, L'4');
    EXPECT_EQ(edit.GetWindowText(), L"4");
    EXPECT_EQ(Posted(), (std::vector<WPARAM>{4}));

    // 45 is rewritten to 30, and the rewrite is itself reported.
    dialog.Clear();
    edit.SetSel(1, 1);
    Type(edit, L'5');
    EXPECT_EQ(edit.GetWindowText(), L"30");
    EXPECT_EQ(Posted(), (std::vector<WPARAM>{30, 30}));

    // Digits only: a letter changes nothing.
    dialog.Clear();
    Type(edit, L'a');
    EXPECT_EQ(edit.GetWindowText(), L"30");
    EXPECT_TRUE(Posted().empty());

    // Cleared, the field comes back at its minimum.
    dialog.Clear();
    edit.SetSel(0, -1);
    Type(edit, VK_BACK);
    EXPECT_EQ(edit.GetWindowText(), L"1");
    EXPECT_EQ(Posted(), (std::vector<WPARAM>{1, 1}));

    // 300 pasted digits would overflow a plain conversion: they stand for
    // more than the maximum.
    dialog.Clear();
    edit.SetWindowText(std::wstring(300, L'9'));
    PumpMessages();
    EXPECT_EQ(edit.GetWindowText(), L"30");
    EXPECT_EQ(Posted(), (std::vector<WPARAM>{30, 30}));
}

TEST_F(FilterEditTest, CreationSetsLimitFontAndLook) {
    for (DWORD style : {kNumericStyle, kKeyFieldStyle | WS_BORDER | WS_TABSTOP}) {
        SCOPED_TRACE(style);
        CFilterEdit edit;
        edit.m_fontHeight = 16;
        Place(edit, style);
        EXPECT_EQ(edit.SendMessage(EM_GETLIMITTEXT), 256);
        EXPECT_EQ(edit.GetStyle() & (WS_BORDER | WS_TABSTOP), 0u);
        auto font = reinterpret_cast<HFONT>(edit.SendMessage(WM_GETFONT));
        ASSERT_EQ(font, edit.m_font.GetSafeHandle());
        LOGFONTW lf{};
        ::GetObjectW(font, sizeof(lf), &lf);
        EXPECT_EQ(lf.lfHeight, 16);
        EXPECT_EQ(lf.lfWeight, 500);
        EXPECT_STREQ(lf.lfFaceName, L"MS Shell Dlg");

        // Typing past the limit stops at 256 characters.
        for (int i = 0; i < 300; ++i) edit.PostMessage(WM_CHAR, L'7', 1);
        PumpMessages();
        EXPECT_LE(edit.GetWindowText().size(), 256u);

        // The colours the parent hands the system for the edit.
        edit.m_bkBrush.CreateSolidBrush(CFilterEdit::kBackColor);
        Dib32 dib(4, 4);
        LRESULT brush = dialog.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dib.dc()),
                                           reinterpret_cast<LPARAM>(edit.m_hWnd));
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), edit.m_bkBrush.GetSafeHandle());
        EXPECT_EQ(::GetTextColor(dib.dc()), CFilterEdit::kTextColor);
        EXPECT_EQ(::GetBkColor(dib.dc()), CFilterEdit::kBackColor);
        EXPECT_EQ(::GetBkMode(dib.dc()), TRANSPARENT);
    }
}

TEST_F(FilterEditTest, KeyFieldShowsTheLastKeyAndFunctionKeyNames) {
    CFilterEdit edit;
    Place(edit, kKeyFieldStyle);
    ASSERT_EQ(::GetFocus(), edit.m_hWnd);

    SendKey(VK_F5);
    EXPECT_EQ(TextAwaiting(edit, L"F5"), L"F5");

    SendKey('A');
    EXPECT_EQ(TextAwaiting(edit, L"a"), L"a");
    SendKey('B');
    EXPECT_EQ(TextAwaiting(edit, L"b"), L"b");

    // A key-down that is not really down (posted, nothing held) names nothing.
    edit.PostMessage(WM_KEYDOWN, VK_F7, 1);
    PumpMessages();
    EXPECT_EQ(edit.GetWindowText(), L"b");

    // The key field reports nothing to its parent.
    EXPECT_EQ(dialog.Count(UWM_VALUE_CHANGED), 0);
}

TEST_F(FilterEditTest, NumericFieldKeepsTypedDigitsAndNamesFunctionKeys) {
    CFilterEdit edit;
    Place(edit, kNumericStyle);
    SendKey('1');
    SendKey('2');
    EXPECT_EQ(TextAwaiting(edit, L"12"), L"12");
    EXPECT_EQ(Posted(), (std::vector<WPARAM>{1, 12}));
    // No upper limit by default.
    edit.SetWindowText(L"4000000000");
    PumpMessages();
    EXPECT_EQ(edit.GetWindowText(), L"4000000000");
}

}  // namespace

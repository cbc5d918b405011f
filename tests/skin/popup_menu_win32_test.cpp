// The skinned popup menus as their owners use them, on a test dialog under
// Wine: results, closing, replacing, the composed picture and screenshots.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "device/file_system.h"
#include "framework/strings.h"
#include "skin/popup_opener_win32.h"
#include "support/window_harness_win32.h"
#include "text/ui_texts.h"

namespace {

// An owner as the pages are: one slot, results taken in the handler.
class PopupOwner : public TestDialog {
public:
    PopupMenuSlot slot;
    std::vector<std::optional<uint32_t>> taken;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg >= UWM_LANGUAGE_MENU_RESULT && msg <= UWM_DPI_LED_MENU_RESULT) taken.push_back(slot.TakeResult(lp));
        return TestDialog::WindowProc(msg, wp, lp);
    }
};

std::vector<HWND> PopupWindows() {
    std::vector<HWND> found;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
            if (dynamic_cast<CWndPopup*>(CWnd::FromHandle(hwnd)))
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

int ThreadWindowCount() {
    int count = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(), [](HWND, LPARAM lp) -> BOOL { return ++*reinterpret_cast<int*>(lp), TRUE; },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

SIZE WindowSize(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// What the user sees: the popup's picture over the test background.
std::unique_ptr<Dib32> OverBackground(const Dib32& picture) {
    const int margin = 12;
    auto sheet = std::make_unique<Dib32>(picture.width() + 2 * margin, picture.height() + 2 * margin);
    for (int y = 0; y < sheet->height(); ++y)
        for (int x = 0; x < sheet->width(); ++x) sheet->bits()[y * sheet->width() + x] = TestBackgroundPixel(x, y);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(sheet->dc(), margin, margin, picture.width(), picture.height(), picture.dc(), 0, 0,
                 picture.width(), picture.height(), blend);
    ::GdiFlush();
    return sheet;
}

class PopupMenuTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        SetProgramFolder(ToU16(TestDistDir()));
        g_uiTexts = UiTextTable{};
        ASSERT_TRUE(owner.Open());
    }
    void TearDown() override {
        owner.slot.Close();
        PumpMessages(30);
        SetProgramFolder(u"");
        g_uiTexts = UiTextTable{};
    }

    // Opens a menu a little right of the dialog and lets it settle.
    CMenuEx* Open(PopupKind kind) {
        CMenuEx* popup = owner.slot.Open(kind, owner, POINT{600, 80});
        PumpMessages(30);
        return popup;
    }

    PopupOwner owner;
};

TEST_F(PopupMenuTest, EachMenuOpensAtItsCornerAndSizeAndIsLayered) {
    struct Case {
        PopupKind kind;
        SIZE size;
    };
    const Case cases[] = {
        {PopupKind::Language, {116, 53}}, {PopupKind::Profile, {116, 97}},    {PopupKind::DpiCount, {116, 141}},
        {PopupKind::DpiFunction, {116, 75}}, {PopupKind::Multimedia, {230, 405}}, {PopupKind::DpiLed, {230, 75}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        CMenuEx* popup = Open(c.kind);
        ASSERT_NE(popup, nullptr);
        SIZE size = WindowSize(popup->m_hWnd);
        EXPECT_EQ(size.cx, c.size.cx);
        EXPECT_EQ(size.cy, c.size.cy);
        RECT r = popup->GetWindowRect();
        EXPECT_EQ(r.left, 600);
        EXPECT_EQ(r.top, 80);
        RECT client = popup->GetClientRect();
        EXPECT_EQ(client.right, c.size.cx);  // no frame
        EXPECT_TRUE(popup->GetExStyle() & WS_EX_LAYERED);
        EXPECT_TRUE(popup->GetExStyle() & WS_EX_TOPMOST);
        EXPECT_EQ(::GetActiveWindow(), popup->m_hWnd);
        EXPECT_EQ(::GetWindow(popup->m_hWnd, GW_OWNER), owner.m_hWnd);
    }
    // Each one replaced the one before.
    EXPECT_EQ(PopupWindows().size(), 1u);
}

TEST_F(PopupMenuTest, AClickSendsTheValueOnceThenZeroOnClose) {
    CMenuEx* popup = Open(PopupKind::DpiFunction);
    ASSERT_NE(popup, nullptr);
    HWND hwnd = popup->m_hWnd;
    owner.Clear();
    PostMouse(*popup, WM_MOUSEMOVE, 50, 40, 0);  // row 2: y 28-50
    PostMouse(*popup, WM_LBUTTONDOWN, 50, 40, MK_LBUTTON);
    PostMouse(*popup, WM_LBUTTONUP, 50, 41, 0);
    PumpMessages(50);
    std::vector<LPARAM> values;
    for (const RecordedMessage& m : owner.Of(UWM_DPI_FUNCTION_MENU_RESULT)) {
        EXPECT_EQ(m.wp, 0u);
        values.push_back(m.lp);
    }
    EXPECT_EQ(values, (std::vector<LPARAM>{2, 0}));
    ASSERT_EQ(owner.taken.size(), 2u);
    EXPECT_EQ(owner.taken[0], 2u);
    EXPECT_FALSE(owner.taken[1]);  // the close after the choice is ignored
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_FALSE(owner.slot.IsOpen());
}

TEST_F(PopupMenuTest, ActivatingAnotherWindowClosesThePopupWithZero) {
    CMenuEx* popup = Open(PopupKind::DpiCount);
    ASSERT_NE(popup, nullptr);
    HWND hwnd = popup->m_hWnd;
    owner.Clear();
    ::SetActiveWindow(owner.m_hWnd);
    PumpMessages(50);
    std::vector<LPARAM> values;
    for (const RecordedMessage& m : owner.Of(UWM_DPI_COUNT_MENU_RESULT)) values.push_back(m.lp);
    EXPECT_EQ(values, (std::vector<LPARAM>{0}));
    ASSERT_EQ(owner.taken.size(), 1u);
    EXPECT_FALSE(owner.taken[0]);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_FALSE(owner.slot.IsOpen());  // the owner forgot it when the 0 came
}

TEST_F(PopupMenuTest, PressOnOneRowAndReleaseOnAnotherSendsNothing) {
    CMenuEx* popup = Open(PopupKind::Language);
    ASSERT_NE(popup, nullptr);
    owner.Clear();
    PostMouse(*popup, WM_MOUSEMOVE, 50, 10, 0);
    PostMouse(*popup, WM_LBUTTONDOWN, 50, 10, MK_LBUTTON);
    PostMouse(*popup, WM_MOUSEMOVE, 50, 40, MK_LBUTTON);  // no hover change while pressed
    PumpMessages();
    EXPECT_EQ(popup->m_hoverIndex, 0);
    EXPECT_EQ(::GetCapture(), popup->m_hWnd);
    PostMouse(*popup, WM_LBUTTONUP, 50, 40, 0);
    PumpMessages(30);
    EXPECT_EQ(owner.Count(UWM_LANGUAGE_MENU_RESULT), 0);
    ASSERT_TRUE(owner.slot.IsOpen());
    EXPECT_EQ(popup->m_hoverIndex, -1);
    EXPECT_NE(::GetCapture(), popup->m_hWnd);
    // A release outside the window, still captured, chooses nothing either.
    PostMouse(*popup, WM_MOUSEMOVE, 50, 10, 0);
    PostMouse(*popup, WM_LBUTTONDOWN, 50, 10, MK_LBUTTON);
    PostMouse(*popup, WM_LBUTTONUP, 50, 200, 0);
    PumpMessages(30);
    EXPECT_EQ(owner.Count(UWM_LANGUAGE_MENU_RESULT), 0);
    // Then a proper click still works.
    PostMouse(*popup, WM_MOUSEMOVE, 50, 10, 0);
    PostClick(*popup, 50, 10);
    PumpMessages(30);
    std::vector<LPARAM> values;
    for (const RecordedMessage& m : owner.Of(UWM_LANGUAGE_MENU_RESULT)) values.push_back(m.lp);
    EXPECT_EQ(values, (std::vector<LPARAM>{1, 0}));
}

TEST_F(PopupMenuTest, ASecondPopupReplacesTheFirstWithoutClosingItself) {
    CMenuEx* first = Open(PopupKind::DpiCount);
    ASSERT_NE(first, nullptr);
    HWND firstHwnd = first->m_hWnd;
    owner.Clear();
    CMenuEx* second = Open(PopupKind::DpiLed);
    ASSERT_NE(second, nullptr);
    PumpMessages(50);
    EXPECT_FALSE(::IsWindow(firstHwnd));
    EXPECT_TRUE(owner.slot.IsOpen());
    EXPECT_EQ(owner.slot.Get(), second);
    EXPECT_EQ(PopupWindows(), (std::vector<HWND>{second->m_hWnd}));
    // The replaced popup reported nothing, so the owner kept the new one.
    EXPECT_EQ(owner.Count(UWM_DPI_COUNT_MENU_RESULT), 0);
    EXPECT_EQ(owner.Count(UWM_DPI_LED_MENU_RESULT), 0);
}

TEST_F(PopupMenuTest, APopupClosedBeforeTheNextOpensCannotMakeTheSlotForgetIt) {
    CMenuEx* first = Open(PopupKind::DpiCount);
    ASSERT_NE(first, nullptr);
    HWND firstHwnd = first->m_hWnd;
    owner.Clear();
    owner.slot.Close();
    // Opened before the first one's close has run.
    CMenuEx* second = owner.slot.Open(PopupKind::DpiLed, owner, POINT{600, 80});
    ASSERT_NE(second, nullptr);
    PumpMessages(50);
    EXPECT_FALSE(::IsWindow(firstHwnd));
    EXPECT_EQ(owner.Count(UWM_DPI_COUNT_MENU_RESULT), 0) << "the closed popup still reported";
    ASSERT_EQ(owner.slot.Get(), second);
    // The new popup's choice still reaches the owner.
    PostMouse(*second, WM_MOUSEMOVE, 50, 10, 0);
    PostClick(*second, 50, 10);
    PumpMessages(50);
    ASSERT_FALSE(owner.taken.empty());
    EXPECT_EQ(owner.taken.front(), 1u);
    EXPECT_FALSE(owner.slot.IsOpen());
}

TEST_F(PopupMenuTest, ManyOpenAndCloseCyclesLeakNothing) {
    // One cycle first: classes, fonts and GDI+ caches that stay for good.
    Open(PopupKind::Profile);
    owner.slot.Close();
    PumpMessages(30);
    long gdiBefore = gdi::LiveObjects();
    long gdipBefore = gdiplus::LiveObjects();
    int windowsBefore = ThreadWindowCount();
    for (int i = 0; i < 12; ++i) {
        CMenuEx* popup = Open(i % 2 ? PopupKind::Profile : PopupKind::Multimedia);
        ASSERT_NE(popup, nullptr);
        PostMouse(*popup, WM_MOUSEMOVE, 50, 10 + (i % 3) * 22, 0);
        PumpMessages();
        if (i % 3 == 0)
            ::SetActiveWindow(owner.m_hWnd);  // closed by deactivation
        else if (i % 3 == 1)
            owner.slot.Close();
        // else: replaced by the next one
        PumpMessages();
    }
    owner.slot.Close();
    PumpMessages(50);
    EXPECT_TRUE(PopupWindows().empty());
    EXPECT_EQ(ThreadWindowCount(), windowsBefore);
    EXPECT_EQ(gdi::LiveObjects(), gdiBefore);
    EXPECT_EQ(gdiplus::LiveObjects(), gdipBefore);
}

// A popup whose window is refused at creation.
class RefusedPopup : public CMenuExA {
public:
    static int destroyed;
    ~RefusedPopup() override { ++destroyed; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_CREATE) return -1;
        return CMenuExA::WindowProc(msg, wp, lp);
    }
};
int RefusedPopup::destroyed = 0;

TEST_F(PopupMenuTest, APopupWithoutWindowIsDeletedAndForgotten) {
    CMenuEx* first = Open(PopupKind::Language);
    ASSERT_NE(first, nullptr);
    RefusedPopup::destroyed = 0;
    CMenuEx* refused = owner.slot.Open(new RefusedPopup, TestSkinPath(L"Language_back.png"), owner, POINT{600, 80},
                                       UWM_LANGUAGE_MENU_RESULT);
    PumpMessages(30);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(RefusedPopup::destroyed, 1);  // deleted exactly once
    EXPECT_FALSE(owner.slot.IsOpen());
    EXPECT_TRUE(PopupWindows().empty());
    EXPECT_EQ(owner.Count(UWM_LANGUAGE_MENU_RESULT), 0);
}

TEST_F(PopupMenuTest, PictureRules) {
    // Skinned: transparent corners, the translucent skin beside the bars,
    // opaque bars, the hover bar, and the profile icon over its bar.
    CMenuEx* popup = Open(PopupKind::Profile);
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->m_skin.ok());
    popup->HoverAt({50, 40});
    std::unique_ptr<Dib32> picture = popup->ComposePicture();
    ASSERT_EQ(picture->width(), 116);
    EXPECT_EQ(picture->Pixel(0, 0) >> 24, 0u);
    // The frame's line runs through every seam of the nine parts.
    for (int x = 14; x < 102; ++x) {
        EXPECT_NE(picture->Pixel(x, 1) >> 24, 0u) << x;
        EXPECT_NE(picture->Pixel(x, 95) >> 24, 0u) << x;
    }
    for (int y = 14; y < 83; ++y) {
        EXPECT_NE(picture->Pixel(1, y) >> 24, 0u) << y;
        EXPECT_NE(picture->Pixel(114, y) >> 24, 0u) << y;
    }
    uint32_t skinAlpha = picture->Pixel(113, 60) >> 24;
    EXPECT_GT(skinAlpha, 0xC0u);
    EXPECT_LT(skinAlpha, 0xFFu);
    EXPECT_EQ(picture->Pixel(100, 7), 0xFF231F20u);   // a bar, above its text
    EXPECT_EQ(picture->Pixel(100, 29), 0xFF22467Fu);  // the hover bar
    int iconPixels = 0;
    for (int y = 9; y < 25; ++y)
        for (int x = 25; x < 41; ++x)
            if (picture->Pixel(x, y) != 0xFF231F20u) ++iconPixels;
    EXPECT_GT(iconPixels, 10);

    // Without a skin: the plain frame, opaque, for the colour key.
    CMenuEx* plain = new CMenuExC;
    RECT at{600, 80, 700, 100};
    ASSERT_EQ(plain->Create(&owner, at, UWM_DPI_COUNT_MENU_RESULT), 0);
    std::unique_ptr<Dib32> frame = plain->ComposePicture();
    EXPECT_EQ(frame->Pixel(0, 0), 0xFF0093D1u);
    EXPECT_EQ(frame->Pixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(frame->Pixel(114, 10), 0xFFFFFFFFu);
    EXPECT_EQ(frame->Pixel(50, 7), 0xFF231F20u);
    plain->DestroyWindow();
    PumpMessages();
}

TEST_F(PopupMenuTest, AnUnloadableOrOverlongSkinShowsOnlyTheRows) {
    CMenuEx* popup = new CMenuExE;
    EXPECT_FALSE(popup->LoadSkin(std::wstring(300, L'a') + L".png"));
    EXPECT_FALSE(popup->m_skin.ok());
    RECT at{600, 80, 700, 100};
    ASSERT_EQ(popup->Create(&owner, at, UWM_DPI_FUNCTION_MENU_RESULT), 0);
    std::unique_ptr<Dib32> picture = popup->ComposePicture();
    EXPECT_EQ(picture->Pixel(0, 0), 0u);
    EXPECT_EQ(picture->Pixel(114, 10), 0u);
    EXPECT_EQ(picture->Pixel(50, 7), 0xFF231F20u);
    popup->DestroyWindow();
    PumpMessages();
}

TEST_F(PopupMenuTest, ScreenshotsInEnglishAndRussian) {
    const struct {
        PopupKind kind;
        const wchar_t* name;
    } kinds[] = {
        {PopupKind::Language, L"A_language"},   {PopupKind::Profile, L"B_profile"},
        {PopupKind::DpiCount, L"C_dpi_count"},  {PopupKind::DpiFunction, L"E_dpi_function"},
        {PopupKind::Multimedia, L"F_multimedia"}, {PopupKind::DpiLed, L"G_dpi_led"},
    };
    for (const wchar_t* language : {L"enr", L"rus"}) {
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + language + L".xml"));
        for (const auto& k : kinds) {
            CMenuEx* popup = Open(k.kind);
            ASSERT_NE(popup, nullptr);
            popup->HoverAt({50, 30});  // the second row lit
            std::unique_ptr<Dib32> sheet = OverBackground(*popup->ComposePicture());
            EXPECT_TRUE(SaveScreenshot(*sheet, std::wstring(L"popup_menu_") + k.name + L"_" + language));
        }
    }
}

}  // namespace

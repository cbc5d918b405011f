// The skinned push buttons on a test dialog under Wine: what they paint in each
// state, what they post, what they swallow, and that painting leaks nothing.
#include <gtest/gtest.h>

#include <memory>

#include "framework/strings.h"
#include "skin/push_buttons_win32.h"
#include "skin/skin_draw_win32.h"
#include "skin/skin_messages.h"
#include "skin/value_entry_win32.h"
#include "support/window_harness_win32.h"

namespace {

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
// Solid state images, 40 x 20 on a 60 x 20 button: the right third always
// shows the background snapshot.
constexpr uint32_t kNormalArgb = 0xFF802020;
constexpr uint32_t kHoverArgb = 0xFF208020;
constexpr uint32_t kPressedArgb = 0xFF202080;

class PushButtonTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        normalPath = WriteSolidPng(L"normal.png", 40, 20, kNormalArgb);
        hoverPath = WriteSolidPng(L"hover.png", 40, 20, kHoverArgb);
        pressedPath = WriteSolidPng(L"pressed.png", 40, 20, kPressedArgb);
        normal = GdipImage::FromFile(normalPath);
        hover = GdipImage::FromFile(hoverPath);
        pressed = GdipImage::FromFile(pressedPath);
        ASSERT_TRUE(normal && hover && pressed);
        ASSERT_TRUE(dialog.Open());
    }
    void TearDown() override { SetValueEntryHandler(nullptr); }

    // A state button at (100, 50) of the dialog, 60 x 20.
    template <typename Button>
    void Place(Button& button, UINT id = 7) {
        ASSERT_TRUE(button.Create(L"", kButtonStyle, rect, &dialog, id));
    }

    RECT rect{100, 50, 160, 70};
    std::wstring normalPath, hoverPath, pressedPath;
    GdipImage normal, hover, pressed;
    TestDialog dialog;
};

TEST_F(PushButtonTest, StateChoosesImageAndCaptionColourOverTheSnapshot) {
    struct Case {
        const char* what;
        BOOL checkMode, checked, hovered, hoverEnabled;
        UINT itemState;
        uint32_t image;  // 0: none, only the background
        COLORREF caption;
    };
    const Case cases[] = {
        {"normal", 0, 0, 0, 1, 0, kNormalArgb, kDefaultNormalColor},
        {"pressed", 0, 0, 0, 1, ODS_SELECTED, kPressedArgb, kDefaultPressedColor},
        {"hovered", 0, 0, 1, 1, 0, kHoverArgb, kDefaultHoverColor},
        {"hover off", 0, 0, 1, 0, 0, kNormalArgb, kDefaultNormalColor},
        {"disabled", 0, 0, 0, 1, ODS_DISABLED, 0, kDisabledCaptionColor},
        {"check mode held", 1, 0, 0, 1, ODS_SELECTED, kNormalArgb, kDefaultNormalColor},
        {"checked", 1, 1, 0, 1, 0, kPressedArgb, kDefaultPressedColor},
        {"checked and disabled", 1, 1, 0, 1, ODS_DISABLED, kPressedArgb, kDefaultPressedColor},
    };
    CGDIBitmapBtn button;
    Place(button);
    button.SetImages(&normal, &hover, &pressed, &dialog.Background(), rect);
    button.SetText(L"HHH", 0, 0, 18, DT_LEFT, FALSE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        button.m_checkMode = c.checkMode;
        button.m_checked = c.checked;
        button.m_hovered = c.hovered;
        button.m_hoverEnabled = c.hoverEnabled;
        std::unique_ptr<Dib32> dib = RenderOwnerDrawn(button, c.itemState);
        uint32_t expectedLeft = c.image ? (c.image & 0xFFFFFF) : TestBackgroundPixel(100 + 38, 50 + 1);
        EXPECT_EQ(dib->Rgb(38, 1), expectedLeft);
        EXPECT_EQ(dib->Rgb(55, 1), TestBackgroundPixel(155, 51));  // beyond the image: the snapshot
        // The caption: some pixels of exactly its colour where the text goes.
        int hits = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 5; x < 38; ++x) hits += dib->Rgb(x, y) == RgbOf(c.caption);
        EXPECT_GT(hits, 0);
    }
}

TEST_F(PushButtonTest, StretchedImageCoversTheWholeButton) {
    CGDIBitmapBtn button;
    Place(button);
    button.SetImages(&normal, &hover, &pressed, &dialog.Background(), rect);
    button.m_stretch = TRUE;
    EXPECT_EQ(RenderOwnerDrawn(button)->Rgb(58, 18), kNormalArgb & 0xFFFFFF);
}

TEST_F(PushButtonTest, SnapshotIsTheBackgroundUnderTheButtonEvenAtTheEdge) {
    CGDIBitmapBtn button;
    RECT edge{420, 300, 480, 320};  // the dialog background is 480 x 320
    ASSERT_TRUE(button.Create(L"", kButtonStyle, edge, &dialog, 7));
    button.SetImages(nullptr, nullptr, nullptr, &dialog.Background(), edge);
    std::unique_ptr<Dib32> dib = RenderOwnerDrawn(button);
    for (auto [x, y] : {std::pair{0, 0}, {59, 19}, {30, 10}}) EXPECT_EQ(dib->Rgb(x, y), TestBackgroundPixel(420 + x, 300 + y));
}

// None of the skinned buttons is reached by Tab; a state button given its
// images loses its border too.
TEST_F(PushButtonTest, NoTabStopFromTheStartAndNoBorderOnceGivenImages) {
    constexpr DWORD kWithExtras = kButtonStyle | WS_TABSTOP | WS_BORDER;
    auto extras = [](const CWnd& w) { return w.GetStyle() & (WS_TABSTOP | WS_BORDER); };
    CGDIBitmapBtn plain;
    CGDIBitmapBtnEx byPath;
    CBitmapBtn arrow;
    CDeviceBitmap tile;
    ASSERT_TRUE(plain.Create(L"", kWithExtras, RECT{0, 0, 60, 20}, &dialog, 1));
    ASSERT_TRUE(byPath.Create(L"", kWithExtras, RECT{0, 30, 60, 50}, &dialog, 2));
    ASSERT_TRUE(arrow.Create(L"", kWithExtras, RECT{0, 60, 46, 106}, &dialog, 3));
    ASSERT_TRUE(tile.Create(L"", kWithExtras, RECT{100, 0, 304, 200}, &dialog, 4));
    for (const CWnd* b : std::initializer_list<const CWnd*>{&plain, &byPath, &arrow, &tile})
        EXPECT_EQ(extras(*b), static_cast<DWORD>(WS_BORDER));
    plain.SetImages(&normal, &hover, &pressed, &dialog.Background(), RECT{0, 0, 60, 20});
    byPath.SetImages(normalPath, hoverPath, pressedPath, &dialog.Background(), RECT{0, 30, 60, 50});
    EXPECT_EQ(extras(plain), 0u);
    EXPECT_EQ(extras(byPath), 0u);
}

TEST_F(PushButtonTest, CopyBitmapRectReleasesTheOldCopyAndKeepsItOnAnEmptySource) {
    CBitmap copy;
    HDC screen = ::GetDC(nullptr);
    long before = gdi::LiveObjects();
    CopyBitmapRect(screen, copy, dialog.Background(), 1, RECT{10, 20, 30, 30});
    CopyBitmapRect(screen, copy, dialog.Background(), 1, RECT{10, 20, 30, 30});
    EXPECT_EQ(gdi::LiveObjects(), before + 1);
    HBITMAP kept = copy.GetSafeHandle();
    CopyBitmapRect(screen, copy, CBitmap(), 1, RECT{0, 0, 5, 5});
    EXPECT_EQ(copy.GetSafeHandle(), kept);
    // Offset flag 0 copies from the source's top-left instead.
    CBitmap topLeft;
    CopyBitmapRect(screen, topLeft, dialog.Background(), 0, RECT{10, 20, 30, 30});
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(topLeft.GetSize().cx, 20);
    Dib32 check(20, 10);
    MemoryDC source(check.dc());
    source.Select(topLeft);
    ::BitBlt(check.dc(), 0, 0, 20, 10, source, 0, 0, SRCCOPY);
    EXPECT_EQ(check.Rgb(3, 4), TestBackgroundPixel(3, 4));
    MemoryDC other(check.dc());
    other.Select(copy);
    ::BitBlt(check.dc(), 0, 0, 20, 10, other, 0, 0, SRCCOPY);
    EXPECT_EQ(check.Rgb(3, 4), TestBackgroundPixel(13, 24));
}

TEST_F(PushButtonTest, ClickReachesTheOwnerOnlyWhileTheMouseIsOn) {
    CGDIBitmapBtn button;
    Place(button, 9);
    button.m_notifyPressRelease = TRUE;
    dialog.Clear();
    PostClick(button, 10, 10);
    ASSERT_EQ(dialog.Count(WM_COMMAND), 1);
    EXPECT_EQ(dialog.Of(WM_COMMAND)[0].wp, MAKEWPARAM(9, BN_CLICKED));
    EXPECT_EQ(dialog.Of(WM_COMMAND)[0].lp, reinterpret_cast<LPARAM>(button.m_hWnd));
    auto notes = dialog.Of(UWM_BUTTON_PRESS_RELEASE);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].wp, static_cast<WPARAM>(WM_LBUTTONDOWN));
    EXPECT_EQ(notes[1].wp, static_cast<WPARAM>(WM_LBUTTONUP));

    button.m_mouseEnabled = FALSE;
    dialog.Clear();
    PostClick(button, 10, 10);
    PostMouse(button, WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
    PostMouse(button, WM_MOUSEMOVE, 12, 10, 0);
    PumpMessages(20);
    EXPECT_EQ(dialog.Count(WM_COMMAND), 0);
    EXPECT_EQ(dialog.Count(UWM_BUTTON_PRESS_RELEASE), 0);
    EXPECT_EQ(dialog.Count(WM_MOUSEMOVE), 0);
    EXPECT_FALSE(button.m_hovered);
}

TEST_F(PushButtonTest, PathButtonSwallowsPressesWhileHoverIsOffAndTogglesOnClick) {
    CGDIBitmapBtnEx button;
    Place(button);
    button.m_hoverEnabled = FALSE;
    dialog.Clear();
    PostClick(button, 10, 10);
    EXPECT_EQ(dialog.Count(WM_COMMAND), 0);

    CGDIBitmapBtn toggler;
    ASSERT_TRUE(toggler.Create(L"", kButtonStyle, RECT{10, 10, 70, 30}, &dialog, 3));
    toggler.m_toggleOnClick = TRUE;
    PostClick(toggler, 5, 5);
    EXPECT_TRUE(toggler.m_checked);
    PostClick(toggler, 5, 5);
    EXPECT_FALSE(toggler.m_checked);
}

TEST_F(PushButtonTest, HoverTakesTheCaptureAndEndsWhenTheCursorLeaves) {
    CGDIBitmapBtn button;
    Place(button);
    dialog.Clear();
    // Other test programs share the display and may hold the foreground; the
    // hover needs an active window of this thread.
    ::SetActiveWindow(dialog.m_hWnd);
    ASSERT_NE(::GetActiveWindow(), nullptr);
    PostMouse(button, WM_MOUSEMOVE, 10, 10, 0);
    PumpMessages();
    EXPECT_TRUE(button.m_hovered);
    EXPECT_EQ(::GetCapture(), button.m_hWnd);
    // The move is relayed in the parent's coordinates.
    ASSERT_EQ(dialog.Count(WM_MOUSEMOVE), 1);
    EXPECT_EQ(dialog.Of(WM_MOUSEMOVE)[0].lp, MAKELPARAM(110, 60));

    // Far outside the button (the capture still delivers the move).
    PostMouse(button, WM_MOUSEMOVE, -60, 200, 0);
    PumpMessages();
    EXPECT_FALSE(button.m_hovered);
    EXPECT_EQ(::GetCapture(), nullptr);

    // Dragged off while held: the hover look ends at once, but the button
    // keeps the capture until the release, which it needs to see.
    PostMouse(button, WM_MOUSEMOVE, 10, 10, 0);
    PostMouse(button, WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    PumpMessages();
    ASSERT_TRUE(button.m_hovered);
    PostMouse(button, WM_MOUSEMOVE, -60, 200, MK_LBUTTON);
    PumpMessages();
    EXPECT_FALSE(button.m_hovered);
    EXPECT_EQ(::GetCapture(), button.m_hWnd);
    dialog.Clear();
    PostMouse(button, WM_LBUTTONUP, -60, 200, 0);
    PumpMessages();
    EXPECT_NE(::GetCapture(), button.m_hWnd);
    EXPECT_EQ(dialog.Count(WM_COMMAND), 0) << "released outside: no click";
}

TEST_F(PushButtonTest, ValueBoxRoundsTheEntryToFiftiesAndZeroPostsNothing) {
    CGDIBitmapBtnEx2 box;
    Place(box, 2571);
    uint32_t next = 0;
    bool cancel = false;
    int askedMode = -1;
    SetValueEntryHandler([&](CWnd* parent, int mode) -> std::optional<uint32_t> {
        askedMode = mode;
        EXPECT_EQ(parent, &box);
        if (cancel) return std::nullopt;
        return next;
    });
    struct Case {
        uint32_t entered;
        int posted;  // -1: nothing
    };
    for (Case c : {Case{76, 100}, Case{75, 50}, Case{26, 50}, Case{25, 0}, Case{0, -1}}) {
        SCOPED_TRACE(c.entered);
        next = c.entered;
        box.m_text = L"before";
        dialog.Clear();
        PostMouse(box, WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
        PumpMessages();
        EXPECT_EQ(askedMode, 2);
        auto posts = dialog.Of(UWM_VALUE_CHANGED);
        if (c.posted < 0) {
            EXPECT_TRUE(posts.empty());
            EXPECT_EQ(box.m_text, L"before");
        } else {
            ASSERT_EQ(posts.size(), 1u);
            EXPECT_EQ(posts[0].wp, static_cast<WPARAM>(c.posted));
            EXPECT_EQ(posts[0].lp, 2571);
            EXPECT_EQ(box.m_text, FormatW(L"%d", c.posted));
        }
    }
    cancel = true;
    dialog.Clear();
    PostMouse(box, WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
    PumpMessages();
    EXPECT_EQ(dialog.Count(UWM_VALUE_CHANGED), 0);

    // With the mouse off the box asks for nothing at all.
    cancel = false;
    next = 100;
    askedMode = -1;
    box.m_mouseEnabled = FALSE;
    PostMouse(box, WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
    PumpMessages();
    EXPECT_EQ(askedMode, -1);
    EXPECT_EQ(dialog.Count(UWM_VALUE_CHANGED), 0);
}

TEST_F(PushButtonTest, DoubleClickOfAnOwnerDrawnButtonReachesTheOwnerAsItsOwnNotification) {
    // What owners see from a double click: BN_CLICKED for the first press and
    // BN_DOUBLECLICKED for the second, so acting on BN_CLICKED alone acts once.
    CGDIBitmapBtn button;
    Place(button, 4);
    dialog.Clear();
    PostMouse(button, WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    PostMouse(button, WM_LBUTTONUP, 10, 10, 0);
    PostMouse(button, WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
    PostMouse(button, WM_LBUTTONUP, 10, 10, 0);
    PumpMessages(20);
    std::vector<WORD> codes;
    for (const RecordedMessage& m : dialog.Of(WM_COMMAND)) codes.push_back(HIWORD(m.wp));
    EXPECT_EQ(codes, (std::vector<WORD>{BN_CLICKED, BN_DOUBLECLICKED}));
}

TEST_F(PushButtonTest, SetCheckedWithTheSameValueDoesNotRepaint) {
    CGDIBitmapBtn button;
    Place(button);
    PumpMessages(20);
    button.SetChecked(FALSE);
    EXPECT_FALSE(::GetUpdateRect(button.m_hWnd, nullptr, FALSE));
    button.SetChecked(TRUE);
    EXPECT_TRUE(::GetUpdateRect(button.m_hWnd, nullptr, FALSE));
}

TEST_F(PushButtonTest, ManyPaintsLeakNothingAndLeaveNoFileOpen) {
    std::wstring picture = WriteSolidPng(L"picture.png", 50, 50, 0xFF404040);
    std::wstring icon = WriteSolidPng(L"icon.png", 42, 23, 0xFF00A0A0);
    std::wstring exHover = WriteSolidPng(L"ex_hover.png", 40, 20, kHoverArgb);
    std::wstring exPressed = WriteSolidPng(L"ex_pressed.png", 40, 20, kPressedArgb);
    CGDIBitmapBtn plain;
    CGDIBitmapBtnEx byPath;
    CGDIBitmapBtnEx2 valueBox;
    CBitmapBtn arrow;
    CDeviceBitmap tile;
    ASSERT_TRUE(plain.Create(L"", kButtonStyle, RECT{0, 0, 60, 20}, &dialog, 1));
    ASSERT_TRUE(byPath.Create(L"", kButtonStyle, RECT{0, 30, 60, 50}, &dialog, 2));
    ASSERT_TRUE(valueBox.Create(L"", kButtonStyle, RECT{0, 60, 60, 80}, &dialog, 3));
    ASSERT_TRUE(arrow.Create(L"", kButtonStyle, RECT{0, 90, 46, 136}, &dialog, 4));
    ASSERT_TRUE(tile.Create(L"", kButtonStyle, RECT{100, 0, 304, 200}, &dialog, 5));
    plain.SetImages(&normal, &hover, &pressed, &dialog.Background(), RECT{0, 0, 60, 20});
    byPath.SetImages(normalPath, exHover, exPressed, &dialog.Background(), RECT{0, 30, 60, 50});
    valueBox.SetImages(normalPath, exHover, exPressed, &dialog.Background(), RECT{0, 60, 60, 80});
    byPath.m_hovered = TRUE;
    arrow.LoadImage(picture, &dialog.Background(), RECT{0, 90, 46, 136});
    tile.SetImages(picture, icon, icon, icon, &dialog.Background(), RECT{100, 0, 304, 200});
    for (CWnd* b : std::initializer_list<CWnd*>{&plain, &byPath, &valueBox}) {
        static_cast<CSkinStateButton*>(b)->SetText(L"1600", 0, 0, 18, DT_CENTER, FALSE);
    }
    arrow.SetText(L"1/2");
    tile.SetText(L"Brantis");
    PumpMessages(50);
    // What the first paint of each look decodes is kept for the next ones.
    for (CWnd* b : std::initializer_list<CWnd*>{&plain, &byPath, &valueBox, &arrow, &tile})
        for (UINT state : {0u, UINT(ODS_SELECTED)}) RenderOwnerDrawn(*b, state);

    long gdiBefore = gdi::LiveObjects();
    long gdiplusBefore = gdiplus::LiveObjects();
    for (int i = 0; i < 150; ++i)
        for (CWnd* b : std::initializer_list<CWnd*>{&plain, &byPath, &valueBox, &arrow, &tile})
            RenderOwnerDrawn(*b, i % 2 ? ODS_SELECTED : 0);
    EXPECT_EQ(gdi::LiveObjects(), gdiBefore);
    EXPECT_EQ(gdiplus::LiveObjects(), gdiplusBefore);
    // No paint holds its image's file: the files can be removed.
    EXPECT_TRUE(::DeleteFileW(exHover.c_str()));
    EXPECT_TRUE(::DeleteFileW(exPressed.c_str()));
    EXPECT_TRUE(::DeleteFileW(icon.c_str()));
}

TEST_F(PushButtonTest, DeviceTileDrawsPictureScaledAndIconsUnscaled) {
    std::wstring picture = WriteSolidPng(L"tile.png", 100, 50, 0xFF305070);
    std::wstring icon = WriteSolidPng(L"small.png", 20, 10, 0xFFA0A000);
    CDeviceBitmap tile;
    RECT r{100, 0, 304, 200};
    ASSERT_TRUE(tile.Create(L"", kButtonStyle, r, &dialog, 5));
    tile.SetImages(picture, icon, L"", L"", &dialog.Background(), r);
    std::unique_ptr<Dib32> dib = RenderOwnerDrawn(tile);
    EXPECT_EQ(dib->Rgb(20, 40), 0x305070u);
    EXPECT_EQ(dib->Rgb(99, 79), 0x305070u);   // 80 x 40 from (20, 40)
    EXPECT_EQ(dib->Rgb(101, 81), TestBackgroundPixel(201, 81));
    EXPECT_EQ(dib->Rgb(30, 15), 0xA0A000u);   // icon 1 at its rectangle
    EXPECT_EQ(dib->Rgb(51, 26), TestBackgroundPixel(151, 26));  // a small icon is not stretched
    EXPECT_EQ(dib->Rgb(85, 20), TestBackgroundPixel(185, 20));  // icon 2 has no path
}

// Every button kind in each state with the real skins, one sheet per kind, for
// people to look at.
TEST_F(PushButtonTest, ScreenshotsOfEachKindInEachState) {
    GdipImage keyNormal = GdipImage::FromFile(TestSkinPath(L"keymenu_nr.png"));
    GdipImage keyHover = GdipImage::FromFile(TestSkinPath(L"keymenu_ov.png"));
    GdipImage keyPressed = GdipImage::FromFile(TestSkinPath(L"keymenu_dn.png"));
    ASSERT_TRUE(keyNormal && keyHover && keyPressed);

    struct State {
        const wchar_t* name;
        BOOL checked, hovered;
        UINT itemState;
    };
    const State states[] = {{L"normal", 0, 0, 0}, {L"hover", 0, 1, 0}, {L"pressed", 0, 0, ODS_SELECTED},
                            {L"checked", 1, 0, 0}, {L"disabled", 0, 0, ODS_DISABLED}};
    Dib32 sheet(5 * 190 + 10, 3 * 40 + 10);
    sheet.Fill(0xFF0F1216);
    auto paste = [&](const Dib32& dib, int x, int y) {
        ::BitBlt(sheet.dc(), x, y, dib.width(), dib.height(), dib.dc(), 0, 0, SRCCOPY);
    };

    CGDIBitmapBtn plain;
    ASSERT_TRUE(plain.Create(L"", kButtonStyle, RECT{10, 10, 152, 30}, &dialog, 1));
    plain.SetImages(&keyNormal, &keyHover, &keyPressed, &dialog.Background(), RECT{10, 10, 152, 30});
    plain.SetText(L"Left button", 0, 20, 18, DT_CENTER, FALSE);
    plain.m_checkMode = TRUE;
    CGDIBitmapBtnEx byPath;
    ASSERT_TRUE(byPath.Create(L"", kButtonStyle, RECT{10, 40, 90, 68}, &dialog, 2));
    byPath.SetImages(TestSkinPath(L"profile_nr.png"), TestSkinPath(L"profile_ov.png"), TestSkinPath(L"profile_dn.png"),
                     &dialog.Background(), RECT{10, 40, 90, 68});
    byPath.SetText(L"Profile", 0, 0, 16, DT_CENTER, FALSE);
    byPath.m_checkMode = TRUE;
    CGDIBitmapBtnEx2 box;
    ASSERT_TRUE(box.Create(L"", kButtonStyle, RECT{10, 80, 116, 106}, &dialog, 3));
    box.SetImages(TestSkinPath(L"Button_nr.png"), TestSkinPath(L"Button_ov.png"), TestSkinPath(L"Button_dn.png"),
                  &dialog.Background(), RECT{10, 80, 116, 106});
    box.SetText(L"1600", 3, 0, 18, DT_CENTER, TRUE);
    box.m_checkMode = TRUE;
    CSkinStateButton* rows[3] = {&plain, &byPath, &box};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 5; ++col) {
            rows[row]->m_checked = states[col].checked;
            rows[row]->m_hovered = states[col].hovered;
            rows[row]->m_checkMode = states[col].itemState & ODS_SELECTED ? FALSE : TRUE;
            paste(*RenderOwnerDrawn(*rows[row], states[col].itemState), 10 + col * 190, 10 + row * 40);
        }
    }
    EXPECT_TRUE(SaveScreenshot(sheet, L"push_buttons_states"));

    Dib32 pictures(520, 230);
    pictures.Fill(0xFF0F1216);
    CBitmapBtn arrows[3];
    const wchar_t* captions[3] = {L"1/3", L"Next", L"Back"};
    for (int i = 0; i < 3; ++i) {
        RECT r{10 + i * 60, 120, 56 + i * 60, 166};  // below the state buttons in the live dialog
        ASSERT_TRUE(arrows[i].Create(L"", kButtonStyle, r, &dialog, 10 + i));
        arrows[i].LoadImage(TestSkinPath(i ? L"Right.png" : L"Left.png"), &dialog.Background(), r);
        arrows[i].m_textOrientation = i + 1;  // horizontal, 90 and 270 degrees
        arrows[i].SetText(captions[i]);
        std::unique_ptr<Dib32> dib = RenderOwnerDrawn(arrows[i]);
        ::BitBlt(pictures.dc(), 10 + i * 60, 10, 46, 46, dib->dc(), 0, 0, SRCCOPY);
    }
    CDeviceBitmap tile;
    RECT tileRect{200, 10, 404, 220};
    ASSERT_TRUE(tile.Create(L"", kButtonStyle, tileRect, &dialog, 20));
    tile.SetImages(TestSkinPath(L"mouse_nr.png"), TestSkinPath(L"usb-ol.png"), TestSkinPath(L"1KHz.png"), L"",
                   &dialog.Background(), tileRect);
    tile.m_textOrientation = 1;
    tile.m_textColor = 0xFFFFFF;
    tile.SetText(L"Brantis");
    std::unique_ptr<Dib32> tileDib = RenderOwnerDrawn(tile);
    ::BitBlt(pictures.dc(), 200, 10, tileDib->width(), tileDib->height(), tileDib->dc(), 0, 0, SRCCOPY);
    EXPECT_TRUE(SaveScreenshot(pictures, L"picture_buttons"));

    // The live dialog with its buttons, each painting itself.
    PumpMessages(50);
    EXPECT_TRUE(SaveScreenshot(*RenderWindow(dialog.m_hWnd), L"push_buttons_dialog"));
}

}  // namespace

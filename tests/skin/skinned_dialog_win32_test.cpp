// The skinned-box base under Wine: its size and place, the box the user cannot
// close, and the ready signal a worker thread waits for.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "res/resource.h"
#include "skin/skinned_dialog_win32.h"
#include "support/box_driver_win32.h"
#include "support/window_harness_win32.h"

namespace {

constexpr DWORD kWorkerWait = 20000;
constexpr uint32_t kSkinColour = 0xFF3366CC;
// Ends a test box from outside should the input under test not have ended it.
constexpr UINT kEndForTest = WM_APP + 1;
constexpr INT_PTR kNotClosed = -2;

// A box with a plain skin that records how far its OnInitDialog got.
class SolidBox : public CSkinnedDialog {
public:
    SolidBox(CWnd* parent, Closing closing, std::wstring skin, UINT templateId = IDD_DEBOUNCE_DIALOG)
        : CSkinnedDialog(templateId, parent, closing), m_skin(std::move(skin)) {}

    std::atomic<bool> initDone{false};

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kEndForTest) {
            EndDialog(kNotClosed);
            return 0;
        }
        return CSkinnedDialog::WindowProc(msg, wp, lp);
    }
    BOOL OnInitDialog() override {
        CSkinnedDialog::OnInitDialog();
        LoadBackground(m_skin);
        // Slow on purpose: a worker let go too early would find this unset.
        ::Sleep(30);
        initDone = true;
        return FALSE;
    }

private:
    std::wstring m_skin;
};

class SkinnedDialogTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        skin = WriteSolidPng(L"skinned-box.png", 150, 90, kSkinColour);
        ASSERT_FALSE(skin.empty());
        ASSERT_TRUE(owner.Open());
        ::SetWindowPos(owner.m_hWnd, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

    std::wstring skin;
    TestDialog owner;
};

// From a worker: waits for the box, lets `act` do what a user would, then
// closes it as a sync worker does.
template <typename Act>
std::thread Drive(CSkinnedDialog& box, Act act) {
    return std::thread([&box, act] {
        HWND hwnd = box.WaitUntilReady(kWorkerWait);
        if (!hwnd) return;
        act(hwnd);
        ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
    });
}

struct Placed {
    RECT rect{};
    HWND owner = nullptr;
};

Placed OpenAndMeasure(CWnd* parent, const std::wstring& skin) {
    SolidBox box(parent, CSkinnedDialog::Closing::ByOwnerOnly, skin);
    Placed placed;
    std::thread worker = Drive(box, [&](HWND hwnd) {
        ::GetWindowRect(hwnd, &placed.rect);
        placed.owner = ::GetWindow(hwnd, GW_OWNER);
    });
    box.DoModal();
    worker.join();
    return placed;
}

TEST_F(SkinnedDialogTest, SizedToItsSkinOnItsOwnersCornerOrCentredWithoutOne) {
    // A control as the parent (as the stepper opens its box): a popup cannot
    // be owned by a child, so the owner, and the corner, is its top-level window.
    CWnd control;
    ASSERT_TRUE(control.Create(CWnd::DefaultClassName(), L"", WS_CHILD | WS_VISIBLE, RECT{200, 100, 260, 130},
                               &owner, 0));
    for (CWnd* parent : {static_cast<CWnd*>(&owner), &control}) {
        Placed placed = OpenAndMeasure(parent, skin);
        EXPECT_EQ(placed.owner, owner.m_hWnd);
        EXPECT_EQ(placed.rect.left, 123);
        EXPECT_EQ(placed.rect.top, 77);
        EXPECT_EQ(placed.rect.right - placed.rect.left, 150);
        EXPECT_EQ(placed.rect.bottom - placed.rect.top, 90);
    }

    Placed alone = OpenAndMeasure(nullptr, skin);
    if (alone.owner) GTEST_SKIP() << "the framework found an owner for the box";
    EXPECT_EQ(alone.rect.left, (::GetSystemMetrics(SM_CXFULLSCREEN) - 150) / 2);
    EXPECT_EQ(alone.rect.top, (::GetSystemMetrics(SM_CYFULLSCREEN) - 90) / 2);
    EXPECT_EQ(alone.rect.right - alone.rect.left, 150);
}

TEST_F(SkinnedDialogTest, PaintDialogSkinCopiesTheBackgroundOneToOne) {
    CBitmap background;
    ASSERT_TRUE(LoadBitmapFromImageFile(skin, background));
    Dib32 target(200, 120);
    target.Fill(0xFF000000);
    PaintDialogSkin(target.dc(), background);
    EXPECT_EQ(target.Rgb(0, 0), kSkinColour & 0xFFFFFF);
    EXPECT_EQ(target.Rgb(149, 89), kSkinColour & 0xFFFFFF);
    EXPECT_EQ(target.Rgb(150, 45), 0u) << "painted past the skin's width";
    EXPECT_EQ(target.Rgb(75, 90), 0u) << "painted past the skin's height";

    CBitmap none;
    long before = gdi::LiveObjects();
    PaintDialogSkin(target.dc(), none);
    EXPECT_EQ(gdi::LiveObjects(), before);
}

// What a user can do to end a box: the keys go through the box's own loop
// (the dialog manager), Alt+F4 through the system's key handling.
void UserTriesToClose(HWND hwnd, UINT what) {
    switch (what) {
    case VK_ESCAPE:
    case VK_RETURN:
        ::PostMessageW(hwnd, WM_KEYDOWN, what, 1);
        ::PostMessageW(hwnd, WM_KEYUP, what, 0xC0000001);
        break;
    case VK_F4:
        ::PostMessageW(hwnd, WM_SYSKEYDOWN, VK_F4, 0x20000001);  // Alt held
        ::PostMessageW(hwnd, WM_SYSKEYUP, VK_F4, 0xE0000001);
        break;
    case SC_CLOSE:  // the system menu's Close
        ::PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    default:
        break;
    }
    WaitUntilBoxHandled(hwnd);
}

TEST_F(SkinnedDialogTest, OnlyItsWorkerEndsABoxTheUserCannotClose) {
    struct Case {
        UINT what;
        const char* name;
        INT_PTR closableResult;  // what a box the user can close ends with
    };
    const Case cases[] = {
        {VK_ESCAPE, "Escape", IDCANCEL},
        {VK_RETURN, "Enter", IDOK},
        {VK_F4, "Alt+F4", IDCANCEL},
        {SC_CLOSE, "system menu Close", IDCANCEL},
    };
    for (const Case& c : cases) {
        SolidBox locked(&owner, CSkinnedDialog::Closing::ByOwnerOnly, skin);
        std::atomic<bool> stillThere{false};
        std::thread worker = Drive(locked, [&](HWND hwnd) {
            UserTriesToClose(hwnd, c.what);
            stillThere = ::IsWindow(hwnd) && ::IsWindowVisible(hwnd);
        });
        EXPECT_EQ(locked.DoModal(), IDCANCEL) << c.name;
        worker.join();
        EXPECT_TRUE(stillThere) << c.name << " closed a box only its worker may close";

        // The same input does end a box the user may close: the test reaches it.
        SolidBox open(&owner, CSkinnedDialog::Closing::ByUser, skin);
        std::thread user([&] {
            if (HWND hwnd = open.WaitUntilReady(kWorkerWait)) UserTriesToClose(hwnd, c.what);
            // Should the input have done nothing, end the box so the test goes on.
            if (HWND hwnd = open.WaitUntilReady(0)) ::PostMessageW(hwnd, kEndForTest, 0, 0);
        });
        INT_PTR result = open.DoModal();
        user.join();
        EXPECT_EQ(result, c.closableResult) << c.name;
    }
}

TEST_F(SkinnedDialogTest, AWorkerThatEndsAtOnceNeverLosesItsClose) {
    // The worker starts before the box exists and closes it the moment it may;
    // each round must end, and never before the box's set-up was done.
    for (int round = 0; round < 6; ++round) {
        SolidBox box(&owner, CSkinnedDialog::Closing::ByOwnerOnly, skin);
        std::atomic<bool> initSeen{false};
        std::thread worker([&] {
            HWND hwnd = box.WaitUntilReady(kWorkerWait);
            initSeen = box.initDone.load();
            ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(box.DoModal(), IDCANCEL) << "round " << round;
        worker.join();
        ASSERT_TRUE(initSeen) << "the worker was let go before the box was set up, round " << round;
    }
}

TEST_F(SkinnedDialogTest, AWorkerIsLetGoWhenTheBoxCannotBeCreated) {
    SolidBox box(&owner, CSkinnedDialog::Closing::ByOwnerOnly, skin, 0xBEEF);
    std::atomic<int> got{-1};
    std::thread worker([&] { got = box.WaitUntilReady(kWorkerWait) == nullptr ? 0 : 1; });
    EXPECT_EQ(box.DoModal(), -1);
    worker.join();
    EXPECT_EQ(got, 0);
    // And after the box has gone, a late worker gets no window either.
    SolidBox done(&owner, CSkinnedDialog::Closing::ByOwnerOnly, skin);
    std::thread closer = Drive(done, [](HWND) {});
    done.DoModal();
    closer.join();
    EXPECT_EQ(done.WaitUntilReady(0), nullptr);
}

}  // namespace

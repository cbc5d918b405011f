// The window framework under Wine: binding and subclass chains, reflection,
// the modal loop with its PreTranslateMessage walk, nesting, owners and
// self-deleting windows.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "framework/app.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/menu.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "support/window_harness_win32.h"

namespace {

constexpr UINT kAsk = WM_USER + 1;

// A plain window class of the system's kind: answers kAsk with 100.
LRESULT CALLBACK BaseProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kAsk) return 100;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

const wchar_t* BaseClass() {
    static const wchar_t* name = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = BaseProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuorvelTestBase";
        ::RegisterClassW(&wc);
        return L"QuorvelTestBase";
    }();
    return name;
}

// Somebody else's subclass stacked on ours: adds 1000 on the way back.
WNDPROC g_belowForeign = nullptr;
LRESULT CALLBACK ForeignProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = ::CallWindowProcW(g_belowForeign, hwnd, msg, wp, lp);
    return msg == kAsk ? r + 1000 : r;
}

class AddsTen : public CWnd {
public:
    std::vector<UINT> seen;
    bool preSubclassed = false;
    bool boundAtFirstMessage = false;

protected:
    void PreSubclassWindow() override { preSubclassed = true; }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (seen.empty()) boundAtFirstMessage = CWnd::FromHandle(m_hWnd) == this;
        seen.push_back(msg);
        if (msg == kAsk) return Default() + 10;
        if (msg == WM_USER + 5) throw std::runtime_error("must not cross the window procedure");
        return CWnd::WindowProc(msg, wp, lp);
    }
};

TEST(WindowCoreTest, SubclassChainAndDefaultReachThePreviousProcedure) {
    HWND hwnd = ::CreateWindowExW(0, BaseClass(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(hwnd, nullptr);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0x5A5A);  // the control's own slot

    AddsTen wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hwnd));
    EXPECT_TRUE(wnd.preSubclassed);
    EXPECT_EQ(CWnd::FromHandle(hwnd), &wnd);
    EXPECT_EQ(::SendMessageW(hwnd, kAsk, 0, 0), 110);

    // A foreign subclass on top, then we let go underneath it: the chain
    // still reaches the class procedure, without our object.
    g_belowForeign = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignProc)));
    EXPECT_EQ(::SendMessageW(hwnd, kAsk, 0, 0), 1110);
    wnd.UnsubclassWindow();
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    EXPECT_EQ(::SendMessageW(hwnd, kAsk, 0, 0), 1100);
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_belowForeign));
    EXPECT_EQ(::SendMessageW(hwnd, kAsk, 0, 0), 100);

    EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0x5A5A);
    ::DestroyWindow(hwnd);
}

TEST(WindowCoreTest, CreatedWindowIsBoundBeforeItsFirstMessage) {
    AddsTen wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"", WS_POPUP, RECT{0, 0, 20, 20}, nullptr, 0));
    EXPECT_TRUE(wnd.preSubclassed);
    EXPECT_TRUE(wnd.boundAtFirstMessage);
    ASSERT_FALSE(wnd.seen.empty());
    bool sawNcCreate = false, sawCreate = false;
    for (UINT m : wnd.seen) {
        sawNcCreate |= m == WM_NCCREATE;
        sawCreate |= m == WM_CREATE;
    }
    EXPECT_TRUE(sawNcCreate);
    EXPECT_TRUE(sawCreate);
    // Default() of our own class goes to DefWindowProc.
    EXPECT_EQ(wnd.SendMessage(kAsk), 10);
    HWND hwnd = wnd.m_hWnd;
    wnd.DestroyWindow();
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
}

TEST(WindowCoreTest, AnExceptionStopsAtTheWindowProcedure) {
    AddsTen wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"", WS_POPUP, RECT{0, 0, 20, 20}, nullptr, 0));
    EXPECT_EQ(wnd.SendMessage(WM_USER + 5), 0);
    EXPECT_EQ(wnd.SendMessage(kAsk), 10);  // still alive and bound
}

class SelfDeleting : public CWnd {
public:
    explicit SelfDeleting(bool* deleted) : m_deleted(deleted) {}

protected:
    void PostNcDestroy() override {
        *m_deleted = CWnd::FromHandle(m_hWnd) == nullptr && m_hWnd == nullptr;
        delete this;
    }

private:
    bool* m_deleted;
};

TEST(WindowCoreTest, WindowOnTheHeapDeletesItselfAfterItsWindowIsGone) {
    bool deleted = false;
    auto* wnd = new SelfDeleting(&deleted);
    ASSERT_TRUE(wnd->CreateEx(0, nullptr, L"", WS_POPUP, RECT{0, 0, 20, 20}, nullptr, 0));
    HWND hwnd = wnd->m_hWnd;
    ::DestroyWindow(hwnd);  // from outside, as a parent's destruction would
    EXPECT_TRUE(deleted);
    EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
}

// A window of the system's own (a message box, a common dialog) or a handle
// the code was given: GetParent() and FromHandle hand out a wrapper that names
// it, and the wrapper never takes the window with it.
TEST(WindowCoreTest, AWindowWeDoNotManageComesAsATemporaryWrapper) {
    HWND foreign = ::CreateWindowExW(0, BaseClass(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(foreign, nullptr);
    CButton child;
    ASSERT_TRUE(child.CreateEx(0, L"BUTTON", L"", WS_CHILD, RECT{0, 0, 5, 5}, foreign, 3));

    CWnd* parent = child.GetParent();
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(parent->m_hWnd, foreign);
    EXPECT_EQ(CWnd::FromHandle(foreign), parent) << "one wrapper per window";
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr) << "and it is not bound";
    EXPECT_EQ(parent->SendMessage(kAsk), 100) << "the window's own procedure answers";

    // Its wrapper goes once the window has gone; the next one names another window.
    child.DestroyWindow();
    ::DestroyWindow(foreign);
    EXPECT_EQ(CWnd::FromHandle(foreign), nullptr);
    HWND other = ::CreateWindowExW(0, BaseClass(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(CWnd::FromHandle(other)->m_hWnd, other);
    EXPECT_TRUE(::IsWindow(other));
    ::DestroyWindow(other);

    // Nothing to wrap: no window at all, or the top of the tree.
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    TestDialog top;
    ASSERT_TRUE(top.Open());
    EXPECT_EQ(CWnd::FromHandle(top.m_hWnd), &top);
    EXPECT_EQ(top.GetParent(), nullptr);
}

// ---- reflection ----

class ReflectingChild : public CButton {
public:
    int drawn = 0;
    int measured = 0;
    std::vector<UINT> notifications;
    CBrush brush;

protected:
    void DrawItem(DRAWITEMSTRUCT*) override { ++drawn; }
    void MeasureItem(MEASUREITEMSTRUCT* mis) override {
        ++measured;
        mis->itemHeight = 20;
    }
    HBRUSH CtlColor(HDC, UINT) override { return brush; }
    BOOL OnChildNotify(UINT code) override {
        notifications.push_back(code);
        return code == EN_CHANGE;  // takes this one, leaves clicks to the parent
    }
};

class RecordingMenu : public CMenu {
public:
    int drawn = 0;
    int measured = 0;
    void DrawItem(DRAWITEMSTRUCT*) override { ++drawn; }
    void MeasureItem(MEASUREITEMSTRUCT* mis) override {
        ++measured;
        mis->itemWidth = 160;
        mis->itemHeight = 20;
    }
};

class CommandRecorder : public TestDialog {
public:
    std::vector<UINT> commands;

protected:
    BOOL OnCommand(WPARAM wp, LPARAM lp) override {
        commands.push_back(HIWORD(wp));
        return TestDialog::OnCommand(wp, lp);
    }
};

TEST(ReflectionTest, ParentMessagesReachTheChildObject) {
    CommandRecorder dialog;
    ASSERT_TRUE(dialog.Open());
    ReflectingChild child;
    child.brush.CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_TRUE(child.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{10, 10, 60, 30}, &dialog, 77));

    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = 77;
    dis.hwndItem = child.m_hWnd;
    child.drawn = 0;
    EXPECT_EQ(dialog.SendMessage(WM_DRAWITEM, 77, reinterpret_cast<LPARAM>(&dis)), TRUE);
    EXPECT_EQ(child.drawn, 1);

    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_LISTBOX;
    mis.CtlID = 77;
    EXPECT_EQ(dialog.SendMessage(WM_MEASUREITEM, 77, reinterpret_cast<LPARAM>(&mis)), TRUE);
    EXPECT_EQ(child.measured, 1);
    EXPECT_EQ(mis.itemHeight, 20u);

    HDC dc = ::GetDC(child.m_hWnd);
    EXPECT_EQ(dialog.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child.m_hWnd)),
              reinterpret_cast<LRESULT>(child.brush.GetSafeHandle()));
    ::ReleaseDC(child.m_hWnd, dc);

    // A taken notification stays with the child; a click goes on to the parent.
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(77, EN_CHANGE), reinterpret_cast<LPARAM>(child.m_hWnd));
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(77, BN_CLICKED), reinterpret_cast<LPARAM>(child.m_hWnd));
    EXPECT_EQ(child.notifications, (std::vector<UINT>{EN_CHANGE, BN_CLICKED}));
    EXPECT_EQ(dialog.commands, (std::vector<UINT>{BN_CLICKED}));

    // Owner-drawn menu items go to the menu being tracked.
    RecordingMenu menu;
    SetTrackedMenu(&menu);
    DRAWITEMSTRUCT menuItem{};
    menuItem.CtlType = ODT_MENU;
    MEASUREITEMSTRUCT menuMeasure{};
    menuMeasure.CtlType = ODT_MENU;
    EXPECT_EQ(dialog.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuItem)), TRUE);
    EXPECT_EQ(dialog.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&menuMeasure)), TRUE);
    SetTrackedMenu(nullptr);
    EXPECT_EQ(menu.drawn, 1);
    EXPECT_EQ(menu.measured, 1);
    EXPECT_EQ(menuMeasure.itemWidth, 160u);
}

// ---- dialogs ----

constexpr UINT kStep = WM_USER + 20;

// A dialog that plays a script of posted messages once it runs, then ends
// itself with a message of its own.
class ScriptedDialog : public CDialog {
public:
    explicit ScriptedDialog(bool filterKeys, CWnd* parent = nullptr)
        : CDialog(BuildDialogTemplate(WS_POPUP | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS, 0, 120, 80), parent),
          m_filterKeys(filterKeys) {}

    std::vector<WPARAM> swallowed;
    HWND ownerSeen = nullptr;
    std::function<void(ScriptedDialog&)> script;
    CEdit edit;

protected:
    BOOL OnInitDialog() override {
        edit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{5, 5, 100, 25}, this, 1000);
        edit.SetFocus();
        ownerSeen = ::GetParent(m_hWnd);
        PostMessage(kStep);
        return FALSE;
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        // The shared key filter: Enter, Escape and Space never reach the
        // dialog manager.
        if (m_filterKeys && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) &&
            (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE || msg->wParam == VK_SPACE)) {
            swallowed.push_back(msg->wParam);
            return TRUE;
        }
        return CDialog::PreTranslateMessage(msg);
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kStep) {
            if (script) script(*this);
            return 0;
        }
        if (msg == kStep + 1) {
            EndDialog(static_cast<INT_PTR>(wp));
            return 0;
        }
        return CDialog::WindowProc(msg, wp, lp);
    }

private:
    bool m_filterKeys;
};

void PostKeys(HWND target, std::initializer_list<WPARAM> keys) {
    for (WPARAM key : keys) {
        ::PostMessageW(target, WM_KEYDOWN, key, 1);
        ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    }
}

TEST(ModalDialogTest, KeyFilterSwallowsEnterEscapeAndSpaceThroughTheWalk) {
    ScriptedDialog dialog(true);
    dialog.script = [](ScriptedDialog& d) {
        // Sent to the focused edit: the walk goes edit -> dialog.
        PostKeys(d.edit.m_hWnd, {VK_RETURN, VK_ESCAPE, VK_SPACE});
        d.PostMessage(kStep + 1, 42);
    };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_EQ(dialog.swallowed,
              (std::vector<WPARAM>{VK_RETURN, VK_RETURN, VK_ESCAPE, VK_ESCAPE, VK_SPACE, VK_SPACE}));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModalDialogTest, WithoutTheFilterEscapeCancelsAndEnterConfirms) {
    ScriptedDialog cancelled(false);
    cancelled.script = [](ScriptedDialog& d) {
        PostKeys(d.edit.m_hWnd, {VK_ESCAPE});
        d.PostMessage(kStep + 1, 42);
    };
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);

    ScriptedDialog confirmed(false);
    confirmed.script = [](ScriptedDialog& d) {
        PostKeys(d.edit.m_hWnd, {VK_RETURN});
        d.PostMessage(kStep + 1, 42);
    };
    EXPECT_EQ(confirmed.DoModal(), IDOK);
}

TEST(ModalDialogTest, NestedModalLoopDisablesItsOwnerAndGivesItBack) {
    ScriptedDialog outer(true);
    INT_PTR innerResult = 0;
    BOOL outerEnabledDuringInner = TRUE;
    HWND innerOwner = nullptr;
    outer.script = [&](ScriptedDialog& o) {
        ScriptedDialog inner(true, &o.edit);  // a child as parent: the owner is its dialog
        inner.script = [&](ScriptedDialog& i) {
            outerEnabledDuringInner = ::IsWindowEnabled(o.m_hWnd);
            i.PostMessage(kStep + 1, 7);
        };
        innerResult = inner.DoModal();
        innerOwner = inner.ownerSeen;
        EXPECT_TRUE(::IsWindowEnabled(o.m_hWnd));
        o.PostMessage(kStep + 1, 100 + innerResult);
    };
    EXPECT_EQ(outer.DoModal(), 107);
    EXPECT_EQ(innerResult, 7);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_NE(innerOwner, nullptr);
}

TEST(ModalDialogTest, OwnerIsTheTopLevelAncestorOrTheMainWindowsLastActivePopup) {
    TestDialog main;
    ASSERT_TRUE(main.Open());
    CButton child;
    ASSERT_TRUE(child.Create(L"", WS_CHILD | WS_VISIBLE, RECT{1, 1, 20, 20}, &main, 5));
    EXPECT_EQ(CDialog::GetSafeOwner(&child), main.m_hWnd);

    CWinApp app;
    EXPECT_EQ(CDialog::GetSafeOwner(nullptr), nullptr);
    app.m_pMainWnd = &main;
    EXPECT_EQ(CDialog::GetSafeOwner(nullptr), ::GetLastActivePopup(main.m_hWnd));

    // A dialog without a parent lands on the main window.
    ScriptedDialog orphan(false);
    orphan.script = [](ScriptedDialog& d) { d.PostMessage(kStep + 1, 1); };
    EXPECT_EQ(orphan.DoModal(), 1);
    EXPECT_EQ(orphan.ownerSeen, main.m_hWnd);
    app.m_pMainWnd = nullptr;
}

TEST(ModalDialogTest, CloseSentFromAnotherThreadEndsTheLoopAsCancel) {
    ScriptedDialog dialog(true);
    std::thread closer;
    dialog.script = [&](ScriptedDialog& d) {
        HWND hwnd = d.m_hWnd;
        // A worker closing its progress dialog: the loop handles the sent
        // message, and the default close is a cancel.
        closer = std::thread([hwnd] { ::SendMessageW(hwnd, WM_CLOSE, 0, 0); });
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    closer.join();
}

TEST(ModalDialogTest, QuitEndsEveryNestedLoopAndIsPostedOnward) {
    ScriptedDialog outer(true);
    INT_PTR inner = 0;
    outer.script = [&](ScriptedDialog& o) {
        ScriptedDialog nested(true, &o);
        nested.script = [](ScriptedDialog&) { ::PostQuitMessage(3); };
        inner = nested.DoModal();
    };
    EXPECT_EQ(outer.DoModal(), -1);
    EXPECT_EQ(inner, -1);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

class FromResource : public CDialog {
public:
    FromResource() : CDialog(IDD_VALUE_ENTRY_DIALOG) {}
    DWORD style = 0;

protected:
    BOOL OnInitDialog() override {
        style = GetStyle();
        EndDialog(5);  // ends before it is ever shown
        return TRUE;
    }
};

TEST(ModalDialogTest, DialogComesFromAnEmptyResourceTemplate) {
    FromResource dialog;
    EXPECT_EQ(dialog.DoModal(), 5);
    EXPECT_TRUE(dialog.style & WS_POPUP);
    EXPECT_TRUE(dialog.style & WS_SYSMENU);
}

TEST(ModelessDialogTest, ChildPageLivesInsideItsParentAndOnlyHidesOnEndDialog) {
    TestDialog main;
    ASSERT_TRUE(main.Open());
    CDialog page(IDD_BUTTON_PAGE);
    ASSERT_TRUE(page.CreateModeless(&main));
    EXPECT_EQ(::GetParent(page.m_hWnd), main.m_hWnd);
    EXPECT_TRUE(page.GetStyle() & WS_CHILD);
    page.MoveWindow(RECT{80, 146, 200, 220});
    page.ShowWindow(SW_SHOW);
    EXPECT_TRUE(page.IsWindowVisible());
    page.EndDialog(IDCANCEL);
    EXPECT_FALSE(page.IsWindowVisible());
    EXPECT_NE(page.m_hWnd, nullptr);
}

// Enter and Escape reach a page's dialog manager as IDOK and IDCANCEL; a page
// must stay up whichever control holds the focus.
TEST(ModelessDialogTest, EnterAndEscapeNeverHideAPage) {
    TestDialog main;
    ASSERT_TRUE(main.Open());
    CDialog page(IDD_BUTTON_PAGE);
    ASSERT_TRUE(page.CreateModeless(&main));
    page.MoveWindow(RECT{80, 146, 300, 300});
    CButton button;  // a skinned button: owner-drawn, id 0
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, RECT{10, 10, 90, 40}, &page, 0));

    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        page.ShowWindow(SW_SHOW);
        button.SetFocus();
        ASSERT_EQ(::GetFocus(), button.m_hWnd);
        PostKeys(button.m_hWnd, {key});
        PumpMessages(50);
        EXPECT_TRUE(page.IsWindowVisible()) << "key " << key;
    }
}

TEST(GdiplusHelpersTest, ImagesFromFilesAsGdiBitmapsAndClonedAreas) {
    EnsureGdiplus();
    CBitmap background;
    ASSERT_TRUE(LoadBitmapFromImageFile(TestSkinPath(L"main_nr.png"), background));
    EXPECT_EQ(background.GetSize().cx, 1040);
    EXPECT_EQ(background.GetSize().cy, 640);
    EXPECT_FALSE(LoadBitmapFromImageFile(TestSkinPath(L"no such file.png"), background));
    EXPECT_TRUE(background.IsEmpty());

    GdipImage progress = GdipImage::FromFile(TestSkinPath(L"Progress_Over.png"));
    ASSERT_TRUE(progress);
    GdipImage fill = progress.CloneArea(35, 47, 260, 9);
    ASSERT_TRUE(fill);
    EXPECT_EQ(fill.Width(), 260u);
    EXPECT_EQ(fill.Height(), 9u);
    EXPECT_FALSE(GdipImage::FromFile(L""));
    EXPECT_FALSE(GdipImage::FromResource(60000, L"PNG"));  // no such resource

    // Text in the generic family when the name is empty; nothing leaks.
    long before = gdiplus::LiveObjects();
    Dib32 dib(200, 40);
    {
        GdipGraphics graphics(dib.dc());
        graphics.DrawString(L"Updating", L"", 8.0f, 0, Gdiplus::StringAlignmentNear, RECT{0, 0, 200, 40},
                            0xFFFFFFFF);
    }
    int lit = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) lit += dib.Rgb(x, y) != 0;
    EXPECT_GT(lit, 0);
    EXPECT_EQ(gdiplus::LiveObjects(), before);
}

// A skin file can be replaced while the program runs: an image decoded from
// it must not keep it open, and must go on drawing what the file held.
TEST(GdiplusHelpersTest, ImagesFromFilesKeepNoFileOpen) {
    EnsureGdiplus();
    const std::wstring path = WriteSolidPng(L"held.png", 6, 4, 0xFF3060C0);
    ASSERT_FALSE(path.empty());
    GdipImage image = GdipImage::FromFile(path);
    CBitmap bitmap;
    ASSERT_TRUE(LoadBitmapFromImageFile(path, bitmap));
    ASSERT_TRUE(image);

    EXPECT_TRUE(::DeleteFileW(path.c_str())) << "the file is still open";
    Dib32 dib(6, 4);
    {
        GdipGraphics graphics(dib.dc());
        graphics.DrawImage(&image, 0, 0);
    }
    EXPECT_EQ(dib.Rgb(5, 3), 0x3060C0u);
    EXPECT_EQ(bitmap.GetSize().cx, 6);

    // Bytes that are no image give none.
    const std::wstring text = TestTempDir() + L"held.txt";
    HANDLE file = ::CreateFileW(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, "not a picture", 13, &written, nullptr);
    ::CloseHandle(file);
    EXPECT_FALSE(GdipImage::FromFile(text));
    EXPECT_FALSE(LoadBitmapFromImageFile(text, bitmap));
    EXPECT_TRUE(bitmap.IsEmpty());
    ::DeleteFileW(text.c_str());
}

TEST(StringsTest, FormatHasNoFixedLimit) {
    EXPECT_EQ(FormatW(L"%d", -25), L"-25");
    EXPECT_EQ(FormatW(L"%s %d", L"Button", 3), L"Button 3");
    std::wstring longText(5000, L'x');
    EXPECT_EQ(FormatW(L"[%s]", longText.c_str()).size(), 5002u);
    EXPECT_EQ(ToWide(ToU16(L"\u0420\u0443\u0441")), L"\u0420\u0443\u0441");
}

TEST(AppTest, ModuleFolderEndsInABackslash) {
    std::wstring folder = ModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
}

}  // namespace

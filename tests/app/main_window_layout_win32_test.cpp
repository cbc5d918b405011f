// The main window's layout end to end: its pages, its controls and which of
// them are shown.
#include <gtest/gtest.h>

#include "app/main_window_harness_win32.h"

namespace {

using namespace e2e;

class MainWindowLayoutTest : public MainWindowFixture {};

TEST_F(MainWindowLayoutTest, FivePagesLiveFromStartUpToTheCloseWithThePickerFirst) {
    UseRig(MakeDemoMouseRig());
    struct PageSeen {
        HWND hwnd = nullptr;
        bool child = false;
        bool visible = true;
        RECT rect{};
    };
    PageSeen seen[5];
    int curPage = 0;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg)) return;
        ui.Call([&] {
            // In the order of the page numbers: button, LED, advanced, macro, picker.
            CMainPage* pages[] = {dlg.m_pBaseDlg.get(), dlg.m_pLedDlg.get(), dlg.m_pAdvDlg.get(),
                                  dlg.m_pMacroDlg.get(), dlg.m_pHostDlg.get()};
            for (int i = 0; i < 5; ++i) {
                if (!pages[i]) continue;
                seen[i].hwnd = pages[i]->m_hWnd;
                seen[i].child = ::GetParent(pages[i]->m_hWnd) == dlg.m_hWnd;
                seen[i].visible = pages[i]->IsWindowVisible() != FALSE;
                seen[i].rect = pages[i]->GetRectInParent();
            }
            curPage = dlg.m_curPage;
        });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(curPage, 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(seen[i].hwnd, nullptr);
        EXPECT_TRUE(seen[i].child);
        EXPECT_EQ(seen[i].visible, i == 4) << "only the device picker is shown";
        EXPECT_EQ(seen[i].rect.left, 80);
        EXPECT_EQ(seen[i].rect.top, 146);
        EXPECT_EQ(seen[i].rect.right, 1000);
        EXPECT_EQ(seen[i].rect.bottom, 564);
        EXPECT_FALSE(::IsWindow(seen[i].hwnd)) << "the close destroyed the page";
    }
}

}  // namespace

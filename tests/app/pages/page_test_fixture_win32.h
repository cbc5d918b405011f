// One page of the main window under Wine, on its own: a child of a test window
// of the main window's size, its skins and language files from the dist
// folder, and its commands going to a simulated mouse.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/pages/fake_page_host.h"
#include "app/pages/main_page_win32.h"
#include "device/file_system.h"
#include "framework/strings.h"
#include "support/connected_sim_mouse.h"
#include "support/window_harness_win32.h"
#include "text/ui_texts.h"

// What every page's test sets up, apart from the page itself.
class PageTestBase : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        SetProgramFolder(ToU16(TestDistDir()));
        g_uiTexts = UiTextTable{};
        ASSERT_TRUE(parent.Open());
        ASSERT_TRUE(sim.opened);
        host.driver = &sim.driver;
    }
    void TearDown() override {
        SetProgramFolder(u"");
        g_uiTexts = UiTextTable{};
    }

    void Click(const CWnd& control, int x = 5, int y = 5) {
        PostClick(control, x, y);
        PumpMessages(30);
    }

    ConnectedSimMouse sim;
    TestDialog parent{1040, 640};
    // The page's commands go to the simulated mouse.
    FakePageHost host;
};

template <class Page>
class PageTestFixture : public PageTestBase {
protected:
    void TearDown() override {
        if (page && page->m_hWnd) page->DestroyWindow();
        page.reset();
        PumpMessages(30);
        PageTestBase::TearDown();
    }

    // The page as the main window makes it: a shown child at the page's place.
    void OpenPage() {
        page = std::make_unique<Page>(PageBackground(), host);
        ASSERT_TRUE(page->CreateModeless(&parent));
        page->MoveWindow(kPageRect);
        Refresh();
        page->ShowWindow(SW_SHOW);
        PumpMessages(50);
        sim.backend.ClearLog();
    }

    // What the main window has the page show once it is made.
    virtual void Refresh() {}
    virtual const CBitmap* PageBackground() const { return &parent.Background(); }

    std::unique_ptr<Page> page;
};

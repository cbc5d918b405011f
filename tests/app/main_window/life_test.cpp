#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window/life.h"

namespace {

class RecordingTeardown final : public MainWindowTeardown {
public:
    void StopStatusTimer() override { steps.push_back("timer"); }
    void SaveProfile() override { steps.push_back("save"); }
    void RemoveTrayIcon() override { steps.push_back("tray"); }
    void DestroyPages() override {
        steps.push_back("pages");
        // The device picker's own close handling may ask to close again.
        if (life) life->RunCloseSequence();
    }
    void StopReader() override { steps.push_back("reader"); }
    void DestroyDriverWindow() override { steps.push_back("driver"); }

    MainWindowLife* life = nullptr;
    std::vector<std::string> steps;
};

const std::vector<std::string> kWholeSequence = {"timer", "save",   "tray",
                                                 "pages", "reader", "driver"};

TEST(MainWindowLifeTest, TrayExitThenCloseReleasesEverythingOnce) {
    RecordingTeardown teardown;
    MainWindowLife life(teardown);
    teardown.life = &life;

    EXPECT_TRUE(life.RequestExit(false));  // the tray menu's exit
    EXPECT_TRUE(life.Closed());
    EXPECT_TRUE(life.RequestExit(false));  // the WM_CLOSE it sends afterwards
    life.RunCloseSequence();
    EXPECT_EQ(teardown.steps, kWholeSequence);
}

TEST(MainWindowLifeTest, ExitDuringNestedLoopWaitsUntilItEnds) {
    RecordingTeardown teardown;
    MainWindowLife life(teardown);

    EXPECT_FALSE(life.RequestExit(true));
    EXPECT_TRUE(life.ExitPending());
    EXPECT_FALSE(life.RequestExit(true));  // asked again: still only remembered
    EXPECT_FALSE(life.ResumeExit(true));   // the sync still runs
    EXPECT_TRUE(teardown.steps.empty()) << "nothing saved or freed while busy";

    EXPECT_TRUE(life.ResumeExit(false));
    EXPECT_FALSE(life.ExitPending());
    EXPECT_EQ(teardown.steps, kWholeSequence);
    EXPECT_FALSE(life.ResumeExit(false)) << "a remembered exit runs once";
    EXPECT_EQ(teardown.steps.size(), kWholeSequence.size());
}

TEST(MainWindowLifeTest, NothingHappensWithoutAnExitRequest) {
    RecordingTeardown teardown;
    MainWindowLife life(teardown);
    EXPECT_FALSE(life.ResumeExit(false));
    EXPECT_FALSE(life.Closed());
    EXPECT_TRUE(teardown.steps.empty());
}

}  // namespace

#include "app/main_window/sync.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

struct Expected {
    bool pageTexts, allPages, statusRefresh;
};

void ExpectRun(const HeldRun& run, Expected e) {
    EXPECT_EQ(run.pageTexts, e.pageTexts);
    EXPECT_EQ(run.allPages, e.allPages);
    EXPECT_EQ(run.statusRefresh, e.statusRefresh);
}

TEST(SyncHoldTest, WorkWaitsOnlyWhileASyncRunsAndRunsOnceAfterIt) {
    struct Case {
        const char* name;
        std::initializer_list<HeldWork> putOff;
        Expected run;
    };
    const Case cases[] = {
        {"nothing", {}, {false, false, false}},
        {"a status report", {HeldWork::StatusRefresh, HeldWork::StatusRefresh}, {false, false, true}},
        {"a tray show", {HeldWork::AllPages}, {false, true, false}},
        {"every page covers a status refresh", {HeldWork::StatusRefresh, HeldWork::AllPages}, {false, true, false}},
        {"a language change and a status report", {HeldWork::PageTexts, HeldWork::StatusRefresh}, {true, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SyncHold hold;
        for (HeldWork work : c.putOff) EXPECT_TRUE(hold.PutOff(work, true));
        ExpectRun(hold.Take(true), {false, false, false});  // the sync still runs
        ExpectRun(hold.Take(false), c.run);
        ExpectRun(hold.Take(false), {false, false, false});  // once only
    }
}

TEST(SyncHoldTest, WithoutASyncWorkRunsAtOnce) {
    SyncHold hold;
    for (HeldWork work : {HeldWork::StatusRefresh, HeldWork::AllPages, HeldWork::PageTexts})
        EXPECT_FALSE(hold.PutOff(work, false));
    ExpectRun(hold.Take(false), {false, false, false});
}

}  // namespace

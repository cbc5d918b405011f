// The stepper's zones and steps: counter mode with its confirmed low range,
// list mode over the owner's values, and values the owner stored out of range.
#include <gtest/gtest.h>

#include "skin/stepper_logic.h"

namespace {

TEST(StepperZoneTest, RowsAndColumnsOfTheTwoZones) {
    struct Case {
        int x, y;
        StepperZone zone;
    };
    const Case cases[] = {
        {0, 0, StepperZone::Plus},      {33, 31, StepperZone::Plus},   {10, 32, StepperZone::None},
        {10, 83, StepperZone::None},    {10, 84, StepperZone::Minus},  {10, 117, StepperZone::Minus},
        {10, 118, StepperZone::None},   {34, 10, StepperZone::None},   {-1, 10, StepperZone::None},
        {10, -1, StepperZone::None},    {34, 100, StepperZone::None},
    };
    for (const Case& c : cases) EXPECT_EQ(StepperZoneAt(c.x, c.y, 34), c.zone) << c.x << "," << c.y;
}

TEST(StepperCounterTest, StepsEndingAtEightOrBelowAskFirst) {
    struct Case {
        int value;
        StepperZone zone;
        StepperPlan plan;
    };
    const Case cases[] = {
        {8, StepperZone::Minus, {true, true, 7, 7}},
        {7, StepperZone::Plus, {true, true, 8, 8}},
        {9, StepperZone::Minus, {true, true, 8, 8}},
        {10, StepperZone::Minus, {true, false, 9, 9}},
        {8, StepperZone::Plus, {true, false, 9, 9}},
        {29, StepperZone::Plus, {true, false, 30, 30}},
        {1, StepperZone::Minus, {true, true, 0, 0}},
        {0, StepperZone::Plus, {true, true, 1, 1}},
        {30, StepperZone::Plus, {}},
        {0, StepperZone::Minus, {}},
        {15, StepperZone::None, {}},
        // Stored out of range: counted from the nearest end, never past it.
        {200, StepperZone::Plus, {}},
        {200, StepperZone::Minus, {true, false, 29, 29}},
        {-4, StepperZone::Minus, {}},
        {-4, StepperZone::Plus, {true, true, 1, 1}},
    };
    for (const Case& c : cases) {
        StepperModel model;
        model.m_value = c.value;
        EXPECT_EQ(model.PlanPress(c.zone), c.plan) << c.value << (c.zone == StepperZone::Plus ? " +" : " -");
    }
}

TEST(StepperCounterTest, OnlyAConfirmedStepChangesTheValue) {
    struct Case {
        int value;
        StepperZone zone;
        bool answer;
        int asked;
        std::optional<int> reported;
        int after;
    };
    const Case cases[] = {
        {8, StepperZone::Minus, false, 1, std::nullopt, 8},  // Cancel keeps 8
        {8, StepperZone::Minus, true, 1, 7, 7},
        {7, StepperZone::Plus, false, 1, std::nullopt, 7},
        {10, StepperZone::Minus, false, 0, 9, 9},            // never asked
        {30, StepperZone::Plus, true, 0, std::nullopt, 30},  // nothing to ask about
    };
    for (const Case& c : cases) {
        StepperModel model;
        model.m_value = c.value;
        int asked = 0;
        std::optional<int> reported = model.Press(c.zone, [&] {
            ++asked;
            return c.answer;
        });
        SCOPED_TRACE(c.value);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(reported, c.reported);
        EXPECT_EQ(model.m_value, c.after);
    }
}

TEST(StepperListTest, MovesTheIndexAndReportsTheValue) {
    static const int32_t kItems[] = {10, 20, 30, 60, 120};
    struct Case {
        int value;
        StepperZone zone;
        StepperPlan plan;
    };
    const Case cases[] = {
        {3, StepperZone::Plus, {true, false, 4, 120}},
        {3, StepperZone::Minus, {true, false, 2, 30}},
        {4, StepperZone::Plus, {}},   // the last index
        {0, StepperZone::Minus, {}},  // the first
        {0, StepperZone::Plus, {true, false, 1, 20}},
        // The default index 8 and negative ones stay inside the five values.
        {8, StepperZone::Plus, {}},
        {8, StepperZone::Minus, {true, false, 3, 60}},
        {-7, StepperZone::Plus, {true, false, 1, 20}},
        {-7, StepperZone::Minus, {}},
    };
    for (const Case& c : cases) {
        StepperModel model;
        model.m_mode = STEPPER_LIST_MODE;
        model.m_items = kItems;
        model.m_itemCount = 5;
        model.m_value = c.value;
        EXPECT_EQ(model.PlanPress(c.zone), c.plan) << c.value << (c.zone == StepperZone::Plus ? " +" : " -");
    }
}

TEST(StepperListTest, NoListOrAnUnknownModeDoesNothing) {
    static const int32_t kItems[] = {10, 20};
    StepperModel noItems;
    noItems.m_mode = STEPPER_LIST_MODE;
    noItems.m_itemCount = 2;
    StepperModel emptyList;
    emptyList.m_mode = STEPPER_LIST_MODE;
    emptyList.m_items = kItems;
    emptyList.m_itemCount = 0;
    StepperModel otherMode;
    otherMode.m_mode = 2;
    otherMode.m_value = 15;
    for (const StepperModel* model : {&noItems, &emptyList, &otherMode}) {
        EXPECT_FALSE(model->PlanPress(StepperZone::Plus).step);
        EXPECT_FALSE(model->PlanPress(StepperZone::Minus).step);
    }
}

}  // namespace

// What OK of the fire-key dialog makes of the two fields' texts.
#include <gtest/gtest.h>

#include <iterator>

#include "app/dialogs/fire_key_model.h"

namespace {

TEST(FireKeyModelTest, FieldTexts) {
    struct Case {
        const char16_t* count;
        const char16_t* interval;
        uint8_t wantCount;
        uint32_t wantInterval;
    };
    const Case cases[] = {
        {u"3", u"10", 3, 10},          // the fields as they open
        {u"", u"200", 0, 200},         // an emptied count is 0; 200 is kept (the driver caps what it sends)
        {u"0", u"", 0, 0},
        {u"2x", u"7 ms", 2, 7},        // leading digits only
        {u"abc", u"x5", 0, 0},
        {u"00002", u"00255", 0, 25},    // only the first four characters count
        // Beyond the ranges: the maximum, never a wrapped byte (259 would be 3
        // by its low byte, 1000 would reach the mouse as 1000).
        {u"9", u"256", 3, 255},
        {u"259", u"1000", 3, 255},
        {u"99999999999", u"4294967296", 3, 255},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        FireKeyValues got = ReadFireKeyFields(c.count, c.interval);
        EXPECT_EQ(got.count, c.wantCount) << "case " << i;
        EXPECT_EQ(got.interval, c.wantInterval) << "case " << i;
    }
}

}  // namespace

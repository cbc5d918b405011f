#include "sim/sim_wire_log.h"

#include <gtest/gtest.h>

namespace {

TEST(SimWireLogTest, EachReportIsOneLineWithItsTickKindPathBytesAndFailure) {
    const std::vector<SimReport> log = {
        {1200, SimReport::Kind::SetFeature, u"\\\\?\\hid#vid_093a", {0x09, 0x81, 0x00}, true},
        {1280, SimReport::Kind::GetFeature, u"p 1", {0x09, 0xAB}, false},
        {1300, SimReport::Kind::Input, u"p", {}, true},
        {1310, SimReport::Kind::Output, u"p", {0xF0}, true},
    };
    EXPECT_EQ(FormatWireLog(log),
              "1200 set \\\\?\\hid#vid_093a 09 81 00\r\n"
              "1280 get p?1 09 ab failed\r\n"
              "1300 in p\r\n"
              "1310 out p f0\r\n");
}

}  // namespace

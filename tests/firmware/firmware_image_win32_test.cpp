#include <gtest/gtest.h>

#include <vector>

#include "firmware/firmware_image.h"
#include "sim/sim_ota_device.h"

namespace {

// The tests carry the generated test image where the product carries its own.
TEST(FirmwareImageResource, HoldsTheGeneratedTestImage) {
    const FirmwareImage image = LoadEmbeddedFirmwareImage();
    ASSERT_NE(image.data, nullptr);
    ASSERT_EQ(image.size, 104716u);
    EXPECT_EQ(std::vector<uint8_t>(image.data, image.data + image.size),
              MakeTestFirmwareImage(104716));
}

}  // namespace

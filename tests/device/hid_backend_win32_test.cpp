#include "device/hid_backend_win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "device/usb_driver.h"
#include "support/recording_sink.h"

namespace {

// Under Wine the system shows HID interfaces of its own (vendor 0x845E) and
// nothing of the mouse; on a real machine the tests use whatever is there.
std::vector<HidInterfaceDescription> Interfaces() {
    return GetWin32HidBackend().EnumerateInterfaces();
}

// An interface this process may read input reports from, if any.
std::u16string ReadableInterface() {
    for (const auto& d : Interfaces()) {
        HidHandle h = GetWin32HidBackend().Open(d.path, HidAccess::Read);
        if (h == kInvalidHidHandle) continue;
        GetWin32HidBackend().Close(h);
        return d.path;
    }
    return {};
}

TEST(Win32HidBackendTest, EnumerationGivesPathsAttributesAndCapabilities) {
    auto interfaces = Interfaces();
    ASSERT_FALSE(interfaces.empty()) << "Wine shows HID interfaces of its own";
    for (const auto& d : interfaces) {
        EXPECT_FALSE(d.path.empty());
        EXPECT_NE(d.vendorId, 0);
        EXPECT_TRUE(d.capsValid);
        EXPECT_NE(d.topLevel.usagePage, 0);
        EXPECT_FALSE(d.deviceProperties.empty()) << "the device's identity is text";
        for (const auto& text : d.deviceProperties) EXPECT_EQ(text.find(u'\0'), text.npos);
    }
}

TEST(Win32HidBackendTest, APathThatIsNotThereDoesNotOpen) {
    HidBackend& hid = GetWin32HidBackend();
    const std::u16string path =
        u"\\\\?\\hid#vid_093a&pid_622c#nothing#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    EXPECT_EQ(hid.Open(path, HidAccess::Read), kInvalidHidHandle);
    EXPECT_EQ(hid.Open(path, HidAccess::Write), kInvalidHidHandle);
    uint8_t report[9] = {9};
    EXPECT_FALSE(hid.SetFeature(kInvalidHidHandle, report, sizeof(report)));
    EXPECT_FALSE(hid.GetFeature(kInvalidHidHandle, report, sizeof(report)));
}

TEST(Win32HidBackendTest, ACancelledReadEndsAndStaysCancelledUntilReset) {
    const std::u16string path = ReadableInterface();
    if (path.empty()) GTEST_SKIP() << "no HID interface can be opened for reading here";
    HidBackend& hid = GetWin32HidBackend();
    HidHandle h = hid.Open(path, HidAccess::Read);
    ASSERT_NE(h, kInvalidHidHandle);
    auto read = std::async(std::launch::async, [&] {
        uint8_t buffer[64];
        return hid.ReadInput(h, buffer, sizeof(buffer));
    });
    EXPECT_EQ(read.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout)
        << "with no report coming the read waits";
    hid.CancelRead(h);
    ASSERT_EQ(read.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(read.get());
    uint8_t buffer[64];
    EXPECT_FALSE(hid.ReadInput(h, buffer, sizeof(buffer))) << "still cancelled: returns at once";
    hid.Close(h);
}

TEST(Win32HidBackendTest, TheDriverReopensARealInterfaceRepeatedly) {
    const std::u16string path = ReadableInterface();
    if (path.empty()) GTEST_SKIP() << "no HID interface can be opened for reading here";
    SetHidBackend(&GetWin32HidBackend());
    {
        RecordingSink sink;
        CUSBDriver driver;
        for (int i = 0; i < 50; ++i) {
            driver.Open(path, REPORT_ID_MOUSE, 8, &sink);
            ASSERT_TRUE(driver.IsReaderRunning()) << i;
        }
        uint8_t code = 0xA5;
        EXPECT_FALSE(driver.GetReportRate(code)) << "not the mouse: no such feature report";
        EXPECT_EQ(code, 0xA5);
    }
    SetHidBackend(nullptr);
}

}  // namespace

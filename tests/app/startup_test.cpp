#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/startup.h"
#include "device/profiles.h"
#include "sim/sim_clock.h"

namespace {

TEST(StartupTest, FolderOfModulePath) {
    struct Case {
        std::u16string path;
        std::u16string folder;
    };
    const std::u16string longFolder = u"C:\\" + std::u16string(255, u'a') + u"\\";
    ASSERT_EQ(longFolder.size(), 259u);
    const Case cases[] = {
        {u"C:\\Program Files\\Quorvel\\Quorvel.exe", u"C:\\Program Files\\Quorvel\\"},
        {u"C:\\Quorvel.exe", u"C:\\"},
        // 259 characters of folder leave one character of the file name in 260.
        {longFolder + u"Q", longFolder},
        {u"Quorvel.exe", u""},
    };
    for (const Case& c : cases) EXPECT_EQ(FolderOfModulePath(c.path), c.folder);
}

TEST(StartupTest, UsbIdWait) {
    struct Case {
        const char* name;
        std::vector<std::u16string> present;
        int linkMode;
        uint32_t waitedMs;
    };
    const Case cases[] = {
        {"cable", {kUsbIdWired}, 0, 0},
        {"cable and receiver", {kUsbIdReceiver, kUsbIdWired}, 0, 0},
        {"receiver only", {kUsbIdReceiver}, 1, 0},
        {"neither", {}, -1, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedSimClock clock;
        uint32_t start = clock->TickCount();
        std::vector<std::u16string> asked;
        int mode = WaitForMouseUsbIds([&](std::u16string_view id) {
            asked.emplace_back(id);
            for (const auto& p : c.present)
                if (p == id) return true;
            return false;
        });
        EXPECT_EQ(mode, c.linkMode);
        EXPECT_EQ(clock->TickCount() - start, c.waitedMs);
        if (mode == -1) {
            const std::vector<std::u16string> both = {kUsbIdWired, kUsbIdReceiver, kUsbIdWired,
                                                      kUsbIdReceiver};
            EXPECT_EQ(asked, both);
        }
    }
}

TEST(StartupTest, TheDeviceAppearingForTheSecondAttemptIsFound) {
    ScopedSimClock clock;
    int calls = 0;
    int mode = WaitForMouseUsbIds([&](std::u16string_view id) {
        ++calls;
        return calls > 2 && id == kUsbIdReceiver;
    });
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(calls, 4);
}

TEST(StartupTest, LastActiveSlotWins) {
    std::memset(g_profileSlots, 0, sizeof(g_profileSlots));
    EXPECT_EQ(LastActiveProfileSlot(), -1);
    auto mark = [](int i, uint32_t magic) {
        g_profileSlots[i].magic = magic;
        g_profileSlots[i].isActive = 1;
    };
    mark(1, PROFILE_SLOT_MAGIC);
    EXPECT_EQ(LastActiveProfileSlot(), 1);
    mark(3, PROFILE_SLOT_MAGIC);
    mark(4, 0);  // not in use: ignored
    EXPECT_EQ(LastActiveProfileSlot(), 3);
    std::memset(g_profileSlots, 0, sizeof(g_profileSlots));
}

}  // namespace

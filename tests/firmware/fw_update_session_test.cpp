#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "device/file_system.h"
#include "firmware/fw_update_session.h"
#include "ota_fixture.h"
#include "sim/memory_file_system.h"
#include "sim/sim_topology.h"
#include "support/hang_limit.h"

namespace {

constexpr char16_t kFolder[] = u"C:\\Quorvel\\";
const std::u16string kMarker = std::u16string(kFolder) + u"config\\ota.ini";
constexpr std::chrono::milliseconds kHangLimit{kHangLimitMs};

// The dialog's queue: the worker posts into it; the test hands the posts to the
// session as the dialog's loop would. A post can be held back to freeze the
// worker at a chosen point of the update.
class DialogQueue final : public MessageSink {
public:
    struct PostedMessage {
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
    };

    void Post(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_posts.push_back({message, wParam, lParam});
        m_changed.notify_all();
        if (m_holdAt && m_posts.size() == m_holdAt) {
            m_changed.wait_for(lock, kHangLimit, [&] { return m_released; });
        }
    }
    void HoldAtPost(size_t n) { m_holdAt = n; }
    bool WaitForHold() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, kHangLimit, [&] { return m_posts.size() >= m_holdAt; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }
    bool WaitForResult() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, kHangLimit, [&] {
            return !m_posts.empty() && m_posts.back().message == UWM_FW_RESULT;
        });
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_posts.size();
    }
    std::vector<PostedMessage> Posts() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_posts;
    }
    // Hands every post to the session, as the dialog's message loop does.
    void Deliver(FwUpdateSession& session) {
        for (const PostedMessage& p : Posts()) {
            if (p.message == UWM_FW_PROGRESS) session.OnProgress(p.wParam, p.lParam);
            if (p.message == UWM_FW_RESULT) session.OnResult(p.wParam, p.lParam);
        }
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<PostedMessage> m_posts;
    size_t m_holdAt = 0;
    bool m_released = false;
};

class FwUpdateSessionTest : public OtaFixture {
protected:
    void SetUp() override {
        OtaFixture::SetUp();
        m_files.AddFolder(std::u16string(kFolder) + u"config");
        SetFileSystem(&m_files);
        SetProgramFolder(kFolder);
        g_fwUpdateRunning = 0;
        ChooseOtaDevice();  // as the start-up's version query left it
    }
    void TearDown() override {
        m_session.Stop();
        SetFileSystem(nullptr);
        OtaFixture::TearDown();
    }

    size_t CommandCount(uint8_t command) const {
        const auto sent = SentCommands();
        return size_t(std::count(sent.begin(), sent.end(), command));
    }
    bool HandlesClosed() const {
        return g_otaReadHandle == kInvalidHidHandle && g_otaWriteHandle == kInvalidHidHandle;
    }

    MemoryFileSystem m_files;
    std::vector<uint8_t> m_image = MakeTestFirmwareImage(10000, 4);
    FirmwareImage m_given{m_image.data(), uint32_t(m_image.size())};
    DialogQueue m_queue;
    FwUpdateSession m_session{m_queue, [this] { return m_given; }};
};

TEST_F(FwUpdateSessionTest, AWholeUpdateFromStartToResult) {
    m_files.PutFile(kMarker, {0});
    m_session.Start();
    EXPECT_EQ(g_fwUpdateRunning, 1);
    EXPECT_EQ(g_otaPacketDelay, 10);
    EXPECT_EQ(m_session.View().status, FwUpdateStatus::Running);
    EXPECT_FALSE(m_session.View().startShown);
    EXPECT_TRUE(m_session.View().barShown);
    EXPECT_TRUE(m_session.View().exitMoved);

    ASSERT_TRUE(m_queue.WaitForResult());
    const auto posts = m_queue.Posts();
    EXPECT_EQ(posts.front().message, UWM_FW_PROGRESS);
    EXPECT_EQ(posts.front().wParam, 0u);
    EXPECT_EQ(posts.front().lParam, 10000);
    m_queue.Deliver(m_session);

    const FwUpdateView& view = m_session.View();
    EXPECT_FALSE(m_session.Running());
    EXPECT_EQ(view.status, FwUpdateStatus::Done);
    EXPECT_TRUE(view.exitSaysOk);
    EXPECT_FALSE(view.startShown);
    EXPECT_EQ(view.barMaximum, 10000);
    EXPECT_EQ(view.barPosition, 10000);
    EXPECT_EQ(g_fwUpdateRunning, 0);
    EXPECT_TRUE(HandlesClosed());
    EXPECT_EQ(m_device->Flash(), m_image);
    EXPECT_TRUE(m_device->ProtocolErrors().empty()) << m_device->ProtocolErrors().front();
    EXPECT_EQ(CommandCount(OTA_CMD_END), 1u);
    EXPECT_EQ(m_files.GetFile(kMarker), std::vector<uint8_t>{1});

    // Exit after the result sends nothing more.
    m_session.Stop();
    EXPECT_EQ(CommandCount(OTA_CMD_END), 1u);
}

// What Start does before any worker runs.
class FwUpdateStartTest;
struct StartCase {
    const char* name;
    std::function<void(FwUpdateStartTest&)> arrange;
    bool startShown;  // false: only Exit remains
};

class FwUpdateStartTest : public FwUpdateSessionTest,
                          public ::testing::WithParamInterface<StartCase> {
public:
    // Nothing found at start-up, and nothing there now.
    void NoMouse() {
        g_otaDevicePath.clear();
        m_backend.Unplug(kPath);
    }
    void Probed(uint8_t kind, uint8_t model) {
        g_otaProbeByte1 = kind;
        g_otaProbeByte2 = model;
    }
    void Unplugged() { m_backend.Unplug(kPath); }
    void Image(std::vector<uint8_t> bytes, bool present = true) {
        m_image = std::move(bytes);
        m_given = present ? FirmwareImage{m_image.data(), uint32_t(m_image.size())} : FirmwareImage{};
    }
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name;
}

TEST_P(FwUpdateStartTest, RefusesBeforeSendingAnything) {
    GetParam().arrange(*this);
    m_session.Start();
    EXPECT_FALSE(m_session.Running());
    EXPECT_EQ(m_session.View().status, FwUpdateStatus::Failed);
    EXPECT_EQ(m_session.View().startShown, GetParam().startShown);
    EXPECT_EQ(m_session.View().barShown, !GetParam().startShown);
    EXPECT_FALSE(m_session.View().exitSaysOk);
    EXPECT_EQ(g_fwUpdateRunning, 0);
    EXPECT_TRUE(HandlesClosed());
    EXPECT_TRUE(SentCommands().empty());
    EXPECT_EQ(m_queue.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FwUpdateStartTest,
    ::testing::Values(
        StartCase{"NoMouseFound", [](auto& t) { t.NoMouse(); }, true},
        StartCase{"InterfaceGoneBeforeOpen", [](auto& t) { t.Unplugged(); }, true},
        StartCase{"AnotherKindOfMouse", [](auto& t) { t.Probed(2, 1); }, false},
        StartCase{"AnotherModel", [](auto& t) { t.Probed(7, 0); }, false},
        StartCase{"NoImageInTheProgram", [](auto& t) { t.Image({}, false); }, false},
        StartCase{"EmptyImage", [](auto& t) { t.Image({}); }, false},
        StartCase{"MoreThan255Blocks",
                  [](auto& t) { t.Image(std::vector<uint8_t>(255 * 4096 + 1, 0x5A)); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FwUpdateSessionTest, AnInterfaceThatWouldNotOpenIsSearchedAgain) {
    m_backend.Unplug(kPath);
    m_session.Start();
    EXPECT_TRUE(g_otaDevicePath.empty());
    // Plugged in again, elsewhere: the next Start finds it and updates it.
    SimTopology topology(m_backend);
    SimMouseIdentity identity;
    identity.linkType = 2;
    identity.modelByte = 0xF1;
    const SimCableMouse cable = topology.PlugCableMouse(identity);
    m_session.Start();
    EXPECT_EQ(g_otaDevicePath, cable.ota->Description().path);
    EXPECT_TRUE(m_session.Running());
    ASSERT_TRUE(m_queue.WaitForResult());
    m_queue.Deliver(m_session);
    EXPECT_EQ(m_session.View().status, FwUpdateStatus::Done);
    EXPECT_EQ(cable.ota->Flash(), m_image);
}

TEST_F(FwUpdateSessionTest, AFailedUpdateShowsStartAgainAndReusesThePath) {
    m_files.PutFile(kMarker, {0});
    m_device->FaultUnplugAfterDataPackets(150);  // a data packet that cannot be written
    m_session.Start();
    ASSERT_TRUE(m_queue.WaitForResult());
    const auto posts = m_queue.Posts();
    EXPECT_EQ(posts.back().wParam, 0u);
    EXPECT_EQ(posts.back().lParam, intptr_t(FirmwareUpdateStep::GroupChecksum));
    m_queue.Deliver(m_session);
    EXPECT_EQ(m_session.View().status, FwUpdateStatus::Failed);
    EXPECT_TRUE(m_session.View().startShown);
    EXPECT_TRUE(m_session.View().exitSaysOk);
    EXPECT_TRUE(HandlesClosed());
    EXPECT_EQ(CommandCount(OTA_CMD_END), 0u);
    EXPECT_EQ(m_files.GetFile(kMarker), std::vector<uint8_t>{0}) << "only a finished update marks it";

    // The second attempt takes the path found by the first, without a new search.
    ClearInterfaceTable();
    auto device = std::make_shared<SimOtaInterface>(kPath, std::vector<std::u16string>{});
    m_backend.Unplug(kPath);
    m_backend.Plug(device);
    m_session.Start();
    EXPECT_TRUE(m_session.Running());
    m_session.Stop();
    EXPECT_TRUE(device->EndReceived());
}

TEST_F(FwUpdateSessionTest, ExitInTheMiddleOfABlockStopsInOrder) {
    // Hold the worker at the hundredth packet of the first block.
    m_queue.HoldAtPost(100);
    m_session.Start();
    ASSERT_TRUE(m_queue.WaitForHold());
    std::thread exitButton([&] { m_session.Stop(); });
    // Stop tells the worker to stop and waits for it: the worker goes on only once told.
    const auto limit = std::chrono::steady_clock::now() + kHangLimit;
    while (!m_session.StopRequested() && std::chrono::steady_clock::now() < limit) std::this_thread::yield();
    m_queue.Release();
    exitButton.join();

    EXPECT_FALSE(m_session.Running());
    EXPECT_EQ(g_fwUpdateRunning, 0);
    EXPECT_TRUE(HandlesClosed());
    EXPECT_EQ(m_queue.Count(), 100u) << "nothing posted once the stop was asked";
    // The end command went out once, after the worker's last packet, and nothing after it.
    const auto sent = SentCommands();
    EXPECT_EQ(CommandCount(OTA_CMD_END), 1u);
    EXPECT_EQ(sent.back(), OTA_CMD_END);
    EXPECT_EQ(sent[sent.size() - 2], OTA_CMD_DATA);
    EXPECT_TRUE(m_device->EndReceived());
    EXPECT_TRUE(m_device->ProtocolErrors().empty()) << m_device->ProtocolErrors().front();
    EXPECT_EQ(m_session.View().status, FwUpdateStatus::Running) << "no result shown";

    // A second stop (the dialog's destruction after Exit) sends nothing more.
    m_session.Stop();
    EXPECT_EQ(CommandCount(OTA_CMD_END), 1u);
}

TEST_F(FwUpdateSessionTest, ExitWhileTheResultIsOnItsWayTakesTheResult) {
    m_files.PutFile(kMarker, {0});
    m_session.Start();
    ASSERT_TRUE(m_queue.WaitForResult());
    m_session.Stop();  // before the dialog's loop handed over the result
    EXPECT_EQ(CommandCount(OTA_CMD_END), 1u) << "the worker's own end, no second one";
    EXPECT_EQ(m_session.View().status, FwUpdateStatus::Done);
    EXPECT_EQ(m_files.GetFile(kMarker), std::vector<uint8_t>{1});
    EXPECT_TRUE(HandlesClosed());
    // The result, delivered late, changes nothing.
    m_queue.Deliver(m_session);
    EXPECT_EQ(m_session.View().status, FwUpdateStatus::Done);
}

TEST_F(FwUpdateSessionTest, TheBarStaysWithinItsRange) {
    m_session.Start();
    ASSERT_TRUE(m_queue.WaitForResult());
    EXPECT_FALSE(m_session.OnProgress(0, 500));
    EXPECT_TRUE(m_session.OnProgress(1, 250));
    EXPECT_EQ(m_session.View().barPosition, 250);
    EXPECT_TRUE(m_session.OnProgress(1, 501));
    EXPECT_EQ(m_session.View().barPosition, 0) << "above the range shows the minimum";
    EXPECT_TRUE(m_session.OnProgress(1, -1));
    EXPECT_EQ(m_session.View().barPosition, 0);
    EXPECT_FALSE(m_session.OnProgress(2, 400));
    EXPECT_EQ(m_session.View().barPosition, 0);
}

}  // namespace

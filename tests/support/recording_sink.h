// A MessageSink that keeps what was posted, for tests that wait on a worker thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "device/message_sink.h"
#include "support/hang_limit.h"

struct PostedMessage {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

class RecordingSink final : public MessageSink {
public:
    void Post(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.push_back({message, wParam, lParam});
        m_arrived.notify_all();
    }
    // Waits (really, on the wall clock) until count messages are there.
    bool WaitFor(size_t count, std::chrono::milliseconds limit = std::chrono::milliseconds(kHangLimitMs)) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_arrived.wait_for(lock, limit, [&] { return m_messages.size() >= count; });
    }
    std::vector<PostedMessage> Messages() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.clear();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<PostedMessage> m_messages;
};

// Where worker threads send their window messages. The Windows program posts
// them to a window; tests record them. Posting never waits for the receiver.
#pragma once

#include <cstdint>

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void Post(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

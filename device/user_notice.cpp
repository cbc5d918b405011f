#include "device/user_notice.h"

#include <atomic>

namespace {
std::atomic<UserNoticeSink*> g_noticeSink{nullptr};
}

void SetUserNoticeSink(UserNoticeSink* sink) {
    g_noticeSink = sink;
}

void ShowUserNotice(std::u16string_view text, std::u16string_view caption) {
    if (UserNoticeSink* sink = g_noticeSink.load()) sink->Show(text, caption);
}

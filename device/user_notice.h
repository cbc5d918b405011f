// Message boxes shown by code that has no window of its own (sync threads,
// profile store). The Windows program installs a sink that shows a message
// box; tests install one that records.
#pragma once

#include <string>
#include <string_view>

class UserNoticeSink {
public:
    virtual ~UserNoticeSink() = default;
    virtual void Show(std::u16string_view text, std::u16string_view caption) = 0;
};

void SetUserNoticeSink(UserNoticeSink* sink);
void ShowUserNotice(std::u16string_view text, std::u16string_view caption);

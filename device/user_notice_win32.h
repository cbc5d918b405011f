// Windows build only: notices shown as message boxes with an OK button.
#pragma once

#include "device/user_notice.h"

class MessageBoxNotice final : public UserNoticeSink {
public:
    // ownerWindow is the HWND that owns the boxes; null for none.
    explicit MessageBoxNotice(void* ownerWindow = nullptr) : m_owner(ownerWindow) {}
    void Show(std::u16string_view text, std::u16string_view caption) override;

private:
    void* m_owner;
};

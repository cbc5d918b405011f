#include "device/user_notice_win32.h"

#include <string>

#include <windows.h>

void MessageBoxNotice::Show(std::u16string_view text, std::u16string_view caption) {
    // The views need not be terminated; the box wants terminated strings.
    std::u16string boxText(text);
    std::u16string boxCaption(caption);
    MessageBoxW(static_cast<HWND>(m_owner), reinterpret_cast<const wchar_t*>(boxText.c_str()),
                reinterpret_cast<const wchar_t*>(boxCaption.c_str()), MB_OK);
}

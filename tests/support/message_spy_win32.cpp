#include "support/message_spy_win32.h"

#include "support/ui_thread_win32.h"

namespace {

// The hook procedures are plain functions: they find the spy here. The lock
// lets the destructor wait for a hook procedure running on the other thread.
std::mutex g_spyLock;
MessageSpy* g_spy = nullptr;
HHOOK g_sentHook = nullptr;
HHOOK g_postedHook = nullptr;

}  // namespace

bool MessageSpy::DefaultFilter(UINT msg) {
    return msg == WM_COMMAND || msg == WM_CLOSE || msg == WM_DEVICECHANGE ||
           (msg >= WM_USER && msg < 0xC000);
}

MessageSpy::MessageSpy(HWND root, Filter filter) : m_root(root), m_filter(std::move(filter)) {
    DWORD thread = ::GetWindowThreadProcessId(root, nullptr);
    std::lock_guard<std::mutex> guard(g_spyLock);
    if (g_spy || !thread) return;
    // A thread of this process: the hook procedures need no module of their own.
    m_sentHook = ::SetWindowsHookExW(WH_CALLWNDPROC, SentProc, nullptr, thread);
    m_postedHook = ::SetWindowsHookExW(WH_GETMESSAGE, PostedProc, nullptr, thread);
    g_sentHook = m_sentHook;
    g_postedHook = m_postedHook;
    g_spy = this;
}

MessageSpy::~MessageSpy() {
    if (m_sentHook) ::UnhookWindowsHookEx(m_sentHook);
    if (m_postedHook) ::UnhookWindowsHookEx(m_postedHook);
    std::lock_guard<std::mutex> guard(g_spyLock);
    if (g_spy == this) {
        g_spy = nullptr;
        g_sentHook = nullptr;
        g_postedHook = nullptr;
    }
}

void MessageSpy::Record(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool posted) {
    if (!hwnd || (hwnd != m_root && !::IsChild(m_root, hwnd))) return;
    if (!m_filter(msg)) return;
    std::lock_guard<std::mutex> guard(m_lock);
    m_messages.push_back({hwnd, msg, wp, lp, posted});
}

// The lock is let go before the next hook runs: it may send messages, and
// those come back here on the same thread.
LRESULT CALLBACK MessageSpy::SentProc(int code, WPARAM wp, LPARAM lp) {
    HHOOK next = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_spyLock);
        next = g_sentHook;
        if (code == HC_ACTION && g_spy) {
            const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lp);
            g_spy->Record(sent->hwnd, sent->message, sent->wParam, sent->lParam, false);
        }
    }
    return ::CallNextHookEx(next, code, wp, lp);
}

LRESULT CALLBACK MessageSpy::PostedProc(int code, WPARAM wp, LPARAM lp) {
    HHOOK next = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_spyLock);
        next = g_postedHook;
        // A peek that leaves the message in the queue would count it twice.
        if (code == HC_ACTION && wp == PM_REMOVE && g_spy) {
            const auto* posted = reinterpret_cast<const MSG*>(lp);
            g_spy->Record(posted->hwnd, posted->message, posted->wParam, posted->lParam, true);
        }
    }
    return ::CallNextHookEx(next, code, wp, lp);
}

std::vector<SpiedMessage> MessageSpy::Messages() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_messages;
}

std::vector<SpiedMessage> MessageSpy::Of(UINT msg) const {
    std::vector<SpiedMessage> found;
    for (const SpiedMessage& m : Messages())
        if (m.msg == msg) found.push_back(m);
    return found;
}

std::vector<UINT> MessageSpy::Sequence() const {
    std::vector<UINT> out;
    for (const SpiedMessage& m : Messages()) out.push_back(m.msg);
    return out;
}

bool MessageSpy::WaitFor(UINT msg, int count, int milliseconds) const {
    return ::WaitFor([&] { return Count(msg) >= count; }, milliseconds);
}

int MessageSpy::Ticks(HWND window, UINT_PTR id) const {
    int n = 0;
    for (const SpiedMessage& m : Of(WM_TIMER)) n += m.hwnd == window && m.wp == id;
    return n;
}

bool MessageSpy::WaitForTicks(HWND window, UINT_PTR id, int count, int milliseconds) const {
    return ::WaitFor([&] { return Ticks(window, id) >= count; }, milliseconds);
}

void MessageSpy::Clear() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_messages.clear();
}

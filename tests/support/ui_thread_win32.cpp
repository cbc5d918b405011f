#include "support/ui_thread_win32.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool UiInvoker::Create() { return CreateEx(0, nullptr, L"", 0, RECT{0, 0, 0, 0}, HWND_MESSAGE, 0); }

namespace {

// A call the driver may give up on: once it has, the UI thread must not run fn
// any more, as fn refers to the driver's stack.
struct CallTicket {
    std::mutex lock;
    bool abandoned = false;
    bool ran = false;
    std::function<void()> fn;
};

constexpr WPARAM kCalled = 0;
constexpr WPARAM kPosted = 1;

}  // namespace

bool UiInvoker::Call(std::function<void()> fn, int milliseconds) {
    auto ticket = std::make_shared<CallTicket>();
    ticket->fn = std::move(fn);
    auto* held = new std::shared_ptr<CallTicket>(ticket);
    DWORD_PTR result = 0;
    // Sent, not posted: a sent message is handled by whatever loop the UI
    // thread waits in, and the caller learns when it ran.
    if (::SendMessageTimeoutW(m_hWnd, kRun, kCalled, reinterpret_cast<LPARAM>(held), SMTO_NORMAL,
                              UINT(milliseconds), &result) != 0)
        return true;
    // Timed out: the message may still be handled later, or never (then the
    // ticket's holder is lost, which a failing test can afford).
    std::lock_guard<std::mutex> guard(ticket->lock);
    ticket->abandoned = true;
    return ticket->ran;
}

void UiInvoker::Post(std::function<void()> fn) {
    ::PostMessageW(m_hWnd, kRun, kPosted,
                   reinterpret_cast<LPARAM>(new std::function<void()>(std::move(fn))));
}

LRESULT UiInvoker::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kRun && wp == kCalled) {
        std::unique_ptr<std::shared_ptr<CallTicket>> held(
            reinterpret_cast<std::shared_ptr<CallTicket>*>(lp));
        CallTicket& ticket = **held;
        std::lock_guard<std::mutex> guard(ticket.lock);
        if (!ticket.abandoned) {
            CallGuarded([&] { ticket.fn(); });
            ticket.ran = true;
        }
        return 0;
    }
    if (msg == kRun && wp == kPosted) {
        std::unique_ptr<std::function<void()>> fn(reinterpret_cast<std::function<void()>*>(lp));
        CallGuarded([&] { (*fn)(); });
        return 0;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

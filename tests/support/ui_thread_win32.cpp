#include "support/ui_thread_win32.h"

#include <algorithm>
#include <chrono>
#include <future>
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

namespace {

BOOL CALLBACK PaintNow(HWND hwnd, LPARAM) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

}  // namespace

bool UiInvoker::CallWhenIdle(std::function<void()> fn, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    // A marker goes behind what was posted before; once it has run, all of
    // that has. Input (keys a test typed) is taken only after the posted
    // messages, and what it leads to may post more: the marker goes round
    // again until it finds nothing else waiting.
    for (;;) {
        auto reached = std::make_shared<std::promise<bool>>();
        std::future<bool> marker = reached->get_future();
        Post([reached] {
            constexpr UINT kWork = QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE;
            reached->set_value(HIWORD(::GetQueueStatus(kWork)) == 0);
        });
        if (marker.wait_until(end) != std::future_status::ready) return false;
        if (marker.get()) break;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    return Call(
        [&] {
            // What is invalid would otherwise be painted at the next WM_PAINT, maybe while fn looks.
            ::EnumThreadWindows(::GetCurrentThreadId(), &PaintNow, 0);
            fn();
        },
        std::max(1, static_cast<int>(left.count())));
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

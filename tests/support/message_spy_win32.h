// Watches the messages that reach a window and its descendants (the main
// window and its pages, a dialog and its controls): what was posted and what
// was sent, in the order the window's thread met them, from any thread.
// Posted messages are seen when a loop takes them from the queue, sent ones
// just before the window procedure runs; both through hooks on the window's
// thread, so the windows need no help of their own. One spy at a time.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <vector>

struct SpiedMessage {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool posted;  // false: sent
};

class MessageSpy {
public:
    // Which messages to keep; the default keeps WM_COMMAND, WM_CLOSE,
    // WM_DEVICECHANGE and the private ranges (WM_USER and WM_APP up to 0xBFFF).
    using Filter = std::function<bool(UINT msg)>;
    static bool DefaultFilter(UINT msg);

    explicit MessageSpy(HWND root, Filter filter = DefaultFilter);
    ~MessageSpy();
    MessageSpy(const MessageSpy&) = delete;
    MessageSpy& operator=(const MessageSpy&) = delete;

    bool ok() const { return m_sentHook && m_postedHook; }

    std::vector<SpiedMessage> Messages() const;
    std::vector<SpiedMessage> Of(UINT msg) const;
    int Count(UINT msg) const { return int(Of(msg).size()); }
    // The kept messages' numbers, in order.
    std::vector<UINT> Sequence() const;
    // Waits (bounded) until count messages msg were seen.
    bool WaitFor(UINT msg, int count, int milliseconds) const;
    // How often window's timer `id` ticked, for a spy that keeps WM_TIMER
    // (KeepTimers): a wait for a timer to have looked, not for a time.
    int Ticks(HWND window, UINT_PTR id) const;
    bool WaitForTicks(HWND window, UINT_PTR id, int count, int milliseconds) const;
    static bool KeepTimers(UINT msg) { return msg == WM_TIMER; }
    void Clear();

private:
    static LRESULT CALLBACK SentProc(int code, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK PostedProc(int code, WPARAM wp, LPARAM lp);
    void Record(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool posted);

    HWND m_root;
    Filter m_filter;
    HHOOK m_sentHook = nullptr;
    HHOOK m_postedHook = nullptr;
    mutable std::mutex m_lock;
    std::vector<SpiedMessage> m_messages;
};

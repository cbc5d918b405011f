#include "device/hid_backend_win32.h"

#include <windows.h>

extern "C" {
#include <hidsdi.h>
}

#include <vector>

#include "device/hid_enumerate_win32.h"

namespace {

// An output report that the device does not take within this time is given up.
constexpr DWORD kWriteTimeoutMs = 1000;

class EventHandle {
public:
    EventHandle() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~EventHandle() {
        if (m_event) CloseHandle(m_event);
    }
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;
    HANDLE Get() const { return m_event; }

private:
    HANDLE m_event;
};

// What a HidHandle stands for: the file and the overlapped state of its reads and writes.
struct OpenInterface {
    explicit OpenInterface(HANDLE f) : file(f) {}
    ~OpenInterface() {
        // Closing the file ends whatever is still pending on it.
        CloseHandle(file);
    }
    OpenInterface(const OpenInterface&) = delete;
    OpenInterface& operator=(const OpenInterface&) = delete;

    HANDLE file;
    EventHandle readDone;
    EventHandle readCancel;  // stays set until ResetRead, like the reader's stop flag
    OVERLAPPED readOverlapped{};
    EventHandle writeDone;
    OVERLAPPED writeOverlapped{};
};

OpenInterface* From(HidHandle handle) {
    return handle == kInvalidHidHandle ? nullptr : reinterpret_cast<OpenInterface*>(handle);
}

class Win32HidBackend final : public HidBackend {
public:
    std::vector<HidInterfaceDescription> EnumerateInterfaces() override {
        return EnumerateHidInterfacesWin32();
    }

    std::vector<std::u16string> UsbHardwareIds() override { return UsbHardwareIdsWin32(); }

    HidHandle Open(const std::u16string& path, HidAccess access) override {
        DWORD rights = access == HidAccess::Read    ? GENERIC_READ
                       : access == HidAccess::Write ? GENERIC_WRITE
                                                    : 0;
        HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), rights,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr);
        if (file == INVALID_HANDLE_VALUE) return kInvalidHidHandle;
        auto* open = new OpenInterface(file);
        if (!open->readDone.Get() || !open->readCancel.Get() || !open->writeDone.Get()) {
            delete open;
            return kInvalidHidHandle;
        }
        return reinterpret_cast<HidHandle>(open);
    }

    void Close(HidHandle handle) override { delete From(handle); }

    bool SetFeature(HidHandle handle, const uint8_t* data, size_t length) override {
        OpenInterface* open = From(handle);
        if (!open) return false;
        // The HID library takes a mutable buffer even for what it only sends.
        std::vector<uint8_t> report(data, data + length);
        return HidD_SetFeature(open->file, report.data(), ULONG(report.size())) != FALSE;
    }

    bool GetFeature(HidHandle handle, uint8_t* data, size_t length) override {
        OpenInterface* open = From(handle);
        return open && HidD_GetFeature(open->file, data, ULONG(length)) != FALSE;
    }

    bool ReadInput(HidHandle handle, uint8_t* data, size_t length) override {
        OpenInterface* open = From(handle);
        if (!open) return false;
        if (WaitForSingleObject(open->readCancel.Get(), 0) == WAIT_OBJECT_0) return false;
        ResetEvent(open->readDone.Get());
        open->readOverlapped = OVERLAPPED{};
        open->readOverlapped.hEvent = open->readDone.Get();
        if (!ReadFile(open->file, data, DWORD(length), nullptr, &open->readOverlapped) &&
            GetLastError() != ERROR_IO_PENDING) {
            return false;
        }
        HANDLE waits[2] = {open->readDone.Get(), open->readCancel.Get()};
        DWORD woken = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        DWORD transferred = 0;
        if (woken != WAIT_OBJECT_0) {
            // The caller's buffer and our overlapped record are free again only once
            // the cancelled read has really completed.
            CancelIoEx(open->file, &open->readOverlapped);
            GetOverlappedResult(open->file, &open->readOverlapped, &transferred, TRUE);
            return false;
        }
        return GetOverlappedResult(open->file, &open->readOverlapped, &transferred, FALSE) != FALSE;
    }

    void CancelRead(HidHandle handle) override {
        if (OpenInterface* open = From(handle)) SetEvent(open->readCancel.Get());
    }

    void ResetRead(HidHandle handle) override {
        if (OpenInterface* open = From(handle)) ResetEvent(open->readCancel.Get());
    }

    bool WriteOutput(HidHandle handle, const uint8_t* data, size_t length,
                     uint32_t* bytesWritten) override {
        if (bytesWritten) *bytesWritten = 0;
        OpenInterface* open = From(handle);
        if (!open) return false;
        ResetEvent(open->writeDone.Get());
        open->writeOverlapped = OVERLAPPED{};
        open->writeOverlapped.hEvent = open->writeDone.Get();
        if (!WriteFile(open->file, data, DWORD(length), nullptr, &open->writeOverlapped) &&
            GetLastError() != ERROR_IO_PENDING) {
            return false;
        }
        DWORD transferred = 0;
        if (WaitForSingleObject(open->writeDone.Get(), kWriteTimeoutMs) != WAIT_OBJECT_0) {
            // The data stays ours until the cancelled write has completed.
            CancelIoEx(open->file, &open->writeOverlapped);
            GetOverlappedResult(open->file, &open->writeOverlapped, &transferred, TRUE);
            return false;
        }
        BOOL ok = GetOverlappedResult(open->file, &open->writeOverlapped, &transferred, FALSE);
        if (bytesWritten) *bytesWritten = transferred;
        return ok != FALSE;
    }
};

}  // namespace

HidBackend& GetWin32HidBackend() {
    static Win32HidBackend backend;
    return backend;
}

#include "sim/sim_mouse_state_file.h"

#include <cstring>
#include <memory>

#include "device/file_system.h"

namespace {

constexpr uint8_t kTag[8] = {'Q', 'V', 'S', 'I', 'M', 'M', 'S', '1'};

// The settings fields in the order EncodeMouseState writes them.
constexpr size_t kSettingsSize = 1 + 6 * 7 + 5 + 6 + 1 + 1 + 2 + 2 + 5 * 4 + 1;
constexpr size_t kStateSize =
    sizeof(kTag) + kSettingsSize + SIM_MACRO_SLOT_COUNT * SIM_MACRO_IMAGE_SIZE + 4;

// FNV-1a: enough to tell a torn or edited file from one this code wrote.
uint32_t Checksum(const uint8_t* data, size_t size) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 16777619u;
    }
    return hash;
}

class Writer {
public:
    void Bytes(const uint8_t* data, size_t size) { m_out.insert(m_out.end(), data, data + size); }
    void U8(uint8_t v) { m_out.push_back(v); }
    void U16(uint16_t v) {
        U8(uint8_t(v));
        U8(uint8_t(v >> 8));
    }
    void U32(uint32_t v) {
        U16(uint16_t(v));
        U16(uint16_t(v >> 16));
    }
    std::vector<uint8_t>& Out() { return m_out; }

private:
    std::vector<uint8_t> m_out;
};

class Reader {
public:
    explicit Reader(const uint8_t* data) : m_at(data) {}
    void Bytes(uint8_t* out, size_t size) {
        std::memcpy(out, m_at, size);
        m_at += size;
    }
    uint8_t U8() { return *m_at++; }
    uint16_t U16() {
        uint16_t low = U8();
        return uint16_t(low | U8() << 8);
    }
    uint32_t U32() {
        uint32_t low = U16();
        return low | uint32_t(U16()) << 16;
    }

private:
    const uint8_t* m_at;
};

}  // namespace

std::vector<uint8_t> EncodeMouseState(const SimMouse& mouse) {
    const SimMouseSettings s = mouse.Settings();
    Writer w;
    w.Bytes(kTag, sizeof(kTag));
    w.U8(s.reportRate);
    for (const SimDpiStage& stage : s.stages) {
        w.U16(stage.stepX);
        w.U16(stage.stepY);
        w.Bytes(stage.colour, 3);
    }
    w.U8(s.dpiCount);
    w.U8(s.dpiCurrent);
    w.U8(s.dpiLedMode);
    w.U8(s.dpiByte5);
    w.U8(s.dpiByte6);
    w.Bytes(s.sensor, sizeof(s.sensor));
    w.U8(s.debounce);
    w.U8(s.fireCount);
    w.U16(s.fireInterval);
    w.U16(s.powerDown);
    for (uint32_t code : s.buttons) w.U32(code);
    w.U8(s.ledEffect);
    for (uint8_t slot = 0; slot < SIM_MACRO_SLOT_COUNT; ++slot) {
        const std::vector<uint8_t> image = mouse.MacroImage(slot);
        w.Bytes(image.data(), image.size());
    }
    w.U32(Checksum(w.Out().data(), w.Out().size()));
    return std::move(w.Out());
}

bool DecodeMouseState(const std::vector<uint8_t>& bytes, SimMouse& mouse) {
    if (bytes.size() != kStateSize) return false;
    if (std::memcmp(bytes.data(), kTag, sizeof(kTag)) != 0) return false;
    Reader check(bytes.data() + kStateSize - 4);
    if (check.U32() != Checksum(bytes.data(), kStateSize - 4)) return false;

    Reader r(bytes.data() + sizeof(kTag));
    SimMouseSettings s;
    s.reportRate = r.U8();
    for (SimDpiStage& stage : s.stages) {
        stage.stepX = r.U16();
        stage.stepY = r.U16();
        r.Bytes(stage.colour, 3);
    }
    s.dpiCount = r.U8();
    s.dpiCurrent = r.U8();
    s.dpiLedMode = r.U8();
    s.dpiByte5 = r.U8();
    s.dpiByte6 = r.U8();
    r.Bytes(s.sensor, sizeof(s.sensor));
    s.debounce = r.U8();
    s.fireCount = r.U8();
    s.fireInterval = r.U16();
    s.powerDown = r.U16();
    for (uint32_t& code : s.buttons) code = r.U32();
    s.ledEffect = r.U8();
    mouse.SetSettings(s);
    for (uint8_t slot = 0; slot < SIM_MACRO_SLOT_COUNT; ++slot) {
        std::vector<uint8_t> image(SIM_MACRO_IMAGE_SIZE);
        r.Bytes(image.data(), image.size());
        mouse.SetMacroImage(slot, image);
    }
    return true;
}

bool SaveMouseState(const SimMouse& mouse, const std::u16string& path) {
    const std::vector<uint8_t> bytes = EncodeMouseState(mouse);
    return WriteWholeFile(path, bytes.data(), bytes.size()) == FileError::None;
}

bool LoadMouseState(const std::u16string& path, SimMouse& mouse) {
    std::unique_ptr<File> file = GetFileSystem().Open(path, FileOpenMode::Read, nullptr);
    if (!file) return false;
    // One byte more than a state holds, so that a longer file is seen as such.
    std::vector<uint8_t> bytes(kStateSize + 1);
    bytes.resize(file->Read(bytes.data(), bytes.size()));
    return DecodeMouseState(bytes, mouse);
}

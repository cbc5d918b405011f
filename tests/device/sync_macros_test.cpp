// The macro steps of the two sync workers: uploads before a macro button's code,
// read-back into the store, and the round trip between them.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "device/button_codes.h"
#include "device/key_names.h"
#include "device/macro_image.h"
#include "device/sync_threads.h"
#include "sync_fixture.h"
#include "text/u16_buffer.h"
#include "text/ui_texts.h"

namespace sync_test {
namespace {

constexpr MacroEvent Press(uint32_t vk) { return MakeMacroEvent(MACRO_EVENT_PRESS, vk); }
constexpr MacroEvent Release(uint32_t vk) { return MakeMacroEvent(MACRO_EVENT_RELEASE, vk); }
constexpr MacroEvent Delay(uint32_t ms) { return MakeMacroEvent(MACRO_EVENT_DELAY, ms); }

MacroRecord MakeMacro(uint32_t id, std::vector<MacroEvent> events, std::u16string_view name,
                      uint32_t repeatMode = 1, uint32_t repeatCount = 3) {
    MacroRecord record{};
    record.size = uint32_t(104 + 4 * events.size());
    record.magic = MACRO_MAGIC;
    record.macroId = id;
    record.repeatMode = repeatMode;
    record.repeatCount = repeatCount;
    record.eventCount = uint32_t(events.size());
    std::copy(events.begin(), events.end(), record.events);
    CopyToBuffer(record.name, name);
    return record;
}

void Store(const MacroRecord& record) {
    ASSERT_EQ(CopyMacroRecord(&record), 1);
}

Bytes ImageOf(const MacroRecord& record, uint8_t slot) {
    uint8_t buffer[MACRO_IMAGE_BUFFER_SIZE];
    BuildDeviceMacroImage(record, slot, buffer, VkToHidUsage);
    return Bytes(buffer, buffer + DEVICE_MACRO_IMAGE_SIZE);
}

// The button commands of a pass, with their times.
std::vector<SentFrame> ButtonFrames(const std::vector<SentFrame>& frames) {
    std::vector<SentFrame> out;
    for (const SentFrame& f : frames)
        if (f.bytes[1] == CMD_SET_BUTTON) out.push_back(f);
    return out;
}

class SyncMacrosTest : public SyncFixture {
protected:
    SyncMacrosTest() {
        g_uiTexts[UiText::str_Macro] = u"Macro";
        for (int i = 0; i < BUTTON_COUNT; ++i) g_settings.buttons[i].functionId = FUNC_LEFT_BUTTON;
    }
    ~SyncMacrosTest() override { g_uiTexts[UiText::str_Macro].clear(); }

    // The device buttons that got a button command, in order.
    std::vector<uint8_t> ButtonsCommanded() const {
        std::vector<uint8_t> buttons;
        for (const SentFrame& f : ButtonFrames(SentFrames())) buttons.push_back(f.bytes[2]);
        return buttons;
    }

    const MacroRecord kTyped = MakeMacro(
        0x15000007, {Press('A'), Delay(50), Release('A'), Delay(20)}, u"Typed");
};

TEST_F(SyncMacrosTest, AMacroButtonIsUploadedToItsDeviceSlotBeforeItsCode) {
    Store(kTyped);
    g_settings.buttons[3].functionId = FUNC_MACRO;  // device button 4
    g_settings.buttons[3].macroId = int32_t(kTyped.macroId);
    Connect();

    WriteAllSettingsThread(Job());

    EXPECT_EQ(mouse->MacroImage(4), ImageOf(kTyped, 4));
    EXPECT_EQ(mouse->Settings().buttons[4], 0x00040009u);
    EXPECT_EQ(g_activeProfile->appliedMacroIds[3], int32_t(kTyped.macroId));
    for (int i : {0, 1, 2, 4}) EXPECT_EQ(g_activeProfile->appliedMacroIds[i], 0) << i;

    // 100 ms before the button, 500 after the search, 100 + 50 around the upload
    // of ten chunks at 40 + 60 ms each.
    const std::vector<SentFrame> buttons = ButtonFrames(SentFrames());
    ASSERT_EQ(buttons.size(), 5u);
    EXPECT_EQ(buttons[3].bytes[2], 4);
    EXPECT_EQ(buttons[3].time - buttons[2].time, 100u + 500 + 100 + 1000 + 50);
    EXPECT_EQ(buttons[4].time - buttons[3].time, 100u);
}

TEST_F(SyncMacrosTest, TheRecordsOwnMacroWinsOverThePagesLastAssignment) {
    const MacroRecord other = MakeMacro(0x15000008, {Press('B'), Release('B')}, u"Other");
    Store(kTyped);
    Store(other);
    struct Case {
        const char* name;
        int32_t recordId;
        int32_t pageId;
        const MacroRecord* uploaded;
    };
    const Case cases[] = {
        {"record wins", int32_t(kTyped.macroId), int32_t(other.macroId), &kTyped},
        {"page fills in", 0, int32_t(other.macroId), &other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mouse->SetMacroImage(0, Bytes(320, 0));
        g_settings.buttons[0].functionId = FUNC_MACRO;
        g_settings.buttons[0].macroId = c.recordId;
        g_buttonMacroIds[0] = c.pageId;
        Connect();
        WriteAllSettingsThread(Job());
        EXPECT_EQ(mouse->MacroImage(0), ImageOf(*c.uploaded, 0));
        EXPECT_EQ(g_activeProfile->appliedMacroIds[0], int32_t(c.uploaded->macroId));
    }
}

// A macro button whose macro is gone gets no command at all: in particular not
// the code of the button before it.
TEST_F(SyncMacrosTest, AMacroThatIsNotInTheStoreSendsNothing) {
    g_settings.buttons[1].functionId = FUNC_MUTE;
    g_settings.buttons[2].functionId = FUNC_MACRO;
    g_settings.buttons[2].macroId = 0x15000099;
    Connect();

    WriteAllSettingsThread(Job());

    EXPECT_EQ(ButtonsCommanded(), (std::vector<uint8_t>{0, 1, 4, 3}));
    EXPECT_EQ(mouse->Settings().buttons[2], SIM_CODE_MIDDLE);
    EXPECT_EQ(g_activeProfile->appliedMacroIds[2], 0x15000099);
    for (const SimReport& r : backend.Log()) EXPECT_NE(r.kind, SimReport::Kind::Output);
}

// A slot the upload left half written must not be played: the button keeps
// what the mouse had, and the pass still goes on to the next buttons.
TEST_F(SyncMacrosTest, AFailedUploadSendsNoCommandForItsButton) {
    for (SimChunkFault fault : {SimChunkFault::RefuseHeader, SimChunkFault::FailData}) {
        SCOPED_TRACE(int(fault));
        Store(kTyped);
        g_settings.buttons[1].functionId = FUNC_MUTE;
        g_settings.buttons[2].functionId = FUNC_MACRO;
        g_settings.buttons[2].macroId = int32_t(kTyped.macroId);
        mouse->SetMacroChunkFault(5, fault);
        Connect();
        sink.Clear();

        WriteAllSettingsThread(Job());

        EXPECT_EQ(ButtonsCommanded(), (std::vector<uint8_t>{0, 1, 4, 3}));
        EXPECT_EQ(mouse->Settings().buttons[2], SIM_CODE_MIDDLE);
        EXPECT_EQ(allSent.load(), 0) << "a macro that did not go counts as a failure";
        EXPECT_EQ(sink.Count(SinkCall::Done), 1);
        EXPECT_EQ(sink.Calls().back().kind, SinkCall::Close);
    }
}

TEST_F(SyncMacrosTest, ReadAllFetchesAMacroButtonsMacroIntoTheStore) {
    mouse->SetMacroImage(4, ImageOf(kTyped, 4));
    SimMouseSettings settings;
    settings.buttons[4] = 0x00040009;
    mouse->SetSettings(settings);
    Connect();

    ReadAllSettingsThread(Job());

    const ButtonAssignment& button = g_settings.buttons[3];
    EXPECT_EQ(button.functionId, FUNC_MACRO);
    EXPECT_EQ(button.macroId, int32_t(kTyped.macroId));
    EXPECT_EQ(BufferText(button.displayName), u"Macro - Typed");
    const MacroRecord* stored = FindMacroRecord(kTyped.macroId);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->eventCount, 4u);
    EXPECT_EQ(std::vector<MacroEvent>(stored->events, stored->events + 5),
              (std::vector<MacroEvent>{Press('A'), Delay(50), Release('A'), Delay(20), 0}));
    EXPECT_EQ(sink.Count(SinkCall::MacroStoreChanged), 1);

    // The download follows the button's reply after a 100 ms pause.
    std::vector<SimReport> log = backend.Log();
    uint32_t buttonTime = 0;
    uint32_t firstChunk = 0;
    for (const SimReport& r : log) {
        if (r.kind != SimReport::Kind::SetFeature) continue;
        if (r.bytes[1] == CMD_GET_BUTTON && r.bytes[2] == 4) buttonTime = r.time;
        if (r.bytes[1] == CMD_READ_MACRO_CHUNK && firstChunk == 0) firstChunk = r.time;
    }
    EXPECT_EQ(firstChunk - buttonTime, 10u + 100);
}

TEST_F(SyncMacrosTest, AMacroThatCannotBeFetchedLeavesTheButtonsMacro) {
    mouse->SetMacroImage(1, ImageOf(kTyped, 1));
    mouse->SetMacroChunkFault(5, SimChunkFault::FailData);
    SimMouseSettings settings;
    settings.buttons[1] = 0x00010009;
    mouse->SetSettings(settings);
    g_settings.buttons[1].functionId = FUNC_MACRO;
    g_settings.buttons[1].macroId = 0x15000001;
    Connect();

    ReadAllSettingsThread(Job());

    EXPECT_EQ(g_settings.buttons[1].functionId, FUNC_MACRO);
    EXPECT_EQ(g_settings.buttons[1].macroId, 0x15000001);
    EXPECT_EQ(FindMacroRecord(kTyped.macroId), nullptr);
    EXPECT_EQ(sink.Count(SinkCall::MacroStoreChanged), 0);
}

// The mouse keeps at most 70 steps and 15 bytes of a name: what comes back from
// a long macro is a cut-down copy. The store's own record stays when it is what
// the mouse was given; a record that no longer matches gives way to the mouse's.
TEST_F(SyncMacrosTest, ReadAllKeepsTheStoresRicherCopyOfAMacroTheMouseHolds) {
    std::vector<MacroEvent> events;
    for (int i = 0; i < 100; ++i) {
        events.push_back(Press('A' + i % 26));
        events.push_back(Release('A' + i % 26));
    }
    const MacroRecord longMacro = MakeMacro(0x15000020, events, u"A rather long macro name here");
    MacroRecord edited = longMacro;  // changed in the store since it went to the mouse
    edited.events[0] = Press('Z');

    struct Case {
        const char* name;
        const MacroRecord* storedBeforeRead;
        bool kept;
    };
    const Case cases[] = {
        {"same as uploaded", &longMacro, true},
        {"edited since", &edited, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        Store(longMacro);
        g_settings = SettingsImage{};
        g_settings.buttons[2].functionId = FUNC_MACRO;
        g_settings.buttons[2].macroId = int32_t(longMacro.macroId);
        Connect();
        WriteAllSettingsThread(Job());
        Store(*c.storedBeforeRead);
        const MacroRecord before = *FindMacroRecord(longMacro.macroId);
        sink.Clear();

        g_settings = SettingsImage{};
        ReadAllSettingsThread(Job());

        EXPECT_EQ(g_settings.buttons[2].macroId, int32_t(longMacro.macroId));
        const MacroRecord* after = FindMacroRecord(longMacro.macroId);
        ASSERT_NE(after, nullptr);
        if (c.kept) {
            EXPECT_EQ(std::memcmp(after, &before, sizeof(before)), 0);
            EXPECT_EQ(after->eventCount, 200u);
            EXPECT_EQ(MacroNameOf(*after), u"A rather long macro name here");
            EXPECT_EQ(BufferText(g_settings.buttons[2].displayName),
                      u"Macro - A rather long macro name here");
            EXPECT_EQ(sink.Count(SinkCall::MacroStoreChanged), 0);
        } else {
            EXPECT_LT(after->eventCount, 200u);
            EXPECT_EQ(after->events[0], Press('A'));
            EXPECT_EQ(MacroNameOf(*after), u"A rather long m");
            EXPECT_EQ(sink.Count(SinkCall::MacroStoreChanged), 1);
        }
    }
}

// Macros written by one pass come back unchanged through the other, whatever
// their shape: the store ends up with the same events and their true count.
TEST_F(SyncMacrosTest, MacrosRoundTripThroughTheMouse) {
    const MacroRecord macros[] = {
        kTyped,
        MakeMacro(0x15000010, {Press('A'), Release('A')}, u"Tap", 0, 0xFFFE),
        MakeMacro(0x15000011, {Delay(100), Press('Q'), Delay(30), Press('W'), Release('W'),
                               Release('Q')},
                  u"Leading", 2, 300),
        MakeMacro(0x15000012, {Press('Z'), Delay(10), Delay(20), Release('Z')}, u"Two delays"),
    };
    for (const MacroRecord& macro : macros) Store(macro);
    for (int i = 0; i < 4; ++i) {
        g_settings.buttons[i].functionId = FUNC_MACRO;
        g_settings.buttons[i].macroId = int32_t(macros[i].macroId);
    }
    Connect();
    WriteAllSettingsThread(Job());

    std::memset(&g_macroStore, 0, sizeof(g_macroStore));
    g_settings = SettingsImage{};
    ReadAllSettingsThread(Job());

    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const MacroRecord& original = macros[i];
        EXPECT_EQ(g_settings.buttons[i].functionId, FUNC_MACRO);
        EXPECT_EQ(g_settings.buttons[i].macroId, int32_t(original.macroId));
        const MacroRecord* back = FindMacroRecord(original.macroId);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->eventCount, original.eventCount);
        EXPECT_EQ(back->size, original.size);
        EXPECT_EQ(back->repeatMode, original.repeatMode);
        EXPECT_EQ(back->repeatCount, original.repeatCount);
        EXPECT_EQ(std::memcmp(back->events, original.events, sizeof(original.events)), 0);
        EXPECT_EQ(MacroNameOf(*back), MacroNameOf(original));
    }
}

// Whatever replaces the whole record also forgets the page's last assignments,
// so that a macro button read from elsewhere cannot pick one of them up.
TEST_F(SyncMacrosTest, ReplacingTheSettingsForgetsThePagesAssignments) {
    const std::u16string profile = std::u16string(kFolder) + u"FConfig1.ini";
    SettingsImage saved{};
    saved.magic = SETTINGS_MAGIC;
    files.PutFile(profile, Bytes(reinterpret_cast<const uint8_t*>(&saved),
                                 reinterpret_cast<const uint8_t*>(&saved) + sizeof(saved)));
    struct Case {
        const char* name;
        std::function<void()> replace;
    };
    const Case cases[] = {
        {"profile load", [&] { EXPECT_EQ(LoadProfileFile(profile.c_str(), 0), 1); }},
        {"reset", [] { ResetSettingsToDefaults(g_settings); }},
        {"read of all settings", [&] {
             Connect();
             ReadAllSettingsThread(Job());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_buttonMacroIds[0] = 0x15000001;
        g_buttonMacroIds[4] = 0x15000002;
        c.replace();
        for (int32_t id : g_buttonMacroIds) EXPECT_EQ(id, 0);
    }
    SettingsImage other{};
    g_buttonMacroIds[2] = 7;
    ResetSettingsToDefaults(other);  // not the working copy: nothing to forget
    EXPECT_EQ(g_buttonMacroIds[2], 7);
}

}  // namespace
}  // namespace sync_test

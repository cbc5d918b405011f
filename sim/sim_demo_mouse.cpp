#include "sim/sim_demo_mouse.h"

#include <cstring>
#include <vector>

#include "device/macro_store.h"

namespace {

// The identifier of the receiver the mouse was paired with.
constexpr uint32_t kReceiverId = 0x3C5A0001;
// An 8 kHz receiver: on link type 2, like the cable, so that the LED page and
// the fast report rates are there whichever way the mouse is reached.
constexpr int kReceiverKind = 2;

SimMouseSettings DemoSettings() {
    SimMouseSettings s;
    s.reportRate = 1;  // 500 Hz
    const uint16_t steps[6] = {8, 16, 32, 64, 96, 128};
    const uint8_t colours[6][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                   {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};
    for (int i = 0; i < 6; ++i) {
        s.stages[i].stepX = steps[i];
        s.stages[i].stepY = steps[i];
        std::memcpy(s.stages[i].colour, colours[i], 3);
    }
    s.dpiCount = 4;
    s.dpiCurrent = 1;
    s.dpiLedMode = 1;
    s.sensor[1] = 1;  // lift-off 2 mm
    s.sensor[4] = 1;  // motion sync
    s.debounce = 8;
    s.powerDown = 300;
    s.buttons[3] = 0x00060200;  // the back button sends Shift+C
    s.ledEffect = 1;
    return s;
}

std::shared_ptr<SimMouse> MakeDemoMouse() {
    auto mouse = std::make_shared<SimMouse>();
    mouse->SetSettings(DemoSettings());
    SimMouseStatus status;
    status.battery = 72;
    mouse->SetStatus(status);
    return mouse;
}

}  // namespace

std::unique_ptr<SimMouseRig> MakeDemoMouseRig() {
    auto rig = std::make_unique<SimMouseRig>();
    rig->mouse = MakeDemoMouse();
    SimTopology topology(rig->backend);
    SimMouseIdentity identity;
    identity.sensorType = kDemoSensorType;
    identity.linkType = 2;
    identity.kind2ReceiverId = kReceiverId;
    rig->cable = topology.PlugCableMouse(identity, rig->mouse);
    if (rig->cable.ota) rig->cable.ota->SetVersion(1, 2, 3, 0x0102);
    rig->receiver = topology.PlugReceiver(kReceiverKind, kReceiverId, &identity, rig->mouse, true);
    rig->status = std::make_unique<SimStatusReporter>(rig->backend, rig->mouse, rig->cable.command,
                                                      rig->receiver.command);
    return rig;
}

std::unique_ptr<SimMouseRig> MakeUnpluggedRig() {
    auto rig = std::make_unique<SimMouseRig>();
    rig->mouse = MakeDemoMouse();
    return rig;
}

bool StoreDemoMacros() {
    struct Demo {
        uint32_t id;
        const char16_t* name;
        std::vector<MacroEvent> events;
    };
    const Demo demos[] = {
        {0x15000001, u"Copy", {MakeMacroEvent(MACRO_EVENT_PRESS, 0x11), MakeMacroEvent(MACRO_EVENT_DELAY, 20),
                               MakeMacroEvent(MACRO_EVENT_PRESS, 'C'), MakeMacroEvent(MACRO_EVENT_DELAY, 20),
                               MakeMacroEvent(MACRO_EVENT_RELEASE, 'C'), MakeMacroEvent(MACRO_EVENT_DELAY, 20),
                               MakeMacroEvent(MACRO_EVENT_RELEASE, 0x11)}},
        {0x15000002, u"Double shot", {MakeMacroEvent(MACRO_EVENT_PRESS, 1), MakeMacroEvent(MACRO_EVENT_DELAY, 30),
                                      MakeMacroEvent(MACRO_EVENT_RELEASE, 1), MakeMacroEvent(MACRO_EVENT_DELAY, 60),
                                      MakeMacroEvent(MACRO_EVENT_PRESS, 1), MakeMacroEvent(MACRO_EVENT_DELAY, 30),
                                      MakeMacroEvent(MACRO_EVENT_RELEASE, 1)}},
        {0x15000003, u"Hello", {MakeMacroEvent(MACRO_EVENT_PRESS, 'H'), MakeMacroEvent(MACRO_EVENT_DELAY, 15),
                                MakeMacroEvent(MACRO_EVENT_RELEASE, 'H'), MakeMacroEvent(MACRO_EVENT_DELAY, 15),
                                MakeMacroEvent(MACRO_EVENT_PRESS, 'I'), MakeMacroEvent(MACRO_EVENT_DELAY, 15),
                                MakeMacroEvent(MACRO_EVENT_RELEASE, 'I')}},
    };
    bool ok = true;
    for (const Demo& demo : demos) {
        std::vector<uint8_t> buffer(sizeof(MacroBlob) + demo.events.size() * sizeof(MacroEvent));
        MacroBlob blob{};
        blob.size = uint32_t(buffer.size());
        blob.magic = MACRO_MAGIC;
        blob.macroId = demo.id;
        blob.repeatMode = 0;
        blob.repeatCount = 1;
        std::u16string_view name(demo.name);
        std::memcpy(blob.name, name.data(), name.size() * sizeof(char16_t));
        blob.eventCount = uint32_t(demo.events.size());
        std::memcpy(buffer.data(), &blob, sizeof(blob));
        std::memcpy(buffer.data() + sizeof(blob), demo.events.data(),
                    demo.events.size() * sizeof(MacroEvent));
        ok = StoreMacroBlob(reinterpret_cast<const MacroBlob*>(buffer.data()), buffer.size()) && ok;
    }
    return ok;
}

// The button page's tables and assignments: what each function button and
// popup row assigns, the device button numbers, the power-down steps, the
// left-click guard, the selector texts, and the bytes that reach a simulated
// mouse for every kind of assignment.
#include "app/pages/button_page_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "device/button_macro_ids.h"
#include "device/key_names.h"
#include "device/macro_image.h"
#include "device/macro_store.h"
#include "device/usb_driver.h"
#include "support/cable_driver_fixture.h"
#include "text/u16_buffer.h"
#include "text/ui_texts.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(ButtonPageTablesTest, FunctionButtonsInOrder) {
    struct Case {
        FunctionId id;
        FunctionAction action;
    };
    const Case cases[FUNCTION_BUTTON_COUNT] = {
        {1, FunctionAction::Assign},          {2, FunctionAction::Assign},
        {4, FunctionAction::Assign},          {8, FunctionAction::Assign},
        {16, FunctionAction::Assign},         {133, FunctionAction::DoubleClick},
        {5, FunctionAction::KeyCombination},  {6, FunctionAction::Macro},
        {121, FunctionAction::Assign},        {140, FunctionAction::DpiMenu},
        {21, FunctionAction::MediaMenu},
    };
    for (int j = 0; j < FUNCTION_BUTTON_COUNT; ++j) {
        EXPECT_EQ(FunctionButtonAt(j).id, cases[j].id) << j;
        EXPECT_EQ(FunctionButtonAt(j).action, cases[j].action) << j;
    }
}

TEST(ButtonPageTablesTest, PopupRowsAssignTheirFunctions) {
    const std::optional<FunctionId> dpi[] = {std::nullopt, 139, 141, 138, std::nullopt};
    for (uint32_t v = 0; v < std::size(dpi); ++v) EXPECT_EQ(DpiMenuFunction(v), dpi[v]) << v;

    const FunctionId media[18] = {40, 32, 35, 34, 33, 39, 37, 38, 102, 109, 80, 101, 103, 97, 96, 98, 99, 100};
    for (uint32_t v = 1; v <= 18; ++v) EXPECT_EQ(MediaMenuFunction(v), media[v - 1]) << v;
    EXPECT_EQ(MediaMenuFunction(0), std::nullopt);
    EXPECT_EQ(MediaMenuFunction(19), std::nullopt);
}

TEST(ButtonPageTablesTest, PowerDownPositions) {
    const int32_t list[POWER_DOWN_STEP_COUNT] = {10,  20,  30,  60,  120, 180, 240, 300, 360,
                                                 420, 480, 540, 600, 660, 720, 780, 840, 900};
    for (int i = 0; i < POWER_DOWN_STEP_COUNT; ++i) {
        EXPECT_EQ(kPowerDownSeconds[i], list[i]) << i;
        EXPECT_EQ(PowerDownPosition(uint32_t(list[i])), i);
    }
    // Not in the list: the 60 s step, from which the stepper moves to 30 or 120.
    for (uint32_t unlisted : {0u, 45u, 901u, 0xFFFFFFFFu}) EXPECT_EQ(PowerDownPosition(unlisted), 3) << unlisted;
}

SettingsImage WithFunctions(std::initializer_list<FunctionId> ids) {
    SettingsImage s{};
    int i = 0;
    for (FunctionId id : ids) s.buttons[i++].functionId = id;
    return s;
}

TEST(LeftClickGuardTest, RefusesOnlyTheLastLeftClick) {
    struct Case {
        const char* what;
        SettingsImage settings;
        int selected;
        bool refused;
    };
    const Case cases[] = {
        {"the only left click, selected", WithFunctions({1, 2, 4, 8, 16}), 0, true},
        {"another button selected", WithFunctions({1, 2, 4, 8, 16}), 1, false},
        {"left click on two buttons", WithFunctions({1, 1, 4, 8, 16}), 0, false},
        {"the only left click on button 5", WithFunctions({2, 2, 4, 8, 1}), 4, true},
        // No left click anywhere: the page must still be able to give it back.
        {"no left click at all", WithFunctions({2, 121, 4, 8, 16}), 0, false},
        {"no left click, any button", WithFunctions({121, 121, 121, 121, 121}), 3, false},
        {"selection out of range", WithFunctions({1, 2, 4, 8, 16}), -1, false},
    };
    for (const Case& c : cases) EXPECT_EQ(LeftClickGuardRefuses(c.settings, c.selected), c.refused) << c.what;
}

class ButtonTextsTest : public testing::Test {
protected:
    void SetUp() override {
        g_uiTexts = UiTextTable{};
        g_uiTexts[UiText::str_leftbt] = u"Left";
        g_uiTexts[UiText::str_disable] = u"Off";
        g_uiTexts[UiText::str_SelBtn] = u"Button";
    }
    void TearDown() override { g_uiTexts = UiTextTable{}; }
};

TEST_F(ButtonTextsTest, CreationNamesFixedFunctionsAndALanguageChangeRespellsKeys) {
    SettingsImage s = WithFunctions({FUNC_LEFT_BUTTON, FUNC_SINGLE_KEY, FUNC_MACRO, FUNC_RAW_CODE, FUNC_DISABLED});
    for (ButtonAssignment& b : s.buttons) CopyToBuffer(b.displayName, u"stored");
    s.buttons[1].deviceCode = 0x00290800;  // Win + Esc

    NameFixedFunctions(s);
    const std::u16string created[] = {u"Left", u"stored", u"stored", u"stored", u"Off"};
    for (int i = 0; i < BUTTON_COUNT; ++i) EXPECT_EQ(DisplayNameOf(s.buttons[i]), created[i]) << i;

    g_uiTexts[UiText::str_leftbt] = u"Левая";
    RespellDisplayNames(s);
    const std::u16string respelled[] = {u"Левая", u"Win + Esc", u"stored", u"stored", u"Off"};
    for (int i = 0; i < BUTTON_COUNT; ++i) EXPECT_EQ(DisplayNameOf(s.buttons[i]), respelled[i]) << i;

    EXPECT_EQ(SelectedButtonLabel(0), u"Button 1");
    EXPECT_EQ(SelectedButtonLabel(4), u"Button 5");
}

TEST_F(ButtonTextsTest, AStoredNameWithoutItsEndReadsWithinItsBuffer) {
    SettingsImage s = WithFunctions({FUNC_MACRO});
    for (char16_t& c : s.buttons[0].displayName) c = u'x';
    EXPECT_EQ(DisplayNameOf(s.buttons[0]).size(), size_t(DISPLAY_NAME_LENGTH));
}

TEST(SelectorHoverTest, NarrowedRectanglesInFrontUnderTheCursor) {
    // Selectors of the page at (80, 146) on a main window at (100, 50).
    HoverRect rects[BUTTON_COUNT];
    for (int k = 0; k < BUTTON_COUNT; ++k) rects[k] = {183, 216 + 40 * k, 325, 236 + 40 * k};
    struct Case {
        int x, y;
        bool inFront;
        int under;
        int number;
    };
    const Case cases[] = {
        {250, 220, true, 0, 1},   {250, 380, true, 4, 5},  {200, 220, true, 0, 1},
        {199, 220, true, 0, 0},   // inside the selector, but in its left 17 pixels
        {308, 220, true, 0, 0},   // and its right 17
        {307, 220, true, 0, 1},   {250, 220, false, 0, 0}, {250, 220, true, -1, 0},
        {250, 220, true, 1, 0},   // another window is under the cursor
        {250, 240, true, 0, 0},   // between two selectors
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectorHoverNumber(rects, c.x, c.y, c.inFront, c.under), c.number) << c.x << "," << c.y;
}

// ---- assignments against the simulated mouse

class ButtonAssignTest : public testing::Test, protected CableDriverFixture {
protected:
    ButtonAssignTest() {
        settings = WithFunctions({1, 2, 4, 8, 16});
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        ClearButtonMacroIds();
        g_uiTexts = UiTextTable{};
        g_uiTexts[UiText::str_Macro] = u"Macro";
        g_uiTexts[UiText::str_backward] = u"Back";
    }
    ~ButtonAssignTest() override {
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        ClearButtonMacroIds();
        g_uiTexts = UiTextTable{};
    }

    void Open() { ASSERT_TRUE(CableDriverFixture::Open()); }

    MacroRecord& StoreMacro(int index, uint32_t id, const char16_t* name) {
        MacroRecord& m = g_macroStore.records[index];
        m.size = 112;
        m.magic = MACRO_MAGIC;
        m.macroId = id;
        m.events[0] = MakeMacroEvent(MACRO_EVENT_PRESS, 0x41);
        m.events[1] = MakeMacroEvent(MACRO_EVENT_RELEASE, 0x41);
        m.eventCount = 2;
        CopyToBuffer(m.name, name);
        return m;
    }

    SettingsImage settings;
    ButtonAssigner assigner{settings, &driver};
};

TEST_F(ButtonAssignTest, EachFixedFunctionGoesToTheDeviceButton) {
    Open();
    struct Case {
        const char* what;
        int button;
        FunctionId id;
        Bytes wire;
    };
    const Case cases[] = {
        {"selector 4 backward", 3, FUNC_BACKWARD, {0x06, 0x04, 0x01, 0x00, 0xF3, 0x00}},
        {"selector 5 forward", 4, FUNC_FORWARD, {0x06, 0x03, 0x01, 0x00, 0xF4, 0x00}},
        {"selector 1 right", 0, FUNC_RIGHT_BUTTON, {0x06, 0x00, 0x01, 0x00, 0xF1, 0x00}},
        {"selector 2 middle", 1, FUNC_MIDDLE_BUTTON, {0x06, 0x01, 0x01, 0x00, 0xF2, 0x00}},
        {"selector 3 left", 2, FUNC_LEFT_BUTTON, {0x06, 0x02, 0x01, 0x00, 0xF0, 0x00}},
        {"disable", 2, FUNC_DISABLED, {0x06, 0x02, 0x00, 0x00, 0x00, 0x00}},
        {"double click", 1, FUNC_DOUBLE_CLICK, {0x06, 0x01, 0x0A, 0xF0, 0x18, 0x02}},
        {"DPI row 2", 3, *DpiMenuFunction(2), {0x06, 0x04, 0x07, 0x00, 0x01, 0x00}},
        {"DPI row 1", 0, *DpiMenuFunction(1), {0x06, 0x00, 0x07, 0x00, 0x03, 0x00}},
        {"DPI row 3", 0, *DpiMenuFunction(3), {0x06, 0x00, 0x07, 0x00, 0x02, 0x00}},
        {"media row 2", 4, *MediaMenuFunction(2), {0x06, 0x03, 0x03, 0x00, 0xCD, 0x00}},
        {"media row 1", 0, *MediaMenuFunction(1), {0x06, 0x00, 0x03, 0x00, 0x83, 0x01}},
        {"media row 18", 1, *MediaMenuFunction(18), {0x06, 0x01, 0x03, 0x00, 0x2A, 0x02}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        backend.ClearLog();
        ASSERT_TRUE(assigner.AssignFixed(c.button, c.id));
        EXPECT_EQ(Commands(), std::vector<Bytes>{c.wire});
        EXPECT_EQ(settings.buttons[c.button].functionId, c.id);
    }
    EXPECT_EQ(DisplayNameOf(settings.buttons[3]), u"") << "row 2 of the DPI popup has no text loaded";
    EXPECT_EQ(mouse->Settings().buttons[4], 0x00010007u) << "device button 4 took DPI up";
}

TEST_F(ButtonAssignTest, ARecordAndItsNameChangeBeforeTheCommand) {
    Open();
    ASSERT_TRUE(assigner.AssignFixed(3, FUNC_BACKWARD));
    EXPECT_EQ(DisplayNameOf(settings.buttons[3]), u"Back");
    // Without a driver the record still changes; nothing can be sent.
    ButtonAssigner offline(settings, nullptr);
    backend.ClearLog();
    ASSERT_TRUE(offline.AssignFixed(0, FUNC_DISABLED));
    EXPECT_EQ(settings.buttons[0].functionId, FUNC_DISABLED);
    EXPECT_TRUE(Commands().empty());
    // What cannot be assigned leaves everything as it was.
    const SettingsImage before = settings;
    EXPECT_FALSE(assigner.AssignFixed(5, FUNC_LEFT_BUTTON));
    EXPECT_FALSE(assigner.AssignFixed(-1, FUNC_LEFT_BUTTON));
    EXPECT_FALSE(assigner.AssignFixed(1, FUNC_MACRO)) << "no fixed code";
    EXPECT_EQ(std::memcmp(&before, &settings, sizeof(settings)), 0);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(ButtonAssignTest, AKeyCombinationSendsItsOwnCode) {
    Open();
    ASSERT_TRUE(assigner.AssignKeyCombination(3, 0x00290800));
    EXPECT_EQ(Commands(), std::vector<Bytes>{(Bytes{0x06, 0x04, 0x00, 0x08, 0x29, 0x00})});
    EXPECT_EQ(settings.buttons[3].functionId, FUNC_SINGLE_KEY);
    EXPECT_EQ(settings.buttons[3].deviceCode, 0x00290800u);
    EXPECT_EQ(DisplayNameOf(settings.buttons[3]), u"Win + Esc");
}

TEST_F(ButtonAssignTest, AMacroIsUploadedToItsSlotThenAssigned) {
    Open();
    StoreMacro(7, 0x15000042, u"Greeting");
    ASSERT_TRUE(assigner.AssignMacro(3, 0x15000042));

    // Ten chunks into slot 4 (selector 4's device number), 50 ms, then the code.
    std::vector<SimReport> log = backend.Log();
    ASSERT_FALSE(log.empty());
    const SimReport& last = log.back();
    EXPECT_EQ(Bytes(last.bytes.begin() + 1, last.bytes.begin() + 7), (Bytes{0x06, 0x04, 0x09, 0x00, 0x04, 0x00}));
    int outputs = 0;
    uint32_t lastChunk = 0;
    for (const SimReport& r : log)
        if (r.kind == SimReport::Kind::Output) {
            ++outputs;
            lastChunk = r.time;
        }
    EXPECT_EQ(outputs, 10);
    EXPECT_GE(last.time - lastChunk, 50u);
    uint8_t expected[MACRO_IMAGE_BUFFER_SIZE];
    BuildDeviceMacroImage(g_macroStore.records[7], 4, expected, VkToHidUsage);
    EXPECT_EQ(mouse->MacroImage(4), Bytes(expected, expected + DEVICE_MACRO_IMAGE_SIZE));
    EXPECT_EQ(mouse->Settings().buttons[4], 0x00040009u);

    EXPECT_EQ(settings.buttons[3].functionId, FUNC_MACRO);
    EXPECT_EQ(settings.buttons[3].macroId, 0x15000042);
    EXPECT_EQ(g_buttonMacroIds[3], 0x15000042);
    EXPECT_EQ(DisplayNameOf(settings.buttons[3]), u"Macro - Greeting");
}

TEST_F(ButtonAssignTest, AMacroThatCannotReachTheMouseAssignsNothing) {
    Open();
    StoreMacro(0, 0x15000001, u"Empty");
    g_macroStore.records[0].size = 0;
    StoreMacro(1, 0x15000002, u"Refused");
    struct Case {
        const char* what;
        int32_t macroId;
        std::function<void()> fault;
    };
    const Case cases[] = {
        {"not in the store", 0x15000099, nullptr},
        {"an empty record", 0x15000001, nullptr},
        {"chunk 5 fails", 0x15000002, [&] { mouse->SetMacroChunkFault(5, SimChunkFault::FailData); }},
        {"a header refused", 0x15000002, [&] { mouse->SetMacroChunkFault(0, SimChunkFault::RefuseHeader); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.fault) c.fault();
        backend.ClearLog();
        const SettingsImage before = settings;
        EXPECT_FALSE(assigner.AssignMacro(1, c.macroId));
        EXPECT_EQ(std::memcmp(&before, &settings, sizeof(settings)), 0);
        EXPECT_EQ(g_buttonMacroIds[1], 0);
        for (const Bytes& command : Commands()) EXPECT_NE(command[0], CMD_SET_BUTTON);
    }
    EXPECT_EQ(mouse->Settings().buttons[1], SIM_CODE_RIGHT);
    // No device open: the upload cannot happen either.
    ButtonAssigner offline(settings, nullptr);
    EXPECT_FALSE(offline.AssignMacro(1, 0x15000002));
    EXPECT_EQ(settings.buttons[1].functionId, FUNC_RIGHT_BUTTON);
}

TEST_F(ButtonAssignTest, AMacroNameFillsItsBufferAtMost) {
    Open();
    MacroRecord& m = StoreMacro(2, 0x15000003, u"");
    for (char16_t& c : m.name) c = u'n';  // no terminator in the stored name
    g_uiTexts[UiText::str_Macro] = std::u16string(300, u'M');
    ASSERT_TRUE(assigner.AssignMacro(0, 0x15000003));
    EXPECT_EQ(DisplayNameOf(settings.buttons[0]).size(), size_t(DISPLAY_NAME_LENGTH - 1));
    EXPECT_EQ(settings.buttons[0].displayName[DISPLAY_NAME_LENGTH - 1], u'\0');
}

TEST_F(ButtonAssignTest, StepperNoticesStoreAndSendTheirTimes) {
    Open();
    assigner.StepperChanged(0, 7);
    assigner.StepperChanged(1, 900);
    assigner.StepperChanged(2, 5);  // no stepper sends this
    EXPECT_EQ(Commands(), (std::vector<Bytes>{{0x05, 0x01, 0x07, 0x00, 0x00, 0x00},
                                              {0x05, 0x03, 0x84, 0x03, 0x00, 0x00}}));
    EXPECT_EQ(settings.debounceTime, 7);
    EXPECT_EQ(settings.powerDownTime, 900u);
    EXPECT_EQ(mouse->Settings().debounce, 7);
    EXPECT_EQ(mouse->Settings().powerDown, 900);
}

}  // namespace

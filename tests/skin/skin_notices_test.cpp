// The decodes of the skinned controls' notices: each reads its own message
// and nothing else.
#include <gtest/gtest.h>

#include "skin/skin_notices.h"

namespace {

constexpr uintptr_t kWindow = 0x5A5A0;

TEST(SkinNoticesTest, EachDecodeReadsItsOwnMessageOnly) {
    struct Case {
        const char* what;
        SkinMessage m;
        bool click, command, editChange, menu, pressRelease, slider, value, stepper;
    };
    const Case cases[] = {
        {"click of an id-0 button", {0x111, 0, intptr_t(kWindow)}, true, true, false, false, false, false, false, false},
        {"click of a button with an id", {0x111, 7, intptr_t(kWindow)}, true, true, false, false, false, false, false, false},
        {"a double click's second press", {0x111, 0x00050000, intptr_t(kWindow)}, false, true, false, false, false, false, false, false},
        {"an edit's change", {0x111, 0x03000007, intptr_t(kWindow)}, false, true, true, false, false, false, false, false},
        {"another command code (EN_SETFOCUS)", {0x111, 0x01000007, intptr_t(kWindow)}, false, true, false, false, false, false, false, false},
        {"a menu command: no window", {0x111, 40001, 0}, false, false, false, true, false, false, false, false},
        {"an accelerator: no window, code 1", {0x111, 0x00019C41, 0}, false, false, false, false, false, false, false, false},
        {"press", {0x70D, 0x201, intptr_t(kWindow)}, false, false, false, false, true, false, false, false},
        {"release", {0x70D, 0x202, intptr_t(kWindow)}, false, false, false, false, true, false, false, false},
        {"press with another button message", {0x70D, 0x204, intptr_t(kWindow)}, false, false, false, false, false, false, false, false},
        {"press without a window", {0x70D, 0x201, 0}, false, false, false, false, false, false, false, false},
        {"slider moving", {0x800, 120, 3}, false, false, false, false, false, true, false, false},
        {"slider released", {0x801, 120, 3}, false, false, false, false, false, true, false, false},
        {"value", {0x802, 1250, 9}, false, false, false, false, false, false, true, false},
        {"stepper", {0x809, 1, 600}, false, false, false, false, false, false, false, true},
        {"something else", {0x803, 1, 2}, false, false, false, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DecodeClick(c.m).has_value(), c.click);
        EXPECT_EQ(DecodeCommand(c.m).has_value(), c.command);
        EXPECT_EQ(DecodeEditChange(c.m).has_value(), c.editChange);
        EXPECT_EQ(DecodeMenuCommand(c.m).has_value(), c.menu);
        EXPECT_EQ(DecodePressRelease(c.m).has_value(), c.pressRelease);
        EXPECT_EQ(DecodeSliderMove(c.m).has_value(), c.slider);
        EXPECT_EQ(DecodeValueChanged(c.m).has_value(), c.value);
        EXPECT_EQ(DecodeStepper(c.m).has_value(), c.stepper);
    }
}

TEST(SkinNoticesTest, FieldsComeFromWhereEachNoticePutsThem) {
    EXPECT_EQ(DecodeClick({0x111, 0, intptr_t(kWindow)})->control, kWindow);
    EXPECT_EQ(DecodeCommand({0x111, 0x00050000, intptr_t(kWindow)})->control, kWindow);
    EXPECT_EQ(DecodeEditChange({0x111, 0x03000000, intptr_t(kWindow)})->control, kWindow);
    EXPECT_EQ(DecodeMenuCommand({0x111, 0xE091, 0})->id, 0xE091u);

    auto press = DecodePressRelease({0x70D, 0x201, intptr_t(kWindow)});
    EXPECT_EQ(press->button, kWindow);
    EXPECT_TRUE(press->pressed);
    EXPECT_FALSE(DecodePressRelease({0x70D, 0x202, intptr_t(kWindow)})->pressed);

    auto moving = DecodeSliderMove({0x800, 599, 4});
    EXPECT_EQ(moving->sliderId, 4);
    EXPECT_EQ(moving->value, 599);
    EXPECT_FALSE(moving->released);
    EXPECT_TRUE(DecodeSliderMove({0x801, 0, 4})->released);

    auto value = DecodeValueChanged({0x802, 26000, 1005});
    EXPECT_EQ(value->controlId, 1005);
    EXPECT_EQ(value->value, 26000u);

    auto step = DecodeStepper({0x809, 0, 8});
    EXPECT_EQ(step->mode, 0);
    EXPECT_EQ(step->value, 8);
}

}  // namespace

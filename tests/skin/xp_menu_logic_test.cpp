// The context menus' window hook decisions and row geometry.
#include <gtest/gtest.h>

#include <string>

#include "skin/xp_menu_logic.h"

namespace {

TEST(XpMenuHookTest, OnlyTheSystemMenuClassIsTakenOver) {
    struct Case {
        std::u16string name;
        bool menu;
    };
    const Case cases[] = {
        {u"#32768", true},      {u"#32769", false},    {u"#3276", false},       {u"#327680", false},
        {u"#32768xxxx", false}, {u"#32768xxxxyz", false}, {u"", false},         {u"Button", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsMenuWindowClass(c.name.c_str(), c.name.size()), c.menu) << c.name.size();
    // What the hook reads is cut at 10 characters.
    std::u16string cut = u"#32768";
    EXPECT_TRUE(IsMenuWindowClass(cut.c_str(), cut.size()));
    EXPECT_FALSE(IsMenuWindowClass(nullptr, 6));
}

TEST(XpMenuHookTest, ShrinkOnlyForRealSizeChanges) {
    const SkinSize now{106, 66};
    struct Case {
        bool noSize;
        SkinSize proposed;
        bool shrunkBefore;
        bool shrink;
    };
    const Case cases[] = {
        {false, {112, 72}, false, true},   // the first sizing
        {false, {106, 66}, false, true},   // shown at the size it was made with
        {false, {106, 66}, true, false},   // restating the shrunk size: never again
        {false, {140, 72}, true, true},    // a new size
        {true, {112, 72}, false, false},   // a move only
        {true, {0, 0}, true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShouldShrinkMenuWindow(c.noSize, c.proposed, now, c.shrunkBefore), c.shrink)
            << c.proposed.cx << " " << c.shrunkBefore;
    EXPECT_EQ(ShrunkMenuWindowSize({112, 72}, 1, 1), (SkinSize{106, 66}));
    EXPECT_EQ(ShrunkMenuWindowSize({112, 72}, 2, 3), (SkinSize{104, 62}));
}

TEST(XpMenuRowTest, TrayRowParts) {
    XpMenuExRowLayout normal = LayoutXpMenuExRow({0, 22, 100, 44}, false);
    EXPECT_EQ(normal.icon, (SkinPoint{3, 25}));
    EXPECT_EQ(normal.text, (SkinRect{33, 22, 100, 44}));
    EXPECT_EQ(normal.iconColumn, (SkinRect{0, 22, 25, 44}));
    EXPECT_EQ(normal.textColumn, (SkinRect{25, 22, 100, 44}));
    EXPECT_EQ(LayoutXpMenuExRow({0, 22, 100, 44}, true).icon, (SkinPoint{2, 24}));
    EXPECT_EQ(XpMenuTextRect({4, 0, 164, 20}), (SkinRect{12, 0, 164, 20}));
}

}  // namespace

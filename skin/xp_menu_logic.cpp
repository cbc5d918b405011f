#include "skin/xp_menu_logic.h"

#include <algorithm>
#include <string_view>

bool IsMenuWindowClass(const char16_t* name, size_t length) {
    if (!name) return false;
    std::u16string_view read(name, std::min<size_t>(length, 10));
    return read == u"#32768";
}

bool ShouldShrinkMenuWindow(bool noSize, SkinSize proposed, SkinSize current, bool shrunkBefore) {
    if (noSize) return false;
    return !(shrunkBefore && proposed == current);
}

SkinSize ShrunkMenuWindowSize(SkinSize proposed, int cxBorder, int cyBorder) {
    return {proposed.cx - (2 * cxBorder + 4), proposed.cy - (2 * cyBorder + 4)};
}

XpMenuExRowLayout LayoutXpMenuExRow(const SkinRect& r, bool selected) {
    XpMenuExRowLayout layout;
    layout.icon = selected ? SkinPoint{r.left + 2, r.top + 2} : SkinPoint{r.left + 3, r.top + 3};
    layout.text = {r.left + 25 + 8, r.top, r.right, r.bottom};
    layout.iconColumn = {r.left, r.top, r.left + 25, r.bottom};
    layout.textColumn = {r.left + 25, r.top, r.right, r.bottom};
    return layout;
}

SkinRect XpMenuTextRect(const SkinRect& row) {
    return {row.left + 8, row.top, row.right, row.bottom};
}

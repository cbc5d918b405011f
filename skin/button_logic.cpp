#include "skin/button_logic.h"

ButtonLook ChooseButtonLook(const ButtonLookInput& in) {
    bool pressedLook = in.checkMode ? in.checked : in.selected;
    if (pressedLook) return {StateImage::Pressed, in.pressedColor};
    if (in.hovered && in.hoverEnabled) return {StateImage::Hover, in.hoverColor};
    if (in.disabled) return {StateImage::None, kDisabledCaptionColor};
    return {StateImage::Normal, in.normalColor};
}

SkinRect CaptionRect(int clientWidth, int clientHeight, int textHeight, int textOffsetX) {
    SkinRect r;
    r.left = 5 + textOffsetX;
    r.right = clientWidth - 5;
    r.top = clientHeight / 2 - textHeight / 2;
    r.bottom = clientHeight;
    return r;
}

SkinRect CaptionRectIn(const SkinRect& textRect, bool pressedColour) {
    SkinRect r{textRect.left + 5, textRect.top, textRect.right - 5, textRect.bottom};
    if (pressedColour) {
        r.left += 1;
        r.right += 1;
        r.top += 1;
        r.bottom += 1;
    }
    return r;
}

SkinPoint CaptionOrigin(int w, int h, int cx, int cy, int orientation, int offsetX, int offsetY) {
    SkinPoint p;
    switch (orientation) {
    case 2:
        p = {w / 2 - cy / 2, h / 2 + cx / 2};
        break;
    case 3:
        p = {w / 2 + cy / 2, h / 2 - cx / 2};
        break;
    default:
        p = {w / 2 - cx / 2, h / 2 - cy / 2};
        break;
    }
    p.x += offsetX;
    p.y += offsetY;
    return p;
}

int CaptionEscapement(int orientation) {
    return orientation == 2 ? 900 : orientation == 3 ? 2700 : 0;
}

SkinSize DevicePictureSize(int width, int height) {
    return {width * 8 / 10, height * 8 / 10};
}

std::optional<int> RoundedDpiEntry(uint32_t entered) {
    if (entered == 0) return std::nullopt;
    uint32_t rounded = entered / 50 * 50;
    if (entered % 50 > 25) rounded += 50;
    return static_cast<int>(rounded);
}

bool PressAllowed(bool mouseEnabled, bool hoverEnabled, bool gatesOnHover) {
    if (!mouseEnabled) return false;
    return !(gatesOnHover && !hoverEnabled);
}

IrrLook ChooseIrrLook(const IrrLookInput& in) {
    if (in.useSelectedLook) {
        if (in.selected) return {IrrImage::Selected, in.selectedColor};
        if (in.hovered) return {IrrImage::Hover, in.hoverColor};
        return {IrrImage::Normal, in.normalColor};
    }
    if (in.disabled) return {IrrImage::None, in.normalColor};
    if (in.odsSelected) return {IrrImage::Selected, in.selectedColor};
    if (in.hovered) return {IrrImage::Hover, in.hoverColor};
    return {IrrImage::Normal, in.normalColor};
}

SkinPoint IrrCaptionOrigin(int centreX, int centreY, int characters) {
    int x = characters <= 5 ? centreX - 8 * characters - 2 : centreX - 4 * characters - 2;
    int y = centreY - 6;
    return {x < 0 ? 0 : x, y < 0 ? 0 : y};
}

#include "skin/control_handlers_win32.h"

#include "skin/bars_win32.h"
#include "skin/skin_notices.h"

void CControlHandlers::Add(Kind kind, const CWnd* control, const CHProgressBar* slider,
                           std::function<void(int, int)> handler, uint32_t menuId) {
    m_entries.push_back(Entry{kind, control, slider, menuId, std::move(handler)});
}

void CControlHandlers::Click(const CWnd& control, std::function<void()> handler) {
    Add(Kind::Click, &control, nullptr, [h = std::move(handler)](int, int) { h(); });
}

void CControlHandlers::Command(const CWnd& control, std::function<void()> handler) {
    Add(Kind::Command, &control, nullptr, [h = std::move(handler)](int, int) { h(); });
}

void CControlHandlers::EditChanged(const CWnd& edit, std::function<void()> handler) {
    Add(Kind::EditChanged, &edit, nullptr, [h = std::move(handler)](int, int) { h(); });
}

void CControlHandlers::MenuCommand(uint32_t id, std::function<void()> handler) {
    Add(Kind::MenuCommand, nullptr, nullptr, [h = std::move(handler)](int, int) { h(); }, id & 0xFFFF);
}

void CControlHandlers::PressRelease(const CWnd& button, std::function<void(bool pressed)> handler) {
    Add(Kind::PressRelease, &button, nullptr, [h = std::move(handler)](int pressed, int) { h(pressed != 0); });
}

void CControlHandlers::SliderMoving(const CHProgressBar& slider, std::function<void(int value)> handler) {
    Add(Kind::SliderMoving, &slider, &slider, [h = std::move(handler)](int value, int) { h(value); });
}

void CControlHandlers::SliderReleased(const CHProgressBar& slider, std::function<void(int value)> handler) {
    Add(Kind::SliderReleased, &slider, &slider, [h = std::move(handler)](int value, int) { h(value); });
}

void CControlHandlers::ValueChanged(const CWnd& control, std::function<void(uint32_t value)> handler) {
    Add(Kind::ValueChanged, &control, nullptr,
        [h = std::move(handler)](int value, int) { h(static_cast<uint32_t>(value)); });
}

void CControlHandlers::StepperChanged(std::function<void(int mode, int value)> handler) {
    Add(Kind::Stepper, nullptr, nullptr, std::move(handler));
}

bool CControlHandlers::Dispatch(UINT msg, WPARAM wp, LPARAM lp) const {
    const SkinMessage m{msg, static_cast<uintptr_t>(wp), static_cast<intptr_t>(lp)};
    const Entry* found = nullptr;
    int a = 0, b = 0;
    auto sentBy = [](const Entry& e, uintptr_t window) {
        return e.control->m_hWnd && reinterpret_cast<uintptr_t>(e.control->m_hWnd) == window;
    };
    for (const Entry& e : m_entries) {
        switch (e.kind) {
        case Kind::Click:
            if (auto n = DecodeClick(m); n && sentBy(e, n->control)) found = &e;
            break;
        case Kind::Command:
            if (auto n = DecodeCommand(m); n && sentBy(e, n->control)) found = &e;
            break;
        case Kind::EditChanged:
            if (auto n = DecodeEditChange(m); n && sentBy(e, n->control)) found = &e;
            break;
        case Kind::MenuCommand:
            if (auto n = DecodeMenuCommand(m); n && n->id == e.menuId) found = &e;
            break;
        case Kind::PressRelease:
            if (auto n = DecodePressRelease(m); n && sentBy(e, n->button)) {
                found = &e;
                a = n->pressed ? 1 : 0;
            }
            break;
        case Kind::SliderMoving:
        case Kind::SliderReleased:
            if (auto n = DecodeSliderMove(m);
                n && n->sliderId == e.slider->m_id && n->released == (e.kind == Kind::SliderReleased)) {
                found = &e;
                a = n->value;
            }
            break;
        case Kind::ValueChanged:
            if (auto n = DecodeValueChanged(m); n && e.control->m_hWnd && n->controlId == e.control->GetDlgCtrlID()) {
                found = &e;
                a = static_cast<int>(n->value);
            }
            break;
        case Kind::Stepper:
            if (auto n = DecodeStepper(m)) {
                found = &e;
                a = n->mode;
                b = n->value;
            }
            break;
        }
        if (found) break;
    }
    if (!found) return false;
    // A handler may close the window that owns this table: run a copy.
    std::function<void(int, int)> handler = found->handler;
    handler(a, b);
    return true;
}

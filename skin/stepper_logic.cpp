#include "skin/stepper_logic.h"

#include <algorithm>

namespace {

constexpr int kPlusBottom = 32;
constexpr int kMinusTop = 84;
constexpr int kMinusBottom = 118;

// A zone is the client rectangle with its top and bottom replaced: only the
// columns come from the button's own size.
bool InRows(int x, int y, int width, int top, int bottom) {
    return x >= 0 && x < width && y >= top && y < bottom;
}

}  // namespace

StepperZone StepperZoneAt(int x, int y, int clientWidth) {
    if (InRows(x, y, clientWidth, 0, kPlusBottom)) return StepperZone::Plus;
    if (InRows(x, y, clientWidth, kMinusTop, kMinusBottom)) return StepperZone::Minus;
    return StepperZone::None;
}

StepperPlan StepperModel::PlanPress(StepperZone zone) const {
    StepperPlan plan;
    if (zone == StepperZone::None) return plan;
    const int delta = zone == StepperZone::Plus ? 1 : -1;
    if (m_mode == STEPPER_LIST_MODE) {
        if (!m_items || m_itemCount <= 0) return plan;
        const int index = std::clamp(m_value, 0, m_itemCount - 1);
        const int next = index + delta;
        if (next < 0 || next >= m_itemCount) return plan;
        plan.step = true;
        plan.newValue = next;
        plan.reported = m_items[next];
        return plan;
    }
    if (m_mode != STEPPER_COUNTER_MODE) return plan;
    const int value = std::clamp(m_value, 0, STEPPER_COUNTER_MAX);
    const int next = value + delta;
    if (next < 0 || next > STEPPER_COUNTER_MAX) return plan;
    plan.step = true;
    plan.confirm = next <= STEPPER_CONFIRM_AT_OR_BELOW;
    plan.newValue = next;
    plan.reported = next;
    return plan;
}

std::optional<int> StepperModel::Press(StepperZone zone, const std::function<bool()>& confirm) {
    const StepperPlan plan = PlanPress(zone);
    if (!plan.step) return std::nullopt;
    if (plan.confirm && !(confirm && confirm())) return std::nullopt;
    m_value = plan.newValue;
    return plan.reported;
}

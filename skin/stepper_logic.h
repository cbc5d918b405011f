// The stepper's decisions, apart from its window: which part of the button a
// press lands in, and what a press there does to the value: nothing, a step,
// or a step the user must confirm first.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

// Counter mode counts 0..30; list mode moves an index over the owner's values.
constexpr int STEPPER_COUNTER_MODE = 0;
constexpr int STEPPER_LIST_MODE = 1;
constexpr int STEPPER_COUNTER_MAX = 30;
// Debounce steps that end at this value or below ask the user first.
constexpr int STEPPER_CONFIRM_AT_OR_BELOW = 8;

// The plus part is the top 32 rows, the minus part rows 84 to 117; the band
// between them and the rows below are neither.
enum class StepperZone { None, Plus, Minus };
StepperZone StepperZoneAt(int x, int y, int clientWidth);

struct StepperPlan {
    bool step = false;     // false: the press changes nothing and reports nothing
    bool confirm = false;  // the step waits for the user's OK
    int newValue = 0;      // m_value after the step (the index in list mode)
    int reported = 0;      // lParam of the change notice: the value, not the index
    bool operator==(const StepperPlan&) const = default;
};

// The stepper's members as the owner sets them.
class StepperModel {
public:
    int m_value = 8;  // counter: the value; list: the index into m_items
    int m_mode = STEPPER_COUNTER_MODE;
    const int32_t* m_items = nullptr;  // list mode: the values, owned by the owner
    int m_itemCount = 0;

    // What a press in the zone does. A value outside its range counts as the
    // nearest end, and a list without items does nothing, so the list is never
    // read out of range whatever the owner stored.
    StepperPlan PlanPress(StepperZone zone) const;
    // A press as the button handles it: asks through confirm when the step
    // needs it, and takes the step only when that says yes. Returns the value
    // to report, or nothing when the value did not change.
    std::optional<int> Press(StepperZone zone, const std::function<bool()>& confirm);
};

// Notifications of the skinned controls to their owners.
#pragma once

constexpr unsigned UWM_BUTTON_PRESS_RELEASE = 0x70D;  // wParam WM_LBUTTONDOWN / WM_LBUTTONUP, lParam the button
constexpr unsigned UWM_SLIDER_MOVING = 0x800;         // wParam value, lParam slider id
constexpr unsigned UWM_SLIDER_RELEASED = 0x801;       // wParam value, lParam slider id
constexpr unsigned UWM_VALUE_CHANGED = 0x802;         // wParam value, lParam control id
constexpr unsigned UWM_STEPPER_CHANGED = 0x809;       // wParam mode, lParam value
constexpr unsigned UWM_SCROLLFRAME_RELAYOUT = 0x464;  // wParam has a vertical bar, lParam it is on the left
constexpr unsigned UWM_LIST_SELCHANGE = 0x465;        // wParam list id, lParam the selected row
constexpr unsigned UWM_LIST_DBLCLK = 0x470;           // wParam list id, lParam the edited row

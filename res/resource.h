// Resource ids shared by the resource script and the code.
#pragma once

#define IDI_ABOUT_ICON 128
#define IDI_MAIN_ICON 141

// Dialog templates (res/dialogs.rc).
#define IDD_ABOUTBOX 100
#define IDD_MAIN_DIALOG 102
#define IDD_BUTTON_PAGE 129
#define IDD_MACRO_PAGE 131
#define IDD_ADVANCED_PAGE 133
#define IDD_LED_PAGE 134
#define IDD_KEY_COMBO_DIALOG 136
#define IDD_MACRO_PICKER_DIALOG 137
#define IDD_PROGRESS_DIALOG 140
#define IDD_VALUE_ENTRY_DIALOG 145
#define IDD_DEVICE_PAGE 146
#define IDD_FIRE_KEY_DIALOG 148
#define IDD_DEBOUNCE_DIALOG 150
#define IDD_RATE_DIALOG 151
#define IDD_FIRMWARE_DIALOG 153

// Popup and tray menu rows.
#define IDI_TRAY_SHOW 142
#define IDI_TRAY_EXIT 143
#define IDB_PROFILE_POPUP 149

// Switching the active profile, apart from the window: the profile store
// saves the current profile and loads the chosen one; the window shows its
// number, writes it to the mouse and fills the pages.
#pragma once

class UserNoticeSink;

class ProfileSwitchView {
public:
    virtual ~ProfileSwitchView() = default;
    // The profile button's caption: the profile number 1..4.
    virtual void ShowProfileNumber(int number) = 0;
    // Writes every setting to the mouse behind the progress view; returns when it has ended.
    virtual void RunWriteAll() = 0;
    virtual void FillPages() = 0;
};

enum class ProfileSwitchResult {
    Ignored,   // not a profile number, or a sync runs
    Failed,    // the profile's file could not be read: nothing changed
    Reloaded,  // the active profile again: saved and read back, nothing sent
    Switched,  // another profile: now active and written to the mouse
};

// Makes profile `number` (1..4) the active one. While a sync runs nothing may
// touch g_settings, so the request is dropped; the caption always ends up
// showing the profile that is active.
ProfileSwitchResult SwitchToProfile(int number, int& activeProfileIndex, bool syncBusy,
                                    ProfileSwitchView& view, UserNoticeSink* notices);

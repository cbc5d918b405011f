#include "app/main_window/profile_switch.h"

#include "device/profiles.h"

namespace {

constexpr int kFirstProfile = 1;
constexpr int kLastProfile = 4;

}  // namespace

ProfileSwitchResult SwitchToProfile(int number, int& activeProfileIndex, bool syncBusy,
                                    ProfileSwitchView& view, UserNoticeSink* notices) {
    if (number < kFirstProfile || number > kLastProfile) return ProfileSwitchResult::Ignored;
    if (syncBusy) {
        // The profile popup may already show the number that was asked for.
        view.ShowProfileNumber(activeProfileIndex + 1);
        return ProfileSwitchResult::Ignored;
    }
    const int index = number - 1;
    // The store saves the current profile first; a missing file is created
    // from the defaults and the switch goes on with it.
    if (!SwitchActiveProfile(index, notices)) {
        view.ShowProfileNumber(activeProfileIndex + 1);
        return ProfileSwitchResult::Failed;
    }
    view.ShowProfileNumber(number);
    if (index == activeProfileIndex) return ProfileSwitchResult::Reloaded;
    activeProfileIndex = index;
    view.RunWriteAll();
    view.FillPages();
    return ProfileSwitchResult::Switched;
}

// The profile store's tests run in every store environment; the Windows build
// adds the real registry and files to the in-memory ones.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/device_state.h"
#include "device/profiles.h"
#include "device/settings.h"
#include "device/user_notice.h"
#include "support/store_env.h"
#include "text/ui_texts.h"

class RecordingNotices final : public UserNoticeSink {
public:
    struct Notice {
        std::u16string text;
        std::u16string caption;
    };
    void Show(std::u16string_view text, std::u16string_view caption) override {
        shown.push_back({std::u16string(text), std::u16string(caption)});
    }
    std::vector<Notice> shown;
};

template <typename T>
Bytes BytesOfObject(const T& object) {
    const auto* p = reinterpret_cast<const uint8_t*>(&object);
    return Bytes(p, p + sizeof(T));
}

inline Bytes BytesOf(const SettingsImage& record) { return BytesOfObject(record); }

inline Bytes BytesOfTable(const ProfileSlot (&table)[PROFILE_SLOT_COUNT]) {
    return BytesOfObject(table);
}

inline SettingsImage RecordOf(const Bytes& bytes) {
    SettingsImage record{};
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof(record)));
    return record;
}

// A profile record that tells itself apart by its report rate code.
inline SettingsImage SampleRecord(uint8_t reportRateCode) {
    SettingsImage record;
    ResetSettingsToDefaults(record);
    record.reportRateCode = reportRateCode;
    record.yTableMarker = Y_TABLE_MARKER;
    return record;
}

inline std::string StoreEnvName(const ::testing::TestParamInfo<StoreEnvKind>& info) {
    return info.param.name;
}

inline void ResetProfileGlobals() {
    std::memset(&g_settings, 0, sizeof(g_settings));
    std::memset(g_profileSlots, 0, sizeof(g_profileSlots));
    g_activeProfile = nullptr;
    g_defaultSettingInRegistry = 0;
    g_sensorType = 0;
    g_uiTexts = UiTextTable{};
}

class ProfileStoreTest : public ::testing::TestWithParam<StoreEnvKind> {
protected:
    void SetUp() override {
        env = GetParam().make();
        ResetProfileGlobals();
        SetUserNoticeSink(&notices);
    }
    void TearDown() override {
        SetUserNoticeSink(nullptr);
        ResetProfileGlobals();
        env.reset();
    }

    // A fresh environment within one test, for tables of cases.
    void ResetStore() {
        env.reset();
        env = GetParam().make();
        ResetProfileGlobals();
        notices.shown.clear();
    }

    std::u16string ProfilePath(int index) const {
        return env->Folder() + u"Config\\FConfig" + std::u16string(1, char16_t(u'1' + index)) +
               u".ini";
    }

    void PutTable(const ProfileSlot (&table)[PROFILE_SLOT_COUNT]) {
        env->PutValue(u"ConfigInfo", BytesOfTable(table), kRegBinary);
    }

    std::unique_ptr<StoreEnv> env;
    RecordingNotices notices;
};

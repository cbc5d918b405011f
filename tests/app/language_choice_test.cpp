#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "app/language_choice.h"
#include "device/device_state.h"
#include "support/store_env.h"

namespace {

const std::u16string kMarker = u"config\\test.ini";

std::optional<uint32_t> U32(const std::optional<StoredValue>& value) {
    if (!value || value->bytes.size() != 4) return std::nullopt;
    uint32_t v;
    std::memcpy(&v, value->bytes.data(), 4);
    return v;
}

Bytes U32Bytes(uint32_t v) {
    Bytes b(4);
    std::memcpy(b.data(), &v, 4);
    return b;
}

struct LanguageCase {
    const char* name;
    std::optional<Bytes> marker;            // the marker file, absent when nullopt
    std::optional<uint32_t> registryValue;  // the registry value Language
    const char16_t* file;                   // chosen file below the folder; null for none
    uint32_t index;                         // g_languageIndex afterwards
    std::optional<uint32_t> registryAfter;
    std::optional<Bytes> markerAfter;
};

const LanguageCase kCases[] = {
    {"no marker, registry ignored", std::nullopt, 2u, nullptr, 7, 2u, std::nullopt},
    {"first start", Bytes{'0'}, std::nullopt, u"language\\rus.xml", 1, 1u, Bytes{'1'}},
    {"first start overrides English", Bytes{'0', 'x'}, 2u, u"language\\rus.xml", 1, 1u,
     Bytes{'1', 'x'}},
    {"marker 1, value missing", Bytes{'1'}, std::nullopt, u"language\\rus.xml", 1, std::nullopt,
     Bytes{'1'}},
    {"marker 1, value 0 stays 0", Bytes{'1'}, 0u, u"language\\rus.xml", 1, 0u, Bytes{'1'}},
    {"marker 1, Russian", Bytes{'1'}, 1u, u"language\\rus.xml", 1, 1u, Bytes{'1'}},
    {"marker 1, English", Bytes{'1'}, 2u, u"language\\enr.xml", 2, 2u, Bytes{'1'}},
    {"marker 1, AZERTY loads no file", Bytes{'1'}, 3u, nullptr, 3, 3u, Bytes{'1'}},
    {"marker 1, unknown value", Bytes{'1'}, 9u, nullptr, 9, 9u, Bytes{'1'}},
    {"other first byte", Bytes{'2'}, 2u, nullptr, 7, 2u, Bytes{'2'}},
    {"empty marker file", Bytes{}, 2u, nullptr, 7, 2u, Bytes{}},
};

TEST(LanguageChoiceTest, MarkerAndRegistryChooseTheFile) {
    for (const LanguageCase& c : kCases) {
        SCOPED_TRACE(c.name);
        auto env = MemoryStoreEnv().make();
        env->AddFolder(env->Folder() + u"config");
        if (c.marker) env->PutFile(env->Folder() + kMarker, *c.marker);
        if (c.registryValue) env->PutValue(u"Language", U32Bytes(*c.registryValue), kRegBinary);
        g_languageIndex = 7;  // what an earlier reader might have left

        LanguageChoice choice = ChooseLanguage(env->Folder());

        EXPECT_EQ(choice.fileChosen, c.file != nullptr);
        EXPECT_EQ(choice.path, c.file ? env->Folder() + c.file : std::u16string());
        EXPECT_EQ(g_languageIndex, c.index);
        EXPECT_EQ(U32(env->GetValue(u"Language")), c.registryAfter);
        auto marker = env->GetFile(env->Folder() + kMarker);
        EXPECT_EQ(marker, c.markerAfter);
    }
    g_languageIndex = 0;
}

TEST(LanguageChoiceTest, SecondStartAfterTheFirstReadsTheRegistry) {
    auto env = MemoryStoreEnv().make();
    env->AddFolder(env->Folder() + u"config");
    env->PutFile(env->Folder() + kMarker, Bytes{'0'});
    ChooseLanguage(env->Folder());
    // The user picks English meanwhile (the menu writes the value).
    env->PutValue(u"Language", U32Bytes(2), kRegBinary);
    LanguageChoice second = ChooseLanguage(env->Folder());
    EXPECT_EQ(second.path, env->Folder() + u"language\\enr.xml");
    EXPECT_EQ(g_languageIndex, 2u);
    g_languageIndex = 0;
}

}  // namespace

// Which macros the picker offers, under what names, and what OK comes to.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/dialogs/macro_picker_model.h"

namespace {

class MacroPickerModelTest : public testing::Test {
protected:
    MacroPickerModelTest() : m_store(std::make_unique<MacroStore>()) { std::memset(m_store.get(), 0, sizeof(MacroStore)); }

    MacroRecord& Put(int slot, uint32_t id, const char16_t* name, uint32_t size = 112, uint32_t magic = MACRO_MAGIC) {
        MacroRecord& r = m_store->records[slot];
        r.size = size;
        r.magic = magic;
        r.macroId = id;
        std::char_traits<char16_t>::copy(r.name, name, std::char_traits<char16_t>::length(name) + 1);
        return r;
    }

    std::unique_ptr<MacroStore> m_store;
};

TEST_F(MacroPickerModelTest, EmptyStoreOffersNothingAndOkIsACancel) {
    MacroPickerList list = BuildMacroPickerList(*m_store);
    EXPECT_TRUE(list.rows.empty());
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(MacroPickerChoice(list, list.selected), std::nullopt);
}

TEST_F(MacroPickerModelTest, SlotOrderLastSelectedAndFilter) {
    Put(7, 0x15000007, u"seven");
    Put(3, 0x15FFFFFF, u"three");
    Put(5, 0x16000000, u"outside the id range");
    Put(6, 0x14FFFFFF, u"below the id range");
    Put(9, 0x15000009, u"free record", 0, 0);
    Put(10, 0x1500000A, u"size alone", 108, 0);           // an old record without its magic
    Put(11, 0x1500000B, u"magic alone", 0, 0xE8E80000);  // the magic's upper half is what counts
    Put(12, 0x1500000C, u"too small, no magic", 107, 0x12340010);

    MacroPickerList list = BuildMacroPickerList(*m_store);
    const std::vector<MacroPickerRow> want = {{u"three", 0x15FFFFFF},
                                              {u"seven", 0x15000007},
                                              {u"size alone", 0x1500000A},
                                              {u"magic alone", 0x1500000B}};
    EXPECT_EQ(list.rows, want);
    EXPECT_EQ(list.selected, 3);
    EXPECT_EQ(MacroPickerChoice(list, list.selected), 0x1500000Bu);
    EXPECT_EQ(MacroPickerChoice(list, 0), 0x15FFFFFFu);
    EXPECT_EQ(MacroPickerChoice(list, -1), std::nullopt);
    EXPECT_EQ(MacroPickerChoice(list, 4), std::nullopt);
}

TEST_F(MacroPickerModelTest, NameWithoutTerminatorIsReadWithinItsRecord) {
    MacroRecord& r = Put(499, 0x15000001, u"");
    for (char16_t& c : r.name) c = u'x';  // a foreign file: no NUL in the name
    MacroPickerList list = BuildMacroPickerList(*m_store);
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_LE(list.rows[0].name.size(), size_t(MACRO_NAME_LENGTH));
    EXPECT_EQ(list.rows[0].name, std::u16string(list.rows[0].name.size(), u'x'));
}

}  // namespace

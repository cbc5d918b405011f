#include "sim/memory_file_system.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

const std::u16string kFolder = u"C:\\Store";
const std::u16string kPath = u"C:\\Store\\MFile.ini";

class MemoryFileSystemTest : public testing::Test {
protected:
    void SetUp() override {
        m_files.AddFolder(kFolder);
        SetFileSystem(&m_files);
    }
    void TearDown() override { SetFileSystem(nullptr); }

    MemoryFileSystem m_files;
};

// Files made after others went (saved beside themselves, replaced, removed)
// hold their own bytes and nothing of the ones before.
TEST_F(MemoryFileSystemTest, FileMadeAfterOthersWentHoldsOnlyItsOwnBytes) {
    const Bytes large(4096, 0xEE);
    const Bytes small{1, 2, 3};
    ASSERT_EQ(WriteWholeFile(kPath, large.data(), large.size()), FileError::None);
    ASSERT_EQ(WriteWholeFile(kPath, large.data(), large.size()), FileError::None);
    ASSERT_EQ(WriteWholeFile(kPath, small.data(), small.size()), FileError::None);
    EXPECT_EQ(m_files.GetFile(kPath), small);
    EXPECT_EQ(m_files.FileNames().size(), 1u);

    ASSERT_TRUE(m_files.Remove(kPath));
    EXPECT_FALSE(m_files.FileExists(kPath));
    const std::u16string other = kFolder + u"\\other.bin";
    {
        std::unique_ptr<File> file = m_files.Open(other, FileOpenMode::CreateWrite, nullptr);
        ASSERT_TRUE(file && file->Write(small.data(), 2));
    }
    EXPECT_EQ(m_files.GetFile(other), Bytes(small.begin(), small.begin() + 2));
    std::unique_ptr<File> empty = m_files.Open(kFolder + u"\\empty.bin", FileOpenMode::CreateReadWrite, nullptr);
    ASSERT_TRUE(empty);
    uint8_t byte = 0;
    EXPECT_EQ(empty->Read(&byte, 1), 0u);
}

// A reader that opened the file before it was saved over keeps reading what it opened.
TEST_F(MemoryFileSystemTest, HandleOnReplacedFileKeepsItsBytes) {
    const Bytes before(3000, 0x11);
    const Bytes after(3000, 0x22);
    m_files.PutFile(kPath, before);
    std::unique_ptr<File> reader = m_files.Open(kPath, FileOpenMode::Read, nullptr);
    ASSERT_TRUE(reader);
    ASSERT_EQ(WriteWholeFile(kPath, after.data(), after.size()), FileError::None);
    ASSERT_EQ(WriteWholeFile(kPath, after.data(), after.size()), FileError::None);

    Bytes read(before.size() + 1);
    EXPECT_EQ(reader->Read(read.data(), read.size()), before.size());
    read.resize(before.size());
    EXPECT_EQ(read, before);
    EXPECT_EQ(m_files.GetFile(kPath), after);
}

}  // namespace

// Win32FileSystem on real files: reading, seeking, and the share modes that
// decide whether a book can be opened while someone else holds it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_file_system.h"

namespace orvane {
namespace {

class Win32Files : public testing::Test {
 protected:
  void SetUp() override {
    char folder[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    char name[MAX_PATH];
    ASSERT_NE(GetTempFileNameA(folder, "orv", 0, name), 0u);
    m_path = name;
    HANDLE file = CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "0123456789", 10, &written, nullptr);
    CloseHandle(file);
  }
  void TearDown() override { DeleteFileA(m_path.c_str()); }

  std::string m_path;
  Win32FileSystem m_files;
};

TEST_F(Win32Files, ReadsSeeksAndTellsTheSize) {
  auto file = m_files.OpenRead(m_path, Share::Read);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Size(), 10);
  char buffer[16] = {};
  EXPECT_EQ(file->Read(buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  ASSERT_TRUE(file->Seek(7));
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 3u);
  EXPECT_EQ(std::string(buffer, 3), "789");
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 0u);
  ASSERT_TRUE(file->Seek(100));  // past the end: nothing to read there
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 0u);

  std::unique_ptr<uint8_t[]> bytes;
  uint32_t length = 0;
  ASSERT_TRUE(file->Seek(0));
  ASSERT_TRUE(ReadWholeFile(*file, bytes, length, 2));
  EXPECT_EQ(length, 10u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.get()), 10), "0123456789");
}

TEST_F(Win32Files, MissingFilesAndFoldersDoNotOpen) {
  EXPECT_EQ(m_files.OpenRead(m_path + ".missing", Share::Read), nullptr);
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  EXPECT_EQ(m_files.OpenRead(folder, Share::Read), nullptr);
  EXPECT_EQ(m_files.OpenRead("", Share::Read), nullptr);
  EXPECT_EQ(m_files.OpenRead(std::string("a\0b", 3), Share::Read), nullptr);
}

TEST_F(Win32Files, ShareModesDecideWhoElseMayOpen) {
  {
    auto first = m_files.OpenRead(m_path, Share::ReadWrite);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(m_files.OpenRead(m_path, Share::ReadWrite), nullptr);
  }
  {
    auto exclusive = m_files.OpenRead(m_path, Share::None);
    ASSERT_NE(exclusive, nullptr);
    EXPECT_EQ(m_files.OpenRead(m_path, Share::ReadWrite), nullptr);
  }
  // A writer elsewhere: only an opener that lets others write gets in.
  HANDLE writer = CreateFileA(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(m_files.OpenRead(m_path, Share::Read), nullptr);
  EXPECT_NE(m_files.OpenRead(m_path, Share::ReadWrite), nullptr);
  CloseHandle(writer);
}

}  // namespace
}  // namespace orvane

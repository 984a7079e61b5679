// PosixFileSystem: Windows paths over a real folder tree.
#include "platform/portable/posix_file_system.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace orvane {
namespace {

namespace fs = std::filesystem;

class PosixFiles : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    m_top = fs::temp_directory_path() /
            (std::string("orvane-files-") + info->name() + "-" + std::to_string(std::rand()));
    fs::remove_all(m_top);
    fs::create_directories(m_top / "Drive" / "Books" / "Toc");
    fs::create_directories(m_top / "Root" / "Lib");
    Write(m_top / "Drive" / "Books" / "Toc" / "Tabari.TOC", "tabari");
    Write(m_top / "Root" / "Lib" / "cat.ini", "catalogue");
  }
  void TearDown() override {
    std::error_code ec;
    fs::current_path(m_savedCwd, ec);
    fs::remove_all(m_top, ec);
  }

  static void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  static std::string Contents(File& file) {
    std::string text(64, '\0');
    text.resize(file.Read(text.data(), text.size()));
    return text;
  }

  PosixFileSystem Files() {
    return PosixFileSystem({{'c', (m_top / "Drive").string()}}, (m_top / "Root").string());
  }

  fs::path m_top;
  fs::path m_savedCwd = fs::current_path();
};

TEST_F(PosixFiles, DriveLettersMapThroughTheTableInEitherCase) {
  PosixFileSystem files = Files();
  for (const char* path : {"C:\\Books\\Toc\\Tabari.TOC", "c:/Books/Toc/Tabari.TOC",
                           "C:\\\\Books\\.\\Toc\\\\Tabari.TOC"}) {
    auto file = files.OpenRead(path, Share::Read);
    ASSERT_NE(file, nullptr) << path;
    EXPECT_EQ(Contents(*file), "tabari");
  }
  EXPECT_EQ(files.OpenRead("D:\\Books\\Toc\\Tabari.TOC", Share::Read), nullptr);
}

TEST_F(PosixFiles, NamesMatchIgnoringAsciiCase) {
  PosixFileSystem files = Files();
  auto upper = files.OpenRead("C:\\BOOKS\\TOC\\TABARI.TOC", Share::Read);
  auto mixed = files.OpenRead("c:\\books\\toc\\tabari.Toc", Share::Read);
  ASSERT_NE(upper, nullptr);
  ASSERT_NE(mixed, nullptr);
  EXPECT_EQ(Contents(*upper), "tabari");
  EXPECT_EQ(Contents(*mixed), "tabari");
  EXPECT_EQ(files.OpenRead("C:\\Books\\Toc\\Tabari.TOCX", Share::Read), nullptr);
}

TEST_F(PosixFiles, TheExactSpellingWinsOverACaseVariant) {
#ifdef _WIN32
  GTEST_SKIP() << "names that differ only in case are one file here";
#endif
  Write(m_top / "Drive" / "Books" / "Toc" / "TABARI.TOC", "upper");
  PosixFileSystem files = Files();
  EXPECT_EQ(Contents(*files.OpenRead("C:\\Books\\Toc\\TABARI.TOC", Share::Read)), "upper");
  EXPECT_EQ(Contents(*files.OpenRead("C:\\Books\\Toc\\Tabari.TOC", Share::Read)), "tabari");
}

TEST_F(PosixFiles, ArabicNamesAreFoundWhenTheDiskSpellsThemInUtf8) {
#ifdef _WIN32
  GTEST_SKIP() << "the standard library converts names through the ANSI code page here";
#endif
  // "Kitab" in Arabic letters: UTF-8 on disk, Windows-1256 in the catalogue.
  Write(m_top / "Drive" / "Books" / "\xd9\x83\xd8\xaa\xd8\xa7\xd8\xa8.TOC", "kitab");
  PosixFileSystem files = Files();
  auto file = files.OpenRead("C:\\Books\\\xdf\xca\xc7\xc8.toc", Share::Read);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Contents(*file), "kitab");
}

TEST_F(PosixFiles, LeadingSeparatorIsRelativeToTheRootAndOthersToTheCurrentFolder) {
  PosixFileSystem files = Files();
  ASSERT_NE(files.OpenRead("\\Lib\\CAT.INI", Share::Read), nullptr);
  fs::current_path(m_top / "Drive" / "Books");
  auto file = files.OpenRead("toc\\tabari.toc", Share::Read);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Contents(*file), "tabari");
  EXPECT_NE(files.OpenRead("..\\Books\\Toc\\Tabari.TOC", Share::Read), nullptr);
}

TEST_F(PosixFiles, DotDotStopsAtTheDriveRoot) {
  PosixFileSystem files = Files();
  EXPECT_NE(files.OpenRead("C:\\..\\..\\Books\\Toc\\..\\Toc\\Tabari.TOC", Share::Read), nullptr);
}

TEST_F(PosixFiles, WhatIsNotAFileDoesNotOpen) {
  PosixFileSystem files = Files();
  EXPECT_EQ(files.OpenRead("C:\\Books\\Toc", Share::Read), nullptr);
  EXPECT_EQ(files.OpenRead("C:\\", Share::Read), nullptr);
  EXPECT_EQ(files.OpenRead("", Share::Read), nullptr);
  EXPECT_EQ(files.OpenRead("\\\\server\\share\\Tabari.TOC", Share::Read), nullptr);
  using namespace std::string_literals;
  EXPECT_EQ(files.OpenRead("C:\\Books\\Toc\\Tabari.TOC\0x"s, Share::Read), nullptr);
  EXPECT_EQ(files.OpenRead("C:\\Books\\Missing\\Tabari.TOC", Share::Read), nullptr);
}

TEST_F(PosixFiles, ReadsSeeksAndTellsTheSize) {
  Write(m_top / "Drive" / "digits", "0123456789");
  PosixFileSystem files = Files();
  auto file = files.OpenRead("C:\\digits", Share::ReadWrite);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Size(), 10);
  char buffer[16] = {};
  EXPECT_EQ(file->Read(buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 6u);
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 0u);
  // After reading to the end, a seek still works.
  ASSERT_TRUE(file->Seek(8));
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 2u);
  EXPECT_EQ(std::string(buffer, 2), "89");
  file->Seek(1000);
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(file->Read(nullptr, 4), 0u);

  std::unique_ptr<uint8_t[]> bytes;
  uint32_t length = 0;
  ASSERT_TRUE(file->Seek(0));
  ASSERT_TRUE(ReadWholeFile(*file, bytes, length, 2));
  EXPECT_EQ(length, 10u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.get()), 10), "0123456789");
}

TEST_F(PosixFiles, StampChangesWhenTheFileIsWritten) {
  PosixFileSystem files = Files();
  const fs::path path = m_top / "Root" / "Lib" / "cat.ini";
  auto before =
      dynamic_cast<StampedFile&>(*files.OpenRead("\\Lib\\cat.ini", Share::Read)).ModifiedStamp();
  ASSERT_TRUE(before.has_value());
  fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
  auto after =
      dynamic_cast<StampedFile&>(*files.OpenRead("\\Lib\\cat.ini", Share::Read)).ModifiedStamp();
  EXPECT_NE(before, after);
}

TEST_F(PosixFiles, TellsAMissingFileFromAMissingFolder) {
  PosixFileSystem files = Files();
  EXPECT_TRUE(files.IsMissingFromExistingFolder("C:\\Books\\Toc\\Other.TOC"));
  EXPECT_TRUE(files.IsMissingFromExistingFolder("C:\\Other.TOC"));
  EXPECT_TRUE(files.IsMissingFromExistingFolder("\\Other.ini"));
  EXPECT_FALSE(files.IsMissingFromExistingFolder("C:\\Books\\Toc\\Tabari.TOC"));
  EXPECT_FALSE(files.IsMissingFromExistingFolder("C:\\Nowhere\\Other.TOC"));
  EXPECT_FALSE(files.IsMissingFromExistingFolder("C:\\Books\\Toc"));
  EXPECT_FALSE(files.IsMissingFromExistingFolder("Z:\\Other.TOC"));
}

}  // namespace
}  // namespace orvane

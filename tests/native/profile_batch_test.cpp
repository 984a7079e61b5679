#include <gtest/gtest.h>

#include "platform/portable/ini_profile_source.h"
#include "test_support.h"

namespace orvane {
namespace {

using test::MemoryFileSystem;

TEST(ProfileBatch, FileIsOpenedAndParsedOncePerBatch) {
  MemoryFileSystem files;
  files.Put("cat.INI", "[S]\r\nA=1\r\nB=2\r\n");
  IniProfileSource profile(files);
  {
    ProfileBatch batch(profile);
    for (int i = 0; i < 50; ++i) {
      EXPECT_EQ(profile.GetString("cat.INI", "S", "A", ""), "1");
      EXPECT_EQ(profile.GetString("cat.INI", "s", "b", ""), "2");
      EXPECT_EQ(profile.GetString("none.INI", "S", "A", "d"), "d");
    }
    EXPECT_EQ(profile.ParseCount(), 1u);
    EXPECT_EQ(files.opened.size(), 2u);  // each file looked at once
  }
  // Outside a batch a change is seen at the next read.
  files.Put("cat.INI", "[S]\r\nA=changed\r\n");
  EXPECT_EQ(profile.GetString("cat.INI", "S", "A", ""), "changed");
  files.Put("none.INI", "[S]\r\nA=now\r\n");
  EXPECT_EQ(profile.GetString("none.INI", "S", "A", "d"), "now");
}

TEST(ProfileBatch, LoadBooksReadsItsCatalogueOnce) {
  test::MemoryFileSystem files;
  files.Put("lib.INI",
            "[Categories]\r\nCount=2\r\nName1=One\r\nName2=Two\r\n"
            "[Category1]\r\nCount=2\r\nTitle1=a\r\nTitle2=b\r\n"
            "[Category2]\r\nCount=1\r\nTitle1=c\r\n");
  IniProfileSource profile(files);
  GapRowList rows;
  RecordingHoverTimer timer;
  OrvaneCore core(rows, profile, files, timer);
  core.LoadBooks("lib");
  EXPECT_EQ(profile.ParseCount(), 1u);
  EXPECT_EQ(core.Outline().BookNode(3)->TitleText(), "c");
  // A later load sees an edited catalogue.
  files.Put("lib.INI", "[Categories]\r\nCount=1\r\nName1=Only\r\n");
  core.LoadBooks("lib");
  EXPECT_EQ(core.Outline().RootList().Count(), 1);
}

}  // namespace
}  // namespace orvane

#include "hosts/testcon/command_line.h"

#include <gtest/gtest.h>

namespace testcon {
namespace {

std::optional<CommandLine> Parse(std::vector<std::wstring> args, std::wstring* error = nullptr) {
  std::wstring ignored;
  return ParseCommandLine(args, error ? *error : ignored);
}

TEST(CommandLine, TakesTheDefaultsForAScriptAlone) {
  auto line = Parse({L"suite.vbs"});
  ASSERT_TRUE(line);
  EXPECT_EQ(line->width, 300);
  EXPECT_EQ(line->height, 400);
  EXPECT_EQ(line->progId, L"ORVANE.OrvaneCtrl.1");
  EXPECT_TRUE(line->propsFile.empty());
  EXPECT_EQ(line->script, L"suite.vbs");
}

TEST(CommandLine, ReadsEveryOptionInAnyOrder) {
  auto line = Parse({L"--props", L"start.props", L"run.js", L"--size", L"640X480", L"--progid",
                     L"{9EBE2CF0-7C53-4DD8-8389-3180337D7FB4}"});
  ASSERT_TRUE(line);
  EXPECT_EQ(line->width, 640);
  EXPECT_EQ(line->height, 480);
  EXPECT_EQ(line->propsFile, L"start.props");
  EXPECT_EQ(line->progId, L"{9EBE2CF0-7C53-4DD8-8389-3180337D7FB4}");
  EXPECT_EQ(line->script, L"run.js");
  EXPECT_TRUE(line->userMode);
  auto design = Parse({L"--design", L"form.vbs"});
  ASSERT_TRUE(design);
  EXPECT_FALSE(design->userMode);
  EXPECT_EQ(design->script, L"form.vbs");
}

TEST(CommandLine, RefusesSizesThatAreNotTwoPositiveSides) {
  for (const wchar_t* size :
       {L"0x10", L"10", L"10x", L"x10", L"-5x10", L"1x8193", L"99999x1", L"12ax4", L""}) {
    std::wstring error;
    EXPECT_FALSE(Parse({L"--size", size, L"a.vbs"}, &error)) << size;
    EXPECT_NE(error.find(L"--size"), std::wstring::npos) << size;
  }
  EXPECT_TRUE(Parse({L"--size", L"8192x1", L"a.vbs"}));
}

TEST(CommandLine, RefusesMissingValuesUnknownOptionsAndSecondScripts) {
  std::wstring error;
  EXPECT_FALSE(Parse({L"a.vbs", L"--props"}, &error));
  EXPECT_EQ(error, L"--props needs a value");
  EXPECT_FALSE(Parse({L"--verbose", L"a.vbs"}, &error));
  EXPECT_EQ(error, L"unknown option --verbose");
  EXPECT_FALSE(Parse({L"a.vbs", L"b.vbs"}, &error));
  EXPECT_FALSE(Parse({}, &error));
  EXPECT_EQ(error, L"no script given");
  EXPECT_FALSE(Parse({L"--progid", L"", L"a.vbs"}, &error));
}

TEST(CommandLine, ChoosesTheEngineByTheScriptsExtension) {
  EXPECT_EQ(EngineForScript(L"C:\\t\\Suite.VBS"), L"VBScript");
  EXPECT_EQ(EngineForScript(L"/tmp/run.Js"), L"JScript");
  EXPECT_EQ(EngineForScript(L"notes.txt"), L"");
  EXPECT_EQ(EngineForScript(L"js"), L"");
  EXPECT_EQ(EngineForScript(L"archive.vbs.bak"), L"");
  std::wstring error;
  EXPECT_FALSE(Parse({L"script.txt"}, &error));
  EXPECT_NE(error.find(L".vbs or .js"), std::wstring::npos);
}

}  // namespace
}  // namespace testcon

// The configuration file on the real file system.
#ifndef _WIN32
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <string>

#include "settings/ini_file.h"
#include "settings/main_sheet.h"
#include "platform/env.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

TEST(ConfigFileTest, WritesAndReadsBackOnDisk) {
  TempFolder tmp;
  const std::string file = tmp.WriteFile("cfg.ini", "; kept\n[OTHER]\nx=1\n[VELLORA]\ntitle=old\n");
  CMainSheet sheet(Env::Default());
  sheet.settings.title = "new title";
  sheet.settings.recursive_build = 1;
  ASSERT_TRUE(sheet.WriteConfiguration(file));
  const std::string text = ReadFileForTest(file);
  EXPECT_EQ(text.rfind("; kept\n[OTHER]\nx=1\n[VELLORA]\ntitle=new title\n", 0), 0u);
  CMainSheet reader(Env::Default());
  EXPECT_TRUE(reader.ReadConfiguration(file));
  EXPECT_EQ(reader.settings.title, "new title");
  EXPECT_EQ(reader.settings.recursive_build, 1);
  EXPECT_EQ(ReadIniString(Env::Default(), file, "OTHER", "x", "", 998), "1");
}

TEST(ConfigFileTest, WritesThatCannotHappenLeaveEverythingAsItWas) {
  TempFolder tmp;
  const std::string blocker = tmp.WriteFile("blocker", "not a folder");
  const std::string old_file = tmp.WriteFile("old.ini", "[VELLORA]\r\ntitle=old\r\n");
  CMainSheet sheet(Env::Default());
  // A missing folder, a regular file used as a folder, and a folder used as a file.
  EXPECT_FALSE(sheet.WriteConfiguration(tmp.Path("missing/x.ini")));
  EXPECT_FALSE(sheet.WriteConfiguration(tmp.Path("blocker/x.ini")));
  EXPECT_FALSE(sheet.WriteConfiguration(tmp.MakeFolder("folder")));
  EXPECT_FALSE(sheet.WriteConfiguration(tmp.Path("old.ini/x.ini")));
  EXPECT_EQ(ReadFileForTest(blocker), "not a folder");
  EXPECT_EQ(ReadFileForTest(old_file), "[VELLORA]\r\ntitle=old\r\n");
  EXPECT_EQ(ReadFileForTest(tmp.Path("missing/x.ini")), "<missing>");
  // Reading a folder gives the defaults.
  EXPECT_FALSE(sheet.ReadConfiguration(tmp.Path("folder")));
  EXPECT_EQ(sheet.settings.output_filename, "index.html");
}

#ifndef _WIN32
TEST(ConfigFileTest, NeverWrittenThroughALink) {
  TempFolder outside;
  const std::string victim = outside.WriteFile("victim.ini", "[VELLORA]\ntitle=theirs\n");
  for (const std::string& target : {victim, outside.Path("created.ini")}) {
    TempFolder tmp;
    const std::string file = tmp.Path("vellora.ini");
    ASSERT_EQ(symlink(target.c_str(), file.c_str()), 0);
    CMainSheet sheet(Env::Default());
    EXPECT_FALSE(sheet.WriteConfiguration(file)) << target;
    EXPECT_TRUE(Env::Default()->IsLink(file)) << target;
  }
  EXPECT_EQ(ReadFileForTest(victim), "[VELLORA]\ntitle=theirs\n");
  EXPECT_EQ(ReadFileForTest(outside.Path("created.ini")), "<missing>");
}
#endif

}  // namespace
}  // namespace vellora

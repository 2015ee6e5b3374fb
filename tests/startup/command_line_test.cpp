// How the command line reaches batch mode on each platform.
#include <gtest/gtest.h>

#include <string>

#include "startup/command_line.h"

namespace vellora {
namespace {

TEST(CommandLineTest, PosixArgumentsAreJoinedWithSingleBlanks) {
  const char* none[] = {"vellora"};
  EXPECT_EQ("", JoinArguments(1, none));
  const char* split[] = {"vellora", "my", "settings.ini"};
  const char* quoted[] = {"vellora", "my settings.ini"};
  EXPECT_EQ("my settings.ini", JoinArguments(3, split));
  EXPECT_EQ("my settings.ini", JoinArguments(2, quoted));
}

TEST(CommandLineTest, WindowsTailSkipsTheProgramName) {
  EXPECT_EQ("", CommandLineTail(""));
  EXPECT_EQ("", CommandLineTail("vellora.exe"));
  EXPECT_EQ("", CommandLineTail("vellora.exe   "));
  EXPECT_EQ("a b.ini", CommandLineTail("vellora.exe a b.ini"));
  EXPECT_EQ("a.ini", CommandLineTail("C:\\bin\\vellora.exe \t a.ini"));
  EXPECT_EQ("\"C:\\my files\\a.ini\"",
            CommandLineTail("\"C:\\Program Files\\vellora.exe\" \"C:\\my files\\a.ini\""));
  EXPECT_EQ("x", CommandLineTail("\"C:\\a b\\v.exe\"x"));
  EXPECT_EQ("", CommandLineTail("\"unclosed name"));
}

TEST(CommandLineTest, OnePairOfEnclosingQuotesIsRemoved) {
  EXPECT_EQ("C:\\my files\\a.ini", StripEnclosingQuotes("\"C:\\my files\\a.ini\""));
  EXPECT_EQ("\"a.ini\"", StripEnclosingQuotes("\"\"a.ini\"\""));
  EXPECT_EQ("\"a.ini", StripEnclosingQuotes("\"a.ini"));
  EXPECT_EQ("a \"b\" c", StripEnclosingQuotes("a \"b\" c"));
  EXPECT_EQ("", StripEnclosingQuotes("\"\""));
  EXPECT_EQ("\"", StripEnclosingQuotes("\""));
}

TEST(CommandLineTest, OnlyTheWholeLineIsAnOption) {
  EXPECT_EQ(CommandLineAction::kUsage, ClassifyCommandLine(""));
  EXPECT_EQ(CommandLineAction::kHelp, ClassifyCommandLine("-h"));
  EXPECT_EQ(CommandLineAction::kHelp, ClassifyCommandLine("--help"));
  EXPECT_EQ(CommandLineAction::kVersion, ClassifyCommandLine("--version"));
  EXPECT_EQ(CommandLineAction::kBatch, ClassifyCommandLine("--help x"));
  EXPECT_EQ(CommandLineAction::kBatch, ClassifyCommandLine("-v"));
  EXPECT_EQ(CommandLineAction::kBatch, ClassifyCommandLine(" --version"));
}

TEST(CommandLineTest, CheckAndWatchTakeTheRestAsTheConfigurationName) {
  const struct {
    const char* line;
    CommandLineAction action;
    const char* name;
  } kCases[] = {
      {"--check a.ini", CommandLineAction::kCheck, "a.ini"},
      {"--check \t my settings.ini", CommandLineAction::kCheck, "my settings.ini"},
      {"--check", CommandLineAction::kUsage, ""},
      {"--check   ", CommandLineAction::kUsage, ""},
      {"--checked.ini", CommandLineAction::kBatch, ""},
      {" --check a.ini", CommandLineAction::kBatch, ""},
      {"--watch my settings.ini", CommandLineAction::kWatch, "my settings.ini"},
      {"--watch\t", CommandLineAction::kUsage, ""},
      {"--watcher.ini", CommandLineAction::kBatch, ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.action, ClassifyCommandLine(c.line)) << c.line;
    if (c.action == CommandLineAction::kCheck) {
      EXPECT_EQ(c.name, CheckConfigName(c.line)) << c.line;
    }
    if (c.action == CommandLineAction::kWatch) {
      EXPECT_EQ(c.name, WatchConfigName(c.line)) << c.line;
    }
  }
#ifdef _WIN32
  EXPECT_EQ("C:\\my cfg\\a.ini", CheckConfigName("--check \"C:\\my cfg\\a.ini\""));
#endif
}

}  // namespace
}  // namespace vellora

#include "platform/path.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/env.h"

namespace vellora {
namespace {

const std::string kSep(1, kSeparator);

TEST(PathTest, FileSystemRoot) {
#ifdef _WIN32
  EXPECT_TRUE(IsFileSystemRoot("C:\\"));
  EXPECT_TRUE(IsFileSystemRoot("c:"));
  EXPECT_FALSE(IsFileSystemRoot("C:\\x"));
  EXPECT_FALSE(IsFileSystemRoot("\\"));
  EXPECT_FALSE(IsFileSystemRoot("1:\\"));
#else
  EXPECT_TRUE(IsFileSystemRoot("/"));
  EXPECT_FALSE(IsFileSystemRoot("//"));
  EXPECT_FALSE(IsFileSystemRoot("/a"));
#endif
  EXPECT_FALSE(IsFileSystemRoot(""));
}

TEST(PathTest, Separators) {
  EXPECT_EQ(WithTrailingSeparator("a"), "a" + kSep);
  EXPECT_EQ(WithTrailingSeparator("a" + kSep), "a" + kSep);
  EXPECT_EQ(WithTrailingSeparator(kSep), kSep);
  EXPECT_EQ(WithTrailingSeparator(""), "");
  EXPECT_TRUE(ContainsSeparator("a" + kSep + "b"));
  EXPECT_FALSE(ContainsSeparator("a.txt"));
  EXPECT_EQ(TextAfterLastSeparator("x" + kSep + "y" + kSep + "z.txt"), "z.txt");
  EXPECT_EQ(TextAfterLastSeparator("z.txt"), "z.txt");
  EXPECT_EQ(TextAfterLastSeparator("x" + kSep), "");
}

TEST(PathTest, ProgramFolderHoldsTheExecutable) {
  const std::string exe = Env::Default()->ExecutablePath();
  const std::string folder = ProgramFolder(Env::Default());
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), kSeparator);
  EXPECT_EQ(exe.compare(0, folder.size(), folder), 0);
  EXPECT_FALSE(ContainsSeparator(exe.substr(folder.size())));
  EXPECT_TRUE(Env::Default()->IsFolder(folder));
}

}  // namespace
}  // namespace vellora

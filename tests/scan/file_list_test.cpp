#include "scan/file_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>


namespace vellora {
namespace {

std::unique_ptr<CFileEntry> Entry(const std::string& name, const std::string& folder = "/") {
  auto e = std::make_unique<CFileEntry>();
  e->SetName(name, Env::Default());
  e->SetFolder(folder, Env::Default());
  return e;
}

std::vector<std::string> Names(const CFileList& list) {
  std::vector<std::string> names;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) names.push_back(e->name);
  return names;
}

TEST(FileListTest, AddHeadReversesAndCopyAppendGoesToEitherEnd) {
  CFileList list;
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.head(), nullptr);
  list.AddHead(Entry("a"));
  list.AddHead(Entry("b"));
  EXPECT_EQ(list.AddHead(nullptr), nullptr);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"b", "a"}));

  CFileList copy;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) copy.CopyAppend(*e);
  copy.CopyAppend(*list.head(), /*at_head=*/true);
  copy.CopyAppend(*list.head()->next);
  EXPECT_EQ(Names(copy), (std::vector<std::string>{"b", "b", "a", "a"}));
  EXPECT_EQ(copy.size(), 4u);
}

TEST(FileListTest, CopyIsDeepAndSharesTheFolderRecord) {
  CFileList list;
  CFileEntry* e = list.AddHead(Entry("page.html", "/docs/"));
  e->title = std::make_unique<std::string>("Home");
  e->size = int64_t{3} << 30;
  e->time = 42;
  CFileList other;
  CFileEntry* c = other.CopyAppend(*e);
  ASSERT_NE(c, e);
  EXPECT_EQ(c->next, nullptr);
  EXPECT_EQ(c->name, "page.html");
  EXPECT_EQ(c->name_upper, "PAGE.HTML");
  EXPECT_EQ(c->folder(), "/docs/");
  EXPECT_EQ(c->folder_upper(), "/DOCS/");
  EXPECT_EQ(c->size, int64_t{3} << 30);
  EXPECT_EQ(c->time, 42u);
  EXPECT_EQ(c->type, nullptr);
  ASSERT_NE(c->title, nullptr);
  *c->title = "changed";
  EXPECT_EQ(*e->title, "Home");
  // The copy outlives the original list.
  list.Clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(other.head()->folder(), "/docs/");
}

TEST(FileListTest, EntryWithoutFolderReadsEmpty) {
  CFileEntry e;
  EXPECT_EQ(e.folder(), "");
  EXPECT_EQ(e.folder_upper(), "");
}

TEST(FileListTest, HalfAMillionEntriesAreFreedWithoutRecursion) {
  CFileList list;
  auto folder = MakeEntryFolder("/", Env::Default());
  for (int i = 0; i < 500000; ++i) {
    auto e = std::make_unique<CFileEntry>();
    e->name = "f";
    e->SetFolder(folder);
    list.AddHead(std::move(e));
  }
  EXPECT_EQ(list.size(), 500000u);
  CFileList moved(std::move(list));
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(moved.size(), 500000u);
  // Destruction at scope end must not recurse along `next`.
}

}  // namespace
}  // namespace vellora

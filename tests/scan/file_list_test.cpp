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

TEST(FileListTest, AddHeadReversesAndCopiesGoToEitherEnd) {
  CFileList list;
  list.AddHead(Entry("a"));
  list.AddHead(Entry("b"));
  EXPECT_EQ(Names(list), (std::vector<std::string>{"b", "a"}));
  CFileList copy;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) copy.CopyAppend(*e);
  copy.CopyAppend(*list.head(), /*at_head=*/true);
  copy.CopyAppend(*list.head()->next);
  EXPECT_EQ(Names(copy), (std::vector<std::string>{"b", "b", "a", "a"}));
  copy.Clear();
  EXPECT_EQ(copy.head(), nullptr);
}

TEST(FileListTest, CopyIsDeepAndOutlivesTheOriginal) {
  CFileList list;
  CFileEntry* e = list.AddHead(Entry("page.html", "/docs/"));
  e->title = std::make_unique<std::string>("Home");
  e->size = int64_t{3} << 30;
  CFileList other;
  CFileEntry* c = other.CopyAppend(*e);
  *c->title = "changed";
  EXPECT_EQ(*e->title, "Home");
  list.Clear();
  EXPECT_EQ(c->name_upper, "PAGE.HTML");
  EXPECT_EQ(c->folder_upper(), "/DOCS/");
  EXPECT_EQ(c->size, int64_t{3} << 30);
  EXPECT_EQ(c->type, nullptr);
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
  CFileList moved(std::move(list));
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(moved.size(), 500000u);
}

}  // namespace
}  // namespace vellora

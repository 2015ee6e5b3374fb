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
  EXPECT_EQ(c->name, "page.html");
  EXPECT_EQ(c->folder_upper(), "/DOCS/");
  EXPECT_EQ(c->size, int64_t{3} << 30);
  EXPECT_EQ(c->type, nullptr);
}

TEST(FileListTest, DetachedRunsMoveWithTheirOrderCountAndEnds) {
  CFileList list;
  for (const char* n : {"e", "d", "c", "b", "a"}) list.AddHead(Entry(n));
  const CFileEntry* c = list.head()->next->next;
  CFileList front = list.DetachHead(c);
  EXPECT_EQ(Names(front), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Names(list), (std::vector<std::string>{"c", "d", "e"}));
  EXPECT_EQ(front.size() + list.size(), 5u);
  // Both keep working ends: appends land after the last entry.
  front.CopyAppend(*list.head());
  EXPECT_EQ(Names(front), (std::vector<std::string>{"a", "b", "c"}));

  CFileList joined;
  joined.Append(std::move(list));
  joined.Append(std::move(front));
  joined.Append(CFileList());
  EXPECT_EQ(Names(joined), (std::vector<std::string>{"c", "d", "e", "a", "b", "c"}));
  EXPECT_EQ(joined.size(), 6u);
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(front.empty());
  joined.CopyAppend(*joined.head());
  EXPECT_EQ(Names(joined).back(), "c");

  // No stop, or a stop from elsewhere, takes everything; the head as stop takes nothing.
  CFileList all = joined.DetachHead(joined.head()->next == nullptr ? nullptr : Entry("x").get());
  EXPECT_EQ(all.size(), 7u);
  EXPECT_TRUE(joined.empty());
  EXPECT_TRUE(all.DetachHead(all.head()).empty());
  EXPECT_EQ(all.DetachHead(nullptr).size(), 7u);
  EXPECT_TRUE(all.empty());
  all.AddHead(Entry("z"));
  EXPECT_EQ(Names(all), (std::vector<std::string>{"z"}));
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
  // Released on a thread of its own; the folder record is shared with it.
  { const CListRelease release(std::move(moved)); }
  EXPECT_TRUE(moved.empty());
  EXPECT_EQ(folder.use_count(), 1);

  // A process about to end keeps a long list (its entries hold the record
  // still) and frees a short one at once.
  KeepReleasedListsToExit();
  const auto release_list_of = [&folder](int n) {
    CFileList released;
    for (int i = 0; i < n; ++i) released.AddHead(std::make_unique<CFileEntry>())->SetFolder(folder);
    const CListRelease release(std::move(released));
  };
  release_list_of(32768);
  EXPECT_EQ(folder.use_count(), 32769);
  release_list_of(100);
  EXPECT_EQ(folder.use_count(), 32769);
}

}  // namespace
}  // namespace vellora

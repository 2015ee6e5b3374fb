#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/build_settings.h"
#include "scan/file_list.h"
#include "scan/index_builder.h"
#include "scan_test_env.h"

namespace vellora {
namespace {

struct Spec {
  std::string name;
  std::string folder;
  int64_t size;
  FileTime time;
};

// A list holding the entries in the order given.
void Fill(CFileList* list, const std::vector<Spec>& specs) {
  for (auto it = specs.rbegin(); it != specs.rend(); ++it) {
    auto e = std::make_unique<CFileEntry>();
    e->SetName(it->name, Env::Default());
    e->SetFolder(it->folder, Env::Default());
    e->size = it->size;
    e->time = it->time;
    list->AddHead(std::move(e));
  }
}

std::vector<std::string> Order(const CFileList& list) {
  std::vector<std::string> out;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) out.push_back(e->folder() + e->name);
  return out;
}

std::vector<std::string> Sorted(const std::vector<Spec>& specs, int kind, int order,
                                bool group = false) {
  CFileList list;
  Fill(&list, specs);
  list.Sort(kind, order, group, false, Env::Default());
  EXPECT_EQ(list.size(), specs.size());
  return Order(list);
}

using Names = std::vector<std::string>;

TEST(SortTest, ByNameIgnoresLetterCaseAndTiesOnFolder) {
  std::vector<Spec> s = {{"c.txt", "/", 0, 0}, {"a.txt", "/", 0, 0}, {"B.txt", "/", 0, 0}};
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortByName, CBuildSettings::kSortAscending), (Names{"/a.txt", "/B.txt", "/c.txt"}));
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortByName, CBuildSettings::kSortDescending), (Names{"/c.txt", "/B.txt", "/a.txt"}));
  std::vector<Spec> same = {{"x", "/b/", 0, 0}, {"x", "/a/", 0, 0}};
  EXPECT_EQ(Sorted(same, CBuildSettings::kSortByName, CBuildSettings::kSortAscending), (Names{"/a/x", "/b/x"}));
  EXPECT_EQ(Sorted(same, CBuildSettings::kSortByName, CBuildSettings::kSortDescending), (Names{"/b/x", "/a/x"}));
}

TEST(SortTest, BySizeWithSixtyFourBitSizesAndNameTies) {
  const int64_t gib = int64_t{1} << 30;
  std::vector<Spec> s = {{"big", "/", 3 * gib, 0},
                         {"b", "/", 10, 0},
                         {"mid", "/", 2 * gib, 0},
                         {"a", "/", 10, 0},
                         {"z", "/", 5, 0}};
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortBySize, CBuildSettings::kSortAscending), (Names{"/z", "/a", "/b", "/mid", "/big"}));
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortBySize, CBuildSettings::kSortDescending), (Names{"/big", "/mid", "/a", "/b", "/z"}));
}

TEST(SortTest, ByDateTiesRunAgainstTheOrder) {
  std::vector<Spec> s = {{"a", "/", 0, 200}, {"b", "/", 0, 200}, {"old", "/", 0, 100},
                         {"new", "/", 0, 300}};
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortByDate, CBuildSettings::kSortAscending), (Names{"/old", "/b", "/a", "/new"}));
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortByDate, CBuildSettings::kSortDescending), (Names{"/new", "/a", "/b", "/old"}));
}

TEST(SortTest, ByTypeInByteOrder) {
  std::vector<Spec> s = {{"b.doc", "/", 0, 0}, {"x.TXT", "/", 0, 0}, {"a.doc", "/", 0, 0},
                         {"README", "/", 0, 0}, {"t.tar.gz", "/", 0, 0}};
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortByType, CBuildSettings::kSortAscending),
            (Names{"/README", "/x.TXT", "/a.doc", "/b.doc", "/t.tar.gz"}));
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortByType, CBuildSettings::kSortDescending),
            (Names{"/t.tar.gz", "/a.doc", "/b.doc", "/x.TXT", "/README"}));
  CFileList list;
  Fill(&list, s);
  list.FillTypes();
  ASSERT_NE(list.head()->type, nullptr);
  EXPECT_EQ(*list.head()->type, "doc");
  EXPECT_EQ(*list.head()->next->next->next->type, "README");
  EXPECT_EQ(*list.head()->next->next->next->next->type, "gz");
}

TEST(SortTest, UnsortedKeepsTheListOrGathersFoldersStably) {
  std::vector<Spec> s = {{"z", "/b/", 0, 0}, {"y", "/", 0, 0}, {"x", "/a/", 0, 0},
                         {"w", "/b/", 0, 0}, {"v", "/", 0, 0}};
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortBySize, CBuildSettings::kSortUnsorted), (Names{"/b/z", "/y", "/a/x", "/b/w", "/v"}));
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortByName, CBuildSettings::kSortUnsorted, true),
            (Names{"/y", "/v", "/a/x", "/b/z", "/b/w"}));
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortByName, CBuildSettings::kSortAscending, true),
            (Names{"/v", "/y", "/a/x", "/b/w", "/b/z"}));
  EXPECT_EQ(Sorted(s, CBuildSettings::kSortByName, CBuildSettings::kSortDescending, true),
            (Names{"/y", "/v", "/a/x", "/b/z", "/b/w"}));
}

TEST(SortTest, EmptyAndSingleListsAreLeftAlone) {
  CFileList list;
  list.Sort(CBuildSettings::kSortByName, CBuildSettings::kSortAscending, true, true, Env::Default());
  EXPECT_TRUE(list.empty());
  Fill(&list, {{"only", "/", 0, 0}});
  list.Sort(CBuildSettings::kSortByDate, CBuildSettings::kSortDescending, true, false, Env::Default());
  EXPECT_EQ(Order(list), (Names{"/only"}));
}

TEST(SortTest, TitlesAreTheNameKeyAndEqualTitlesFallBackToPath) {
  CFileList list;
  Fill(&list, {{"a.html", "/", 0, 0}, {"b.html", "/", 0, 0}, {"c.html", "/x/", 0, 0},
               {"d.html", "/", 0, 0}});
  const char* titles[] = {"Zoo", "Home", "Same", "Same"};
  int i = 0;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) {
    e->title = std::make_unique<std::string>(titles[i++]);
  }
  list.Sort(CBuildSettings::kSortByName, CBuildSettings::kSortAscending, false, true, Env::Default());
  // "/d.html" sorts before "/x/c.html" (C locale byte order).
  EXPECT_EQ(Order(list), (Names{"/b.html", "/d.html", "/x/c.html", "/a.html"}));
}

TEST(SortTest, ManyEqualKeysSortQuicklyAndStably) {
  // Thousands of files of one name and size in different folders: a naive
  // quicksort goes quadratic here.
  CFileList list;
  std::vector<std::shared_ptr<const CEntryFolder>> folders;
  for (int f = 0; f < 1000; ++f) {
    folders.push_back(MakeEntryFolder("/d" + std::to_string(f % 2) + "/", Env::Default()));
  }
  const int n = 200000;
  for (int i = 0; i < n; ++i) {
    auto e = std::make_unique<CFileEntry>();
    e->SetName("same.txt", Env::Default());
    e->SetFolder(folders[static_cast<size_t>(i) % folders.size()]);
    e->size = 7;
    e->time = static_cast<FileTime>(i);  // remembers the list position
    list.AddHead(std::move(e));
  }
  list.Sort(CBuildSettings::kSortBySize, CBuildSettings::kSortAscending, false, false, Env::Default());
  ASSERT_EQ(list.size(), static_cast<size_t>(n));
  FileTime expect = n - 1;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) ASSERT_EQ(e->time, expect--);
  list.Sort(CBuildSettings::kSortByName, CBuildSettings::kSortAscending, true, false, Env::Default());
  size_t count = 0;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next, ++count) {
    if (e->next != nullptr) {
      ASSERT_LE(e->folder(), e->next->folder());
    }
  }
  EXPECT_EQ(count, static_cast<size_t>(n));
}

// A collation that answers at random: the sort must still keep every entry.
class ErraticEnv : public scantest::ForwardingEnv {
 public:
  int CompareText(const std::string&, const std::string&) override {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) % 3) - 1;
  }
  bool CollationKey(const std::string&, std::string*) override { return false; }

 private:
  unsigned state_ = 1;
};

TEST(SortTest, InconsistentCollationLosesNothing) {
  ErraticEnv env;
  CFileList list;
  for (int i = 0; i < 5000; ++i) {
    auto e = std::make_unique<CFileEntry>();
    e->SetName("n" + std::to_string(i), &env);
    e->SetFolder("/" + std::to_string(i % 7) + "/", &env);
    list.AddHead(std::move(e));
  }
  list.Sort(CBuildSettings::kSortByName, CBuildSettings::kSortAscending, true, true, &env);
  size_t count = 0;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) ++count;
  EXPECT_EQ(count, 5000u);
  EXPECT_EQ(list.size(), 5000u);
}

// Passes everything on but offers no collation keys.
class KeylessEnv : public scantest::ForwardingEnv {
 public:
  bool CollationKey(const std::string&, std::string*) override { return false; }
};

TEST(SortTest, CollationKeysGiveTheOrderOfTheComparison) {
  // Long enough for the sort to use keys, with names that differ in case,
  // punctuation, digits and non-ASCII bytes, and folders in several groups.
  const char* stems[] = {"a", "B", "a-b", "ab", "a b", "A_B", "a'b", "10", "9", "z\xc3\xa9",
                         "Z\xc3\xa9", "\xe4\xb8\xad", "co-op", "coop", "x.y", "X.Y"};
  std::vector<Spec> specs;
  for (int i = 0; i < 160; ++i) {
    const std::string stem = stems[i % 16];
    specs.push_back({stem + std::to_string(i % 3) + ".txt", "/f" + std::to_string(i % 5) + "/",
                     i % 7, static_cast<FileTime>(i % 4)});
  }
  KeylessEnv keyless;
  for (int kind = 0; kind < 4; ++kind) {
    for (int order = 0; order < 2; ++order) {
      for (bool group : {false, true}) {
        CFileList keyed;
        CFileList plain;
        Fill(&keyed, specs);
        Fill(&plain, specs);
        keyed.Sort(kind, order, group, false, Env::Default());
        plain.Sort(kind, order, group, false, &keyless);
        EXPECT_EQ(Order(keyed), Order(plain)) << kind << order << group;
      }
    }
  }
}

std::vector<std::string> Arranged(int n, int columns) {
  CFileList list;
  std::vector<Spec> specs;
  for (int i = 0; i < n; ++i) specs.push_back({"e" + std::to_string(i), "", 0, 0});
  Fill(&list, specs);
  CIndexBuilder builder(nullptr);
  builder.ArrangeInColumns(list, columns);
  EXPECT_EQ(list.size(), static_cast<size_t>(n));
  return Order(list);
}

TEST(ArrangeInColumnsTest, ReadsDownTheColumns) {
  EXPECT_EQ(Arranged(7, 3), (Names{"e0", "e3", "e5", "e1", "e4", "e6", "e2"}));
  EXPECT_EQ(Arranged(5, 2), (Names{"e0", "e3", "e1", "e4", "e2"}));
  EXPECT_EQ(Arranged(5, 5), (Names{"e0", "e1", "e2", "e3", "e4"}));
  EXPECT_EQ(Arranged(5, 9), (Names{"e0", "e1", "e2", "e3", "e4"}));
  EXPECT_EQ(Arranged(3, 1), (Names{"e0", "e1", "e2"}));
  EXPECT_TRUE(Arranged(0, 3).empty());
}

TEST(ArrangeInColumnsTest, MoreThanTwentyColumnsKeepsEveryEntry) {
  // Capped at 20 columns before the rows are counted: 100 entries in 5 rows.
  std::vector<std::string> got = Arranged(100, 50);
  ASSERT_EQ(got.size(), 100u);
  EXPECT_EQ(got[0], "e0");
  EXPECT_EQ(got[1], "e5");
  EXPECT_EQ(got[20], "e1");
  EXPECT_EQ(got[99], "e99");
}

}  // namespace
}  // namespace vellora

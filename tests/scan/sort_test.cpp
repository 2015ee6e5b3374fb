#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/text_case.h"
#include "settings/build_settings.h"
#include "scan/folder_scanner.h"
#include "scan_test_env.h"

namespace vellora {
namespace {

using Names = std::vector<std::string>;
using S = CBuildSettings;

struct EntryInput {
  std::string name;
  std::string folder;
  int64_t size;
  FileTime time;
};

// A list holding the entries in the order given.
void Fill(CFileList* list, const std::vector<EntryInput>& inputs, Env* env = Env::Default()) {
  for (auto it = inputs.rbegin(); it != inputs.rend(); ++it) {
    auto e = std::make_unique<CFileEntry>();
    e->SetName(it->name, env);
    e->SetFolder(it->folder, env);
    e->size = it->size;
    e->time = it->time;
    list->AddHead(std::move(e));
  }
}

Names Order(const CFileList& list) {
  Names out;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) out.push_back(e->folder() + e->name);
  return out;
}

Names Sorted(const std::vector<EntryInput>& inputs, int kind, int order, bool group = false,
             bool natural = false) {
  CFileList list;
  Fill(&list, inputs);
  list.Sort(kind, order, group, false, Env::Default(), natural);
  return Order(list);
}

TEST(SortTest, EachKindInBothOrders) {
  std::vector<EntryInput> n = {{"c.txt", "/", 0, 0}, {"a.txt", "/", 0, 0}, {"B.txt", "/", 0, 0},
                         {"a.txt", "/b/", 0, 0}};
  EXPECT_EQ(Sorted(n, S::kSortByName, S::kSortAscending),
            (Names{"/a.txt", "/b/a.txt", "/B.txt", "/c.txt"}));
  EXPECT_EQ(Sorted(n, S::kSortByName, S::kSortDescending),
            (Names{"/c.txt", "/B.txt", "/b/a.txt", "/a.txt"}));
  const int64_t gib = int64_t{1} << 30;  // sizes past 32 bits still order
  std::vector<EntryInput> z = {{"big", "/", 3 * gib, 0}, {"b", "/", 10, 0}, {"mid", "/", 2 * gib, 0},
                         {"a", "/", 10, 0}};
  EXPECT_EQ(Sorted(z, S::kSortBySize, S::kSortAscending), (Names{"/a", "/b", "/mid", "/big"}));
  EXPECT_EQ(Sorted(z, S::kSortBySize, S::kSortDescending), (Names{"/big", "/mid", "/a", "/b"}));
  std::vector<EntryInput> d = {{"a", "/", 0, 200}, {"b", "/", 0, 200}, {"old", "/", 0, 100}};
  EXPECT_EQ(Sorted(d, S::kSortByDate, S::kSortAscending), (Names{"/old", "/b", "/a"}));
  EXPECT_EQ(Sorted(d, S::kSortByDate, S::kSortDescending), (Names{"/a", "/b", "/old"}));
  // Types in byte order (upper case first); no '.' makes the name the type.
  std::vector<EntryInput> t = {{"b.doc", "/", 0, 0}, {"x.TXT", "/", 0, 0}, {"a.doc", "/", 0, 0},
                         {"README", "/", 0, 0}, {"t.tar.gz", "/", 0, 0}};
  EXPECT_EQ(Sorted(t, S::kSortByType, S::kSortAscending),
            (Names{"/README", "/x.TXT", "/a.doc", "/b.doc", "/t.tar.gz"}));
  EXPECT_EQ(Sorted(t, S::kSortByType, S::kSortDescending),
            (Names{"/t.tar.gz", "/a.doc", "/b.doc", "/x.TXT", "/README"}));
}

TEST(SortTest, UnsortedAndGroupedByFolder) {
  std::vector<EntryInput> s = {{"z", "/b/", 0, 0}, {"y", "/", 0, 0}, {"x", "/a/", 0, 0},
                         {"w", "/b/", 0, 0}, {"v", "/", 0, 0}};
  EXPECT_EQ(Sorted(s, S::kSortBySize, S::kSortUnsorted), (Names{"/b/z", "/y", "/a/x", "/b/w", "/v"}));
  EXPECT_EQ(Sorted(s, S::kSortByName, S::kSortUnsorted, true),
            (Names{"/y", "/v", "/a/x", "/b/z", "/b/w"}));
  EXPECT_EQ(Sorted(s, S::kSortByName, S::kSortAscending, true),
            (Names{"/v", "/y", "/a/x", "/b/w", "/b/z"}));
  EXPECT_EQ(Sorted(s, S::kSortByName, S::kSortDescending, true),
            (Names{"/y", "/v", "/a/x", "/b/z", "/b/w"}));
  CFileList empty;
  empty.Sort(S::kSortByName, S::kSortAscending, true, true, Env::Default());
  EXPECT_TRUE(empty.empty());
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
  list.Sort(S::kSortByName, S::kSortAscending, false, true, Env::Default());
  EXPECT_EQ(Order(list), (Names{"/b.html", "/d.html", "/x/c.html", "/a.html"}));
}

TEST(SortTest, ManyEqualKeysSortQuicklyAndStably) {
  // Files of one name and size in many folders: a plain quicksort goes
  // quadratic here.
  CFileList list;
  const int n = 200000;
  for (int i = 0; i < n; ++i) {
    auto e = std::make_unique<CFileEntry>();
    e->SetName("same.txt", Env::Default());
    e->SetFolder("/d" + std::to_string(i % 2) + "/", Env::Default());
    e->size = 7;
    e->time = static_cast<FileTime>(i);  // remembers the list position
    list.AddHead(std::move(e));
  }
  list.Sort(S::kSortBySize, S::kSortAscending, false, false, Env::Default());
  FileTime expect = n - 1;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) ASSERT_EQ(e->time, expect--);
  EXPECT_EQ(expect, FileTime(0) - 1);
}

TEST(SortTest, NaturalOrderComparesNamesWhereverTheyAreCompared) {
  std::vector<EntryInput> n = {{"img10.png", "/", 5, 1}, {"IMG2.png", "/b/", 5, 1},
                               {"Img1.png", "/", 5, 1}, {"img02.png", "/", 5, 1}};
  const Names up = {"/Img1.png", "/b/IMG2.png", "/img02.png", "/img10.png"};
  const Names down(up.rbegin(), up.rend());
  EXPECT_EQ(Sorted(n, S::kSortByName, S::kSortAscending, false, true), up);
  EXPECT_EQ(Sorted(n, S::kSortByName, S::kSortDescending, false, true), down);
  EXPECT_EQ(Sorted(n, S::kSortBySize, S::kSortDescending, false, true), up);
  EXPECT_EQ(Sorted(n, S::kSortByType, S::kSortAscending, false, true), up);
  EXPECT_EQ(Sorted(n, S::kSortByDate, S::kSortAscending, false, true), down);
  EXPECT_EQ(Sorted(n, S::kSortByName, S::kSortAscending, true, true),
            (Names{"/Img1.png", "/img02.png", "/img10.png", "/b/IMG2.png"}));
  EXPECT_EQ(Sorted(n, S::kSortByName, S::kSortUnsorted, false, true),
            (Names{"/img10.png", "/b/IMG2.png", "/Img1.png", "/img02.png"}));
  // A long list takes the sort's keys: numbered names in number order.
  std::vector<EntryInput> many;
  for (int i = 0; i < 300; ++i) many.push_back({"f" + std::to_string((i * 7) % 300), "/", 0, 0});
  const Names sorted = Sorted(many, S::kSortByName, S::kSortAscending, false, true);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(sorted[i], "/f" + std::to_string(i));
}

// A collation that answers at random: the sort must still keep every entry.
class ErraticEnv : public scantest::ForwardingEnv {
 public:
  int CompareText(const std::string&, const std::string&) override {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) % 3) - 1;
  }
  bool CollationKey(const std::string&, std::string*) override { return false; }
  bool CollatesByteByByte() override { return false; }

 private:
  unsigned state_ = 1;
};

TEST(SortTest, InconsistentCollationLosesNothing) {
  ErraticEnv env;
  std::vector<EntryInput> inputs;
  for (int i = 0; i < 5000; ++i) inputs.push_back({std::to_string(i), "/" + std::to_string(i % 7), 0, 0});
  CFileList list;
  Fill(&list, inputs, &env);
  list.Sort(S::kSortByName, S::kSortAscending, true, true, &env);
  EXPECT_EQ(Order(list).size(), 5000u);
}

// Passes everything on but offers no collation keys.
class KeylessEnv : public scantest::ForwardingEnv {
 public:
  bool CollationKey(const std::string&, std::string*) override { return false; }
  bool CollatesByteByByte() override { return false; }
};

TEST(SortTest, CollationKeysGiveTheOrderOfTheComparison) {
  // Enough entries for keys, names that differ in case, punctuation, digits
  // and non-ASCII bytes, in several folders.
  // The last ones share more than their first eight key bytes.
  const char* stems[] = {"a", "B", "a-b", "ab", "a b", "A_B", "a'b", "10", "9", "z\xc3\xa9",
                         "Z\xc3\xa9", "\xe4\xb8\xad", "co-op", "coop", "x.y", "X.Y",
                         "quarterly report z", "Quarterly Report a", "quarterly-report",
                         "QUARTERLY REPORT \xc3\xa9"};
  std::vector<EntryInput> inputs;
  for (int i = 0; i < 200; ++i) {
    inputs.push_back({stems[i % 20] + std::to_string(i % 3) + ".txt",
                     "/f" + std::to_string(i % 5) + "/", i % 7, static_cast<FileTime>(i % 4)});
  }
  KeylessEnv keyless;
  for (int kind = 0; kind < 4; ++kind) {
    for (int order = 0; order < 2; ++order) {
      for (int mode = 0; mode < 4; ++mode) {
        const bool group = (mode & 1) != 0;
        const bool natural = (mode & 2) != 0;
        CFileList keyed;
        CFileList plain;
        Fill(&keyed, inputs);
        Fill(&plain, inputs);
        keyed.Sort(kind, order, group, false, Env::Default(), natural);
        plain.Sort(kind, order, group, false, &keyless, natural);
        EXPECT_EQ(Order(keyed), Order(plain)) << kind << order << mode;
      }
    }
  }
}

TEST(SortTest, StoredNamesGiveTheOrderOfTheComparison) {
  // Names that share their first eight bytes or end within them, differ in
  // case only, run past 127 bytes, hold 0x01 or non-ASCII bytes; the second
  // table holds a zero byte, which no key may hold.
  const std::vector<std::string> tables[] = {
      {"a", "A", "ab", "Ab.txt", "abcdefg", "ABCDEFGH", "abcdefgh", "abcdefghi", "ABCDEFGHI",
       "abcdefgh\x01", "abcdefgh\x01z", "\xc3\xa9t\xc3\xa9", "\xc3\x89T\xc3\x89",
       std::string(130, 'x') + "a", std::string(130, 'X') + "B", std::string(200, 'x'),
       "report 2026.pdf", "Report 2026.pdf", "report-2026.pdf", "9", "10"},
      {"a", std::string("ab\0c", 4), std::string("ab\0b", 4), "ab", "AB", "b"}};
  KeylessEnv keyless;
  for (const std::vector<std::string>& stems : tables) {
    std::vector<EntryInput> inputs;
    for (int i = 0; i < 129; ++i) {
      inputs.push_back({stems[(i * 5) % stems.size()], "/f" + std::to_string(i % 3) + "/",
                        i % 5, static_cast<FileTime>(i % 2)});
    }
    for (int kind = 0; kind < 4; ++kind) {
      for (int order = 0; order < 2; ++order) {
        for (int mode = 0; mode < 4; ++mode) {
          const bool group = (mode & 1) != 0;
          const bool titles = (mode & 2) != 0;
          CFileList keyed;
          CFileList plain;
          Fill(&keyed, inputs);
          Fill(&plain, inputs);
          for (CFileList* list : {&keyed, &plain}) {
            int i = 0;
            for (CFileEntry* e = list->head(); e != nullptr; e = e->next, ++i) {
              if (titles && i % 4 == 0) e->title = std::make_unique<std::string>(stems[i % 3]);
            }
          }
          keyed.Sort(kind, order, group, titles, Env::Default());
          plain.Sort(kind, order, group, titles, &keyless);
          EXPECT_EQ(Order(keyed), Order(plain)) << stems.size() << kind << order << mode;
        }
      }
    }
    // Where texts collate as their bytes, by name is by upper-cased names in
    // byte order, then folders (a zero byte ends a text for the collation).
    if (!Env::Default()->CollatesByteByByte() || stems.size() < 10) continue;
    std::vector<EntryInput> expected = inputs;
    std::stable_sort(expected.begin(), expected.end(), [](const EntryInput& a, const EntryInput& b) {
      const std::string ua = UpperCased(a.name, Env::Default());
      const std::string ub = UpperCased(b.name, Env::Default());
      return ua != ub ? ua < ub : a.folder < b.folder;
    });
    Names want;
    for (const EntryInput& e : expected) want.push_back(e.folder + e.name);
    EXPECT_EQ(Sorted(inputs, S::kSortByName, S::kSortAscending), want) << stems.size();
  }
}

// Allows the sort `threads` threads; `keys` as the system's, or keys that
// are not the names' bytes, or none.
class ThreadsEnv : public scantest::ForwardingEnv {
 public:
  enum Keys { kSystem, kNotBytes, kNone };
  ThreadsEnv(int threads, Keys keys) : threads_(threads), keys_(keys) {}
  int ListingThreads() override { return threads_; }
  bool CollatesByteByByte() override { return keys_ == kSystem && inner()->CollatesByteByByte(); }
  bool CollationKey(const std::string& text, std::string* key) override {
    return keys_ != kNone && inner()->CollationKey(text, key);
  }

 private:
  int threads_;
  Keys keys_;
};

// The list positions of the entries of a long list after a sort on
// `threads` threads.
std::vector<int> LongListOrder(int threads, ThreadsEnv::Keys keys, int kind, int order, bool group,
                               bool titles, bool natural) {
  ThreadsEnv env(threads, keys);
  std::vector<CFolderRef> folders;
  for (int f = 0; f < 1200; ++f) {
    folders.push_back(MakeEntryFolder((f % 2 ? "/D" : "/d") + std::to_string(f / 2) + "/", &env));
  }
  // Past the length sorted on threads: one large folder, names repeated
  // across folders and within one, equal but for case, numbered, of tied
  // sizes and times.
  const char* stems[] = {"report", "Report", "REPORT-", "img_", "a", "quarterly report ",
                         "\xc3\xa9t\xc3\xa9", "zz"};
  CFileList list;
  std::unordered_map<const CFileEntry*, int> position;
  const int n = 40000;
  for (int i = n - 1; i >= 0; --i) {
    auto e = std::make_unique<CFileEntry>();
    e->SetName(stems[i % 8] + std::to_string((i * 7919) % 4000) + (i % 3 ? ".txt" : ".PDF"), &env);
    e->SetFolder(folders[i < 12000 ? 0 : (i / 7) % 1200]);
    e->size = i % 97;
    e->time = i % 13;
    if (titles && i % 5 == 0) e->title = std::make_unique<std::string>(stems[i % 3]);
    position[e.get()] = i;
    list.AddHead(std::move(e));
  }
  if (kind == S::kSortByType) list.FillTypes();
  list.Sort(kind, order, group, titles, &env, natural);
  std::vector<int> out;
  for (CFileEntry* e = list.head(); e != nullptr; e = e->next) out.push_back(position.at(e));
  return out;
}

TEST(SortTest, LongListSortsAlikeOnAnyNumberOfThreads) {
  struct Case {
    ThreadsEnv::Keys keys;
    int kind;
    int order;
    bool group;
    bool titles;
    bool natural;
  } cases[] = {
      {ThreadsEnv::kSystem, S::kSortByName, S::kSortAscending, false, false, false},
      {ThreadsEnv::kSystem, S::kSortByName, S::kSortDescending, true, false, false},
      {ThreadsEnv::kSystem, S::kSortByName, S::kSortAscending, false, false, true},
      {ThreadsEnv::kSystem, S::kSortBySize, S::kSortAscending, false, false, false},
      {ThreadsEnv::kSystem, S::kSortByDate, S::kSortDescending, true, false, false},
      {ThreadsEnv::kSystem, S::kSortByType, S::kSortAscending, false, false, false},
      {ThreadsEnv::kSystem, S::kSortByName, S::kSortUnsorted, true, false, false},
      {ThreadsEnv::kSystem, S::kSortByName, S::kSortAscending, true, true, false},
      {ThreadsEnv::kNotBytes, S::kSortByName, S::kSortAscending, false, false, false},
      {ThreadsEnv::kNone, S::kSortBySize, S::kSortDescending, true, false, false},
  };
  for (const Case& c : cases) {
    const std::vector<int> one =
        LongListOrder(0, c.keys, c.kind, c.order, c.group, c.titles, c.natural);
    for (int threads = 2; threads <= 4; ++threads) {
      EXPECT_EQ(LongListOrder(threads, c.keys, c.kind, c.order, c.group, c.titles, c.natural), one)
          << "keys " << c.keys << " kind " << c.kind << " order " << c.order << " group "
          << c.group << " titles " << c.titles << " natural " << c.natural << " threads "
          << threads;
    }
  }
}

Names Arranged(int n, int columns) {
  CFileList list;
  std::vector<EntryInput> inputs;
  for (int i = 0; i < n; ++i) inputs.push_back({"e" + std::to_string(i), "", 0, 0});
  Fill(&list, inputs);
  CFolderScanner(nullptr).ArrangeInColumns(list, columns);
  return Order(list);
}

TEST(ArrangeInColumnsTest, ReadsDownTheColumns) {
  EXPECT_EQ(Arranged(7, 3), (Names{"e0", "e3", "e5", "e1", "e4", "e6", "e2"}));
  EXPECT_EQ(Arranged(5, 2), (Names{"e0", "e3", "e1", "e4", "e2"}));
  EXPECT_EQ(Arranged(5, 5), (Names{"e0", "e1", "e2", "e3", "e4"}));
  EXPECT_EQ(Arranged(3, 1), (Names{"e0", "e1", "e2"}));
  EXPECT_TRUE(Arranged(0, 3).empty());
  // More than 20 columns: capped before the rows are counted, so 100
  // entries fill 5 rows of 20 and none is lost.
  Names wide = Arranged(100, 50);
  ASSERT_EQ(wide.size(), 100u);
  EXPECT_EQ(wide[1], "e5");
  EXPECT_EQ(wide[20], "e1");
  EXPECT_EQ(wide[99], "e99");
}

}  // namespace
}  // namespace vellora

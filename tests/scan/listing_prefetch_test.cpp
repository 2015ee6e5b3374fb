// Reading folders ahead on worker threads changes nothing a scan finds: the
// same entries in the same order, each folder read from the system once,
// whatever the number of threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/forwarding_env.h"
#include "scan/folder_scanner.h"
#include "scan/listing_prefetch.h"
#include "settings/build_settings.h"
#include "support/progress_view.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

// The real file system, read ahead with a chosen number of threads; counts
// the listings that reach it.
class ThreadedEnv : public CForwardingEnv {
 public:
  explicit ThreadedEnv(int threads) : CForwardingEnv(Env::Default()), threads_(threads) {}
  int ListingThreads() override { return threads_; }
  bool ListFolder(const std::string& folder, const std::string& pattern,
                  const std::function<void(const FolderItem&)>& visit) override {
    ++reads;
    return inner()->ListFolder(folder, pattern, visit);
  }
  bool ListFolderBrief(const std::string& folder, const std::string& pattern,
                       const std::function<void(const FolderItem&)>& visit) override {
    ++reads;
    return inner()->ListFolderBrief(folder, pattern, visit);
  }
  std::atomic<int> reads{0};

 private:
  int threads_;
};

// The entries of a scan in list order, with what the page shows of them.
std::vector<std::string> Rows(const CFileList& list) {
  std::vector<std::string> rows;
  for (const CFileEntry* e = list.head(); e != nullptr; e = e->next) {
    rows.push_back(e->folder() + e->name + " " + std::to_string(e->size) + " " +
                   std::to_string(e->time));
  }
  return rows;
}

struct ScanResult {
  std::vector<std::string> rows;
  int reads = 0;
};

ScanResult ScanWith(int threads, const std::string& root, CBuildSettings* settings,
                    int cancel_after = -1) {
  ThreadedEnv env(threads);
  CFolderScanner scanner(settings, &env);
  scanner.recurse_scan = 1;
  CBuildProgress progress;
  int notified = 0;
  FunctionProgressView view([&](CBuildProgress& p) {
    if (++notified == cancel_after) p.cancel = 1;
  });
  if (cancel_after >= 0) {
    progress.notify_enabled = 1;
    progress.notify = &view;
    scanner.progress = &progress;
  }
  CFileList list;
  EXPECT_TRUE(scanner.Scan(list, root, "*.*"));
  EXPECT_EQ(scanner.env, &env);  // the scan puts its own Env back
  return {Rows(list), env.reads.load()};
}

TEST(ListingPrefetchTest, ScansAreTheSameWithAnyNumberOfThreads) {
  TempFolder t;
  int folders = 1;
  for (int a = 0; a < 4; ++a) {
    for (int b = 0; b < 5; ++b) {
      const std::string dir = "d" + std::to_string(a) + "/e" + std::to_string(b);
      for (int f = 0; f < 6; ++f) t.WriteFile(dir + "/f" + std::to_string(f) + ".txt", dir);
      ++folders;
    }
    ++folders;
  }
  t.WriteFile("skip me/x.txt", "");
  t.WriteFile(".hidden/y.txt", "");
  t.WriteFile("top.txt", "top");
#ifndef _WIN32
  ASSERT_EQ(symlink("..", t.Path("d1/up").c_str()), 0);       // a cycle
  ASSERT_EQ(symlink("../d2", t.Path("d0/side").c_str()), 0);  // a second way in
#endif
  CBuildSettings settings;
  settings.skip_folders = t.Path("skip me");

  for (const bool brief : {false, true}) {
    settings.include_filesize = settings.include_date = brief ? 0 : 1;
    const ScanResult plain = ScanWith(0, t.path(), &settings);
    ASSERT_EQ(plain.rows.size(), 121u);
    for (const int threads : {1, 2, 4}) {
      const ScanResult ahead = ScanWith(threads, t.path(), &settings);
      EXPECT_EQ(ahead.rows, plain.rows) << threads << " threads, brief " << brief;
      EXPECT_EQ(ahead.reads, plain.reads) << threads << " threads, brief " << brief;
    }
    EXPECT_EQ(plain.reads, folders);  // the skipped and hidden folders are never read
#ifndef _WIN32
    // Windows' listings carry sizes and times anyway; POSIX ones go without.
    EXPECT_EQ(plain.rows.front().find(" 0 0") != std::string::npos, brief) << plain.rows.front();
#endif
  }

  // A build cancelled part-way stops at the same place and leaves no worker behind.
  settings.include_filesize = 1;
  for (const int cancel_after : {1, 3, 9}) {
    const ScanResult plain = ScanWith(0, t.path(), &settings, cancel_after);
    EXPECT_EQ(ScanWith(2, t.path(), &settings, cancel_after).rows, plain.rows) << cancel_after;
  }
}

TEST(ListingPrefetchTest, FilesNeedDetailsOnlyWhenAPageUsesThem) {
  struct Case {
    const char* what;
    void (*set)(CBuildSettings*);
    bool needs;
  };
  const Case cases[] = {
      {"names only", [](CBuildSettings*) {}, false},
      {"sizes", [](CBuildSettings* s) { s->include_filesize = 1; }, true},
      {"dates", [](CBuildSettings* s) { s->include_date = 1; }, true},
      {"times", [](CBuildSettings* s) { s->include_time = 1; }, true},
      {"summary", [](CBuildSettings* s) { s->include_summary = 1; }, true},
      {"sort by size", [](CBuildSettings* s) { s->sort_key = CBuildSettings::kSortBySize; }, true},
      {"sort by date", [](CBuildSettings* s) { s->sort_key = CBuildSettings::kSortByDate; }, true},
      {"sort by type", [](CBuildSettings* s) { s->sort_key = CBuildSettings::kSortByType; }, false},
      {"manifest", [](CBuildSettings* s) { s->manifest = "json"; }, true},
  };
  for (const Case& c : cases) {
    CBuildSettings s;
    s.include_filesize = s.include_date = s.include_time = s.include_summary = 0;
    c.set(&s);
    EXPECT_EQ(CFolderScanner(&s).NeedsFileDetails(), c.needs) << c.what;
  }
}

// Workers that stopped because too much waited to be taken go on once the
// walk has taken enough: a walk slower than its workers still finds most
// listings read ahead, and the same ones as without the threads.
TEST(ListingPrefetchTest, WorkersStoppedByTheBoundGoOnWhenTheWalkCatchesUp) {
  TempFolder t;
  constexpr int kFolders = 40;
  for (int i = 0; i < kFolders; ++i) {
    for (int f = 0; f < 3; ++f) t.WriteFile("f" + std::to_string(i) + "/" + std::to_string(f), "");
  }
  const auto list = [](Env* env, const std::string& folder) {
    std::vector<std::string> names;
    EXPECT_TRUE(env->ListFolder(folder, "*.*", [&](const FolderItem& i) { names.push_back(i.name); }));
    return names;
  };
  ThreadedEnv env(2);
  // Two folders' items stop the workers; they go on once at most two wait.
  CListingPrefetch ahead(&env, 2, true, nullptr, 4);
  // The walk asks for the folders in the order they were found, as a walk does.
  for (const std::string& name : list(&ahead, t.path())) {
    std::this_thread::sleep_for(std::chrono::milliseconds(3));  // the walk's own work
    EXPECT_EQ(list(&ahead, t.Path(name)), list(Env::Default(), t.Path(name))) << name;
  }
  // Workers that never went on would leave all but a few listings to the walk.
  EXPECT_GE(ahead.listings_taken(), static_cast<size_t>(kFolders / 2));
  EXPECT_EQ(env.reads.load(), kFolders + 1);
}

}  // namespace
}  // namespace vellora

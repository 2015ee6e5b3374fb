// Pages of many files written to their file as they are made.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "html/page_fixture.h"
#include "html/page_output.h"
#include "platform/safe_write.h"
#include "support/progress_view.h"

namespace vellora {
namespace pagetest {
namespace {

constexpr size_t kHeld = static_cast<size_t>(-1);

// The real system's safe writes, with every append recorded; one of them
// can be made to fail.
class StreamEnv : public ClockEnv {
 public:
  std::vector<size_t> appends;
  int failing_append = -1;
  // The builder's page chunks were empty at every append.
  const CPageWriter* builder = nullptr;
  bool chunks_held = false;
  int threads = 0;

  int ListingThreads() override { return threads; }

  std::unique_ptr<CSafeFileWrite> StartSafeWrite(const std::string& path) override {
    return std::make_unique<Recorded>(this, inner()->StartSafeWrite(path));
  }

 private:
  class Recorded : public CSafeFileWrite {
   public:
    Recorded(StreamEnv* env, std::unique_ptr<CSafeFileWrite> inner)
        : env_(*env), inner_(std::move(inner)) {}
    bool Append(std::string_view text) override {
      const bool fail = static_cast<int>(env_.appends.size()) == env_.failing_append;
      env_.appends.push_back(text.size());
      if (env_.builder != nullptr && !env_.builder->page_chunks.empty()) env_.chunks_held = true;
      return !fail && inner_->Append(text);
    }
    bool Commit() override { return inner_->Commit(); }

   private:
    StreamEnv& env_;
    std::unique_ptr<CSafeFileWrite> inner_;
  };
};

class PageStreamTest : public PageTest {
 protected:
  PageStreamTest() {
    stream_env = new StreamEnv;
    env.reset(stream_env);
    builder.reset(new CPageWriter(&settings, env.get()));
    stream_env->builder = builder.get();
  }

  // Files in the root and two folders below, enough for several moves of
  // the page text.
  void ManyFiles() {
    for (int i = 0; i < 700; ++i) {
      const char* folder = i < 300 ? "" : (i < 550 ? "My Docs/" : "sub/deep/");
      File(folder + std::to_string(i) + ".txt", static_cast<uint64_t>(i));
    }
  }

  // Long tables made in blocks of a few rows on `threads` threads, or
  // row by row without.
  void RowsInBlocks(int threads) {
    stream_env->threads = threads;
    builder->parallel_table_from_files = 1;
    builder->table_block_rows = 7;
  }

  // The names in the listed folder that start with '.': temporary files.
  std::vector<std::string> HiddenNames() {
    std::vector<std::string> names;
    env->ListFolder(root, "*.*", [&](const FolderItem& item) {
      if (item.name[0] == '.') names.push_back(item.name);
    });
    return names;
  }

  StreamEnv* stream_env = nullptr;
};

TEST_F(PageStreamTest, StreamedPagesAreTheHeldPages) {
  ManyFiles();
  struct Case {
    const char* what;
    bool branch;
    bool headings;
    bool anchors;
    int columns;
    bool column_wise;
  };
  const Case cases[] = {
      {"one folder", false, false, false, 1, false},
      {"branch with headings and anchors", true, true, true, 1, false},
      {"branch with headings, no anchors, columns", true, true, false, 3, false},
      {"branch with anchors in columns", true, true, true, 2, false},
      {"branch with anchors in columns, column-wise", true, true, true, 3, true},
      {"branch without headings, columns", true, false, false, 3, false},
      {"branch without headings, columns, column-wise", true, false, false, 4, true},
  };
  const std::string marker = kAnchorMarker;
  settings.custom_html.section(kStart) = "<p>start " + marker + "</p>";
  settings.custom_html.section(kBeforeSummary) = "<p>" + marker + " before summary</p>";
  settings.custom_html.section(kEnd) = "<p>end " + marker + "</p>";
  settings.include_summary = 1;
  for (const Case& c : cases) {
    if (c.branch) {
      GroupedBranch();
      settings.sort_folders_first = settings.show_folder_names = c.headings ? 1 : 0;
    }
    settings.folder_anchors = c.anchors ? 1 : 0;
    settings.column_wise_sort = c.column_wise ? 1 : 0;
    // Held, streamed row by row, streamed in blocks made on threads.
    std::string pages[3];
    for (int way = 0; way < 3; ++way) {
      settings.file_columns = c.columns;
      builder->stream_from_files = way > 0 ? 1 : kHeld;
      RowsInBlocks(way == 2 ? 3 : 0);
      stream_env->appends.clear();
      std::remove((root + kSeparator + "index.html").c_str());
      ASSERT_EQ(Write(), 1) << c.what;
      pages[way] = page;
      EXPECT_EQ(stream_env->appends.size() > 2, way > 0) << c.what;
      // A block is one append: a few rows each.
      if (way == 2) {
        EXPECT_GT(stream_env->appends.size(), 40u) << c.what;
      }
    }
    EXPECT_EQ(pages[1], pages[0]) << c.what;
    EXPECT_EQ(pages[2], pages[0]) << c.what;
    EXPECT_NE(pages[0].find("合计文件:"), std::string::npos) << c.what;
    if (c.anchors) {
      EXPECT_NE(pages[0].find("<a href=\"#IDMy_Docs"), std::string::npos) << c.what;
    }
  }
}

// While a page streams, its text goes to the file every few hundred files
// and is not held.
TEST_F(PageStreamTest, StreamedTextIsNotHeld) {
  ManyFiles();
  GroupedBranch();
  builder->stream_from_files = 1;
  ASSERT_EQ(Write(), 1);
  const std::vector<size_t>& appends = stream_env->appends;
  ASSERT_GE(appends.size(), 700u / PageOutput::kFilesPerChunk + 1);
  EXPECT_LT(*std::max_element(appends.begin(), appends.end()), page.size() / 2);
  EXPECT_FALSE(stream_env->chunks_held);
}

// A streamed page that is cancelled, or whose file cannot be written, leaves
// the old page and no temporary file; only the failure is reported.
TEST_F(PageStreamTest, CancelOrFailureLeavesTheOldPage) {
  ManyFiles();
  GroupedBranch();
  const std::string out = root + kSeparator + "index.html";
  const std::string manifest = out + ".json";
  enum Cancel { kNone, kInTable, kWhileHashing };
  struct Case {
    const char* what;
    Cancel cancel;
    int failing_append;
    bool reported;
  };
  const Case cases[] = {
      {"cancelled in the table", kInTable, -1, false},
      {"cancelled while hashing for the manifest", kWhileHashing, -1, false},
      {"first append fails", kNone, 0, true},
      {"append in the table fails", kNone, 1, true},
  };
  static Cancel cancel_at;
  CBuildProgress progress;
  progress.update_interval = 100;
  FunctionProgressView view([](CBuildProgress& p) {
    const bool in_table = cancel_at == kInTable && p.links_done == 400;
    if (in_table || (cancel_at == kWhileHashing && p.phase == 3)) p.cancel = 1;
  });
  progress.notify = &view;
  builder->progress = &progress;
  builder->stream_from_files = 1;
  for (const int threads : {0, 2}) {
  RowsInBlocks(threads);
  for (const Case& c : cases) {
    env->WriteFileSafely(out, "old");
    env->WriteFileSafely(manifest, "old manifest");
    settings.manifest = c.cancel == kWhileHashing ? "json" : "";
    settings.manifest_checksums = 1;
    builder->failed_pages.clear();
    progress.cancel = 0;
    cancel_at = c.cancel;
    stream_env->appends.clear();
    stream_env->failing_append = c.failing_append;
    EXPECT_EQ(builder->write_page(root), 0) << c.what;
    EXPECT_EQ(ReadFileForTest(out), "old") << c.what;
    EXPECT_EQ(ReadFileForTest(manifest), "old manifest") << c.what;
    EXPECT_TRUE(HiddenNames().empty()) << c.what;
    EXPECT_FALSE(stream_env->appends.empty()) << c.what;  // it did stream
    EXPECT_EQ(builder->failed_pages.size(), c.reported ? 1u : 0u) << c.what;
  }
  }
}

}  // namespace
}  // namespace pagetest
}  // namespace vellora

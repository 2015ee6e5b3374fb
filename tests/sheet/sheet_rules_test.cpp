// The sheet's pure rules: progress texts and what the option dialogs give
// back.
#include <gtest/gtest.h>

#include <string>

#include "settings/build_settings.h"
#include "sheet/option_dialogs.h"
#include "sheet/progress_mailbox.h"
#include "sheet/sheet.h"
#include "sheet/sheet_paths.h"

namespace vellora {
namespace {

TEST(ProgressLines, TextsOfEachPhase) {
  struct Case {
    int32_t phase, done, total;
    bool folder_changed, folder_is_path;
    std::string folder, file;
    bool bar;
  };
  const Case cases[] = {
      {0, 15, 40, true, true, "/d", "链接已处理: 15 共 40", true},
      {0, 0, 0, true, true, "/d", "链接已处理: 0 共 0", false},
      {1, 0, 1234567, true, false, "文件，文件夹搜索结束", "正排序 1,234,567 链接 ...", false},
      {1, 0, 999, true, false, "文件，文件夹搜索结束", "正排序 999 链接 ...", false},
      {3, 5, 9, false, false, "", "保存 html 文件...", false},
  };
  for (const Case& c : cases) {
    CBuildProgress p;
    p.phase = c.phase;
    p.links_done = c.done;
    p.links_total = c.total;
    p.current_folder = "/d";
    const CProgressLines lines = ProgressLinesFor(p);
    EXPECT_EQ(lines.folder_changed, c.folder_changed) << c.file;
    if (c.folder_changed) {
      EXPECT_EQ(lines.folder_line, c.folder);
      EXPECT_EQ(lines.folder_is_path, c.folder_is_path) << c.file;
    }
    EXPECT_EQ(lines.file_line, c.file);
    EXPECT_EQ(lines.bar_changed, c.bar) << c.file;
  }
}

TEST(SortOptionsDialog, RadiosMapToTheSortType) {
  const char* const codes[] = {"N+", "S-", "E=", "D-", "D+"};
  for (const char* code : codes) {
    CBuildSettings s;
    ParseSortType(code, &s.sort_key, &s.sort_order);
    CSortOptionsModel m(s.sort_key, s.sort_order, 0, 1);
    CBuildSettings out;
    m.Apply(&out);
    EXPECT_EQ(SortTypeCode(out.sort_key, out.sort_order), code);
    EXPECT_EQ(out.column_wise_sort, 1);
  }
  // No order radio for an order outside 0 to 2: OK reads unsorted.
  CSortOptionsModel odd(0, 7, 0, 0);
  EXPECT_FALSE(odd.ascending || odd.descending || odd.unsorted);
  EXPECT_EQ(odd.SortOrder(), 2);
}

TEST(RecursiveOptionsDialog, TitleModesRoundTrip) {
  const int32_t modes[][2] = {{0, 0}, {1, 1}, {2, 2}, {5, 1}};
  for (const auto& m : modes) {
    CBuildSettings s;
    s.multi_recurse_title = m[0];
    CRecursiveOptionsModel dialog(s);
    EXPECT_EQ(dialog.TitleMode(), m[1]) << m[0];
  }
}

TEST(DefaultWordsDialog, OkWithoutAnEnvCutsEachBoxAt498Bytes) {
  CDefaultWordsModel dialog{CDefaultWords()};
  dialog.boxes[0] = std::string(600, 'x');
  dialog.boxes[4] = "..";
  CDefaultWords words;
  dialog.Apply(&words, nullptr);
  EXPECT_EQ(words.folder_word, std::string(498, 'x'));
  EXPECT_EQ(words.parent_word, "..");
}

TEST(MoreOptionsDialog, TicksShowTheKeysAndUnknownStylesSurviveAnUntickedBox) {
  using M = CMoreOptionsModel;
  struct Case {
    const char* before;  // size_style, date_style and manifest alike
    bool shown;
    bool ticked;
    const char* after;
  };
  const Case cases[] = {
      {"", false, true, nullptr},  // nullptr: the box's own value
      {nullptr, true, false, ""},
      {"Human", false, false, "Human"},  // not a value the pages know: kept
      {"other", false, true, nullptr},
  };
  const char* own[] = {"human", "iso", "json"};
  for (const Case& c : cases) {
    CBuildSettings s;
    std::string* keys[] = {&s.size_style, &s.date_style, &s.manifest};
    for (int k = 0; k < 3; ++k) *keys[k] = c.before ? c.before : own[k];
    M dialog(s);
    const M::Flag flags[] = {M::kHumanSizes, M::kIsoDates, M::kManifest};
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(dialog.flags[flags[k]], c.shown) << own[k];
      dialog.flags[flags[k]] = c.ticked;
    }
    EXPECT_EQ(dialog.ChecksumsEnabled(), c.ticked);
    dialog.Apply(&s, nullptr);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(*keys[k], c.after ? c.after : own[k]) << own[k];
  }

  CBuildSettings s;
  s.natural_sort = s.manifest_checksums = 1;
  s.readme_names = "README.txt";
  M dialog(s);
  EXPECT_TRUE(dialog.flags[M::kNaturalSort] && dialog.flags[M::kManifestChecksums]);
  EXPECT_FALSE(dialog.flags[M::kFollowOutsideLinks]);
  EXPECT_EQ(dialog.boxes[M::kReadmeNames], "README.txt");
  dialog.flags[M::kNaturalSort] = false;
  dialog.flags[M::kFollowOutsideLinks] = true;
  dialog.boxes[M::kHtmlLang] = "zh-CN";
  dialog.boxes[M::kReadmeNames] = std::string(600, 'r');
  dialog.Apply(&s, nullptr);
  EXPECT_EQ(s.natural_sort, 0);
  EXPECT_EQ(s.follow_outside_links, 1);
  EXPECT_EQ(s.manifest_checksums, 1);
  EXPECT_EQ(s.html_lang, "zh-CN");
  EXPECT_EQ(s.readme_names, std::string(498, 'r'));
}

TEST(FileCreatedDialog, CountLineTakesAnSForMoreThanOne) {
  EXPECT_EQ(CFileCreatedModel("p", 1, false, nullptr).CountLine(), "1 文件 已创建");
  EXPECT_EQ(CFileCreatedModel("p", 3, false, nullptr).CountLine(), "3 文件s 已创建");
  EXPECT_EQ(CFileCreatedModel("p", 0, false, nullptr).CountLine(), "0 文件 已创建");
}

}  // namespace
}  // namespace vellora

namespace vellora {
namespace {

TEST(SheetPaths, ShellQuotingKeepsEveryCharacter) {
  const char* const cases[][2] = {
      {"/opt/my dir/vellora", "'/opt/my dir/vellora'"},
      {"it's", "'it'\\''s'"},
      {"$HOME `x` \"q\"", "'$HOME `x` \"q\"'"},
      {"", "''"},
  };
  for (const auto& c : cases) EXPECT_EQ(ShellQuoted(c[0]), c[1]);
}

}  // namespace
}  // namespace vellora

namespace vellora {
namespace {

TEST(ProgressMailbox, ReportsBetweenTwoPaintsMergeIntoTheLastOfEachLine) {
  CProgressMailbox box;
  CProgressLines shown;
  EXPECT_FALSE(box.Take(&shown));
  CBuildProgress p;
  p.current_folder = "/d";
  p.links_done = 15;
  p.links_total = 40;
  box.Post(ProgressLinesFor(p));
  p.phase = 3;
  box.Post(ProgressLinesFor(p));
  ASSERT_TRUE(box.Take(&shown));
  EXPECT_TRUE(shown.folder_changed);
  EXPECT_TRUE(shown.folder_is_path);
  EXPECT_EQ(shown.folder_line, "/d");
  EXPECT_EQ(shown.file_line, "保存 html 文件...");
  EXPECT_TRUE(shown.bar_changed);
  EXPECT_EQ(shown.bar_position, 15);
  EXPECT_FALSE(box.Take(&shown));
  // A report that sets neither the Folder line nor the bar leaves them be.
  box.Post(ProgressLinesFor(p));
  ASSERT_TRUE(box.Take(&shown));
  EXPECT_FALSE(shown.folder_changed);
  EXPECT_FALSE(shown.bar_changed);
}

}  // namespace
}  // namespace vellora

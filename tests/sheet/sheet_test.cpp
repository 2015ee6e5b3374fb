// Scripted sessions through the settings window's commands: a recording
// desktop answers for the user, the real engine builds in a temporary folder.
#include "sheet/sheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/forwarding_env.h"
#include "platform/path.h"
#include "settings/build_settings.h"
#include "sheet/option_dialogs.h"
#include "sheet/recording_desktop.h"
#include "support/temp_folder.h"

namespace vellora {
namespace {

const std::string kSep(1, kSeparator);

// The real system, with the program placed in a folder of the test.
class ProgramEnv : public CForwardingEnv {
 public:
  ProgramEnv(Env* inner, std::string exe) : CForwardingEnv(inner), exe_(std::move(exe)) {}
  std::string ExecutablePath() override { return exe_; }

 private:
  std::string exe_;
};

class SheetTest : public ::testing::Test {
 protected:
  SheetTest() : env_(Env::Default(), temp_.Path("prog/vellora")) {
    Env::Default()->GetCurrentFolder(&start_);
    program_ = temp_.MakeFolder("prog") + kSep;
    data_ = temp_.MakeFolder("data");
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
      temp_.WriteFile("data/" + std::string(name), "x");
    }
    temp_.WriteFile("data/sub/d.txt", "x");
    OpenSheet();
  }
  // The build changes the current folder; a folder in use cannot be removed.
  ~SheetTest() override { Env::Default()->SetCurrentFolder(start_); }

  void OpenSheet() {
    sheet_.reset();
    stored_ = std::make_unique<CMainSheet>(&env_);
    sheet_ = std::make_unique<CSheetModel>(stored_.get(), &desktop_);
    sheet_->Open();
  }
  std::string Current() {
    std::string folder;
    Env::Default()->GetCurrentFolder(&folder);
    return folder;
  }
  bool Exists(const std::string& path) { return std::filesystem::exists(path); }

  TempFolder temp_;  // first, so that it goes last
  ProgramEnv env_;
  std::string start_, program_, data_;
  CRecordingDesktop desktop_;
  std::unique_ptr<CMainSheet> stored_;
  std::unique_ptr<CSheetModel> sheet_;
};

using Log = std::vector<std::string>;

TEST_F(SheetTest, BuildWithAnEmptyFolderBoxReportsAndKeepsTheCurrentFolder) {
  desktop_.Then("message");
  sheet_->controls.path.clear();
  sheet_->Run(SheetCommand::kBuild);
  EXPECT_EQ(desktop_.log, Log({"message: 取消创建 HTML | 所选文件夹不存在，请点文件夹按钮。"}));
  EXPECT_EQ(Current(), start_);
}

TEST_F(SheetTest, FramedSiteWithoutTheRecursiveBoxBuildsOnePage) {
  desktop_.Then("build").Then("created");
  sheet_->controls.path = data_;
  sheet_->controls.recursion_mode = RecursionMode::kFramedSite;
  sheet_->controls.recursive_build = 0;
  EXPECT_TRUE(sheet_->OnFunctionKey(3, false));
  EXPECT_EQ(desktop_.log.back(), "created: 1 文件 已创建 | " + data_ + kSep + "index.html");
  EXPECT_TRUE(Exists(data_ + kSep + "index.html"));
  EXPECT_EQ(Current() + kSep, program_);
  ASSERT_FALSE(desktop_.progress.empty());
}

TEST_F(SheetTest, RelativeFolderIsTakenFromTheCurrentFolder) {
  desktop_.Then("build").Then("created");
  ASSERT_TRUE(Env::Default()->SetCurrentFolder(temp_.path()));
  sheet_->controls.path = "data";
  sheet_->Build();
  EXPECT_EQ(desktop_.log.back(), "created: 1 文件 已创建 | " + data_ + kSep + "index.html");
  EXPECT_TRUE(Exists(data_ + kSep + "index.html"));
}

TEST_F(SheetTest, CancelledFrameFilesDialogKeepsTheNamesAndBuildsNothing) {
  desktop_.ThenDialog<CFrameFilesModel>("frames", false, [](CFrameFilesModel& m) {
    m.boxes[CFrameFilesModel::kLeft] = "mine.txt";
  });
  sheet_->controls.path = data_;
  sheet_->controls.recursion_mode = RecursionMode::kFramedSite;
  sheet_->controls.recursive_build = 1;
  sheet_->Build();
  EXPECT_EQ(stored_->left_frame_file, "mine.txt");
  EXPECT_FALSE(Exists(data_ + kSep + "index.html"));
}

TEST_F(SheetTest, CancelledBuildIsReported) {
  desktop_.Then("build", false).Then("message");
  sheet_->controls.path = data_;
  sheet_->Build();
  EXPECT_EQ(desktop_.log.back(), "message: 取消创建 HTML | 被用户取消");
  EXPECT_EQ(Current(), data_);
}

TEST_F(SheetTest, CancelledFrameFilesAfterACancelledBuildReportNothing) {
  desktop_.Then("build", false).Then("message").Then("frames", false);
  sheet_->controls.path = data_;
  sheet_->Build();
  sheet_->controls.recursion_mode = RecursionMode::kFramedSite;
  sheet_->controls.recursive_build = 1;
  sheet_->Build();
  EXPECT_EQ(desktop_.log.back(), "frames");
}

TEST_F(SheetTest, PerFolderBuildReportsTheRootPageEvenWhenSkipped) {
  desktop_
      .ThenDialog<CRecursiveOptionsModel>("recursive", true,
                                          [](CRecursiveOptionsModel& m) { m.skip_root = true; })
      .Then("build")
      .Then("created");
  sheet_->controls.path = data_;
  sheet_->controls.recursive_build = 1;
  sheet_->controls.recursion_mode = RecursionMode::kOnePagePerFolder;
  sheet_->Build();
  EXPECT_EQ(desktop_.log.back(),
            "created: 1 文件 已创建 | 根文件:  " + data_ + kSep + "index.html");
  EXPECT_FALSE(Exists(data_ + kSep + "index.html"));
  EXPECT_TRUE(Exists(data_ + kSep + "sub" + kSep + "index.html"));
  EXPECT_EQ(stored_->settings.multi_recurse_skip_root, 1);
}

TEST_F(SheetTest, CancelledRecursiveOptionsAbandonTheBuild) {
  desktop_.Then("recursive", false);
  sheet_->controls.path = data_;
  sheet_->controls.title = "T";
  sheet_->controls.recursive_build = 1;
  sheet_->controls.recursion_mode = RecursionMode::kOnePagePerFolder;
  sheet_->Build();
  EXPECT_EQ(stored_->settings.title, "T");
  EXPECT_EQ(Current(), data_);
}

TEST_F(SheetTest, BatchFileNames) {
#ifdef _WIN32
  const std::string ext = "bat";
#else
  const std::string ext = "sh";
#endif
  temp_.MakeFolder("my dir");
  struct Case {
    std::string chosen;  // relative to the test folder
    std::string config;  // empty: refused
  };
  const Case cases[] = {
      {"prog/run." + ext, "prog/run" + ext + ".ini"},
      {"prog/run.BAT", ext == "bat" ? "prog/runBAT.ini" : ""},
      {"prog/run.SH", ext == "sh" ? "prog/runSH.ini" : ""},
      {"my dir/go." + ext, "my dir/go" + ext + ".ini"},
      {"prog/run.txt", ""},
      {"prog/*." + ext, ""},
  };
  sheet_->controls.path = data_;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    const std::string chosen = temp_.Path(c.chosen);
    desktop_.Then("save", true, chosen);
    if (c.config.empty()) desktop_.Then("message");
    sheet_->Run(SheetCommand::kSaveBatchFile);
    EXPECT_EQ(desktop_.file_requests.back().default_extension, ext);
    if (c.config.empty()) {
      EXPECT_EQ(desktop_.log.back(), "message: 批处理文件名错误 | 取消保存批处理文件.");
      EXPECT_FALSE(Exists(chosen));
      continue;
    }
    const std::string config = temp_.Path(c.config);
    EXPECT_EQ(stored_->batch_file_name, TextAfterLastSeparator(chosen));
    EXPECT_TRUE(Exists(config));
    EXPECT_EQ(stored_->caption, "vellora v4.6 - " + config);
#ifdef _WIN32
    EXPECT_EQ(ReadFileForTest(chosen), "vellora.exe " + config);
#else
    EXPECT_EQ(ReadFileForTest(chosen),
              "#!/bin/sh\nexec '" + temp_.Path("prog/vellora") + "' '" + config + "'\n");
    const auto perms = std::filesystem::status(chosen).permissions();
    EXPECT_NE(perms & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
#endif
  }
  // The dialog offers the last name chosen, even a refused one, in the
  // program's folder.
  EXPECT_EQ(desktop_.file_requests.front().initial_name, program_ + "bld_html." + ext);
  EXPECT_EQ(desktop_.file_requests.back().initial_name, program_ + "run.txt");
}

TEST_F(SheetTest, BatchFileNeedsAFolderThatExists) {
  desktop_.Then("message");
  sheet_->controls.path = temp_.Path("nowhere");
  sheet_->SaveBatchFile();
  EXPECT_EQ(desktop_.log, Log({"message: 错误 | 没有选择有效文件夹 - 批处理文件创建被取消"}));
}

TEST_F(SheetTest, ConfigurationFileTitlesAndLastFolders) {
  const std::string folder = temp_.MakeFolder("cfg") + kSep;
  const std::string file = folder + "my.ini";
  std::string drive, bare = folder;
#ifdef _WIN32
  drive = folder.substr(0, 2);
  bare = folder.substr(2);
#endif
  desktop_.Then("save", true, file).Then("open", true, file);
  sheet_->controls.title = "saved title";
  sheet_->Run(SheetCommand::kWriteConfiguration);
  EXPECT_EQ(sheet_->Title(), "vellora v4.6 - my.ini");
  EXPECT_EQ(stored_->last_config_folder, bare);
  EXPECT_EQ(desktop_.file_requests[0].initial_name, "custom.ini");

  sheet_->controls.title = "edited";
  sheet_->Run(SheetCommand::kReadConfiguration);
  EXPECT_EQ(desktop_.file_requests[1].initial_name, bare + "my.ini");
  EXPECT_TRUE(desktop_.file_requests[1].must_exist);
  EXPECT_EQ(stored_->last_config_folder, drive + bare);
  EXPECT_EQ(sheet_->controls.title, "saved title");
  EXPECT_EQ(sheet_->Title(), "vellora v4.6 - my.ini");
}

TEST_F(SheetTest, OpenOutputFile) {
  const std::string page = temp_.WriteFile("data/page.html", "<p>");
  struct Case {
    std::string output;
    bool shell_ok;
    std::string log;  // the last call
  };
  const Case cases[] = {
      // A full name (a drive on Windows, a root on POSIX) is opened as given.
      {page, true, "shell: " + page},
      {"page.html", false, "message: 报告错误，无法打开这个文件: | " + page + "\n"},
      {"gone.html", true, "message: 输出文件不存在 | 没找到文件: " + data_ + kSep + "gone.html"},
#ifndef _WIN32
      // A colon means nothing special in a POSIX name.
      {"a:b.html", true, "shell: " + temp_.WriteFile("data/a:b.html", "<p>")},
#endif
  };
  sheet_->controls.path = data_;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    if (c.log.rfind("message: 输出", 0) != 0) desktop_.Then("shell", c.shell_ok);
    if (c.log.rfind("message", 0) == 0) desktop_.Then("message");
    sheet_->controls.output_filename = c.output;
    sheet_->Run(SheetCommand::kOpenOutputFile);
    EXPECT_EQ(desktop_.log.back(), c.log);
  }
  EXPECT_EQ(Current(), start_);
}

TEST_F(SheetTest, EditCustomHtmlLooksInTheProgramFolder) {
  temp_.WriteFile("prog/mine.txt", "/HEAD");
  desktop_.Then("shell").Then("message");
  sheet_->controls.custom_html_filename = "mine.txt";
  sheet_->Run(SheetCommand::kEditCustomHtml);
  sheet_->controls.custom_html_filename = "none.txt";
  sheet_->Run(SheetCommand::kEditCustomHtml);
  EXPECT_EQ(desktop_.log, Log({"shell: " + program_ + "mine.txt",
                               "message: 自定义 HTML 文件不存在 | 没找到文件: " + program_ +
                                   "none.txt"}));
}

TEST_F(SheetTest, SortOptionsKeepDateDescendingOnOk) {
  stored_->settings.sort_key = CBuildSettings::kSortByDate;
  stored_->settings.sort_order = 1;
  bool shown = false;
  desktop_.ThenDialog<CSortOptionsModel>("sort", true, [&shown](CSortOptionsModel& m) {
    shown = m.by_date && m.descending && !m.by_name && !m.ascending;
  });
  desktop_.ThenDialog<CSortOptionsModel>("sort", false, [](CSortOptionsModel& m) {
    m.by_date = false;
    m.by_size = true;
  });
  EXPECT_TRUE(sheet_->OnFunctionKey(5, false));
  EXPECT_TRUE(shown);
  EXPECT_EQ(SortTypeCode(stored_->settings.sort_key, stored_->settings.sort_order), "D-");
  sheet_->OnFunctionKey(5, false);
  EXPECT_EQ(SortTypeCode(stored_->settings.sort_key, stored_->settings.sort_order), "D-");
}

TEST_F(SheetTest, DefaultWordsChangeOnlyOnOk) {
  const std::string parent = stored_->default_words.parent_word;
  auto restore = [](CDefaultWordsModel& m) { m.RestoreDefaults(); };
  desktop_.ThenDialog<CDefaultWordsModel>("words", false, restore)
      .ThenDialog<CDefaultWordsModel>("words", true, restore);
  sheet_->OnFunctionKey(6, false);
  EXPECT_EQ(stored_->default_words.parent_word, parent);
  EXPECT_EQ(parent, "{parent folder}");
  sheet_->OnFunctionKey(6, false);
  EXPECT_EQ(stored_->default_words.parent_word, "..");
  EXPECT_EQ(stored_->default_words.folder_word, "<b>文件夹</b>");
}

TEST_F(SheetTest, MoreOptionsChangeTheSettingsOnlyOnOkAndHaveNoFunctionKey) {
  auto tick = [](CMoreOptionsModel& m) { m.flags[CMoreOptionsModel::kNaturalSort] = true; };
  desktop_.ThenDialog<CMoreOptionsModel>("more", false, tick)
      .ThenDialog<CMoreOptionsModel>("more", true, tick);
  sheet_->Run(SheetCommand::kMoreOptions);
  EXPECT_EQ(stored_->settings.natural_sort, 0);
  sheet_->Run(SheetCommand::kMoreOptions);
  EXPECT_EQ(stored_->settings.natural_sort, 1);
  for (size_t i = 0; i < kSheetKeyCount; ++i) {
    EXPECT_NE(kSheetKeys[i].command, SheetCommand::kMoreOptions);
  }
}

TEST_F(SheetTest, ExitWritesTheDefaultConfigurationAndTheNextStartOpensOnTheLastPage) {
  sheet_->controls.active_page = 3;
  sheet_->controls.title = "kept";
  sheet_->Run(SheetCommand::kExit);
  EXPECT_TRUE(Exists(program_ + "vellora.ini"));
  OpenSheet();
  EXPECT_EQ(sheet_->controls.active_page, 3);
  EXPECT_EQ(sheet_->controls.title, "kept");
  // A page index that names no page opens the first page.
  sheet_->controls.active_page = 7;
  sheet_->Exit();
  OpenSheet();
  EXPECT_EQ(sheet_->controls.active_page, 0);
}

TEST_F(SheetTest, ChangeBackgroundTakesEffectForLaterDialogsAndTheTerms) {
  const std::string bitmap = program_ + "stone.bmp";
  desktop_.Then("open", true, bitmap).Then("message");
  desktop_.ThenDialog<CSortOptionsModel>("sort", false, [&bitmap](CSortOptionsModel& m) {
    EXPECT_EQ(m.background_bitmap, bitmap);
  });
  desktop_.Then("terms");
  const std::string pages = stored_->background_bitmap;
  sheet_->Run(SheetCommand::kChangeBackground);
  sheet_->SortOptions();
  sheet_->Run(SheetCommand::kDistributionTerms);
  EXPECT_EQ(desktop_.log[3], "terms: " + bitmap);
  EXPECT_EQ(desktop_.file_requests[0].initial_folder, program_);
  EXPECT_EQ(desktop_.log[1], "message: 背景已更改 | 新的背景将在 vellora 重新启动后显示。");
  EXPECT_EQ(stored_->background_bitmap, pages);
}

TEST_F(SheetTest, FunctionKeysAndHelp) {
  for (int key : {2, 4, 10}) EXPECT_FALSE(sheet_->OnFunctionKey(key, false)) << key;
  desktop_.Then("about").Then("shell", false).Then("message");
  EXPECT_TRUE(sheet_->OnFunctionKey(1, true));
  EXPECT_TRUE(sheet_->OnFunctionKey(1, false));
  EXPECT_EQ(desktop_.log, Log({"about", "shell: " + program_ + "vellora_help.html",
                               "message: vellora v4.6 | 启动帮助失败。"}));
}

TEST_F(SheetTest, FrameFileChoicesAndEdits) {
  CFrameFilesModel frames(program_, "frameset.txt", "left.txt", data_ + kSep + "r.txt", &desktop_);
  desktop_.Then("open", true, program_ + "l2.txt")
      .Then("open", true, data_ + kSep + "f2.txt")
      .Then("open", false)
      .Then("shell", false);
  frames.Choose(CFrameFilesModel::kLeft);
  frames.Choose(CFrameFilesModel::kFrameset);
  frames.Choose(CFrameFilesModel::kRight);
  frames.Edit(CFrameFilesModel::kLeft);
  EXPECT_EQ(frames.boxes[CFrameFilesModel::kLeft], "l2.txt");
  EXPECT_EQ(frames.boxes[CFrameFilesModel::kFrameset], data_ + kSep + "f2.txt");
  EXPECT_EQ(frames.boxes[CFrameFilesModel::kRight], data_ + kSep + "r.txt");
  EXPECT_EQ(desktop_.file_requests[0].initial_name, program_ + "left.txt");
  EXPECT_EQ(desktop_.file_requests[2].initial_name, data_ + kSep + "r.txt");
  EXPECT_EQ(desktop_.log.back(), "shell: " + program_ + "l2.txt");
}

TEST_F(SheetTest, TimeNeedsTheDate) {
  CControlValues& c = sheet_->controls;
  c.include_date = 0;
  sheet_->SetIncludeTime(true);
  EXPECT_EQ(c.include_date, 1);
  sheet_->SetIncludeTime(false);
  EXPECT_EQ(c.include_date, 1);
  sheet_->SetIncludeTime(true);
  sheet_->SetIncludeDate(false);
  EXPECT_EQ(c.include_time, 0);
}

TEST_F(SheetTest, ChoosersOfTheFirstPage) {
  sheet_->controls.path.clear();
  sheet_->controls.output_filename.clear();
  sheet_->controls.skip_folders.clear();
  desktop_.Then("save", true, program_ + "list.html")
      .Then("save", true, data_ + kSep + "x.html")
      .Then("browse", true, "A")
      .Then("browse", true, "B");
  sheet_->ChooseOutputFile();
  EXPECT_EQ(desktop_.file_requests[0].initial_name, program_ + "index.html");
  EXPECT_EQ(sheet_->controls.output_filename, "list.html");
  sheet_->ChooseOutputFile();
  EXPECT_EQ(sheet_->controls.output_filename, data_ + kSep + "x.html");
  sheet_->BrowseSkipFolder();
  sheet_->BrowseSkipFolder();
  EXPECT_EQ(sheet_->controls.skip_folders, "A;B");
  EXPECT_EQ(desktop_.log[2], "browse: 选择要跳过的文件夹... | " +
                                 program_.substr(0, program_.size() - 1));
}

}  // namespace
}  // namespace vellora

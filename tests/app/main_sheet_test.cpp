#include "app/main_sheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/config_env.h"
#include "app/ini_file.h"

namespace vellora {
namespace {

class MainSheetTest : public ::testing::Test {
 protected:
  std::string ProgramFile(const std::string& name) {
    return NativePath("/opt/vellora/") + name;
  }
  // Reads `body` as the VELLORA section of a file in the program's folder.
  bool ReadSection(CMainSheet* sheet, const std::string& body) {
    env_.files[ProgramFile("t.ini")] = "[VELLORA]\r\n" + body;
    return sheet->ReadConfiguration("t.ini");
  }

  ConfigEnv env_;
};

// Flags the writer writes and the reader reads back.
const std::vector<int32_t CBuildSettings::*> kRoundTripFlags = {
    &CBuildSettings::non_functional_links,   &CBuildSettings::sizes_by_k,
    &CBuildSettings::column_wise_sort,       &CBuildSettings::show_folder_names,
    &CBuildSettings::multi_recurse_link,     &CBuildSettings::multi_recurse_skip_root,
    &CBuildSettings::recursive_build,        &CBuildSettings::folder_anchors,
    &CBuildSettings::href20,                 &CBuildSettings::include_filesize,
    &CBuildSettings::include_subfolders,     &CBuildSettings::include_date,
    &CBuildSettings::include_summary,        &CBuildSettings::supress_headers,
    &CBuildSettings::supress_parent_link,    &CBuildSettings::euro_date_style,
    &CBuildSettings::suppress_extensions,    &CBuildSettings::full_pathname_links,
    &CBuildSettings::suppress_visible_links, &CBuildSettings::replace_iso_chars,
    &CBuildSettings::sort_folders_first,     &CBuildSettings::build_framed_site,
    &CBuildSettings::include_time,           &CBuildSettings::use_html_titles_for_links,
    &CBuildSettings::xml_compliant,          &CBuildSettings::insert_commas,
};

const std::vector<std::string CBuildSettings::*> kRoundTripTexts = {
    &CBuildSettings::path,      &CBuildSettings::file_spec,
    &CBuildSettings::output_filename, &CBuildSettings::title,
    &CBuildSettings::custom_html_filename, &CBuildSettings::skip_files,
    &CBuildSettings::skip_folders,
};

const std::vector<std::string CDefaultWords::*> kWords = {
    &CDefaultWords::folder_word,        &CDefaultWords::filename_word,
    &CDefaultWords::size_word,          &CDefaultWords::date_word,
    &CDefaultWords::anchor_word,        &CDefaultWords::parent_word,
    &CDefaultWords::summary_files_word, &CDefaultWords::summary_folders_word,
    &CDefaultWords::summary_size_word,  &CDefaultWords::folder_sort_word,
    &CDefaultWords::background_bitmap,
};

void ExpectSameStoredValues(const CMainSheet& a, const CMainSheet& b) {
  for (auto flag : kRoundTripFlags) EXPECT_EQ(a.settings.*flag, b.settings.*flag);
  for (auto text : kRoundTripTexts) EXPECT_EQ(a.settings.*text, b.settings.*text);
  for (auto word : kWords) EXPECT_EQ(a.default_words.*word, b.default_words.*word);
  EXPECT_EQ(a.settings.folder_columns, b.settings.folder_columns);
  EXPECT_EQ(a.settings.file_columns, b.settings.file_columns);
  EXPECT_EQ(a.settings.multi_recurse_title, b.settings.multi_recurse_title);
  EXPECT_EQ(a.settings.sort_key, b.settings.sort_key);
  EXPECT_EQ(a.settings.sort_order, b.settings.sort_order);
  EXPECT_EQ(a.left_frame_file, b.left_frame_file);
  EXPECT_EQ(a.right_frame_file, b.right_frame_file);
  EXPECT_EQ(a.frameset_file, b.frameset_file);
  EXPECT_EQ(a.active_page, b.active_page);
}

TEST_F(MainSheetTest, ConstructionSetsPathsNamesAndThePagesBitmap) {
  env_.File("vellora.ini") = "[VELLORA]\r\nbackground_bitmap=from_current.bmp\r\n";
  env_.files[ProgramFile("vellora.ini")] = "[VELLORA]\r\nbackground_bitmap=from_program.bmp\r\n";
  CMainSheet sheet(&env_);
  EXPECT_EQ(sheet.program_folder, NativePath("/opt/vellora/"));
  EXPECT_EQ(sheet.default_config_path, ProgramFile("vellora.ini"));
  EXPECT_EQ(sheet.config_path, sheet.default_config_path);
  EXPECT_EQ(sheet.last_config_name, "custom.ini");
  EXPECT_EQ(sheet.batch_file_name, "bld_html.bat");
  EXPECT_EQ(sheet.caption, "vellora v4.6");
  // The pages' bitmap comes from the current folder's file.
  EXPECT_EQ(sheet.background_bitmap, "from_current.bmp");
  EXPECT_EQ(sheet.default_words.background_bitmap, "green_marble.bmp");

  env_.files.clear();
  CMainSheet plain(&env_);
  EXPECT_EQ(plain.background_bitmap, "green_marble.bmp");
  // A new record carries its own construction values, not the file defaults.
  EXPECT_EQ(plain.settings.file_columns, 2);
  EXPECT_EQ(plain.settings.folder_columns, 4);
  EXPECT_EQ(plain.settings.multi_recurse_title, CBuildSettings::kTitleDefault);
  EXPECT_EQ(plain.settings.link_folders_to_output_name, 1);
  EXPECT_EQ(plain.settings.reload_custom_html, 1);
  EXPECT_EQ(plain.settings.custom_html.section(kHead), "");
}

TEST_F(MainSheetTest, EmptyAndMissingFilesGiveTheDefaults) {
  for (bool exists : {true, false}) {
    SCOPED_TRACE(exists ? "empty file" : "missing file");
    env_.files.erase(ProgramFile("empty.ini"));
    if (exists) env_.files[ProgramFile("empty.ini")] = "";
    CMainSheet sheet(&env_);
    sheet.settings.path = "stale";
    EXPECT_EQ(sheet.ReadConfiguration("empty.ini"), exists);
    const CBuildSettings& s = sheet.settings;
    EXPECT_EQ(s.file_columns, 1);
    EXPECT_EQ(s.folder_columns, 1);
    EXPECT_EQ(s.sort_key, CBuildSettings::kSortByName);
    EXPECT_EQ(s.sort_order, CBuildSettings::kSortAscending);
    EXPECT_EQ(s.multi_recurse_title, CBuildSettings::kTitleFolderName);
    EXPECT_EQ(s.multi_recurse_link, 1);
    EXPECT_EQ(s.recursive_build, 0);
    EXPECT_EQ(s.replace_iso_chars, 1);
    EXPECT_EQ(s.include_time, 1);
    EXPECT_EQ(sheet.active_page, 0);
    EXPECT_EQ(s.path, "");
    EXPECT_EQ(s.skip_files, "");
    EXPECT_EQ(s.skip_folders, "");
    EXPECT_EQ(s.file_spec, "*.*");
    EXPECT_EQ(s.output_filename, "index.html");
    EXPECT_EQ(s.title, "文件列表");
    EXPECT_EQ(s.custom_html_filename, "fancy_table.txt");
    EXPECT_EQ(sheet.left_frame_file, "left_frame.txt");
    EXPECT_EQ(sheet.right_frame_file, "right_frame.txt");
    EXPECT_EQ(sheet.frameset_file, "frameset.txt");
    const CDefaultWords& w = sheet.default_words;
    EXPECT_EQ(w.folder_word, "<b>文件夹</b>");
    EXPECT_EQ(w.filename_word, "<b>文件名称</b>");
    EXPECT_EQ(w.size_word, "<b>大小</b>");
    EXPECT_EQ(w.date_word, "<b>日期</b>");
    EXPECT_EQ(w.anchor_word, "<b>文件夹锚点</b>");
    EXPECT_EQ(w.parent_word, "{parent folder}");
    EXPECT_EQ(w.background_bitmap, "green_marble.bmp");
    EXPECT_EQ(w.summary_files_word, "合计文件:");
    EXPECT_EQ(w.summary_folders_word, "合计文件夹:");
    EXPECT_EQ(w.summary_size_word, "所有文件的大小:");
    EXPECT_EQ(w.folder_sort_word, "文件夹:");
    // Flags whose default is TRUE, then those whose default is FALSE.
    for (int32_t v : {s.folder_anchors, s.column_wise_sort, s.href20, s.include_filesize,
                      s.include_subfolders, s.include_date, s.insert_commas}) {
      EXPECT_EQ(v, 1);
    }
    for (int32_t v : {s.sizes_by_k, s.show_folder_names, s.suppress_visible_links,
                      s.multi_recurse_skip_root, s.sort_folders_first, s.include_summary,
                      s.supress_headers, s.supress_parent_link, s.euro_date_style,
                      s.suppress_extensions, s.full_pathname_links, s.build_framed_site,
                      s.use_html_titles_for_links, s.xml_compliant, s.non_functional_links}) {
      EXPECT_EQ(v, 0);
    }
  }
}

TEST_F(MainSheetTest, EmptyValuesAndValueForms) {
  CMainSheet sheet(&env_);
  ReadSection(&sheet,
              "output_filename=\r\ntitle=\r\ncustom_html_filename=\r\n"
              "href20=true\r\ninclude_filesize=1\r\nsizes_by_k=TRUE\r\n"
              "folder_columns=12abc\r\nfile_columns=abc\r\nactive_page=3x\r\n");
  const CBuildSettings& s = sheet.settings;
  EXPECT_EQ(s.output_filename, "index.html");
  EXPECT_EQ(s.title, "文件列表");
  EXPECT_EQ(s.custom_html_filename, "");
  EXPECT_EQ(s.href20, 0);  // only "TRUE" is true
  EXPECT_EQ(s.include_filesize, 0);
  EXPECT_EQ(s.sizes_by_k, 1);
  EXPECT_EQ(s.folder_columns, 12);
  EXPECT_EQ(s.file_columns, 1);  // no number: 0, raised to one column
  EXPECT_EQ(sheet.active_page, 3);

  ReadSection(&sheet, "folder_columns=-3\r\nfile_columns=99999999999999\r\nactive_page=-1\r\n");
  EXPECT_EQ(s.folder_columns, 1);
  EXPECT_EQ(s.file_columns, INT32_MAX);
  EXPECT_EQ(sheet.active_page, -1);
}

TEST_F(MainSheetTest, RecursionModeTimeAndTitleRules) {
  CMainSheet sheet(&env_);
  const CBuildSettings& s = sheet.settings;
  ReadSection(&sheet, "multi_recurse_link=TRUE\r\nrecursive_build_single_file=TRUE\r\n");
  EXPECT_EQ(s.multi_recurse_link, 0);
  ReadSection(&sheet, "multi_recurse_link=FALSE\r\nrecursive_build_single_file=FALSE\r\n");
  EXPECT_EQ(s.multi_recurse_link, 0);
  ReadSection(&sheet, "multi_recurse_link=TRUE\r\nrecursive_build_single_file=yes\r\n");
  EXPECT_EQ(s.multi_recurse_link, 1);

  ReadSection(&sheet, "include_date=FALSE\r\ninclude_time=TRUE\r\n");
  EXPECT_EQ(s.include_date, 0);
  EXPECT_EQ(s.include_time, 0);
  ReadSection(&sheet, "include_date=TRUE\r\ninclude_time=FALSE\r\n");
  EXPECT_EQ(s.include_time, 0);

  const std::vector<std::pair<std::string, int32_t>> titles = {
      {"QUALIFIED", 0}, {"DEFAULT", 1}, {"FOLDER", 2}, {"folder", 2}, {"default", 2}, {"x", 2}};
  for (const auto& t : titles) {
    ReadSection(&sheet, "multi_recurse_title=" + t.first + "\r\n");
    EXPECT_EQ(s.multi_recurse_title, t.second) << t.first;
  }
}

TEST_F(MainSheetTest, SortCodes) {
  struct Case {
    const char* code;
    int32_t key, order;
  };
  const Case cases[] = {{"D-", 3, 1}, {"E=", 2, 2}, {"S+", 1, 0}, {"N-", 0, 1}, {"X=", 0, 2},
                        {"S", 1, 0},  {"", 0, 0},   {"d-", 0, 1}, {"D*", 3, 0}};
  CMainSheet sheet(&env_);
  for (const Case& c : cases) {
    ReadSection(&sheet, std::string("sort_type=") + c.code + "\r\n");
    EXPECT_EQ(sheet.settings.sort_key, c.key) << c.code;
    EXPECT_EQ(sheet.settings.sort_order, c.order) << c.code;
  }
}

TEST_F(MainSheetTest, LongValuesAreCut) {
  CMainSheet sheet(&env_);
  const std::string long_text(1200, 'a');
  ReadSection(&sheet, "path=" + long_text + "\r\nskip_folders=" + long_text +
                          "\r\nfolder_word=" + long_text + "\r\nleft_frame_file=" + long_text +
                          "\r\n");
  EXPECT_EQ(sheet.settings.path.size(), 998u);
  EXPECT_EQ(sheet.left_frame_file.size(), 998u);
  EXPECT_EQ(sheet.settings.skip_folders.size(), 498u);
  EXPECT_EQ(sheet.default_words.folder_word.size(), 498u);
}

TEST_F(MainSheetTest, NamesWithoutSeparatorAreReadFromTheProgramFolder) {
  env_.files[ProgramFile("a.ini")] = "[VELLORA]\r\ntitle=program\r\n";
  env_.File("a.ini") = "[VELLORA]\r\ntitle=current\r\n";
  env_.File(std::string("sub") + kSeparator + "a.ini") = "[VELLORA]\r\ntitle=relative\r\n";
  CMainSheet sheet(&env_);
  EXPECT_TRUE(sheet.ReadConfiguration("a.ini"));
  EXPECT_EQ(sheet.settings.title, "program");
  EXPECT_TRUE(sheet.ReadConfiguration(std::string("sub") + kSeparator + "a.ini"));
  EXPECT_EQ(sheet.settings.title, "relative");
  // Quotes and blanks are part of the name.
  EXPECT_FALSE(sheet.ReadConfiguration("\"a.ini\""));
  EXPECT_EQ(sheet.settings.title, "文件列表");
  EXPECT_FALSE(sheet.ReadConfiguration(" a.ini"));
}

TEST_F(MainSheetTest, BackgroundBitmapFeedsTheWordsAndTheSheet) {
  CMainSheet sheet(&env_);
  ReadSection(&sheet, "background_bitmap=paper.bmp\r\n");
  EXPECT_EQ(sheet.default_words.background_bitmap, "paper.bmp");
  EXPECT_EQ(sheet.background_bitmap, "paper.bmp");
}

TEST_F(MainSheetTest, RoundTripOfEveryKey) {
  for (int32_t flags : {1, 0}) {
    for (int32_t title_mode : {0, 1, 2}) {
      SCOPED_TRACE("flags " + std::to_string(flags) + " title " + std::to_string(title_mode));
      CMainSheet out(&env_);
      for (auto flag : kRoundTripFlags) out.settings.*flag = flags;
      int n = 0;
      for (auto text : kRoundTripTexts) out.settings.*text = "text " + std::to_string(++n) + " 文;=[x]";
      for (auto word : kWords) out.default_words.*word = "<i>word " + std::to_string(++n) + "</i>";
      out.left_frame_file = "l.txt";
      out.right_frame_file = "r.txt";
      out.frameset_file = "f.txt";
      out.settings.folder_columns = 7;
      out.settings.file_columns = 20;
      out.settings.multi_recurse_title = title_mode;
      out.settings.sort_key = CBuildSettings::kSortByDate;
      out.settings.sort_order = CBuildSettings::kSortDescending;
      out.active_page = 3;
      const std::string file = ProgramFile("round.ini");
      ASSERT_TRUE(out.WriteConfiguration(file));
      CMainSheet in(&env_);
      ASSERT_TRUE(in.ReadConfiguration(file));
      ExpectSameStoredValues(out, in);
    }
  }
  // Every sort code.
  for (int32_t key = 0; key < 4; ++key) {
    for (int32_t order = 0; order < 3; ++order) {
      CMainSheet out(&env_);
      out.settings.sort_key = key;
      out.settings.sort_order = order;
      ASSERT_TRUE(out.WriteConfiguration(ProgramFile("sort.ini")));
      CMainSheet in(&env_);
      in.ReadConfiguration("sort.ini");
      EXPECT_EQ(in.settings.sort_key, key);
      EXPECT_EQ(in.settings.sort_order, order);
    }
  }
}

TEST_F(MainSheetTest, WriterOrderCaptionAndActivePage) {
  CMainSheet sheet(&env_);
  sheet.ReadConfiguration("none.ini");
  CControlValues controls = sheet.StoredControlValues();
  controls.active_page = 2;
  const std::string file = NativePath("/home/user/out.ini");
  ASSERT_TRUE(sheet.WriteConfiguration(file, controls));
  EXPECT_EQ(sheet.caption, "vellora v4.6 - " + file);
  EXPECT_EQ(sheet.active_page, 2);
  const std::string expected =
      "[VELLORA]\r\n"
      "multi_recurse_title=FOLDER\r\n"
      "left_frame_file=left_frame.txt\r\n"
      "right_frame_file=right_frame.txt\r\n"
      "frameset_file=frameset.txt\r\n"
      "non_functional_links=FALSE\r\n"
      "sizes_by_k=FALSE\r\n"
      "column_wise_sort=TRUE\r\n"
      "show_folder_names=FALSE\r\n"
      "multi_recurse_link=TRUE\r\n"
      "multi_recurse_skip_root=FALSE\r\n"
      "recursive_build=FALSE\r\n"
      "folder_anchors=TRUE\r\n"
      "path=\r\n"
      "folder_columns=1\r\n"
      "file_columns=1\r\n"
      "skip_files=\r\n"
      "file_spec=*.*\r\n"
      "output_filename=index.html\r\n"
      "title=文件列表\r\n"
      "custom_html_filename=fancy_table.txt\r\n"
      "href20=TRUE\r\n"
      "include_filesize=TRUE\r\n"
      "include_subfolders=TRUE\r\n"
      "include_date=TRUE\r\n"
      "include_summary=FALSE\r\n"
      "supress_headers=FALSE\r\n"
      "supress_parent_link=FALSE\r\n"
      "euro_date_style=FALSE\r\n"
      "suppress_extensions=FALSE\r\n"
      "full_pathname_links=FALSE\r\n"
      "suppress_visible_links=FALSE\r\n"
      "replace_iso_chars=TRUE\r\n"
      "sort_type=N+\r\n"
      "sort_folders_first=FALSE\r\n"
      "build_framed_site=FALSE\r\n"
      "folder_word=<b>文件夹</b>\r\n"
      "filename_word=<b>文件名称</b>\r\n"
      "size_word=<b>大小</b>\r\n"
      "date_word=<b>日期</b>\r\n"
      "anchor_word=<b>文件夹锚点</b>\r\n"
      "parent_word={parent folder}\r\n"
      "background_bitmap=green_marble.bmp\r\n"
      "summary_files_word=合计文件:\r\n"
      "summary_folders_word=合计文件夹:\r\n"
      "summary_size_word=所有文件的大小:\r\n"
      "folder_sort_word=文件夹:\r\n"
      "include_time=TRUE\r\n"
      "use_html_titles_for_links=FALSE\r\n"
      "skip_folders=\r\n"
      "active_page=2\r\n"
      "xml_compliant=FALSE\r\n"
      "insert_commas=TRUE\r\n";
  EXPECT_EQ(env_.files[file], expected);
}

TEST_F(MainSheetTest, WriterTakesControlValues) {
  CMainSheet sheet(&env_);
  CControlValues controls = sheet.StoredControlValues();
  controls.recursion_mode = RecursionMode::kFramedSite;
  controls.recursive_build = 1;
  controls.skip_files = "*.tmp";
  controls.path = std::string(600, 'p');
  controls.title = std::string(600, 't');
  const std::string file = ProgramFile("framed.ini");
  ASSERT_TRUE(sheet.WriteConfiguration(file, controls));
  // The skip list goes through the stored settings.
  EXPECT_EQ(sheet.settings.skip_files, "*.tmp");
  IniDocument doc(env_.files[file]);
  EXPECT_EQ(doc.Get("VELLORA", "build_framed_site", "", 998), "TRUE");
  EXPECT_EQ(doc.Get("VELLORA", "multi_recurse_link", "", 998), "TRUE");
  // Edit boxes give at most 498 characters.
  EXPECT_EQ(doc.Get("VELLORA", "path", "", 998).size(), 498u);
  EXPECT_EQ(doc.Get("VELLORA", "title", "", 998).size(), 498u);

  CMainSheet reader(&env_);
  reader.ReadConfiguration(file);
  EXPECT_EQ(reader.settings.build_framed_site, 1);
  EXPECT_EQ(reader.settings.multi_recurse_link, 1);
  EXPECT_EQ(reader.StoredControlValues().recursion_mode, RecursionMode::kFramedSite);

  controls.recursion_mode = RecursionMode::kAllInOneFile;
  ASSERT_TRUE(sheet.WriteConfiguration(file, controls));
  reader.ReadConfiguration(file);
  EXPECT_EQ(reader.settings.build_framed_site, 0);
  EXPECT_EQ(reader.settings.multi_recurse_link, 0);
}

TEST_F(MainSheetTest, WriterKeepsTheRestOfAnExistingFile) {
  const std::string file = ProgramFile("kept.ini");
  env_.files[file] =
      "; my settings\r\n[OTHER]\r\nkey=value\r\n[vellora]\r\nTITLE=old\r\nextra=1\r\n[TAIL]\r\nz=9\r\n";
  CMainSheet sheet(&env_);
  sheet.settings.title = "new";
  ASSERT_TRUE(sheet.WriteConfiguration(file));
  const std::string& text = env_.files[file];
  EXPECT_EQ(text.rfind("; my settings\r\n[OTHER]\r\nkey=value\r\n[vellora]\r\nTITLE=new\r\nextra=1\r\n", 0),
            0u);
  EXPECT_NE(text.find("insert_commas=TRUE\r\n[TAIL]\r\nz=9\r\n"), std::string::npos);
  EXPECT_EQ(IniDocument(text).Get("TAIL", "z", "", 998), "9");
}

TEST_F(MainSheetTest, FailedWriteLeavesTheOldFileAndStillSetsTheCaption) {
  const std::string file = ProgramFile("old.ini");
  env_.files[file] = "[VELLORA]\r\ntitle=old\r\n";
  CMainSheet sheet(&env_);
  env_.fail_writes = true;
  EXPECT_FALSE(sheet.WriteConfiguration(file));
  EXPECT_EQ(sheet.caption, "vellora v4.6 - " + file);
  env_.fail_writes = false;
  env_.unreadable.insert(file);
  EXPECT_FALSE(sheet.WriteConfiguration(file));
  EXPECT_FALSE(sheet.WriteConfiguration(NativePath("/missing/x.ini")));
  env_.unreadable.clear();
  EXPECT_EQ(env_.files[file], "[VELLORA]\r\ntitle=old\r\n");
}

TEST_F(MainSheetTest, ExchangeCopiesTheStoredSettings) {
  CMainSheet sheet(&env_);
  ReadSection(&sheet,
              "path=C:\\data\r\nrecursive_build=TRUE\r\nmulti_recurse_link=TRUE\r\n"
              "build_framed_site=TRUE\r\nsort_type=D-\r\nfolder_columns=3\r\ntitle=T\r\n");
  for (auto flag : kRoundTripFlags) sheet.settings.*flag = 1;
  sheet.settings.framed_right_pass = 1;
  sheet.settings.link_folders_to_output_name = 0;
  sheet.settings.reload_custom_html = 0;
  CBuildSettings target;
  target.framed_right_pass = 1;
  ASSERT_EQ(sheet.Exchange(1, &target), 1);
  for (auto flag : kRoundTripFlags) EXPECT_EQ(target.*flag, 1);
  for (auto text : kRoundTripTexts) EXPECT_EQ(target.*text, sheet.settings.*text);
  EXPECT_EQ(target.folder_columns, 3);
  EXPECT_EQ(target.file_columns, 1);
  EXPECT_EQ(target.sort_key, CBuildSettings::kSortByDate);
  EXPECT_EQ(target.sort_order, CBuildSettings::kSortDescending);
  EXPECT_EQ(target.multi_recurse_title, CBuildSettings::kTitleFolderName);
  EXPECT_EQ(target.root_folder, "C:\\data");
  EXPECT_EQ(target.framed_right_pass, 0);
  EXPECT_EQ(target.default_words, &sheet.default_words);
  // A batch build always reloads the template and links folders to the
  // default page name.
  EXPECT_EQ(target.link_folders_to_output_name, 1);
  EXPECT_EQ(target.reload_custom_html, 1);

  EXPECT_EQ(sheet.Exchange(1, nullptr), 0);
  EXPECT_EQ(sheet.Exchange(0, &target), 0);  // needs the pages
}

}  // namespace
}  // namespace vellora

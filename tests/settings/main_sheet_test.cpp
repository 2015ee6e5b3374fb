#include "settings/main_sheet.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/config_env.h"
#include "settings/ini_file.h"

namespace vellora {
namespace {

// What the writer writes for a file without any key: every default, in order.
const char kWrittenDefaults[] =
    "[VELLORA]\r\n"
    "multi_recurse_title=FOLDER\r\nleft_frame_file=left_frame.txt\r\n"
    "right_frame_file=right_frame.txt\r\nframeset_file=frameset.txt\r\n"
    "non_functional_links=FALSE\r\nsizes_by_k=FALSE\r\ncolumn_wise_sort=TRUE\r\n"
    "show_folder_names=FALSE\r\nmulti_recurse_link=TRUE\r\nmulti_recurse_skip_root=FALSE\r\n"
    "recursive_build=FALSE\r\nfolder_anchors=TRUE\r\npath=\r\nfolder_columns=1\r\n"
    "file_columns=1\r\nskip_files=\r\nfile_spec=*.*\r\noutput_filename=index.html\r\n"
    "title=文件列表\r\ncustom_html_filename=fancy_table.txt\r\nhref20=TRUE\r\n"
    "include_filesize=TRUE\r\ninclude_subfolders=TRUE\r\ninclude_date=TRUE\r\n"
    "include_summary=FALSE\r\nsupress_headers=FALSE\r\nsupress_parent_link=FALSE\r\n"
    "euro_date_style=FALSE\r\nsuppress_extensions=FALSE\r\nfull_pathname_links=FALSE\r\n"
    "suppress_visible_links=FALSE\r\nreplace_iso_chars=TRUE\r\nsort_type=N+\r\n"
    "sort_folders_first=FALSE\r\nbuild_framed_site=FALSE\r\nfolder_word=<b>文件夹</b>\r\n"
    "filename_word=<b>文件名称</b>\r\nsize_word=<b>大小</b>\r\ndate_word=<b>日期</b>\r\n"
    "anchor_word=<b>文件夹锚点</b>\r\nparent_word={parent folder}\r\n"
    "background_bitmap=green_marble.bmp\r\nsummary_files_word=合计文件:\r\n"
    "summary_folders_word=合计文件夹:\r\nsummary_size_word=所有文件的大小:\r\n"
    "folder_sort_word=文件夹:\r\ninclude_time=TRUE\r\nuse_html_titles_for_links=FALSE\r\n"
    "skip_folders=\r\nactive_page=0\r\nxml_compliant=FALSE\r\ninsert_commas=TRUE\r\n"
    "follow_outside_links=FALSE\r\nhtml_lang=\r\nsize_style=\r\ndate_style=\r\n"
    "natural_sort=FALSE\r\nreadme_names=\r\nmanifest=\r\nmanifest_checksums=FALSE\r\n";

// `text` with every "=from\r" value replaced, or with the value of one key.
std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}
std::string WithValue(std::string text, const std::string& key, const std::string& value) {
  const size_t at = text.find("\n" + key + "=") + key.size() + 2;
  return text.replace(at, text.find('\r', at) - at, value);
}

// Every flag set to `flag` and every other value of the build settings
// changed from its default.
std::string ChangedSettings(const std::string& flag) {
  std::string text = Replace(Replace(kWrittenDefaults, "=FALSE\r", "=" + flag + "\r"), "=TRUE\r",
                             "=" + flag + "\r");
  for (const char* key : {"path", "skip_files", "file_spec", "output_filename", "title",
                          "custom_html_filename", "skip_folders", "html_lang", "size_style",
                          "date_style", "readme_names", "manifest"}) {
    text = WithValue(text, key, std::string("文 ") + key + " ;=[x]");
  }
  text = WithValue(WithValue(text, "folder_columns", "7"), "file_columns", "20");
  return WithValue(WithValue(text, "sort_type", "D-"), "multi_recurse_title", "QUALIFIED");
}

class MainSheetTest : public ::testing::Test {
 protected:
  std::string ProgramFile(const std::string& name) { return NativePath("/opt/vellora/") + name; }
  // Reads `body` as the VELLORA section of a file in the program's folder.
  bool ReadSection(CMainSheet* sheet, const std::string& body) {
    env_.files[ProgramFile("t.ini")] = "[VELLORA]\r\n" + body;
    return sheet->ReadConfiguration("t.ini");
  }
  std::string Written(CMainSheet* sheet) {
    EXPECT_TRUE(sheet->WriteConfiguration(ProgramFile("out.ini")));
    return env_.files[ProgramFile("out.ini")];
  }
  // A file that is read and written again comes out the same.
  void ExpectRoundTrip(const std::string& text) {
    CMainSheet sheet(&env_);
    env_.files[ProgramFile("in.ini")] = text;
    ASSERT_TRUE(sheet.ReadConfiguration("in.ini"));
    EXPECT_EQ(Written(&sheet), text);
  }

  ConfigEnv env_;
};

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
  // A new record has its construction values, not the file's defaults.
  EXPECT_EQ(sheet.settings.file_columns, 2);
  EXPECT_EQ(sheet.settings.folder_columns, 4);
}

TEST_F(MainSheetTest, EmptyAndMissingFilesGiveTheDefaults) {
  env_.files[ProgramFile("empty.ini")] = "";
  for (const char* name : {"empty.ini", "missing.ini"}) {
    CMainSheet sheet(&env_);
    EXPECT_EQ(sheet.ReadConfiguration(name), name == std::string("empty.ini"));
    EXPECT_EQ(sheet.settings.file_columns, 1);
    EXPECT_EQ(sheet.settings.multi_recurse_title, CBuildSettings::kTitleFolderName);
    EXPECT_EQ(sheet.settings.multi_recurse_link, 1);
    EXPECT_EQ(sheet.settings.include_time, 1);
    EXPECT_EQ(Written(&sheet), kWrittenDefaults);
    EXPECT_EQ(sheet.caption, "vellora v4.6 - " + ProgramFile("out.ini"));
  }
}

TEST_F(MainSheetTest, EveryWrittenKeyReadsBackTheSame) {
  std::string changed = ChangedSettings("TRUE");
  for (const char* key : {"left_frame_file", "right_frame_file", "frameset_file", "folder_word",
                          "parent_word", "background_bitmap", "folder_sort_word"}) {
    changed = WithValue(changed, key, std::string("<i>") + key + "</i>");
  }
  ExpectRoundTrip(WithValue(changed, "active_page", "3"));
  ExpectRoundTrip(ChangedSettings("FALSE"));
  for (const char* mode : {"QUALIFIED", "DEFAULT", "FOLDER"}) {
    ExpectRoundTrip(WithValue(kWrittenDefaults, "multi_recurse_title", mode));
  }
  for (const char* key : {"N", "S", "E", "D"}) {
    for (const char* order : {"+", "-", "="}) {
      ExpectRoundTrip(WithValue(kWrittenDefaults, "sort_type", std::string(key) + order));
    }
  }
}

TEST_F(MainSheetTest, ValueFormsAndReadingRules) {
  CMainSheet sheet(&env_);
  const CBuildSettings& s = sheet.settings;
  ReadSection(&sheet,
              "output_filename=\r\ntitle=\r\ncustom_html_filename=\r\nhref20=true\r\n"
              "include_filesize=1\r\nfolder_columns=12abc\r\nfile_columns=abc\r\nactive_page=3x\r\n"
              "multi_recurse_link=TRUE\r\nrecursive_build_single_file=TRUE\r\n"
              "include_date=FALSE\r\ninclude_time=TRUE\r\nbackground_bitmap=paper.bmp\r\n");
  EXPECT_EQ(s.output_filename, "index.html");
  EXPECT_EQ(s.title, "文件列表");
  EXPECT_EQ(s.custom_html_filename, "");
  EXPECT_EQ(s.href20, 0);  // only "TRUE" is true
  EXPECT_EQ(s.include_filesize, 0);
  // ... and each value plainly meant as TRUE is noted for a warning.
  ASSERT_EQ(sheet.config_warnings.size(), 2u);
  EXPECT_NE(sheet.config_warnings[0].find("\"true\" of the key \"href20\""), std::string::npos);
  EXPECT_NE(sheet.config_warnings[1].find("\"1\" of the key \"include_filesize\""),
            std::string::npos);
  EXPECT_EQ(s.folder_columns, 12);
  EXPECT_EQ(s.file_columns, 1);  // no number reads as 0, raised to one column
  EXPECT_EQ(sheet.active_page, 3);
  EXPECT_EQ(s.multi_recurse_link, 0);
  EXPECT_EQ(s.include_time, 0);
  EXPECT_EQ(sheet.background_bitmap, "paper.bmp");
  EXPECT_EQ(sheet.default_words.background_bitmap, "paper.bmp");

  ReadSection(&sheet,
              "folder_columns=-3\r\nfile_columns=99999999999\r\nactive_page=-1\r\n"
              "multi_recurse_link=FALSE\r\nrecursive_build_single_file=FALSE\r\n");
  EXPECT_EQ(s.folder_columns, 1);
  EXPECT_EQ(s.file_columns, INT32_MAX);
  EXPECT_EQ(sheet.active_page, -1);
  EXPECT_EQ(s.multi_recurse_link, 0);

  const std::pair<const char*, int32_t> titles[] = {
      {"QUALIFIED", 0}, {"DEFAULT", 1}, {"folder", 2}, {"default", 2}, {"x", 2}};
  for (const auto& t : titles) {
    ReadSection(&sheet, std::string("multi_recurse_title=") + t.first + "\r\n");
    EXPECT_EQ(s.multi_recurse_title, t.second) << t.first;
  }
  const std::pair<const char*, std::pair<int32_t, int32_t>> sorts[] = {
      {"D-", {3, 1}}, {"X=", {0, 2}}, {"S", {1, 0}}, {"", {0, 0}}, {"d-", {0, 1}}, {"E*", {2, 0}}};
  for (const auto& c : sorts) {
    ReadSection(&sheet, std::string("sort_type=") + c.first + "\r\n");
    EXPECT_EQ(std::make_pair(s.sort_key, s.sort_order), c.second) << c.first;
  }

  const std::string long_text(1200, 'a');
  ReadSection(&sheet, "path=" + long_text + "\r\nskip_folders=" + long_text +
                          "\r\nfolder_word=" + long_text + "\r\n");
  EXPECT_EQ(s.path.size(), 998u);
  EXPECT_EQ(s.skip_folders.size(), 498u);
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

TEST_F(MainSheetTest, WriterTakesControlValues) {
  CMainSheet sheet(&env_);
  CControlValues controls = sheet.StoredControlValues();
  controls.recursion_mode = RecursionMode::kFramedSite;
  controls.skip_files = "*.tmp";
  controls.path = std::string(600, 'p');
  controls.active_page = 4;
  ASSERT_TRUE(sheet.WriteConfiguration(ProgramFile("framed.ini"), controls));
  EXPECT_EQ(sheet.settings.skip_files, "*.tmp");  // stored on the way
  EXPECT_EQ(sheet.active_page, 4);
  IniDocument doc(env_.files[ProgramFile("framed.ini")]);
  EXPECT_EQ(doc.Get("VELLORA", "path", "", 998).size(), 498u);  // an edit box's worth
  CMainSheet reader(&env_);
  reader.ReadConfiguration("framed.ini");
  EXPECT_EQ(reader.settings.build_framed_site, 1);
  EXPECT_EQ(reader.settings.multi_recurse_link, 1);
  EXPECT_EQ(reader.StoredControlValues().recursion_mode, RecursionMode::kFramedSite);
}

TEST_F(MainSheetTest, WriterKeepsTheRestOfAnExistingFileAndFailsSafely) {
  const std::string file = ProgramFile("kept.ini");
  const std::string old =
      "; mine\r\n[OTHER]\r\nk=v\r\n[vellora]\r\nTITLE=old\r\nextra=1\r\n[TAIL]\r\nz=9\r\n";
  env_.files[file] = old;
  CMainSheet sheet(&env_);
  sheet.settings.title = "new";
  env_.fail_writes = true;
  EXPECT_FALSE(sheet.WriteConfiguration(file));
  env_.fail_writes = false;
  env_.unreadable.insert(file);
  EXPECT_FALSE(sheet.WriteConfiguration(file));
  env_.unreadable.clear();
  EXPECT_EQ(env_.files[file], old);
  EXPECT_FALSE(sheet.WriteConfiguration(NativePath("/missing/x.ini")));

  ASSERT_TRUE(sheet.WriteConfiguration(file));
  const std::string& text = env_.files[file];
  EXPECT_EQ(text.rfind("; mine\r\n[OTHER]\r\nk=v\r\n[vellora]\r\nTITLE=new\r\nextra=1\r\n", 0), 0u);
  EXPECT_NE(text.find("manifest_checksums=FALSE\r\n[TAIL]\r\nz=9\r\n"), std::string::npos);
}

TEST_F(MainSheetTest, ExchangeCopiesTheStoredSettings) {
  for (const char* flag : {"TRUE", "FALSE"}) {
    const std::string file = ChangedSettings(flag);
    env_.files[ProgramFile("in.ini")] = file;
    CMainSheet sheet(&env_);
    sheet.ReadConfiguration("in.ini");
    sheet.settings.link_folders_to_output_name = 0;
    sheet.settings.reload_custom_html = 0;
    // Into another sheet's record, whose own values are defaults.
    CMainSheet other(&env_);
    other.settings.framed_right_pass = 1;
    ASSERT_EQ(sheet.Exchange(1, &other.settings), 1);
    EXPECT_EQ(Written(&other), file);
    EXPECT_EQ(other.settings.root_folder, sheet.settings.path);
    EXPECT_EQ(other.settings.framed_right_pass, 0);
    EXPECT_EQ(other.settings.default_words, &sheet.default_words);
    // A batch build always reloads the template and links folders to the
    // default page name.
    EXPECT_EQ(other.settings.link_folders_to_output_name, 1);
    EXPECT_EQ(other.settings.reload_custom_html, 1);
    EXPECT_EQ(sheet.Exchange(1, nullptr), 0);
    EXPECT_EQ(sheet.Exchange(0, &other.settings), 0);  // needs the pages
  }
}

TEST_F(MainSheetTest, ExchangeFromControlsTakesWhatTheControlsShow) {
  // Options that no control shows keep the sheet's stored values.
  const char* const stored_only[] = {"multi_recurse_title", "column_wise_sort",
                                     "multi_recurse_skip_root", "sort_type",
                                     "sort_folders_first", "follow_outside_links", "html_lang",
                                     "size_style", "date_style", "natural_sort",
                                     "readme_names", "manifest", "manifest_checksums"};
  for (const char* flag : {"TRUE", "FALSE"}) {
    const std::string changed = ChangedSettings(flag);
    env_.files[ProgramFile("in.ini")] = changed;
    CMainSheet shown(&env_);
    shown.ReadConfiguration("in.ini");
    CMainSheet sheet(&env_);
    sheet.ReadConfiguration("missing.ini");
    sheet.settings.framed_right_pass = 1;
    sheet.settings.root_folder = "root";
    bool asked = false;
    ASSERT_EQ(sheet.Exchange(0, &sheet.settings, shown.StoredControlValues(),
                             [&asked](CBuildSettings*) { return asked = true; }),
              1);
    std::string expected = changed;
    for (const char* key : stored_only) {
      const IniDocument defaults(kWrittenDefaults);
      expected = WithValue(expected, key, defaults.Get("VELLORA", key, "", 998));
    }
    EXPECT_EQ(Written(&sheet), expected) << flag;
    // The framed site is not one page per folder, so no dialog was shown.
    EXPECT_FALSE(asked);
    EXPECT_EQ(sheet.settings.multi_recurse_link, 0);
    EXPECT_EQ(sheet.settings.framed_right_pass, 1);
    EXPECT_EQ(sheet.settings.root_folder, "root");
    EXPECT_EQ(sheet.settings.default_words, &sheet.default_words);
  }
}

TEST_F(MainSheetTest, ExchangeFromControlsAsksForRecursiveBuildOptions) {
  CMainSheet sheet(&env_);
  sheet.ReadConfiguration("missing.ini");
  CControlValues c = sheet.StoredControlValues();
  c.recursive_build = 1;
  c.recursion_mode = RecursionMode::kOnePagePerFolder;
  c.title = "T";
  c.output_filename = "o.html";
  c.non_functional_links = 1;
  c.show_folder_names = 1;
  c.path = "P";
  c.xml_compliant = 1;
  std::string seeded;
  auto cancel = [&seeded](CBuildSettings* s) {
    seeded = s->title + "|" + s->output_filename + "|" + std::to_string(s->recursive_build) +
             std::to_string(s->multi_recurse_link) + std::to_string(s->multi_recurse_title);
    return false;
  };
  EXPECT_EQ(sheet.Exchange(0, &sheet.settings, c, cancel), 0);
  EXPECT_EQ(seeded, "T|o.html|112");
  const CBuildSettings& s = sheet.settings;
  EXPECT_EQ(s.non_functional_links + s.show_folder_names + s.recursive_build +
                s.multi_recurse_link,
            4);
  // The rest waits for the dialog.
  EXPECT_EQ(s.path, "");
  EXPECT_EQ(s.xml_compliant, 0);

  auto choose = [](CBuildSettings* t) {
    t->link_folders_to_output_name = 0;
    t->multi_recurse_skip_root = 1;
    t->multi_recurse_title = CBuildSettings::kTitleFullPath;
    return true;
  };
  EXPECT_EQ(sheet.Exchange(0, &sheet.settings, c, choose), 1);
  EXPECT_EQ(s.path, "P");
  EXPECT_EQ(s.xml_compliant, 1);
  EXPECT_EQ(s.link_folders_to_output_name, 0);
  EXPECT_EQ(s.multi_recurse_skip_root, 1);
  EXPECT_EQ(s.multi_recurse_title, CBuildSettings::kTitleFullPath);

  // Only a recursive build of one page per folder asks.
  c.recursive_build = 0;
  EXPECT_EQ(sheet.Exchange(0, &sheet.settings, c, cancel), 1);
  c.recursive_build = 1;
  c.recursion_mode = RecursionMode::kAllInOneFile;
  EXPECT_EQ(sheet.Exchange(0, &sheet.settings, c, cancel), 1);
}

TEST_F(MainSheetTest, ColumnCountsOutsideTheListShowAndWriteAsTheNearest) {
  CMainSheet sheet(&env_);
  const std::pair<int32_t, int32_t> counts[] = {
      {0, 1}, {-5, 1}, {INT32_MIN, 1}, {1, 1}, {20, 20}, {21, 20}, {INT32_MAX, 20}};
  for (const auto& n : counts) {
    sheet.settings.folder_columns = n.first;
    sheet.settings.file_columns = n.first;
    const CControlValues c = sheet.StoredControlValues();
    EXPECT_EQ(c.Selection(ControlId::kFolderColumns), n.second - 1) << n.first;
    IniDocument doc(Written(&sheet));
    EXPECT_EQ(doc.Get("VELLORA", "folder_columns", "", 998), std::to_string(n.second));
    EXPECT_EQ(doc.Get("VELLORA", "file_columns", "", 998), std::to_string(n.second));
    // The build takes what the list shows.
    ASSERT_EQ(sheet.Exchange(0, &sheet.settings, c), 1);
    EXPECT_EQ(sheet.settings.file_columns, n.second) << n.first;
  }
}

}  // namespace
}  // namespace vellora

#include "settings/main_sheet.h"

#include <cstdint>

#include "settings/ini_file.h"
#include "platform/env.h"
#include "platform/path.h"

namespace vellora {

const char kSheetCaption[] = "vellora v4.6";
const char kConfigSection[] = "VELLORA";
const char kDefaultConfigName[] = "vellora.ini";

namespace {

// Defaults of the keys whose default is also a starting value of the sheet.
const char kLeftFrameDefault[] = "left_frame.txt";
const char kRightFrameDefault[] = "right_frame.txt";
const char kFramesetDefault[] = "frameset.txt";
const char kBitmapDefault[] = "green_marble.bmp";
const char kOutputDefault[] = "index.html";
const char kTitleDefault[] = "文件列表";

const char kTrue[] = "TRUE";
const char kFalse[] = "FALSE";

// Words in the order of the configuration file, with their defaults.
struct WordKey {
  const char* key;
  std::string CDefaultWords::*field;
  const char* default_value;
};
const WordKey kWordKeys[] = {
    {"folder_word", &CDefaultWords::folder_word, "<b>文件夹</b>"},
    {"filename_word", &CDefaultWords::filename_word, "<b>文件名称</b>"},
    {"size_word", &CDefaultWords::size_word, "<b>大小</b>"},
    {"date_word", &CDefaultWords::date_word, "<b>日期</b>"},
    {"anchor_word", &CDefaultWords::anchor_word, "<b>文件夹锚点</b>"},
    {"parent_word", &CDefaultWords::parent_word, "{parent folder}"},
    {"background_bitmap", &CDefaultWords::background_bitmap, kBitmapDefault},
    {"summary_files_word", &CDefaultWords::summary_files_word, "合计文件:"},
    {"summary_folders_word", &CDefaultWords::summary_folders_word, "合计文件夹:"},
    {"summary_size_word", &CDefaultWords::summary_size_word, "所有文件的大小:"},
    {"folder_sort_word", &CDefaultWords::folder_sort_word, "文件夹:"},
};

// The leading decimal number of a value (an optional sign, then digits),
// 0 when there is none; numbers beyond the int32 range are held at its ends.
int32_t LeadingNumber(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value <= INT32_MAX) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

const char* FlagWord(int32_t flag) { return flag ? kTrue : kFalse; }

// A flag value other than TRUE that a person plainly meant as on ("1",
// "yes", "true", "on" in any case). It still reads as off; the reader only
// notes it so that batch mode can say so.
bool MeantAsTrue(const std::string& value) {
  if (value == kTrue) return false;
  std::string lower;
  for (char c : value) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return lower == "1" || lower == "yes" || lower == "y" || lower == "true" || lower == "on";
}

}  // namespace

CMainSheet::CMainSheet(Env* env) : caption(kSheetCaption), env_(env) {
  left_frame_file = kLeftFrameDefault;
  right_frame_file = kRightFrameDefault;
  frameset_file = kFramesetDefault;
  for (const WordKey& w : kWordKeys) default_words.*w.field = w.default_value;
  // The pages take their bitmap from the file of the current folder, which
  // is the program's folder when the program is started from there.
  background_bitmap = ReadIniString(env_, kDefaultConfigName, kConfigSection, "background_bitmap",
                                    kBitmapDefault, kShortValue);
  program_folder = ProgramFolder(env_);
  default_config_path = program_folder + kDefaultConfigName;
  config_path = default_config_path;
}

std::string CMainSheet::ResolveConfigName(const std::string& name) const {
  return ContainsSeparator(name, env_) ? name : program_folder + name;
}

int CMainSheet::Exchange(int mode, CBuildSettings* target) {
  if (mode != 1 || target == nullptr) return 0;
  const CBuildSettings& s = settings;
  CBuildSettings& t = *target;
  t.non_functional_links = s.non_functional_links;
  t.skip_folders = s.skip_folders;
  t.skip_files = s.skip_files;
  t.column_wise_sort = s.column_wise_sort;
  t.sizes_by_k = s.sizes_by_k;
  t.multi_recurse_title = s.multi_recurse_title;
  t.multi_recurse_skip_root = s.multi_recurse_skip_root;
  t.include_filesize = s.include_filesize;
  t.href20 = s.href20;
  t.include_subfolders = s.include_subfolders;
  t.include_date = s.include_date;
  t.include_summary = s.include_summary;
  t.euro_date_style = s.euro_date_style;
  t.supress_headers = s.supress_headers;
  t.supress_parent_link = s.supress_parent_link;
  t.suppress_extensions = s.suppress_extensions;
  t.full_pathname_links = s.full_pathname_links;
  t.folder_columns = s.folder_columns;
  t.file_columns = s.file_columns;
  t.custom_html_filename = s.custom_html_filename;
  t.title = s.title;
  t.show_folder_names = s.show_folder_names;
  t.path = s.path;
  t.file_spec = s.file_spec;
  t.recursive_build = s.recursive_build;
  t.multi_recurse_link = s.multi_recurse_link;
  t.output_filename = s.output_filename;
  t.sort_key = s.sort_key;
  t.sort_order = s.sort_order;
  t.sort_folders_first = s.sort_folders_first;
  t.suppress_visible_links = s.suppress_visible_links;
  t.replace_iso_chars = s.replace_iso_chars;
  t.build_framed_site = s.build_framed_site;
  t.folder_anchors = s.folder_anchors;
  t.include_time = s.include_time;
  t.use_html_titles_for_links = s.use_html_titles_for_links;
  t.xml_compliant = s.xml_compliant;
  t.insert_commas = s.insert_commas;
  t.follow_outside_links = s.follow_outside_links;
  t.html_lang = s.html_lang;
  t.framed_right_pass = 0;
  t.root_folder = t.path;
  t.default_words = &default_words;
  return 1;
}

bool CMainSheet::ReadConfiguration(const std::string& name) {
  IniDocument doc;
  const bool read = LoadIniFile(env_, ResolveConfigName(name), &doc);
  config_warnings.clear();
  auto text = [&doc](const char* key, const char* def, size_t longest = kLongValue) {
    return doc.Get(kConfigSection, key, def, longest);
  };
  auto flag = [this, &text](const char* key, const char* def, size_t longest = kLongValue) {
    const std::string value = text(key, def, longest);
    if (MeantAsTrue(value)) {
      config_warnings.push_back("the value \"" + value + "\" of the key \"" + key +
                                "\" reads as FALSE: only TRUE turns an option on");
    }
    return static_cast<int32_t>(value == kTrue);
  };
  // Column counts below 1 would leave a table without columns.
  auto columns = [&text](const char* key) {
    int32_t n = LeadingNumber(text(key, "1"));
    return n < 1 ? 1 : n;
  };
  CBuildSettings& s = settings;

  left_frame_file = text("left_frame_file", kLeftFrameDefault);
  right_frame_file = text("right_frame_file", kRightFrameDefault);
  frameset_file = text("frameset_file", kFramesetDefault);
  s.skip_files = text("skip_files", "");
  s.sizes_by_k = flag("sizes_by_k", kFalse);
  s.folder_anchors = flag("folder_anchors", kTrue);
  s.column_wise_sort = flag("column_wise_sort", kTrue);
  s.multi_recurse_title = ParseTitleMode(text("multi_recurse_title", "FOLDER"));
  s.show_folder_names = flag("show_folder_names", kFalse);
  s.suppress_visible_links = flag("suppress_visible_links", kFalse);
  // All links in one file was once chosen by a key of its own.
  s.multi_recurse_link = flag("multi_recurse_link", kTrue);
  if (s.multi_recurse_link && flag("recursive_build_single_file", kFalse)) s.multi_recurse_link = 0;
  s.multi_recurse_skip_root = flag("multi_recurse_skip_root", kFalse);
  s.recursive_build = flag("recursive_build", kFalse);
  s.sort_folders_first = flag("sort_folders_first", kFalse);
  s.folder_columns = columns("folder_columns");
  s.file_columns = columns("file_columns");
  ParseSortType(text("sort_type", "N+"), &s.sort_key, &s.sort_order);
  s.file_spec = text("file_spec", "*.*");
  s.output_filename = text("output_filename", kOutputDefault);
  if (s.output_filename.empty()) s.output_filename = kOutputDefault;
  s.title = text("title", kTitleDefault);
  if (s.title.empty()) s.title = kTitleDefault;
  s.href20 = flag("href20", kTrue);
  s.path = text("path", "");
  s.include_filesize = flag("include_filesize", kTrue);
  s.include_subfolders = flag("include_subfolders", kTrue);
  s.include_date = flag("include_date", kTrue);
  s.include_summary = flag("include_summary", kFalse);
  s.supress_headers = flag("supress_headers", kFalse);
  s.supress_parent_link = flag("supress_parent_link", kFalse);
  s.euro_date_style = flag("euro_date_style", kFalse);
  s.suppress_extensions = flag("suppress_extensions", kFalse);
  s.full_pathname_links = flag("full_pathname_links", kFalse);
  s.replace_iso_chars = flag("replace_iso_chars", kTrue);
  s.custom_html_filename = text("custom_html_filename", "fancy_table.txt");
  s.build_framed_site = flag("build_framed_site", kFalse);
  for (const WordKey& w : kWordKeys) {
    default_words.*w.field = text(w.key, w.default_value, kShortValue);
  }
  background_bitmap = default_words.background_bitmap;
  s.skip_folders = text("skip_folders", "", kShortValue);
  s.use_html_titles_for_links = flag("use_html_titles_for_links", kFalse);
  // Times are shown only with dates.
  const int32_t include_time = flag("include_time", kTrue, kShortValue);
  s.include_time = s.include_date && include_time;
  active_page = LeadingNumber(text("active_page", "0", kShortValue));
  s.xml_compliant = flag("xml_compliant", kFalse);
  s.insert_commas = flag("insert_commas", kTrue);
  s.non_functional_links = flag("non_functional_links", kFalse);
  s.follow_outside_links = flag("follow_outside_links", kFalse);
  s.html_lang = text("html_lang", "", kShortValue);
  return read;
}

CControlValues CMainSheet::StoredControlValues() const {
  const CBuildSettings& s = settings;
  CControlValues c;
  c.path = s.path;
  c.file_spec = s.file_spec;
  c.output_filename = s.output_filename;
  c.title = s.title;
  c.custom_html_filename = s.custom_html_filename;
  c.skip_files = s.skip_files;
  c.skip_folders = s.skip_folders;
  c.non_functional_links = s.non_functional_links;
  c.sizes_by_k = s.sizes_by_k;
  c.show_folder_names = s.show_folder_names;
  c.recursive_build = s.recursive_build;
  c.folder_anchors = s.folder_anchors;
  c.href20 = s.href20;
  c.include_filesize = s.include_filesize;
  c.include_subfolders = s.include_subfolders;
  c.include_date = s.include_date;
  c.include_summary = s.include_summary;
  c.supress_headers = s.supress_headers;
  c.supress_parent_link = s.supress_parent_link;
  c.euro_date_style = s.euro_date_style;
  c.suppress_extensions = s.suppress_extensions;
  c.full_pathname_links = s.full_pathname_links;
  c.suppress_visible_links = s.suppress_visible_links;
  c.replace_iso_chars = s.replace_iso_chars;
  c.include_time = s.include_time;
  c.use_html_titles_for_links = s.use_html_titles_for_links;
  c.xml_compliant = s.xml_compliant;
  c.insert_commas = s.insert_commas;
  // The radios: framed site wins over one page per folder.
  c.recursion_mode = s.build_framed_site    ? RecursionMode::kFramedSite
                     : s.multi_recurse_link ? RecursionMode::kOnePagePerFolder
                                            : RecursionMode::kAllInOneFile;
  c.folder_columns = s.folder_columns;
  c.file_columns = s.file_columns;
  c.active_page = active_page;
  return c;
}

bool CMainSheet::WriteConfiguration(const std::string& full_name) {
  return WriteConfiguration(full_name, StoredControlValues());
}

bool CMainSheet::WriteConfiguration(const std::string& full_name, const CControlValues& controls) {
  IniDocument doc;
  bool ok = OpenIniForUpdate(env_, full_name, &doc);
  auto put = [&doc, &ok](const char* key, const std::string& value) {
    ok = doc.Set(kConfigSection, key, value) && ok;
  };
  // Edit boxes give at most this much text, in whole characters.
  const CharacterCut cut = CharacterCutFor(env_);
  auto edit_text = [&cut](const std::string& value) {
    return value.substr(0, cut(value, kShortValue));
  };
  const CBuildSettings& s = settings;
  const CControlValues& c = controls;

  put("multi_recurse_title", TitleModeWord(s.multi_recurse_title));
  put("left_frame_file", left_frame_file);
  put("right_frame_file", right_frame_file);
  put("frameset_file", frameset_file);
  put("non_functional_links", FlagWord(c.non_functional_links));
  put("sizes_by_k", FlagWord(c.sizes_by_k));
  put("column_wise_sort", FlagWord(s.column_wise_sort));
  put("show_folder_names", FlagWord(c.show_folder_names));
  put("multi_recurse_link", FlagWord(c.recursion_mode != RecursionMode::kAllInOneFile));
  put("multi_recurse_skip_root", FlagWord(s.multi_recurse_skip_root));
  put("recursive_build", FlagWord(c.recursive_build));
  put("folder_anchors", FlagWord(c.folder_anchors));
  put("path", edit_text(c.path));
  put("folder_columns", std::to_string(c.folder_columns));
  put("file_columns", std::to_string(c.file_columns));
  settings.skip_files = c.skip_files;
  put("skip_files", settings.skip_files);
  put("file_spec", edit_text(c.file_spec));
  put("output_filename", edit_text(c.output_filename));
  put("title", edit_text(c.title));
  put("custom_html_filename", edit_text(c.custom_html_filename));
  put("href20", FlagWord(c.href20));
  put("include_filesize", FlagWord(c.include_filesize));
  put("include_subfolders", FlagWord(c.include_subfolders));
  put("include_date", FlagWord(c.include_date));
  put("include_summary", FlagWord(c.include_summary));
  put("supress_headers", FlagWord(c.supress_headers));
  put("supress_parent_link", FlagWord(c.supress_parent_link));
  put("euro_date_style", FlagWord(c.euro_date_style));
  put("suppress_extensions", FlagWord(c.suppress_extensions));
  put("full_pathname_links", FlagWord(c.full_pathname_links));
  put("suppress_visible_links", FlagWord(c.suppress_visible_links));
  put("replace_iso_chars", FlagWord(c.replace_iso_chars));
  put("sort_type", SortTypeCode(s.sort_key, s.sort_order));
  put("sort_folders_first", FlagWord(s.sort_folders_first));
  put("build_framed_site", FlagWord(c.recursion_mode == RecursionMode::kFramedSite));
  for (const WordKey& w : kWordKeys) put(w.key, default_words.*w.field);
  put("include_time", FlagWord(c.include_time));
  put("use_html_titles_for_links", FlagWord(c.use_html_titles_for_links));
  put("skip_folders", edit_text(c.skip_folders));
  caption = std::string(kSheetCaption) + " - " + full_name;
  active_page = c.active_page;
  put("active_page", std::to_string(c.active_page));
  put("xml_compliant", FlagWord(c.xml_compliant));
  put("insert_commas", FlagWord(c.insert_commas));
  put("follow_outside_links", FlagWord(s.follow_outside_links));
  put("html_lang", s.html_lang);
  return ok && SaveIniFile(env_, full_name, doc);
}

}  // namespace vellora

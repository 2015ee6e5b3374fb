#include "sheet/option_dialogs.h"

#include <algorithm>

#include "platform/path.h"
#include "settings/ini_file.h"
#include "sheet/compact_path.h"
#include "sheet/desktop.h"
#include "sheet/sheet_paths.h"

namespace vellora {

const char kSortOptionsCaption[] = "选择排序选项";
const char kDefaultWordsCaption[] = "改变生成文件的默认字词";
const char kRecursiveOptionsCaption[] = "递归文件生成选项";
const char kFrameFilesCaption[] = "请给每个框架选择自定义的 HTML 文件";
const char kMoreOptionsCaption[] = "更多选项";
const char kFileCreatedCaption[] = "HTML 文件创建成功";
const char kProgressCaption[] = "创建 HTML 文件";
const char kAboutCaption[] = "关于 vellora";
const char kAboutBuildLine[] = "编译时间: 2005-01-26";

const char kDistributionTermsCaption[] = "vellora 授权信息";
const char kTermsHeading[] = "vellora 是免费软件";
const char* const kTermsParagraphs[3] = {
    "任何人都可以免费使用 vellora，个人和单位都一样，无需付费，也无需登记。",
    "任何人都可以免费分发 vellora，但只能分发原样未改动的发行压缩包。",
    "不得把 vellora 放进并非完全免费的产品里一同分发。",
};
const char kTermsDisclaimer[] =
    "vellora 按现状提供，不附带任何明示或暗示的担保。因使用或无法使用本程序而造成的"
    "任何损失，作者概不负责。";

namespace {

// The boxes of the default-words dialog: the word each holds and the text
// restore-defaults puts into it. The restored parent word is "..", not the
// configuration file's default.
struct WordBox {
  const char* label;
  std::string CDefaultWords::*word;
  const char* restored;
};
const WordBox kWordBoxes[CDefaultWordsModel::kWords] = {
    {"文件夹(&O):", &CDefaultWords::folder_word, "<b>文件夹</b>"},
    {"文件名(&F):", &CDefaultWords::filename_word, "<b>文件名称</b>"},
    {"大小(&S):", &CDefaultWords::size_word, "<b>大小</b>"},
    {"日期(&D):", &CDefaultWords::date_word, "<b>日期</b>"},
    {"父文件夹(&P):", &CDefaultWords::parent_word, ".."},
    {"文件夹锚点(&A):", &CDefaultWords::anchor_word, "<b>文件夹锚点</b>"},
    {"合计文件夹(&T):", &CDefaultWords::summary_folders_word, "合计文件夹:"},
    {"合计文件(&A):", &CDefaultWords::summary_files_word, "合计文件:"},
    {"所有文件的大小(&Z):", &CDefaultWords::summary_size_word, "所有文件的大小:"},
    {"用于分隔排序文件夹的前缀(&X):", &CDefaultWords::folder_sort_word, "文件夹:"},
};

// Longest text taken from an edit box.
constexpr size_t kBoxText = 498;

// Cuts edit-box texts at whole characters; without an env, by bytes.
CharacterCut BoxCut(Env* env) {
  if (env != nullptr) return CharacterCutFor(env);
  return [](const std::string& text, size_t max_bytes) { return std::min(text.size(), max_bytes); };
}

}  // namespace

CSortOptionsModel::CSortOptionsModel(int32_t sort_key, int32_t sort_order, int32_t folders,
                                     int32_t columns)
    : by_name(sort_key == CBuildSettings::kSortByName),
      by_size(sort_key == CBuildSettings::kSortBySize),
      by_type(sort_key == CBuildSettings::kSortByType),
      by_date(sort_key == CBuildSettings::kSortByDate),
      ascending(sort_order == 0),
      descending(sort_order == 1),
      unsorted(sort_order == 2),
      folders_first(folders != 0),
      column_wise(columns != 0) {}

int32_t CSortOptionsModel::SortKey() const {
  if (by_name) return CBuildSettings::kSortByName;
  if (by_size) return CBuildSettings::kSortBySize;
  if (by_type) return CBuildSettings::kSortByType;
  return CBuildSettings::kSortByDate;
}

int32_t CSortOptionsModel::SortOrder() const {
  if (ascending) return 0;
  if (descending) return 1;
  return 2;
}

void CSortOptionsModel::Apply(CBuildSettings* settings) const {
  settings->column_wise_sort = column_wise ? 1 : 0;
  settings->sort_key = SortKey();
  settings->sort_order = SortOrder();
  settings->sort_folders_first = folders_first ? 1 : 0;
}

const char* const CDefaultWordsModel::kLabels[kWords] = {
    kWordBoxes[0].label, kWordBoxes[1].label, kWordBoxes[2].label, kWordBoxes[3].label,
    kWordBoxes[4].label, kWordBoxes[5].label, kWordBoxes[6].label, kWordBoxes[7].label,
    kWordBoxes[8].label, kWordBoxes[9].label};

CDefaultWordsModel::CDefaultWordsModel(const CDefaultWords& words)
    : background_bitmap(words.background_bitmap) {
  for (size_t i = 0; i < kWords; ++i) boxes[i] = words.*kWordBoxes[i].word;
}

void CDefaultWordsModel::RestoreDefaults() {
  for (size_t i = 0; i < kWords; ++i) boxes[i] = kWordBoxes[i].restored;
}

void CDefaultWordsModel::Apply(CDefaultWords* words, Env* env) const {
  const CharacterCut cut = BoxCut(env);
  for (size_t i = 0; i < kWords; ++i) {
    words->*kWordBoxes[i].word = boxes[i].substr(0, cut(boxes[i], kBoxText));
  }
}

CRecursiveOptionsModel::CRecursiveOptionsModel(const CBuildSettings& s)
    : skip_root(s.multi_recurse_skip_root != 0),
      link_folders(s.link_folders_to_output_name != 0),
      folder_name_title(s.multi_recurse_title == 2),
      full_path_title(s.multi_recurse_title == 0),
      default_title(s.multi_recurse_title != 2 && s.multi_recurse_title != 0) {}

int32_t CRecursiveOptionsModel::TitleMode() const {
  if (default_title) return 1;
  if (full_path_title) return 0;
  return 2;
}

void CRecursiveOptionsModel::Apply(CBuildSettings* settings) const {
  settings->multi_recurse_skip_root = skip_root ? 1 : 0;
  settings->link_folders_to_output_name = link_folders ? 1 : 0;
  settings->multi_recurse_title = TitleMode();
}

const char* const CMoreOptionsModel::kFlagLabels[kFlagCount] = {
    "易读的文件大小, 例如 3.0 MB(&H)",
    "ISO 日期和 24 小时制时间, 例如 2026-12-07 14:19(&I)",
    "自然顺序: 名称中的数字按数值比较, IMG_2 在 IMG_10 之前(&N)",
    "进入指向分支之外的文件夹链接(&E)",
    "在每个页面旁写一个 JSON 清单(&J)",
    "清单包含每个文件的 SHA-256 校验和(&S)",
};
const char* const CMoreOptionsModel::kBoxLabels[kBoxCount] = {"说明文件(&R):", "页面语言(&L):"};
const char* const CMoreOptionsModel::kBoxHints[kBoxCount] = {
    "显示在文件表之上, 例如 README.txt;README.md", "写在 <html lang> 中, 例如 zh-CN"};
const char CMoreOptionsModel::kPagesGroup[] = "页面";
const char CMoreOptionsModel::kManifestGroup[] = "清单和递归";

namespace {
const char kHumanValue[] = "human";
const char kIsoValue[] = "iso";
const char kJsonValue[] = "json";

// A style key: the box's value when ticked; unticked, the value it had
// unless that was the box's own.
std::string StyleValue(bool ticked, const char* value, const std::string& before) {
  if (ticked) return value;
  return before == value ? std::string() : before;
}
}  // namespace

CMoreOptionsModel::CMoreOptionsModel(const CBuildSettings& s)
    : boxes{s.readme_names, s.html_lang},
      size_style_(s.size_style),
      date_style_(s.date_style),
      manifest_(s.manifest) {
  flags[kHumanSizes] = s.size_style == kHumanValue;
  flags[kIsoDates] = s.date_style == kIsoValue;
  flags[kNaturalSort] = s.natural_sort != 0;
  flags[kFollowOutsideLinks] = s.follow_outside_links != 0;
  flags[kManifest] = s.manifest == kJsonValue;
  flags[kManifestChecksums] = s.manifest_checksums != 0;
}

void CMoreOptionsModel::Apply(CBuildSettings* s, Env* env) const {
  s->size_style = StyleValue(flags[kHumanSizes], kHumanValue, size_style_);
  s->date_style = StyleValue(flags[kIsoDates], kIsoValue, date_style_);
  s->manifest = StyleValue(flags[kManifest], kJsonValue, manifest_);
  s->natural_sort = flags[kNaturalSort] ? 1 : 0;
  s->follow_outside_links = flags[kFollowOutsideLinks] ? 1 : 0;
  s->manifest_checksums = flags[kManifestChecksums] ? 1 : 0;
  const CharacterCut cut = BoxCut(env);
  s->readme_names = boxes[kReadmeNames].substr(0, cut(boxes[kReadmeNames], kBoxText));
  s->html_lang = boxes[kHtmlLang].substr(0, cut(boxes[kHtmlLang], kBoxText));
}

const char CFrameFilesModel::kFilter[] = "文本文档  |*.txt|";

CFrameFilesModel::CFrameFilesModel(const std::string& folder, const std::string& frameset,
                                   const std::string& left, const std::string& right,
                                   CDesktop* desktop)
    : program_folder(folder), boxes{frameset, left, right}, desktop_(desktop) {}

std::string CFrameFilesModel::Resolve(const std::string& name) const {
  return ContainsSeparator(name) ? name : program_folder + name;
}

void CFrameFilesModel::Choose(Row row) {
  CFileDialogRequest request;
  request.initial_name = Resolve(boxes[row]);
  request.filter = kFilter;
  request.must_exist = true;
  std::string chosen;
  if (!desktop_->OpenFileDialog(request, &chosen)) return;
  boxes[row] = NameRelativeTo(chosen, program_folder, nullptr);
}

void CFrameFilesModel::Edit(Row row) { desktop_->ShellOpen(Resolve(boxes[row])); }

CFileCreatedModel::CFileCreatedModel(const std::string& main_path, int32_t written,
                                     bool per_folder_build, CDesktop* desktop)
    : path(main_path),
      shown_path(main_path),
      files_written(written),
      per_folder(per_folder_build),
      desktop_(desktop) {}

std::string CFileCreatedModel::CountLine() const {
  return std::to_string(files_written) + " 文件" + (files_written > 1 ? "s" : "") + " 已创建";
}

std::string CFileCreatedModel::PathLine(
    int width, const std::function<int(const std::string&)>& measure) const {
  const std::string text = per_folder ? "根文件:  " + shown_path : shown_path;
  return CompactPathToFit(text, width, measure);
}

void CFileCreatedModel::OpenFile() { desktop_->ShellOpen(path); }

}  // namespace vellora

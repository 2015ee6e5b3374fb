// The framed site: a frameset page copied from its template, a left-frame
// page listing the subfolders of the chosen folder, and a right-frame page in
// every folder of the branch.
#include "modes/framed_site.h"

#include "settings/build_settings.h"
#include "custom/custom_html.h"
#include "custom/text_file.h"
#include "modes/index_builder.h"
#include "platform/characters.h"
#include "platform/env.h"
#include "platform/path.h"

namespace vellora {

namespace {

const char kSrc[] = "src=";
constexpr size_t kSrcLength = 4;

// The value of the "src=" attribute found at `at`; the position after its
// closing double quote goes to `*end`. False when it is empty or unclosed.
bool SourceAt(const std::string& text, size_t at, std::string* value, size_t* end) {
  const size_t begin = at + kSrcLength + 1;
  if (begin > text.size()) return false;
  const size_t quote = text.find('"', begin);
  if (quote == std::string::npos || quote == begin) return false;
  *value = text.substr(begin, quote - begin);
  *end = quote;
  return true;
}

}  // namespace

void LowerFrameSources(std::string* frameset, Env* env) {
  for (size_t at = FindText(*frameset, "SRC=", 0, env); at != std::string::npos;
       at = FindText(*frameset, "SRC=", at + kSrcLength, env)) {
    frameset->replace(at, kSrcLength, kSrc);
  }
}

bool FrameSourceNames(const std::string& frameset, std::string* left, std::string* right,
                      Env* env) {
  std::string first, second;
  size_t end = 0;
  const size_t i = FindText(frameset, kSrc, 0, env);
  if (i == std::string::npos || !SourceAt(frameset, i, &first, &end)) return false;
  const size_t j = FindText(frameset, kSrc, end, env);
  if (j == std::string::npos || !SourceAt(frameset, j, &second, &end)) return false;
  *left = first;
  *right = second;
  return true;
}

int CIndexBuilder::FramedSiteBuild(CBuildProgress* build_progress, const std::string& frameset_file,
                                   const std::string& left_frame_file,
                                   const std::string& right_frame_file) {
  CBuildSettings& s = *settings;
  s.build_framed_site = 1;
  // Without a folder the frameset would land in the root of the file system.
  if (s.path.empty()) return 0;
  // The frameset goes into the chosen folder unless its name is a full path.
  const std::string frameset_path = ContainsSeparator(s.output_filename, env)
                                        ? s.output_filename
                                        : WithTrailingSeparator(s.path, env) + s.output_filename;

  std::string frameset = LoadTextFile(frameset_file, std::string(), env);
  LowerFrameSources(&frameset, env);
  std::string left, right;
  if (frameset.empty() || !FrameSourceNames(frameset, &left, &right, env)) {
    failed_pages.push_back(FailedPage{frameset_file, PageFailure::kFramesetTemplate});
    return 0;
  }

  if (!env->WriteFileSafely(frameset_path, frameset)) PageNotWritten(frameset_path);

  const std::string file_spec = s.file_spec;
  const int32_t include_summary = s.include_summary;
  const int32_t folder_columns = s.folder_columns;
  const int32_t supress_headers = s.supress_headers;
  const int32_t include_subfolders = s.include_subfolders;

  // Left frame: the subfolders of the chosen folder, each linked to its
  // right-frame page; no files.
  s.custom_html.Load(left_frame_file, env);
  s.custom_html.section(kFolderFileLink) = right;
  s.recursive_build = 0;
  s.include_subfolders = 1;
  s.folder_columns = 1;
  s.file_spec.clear();
  s.output_filename = left;
  s.reload_custom_html = 0;
  s.include_summary = 0;
  s.supress_headers = 1;
  const int32_t supress_parent_link = s.supress_parent_link;
  s.supress_parent_link = 1;
  // The readme belongs beside the files, in the right frame.
  const std::string readme_names = s.readme_names;
  s.readme_names.clear();
  const int left_result = Build(build_progress);
  s.supress_parent_link = supress_parent_link;
  s.readme_names = readme_names;
  // A cancel seen during the left pass ends the build: the right pass
  // would clear it and run in full.
  const bool stopped = build_progress != nullptr && build_progress->cancelled();

  // Right frame: one page per folder with the user's own listing options.
  s.custom_html.Load(right_frame_file, env);
  s.custom_html.section(kFolderFileLink) = right;
  s.recursive_build = 1;
  s.multi_recurse_link = 1;
  s.include_summary = include_summary;
  s.file_spec = file_spec;
  s.folder_columns = folder_columns;
  s.supress_headers = supress_headers;
  s.include_subfolders = include_subfolders;
  s.output_filename = right;
  s.framed_right_pass = 1;
  s.root_folder = s.path;
  first_right_frame_page = 1;
  const int right_result = stopped ? 0 : Build(build_progress);
  first_right_frame_page = 0;

  s.reload_custom_html = 1;
  s.root_folder.clear();
  s.framed_right_pass = 0;
  s.multi_recurse_skip_root = 0;
  main_file_path = frameset_path;
  return left_result + right_result;
}

}  // namespace vellora

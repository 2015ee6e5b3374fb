// The engine object of one build: the state that the folder scan, the page
// writer and the build modes share, and the operations they call on it.
// Made for one build (one press of Build or one batch run) and then dropped.
#ifndef VELLORA_SCAN_INDEX_BUILDER_H_
#define VELLORA_SCAN_INDEX_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"
#include "scan/build_progress.h"
#include "scan/failed_page.h"
#include "scan/file_list.h"

namespace vellora {

class CBuildSettings;

// How much of a page is read for its title: a title element sits in the
// head of a page, and a page of gigabytes (or a link to an endless system
// file) must cost no more than this.
constexpr size_t kTitleHeadBytes = size_t{1} << 20;

class CIndexBuilder {
 public:
  // `settings` is not owned and must outlive the builder.
  explicit CIndexBuilder(CBuildSettings* settings, Env* env = Env::Default());
  virtual ~CIndexBuilder();
  CIndexBuilder(const CIndexBuilder&) = delete;
  CIndexBuilder& operator=(const CIndexBuilder&) = delete;

  // --- Build entries (build modes) ---
  // Builds in the mode the settings choose; see the build modes.
  int Build(CBuildProgress* progress);
  // Sets the root folder to the settings' path, then Build.
  int BuildFromTop(CBuildProgress* progress);
  int FramedSiteBuild(CBuildProgress* progress, const std::string& frameset_file,
                      const std::string& left_frame_file, const std::string& right_frame_file);
  void PerFolderBuild();
  void WalkFolder();

  // --- Page writer ---
  // Writes the index page of `folder`; 1 when a page file was written.
  int write_page(const std::string& folder);

  // --- Folder scan ---
  // Adds to the head of `list` the files of `folder` (a full path) that
  // pass `file_spec` and the skip lists; with `recurse_scan` also those of
  // every folder below it. Neither reads nor changes the current folder.
  // False when `folder` itself could not be read.
  bool Scan(CFileList& list, const std::string& folder, const std::string& file_spec);
  // Scan of the current folder.
  bool Scan(CFileList& list, const std::string& file_spec);
  // True when the full folder path `path` is excluded by skip_folders.
  bool SkipFolder(const std::string& path) const;
  // True when the subfolder `folder` (a link when `is_link`) is a link out
  // of the tree of a recursive build, which is listed but not entered
  // (unless follow_outside_links is on).
  bool LeadsOutOfTree(const std::string& folder, bool is_link);
  // True when the file or folder `path` really lies outside the tree: the
  // branch of a recursive build, else the build's top folder.
  bool FileLeadsOutOfTree(const std::string& path);

  // --- Ordering ---
  // Reorders `list` so that, written row by row into `columns` columns, it
  // reads down each column in turn.
  void ArrangeInColumns(CFileList& list, int columns);

  // --- Link titles ---
  // The title of the HTML page `entry` in `folder` (a full path), or a copy
  // of the entry's name when there is none. Only the first kTitleHeadBytes
  // of the page are read.
  std::string ReadLinkTitle(const std::string& folder, const CFileEntry& entry);

  // A page (or the frameset) at `path` could not be written: recorded in
  // `failed_pages`, as a link when one stands at that name.
  void PageNotWritten(const std::string& path);

  // Path of the main file the build wrote (reported to the user).
  std::string main_file_path;
  // Pages the build should have written but could not, in the order met.
  std::vector<FailedPage> failed_pages;
  // Page files written in this build.
  int32_t pages_written = 0;
  // Set before the right-frame pass of a framed site; cleared after each page.
  int32_t first_right_frame_page = 0;
  // Progress record of the build; may be null; not owned.
  CBuildProgress* progress = nullptr;
  // Options of the build; not owned.
  CBuildSettings* settings;
  // Page text moved aside while a page is assembled, and how many pieces.
  std::vector<std::string> page_chunks;
  int32_t page_chunk_count = 0;
  // The skip_files option split at ';', refilled before each page.
  std::vector<std::string> skip_file_patterns;
  // When not empty, replaces the /FOLDER_FILE_LINK section on every page.
  std::string folder_link_override;
  // The scan also collects the files of every folder below (one page for a branch).
  int32_t recurse_scan = 0;
  // Where the recursive scan started; entry folders are relative to it.
  std::string scan_root;
  // The real location of the tree of a recursive build; empty in other
  // builds, which enter no subfolder.
  std::string tree_real_root;
  // The real location of the top folder, for builds without a branch; found
  // when first needed.
  std::string tree_file_root;
  // The last page was not written because its folder could not be read.
  int32_t page_unreadable = 0;
  // The folder the build was given could not be read: its page (if any)
  // was left as it was.
  int32_t top_unreadable = 0;
  // The next page is not written (and the flag is cleared).
  int32_t skip_next_page = 0;
  // The top folder of the build (set by Build): files from the tree may
  // include only files inside it. Empty: the settings' path.
  std::string tree_folder;
  // The settings' title was made from folder names (plain text) by the
  // per-folder walk, not written by the user.
  bool title_from_names = false;
  // The text of the page being assembled.
  std::unique_ptr<std::string> page_text;
  // The system the builder works on.
  Env* env;
};

}  // namespace vellora

#endif  // VELLORA_SCAN_INDEX_BUILDER_H_

// The scanning part of the engine object of one build: the folder scan, the
// skip tests, the column-wise ordering and link titles, with the state the
// scan keeps over a build. The page writer (html/) and the build modes
// (modes/) build on it, each with a state of its own; CIndexBuilder
// (modes/index_builder.h) is the whole engine object.
#ifndef VELLORA_SCAN_FOLDER_SCANNER_H_
#define VELLORA_SCAN_FOLDER_SCANNER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"
#include "scan/build_progress.h"
#include "scan/file_list.h"

namespace vellora {

class CBuildSettings;
class CListingPrefetch;

// How much of a page is read for its title: a title element sits in the
// head of a page, and a page of gigabytes (or a link to an endless system
// file) must cost no more than this.
constexpr size_t kTitleHeadBytes = size_t{1} << 20;

class CFolderScanner {
 public:
  // `settings` is not owned and must outlive the scanner.
  explicit CFolderScanner(CBuildSettings* build_settings, Env* system = Env::Default());
  virtual ~CFolderScanner();
  CFolderScanner(const CFolderScanner&) = delete;
  CFolderScanner& operator=(const CFolderScanner&) = delete;

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

  // True when the pages of the build show or use a file's size or time:
  // sizes, dates or times, the summary, a sort by size or date, or the
  // manifest. Without them folders are listed briefly (Env::ListFolderBrief).
  bool NeedsFileDetails() const;

  // Reads folders of `system` ahead of this build's walk: on
  // system->ListingThreads() workers when `whole` (each folder is read
  // whole), briefly unless NeedsFileDetails(), never into skipped folders.
  std::unique_ptr<CListingPrefetch> NewListingPrefetch(Env* system, bool whole) const;

  // Reorders `list` so that, written row by row into `columns` columns, it
  // reads down each column in turn.
  void ArrangeInColumns(CFileList& list, int columns);

  // The title of the HTML page `entry` in `folder` (a full path), or a copy
  // of the entry's name when there is none. Only the first kTitleHeadBytes
  // of the page are read.
  std::string ReadLinkTitle(const std::string& folder, const CFileEntry& entry);

  // Progress record of the build; may be null; not owned.
  CBuildProgress* progress = nullptr;
  // Options of the build; not owned.
  CBuildSettings* settings;
  // The system the build works on.
  Env* env;

  // --- Scan state, set by the build modes and the page writer ---
  // The skip_files option split at ';', refilled before each page.
  std::vector<std::string> skip_file_patterns;
  // The scan also collects the files of every folder below (one page for a branch).
  int32_t recurse_scan = 0;
  // Where the recursive scan started; entry folders are relative to it.
  std::string scan_root;
  // The real location of the tree of a recursive build; empty in other
  // builds, which enter no subfolder.
  std::string tree_real_root;
  // The top folder of the build (set by Build): files from the tree may
  // include only files inside it. Empty: the settings' path.
  std::string tree_folder;

 private:
  // The real location of the top folder, for builds without a branch; found
  // when first needed.
  std::string tree_file_root_;
};

}  // namespace vellora

#endif  // VELLORA_SCAN_FOLDER_SCANNER_H_

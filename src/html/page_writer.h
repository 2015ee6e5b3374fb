// The page writer: write_page makes the index page of one folder, with the
// state it keeps from page to page of a build (counters, one-shot flags,
// the page text and the pages it could not write).
#ifndef VELLORA_HTML_PAGE_WRITER_H_
#define VELLORA_HTML_PAGE_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scan/failed_page.h"
#include "scan/folder_scanner.h"

namespace vellora {

class CPageSaver;

// The skip_files option split at ';'; a final ';' adds no empty pattern.
std::vector<std::string> SplitSkipFiles(const std::string& skip_files);

class CPageWriter : public CFolderScanner {
 public:
  explicit CPageWriter(CBuildSettings* build_settings, Env* system = Env::Default());
  ~CPageWriter() override;

  // Writes the index page of `folder`; 1 when a page file was written.
  int write_page(const std::string& folder);

  // Counts the pages `page_saver` saved since the last call, in the order
  // given, as written or not written.
  void TakeSavedPages();

  // A page (or the frameset) at `path` could not be written: recorded in
  // `failed_pages`, as a link when one stands at that name.
  void PageNotWritten(const std::string& path);

  // Path of the main file the build wrote (reported to the user).
  std::string main_file_path;
  // Page files written in this build.
  int32_t pages_written = 0;
  // Pages the build should have written but could not, in the order met.
  std::vector<FailedPage> failed_pages;

  // --- Set by the build modes for the pages to come ---
  // Set before the right-frame pass of a framed site; cleared after each page.
  int32_t first_right_frame_page = 0;
  // When not empty, replaces the /FOLDER_FILE_LINK section on every page.
  std::string folder_link_override;
  // The next page is not written (and the flag is cleared).
  int32_t skip_next_page = 0;
  // The settings' title was made from folder names (plain text) by the
  // per-folder walk, not written by the user.
  bool title_from_names = false;

  // The last page was not written because its folder could not be read.
  int32_t page_unreadable = 0;

  // When set, pages held whole are handed to it to be saved on its threads
  // (see TakeSavedPages); not owned.
  CPageSaver* page_saver = nullptr;

  // Pages that list at least this many files are written as they are made
  // instead of held whole (html/page_output.h).
  size_t stream_from_files = 4096;
  // A streamed page of at least this many files has its rows made in
  // blocks of `table_block_rows` files on Env::ListingThreads() threads.
  size_t parallel_table_from_files = 8192;
  size_t table_block_rows = 1024;

  // Page text moved aside while a page is assembled, and how many pieces.
  std::vector<std::string> page_chunks;
  int32_t page_chunk_count = 0;
  // The text of the page being assembled.
  std::unique_ptr<std::string> page_text;

 private:
  // 1 + the place among page_saver's pages of the page of the last
  // write_page, which is main_file_path unless its save fails; 0: none.
  size_t main_file_save_ = 0;
};

}  // namespace vellora

#endif  // VELLORA_HTML_PAGE_WRITER_H_

// Builds a folder tree of names taken from the input in a temporary folder,
// with options taken from its first bytes, and builds its index page
// through the build call: the page must be written whole, with every row
// and every link closed, and a page not written must be reported.
//
// Input: 5 option bytes, then one path per line ("a/b/name"; a final '/'
// makes a folder).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "settings/build_settings.h"
#include "platform/env.h"
#include "modes/run_build.h"

namespace fs = std::filesystem;

namespace {

void Fail(int line) {
  std::fprintf(stderr, "check failed at line %d\n", line);
  std::abort();
}

#define Check(ok) ((ok) ? (void)0 : Fail(__LINE__))

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

bool Bit(uint8_t byte, int bit) { return ((byte >> bit) & 1) != 0; }

std::string Lower(std::string s) {
  for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return s;
}

// A file name the page lists.
bool Listed(const std::string& name) {
  const std::string lower = Lower(name);
  return name[0] != '.' && lower != "index.html" &&
         (lower.size() < 4 || lower.compare(lower.size() - 4, 4, ".lnk") != 0);
}

// Creates the entries of the input below `root`; true when a file is made
// that the page lists (only those of `root` itself unless `branch`).
bool MakeTree(const fs::path& root, const std::string& layout, bool branch) {
  bool any_file = false;
  size_t pos = 0;
  for (int entries = 0; pos < layout.size() && entries < 40; ++entries) {
    size_t end = layout.find('\n', pos);
    if (end == std::string::npos) end = layout.size();
    const std::string line = layout.substr(pos, end - pos);
    pos = end + 1;
    fs::path path = root;
    size_t from = 0;
    int depth = 0;
    bool usable = true;
    bool hidden = false;
    std::string last;
    while (from <= line.size() && usable) {
      size_t slash = line.find('/', from);
      if (slash == std::string::npos) slash = line.size();
      const std::string segment = line.substr(from, slash - from);
      from = slash + 1;
      if (segment.empty()) continue;
      usable = segment != "." && segment != ".." && segment.size() <= 60 &&
               segment.find('\0') == std::string::npos && ++depth <= 4;
      path /= segment;
      hidden = hidden || (!last.empty() && last[0] == '.');
      last = segment;
    }
    if (!usable || depth == 0) continue;
    std::error_code ec;
    if (!line.empty() && line.back() == '/') {
      fs::create_directories(path, ec);
    } else {
      fs::create_directories(path.parent_path(), ec);
      std::ofstream(path, std::ios::binary) << line.size();
      // Times of the input's own, not the clock's: a run from a fixed seed
      // takes the same branches of the date and time cells at any hour.
      const struct timespec times[2] = {{0, UTIME_OMIT},
                                        {1104761229 + 7777777 * static_cast<time_t>(entries), 0}};
      utimensat(AT_FDCWD, path.c_str(), times, 0);
      if (fs::is_regular_file(path, ec) && !hidden && Listed(last) && (branch || depth == 1)) {
        any_file = true;
      }
    }
  }
  return any_file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vellora;
  if (size < 5) return 0;
  // A folder of this process's own: fuzzers may run side by side.
  static const fs::path base = [] {
    std::error_code ec;
    return fs::temp_directory_path(ec) / ("vellora-page-fuzz-" + std::to_string(getpid()));
  }();
  std::error_code ec;
  fs::remove_all(base, ec);
  const fs::path root = base / "root";
  fs::create_directories(root, ec);
  const bool any_file = MakeTree(
      root, std::string(reinterpret_cast<const char*>(data) + 5, size - 5), Bit(data[0], 0));

  CDefaultWords words;
  words.folder_word = "<b>F</b>";
  words.filename_word = "<b>N</b>";
  words.anchor_word = "<b>A</b>";
  words.parent_word = "{up}";
  CBuildSettings s;
  s.default_words = &words;
  s.path = root.string();
  s.root_folder = s.path;
  s.skip_files = "index.html";
  const uint8_t a = data[0];
  const uint8_t b = data[3];
  s.recursive_build = Bit(a, 0);
  s.show_folder_names = Bit(a, 1);
  s.folder_anchors = Bit(a, 2);
  s.column_wise_sort = Bit(a, 3);
  s.replace_iso_chars = Bit(a, 4);
  s.href20 = Bit(a, 5);
  s.xml_compliant = Bit(a, 6);
  s.suppress_extensions = Bit(a, 7);
  s.file_columns = data[1] % 23 - 1;
  s.folder_columns = data[2] % 23 - 1;
  s.include_summary = Bit(b, 0);
  s.sizes_by_k = Bit(b, 1);
  s.full_pathname_links = Bit(b, 2);
  s.non_functional_links = Bit(b, 3);
  s.euro_date_style = Bit(b, 4);
  s.include_time = Bit(b, 5);
  s.supress_parent_link = Bit(b, 6);
  s.sort_folders_first = Bit(b, 7);
  s.multi_recurse_link = 0;
  s.sort_key = data[4] % 4;
  s.sort_order = (data[4] / 4) % 3;

  Env* env = Env::Default();
  std::string start;
  Check(env->GetCurrentFolder(&start));
  const BuildResult built = RunBuild(s, FrameFiles(), nullptr, env);
  const int result = built.pages_written;
  std::string now;
  Check(env->GetCurrentFolder(&now) && now == start);
  Check(s.file_columns >= 1 && s.file_columns <= 20 && s.folder_columns >= 1);
  // No page is written over a folder of the page's name; otherwise a page
  // that lists a file is always written.
  const bool page_is_folder = fs::is_directory(fs::symlink_status(root / "index.html", ec));
  if (page_is_folder) Check(result == 0);
  // A page that lists a file and is not written is reported, once.
  if (any_file) Check(built.failed_pages.size() == (page_is_folder ? 1u : 0u));
  if (any_file && !page_is_folder) Check(result == 1);
  if (result == 1) {
    std::string page;
    Check(env->ReadWholeFile(built.main_file_path, SIZE_MAX, &page));
    Check(page.size() >= 14 && page.compare(page.size() - 14, 14, "</body></html>") == 0);
    Check(Count(page, "<tr>") == Count(page, "</tr>"));
    Check(Count(page, "<a") == Count(page, "</a>"));
    // The folder-anchor table stands once at most, whatever the names.
    Check(Count(page, words.anchor_word) <= 1);
  }
  fs::remove_all(base, ec);
  return 0;
}

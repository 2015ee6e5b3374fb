// The manifest of a page: a JSON file beside it, named as the page with
// ".json" appended, that lists what the page lists for other programs,
// optionally with each file's SHA-256. Its format (version 1):
//
//   {"format": "vellora-manifest", "version": 1,
//    "title": the page's title (as the page's title element holds it),
//    "folder": the listed folder relative to the build's top folder, '/'
//              between names, "" for the top folder itself,
//    "charset": the encoding of the bytes the links decode to ("utf-8";
//               on Windows the code page's, such as "gbk"),
//    "checksums": whether files carry "sha256",
//    "entries": [ one object per link of the page, in the page's order:
//      {"name": the name as UTF-8 (bytes that are not UTF-8 as U+FFFD),
//       "folder": only on a page listing a whole branch: the entry's folder
//                 relative to the listed one, '/' between names, "" at top,
//       "link": the target the page links to, relative to the page's folder
//               (what the folder and full-path prefixes put before it left
//               out), every byte outside [A-Za-z0-9._~/-] as %XX so that
//               the name's exact bytes come back when decoded; null when
//               the page's links are not functional,
//       "is_folder": true for folders and the parent link (name ".."),
//       "size": bytes (files only),
//       "modified": local time, ISO 8601 with offset ("2026-12-07T14:19:05
//                   +01:00" without the blank); null when unknown,
//       "sha256": 64 lower-case hex digits (files, with checksums on),
//       "unreadable": true in place of "sha256" for a file that could not
//                     be read, "outside": true for a link that leads out
//                     of the tree (not read)}]}
#ifndef VELLORA_HTML_MANIFEST_H_
#define VELLORA_HTML_MANIFEST_H_

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/env.h"

namespace vellora {

// The file name suffix of a manifest.
extern const char kManifestSuffix[];

// True when the manifest option asks for manifests ("json").
bool ManifestWanted(const std::string& manifest_option);

// One link of a page.
struct ManifestEntry {
  std::string name;         // as the file system returned it
  std::string folder;       // branch pages: relative folder, '/' separators
  std::string link;         // raw bytes of the link target; see has_link
  bool has_link = true;
  bool is_folder = false;
  bool has_size = false;
  int64_t size = 0;
  FileTime time = 0;
  bool has_time = false;
  std::string path;         // full path, for reading a file's bytes
  bool is_link = false;     // the file was found as a link
  // Filled by HashFiles.
  enum class Hash { kNone, kDone, kUnreadable, kOutside } hash = Hash::kNone;
  std::string sha256;
};

struct ManifestPage {
  std::string title;
  std::string folder;
  bool branch = false;      // entries carry their folders
  bool checksums = false;
};

// Callbacks of HashFiles, on the calling thread only.
class ManifestFileCheck {
 public:
  virtual ~ManifestFileCheck() = default;
  // True when the file `path`, a link, leads out of the tree.
  virtual bool LeadsOutOfTree(const std::string& path) = 0;
};

// The most threads HashFiles runs.
constexpr unsigned kMaxHashThreads = 8;
// The bytes read at a time.
constexpr size_t kHashBlockBytes = size_t{64} << 10;

// Fills the SHA-256 of every file entry, reading the files through `env`
// in blocks on up to `threads` threads (0: as many as the hardware runs, at
// most kMaxHashThreads); results go to their entries, whatever the order
// in which the threads finish. Files found as links are hashed only when
// `check` says they stay in the tree, as link titles are read. Stops soon after `cancel` (may be
// null) turns non-zero, and returns false then; every thread is joined
// before it returns.
bool HashFiles(Env* env, std::vector<ManifestEntry>* entries, ManifestFileCheck* check,
               const std::atomic<int32_t>* cancel, unsigned threads = 0);

// The manifest text; names, folders and the title go through
// env->NameAsUtf8 and are escaped as AppendJsonString does.
std::string ManifestJson(const ManifestPage& page, const std::vector<ManifestEntry>& entries,
                         Env* env);

}  // namespace vellora

#endif  // VELLORA_HTML_MANIFEST_H_

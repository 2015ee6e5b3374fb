// The link check: reads the pages that a build with a configuration would
// write, as they stand on disk, and finds the links that lead nowhere, the
// files and folders of the tree that no page links to, and the pages that
// are missing. Nothing is built or written.
#ifndef VELLORA_STARTUP_LINK_CHECK_H_
#define VELLORA_STARTUP_LINK_CHECK_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "modes/run_build.h"
#include "platform/env.h"

namespace vellora {

class CBuildSettings;
class CMainSheet;

struct LinkCheckReport {
  // The top folder of the tree (the settings' path).
  std::string top;
  // Pages read, and the links of them that lead to a place of this system.
  int32_t pages_checked = 0;
  int64_t links_checked = 0;
  // Full paths of the pages a build would write that are not there, sorted.
  std::vector<std::string> missing_pages;
  // (page, link as written in it) for every link to nothing, sorted. A link
  // to a missing page is not counted again.
  std::vector<std::pair<std::string, std::string>> broken_links;
  // Full paths of the files and folders that the pages would list but no
  // page links to, sorted. What only a missing page lists is not counted,
  // nor are the pages and (with the manifest option) their manifests.
  std::vector<std::string> unlinked;
  // The top folder could not be read: nothing can be said of its pages.
  bool top_unreadable = false;

  bool clean() const { return missing_pages.empty() && broken_links.empty() && unlinked.empty(); }
};

// Checks the pages of the build that `settings` describe (with `frames`
// for a framed site). Which pages there are, in which folders, and what
// each lists, is what a build would make of the tree now: the build runs
// over an Env that writes nothing, and each page's files and folders come
// from the folder scan with that page's options. Links are read from the
// pages on disk (href and src of every element) and resolved from the
// page's folder; links to other schemes and hosts and to the page itself
// (#fragment) are passed over. A folder counts as linked by a link to it
// or to its page. `settings` is used as a build would use it (the caller
// keeps a copy if needed); its path should be a full path.
LinkCheckReport CheckLinks(CBuildSettings& settings, const FrameFiles& frames, Env* env);

// The report for the user, one line each (no line breaks), in the
// program's language: missing pages and broken links by page, then the
// unlinked items, then the summary line. Paths below the top folder are
// shown relative to it; names are recoded as the program's texts are, and
// control characters are escaped.
std::vector<std::string> LinkCheckLines(const LinkCheckReport& report, Env* env);

// `text` with control characters (and, where names are UTF-8, bytes
// outside valid UTF-8 and the characters that reorder text) written as
// \xNN or \uNNNN, so that no name can steer a terminal.
std::string PrintableText(const std::string& text, bool utf8);

struct CheckOutcome {
  int status = 0;          // kExitBuilt when clean; the batch mode's statuses
  std::string message;     // one line for standard error; empty when none
  std::vector<std::string> warnings;
  std::vector<std::string> lines;  // the report, for standard output
};

// "--check CONFIG": reads the configuration as batch mode does (the same
// messages and statuses when it cannot be used), then checks its pages.
// Status kExitBuilt when the report is clean, kExitBuildFailed otherwise.
CheckOutcome RunCheckMode(CMainSheet* sheet, const std::string& config_name);

}  // namespace vellora

#endif  // VELLORA_STARTUP_LINK_CHECK_H_

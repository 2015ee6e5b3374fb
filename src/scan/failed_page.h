// A page a build did not write although it should have, and why.
#ifndef VELLORA_SCAN_FAILED_PAGE_H_
#define VELLORA_SCAN_FAILED_PAGE_H_

#include <string>

namespace vellora {

enum class PageFailure {
  kNotWritten,        // the file could not be created or written
  kLink,              // a link stands at the page's name; pages are never written through one
  kFolderUnreadable,  // the folder the build was given could not be read; its page was kept
  kFramesetTemplate,  // the frameset template is missing, empty or names no two frames
};

struct FailedPage {
  // The page's path; the folder's for kFolderUnreadable, the template's
  // name for kFramesetTemplate.
  std::string path;
  PageFailure reason = PageFailure::kNotWritten;
};

}  // namespace vellora

#endif  // VELLORA_SCAN_FAILED_PAGE_H_
